// The command that turns a plan into a flight file:
//   PLAN [--sim-dir DIR] [--out FLIGHT.csv]
// The runways come from DIR's runway table (the build's simulator folder
// unless given). Without --out the flight goes to standard output.
#pragma once
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "flight.h"

namespace orvante::flightplan {

// Reads the plan file, the runways of its airport from simDir's runway
// table, and builds the flight. Returns an error text ("PLAN: line L,
// column C: ...", "PLAN: plan line N: ...", or what the table lacks).
std::optional<std::string> FlightFromPlanFile(const std::string& planPath, const std::string& simDir, Flight& flight);

// Runs the command with its arguments (those after the command's name).
// Returns the process exit code: 0 done, 1 the plan cannot be flown or a
// file cannot be read or written, 2 a usage error.
int RunFlightCommand(const std::vector<std::string>& args, const std::string& defaultSimDir, std::FILE* out,
                     std::FILE* err);

// The usage text.
std::string FlightCommandUsage(const std::string& name);

}  // namespace orvante::flightplan
