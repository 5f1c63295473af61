// What a step of the registration reports: done, or failed with the reason.
// The user sees only the failure message box; the reason goes to the
// program's standard error so that a log of the installer can tell why.
#pragma once
#include <string>
#include <utility>

namespace addovar {

struct StepResult {
  bool ok = true;
  std::string problem;

  static StepResult Done() { return {}; }
  static StepResult Failed(std::string why) { return {false, std::move(why)}; }
};

}  // namespace addovar
