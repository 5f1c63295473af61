// libFuzzer target for flight plans. The input is a plan's text: it is read
// by the plan reader, and a plan that reads is flown by the flight builder at
// a fixed airport, KSFO's eight runway ends as the runway table holds them,
// decoded and completed by the module's own code (no table on disk). The
// flight's file is read back by the stand-in simulator's reader.
//
// Size: a plan is flown only when it has at most kMaxFlownPhases phases.
// Each phase the builder flies is bounded by its own time limits, so a flight
// is bounded by the number of its phases; the cap keeps every input within a
// second or so.
//
// Besides crashes, hangs and sanitizer reports it checks what must hold for
// any input:
//  - a refused plan gives "line L, column C: ..."; an accepted one names its
//    airport and starts with 'start';
//  - a refused flight gives "plan line N: ..." with N the line of a phase;
//  - a flown flight has samples with times strictly increasing, finite
//    values, headings in [0, 360), one phase span per plan phase, each
//    beginning where the one before it ended;
//  - its flight file is accepted by the stand-in simulator, row for sample.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sim/flight_file.h"
#include "flightplan/flight.h"
#include "flightplan/flight_builder.h"
#include "flightplan/flight_file.h"
#include "flightplan/flight_plan.h"
#include "runways/runway_query.h"

namespace {

using namespace orvante;
using namespace orvante::flightplan;

constexpr size_t kMaxFlownPhases = 16;

void Require(bool condition) {
  if (!condition) std::abort();
}

// KSFO's rows of the runway table built from the bundled airport data.
struct Row {
  const char* ident;
  int64_t code;
  double values[11];  // columns 3 to 13
};
constexpr Row kKsfo[] = {
    {"KSFO", 101, {37.628742, -122.39341, 5, 118, 11870, 3, 200, 0, 37.62114, -122.375285, 0}},
    {"KSFO", 282, {37.613538, -122.35716, 13, 298, 11870, 3, 200, 0, 37.62114, -122.375285, 300}},
    {"KSFO", 102, {37.626298, -122.393124, 6, 118, 11381, 3, 200, 0, 37.619009, -122.3757455, 0}},
    {"KSFO", 281, {37.61172, -122.358367, 13, 298, 11381, 3, 200, 0, 37.619009, -122.3757455, 300}},
    {"KSFO", 11, {37.607898, -122.38295, 10, 28, 7650, 3, 200, 0, 37.617187, -122.37679, 645}},
    {"KSFO", 192, {37.626476, -122.37063, 9, 208, 7650, 3, 200, 0, 37.617187, -122.37679, 0}},
    {"KSFO", 12, {37.606333, -122.381061, 12, 28, 8660, 3, 200, 0, 37.6168395, -122.3740925, 560}},
    {"KSFO", 191, {37.627346, -122.367124, 10, 208, 8660, 3, 200, 0, 37.6168395, -122.3740925, 0}},
};

const RunwayList& Runways() {
  static const RunwayList list = [] {
    RunwayList runways;
    for (const Row& source : kKsfo) {
      TableRow row(kRunwayTableColumns);
      row[0].kind = TableValue::Kind::kText;
      row[0].text = source.ident;
      row[1].kind = TableValue::Kind::kInteger;
      row[1].integer = source.code;
      for (size_t k = 2; k < kRunwayTableColumns; ++k) {
        row[k].kind = TableValue::Kind::kReal;
        row[k].real = source.values[k - 2];
      }
      auto record = std::make_unique<RunwayRecord>();
      Require(DecodeRow(row, *record));
      runways.push_back(std::move(record));
    }
    CompleteRunwayList(runways);
    return runways;
  }();
  return list;
}

// "PREFIX" followed by a positive number, then more text.
bool NumberAfter(const std::string& text, const std::string& prefix, uint32_t* number = nullptr) {
  if (text.rfind(prefix, 0) != 0) return false;
  size_t at = prefix.size(), digits = 0;
  uint64_t value = 0;
  while (at + digits < text.size() && text[at + digits] >= '0' && text[at + digits] <= '9' && digits < 11)
    value = value * 10 + static_cast<uint64_t>(text[at + digits++] - '0');
  if (digits == 0 || value == 0 || value > UINT32_MAX) return false;
  if (number) *number = static_cast<uint32_t>(value);
  return at + digits < text.size();
}

void CheckFlight(const FlightPlan& plan, const Flight& flight) {
  Require(!flight.samples.empty());
  for (size_t i = 0; i < flight.samples.size(); ++i) {
    const FlightSample& s = flight.samples[i];
    Require(std::isfinite(s.t) && std::isfinite(s.latitude) && std::isfinite(s.longitude) &&
            std::isfinite(s.altitudeFt) && std::isfinite(s.iasKt) && std::isfinite(s.groundSpeedKt) &&
            std::isfinite(s.verticalSpeedFpm));
    Require(s.latitude >= -90 && s.latitude <= 90 && s.longitude >= -180 && s.longitude <= 180);
    Require(s.headingTrue >= 0 && s.headingTrue < 360);
    Require(s.iasKt >= 0 && s.groundSpeedKt >= 0);
    Require(s.flapsIndex >= 0 && s.flapsIndex <= 10 && (s.gear == 0 || s.gear == 1));
    if (i > 0) Require(s.t > flight.samples[i - 1].t);
  }
  Require(flight.phases.size() == plan.steps.size());
  for (size_t i = 0; i < flight.phases.size(); ++i) {
    const PhaseSpan& span = flight.phases[i];
    Require(span.line == plan.steps[i].line && span.kind == plan.steps[i].kind);
    Require(span.firstSample <= span.lastSample && span.lastSample < flight.samples.size());
    if (i > 0) Require(span.firstSample == flight.phases[i - 1].lastSample);
  }
  Require(flight.phases.back().lastSample == flight.samples.size() - 1);

  const common::Result<sim::FlightFile> replayed = sim::ParseFlightFile(FlightFileText(flight), "flight.csv");
  Require(replayed.ok());
  Require(replayed->rows.size() == flight.samples.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  FlightPlan plan;
  if (auto parsed = ParseFlightPlan(text, plan); !parsed) {
    const std::string& error = parsed.error();
    Require(NumberAfter(error, "line ") && error.find(", column ") != std::string::npos);
    return 0;
  }
  Require(!plan.airport.empty() && !plan.steps.empty() && plan.steps.front().kind == PhaseKind::kStart);
  for (size_t i = 1; i < plan.steps.size(); ++i) {
    Require(plan.steps[i].kind != PhaseKind::kStart && plan.steps[i].line > plan.steps[i - 1].line);
  }
  if (plan.steps.size() > kMaxFlownPhases) return 0;

  Flight flight;
  if (auto built = BuildFlight(plan, Runways(), flight); !built) {
    uint32_t line = 0;
    Require(NumberAfter(built.error(), "plan line ", &line));
    bool known = false;
    for (const PlanStep& step : plan.steps) known = known || step.line == line;
    Require(known);
    return 0;
  }
  CheckFlight(plan, flight);
  return 0;
}
