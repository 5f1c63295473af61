// Validation of the settings dialog's boxes and the reading of their numbers.
#include "profiles/settings_dialog_validation.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace orvante {
namespace {

// The dialog reads each box into a 30-character buffer.
constexpr size_t kBoxTextRead = 29;

bool InRange(const std::string& text, int64_t low, int64_t high) {
  int64_t value = LeadingDecimal(text);
  return value >= low && value <= high;
}

std::string WithDegrees(const char* format, uint32_t degrees) {
  char message[160];
  std::snprintf(message, sizeof message, format, degrees);
  return message;
}

}  // namespace

int64_t LeadingDecimal(std::string_view text) {
  text = text.substr(0, std::min(text.size(), kBoxTextRead));
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    int digit = text[i] - '0';
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return negative ? -value : value;
}

uint32_t NumberBoxValue(std::string_view text) {
  int64_t value = LeadingDecimal(text);
  if (value < 0) return 0;
  if (value > std::numeric_limits<uint32_t>::max()) return std::numeric_limits<uint32_t>::max();
  return static_cast<uint32_t>(value);
}

float ToleranceBoxValue(std::string_view text) {
  text = text.substr(0, std::min(text.size(), kBoxTextRead));
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  double value = 0.0;
  auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::fixed);
  (void)end;
  if (error != std::errc() || !std::isfinite(value)) value = 0.0;
  return static_cast<float>(std::floor(value * 100.0 + 0.5) / 100.0);
}

std::string FormatTolerance(float tolerance) {
  char text[64];
  auto result = std::to_chars(text, text + sizeof text - 1, tolerance, std::chars_format::fixed, 2);
  *result.ptr = '\0';
  return text;
}

common::Result<> ValidateSettingsEntries(const SettingsEntries& e) {
  if (!InRange(e.extHoldInitialTime, 60, 300))
    return common::Fail("The INITIAL time period must range between 60 seconds to 300 seconds.");
  if (!InRange(e.extHoldRepeatTime, 30, 300))
    return common::Fail("The REPEAT time period must range between 30 seconds to 300 seconds.");
  if (!InRange(e.upperFlapGateAlert, 500, 1400))
    return common::Fail("The Upper Flap Gate Alert must range between 500 feet AGL to 1400 feet AGL.");
  if (!InRange(e.lowerFlapGateAlert, 500, 1000))
    return common::Fail("The Lower Flap Gate Alert must range between 500 feet AGL to 1000 feet AGL.");
  if (e.airbusZone) {
    if (!InRange(e.minTakeOffFlaps, 0, 4))
      return common::Fail("The Minimum Take-off Flaps must range between 0 position to 4 position.");
    if (!InRange(e.minLandingFlaps, 0, 4))
      return common::Fail("The Minimum Landing Flaps must range between 0 position to 4 position.");
    return {};
  }
  // Boeing zone: degrees, up to the aircraft's fullest flap setting when it is known.
  if (e.flapPositions.empty()) return {};
  const uint32_t last = e.flapPositions.back();
  if (!InRange(e.minTakeOffFlaps, 0, last))
    return common::Fail(WithDegrees("The Minimum Take-off Flaps must range between 0 degrees to %u degrees.", last));
  if (!InRange(e.minLandingFlaps, 0, last))
    return common::Fail(WithDegrees("The Minimum Landing Flaps must range between 0 degrees to %u degrees.", last));
  return {};
}

}  // namespace orvante
