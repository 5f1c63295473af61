// Live handles: a map from handle value to object, under its own lock.
// Handle values count up in steps of 16 from a base that looks like an
// address, and are never handed out twice in the life of the process; on a
// 32-bit build the count would have to pass 268 million objects to wrap, and
// even then a value still in use is skipped.
#include "handle_registry.h"

#include <mutex>
#include <unordered_map>

namespace vscaudio {
namespace {

struct Registered {
  HandleKind kind;
  void* object;
};

std::mutex& RegistryLock() {
  static std::mutex lock;
  return lock;
}

std::unordered_map<uintptr_t, Registered>& Registry() {
  static std::unordered_map<uintptr_t, Registered> registry;
  return registry;
}

uintptr_t g_nextHandle = 0x10000;

bool Usable(uintptr_t value) { return value != 0 && value != ~uintptr_t{0}; }

}  // namespace

void* RegisterHandle(HandleKind kind, void* object) {
  std::lock_guard<std::mutex> hold(RegistryLock());
  auto& registry = Registry();
  uintptr_t value = g_nextHandle;
  do {
    value += 16;
  } while (!Usable(value) || registry.count(value) != 0);
  g_nextHandle = value;
  registry.emplace(value, Registered{kind, object});
  return reinterpret_cast<void*>(value);
}

void* LookUpHandle(const void* handle, HandleKind kind) {
  if (handle == nullptr) return nullptr;
  std::lock_guard<std::mutex> hold(RegistryLock());
  auto& registry = Registry();
  auto found = registry.find(reinterpret_cast<uintptr_t>(handle));
  if (found == registry.end() || found->second.kind != kind) return nullptr;
  return found->second.object;
}

void UnregisterHandle(const void* handle) {
  if (handle == nullptr) return;
  std::lock_guard<std::mutex> hold(RegistryLock());
  Registry().erase(reinterpret_cast<uintptr_t>(handle));
}

uint32_t CountHandles(HandleKind kind) {
  std::lock_guard<std::mutex> hold(RegistryLock());
  uint32_t count = 0;
  for (const auto& [value, registered] : Registry()) {
    if (registered.kind == kind) ++count;
  }
  return count;
}

}  // namespace vscaudio
