// orvante-flight: builds a scripted flight at a real airport from a plan.
#include <filesystem>

#include "flight_command.h"

int main(int argc, char** argv) {
  // The build's simulator folder: "sim" beside this program's folder.
  std::error_code error;
  std::filesystem::path program = std::filesystem::canonical("/proc/self/exe", error);
  std::string simDir = error ? "sim" : (program.parent_path().parent_path() / "sim").string();
  return orvante::flightplan::RunFlightCommand(std::vector<std::string>(argv + 1, argv + argc), simDir, stdout, stderr);
}
