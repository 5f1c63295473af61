// A small add-on module for the stand-in simulator's tests. It exports
// `Panels` and the start and stop entries named by ADDON_START and ADDON_STOP,
// and appends what the simulator gave it, one line per fact prefixed with
// ADDON_TAG, to addon-record.txt in the application-data folder.
#include <cstdio>
#include <string>
#include <thread>

#include "platform/process.h"
#include "platform/user_interface.h"
#include "gauges.h"

extern "C" {
__attribute__((visibility("default"))) PANELS* Panels = nullptr;
}

namespace {

void Record(const std::string& fact) {
  std::string path = platform::GetAppDataFolder() + "/addon-record.txt";
  if (FILE* file = std::fopen(path.c_str(), "a")) {
    std::fprintf(file, "%s %s\n", ADDON_TAG, fact.c_str());
    std::fclose(file);
  }
}

void OnKeyEvent(uint32_t eventId, uint32_t eventData, void* userData) {
  Record("key " + std::to_string(eventId) + " " + std::to_string(eventData) + (userData ? " with user data" : ""));
}

int g_userData;

}  // namespace

extern "C" __attribute__((visibility("default"))) void ADDON_START() {
  Record("start");
  Record(std::string("executable ") + platform::GetExecutablePath());
  Record(std::string("window ") + (platform::FindWindowU8("FS98MAIN") ? "found" : "missing"));
  if (Panels == nullptr) {
    Record("panels null");
    return;
  }
  Record("panels set");
  auto registerVariable = GaugeFunction<register_named_variable_fn>(Panels, kRegisterNamedVariable);
  auto getVariable = GaugeFunction<get_named_variable_value_fn>(Panels, kGetNamedVariableValue);
  auto setVariable = GaugeFunction<set_named_variable_value_fn>(Panels, kSetNamedVariableValue);
  auto calculate = GaugeFunction<execute_calculator_code_fn>(Panels, kExecuteCalculatorCode);
  auto registerHandler = GaugeFunction<register_key_event_handler_fn>(Panels, kRegisterKeyEventHandler);

  ID id = registerVariable("TEST_" ADDON_TAG);
  setVariable(id, 2.5);
  char text[128];
  std::snprintf(text, sizeof text, "variable %lld %g", static_cast<long long>(id), getVariable(id));
  Record(text);

  FLOAT64 latitude = -1;
  SINT32 gear = -1;
  int32_t understood = calculate("(A:PLANE LATITUDE, Degrees)", &latitude, nullptr, nullptr);
  calculate("(A:GEAR HANDLE POSITION, Bool)", nullptr, &gear, nullptr);
  std::snprintf(text, sizeof text, "latitude %d %g gear %d", understood, latitude, gear);
  Record(text);
  FLOAT64 bogus = -1;
  understood = calculate("(A:NO SUCH THING, Number)", &bogus, nullptr, nullptr);
  std::snprintf(text, sizeof text, "unknown %d %g", understood, bogus);
  Record(text);

  // An entry the stand-in does not provide, called with arguments.
  using AnyEntry = int64_t (*)(const char*, int);
  int64_t answer = reinterpret_cast<AnyEntry>(Panels->entries[3])("x", 7);
  using AnyFloatEntry = double (*)(double);
  double floating = reinterpret_cast<AnyFloatEntry>(Panels->entries[4])(9.5);
  std::snprintf(text, sizeof text, "entry3 %lld entry4 %g", static_cast<long long>(answer), floating);
  Record(text);

  registerHandler(OnKeyEvent, &g_userData);
  platform::MessageBoxU8(nullptr, "Hello from " ADDON_TAG "\r\nsecond line", "Test add-on " ADDON_TAG,
                         platform::kMbOk | platform::kMbIconInformation);
}

extern "C" __attribute__((visibility("default"))) void ADDON_STOP() {
  std::this_thread::sleep_for(std::chrono::milliseconds(ADDON_STOP_DELAY_MS));
  if (Panels)
    GaugeFunction<unregister_key_event_handler_fn>(Panels, kUnregisterKeyEventHandler)(OnKeyEvent, &g_userData);
  Record("stop");
}
