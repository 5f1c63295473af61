// The announcement pass in its ten steps.
#include "advisories/announcements.h"

#include <cctype>
#include <cstring>
#include <vector>

#include "advisories/advisory_checks.h"
#include "advisories/alert_word.h"
#include "advisories/advisory_triggers.h"
#include "advisories/altimeter_monitor.h"
#include "advisories/distance_callouts.h"
#include "common/text.h"

namespace orvante {

bool IsNewlyRaised(const AdvisoryState& state, uint32_t alert) {
  return (state.alertWord & alert) != 0 && (state.previousAlertWord.load() & alert) == 0;
}

bool IsFresh(const AdvisoryState& state, uint32_t alert) {
  if ((state.alertWord & alert) == 0) return false;
  return (state.previousAlertWord.load() & alert) == 0 ||
         std::strncmp(state.previousDesignator, state.currentDesignator, sizeof state.currentDesignator) != 0;
}

std::string RunwayCueName(const char* pattern, const char* designator) {
  std::string name;
  for (const char* c = pattern; *c != '\0'; ++c) {
    if (c[0] == '%' && c[1] == 's') {
      name += designator;
      ++c;
    } else {
      name += *c;
    }
  }
  return common::ToLowerAscii(name);
}

namespace {

// Collects the cues of one pass in order and hands them to the output: the
// plain cues in as few calls as possible, each mark in a call of its own
// that cuts off what is playing.
class Announcer {
 public:
  explicit Announcer(const AnnouncementOutput* output) : output_(output) {}
  ~Announcer() { Flush(); }

  void Say(std::string cue) { pending_.push_back(std::move(cue)); }
  void SayAll(const std::vector<std::string>& cues) { pending_.insert(pending_.end(), cues.begin(), cues.end()); }

  void SayCuttingIn(const std::vector<std::string>& cues) {
    Flush();
    Queue(cues, true);
  }

  // Hands over what is pending, before anything else reaches the output.
  void Flush() {
    if (pending_.empty()) return;
    Queue(pending_, false);
    pending_.clear();
  }

 private:
  void Queue(const std::vector<std::string>& cues, bool cutCurrent) {
    if (output_ != nullptr && output_->queueAnnouncement) output_->queueAnnouncement(cues, cutCurrent);
  }

  const AnnouncementOutput* output_;
  std::vector<std::string> pending_;
};

bool Has(const AdvisoryState& state, uint32_t alert) { return (state.alertWord & alert) != 0; }

// "apprrunways" when the alert came from several runway ends this cycle,
// else the runway it names.
void SayApproaching(Announcer& say, const AdvisoryState& state) {
  if (state.multipleRunways == 1) {
    say.Say("apprrunways");
  } else {
    say.Say(RunwayCueName("apprwy%s", state.currentDesignator));
  }
}

// A length alert with its spelled distance, and the caution that may join it.
void SayShortRunway(Announcer& say, const SituationContext& ctx, uint32_t alert, DistanceKind kind) {
  const AdvisoryState& state = ctx.state;
  if (!Has(state, alert)) return;
  if (IsFresh(state, alert)) say.SayAll(DistanceCues(ctx.profile, state.storedDistance, kind));
  if (IsFresh(state, AlertCaution)) say.Say("cautionshortrwy");
}

void SayRunwayEnd(Announcer& say, const ProfileSettings& p) {
  bool unitWord = p.AnnunciateUnits.load() == 1;
  switch (p.UnitsOfMeasure.load()) {
    case 0:
      say.SayAll({"1", "100"});
      if (unitWord) say.Say("feet");
      say.Say("remaining");
      break;
    case 1:
      say.Say("30");
      if (unitWord) say.Say("meters");
      say.Say("remaining");
      break;
    default: break;
  }
}

// Step 1: lined up on a runway.
void SayLinedUp(Announcer& say, SituationContext& ctx) {
  const ProfileSettings& p = ctx.profile;
  const AircraftState& s = ctx.sample;
  AdvisoryState& state = ctx.state;

  if (state.approachArmed == 0 && s.onGround == 1) {
    if (IsFresh(state, AlertOnRunway) && s.groundSpeedKt < kSlowOnRunwayKt && p.OnRunway.load() == 1) {
      say.Say(RunwayCueName("onrwy%s", state.currentDesignator));
    }
    if (IsFresh(state, AlertExtendedHolding)) {
      std::string runway = RunwayCueName("onrwy%s", state.currentDesignator);
      say.SayAll({runway, runway});
      // Speaking the reminder starts the repeat count.
      state.holdPhase = 1;
      state.holdTimer = 0;
    }
    SayShortRunway(say, ctx, AlertInsufficientLength, DistanceKind::kRemaining);
    if (IsNewlyRaised(state, AlertRunwayEnd)) SayRunwayEnd(say, p);
    if (IsNewlyRaised(state, AlertTakeOffFlaps)) say.Say("flapsflaps");
  }

  if (Has(state, AlertDistanceRemaining) && p.UnitsOfMeasure.load() <= 1) {
    for (uint32_t mark : kMarksInOrder) {
      if ((state.remainingMarks & mark) != 0 && (state.previousRemainingMarks & mark) == 0) {
        say.SayCuttingIn(MarkCues(p, mark));
      }
    }
  }

  if (IsNewlyRaised(state, AlertLongLanding)) say.Say("longlanding");
}

}  // namespace

void AnnouncementPass(SituationContext& ctx) {
  AdvisoryState& state = ctx.state;
  const AircraftState& s = ctx.sample;
  Announcer say(ctx.output);

  if (Has(state, AlertOnRunway)) SayLinedUp(say, ctx);

  if (IsFresh(state, AlertAppRwyOnGnd)) SayApproaching(say, state);

  // Airborne approach callouts are withheld inside the band where the crew
  // expects the height callouts.
  double h = s.heightAboveRunway;
  bool insideBand = h >= state.suppressionFloor && h <= state.suppressionCeiling;
  if (Has(state, AlertAppRwyInAir) && !insideBand) {
    if (IsFresh(state, AlertAppRwyInAir)) SayApproaching(say, state);
    SayShortRunway(say, ctx, AlertShortRunwayInAir, DistanceKind::kAvailable);
  }

  if (IsNewlyRaised(state, AlertTaxiwayTakeOff)) say.Say("ontaxiwayx2");
  if (IsNewlyRaised(state, AlertTaxiwayLanding)) say.Say("cautiontaxiwayx2");
  if (IsNewlyRaised(state, AlertLandingFlaps)) say.Say(state.flapsBelowLowerGate == 1 ? "flapsflaps" : "flapsx2pause");
  if (IsNewlyRaised(state, AlertTooHigh)) say.Say("toohighx2");
  if (IsNewlyRaised(state, AlertTooFast)) say.Say("toofastx2");
  if (IsNewlyRaised(state, AlertUnstable)) say.Say("unstablex2");

  if (IsNewlyRaised(state, AlertAltimeter)) {
    // The reminder's text line follows its cue, after everything before it.
    say.Flush();
    AnnounceAltimeter(ctx);
  }
}

}  // namespace orvante
