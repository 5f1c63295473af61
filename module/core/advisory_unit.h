// The one top-level object of the module, created at start-up and destroyed at
// shut-down. Composed, in order, of the runway database part, the profile and
// sound-set part, the aircraft sample and its previous-cycle copy, and the
// cycle state with the flap positions list, the panel-variable identifiers and
// the advisory state.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "module/profiles/profile_part.h"

namespace orvante {

// Timers of the update cycle, in seconds of cycle time (0.25 s a cycle).
struct CycleState {
  std::atomic<float> cycleStep{0};
  std::atomic<float> queryTimer{0};
  std::atomic<float> panelVarTimer{0};
  std::atomic<int32_t> panelVarsPending{0};
};

struct AdvisoryUnit {
  ProfilePart profile;
  CycleState cycle;
  std::vector<uint32_t> flapPositions;  // flap deflection per flaps-handle detent
};

// Builds the unit: opens the runway table, lists sound sets and profiles,
// opens the start profile and loads its sound set, and clears the rest.
// Returns null when the object cannot be allocated.
AdvisoryUnit* CreateAdvisoryUnit();

// Tears the unit down in order: flap list, profile and sound-set part (with
// the sound-set unload), runway database.
void DestroyAdvisoryUnit(AdvisoryUnit* unit);

}  // namespace orvante

namespace orvante {

// Turns the profile's master switch from 0 to 1, or from anything else to 0.
void ToggleMasterSwitch(AdvisoryUnit& unit);

}  // namespace orvante
