// Placing geographic points on a map drawn in pixels: north up, the same
// scale east and north (the flat-earth model around the box's middle), the
// box fitted and centred inside the map's rectangle.
#pragma once

namespace orvante::report {

struct GeoBox {
  double south = 90, west = 180, north = -90, east = -180;

  bool Empty() const { return south > north; }
  void Add(double latitude, double longitude);
  // Grows the box by a fraction of its size and at least by the given feet each way.
  void Expand(double fraction, double minimumFeet);
  double WidthFeet() const;
  double HeightFeet() const;
};

struct PixelPoint {
  double x = 0;
  double y = 0;
};

class MapProjection {
 public:
  MapProjection(const GeoBox& box, double left, double top, double width, double height);

  PixelPoint ToPixel(double latitude, double longitude) const;
  double PixelsPerFoot() const { return pixelsPerFoot_; }

 private:
  double centreLatitude_ = 0, centreLongitude_ = 0;
  double feetPerDegreeEast_ = 0, feetPerDegreeNorth_ = 0;
  double pixelsPerFoot_ = 0;
  double centreX_ = 0, centreY_ = 0;
};

}  // namespace orvante::report
