// Loading add-on modules the way the simulator does at its start.
#include "addon_loader.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "common/text.h"

namespace sim {
namespace {

namespace fs = std::filesystem;

bool SameNameIgnoringCase(const std::string& a, const std::string& b) { return common::EqualsIgnoringCase(a, b); }

// The entry of folder named like name: the exact name when it exists, else the
// first entry (in name order) whose name differs only in letter case, else the
// exact name.
fs::path FindEntry(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  fs::path exact = folder / name;
  if (fs::exists(exact, ec)) return exact;
  std::vector<std::string> matches;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string candidate = it->path().filename().string();
    if (SameNameIgnoringCase(candidate, name)) matches.push_back(candidate);
  }
  if (matches.empty()) return exact;
  std::sort(matches.begin(), matches.end());
  return folder / matches.front();
}

}  // namespace

std::string ResolveAddonPath(const std::string& simulatorDir, const std::string& path) {
  std::string text = path;
  for (char& c : text)
    if (c == '\\') c = '/';
  if (text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':') return {};

  fs::path current = text.starts_with("/") ? fs::path("/") : fs::path(simulatorDir);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('/', start);
    if (end == std::string::npos) end = text.size();
    std::string part = text.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      current = current.parent_path();
      continue;
    }
    current = FindEntry(current, part);
  }
  return current.string();
}

common::Result<LoadedAddon> LoadAddon(const AddonEntry& entry, const std::string& simulatorDir, PANELS* panels,
                                      std::vector<std::string>& notes) {
  LoadedAddon addon;
  addon.entry = entry;
  std::string file = ResolveAddonPath(simulatorDir, entry.path);
  if (file.empty())
    return common::Fail("the path \"" + entry.path + "\" names a drive; give it relative to the simulator folder");
  addon.file = file;
  platform::ModuleHandle module = platform::LoadLibraryU8(file);
  if (module == nullptr) {
    return common::Fail("cannot load " + file + ": " + platform::LastLoaderError() + " (error " +
                        std::to_string(platform::GetLastError()) + ")");
  }
  addon.module = module;

  if (void* exported = platform::GetProcAddress(module, "Panels")) {
    *static_cast<PANELS**>(exported) = panels;
    addon.panelsSet = true;
  } else {
    notes.push_back("exports no Panels; it gets no gauge interface");
  }
  addon.start = reinterpret_cast<AddonEntryPoint>(platform::GetProcAddress(module, entry.startName.c_str()));
  addon.stop = reinterpret_cast<AddonEntryPoint>(platform::GetProcAddress(module, entry.stopName.c_str()));
  if (addon.stop == nullptr) notes.push_back("exports no " + entry.stopName + "; it will not be stopped");
  if (addon.start == nullptr) return common::Fail("exports no " + entry.startName + "; it is not started");
  return addon;
}

}  // namespace sim
