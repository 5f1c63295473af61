// orvante-report: draws the report of a flight from its transcript.
#include <filesystem>

#include "report_command.h"

int main(int argc, char** argv) {
  // The build's simulator folder: "sim" beside this program's folder.
  std::error_code error;
  std::filesystem::path program = std::filesystem::canonical("/proc/self/exe", error);
  std::string simDir = error ? "sim" : (program.parent_path().parent_path() / "sim").string();
  std::string phrases = std::filesystem::exists(ORVANTE_DEFAULT_VOICE_MANIFEST) ? ORVANTE_DEFAULT_VOICE_MANIFEST : "";
  return orvante::report::RunReportCommand(std::vector<std::string>(argv + 1, argv + argc), simDir, phrases, stdout,
                                           stderr);
}
