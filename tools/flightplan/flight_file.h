// Writing a flight as the stand-in simulator's flight file: comment lines
// naming the plan's phases and when each begins, a header row, then one row
// a sample with the columns t, lat, lon, alt_ft, heading_true, ias_kt, gs_kt,
// vs_fpm, on_ground, gear and flaps_index.
#pragma once
#include <string>

#include "flight.h"

#include "common/result.h"

namespace orvante::flightplan {

std::string FlightFileText(const Flight& flight);

// Writes the file through a temporary beside it and a rename, so a failed
// write never leaves half a flight.
common::Result<> WriteFlightFile(const std::string& path, const Flight& flight);

}  // namespace orvante::flightplan
