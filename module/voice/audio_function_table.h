// AudioFunctionTable: the 31 exports of the audio library, one slot each, in
// the library's table order. Every slot starts out as a local stub that sets
// the calling thread's last-error value to 127 (procedure not found) and
// returns a harmless value, so any slot can be called at any time, with or
// without the library.
#pragma once
#include <cstddef>

#include "voice/audio_exports.h"

namespace orvante {

struct AudioFunctionTable {
  VSC_AUDIO_INITIALIZE_AUDIO_ENGINE_FN VSC_AUDIO_INITIALIZE_AUDIO_ENGINE;
  VSC_AUDIO_INITIALIZE_ENGINE_W_IMAGES_FN VSC_AUDIO_INITIALIZE_ENGINE_W_IMAGES;
  VSC_AUDIO_GET_DEVICE_COUNT_FN VSC_AUDIO_GET_DEVICE_COUNT;
  VSC_AUDIO_GET_DEVICE_NAME_A_FN VSC_AUDIO_GET_DEVICE_NAME_A;
  VSC_AUDIO_PAUSE_ENGINE_FN VSC_AUDIO_PAUSE_ENGINE;
  VSC_AUDIO_GET_VOLUME_FN VSC_AUDIO_GET_VOLUME;
  VSC_AUDIO_SET_VOLUME_FN VSC_AUDIO_SET_VOLUME;
  VSC_AUDIO_CREATE_STREAM_FN VSC_AUDIO_CREATE_STREAM;
  VSC_AUDIO_DESTROY_STREAM_FN VSC_AUDIO_DESTROY_STREAM;
  VSC_AUDIO_PAUSE_STREAM_FN VSC_AUDIO_PAUSE_STREAM;
  VSC_AUDIO_GET_STREAM_VOLUME_FN VSC_AUDIO_GET_STREAM_VOLUME;
  VSC_AUDIO_SET_STREAM_VOLUME_FN VSC_AUDIO_SET_STREAM_VOLUME;
  VSC_AUDIO_SET_STREAM_POSITION_FN VSC_AUDIO_SET_STREAM_POSITION;
  VSC_AUDIO_PLAY_SOUND_FN VSC_AUDIO_PLAY_SOUND;
  VSC_AUDIO_IS_SOUND_PLAYING_FN VSC_AUDIO_IS_SOUND_PLAYING;
  VSC_AUDIO_STOP_SOUND_FN VSC_AUDIO_STOP_SOUND;
  VSC_AUDIO_PAUSE_SOUND_FN VSC_AUDIO_PAUSE_SOUND;
  VSC_AUDIO_GET_SOUND_VOLUME_FN VSC_AUDIO_GET_SOUND_VOLUME;
  VSC_AUDIO_SET_SOUND_VOLUME_FN VSC_AUDIO_SET_SOUND_VOLUME;
  VSC_AUDIO_GET_CUE_VARIABLE_FN VSC_AUDIO_GET_CUE_VARIABLE;
  VSC_AUDIO_SET_CUE_VARIABLE_FN VSC_AUDIO_SET_CUE_VARIABLE;
  VSC_AUDIO_ADD_TO_QUE_FN VSC_AUDIO_ADD_TO_QUE;
  VSC_AUDIO_ADD_LIST_TO_QUE_FN VSC_AUDIO_ADD_LIST_TO_QUE;
  VSC_AUDIO_PRIORITY_ADD_TO_QUE_FN VSC_AUDIO_PRIORITY_ADD_TO_QUE;
  VSC_AUDIO_PRIORITY_LIST_TO_QUE_FN VSC_AUDIO_PRIORITY_LIST_TO_QUE;
  VSC_AUDIO_EMPTY_QUE_FN VSC_AUDIO_EMPTY_QUE;
  VSC_AUDIO_IS_QUE_PLAYING_FN VSC_AUDIO_IS_QUE_PLAYING;
  VSC_AUDIO_CREATE_LIST_FN VSC_AUDIO_CREATE_LIST;
  VSC_AUDIO_DESTROY_LIST_FN VSC_AUDIO_DESTROY_LIST;
  VSC_AUDIO_APPEND_LIST_FN VSC_AUDIO_APPEND_LIST;
  VSC_AUDIO_CLEAR_LIST_FN VSC_AUDIO_CLEAR_LIST;
};

inline constexpr std::size_t kAudioSlotCount = 31;

// The module's one table; all stubs until the library is bound.
extern AudioFunctionTable g_audio;

// Export name of slot i (0-based, table order).
const char* AudioSlotExportName(std::size_t index);

// Stores exportAddress (a function of the library, or null for the slot's
// stub) into slot index of table.
void SetAudioSlot(AudioFunctionTable& table, std::size_t index, void* exportAddress);

// Whether slot index of table holds its stub.
bool AudioSlotIsStub(const AudioFunctionTable& table, std::size_t index);

// Puts every slot of table back to its stub.
void ResetAudioFunctionTable(AudioFunctionTable& table);

}  // namespace orvante
