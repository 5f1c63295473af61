// Repeating a closed loop of flight.
#include "flight_repeat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "local_frame.h"
#include "runways/runway_geometry.h"

namespace orvante::flightplan {

namespace {

std::string Number(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// Why the loop's end is not its start, or nothing.
std::optional<std::string> CheckClosure(const FlightSample& first, const FlightSample& last) {
  if (!first.onGround || !last.onGround) return std::string("a repeated flight must start and end on the ground");
  if (first.groundSpeedKt > kLoopStoppedKnots || last.groundSpeedKt > kLoopStoppedKnots)
    return "a repeated flight must start and end stopped (it starts at " + Number(first.groundSpeedKt, 1) +
           " kt, ends at " + Number(last.groundSpeedKt, 1) + " kt)";
  double apart = FlatDistance(first.latitude, first.longitude, last.latitude, last.longitude, false);
  double turned = std::fabs(WrapSigned(last.headingTrue - first.headingTrue));
  if (apart > kLoopClosureFeet || turned > kLoopClosureDegrees)
    return "the flight ends " + Number(apart, 0) + " ft from its start, heading " + Number(last.headingTrue, 0) +
           " against " + Number(first.headingTrue, 0) + ": a repeated flight must end where it starts (within " +
           Number(kLoopClosureFeet, 0) + " ft and " + Number(kLoopClosureDegrees, 0) + " degrees)";
  if (first.gear != last.gear || first.flapsIndex != last.flapsIndex)
    return "a repeated flight must end with the gear and flaps it starts with (flaps " +
           std::to_string(first.flapsIndex) + " at the start, " + std::to_string(last.flapsIndex) + " at the end)";
  return std::nullopt;
}

}  // namespace

common::Result<> RepeatFlight(const Flight& loop, double totalSeconds, RepeatedFlight& repeated) {
  repeated = RepeatedFlight{};
  if (loop.samples.size() < 2) return common::Fail("a repeated flight needs at least two samples");
  if (!(totalSeconds >= 0) || !std::isfinite(totalSeconds))
    return common::Fail("the length to repeat for must be a number of seconds, not " + Number(totalSeconds, 1));
  const FlightSample& first = loop.samples.front();
  const FlightSample& last = loop.samples.back();
  if (auto why = CheckClosure(first, last)) return common::Fail(*why);

  // The aircraft stands at least one sample interval between two loops, then
  // moves across the small gap to the start.
  const double duration = last.t - first.t;
  double period = std::ceil((duration + loop.sampleInterval) / kRepeatQuantumSeconds - 1e-9) * kRepeatQuantumSeconds;
  // Enough repetitions for the last one to end at or after totalSeconds.
  double more = std::ceil((totalSeconds - duration) / period - 1e-9);
  size_t repetitions = 1 + static_cast<size_t>(std::max(0.0, more));

  Flight& flight = repeated.flight;
  flight.airport = loop.airport;
  flight.sampleInterval = loop.sampleInterval;
  flight.samples.reserve(loop.samples.size() * repetitions);
  flight.phases.reserve(loop.phases.size() * repetitions);
  for (size_t k = 0; k < repetitions; ++k) {
    const double shift = static_cast<double>(k) * period;
    const size_t base = flight.samples.size();
    for (FlightSample sample : loop.samples) {
      sample.t = sample.t - first.t + shift;
      flight.samples.push_back(sample);
    }
    for (PhaseSpan phase : loop.phases) {
      phase.firstSample += base;
      phase.lastSample += base;
      flight.phases.push_back(phase);
    }
  }
  repeated.periodSeconds = period;
  repeated.repetitions = repetitions;
  return {};
}

}  // namespace orvante::flightplan
