// The stand-in simulator's command line:
//   orvante-sim start [--sim-dir DIR] [--appdata DIR] [--seconds N]
//                     [--as prepar3d|fsx|fs9] [--dll-xml PATH]
//   orvante-sim replay FLIGHT.csv [--events EVENTS.csv] [--sim-dir DIR]
//                     [--appdata DIR] [--aircraft PATH] [--transcript OUT.jsonl]
//   orvante-sim flightgear [--port N] [--text-port N] [--sim-dir DIR] [--appdata DIR]
//                     [--transcript OUT.jsonl] [--record OUT.wav] [--capture OUT.txt]
//                     [--print-fgfs-options]
// Options take their value as the next argument or after '='.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "common/result.h"
#include "flightgear_bridge.h"
#include "replay.h"
#include "simulator.h"

namespace sim {

enum class Command { Start, Replay, FlightGear, Help };

struct CommandLine {
  Command command = Command::Help;
  SimulatorOptions options;            // folders made absolute, defaults filled in
  std::optional<double> seconds;       // run time; none runs until asked to stop
  ReplayOptions replay;                // replay: files made absolute, simulator options as above
  FlightGearBridgeOptions flightgear;  // flightgear: the flight's options as replay's, and the link
  bool printFgfsOptions = false;       // flightgear: print fgfs's options and stop
};

// Reads the arguments after the program name. defaultSimulatorDir is the
// folder "sim" beside the program's own folder. A failure says what is wrong
// with the arguments.
common::Result<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments,
                                             const std::string& defaultSimulatorDir);

// The usage text.
std::string Usage();

}  // namespace sim
