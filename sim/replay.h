// Replaying a recorded flight through the simulator's add-ons in virtual
// time (or, for a pilot to hear it, in real time): frames at 30 Hz of virtual time, the events of the events file at
// their frames, the module's worker paced by the virtual clock, and the
// transcript of what the module did. The same flight and events give the
// same transcript, byte for byte.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "simulator.h"
#include "spoken_callouts.h"

namespace sim {

struct ReplayOptions {
  SimulatorOptions simulator;
  std::string flightPath;
  std::string eventsPath;      // empty: the aircraft loads and the simulation starts at 0
  std::string aircraftPath;    // --aircraft
  std::string transcriptPath;  // empty: no transcript file
  // Real time: frames paced by the wall clock, the cues played through the
  // audio device, each callout reported as it begins (to `spoken`, else
  // printed with its cue names). A recording flies in real time too, the
  // device being the WAV file at recordPath.
  bool realtime = false;
  std::string recordPath;
  SpokenCallouts::Listener spoken;
};

struct ReplayResult {
  bool ok = false;
  std::string error;  // when not ok: a file's line and column, or what could not be done
  uint64_t frames = 0;
  double virtualSeconds = 0;
  double wallSeconds = 0;
  uint64_t transcriptLines = 0;
};

// The flight-model path an aircraft_loaded event passes on: a file as it is;
// for an aircraft folder, the .air file that its aircraft.cfg names in
// [fltsim.0] "sim" (or the folder's own name). Relative paths start at the
// simulator folder when they exist there. A path that does not exist is passed
// on as written, with a note.
struct ResolvedAircraft {
  std::string flightModelPath;
  std::string note;  // what the user should know, or empty
};
ResolvedAircraft ResolveAircraftPath(const std::string& path, const std::string& simulatorDir);

ReplayResult RunReplay(const ReplayOptions& options, const Simulator::Output& say);

}  // namespace sim
