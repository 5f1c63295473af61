// Which simulator loaded the module, told from the process's executable.
#pragma once
#include <string>

namespace orvante {

struct DetectedSimulator {
  int kind = -1;          // SimulatorKind
  std::string directory;  // folder of the executable, without the trailing separator
};

// Recognises "prepar3d.exe" (11), "fsx.exe" (10) and "fs9.exe" (9), letter case
// ignored. The folder is filled whenever the path has a separator.
DetectedSimulator DetectSimulator(const std::string& executablePath);

}  // namespace orvante
