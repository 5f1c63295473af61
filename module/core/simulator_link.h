// The module's link to the simulator through its SimConnect client: the
// connection made at start-up, the dispatch of the simulator's messages on its
// own thread, the add-on menu entry and the text line.
#pragma once
#include <string>

namespace orvante {

// Start-up: opens the connection (with a second attempt that forces a local
// connection), installs the dispatch procedure, defines the data and
// subscribes to the system events. Failure is logged; the module goes on.
void ConnectToSimulator();

// Called by the worker before each cycle while connected: adds the add-on
// menu entry "Orvante" once.
void EnsureMenuEntry();

// Shows a line of text in the simulator while the connection is open.
void ShowSimulatorText(const std::string& text);

// Shut-down: closes the connection if it is open.
void CloseSimulatorConnection();

}  // namespace orvante
