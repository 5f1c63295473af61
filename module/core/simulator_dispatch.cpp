// Handling the simulator's messages. Sizes are checked before a message's
// fields are read: a short message is ignored rather than read past its end.
#include "core/simulator_dispatch.h"

#include <cstddef>
#include <cstring>
#include <mutex>
#include <vector>

#include "core/advisory_unit.h"
#include "core/aircraft_config.h"
#include "core/aircraft_sampling.h"
#include "core/module_log.h"
#include "core/module_state.h"
#include "core/panel_variables.h"
#include "core/settings_menu.h"
#include "core/simulator_link.h"
#include "profiles/aircraft_association.h"
#include "platform/files.h"

extern "C" PANELS* Panels;

namespace orvante {
namespace {

constexpr size_t kMaxPath = 260;
constexpr double kMetresPerFoot = 0.3048;

void StopResumeRequest(HANDLE handle) {
  SimConnect_RequestDataOnSimObject(handle, kRequestResume, kDefinitionAltAboveGround, SIMCONNECT_OBJECT_ID_USER,
                                    SIMCONNECT_PERIOD_NEVER, 0, 0, 0, 1);
}

// Crash or simulation stop: hold everything; the next cycle after the resume
// queries the runways at once and the first frame writes the runway variables.
void HoldForStop(HANDLE handle) {
  if (AdvisoryUnit* unit = g_module.unit.load()) {
    unit->cycle.panelVarTimer = 5.0f;
    unit->cycle.queryTimer = 15.0f;
  }
  StopResumeRequest(handle);
  g_module.suspended = 1;
}

// Simulation start: settle the aircraft, fetch the eye point, and ask for the
// one delivery five seconds from now that resumes the unit.
void PrepareResume(HANDLE handle) {
  if (g_module.unit.load() == nullptr) return;
  SimConnect_RequestSystemState(handle, kRequestAircraftLoaded, "AircraftLoaded");
  SimConnect_RequestDataOnSimObject(handle, kRequestEyepoint, kDefinitionEyepoint, SIMCONNECT_OBJECT_ID_USER,
                                    SIMCONNECT_PERIOD_ONCE, 0, 0, 0, 0);
  SimConnect_RequestDataOnSimObject(handle, kRequestResume, kDefinitionAltAboveGround, SIMCONNECT_OBJECT_ID_USER,
                                    SIMCONNECT_PERIOD_SECOND, 0, 5, 5, 1);
}

// The add-on menu: the dialog edits the profile, so cycles stay held until
// the next simulation start.
void OpenSettingsFromMenu(HANDLE handle) {
  g_module.suspended = 1;
  SimConnect_SetSystemState(handle, "DialogMode", 1, 0.0f, nullptr);
  if (g_module.unit.load() != nullptr) ShowSettingsDialog();
  SimConnect_SetSystemState(handle, "DialogMode", 0, 0.0f, nullptr);
}

void OnEvent(const SIMCONNECT_RECV_EVENT& event) {
  HANDLE handle = g_module.simConnectHandle;
  switch (event.uEventID) {
    case kEventCrashed:
    case kEventSimStop: HoldForStop(handle); break;
    case kEventSimStart: PrepareResume(handle); break;
    case kEventMenu: OpenSettingsFromMenu(handle); break;
    default: break;  // "Frame" as a plain event, and anything else
  }
}

void OnObjectData(const SIMCONNECT_RECV_SIMOBJECT_DATA& data, DWORD size) {
  constexpr size_t kDataOffset = offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwData);
  if (data.dwDefineID == kDefinitionEyepoint) {
    if (size < kDataOffset + sizeof(SIMCONNECT_DATA_XYZ)) return;
    SIMCONNECT_DATA_XYZ eyepoint;
    std::memcpy(&eyepoint, reinterpret_cast<const char*>(&data) + kDataOffset, sizeof eyepoint);
    g_module.eyepointX_m = eyepoint.x * kMetresPerFoot;
    g_module.eyepointZ_m = eyepoint.z * kMetresPerFoot;
  } else if (data.dwDefineID == kDefinitionAltAboveGround) {
    StopResumeRequest(g_module.simConnectHandle);
    if (AdvisoryUnit* unit = g_module.unit.load()) unit->cycle.panelVarsPending = 1;
    g_module.suspended = 0;
  }
}

// A text field of a message, cut at its terminator or at the field's end.
std::string FieldText(const char* field, size_t capacity) { return std::string(field, strnlen(field, capacity)); }

}  // namespace

AircraftFolder SplitAircraftPath(const std::string& path) {
  AircraftFolder result;
  size_t last = path.find_last_of("\\/");
  if (last == std::string::npos) return result;
  result.folder = path.substr(0, std::min(last, kMaxPath - 1));
  size_t folderEnd = result.folder.find_last_of("\\/");
  result.model = folderEnd == std::string::npos ? result.folder : result.folder.substr(folderEnd + 1);
  return result;
}

void HandleAircraftLoaded(AdvisoryUnit& unit, const char* path) {
  LogWrite("Aircraft Loaded....\n");
  LogWrite("%s \n", path);
  AircraftFolder aircraft = SplitAircraftPath(path);
  if (aircraft.folder.empty()) return;
  std::string cfgPath = platform::JoinPath({aircraft.folder, "aircraft.cfg"});
  LogWrite("%s \n", aircraft.model.c_str());
  // Read first, then swap in whole, so that a running cycle never sees a list
  // being rebuilt (the cycle holds the profile's change lock).
  std::vector<uint32_t> flapPositions;
  ReadAircraftConfiguration(flapPositions, cfgPath);
  {
    std::lock_guard<std::mutex> changing(unit.profile.changeLock);
    char* model = unit.profile.currentAircraftModel;
    std::memset(model, 0, sizeof unit.profile.currentAircraftModel);
    std::strncpy(model, aircraft.model.c_str(), sizeof unit.profile.currentAircraftModel - 1);
    unit.flapPositions.swap(flapPositions);
  }
  SelectProfileForAircraft(unit.profile);
  RefreshPanelVariables(unit, Panels);
}

void CALLBACK SimulatorDispatch(SIMCONNECT_RECV* message, DWORD size, void*) {
  if (message == nullptr || size < sizeof(SIMCONNECT_RECV)) return;
  AdvisoryUnit* unit = g_module.unit.load();
  switch (message->dwID) {
    case SIMCONNECT_RECV_ID_EVENT:
      if (size >= sizeof(SIMCONNECT_RECV_EVENT)) OnEvent(*reinterpret_cast<SIMCONNECT_RECV_EVENT*>(message));
      break;
    case SIMCONNECT_RECV_ID_EVENT_FILENAME: {
      if (size < sizeof(SIMCONNECT_RECV_EVENT_FILENAME)) break;
      auto* event = reinterpret_cast<SIMCONNECT_RECV_EVENT_FILENAME*>(message);
      if (event->event.uEventID == kEventAircraftLoaded && unit != nullptr)
        HandleAircraftLoaded(*unit, FieldText(event->szFileName, sizeof event->szFileName).c_str());
      break;
    }
    case SIMCONNECT_RECV_ID_EVENT_FRAME:
      if (unit != nullptr && g_module.suspended.load() == 0) {
        SampleAircraft(*unit, Panels);
        ExchangePanelVariables(*unit, Panels);
      }
      break;
    case SIMCONNECT_RECV_ID_SIMOBJECT_DATA:
      if (size >= offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwData))
        OnObjectData(*reinterpret_cast<SIMCONNECT_RECV_SIMOBJECT_DATA*>(message), size);
      break;
    case SIMCONNECT_RECV_ID_SYSTEM_STATE: {
      if (size < sizeof(SIMCONNECT_RECV_SYSTEM_STATE)) break;
      auto* state = reinterpret_cast<SIMCONNECT_RECV_SYSTEM_STATE*>(message);
      if (state->dwRequestID == kRequestAircraftLoaded && unit != nullptr)
        HandleAircraftLoaded(*unit, FieldText(state->szString, sizeof state->szString).c_str());
      break;
    }
    default: break;
  }
}

}  // namespace orvante
