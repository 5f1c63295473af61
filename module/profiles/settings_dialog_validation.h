// The checks the settings dialog makes on its boxes before anything is saved,
// and the way its boxes' texts become numbers. The checks run on the texts as
// typed, in a fixed order; the first that fails gives the message the user
// sees, and nothing is read or written.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace orvante {

// The texts of the boxes that are checked, and what the checks depend on.
struct SettingsEntries {
  std::string extHoldInitialTime;
  std::string extHoldRepeatTime;
  std::string upperFlapGateAlert;
  std::string lowerFlapGateAlert;
  std::string minTakeOffFlaps;
  std::string minLandingFlaps;
  bool airbusZone = false;  // the Airbus suppression zone button is set
  // Flap deflection per flaps-handle detent of the loaded aircraft; the last
  // one is the largest the Boeing zone allows. Empty: flaps are not checked.
  std::vector<uint32_t> flapPositions;
};

// Succeeds when all checks pass; a failure is the message of the first that
// fails.
common::Result<> ValidateSettingsEntries(const SettingsEntries& entries);

// The leading decimal number of a box's text, as the dialog reads it: the
// first 29 characters, leading blanks skipped, an optional sign, then digits;
// 0 when there are none (an empty box). Values beyond 64 bits saturate.
int64_t LeadingDecimal(std::string_view text);

// A box's number as a 32-bit unsigned field stores it: negative numbers give
// 0 and numbers beyond the field's range its largest value.
uint32_t NumberBoxValue(std::string_view text);

// The altimeter-setting tolerance from its box: the leading decimal number
// (0 when there is none), rounded to two decimals as floor(x * 100 + 0.5) / 100.
float ToleranceBoxValue(std::string_view text);

// The tolerance as the box shows it, with two decimals and a decimal point.
std::string FormatTolerance(float tolerance);

}  // namespace orvante
