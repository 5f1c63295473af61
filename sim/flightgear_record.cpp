// Reading FlightGear's records and turning them into the aircraft the unit samples.
#include "flightgear_record.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace sim {
namespace {

struct NumberField {
  const char* name;
  double FlightGearRecord::*value;
  double low, high;  // the range a flying aircraft can give
};

// Fields 1 to 10 and 15 to 18, in record order.
const NumberField kNumbers[] = {
    {"elapsed seconds", &FlightGearRecord::elapsedSeconds, 0, 1e9},
    {"latitude", &FlightGearRecord::latitudeDeg, -90, 90},
    {"longitude", &FlightGearRecord::longitudeDeg, -180, 180},
    {"altitude", &FlightGearRecord::altitudeFt, -10000, 200000},
    {"indicated altitude", &FlightGearRecord::indicatedAltitudeFt, -20000, 200000},
    {"height above ground", &FlightGearRecord::aboveGroundFt, -2000, 200000},
    {"heading", &FlightGearRecord::headingDeg, -720, 720},
    {"indicated airspeed", &FlightGearRecord::indicatedAirspeedKt, -1000, 5000},
    {"ground speed", &FlightGearRecord::groundSpeedKt, -1000, 5000},
    {"vertical speed", &FlightGearRecord::verticalSpeedFps, -2000, 2000},
};
const NumberField kLateNumbers[] = {
    {"gear position", &FlightGearRecord::gearPosition, -0.01, 1.01},
    {"flaps handle", &FlightGearRecord::flapsHandle, -0.01, 1.01},
    {"sea-level pressure", &FlightGearRecord::seaLevelPressureInHg, 0, 100},
    {"altimeter setting", &FlightGearRecord::altimeterSettingInHg, 0, 100},
    {"speed-up", &FlightGearRecord::speedUp, 0, 1000},
};

// The generic protocol writes numbers with printf: an optional sign,
// digits, a point and digits. Anything else (nan, inf, hex) is no number.
bool ParseNumber(std::string_view text, double& value) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  size_t digits = 0;
  for (bool point = false; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') ++digits;
    else if (text[i] == '.' && !point) point = true;
    else return false;
  }
  if (digits == 0) return false;
  std::string_view body = text.front() == '+' ? text.substr(1) : text;
  auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), value);
  return error == std::errc() && end == body.data() + body.size() && std::isfinite(value);
}

// Shown in messages: at most 24 characters, control characters as '?'.
std::string Shown(std::string_view text) {
  std::string out;
  for (char c : text.substr(0, 24)) out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
  if (text.size() > 24) out += "...";
  return out;
}

}  // namespace

bool UsableAircraftName(std::string_view name) {
  if (name.empty() || name.size() > 64 || name.front() == '.') return false;
  for (char c : name) {
    bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
    if (!ok) return false;
  }
  return true;
}

common::Result<> ParseFlightGearRecord(std::string_view text, FlightGearRecord& record) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  if (text.empty()) return common::Fail("an empty record");
  std::vector<std::string_view> fields;
  for (size_t at = 0;;) {
    size_t tab = text.find('\t', at);
    fields.push_back(text.substr(at, tab == std::string_view::npos ? std::string_view::npos : tab - at));
    if (tab == std::string_view::npos) break;
    at = tab + 1;
  }
  if (fields[0] != kFlightGearRecordTag)
    return common::Fail("not a record of the orvante protocol (it begins \"" + Shown(text) + "\")");
  if (fields.size() != static_cast<size_t>(kFlightGearRecordFields))
    return common::Fail(std::to_string(fields.size()) + " fields where the protocol has " +
                        std::to_string(kFlightGearRecordFields));

  FlightGearRecord parsed;
  auto number = [&](const NumberField& field, std::string_view text) -> common::Result<> {
    double value = 0;
    if (!ParseNumber(text, value))
      return common::Fail(std::string(field.name) + " \"" + Shown(text) + "\" is no number");
    if (value < field.low || value > field.high)
      return common::Fail(std::string(field.name) + " " + Shown(text) + " is out of range");
    parsed.*field.value = value;
    return {};
  };
  size_t index = 1;
  for (const NumberField& field : kNumbers) {
    if (auto read = number(field, fields[index++]); !read) return read;
  }
  bool* flags[3] = {&parsed.weightOnWheels[0], &parsed.weightOnWheels[1], &parsed.weightOnWheels[2]};
  const char* flagNames[3] = {"weight on wheels 0", "weight on wheels 1", "weight on wheels 2"};
  for (int k = 0; k < 3; ++k) {
    std::string_view flag = fields[index++];
    if (flag != "0" && flag != "1")
      return common::Fail(std::string(flagNames[k]) + " \"" + Shown(flag) + "\" is neither 0 nor 1");
    *flags[k] = flag == "1";
  }
  for (const NumberField& field : kLateNumbers) {
    if (auto read = number(field, fields[index++]); !read) return read;
  }
  std::string_view aircraft = fields[index];
  if (!UsableAircraftName(aircraft)) return common::Fail("aircraft name \"" + Shown(aircraft) + "\" is not usable");
  parsed.aircraft = std::string(aircraft);
  record = std::move(parsed);
  return {};
}

bool Placed(const FlightGearRecord& record) { return record.altitudeFt > -9000; }

int FlapsDetent(double handle, size_t detents) {
  if (detents < 2 || !std::isfinite(handle)) return 0;
  double position = std::clamp(handle, 0.0, 1.0) * static_cast<double>(detents - 1);
  return static_cast<int>(std::lround(position));
}

AircraftValues ToAircraftValues(const FlightGearRecord& r, size_t flapDetents) {
  AircraftValues v;
  v.latitudeDeg = r.latitudeDeg;
  v.longitudeDeg = r.longitudeDeg;
  v.altitudeFt = r.altitudeFt;
  v.indicatedAltitudeFt = r.indicatedAltitudeFt;
  v.altitudeAboveGroundFt = r.aboveGroundFt;
  double heading = std::fmod(r.headingDeg, 360.0);
  v.headingTrueDeg = heading < 0 ? heading + 360.0 : heading;
  v.indicatedAirspeedKt = r.indicatedAirspeedKt;
  v.groundSpeedKt = r.groundSpeedKt;
  v.verticalSpeedFpm = r.verticalSpeedFps * 60.0;
  v.onGround = r.weightOnWheels[0] || r.weightOnWheels[1] || r.weightOnWheels[2];
  v.gearHandle = std::clamp(r.gearPosition, 0.0, 1.0);
  v.flapsHandleIndex = FlapsDetent(r.flapsHandle, flapDetents);
  v.seaLevelPressureInHg = r.seaLevelPressureInHg;
  v.kohlsmanInHg = r.altimeterSettingInHg;
  return v;
}

std::string FlightGearScreenText(std::string_view text) {
  constexpr size_t kLongest = 200;
  std::string out;
  for (char c : text) {
    if (out.size() >= kLongest) break;
    out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
  }
  // A character cut by the cap is dropped whole.
  if (out.size() >= kLongest) {
    size_t end = out.size();
    while (end > 0 && (static_cast<unsigned char>(out[end - 1]) & 0xC0) == 0x80) --end;
    if (end > 0 && static_cast<unsigned char>(out[end - 1]) >= 0xC0) out.resize(end - 1);
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace sim
