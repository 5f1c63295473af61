// Runway lists built from the OurAirports runway table, the way the runway
// query builds them from r4.csv: one record per runway end, the rows whose
// reference point lies strictly inside a box around a position, in file
// order, completed by the runway part's pairing pass.
#pragma once
#include <string>

#include "runways/runway_record.h"

namespace orvante::testing {

// Half the side of the query box, degrees (13 minutes of arc).
inline constexpr double kQueryBoxHalfSize = 0.21666666666666667;

// Path of the OurAirports runways.csv this machine holds, or empty.
std::string FindOurAirportsRunways();

// Every open runway with both ends located, whose midpoint (the reference
// point) lies within the box, as completed runway-end records. A runway end
// whose identifier is no runway number (helipads, "N"/"S" strips) is left out.
RunwayList LoadRunwaysAround(const std::string& csvPath, double latitude, double longitude,
                             double halfSize = kQueryBoxHalfSize);

// The record of a runway end by airport and designator, or null.
const RunwayRecord* FindRunwayEnd(const RunwayList& list, const char* airport, const char* designator);

}  // namespace orvante::testing
