// Where dll.xml, its backup and the add-on's template are.
#include "registration_paths.h"

#include <platform/files.h>
#include <platform/process.h>

#include "fsx_folder.h"

namespace addovar {

namespace {

// The user's roaming folder. Steam's Proton, which runs FSX-SE on Linux,
// names the prefix's user "steamuser" whoever runs it, so when the prefix has
// no folder for the login name, Proton's is the one FSX-SE uses.
std::string RoamingFolder() {
  std::string folder = platform::GetAppDataFolder();
#ifndef _WIN32
  if (folder.empty()) {
    std::string proton = platform::JoinPath({platform::GetWinePrefix(), "drive_c/users/steamuser/AppData/Roaming"});
    if (platform::IsDirectory(proton)) folder = proton;
  }
#endif
  return folder;
}

}  // namespace

RegistrationPaths WorkOutPaths() {
  RegistrationPaths paths;
  paths.simulatorFolder = FindFsxFolder();
  std::string appData = RoamingFolder();
  while (appData.size() > 1 && (appData.back() == '/' || appData.back() == '\\')) appData.pop_back();
  if (!appData.empty()) {
    paths.dllXml = platform::JoinPath({appData, "Microsoft\\FSX-SE\\dll.xml"});
    paths.backup = paths.dllXml + ".orvante_backup";
  }
  if (!paths.simulatorFolder.empty())
    paths.templateFile = platform::JoinPath({paths.simulatorFolder, "ORVANTE\\res\\dll.xml"});
  return paths;
}

}  // namespace addovar
