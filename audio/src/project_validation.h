// Checks of the three project files before FACT sees them: FACT trusts its
// input completely, so a damaged bank must be refused here.
#pragma once
#include <string>

#include "project_file.h"

namespace vscaudio {

struct ProjectCheck {
  bool ok = true;
  int badFile = -1;     // ProjectFileIndex of the file at fault
  std::string message;  // what is wrong
};

ProjectCheck ValidateProjectFiles(const ProjectFile& xgs, const ProjectFile& xwb, const ProjectFile& xsb);

}  // namespace vscaudio
