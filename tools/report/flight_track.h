// Reading a flight file (the stand-in simulator's format: a header row
// naming the columns, '#' comment lines) for the flight report: time,
// position, altitude, ground speed and whether on the ground. Columns are
// found by name; unknown ones are passed over. A damaged row is refused with
// its line and column.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace orvante::report {

struct TrackPoint {
  double t = 0;
  double latitude = 0;
  double longitude = 0;
  double altitudeFt = 0;
  double groundSpeedKt = 0;
  bool onGround = false;
};

// On failure returns "flight line L, column C: what is wrong".
common::Result<> ReadFlightTrack(std::string_view text, std::vector<TrackPoint>& track);

// The point at a time, interpolated linearly between the rows around it
// (the first or last row outside the flight's span).
TrackPoint TrackPointAt(const std::vector<TrackPoint>& track, double t);

}  // namespace orvante::report
