// The play queue: one per engine. Its head is the entry playing, or about to
// be started by the worker; the entries behind it wait in order. Entries are
// copies, so a caller's list stays as it was.
#pragma once
#include <atomic>
#include <cstdint>
#include <list>
#include <vector>

#include "sound_entry.h"

namespace vscaudio {

struct AudioEngine;

struct PlayQueue {
  std::list<SoundEntry> entries;
  // Mirrors !entries.empty() for the lock-free "is playing" question.
  std::atomic<bool> occupied{false};
};

// Priority modes of the priority exports.
inline constexpr int32_t kInsertBehindHead = 1;
inline constexpr int32_t kCutHead = 2;
inline constexpr int32_t kInsertBehindSequence = 3;
inline constexpr int32_t kCutSequence = 4;

// The exports' logic; each takes the locks it needs.
void AddToQueue(AudioEngine& engine, void* stream, const char* cueName, float x, float y, float z, float volume);
void AddListToQueue(AudioEngine& engine, void* list);
void PriorityAddToQueue(AudioEngine& engine, void* stream, const char* cueName, float x, float y, float z, float volume,
                        int32_t mode);
void PriorityListToQueue(AudioEngine& engine, void* list, int32_t mode);
void EmptyQueue(AudioEngine& engine);
int32_t IsQueuePlaying(AudioEngine& engine);

// The worker's step on the head, under the queue lock and then the sound lock:
// start it, or retire it once its cue has stopped.
void ServeQueueHead(AudioEngine& engine);

// Removes every entry of a stream being destroyed, keeping the others' order.
// Under the queue lock.
void PurgeStreamEntries(AudioEngine& engine, const void* stream);

// Removes every entry (shut-down). Under the queue lock.
void ClearQueue(AudioEngine& engine);

}  // namespace vscaudio
