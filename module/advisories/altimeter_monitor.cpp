// The altimeter setting monitor and its reminder.
#include "advisories/altimeter_monitor.h"

#include <cmath>
#include <cstdio>

#include "advisories/advisory_checks.h"
#include "advisories/alert_word.h"
#include "advisories/situation_geometry.h"
#include "advisories/whole_numbers.h"

namespace orvante {

namespace {

// The setting as the pilot reads it: two decimals.
std::string SettingText(double settingInHg) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", RoundTo(settingInHg, 2));
  return text;
}

// One more cycle of the condition. Returns true when the condition has lasted
// long enough for the reminder (whole seconds past 30).
bool ConditionLasts(SituationContext& ctx) {
  float& timer = ctx.state.altimeterTimer;
  if (TruncateToWhole(timer) <= kAltimeterRepeatSeconds) {
    timer += ctx.cycleStep;
    return false;
  }
  return true;
}

}  // namespace

void CheckAltimeter(SituationContext& ctx) {
  const ProfileSettings& p = ctx.profile;
  const AircraftState& s = ctx.sample;
  AdvisoryState& state = ctx.state;
  bool repeated = p.RepAltSetCallOut.load() == 1;
  bool reset = true;

  // Altitudes compare as signed whole feet: an aircraft below sea level is
  // below the transition level and not above the transition altitude.
  int64_t altitude = TruncateToWhole(s.altitudeFt);
  if (s.onGround == 0) {
    if (p.AltSettingBelow.load() == 1 && s.heightAboveRunway > kAltimeterLeastHeightFt &&
        s.verticalSpeedFpm < kAltimeterDescentFpm && altitude < static_cast<int64_t>(p.TransitionLevel.load())) {
      float difference = static_cast<float>(RoundTo(std::fabs(s.seaLevelPressureInHg - s.kohlsmanInHg), 2));
      if (difference > std::fabs(p.AltSetTolerance.load())) {
        if (repeated) {
          reset = false;
          if (ConditionLasts(ctx)) state.alertWord |= AlertAltimeter;
        } else {
          state.alertWord |= AlertAltimeter;
        }
      }
    }
    if (p.AltSettingAbove.load() == 1 && s.verticalSpeedFpm > kAltimeterClimbFpm &&
        altitude > static_cast<int64_t>(p.TransitionAltitude.load()) &&
        SettingText(s.kohlsmanInHg) != kStandardSettingText) {
      if (repeated) {
        reset = false;
        if (ConditionLasts(ctx)) state.alertWord |= AlertAltimeter;
      } else {
        state.alertWord |= AlertAltimeter;
      }
    }
  }
  if (repeated && reset) state.altimeterTimer = 0;
}

std::string AltimeterText(const AircraftState& s) {
  const char* format =
      "%s - Current altitude (MSL): %.2f (Ft) - Barometric pressure at sea: %.2f (Hg) -  Altimeter setting: %.2f "
      "(Hg) - Vertical Speed: %i (Ft/Min)";
  double seaLevel = RoundTo(s.seaLevelPressureInHg, 2), setting = RoundTo(s.kohlsmanInHg, 2);
  // Long enough for any ordinary line; an absurd altitude gets a second try.
  std::string text(256, '\0');
  for (;;) {
    int length =
        std::snprintf(text.data(), text.size(), format, "Orvante", s.altitudeFt, seaLevel, setting, s.verticalSpeedFpm);
    if (length < 0) return {};
    if (static_cast<size_t>(length) < text.size()) {
      text.resize(static_cast<size_t>(length));
      return text;
    }
    text.assign(static_cast<size_t>(length) + 1, '\0');
  }
}

void AnnounceAltimeter(SituationContext& ctx) {
  const AnnouncementOutput* out = ctx.output;
  if (out != nullptr && out->queueAnnouncement) out->queueAnnouncement({"altimeter"}, false);
  // The output leaves the line out while no simulator connection is open.
  if (ctx.profile.ShowAltSetMsg.load() == 1 && out != nullptr && out->showText)
    out->showText(AltimeterText(ctx.sample));
  if (ctx.profile.RepAltSetCallOut.load() == 1) ctx.state.altimeterTimer = 0;
}

}  // namespace orvante
