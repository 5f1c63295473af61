// Reading a flight file and flying it.
#include "flight_file.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "csv_fields.h"
#include "platform/files.h"

namespace sim {
namespace {

enum Column {
  kT,
  kLat,
  kLon,
  kAlt,
  kIndicatedAlt,
  kHeading,
  kIas,
  kGs,
  kVs,
  kOnGround,
  kGear,
  kFlaps,
  kSlp,
  kKohlsman,
  kRadius,
  kColumnCount
};

struct ColumnInfo {
  const char* name;
  bool required;
};

constexpr ColumnInfo kColumns[kColumnCount] = {
    {"t", true},
    {"lat", true},
    {"lon", true},
    {"alt_ft", true},
    {"indicated_alt_ft", false},
    {"heading_true", true},
    {"ias_kt", false},
    {"gs_kt", true},
    {"vs_fpm", false},
    {"on_ground", true},
    {"gear", false},
    {"flaps_index", false},
    {"slp_inhg", false},
    {"kohlsman_inhg", false},
    {"radius_m", false},
};

common::Failure Fail(const std::string& name, int line, int column, const std::string& message) {
  return common::Fail(PositionMessage(name, line, column, message));
}

double Wrap360(double degrees) {
  double wrapped = std::fmod(degrees, 360.0);
  return wrapped < 0 ? wrapped + 360.0 : wrapped;
}

// Checks one value against its column's range; empty when it is fine.
std::string RangeProblem(int column, double value) {
  switch (column) {
    case kT: return value < 0 ? "t must not be negative" : "";
    case kLat: return value < -90 || value > 90 ? "lat must lie between -90 and 90" : "";
    case kLon: return value < -180 || value > 180 ? "lon must lie between -180 and 180" : "";
    case kOnGround: return value != 0 && value != 1 ? "on_ground must be 0 or 1" : "";
    case kGear: return value < 0 || value > 1 ? "gear must lie between 0 (up) and 1 (down)" : "";
    case kFlaps:
      return value < 0 || value > 100 || value != std::floor(value) ? "flaps_index must be a whole detent from 0" : "";
    case kIas:
    case kGs:
    case kRadius: return value < 0 ? std::string(kColumns[column].name) + " must not be negative" : "";
    case kSlp:
    case kKohlsman:
      return value <= 0 || value > 100 ? std::string(kColumns[column].name) + " must be a pressure in inHg" : "";
    default: return "";
  }
}

}  // namespace

common::Result<FlightFile> ParseFlightFile(std::string_view text, const std::string& name) {
  std::vector<CsvLine> lines = SplitCsvLines(text);
  if (lines.empty()) return Fail(name, 1, 1, "no header row: the file has no columns");

  // The header: which column of the file holds which value.
  const CsvLine& header = lines[0];
  std::vector<int> columnOf(header.fields.size(), -1);
  std::map<int, int> present;  // Column -> index in the file
  for (size_t i = 0; i < header.fields.size(); ++i) {
    const CsvField& field = header.fields[i];
    int column = -1;
    for (int c = 0; c < kColumnCount; ++c)
      if (field.text == kColumns[c].name) column = c;
    if (column < 0) return Fail(name, header.number, field.column, "unknown column \"" + field.text + "\"");
    if (present.count(column))
      return Fail(name, header.number, field.column, "column \"" + field.text + "\" appears twice");
    present[column] = static_cast<int>(i);
    columnOf[i] = column;
  }
  for (int c = 0; c < kColumnCount; ++c)
    if (kColumns[c].required && !present.count(c))
      return Fail(name, header.number, 1, std::string("the required column \"") + kColumns[c].name + "\" is missing");

  FlightFile flight;
  for (size_t l = 1; l < lines.size(); ++l) {
    const CsvLine& line = lines[l];
    if (line.fields.size() != header.fields.size()) {
      int column = line.fields.size() > header.fields.size() ? line.fields[header.fields.size()].column
                                                             : line.fields.back().column;
      return Fail(name, line.number, column,
                  "expected " + std::to_string(header.fields.size()) + " fields as in the header, found " +
                      std::to_string(line.fields.size()));
    }
    std::optional<double> value[kColumnCount];
    for (size_t i = 0; i < line.fields.size(); ++i) {
      const CsvField& field = line.fields[i];
      std::optional<double> number = ParseNumber(field.text);
      if (!number)
        return Fail(name, line.number, field.column,
                    std::string(kColumns[columnOf[i]].name) + ": \"" + field.text + "\" is not a number");
      std::string problem = RangeProblem(columnOf[i], *number);
      if (!problem.empty()) return Fail(name, line.number, field.column, problem);
      value[columnOf[i]] = number;
    }
    if (!flight.rows.empty() && *value[kT] <= flight.rows.back().t)
      return Fail(name, line.number, line.fields[present[kT]].column, "t must increase from row to row");

    FlightRow row;
    row.t = *value[kT];
    AircraftValues& a = row.values;
    a.latitudeDeg = *value[kLat];
    a.longitudeDeg = *value[kLon];
    a.altitudeFt = *value[kAlt];
    a.indicatedAltitudeFt = value[kIndicatedAlt].value_or(a.altitudeFt);
    a.headingTrueDeg = Wrap360(*value[kHeading]);
    a.groundSpeedKt = *value[kGs];
    a.indicatedAirspeedKt = value[kIas].value_or(a.groundSpeedKt);
    a.verticalSpeedFpm = value[kVs].value_or(0.0);
    a.onGround = *value[kOnGround] == 1;
    a.gearHandle = value[kGear].value_or(1.0);
    a.flapsHandleIndex = value[kFlaps].value_or(0.0);
    a.seaLevelPressureInHg = value[kSlp].value_or(29.92);
    a.kohlsmanInHg = value[kKohlsman].value_or(29.92);
    a.visualModelRadiusM = value[kRadius].value_or(0.0);
    flight.rows.push_back(row);
  }
  if (flight.rows.empty()) return Fail(name, header.number, 1, "the flight has a header but no rows");
  return flight;
}

common::Result<FlightFile> ReadFlightFile(const std::string& path) {
  std::string text;
  if (!platform::ReadWholeFile(path, text)) return Fail(path, 1, 1, "cannot read the flight file");
  return ParseFlightFile(text, path);
}

AircraftValues FlightValuesAt(const FlightFile& flight, double t) {
  AircraftValues values;
  if (flight.rows.empty()) return values;
  if (t <= flight.rows.front().t) {
    values = flight.rows.front().values;
  } else if (t >= flight.rows.back().t) {
    values = flight.rows.back().values;
  } else {
    auto after = std::upper_bound(flight.rows.begin(), flight.rows.end(), t,
                                  [](double time, const FlightRow& row) { return time < row.t; });
    size_t next = static_cast<size_t>(after - flight.rows.begin());
    const FlightRow& a = flight.rows[next - 1];
    const FlightRow& b = flight.rows[next];
    double f = (t - a.t) / (b.t - a.t);
    // std::lerp, not x + (y - x) * f: the difference of two values of
    // opposite sign may overflow (alt_ft 1e308 then -1e308 gave infinity);
    // lerp stays between the two.
    auto mix = [f](double x, double y) { return std::lerp(x, y, f); };
    values = a.values;  // on_ground, gear and flaps keep the earlier row's value
    values.latitudeDeg = mix(a.values.latitudeDeg, b.values.latitudeDeg);
    values.longitudeDeg = mix(a.values.longitudeDeg, b.values.longitudeDeg);
    values.altitudeFt = mix(a.values.altitudeFt, b.values.altitudeFt);
    values.indicatedAltitudeFt = mix(a.values.indicatedAltitudeFt, b.values.indicatedAltitudeFt);
    double turn = std::remainder(b.values.headingTrueDeg - a.values.headingTrueDeg, 360.0);  // -180..180
    values.headingTrueDeg = Wrap360(a.values.headingTrueDeg + turn * f);
    values.indicatedAirspeedKt = mix(a.values.indicatedAirspeedKt, b.values.indicatedAirspeedKt);
    values.groundSpeedKt = mix(a.values.groundSpeedKt, b.values.groundSpeedKt);
    values.verticalSpeedFpm = mix(a.values.verticalSpeedFpm, b.values.verticalSpeedFpm);
    values.seaLevelPressureInHg = mix(a.values.seaLevelPressureInHg, b.values.seaLevelPressureInHg);
    values.kohlsmanInHg = mix(a.values.kohlsmanInHg, b.values.kohlsmanInHg);
    values.visualModelRadiusM = mix(a.values.visualModelRadiusM, b.values.visualModelRadiusM);
  }
  values.altitudeAboveGroundFt = values.onGround ? 0.0 : values.altitudeFt;
  return values;
}

}  // namespace sim
