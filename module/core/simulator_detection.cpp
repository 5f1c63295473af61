// Simulator detection from the executable's path; either '\' or '/' separates.
#include "core/simulator_detection.h"

#include "core/module_state.h"
#include "platform/files.h"
#include "common/text.h"

namespace orvante {

DetectedSimulator DetectSimulator(const std::string& executablePath) {
  DetectedSimulator result;
  std::string path = executablePath.substr(0, 260);
  if (path.empty()) return result;
  size_t separator = platform::LastSeparator(path);
  if (separator == std::string::npos) return result;
  const char* name = path.c_str() + separator + 1;
  if (common::EqualsIgnoringCase(name, "prepar3d.exe")) result.kind = kSimulatorPrepar3d;
  else if (common::EqualsIgnoringCase(name, "fsx.exe")) result.kind = kSimulatorFsx;
  else if (common::EqualsIgnoringCase(name, "fs9.exe")) result.kind = kSimulatorFs9;
  result.directory = path.substr(0, separator);
  return result;
}

}  // namespace orvante
