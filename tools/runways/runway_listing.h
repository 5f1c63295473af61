// The runway list as the inspection command prints it: one line per record
// in list order, with what the unit knows about each runway end.
#pragma once
#include <string>

#include "runways/runway_record.h"

namespace orvante {

// The header line naming the columns, starting with '#'.
std::string RunwayListingHeader();

// One record: airport, designator, end point, opposite point, true heading,
// length, width, displaced threshold (feet) and aim point ("none" when the
// end has none).
std::string RunwayListingLine(const RunwayRecord& record);

}  // namespace orvante
