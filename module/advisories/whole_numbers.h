// Whole numbers from measured values. The engine truncates distances and
// heights toward zero before comparing them with whole-number limits; a value
// that is not a number, or too large for the result, must not become
// undefined behaviour, so it is pinned instead: not a number gives 0, values
// beyond the range give its nearest end.
#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

namespace orvante {

// x truncated toward zero as a signed 64-bit number.
inline int64_t TruncateToWhole(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 9.2e18) return std::numeric_limits<int64_t>::max();
  if (x <= -9.2e18) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(x);
}

// x truncated toward zero as a signed 32-bit number.
inline int32_t TruncateToInt32(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(x);
}

// x truncated toward zero as an unsigned 32-bit number. Negative values wrap
// as a 32-bit two's-complement integer would, which the height gates rely on
// (a height below the runway counts as above every gate).
inline uint32_t TruncateToUint32(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 0) return x >= 4294967295.0 ? std::numeric_limits<uint32_t>::max() : static_cast<uint32_t>(x);
  return static_cast<uint32_t>(TruncateToInt32(x));
}

}  // namespace orvante
