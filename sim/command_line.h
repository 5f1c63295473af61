// The stand-in simulator's command line:
//   orvante-sim start [--sim-dir DIR] [--appdata DIR] [--seconds N]
//                     [--as prepar3d|fsx|fs9] [--dll-xml PATH]
// Options take their value as the next argument or after '='.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "simulator.h"

namespace sim {

enum class Command { Start, Help };

struct CommandLine {
  bool ok = false;
  std::string error;  // when not ok
  Command command = Command::Help;
  SimulatorOptions options;       // folders made absolute, defaults filled in
  std::optional<double> seconds;  // run time; none runs until asked to stop
};

// Reads the arguments after the program name. defaultSimulatorDir is the
// folder "sim" beside the program's own folder.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments, const std::string& defaultSimulatorDir);

// The usage text.
std::string Usage();

}  // namespace sim
