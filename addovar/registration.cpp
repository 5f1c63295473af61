// The install and uninstall actions of the registration utility.
#include "registration.h"

#include <cstdio>
#include <platform/files.h>

#include "addon_block.h"
#include "dll_xml_file.h"
#include "registration_messages.h"

namespace addovar {

namespace {

StepResult NeedDllXmlPath(const RegistrationPaths& paths) {
  if (paths.dllXml.empty())
    return common::Fail("the user's application-data folder is unknown (no roaming folder in the Wine prefix)");
  return StepResult();
}

std::string FolderOf(const std::string& path) {
  size_t separator = platform::LastSeparator(path);
  return separator == std::string::npos ? std::string() : path.substr(0, separator);
}

bool ClearReadOnly(const std::string& path) {
  uint32_t attributes = platform::GetFileAttributesU8(path);
  if (attributes == platform::kInvalidFileAttributes || !(attributes & platform::kFileAttributeReadOnly)) return true;
  return platform::SetFileAttributesU8(path, attributes & ~platform::kFileAttributeReadOnly);
}

}  // namespace

StepResult PrepareInstall(const RegistrationPaths& paths) {
  if (paths.simulatorFolder.empty()) {
    ShowSimulatorNotFound();
    return StepResult();
  }
  if (!platform::FileExists(paths.templateFile)) {
    ShowTemplateMissing(paths.templateFile);
    return StepResult();
  }
  if (StepResult known = NeedDllXmlPath(paths); !known.ok()) return known;

  if (platform::FileExists(paths.dllXml)) {
    // The backup is what uninstall puts back. A read-only backup of an earlier
    // install would refuse the copy, and a copy that failed must not leave an
    // older backup, or half of this one, to be restored later.
    ClearReadOnly(paths.backup);
    if (!platform::CopyFileU8(paths.dllXml, paths.backup, false)) {
      std::fprintf(stderr, "addovar: cannot back up %s; going on without a backup\n", paths.dllXml.c_str());
      platform::DeleteFileU8(paths.backup);
    } else {
      ClearReadOnly(paths.backup);
    }
    return AddAddonBlock(paths.dllXml);
  }

  // FSX-SE makes its folder on first start; an install before that still
  // registers the module.
  std::string folder = FolderOf(paths.dllXml);
  if (!folder.empty() && !platform::IsDirectory(folder)) platform::CreateDirectoryU8(folder);
  if (!platform::CopyFileU8(paths.templateFile, paths.dllXml, false))
    return common::Fail("cannot copy " + paths.templateFile + " to " + paths.dllXml);
  return StepResult();
}

StepResult AddAddonBlock(const std::string& dllXml) {
  if (!platform::FileExists(dllXml)) return StepResult();
  DllXmlLines lines;
  if (StepResult read = ReadDllXml(dllXml, lines); !read.ok()) return read;
  if (InsertAddonBlock(lines) == InsertOutcome::kAlreadyRegistered) return StepResult();
  return WriteDllXml(dllXml, lines);
}

StepResult RepairLaunchTags(const std::string& dllXml) {
  if (!platform::FileExists(dllXml)) return StepResult();
  DllXmlLines lines;
  if (StepResult read = ReadDllXml(dllXml, lines); !read.ok()) return read;
  InsertMissingLaunchTags(lines);
  return WriteDllXml(dllXml, lines);
}

StepResult RestoreBackup(const RegistrationPaths& paths) {
  if (paths.simulatorFolder.empty()) {
    ShowSimulatorNotFound();
    return StepResult();
  }
  if (paths.dllXml.empty() || !platform::FileExists(paths.backup)) return StepResult();

  // One rename replaces dll.xml with the backup: there is no moment without a
  // dll.xml, and a rename that fails leaves both files as they were.
  const uint32_t attributes = platform::GetFileAttributesU8(paths.dllXml);
  const bool known = attributes != platform::kInvalidFileAttributes;
  if (known && !ClearReadOnly(paths.dllXml))
    return common::Fail("cannot clear the read-only attribute of " + paths.dllXml);
  if (!platform::MoveFileU8(paths.backup, paths.dllXml)) {
    if (known) platform::SetFileAttributesU8(paths.dllXml, attributes);
    return common::Fail("cannot rename " + paths.backup + " to " + paths.dllXml + "; both are left as they were");
  }
  if (known) platform::SetFileAttributesU8(paths.dllXml, attributes);
  return StepResult();
}

StepResult RemoveAddonBlock(const std::string& dllXml) {
  if (!platform::FileExists(dllXml)) return StepResult();
  DllXmlLines lines;
  if (StepResult read = ReadDllXml(dllXml, lines); !read.ok()) return read;
  CutOutcome cut = CutAddonBlocks(lines);
  if (StepResult written = WriteDllXml(dllXml, lines); !written.ok()) return written;
  if (cut.entriesNotDelimited > 0)
    return common::Fail(
        dllXml + " names ORVANTE outside a complete <Launch.Addon> entry; those lines are left for the user to remove");
  return StepResult();
}

StepResult DeleteEmptyDllXml(const std::string& dllXml) {
  if (!platform::FileExists(dllXml)) return StepResult();
  DllXmlLines lines;
  if (StepResult read = ReadDllXml(dllXml, lines); !read.ok()) return read;
  if (ListsAnyAddon(lines)) return StepResult();
  if (!ClearReadOnly(dllXml) || !platform::DeleteFileU8(dllXml)) return common::Fail("cannot delete " + dllXml);
  return StepResult();
}

StepResult Install() {
  const RegistrationPaths paths = WorkOutPaths();
  StepResult result = PrepareInstall(paths);
  if (result.ok()) result = NeedDllXmlPath(paths);
  if (result.ok()) result = AddAddonBlock(paths.dllXml);
  if (result.ok()) result = RepairLaunchTags(paths.dllXml);
  return result;
}

StepResult Uninstall() {
  const RegistrationPaths paths = WorkOutPaths();
  StepResult result = RestoreBackup(paths);
  if (result.ok()) result = NeedDllXmlPath(paths);
  if (result.ok()) result = RemoveAddonBlock(paths.dllXml);
  if (result.ok()) result = DeleteEmptyDllXml(paths.dllXml);
  return result;
}

int RunRegistration(const std::optional<std::string>& argument) {
  StepResult result;
  if (argument == "-INSTALL") {
    result = Install();
  } else if (argument == "-UN_INSTALL") {
    result = Uninstall();
  } else {
    ShowNotForDirectUse();
    return 0;
  }
  if (!result.ok()) {
    std::fprintf(stderr, "addovar: %s\n", result.error().c_str());
    ShowFailure();
  }
  return 0;
}

}  // namespace addovar
