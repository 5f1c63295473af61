// The altimeter setting monitor: climbing through the transition altitude
// and descending below the transition level, the 31 s repeat, the rounding
// of the setting, the tolerance, negative altitudes, and the reminder's text
// line and timer reset.
#include "advisories/altimeter_monitor.h"

#include <gtest/gtest.h>

#include "advisories/alert_word.h"
#include "check_harness.h"

namespace orvante {
namespace {

using testing::CheckHarness;

// Far from a runway at elevation 0, so that only the monitor speaks.
class Altimeter : public ::testing::Test {
 protected:
  CheckHarness h;
  void SetUp() override {
    h.AddRunway("360", "180", {47.0, 8.0}, 0, 8000);
    h.PlaceAt(OffsetPoint(47.0, 8.0, 30 * NAUTICAL_MILES_TO_FEET, 0, false), 17990, 90);
    h.InAir(280, 1500);
  }

  // Cycles at the frame's vertical speed; returns the cycles (counted from
  // the first one here) in which "altimeter" was queued.
  std::vector<int> Fly(int cycles) {
    int first = h.cycles + 1;
    size_t before = h.queued.size();
    for (int i = 0; i < cycles; ++i) {
      h.Assess();
      h.frame.altitudeFt += h.frame.verticalSpeedFpm / 60.0 * 0.25;
    }
    std::vector<int> heard;
    for (size_t i = before; i < h.queued.size(); ++i) {
      if (h.queued[i].cues == std::vector<std::string>{"altimeter"}) heard.push_back(h.queued[i].cycle - first);
    }
    return heard;
  }
};

TEST_F(Altimeter, ClimbingWithoutStandardPressureRepeatsEvery31Seconds) {
  h.frame.kohlsmanInHg = 30.12;
  // 17990 ft at 6.25 ft a cycle: the third cycle (index 2) is above 18000 ft.
  // The timer then counts 124 cycles (31 s) before the reminder; the reminder
  // restarts it.
  EXPECT_EQ(Fly(500), (std::vector<int>{2 + 124, 2 + 124 + 125, 2 + 124 + 250}));
  EXPECT_FALSE(h.queued.front().cutCurrent);
}

TEST_F(Altimeter, ClimbingWithStandardPressureIsSilent) {
  h.frame.kohlsmanInHg = 29.92;
  EXPECT_TRUE(Fly(300).empty());
  // 29.917 reads as 29.92; 29.925 as 29.93.
  h.frame.kohlsmanInHg = 29.917;
  EXPECT_TRUE(Fly(300).empty());
  h.frame.kohlsmanInHg = 29.925;
  EXPECT_EQ(Fly(300), (std::vector<int>{124, 249}));
}

TEST_F(Altimeter, WithoutRepeatSpokenAtOnceAndOnce) {
  h.profile.RepAltSetCallOut = 0;
  h.frame.kohlsmanInHg = 30.12;
  EXPECT_EQ(Fly(400), (std::vector<int>{2}));
  EXPECT_TRUE(h.state.alertWord & AlertAltimeter);  // raised all along
  EXPECT_EQ(h.state.altimeterTimer, 0.0f);
}

TEST_F(Altimeter, LevelFlightOrTheGroundResetTheTimer) {
  h.frame.kohlsmanInHg = 30.12;
  Fly(100);
  EXPECT_GT(h.state.altimeterTimer, 24.0f);
  h.frame.verticalSpeedFpm = 0;
  Fly(1);
  EXPECT_EQ(h.state.altimeterTimer, 0.0f);
  // The full 31 s again once the climb resumes.
  h.frame.verticalSpeedFpm = 1500;
  EXPECT_EQ(Fly(200), (std::vector<int>{124}));
}

TEST_F(Altimeter, DescendingBelowTheLevelOffTheSeaLevelPressureByMoreThanTheTolerance) {
  h.frame.altitudeFt = 5000;
  h.frame.verticalSpeedFpm = -800;
  h.frame.seaLevelPressureInHg = 29.92;
  h.frame.kohlsmanInHg = 29.88;  // 0.04 off: within the 0.05 tolerance
  EXPECT_TRUE(Fly(200).empty());
  h.frame.kohlsmanInHg = 29.86;  // 0.06 off
  h.frame.altitudeFt = 5000;
  EXPECT_EQ(Fly(200), (std::vector<int>{124}));
  // The tolerance counts by its size.
  h.profile.AltSetTolerance = -0.07f;
  h.frame.altitudeFt = 5000;
  EXPECT_TRUE(Fly(200).empty());
}

TEST_F(Altimeter, BelowCheckSilentOnTheGroundAndWithin600FeetOfTheRunway) {
  h.profile.RepAltSetCallOut = 0;
  h.frame.verticalSpeedFpm = -800;
  h.frame.kohlsmanInHg = 29.50;
  h.frame.altitudeFt = 600;
  EXPECT_TRUE(Fly(10).empty());
  h.frame.altitudeFt = 2000;
  h.frame.onGround = 1;
  EXPECT_TRUE(Fly(10).empty());
  h.frame.onGround = 0;
  h.frame.altitudeFt = 2000;
  EXPECT_EQ(Fly(10), (std::vector<int>{0}));
}

TEST_F(Altimeter, BelowSeaLevelIsBelowTheLevelAndNotAboveTheAltitude) {
  h.profile.RepAltSetCallOut = 0;
  // Climbing out just below sea level with a non-standard setting: not above
  // the transition altitude.
  h.runways.clear();
  h.AddRunway("360", "180", {47.0, 8.0}, 0, 8000, 150, -60);
  h.frame.altitudeFt = -50;
  h.frame.verticalSpeedFpm = 500;
  h.frame.kohlsmanInHg = 30.12;
  h.frame.seaLevelPressureInHg = 30.12;
  EXPECT_TRUE(Fly(20).empty());

  // Descending towards a runway 1300 ft below sea level, 1100 ft above it,
  // with the setting 0.1 off: below the transition level.
  h.runways.clear();
  h.AddRunway("360", "180", {47.0, 8.0}, 0, 8000, 150, -1300);
  h.frame.altitudeFt = -200;
  h.frame.verticalSpeedFpm = -800;
  h.frame.kohlsmanInHg = 30.02;
  EXPECT_EQ(Fly(10), (std::vector<int>{0}));
}

TEST_F(Altimeter, TextLineAfterTheCueWhenAskedForAndConnected) {
  h.profile.RepAltSetCallOut = 0;
  h.profile.ShowAltSetMsg = 1;
  h.frame.altitudeFt = 18012.5;
  h.frame.kohlsmanInHg = 30.117;
  h.frame.seaLevelPressureInHg = 29.904;
  Fly(1);
  EXPECT_EQ(h.outputLog,
            (std::vector<std::string>{"cue altimeter",
                                      "text Orvante - Current altitude (MSL): 18012.50 (Ft) - Barometric pressure at "
                                      "sea: 29.90 (Hg) -  Altimeter setting: 30.12 (Hg) - Vertical Speed: 1500 "
                                      "(Ft/Min)"}));

  // No connection: the cue alone. No text output at all: the same.
  h.outputLog.clear();
  h.textLineOpen = false;
  h.frame.verticalSpeedFpm = 0;
  Fly(1);
  h.frame.verticalSpeedFpm = 1500;
  Fly(1);
  EXPECT_EQ(h.outputLog, (std::vector<std::string>{"cue altimeter"}));
  h.output.showText = nullptr;
  h.frame.verticalSpeedFpm = 0;
  Fly(1);
  h.frame.verticalSpeedFpm = 1500;
  Fly(1);
  EXPECT_EQ(h.outputLog, (std::vector<std::string>{"cue altimeter", "cue altimeter"}));
}

TEST_F(Altimeter, ReminderRaisedWhileMutedIsNotSpokenAfterwards) {
  h.frame.kohlsmanInHg = 30.12;
  h.state.muted = 1;
  EXPECT_TRUE(Fly(200).empty());
  EXPECT_TRUE(h.state.alertWord & AlertAltimeter);
  EXPECT_GT(h.state.altimeterTimer, 30.0f);  // the unspoken reminder restarted nothing
  h.state.muted = 0;
  EXPECT_TRUE(Fly(200).empty());
}

}  // namespace
}  // namespace orvante
