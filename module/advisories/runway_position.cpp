// The on-runway tests. The point is turned about the runway's reference point
// into a frame in which the runway runs due north, and then compared with an
// axis-aligned box, which keeps the test to a few flat-earth operations.
#include "advisories/runway_position.h"

#include <cmath>

#include "advisories/situation_geometry.h"
#include "runways/runway_geometry.h"

namespace orvante {

bool IsInsideRunway(GeoPoint point, const RunwayRecord& runwayEnd) {
  double refLat = runwayEnd.refLatitude, refLon = runwayEnd.refLongitude;
  double distance = FlatDistance(refLat, refLon, point.latitude, point.longitude, false);
  double bearing = FlatBearing(refLat, refLon, point.latitude, point.longitude);
  double relative = HeadingDifference(runwayEnd.trueHeading, bearing);
  GeoPoint turned = OffsetPoint(refLat, refLon, distance, WrapPositive(relative + 360, 360), false);

  double halfWidth = runwayEnd.width / 2, halfLength = runwayEnd.length / 2;
  GeoPoint upper = OffsetByComponents(refLat, refLon, halfWidth, halfLength, false);
  GeoPoint lower = OffsetByComponents(refLat, refLon, -halfWidth, -halfLength, false);
  return lower.latitude <= turned.latitude && turned.latitude <= upper.latitude &&
         lower.longitude <= turned.longitude && turned.longitude <= upper.longitude;
}

bool IsAlignedWithRunway(double trueHeading, const RunwayRecord& runwayEnd) {
  return std::fabs(HeadingDifference(trueHeading, runwayEnd.trueHeading)) <= kLinedUpHeadingWindow;
}

}  // namespace orvante
