// Checks of the three project files before FACT sees them: FACT trusts its
// input completely, so a damaged bank must be refused here.
#pragma once
#include <string>

#include "common/result.h"
#include "project_file.h"

namespace vscaudio {

// Why the project files were refused.
struct ProjectFault {
  int badFile = -1;     // ProjectFileIndex of the file at fault
  std::string message;  // what is wrong
};

common::Result<void, ProjectFault> ValidateProjectFiles(const ProjectFile& xgs, const ProjectFile& xwb,
                                                        const ProjectFile& xsb);

}  // namespace vscaudio
