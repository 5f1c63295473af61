// Reading the connection target of a configuration index from SimConnect.cfg.
#include "simconnect_cfg.h"

#include <algorithm>
#include <cctype>

#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/process.h"
#include "common/text.h"

namespace simconnect {
namespace {

std::string Lower(std::string text) { return common::ToLowerAscii(text); }

bool SectionExists(const std::string& section, const std::string& path) {
  char names[4096];
  uint32_t length = platform::GetPrivateProfileStringU8(nullptr, nullptr, "", names, sizeof names, path.c_str());
  for (uint32_t i = 0; i < length;) {
    std::string name(names + i);
    if (Lower(name) == Lower(section)) return true;
    i += static_cast<uint32_t>(name.size()) + 1;
    if (name.empty()) break;
  }
  return false;
}

}  // namespace

std::string SimConnectCfgPath() {
  std::string executable = platform::GetExecutablePath();
  size_t separator = platform::LastSeparator(executable);
  std::string folder = separator == std::string::npos ? std::string(".") : executable.substr(0, separator);
  return platform::JoinPath({folder, "SimConnect.cfg"});
}

ConfiguredTarget ReadConfiguredTarget(const std::string& cfgPath, DWORD configIndex) {
  ConfiguredTarget target;
  if (configIndex == SIMCONNECT_OPEN_CONFIGINDEX_LOCAL || !platform::FileExists(cfgPath)) return target;
  std::string section = "SimConnect." + std::to_string(configIndex);
  if (!SectionExists(section, cfgPath)) {
    if (configIndex != 0 || !SectionExists("SimConnect", cfgPath)) return target;
    section = "SimConnect";
  }
  std::string protocol = Lower(platform::ReadProfileString(section.c_str(), "Protocol", "", cfgPath.c_str()));
  std::string address = Lower(platform::ReadProfileString(section.c_str(), "Address", "", cfgPath.c_str()));
  // A pipe is local unless its address names another machine; an IP address
  // is local when it is a loopback one.
  bool local = address.empty() || address == "localhost" || address == "127.0.0.1" || address == "::1" ||
               address == "." || (protocol == "pipe" && address == "localhost");
  if (!local) {
    target.local = false;
    target.address = address;
  }
  return target;
}

}  // namespace simconnect
