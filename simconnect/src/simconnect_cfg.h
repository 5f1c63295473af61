// SimConnect.cfg: where a client's configuration index says the simulator is.
// The file lies in the folder of the process's executable; section
// [SimConnect.N] (or [SimConnect] for index 0) names a Protocol ("Pipe",
// "IPv4", "IPv6", "Auto") and an Address. This client reaches only the
// simulator of its own process, so a section that names another machine is
// one it cannot connect to.
#pragma once
#include <string>

#include "SimConnect.h"

namespace simconnect {

struct ConfiguredTarget {
  bool local = true;    // no section, or one that names this machine
  std::string address;  // as written, when not local
};

ConfiguredTarget ReadConfiguredTarget(const std::string& cfgPath, DWORD configIndex);

// The SimConnect.cfg beside the process's executable.
std::string SimConnectCfgPath();

}  // namespace simconnect
