// The library's exports: thin C functions over the engine's operations. Each
// holds the current engine for the length of the call and returns its failure
// value when there is none.
#include "vscaudio/vscaudio.h"

#include <algorithm>
#include <cstring>

#include "audio_engine.h"
#include "platform/process.h"
#include "queue_trace.h"
#include "single_sound.h"
#include "sound_list.h"

using vscaudio::CurrentEngine;

// On Windows the file version is the DLL's VERSIONINFO resource alone, so the
// library exports its 32 functions and nothing else.
#ifndef _WIN32
ORVANTE_DEFINE_FILE_VERSION(ORVANTE_FILE_VERSION_TEXT);
#endif

namespace {
void* const kNoSuchCue = VSC_AUDIO_NO_SUCH_CUE;
}

VSCAUDIO_API int32_t VSC_AUDIO_INITIALIZE_AUDIO_ENGINE(const char16_t* xgsPath, const char16_t* xwbPath,
                                                       const char16_t* xsbPath, VSC_AUDIO_ERROR_CALLBACK callback) {
  return vscaudio::InitializeAudioEngine(xgsPath, xwbPath, xsbPath, callback);
}

VSCAUDIO_API int32_t VSC_AUDIO_GET_DEVICE_COUNT(void) {
  auto engine = CurrentEngine();
  return engine ? static_cast<int32_t>(engine->deviceCount.load()) : 0;
}

VSCAUDIO_API const char* VSC_AUDIO_GET_DEVICE_NAME_A(uint32_t deviceIndex) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::GetDeviceName(*engine, deviceIndex) : nullptr;
}

VSCAUDIO_API float VSC_AUDIO_GET_VOLUME(void) {
  auto engine = CurrentEngine();
  return engine ? engine->masterVolume.load() : 0.0f;
}

VSCAUDIO_API int32_t VSC_AUDIO_SET_VOLUME(float volume) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::SetMasterVolume(*engine, volume) : 0;
}

VSCAUDIO_API int32_t VSC_AUDIO_PAUSE_ENGINE(int32_t pause) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::PauseEngine(*engine, pause) : 0;
}

VSCAUDIO_API int32_t VSC_AUDIO_MONITOR_LOG_A_F(void) { return 1; }

VSCAUDIO_API void* VSC_AUDIO_CREATE_STREAM(uint32_t deviceIndex) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::CreateStream(*engine, deviceIndex) : nullptr;
}

VSCAUDIO_API void VSC_AUDIO_DESTROY_STREAM(void* stream) {
  if (auto engine = CurrentEngine()) vscaudio::DestroyStream(*engine, stream);
}

VSCAUDIO_API int32_t VSC_AUDIO_PAUSE_STREAM(void* stream, int32_t pause) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::PauseStream(*engine, stream, pause) : 0;
}

VSCAUDIO_API float VSC_AUDIO_GET_STREAM_VOLUME(void* stream) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::GetStreamVolume(*engine, stream) : 0.0f;
}

VSCAUDIO_API float VSC_AUDIO_SET_STREAM_VOLUME(void* stream, float volume) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::SetStreamVolume(*engine, stream, volume) : 0.0f;
}

VSCAUDIO_API int32_t VSC_AUDIO_SET_STREAM_POSITION(void* stream, float x, float y, float z) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::SetStreamPosition(*engine, stream, x, y, z) : 0;
}

VSCAUDIO_API void* VSC_AUDIO_PLAY_SOUND(void* stream, const char* cueName, float x, float y, float z, float volume) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::PlaySound(*engine, stream, cueName, x, y, z, volume) : kNoSuchCue;
}

VSCAUDIO_API int32_t VSC_AUDIO_IS_SOUND_PLAYING(void* sound) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::IsSoundPlaying(*engine, sound) : 0;
}

VSCAUDIO_API void VSC_AUDIO_STOP_SOUND(void* sound, uint32_t stopFlags) {
  if (auto engine = CurrentEngine()) vscaudio::StopSound(*engine, sound, stopFlags);
}

VSCAUDIO_API int32_t VSC_AUDIO_PAUSE_SOUND(void* sound, int32_t pause) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::PauseSound(*engine, sound, pause) : 0;
}

VSCAUDIO_API float VSC_AUDIO_GET_SOUND_VOLUME(void* sound) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::GetSoundVolume(*engine, sound) : 0.0f;
}

VSCAUDIO_API int32_t VSC_AUDIO_SET_SOUND_VOLUME(void* sound, float volume) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::SetSoundVolume(*engine, sound, volume) : 0;
}

VSCAUDIO_API float VSC_AUDIO_GET_CUE_VARIABLE(void* sound, const char* variableName) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::GetCueVariable(*engine, sound, variableName) : 0.0f;
}

VSCAUDIO_API int32_t VSC_AUDIO_SET_CUE_VARIABLE(void* sound, const char* variableName, float value) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::SetCueVariable(*engine, sound, variableName, value) : 0;
}

VSCAUDIO_API void VSC_AUDIO_ADD_TO_QUE(void* stream, const char* cueName, float x, float y, float z, float volume) {
  if (auto engine = CurrentEngine()) vscaudio::AddToQueue(*engine, stream, cueName, x, y, z, volume);
}

VSCAUDIO_API void VSC_AUDIO_PRIORITY_ADD_TO_QUE(void* stream, const char* cueName, float x, float y, float z,
                                                float volume, int32_t mode) {
  if (auto engine = CurrentEngine()) vscaudio::PriorityAddToQueue(*engine, stream, cueName, x, y, z, volume, mode);
}

VSCAUDIO_API void VSC_AUDIO_EMPTY_QUE(void) {
  if (auto engine = CurrentEngine()) vscaudio::EmptyQueue(*engine);
}

VSCAUDIO_API int32_t VSC_AUDIO_IS_QUE_PLAYING(void) {
  auto engine = CurrentEngine();
  return engine ? vscaudio::IsQueuePlaying(*engine) : 0;
}

VSCAUDIO_API void* VSC_AUDIO_CREATE_LIST(void) { return vscaudio::CreateList(); }

VSCAUDIO_API int32_t VSC_AUDIO_APPEND_LIST(void* list, void* stream, const char* cueName, float x, float y, float z,
                                           float volume) {
  return vscaudio::AppendList(list, stream, cueName, x, y, z, volume);
}

VSCAUDIO_API int32_t VSC_AUDIO_CLEAR_LIST(void* list) { return vscaudio::ClearList(list); }

VSCAUDIO_API void VSC_AUDIO_DESTROY_LIST(void* list) { vscaudio::DestroyList(list); }

VSCAUDIO_API void VSC_AUDIO_ADD_LIST_TO_QUE(void* list) {
  if (auto engine = CurrentEngine()) vscaudio::AddListToQueue(*engine, list);
}

VSCAUDIO_API void VSC_AUDIO_PRIORITY_LIST_TO_QUE(void* list, int32_t mode) {
  if (auto engine = CurrentEngine()) vscaudio::PriorityListToQueue(*engine, list, mode);
}

VSCAUDIO_API void VSC_AUDIO_SET_TRACE(VSC_AUDIO_TRACE_CALLBACK callback, void* context) {
  vscaudio::SetQueueTrace(callback, context);
}

VSCAUDIO_API int32_t VSC_AUDIO_GET_DIAGNOSTICS(VSC_AUDIO_DIAGNOSTICS* diagnostics, uint32_t size) {
  if (diagnostics == nullptr) return 0;
  VSC_AUDIO_DIAGNOSTICS counted = {};
  auto engine = CurrentEngine();
  vscaudio::CountDiagnostics(engine.get(), counted);
  std::memcpy(diagnostics, &counted, std::min<size_t>(size, sizeof counted));
  return engine ? 1 : 0;
}
