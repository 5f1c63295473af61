// The module's link to the simulator through its SimConnect client: the
// connection made at start-up, the add-on menu entry, the text line and the
// close at shut-down. The messages the simulator sends are handled in
// simulator_dispatch.h.
#pragma once
#include <string>

namespace orvante {

// Identifiers the module assigns within its connection.
enum SimulatorLinkId : unsigned {
  kDefinitionEyepoint = 0,        // "EYEPOINT POSITION", XYZ
  kDefinitionAltAboveGround = 1,  // "PLANE ALT ABOVE GROUND": only its arrival matters
  kRequestAircraftLoaded = 0,     // system state "AircraftLoaded"
  kRequestResume = 1,             // definition 1, five seconds after "SimStart"
  kRequestEyepoint = 2,           // definition 0, once
  kEventFrame = 0,
  kEventCrashed = 1,
  kEventSimStop = 2,
  kEventSimStart = 3,
  kEventMenu = 4,  // the add-on menu entry, a private client event
  kEventText = 5,  // the client event of text lines
  kEventAircraftLoaded = 6,
  kGroupMenu = 0,
};

// Start-up: opens the connection (with a second attempt that forces a local
// connection), installs the dispatch procedure, defines the data and
// subscribes to the system events. Failure is logged; the module goes on.
void ConnectToSimulator();

// Called by the worker before each cycle while connected: adds the add-on
// menu entry "Orvante" once.
void EnsureMenuEntry();

// Shows a line of text in the simulator for 20 seconds while the connection
// is open.
void ShowSimulatorText(const std::string& text);

// Shut-down: closes the connection if it is open.
void CloseSimulatorConnection();

}  // namespace orvante
