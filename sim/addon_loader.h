// Loading one add-on module of the add-on list: finding its file under the
// simulator folder, loading it, handing it the gauge table through its
// exported `Panels` pointer and finding its start and stop entries.
#pragma once
#include <string>
#include <vector>

#include "addon_list.h"
#include "common/result.h"
#include "platform/process.h"
#include "gauges.h"

namespace sim {

using AddonEntryPoint = void (*)();

struct LoadedAddon {
  AddonEntry entry;
  std::string file;  // the file loaded
  platform::ModuleHandle module = nullptr;
  AddonEntryPoint start = nullptr;
  AddonEntryPoint stop = nullptr;  // null when the module exports no stop entry
  bool panelsSet = false;          // the module exports `Panels` and holds the table
};

// The file an entry's <Path> names: relative paths start at the simulator
// folder, '\' and '/' both separate, "." and ".." are followed, and a name
// that does not exist in the exact letter case is matched without regard to
// case, as the simulator's own file system would. Paths with a drive letter
// cannot be followed on this system and give an empty result.
std::string ResolveAddonPath(const std::string& simulatorDir, const std::string& path);

// Loads the module of an entry and stores panels into its `Panels` export.
// Succeeds when the module is loaded and its start entry exists; notes gets
// what is unusual on the way (no `Panels`, no stop entry), a failure says
// what went wrong.
common::Result<LoadedAddon> LoadAddon(const AddonEntry& entry, const std::string& simulatorDir, PANELS* panels,
                                      std::vector<std::string>& notes);

}  // namespace sim
