// Runway ends for the tools, read from a simulator folder's runway table
// (r4.csv laid out by its Schema.ini) with the module's own readers and
// completed by the module's completion pass, so a flight or a report sees
// each runway exactly where the unit will.
#pragma once
#include <string>
#include <string_view>

#include "runways/runway_record.h"

#include "common/result.h"

namespace orvante::flightplan {

// The completed runway ends of one airport (identifier compared without
// regard to case). Fails when the table cannot be read or holds no runway
// of the airport.
common::Result<> LoadAirportRunways(const std::string& simDir, std::string_view airport, RunwayList& list);

// The completed runway ends whose reference point lies inside the box.
common::Result<> LoadRunwaysInBox(const std::string& simDir, double south, double west, double north, double east,
                                  RunwayList& list);

// The end named by a designator ("28R", "28r", "9", "09"), or null.
const RunwayRecord* FindRunwayEnd(const RunwayList& list, std::string_view designator);

// True when the text could be a runway designator (01 to 36, optionally L, R, C or W).
bool LooksLikeDesignator(std::string_view text);

}  // namespace orvante::flightplan
