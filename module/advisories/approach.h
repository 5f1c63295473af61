// Approaching a runway: taxiing towards one on the ground, and lined up with
// one on final in the air. Both examine one runway end at a time, in the order
// of the runway list, and only raise bits and set advisory-state fields.
#pragma once
#include "advisories/situation_context.h"

namespace orvante {

// On the ground below 40 kt, not on an approach and not lined up on a runway
// in this cycle (decided for the whole list before any end is examined): a
// probe ahead of the aircraft (1.5 runway widths, or 12.5 s of travel when
// longer) that crosses the runway's outline raises AlertAppRwyOnGnd for this
// end, when it is the end nearer to the aircraft (or as near as the other).
void CheckApproachOnGround(SituationContext& ctx, const RunwayRecord& runwayEnd);

// In the air on an armed approach: tracks the least whole-NM distance to any
// end, and when heading for this end's point from within 20 degrees of its
// extended centreline makes it the aligned runway; between 300 and 750 ft
// above the runway, within 3 NM and inside the lateral funnel, raises
// AlertAppRwyInAir. Runs the short-runway and approach-angle checks.
void CheckApproachInAir(SituationContext& ctx, const RunwayRecord& runwayEnd);

inline constexpr int32_t kTaxiingSpeedLimitKt = 40;
inline constexpr double kProbeWidths = 1.5;
inline constexpr double kProbeSeconds = 12.5;
inline constexpr double kApproachHeadingWindow = 22.5;   // degrees off the bearing to the end
inline constexpr double kApproachCentrelineWindow = 20;  // degrees off the extended centreline
inline constexpr double kApproachCalloutFloorFt = 300;
inline constexpr double kApproachCalloutCeilingFt = 750;
inline constexpr double kApproachCalloutRangeNm = 3.0;

}  // namespace orvante
