// Checks shared by the flight tests: that a flight's samples agree with
// themselves (positions with ground speed and heading, altitudes with
// vertical speed) and stay within what an airliner does, and a small
// airport written as a runway table in a temporary folder.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "airport_runways.h"
#include "flight.h"
#include "flight_builder.h"
#include "flight_plan.h"
#include "local_frame.h"
#include "runway_import.h"
#include "runways/runway_geometry.h"
#include "temp_folder.h"

namespace flight_checks {

using namespace orvante;
using namespace orvante::flightplan;

// Tolerances: the distance between samples within 1 % (+0.5 ft) of the mean
// ground speed times the interval; the track within 1 degree of the mean
// heading when the aircraft moved more than 2 ft; the altitude change within
// 2 % (+0.5 ft) of the mean vertical speed times the interval.
// Limits: speed changes of at most 6.5 kt/s, turns of at most 3.1 deg/s in
// the air and 20 deg/s (and 0.16 g sideways) on the ground, vertical speed
// changing by at most 410 fpm a second in the air.
inline void ExpectConsistent(const Flight& flight, size_t first = 0, size_t last = SIZE_MAX) {
  last = std::min(last, flight.samples.size() - 1);
  int reported = 0;
  for (size_t i = first; i < last && reported < 5; ++i) {
    const FlightSample& a = flight.samples[i];
    const FlightSample& b = flight.samples[i + 1];
    double dt = b.t - a.t;
    ASSERT_GT(dt, 0) << "at t=" << a.t;
    double moved = FlatDistance(a.latitude, a.longitude, b.latitude, b.longitude, false);
    double expected = (a.groundSpeedKt + b.groundSpeedKt) / 2 * 1.68781 * dt;
    bool ok = true;
    if (std::fabs(moved - expected) > 0.01 * expected + 0.5) {
      ADD_FAILURE() << "t=" << a.t << ": moved " << moved << " ft, speeds give " << expected;
      ok = false;
    }
    double headingChange = WrapSigned(b.headingTrue - a.headingTrue);
    if (moved > 2) {
      double track = FlatBearing(a.latitude, a.longitude, b.latitude, b.longitude);
      double meanHeading = a.headingTrue + headingChange / 2;
      if (std::fabs(WrapSigned(track - meanHeading)) > 1) {
        ADD_FAILURE() << "t=" << a.t << ": track " << track << " against heading " << meanHeading;
        ok = false;
      }
    }
    double climbed = b.altitudeFt - a.altitudeFt;
    double climbExpected = (a.verticalSpeedFpm + b.verticalSpeedFpm) / 2 / 60 * dt;
    if (std::fabs(climbed - climbExpected) > 0.02 * std::fabs(climbExpected) + 0.5) {
      ADD_FAILURE() << "t=" << a.t << ": climbed " << climbed << " ft, vertical speed gives " << climbExpected;
      ok = false;
    }
    if (std::fabs(b.iasKt - a.iasKt) / dt > 6.5) {
      ADD_FAILURE() << "t=" << a.t << ": speed changes " << (b.iasKt - a.iasKt) / dt << " kt/s";
      ok = false;
    }
    double turnRate = std::fabs(headingChange) / dt;
    bool ground = a.onGround && b.onGround;
    if (turnRate > (ground ? 20 : 3.1)) {
      ADD_FAILURE() << "t=" << a.t << ": turns at " << turnRate << " deg/s";
      ok = false;
    }
    double sideways = std::max(a.groundSpeedKt, b.groundSpeedKt) * 1.68781 * turnRate * DEGREES_TO_RADIANS / 32.174;
    if (ground && sideways > 0.16) {
      ADD_FAILURE() << "t=" << a.t << ": " << sideways << " g sideways on the ground";
      ok = false;
    }
    if (!a.onGround && !b.onGround && std::fabs(b.verticalSpeedFpm - a.verticalSpeedFpm) / dt > 410) {
      ADD_FAILURE() << "t=" << a.t << ": vertical speed changes " << (b.verticalSpeedFpm - a.verticalSpeedFpm) / dt
                    << " fpm/s";
      ok = false;
    }
    if (!ok) ++reported;
  }
}

// A runway end seen as a line: distance down the runway from the end and
// distance right of the centreline, in feet.
struct RunwayAxis {
  GeoPoint end;
  double heading = 0;
  double length = 0;
  double elevation = 0;
  double Along(const FlightSample& s) const {
    LocalOffset v = LocalVector(end.latitude, end.longitude, s.latitude, s.longitude, false);
    double r = heading * DEGREES_TO_RADIANS;
    return v.east * std::sin(r) + v.north * std::cos(r);
  }
  double Right(const FlightSample& s) const {
    LocalOffset v = LocalVector(end.latitude, end.longitude, s.latitude, s.longitude, false);
    double r = heading * DEGREES_TO_RADIANS;
    return v.east * std::cos(r) - v.north * std::sin(r);
  }
};

inline RunwayAxis AxisOf(const RunwayList& list, const char* designator) {
  const RunwayRecord* record = FindRunwayEnd(list, designator);
  EXPECT_NE(record, nullptr) << designator;
  if (!record) return {};
  return {{record->endLatitude, record->endLongitude}, record->trueHeading, record->length, record->elevation};
}

// Runway 09/27 of 10000 by 150 ft at 50 N 8 E (elevations 300 and 310 ft),
// and a parallel 09L/27R 4000 ft further north, at airport TEST.
class TestAirport {
 public:
  TestAirport() {
    folder_.Write("Schema.ini", RunwayTableSchema());
    folder_.Write("r4.csv",
                  "TEST,90,50.00000000,8.00000000,300,90,10000,3,150,0,50.00000000,8.02129850,0\r\n"
                  "TEST,270,50.00000000,8.04259700,310,270,10000,3,150,0,50.00000000,8.02129850,0\r\n"
                  "TEST,91,50.01097070,8.00000000,300,90,10000,3,150,0,50.01097070,8.02129850,0\r\n"
                  "TEST,272,50.01097070,8.04259700,310,270,10000,3,150,0,50.01097070,8.02129850,0\r\n"
                  "OTHR,180,51.00000000,9.00000000,100,180,5000,3,100,0,50.99300000,9.00000000,0\r\n");
  }
  std::string Dir() const { return folder_.Path(); }

  // Parses and flies a plan; fails the test on any error.
  Flight Fly(const std::string& text) {
    FlightPlan plan;
    auto parsed = ParseFlightPlan(text, plan);
    EXPECT_TRUE(parsed) << parsed.error();
    if (!parsed) return {};
    auto loaded = LoadAirportRunways(Dir(), plan.airport, runways_);
    EXPECT_TRUE(loaded) << loaded.error();
    Flight flight;
    auto built = BuildFlight(plan, runways_, flight);
    EXPECT_TRUE(built) << built.error();
    return flight;
  }

  // The builder's error for a plan.
  std::string FlyError(const std::string& text) {
    FlightPlan plan;
    if (auto parsed = ParseFlightPlan(text, plan); !parsed) return parsed.error();
    if (auto loaded = LoadAirportRunways(Dir(), plan.airport, runways_); !loaded) return loaded.error();
    Flight flight;
    return BuildFlight(plan, runways_, flight).error();
  }

  const RunwayList& runways() const { return runways_; }

 private:
  TempFolder folder_;
  RunwayList runways_;
};

// The samples of the phase begun on a plan line.
inline const PhaseSpan& PhaseOnLine(const Flight& flight, uint32_t line) {
  for (const PhaseSpan& span : flight.phases) {
    if (span.line == line) return span;
  }
  static PhaseSpan none;
  ADD_FAILURE() << "no phase on plan line " << line;
  return none;
}

}  // namespace flight_checks
