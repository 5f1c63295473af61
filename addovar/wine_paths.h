// Windows paths of a Wine prefix on the host. The prefix's registry holds
// folders as Windows sees them ("C:\Program Files (x86)\Steam\..."); the
// host finds drive C in the prefix's dosdevices/c: link (normally to
// drive_c) and every other drive in its own link. Windows ignores letter
// case in file names and so does Wine; the host does not, so each folder of
// the path is matched without regard to case when the exact name is absent.
#pragma once
#include <string>
#include <string_view>

namespace addovar {

// The host path of windowsPath in the prefix, or empty when the path names
// no drive the prefix maps (a UNC path, a relative path, an unknown letter).
// A path that is already absolute on the host ("/...") is returned as it is.
// Components that do not exist are kept as written.
std::string HostPathOfWindowsPath(std::string_view prefix, std::string_view windowsPath);

}  // namespace addovar
