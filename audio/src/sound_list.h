// SoundList: a caller-owned, ordered chain of entries, queued as a whole.
// Lists work without an engine and take no lock: a list belongs to its caller.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "sound_entry.h"

namespace vscaudio {

struct SoundList {
  static constexpr HandleKind kKind = HandleKind::kList;

  uint32_t tag = static_cast<uint32_t>(kKind);
  void* handle = nullptr;
  std::vector<SoundEntry> entries;
};

void* CreateList();
// 1-based position of the new entry, or 0.
int32_t AppendList(void* list, void* stream, const char* cueName, float x, float y, float z, float volume);
int32_t ClearList(void* list);
void DestroyList(void* list);

}  // namespace vscaudio
