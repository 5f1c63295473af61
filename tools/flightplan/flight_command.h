// The command that turns a plan into a flight file:
//   PLAN [--sim-dir DIR] [--out FLIGHT.csv]
// The runways come from DIR's runway table (the build's simulator folder
// unless given). Without --out the flight goes to standard output.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

namespace orvante::flightplan {

// Runs the command with its arguments (those after the command's name).
// Returns the process exit code: 0 done, 1 the plan cannot be flown or a
// file cannot be read or written, 2 a usage error.
int RunFlightCommand(const std::vector<std::string>& args, const std::string& defaultSimDir, std::FILE* out,
                     std::FILE* err);

// The usage text.
std::string FlightCommandUsage(const std::string& name);

}  // namespace orvante::flightplan
