// The alert word: one bit per advisory, raised by the checks of a cycle and
// spoken by the announcement pass when newly raised. Panels read the last
// completed cycle's word through the panel variable "ORVA_Alert", so these
// values are part of the unit's outside interface and never change.
#pragma once
#include <cstdint>

namespace orvante {

inline constexpr uint32_t AlertAppRwyOnGnd = 0x1;  // taxiing towards a runway
inline constexpr uint32_t AlertAppRwyInAir = 0x2;  // approaching a runway in the air
inline constexpr uint32_t AlertOnRunway = 0x4;     // lined up on a runway
inline constexpr uint32_t AlertRunwayEnd = 0x8;
inline constexpr uint32_t AlertTaxiwayTakeOff = 0x10;
inline constexpr uint32_t AlertInsufficientLength = 0x20;
inline constexpr uint32_t AlertExtendedHolding = 0x40;
inline constexpr uint32_t AlertShortRunwayInAir = 0x80;
inline constexpr uint32_t AlertTaxiwayLanding = 0x100;
inline constexpr uint32_t AlertTakeOffFlaps = 0x200;
inline constexpr uint32_t AlertDistanceRemaining = 0x400;
inline constexpr uint32_t AlertLandingFlaps = 0x800;
inline constexpr uint32_t AlertTooFast = 0x1000;
inline constexpr uint32_t AlertTooHigh = 0x2000;
inline constexpr uint32_t AlertUnstable = 0x4000;
inline constexpr uint32_t AlertAltimeter = 0x8000;
inline constexpr uint32_t AlertLongLanding = 0x10000;
inline constexpr uint32_t AlertCaution = 0x20000;

}  // namespace orvante
