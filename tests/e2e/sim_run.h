// Runs the stand-in simulator as a user would, and collects what it printed.
#pragma once
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

struct SimRun {
  int exitCode = -1;
  std::string output;
  double seconds = 0;
};

inline std::string BuildDir() {
  const char* dir = std::getenv("ORVANTE_BUILD_DIR");
  return dir ? dir : ORVANTE_DEFAULT_BUILD_DIR;
}

// Runs `orvante-sim <arguments>` through the shell, output and errors together.
inline SimRun RunSim(const std::string& arguments) {
  SimRun run;
  std::string command =
      "SDL_AUDIODRIVER=dummy SDL_NO_SIGNAL_HANDLERS=1 " + BuildDir() + "/bin/orvante-sim " + arguments + " 2>&1";
  auto start = std::chrono::steady_clock::now();
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) run.output.append(chunk, n);
  int status = pclose(pipe);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
