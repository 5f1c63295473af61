// AdvisoryState: the advisory engine's memory between cycles. The per-cycle
// fields (alert word, marks, designator, aligned runway, flags) are cleared at
// the start of every assessment; each of the alert word, the marks and the
// designator also keeps the last assessed cycle's value, which the
// announcement pass compares against to speak only what is newly raised.
//
// The worker thread owns the state. Two fields cross threads: the simulator's
// thread writes `muted` from the panel variable "ORVA_Mute" and reads
// `previousAlertWord` for "ORVA_Alert"; both are atomic single values.
#pragma once
#include <atomic>
#include <cstdint>
#include <cstring>

#include "runways/runway_record.h"

namespace orvante {

struct AdvisoryState {
  uint32_t alertWord = 0;                      // bits raised in this cycle
  std::atomic<uint32_t> previousAlertWord{0};  // alertWord of the last assessed cycle
  uint32_t remainingMarks = 0;                 // distance-remaining marks of this cycle (5 bits)
  uint32_t previousRemainingMarks = 0;
  char currentDesignator[5] = {};  // runway end that last raised a runway alert this cycle
  char previousDesignator[5] = {};
  uint32_t approachArmed = 0;                   // an approach is under way
  const RunwayRecord* alignedRunway = nullptr;  // end lined up with in the air; this cycle only
  int32_t alignedRunwayDistance = -1;           // whole NM to alignedRunway's end; -1 none
  int32_t nearestThresholdDistance = -1;        // least whole NM to an examined end in the air; -1 none
  uint32_t multipleRunways = 0;                 // an approaching alert came from two or more ends
  uint32_t linedUpOnRunway = 0;                 // lined up on some runway end this cycle, decided
                                                // before any end is examined
  uint32_t flapsBelowLowerGate = 0;
  uint32_t gateAlertLatched = 0;
  uint32_t storedDistance = 0;  // whole feet or metres
  int32_t maxGroundSpeed = 0;   // knots
  uint32_t rejectedTakeOff = 0;
  uint32_t holdPhase = 0;
  float holdTimer = 0;             // seconds
  float altimeterTimer = 0;        // seconds
  double suppressionFloor = 0;     // feet; airborne approach callouts withheld
  double suppressionCeiling = 0;   // between floor and ceiling
  std::atomic<uint32_t> muted{0};  // announcements off
};

// Copies a runway designator (at most 4 characters) into a designator field,
// always terminated.
inline void CopyDesignator(char (&to)[5], const char (&from)[5]) {
  std::memcpy(to, from, sizeof to);
  to[sizeof to - 1] = '\0';
}

}  // namespace orvante
