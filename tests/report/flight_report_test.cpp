// The flight report drawn for a synthetic flight at the test airport and a
// transcript made up for it: runways, track and callouts where they belong.
#include <gtest/gtest.h>

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
  ASSERT_FALSE(orvante::flightplan::WriteFlightFile(folder.Path("flight.csv"), flight));
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
  int status = RunReportCommand({folder.Path("transcript.jsonl"), folder.Path("flight.csv"), "--out",
                                 folder.Path("report.svg"), "--sim-dir", airport.Dir(), "--phrases",
                                 folder.Path("voice.manifest")},
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
  ASSERT_EQ(std::sscanf(svg.c_str() + svg.find("data-rect=", mapAt), "data-rect=\"%lf %lf %lf %lf\">\n<desc>%lf %lf %lf %lf",
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
    PixelPoint expected = projection.ToPixel(a.latitude + (b.latitude - a.latitude) * f,
                                             a.longitude + (b.longitude - a.longitude) * f);
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
  int status = RunReportCommand({folder.Path("bad.jsonl"), folder.Path("flight.csv"), "--out", folder.Path("r.svg"),
                                 "--sim-dir", airport.Dir()},
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

TEST(ReportCommand, RendersAPngWhereARendererIsInstalled) {
  TestAirport airport;
  TempFolder folder;
  folder.Write("flight.csv", "t,lat,lon,alt_ft,gs_kt,on_ground\n0,50,8,300,0,1\n60,50,8.01,300,20,1\n");
  folder.Write("t.jsonl", "{\"t\":30,\"type\":\"cue\",\"cue\":\"onrwy09\",\"cut\":false}\n");
  std::FILE* quiet = std::tmpfile();
  int status = RunReportCommand({folder.Path("t.jsonl"), folder.Path("flight.csv"), "--out", folder.Path("r.svg"),
                                 "--png", folder.Path("r.png"), "--sim-dir", airport.Dir()},
                                "", "", quiet, quiet);
  std::fclose(quiet);
  bool renderer = std::system("command -v rsvg-convert >/dev/null 2>&1 || command -v convert >/dev/null 2>&1") == 0;
  if (!renderer) {
    EXPECT_EQ(status, 1);
    GTEST_SKIP() << "neither rsvg-convert nor ImageMagick's convert is installed";
  }
  ASSERT_EQ(status, 0);
  EXPECT_EQ(folder.Read("r.png").substr(0, 8), "\x89PNG\r\n\x1a\n");
}

}  // namespace
