// FindFsxFolder: the registry's word on where fsx.exe is.
#include "fsx_folder.h"

#include <optional>
#include <platform/files.h>
#include <platform/process.h>
#include <platform/registry.h>

#include "wine_paths.h"

namespace addovar {

const char* const kFsxRegistryKey = "SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";

namespace {

const char* const kFsxRegistryKey32 = "SOFTWARE\\Wow6432Node\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";

// The host folder a registry value names, when it holds fsx.exe.
std::string FolderWithFsx(platform::RegistryHive hive, const char* key, const char* value) {
  std::optional<std::string> text = platform::RegistryReadString(hive, key, value);
  if (!text) return {};
  std::string windowsFolder = *text;
  if (!windowsFolder.empty() && windowsFolder.back() == '\\') windowsFolder.pop_back();
  std::string folder = HostPathOfWindowsPath(platform::GetWinePrefix(), windowsFolder);
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.empty() || !platform::FileExists(platform::JoinPath({folder, "fsx.exe"}))) return {};
  return folder;
}

}  // namespace

std::string FindFsxFolder() {
  std::string folder = FolderWithFsx(platform::RegistryHive::CurrentUser, kFsxRegistryKey, "AppPath");
  if (folder.empty()) folder = FolderWithFsx(platform::RegistryHive::LocalMachine, kFsxRegistryKey32, "SetupPath");
  if (folder.empty()) folder = FolderWithFsx(platform::RegistryHive::LocalMachine, kFsxRegistryKey, "SetupPath");
  return folder;
}

}  // namespace addovar
