// libFuzzer target for the stand-in simulator's replay files. The same bytes
// are read as a flight file and as an events file. Besides crashes and
// sanitizer reports it checks what must hold for any input:
//  - a refused file gives "f.csv:LINE:COLUMN: ..." and nothing else;
//  - an accepted flight has rows with times strictly increasing and finite
//    values, headings in [0, 360);
//  - the aircraft values flown from it, before, at, between and after its
//    rows, are finite, keep headings in [0, 360), hold the first or last row
//    outside the flight and never leave the range of the two rows around
//    them (a value between rows lies between the rows' values);
//  - accepted events are in time order with finite, non-negative times, and
//    the events that carry a text have one.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "events_file.h"
#include "flight_file.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// "NAME:LINE:COLUMN: " with LINE and COLUMN positive numbers.
bool PositionedError(const std::string& error, const std::string& name) {
  if (error.rfind(name + ":", 0) != 0) return false;
  size_t at = name.size() + 1;
  for (int part = 0; part < 2; ++part) {
    size_t digits = 0;
    while (at + digits < error.size() && error[at + digits] >= '0' && error[at + digits] <= '9') ++digits;
    if (digits == 0 || error[at] == '0' || at + digits >= error.size() || error[at + digits] != ':') return false;
    at += digits + 1;
  }
  return error.compare(at, 1, " ") == 0 && error.size() > at + 1;
}

// The numbers a flight interpolates between rows.
constexpr double sim::AircraftValues::*kInterpolated[] = {
    &sim::AircraftValues::latitudeDeg,         &sim::AircraftValues::longitudeDeg,
    &sim::AircraftValues::altitudeFt,          &sim::AircraftValues::indicatedAltitudeFt,
    &sim::AircraftValues::indicatedAirspeedKt, &sim::AircraftValues::groundSpeedKt,
    &sim::AircraftValues::verticalSpeedFpm,    &sim::AircraftValues::seaLevelPressureInHg,
    &sim::AircraftValues::kohlsmanInHg,        &sim::AircraftValues::visualModelRadiusM,
};

void CheckValues(const sim::AircraftValues& v) {
  for (auto field : kInterpolated) Require(std::isfinite(v.*field));
  Require(v.headingTrueDeg >= 0 && v.headingTrueDeg < 360);
  Require(std::isfinite(v.gearHandle) && std::isfinite(v.flapsHandleIndex));
  Require(v.altitudeAboveGroundFt == (v.onGround ? 0.0 : v.altitudeFt));
}

// Values flown at t, strictly between rows a and b.
void CheckBetween(const sim::AircraftValues& v, const sim::FlightRow& a, const sim::FlightRow& b) {
  CheckValues(v);
  for (auto field : kInterpolated) {
    double low = std::min(a.values.*field, b.values.*field);
    double high = std::max(a.values.*field, b.values.*field);
    Require(v.*field >= low && v.*field <= high);
  }
  // Switches keep the earlier row's value.
  Require(v.onGround == a.values.onGround && v.gearHandle == a.values.gearHandle &&
          v.flapsHandleIndex == a.values.flapsHandleIndex);
}

void CheckFlight(std::string_view text) {
  const common::Result<sim::FlightFile> parsed = sim::ParseFlightFile(text, "f.csv");
  if (!parsed) {
    Require(PositionedError(parsed.error(), "f.csv"));
    return;
  }
  const sim::FlightFile& flight = *parsed;
  Require(!flight.rows.empty());
  for (size_t i = 0; i < flight.rows.size(); ++i) {
    const sim::FlightRow& row = flight.rows[i];
    Require(std::isfinite(row.t) && row.t >= 0);
    if (i > 0) Require(row.t > flight.rows[i - 1].t);
    CheckValues(sim::FlightValuesAt(flight, row.t));
  }
  const sim::FlightRow& first = flight.rows.front();
  const sim::FlightRow& last = flight.rows.back();
  Require(sim::FlightValuesAt(flight, first.t - 1).latitudeDeg == first.values.latitudeDeg);
  Require(sim::FlightValuesAt(flight, last.t + 1).altitudeFt == last.values.altitudeFt);
  // Between rows: at a few places of the first rows and of the last two.
  size_t pairs = flight.rows.size() - 1;
  for (size_t i = 0; i < pairs; ++i) {
    if (i >= 8 && i + 2 < pairs) continue;
    const sim::FlightRow& a = flight.rows[i];
    const sim::FlightRow& b = flight.rows[i + 1];
    for (double f : {0.25, 0.5, 0.999}) {
      double t = a.t + (b.t - a.t) * f;
      if (t <= a.t || t >= b.t) continue;
      CheckBetween(sim::FlightValuesAt(flight, t), a, b);
    }
  }
}

void CheckEvents(std::string_view text) {
  const common::Result<sim::EventsFile> parsed = sim::ParseEventsFile(text, "e.csv");
  if (!parsed) {
    Require(PositionedError(parsed.error(), "e.csv"));
    return;
  }
  const sim::EventsFile& file = *parsed;
  for (size_t i = 0; i < file.events.size(); ++i) {
    const sim::ReplayEvent& event = file.events[i];
    Require(std::isfinite(event.t) && event.t >= 0 && event.line >= 1);
    if (i > 0) Require(event.t >= file.events[i - 1].t);
    switch (event.kind) {
      case sim::EventKind::AircraftLoaded:
      case sim::EventKind::Dialog:
      case sim::EventKind::Lvar: Require(!event.text.empty()); break;
      default: break;
    }
    Require(std::isfinite(event.value) && std::isfinite(event.x) && std::isfinite(event.y) && std::isfinite(event.z));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  CheckFlight(text);
  CheckEvents(text);
  return 0;
}
