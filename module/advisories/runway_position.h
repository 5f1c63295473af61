// Where the aircraft stands relative to one runway: inside its rectangle, and
// pointing along it.
#pragma once
#include "runways/runway_record.h"

namespace orvante {

// Whether the point lies on the runway: inside the rectangle of the runway's
// width by its length (feet), centred on the runway's reference point and
// turned to the end's true heading. Points on the edge count as inside.
bool IsInsideRunway(GeoPoint point, const RunwayRecord& runwayEnd);

// Whether a true heading lies within 20 degrees of the end's true heading.
bool IsAlignedWithRunway(double trueHeading, const RunwayRecord& runwayEnd);

inline constexpr double kLinedUpHeadingWindow = 20.0;  // degrees

}  // namespace orvante
