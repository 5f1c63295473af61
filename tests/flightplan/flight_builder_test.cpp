// The flight builder, phase kind by phase kind: every flight must agree
// with itself (see flight_checks.h for the tolerances) and each phase must
// do what it exists for.
#include <gtest/gtest.h>

#include "flight_checks.h"

namespace {

using namespace flight_checks;

// Stand south of runway 09, lined up on it after the lineup phase (line 4).
const char* kLinedUpOn09 =
    "airport TEST\n"
    "start 09 along 800 right 500 heading 0\n"
    "taxi heading 0 for 100\n"
    "lineup 09\n";

TEST(TaxiPhases, HeadingPhaseTurnsOntoItsHeadingAndCoversItsDistance) {
  TestAirport airport;
  Flight flight =
      airport.Fly("airport TEST\nstart 09 along 800 right 900 heading 90\ntaxi heading 0 for 600 speed 12\n");
  ExpectConsistent(flight);
  const FlightSample& end = flight.samples.back();
  EXPECT_NEAR(end.headingTrue, 0, 1.0);
  EXPECT_NEAR(end.iasKt, 12, 0.5);
  double travelled = 0;
  for (size_t i = 1; i < flight.samples.size(); ++i) {
    const FlightSample& a = flight.samples[i - 1];
    const FlightSample& b = flight.samples[i];
    travelled += FlatDistance(a.latitude, a.longitude, b.latitude, b.longitude, false);
  }
  EXPECT_NEAR(travelled, 600, 15);
  for (const FlightSample& s : flight.samples) EXPECT_TRUE(s.onGround);
}

TEST(TaxiPhases, ToPointEndsAtThePointWhereverItLies) {
  TestAirport airport;
  // The point lies behind the aircraft: it has to turn round.
  Flight flight =
      airport.Fly("airport TEST\nstart 09 along 3000 right 600 heading 90\ntaxi to 09 along 1500 right 900\n");
  ExpectConsistent(flight);
  RunwayAxis axis = AxisOf(airport.runways(), "09");
  EXPECT_NEAR(axis.Along(flight.samples.back()), 1500, 100);
  EXPECT_NEAR(axis.Right(flight.samples.back()), 900, 100);
}

TEST(TaxiPhases, LineUpEndsStoppedOnTheCentrelineAlongTheRunway) {
  TestAirport airport;
  Flight flight = airport.Fly(kLinedUpOn09);
  ExpectConsistent(flight);
  RunwayAxis axis = AxisOf(airport.runways(), "09");
  const FlightSample& end = flight.samples.back();
  EXPECT_EQ(end.iasKt, 0);
  EXPECT_NEAR(axis.Right(end), 0, 5);
  EXPECT_NEAR(WrapSigned(end.headingTrue - axis.heading), 0, 1.5);
  EXPECT_GT(axis.Along(end), 0);
}

TEST(TaxiPhases, LineUpFromTheOtherSideTurnsTheOtherWay) {
  TestAirport airport;
  Flight flight = airport.Fly("airport TEST\nstart 09 along 800 left 500 heading 180\nlineup 09\n");
  ExpectConsistent(flight);
  RunwayAxis axis = AxisOf(airport.runways(), "09");
  EXPECT_NEAR(axis.Right(flight.samples.back()), 0, 5);
  // From heading 180 onto 090 is a left turn: the heading never passes 180.
  for (const FlightSample& s : flight.samples) EXPECT_LE(s.headingTrue, 180.5);
}

TEST(HoldPhase, StopsThenStandsStillForItsTime) {
  TestAirport airport;
  Flight flight = airport.Fly(std::string(kLinedUpOn09) + "hold 75\n");
  ExpectConsistent(flight);
  const PhaseSpan& hold = PhaseOnLine(flight, 5);
  const FlightSample& first = flight.samples[hold.firstSample];
  const FlightSample& last = flight.samples[hold.lastSample];
  EXPECT_NEAR(last.t - first.t, 75, 0.6);
  for (size_t i = hold.firstSample; i <= hold.lastSample; ++i) {
    EXPECT_EQ(flight.samples[i].groundSpeedKt, 0);
    EXPECT_EQ(flight.samples[i].latitude, first.latitude);
    EXPECT_EQ(flight.samples[i].longitude, first.longitude);
  }
}

TEST(TakeOffPhase, RollsRotatesAndClimbsOutOnTheCentreline) {
  TestAirport airport;
  Flight flight = airport.Fly(std::string(kLinedUpOn09) + "takeoff rotate 145 climb 1200 flaps 2\n");
  ExpectConsistent(flight);
  RunwayAxis axis = AxisOf(airport.runways(), "09");
  const PhaseSpan& takeoff = PhaseOnLine(flight, 5);
  size_t liftOff = 0;
  for (size_t i = takeoff.firstSample; i <= takeoff.lastSample; ++i) {
    if (!flight.samples[i].onGround) {
      liftOff = i;
      break;
    }
  }
  ASSERT_GT(liftOff, 0u);
  const FlightSample& air = flight.samples[liftOff];
  // Rotation at 145 kt and about 3 s later off the ground, well inside the runway.
  EXPECT_GE(air.iasKt, 145);
  EXPECT_LT(air.iasKt, 160);
  EXPECT_GT(axis.Along(air), 3000);
  EXPECT_LT(axis.Along(air), 9000);
  // A roll of half a minute or more, as an airliner's is.
  EXPECT_GT(air.t - flight.samples[takeoff.firstSample].t, 30);
  for (size_t i = takeoff.firstSample; i <= takeoff.lastSample; ++i) {
    EXPECT_NEAR(axis.Right(flight.samples[i]), 0, 10) << "t=" << flight.samples[i].t;
    EXPECT_EQ(flight.samples[i].onGround, i < liftOff) << "t=" << flight.samples[i].t;
    // The phase's first sample is where the last one left the aircraft.
    if (i > takeoff.firstSample) {
      EXPECT_EQ(flight.samples[i].flapsIndex, 2);
    }
  }
  const FlightSample& end = flight.samples.back();
  EXPECT_GE(end.altitudeFt, 300 + 1200);
  EXPECT_EQ(end.gear, 0);
  EXPECT_GT(end.verticalSpeedFpm, 1500);
}

TEST(RejectedTakeOffPhase, AcceleratesToItsSpeedThenBrakesToAStopOnTheRunway) {
  TestAirport airport;
  Flight flight = airport.Fly(std::string(kLinedUpOn09) + "reject 110 brake 5\n");
  ExpectConsistent(flight);
  RunwayAxis axis = AxisOf(airport.runways(), "09");
  const PhaseSpan& reject = PhaseOnLine(flight, 5);
  double top = 0;
  for (size_t i = reject.firstSample; i <= reject.lastSample; ++i) {
    const FlightSample& s = flight.samples[i];
    top = std::max(top, s.iasKt);
    EXPECT_TRUE(s.onGround);
    EXPECT_NEAR(axis.Right(s), 0, 10);
    if (i > reject.firstSample) {
      const FlightSample& before = flight.samples[i - 1];
      EXPECT_GE((s.iasKt - before.iasKt) / (s.t - before.t), -5.01) << "brakes harder than asked at t=" << s.t;
    }
  }
  EXPECT_NEAR(top, 110, 1);
  EXPECT_EQ(flight.samples.back().iasKt, 0);
  EXPECT_LT(axis.Along(flight.samples.back()), axis.length);
}

// In the air, climbing out of runway 09 at 1000 ft above it (line 5).
const std::string kAirborne = std::string(kLinedUpOn09) + "takeoff rotate 145 climb 1000\n";

TEST(ClimbPhase, LevelsOffAtItsAltitudeAndSpeedTurningTheWayItIsTold) {
  TestAirport airport;
  Flight flight = airport.Fly(kAirborne + "climb to 3000 speed 220 heading 270 left\n");
  ExpectConsistent(flight);
  const FlightSample& end = flight.samples.back();
  EXPECT_NEAR(end.altitudeFt, 3000, 5);
  EXPECT_NEAR(end.iasKt, 220, 1);
  EXPECT_NEAR(end.headingTrue, 270, 1);
  // Left from 090 to 270 goes through north.
  const PhaseSpan& climb = PhaseOnLine(flight, 6);
  bool passedNorth = false;
  for (size_t i = climb.firstSample; i <= climb.lastSample; ++i) {
    double h = flight.samples[i].headingTrue;
    passedNorth = passedNorth || h < 10 || h > 350;
    EXPECT_FALSE(h > 100 && h < 260) << "turned right at t=" << flight.samples[i].t;
  }
  EXPECT_TRUE(passedNorth);
}

TEST(ClimbPhase, DescendsTooWithoutMeetingTheGround) {
  TestAirport airport;
  Flight flight = airport.Fly(kAirborne + "climb to 4000\nclimb to 1500 rate 1000\n");
  ExpectConsistent(flight);
  const PhaseSpan& descent = PhaseOnLine(flight, 7);
  for (size_t i = descent.firstSample; i <= descent.lastSample; ++i) {
    EXPECT_GE(flight.samples[i].verticalSpeedFpm, -1000.5);
  }
  EXPECT_NEAR(flight.samples.back().altitudeFt, 1500, 5);
}

TEST(FlyHeadingPhase, FliesItsDistanceOrTimeAtItsAltitude) {
  TestAirport airport;
  Flight flight =
      airport.Fly(kAirborne + "climb to 2500 speed 200\nfly heading 180 right for 3 nm\nfly heading 180 for 60 s\n");
  ExpectConsistent(flight);
  const PhaseSpan& byDistance = PhaseOnLine(flight, 7);
  double travelled = 0;
  for (size_t i = byDistance.firstSample; i < byDistance.lastSample; ++i) {
    const FlightSample& a = flight.samples[i];
    const FlightSample& b = flight.samples[i + 1];
    travelled += FlatDistance(a.latitude, a.longitude, b.latitude, b.longitude, false);
  }
  EXPECT_NEAR(travelled, 3 * 6076.12, 400);
  const PhaseSpan& byTime = PhaseOnLine(flight, 8);
  EXPECT_NEAR(flight.samples[byTime.lastSample].t - flight.samples[byTime.firstSample].t, 60, 0.6);
  for (size_t i = byDistance.firstSample; i < flight.samples.size(); ++i) {
    EXPECT_NEAR(flight.samples[i].altitudeFt, 2500, 10);
  }
  EXPECT_NEAR(flight.samples.back().headingTrue, 180, 0.5);
}

// A distance leg the plan slows to a crawl would otherwise be flown for
// thousands of hours (and hundreds of millions of samples): it is refused
// once it has lasted as long as the longest timed leg, while a timed leg of
// that length still flies to its end.
TEST(FlyHeadingPhase, ADistanceLegTooSlowToEndIsRefusedATimedLegOfTheLimitFlies) {
  TestAirport airport;
  std::string slow = airport.FlyError(kAirborne + "fly heading 090 for 300 nm speed 1\n");
  EXPECT_EQ(slow.rfind("plan line 6: the leg is not flown within 10000 s (300.0 nm at 1 kt)", 0), 0u) << slow;
  std::string far = airport.FlyError(kAirborne + "fly heading 090 for 2000 nm speed 200\n");
  EXPECT_EQ(far.rfind("plan line 6: the leg is not flown within 10000 s", 0), 0u) << far;

  Flight flight = airport.Fly(kAirborne + "fly heading 090 for 10000 s speed 200\n");
  const PhaseSpan& leg = PhaseOnLine(flight, 6);
  EXPECT_NEAR(flight.samples[leg.lastSample].t - flight.samples[leg.firstSample].t, 10000, 0.6);
}

// Out of 09 to the east, a turn back north and west, and onto final for 27
// from the north (the approach is plan line 10).
const std::string kCircuitTo27 = kAirborne +
                                 "climb to 2000 speed 180\n"         // 6
                                 "fly heading 090 for 5 nm\n"        // 7
                                 "fly heading 360 left for 2 nm\n"   // 8
                                 "fly heading 270 left for 1 nm\n";  // 9

TEST(ApproachPhase, FollowsTheCentrelineAndThreeDegreePathWithItsSettings) {
  TestAirport airport;
  Flight flight = airport.Fly(kCircuitTo27 + "approach 27 from 6 nm speed 150 gear down flaps 2 flaps 4 below 1000\n");
  ExpectConsistent(flight);
  RunwayAxis axis = AxisOf(airport.runways(), "27");
  const PhaseSpan& approach = PhaseOnLine(flight, 10);
  double pathChecked = 0;
  for (size_t i = approach.firstSample + 1; i <= approach.lastSample; ++i) {
    const FlightSample& s = flight.samples[i];
    double before = -axis.Along(s);
    double height = s.altitudeFt - axis.elevation;
    EXPECT_EQ(s.gear, 1);
    // The flaps move in the step after the height is passed.
    if (height > 1000.5) {
      EXPECT_EQ(s.flapsIndex, 2) << "t=" << s.t;
    } else if (height < 990) {
      EXPECT_EQ(s.flapsIndex, 4) << "t=" << s.t;
    }
    // On the last 3 nm: on the centreline and the path (50 ft over the threshold).
    if (before < 3 * 6076.12 && before > 0) {
      double path = 50 + before * std::tan(3 * DEGREES_TO_RADIANS);
      EXPECT_NEAR(height, path, 60) << "t=" << s.t;
      EXPECT_NEAR(axis.Right(s), 0, 60) << "t=" << s.t;
      EXPECT_NEAR(s.iasKt, 150, 1) << "t=" << s.t;
      ++pathChecked;
    }
  }
  EXPECT_GT(pathChecked, 100);
  EXPECT_NEAR(flight.samples.back().altitudeFt - axis.elevation, 50, 5);
}

TEST(LandPhase, TouchesDownGentlyInTheTouchdownZoneAndBrakesOnTheRunway) {
  TestAirport airport;
  Flight flight = airport.Fly(kCircuitTo27 + "approach 27 from 6 nm speed 145 flaps 4\nland brake 4 vacate 15\n");
  ExpectConsistent(flight);
  RunwayAxis axis = AxisOf(airport.runways(), "27");
  const PhaseSpan& land = PhaseOnLine(flight, 11);
  size_t touchdown = 0;
  for (size_t i = land.firstSample; i <= land.lastSample; ++i) {
    if (flight.samples[i].onGround) {
      touchdown = i;
      break;
    }
  }
  ASSERT_GT(touchdown, 0u);
  const FlightSample& before = flight.samples[touchdown - 1];
  EXPECT_GT(before.verticalSpeedFpm, -300) << "a flare eases the sink rate";
  EXPECT_GT(axis.Along(flight.samples[touchdown]), 0);
  EXPECT_LT(axis.Along(flight.samples[touchdown]), 3000);
  for (size_t i = touchdown; i <= land.lastSample; ++i) {
    EXPECT_TRUE(flight.samples[i].onGround) << "t=" << flight.samples[i].t;
    EXPECT_NEAR(axis.Right(flight.samples[i]), 0, 15);
  }
  EXPECT_NEAR(flight.samples.back().iasKt, 15, 0.5);
  EXPECT_LT(axis.Along(flight.samples.back()), axis.length);
}

// The default landing at the approach speeds of airliners: the path crosses
// the threshold at 50 ft, the flare from 20 to 30 ft takes a few seconds and
// puts the aircraft down 1000 to 1800 ft past the threshold with 100 to 300
// fpm of sink, the sink rate only ever easing on the way.
TEST(LandPhase, DefaultLandingFlaresToATouchdownInTheZone) {
  for (int speed : {130, 145, 160}) {
    SCOPED_TRACE("approach at " + std::to_string(speed) + " kt");
    TestAirport airport;
    Flight flight =
        airport.Fly(kCircuitTo27 + "approach 27 from 6 nm speed " + std::to_string(speed) + " flaps 4\nland\n");
    ExpectConsistent(flight);
    RunwayAxis axis = AxisOf(airport.runways(), "27");
    const PhaseSpan& land = PhaseOnLine(flight, 11);
    size_t touchdown = land.firstSample;
    while (touchdown <= land.lastSample && !flight.samples[touchdown].onGround) ++touchdown;
    ASSERT_LE(touchdown, land.lastSample);
    ASSERT_GT(touchdown, land.firstSample);

    // The sink rate on the path, from the landing's first sample; the flare
    // begins at the first sample sinking clearly slower than that.
    double pathSink = -flight.samples[land.firstSample].verticalSpeedFpm;
    EXPECT_GT(pathSink, 600);
    size_t flare = land.firstSample;
    while (flare < touchdown && -flight.samples[flare].verticalSpeedFpm > pathSink - 50) ++flare;
    ASSERT_LT(flare, touchdown) << "no flare before touchdown";
    double flareHeight = flight.samples[flare].altitudeFt - axis.elevation;
    EXPECT_LE(flareHeight, 30);
    EXPECT_GE(flareHeight, 15);
    double flareSeconds = flight.samples[touchdown].t - flight.samples[flare].t;
    EXPECT_GE(flareSeconds, 2);
    EXPECT_LE(flareSeconds, 8);
    for (size_t i = flare; i < touchdown; ++i) {
      EXPECT_GE(flight.samples[i].verticalSpeedFpm, flight.samples[i - 1].verticalSpeedFpm - 0.05)
          << "the sink rate grows in the flare at t=" << flight.samples[i].t;
    }

    // The first sample on the ground is the touchdown, with its sink rate.
    EXPECT_LE(flight.samples[touchdown].verticalSpeedFpm, -100);
    EXPECT_GE(flight.samples[touchdown].verticalSpeedFpm, -300);
    EXPECT_NEAR(flight.samples[touchdown].altitudeFt, axis.elevation, 10);
    double along = axis.Along(flight.samples[touchdown]);
    EXPECT_GE(along, 1000);
    EXPECT_LE(along, 1800);
    EXPECT_NEAR(flight.samples[touchdown].iasKt, speed - flareSeconds, 2) << "about 1 kt a second lost in the flare";
  }
}

TEST(LandPhase, OffsetApproachPutsTheAircraftDownOnTheParallelTaxiway) {
  TestAirport airport;
  // A taxiway 600 ft left of 27's centreline, that is north of the runway.
  Flight flight = airport.Fly(kCircuitTo27 + "approach 27 from 6 nm speed 145 flaps 4 offset 600 left\nland\n");
  ExpectConsistent(flight);
  RunwayAxis axis = AxisOf(airport.runways(), "27");
  bool touched = false;
  for (size_t i = PhaseOnLine(flight, 11).firstSample; i < flight.samples.size(); ++i) {
    const FlightSample& s = flight.samples[i];
    if (!s.onGround) continue;
    touched = true;
    EXPECT_NEAR(axis.Right(s), -600, 20) << "t=" << s.t;
  }
  EXPECT_TRUE(touched);
  EXPECT_EQ(flight.samples.back().iasKt, 0);
}

TEST(GoAroundPhase, ClimbsAwayFromTheApproachWithTheGearComingUp) {
  TestAirport airport;
  Flight flight = airport.Fly(kCircuitTo27 + "approach 27 from 6 nm speed 145 flaps 4\ngoaround climb 1500\n");
  ExpectConsistent(flight);
  RunwayAxis axis = AxisOf(airport.runways(), "27");
  const PhaseSpan& goAround = PhaseOnLine(flight, 11);
  double lowest = 1e9;
  for (size_t i = goAround.firstSample; i <= goAround.lastSample; ++i) {
    const FlightSample& s = flight.samples[i];
    EXPECT_FALSE(s.onGround);
    lowest = std::min(lowest, s.altitudeFt - axis.elevation);
    EXPECT_NEAR(axis.Right(s), 0, 60);
  }
  EXPECT_GT(lowest, 10);
  const FlightSample& end = flight.samples.back();
  EXPECT_GE(end.altitudeFt - axis.elevation, 1500);
  EXPECT_EQ(end.gear, 0);
  EXPECT_EQ(end.flapsIndex, 3);
}

TEST(ConfigurationPhases, GearAndFlapsChangeAtOnceWithoutTime) {
  TestAirport airport;
  Flight flight = airport.Fly(kAirborne + "flaps 0\ngear down\nfly heading 90 for 10 s\n");
  EXPECT_EQ(PhaseOnLine(flight, 6).firstSample, PhaseOnLine(flight, 6).lastSample);
  EXPECT_EQ(flight.samples.back().flapsIndex, 0);
  EXPECT_EQ(flight.samples.back().gear, 1);
}

// Five miles out on 27's extended centreline, level at 1500 ft above the
// runway at 140 kt.
const std::string kAirStartFor27 =
    "airport TEST\n"
    "start 27 along -30380 heading 270 height 1500 speed 140\n";

TEST(AirStart, FliesLevelAtItsHeightAndSpeedThenOntoTheApproach) {
  TestAirport airport;
  Flight flight = airport.Fly(kAirStartFor27 + "flaps 3\nfly heading 270 for 20 s\napproach 27 from 5 nm\n");
  ExpectConsistent(flight);
  RunwayAxis axis = AxisOf(airport.runways(), "27");
  const FlightSample& first = flight.samples.front();
  EXPECT_FALSE(first.onGround);
  EXPECT_EQ(first.gear, 1);
  EXPECT_EQ(first.flapsIndex, 0);
  EXPECT_NEAR(first.altitudeFt - axis.elevation, 1500, 0.01);
  EXPECT_NEAR(first.iasKt, 140, 0.01);
  EXPECT_NEAR(axis.Along(first), -30380, 1);
  EXPECT_NEAR(axis.Right(first), 0, 1);
  // Level at its height and speed until the approach meets the path.
  for (size_t i = 0; i <= PhaseOnLine(flight, 4).lastSample; ++i) {
    EXPECT_NEAR(flight.samples[i].altitudeFt - axis.elevation, 1500, 0.5) << "t=" << flight.samples[i].t;
    EXPECT_NEAR(flight.samples[i].iasKt, 140, 0.01);
    EXPECT_EQ(flight.samples[i].verticalSpeedFpm, 0);
  }
  EXPECT_EQ(flight.samples.back().flapsIndex, 3);
  EXPECT_NEAR(flight.samples.back().altitudeFt - axis.elevation, 50, 5);
  EXPECT_NEAR(axis.Right(flight.samples.back()), 0, 30);
  EXPECT_EQ(airport.FlyError(kAirStartFor27 + "lineup 27\n"), "plan line 3: 'lineup' needs the aircraft on the ground");
}

TEST(HoldPhase, BrakesAsHardAsItIsTold) {
  TestAirport airport;
  // Landing on 27, braking gently to 50 kt, then hard to a stop.
  Flight flight =
      airport.Fly(kAirStartFor27 + "flaps 3\napproach 27 from 5 nm\nland brake 2 vacate 50\nhold 3 brake 6\n");
  ExpectConsistent(flight);
  const PhaseSpan& hold = PhaseOnLine(flight, 6);
  EXPECT_NEAR(flight.samples[hold.firstSample].iasKt, 50, 0.01);
  size_t stopped = hold.firstSample;
  while (flight.samples[stopped].iasKt > 0) ++stopped;
  // 50 kt to a stop at 6 kt/s: 8.3 s, about 350 ft.
  EXPECT_NEAR(flight.samples[stopped].t - flight.samples[hold.firstSample].t, 50.0 / 6, 0.3);
  RunwayAxis axis = AxisOf(airport.runways(), "27");
  double braking = axis.Along(flight.samples[stopped]) - axis.Along(flight.samples[hold.firstSample]);
  EXPECT_NEAR(braking, 50 * 1.68781 * 50.0 / 6 / 2, 15);
  EXPECT_NEAR(flight.samples.back().t - flight.samples[stopped].t, 3, 0.6);

  // Braking too gently for what is left of the runway is an overrun.
  EXPECT_EQ(
      airport.FlyError(kAirStartFor27 + "flaps 3\napproach 27 from 5 nm\nland brake 2 vacate 60\nhold 0 brake 1\n"),
      "plan line 6: the aircraft stops beyond the end of runway 27");
}

TEST(PlansThatCannotBeFlown, SayWhichLineAndWhy) {
  TestAirport airport;
  EXPECT_EQ(airport.FlyError("airport TEST\nstart 09 heading 90\nclimb to 3000\n"),
            "plan line 3: 'climb' needs the aircraft in the air");
  EXPECT_EQ(airport.FlyError(kAirborne + "hold 10\n"), "plan line 6: 'hold' needs the aircraft on the ground");
  EXPECT_EQ(airport.FlyError("airport TEST\nstart 09 heading 90\nlineup 18\n"),
            "plan line 3: airport TEST has no runway end 18 (it has 09 27 09L 27R)");
  EXPECT_EQ(airport.FlyError("airport TEST\nstart 09 right 2000 heading 0\ntakeoff\n"),
            "plan line 3: 'takeoff' needs the aircraft lined up on a runway");
  EXPECT_EQ(airport.FlyError(kAirborne + "land\n"), "plan line 6: 'land' must follow an approach");
  EXPECT_EQ(airport.FlyError("airport TEST\nstart 09 heading 90\nreject 180\n"),
            "plan line 3: runway 09 ends before the rejection speed");
  EXPECT_EQ(airport.FlyError("airport NONE\nstart 09 heading 90\n").rfind("the runway table in ", 0), 0u);
  // Three miles to the side of the final and one and a half out, no
  // airliner lines up.
  std::string late =
      airport.FlyError(kAirborne + "fly heading 180 right for 3 nm\nfly heading 180 for 1 s\napproach 27 from 6 nm\n");
  EXPECT_EQ(airport.FlyError(kAirborne + "approach 09 from 6 nm\n"),
            "plan line 6: the aircraft is already past the threshold of runway 09");
  EXPECT_EQ(late.rfind("plan line 8: the approach reaches runway 27", 0), 0u) << late;
}

}  // namespace
