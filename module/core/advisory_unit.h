// The one top-level object of the module, created at start-up and destroyed at
// shut-down. Composed, in order, of the runway database part, the profile and
// sound-set part, the aircraft sample and its previous-cycle copy, and the
// cycle state with the flap positions list, the panel-variable identifiers and
// the advisory state.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "advisories/advisory_state.h"
#include "advisories/aircraft_state.h"
#include "profiles/profile_part.h"
#include "runways/runway_database.h"
#include "gauges.h"

namespace orvante {

// Timers of the update cycle, in seconds of cycle time (0.25 s a cycle). The
// worker advances them; the simulator's thread primes and resets them.
struct CycleState {
  std::atomic<float> cycleStep{0};
  std::atomic<float> queryTimer{0};
  std::atomic<float> panelVarTimer{0};
  std::atomic<int32_t> panelVarsPending{0};
};

// The frame sample as the simulator's thread takes it. It crosses to the
// worker whole, under the lock, never torn.
struct FrameSample {
  std::mutex lock;
  AircraftState latest;
};

// Identifiers of the named panel variables, valid once registered.
struct PanelVariableIds {
  bool registered = false;
  ID volumeAdjust = 0;  // "ORVA_Volume_Adjust"
  ID rwyVar1 = 0;       // "ORVA_Rwy_Var1"
  ID rwyVar2 = 0;       // "ORVA_Rwy_Var2"
  ID rwyVar3 = 0;       // "ORVA_Rwy_Var3"
  ID enable = 0;        // "ORVA_Enable"
  ID alert = 0;         // "ORVA_Alert"
  ID mute = 0;          // "ORVA_Mute"
};

struct AdvisoryUnit {
  // 1. Runway database. The list is rebuilt by the worker's query and read by
  // the simulator's thread for the runway panel variables, under runwayListLock.
  RunwayDatabase runways;
  std::mutex runwayListLock;
  // 2. Profile and sound sets.
  ProfilePart profile;
  // 3. The worker's sample of this cycle and the previous cycle's copy.
  FrameSample frame;
  AircraftState sample;
  AircraftState previousSample;
  // 4. Cycle state, flap positions, panel variables, advisory state.
  CycleState cycle;
  std::vector<uint32_t> flapPositions;  // flap deflection per flaps-handle detent
  PanelVariableIds panelVariables;
  AdvisoryState state;
};

// Builds the unit: opens the runway table, lists sound sets and profiles,
// opens the start profile and loads its sound set, and clears the rest.
// Returns null when the object cannot be allocated.
AdvisoryUnit* CreateAdvisoryUnit();

// Tears the unit down in order: flap list, profile and sound-set part (with
// the sound-set unload), runway database.
void DestroyAdvisoryUnit(AdvisoryUnit* unit);

// Turns the profile's master switch from 0 to 1, or from anything else to 0.
void ToggleMasterSwitch(AdvisoryUnit& unit);

}  // namespace orvante
