// A recorded flight: the stand-in's flight file (CSV with a header row naming
// its columns) and the aircraft values at any moment of it. Between rows
// numbers are interpolated linearly, headings the short way round; on_ground,
// gear and flaps_index keep the earlier row's value.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "aircraft_values.h"
#include "common/result.h"

namespace sim {

struct FlightRow {
  double t = 0;  // seconds since the start
  AircraftValues values;
};

struct FlightFile {
  std::vector<FlightRow> rows;  // at least one, t strictly increasing

  double Duration() const { return rows.empty() ? 0.0 : rows.back().t; }
};

// Reads a flight from its text; name is the file's name in messages. A
// failure says "FILE:LINE:COLUMN: what is wrong".
common::Result<FlightFile> ParseFlightFile(std::string_view text, const std::string& name);
common::Result<FlightFile> ReadFlightFile(const std::string& path);

// The aircraft at time t: the first row before the flight, the last after it.
// Eye-point values are the caller's; they are not part of a flight.
AircraftValues FlightValuesAt(const FlightFile& flight, double t);

}  // namespace sim
