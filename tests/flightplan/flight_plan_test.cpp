// The plan reader: every phase's words and numbers, and the messages that
// point at the line and column of a mistake.
#include <gtest/gtest.h>

#include <random>

#include "flight_plan.h"

namespace {

using namespace orvante::flightplan;

std::string ErrorOf(const std::string& text) {
  FlightPlan plan;
  auto result = ParseFlightPlan(text, plan);
  return result.error();
}

TEST(PlanReading, EveryPhaseWithItsOptionsAndUnits) {
  const char* text =
      "# a comment line\n"
      "AIRPORT ksfo   # names are kept as written\n"
      "start 28R along -300 ft left 200 ft heading 208\n"
      "taxi heading 90 for 500 ft speed 12 kt\n"
      "taxi to 37.61 -122.36 speed 9\n"
      "lineup 28r speed 6\n"
      "hold 75 s\n"
      "takeoff rotate 150 kt climb 1000 ft flaps 1\n"
      "climb to 3000 ft speed 220 kt rate 1500 fpm heading 208 left\n"
      "fly heading 118 right for 2.5 nm speed 200\n"
      "fly heading 118 for 30 s\n"
      "gear down\n"
      "flaps 3\n"
      "approach 28R from 7 nm speed 210 gear down flaps 1 flaps 3 below 550 ft offset 600 right\n"
      "land brake 4 kt/s vacate 20 kt\n"
      "goaround climb 1500\n"
      "reject 120 brake 6\r\n";
  FlightPlan plan;
  auto result = ParseFlightPlan(text, plan);
  ASSERT_TRUE(result) << result.error();
  EXPECT_EQ(plan.airport, "ksfo");
  ASSERT_EQ(plan.steps.size(), 15u);

  const PlanStep& start = plan.steps[0];
  EXPECT_EQ(start.kind, PhaseKind::kStart);
  EXPECT_EQ(start.line, 3u);
  EXPECT_EQ(start.place.runway, "28R");
  EXPECT_EQ(start.place.alongFt, -300);
  EXPECT_EQ(start.place.rightFt, -200);
  EXPECT_EQ(start.headingDeg, 208);

  EXPECT_EQ(plan.steps[1].kind, PhaseKind::kTaxiHeading);
  EXPECT_EQ(plan.steps[1].distanceFt, 500);
  EXPECT_EQ(plan.steps[1].speedKt, 12);
  EXPECT_FALSE(plan.steps[2].place.onRunway);
  EXPECT_EQ(plan.steps[2].place.latitude, 37.61);
  EXPECT_EQ(plan.steps[2].place.longitude, -122.36);
  EXPECT_EQ(plan.steps[3].runway, "28r");
  EXPECT_EQ(plan.steps[4].seconds, 75);
  EXPECT_EQ(plan.steps[5].rotateKt, 150);
  EXPECT_EQ(plan.steps[5].climbFt, 1000);
  EXPECT_EQ(plan.steps[5].flaps, 1);

  const PlanStep& climb = plan.steps[6];
  EXPECT_EQ(climb.altitudeFt, 3000);
  EXPECT_EQ(climb.rateFpm, 1500);
  EXPECT_TRUE(climb.hasHeading);
  EXPECT_EQ(climb.turnDirection, -1);

  EXPECT_NEAR(plan.steps[7].distanceFt, 2.5 * 6076.12, 0.01);
  EXPECT_EQ(plan.steps[7].turnDirection, 1);
  EXPECT_EQ(plan.steps[8].seconds, 30);
  EXPECT_TRUE(plan.steps[9].gearDown);
  EXPECT_EQ(plan.steps[10].flaps, 3);

  const PlanStep& approach = plan.steps[11];
  EXPECT_EQ(approach.fromNm, 7);
  EXPECT_EQ(approach.offsetRightFt, 600);
  ASSERT_EQ(approach.settings.size(), 4u);
  EXPECT_EQ(approach.settings[0].what, ApproachSetting::What::kSpeed);
  EXPECT_FALSE(approach.settings[0].belowFt);
  EXPECT_EQ(approach.settings[3].what, ApproachSetting::What::kFlaps);
  EXPECT_EQ(approach.settings[3].value, 3);
  EXPECT_EQ(*approach.settings[3].belowFt, 550);

  EXPECT_EQ(plan.steps[12].brakeKtPerS, 4);
  EXPECT_EQ(plan.steps[12].vacateKt, 20);
  EXPECT_EQ(plan.steps[13].climbFt, 1500);
  EXPECT_EQ(plan.steps[14].speedKt, 120);
  EXPECT_EQ(plan.steps[14].text, "reject 120 brake 6");
}

TEST(PlanReading, MistakesArePointedAtByLineAndColumn) {
  const std::string head = "airport KSFO\nstart 28R heading 90\n";
  EXPECT_EQ(ErrorOf(head + "taxi heading 90 for far\n"), "line 3, column 21: expected a distance in feet, found 'far'");
  EXPECT_EQ(ErrorOf(head + "hold\n"), "line 3, column 5: expected a time in seconds, found the end of the line");
  EXPECT_EQ(ErrorOf(head + "fly heading 400 for 2 nm\n"),
            "line 3, column 13: a heading in degrees from 0 to 360, found '400'");
  EXPECT_EQ(ErrorOf(head + "fly heading 90 for 2 miles\n"), "line 3, column 22: expected 'nm' or 's', found 'miles'");
  EXPECT_EQ(ErrorOf(head + "  barrel roll\n"), "line 3, column 3: unknown phase 'barrel'");
  EXPECT_EQ(ErrorOf(head + "lineup runway\n"), "line 3, column 8: expected a runway end such as 28R, found 'runway'");
  EXPECT_EQ(ErrorOf(head + "lineup 37L\n"), "line 3, column 8: expected a runway end such as 28R, found '37L'");
  EXPECT_EQ(ErrorOf(head + "hold 10 s please\n"), "line 3, column 11: expected the end of the line, found 'please'");
  EXPECT_EQ(ErrorOf(head + "approach 28R from 7 nm speed 210 below\n"),
            "line 3, column 39: expected a height above the threshold in feet, found the end of the line");
  EXPECT_EQ(ErrorOf(head + "reject nan\n"),
            "line 3, column 8: expected the speed in knots at which the take-off is rejected, found 'nan'");
  EXPECT_EQ(ErrorOf(head + "hold 1e999\n"), "line 3, column 6: expected a time in seconds, found '1e999'");
  EXPECT_EQ(ErrorOf(head + "hold 5\x01\n"), "line 3, column 7: control character in the plan");
}

// An air start names a height and a speed; a hold may name its braking.
TEST(PlanReading, AirStartAndHoldBraking) {
  FlightPlan plan;
  auto result = ParseFlightPlan(
      "airport EGJB\nstart 27 along -30400 ft heading 270 height 1500 ft speed 140 kt\nhold 5\nhold 5 s brake 6 kt/s\n",
      plan);
  ASSERT_TRUE(result) << result.error();
  const PlanStep& start = plan.steps[0];
  EXPECT_TRUE(start.airborne);
  EXPECT_EQ(start.place.alongFt, -30400);
  EXPECT_EQ(start.heightFt, 1500);
  EXPECT_EQ(start.speedKt, 140);
  EXPECT_EQ(plan.steps[1].brakeKtPerS, 0) << "the taxi braking unless told";
  EXPECT_EQ(plan.steps[2].brakeKtPerS, 6);

  ASSERT_TRUE(ParseFlightPlan("airport EGJB\nstart 27 heading 270\n", plan));
  EXPECT_FALSE(plan.steps[0].airborne);

  const std::string head = "airport KSFO\n";
  EXPECT_EQ(ErrorOf(head + "start 28R heading 90 height 1500\n"),
            "line 2, column 33: expected 'speed', found the end of the line");
  EXPECT_EQ(ErrorOf(head + "start 28R heading 90 height 10 speed 140\n"),
            "line 2, column 29: a height above the ground in feet from 50 to 20000, found '10'");
  EXPECT_EQ(ErrorOf(head + "start 28R heading 90 height 1500 speed 20\n"),
            "line 2, column 40: an airspeed in knots from 80 to 400, found '20'");
  EXPECT_EQ(ErrorOf(head + "start 28R heading 90 speed 140\n"),
            "line 2, column 22: expected the end of the line, found 'speed'");
  EXPECT_EQ(ErrorOf(head + "start 28R heading 90\nhold 5 brake 30\n"),
            "line 3, column 14: a deceleration in knots per second from 1 to 10, found '30'");
}

TEST(PlanReading, TheAirportAndStartComeFirstAndOnce) {
  EXPECT_EQ(ErrorOf("start 28R heading 90\n"),
            "line 1, column 1: the plan must name its airport first ('airport KSFO')");
  EXPECT_EQ(ErrorOf("airport KSFO\nhold 5\n"), "line 2, column 1: the first phase must be 'start'");
  EXPECT_EQ(ErrorOf("airport KSFO\nstart 28R heading 90\nstart 28L heading 90\n"),
            "line 3, column 1: 'start' may appear only once, before the phases");
  EXPECT_EQ(ErrorOf("airport KSFO\nairport EGLL\n"), "line 2, column 9: the airport is already named, found 'EGLL'");
  EXPECT_EQ(ErrorOf("airport KSFO\n"), "line 2, column 1: the plan has no 'start'");
  EXPECT_EQ(ErrorOf(""), "line 1, column 1: the plan names no airport");
  EXPECT_EQ(ErrorOf("# only words\n\n"), "line 3, column 1: the plan names no airport");
}

TEST(PlanReading, ArbitraryBytesGiveAnAnswerNeverACrash) {
  std::mt19937 random(9);
  const std::string pieces[] = {"airport", "start", "28R", "along", "-",        "1e5",  "heading",
                                "\n",      " ",     "#",   "\r",    "approach", "from", "below",
                                "flaps",   "\xff",  "\"",  "0",     "taxi",     "to",   "nm"};
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    int count = static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) text += pieces[random() % std::size(pieces)] + (random() % 2 ? " " : "");
    FlightPlan plan;
    auto result = ParseFlightPlan(text, plan);
    if (!result) {
      EXPECT_EQ(result.error().rfind("line ", 0), 0u) << result.error();
    }
  }
}

}  // namespace
