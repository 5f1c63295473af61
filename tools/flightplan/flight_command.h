// The command that turns a plan into a flight file:
//   PLAN [--sim-dir DIR] [--out FLIGHT.csv] [--repeat-for SECONDS]
// The runways come from DIR's runway table (the build's simulator folder
// unless given). Without --out the flight goes to standard output.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "flight.h"

#include "common/result.h"

namespace orvante::flightplan {

// Reads the plan file, the runways of its airport from simDir's runway
// table, and builds the flight. A failure says what went wrong ("PLAN: line L,
// column C: ...", "PLAN: plan line N: ...", or what the table lacks).
common::Result<> FlightFromPlanFile(const std::string& planPath, const std::string& simDir, Flight& flight);

// Runs the command with its arguments (those after the command's name).
// Returns the process exit code: 0 done, 1 the plan cannot be flown or a
// file cannot be read or written, 2 a usage error.
int RunFlightCommand(const std::vector<std::string>& args, const std::string& defaultSimDir, std::FILE* out,
                     std::FILE* err);

// The value of --repeat-for: a number of seconds above 0 (at most 1e7), or
// nothing.
std::optional<double> ParseRepeatSeconds(const std::string& text);

// The usage text.
std::string FlightCommandUsage(const std::string& name);

}  // namespace orvante::flightplan
