// One update cycle of the advisory engine (UpdateAircraftPoint and
// AssessSituation) over every runway end the runway query returns around a
// busy airport, in the three situations that examine the most: taxiing (a
// probe against every outline), lined up on a runway, and on an armed final
// (the air tests for every end).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "advisories/situation_geometry.h"
#include "ourairports_runways.h"
#include "situation_harness.h"

namespace orvante {
namespace {

enum Scenario { kTaxiing, kLinedUp, kOnFinal };

struct Airport {
  const char* ident;
  double latitude, longitude;  // the query box's centre
  const char* runway;          // end lined up on or approached
};

const Airport kAirports[] = {
    {"KORD", 41.9786, -87.9048, "28R"},
    {"EGLL", 51.4706, -0.461941, "27L"},
};

void BM_Cycle(benchmark::State& st) {
  const Airport& airport = kAirports[st.range(0)];
  Scenario scenario = static_cast<Scenario>(st.range(1));
  testing::SituationHarness h;
  std::string path = testing::FindOurAirportsRunways();
  if (path.empty()) {
    st.SkipWithError("OurAirports runways.csv not found");
    return;
  }
  h.runways = testing::LoadRunwaysAround(path, airport.latitude, airport.longitude);
  const RunwayRecord* r = testing::FindRunwayEnd(h.runways, airport.ident, airport.runway);
  if (r == nullptr) {
    st.SkipWithError("runway end not found");
    return;
  }

  h.sample.visualModelRadiusM = 30;
  switch (scenario) {
    case kTaxiing:
      h.PlaceAt(testing::RunwayPoint(*r, -2000, -400), r->elevation, r->trueHeading + 90);
      h.sample.onGround = 1;
      h.sample.groundSpeedKt = 15;
      break;
    case kLinedUp:
      h.PlaceAt(OffsetPoint(r->endLatitude, r->endLongitude, 500, r->trueHeading, false), r->elevation, r->trueHeading);
      h.sample.onGround = 1;
      h.sample.groundSpeedKt = 5;
      break;
    case kOnFinal: {
      GeoPoint p =
          OffsetPoint(r->endLatitude, r->endLongitude, 2 * NAUTICAL_MILES_TO_FEET, r->trueHeading + 180, false);
      h.PlaceAt(p, r->elevation + 640, r->trueHeading);
      h.sample.groundSpeedKt = 140;
      h.sample.verticalSpeedFpm = -700;
      h.state.approachArmed = 1;
      break;
    }
  }
  const AircraftState sampled = h.sample;
  h.Cycle();  // a previous sample exists from here on
  uint32_t word = h.state.alertWord;

  for (auto _ : st) {
    h.sample = sampled;
    SituationContext ctx = h.Context();
    UpdateAircraftPoint(ctx);
    AssessSituation(ctx);
    benchmark::DoNotOptimize(h.state.alertWord);
  }
  if (h.state.alertWord != word || word == 0)
    st.SkipWithError("the situation raised no alert, or not the same each cycle");
  st.counters["runway_ends"] = static_cast<double>(h.runways.size());
  st.counters["alert_word"] = word;
  static const char* const kNames[] = {"taxiing", "lined_up", "on_final"};
  st.SetLabel(std::string(airport.ident) + " " + airport.runway + " " + kNames[scenario]);
}

BENCHMARK(BM_Cycle)->ArgsProduct({{0, 1}, {kTaxiing, kLinedUp, kOnFinal}})->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvante

BENCHMARK_MAIN();
