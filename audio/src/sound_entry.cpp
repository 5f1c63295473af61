// Building sound entries and their group tags.
#include "sound_entry.h"

#include <atomic>
#include <cstring>

namespace vscaudio {

SoundEntry MakeEntry(void* stream, const char* cueName, float x, float y, float z, float volume) {
  SoundEntry entry;
  if (cueName != nullptr) {
    size_t length = strnlen(cueName, kMaxCueNameLength + 1);
    if (length <= kMaxCueNameLength) std::memcpy(entry.name, cueName, length);
  }
  entry.x = x;
  entry.y = y;
  entry.z = z;
  entry.volume = volume;
  entry.stream = stream;
  return entry;
}

uint64_t NewSingleGroup() {
  // Odd values; list handles are multiples of 16, so the two never meet.
  static std::atomic<uint64_t> next{0};
  return next.fetch_add(1) * 2 + 1;
}

uint64_t ListGroup(const void* listHandle) { return reinterpret_cast<uintptr_t>(listHandle); }

}  // namespace vscaudio
