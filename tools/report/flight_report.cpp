// Drawing the flight report.
#include "flight_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "runways/runway_geometry.h"
#include "svg_document.h"

namespace orvante::report {

namespace {

constexpr double kWidth = 1200;
constexpr double kMapTop = 78;
constexpr double kMapHeight = 560;
constexpr double kProfileTop = kMapTop + kMapHeight + 24;
constexpr double kProfileHeight = 250;
constexpr double kListTop = kProfileTop + kProfileHeight + 64;
constexpr double kListRow = 18;
constexpr double kLabelCharWidth = 6.4;  // at 11 px
constexpr size_t kMapLabelChars = 34;

const char* kGroundColour = "#a0522d";
const char* kAirColour = "#1f6fd1";
const char* kCalloutColour = "#d62728";
const char* kSpeedColour = "#2a9d3f";

std::string TimeText(double seconds) {
  char text[32];
  int whole = static_cast<int>(std::lround(std::max(0.0, seconds)));
  std::snprintf(text, sizeof text, "%d:%02d", whole / 60, whole % 60);
  return text;
}

// A tick step of 1, 2 or 5 times a power of ten giving about `count` steps.
double NiceStep(double span, double count) {
  double raw = span / std::max(count, 1.0);
  if (raw <= 0) return 1;
  double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0}) {
    if (raw <= m * power) return m * power;
  }
  return 10 * power;
}

struct LabelBox {
  double left, top, right, bottom;
  bool Overlaps(const LabelBox& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
};

std::string Shortened(const std::string& text, size_t chars) {
  if (text.size() <= chars) return text;
  size_t cut = chars - 1;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // whole UTF-8 characters
  return text.substr(0, cut) + "\xE2\x80\xA6";
}

// Clipping to a map's rectangle is done here rather than left to an SVG
// clip path, which some renderers (ImageMagick's own) get wrong.
struct ClipRect {
  double left, top, right, bottom;
  bool Contains(PixelPoint p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
};

// Liang-Barsky: the part of segment a-b inside the rectangle, if any.
bool ClipSegment(const ClipRect& r, PixelPoint& a, PixelPoint& b) {
  double t0 = 0, t1 = 1, dx = b.x - a.x, dy = b.y - a.y;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - r.left, r.right - a.x, a.y - r.top, r.bottom - a.y};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  PixelPoint start{a.x + t0 * dx, a.y + t0 * dy}, end{a.x + t1 * dx, a.y + t1 * dy};
  a = start;
  b = end;
  return true;
}

// Sutherland-Hodgman: the polygon cut to the rectangle.
std::vector<PixelPoint> ClipPolygon(const ClipRect& r, std::vector<PixelPoint> polygon) {
  auto clipEdge = [&](auto inside, auto cross) {
    std::vector<PixelPoint> out;
    for (size_t i = 0; i < polygon.size(); ++i) {
      PixelPoint a = polygon[i], b = polygon[(i + 1) % polygon.size()];
      if (inside(a)) out.push_back(a);
      if (inside(a) != inside(b)) out.push_back(cross(a, b));
    }
    polygon = out;
  };
  auto atX = [](double x) {
    return [x](PixelPoint a, PixelPoint b) { return PixelPoint{x, a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x)}; };
  };
  auto atY = [](double y) {
    return [y](PixelPoint a, PixelPoint b) { return PixelPoint{a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y), y}; };
  };
  clipEdge([&](PixelPoint p) { return p.x >= r.left; }, atX(r.left));
  clipEdge([&](PixelPoint p) { return p.x <= r.right; }, atX(r.right));
  clipEdge([&](PixelPoint p) { return p.y >= r.top; }, atY(r.top));
  clipEdge([&](PixelPoint p) { return p.y <= r.bottom; }, atY(r.bottom));
  return polygon;
}

// The visible pieces of a line through the points, as polylines.
std::vector<std::string> ClippedPolylines(const ClipRect& r, const std::vector<PixelPoint>& points) {
  std::vector<std::string> pieces;
  std::string current;
  PixelPoint last{-1e300, -1e300};
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    PixelPoint a = points[i], b = points[i + 1];
    if (!ClipSegment(r, a, b)) continue;
    if (current.empty() || a.x != last.x || a.y != last.y) {
      if (!current.empty()) pieces.push_back(current);
      current = Number(a.x) + "," + Number(a.y);
    }
    current += " " + Number(b.x) + "," + Number(b.y);
    last = b;
  }
  if (!current.empty()) pieces.push_back(current);
  return pieces;
}

// Text with a halo in the map's colour, drawn as two texts: paint-order is
// not understood by every renderer.
void HaloText(SvgDocument& svg, double x, double y, const std::string& text, const std::string& attributes) {
  svg.Text(x, y, text, attributes + " fill=\"#f3f1ea\" stroke=\"#f3f1ea\" stroke-width=\"3\"");
  svg.Text(x, y, text, attributes + " fill=\"#222\"");
}

// Points closer than about a pixel to the last one kept add nothing to a
// line but bytes (a long flight has thousands of samples a mile); the first
// and last points always stay.
std::vector<PixelPoint> Thinned(const std::vector<PixelPoint>& points) {
  std::vector<PixelPoint> kept;
  for (size_t i = 0; i < points.size(); ++i) {
    if (i == 0 || i + 1 == points.size() ||
        std::hypot(points[i].x - kept.back().x, points[i].y - kept.back().y) >= 0.75)
      kept.push_back(points[i]);
  }
  return kept;
}

struct MapPanel {
  std::string caption;
  GeoBox box;
  double left, top, width, height;
};

void DrawMap(SvgDocument& svg, const MapPanel& panel, const ReportInput& input, int clipId) {
  MapProjection projection(panel.box, panel.left, panel.top, panel.width, panel.height);
  svg.Raw("<g class=\"map\" data-box=\"" + Number(panel.box.south) + " " + Number(panel.box.west) + " " +
          Number(panel.box.north) + " " + Number(panel.box.east) + "\" data-rect=\"" + Number(panel.left) + " " +
          Number(panel.top) + " " + Number(panel.width) + " " + Number(panel.height) + "\">\n");
  // The box's numbers in full, so a reader can rebuild the projection exactly.
  char exact[160];
  std::snprintf(exact, sizeof exact, "<desc>%.9f %.9f %.9f %.9f</desc>\n", panel.box.south, panel.box.west,
                panel.box.north, panel.box.east);
  svg.Raw(exact);
  (void)clipId;
  const ClipRect clip{panel.left, panel.top, panel.left + panel.width, panel.top + panel.height};
  svg.Rect(panel.left, panel.top, panel.width, panel.height, "fill=\"#f3f1ea\" stroke=\"#999\"");

  // Runways: the surface outline, a dashed centreline when wide enough to
  // see, and the designator just before each end.
  if (input.runways) {
    for (const auto& record : *input.runways) {
      std::vector<PixelPoint> corners;
      for (int i = 0; i < 4; ++i)
        corners.push_back(projection.ToPixel(record->outline[i].latitude, record->outline[i].longitude));
      corners = ClipPolygon(clip, corners);
      if (corners.size() < 3) continue;
      std::string points;
      for (PixelPoint p : corners) points += Number(p.x) + "," + Number(p.y) + " ";
      svg.Raw("<polygon class=\"runway\" points=\"" + points +
              "\" fill=\"#5a5a5a\" stroke=\"#333\" stroke-width=\"0.8\"/>\n");
    }
    for (const auto& record : *input.runways) {
      PixelPoint end = projection.ToPixel(record->endLatitude, record->endLongitude);
      PixelPoint opposite = projection.ToPixel(record->oppositeLatitude, record->oppositeLongitude);
      double dx = opposite.x - end.x, dy = opposite.y - end.y;
      double length = std::hypot(dx, dy);
      if (length < 12) continue;  // too small to name
      PixelPoint a = end, b = opposite;
      if (record->width * projection.PixelsPerFoot() > 4 && ClipSegment(clip, a, b)) {
        svg.Line(a.x, a.y, b.x, b.y, "stroke=\"#fff\" stroke-width=\"0.8\" stroke-dasharray=\"6 5\"");
      }
      double ux = dx / length, uy = dy / length;
      double offset = 9 + std::min(record->width * projection.PixelsPerFoot(), 8.0);
      PixelPoint label{end.x - ux * offset, end.y - uy * offset};
      if (!ClipRect{clip.left + 8, clip.top + 8, clip.right - 8, clip.bottom - 8}.Contains(label)) continue;
      HaloText(svg, label.x, label.y + 4, record->designator,
               "class=\"designator\" font-size=\"11\" font-weight=\"bold\" text-anchor=\"middle\"");
    }
  }

  // The track, one polyline for each stretch on the ground or in the air.
  const auto& track = input.track;
  size_t i = 0;
  while (i < track.size()) {
    size_t j = i;
    std::vector<PixelPoint> points;
    while (j < track.size() && track[j].onGround == track[i].onGround) {
      points.push_back(projection.ToPixel(track[j].latitude, track[j].longitude));
      ++j;
    }
    if (j < track.size()) points.push_back(projection.ToPixel(track[j].latitude, track[j].longitude));  // join up
    if (points.size() == 1) points.push_back(points.front());
    points = Thinned(points);
    for (const std::string& piece : ClippedPolylines(clip, points)) {
      svg.Raw(std::string("<polyline class=\"track\" points=\"") + piece + "\" fill=\"none\" stroke=\"" +
              (track[i].onGround ? kGroundColour : kAirColour) +
              "\" stroke-width=\"2.2\" stroke-linejoin=\"round\"/>\n");
    }
    i = j;
  }
  if (!track.empty()) {
    PixelPoint start = projection.ToPixel(track.front().latitude, track.front().longitude);
    PixelPoint finish = projection.ToPixel(track.back().latitude, track.back().longitude);
    if (clip.Contains(start)) svg.Circle(start.x, start.y, 5, "fill=\"#fff\" stroke=\"#222\" stroke-width=\"2\"");
    if (clip.Contains(finish)) svg.Rect(finish.x - 4.5, finish.y - 4.5, 9, 9, "fill=\"#222\"");
  }

  // Callouts: a numbered marker where each was queued, and its words beside
  // it where they fit without covering another label.
  std::vector<LabelBox> taken;
  std::vector<std::pair<PixelPoint, const Callout*>> markers;
  for (const Callout& callout : input.callouts) {
    TrackPoint at = TrackPointAt(track, callout.t);
    PixelPoint p = projection.ToPixel(at.latitude, at.longitude);
    if (!clip.Contains(p)) continue;
    markers.push_back({p, &callout});
    taken.push_back({p.x - 8, p.y - 8, p.x + 8, p.y + 8});
  }
  for (const auto& [p, callout] : markers) {
    std::string text = std::to_string(callout->number) + " " + Shortened(callout->phrase, kMapLabelChars);
    double width = text.size() * kLabelCharWidth + 6;
    const double candidates[][2] = {
        {14, -16}, {14, 6},           {-14 - width, -16}, {-14 - width, 6}, {14, -36}, {-14 - width, -36},
        {14, 26},  {-14 - width, 26}, {-width / 2, -44},  {-width / 2, 34}, {30, -60}, {-30 - width, -60},
        {30, 48},  {-30 - width, 48}};
    for (const auto& offset : candidates) {
      LabelBox box{p.x + offset[0], p.y + offset[1], p.x + offset[0] + width, p.y + offset[1] + 15};
      if (box.left < panel.left || box.right > panel.left + panel.width || box.top < panel.top ||
          box.bottom > panel.top + panel.height)
        continue;
      if (std::any_of(taken.begin(), taken.end(), [&](const LabelBox& other) { return other.Overlaps(box); })) continue;
      taken.push_back(box);
      double anchorX = offset[0] < 0 ? box.right : box.left;
      svg.Line(p.x, p.y, anchorX, box.top + 7.5, "stroke=\"#d62728\" stroke-width=\"0.8\"");
      svg.Rect(box.left, box.top, width, 15,
               "fill=\"#fff\" fill-opacity=\"0.9\" stroke=\"#d62728\" stroke-width=\"0.6\" rx=\"3\"");
      svg.Text(box.left + 3, box.top + 11.5, text, "class=\"callout-label\" font-size=\"11\" fill=\"#222\"");
      break;
    }
  }
  for (const auto& [p, callout] : markers) {
    svg.Circle(p.x, p.y, 7,
               std::string("class=\"callout\" data-number=\"") + std::to_string(callout->number) + "\" fill=\"" +
                   kCalloutColour + "\" stroke=\"#fff\" stroke-width=\"1.5\"");
    svg.Text(p.x, p.y + 3.5, std::to_string(callout->number),
             "font-size=\"10\" font-weight=\"bold\" text-anchor=\"middle\" fill=\"#fff\"");
  }
  // Caption, north arrow and scale bar.
  HaloText(svg, panel.left + 8, panel.top + 18, panel.caption, "font-size=\"13\" font-weight=\"bold\"");
  double nx = panel.left + panel.width - 22, ny = panel.top + 14;
  svg.Raw("<path d=\"M" + Number(nx) + "," + Number(ny) + " l6,18 l-6,-5 l-6,5 z\" fill=\"#333\"/>\n");
  svg.Text(nx, ny + 32, "N", "font-size=\"11\" font-weight=\"bold\" text-anchor=\"middle\" fill=\"#333\"");
  double wantFeet = panel.width / 5 / projection.PixelsPerFoot();
  bool miles = wantFeet > 3000;
  double unit = miles ? 6076.12 : 1;
  double step = NiceStep(wantFeet / unit, 1);
  double barPixels = step * unit * projection.PixelsPerFoot();
  double bx = panel.left + 12, by = panel.top + panel.height - 14;
  svg.Rect(bx, by - 4, barPixels, 4, "fill=\"#333\"");
  char scale[32];
  std::snprintf(scale, sizeof scale, miles ? "%g nm" : "%g ft", step);
  svg.Text(bx + barPixels + 6, by, scale, "font-size=\"11\" fill=\"#333\"");
  svg.Raw("</g>\n");
}

void DrawProfile(SvgDocument& svg, const ReportInput& input) {
  const auto& track = input.track;
  const double left = 80, right = kWidth - 80, top = kProfileTop, bottom = kProfileTop + kProfileHeight;
  double t0 = track.front().t, t1 = std::max(track.back().t, track.front().t + 1);
  double altLow = 1e300, altHigh = -1e300, speedHigh = 10;
  for (const TrackPoint& p : track) {
    altLow = std::min(altLow, p.altitudeFt);
    altHigh = std::max(altHigh, p.altitudeFt);
    speedHigh = std::max(speedHigh, p.groundSpeedKt);
  }
  // At least 500 ft of scale, so a flight on the ground stays a flat line.
  double altStep = NiceStep(std::max(altHigh - altLow, 500.0), 5);
  altLow = std::floor(altLow / altStep) * altStep;
  altHigh = std::max(std::ceil(altHigh / altStep) * altStep, altLow + altStep);
  double speedStep = NiceStep(speedHigh, 5);
  speedHigh = std::ceil(speedHigh / speedStep) * speedStep;
  auto X = [&](double t) { return left + (t - t0) / (t1 - t0) * (right - left); };
  auto YAlt = [&](double a) { return bottom - (a - altLow) / (altHigh - altLow) * (bottom - top); };
  auto YSpeed = [&](double s) { return bottom - s / speedHigh * (bottom - top); };

  svg.Raw("<g class=\"profile\">\n");
  svg.Rect(left, top, right - left, bottom - top, "fill=\"#fff\" stroke=\"#999\"");
  for (double a = altLow; a <= altHigh + 1e-6; a += altStep) {
    svg.Line(left, YAlt(a), right, YAlt(a), "stroke=\"#e4e4e4\"");
    svg.Text(left - 6, YAlt(a) + 4, Number(a),
             std::string("font-size=\"11\" text-anchor=\"end\" fill=\"") + kAirColour + "\"");
  }
  for (double s = 0; s <= speedHigh + 1e-6; s += speedStep) {
    svg.Text(right + 6, YSpeed(s) + 4, Number(s), std::string("font-size=\"11\" fill=\"") + kSpeedColour + "\"");
  }
  // Time ticks at steps a clock reads easily.
  double timeStep = 3600;
  for (double step : {10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0, 900.0, 1800.0}) {
    if ((t1 - t0) / step <= 10) {
      timeStep = step;
      break;
    }
  }
  for (double t = std::ceil(t0 / timeStep) * timeStep; t <= t1 + 1e-6; t += timeStep) {
    svg.Line(X(t), top, X(t), bottom, "stroke=\"#eeeeee\"");
    svg.Text(X(t), bottom + 16, TimeText(t), "font-size=\"11\" text-anchor=\"middle\" fill=\"#333\"");
  }
  svg.Text((left + right) / 2, bottom + 34, "time since the start (min:s)",
           "font-size=\"12\" text-anchor=\"middle\" fill=\"#333\"");
  svg.Text(left - 58, (top + bottom) / 2, "altitude (ft)",
           std::string("font-size=\"12\" text-anchor=\"middle\" fill=\"") + kAirColour + "\" transform=\"rotate(-90 " +
               Number(left - 58) + " " + Number((top + bottom) / 2) + ")\"");
  svg.Text(right + 58, (top + bottom) / 2, "ground speed (kt)",
           std::string("font-size=\"12\" text-anchor=\"middle\" fill=\"") + kSpeedColour + "\" transform=\"rotate(90 " +
               Number(right + 58) + " " + Number((top + bottom) / 2) + ")\"");

  // On the ground: a brown band along the time axis.
  for (size_t i = 0; i + 1 < track.size();) {
    if (!track[i].onGround) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j + 1 < track.size() && track[j].onGround) ++j;
    svg.Rect(X(track[i].t), bottom - 6, X(track[j].t) - X(track[i].t), 6,
             std::string("class=\"on-ground\" fill=\"") + kGroundColour + "\" fill-opacity=\"0.8\"");
    i = j + 1;
  }
  std::vector<PixelPoint> altitudePoints, speedPoints;
  for (const TrackPoint& p : track) {
    altitudePoints.push_back({X(p.t), YAlt(p.altitudeFt)});
    speedPoints.push_back({X(p.t), YSpeed(p.groundSpeedKt)});
  }
  std::string altitude, speed;
  for (PixelPoint p : Thinned(altitudePoints)) altitude += Number(p.x) + "," + Number(p.y) + " ";
  for (PixelPoint p : Thinned(speedPoints)) speed += Number(p.x) + "," + Number(p.y) + " ";
  svg.Raw("<polyline class=\"altitude\" points=\"" + altitude + "\" fill=\"none\" stroke=\"" + kAirColour +
          "\" stroke-width=\"2\"/>\n");
  svg.Raw("<polyline class=\"ground-speed\" points=\"" + speed + "\" fill=\"none\" stroke=\"" + kSpeedColour +
          "\" stroke-width=\"1.6\" stroke-dasharray=\"7 3\"/>\n");

  // Callouts on the time axis: a line each, numbers staggered when close.
  double lastX[3] = {-1e9, -1e9, -1e9};
  for (const Callout& callout : input.callouts) {
    double x = X(callout.t);
    svg.Line(x, top, x, bottom,
             std::string("class=\"callout-time\" stroke=\"") + kCalloutColour +
                 "\" stroke-width=\"1\" stroke-opacity=\"0.7\"");
    int row = 0;
    while (row < 2 && x - lastX[row] < 16) ++row;
    lastX[row] = x;
    double y = top - 6 - row * 14;
    svg.Text(
        x, y, std::to_string(callout.number),
        std::string("font-size=\"10\" font-weight=\"bold\" text-anchor=\"middle\" fill=\"") + kCalloutColour + "\"");
  }
  svg.Raw("</g>\n");
}

}  // namespace

GeoBox ReportBox(const std::vector<TrackPoint>& track) {
  GeoBox box;
  for (const TrackPoint& p : track) box.Add(p.latitude, p.longitude);
  box.Expand(0.08, 1500);
  return box;
}

std::string RenderFlightReport(const ReportInput& input) {
  const auto& track = input.track;
  double listRows = std::ceil(input.callouts.size() / 2.0);
  double height = kListTop + 10 + listRows * kListRow + 20;
  SvgDocument svg(kWidth, height);
  svg.Rect(0, 0, kWidth, height, "fill=\"#fafafa\"");
  if (track.empty()) return svg.Finish();

  svg.Text(20, 30, input.title, "font-size=\"20\" font-weight=\"bold\" fill=\"#222\"");
  char subtitle[200];
  std::snprintf(subtitle, sizeof subtitle, "%s of flight, %zu callouts.",
                TimeText(track.back().t - track.front().t).c_str(), input.callouts.size());
  svg.Text(20, 52, subtitle, "font-size=\"13\" fill=\"#444\"");
  // Key.
  double kx = 520;
  svg.Line(kx, 47, kx + 24, 47, std::string("stroke=\"") + kGroundColour + "\" stroke-width=\"3\"");
  svg.Text(kx + 30, 52, "on the ground", "font-size=\"12\" fill=\"#333\"");
  svg.Line(kx + 130, 47, kx + 154, 47, std::string("stroke=\"") + kAirColour + "\" stroke-width=\"3\"");
  svg.Text(kx + 160, 52, "in the air", "font-size=\"12\" fill=\"#333\"");
  svg.Circle(kx + 245, 47, 7, std::string("fill=\"") + kCalloutColour + "\"");
  svg.Text(kx + 257, 52, "callout, where it was queued", "font-size=\"12\" fill=\"#333\"");
  svg.Circle(kx + 455, 47, 5, "fill=\"#fff\" stroke=\"#222\" stroke-width=\"2\"");
  svg.Text(kx + 465, 52, "start", "font-size=\"12\" fill=\"#333\"");
  svg.Rect(kx + 505, 42.5, 9, 9, "fill=\"#222\"");
  svg.Text(kx + 520, 52, "end", "font-size=\"12\" fill=\"#333\"");

  GeoBox whole = ReportBox(track);
  // A close-up of the runways when the flight has a ground part much
  // smaller than the whole.
  GeoBox ground;
  for (const TrackPoint& p : track) {
    if (p.onGround) ground.Add(p.latitude, p.longitude);
  }
  // The runways the aircraft used are shown whole, so their designators show.
  if (input.runways && !ground.Empty()) {
    for (const auto& record : *input.runways) {
      double heading = record->trueHeading * DEGREES_TO_RADIANS;
      bool used = std::any_of(track.begin(), track.end(), [&](const TrackPoint& p) {
        if (!p.onGround) return false;
        LocalOffset v = LocalVector(record->endLatitude, record->endLongitude, p.latitude, p.longitude, false);
        double along = v.east * std::sin(heading) + v.north * std::cos(heading);
        double right = v.east * std::cos(heading) - v.north * std::sin(heading);
        return along >= 0 && along <= record->length && std::fabs(right) <= record->width / 2;
      });
      if (used) {
        ground.Add(record->endLatitude, record->endLongitude);
        ground.Add(record->oppositeLatitude, record->oppositeLongitude);
      }
    }
  }
  ground.Expand(0.06, 1500);
  bool closeUp =
      !ground.Empty() && ground.WidthFeet() < 0.5 * whole.WidthFeet() && ground.HeightFeet() < 0.5 * whole.HeightFeet();
  if (closeUp) {
    DrawMap(svg, {"Whole flight", whole, 10, kMapTop, 585, kMapHeight}, input, 1);
    DrawMap(svg, {"On the ground, close up", ground, 605, kMapTop, 585, kMapHeight}, input, 2);
  } else {
    DrawMap(svg, {"Whole flight", whole, 10, kMapTop, kWidth - 20, kMapHeight}, input, 1);
  }
  DrawProfile(svg, input);

  svg.Text(20, kListTop, "Callouts", "font-size=\"14\" font-weight=\"bold\" fill=\"#222\"");
  for (size_t i = 0; i < input.callouts.size(); ++i) {
    const Callout& callout = input.callouts[i];
    double x = i < listRows ? 20 : 610;
    double y = kListTop + 20 + (i < listRows ? i : i - listRows) * kListRow;
    svg.Text(x, y, std::to_string(callout.number),
             std::string("font-size=\"12\" font-weight=\"bold\" fill=\"") + kCalloutColour + "\"");
    svg.Text(x + 28, y, TimeText(callout.t), "font-size=\"12\" fill=\"#555\"");
    svg.Text(x + 70, y, Shortened(callout.phrase, 80), "class=\"callout-text\" font-size=\"12\" fill=\"#222\"");
  }
  return svg.Finish();
}

}  // namespace orvante::report
