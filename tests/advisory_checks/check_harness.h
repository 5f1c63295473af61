// A unit to run the advisory checks on: the frame the simulator last sampled,
// the sample and previous sample of the cycle, a profile with the defaults a
// profile file without keys gives, a flap table, runways completed by the
// runway part's pairing pass, the advisory state, and an output that records
// every cue sequence and text line the announcement pass hands over.
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "advisories/advisory_state.h"
#include "advisories/aircraft_point.h"
#include "advisories/situation.h"
#include "advisories/situation_context.h"
#include "advisories/situation_geometry.h"
#include "runways/runway_geometry.h"

namespace orvante::testing {

// One call of queueAnnouncement.
struct QueuedCues {
  std::vector<std::string> cues;
  bool cutCurrent = false;
  int cycle = 0;  // the harness cycle it came in
};

// Defaults of a profile file that lacks every key, except that the flap
// checks compare flap angles from the aircraft's table and the approach band
// is 450 to 550 ft (AirbusSupprZone 0), and the unit is switched on.
inline void ApplyMissingKeyDefaults(ProfileSettings& p) {
  for (auto* on : {&p.MasterSwitch,
                   &p.AppRwyOnGnd,
                   &p.AppRwyInAir,
                   &p.OnRunway,
                   &p.RunwayEnd,
                   &p.TaxiwayTakeOff,
                   &p.InsufficientRwyLenOnGnd,
                   &p.ExtendedHoldingOnRwy,
                   &p.TaxiwayLanding,
                   &p.TakeOffFlapMonitor,
                   &p.LandingDistRemain,
                   &p.RTODistRemain,
                   &p.LandingFlapMonitor,
                   &p.ExcessiveApprSpeed,
                   &p.ExcessiveApprAngle,
                   &p.UnstableApproach,
                   &p.AltSettingAbove,
                   &p.AltSettingBelow,
                   &p.LongLanding,
                   &p.CautionEnabled,
                   &p.AnnunciateUnits,
                   &p.RepAltSetCallOut}) {
    on->store(1);
  }
  p.AppShortRwyInAir = 0;
  p.ExcludeShortRwys = 0;
  p.AirbusSupprZone = 0;
  p.ShowAltSetMsg = 0;
  p.UnitsOfMeasure = 0;
  p.MinTakeOffLength = 1000;
  p.MinLandingLength = 800;
  p.TouchdownZoneLen = 25;
  p.ExtHoldInitialTime = 60;
  p.ExtHoldRepeatTime = 30;
  p.MinTakeOffFlaps = 1;
  p.MinLandingFlaps = 3;
  p.MaxApproachSpeed = 200;
  p.UpperFlapGateAlert = 950;
  p.LowerFlapGateAlert = 600;
  p.TransitionAltitude = 18000;
  p.TransitionLevel = 18000;
  p.AltSetTolerance = 0.05f;
  p.MasterVolume = 10;
}

struct CheckHarness {
  AircraftState frame;  // what the simulator sampled; copied into the sample each cycle
  AircraftState sample;
  AircraftState previousSample;
  ProfileSettings profile;
  std::vector<uint32_t> flapPositions{0, 1, 2, 3, 4, 5};  // flap angle equals the detent
  RunwayList runways;
  AdvisoryState state;
  AnnouncementOutput output;
  bool textLineOpen = true;  // a simulator connection to show text lines on

  std::vector<QueuedCues> queued;
  std::vector<std::string> texts;
  std::vector<std::string> outputLog;  // "cue NAME" and "text LINE" in the order they came
  int cycles = 0;

  CheckHarness() {
    ApplyMissingKeyDefaults(profile);
    frame.gearHandle = 100;
    frame.seaLevelPressureInHg = 29.92;
    frame.kohlsmanInHg = 29.92;
    output.queueAnnouncement = [this](const std::vector<std::string>& cues, bool cut) {
      queued.push_back({cues, cut, cycles});
      for (const std::string& c : cues) outputLog.push_back("cue " + c);
    };
    output.showText = [this](const std::string& text) {
      if (!textLineOpen) return;
      texts.push_back(text);
      outputLog.push_back("text " + text);
    };
  }

  SituationContext Context() {
    return SituationContext{sample, previousSample, profile, flapPositions, runways, state, 0, 0, 0.25f, &output};
  }

  // One cycle as the update cycle runs it: the frame, the aircraft point,
  // the assessment.
  void Cycle() {
    ++cycles;
    sample = frame;
    SituationContext ctx = Context();
    UpdateAircraftPoint(ctx);
    AssessSituation(ctx);
  }

  // The assessment at the frame's own position, without the look-ahead, for
  // tests that need an exact distance.
  void Assess() {
    ++cycles;
    sample = frame;
    size_t detent = static_cast<size_t>(frame.flapsHandleIndex);
    sample.flapPosition = detent < flapPositions.size() ? flapPositions[detent] : 0;
    SituationContext ctx = Context();
    AssessSituation(ctx);
  }

  // Every cue queued so far, in order.
  std::vector<std::string> Cues() const {
    std::vector<std::string> all;
    for (const QueuedCues& q : queued) all.insert(all.end(), q.cues.begin(), q.cues.end());
    return all;
  }

  // Adds a runway centred on a reference point: ends coded as the runway table
  // codes them ("271" is 27L), the first end half the length behind the centre
  // along the given true heading. Returns the first end's record.
  const RunwayRecord* AddRunway(const char* code, const char* oppositeCode, GeoPoint ref, double trueHeading,
                                double lengthFt, double widthFt = 150, double elevationFt = 0) {
    GeoPoint end = OffsetPoint(ref.latitude, ref.longitude, lengthFt / 2, trueHeading + 180, false);
    GeoPoint opposite = OffsetPoint(ref.latitude, ref.longitude, lengthFt / 2, trueHeading, false);
    size_t first = runways.size();
    runways.push_back(Row(code, ref, end, widthFt, elevationFt));
    runways.push_back(Row(oppositeCode, ref, opposite, widthFt, elevationFt));
    for (size_t i = first; i < runways.size(); ++i) PairRunwayEnd(*runways[i], runways);
    return runways[first].get();
  }

  void PlaceAt(GeoPoint p, double altitudeFt, double headingDeg) {
    frame.latitudeDeg = p.latitude;
    frame.longitudeDeg = p.longitude;
    frame.altitudeFt = altitudeFt;
    frame.indicatedAltitudeFt = altitudeFt;
    frame.headingTrueDeg = headingDeg;
  }

  void OnGround(int32_t groundSpeedKt) {
    frame.onGround = 1;
    frame.groundSpeedKt = groundSpeedKt;
    frame.indicatedAirspeedKt = groundSpeedKt;
    frame.verticalSpeedFpm = 0;
  }

  void InAir(int32_t speedKt, int32_t verticalSpeedFpm) {
    frame.onGround = 0;
    frame.groundSpeedKt = speedKt;
    frame.indicatedAirspeedKt = speedKt;
    frame.verticalSpeedFpm = verticalSpeedFpm;
  }

 private:
  static std::unique_ptr<RunwayRecord> Row(const char* code, GeoPoint ref, GeoPoint end, double widthFt,
                                           double elevationFt) {
    auto r = std::make_unique<RunwayRecord>();
    std::snprintf(r->designator, sizeof r->designator, "%s", code);
    std::snprintf(r->airportIdent, sizeof r->airportIdent, "TEST");
    r->refLatitude = ref.latitude;
    r->refLongitude = ref.longitude;
    r->endLatitude = end.latitude;
    r->endLongitude = end.longitude;
    r->width = widthFt;
    r->elevation = elevationFt;
    r->guidanceValue = 1;  // an aim point
    return r;
  }
};

// The point `alongFt` from the runway's reference point towards the end's
// opposite point and `rightFt` to the right of the centreline (flat earth).
inline GeoPoint RunwayPoint(const RunwayRecord& r, double alongFt, double rightFt = 0) {
  GeoPoint p = OffsetPoint(r.refLatitude, r.refLongitude, alongFt, r.trueHeading, false);
  return OffsetPoint(p.latitude, p.longitude, rightFt, r.trueHeading + 90, false);
}

// The point an exact great-circle distance due north (negative: south) of a
// point, for distances the checks measure along a meridian.
inline GeoPoint NorthOf(GeoPoint p, double feet) {
  double radians = feet * FEET_TO_METRES / (EARTH_RADIUS_KM * 1000);
  return {p.latitude + radians * RADIANS_TO_DEGREES, p.longitude};
}

inline GeoPoint OppositePoint(const RunwayRecord& r) { return {r.oppositeLatitude, r.oppositeLongitude}; }
inline GeoPoint EndPoint(const RunwayRecord& r) { return {r.endLatitude, r.endLongitude}; }

}  // namespace orvante::testing
