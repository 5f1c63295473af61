// The simulator link before a SimConnect client exists on this platform: the
// connection attempts fail as they do when no simulator answers, so the module
// runs without a connection (no sampling, no menu, cycles held).
#include "core/simulator_link.h"

#include "core/module_log.h"
#include "core/module_state.h"

namespace orvante {

void ConnectToSimulator() {
  LogWrite("Attempting to connect to the Flight Simulator...\n");
  LogWrite("***COULD NOT CONNECT to the Flight Simulator...\n");
  LogWrite("IGNORING SIMCONNECT.CFG settings, and FORCING LOCAL connection...\n");
  LogWrite("Attempting to connect to the Flight Simulator...\n");
  LogWrite("***COULD NOT CONNECT to the Flight Simulator...\n");
}

void EnsureMenuEntry() {}

void ShowSimulatorText(const std::string&) {}

void CloseSimulatorConnection() { g_module.simConnectHandle = nullptr; }

}  // namespace orvante
