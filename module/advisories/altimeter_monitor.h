// The altimeter setting monitor: a reminder when climbing through the
// transition altitude without standard pressure set, and when descending
// below the transition level with a setting off the sea-level pressure by
// more than the profile's tolerance. With RepAltSetCallOut the reminder waits
// until the condition has lasted 31 s and repeats every 31 s while it lasts.
//
// CheckAltimeter is declared with the other checks in advisory_checks.h.
#pragma once
#include <string>

#include "advisories/situation_context.h"

namespace orvante {

// Standard pressure as the monitor compares it: the setting rounded to two
// decimals and written with two.
inline constexpr const char* kStandardSettingText = "29.92";
// Vertical speeds, ft/min, beyond which the aircraft counts as climbing or descending.
inline constexpr int32_t kAltimeterClimbFpm = 100;
inline constexpr int32_t kAltimeterDescentFpm = -100;
// The below check keeps quiet this close above the nearest runway, feet.
inline constexpr double kAltimeterLeastHeightFt = 600;
// Whole seconds the reminder condition lasts before it is raised (exceeded).
inline constexpr int64_t kAltimeterRepeatSeconds = 30;

// The simulator text line shown with a spoken reminder.
std::string AltimeterText(const AircraftState& sample);

// The reminder as the announcement pass speaks it when AlertAltimeter is
// newly raised: the cue "altimeter", the text line when ShowAltSetMsg is 1,
// and the restart of the repeat timer.
void AnnounceAltimeter(SituationContext& ctx);

}  // namespace orvante
