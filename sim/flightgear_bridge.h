// orvante-sim flightgear: the stand-in simulator hosting the add-ons while a
// running FlightGear flies the user's aircraft. The flight is the session a
// replay runs, its source the FlightGear link; it runs in real time with the
// voice through the audio device until Ctrl-C.
#pragma once
#include <cstdint>
#include <string>

#include "flightgear_source.h"
#include "replay.h"

namespace sim {

struct FlightGearBridgeOptions {
  ReplayOptions flight;  // simulator, transcript, recordPath and the spoken listener
  FlightGearLinkOptions link;
};

struct FlightGearBridgeResult {
  common::Result<ReplayFigures> flight = ReplayFigures{};  // how the flight went, or why it failed
  FlightGearLinkCounts counts;
  size_t callouts = 0;       // callouts spoken with a known latency
  double medianLatency = 0;  // seconds from the sampled record to the callout's start
  double longestLatency = 0;
  double cpuSeconds = 0;  // the process's user and system time while the flight ran
};

// The fgfs options that send our records to the bridge and show its text
// lines: the simulator folder's FlightGear folder as a data folder (for
// Protocol/orvante.xml) and the protocol's output and input.
std::string FlightGearOptions(const std::string& simulatorDir, uint16_t port, uint16_t textPort);

FlightGearBridgeResult RunFlightGearBridge(FlightGearBridgeOptions options, const Simulator::Output& say);

}  // namespace sim
