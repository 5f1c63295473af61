// The flat frame of feet around an airport.
#include "local_frame.h"

#include <cmath>

#include "runways/runway_geometry.h"

namespace orvante::flightplan {

LocalFrame::LocalFrame(GeoPoint origin)
    : origin_(origin),
      feetPerDegreeEast_(std::cos(origin.latitude * DEGREES_TO_RADIANS) * METRES_PER_DEGREE_LONGITUDE / FEET_TO_METRES),
      feetPerDegreeNorth_(METRES_PER_DEGREE_LATITUDE / FEET_TO_METRES) {}

LocalPoint LocalFrame::ToLocal(GeoPoint point) const {
  return {(point.longitude - origin_.longitude) * feetPerDegreeEast_,
          (point.latitude - origin_.latitude) * feetPerDegreeNorth_};
}

GeoPoint LocalFrame::ToGeo(LocalPoint point) const {
  return {origin_.latitude + point.north / feetPerDegreeNorth_, origin_.longitude + point.east / feetPerDegreeEast_};
}

double WrapSigned(double degrees) {
  double wrapped = std::fmod(degrees, 360.0);
  if (wrapped <= -180) wrapped += 360;
  if (wrapped > 180) wrapped -= 360;
  return wrapped;
}

LocalPoint BearingVector(double bearing) {
  double radians = bearing * DEGREES_TO_RADIANS;
  return {std::sin(radians), std::cos(radians)};
}

double BearingOf(LocalPoint from, LocalPoint to) {
  double degrees = std::atan2(to.east - from.east, to.north - from.north) * RADIANS_TO_DEGREES;
  return degrees < 0 ? degrees + 360 : degrees;
}

double DistanceBetween(LocalPoint a, LocalPoint b) { return std::hypot(b.east - a.east, b.north - a.north); }

}  // namespace orvante::flightplan
