// Reading the file version the build stamped into ORVANTE.dll.
#include "core/module_version.h"

#include <cstdio>

#include "core/module_state.h"
#include "platform/process.h"

#ifndef ORVANTE_FILE_VERSION
#define ORVANTE_FILE_VERSION "0.0.0.0"
#endif
ORVANTE_DEFINE_FILE_VERSION(ORVANTE_FILE_VERSION);

namespace orvante {

void ReadModuleVersion() {
  g_module.versionText[0] = '\0';
  g_module.versionMS = g_module.versionLS = 0;
  std::string path = platform::GetModuleFileNameU8(g_module.moduleHandle);
  uint32_t ms = 0, ls = 0;
  if (path.empty() || !platform::GetFileVersion(path, ms, ls)) return;
  g_module.versionMS = ms;
  g_module.versionLS = ls;
  std::snprintf(g_module.versionText, sizeof g_module.versionText, "Version: %u.%u.%u.%u", ms >> 16, ms & 0xFFFF,
                ls >> 16, ls & 0xFFFF);
}

}  // namespace orvante
