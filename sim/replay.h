// Replaying a recorded flight through the simulator's add-ons in virtual
// time (or, for a pilot to hear it, in real time): frames at 30 Hz of virtual time, the events of the events file at
// their frames, the module's worker paced by the virtual clock, and the
// transcript of what the module did. The same flight and events give the
// same transcript, byte for byte.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "aircraft_source.h"
#include "common/result.h"
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
  // printed with its cue names).
  bool realtime = false;
  // A recording of the cockpit audio: the device is the WAV file at
  // recordPath, and callouts are reported as they begin. In virtual time the
  // flight goes in lockstep with the device's mixing, as fast as the machine
  // mixes; with `realtime`, on the wall clock.
  std::string recordPath;
  SpokenCallouts::Listener spoken;
  // With a source whose frames carry their arrival time (a live simulator):
  // each callout as it begins, with how long after the arrival of the frame
  // its cycle sampled (seconds).
  std::function<void(double t, const std::vector<std::string>& cues, double latency)> spokenLatency;
  // Told at each frame how far the flight has come, in seconds, of how many.
  std::function<void(double seconds, double total)> progress;
  // The process's figures (memory, files, threads, audio handles, queue) at
  // the first frame and every vitalsEverySeconds of virtual time after it.
  std::string vitalsPath;
  double vitalsEverySeconds = 3600;
  // Frames paced by the wall clock and the add-ons' own threads on the wall
  // clock too, side by side with the frames, as in a real simulator: the
  // simulator's events meet the add-on's worker wherever it is. The
  // transcript is then not reproducible.
  bool wallClock = false;
};

// How a flight went. A flight that fails says why instead: a file's line and
// column, or what could not be done.
struct ReplayFigures {
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

common::Result<ReplayFigures> RunReplay(const ReplayOptions& options, const Simulator::Output& say);

// One flight through the installed add-ons, the aircraft coming from any
// source: the simulator, the virtual clock (moved on to each frame's time),
// the source's events at their frames, the transcript and, paced, the
// callouts as they are spoken. Of the options it uses the simulator, the
// transcript, realtime, recordPath and the listeners.
common::Result<ReplayFigures> RunFlight(const ReplayOptions& options, AircraftSource& source,
                                        const Simulator::Output& say);

}  // namespace sim
