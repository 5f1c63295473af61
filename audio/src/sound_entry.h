// SoundEntry: one cue to play. The same record serves as a list entry, a
// queue entry and a playing sound; only playing sounds carry a cue and are
// handed out as sound handles.
#pragma once
#include <cstddef>
#include <cstdint>

#include "handle_registry.h"
#include "xact_engine.h"

namespace vscaudio {

// Longest cue name stored; a longer one leaves the name empty.
inline constexpr size_t kMaxCueNameLength = 254;
// Entry flag: the cue index was looked up.
inline constexpr uint32_t kEntryCueResolved = 0x1;
// Cue index meaning "not in the sound bank".
inline constexpr uint16_t kNoCue = 0xFFFF;
// Matrix storage: 2 source channels for at most 8 destination channels.
inline constexpr uint32_t kSourceChannels = 2;
inline constexpr uint32_t kMaxDestinationChannels = 8;

struct SoundEntry {
  static constexpr HandleKind kKind = HandleKind::kSound;

  uint32_t tag = static_cast<uint32_t>(kKind);
  char name[256] = {};
  float x = 0.0f, y = 0.0f, z = 0.0f;  // offset from the stream's position
  float volume = 1.0f;
  uint16_t cueIndex = 0;
  xact::Cue* cue = nullptr;  // playing sounds only
  uint32_t flags = 0;

  // 3D mix. The DSP settings' pointers are aimed at this entry's own storage
  // right before each calculation, so a copied entry never shares them.
  float matrix[kSourceChannels * kMaxDestinationChannels] = {};
  float delays[kMaxDestinationChannels] = {};
  xact::DspSettings dsp = {};
  xact::Emitter emitter = {};

  uint64_t group = 0;      // sequence the entry belongs to
  void* stream = nullptr;  // stream handle the cue plays on

  void* handle = nullptr;   // playing sounds: their own handle
  bool started = false;     // queue head: has been started
  void* playing = nullptr;  // queue head: handle of its playing copy
};

// An entry as the append and queue exports build it: the name is stored only
// when it is at most kMaxCueNameLength characters long.
SoundEntry MakeEntry(void* stream, const char* cueName, float x, float y, float z, float volume);

// A group tag of its own for an entry queued alone (never equal to a list's).
uint64_t NewSingleGroup();
// The group tag of entries queued from a list.
uint64_t ListGroup(const void* listHandle);

}  // namespace vscaudio
