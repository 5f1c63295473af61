// A flight as the stand-in simulator replays it: samples of the aircraft's
// state at a fixed interval, and the plan phase each stretch belongs to.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "flight_plan.h"

namespace orvante::flightplan {

struct FlightSample {
  double t = 0;            // seconds since the start
  double latitude = 0;     // degrees
  double longitude = 0;    // degrees
  double altitudeFt = 0;   // above mean sea level
  double headingTrue = 0;  // degrees [0, 360)
  double iasKt = 0;
  double groundSpeedKt = 0;  // no wind: the true airspeed
  double verticalSpeedFpm = 0;
  bool onGround = true;
  double gear = 1;  // handle: 0 up, 1 down
  int flapsIndex = 0;
};

struct PhaseSpan {
  PhaseKind kind = PhaseKind::kStart;
  uint32_t line = 0;       // of the plan
  std::string text;        // the plan line
  size_t firstSample = 0;  // samples [firstSample, lastSample] were flown in this phase
  size_t lastSample = 0;
};

struct Flight {
  std::string airport;
  double sampleInterval = 0.5;
  std::vector<FlightSample> samples;
  std::vector<PhaseSpan> phases;
};

}  // namespace orvante::flightplan
