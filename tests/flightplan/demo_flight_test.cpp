// The bundled demo plans, flown at KSFO from the runway table the build
// installs: each flight agrees with itself and holds the situations the
// demo exists to show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "flight_checks.h"

namespace {

using namespace flight_checks;

struct DemoFlight {
  RunwayList runways;
  FlightPlan plan;
  Flight flight;
};

void FlyDemo(const char* name, DemoFlight& demo) {
  std::string source = std::getenv("ORVANTE_SOURCE_DIR");
  std::string simDir = std::string(std::getenv("ORVANTE_BUILD_DIR")) + "/sim";
  std::ifstream in(source + "/tools/flightplan/demo/" + name);
  ASSERT_TRUE(in) << name;
  std::ostringstream text;
  text << in.rdbuf();
  auto parsed = ParseFlightPlan(text.str(), demo.plan);
  ASSERT_TRUE(parsed) << parsed.error();
  auto loaded = LoadAirportRunways(simDir, demo.plan.airport, demo.runways);
  ASSERT_TRUE(loaded) << loaded.error();
  auto built = BuildFlight(demo.plan, demo.runways, demo.flight);
  ASSERT_TRUE(built) << built.error();
}

const PhaseSpan* FirstPhase(const Flight& flight, PhaseKind kind) {
  for (const PhaseSpan& span : flight.phases) {
    if (span.kind == kind) return &span;
  }
  ADD_FAILURE() << "no phase " << PhaseKeyword(kind);
  return nullptr;
}

// The ground speed as each mark's distance from the runway's end is passed
// must be above 40 kt for the unit to speak the mark.
void ExpectFastAtMarks(const Flight& flight, const RunwayAxis& axis, size_t first, size_t last,
                       std::initializer_list<double> marks) {
  for (double mark : marks) {
    bool passed = false;
    for (size_t i = first; i <= last && !passed; ++i) {
      const FlightSample& s = flight.samples[i];
      if (axis.length - axis.Along(s) <= mark) {
        passed = true;
        EXPECT_GT(s.groundSpeedKt, 40) << mark << " ft remaining at t=" << s.t;
      }
    }
    EXPECT_TRUE(passed) << "never within " << mark << " ft of the end";
  }
}

bool OnRunway(const RunwayAxis& axis, const FlightSample& s, double width) {
  return axis.Along(s) >= 0 && axis.Along(s) <= axis.length && std::fabs(axis.Right(s)) <= width / 2;
}

TEST(DemoFlights, CircuitAtSanFrancisco) {
  DemoFlight demo;
  FlyDemo("ksfo_circuit.plan", demo);
  if (HasFatalFailure()) return;
  const Flight& flight = demo.flight;
  ExpectConsistent(flight);
  RunwayAxis axis = AxisOf(demo.runways, "28R");
  double width = FindRunwayEnd(demo.runways, "28R")->width;

  // Lined up on 28R and standing still there past the holding reminder (61 s).
  const PhaseSpan* hold = FirstPhase(flight, PhaseKind::kHold);
  ASSERT_TRUE(hold);
  double stationary = 0;
  for (size_t i = hold->firstSample; i < hold->lastSample; ++i) {
    const FlightSample& s = flight.samples[i];
    ASSERT_TRUE(OnRunway(axis, s, width)) << "t=" << s.t;
    EXPECT_LT(std::fabs(WrapSigned(s.headingTrue - axis.heading)), 20);
    if (s.groundSpeedKt == 0 && flight.samples[i + 1].groundSpeedKt == 0) stationary += flight.samples[i + 1].t - s.t;
  }
  EXPECT_GT(stationary, 61);

  // Off the ground on 28R.
  const PhaseSpan* takeoff = FirstPhase(flight, PhaseKind::kTakeOff);
  ASSERT_TRUE(takeoff);
  for (size_t i = takeoff->firstSample; flight.samples[i].onGround; ++i) {
    EXPECT_TRUE(OnRunway(axis, flight.samples[i], width)) << "t=" << flight.samples[i].t;
  }

  // Between the flap gates (950 and 600 ft above the runway) too fast and
  // the landing flaps not yet out; gear down.
  const PhaseSpan* approach = FirstPhase(flight, PhaseKind::kApproach);
  ASSERT_TRUE(approach);
  int betweenGates = 0;
  for (size_t i = approach->firstSample; i <= approach->lastSample; ++i) {
    const FlightSample& s = flight.samples[i];
    double height = s.altitudeFt - axis.elevation;
    if (height > 600 && height <= 950) {
      ++betweenGates;
      EXPECT_GT(s.iasKt, 200);
      EXPECT_LT(s.flapsIndex, 3);
      EXPECT_EQ(s.gear, 1);
      EXPECT_LT(std::fabs(axis.Right(s)), 100) << "on final at t=" << s.t;
    }
  }
  EXPECT_GT(betweenGates, 20);
  EXPECT_GE(flight.samples[approach->lastSample].flapsIndex, 3);

  // Down on 28R with most of it ahead, still above 40 kt (below which the
  // unit stops counting) as 4000, 3000 and 2000 ft remain, and stopped to
  // taxi speed on the runway.
  const PhaseSpan* land = FirstPhase(flight, PhaseKind::kLand);
  ASSERT_TRUE(land);
  size_t touchdown = land->firstSample;
  while (!flight.samples[touchdown].onGround) ++touchdown;
  EXPECT_GT(axis.length - axis.Along(flight.samples[touchdown]), 8000);
  ExpectFastAtMarks(flight, axis, touchdown, land->lastSample, {4000, 3000, 2000});
  for (size_t i = touchdown; i <= land->lastSample; ++i) EXPECT_TRUE(OnRunway(axis, flight.samples[i], width));
  EXPECT_NEAR(flight.samples[land->lastSample].iasKt, 20, 0.5);
}

TEST(DemoFlights, RejectedTakeOffAtSanFrancisco) {
  DemoFlight demo;
  FlyDemo("ksfo_rejected_takeoff.plan", demo);
  if (HasFatalFailure()) return;
  const Flight& flight = demo.flight;
  ExpectConsistent(flight);
  RunwayAxis axis = AxisOf(demo.runways, "28L");
  double width = FindRunwayEnd(demo.runways, "28L")->width;
  const PhaseSpan* reject = FirstPhase(flight, PhaseKind::kRejectedTakeOff);
  ASSERT_TRUE(reject);
  double top = 0;
  for (size_t i = reject->firstSample; i <= reject->lastSample; ++i) {
    const FlightSample& s = flight.samples[i];
    EXPECT_TRUE(s.onGround);
    EXPECT_TRUE(OnRunway(axis, s, width)) << "t=" << s.t;
    top = std::max(top, s.iasKt);
  }
  EXPECT_NEAR(top, 120, 1);
  EXPECT_EQ(flight.samples[reject->lastSample].iasKt, 0);
  // The braking begins in the runway's second half, where the unit counts a
  // rejected take-off's marks, and the aircraft is still fast at three of them.
  size_t braking = reject->firstSample;
  while (flight.samples[braking].iasKt < top - 7) ++braking;
  while (flight.samples[braking].iasKt > top - 7) ++braking;
  EXPECT_GT(axis.Along(flight.samples[braking]), axis.length / 2);
  ExpectFastAtMarks(flight, axis, braking, reject->lastSample, {4000, 3000, 2000});
  for (const FlightSample& s : flight.samples) EXPECT_TRUE(s.onGround);
}

}  // namespace
