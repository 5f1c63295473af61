// The registry of live handles. Every stream, sound and list the library hands
// out is registered under a handle value that is never reused, so a stale,
// released or foreign handle finds nothing here and is refused without the
// library ever reading the memory it once named.
#pragma once
#include <cstdint>

namespace vscaudio {

// Kind tags, the four bytes as stored at the start of each object.
enum class HandleKind : uint32_t {
  kSound = 0x6e646e73,   // "sndn"
  kList = 0x74736c70,    // "plst"
  kStream = 0x6d727473,  // "strm"
};

// Registers object under a fresh handle value of the given kind.
void* RegisterHandle(HandleKind kind, void* object);

// The object registered under handle with that kind, or null.
void* LookUpHandle(const void* handle, HandleKind kind);

// Forgets handle; later look-ups of it find nothing.
void UnregisterHandle(const void* handle);

// Number of live handles of a kind (diagnostics and tests).
uint32_t CountHandles(HandleKind kind);

template <typename T>
T* LookUp(const void* handle) {
  return static_cast<T*>(LookUpHandle(handle, T::kKind));
}

}  // namespace vscaudio
