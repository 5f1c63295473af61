// The module's exports: start-up and shut-down inside the simulator, and the
// gauge table pointer the simulator fills before it starts the module.
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

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
#include "profiles/profiles_environment.h"
#include "voice/voice_state.h"
#include "gauges.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/process.h"
#include "platform/threads.h"
#include "platform/user_interface.h"

#ifdef _WIN32
#define ORVANTE_EXPORT_ATTRIBUTE __declspec(dllexport)
#else
#define ORVANTE_EXPORT_ATTRIBUTE __attribute__((visibility("default")))
#endif
#define ORVANTE_EXPORT extern "C" ORVANTE_EXPORT_ATTRIBUTE

// Written by the simulator before it calls module_init.
extern "C" {
ORVANTE_EXPORT_ATTRIBUTE PANELS* Panels = nullptr;
}

namespace orvante {
namespace {

#ifndef _WIN32
// The load notification: record the module's own handle (its base address).
__attribute__((constructor)) void RecordModuleHandle() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&RecordModuleHandle), &info) != 0) g_module.moduleHandle = info.dli_fbase;
}
#endif

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
  g_module.profileFont = platform::CreateFontU8(font);
  g_profilesEnvironment.profileFont = static_cast<const platform::FontDescription*>(g_module.profileFont);
}

// The parts take the folders and texts they work with from here; only the
// module's entry points read the module-wide state.
void PassFoldersToParts() {
  CopyText(g_voice.simulatorDir, sizeof g_voice.simulatorDir, g_module.simulatorDir);
  CopyText(g_profilesEnvironment.appDataDir, sizeof g_profilesEnvironment.appDataDir, g_module.appDataDir);
  CopyText(g_profilesEnvironment.versionText, sizeof g_profilesEnvironment.versionText, g_module.versionText);
}

// The user's files live in the ORVANTE folder of the application-data folder;
// make sure it exists so that the log, the settings and the profiles persist.
std::string OpenModuleLog() {
  std::string folder = platform::JoinPath({g_module.appDataDir, "ORVANTE"});
  platform::CreateDirectoryU8(folder);
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
  g_module.mainWindow = platform::FindWindowU8("FS98MAIN");
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
  PassFoldersToParts();
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
    g_profilesEnvironment.profileFont = nullptr;
    platform::DeleteFont(static_cast<platform::FontHandle>(g_module.profileFont));
    g_module.profileFont = nullptr;
  }
  // 5. The log.
  CloseLog();
}

}  // namespace orvante

ORVANTE_EXPORT void module_init() { orvante::ModuleInit(); }
ORVANTE_EXPORT void module_deinit() { orvante::ModuleDeinit(); }

#ifdef _WIN32
// The load notification: record the module's own handle for every reason and
// report success.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
  orvante::g_module.moduleHandle = instance;
  return TRUE;
}
#endif
