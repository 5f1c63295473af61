// A stand-in for the audio library with the same export names, for tests of
// the module's binding: every call is written to a journal that the test reads
// back through FAKE_AUDIO_JOURNAL. Three exports are left out on purpose
// (VSC_AUDIO_PAUSE_SOUND, VSC_AUDIO_GET_CUE_VARIABLE and the never-existing
// VSC_AUDIO_INITIALIZE_ENGINE_W_IMAGES) so that missing exports can be seen
// keeping their stubs.
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::mutex g_mutex;
std::string g_journal;
int32_t g_initializeResult = 1;
int32_t g_quePlaying = 0;
int g_streamTag = 0;                    // the fake stream handle points here
uint32_t g_streamDevices = UINT32_MAX;  // streams open on devices below this

void Record(const std::string& entry) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_journal += entry + "\n";
}

std::string Narrow(const char16_t* text) {
  std::string out;
  for (; text && *text; ++text) out += *text < 128 ? static_cast<char>(*text) : '?';
  return out;
}

std::string Number(float value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", value);
  return buffer;
}

std::string Stream(void* stream) { return stream == &g_streamTag ? "stream" : stream ? "other" : "null"; }

}  // namespace

// Test controls.
FAKE_EXPORT const char* FAKE_AUDIO_JOURNAL() {
  static std::string copy;
  std::lock_guard<std::mutex> lock(g_mutex);
  copy = g_journal;
  return copy.c_str();
}
FAKE_EXPORT void FAKE_AUDIO_RESET(int32_t initializeResult, int32_t quePlaying) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_journal.clear();
  g_initializeResult = initializeResult;
  g_quePlaying = quePlaying;
  g_streamDevices = UINT32_MAX;
}
// Streams on devices from `count` on cannot be created (a device unplugged).
FAKE_EXPORT void FAKE_AUDIO_STREAM_DEVICES(uint32_t count) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_streamDevices = count;
}

FAKE_EXPORT int32_t VSC_AUDIO_INITIALIZE_AUDIO_ENGINE(const char16_t* xgs, const char16_t* xwb, const char16_t* xsb,
                                                      int32_t (*callback)(uint32_t, uint32_t)) {
  Record("INITIALIZE " + Narrow(xgs) + " | " + Narrow(xwb) + " | " + Narrow(xsb) + (callback ? " cb" : " nocb"));
  return g_initializeResult;
}
FAKE_EXPORT int32_t VSC_AUDIO_GET_DEVICE_COUNT() { return 2; }
FAKE_EXPORT const char* VSC_AUDIO_GET_DEVICE_NAME_A(uint32_t index) {
  return index < 2 ? "Fake Device" : "No Such Device";
}
FAKE_EXPORT int32_t VSC_AUDIO_PAUSE_ENGINE(int32_t pause) { return pause; }
FAKE_EXPORT float VSC_AUDIO_GET_VOLUME() { return 1.0f; }
FAKE_EXPORT int32_t VSC_AUDIO_SET_VOLUME(float volume) {
  Record("SET_VOLUME " + Number(volume));
  return 1;
}
FAKE_EXPORT void* VSC_AUDIO_CREATE_STREAM(uint32_t device) {
  Record("CREATE_STREAM " + std::to_string(device));
  std::lock_guard<std::mutex> lock(g_mutex);
  return device < g_streamDevices ? &g_streamTag : nullptr;
}
FAKE_EXPORT void VSC_AUDIO_DESTROY_STREAM(void* stream) { Record("DESTROY_STREAM " + Stream(stream)); }
FAKE_EXPORT int32_t VSC_AUDIO_PAUSE_STREAM(void*, int32_t) { return 1; }
FAKE_EXPORT float VSC_AUDIO_GET_STREAM_VOLUME(void*) { return 1.0f; }
FAKE_EXPORT float VSC_AUDIO_SET_STREAM_VOLUME(void*, float volume) { return volume; }
FAKE_EXPORT int32_t VSC_AUDIO_SET_STREAM_POSITION(void*, float, float, float) { return 1; }
FAKE_EXPORT void* VSC_AUDIO_PLAY_SOUND(void*, const char*, float, float, float, float) { return nullptr; }
FAKE_EXPORT int32_t VSC_AUDIO_IS_SOUND_PLAYING(void*) { return 0; }
FAKE_EXPORT void VSC_AUDIO_STOP_SOUND(void*, uint32_t) {}
FAKE_EXPORT float VSC_AUDIO_GET_SOUND_VOLUME(void*) { return 1.0f; }
FAKE_EXPORT int32_t VSC_AUDIO_SET_SOUND_VOLUME(void*, float) { return 1; }
FAKE_EXPORT int32_t VSC_AUDIO_SET_CUE_VARIABLE(void*, const char*, float) { return 1; }
FAKE_EXPORT void VSC_AUDIO_ADD_TO_QUE(void* stream, const char* cue, float x, float y, float z, float volume) {
  Record("ADD_TO_QUE " + Stream(stream) + " " + cue + " " + Number(x) + " " + Number(y) + " " + Number(z) + " " +
         Number(volume));
}
FAKE_EXPORT void VSC_AUDIO_ADD_LIST_TO_QUE(void*) {}
FAKE_EXPORT void VSC_AUDIO_PRIORITY_ADD_TO_QUE(void*, const char*, float, float, float, float, int32_t) {}
FAKE_EXPORT void VSC_AUDIO_PRIORITY_LIST_TO_QUE(void*, int32_t) {}
FAKE_EXPORT void VSC_AUDIO_EMPTY_QUE() { Record("EMPTY_QUE"); }
FAKE_EXPORT int32_t VSC_AUDIO_IS_QUE_PLAYING() {
  Record("IS_QUE_PLAYING");
  return g_quePlaying;
}
FAKE_EXPORT void* VSC_AUDIO_CREATE_LIST() { return nullptr; }
FAKE_EXPORT void VSC_AUDIO_DESTROY_LIST(void*) {}
FAKE_EXPORT int32_t VSC_AUDIO_APPEND_LIST(void*, void*, const char*, float, float, float, float) { return 1; }
FAKE_EXPORT int32_t VSC_AUDIO_CLEAR_LIST(void*) { return 1; }
