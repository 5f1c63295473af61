// The flight report drawn for a synthetic flight at the test airport and a
// transcript made up for it: runways, track and callouts where they belong.
#include <gtest/gtest.h>

#include <cairo.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "flight_checks.h"
#include "flight_file.h"
#include "flight_report.h"
#include "map_projection.h"
#include "report_command.h"

namespace {

using namespace flight_checks;
using namespace orvante::report;

TEST(MapProjection, FitsTheBoxNorthUpWithOneScale) {
  GeoBox box;
  box.Add(50.0, 8.0);
  box.Add(50.01, 8.04);
  MapProjection projection(box, 100, 50, 400, 400);
  PixelPoint southWest = projection.ToPixel(50.0, 8.0);
  PixelPoint northEast = projection.ToPixel(50.01, 8.04);
  EXPECT_LT(northEast.y, southWest.y) << "north is up";
  EXPECT_GT(northEast.x, southWest.x);
  // The box is wider than high: it spans the width, centred vertically.
  EXPECT_NEAR(northEast.x - southWest.x, 400, 1e-6);
  EXPECT_NEAR((northEast.y + southWest.y) / 2, 250, 1e-6);
  // One scale both ways: feet east and north take the same pixels.
  double feetEast = box.WidthFeet(), feetNorth = box.HeightFeet();
  EXPECT_NEAR((northEast.x - southWest.x) / feetEast, (southWest.y - northEast.y) / feetNorth, 1e-9);
  EXPECT_NEAR(projection.PixelsPerFoot(), 400 / feetEast, 1e-12);
}

// A tag-balance check: every element opened is closed in order, and no
// markup character stands loose in text or attributes.
bool WellFormed(const std::string& svg, std::string& problem) {
  std::vector<std::string> open;
  size_t at = 0;
  while ((at = svg.find('<', at)) != std::string::npos) {
    size_t end = svg.find('>', at);
    if (end == std::string::npos) {
      problem = "unclosed tag";
      return false;
    }
    std::string tag = svg.substr(at + 1, end - at - 1);
    at = end + 1;
    if (tag.find('<') != std::string::npos) {
      problem = "'<' inside a tag";
      return false;
    }
    if (tag[0] == '?') continue;
    bool closing = tag[0] == '/';
    bool empty = tag.back() == '/';
    std::string name = tag.substr(closing ? 1 : 0, tag.find_first_of(" /", closing ? 1 : 0) - (closing ? 1 : 0));
    if (closing) {
      if (open.empty() || open.back() != name) {
        problem = "unexpected </" + name + ">";
        return false;
      }
      open.pop_back();
    } else if (!empty) {
      open.push_back(name);
    }
  }
  if (!open.empty()) problem = "<" + open.back() + "> not closed";
  return open.empty();
}

size_t Count(const std::string& text, const std::string& what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

struct Marker {
  int number;
  double x, y;
};

TEST(FlightReport, RunwaysTrackAndCalloutsWhereTheyHappened) {
  TestAirport airport;
  Flight flight = airport.Fly(
      "airport TEST\nstart 09 along 800 right 500 heading 0\nlineup 09\nhold 65\ntakeoff\nclimb to 2500 speed 200\n");
  TempFolder folder;
  ASSERT_TRUE(orvante::flightplan::WriteFlightFile(folder.Path("flight.csv"), flight));
  // Made-up callouts: lined up, the holding reminder, one in the air.
  double linedUp = flight.samples[PhaseOnLine(flight, 4).firstSample].t;
  std::ostringstream transcript;
  transcript << "{\"t\":0.000,\"type\":\"log\",\"line\":\"start\"}\n"
             << "{\"t\":" << linedUp << ",\"type\":\"cue\",\"cue\":\"onrwy09\",\"cut\":false}\n"
             << "{\"t\":" << linedUp + 61 << ",\"type\":\"cue\",\"cue\":\"onrwy09\",\"cut\":false}\n"
             << "{\"t\":" << linedUp + 61 << ",\"type\":\"cue\",\"cue\":\"onrwy09\",\"cut\":false}\n"
             << "{\"t\":" << flight.samples.back().t - 20 << ",\"type\":\"cue\",\"cue\":\"altimeter\",\"cut\":false}\n";
  folder.Write("transcript.jsonl", transcript.str());
  folder.Write("voice.manifest", "onrwy09 say on runway zero niner\naltimeter say altimeter setting\n");

  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  int status =
      RunReportCommand({folder.Path("transcript.jsonl"), folder.Path("flight.csv"), "--out", folder.Path("report.svg"),
                        "--sim-dir", airport.Dir(), "--phrases", folder.Path("voice.manifest")},
                       "/nowhere", "", out, err);
  std::fclose(out);
  std::fclose(err);
  ASSERT_EQ(status, 0);
  std::string svg = folder.Read("report.svg");
  std::string problem;
  EXPECT_TRUE(WellFormed(svg, problem)) << problem;

  // Both runways of TEST, four ends, all named; the other airport is far away.
  size_t outlines = Count(svg, "class=\"runway\"");
  EXPECT_GE(outlines, 4u);
  EXPECT_EQ(outlines % 4, 0u) << "four outlines on each map";
  for (const char* name : {">09<", ">27<", ">09L<", ">27R<"}) EXPECT_GE(Count(svg, name), 2u) << name;
  EXPECT_NE(svg.find("Orvante flight report: TEST (flight.csv)"), std::string::npos);
  EXPECT_GE(Count(svg, "class=\"track\""), 2u);
  EXPECT_EQ(Count(svg, "class=\"callout-time\""), 3u);
  EXPECT_NE(svg.find("on runway zero niner on runway zero niner"), std::string::npos);
  EXPECT_NE(svg.find("altimeter setting"), std::string::npos);

  // Each marker on the whole-flight map sits where the aircraft was when
  // its callout was queued.
  size_t mapAt = svg.find("class=\"map\"");
  ASSERT_NE(mapAt, std::string::npos);
  double left, top, width, height;
  GeoBox box;
  ASSERT_EQ(
      std::sscanf(svg.c_str() + svg.find("data-rect=", mapAt), "data-rect=\"%lf %lf %lf %lf\">\n<desc>%lf %lf %lf %lf",
                  &left, &top, &width, &height, &box.south, &box.west, &box.north, &box.east),
      8);
  MapProjection projection(box, left, top, width, height);
  std::vector<Marker> markers;
  for (size_t at = svg.find("<circle "); at != std::string::npos; at = svg.find("<circle ", at + 1)) {
    Marker marker;
    if (std::sscanf(svg.c_str() + at, "<circle cx=\"%lf\" cy=\"%lf\" r=\"7\" class=\"callout\" data-number=\"%d\"",
                    &marker.x, &marker.y, &marker.number) == 3)
      markers.push_back(marker);
  }
  ASSERT_GE(markers.size(), 3u);
  const double times[] = {linedUp, linedUp + 61, flight.samples.back().t - 20};
  for (int k = 0; k < 3; ++k) {
    const Marker& marker = markers[k];  // the whole-flight map comes first
    ASSERT_EQ(marker.number, k + 1);
    size_t after = 0;
    while (after + 1 < flight.samples.size() && flight.samples[after].t < times[k]) ++after;
    const FlightSample& a = flight.samples[after > 0 ? after - 1 : 0];
    const FlightSample& b = flight.samples[after];
    double f = b.t > a.t ? (times[k] - a.t) / (b.t - a.t) : 0;
    PixelPoint expected =
        projection.ToPixel(a.latitude + (b.latitude - a.latitude) * f, a.longitude + (b.longitude - a.longitude) * f);
    // Within a pixel: the file keeps 8 decimals of a degree, the SVG two of a pixel.
    EXPECT_NEAR(marker.x, expected.x, 1) << "callout " << marker.number;
    EXPECT_NEAR(marker.y, expected.y, 1) << "callout " << marker.number;
  }
}

TEST(ReportCommand, RefusesDamagedInputsAndWritesNothing) {
  TestAirport airport;
  TempFolder folder;
  folder.Write("flight.csv", "t,lat,lon,alt_ft,gs_kt,on_ground\n0,50,8,300,0,1\n1,50,8.0001,300,10,1\n");
  folder.Write("bad.jsonl", "{\"t\":1,\"type\":\"cue\",\"cue\":\"a\"}\n{\"t\":2,\n");
  char* text = nullptr;
  size_t size = 0;
  std::FILE* err = open_memstream(&text, &size);
  std::FILE* out = std::tmpfile();
  int status = RunReportCommand(
      {folder.Path("bad.jsonl"), folder.Path("flight.csv"), "--out", folder.Path("r.svg"), "--sim-dir", airport.Dir()},
      "", "", out, err);
  std::fclose(err);
  std::fclose(out);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(std::string(text, size),
            "orvante-report: " + folder.Path("bad.jsonl") + ": transcript line 2, column 8: expected a quoted name\n");
  std::free(text);
  EXPECT_FALSE(std::filesystem::exists(folder.Path("r.svg")));
  std::FILE* quiet = std::tmpfile();
  EXPECT_EQ(RunReportCommand({folder.Path("flight.csv")}, "", "", quiet, quiet), 2);
  std::fclose(quiet);
}

// A PNG read back with cairo: its size and its pixels as 0xRRGGBB.
struct PngPixels {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;
  uint32_t At(double x, double y) const {
    int column = static_cast<int>(x), row = static_cast<int>(y);
    if (column < 0 || row < 0 || column >= width || row >= height) return 0xFFFFFFFFu;
    return rgb[static_cast<size_t>(row) * width + column];
  }
};

PngPixels ReadPng(const std::string& path) {
  PngPixels png;
  cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
    cairo_surface_flush(surface);
    png.width = cairo_image_surface_get_width(surface);
    png.height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    for (int row = 0; row < png.height; ++row)
      for (int column = 0; column < png.width; ++column)
        png.rgb.push_back(reinterpret_cast<const uint32_t*>(data + row * stride)[column] & 0xFFFFFFu);
  }
  cairo_surface_destroy(surface);
  return png;
}

// Whether two colours differ by at most `tolerance` in every channel.
bool Near(uint32_t a, uint32_t b, int tolerance = 3) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
      return false;
  return true;
}

std::string Hex(uint32_t colour) {
  char text[16];
  std::snprintf(text, sizeof text, "#%06x", colour);
  return text;
}

// The points of the first element of an SVG that carries `cls`.
std::vector<PixelPoint> PointsOf(const std::string& svg, const std::string& cls, size_t from = 0) {
  std::vector<PixelPoint> points;
  size_t at = svg.find("class=\"" + cls + "\" points=\"", from);
  if (at == std::string::npos) return points;
  at = svg.find("points=\"", at) + 8;
  std::istringstream list(svg.substr(at, svg.find('"', at) - at));
  for (std::string pair; list >> pair;) {
    PixelPoint p;
    if (std::sscanf(pair.c_str(), "%lf,%lf", &p.x, &p.y) == 2) points.push_back(p);
  }
  return points;
}

TEST(ReportCommand, DrawsThePngInProcessWithTheRunwaysAndTheTrackWhereTheSvgHasThem) {
  TestAirport airport;
  TempFolder folder;
  // Down the middle of runway 09's western part, on the ground; the callout's
  // marker and label lie between the points of the track looked at below and
  // the middle of the runway.
  folder.Write("flight.csv", "t,lat,lon,alt_ft,gs_kt,on_ground\n0,50,8,300,0,1\n60,50,8.01,300,20,1\n");
  folder.Write("t.jsonl", "{\"t\":40,\"type\":\"cue\",\"cue\":\"onrwy09\",\"cut\":false}\n");
  std::FILE* quiet = std::tmpfile();
  // No outside program may be used: a PATH with nothing on it changes nothing.
  const char* path = std::getenv("PATH");
  std::string savedPath = path ? path : "";
  setenv("PATH", "", 1);
  int status = RunReportCommand({folder.Path("t.jsonl"), folder.Path("flight.csv"), "--out", folder.Path("r.svg"),
                                 "--png", folder.Path("r.png"), "--sim-dir", airport.Dir()},
                                "", "", quiet, quiet);
  setenv("PATH", savedPath.c_str(), 1);
  std::fclose(quiet);
  ASSERT_EQ(status, 0);
  ASSERT_EQ(folder.Read("r.png").substr(0, 8), "\x89PNG\r\n\x1a\n");

  std::string svg = folder.Read("r.svg");
  PngPixels png = ReadPng(folder.Path("r.png"));
  double svgWidth = 0, svgHeight = 0;
  size_t open = svg.find("<svg");
  ASSERT_NE(open, std::string::npos);
  ASSERT_EQ(std::sscanf(svg.c_str() + svg.find("width=\"", open), "width=\"%lf", &svgWidth), 1);
  ASSERT_EQ(std::sscanf(svg.c_str() + svg.find("height=\"", open), "height=\"%lf", &svgHeight), 1);
  EXPECT_EQ(png.width, static_cast<int>(std::ceil(svgWidth)));
  EXPECT_EQ(png.height, static_cast<int>(std::ceil(svgHeight)));
  ASSERT_EQ(png.rgb.size(), static_cast<size_t>(png.width) * png.height);

  // A runway: its grey fill halfway between its centre line and a long side.
  std::vector<PixelPoint> runway = PointsOf(svg, "runway");
  ASSERT_EQ(runway.size(), 4u) << "a runway outline";
  PixelPoint centre{0, 0};
  for (const PixelPoint& p : runway) centre = {centre.x + p.x / 4, centre.y + p.y / 4};
  size_t longSide = 0;
  double longest = 0;
  for (size_t i = 0; i < 4; ++i) {
    double length = std::hypot(runway[(i + 1) % 4].x - runway[i].x, runway[(i + 1) % 4].y - runway[i].y);
    if (length > longest) longest = length, longSide = i;
  }
  PixelPoint side{(runway[longSide].x + runway[(longSide + 1) % 4].x) / 2,
                  (runway[longSide].y + runway[(longSide + 1) % 4].y) / 2};
  ASSERT_GT(std::hypot(side.x - centre.x, side.y - centre.y), 4) << "the runway is wide enough to look inside";
  PixelPoint inside{(centre.x + side.x) / 2, (centre.y + side.y) / 2};
  EXPECT_TRUE(Near(png.At(inside.x, inside.y), 0x5a5a5a))
      << "runway at " << inside.x << "," << inside.y << ": " << Hex(png.At(inside.x, inside.y));

  // The track: brown on the ground, drawn over the runway it follows, a
  // quarter and a half of the way along its first map.
  std::vector<PixelPoint> track = PointsOf(svg, "track");
  ASSERT_GE(track.size(), 2u);
  for (double f : {0.25, 0.5}) {
    double along = f * (track.size() - 1);
    size_t i = static_cast<size_t>(along);
    double u = along - i;
    PixelPoint p{track[i].x + (track[i + 1].x - track[i].x) * u, track[i].y + (track[i + 1].y - track[i].y) * u};
    EXPECT_TRUE(Near(png.At(p.x, p.y), 0xa0522d)) << "track at " << p.x << "," << p.y << ": " << Hex(png.At(p.x, p.y));
  }

  // The page and the map's panel in their own colours, so a picture of one
  // colour cannot pass.
  EXPECT_TRUE(Near(png.At(2, 2), 0xfafafa)) << Hex(png.At(2, 2));
  EXPECT_TRUE(Near(png.At(inside.x, inside.y + 60), 0xf3f1ea) || Near(png.At(inside.x, inside.y - 60), 0xf3f1ea));
}

TEST(ReportCommand, APngOfADamagedSvgIsRefusedWithItsReasonAndNotWritten) {
  TempFolder folder;
  folder.Write("cut.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"50\"><rect x=\"1\"");
  common::Result<> rendered = RenderPng(folder.Path("cut.svg"), folder.Path("cut.png"));
  ASSERT_FALSE(rendered);
  EXPECT_NE(rendered.error().find("cut.svg"), std::string::npos) << rendered.error();
  EXPECT_FALSE(std::filesystem::exists(folder.Path("cut.png")));

  // A size beyond any report's is refused before memory is taken for it.
  folder.Write("huge.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"90000\" height=\"90000\"/>");
  rendered = RenderPng(folder.Path("huge.svg"), folder.Path("huge.png"));
  ASSERT_FALSE(rendered);
  EXPECT_NE(rendered.error().find("size"), std::string::npos) << rendered.error();
  EXPECT_FALSE(std::filesystem::exists(folder.Path("huge.png")));

  // A missing SVG says so.
  rendered = RenderPng(folder.Path("none.svg"), folder.Path("none.png"));
  ASSERT_FALSE(rendered);
  EXPECT_NE(rendered.error().find("none.svg"), std::string::npos) << rendered.error();

  // A small one is drawn at its own size, transparent parts on white.
  folder.Write("small.svg",
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"20\">"
               "<rect x=\"20\" y=\"0\" width=\"20\" height=\"20\" fill=\"#1f6fd1\"/></svg>");
  ASSERT_TRUE(RenderPng(folder.Path("small.svg"), folder.Path("small.png")));
  PngPixels small = ReadPng(folder.Path("small.png"));
  EXPECT_EQ(small.width, 40);
  EXPECT_EQ(small.height, 20);
  EXPECT_EQ(small.At(5, 10), 0xffffffu);
  EXPECT_EQ(small.At(30, 10), 0x1f6fd1u);
}

}  // namespace
