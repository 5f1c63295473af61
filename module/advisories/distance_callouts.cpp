// Distance remaining during the landing roll and the rejected take-off, the
// phrase of each mark, and spelled-out distances.
#include "advisories/distance_callouts.h"

#include <iterator>

#include "advisories/advisory_checks.h"
#include "advisories/alert_word.h"
#include "advisories/situation_geometry.h"
#include "advisories/whole_numbers.h"

namespace orvante {

namespace {

struct MarkEntry {
  uint32_t mark;
  uint32_t feet;
  uint32_t metres;
  std::vector<std::string> feetCues;  // before the unit word
  std::vector<std::string> metresCues;
};

const MarkEntry kMarkTable[] = {
    {kMark4000Ft, 4000, 1200, {"4", "1000"}, {"1", "1000", "2", "100"}},
    {kMark3000Ft, 3000, 900, {"3", "1000"}, {"9", "100"}},
    {kMark2000Ft, 2000, 600, {"2", "1000"}, {"6", "100"}},
    {kMark1000Ft, 1000, 300, {"1", "1000"}, {"3", "100"}},
    {kMark500Ft, 500, 100, {"5", "100"}, {"1", "100"}},
};

const MarkEntry* FindMark(uint32_t mark) {
  for (const MarkEntry& e : kMarkTable) {
    if (e.mark == mark) return &e;
  }
  return nullptr;
}

uint32_t WholeDistance(double lat1, double lon1, double lat2, double lon2, DistanceUnit unit) {
  return TruncateToUint32(GreatCircleDistance(lat1, lon1, lat2, lon2, unit));
}

}  // namespace

uint32_t MarkDistance(uint32_t mark, uint32_t unitsOfMeasure) {
  const MarkEntry* e = FindMark(mark);
  if (e == nullptr || unitsOfMeasure > 1) return 0;
  return unitsOfMeasure == 0 ? e->feet : e->metres;
}

uint32_t MarkFor(uint32_t ahead, uint32_t limit, uint32_t unitsOfMeasure) {
  if (unitsOfMeasure > 1) return 0;
  // Each range runs from just above the next lower mark (or from 1) up to the mark.
  uint32_t below = 0;
  for (auto it = std::rbegin(kMarkTable); it != std::rend(kMarkTable); ++it) {
    uint32_t distance = unitsOfMeasure == 0 ? it->feet : it->metres;
    if (ahead > below && ahead <= distance) return limit >= distance ? it->mark : 0;
    below = distance;
  }
  return 0;
}

std::vector<std::string> MarkCues(const ProfileSettings& profile, uint32_t mark) {
  const MarkEntry* e = FindMark(mark);
  uint32_t units = profile.UnitsOfMeasure.load();
  if (e == nullptr || units > 1) return {};
  std::vector<std::string> cues = units == 0 ? e->feetCues : e->metresCues;
  if (profile.AnnunciateUnits.load() == 1) cues.push_back(units == 0 ? "feet" : "meters");
  cues.push_back("remaining");
  return cues;
}

std::vector<std::string> DistanceCues(const ProfileSettings& profile, uint32_t distance, DistanceKind kind) {
  std::vector<std::string> cues;
  std::string hundreds = std::to_string(distance / 100);
  if (hundreds.size() > 1) {
    cues.push_back(hundreds.substr(0, hundreds.size() - 1));
    cues.push_back("1000");
  }
  char digit = hundreds.back();
  if (digit > '0') {
    cues.push_back(std::string(1, digit));
    cues.push_back("100");
  }
  uint32_t units = profile.UnitsOfMeasure.load();
  if (profile.AnnunciateUnits.load() == 1 && units <= 1) cues.push_back(units == 0 ? "feet" : "meters");
  cues.push_back(kind == DistanceKind::kAvailable ? "available" : "remaining");
  return cues;
}

void CheckDistanceRemaining(SituationContext& ctx, const RunwayRecord& runwayEnd) {
  const ProfileSettings& p = ctx.profile;
  const AircraftState& s = ctx.sample;
  AdvisoryState& state = ctx.state;
  bool landingOn = p.LandingDistRemain.load() == 1, rejectOn = p.RTODistRemain.load() == 1;
  if (!landingOn && !rejectOn) return;

  uint32_t units = p.UnitsOfMeasure.load();
  DistanceUnit unit = ProfileDistanceUnit(units);
  uint32_t ahead =
      WholeDistance(s.latitudeDeg, s.longitudeDeg, runwayEnd.oppositeLatitude, runwayEnd.oppositeLongitude, unit);
  if (s.groundSpeedKt <= kRemainingSpeedFloorKt) {
    // Slow: the runway ahead is the limit of a take-off rejected later.
    state.storedDistance = ahead;
    return;
  }
  uint32_t half = WholeDistance(runwayEnd.refLatitude, runwayEnd.refLongitude, runwayEnd.oppositeLatitude,
                                runwayEnd.oppositeLongitude, unit);
  if (ahead > half) return;

  uint32_t limit;
  if (state.approachArmed != 0 || s.onGround == 0) {
    // Landing roll: armed from the approach, down at the runway.
    if (!landingOn || state.approachArmed != 1 || s.heightAboveRunway > kLandingMarksCeilingFt) return;
    limit = half;
  } else {
    if (!rejectOn) return;
    if (s.groundSpeedKt > state.maxGroundSpeed) {
      state.maxGroundSpeed = s.groundSpeedKt;
      return;
    }
    if (static_cast<int64_t>(s.groundSpeedKt) > static_cast<int64_t>(state.maxGroundSpeed) - kRejectSpeedDropKt) {
      return;
    }
    limit = state.storedDistance;
    state.rejectedTakeOff = 1;
  }

  state.alertWord |= AlertDistanceRemaining;
  state.remainingMarks |= MarkFor(ahead, limit, units);
}

}  // namespace orvante
