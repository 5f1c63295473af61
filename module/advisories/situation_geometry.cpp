// Spherical and plane geometry of the advisory checks.
#include "advisories/situation_geometry.h"

#include <cmath>

#include "advisories/situation_context.h"
#include "advisories/whole_numbers.h"
#include "runways/runway_geometry.h"

namespace orvante {

double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2, DistanceUnit unit) {
  double phi1 = lat1 * DEGREES_TO_RADIANS;
  double phi2 = lat2 * DEGREES_TO_RADIANS;
  double sinHalfLat = std::sin((lat2 - lat1) * DEGREES_TO_RADIANS / 2);
  double sinHalfLon = std::sin((lon2 - lon1) * DEGREES_TO_RADIANS / 2);
  double a = sinHalfLat * sinHalfLat + std::cos(phi1) * std::cos(phi2) * sinHalfLon * sinHalfLon;
  double c = 2 * std::atan2(std::sqrt(a), std::sqrt(1 - a));
  switch (unit) {
    case DistanceUnit::kNauticalMiles: return c * EARTH_RADIUS_KM * KILOMETRES_TO_NAUTICAL_MILES;
    case DistanceUnit::kMetres: return c * EARTH_RADIUS_KM * 1000;
    case DistanceUnit::kFeet: break;
  }
  return c * EARTH_RADIUS_KM * 1000 / FEET_TO_METRES;
}

double InitialBearing(double lat1, double lon1, double lat2, double lon2) {
  double phi1 = lat1 * DEGREES_TO_RADIANS;
  double phi2 = lat2 * DEGREES_TO_RADIANS;
  double dLon = (lon2 - lon1) * DEGREES_TO_RADIANS;
  double y = std::sin(dLon) * std::cos(phi2);
  double x = std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dLon);
  double bearing = WrapPositive(std::atan2(y, x) * RADIANS_TO_DEGREES, 360);
  // A bearing a hair west of north wraps to 360 itself once rounded; it is north.
  return bearing >= 360 ? 0 : bearing;
}

double HeadingDifference(double a, double b) {
  double r = (b - a) * DEGREES_TO_RADIANS;
  return std::atan2(std::sin(r), std::cos(r)) * RADIANS_TO_DEGREES;
}

bool SegmentsIntersect(GeoPoint a1, GeoPoint a2, GeoPoint b1, GeoPoint b2) {
  double ax = a2.latitude - a1.latitude, ay = a2.longitude - a1.longitude;
  double bx = b2.latitude - b1.latitude, by = b2.longitude - b1.longitude;
  double det = ax * by - ay * bx;
  if (det == 0) return false;  // parallel lines, or a segment of no length
  // The crossing of the two lines lies within both segments' latitude and
  // longitude ranges exactly when it lies between the ends of each, which the
  // two line parameters tell directly (bounds included).
  double cx = b1.latitude - a1.latitude, cy = b1.longitude - a1.longitude;
  double t = (cx * by - cy * bx) / det;  // along a
  double u = (cx * ay - cy * ax) / det;  // along b
  return t >= 0 && t <= 1 && u >= 0 && u <= 1;
}

DistanceUnit ProfileDistanceUnit(uint32_t unitsOfMeasure) {
  return unitsOfMeasure == 1 ? DistanceUnit::kMetres : DistanceUnit::kFeet;
}

int64_t FeetToUnits(int64_t wholeFeet, uint32_t unitsOfMeasure) {
  if (unitsOfMeasure != 1) return wholeFeet;
  return TruncateToWhole(static_cast<double>(wholeFeet) * FEET_TO_METRES);
}

double RoundTo(double x, int n) {
  double scale = std::pow(10.0, n);
  return std::floor(x * scale + 0.5) / scale;
}

double ApproachAngle(const SituationContext& ctx, const RunwayRecord& runwayEnd) {
  uint32_t units = ctx.profile.UnitsOfMeasure.load();
  double height = static_cast<double>(FeetToUnits(TruncateToWhole(ctx.sample.heightAboveRunway), units));
  double distance = GreatCircleDistance(ctx.sample.latitudeDeg, ctx.sample.longitudeDeg, runwayEnd.aimPoint.latitude,
                                        runwayEnd.aimPoint.longitude, ProfileDistanceUnit(units));
  return std::atan2(height, distance) * RADIANS_TO_DEGREES;
}

}  // namespace orvante
