// Runs a clean-up when the scope that holds it ends, however it ends: a
// return from the middle, an early failure or the normal end.
//
//   platform::SetClock(&clock);
//   common::ScopeExit restoreClock([] { platform::SetClock(nullptr); });
#pragma once
#include <utility>

namespace common {

template <typename CleanUp>
class [[nodiscard]] ScopeExit {
 public:
  explicit ScopeExit(CleanUp cleanUp) : cleanUp_(std::move(cleanUp)) {}
  ~ScopeExit() { cleanUp_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  CleanUp cleanUp_;
};

}  // namespace common
