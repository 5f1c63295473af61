// Running a program of the build under test conditions: with extra
// environment (the fault library preloaded and its rules), its output
// collected, and a watchdog that kills it when it runs longer than allowed,
// so a hang fails the test instead of stopping the suite.
#pragma once
#include <chrono>
#include <string>
#include <vector>

namespace faults {

struct ProgramRun {
  int exitCode = -1;      // when it exited
  int signal = 0;         // when a signal ended it
  bool timedOut = false;  // the watchdog ended it
  std::string output;     // standard output and error together
  double seconds = 0;
};

// The build folder ($ORVANTE_BUILD_DIR, else the one the tests were built in).
std::string BuildDir();

// The fault library (LD_PRELOAD) of the build.
std::string FaultLibrary();

// Environment entries ("NAME=value") that preload the fault library with
// these rules; a switch file makes them act only while it exists, and each
// fault injected is written as a line to logFile.
std::vector<std::string> FaultEnvironment(const std::string& rules, const std::string& switchFile,
                                          const std::string& logFile);

// Runs argv with the environment of this process plus `environment` (later
// entries win), SDL's dummy audio driver unless given, SDL's signal handlers
// off. Ends it with SIGKILL after `timeout`.
ProgramRun RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                      std::chrono::milliseconds timeout);

// The lines of a file (empty when it does not exist).
std::vector<std::string> FileLines(const std::string& path);

}  // namespace faults
