// A runway situation to test on: the sample, the previous sample, a profile,
// the runway list and the advisory state, with the context the engine takes.
// Runways are built the way the runway query builds them: two table rows per
// runway, completed by the runway part's pairing pass.
#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "advisories/advisory_state.h"
#include "advisories/aircraft_point.h"
#include "advisories/situation.h"
#include "advisories/situation_context.h"
#include "runways/runway_geometry.h"

namespace orvante::testing {

struct SituationHarness {
  AircraftState sample;
  AircraftState previousSample;
  ProfileSettings profile;
  std::vector<uint32_t> flapPositions;
  RunwayList runways;
  AdvisoryState state;
  AnnouncementOutput output;
  double eyepointX_m = 0;
  double eyepointZ_m = 0;

  SituationHarness() {
    profile.MasterSwitch = 1;
    profile.AppRwyOnGnd = 1;
    profile.AppRwyInAir = 1;
    profile.OnRunway = 1;
  }

  SituationContext Context() {
    return SituationContext{sample, previousSample, profile,     flapPositions, runways,
                            state,  eyepointX_m,    eyepointZ_m, 0.25f,         &output};
  }

  // One cycle of the engine as the update cycle runs it.
  void Cycle() {
    SituationContext ctx = Context();
    UpdateAircraftPoint(ctx);
    AssessSituation(ctx);
  }

  // Adds a runway centred on a reference point: ends `designatorCode` and
  // `oppositeCode` (table codes such as "090", "271"), the first end's point
  // half the length behind the centre along the given heading. Returns the
  // first end's record.
  const RunwayRecord* AddRunway(const char* designatorCode, const char* oppositeCode, double refLat, double refLon,
                                double trueHeading, double lengthFt, double widthFt, double elevationFt = 0) {
    GeoPoint end = OffsetPoint(refLat, refLon, lengthFt / 2, trueHeading + 180, false);
    GeoPoint opposite = OffsetPoint(refLat, refLon, lengthFt / 2, trueHeading, false);
    return AddRunwayBetween(designatorCode, oppositeCode, end, opposite, widthFt, elevationFt, {refLat, refLon});
  }

  // Adds a runway between two end points, its reference point halfway
  // between them unless given.
  const RunwayRecord* AddRunwayBetween(const char* designatorCode, const char* oppositeCode, GeoPoint end,
                                       GeoPoint opposite, double widthFt, double elevationFt = 0,
                                       GeoPoint ref = {0, 0}) {
    if (ref.latitude == 0 && ref.longitude == 0) {
      ref = {(end.latitude + opposite.latitude) / 2, (end.longitude + opposite.longitude) / 2};
    }
    double length = FlatDistance(end.latitude, end.longitude, opposite.latitude, opposite.longitude, false);
    size_t first = runways.size();
    runways.push_back(Row(designatorCode, ref, end, length, widthFt, elevationFt));
    runways.push_back(Row(oppositeCode, ref, opposite, length, widthFt, elevationFt));
    for (size_t i = first; i < runways.size(); ++i) PairRunwayEnd(*runways[i], runways);
    return runways[first].get();
  }

  // Places the sampled aircraft (before the eye-point and look-ahead moves).
  void PlaceAt(GeoPoint p, double altitudeFt, double headingDeg) {
    sample.latitudeDeg = p.latitude;
    sample.longitudeDeg = p.longitude;
    sample.altitudeFt = altitudeFt;
    sample.headingTrueDeg = headingDeg;
  }

 private:
  static std::unique_ptr<RunwayRecord> Row(const char* code, GeoPoint ref, GeoPoint end, double lengthFt,
                                           double widthFt, double elevationFt) {
    auto r = std::make_unique<RunwayRecord>();
    std::snprintf(r->designator, sizeof r->designator, "%s", code);
    std::snprintf(r->airportIdent, sizeof r->airportIdent, "TEST");
    r->refLatitude = ref.latitude;
    r->refLongitude = ref.longitude;
    r->endLatitude = end.latitude;
    r->endLongitude = end.longitude;
    r->length = lengthFt;
    r->width = widthFt;
    r->elevation = elevationFt;
    r->guidanceValue = 1;
    return r;
  }
};

// The point `alongFt` down the runway from the reference point towards the
// end's opposite point and `rightFt` to the right of the centreline.
inline GeoPoint RunwayPoint(const RunwayRecord& r, double alongFt, double rightFt) {
  GeoPoint p = OffsetPoint(r.refLatitude, r.refLongitude, alongFt, r.trueHeading, false);
  return OffsetPoint(p.latitude, p.longitude, rightFt, r.trueHeading + 90, false);
}

}  // namespace orvante::testing
