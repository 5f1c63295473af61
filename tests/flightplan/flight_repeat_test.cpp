// Repeated flights for endurance runs: a loop that closes is flown back to
// back, each repetition a whole number of runway-query intervals after the
// one before; a loop that does not close is refused with the reason.
#include <gtest/gtest.h>

#include <cmath>

#include "flight_checks.h"
#include "flight_command.h"
#include "flight_repeat.h"

namespace {

using namespace flight_checks;

FlightSample At(double t, double latitude, double longitude, double heading, double speed) {
  FlightSample s;
  s.t = t;
  s.latitude = latitude;
  s.longitude = longitude;
  s.altitudeFt = 13;
  s.headingTrue = heading;
  s.iasKt = s.groundSpeedKt = speed;
  s.onGround = true;
  return s;
}

// Stands, taxis east 10 s, comes back and stops 20 ft from where it began.
Flight SmallLoop() {
  Flight loop;
  loop.airport = "TEST";
  loop.samples = {At(0, 50.0, 8.0, 90, 0), At(10, 50.0, 8.001, 90, 10), At(20, 50.0, 8.0000855, 92, 0)};
  loop.phases = {{PhaseKind::kStart, 2, "start", 0, 0}, {PhaseKind::kTaxiHeading, 3, "taxi", 0, 2}};
  return loop;
}

TEST(RepeatFlight, RepetitionsStartWholeQueryIntervalsApartAndCoverTheLengthAskedFor) {
  RepeatedFlight repeated;
  auto made = RepeatFlight(SmallLoop(), 100, repeated);
  ASSERT_TRUE(made) << made.error();
  // 20 s of flight and a sample interval of standing: the next multiple of 15.
  EXPECT_EQ(repeated.periodSeconds, 30);
  // The last repetition must end at or after 100 s: starts 0, 30, 60, 90.
  EXPECT_EQ(repeated.repetitions, 4u);
  const Flight& flight = repeated.flight;
  ASSERT_EQ(flight.samples.size(), 12u);
  EXPECT_GE(flight.samples.back().t, 100);
  for (size_t k = 0; k < 4; ++k) {
    for (size_t i = 0; i < 3; ++i) {
      const FlightSample& first = flight.samples[i];
      const FlightSample& again = flight.samples[k * 3 + i];
      EXPECT_DOUBLE_EQ(again.t, first.t + 30.0 * k);
      EXPECT_EQ(again.latitude, first.latitude);
      EXPECT_EQ(again.longitude, first.longitude);
      EXPECT_EQ(again.headingTrue, first.headingTrue);
      EXPECT_EQ(again.groundSpeedKt, first.groundSpeedKt);
    }
  }
  ASSERT_EQ(flight.phases.size(), 8u);
  EXPECT_EQ(flight.phases[7].firstSample, 9u);
  EXPECT_EQ(flight.phases[7].lastSample, 11u);
  EXPECT_EQ(flight.phases[7].text, "taxi");
}

TEST(RepeatFlight, AShortLengthStillFliesTheLoopOnceAndAnExactFitAddsNothing) {
  RepeatedFlight once;
  ASSERT_TRUE(RepeatFlight(SmallLoop(), 0, once));
  EXPECT_EQ(once.repetitions, 1u);
  EXPECT_EQ(once.flight.samples.size(), 3u);
  // Ending exactly at the length asked for is enough.
  RepeatedFlight exact;
  ASSERT_TRUE(RepeatFlight(SmallLoop(), 50, exact));
  EXPECT_EQ(exact.repetitions, 2u);
  EXPECT_EQ(exact.flight.samples.back().t, 50);
}

TEST(RepeatFlight, ALoopThatDoesNotCloseIsRefusedWithTheReason) {
  struct Case {
    const char* what;
    void (*change)(Flight&);
    const char* reason;
  };
  const Case cases[] = {
      {"ends far away", [](Flight& f) { f.samples.back().longitude = 8.01; }, "must end where it starts"},
      {"ends turned round", [](Flight& f) { f.samples.back().headingTrue = 270; }, "must end where it starts"},
      {"ends moving", [](Flight& f) { f.samples.back().groundSpeedKt = 12; }, "must start and end stopped"},
      {"ends in the air", [](Flight& f) { f.samples.back().onGround = false; }, "start and end on the ground"},
      {"ends with other flaps", [](Flight& f) { f.samples.back().flapsIndex = 1; }, "gear and flaps"},
      {"ends with the gear up", [](Flight& f) { f.samples.back().gear = 0; }, "gear and flaps"},
  };
  for (const Case& c : cases) {
    Flight loop = SmallLoop();
    c.change(loop);
    RepeatedFlight repeated;
    auto made = RepeatFlight(loop, 3600, repeated);
    ASSERT_FALSE(made) << c.what;
    EXPECT_NE(made.error().find(c.reason), std::string::npos) << c.what << ": " << made.error();
    EXPECT_TRUE(repeated.flight.samples.empty()) << c.what;
  }
  RepeatedFlight repeated;
  EXPECT_FALSE(RepeatFlight(SmallLoop(), -1, repeated));
  EXPECT_FALSE(RepeatFlight(SmallLoop(), NAN, repeated));
  EXPECT_FALSE(ParseRepeatSeconds("0"));
  EXPECT_FALSE(ParseRepeatSeconds("1h"));
  EXPECT_FALSE(ParseRepeatSeconds(""));
  EXPECT_EQ(ParseRepeatSeconds("86400"), 86400.0);
}

TEST(RepeatFlight, APlannedTaxiLoopBackToItsStandRepeatsAndEachRepetitionIsConsistent) {
  TestAirport airport;
  Flight loop = airport.Fly(
      "airport TEST\n"
      "start 09 along 1000 left 500 heading 90\n"
      "taxi heading 90 for 1500\n"
      "taxi to 09 along 2500 left 900\n"
      "taxi to 09 along 300 left 900\n"
      "taxi to 09 along 300 left 500\n"
      "taxi heading 90 for 700\n"
      "hold 5\n");
  RepeatedFlight repeated;
  auto made = RepeatFlight(loop, 3 * loop.samples.back().t, repeated);
  ASSERT_TRUE(made) << made.error();
  EXPECT_EQ(std::fmod(repeated.periodSeconds, 15.0), 0.0);
  EXPECT_GE(repeated.repetitions, 3u);
  // Every repetition is the loop itself; only the stand between them moves
  // the aircraft across the small gap.
  const size_t n = loop.samples.size();
  for (size_t k = 0; k < repeated.repetitions; ++k) ExpectConsistent(repeated.flight, k * n, k * n + n - 1);
}

TEST(FlightCommand, RepeatForWritesTheRepeatedFlightAndRefusesAnOpenLoop) {
  TestAirport airport;
  TempFolder folder;
  std::string closed = folder.Write("closed.plan", "airport TEST\nstart 09 along 1000 left 500 heading 90\nhold 20\n");
  std::string open =
      folder.Write("open.plan", "airport TEST\nstart 09 along 1000 left 500 heading 90\ntaxi heading 90 for 1500\n");
  std::FILE* quiet = std::fopen("/dev/null", "w");
  ASSERT_EQ(RunFlightCommand({closed, "--sim-dir", airport.Dir(), "--out", folder.Path("f.csv"), "--repeat-for", "300"},
                             airport.Dir(), quiet, quiet),
            0);
  std::string text = folder.Read("f.csv");
  // 20 s of standing: one repetition every 30 s; the one from 270 s would end
  // before 300 s, so an eleventh runs from 300 s to 320 s.
  EXPECT_NE(text.find("\n290.0,"), std::string::npos);
  EXPECT_NE(text.find("\n320.0,"), std::string::npos);
  EXPECT_EQ(text.find("\n321.0,"), std::string::npos);
  EXPECT_EQ(text.find("\n330.0,"), std::string::npos);
  EXPECT_EQ(RunFlightCommand({open, "--sim-dir", airport.Dir(), "--out", folder.Path("g.csv"), "--repeat-for", "300"},
                             airport.Dir(), quiet, quiet),
            1);
  EXPECT_EQ(RunFlightCommand({closed, "--sim-dir", airport.Dir(), "--repeat-for", "soon"}, airport.Dir(), quiet, quiet),
            2);
  std::fclose(quiet);
}

}  // namespace
