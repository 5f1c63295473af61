// A flat frame of feet east and north of an origin, for laying out a flight
// around one airport. It uses the module's flat-earth constants, scaled by
// the cosine of the origin's latitude, so the conversion is exact both ways
// and a track built here reads back with the same distances the unit sees
// (within a fraction of a percent over the few miles of a circuit).
#pragma once
#include "runways/runway_record.h"

namespace orvante::flightplan {

struct LocalPoint {
  double east = 0;   // feet
  double north = 0;  // feet
};

class LocalFrame {
 public:
  LocalFrame() = default;
  explicit LocalFrame(GeoPoint origin);

  LocalPoint ToLocal(GeoPoint point) const;
  GeoPoint ToGeo(LocalPoint point) const;
  GeoPoint origin() const { return origin_; }

 private:
  GeoPoint origin_;
  double feetPerDegreeEast_ = 0;
  double feetPerDegreeNorth_ = 0;
};

// Degrees in (-180, 180].
double WrapSigned(double degrees);

// Unit vector of a bearing (degrees true): east and north components.
LocalPoint BearingVector(double bearing);

// Bearing of a displacement, degrees in [0, 360).
double BearingOf(LocalPoint from, LocalPoint to);

double DistanceBetween(LocalPoint a, LocalPoint b);

}  // namespace orvante::flightplan
