// Connecting to the simulator, the add-on menu entry, the text line and the
// close, through the SimConnect client.
#include "core/simulator_link.h"

#include "SimConnect.h"
#include "core/module_log.h"
#include "core/module_state.h"
#include "core/simulator_dispatch.h"

namespace orvante {
namespace {

constexpr const char* kClientName = "Orvante";

HRESULT Open(DWORD configIndex) {
  HANDLE handle = nullptr;
  LogWrite("Attempting to connect to the Flight Simulator...\n");
  HRESULT result = SimConnect_Open(&handle, kClientName, nullptr, 0, nullptr, configIndex);
  if (SUCCEEDED(result)) g_module.simConnectHandle = handle;
  return result;
}

}  // namespace

void ConnectToSimulator() {
  if (FAILED(Open(0))) {
    LogWrite("***COULD NOT CONNECT to the Flight Simulator...\n");
    LogWrite("IGNORING SIMCONNECT.CFG settings, and FORCING LOCAL connection...\n");
    if (FAILED(Open(SIMCONNECT_OPEN_CONFIGINDEX_LOCAL))) {
      LogWrite("***COULD NOT CONNECT to the Flight Simulator...\n");
      return;
    }
  }
  LogWrite("CONNECTED! to Flight Simulator...\n");
  HANDLE handle = g_module.simConnectHandle;
  // In the simulator's process the procedure, once installed, receives every
  // later message on the simulator's thread.
  SimConnect_CallDispatch(handle, SimulatorDispatch, nullptr);
  SimConnect_AddToDataDefinition(handle, kDefinitionEyepoint, "EYEPOINT POSITION", nullptr, SIMCONNECT_DATATYPE_XYZ,
                                 0.0f, SIMCONNECT_UNUSED);
  SimConnect_AddToDataDefinition(handle, kDefinitionAltAboveGround, "PLANE ALT ABOVE GROUND", "Feet",
                                 SIMCONNECT_DATATYPE_FLOAT64, 0.0f, SIMCONNECT_UNUSED);
  SimConnect_SubscribeToSystemEvent(handle, kEventFrame, "Frame");
  SimConnect_SubscribeToSystemEvent(handle, kEventCrashed, "Crashed");
  SimConnect_SubscribeToSystemEvent(handle, kEventSimStop, "SimStop");
  SimConnect_SubscribeToSystemEvent(handle, kEventSimStart, "SimStart");
  SimConnect_SubscribeToSystemEvent(handle, kEventAircraftLoaded, "AircraftLoaded");
}

void EnsureMenuEntry() {
  HANDLE handle = g_module.simConnectHandle;
  if (handle == nullptr || g_module.menuShown.load() != 0) return;
  SimConnect_MapClientEventToSimEvent(handle, kEventMenu, "");
  SimConnect_MenuAddItem(handle, "Orvante", kEventMenu, 0);
  SimConnect_AddClientEventToNotificationGroup(handle, kGroupMenu, kEventMenu, 0);
  SimConnect_SetNotificationGroupPriority(handle, kGroupMenu, SIMCONNECT_GROUP_PRIORITY_HIGHEST);
  g_module.menuShown = 1;
}

void ShowSimulatorText(const std::string& text) {
  HANDLE handle = g_module.simConnectHandle;
  if (handle == nullptr) return;
  SimConnect_Text(handle, SIMCONNECT_TEXT_TYPE_PRINT_WHITE, 20.0f, kEventText, static_cast<DWORD>(text.size() + 1),
                  const_cast<char*>(text.c_str()));
}

void CloseSimulatorConnection() {
  if (g_module.simConnectHandle != nullptr) SimConnect_Close(g_module.simConnectHandle);
  g_module.simConnectHandle = nullptr;
  g_module.menuShown = 0;
}

}  // namespace orvante
