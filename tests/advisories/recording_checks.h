// Advisory checks that record their calls instead of checking, for the tests
// of the order in which the runway situation calls them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orvante::testing {

struct CheckCall {
  std::string name;
  std::string designator;  // of the runway end passed, empty for unit-wide checks
  uint32_t alertWord = 0;  // at the time of the call
  uint32_t previousAlertWord = 0;
};

// Every call since the last ClearCheckCalls, in order.
std::vector<CheckCall>& CheckCalls();
void ClearCheckCalls();
// The names alone.
std::vector<std::string> CheckCallNames();

}  // namespace orvante::testing
