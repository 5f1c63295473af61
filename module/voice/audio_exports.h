// The audio library's exports as the module calls them: one function-pointer
// type per export, the error callback, and the failure codes the library
// passes to it. The library is loaded at run time and never linked; its
// failure codes come from its own header, so they are declared once.
// (tests/voice_binding/real_library_tests.cpp checks at compile time that
// these function types are the library's own.)
#pragma once
#include <cstdint>

#include "vscaudio/vscaudio.h"

namespace orvante {

// Called by the library when a step fails; a nonzero answer asks the library
// to show its own message as well.
using ErrorCallback = int32_t (*)(uint32_t code, uint32_t result);

// Failure codes given to the ErrorCallback: the library's AUDIO_ERR_*
// (vscaudio/vscaudio.h), and 0, the module's own: the library could not be
// loaded at all.
inline constexpr uint32_t AUDIO_ERR_NOT_LOADED = 0;

// Handles are objects of the library; the module only passes them back.
using AudioStreamHandle = void*;
using AudioSoundHandle = void*;
using AudioListHandle = void*;

extern "C" {
using VSC_AUDIO_INITIALIZE_AUDIO_ENGINE_FN = int32_t (*)(const char16_t* xgsPath, const char16_t* xwbPath,
                                                         const char16_t* xsbPath, ErrorCallback callback);
// The library has no such export; the slot exists so the table keeps its
// shape, and nothing calls it.
using VSC_AUDIO_INITIALIZE_ENGINE_W_IMAGES_FN = int32_t (*)(const char16_t* xgsPath, const char16_t* xwbPath,
                                                            const char16_t* xsbPath, ErrorCallback callback);
using VSC_AUDIO_GET_DEVICE_COUNT_FN = int32_t (*)();
using VSC_AUDIO_GET_DEVICE_NAME_A_FN = const char* (*)(uint32_t deviceIndex);
using VSC_AUDIO_PAUSE_ENGINE_FN = int32_t (*)(int32_t pause);
using VSC_AUDIO_GET_VOLUME_FN = float (*)();
using VSC_AUDIO_SET_VOLUME_FN = int32_t (*)(float volume);
using VSC_AUDIO_CREATE_STREAM_FN = AudioStreamHandle (*)(uint32_t deviceIndex);
using VSC_AUDIO_DESTROY_STREAM_FN = void (*)(AudioStreamHandle stream);
using VSC_AUDIO_PAUSE_STREAM_FN = int32_t (*)(AudioStreamHandle stream, int32_t pause);
using VSC_AUDIO_GET_STREAM_VOLUME_FN = float (*)(AudioStreamHandle stream);
using VSC_AUDIO_SET_STREAM_VOLUME_FN = float (*)(AudioStreamHandle stream, float volume);
using VSC_AUDIO_SET_STREAM_POSITION_FN = int32_t (*)(AudioStreamHandle stream, float x, float y, float z);
using VSC_AUDIO_PLAY_SOUND_FN = AudioSoundHandle (*)(AudioStreamHandle stream, const char* cueName, float x, float y,
                                                     float z, float volume);
using VSC_AUDIO_IS_SOUND_PLAYING_FN = int32_t (*)(AudioSoundHandle sound);
using VSC_AUDIO_STOP_SOUND_FN = void (*)(AudioSoundHandle sound, uint32_t stopFlags);
using VSC_AUDIO_PAUSE_SOUND_FN = int32_t (*)(AudioSoundHandle sound, int32_t pause);
using VSC_AUDIO_GET_SOUND_VOLUME_FN = float (*)(AudioSoundHandle sound);
using VSC_AUDIO_SET_SOUND_VOLUME_FN = int32_t (*)(AudioSoundHandle sound, float volume);
using VSC_AUDIO_GET_CUE_VARIABLE_FN = float (*)(AudioSoundHandle sound, const char* variableName);
using VSC_AUDIO_SET_CUE_VARIABLE_FN = int32_t (*)(AudioSoundHandle sound, const char* variableName, float value);
using VSC_AUDIO_ADD_TO_QUE_FN = void (*)(AudioStreamHandle stream, const char* cueName, float x, float y, float z,
                                         float volume);
using VSC_AUDIO_ADD_LIST_TO_QUE_FN = void (*)(AudioListHandle list);
using VSC_AUDIO_PRIORITY_ADD_TO_QUE_FN = void (*)(AudioStreamHandle stream, const char* cueName, float x, float y,
                                                  float z, float volume, int32_t mode);
using VSC_AUDIO_PRIORITY_LIST_TO_QUE_FN = void (*)(AudioListHandle list, int32_t mode);
using VSC_AUDIO_EMPTY_QUE_FN = void (*)();
using VSC_AUDIO_IS_QUE_PLAYING_FN = int32_t (*)();
using VSC_AUDIO_CREATE_LIST_FN = AudioListHandle (*)();
using VSC_AUDIO_DESTROY_LIST_FN = void (*)(AudioListHandle list);
using VSC_AUDIO_APPEND_LIST_FN = int32_t (*)(AudioListHandle list, AudioStreamHandle stream, const char* cueName,
                                             float x, float y, float z, float volume);
using VSC_AUDIO_CLEAR_LIST_FN = int32_t (*)(AudioListHandle list);
}

}  // namespace orvante
