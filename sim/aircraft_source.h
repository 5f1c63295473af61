// Where the user's aircraft comes from. A recorded flight (replay, and the
// flights that fly builds) and a running FlightGear (live) are sources; each
// hands the flight session one frame at a time, and the session applies the
// frame the same way whatever the source: due events first, then the
// aircraft, then the simulator's frame. Nothing below the source knows which
// one flies.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "aircraft_values.h"
#include "events_file.h"

namespace sim {

struct SourceFrame {
  int64_t microseconds = 0;  // flight time; never less than the last frame's
  AircraftValues aircraft;   // eye-point values are the session's own
  // Events that arose with this frame (a live simulator's aircraft changing);
  // they join the flight's events and apply at the first frame at or after
  // their time.
  std::vector<ReplayEvent> events;
  // When the frame's data reached us on the wall clock (steady clock,
  // microseconds), for a live source; 0 when it has none.
  int64_t arrivedMicroseconds = 0;
};

class AircraftSource {
 public:
  virtual ~AircraftSource() = default;

  // The events known before the flight starts, in time order.
  virtual std::vector<ReplayEvent> Events() const { return {}; }

  // Waits for the next frame, as long as the source paces it. False when the
  // flight is over. `speaking` says whether a callout is being spoken now.
  virtual bool Next(SourceFrame& frame, bool speaking) = 0;

  // The add-ons sent a text line to the simulator.
  virtual void TextLine(const std::string& text) { (void)text; }

  // The verb of the session's closing summary ("replayed 60.0 s of virtual time ...").
  virtual const char* SummaryVerb() const { return "replayed"; }
};

}  // namespace sim
