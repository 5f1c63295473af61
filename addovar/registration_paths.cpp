// Where dll.xml, its backup and the add-on's template are.
#include "registration_paths.h"

#include <platform/files.h>
#include <platform/process.h>

#include "fsx_folder.h"

namespace addovar {

RegistrationPaths WorkOutPaths() {
  RegistrationPaths paths;
  paths.simulatorFolder = FindFsxFolder();
  std::string appData = platform::GetAppDataFolder();
  while (appData.size() > 1 && (appData.back() == '/' || appData.back() == '\\')) appData.pop_back();
  if (!appData.empty()) {
    paths.dllXml = platform::JoinPath({appData, "Microsoft\\FSX-SE\\dll.xml"});
    paths.backup = paths.dllXml + ".orvante_backup";
  }
  if (!paths.simulatorFolder.empty()) paths.templateFile = platform::JoinPath({paths.simulatorFolder, "ORVANTE\\res\\dll.xml"});
  return paths;
}

}  // namespace addovar
