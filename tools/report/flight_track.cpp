// The flight file reader of the report: the stand-in's own CSV reading
// (sim/csv_fields), with the report's columns and messages.
#include "flight_track.h"

#include <algorithm>
#include <cmath>

#include "csv_fields.h"

namespace orvante::report {

common::Result<> ReadFlightTrack(std::string_view text, std::vector<TrackPoint>& track) {
  track.clear();
  enum Column { kT, kLat, kLon, kAlt, kGs, kIas, kOnGround, kCount };
  const char* names[kCount] = {"t", "lat", "lon", "alt_ft", "gs_kt", "ias_kt", "on_ground"};
  int index[kCount];
  std::fill(std::begin(index), std::end(index), -1);
  int lineCount = 0;
  const std::vector<sim::CsvLine> lines = sim::SplitCsvLines(text, &lineCount);
  if (lines.empty()) return common::Fail("flight line " + std::to_string(lineCount) + ", column 1: no header row");

  // Messages point at where a field starts, blanks before its text included.
  auto at = [](const sim::CsvLine& line, int column, const std::string& what) {
    return common::Fail("flight line " + std::to_string(line.number) + ", column " + std::to_string(column) + ": " +
                        what);
  };
  const sim::CsvLine& header = lines.front();
  for (size_t i = 0; i < header.fields.size(); ++i) {
    const sim::CsvField& field = header.fields[i];
    for (int c = 0; c < kCount; ++c) {
      if (field.text != names[c]) continue;
      if (index[c] >= 0) return at(header, field.start, "column \"" + field.text + "\" named twice");
      index[c] = static_cast<int>(i);
    }
  }
  for (int c : {kT, kLat, kLon, kAlt, kOnGround}) {
    if (index[c] < 0) return at(header, 1, std::string("the header names no column \"") + names[c] + "\"");
  }
  if (index[kGs] < 0 && index[kIas] < 0) return at(header, 1, "the header names no column \"gs_kt\"");

  for (size_t l = 1; l < lines.size(); ++l) {
    const sim::CsvLine& line = lines[l];
    double values[kCount] = {};
    for (int c = 0; c < kCount; ++c) {
      if (index[c] < 0) continue;
      if (static_cast<size_t>(index[c]) >= line.fields.size()) {
        return at(line, line.end, std::string("the row ends before column \"") + names[c] + "\"");
      }
      const sim::CsvField& field = line.fields[index[c]];
      // Decimal numbers only: no hexadecimal, no NaN or infinities.
      std::optional<double> value = sim::ParseNumber(field.text);
      if (!value || field.text.find_first_of("xXnN") != std::string::npos) {
        return at(line, field.start, std::string("\"") + names[c] + "\" is not a number");
      }
      values[c] = *value;
    }
    if (std::fabs(values[kLat]) > 90) return at(line, line.fields[index[kLat]].start, "latitude out of range");
    if (std::fabs(values[kLon]) > 180) return at(line, line.fields[index[kLon]].start, "longitude out of range");
    if (!track.empty() && values[kT] <= track.back().t)
      return at(line, line.fields[index[kT]].start, "\"t\" does not increase");
    TrackPoint point;
    point.t = values[kT];
    point.latitude = values[kLat];
    point.longitude = values[kLon];
    point.altitudeFt = values[kAlt];
    point.groundSpeedKt = index[kGs] >= 0 ? values[kGs] : values[kIas];
    point.onGround = values[kOnGround] != 0;
    track.push_back(point);
  }
  if (track.empty())
    return common::Fail("flight line " + std::to_string(lineCount) + ", column 1: the flight has no rows");
  return {};
}
TrackPoint TrackPointAt(const std::vector<TrackPoint>& track, double t) {
  if (track.empty()) return {};
  if (t <= track.front().t) return track.front();
  if (t >= track.back().t) return track.back();
  auto after =
      std::lower_bound(track.begin(), track.end(), t, [](const TrackPoint& p, double time) { return p.t < time; });
  const TrackPoint& b = *after;
  const TrackPoint& a = *(after - 1);
  double f = (t - a.t) / (b.t - a.t);
  TrackPoint p;
  p.t = t;
  // std::lerp: the difference of two accepted values of opposite sign may
  // overflow, and the point must stay between the rows.
  p.latitude = std::lerp(a.latitude, b.latitude, f);
  p.longitude = std::lerp(a.longitude, b.longitude, f);
  p.altitudeFt = std::lerp(a.altitudeFt, b.altitudeFt, f);
  p.groundSpeedKt = std::lerp(a.groundSpeedKt, b.groundSpeedKt, f);
  p.onGround = a.onGround;
  return p;
}

}  // namespace orvante::report
