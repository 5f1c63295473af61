// The runway end nearest to a point, measured to the runway's reference point
// (the advisory engine's height and approach tests) or to the end's own point
// (the runway identifier that panels show).
#pragma once
#include "runways/runway_record.h"

namespace orvante {

enum class NearestRunwayMode {
  kReferencePoint = 1,  // refLatitude/refLongitude, shared by both ends of a runway
  kEndPoint = 2,        // endLatitude/endLongitude of the end itself
};

// Scans the list in order and keeps the end at the least great-circle distance;
// a later end replaces it only when strictly nearer, so the first of equally
// near ends wins. An end whose distance is not a number is passed over.
// Null for an empty list.
const RunwayRecord* NearestRunway(const RunwayList& runways, double latitude, double longitude, NearestRunwayMode mode);

}  // namespace orvante
