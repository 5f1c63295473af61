// The flight plan: a short text naming an airport, where the aircraft
// starts, and the phases it flies, one a line. The grammar and the units are
// described in tools/flightplan/README.md; ParseFlightPlan checks the words
// and numbers, and the flight builder checks that the phases fit together.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace orvante::flightplan {

// A place at the airport: relative to a runway end (feet down the runway
// from its threshold, feet right of its centreline looking down it), or
// plain coordinates.
struct Place {
  bool onRunway = true;
  std::string runway;
  double alongFt = 0;
  double rightFt = 0;
  double latitude = 0;
  double longitude = 0;
};

enum class PhaseKind {
  kStart,            // start PLACE heading DEG [height FT speed KT]
  kTaxiHeading,      // taxi heading DEG for FT [speed KT]
  kTaxiTo,           // taxi to PLACE [speed KT]
  kLineUp,           // lineup RWY [speed KT]
  kHold,             // hold SECONDS [brake KT_PER_S]
  kTakeOff,          // takeoff [rotate KT] [climb FT] [flaps N]
  kRejectedTakeOff,  // reject KT [brake KT_PER_S]
  kClimb,            // climb to FT [speed KT] [rate FPM] [heading DEG [left|right]]
  kFlyHeading,       // fly heading DEG [left|right] for N nm|s [speed KT]
  kGear,             // gear up|down
  kFlaps,            // flaps N
  kApproach,         // approach RWY from NM [speed KT] [gear ...] [flaps ...] [offset FT left|right]
  kLand,             // land [brake KT_PER_S] [vacate KT]
  kGoAround,         // goaround [climb FT]
};

// What an approach sets: speed, gear or flaps, at once or once the height
// above the threshold is at or below belowFt.
struct ApproachSetting {
  enum class What { kSpeed, kGear, kFlaps } what = What::kSpeed;
  double value = 0;
  std::optional<double> belowFt;
};

struct PlanStep {
  PhaseKind kind = PhaseKind::kHold;
  uint32_t line = 0;
  std::string text;  // the plan line, for messages and the flight file's notes
  Place place;
  std::string runway;
  double headingDeg = 0;
  bool hasHeading = false;  // climb: turns onto headingDeg on the way
  int turnDirection = 0;    // -1 left, +1 right, 0 the shorter way
  double distanceFt = 0;    // taxi heading, fly heading in nm (converted)
  double seconds = 0;       // hold, fly heading for a time
  bool airborne = false;    // start: in flight, heightFt above the place's ground, at speedKt
  double heightFt = 0;
  double speedKt = 0;  // 0: the phase's default
  double rotateKt = 0;
  double climbFt = 0;     // height above the runway ending a take-off or go-around
  double altitudeFt = 0;  // climb to
  double rateFpm = 0;
  double brakeKtPerS = 0;
  double vacateKt = 0;
  double fromNm = 0;
  double offsetRightFt = 0;  // approach: the line flown lies this far right of the centreline
  int flaps = -1;            // -1: unchanged
  bool gearDown = true;
  std::vector<ApproachSetting> settings;
};

struct FlightPlan {
  std::string airport;
  std::vector<PlanStep> steps;
};

// Parses the plan text. A failure says "line L, column C: what is wrong".
common::Result<> ParseFlightPlan(std::string_view text, FlightPlan& plan);

// The phase's keyword as a plan writes it ("takeoff", "approach").
const char* PhaseKeyword(PhaseKind kind);

}  // namespace orvante::flightplan
