// The flight file reader of the report.
#include "flight_track.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orvante::report {

namespace {

std::string Trimmed(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace

std::optional<std::string> ReadFlightTrack(std::string_view text, std::vector<TrackPoint>& track) {
  track.clear();
  enum Column { kT, kLat, kLon, kAlt, kGs, kIas, kOnGround, kCount };
  const char* names[kCount] = {"t", "lat", "lon", "alt_ft", "gs_kt", "ias_kt", "on_ground"};
  int index[kCount];
  std::fill(std::begin(index), std::end(index), -1);
  bool haveHeader = false;
  unsigned lineNumber = 0;
  size_t position = 0;
  while (position < text.size()) {
    size_t end = text.find('\n', position);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(position, end - position);
    position = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string trimmed = Trimmed(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;

    // Fields with the column (1-based) each begins at.
    std::vector<std::pair<std::string, size_t>> fields;
    size_t start = 0;
    while (true) {
      size_t comma = line.find(',', start);
      std::string_view field = line.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
      fields.push_back({Trimmed(field), start + 1});
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    auto at = [&](size_t column, const std::string& what) {
      return "flight line " + std::to_string(lineNumber) + ", column " + std::to_string(column) + ": " + what;
    };

    if (!haveHeader) {
      for (size_t i = 0; i < fields.size(); ++i) {
        for (int c = 0; c < kCount; ++c) {
          if (fields[i].first == names[c]) {
            if (index[c] >= 0) return at(fields[i].second, "column \"" + fields[i].first + "\" named twice");
            index[c] = static_cast<int>(i);
          }
        }
      }
      for (int c : {kT, kLat, kLon, kAlt, kOnGround}) {
        if (index[c] < 0) return at(1, std::string("the header names no column \"") + names[c] + "\"");
      }
      if (index[kGs] < 0 && index[kIas] < 0) return at(1, "the header names no column \"gs_kt\"");
      haveHeader = true;
      continue;
    }

    double values[kCount] = {};
    for (int c = 0; c < kCount; ++c) {
      if (index[c] < 0) continue;
      if (static_cast<size_t>(index[c]) >= fields.size()) {
        return at(line.size() + 1, std::string("the row ends before column \"") + names[c] + "\"");
      }
      const auto& [field, column] = fields[index[c]];
      char* stop = nullptr;
      double value = std::strtod(field.c_str(), &stop);
      if (field.empty() || stop != field.c_str() + field.size() || !std::isfinite(value) ||
          field.find_first_of("xXnN") != std::string::npos) {
        return at(column, std::string("\"") + names[c] + "\" is not a number");
      }
      values[c] = value;
    }
    if (std::fabs(values[kLat]) > 90) return at(fields[index[kLat]].second, "latitude out of range");
    if (std::fabs(values[kLon]) > 180) return at(fields[index[kLon]].second, "longitude out of range");
    if (!track.empty() && values[kT] <= track.back().t) return at(fields[index[kT]].second, "\"t\" does not increase");
    TrackPoint point;
    point.t = values[kT];
    point.latitude = values[kLat];
    point.longitude = values[kLon];
    point.altitudeFt = values[kAlt];
    point.groundSpeedKt = index[kGs] >= 0 ? values[kGs] : values[kIas];
    point.onGround = values[kOnGround] != 0;
    track.push_back(point);
  }
  if (!haveHeader) return "flight line " + std::to_string(lineNumber) + ", column 1: no header row";
  if (track.empty()) return "flight line " + std::to_string(lineNumber) + ", column 1: the flight has no rows";
  return std::nullopt;
}

TrackPoint TrackPointAt(const std::vector<TrackPoint>& track, double t) {
  if (track.empty()) return {};
  if (t <= track.front().t) return track.front();
  if (t >= track.back().t) return track.back();
  auto after = std::lower_bound(track.begin(), track.end(), t, [](const TrackPoint& p, double time) { return p.t < time; });
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
