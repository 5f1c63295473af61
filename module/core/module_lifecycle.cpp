// The module's exports: start-up and shut-down inside the simulator, and the
// gauge table pointer the simulator fills before it starts the module.
#include <dlfcn.h>

#include <cstring>
#include <string>

#include "core/advisory_unit.h"
#include "core/key_event_handler.h"
#include "core/main_settings.h"
#include "core/module_log.h"
#include "core/module_state.h"
#include "core/module_version.h"
#include "core/simulator_detection.h"
#include "core/simulator_link.h"
#include "core/update_cycle.h"
#include "gauges.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/process.h"
#include "platform/threads.h"
#include "platform/user_interface.h"

#define ORVANTE_EXPORT extern "C" __attribute__((visibility("default")))

// Written by the simulator before it calls module_init.
extern "C" {
__attribute__((visibility("default"))) PANELS* Panels = nullptr;
}

namespace orvante {
namespace {

// The load notification: record the module's own handle (its base address).
__attribute__((constructor)) void RecordModuleHandle() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&RecordModuleHandle), &info) != 0) g_module.moduleHandle = info.dli_fbase;
}

void CopyText(char* destination, size_t size, const std::string& text) {
  std::strncpy(destination, text.c_str(), size - 1);
  destination[size - 1] = '\0';
}

void RegisterKeyEventHandler() {
  if (auto reg = GaugeFunction<register_key_event_handler_fn>(Panels, kRegisterKeyEventHandler))
    reg(keyEventHandler, nullptr);
}

void UnregisterKeyEventHandler() {
  if (Panels == nullptr) return;
  if (auto unreg = GaugeFunction<unregister_key_event_handler_fn>(Panels, kUnregisterKeyEventHandler))
    unreg(keyEventHandler, nullptr);
}

void CreateProfileFont() {
  platform::FontDescription font;
  font.height = 20;
  font.weight = 700;
  font.underline = true;
  font.face = "Microsoft Sans Serif";
  g_module.profileFont = platform::CreateFont(font);
}

// The user's files live in the ORVANTE folder of the application-data folder;
// make sure it exists so that the log, the settings and the profiles persist.
std::string OpenModuleLog() {
  std::string folder = platform::JoinPath({g_module.appDataDir, "ORVANTE"});
  platform::CreateDirectory(folder);
  std::string path = platform::JoinPath({folder, "ORVANTE.LOG"});
  OpenLog(path);
  return path;
}

}  // namespace

void ModuleInit() {
  // 1. A second start while the unit exists changes nothing.
  if (g_module.unit.load() != nullptr) return;
  // 2. The user's application-data folder.
  CopyText(g_module.appDataDir, sizeof g_module.appDataDir, platform::GetAppDataFolder());
  if (g_module.appDataDir[0] == '\0') return;
  // 3. The simulator, then the log.
  DetectedSimulator simulator = DetectSimulator(platform::GetExecutablePath());
  g_module.simulatorKind = simulator.kind;
  CopyText(g_module.simulatorDir, sizeof g_module.simulatorDir, simulator.directory);
  OpenModuleLog();
  // 4. The simulator's main window.
  LogWrite("Searching for Flight Simulator's Main Window...\n");
  g_module.mainWindow = platform::FindWindow("FS98MAIN");
  if (g_module.mainWindow == nullptr) return;
  // 5. Only Prepar3D is supported.
  LogWrite("Retrieving Flight Simulator's Path and Version...\n");
  if (g_module.simulatorKind != kSimulatorPrepar3d || g_module.simulatorDir[0] == '\0') return;
  // 6-7.
  LogWrite("It's a supported Flight Simulator...\n");
  if (Panels == nullptr) {
    LogWrite("PANELS pointer is NULL!...\n");
    return;
  }
  // 8. Version.
  LogWrite("Retrieving Orvante Pro version...\n");
  ReadModuleVersion();
  LogWrite("Orvante Pro version: %s \n", g_module.versionText);
  // 9. Main settings.
  LogWrite("Reading the INITIALIZATION file...\n");
  ReadMainSettings();
  // 10. The simulator connection; start-up goes on without one.
  LogWrite("Connecting to the Flight Simulator...\n");
  ConnectToSimulator();
  // 11. The top-level object.
  LogWrite("Initializating ORVA system...\n");
  AdvisoryUnit* unit = CreateAdvisoryUnit();
  if (unit == nullptr) return;
  g_module.unit = unit;
  // 12. Key events.
  LogWrite("Registering Custom Event Handler...\n");
  RegisterKeyEventHandler();
  // 13. The settings dialog's profile font.
  LogWrite("Creating profile font...\n");
  CreateProfileFont();
  // 14. The main settings file is rewritten at every start.
  WriteMainSettings();
  // 15. The worker.
  g_module.workerThreadId = platform::CreateThread(WorkerThread, nullptr);
}

void ModuleDeinit() {
  // 1. Stop the worker and wait until it has seen the request.
  if (g_module.workerThreadId.load() != 0) {
    g_module.stopRequested = 1;
    while (g_module.workerThreadId.load() != 0) platform::Sleep(250);
  }
  // 2. The simulator connection.
  CloseSimulatorConnection();
  // 3. The top-level object.
  if (AdvisoryUnit* unit = g_module.unit.load()) {
    g_module.unit = nullptr;
    DestroyAdvisoryUnit(unit);
    UnregisterKeyEventHandler();
  }
  // 4. The font.
  if (g_module.profileFont) {
    platform::DeleteFont(static_cast<platform::FontHandle>(g_module.profileFont));
    g_module.profileFont = nullptr;
  }
  // 5. The log.
  CloseLog();
}

}  // namespace orvante

ORVANTE_EXPORT void module_init() { orvante::ModuleInit(); }
ORVANTE_EXPORT void module_deinit() { orvante::ModuleDeinit(); }
