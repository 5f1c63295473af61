// The map projection of the flight report.
#include "map_projection.h"

#include <algorithm>
#include <cmath>

#include "runways/runway_geometry.h"

namespace orvante::report {

namespace {

double FeetPerDegreeEast(double latitude) {
  return std::cos(latitude * DEGREES_TO_RADIANS) * METRES_PER_DEGREE_LONGITUDE / FEET_TO_METRES;
}
constexpr double kFeetPerDegreeNorth = METRES_PER_DEGREE_LATITUDE / FEET_TO_METRES;

}  // namespace

void GeoBox::Add(double latitude, double longitude) {
  south = std::min(south, latitude);
  north = std::max(north, latitude);
  west = std::min(west, longitude);
  east = std::max(east, longitude);
}

double GeoBox::WidthFeet() const { return (east - west) * FeetPerDegreeEast((south + north) / 2); }
double GeoBox::HeightFeet() const { return (north - south) * kFeetPerDegreeNorth; }

void GeoBox::Expand(double fraction, double minimumFeet) {
  if (Empty()) return;
  double eastFeet = std::max(WidthFeet() * fraction, minimumFeet);
  double northFeet = std::max(HeightFeet() * fraction, minimumFeet);
  double eastDegrees = eastFeet / FeetPerDegreeEast((south + north) / 2);
  double northDegrees = northFeet / kFeetPerDegreeNorth;
  south -= northDegrees;
  north += northDegrees;
  west -= eastDegrees;
  east += eastDegrees;
}

MapProjection::MapProjection(const GeoBox& box, double left, double top, double width, double height) {
  centreLatitude_ = (box.south + box.north) / 2;
  centreLongitude_ = (box.west + box.east) / 2;
  feetPerDegreeEast_ = FeetPerDegreeEast(centreLatitude_);
  feetPerDegreeNorth_ = kFeetPerDegreeNorth;
  double boxWidth = std::max(box.WidthFeet(), 1.0);
  double boxHeight = std::max(box.HeightFeet(), 1.0);
  pixelsPerFoot_ = std::min(width / boxWidth, height / boxHeight);
  centreX_ = left + width / 2;
  centreY_ = top + height / 2;
}

PixelPoint MapProjection::ToPixel(double latitude, double longitude) const {
  double east = (longitude - centreLongitude_) * feetPerDegreeEast_;
  double north = (latitude - centreLatitude_) * feetPerDegreeNorth_;
  return {centreX_ + east * pixelsPerFoot_, centreY_ - north * pixelsPerFoot_};
}

}  // namespace orvante::report
