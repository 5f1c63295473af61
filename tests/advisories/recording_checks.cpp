// Recording definitions of the advisory checks.
#include "recording_checks.h"

#include "advisories/advisory_checks.h"

namespace orvante::testing {

std::vector<CheckCall>& CheckCalls() {
  static std::vector<CheckCall> calls;
  return calls;
}

void ClearCheckCalls() { CheckCalls().clear(); }

std::vector<std::string> CheckCallNames() {
  std::vector<std::string> names;
  for (const auto& c : CheckCalls()) names.push_back(c.name);
  return names;
}

static void Record(const char* name, const SituationContext& ctx, const RunwayRecord* runwayEnd = nullptr) {
  CheckCalls().push_back(
      {name, runwayEnd ? runwayEnd->designator : "", ctx.state.alertWord, ctx.state.previousAlertWord.load()});
}

}  // namespace orvante::testing

namespace orvante {

using testing::Record;

void CheckRunwayLength(SituationContext& ctx, const RunwayRecord& r) { Record("RunwayLength", ctx, &r); }
void CheckDistanceRemaining(SituationContext& ctx, const RunwayRecord& r) { Record("DistanceRemaining", ctx, &r); }
void CheckRunwayEnd(SituationContext& ctx, const RunwayRecord& r) { Record("RunwayEnd", ctx, &r); }
void CheckTakeOffFlaps(SituationContext& ctx, const RunwayRecord& r) { Record("TakeOffFlaps", ctx, &r); }
void CheckLongLanding(SituationContext& ctx, const RunwayRecord& r) { Record("LongLanding", ctx, &r); }
void CheckShortRunwayInAir(SituationContext& ctx, const RunwayRecord& r) { Record("ShortRunwayInAir", ctx, &r); }
void CheckApproachAngle(SituationContext& ctx, const RunwayRecord& r) { Record("ApproachAngle", ctx, &r); }
void CheckExtendedHolding(SituationContext& ctx) { Record("ExtendedHolding", ctx); }
void CheckTaxiwayTakeOff(SituationContext& ctx) { Record("TaxiwayTakeOff", ctx); }
void CheckTaxiwayLanding(SituationContext& ctx) { Record("TaxiwayLanding", ctx); }
void CheckLandingFlaps(SituationContext& ctx) { Record("LandingFlaps", ctx); }
void CheckApproachSpeed(SituationContext& ctx) { Record("ApproachSpeed", ctx); }
void CheckAltimeter(SituationContext& ctx) { Record("Altimeter", ctx); }
void AnnouncementPass(SituationContext& ctx) { Record("AnnouncementPass", ctx); }

}  // namespace orvante
