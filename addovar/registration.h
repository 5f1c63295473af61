// Registering the module in FSX-SE's dll.xml and removing it again: the steps
// of install ("-INSTALL") and uninstall ("-UN_INSTALL") and the command line
// that chooses between them. A failing step stops the action and shows the
// failure message; what was written before it stays.
#pragma once
#include <optional>
#include <string>

#include "registration_paths.h"
#include "step_result.h"

namespace addovar {

// Backs up dll.xml and adds the module's block, or, without a dll.xml, copies
// the add-on's template in its place. Ends early, with a message box, when
// FSX-SE is not found or the template is missing.
StepResult PrepareInstall(const RegistrationPaths& paths);

// Adds the module's block before "</SimBase.Document>" unless the module is
// listed already. Nothing happens when dll.xml does not exist.
StepResult AddAddonBlock(const std::string& dllXml);

// Gives the two known PMDG entries their missing opening tag and writes the
// file, changed or not. Nothing happens when dll.xml does not exist.
StepResult RepairLaunchTags(const std::string& dllXml);

// Puts the backup back in place of dll.xml. dll.xml is replaced by a rename,
// so a rename that fails leaves it as it was; it keeps its attributes.
StepResult RestoreBackup(const RegistrationPaths& paths);

// Removes the module's entries, each from its opening to its closing tag, and
// nothing else. Fails (after writing what could be removed) when a line names
// the module outside a complete entry.
StepResult RemoveAddonBlock(const std::string& dllXml);

// Deletes dll.xml when no line opens an add-on entry any more.
StepResult DeleteEmptyDllXml(const std::string& dllXml);

// The two actions, each with its paths worked out afresh.
StepResult Install();
StepResult Uninstall();

// Runs the action the argument names ("-INSTALL", "-UN_INSTALL", letter case
// significant) or shows the not-for-direct-use message. Returns the exit code,
// which is always 0.
int RunRegistration(const std::optional<std::string>& argument);

}  // namespace addovar
