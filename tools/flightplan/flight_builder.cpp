// The flight builder: phase guidance over a point-mass airliner.
#include "flight_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "airport_runways.h"
#include "local_frame.h"
#include "runways/runway_geometry.h"

namespace orvante::flightplan {

namespace {

constexpr double kStep = 0.1;       // seconds of one integration step
constexpr int kStepsPerSample = 5;  // a sample every 0.5 s
constexpr double kFeetPerSecondPerKnot = 1.68781;
constexpr double kGravityFps2 = 32.174;
constexpr double kGlideSlopeDeg = 3.0;
constexpr double kThresholdCrossingFt = 50;
constexpr double kMaxPhaseSeconds = 3600;
// The longest leg a 'fly heading' may be: as long as the longest timed leg a
// plan can ask for ("for 10000 s"). A distance leg flown so slowly that it
// would take longer is refused, not flown for days of samples.
constexpr double kMaxLegSeconds = 10000;

// Airliner figures (knots per second, degrees per second, feet per minute).
constexpr double kTaxiSpeedKt = 15;
constexpr double kTaxiTurnSpeedKt = 10;
constexpr double kLineUpSpeedKt = 8;
constexpr double kTaxiAccel = 1.0;
constexpr double kTaxiDecel = 1.5;
constexpr double kNoseWheelRadiusFt = 60;  // tightest steering circle
constexpr double kGroundLateralAccelG = 0.15;
constexpr double kGroundMaxTurnRate = 20;
constexpr double kGroundTurnRateChange = 20;  // degrees per second per second
constexpr double kAirMaxTurnRate = 3;         // standard rate
constexpr double kAirMaxBankDeg = 25;
constexpr double kAirTurnRateChange = 1.5;  // about 5 degrees of bank a second
constexpr double kTakeOffRotateKt = 145;
constexpr double kRotationSeconds = 3;  // from rotation speed to lift-off
constexpr double kTakeOffClimbFpm = 2200;
constexpr double kClimbFpm = 1800;
constexpr double kDescentFpm = 1500;
constexpr double kVerticalSpeedChange = 400;  // feet per minute per second
constexpr double kAirAccel = 1.5;
constexpr double kAirDecel = 1.5;
constexpr double kRejectReactionSeconds = 1.5;
constexpr double kRejectBrake = 6;   // maximum braking and reverse, about 0.3 g
constexpr double kLandingBrake = 4;  // a medium autobrake, about 0.2 g
// The flare begins at 25 ft; from there the sink rate eases in proportion to
// the height, from the path's rate (about 750 fpm at 145 kt) to 200 fpm at
// the ground. The aircraft is down about 3.5 s later, 1,200-1,400 ft past
// the threshold, losing 1 kt a second as the thrust comes off.
constexpr double kFlareHeightFt = 25;
constexpr double kTouchdownSinkFpm = 200;
constexpr double kFlareDecel = 1.0;
constexpr double kDerotationSeconds = 2;
constexpr double kGoAroundClimbFpm = 2000;
constexpr double kDefaultClimbAfterTakeOffFt = 1000;
constexpr double kDefaultGoAroundHeightFt = 1500;

// True airspeed from indicated, about 2 % a thousand feet.
double TrueAirspeed(double iasKt, double altitudeFt) { return iasKt * (1 + 0.02 * std::max(0.0, altitudeFt) / 1000); }

// A runway end as a line to fly along: its threshold (or a point abeam it
// for an offset line), direction and the elevations of its ends.
struct RunwayLine {
  std::string designator;
  LocalPoint end;        // where the runway begins for take-off
  LocalPoint threshold;  // where the glide path crosses at 50 ft (past a displaced threshold)
  LocalPoint direction;  // unit vector down the runway
  LocalPoint rightward;  // unit vector to the right
  double heading = 0;
  double lengthFt = 0;
  double widthFt = 0;
  double elevationFt = 0;

  double Along(LocalPoint p) const {
    return (p.east - end.east) * direction.east + (p.north - end.north) * direction.north;
  }
  double Right(LocalPoint p) const {
    return (p.east - end.east) * rightward.east + (p.north - end.north) * rightward.north;
  }
  LocalPoint At(double along, double right) const {
    return {end.east + direction.east * along + rightward.east * right,
            end.north + direction.north * along + rightward.north * right};
  }
};

class Builder {
 public:
  Builder(const FlightPlan& plan, const RunwayList& runways, Flight& flight)
      : plan_(plan), runways_(runways), flight_(flight) {
    const RunwayRecord& first = *runways.front();
    frame_ = LocalFrame({first.refLatitude, first.refLongitude});
    for (const auto& record : runways) {
      elevations_.push_back({frame_.ToLocal({record->endLatitude, record->endLongitude}), record->elevation});
    }
  }

  common::Result<> Run() {
    flight_ = Flight{};
    flight_.airport = plan_.airport;
    flight_.sampleInterval = kStep * kStepsPerSample;
    for (const PlanStep& step : plan_.steps) {
      PhaseSpan span;
      span.kind = step.kind;
      span.line = step.line;
      span.text = step.text;
      span.firstSample = flight_.samples.empty() ? 0 : flight_.samples.size() - 1;
      if (auto flown = Fly(step); !flown)
        return common::Fail("plan line " + std::to_string(step.line) + ": " + flown.error());
      // Every phase ends with a sample of its own, so the next begins from
      // exactly where this one left the aircraft.
      if (recordedStep_ != steps_) Record();
      span.lastSample = flight_.samples.size() - 1;
      flight_.phases.push_back(span);
    }
    return {};
  }

 private:
  // ---- state and integration ----

  double GroundElevation(LocalPoint p) const {
    // Inverse-distance weighting of the runway ends' elevations: exact at
    // each end and smooth in between, so taxiing never jumps a step.
    double weights = 0, sum = 0;
    for (const auto& [point, elevation] : elevations_) {
      double d2 = std::pow(p.east - point.east, 2) + std::pow(p.north - point.north, 2);
      if (d2 < 1e-6) return elevation;
      weights += 1 / d2;
      sum += elevation / d2;
    }
    return sum / weights;
  }

  double Height() const { return altitude_ - GroundElevation(position_); }

  double MaxTurnRate() const {
    double speedFps = TrueAirspeed(ias_, altitude_) * kFeetPerSecondPerKnot;
    if (onGround_) {
      if (speedFps <= 0) return 0;
      double byRadius = speedFps / kNoseWheelRadiusFt * RADIANS_TO_DEGREES;
      double bySideForce = kGroundLateralAccelG * kGravityFps2 / speedFps * RADIANS_TO_DEGREES;
      return std::min({kGroundMaxTurnRate, byRadius, bySideForce});
    }
    double byBank =
        kGravityFps2 * std::tan(kAirMaxBankDeg * DEGREES_TO_RADIANS) / std::max(speedFps, 1.0) * RADIANS_TO_DEGREES;
    return std::min(kAirMaxTurnRate, byBank);
  }

  // The turn rate wanted to reach a heading: proportional, so turns roll
  // out without overshooting; direction -1 or +1 forces the way round.
  double TurnToward(double headingCmd, int direction = 0) const {
    double error = WrapSigned(headingCmd - heading_);
    if (direction != 0 && std::fabs(error) > 2 && (error > 0) != (direction > 0)) error += direction * 360;
    double gain = onGround_ ? 1.0 : 0.5;
    double limit = MaxTurnRate();
    return std::clamp(error * gain, -limit, limit);
  }

  // The acceleration that reaches a speed within the limits, landing on it
  // exactly in the last step.
  static double SpeedToward(double current, double target, double accel, double decel) {
    return std::clamp((target - current) / kStep, -decel, accel);
  }

  // Heading that brings the aircraft onto a line: the line's heading bent
  // towards it by the cross-track distance over a look-ahead distance.
  double InterceptHeading(const RunwayLine& line, double offsetRight, double lookAheadFt) const {
    double crossTrack = line.Right(position_) - offsetRight;
    return line.heading - std::atan2(crossTrack, lookAheadFt) * RADIANS_TO_DEGREES;
  }

  double AirLookAhead() const {
    double speedFps = TrueAirspeed(ias_, altitude_) * kFeetPerSecondPerKnot;
    double radius = speedFps / (MaxTurnRate() * DEGREES_TO_RADIANS);
    return std::max(2000.0, 0.6 * radius);
  }

  // One step: speed changes by accel (knots a second of indicated speed),
  // heading by the turn rate (itself limited in how fast it changes), and
  // in the air the vertical speed moves towards vsCmd.
  void Advance(double accel, double turnRateCmd, double vsCmd = 0) {
    double rateChange = (onGround_ ? kGroundTurnRateChange : kAirTurnRateChange) * kStep;
    double limit = MaxTurnRate();
    double newRate = std::clamp(turnRateCmd, turnRate_ - rateChange, turnRate_ + rateChange);
    newRate = std::clamp(newRate, -std::max(limit, 0.0), std::max(limit, 0.0));

    double tas0 = TrueAirspeed(ias_, altitude_);
    double newIas = std::max(0.0, ias_ + accel * kStep);
    double newHeading = heading_ + (turnRate_ + newRate) / 2 * kStep;
    double midHeading = (heading_ + newHeading) / 2;
    double newAltitude = altitude_;
    double newVs = verticalSpeed_;
    if (!onGround_) {
      newVs = std::clamp(vsCmd, verticalSpeed_ - kVerticalSpeedChange * kStep,
                         verticalSpeed_ + kVerticalSpeedChange * kStep);
      newAltitude = altitude_ + (verticalSpeed_ + newVs) / 2 / 60 * kStep;
    }
    double tas1 = TrueAirspeed(newIas, newAltitude);
    double distance = (tas0 + tas1) / 2 * kFeetPerSecondPerKnot * kStep;
    LocalPoint unit = BearingVector(midHeading);
    position_.east += unit.east * distance;
    position_.north += unit.north * distance;
    if (onGround_) {
      newAltitude = GroundElevation(position_);
      newVs = (newAltitude - altitude_) / kStep * 60;
    }
    travelled_ += distance;
    ias_ = newIas;
    heading_ = newHeading - 360 * std::floor(newHeading / 360);
    turnRate_ = newRate;
    altitude_ = newAltitude;
    verticalSpeed_ = newVs;
    ++steps_;
    if (steps_ % kStepsPerSample == 0) Record();
  }

  void Record() {
    recordedStep_ = steps_;
    FlightSample sample;
    sample.t = steps_ * kStep;
    GeoPoint geo = frame_.ToGeo(position_);
    sample.latitude = geo.latitude;
    sample.longitude = geo.longitude;
    sample.altitudeFt = altitude_;
    sample.headingTrue = heading_;
    sample.iasKt = ias_;
    sample.groundSpeedKt = TrueAirspeed(ias_, altitude_);
    sample.verticalSpeedFpm = verticalSpeed_;
    sample.onGround = onGround_;
    sample.gear = gearDown_ ? 1 : 0;
    sample.flapsIndex = flaps_;
    flight_.samples.push_back(sample);
  }

  bool TimedOut(int startStep) const { return (steps_ - startStep) * kStep > kMaxPhaseSeconds; }

  common::Result<> CheckClearOfGround() const {
    if (!onGround_ && Height() < 0) return common::Fail("the aircraft would meet the ground in this phase");
    return {};
  }

  // ---- runways and places ----

  std::optional<RunwayLine> LineOf(const std::string& designator) const {
    const RunwayRecord* record = FindRunwayEnd(runways_, designator);
    if (!record) return std::nullopt;
    RunwayLine line;
    line.designator = record->designator;
    line.end = frame_.ToLocal({record->endLatitude, record->endLongitude});
    LocalPoint opposite = frame_.ToLocal({record->oppositeLatitude, record->oppositeLongitude});
    line.heading = BearingOf(line.end, opposite);
    line.direction = BearingVector(line.heading);
    line.rightward = BearingVector(line.heading + 90);
    line.lengthFt = DistanceBetween(line.end, opposite);
    line.widthFt = record->width;
    line.elevationFt = record->elevation;
    double displaced = std::clamp(record->displacedThreshold, 0.0, line.lengthFt / 2);
    line.threshold = line.At(displaced, 0);
    return line;
  }

  std::string NoRunway(const std::string& designator) const {
    std::string known;
    for (const auto& record : runways_) known += (known.empty() ? "" : " ") + std::string(record->designator);
    return "airport " + plan_.airport + " has no runway end " + designator + " (it has " + known + ")";
  }

  common::Result<> Resolve(const Place& place, LocalPoint& point) const {
    if (!place.onRunway) {
      point = frame_.ToLocal({place.latitude, place.longitude});
      if (DistanceBetween(point, {0, 0}) > 30 * 6076.12)
        return common::Fail("the place lies more than 30 nm from the airport");
      return {};
    }
    auto line = LineOf(place.runway);
    if (!line) return common::Fail(NoRunway(place.runway));
    point = line->At(place.alongFt, place.rightFt);
    return {};
  }

  // The runway end the aircraft stands on, lined up within 20 degrees.
  std::optional<RunwayLine> RunwayUnderfoot() const {
    if (lastRunway_) {
      const RunwayLine& line = *lastRunway_;
      if (std::fabs(WrapSigned(heading_ - line.heading)) < 20 &&
          std::fabs(line.Right(position_)) < line.widthFt / 2 + 30)
        return line;
    }
    for (const auto& record : runways_) {
      auto line = LineOf(record->designator);
      if (!line) continue;
      double along = line->Along(position_);
      if (std::fabs(WrapSigned(heading_ - line->heading)) < 20 && along > -100 && along < line->lengthFt &&
          std::fabs(line->Right(position_)) < line->widthFt / 2 + 30)
        return line;
    }
    return std::nullopt;
  }

  // ---- phases ----

  common::Result<> Fly(const PlanStep& step) {
    bool needsGround = step.kind == PhaseKind::kTaxiHeading || step.kind == PhaseKind::kTaxiTo ||
                       step.kind == PhaseKind::kLineUp || step.kind == PhaseKind::kTakeOff ||
                       step.kind == PhaseKind::kRejectedTakeOff || step.kind == PhaseKind::kHold;
    bool needsAir = step.kind == PhaseKind::kClimb || step.kind == PhaseKind::kFlyHeading ||
                    step.kind == PhaseKind::kApproach || step.kind == PhaseKind::kLand ||
                    step.kind == PhaseKind::kGoAround;
    if (needsGround && !onGround_)
      return common::Fail(std::string("'") + PhaseKeyword(step.kind) + "' needs the aircraft on the ground");
    if (needsAir && onGround_)
      return common::Fail(std::string("'") + PhaseKeyword(step.kind) + "' needs the aircraft in the air");
    switch (step.kind) {
      case PhaseKind::kStart: return Start(step);
      case PhaseKind::kTaxiHeading: return TaxiHeading(step);
      case PhaseKind::kTaxiTo: return TaxiTo(step);
      case PhaseKind::kLineUp: return LineUp(step);
      case PhaseKind::kHold: return Hold(step);
      case PhaseKind::kTakeOff: return TakeOff(step);
      case PhaseKind::kRejectedTakeOff: return RejectedTakeOff(step);
      case PhaseKind::kClimb: return Climb(step);
      case PhaseKind::kFlyHeading: return FlyHeading(step);
      case PhaseKind::kGear: gearDown_ = step.gearDown; return {};
      case PhaseKind::kFlaps: flaps_ = step.flaps; return {};
      case PhaseKind::kApproach: return Approach(step);
      case PhaseKind::kLand: return Land(step);
      case PhaseKind::kGoAround: return GoAround(step);
    }
    return {};
  }

  common::Result<> Start(const PlanStep& step) {
    if (auto error = Resolve(step.place, position_); !error) return error;
    heading_ = WrapPositive(step.headingDeg, 360);
    altitude_ = GroundElevation(position_);
    onGround_ = true;
    if (step.airborne) {
      // Level at the height above the runway end named (its elevation, as
      // the approach measures heights), or above the ground at coordinates.
      double ground = altitude_;
      if (step.place.onRunway) ground = LineOf(step.place.runway)->elevationFt;
      altitude_ = ground + step.heightFt;
      onGround_ = false;
      ias_ = step.speedKt;
      holdAltitude_ = altitude_;
      targetSpeed_ = step.speedKt;
      if (Height() < 0) return common::Fail("the air start lies below the ground there");
    }
    Record();
    return {};
  }

  common::Result<> TaxiHeading(const PlanStep& step) {
    double speed = step.speedKt > 0 ? step.speedKt : kTaxiSpeedKt;
    double start = travelled_;
    int startStep = steps_;
    while (travelled_ - start < step.distanceFt) {
      bool turning = std::fabs(WrapSigned(step.headingDeg - heading_)) > 20;
      double target = turning ? std::min(speed, kTaxiTurnSpeedKt) : speed;
      Advance(SpeedToward(ias_, target, kTaxiAccel, kTaxiDecel), TurnToward(step.headingDeg));
      if (TimedOut(startStep)) return common::Fail("the taxi does not end");
    }
    return {};
  }

  common::Result<> TaxiTo(const PlanStep& step) {
    LocalPoint target;
    if (auto error = Resolve(step.place, target); !error) return error;
    double speed = step.speedKt > 0 ? step.speedKt : kTaxiSpeedKt;
    int startStep = steps_;
    double closest = DistanceBetween(position_, target);
    while (true) {
      double distance = DistanceBetween(position_, target);
      closest = std::min(closest, distance);
      if (distance < 15 || (distance < 100 && distance > closest + 1)) break;
      double bearing = BearingOf(position_, target);
      bool turning = std::fabs(WrapSigned(bearing - heading_)) > 20;
      double wanted = (turning || distance < 200) ? std::min(speed, kTaxiTurnSpeedKt) : speed;
      Advance(SpeedToward(ias_, wanted, kTaxiAccel, kTaxiDecel), TurnToward(bearing));
      if (TimedOut(startStep))
        return common::Fail("the taxi never reaches its point (it may lie inside the turning circle)");
    }
    return {};
  }

  common::Result<> LineUp(const PlanStep& step) {
    auto line = LineOf(step.runway);
    if (!line) return common::Fail(NoRunway(step.runway));
    if (std::fabs(line->Right(position_)) > 3000 || line->Along(position_) > line->lengthFt) {
      return common::Fail("the aircraft is too far from runway " + line->designator + " to line up on it");
    }
    double speed = step.speedKt > 0 ? step.speedKt : kLineUpSpeedKt;
    int startStep = steps_;
    bool aligned = false;
    while (!aligned || ias_ > 0) {
      double heading = InterceptHeading(*line, 0, 120);
      if (!aligned && std::fabs(line->Right(position_)) < 3 && std::fabs(WrapSigned(heading_ - line->heading)) < 1) {
        aligned = true;
      }
      double target = aligned ? 0 : speed;
      Advance(SpeedToward(ias_, target, kTaxiAccel, kTaxiDecel), TurnToward(heading));
      if (TimedOut(startStep)) return common::Fail("the aircraft never lines up on runway " + line->designator);
    }
    turnRate_ = 0;
    lastRunway_ = line;
    return {};
  }

  common::Result<> Hold(const PlanStep& step) {
    double brake = step.brakeKtPerS > 0 ? step.brakeKtPerS : kTaxiDecel;
    // Still rolling down a runway (after a landing that ends at a speed):
    // the stop must come before its end, as a landing roll's must.
    std::optional<RunwayLine> rolling = ias_ > 0 ? RunwayUnderfoot() : std::nullopt;
    while (ias_ > 0) Advance(SpeedToward(ias_, 0, kTaxiAccel, brake), 0);
    turnRate_ = 0;
    if (rolling && rolling->Along(position_) > rolling->lengthFt) {
      return common::Fail("the aircraft stops beyond the end of runway " + rolling->designator);
    }
    int holdSteps = static_cast<int>(std::lround(step.seconds / kStep));
    for (int i = 0; i < holdSteps; ++i) Advance(0, 0);
    return {};
  }

  // The take-off roll: thrust builds over the first seconds, acceleration
  // falls off with speed; the aircraft tracks the centreline.
  void RollStep(const RunwayLine& line, double rollSeconds) {
    double thrust = std::min(1.0, rollSeconds / 4);
    double accel = thrust * (4.0 - 0.01 * ias_);
    Advance(accel, TurnToward(InterceptHeading(line, 0, 600)));
  }

  common::Result<> TakeOff(const PlanStep& step) {
    auto line = RunwayUnderfoot();
    if (!line) return common::Fail("'takeoff' needs the aircraft lined up on a runway");
    if (step.flaps >= 0) flaps_ = step.flaps;
    double rotate = step.rotateKt > 0 ? step.rotateKt : kTakeOffRotateKt;
    double climbTo = line->elevationFt + (step.climbFt > 0 ? step.climbFt : kDefaultClimbAfterTakeOffFt);
    int startStep = steps_;
    while (ias_ < rotate) {
      RollStep(*line, (steps_ - startStep) * kStep);
      if (line->Along(position_) > line->lengthFt)
        return common::Fail("runway " + line->designator + " ends before the rotation speed");
    }
    for (int i = 0; i < static_cast<int>(kRotationSeconds / kStep); ++i) RollStep(*line, 10);
    if (line->Along(position_) > line->lengthFt)
      return common::Fail("runway " + line->designator + " ends before lift-off");
    onGround_ = false;
    verticalSpeed_ = 0;
    int liftOffStep = steps_;
    double climbSpeed = rotate + 25;
    while (altitude_ < climbTo) {
      if (gearDown_ && Height() > 50 && (steps_ - liftOffStep) * kStep > 3) gearDown_ = false;
      Advance(SpeedToward(ias_, climbSpeed, kAirAccel, kAirDecel),
              TurnToward(InterceptHeading(*line, 0, AirLookAhead())), kTakeOffClimbFpm);
      if (auto error = CheckClearOfGround(); !error) return error;
      if (TimedOut(startStep)) return common::Fail("the climb-out never reaches its height");
    }
    holdAltitude_ = altitude_;
    targetSpeed_ = climbSpeed;
    lastRunway_ = line;
    return {};
  }

  common::Result<> RejectedTakeOff(const PlanStep& step) {
    auto line = RunwayUnderfoot();
    if (!line) return common::Fail("'reject' needs the aircraft lined up on a runway");
    int startStep = steps_;
    while (ias_ < step.speedKt) {
      RollStep(*line, (steps_ - startStep) * kStep);
      if (line->Along(position_) > line->lengthFt)
        return common::Fail("runway " + line->designator + " ends before the rejection speed");
    }
    for (int i = 0; i < static_cast<int>(kRejectReactionSeconds / kStep); ++i) {
      Advance(0, TurnToward(InterceptHeading(*line, 0, 600)));
    }
    double brake = step.brakeKtPerS > 0 ? step.brakeKtPerS : kRejectBrake;
    while (ias_ > 0) {
      double decel = ias_ > 20 ? brake : std::min(brake, 2.5);
      Advance(SpeedToward(ias_, 0, 0, decel), TurnToward(InterceptHeading(*line, 0, 600)));
    }
    turnRate_ = 0;
    if (line->Along(position_) > line->lengthFt)
      return common::Fail("the rejected take-off leaves the end of runway " + line->designator);
    lastRunway_ = line;
    return {};
  }

  // Vertical speed that holds or captures an altitude, levelling off gently.
  double AltitudeHold(double target, double climbRate, double descentRate) const {
    return std::clamp((target - altitude_) * 8, -descentRate, climbRate);
  }

  common::Result<> Climb(const PlanStep& step) {
    double speed = step.speedKt > 0 ? step.speedKt : (targetSpeed_ > 0 ? targetSpeed_ : ias_);
    double climbRate = step.rateFpm > 0 ? step.rateFpm : kClimbFpm;
    double descentRate = step.rateFpm > 0 ? step.rateFpm : kDescentFpm;
    double heading = step.hasHeading ? step.headingDeg : heading_;
    int direction = step.turnDirection;
    int startStep = steps_;
    while (std::fabs(altitude_ - step.altitudeFt) > 5 || std::fabs(verticalSpeed_) > 100 ||
           std::fabs(ias_ - speed) > 1 || std::fabs(WrapSigned(heading - heading_)) > 0.5) {
      if (direction != 0 && std::fabs(WrapSigned(heading - heading_)) < 90) direction = 0;
      Advance(SpeedToward(ias_, speed, kAirAccel, kAirDecel), TurnToward(heading, direction),
              AltitudeHold(step.altitudeFt, climbRate, descentRate));
      if (auto error = CheckClearOfGround(); !error) return error;
      if (TimedOut(startStep)) return common::Fail("the climb never reaches its altitude");
    }
    holdAltitude_ = step.altitudeFt;
    targetSpeed_ = speed;
    return {};
  }

  common::Result<> FlyHeading(const PlanStep& step) {
    double speed = step.speedKt > 0 ? step.speedKt : (targetSpeed_ > 0 ? targetSpeed_ : ias_);
    double start = travelled_;
    int startStep = steps_;
    int direction = step.turnDirection;
    while (step.distanceFt > 0 ? travelled_ - start < step.distanceFt : (steps_ - startStep) * kStep < step.seconds) {
      // The forced direction holds only until the turn is well under way.
      if (direction != 0 && std::fabs(WrapSigned(step.headingDeg - heading_)) < 90) direction = 0;
      Advance(SpeedToward(ias_, speed, kAirAccel, kAirDecel), TurnToward(step.headingDeg, direction),
              AltitudeHold(holdAltitude_, kClimbFpm, kDescentFpm));
      if (auto error = CheckClearOfGround(); !error) return error;
      if (step.distanceFt > 0 && (steps_ - startStep) * kStep > kMaxLegSeconds) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "the leg is not flown within %.0f s (%.1f nm at %.0f kt); fly it faster or shorter",
                      kMaxLegSeconds, step.distanceFt / 6076.12, speed);
        return common::Fail(std::string(text));
      }
    }
    targetSpeed_ = speed;
    return {};
  }

  double GlidePathAltitude(const RunwayLine& line, double distanceBeforeThreshold) const {
    return line.elevationFt + kThresholdCrossingFt +
           distanceBeforeThreshold * std::tan(kGlideSlopeDeg * DEGREES_TO_RADIANS);
  }

  // Vertical speed that follows the 3-degree path (or holds the altitude
  // before the path is met), with the path's own descent rate fed forward.
  double GlidePathVerticalSpeed(const RunwayLine& line, double levelAltitude) const {
    double before = line.Along(line.threshold) - line.Along(position_);
    double pathAltitude = GlidePathAltitude(line, before);
    bool onPath = pathAltitude < levelAltitude;
    double wanted = onPath ? pathAltitude : levelAltitude;
    double feedForward = 0;
    if (onPath) {
      feedForward =
          -TrueAirspeed(ias_, altitude_) * kFeetPerSecondPerKnot * 60 * std::tan(kGlideSlopeDeg * DEGREES_TO_RADIANS);
    }
    return std::clamp(feedForward + (wanted - altitude_) * 6, -2500.0, 1000.0);
  }

  common::Result<> Approach(const PlanStep& step) {
    auto line = LineOf(step.runway);
    if (!line) return common::Fail(NoRunway(step.runway));
    if (line->Along(line->threshold) - line->Along(position_) <= 0) {
      return common::Fail("the aircraft is already past the threshold of runway " + line->designator);
    }
    double offset = step.offsetRightFt;
    double levelAltitude =
        std::min(holdAltitude_ > 0 ? holdAltitude_ : altitude_, GlidePathAltitude(*line, step.fromNm * 6076.12));
    double speed = targetSpeed_ > 0 ? targetSpeed_ : ias_;
    std::vector<bool> applied(step.settings.size(), false);
    int startStep = steps_;
    while (true) {
      double heightAboveThreshold = altitude_ - line->elevationFt;
      double before = line->Along(line->threshold) - line->Along(position_);
      for (size_t i = 0; i < step.settings.size(); ++i) {
        const ApproachSetting& setting = step.settings[i];
        if (applied[i] || (setting.belowFt && heightAboveThreshold > *setting.belowFt)) continue;
        applied[i] = true;
        if (setting.what == ApproachSetting::What::kSpeed) speed = setting.value;
        if (setting.what == ApproachSetting::What::kGear) gearDown_ = setting.value > 0;
        if (setting.what == ApproachSetting::What::kFlaps) flaps_ = static_cast<int>(setting.value);
      }
      if (heightAboveThreshold <= kThresholdCrossingFt || before <= 0) break;
      double vsCmd = GlidePathVerticalSpeed(*line, levelAltitude);
      Advance(SpeedToward(ias_, speed, kAirAccel, kAirDecel),
              TurnToward(InterceptHeading(*line, offset, AirLookAhead())), vsCmd);
      if (auto error = CheckClearOfGround(); !error) return error;
      if (TimedOut(startStep)) return common::Fail("the approach never reaches runway " + line->designator);
    }
    double crossTrack = line->Right(position_) - offset;
    if (std::fabs(crossTrack) > 150 || std::fabs(WrapSigned(heading_ - line->heading)) > 10) {
      char text[200];
      std::snprintf(text, sizeof text,
                    "the approach reaches runway %s %.0f ft off its line and %.0f degrees off its heading; "
                    "start it further out",
                    line->designator.c_str(), crossTrack, WrapSigned(heading_ - line->heading));
      return common::Fail(std::string(text));
    }
    approach_ = line;
    approachOffset_ = offset;
    approachLevel_ = levelAltitude;
    targetSpeed_ = speed;
    holdAltitude_ = altitude_;
    return {};
  }

  common::Result<> Land(const PlanStep& step) {
    if (!approach_) return common::Fail("'land' must follow an approach");
    const RunwayLine line = *approach_;
    int startStep = steps_;
    // Down the path to the flare, then the sink rate eases off with the
    // height: sink = touchdown sink + gain * height, the gain set at the flare
    // height so the sink rate carries on from the path's without a step.
    std::optional<double> flareGain;  // fpm per foot of height, once flaring
    while (!onGround_) {
      double height = Height();
      if (!flareGain && height <= kFlareHeightFt) {
        flareGain = std::max(0.0, -verticalSpeed_ - kTouchdownSinkFpm) / std::max(height, 1.0);
      }
      double vsCmd = flareGain ? -(kTouchdownSinkFpm + *flareGain * std::max(height, 0.0))
                               : GlidePathVerticalSpeed(line, approachLevel_);
      double accel = flareGain ? -kFlareDecel : 0;
      Advance(accel, TurnToward(InterceptHeading(line, approachOffset_, 1500)), vsCmd);
      if (Height() <= 0) {
        onGround_ = true;
        altitude_ = GroundElevation(position_);
        // The sink rate stops at once here. A sample at the touchdown, with
        // the sink rate it had, and another a step later keep that jump
        // inside one short interval, so the samples still agree with their
        // vertical speeds (a sample taken in this step was still airborne).
        if (recordedStep_ == steps_) flight_.samples.pop_back();
        Record();
      }
      if (TimedOut(startStep)) return common::Fail("the landing never touches down");
    }
    double brake = step.brakeKtPerS > 0 ? step.brakeKtPerS : kLandingBrake;
    int touchdownStep = steps_;
    while (ias_ > step.vacateKt) {
      bool derotating = (steps_ - touchdownStep) * kStep < kDerotationSeconds;
      double decel = derotating ? 1.0 : (ias_ > 30 ? brake : std::min(brake, 2.0));
      Advance(SpeedToward(ias_, step.vacateKt, 0, decel), TurnToward(InterceptHeading(line, approachOffset_, 600)));
      if (steps_ == touchdownStep + 1 && recordedStep_ != steps_) Record();
    }
    if (step.vacateKt <= 0) turnRate_ = 0;
    if (approachOffset_ == 0 && line.Along(position_) > line.lengthFt) {
      return common::Fail("the landing roll leaves the end of runway " + line.designator);
    }
    approach_.reset();
    lastRunway_ = line;
    return {};
  }

  common::Result<> GoAround(const PlanStep& step) {
    double reference = approach_ ? approach_->elevationFt : GroundElevation(position_);
    double climbTo = reference + (step.climbFt > 0 ? step.climbFt : kDefaultGoAroundHeightFt);
    if (flaps_ > 0) flaps_ -= 1;
    double speed = ias_ + 15;
    double heading = heading_;
    int startStep = steps_;
    while (altitude_ < climbTo) {
      if (gearDown_ && verticalSpeed_ > 500 && (steps_ - startStep) * kStep > 5) gearDown_ = false;
      double turn =
          approach_ ? TurnToward(InterceptHeading(*approach_, approachOffset_, AirLookAhead())) : TurnToward(heading);
      Advance(SpeedToward(ias_, speed, kAirAccel, kAirDecel), turn, kGoAroundClimbFpm);
      if (auto error = CheckClearOfGround(); !error) return error;
      if (TimedOut(startStep)) return common::Fail("the go-around never reaches its height");
    }
    approach_.reset();
    holdAltitude_ = altitude_;
    targetSpeed_ = speed;
    return {};
  }

  const FlightPlan& plan_;
  const RunwayList& runways_;
  Flight& flight_;
  LocalFrame frame_;
  std::vector<std::pair<LocalPoint, double>> elevations_;

  LocalPoint position_;
  double altitude_ = 0;
  double heading_ = 0;
  double ias_ = 0;
  double verticalSpeed_ = 0;
  double turnRate_ = 0;
  bool onGround_ = true;
  bool gearDown_ = true;
  int flaps_ = 0;
  int steps_ = 0;
  int recordedStep_ = -1;
  double travelled_ = 0;
  double holdAltitude_ = 0;
  double targetSpeed_ = 0;
  std::optional<RunwayLine> lastRunway_;
  std::optional<RunwayLine> approach_;
  double approachOffset_ = 0;
  double approachLevel_ = 0;
};

}  // namespace

common::Result<> BuildFlight(const FlightPlan& plan, const RunwayList& runways, Flight& flight) {
  if (runways.empty()) return common::Fail("no runways to fly at");
  Builder builder(plan, runways, flight);
  return builder.Run();
}

}  // namespace orvante::flightplan
