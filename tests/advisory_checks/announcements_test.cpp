// The announcement pass, through whole cycles of the real runway situation
// (aircraft point, assessment, checks, pass) on synthetic runways: the exact
// cue sequences of lining up, taxiing towards runways, approaches with and
// without the suppression band, short runways, the landing roll's marks in
// feet and metres, the runway end, a rejected take-off and the holding
// reminders.
#include "advisories/announcements.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "advisories/advisory_checks.h"
#include "advisories/alert_word.h"
#include "check_harness.h"

namespace orvante {
namespace {

using Cues = std::vector<std::string>;
using testing::CheckHarness;
using testing::EndPoint;
using testing::NorthOf;
using testing::OppositePoint;
using testing::QueuedCues;
using testing::RunwayPoint;

TEST(FreshAndNewlyRaised, DesignatorChangeMakesARaisedBitFresh) {
  AdvisoryState s;
  s.alertWord = AlertOnRunway | AlertCaution;
  s.previousAlertWord = AlertOnRunway;
  std::strcpy(s.currentDesignator, "27L");
  std::strcpy(s.previousDesignator, "27L");
  EXPECT_FALSE(IsNewlyRaised(s, AlertOnRunway));
  EXPECT_FALSE(IsFresh(s, AlertOnRunway));
  EXPECT_TRUE(IsNewlyRaised(s, AlertCaution));
  EXPECT_TRUE(IsFresh(s, AlertCaution));
  EXPECT_FALSE(IsFresh(s, AlertRunwayEnd));
  // Compared byte for byte: another letter or letter case is another runway.
  std::strcpy(s.currentDesignator, "27l");
  EXPECT_TRUE(IsFresh(s, AlertOnRunway));
  EXPECT_FALSE(IsNewlyRaised(s, AlertOnRunway));
}

TEST(RunwayCueName, FilledAndLowerCased) {
  EXPECT_EQ(RunwayCueName("onrwy%s", "27L"), "onrwy27l");
  EXPECT_EQ(RunwayCueName("apprwy%s", "09"), "apprwy09");
  EXPECT_EQ(RunwayCueName("apprwy%s", ""), "apprwy");
}

// Only a mark's own cues go in a call that cuts in: what the steps before it
// said is handed over first, uncut, and what follows waits for a call of its own.
TEST(AnnouncementPass, MarksAloneInTheirCuttingCalls) {
  CheckHarness h;
  h.sample.onGround = 1;
  h.sample.groundSpeedKt = 10;
  std::strcpy(h.state.currentDesignator, "36");
  h.state.alertWord = AlertOnRunway | AlertDistanceRemaining | AlertTooFast;
  h.state.remainingMarks = 0x2;
  SituationContext ctx = h.Context();
  AnnouncementPass(ctx);
  ASSERT_EQ(h.queued.size(), 3u);
  EXPECT_EQ(h.queued[0].cues, (Cues{"onrwy36"}));
  EXPECT_FALSE(h.queued[0].cutCurrent);
  EXPECT_EQ(h.queued[1].cues, (Cues{"1", "1000", "feet", "remaining"}));
  EXPECT_TRUE(h.queued[1].cutCurrent);
  EXPECT_EQ(h.queued[2].cues, (Cues{"toofastx2"}));
  EXPECT_FALSE(h.queued[2].cutCurrent);
}

// The cue sequences handed over, one per queueAnnouncement call.
std::vector<Cues> Calls(const CheckHarness& h) {
  std::vector<Cues> calls;
  for (const QueuedCues& q : h.queued) calls.push_back(q.cues);
  return calls;
}

TEST(Announcements, LiningUpOnceThenTheNextRunwayTurnedOnto) {
  CheckHarness h;
  const RunwayRecord* a = h.AddRunway("271", "091", {47.0, 8.0}, 270, 8000);
  GeoPoint north = OffsetPoint(47.0, 8.0, 9000, 0, false);
  const RunwayRecord* b = h.AddRunway("090", "270", north, 90, 8000);
  h.frame.flapsHandleIndex = 2;
  h.OnGround(10);
  h.PlaceAt(RunwayPoint(*a, -2000), 0, 270);
  for (int i = 0; i < 4; ++i) h.Cycle();
  EXPECT_EQ(h.Cues(), (Cues{"onrwy27l"}));
  h.PlaceAt(RunwayPoint(*b, -2000), 0, 90);
  for (int i = 0; i < 4; ++i) h.Cycle();
  EXPECT_EQ(h.Cues(), (Cues{"onrwy27l", "onrwy09"}));
  for (const QueuedCues& q : h.queued) EXPECT_FALSE(q.cutCurrent);

  // Faster than 40 kt lining up is a rolling take-off: no callout.
  CheckHarness fast;
  const RunwayRecord* c = fast.AddRunway("271", "091", {47.0, 8.0}, 270, 8000);
  fast.frame.flapsHandleIndex = 2;
  fast.OnGround(45);
  fast.PlaceAt(RunwayPoint(*c, -2000), 0, 270);
  fast.Cycle();
  EXPECT_TRUE(fast.Cues().empty());
}

TEST(Announcements, TaxiingTowardsTwoRunwaysAtOnce) {
  // Parallel runways 36L and 36R east of the aircraft, which taxis east
  // south of their middles: both south ends are ahead in the same cycle.
  CheckHarness h;
  GeoPoint left = OffsetPoint(47.0, 8.0, 150, 90, false);
  GeoPoint right = OffsetPoint(47.0, 8.0, 350, 90, false);
  h.AddRunway("361", "181", left, 0, 8000);
  h.AddRunway("362", "182", right, 0, 8000);
  h.OnGround(20);
  h.PlaceAt(OffsetPoint(47.0, 8.0, 1000, 180, false), 0, 90);
  h.Cycle();
  h.Cycle();
  EXPECT_EQ(h.Cues(), (Cues{"apprrunways"}));

  // One of them alone names it.
  CheckHarness one;
  one.AddRunway("361", "181", left, 0, 8000);
  one.OnGround(20);
  one.PlaceAt(OffsetPoint(47.0, 8.0, 1000, 180, false), 0, 90);
  one.Cycle();
  EXPECT_EQ(one.Cues(), (Cues{"apprwy36l"}));
}

// On a 3 degree path to runway 36, armed, configured for landing.
struct Final {
  CheckHarness h;
  const RunwayRecord* r = nullptr;
  void Runway(double lengthFt) {
    r = h.AddRunway("360", "180", {47.0, 8.0}, 0, lengthFt);
    h.state.approachArmed = 1;
    h.frame.flapsHandleIndex = 3;
    h.InAir(140, -700);
  }
  // One cycle at a sampled height on the path (the look-ahead takes 5.5 ft off it).
  void At(double heightFt) {
    double toAim = heightFt / std::tan(3.0 * DEGREES_TO_RADIANS);
    double aimFromEnd = r->length / 8;
    h.PlaceAt(NorthOf(EndPoint(*r), aimFromEnd - toAim), heightFt, 0);
    h.Cycle();
  }
  void Descend(double fromFt, double toFt) {
    for (double height = fromFt; height >= toFt; height -= 10) At(height);
  }
};

TEST(Approach, ShortRunwayNamedWithItsLengthThenTheCautionBelow450Feet) {
  Final f;
  CheckHarness& h = f.h;
  f.Runway(4750);
  h.profile.AppShortRwyInAir = 1;
  h.profile.MinLandingLength = 5000;
  f.At(600);
  EXPECT_EQ(h.Cues(), (Cues{"apprwy36", "4", "1000", "7", "100", "feet", "available"}));
  f.Descend(590, 460);
  EXPECT_EQ(h.Cues().size(), 7u);
  f.Descend(450, 320);
  EXPECT_EQ(h.Cues(), (Cues{"apprwy36", "4", "1000", "7", "100", "feet", "available", "cautionshortrwy"}));
}

TEST(Approach, ShortRunwayCautionRisingInsideTheAirbusBandIsNeverSpoken) {
  Final f;
  CheckHarness& h = f.h;
  f.Runway(4750);
  h.profile.AirbusSupprZone = 1;  // band 350 to 450 ft
  h.profile.AppShortRwyInAir = 1;
  h.profile.MinLandingLength = 5000;
  f.Descend(600, 310);
  EXPECT_EQ(h.Cues(), (Cues{"apprwy36", "4", "1000", "7", "100", "feet", "available"}));
}

TEST(Approach, FirstQualifyingInsideTheBandStaysSilentForTheWholeApproach) {
  Final f;
  f.Runway(8000);
  f.Descend(505, 310);
  EXPECT_TRUE(f.h.Cues().empty());
  EXPECT_TRUE(f.h.state.previousAlertWord.load() & AlertAppRwyInAir);

  // The same height is above the Airbus band: announced.
  Final airbus;
  airbus.Runway(8000);
  airbus.h.profile.AirbusSupprZone = 1;
  airbus.At(505);
  EXPECT_EQ(airbus.h.Cues(), (Cues{"apprwy36"}));
}

TEST(Approach, QualifyingAbove550FeetIsAnnouncedOnce) {
  Final f;
  f.Runway(8000);
  f.Descend(600, 310);
  EXPECT_EQ(f.h.Cues(), (Cues{"apprwy36"}));
}

// Rolls along runway 36 from `fromFt` to `toFt` past its threshold in steps of
// 50 ft, the ground speed going linearly from `fromKt` to `toKt`.
void Roll(CheckHarness& h, const RunwayRecord& r, double fromFt, double toFt, double fromKt, double toKt) {
  int steps = std::max(1, static_cast<int>(std::lround(std::fabs(toFt - fromFt) / 50)));
  if (toFt == fromFt) steps = 0;
  for (int i = 0; i <= steps; ++i) {
    double part = steps == 0 ? 0 : static_cast<double>(i) / steps;
    double along = fromFt + (toFt - fromFt) * part;
    h.OnGround(static_cast<int32_t>(std::lround(fromKt + (toKt - fromKt) * part)));
    h.PlaceAt(NorthOf(EndPoint(r), along), r.elevation, 0);
    h.Cycle();
  }
}

TEST(Announcements, LandingRollMarksEachOnceCuttingIn) {
  CheckHarness h;
  const RunwayRecord* r = h.AddRunway("360", "180", {47.0, 8.0}, 0, 6000);
  h.state.approachArmed = 1;
  h.frame.flapsHandleIndex = 3;
  Roll(h, *r, 300, 5700, 130, 45);
  Roll(h, *r, 5750, 5800, 30, 20);
  EXPECT_EQ(Calls(h), (std::vector<Cues>{{"3", "1000", "feet", "remaining"},
                                         {"2", "1000", "feet", "remaining"},
                                         {"1", "1000", "feet", "remaining"},
                                         {"5", "100", "feet", "remaining"}}));
  for (const QueuedCues& q : h.queued) EXPECT_TRUE(q.cutCurrent);
}

TEST(Announcements, LandingRollMarksInMetres) {
  CheckHarness h;
  h.profile.UnitsOfMeasure = 1;
  const RunwayRecord* r = h.AddRunway("360", "180", {47.0, 8.0}, 0, 6000);
  h.state.approachArmed = 1;
  h.frame.flapsHandleIndex = 3;
  Roll(h, *r, 300, 5700, 130, 45);
  EXPECT_EQ(Calls(h), (std::vector<Cues>{{"9", "100", "meters", "remaining"},
                                         {"6", "100", "meters", "remaining"},
                                         {"3", "100", "meters", "remaining"},
                                         {"1", "100", "meters", "remaining"}}));
  for (const QueuedCues& q : h.queued) EXPECT_TRUE(q.cutCurrent);
}

TEST(Announcements, RejectedTakeOffOnA9000FootRunway) {
  CheckHarness h;
  const RunwayRecord* r = h.AddRunway("360", "180", {47.0, 8.0}, 0, 9000);
  h.frame.flapsHandleIndex = 2;
  Roll(h, *r, 500, 500, 0, 0);       // lined up, 8500 ft ahead
  Roll(h, *r, 550, 4800, 10, 140);   // the take-off roll into the second half
  Roll(h, *r, 4850, 8700, 139, 45);  // rejected
  ASSERT_EQ(h.queued.size(), 6u);
  EXPECT_EQ(h.queued[0].cues, (Cues{"onrwy36"}));
  EXPECT_FALSE(h.queued[0].cutCurrent);
  EXPECT_EQ(Calls(h), (std::vector<Cues>{{"onrwy36"},
                                         {"4", "1000", "feet", "remaining"},
                                         {"3", "1000", "feet", "remaining"},
                                         {"2", "1000", "feet", "remaining"},
                                         {"1", "1000", "feet", "remaining"},
                                         {"5", "100", "feet", "remaining"}}));
  for (size_t i = 1; i < h.queued.size(); ++i) EXPECT_TRUE(h.queued[i].cutCurrent);
  EXPECT_EQ(h.state.rejectedTakeOff, 1u);
}

TEST(Announcements, NormalTakeOffRaisesNoMarks) {
  CheckHarness h;
  const RunwayRecord* r = h.AddRunway("360", "180", {47.0, 8.0}, 0, 9000);
  h.frame.flapsHandleIndex = 2;
  Roll(h, *r, 500, 500, 0, 0);
  Roll(h, *r, 550, 7000, 10, 160);
  EXPECT_EQ(h.Cues(), (Cues{"onrwy36"}));
}

TEST(Announcements, RunwayEndInMetresWithoutTheUnitWord) {
  CheckHarness h;
  h.profile.UnitsOfMeasure = 1;
  h.profile.AnnunciateUnits = 0;
  const RunwayRecord* r = h.AddRunway("360", "180", {47.0, 8.0}, 0, 10000);
  h.frame.flapsHandleIndex = 2;
  // From 50 m to 20 m before the far end at 10 kt.
  Roll(h, *r, r->length - 50 / FEET_TO_METRES, r->length - 20 / FEET_TO_METRES, 10, 10);
  EXPECT_EQ(h.Cues(), (Cues{"onrwy36", "30", "remaining"}));

  CheckHarness feet;
  feet.profile.MinTakeOffLength = 0;
  r = feet.AddRunway("360", "180", {47.0, 8.0}, 0, 10000);
  feet.frame.flapsHandleIndex = 2;
  Roll(feet, *r, r->length - 200, r->length - 50, 10, 10);
  EXPECT_EQ(feet.Cues(), (Cues{"onrwy36", "1", "100", "feet", "remaining"}));
}

TEST(Announcements, RunwayAheadTooShortWithTheCautionOnceRolling) {
  CheckHarness h;
  h.profile.MinTakeOffLength = 3000;
  const RunwayRecord* r = h.AddRunway("360", "180", {47.0, 8.0}, 0, 10000);
  h.frame.flapsHandleIndex = 0;
  Roll(h, *r, r->length - 2750, r->length - 2750, 5, 5);
  Roll(h, *r, r->length - 2700, r->length - 2000, 20, 60);
  EXPECT_EQ(Calls(h), (std::vector<Cues>{{"onrwy36", "2", "1000", "7", "100", "feet", "remaining", "flapsflaps"},
                                         {"cautionshortrwy"}}));
}

TEST(Announcements, HoldingRemindersAfter61SecondsThenEvery31) {
  CheckHarness h;
  const RunwayRecord* r = h.AddRunway("360", "180", {47.0, 8.0}, 0, 10000);
  h.frame.flapsHandleIndex = 2;
  h.OnGround(0);
  h.PlaceAt(RunwayPoint(*r, -4000), 0, 0);
  for (int i = 0; i < 400; ++i) h.Cycle();
  // Moving at 1 kt for one cycle starts the count again.
  h.OnGround(1);
  h.Cycle();
  h.OnGround(0);
  for (int i = 0; i < 299; ++i) h.Cycle();

  std::vector<std::pair<int, Cues>> heard;
  for (const QueuedCues& q : h.queued) heard.push_back({q.cycle, q.cues});
  // Cycle 1 is at 0 s: the first reminder at 61 s (cycle 245); the timer
  // restarts with it and passes 30 whole seconds 125 cycles later; after the
  // move at cycle 401 the first reminder comes 61 s after cycle 402.
  Cues twice{"onrwy36", "onrwy36"};
  EXPECT_EQ(heard,
            (std::vector<std::pair<int, Cues>>{{1, {"onrwy36"}}, {245, twice}, {370, twice}, {402 + 244, twice}}));
}

TEST(Announcements, HoldingReminderSpokenWithoutTheLiningUpCallout) {
  CheckHarness h;
  h.profile.OnRunway = 0;
  const RunwayRecord* r = h.AddRunway("271", "091", {47.0, 8.0}, 270, 10000);
  h.frame.flapsHandleIndex = 2;
  h.OnGround(0);
  h.PlaceAt(RunwayPoint(*r, -4000), 0, 270);
  for (int i = 0; i < 250; ++i) h.Cycle();
  EXPECT_EQ(h.Cues(), (Cues{"onrwy27l", "onrwy27l"}));
  EXPECT_EQ(h.state.holdPhase, 1u);
}

TEST(Announcements, OnlyWhatRosePerCycleAndNothingWhileMuted) {
  CheckHarness h;
  const RunwayRecord* r = h.AddRunway("360", "180", {47.0, 8.0}, 0, 8000);
  h.frame.flapsHandleIndex = 0;
  h.OnGround(10);
  h.state.muted = 1;
  h.PlaceAt(RunwayPoint(*r, -2000), 0, 0);
  h.Cycle();
  h.state.muted = 0;
  h.Cycle();
  EXPECT_TRUE(h.Cues().empty());
  // Leaving the runway and lining up again speaks both again.
  h.PlaceAt(RunwayPoint(*r, -2000, 400), 0, 90);
  h.Cycle();
  h.PlaceAt(RunwayPoint(*r, -2000), 0, 0);
  h.Cycle();
  EXPECT_EQ(h.Cues(), (Cues{"onrwy36", "flapsflaps"}));
}

TEST(Announcements, GateAlertsOnFinal) {
  CheckHarness h;
  const RunwayRecord* r = h.AddRunway("360", "180", {47.0, 8.0}, 0, 8000);
  h.state.approachArmed = 1;
  h.frame.flapsHandleIndex = 1;
  h.profile.AppRwyInAir = 0;
  auto at = [&](double nm, double heightFt, int32_t speedKt) {
    h.PlaceAt(NorthOf(EndPoint(*r), -nm * NAUTICAL_MILES_TO_FEET), heightFt, 0);
    h.InAir(speedKt, -700);
    h.Cycle();
  };
  at(4.2, 700, 150);  // flaps between the gates
  at(4.1, 690, 150);
  at(2.5, 520, 150);  // flaps below the lower gate: the bit stays raised, nothing new
  at(2.4, 510, 230);  // too fast
  at(2.0, 420, 230);  // unstable
  EXPECT_EQ(h.Cues(), (Cues{"flapsx2pause", "toofastx2", "unstablex2"}));

  // Below the lower gate first: "flaps flaps".
  CheckHarness low;
  r = low.AddRunway("360", "180", {47.0, 8.0}, 0, 8000);
  low.state.approachArmed = 1;
  low.frame.flapsHandleIndex = 1;
  low.profile.AppRwyInAir = 0;
  low.PlaceAt(NorthOf(EndPoint(*r), -2.5 * NAUTICAL_MILES_TO_FEET), 520, 0);
  low.InAir(150, -700);
  low.Cycle();
  EXPECT_EQ(low.Cues(), (Cues{"flapsflaps"}));
}

}  // namespace
}  // namespace orvante
