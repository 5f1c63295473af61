// A flight flown again and again, for endurance runs: the flight of a plan
// that ends where it began (stopped on the ground at its start, on its
// heading, with its gear and flaps) repeated back to back for a length of
// time. Each repetition starts a whole number of runway-query intervals
// (15 s) after the one before, so the unit's cycles, its runway queries and
// every timer meet each repetition at the same moments of it, and a unit
// that keeps no stray state says and does the same in every repetition.
#pragma once
#include <optional>

#include "common/result.h"
#include <string>

#include "flight.h"

namespace orvante::flightplan {

// The repetitions start this many seconds apart, or a multiple of it.
inline constexpr double kRepeatQuantumSeconds = 15.0;

// How far the end of a loop may lie from its start: the aircraft is moved
// across the gap while it stands between two repetitions.
inline constexpr double kLoopClosureFeet = 150.0;
inline constexpr double kLoopClosureDegrees = 15.0;
inline constexpr double kLoopStoppedKnots = 1.0;

struct RepeatedFlight {
  Flight flight;
  double periodSeconds = 0;  // from one repetition's start to the next's
  size_t repetitions = 0;
};

// Repeats loop until the flight lasts at least totalSeconds (at least once).
// Returns why the loop cannot be repeated: it does not end stopped on the
// ground where it started, on its heading, with its gear and flaps.
common::Result<> RepeatFlight(const Flight& loop, double totalSeconds, RepeatedFlight& repeated);

}  // namespace orvante::flightplan
