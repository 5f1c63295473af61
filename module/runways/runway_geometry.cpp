// Flat-earth geometry near a runway and the completion of runway ends.
//
// The flat-earth model scales a degree of longitude by the cosine of the
// latitude and treats a degree of latitude as a fixed distance; over the few
// kilometres of an airport its error is far below a runway's width.
#include "runways/runway_geometry.h"

#include <cmath>
#include <cstring>

#include "runways/runway_designator.h"

namespace orvante {

double WrapPositive(double x, double y) { return x - std::floor(x / y) * y; }

LocalOffset LocalVector(double lat1, double lon1, double lat2, double lon2, bool inMetres) {
  LocalOffset v;
  v.east = std::cos(lat1 * DEGREES_TO_RADIANS) * (lon2 - lon1) * METRES_PER_DEGREE_LONGITUDE;
  v.north = (lat2 - lat1) * METRES_PER_DEGREE_LATITUDE;
  if (!inMetres) {
    v.east /= FEET_TO_METRES;
    v.north /= FEET_TO_METRES;
  }
  return v;
}

double FlatBearing(double lat1, double lon1, double lat2, double lon2) {
  LocalOffset v = LocalVector(lat1, lon1, lat2, lon2, false);
  // The turn constant is a little short of 2 pi, so even a wrap that lands
  // on it exactly stays below 360 degrees once scaled.
  return WrapPositive(std::atan2(v.east, v.north), FULL_TURN_RADIANS) * RADIANS_TO_DEGREES;
}

double FlatDistance(double lat1, double lon1, double lat2, double lon2, bool inMetres) {
  LocalOffset v = LocalVector(lat1, lon1, lat2, lon2, inMetres);
  return std::sqrt(v.east * v.east + v.north * v.north);
}

GeoPoint OffsetPoint(double lat, double lon, double distance, double bearing, bool inMetres) {
  double metres = inMetres ? distance : distance * FEET_TO_METRES;
  double radians = bearing * DEGREES_TO_RADIANS;
  GeoPoint p;
  p.latitude = lat + std::cos(radians) * metres / METRES_PER_DEGREE_LATITUDE;
  p.longitude = lon + std::sin(radians) * metres / (std::cos(lat * DEGREES_TO_RADIANS) * METRES_PER_DEGREE_LONGITUDE);
  return p;
}

GeoPoint OffsetByComponents(double lat, double lon, double east, double north, bool inMetres) {
  if (!inMetres) {
    east *= FEET_TO_METRES;
    north *= FEET_TO_METRES;
  }
  GeoPoint p;
  p.latitude = lat + north / METRES_PER_DEGREE_LATITUDE;
  p.longitude = lon + east / (std::cos(lat * DEGREES_TO_RADIANS) * METRES_PER_DEGREE_LONGITUDE);
  return p;
}

std::array<GeoPoint, 5> BuildOutline(GeoPoint end, GeoPoint opposite, double width) {
  double bearing = FlatBearing(end.latitude, end.longitude, opposite.latitude, opposite.longitude);
  double half = width * 0.5;
  double right = WrapPositive(bearing + 90, 360);
  double left = WrapPositive(bearing - 90, 360);
  std::array<GeoPoint, 5> corners;
  corners[0] = OffsetPoint(opposite.latitude, opposite.longitude, half, right, false);
  corners[1] = OffsetPoint(end.latitude, end.longitude, half, right, false);
  corners[2] = OffsetPoint(end.latitude, end.longitude, half, left, false);
  corners[3] = OffsetPoint(opposite.latitude, opposite.longitude, half, left, false);
  corners[4] = corners[0];
  return corners;
}

// A record is complete once it has an opposite end. A coordinate that is not
// a number compares unequal to 0 and so also counts as complete.
static bool HasOppositeEnd(const RunwayRecord& record) {
  return record.oppositeLatitude != 0 || record.oppositeLongitude != 0;
}

std::unique_ptr<RunwayRecord> PairRunwayEnd(RunwayRecord& record, const RunwayList& list) {
  if (HasOppositeEnd(record)) return nullptr;

  // The partner is the other end of the same runway: the same reference
  // point, exactly. Designators and airports play no part.
  for (const auto& other : list) {
    if (other.get() == &record) continue;
    if (other->refLatitude == record.refLatitude && other->refLongitude == record.refLongitude) {
      record.oppositeLatitude = other->endLatitude;
      record.oppositeLongitude = other->endLongitude;
    }
  }

  int code = WriteDesignatorLetter(record.designator);
  std::unique_ptr<RunwayRecord> added;

  if (HasOppositeEnd(record)) {
    record.trueHeading =
        FlatBearing(record.endLatitude, record.endLongitude, record.oppositeLatitude, record.oppositeLongitude);
    record.length =
        FlatDistance(record.endLatitude, record.endLongitude, record.oppositeLatitude, record.oppositeLongitude, false);
  } else {
    // The table lists this end only: the other end lies the runway's length,
    // displaced threshold included, down the geographic heading.
    record.trueHeading = WrapPositive(record.heading + record.magneticVariation, 360);
    if (record.displacedThreshold != 0) record.length += record.displacedThreshold;
    GeoPoint opposite = OffsetPoint(record.endLatitude, record.endLongitude, record.length, record.trueHeading, false);
    record.oppositeLatitude = opposite.latitude;
    record.oppositeLongitude = opposite.longitude;

    added.reset(new (std::nothrow) RunwayRecord());
    if (added) {
      WriteOppositeDesignator(added->designator, ReciprocalRunwayNumber(DesignatorRunwayNumber(record.designator)),
                              code);
      added->heading = WrapPositive(record.heading + 180, 360);
      added->refLatitude = record.refLatitude;
      added->refLongitude = record.refLongitude;
      added->endLatitude = opposite.latitude;
      added->endLongitude = opposite.longitude;
      memcpy(added->airportIdent, record.airportIdent, sizeof added->airportIdent);
      added->elevation = record.elevation;
      added->length = record.length;
      added->magneticVariation = record.magneticVariation;
      added->width = record.width;
    }
  }

  std::array<GeoPoint, 5> outline = BuildOutline({record.endLatitude, record.endLongitude},
                                                 {record.oppositeLatitude, record.oppositeLongitude}, record.width);
  for (size_t i = 0; i < outline.size(); ++i) record.outline[i] = outline[i];

  if (record.guidanceValue > 0) {
    record.aimPoint = OffsetPoint(record.endLatitude, record.endLongitude,
                                  (record.length - record.displacedThreshold) * 0.125, record.trueHeading, false);
  }
  return added;
}

}  // namespace orvante
