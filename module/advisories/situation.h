// The runway situation of one cycle: nearest runway and height above it,
// approach arming, the runway end the aircraft is lined up on, taxiing towards
// or approaching, and the fixed order in which the advisory checks, the
// altimeter monitor and the announcement pass run.
#pragma once
#include "advisories/situation_context.h"

namespace orvante {

// The whole assessment of one cycle, after UpdateAircraftPoint. Ends early,
// changing nothing, when the sample has no position yet or the runway list is
// empty. Otherwise ends with the previous-cycle values, the copy of the sample
// block into ctx.previousSample, and the ground reset.
void AssessSituation(SituationContext& ctx);

// Examines one runway end: lined up on it (the first such end raises
// AlertOnRunway and runs the lined-up checks), merely inside it at an angle
// (nothing), or outside it (the approach tests on the ground and in the air).
void CheckRunway(SituationContext& ctx, const RunwayRecord& runwayEnd);

inline constexpr double kRunwayCheckCeilingFt = 3000;
inline constexpr double kGateLatchResetFt = 950;
inline constexpr int32_t kArmingDescentFpm = -250;
inline constexpr int32_t kDisarmingClimbFpm = 250;
inline constexpr double kShortRunwayWidthFt = 50;
inline constexpr double kShortRunwayLengthFt = 1000;

}  // namespace orvante
