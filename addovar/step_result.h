// What a step of the registration reports: done, or failed with the reason
// (common::Result). The user sees only the failure message box; the reason
// goes to the program's standard error so that a log of the installer can
// tell why.
#pragma once
#include "common/result.h"

namespace addovar {

using StepResult = common::Result<>;

}  // namespace addovar
