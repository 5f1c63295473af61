// The audio function table's stubs and the walk over its slots by index.
// A stub sets last-error 127 (ERROR_PROC_NOT_FOUND) and returns the failure
// value of its export: 0, 0.0, null, nothing, or for the device name the text
// "Could not be determined".
#include "voice/audio_function_table.h"

#include "platform/process.h"

namespace orvante {
namespace {

constexpr uint32_t kProcNotFound = 127;

void NotFound() { platform::SetLastError(kProcNotFound); }

int32_t StubInitializeAudioEngine(const char16_t*, const char16_t*, const char16_t*, ErrorCallback) {
  NotFound();
  return 0;
}
int32_t StubInitializeEngineWImages(const char16_t*, const char16_t*, const char16_t*, ErrorCallback) {
  NotFound();
  return 0;
}
int32_t StubGetDeviceCount() {
  NotFound();
  return 0;
}
const char* StubGetDeviceNameA(uint32_t) {
  NotFound();
  return "Could not be determined";
}
int32_t StubPauseEngine(int32_t) {
  NotFound();
  return 0;
}
float StubGetVolume() {
  NotFound();
  return 0.0f;
}
int32_t StubSetVolume(float) {
  NotFound();
  return 0;
}
AudioStreamHandle StubCreateStream(uint32_t) {
  NotFound();
  return nullptr;
}
void StubDestroyStream(AudioStreamHandle) { NotFound(); }
int32_t StubPauseStream(AudioStreamHandle, int32_t) {
  NotFound();
  return 0;
}
float StubGetStreamVolume(AudioStreamHandle) {
  NotFound();
  return 0.0f;
}
float StubSetStreamVolume(AudioStreamHandle, float) {
  NotFound();
  return 0.0f;
}
int32_t StubSetStreamPosition(AudioStreamHandle, float, float, float) {
  NotFound();
  return 0;
}
AudioSoundHandle StubPlaySound(AudioStreamHandle, const char*, float, float, float, float) {
  NotFound();
  return nullptr;
}
int32_t StubIsSoundPlaying(AudioSoundHandle) {
  NotFound();
  return 0;
}
void StubStopSound(AudioSoundHandle, uint32_t) { NotFound(); }
int32_t StubPauseSound(AudioSoundHandle, int32_t) {
  NotFound();
  return 0;
}
float StubGetSoundVolume(AudioSoundHandle) {
  NotFound();
  return 0.0f;
}
int32_t StubSetSoundVolume(AudioSoundHandle, float) {
  NotFound();
  return 0;
}
float StubGetCueVariable(AudioSoundHandle, const char*) {
  NotFound();
  return 0.0f;
}
int32_t StubSetCueVariable(AudioSoundHandle, const char*, float) {
  NotFound();
  return 0;
}
void StubAddToQue(AudioStreamHandle, const char*, float, float, float, float) { NotFound(); }
void StubAddListToQue(AudioListHandle) { NotFound(); }
void StubPriorityAddToQue(AudioStreamHandle, const char*, float, float, float, float, int32_t) { NotFound(); }
void StubPriorityListToQue(AudioListHandle, int32_t) { NotFound(); }
void StubEmptyQue() { NotFound(); }
int32_t StubIsQuePlaying() {
  NotFound();
  return 0;
}
AudioListHandle StubCreateList() {
  NotFound();
  return nullptr;
}
void StubDestroyList(AudioListHandle) { NotFound(); }
// The two list exports below return a value in the library; their stubs
// stand for "nothing happened" with 0.
int32_t StubAppendList(AudioListHandle, AudioStreamHandle, const char*, float, float, float, float) {
  NotFound();
  return 0;
}
int32_t StubClearList(AudioListHandle) {
  NotFound();
  return 0;
}

// One slot: the export's name, how to store an address into it (null puts
// the stub back) and whether it holds its stub.
struct SlotInfo {
  const char* exportName;
  void (*assign)(AudioFunctionTable& table, void* exportAddress);
  bool (*isStub)(const AudioFunctionTable& table);
};

template <typename Fn, Fn AudioFunctionTable::*member, Fn stub>
constexpr SlotInfo MakeSlot(const char* exportName) {
  return {exportName,
          [](AudioFunctionTable& table, void* exportAddress) {
            table.*member = exportAddress ? reinterpret_cast<Fn>(exportAddress) : stub;
          },
          [](const AudioFunctionTable& table) { return table.*member == stub; }};
}

#define ORVANTE_AUDIO_SLOT(NAME, STUB) MakeSlot<NAME##_FN, &AudioFunctionTable::NAME, &STUB>(#NAME)

const SlotInfo kSlots[kAudioSlotCount] = {
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_INITIALIZE_AUDIO_ENGINE, StubInitializeAudioEngine),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_INITIALIZE_ENGINE_W_IMAGES, StubInitializeEngineWImages),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_GET_DEVICE_COUNT, StubGetDeviceCount),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_GET_DEVICE_NAME_A, StubGetDeviceNameA),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_PAUSE_ENGINE, StubPauseEngine),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_GET_VOLUME, StubGetVolume),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_SET_VOLUME, StubSetVolume),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_CREATE_STREAM, StubCreateStream),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_DESTROY_STREAM, StubDestroyStream),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_PAUSE_STREAM, StubPauseStream),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_GET_STREAM_VOLUME, StubGetStreamVolume),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_SET_STREAM_VOLUME, StubSetStreamVolume),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_SET_STREAM_POSITION, StubSetStreamPosition),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_PLAY_SOUND, StubPlaySound),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_IS_SOUND_PLAYING, StubIsSoundPlaying),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_STOP_SOUND, StubStopSound),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_PAUSE_SOUND, StubPauseSound),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_GET_SOUND_VOLUME, StubGetSoundVolume),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_SET_SOUND_VOLUME, StubSetSoundVolume),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_GET_CUE_VARIABLE, StubGetCueVariable),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_SET_CUE_VARIABLE, StubSetCueVariable),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_ADD_TO_QUE, StubAddToQue),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_ADD_LIST_TO_QUE, StubAddListToQue),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_PRIORITY_ADD_TO_QUE, StubPriorityAddToQue),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_PRIORITY_LIST_TO_QUE, StubPriorityListToQue),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_EMPTY_QUE, StubEmptyQue),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_IS_QUE_PLAYING, StubIsQuePlaying),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_CREATE_LIST, StubCreateList),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_DESTROY_LIST, StubDestroyList),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_APPEND_LIST, StubAppendList),
    ORVANTE_AUDIO_SLOT(VSC_AUDIO_CLEAR_LIST, StubClearList),
};

#undef ORVANTE_AUDIO_SLOT

// The all-stubs table, built at compile time so the module's table is usable
// before any constructor has run.
constexpr AudioFunctionTable StubTable() {
  return AudioFunctionTable{
      &StubInitializeAudioEngine,
      &StubInitializeEngineWImages,
      &StubGetDeviceCount,
      &StubGetDeviceNameA,
      &StubPauseEngine,
      &StubGetVolume,
      &StubSetVolume,
      &StubCreateStream,
      &StubDestroyStream,
      &StubPauseStream,
      &StubGetStreamVolume,
      &StubSetStreamVolume,
      &StubSetStreamPosition,
      &StubPlaySound,
      &StubIsSoundPlaying,
      &StubStopSound,
      &StubPauseSound,
      &StubGetSoundVolume,
      &StubSetSoundVolume,
      &StubGetCueVariable,
      &StubSetCueVariable,
      &StubAddToQue,
      &StubAddListToQue,
      &StubPriorityAddToQue,
      &StubPriorityListToQue,
      &StubEmptyQue,
      &StubIsQuePlaying,
      &StubCreateList,
      &StubDestroyList,
      &StubAppendList,
      &StubClearList,
  };
}

static_assert(sizeof(AudioFunctionTable) == kAudioSlotCount * sizeof(void (*)()), "one slot per export");

}  // namespace

constinit AudioFunctionTable g_audio = StubTable();

const char* AudioSlotExportName(size_t index) { return index < kAudioSlotCount ? kSlots[index].exportName : nullptr; }

void SetAudioSlot(AudioFunctionTable& table, size_t index, void* exportAddress) {
  if (index < kAudioSlotCount) kSlots[index].assign(table, exportAddress);
}

bool AudioSlotIsStub(const AudioFunctionTable& table, size_t index) {
  return index < kAudioSlotCount && kSlots[index].isStub(table);
}

void ResetAudioFunctionTable(AudioFunctionTable& table) { table = StubTable(); }

}  // namespace orvante
