// Distance callouts: the runway remaining counted down at fixed marks during
// the landing roll and a rejected take-off, and measured lengths spelled out
// in whole hundreds ("remaining" on the ground, "available" in the air).
//
// CheckDistanceRemaining, which raises AlertDistanceRemaining and the marks,
// is declared with the other checks in advisory_checks.h.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "profiles/profile_settings.h"

namespace orvante {

// The marks of remainingMarks, highest distance first.
inline constexpr uint32_t kMark4000Ft = 0x10;  // 1200 m
inline constexpr uint32_t kMark3000Ft = 0x8;   // 900 m
inline constexpr uint32_t kMark2000Ft = 0x4;   // 600 m
inline constexpr uint32_t kMark1000Ft = 0x2;   // 300 m
inline constexpr uint32_t kMark500Ft = 0x1;    // 100 m
inline constexpr uint32_t kMarksInOrder[] = {kMark4000Ft, kMark3000Ft, kMark2000Ft, kMark1000Ft, kMark500Ft};

// A drop of this many knots below the highest ground speed of the second half
// of the runway marks the take-off as rejected.
inline constexpr int32_t kRejectSpeedDropKt = 7;
// At or below this ground speed the runway ahead is stored and no mark is raised.
inline constexpr int32_t kRemainingSpeedFloorKt = 40;
// Landing marks start at or below this height above the runway, feet.
inline constexpr double kLandingMarksCeilingFt = 100;

// The distance a mark stands for, in whole feet (UnitsOfMeasure 0) or whole
// metres (1); 0 for any other unit or mark.
uint32_t MarkDistance(uint32_t mark, uint32_t unitsOfMeasure);

// The mark whose range holds `ahead` (from just above the next lower mark up
// to the mark itself) and whose distance is at most `limit`; 0 when none, or
// when the unit is neither feet nor metres.
uint32_t MarkFor(uint32_t ahead, uint32_t limit, uint32_t unitsOfMeasure);

// The cue names of one mark in the profile's unit, the unit word only when
// AnnunciateUnits is 1; empty for a unit other than feet or metres.
std::vector<std::string> MarkCues(const ProfileSettings& profile, uint32_t mark);

enum class DistanceKind { kRemaining, kAvailable };

// The cue names that speak a distance truncated to whole hundreds: the
// thousands and "1000", the hundreds digit and "100" unless 0, the unit word,
// then "remaining" or "available".
std::vector<std::string> DistanceCues(const ProfileSettings& profile, uint32_t distance, DistanceKind kind);

}  // namespace orvante
