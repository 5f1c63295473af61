// SituationContext: everything one assessment works on, gathered by the update
// cycle for the length of one cycle. The engine's functions take it instead of
// the whole top-level object, so they can run, and be tested, on any sample,
// profile and runway list.
//
// The context only refers to its parts. The sample is the worker's own copy of
// the latest frame (the simulator's thread never writes it during a cycle), and
// the runway list and its records stay put until the next query, which runs
// only at the start of a cycle.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "advisories/advisory_state.h"
#include "advisories/aircraft_state.h"
#include "profiles/profile_settings.h"
#include "runways/runway_record.h"

namespace orvante {

// Where the announcement pass sends what it says. Either may be empty: no
// voice (nothing is queued) or no simulator connection (no text line).
struct AnnouncementOutput {
  // Appends cue names, in order, to the playback queue; with cutCurrent the
  // queue is emptied first when it is playing.
  std::function<void(const std::vector<std::string>& cueNames, bool cutCurrent)> queueAnnouncement;
  // Shows a text line in the simulator.
  std::function<void(const std::string& text)> showText;
};

struct SituationContext {
  AircraftState& sample;          // this cycle's sample; moved to the aircraft point
  AircraftState& previousSample;  // the sample block of the last assessed cycle
  const ProfileSettings& profile;
  const std::vector<uint32_t>& flapPositions;  // flap angle per handle detent, from aircraft.cfg
  const RunwayList& runways;
  AdvisoryState& state;
  double eyepointX_m = 0;   // cockpit eye point relative to the reference point: lateral, metres
  double eyepointZ_m = 0;   // longitudinal, metres
  float cycleStep = 0.25f;  // seconds credited to this cycle
  const AnnouncementOutput* output = nullptr;
};

}  // namespace orvante
