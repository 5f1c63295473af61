// The registry of live handles: kinds are kept apart, released handles are
// refused, and no handle value is ever handed out twice.
#include "handle_registry.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

using namespace vscaudio;

TEST(HandleRegistryTest, AHandleFindsItsObjectOnlyUnderItsOwnKind) {
  int object = 0;
  void* handle = RegisterHandle(HandleKind::kStream, &object);
  EXPECT_EQ(LookUpHandle(handle, HandleKind::kStream), &object);
  EXPECT_EQ(LookUpHandle(handle, HandleKind::kList), nullptr);
  EXPECT_EQ(LookUpHandle(handle, HandleKind::kSound), nullptr);
  UnregisterHandle(handle);
  EXPECT_EQ(LookUpHandle(handle, HandleKind::kStream), nullptr);
  UnregisterHandle(handle);  // a second release is harmless
}

TEST(HandleRegistryTest, NullAllOnesAndUnknownValuesFindNothing) {
  EXPECT_EQ(LookUpHandle(nullptr, HandleKind::kSound), nullptr);
  EXPECT_EQ(LookUpHandle(reinterpret_cast<void*>(~uintptr_t{0}), HandleKind::kSound), nullptr);
  int local = 0;
  EXPECT_EQ(LookUpHandle(&local, HandleKind::kList), nullptr) << "the address of an object is not its handle";
}

TEST(HandleRegistryTest, ReleasedValuesAreNeverReused) {
  int object = 0;
  std::set<void*> seen;
  for (int i = 0; i < 10000; ++i) {
    void* handle = RegisterHandle(HandleKind::kSound, &object);
    EXPECT_NE(handle, nullptr);
    EXPECT_NE(handle, reinterpret_cast<void*>(~uintptr_t{0}));
    EXPECT_TRUE(seen.insert(handle).second) << "value handed out twice";
    UnregisterHandle(handle);
  }
  EXPECT_EQ(CountHandles(HandleKind::kSound), 0u);
}

TEST(HandleRegistryTest, ConcurrentRegistrationsGetDistinctHandles) {
  constexpr int kThreads = 4, kEach = 2000;
  std::vector<std::vector<void*>> handles(kThreads);
  std::vector<std::thread> threads;
  int object = 0;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) handles[t].push_back(RegisterHandle(HandleKind::kList, &object));
    });
  }
  for (auto& thread : threads) thread.join();
  std::set<void*> all;
  for (auto& list : handles) all.insert(list.begin(), list.end());
  EXPECT_EQ(all.size(), static_cast<size_t>(kThreads * kEach));
  EXPECT_EQ(CountHandles(HandleKind::kList), static_cast<uint32_t>(kThreads * kEach));
  for (void* handle : all) UnregisterHandle(handle);
  EXPECT_EQ(CountHandles(HandleKind::kList), 0u);
}
