// The list exports' logic.
#include "sound_list.h"

#include <new>

#include "audio_stream.h"
#include "platform/process.h"

namespace vscaudio {

namespace {
constexpr uint32_t kErrorInvalidData = 13;
}

void* CreateList() {
  auto* list = new (std::nothrow) SoundList;
  if (list == nullptr) return nullptr;
  list->handle = RegisterHandle(HandleKind::kList, list);
  return list->handle;
}

int32_t AppendList(void* listHandle, void* stream, const char* cueName, float x, float y, float z, float volume) {
  SoundList* list = LookUp<SoundList>(listHandle);
  if (list == nullptr || LookUp<AudioStream>(stream) == nullptr) return 0;
  if (cueName == nullptr) {
    platform::SetLastError(kErrorInvalidData);
    return 0;
  }
  try {
    list->entries.push_back(MakeEntry(stream, cueName, x, y, z, volume));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return static_cast<int32_t>(list->entries.size());
}

int32_t ClearList(void* listHandle) {
  SoundList* list = LookUp<SoundList>(listHandle);
  if (list == nullptr) return 0;
  list->entries.clear();
  return 1;
}

void DestroyList(void* listHandle) {
  SoundList* list = LookUp<SoundList>(listHandle);
  if (list == nullptr) return;
  UnregisterHandle(listHandle);
  list->tag = 0;
  delete list;
}

}  // namespace vscaudio
