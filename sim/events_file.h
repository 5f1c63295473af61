// The events of a replay: the stand-in's events file (CSV "t,event,args…",
// an optional header row "t,event,…"), each applied at the first frame at or
// after its time, in file order among events of the same frame.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace sim {

// Remove and Copy change files while the simulator runs, as the user or
// another program might: `remove,PATH` deletes a file, or a folder with all
// it holds; `copy,FROM,TO` replaces TO by a copy of FROM. A relative path
// starts at the simulator folder; a path must lie inside the simulator or
// the application-data folder.
enum class EventKind { AircraftLoaded, SimStart, SimStop, Crash, Lvar, Key, Eyepoint, Menu, Dialog, Remove, Copy };

struct ReplayEvent {
  double t = 0;
  EventKind kind = EventKind::SimStart;
  int line = 0;                // where it was written, for messages
  std::string text;            // aircraft_loaded: the path; lvar: the name; dialog: the action as written;
                               // remove, copy: the path (copy: the source)
  std::string target;          // copy: where the copy goes
  double value = 0;            // lvar: the value
  uint32_t keyId = 0;          // key: the event identifier
  double x = 0, y = 0, z = 0;  // eyepoint, feet
};

struct EventsFile {
  std::vector<ReplayEvent> events;  // ordered by time, file order kept among equal times
};

// A failure says "FILE:LINE:COLUMN: what is wrong".
common::Result<EventsFile> ParseEventsFile(std::string_view text, const std::string& name);
common::Result<EventsFile> ReadEventsFile(const std::string& path);

// The events of a replay without an events file: the aircraft loads and the
// simulation starts at 0.
std::vector<ReplayEvent> DefaultEvents(const std::string& aircraftPath);

}  // namespace sim
