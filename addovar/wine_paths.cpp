// Mapping a Wine prefix's Windows paths to host paths.
#include "wine_paths.h"

#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

#include "common/text.h"

namespace addovar {

namespace fs = std::filesystem;

namespace {

using common::EqualsIgnoringCase;

// The folder a drive letter stands for: the target of dosdevices/<letter>:,
// else drive_c for C.
fs::path DriveRoot(const fs::path& prefix, char letter) {
  std::error_code error;
  const fs::path device = prefix / "dosdevices" / (std::string(1, letter) + ":");
  if (fs::is_symlink(device, error)) {
    fs::path target = fs::read_symlink(device, error);
    if (!error) return (target.is_absolute() ? target : device.parent_path() / target).lexically_normal();
  }
  if (fs::is_directory(device, error)) return device;
  if (letter == 'c' && fs::is_directory(prefix / "drive_c", error)) return prefix / "drive_c";
  return {};
}

// The entry of folder named like name, its letter case ignored when no entry
// has exactly that name; name itself when none matches.
std::string EntryNamed(const fs::path& folder, const std::string& name) {
  std::error_code error;
  if (fs::exists(folder / name, error)) return name;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string entry = it->path().filename().string();
    if (EqualsIgnoringCase(entry, name)) return entry;
  }
  return name;
}

}  // namespace

std::string HostPathOfWindowsPath(std::string_view prefix, std::string_view windowsPath) {
#ifdef _WIN32
  (void)prefix;
  return std::string(windowsPath);  // the registry's paths are the host's own
#endif
  if (windowsPath.empty()) return {};
  if (windowsPath.front() == '/') return std::string(windowsPath);
  if (windowsPath.size() < 2 || windowsPath[1] != ':' || !std::isalpha(static_cast<unsigned char>(windowsPath[0])))
    return {};
  if (windowsPath.size() > 2 && windowsPath[2] != '\\' && windowsPath[2] != '/') return {};  // "C:folder" is relative

  fs::path path =
      DriveRoot(fs::path(prefix), static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0]))));
  if (path.empty()) return {};
  const size_t depthOfRoot = std::distance(path.begin(), path.end());

  std::string_view rest = windowsPath.substr(2);
  while (!rest.empty()) {
    size_t separator = rest.find_first_of("\\/");
    std::string component(rest.substr(0, separator));
    rest = separator == std::string_view::npos ? std::string_view() : rest.substr(separator + 1);
    if (component.empty() || component == ".") continue;
    if (component == "..") {
      if (static_cast<size_t>(std::distance(path.begin(), path.end())) > depthOfRoot) path = path.parent_path();
      continue;
    }
    path /= EntryNamed(path, component);
  }
  return path.string();
}

}  // namespace addovar
