// The play queue: adding at the end, priority inserts, emptying, and the
// worker's service of the head.
//
// The head and its playing copy share one cue, which the copy owns and the
// stream sweep destroys once it has stopped. The head therefore keeps only the
// handle of its copy and finds the cue through it: a copy already swept away,
// or one whose cue was taken away, means the head has finished, and no call
// ever reaches a destroyed cue.
#include "play_queue.h"

#include <iterator>

#include "audio_engine.h"
#include "platform/process.h"
#include "queue_trace.h"
#include "sound_list.h"
#include "sound_playback.h"

namespace vscaudio {

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

void NoteOccupancy(PlayQueue& queue) { queue.occupied.store(!queue.entries.empty()); }

// Looks the entry's cue name up in its stream's sound bank; false when the
// stream fails its check or the bank has no such cue.
bool ResolveEntry(AudioEngine& engine, SoundEntry& entry) {
  AudioStream* stream = LookUp<AudioStream>(entry.stream);
  if (stream == nullptr) return false;
  entry.cueIndex = FindCue(engine, *stream, entry.name);
  entry.flags |= kEntryCueResolved;
  return entry.cueIndex != kNoCue;
}

// The sound a started head plays through, if it is still there with a cue.
SoundEntry* PlayingCopy(const SoundEntry& head) {
  if (!head.started) return nullptr;
  SoundEntry* sound = LookUp<SoundEntry>(head.playing);
  return sound != nullptr && sound->cue != nullptr ? sound : nullptr;
}

// Appends one entry under the queue lock (and the sound lock, for the bank).
void AppendResolved(AudioEngine& engine, SoundEntry entry, uint64_t group) {
  Lock queue(engine.queueLock);
  Lock sound(engine.soundLock);
  if (!ResolveEntry(engine, entry)) {
    TraceQueue(VSC_AUDIO_TRACE_CUE_REFUSED, entry.name, 0);
    return;
  }
  entry.group = group;
  engine.queue.entries.push_back(entry);
  NoteOccupancy(engine.queue);
  TraceQueue(VSC_AUDIO_TRACE_CUE_ADDED, entry.name, 0);
}

// Stops the head's cue at once and removes the head.
void CutHead(AudioEngine& engine, int32_t mode) {
  auto& entries = engine.queue.entries;
  SoundEntry& head = entries.front();
  if (SoundEntry* sound = PlayingCopy(head)) xact::CueStop(sound->cue, xact::kStopImmediate);
  TraceQueue(VSC_AUDIO_TRACE_CUE_STOPPED, head.name, mode);
  entries.pop_front();
}

// The run of entries at the front that share the head's group tag ends here.
std::list<SoundEntry>::iterator EndOfHeadSequence(std::list<SoundEntry>& entries) {
  auto it = entries.begin();
  uint64_t group = it->group;
  while (it != entries.end() && it->group == group) ++it;
  return it;
}

void PriorityInsert(AudioEngine& engine, std::vector<SoundEntry> entries, uint64_t group, int32_t mode) {
  Lock queueLock(engine.queueLock);
  Lock soundLock(engine.soundLock);
  std::vector<SoundEntry> resolved;
  for (SoundEntry& entry : entries) {
    entry.group = group;
    if (ResolveEntry(engine, entry)) {
      resolved.push_back(entry);
    } else {
      TraceQueue(VSC_AUDIO_TRACE_CUE_REFUSED, entry.name, mode);
    }
  }
  if (mode < kInsertBehindHead || mode > kCutSequence) {
    for (const SoundEntry& entry : resolved) TraceQueue(VSC_AUDIO_TRACE_CUE_REFUSED, entry.name, mode);
    return;
  }

  auto& queue = engine.queue.entries;
  auto position = queue.begin();
  if (!queue.empty()) {
    switch (mode) {
      case kInsertBehindHead: position = std::next(queue.begin()); break;
      case kCutHead:
        CutHead(engine, mode);
        position = queue.begin();
        break;
      case kInsertBehindSequence: position = EndOfHeadSequence(queue); break;
      case kCutSequence: {
        uint64_t headGroup = queue.front().group;
        CutHead(engine, mode);
        while (!queue.empty() && queue.front().group == headGroup) {
          TraceQueue(VSC_AUDIO_TRACE_CUE_STOPPED, queue.front().name, mode);
          queue.pop_front();
        }
        position = queue.begin();
        break;
      }
    }
  }
  for (const SoundEntry& entry : resolved) {
    queue.insert(position, entry);
    TraceQueue(VSC_AUDIO_TRACE_CUE_ADDED, entry.name, mode);
  }
  NoteOccupancy(engine.queue);
}

}  // namespace

void AddToQueue(AudioEngine& engine, void* stream, const char* cueName, float x, float y, float z, float volume) {
  AppendResolved(engine, MakeEntry(stream, cueName, x, y, z, volume), NewSingleGroup());
}

void AddListToQueue(AudioEngine& engine, void* listHandle) {
  SoundList* list = LookUp<SoundList>(listHandle);
  if (list == nullptr) return;
  // One entry at a time under the queue lock: other threads may interleave.
  for (const SoundEntry& entry : list->entries) AppendResolved(engine, entry, ListGroup(listHandle));
}

void PriorityAddToQueue(AudioEngine& engine, void* stream, const char* cueName, float x, float y, float z, float volume,
                        int32_t mode) {
  if (LookUp<AudioStream>(stream) == nullptr) return;
  std::vector<SoundEntry> entries;
  if (cueName == nullptr) {
    platform::SetLastError(13);  // ERROR_INVALID_DATA; the mode still applies
  } else {
    entries.push_back(MakeEntry(stream, cueName, x, y, z, volume));
  }
  PriorityInsert(engine, std::move(entries), NewSingleGroup(), mode);
}

void PriorityListToQueue(AudioEngine& engine, void* listHandle, int32_t mode) {
  SoundList* list = LookUp<SoundList>(listHandle);
  if (list == nullptr) return;
  PriorityInsert(engine, list->entries, ListGroup(listHandle), mode);
}

void EmptyQueue(AudioEngine& engine) {
  Lock queueLock(engine.queueLock);
  Lock soundLock(engine.soundLock);
  auto& queue = engine.queue.entries;
  if (!queue.empty()) {
    if (SoundEntry* sound = PlayingCopy(queue.front())) xact::CueStop(sound->cue, xact::kStopRelease);
  }
  queue.clear();
  NoteOccupancy(engine.queue);
  TraceQueue(VSC_AUDIO_TRACE_QUE_EMPTIED, nullptr, 0);
}

int32_t IsQueuePlaying(AudioEngine& engine) {
  int32_t playing = engine.queue.occupied.load() ? 1 : 0;
  TraceQueue(VSC_AUDIO_TRACE_IS_PLAYING, nullptr, playing);
  return playing;
}

void ServeQueueHead(AudioEngine& engine) {
  auto& queue = engine.queue.entries;
  if (queue.empty()) return;
  SoundEntry& head = queue.front();
  if (!head.started) {
    SoundEntry* sound = StartEntry(engine, head);
    if (sound == nullptr) {
      // A head that cannot be started (engine no longer ready, stream gone,
      // cue refused) leaves the queue, so the queue keeps advancing.
      TraceQueue(VSC_AUDIO_TRACE_CUE_STARTED, head.name, 0);
      queue.pop_front();
      NoteOccupancy(engine.queue);
      return;
    }
    head.started = true;
    head.playing = sound->handle;
    AudioStream* stream = LookUp<AudioStream>(head.stream);
    if (stream != nullptr && stream->pauseValue != 0) xact::CuePause(sound->cue, 1);
    TraceQueue(VSC_AUDIO_TRACE_CUE_STARTED, head.name, 1);
    return;
  }
  SoundEntry* sound = PlayingCopy(head);
  uint32_t state = xact::kStateStopped;
  if (sound != nullptr && xact::CueGetState(sound->cue, &state) != 0) state = xact::kStateStopped;
  if ((state & xact::kStateStopped) != 0) {
    TraceQueue(VSC_AUDIO_TRACE_CUE_STOPPED, head.name, 0);
    queue.pop_front();
    NoteOccupancy(engine.queue);
  }
}

void PurgeStreamEntries(AudioEngine& engine, const void* stream) {
  engine.queue.entries.remove_if([stream](const SoundEntry& entry) { return entry.stream == stream; });
  NoteOccupancy(engine.queue);
}

void ClearQueue(AudioEngine& engine) {
  engine.queue.entries.clear();
  NoteOccupancy(engine.queue);
}

}  // namespace vscaudio
