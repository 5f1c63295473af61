// libFuzzer target for the INI files the module reads: the input is written
// as a profile file and as the main settings file in a temporary
// application-data folder, and read the way the module reads them (the
// platform's private-profile routines underneath). Besides crashes and
// sanitizer reports it checks what must hold for any input:
//  - a loaded profile holds corrected values: switches that are clamped at
//    most 1, units 0 or 1, limits not negative, an installed sound set, its
//    own name, linked models that are not empty;
//  - saving the loaded profile and loading it again gives the same profile
//    (the saved file, saved once more, is the same text). One known
//    exception: a tolerance too large to be read back from its 29 characters
//    (1e26 inHg and more) reads back smaller; for such values the tolerance
//    line is left out of the comparison;
//  - the main settings, written back into the file and read again, are the
//    values that were read.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/main_settings.h"
#include "core/module_state.h"
#include "profiles/profile_files.h"
#include "profiles/profile_part.h"
#include "profiles/profiles_environment.h"
#include "platform/files.h"

namespace {

using namespace orvante;

void Require(bool condition) {
  if (!condition) std::abort();
}

const char* const kProfile = "Fuzz";

struct MainValues {
  int32_t sceneryId;
  int64_t masterVolume;
  int32_t enableKeyEventApi;
  std::string defaultProfile;
  uint32_t audioOutputDevice;
  bool operator==(const MainValues&) const = default;
};

MainValues CurrentMainValues() {
  return {g_mainSettings.sceneryId, g_mainSettings.masterVolume.load(), g_mainSettings.enableKeyEventApi.load(),
          g_mainSettings.defaultProfile, g_mainSettings.audioOutputDevice};
}

void CheckLoaded(const ProfilePart& part) {
  const ProfileSettings& s = part.settings;
  for (const SwitchField& f : kSwitchFields)
    if (f.correction == SwitchCorrection::kClampToOne) Require((s.*f.field) <= 1);
  Require(s.UnitsOfMeasure <= 1);
  for (const LimitField& f : kLimitFields) Require(static_cast<int32_t>((s.*f.field).load()) >= 0);
  bool installed = false;
  for (const std::string& name : part.soundSetNames) installed = installed || SameName(name, s.SoundSet);
  Require(installed);
  Require(std::string(s.profileName) == kProfile);
  for (const std::string& model : part.linkedModels) Require(!model.empty() && model.size() <= 259);
}

// The saved text without its tolerance line when that line's value is
// longer than the reader takes.
std::string Comparable(const std::string& saved) {
  const std::string key = "\r\nAltSetTolerance=";
  size_t start = saved.find(key);
  Require(start != std::string::npos);
  size_t valueStart = start + key.size();
  size_t end = saved.find("\r\n", valueStart);
  Require(end != std::string::npos);
  if (end - valueStart <= 29) return saved;
  return saved.substr(0, start) + saved.substr(end);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // In memory where the system has such a folder: every write of a settings
  // file is synced to its disk, which would bound the run at a few dozen
  // inputs a second.
  std::error_code error;
  std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                   ? std::filesystem::path("/dev/shm")
                                   : std::filesystem::temp_directory_path();
  std::string pattern = (base / "orvante-fuzz-XXXXXX").string();
  std::string folder = mkdtemp(pattern.data());
  std::filesystem::create_directories(std::filesystem::path(folder) / "ORVANTE" / "Profiles");
  std::strncpy(g_module.appDataDir, folder.c_str(), sizeof g_module.appDataDir - 1);
  std::strncpy(g_profilesEnvironment.appDataDir, folder.c_str(), sizeof g_profilesEnvironment.appDataDir - 1);
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(g_module.appDataDir, ignored);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The main settings: read, written back into the same file, read again.
  const std::string mainPath = MainSettingsPath();
  Require(platform::WriteFileAtomically(mainPath, bytes));
  ReadMainSettings();
  const MainValues read = CurrentMainValues();
  WriteMainSettings();
  ReadMainSettings();
  Require(CurrentMainValues() == read);

  // A profile: loaded, saved, loaded again.
  ProfilePart part;
  part.soundSetNames = {"Default", "Second"};
  Require(platform::WriteFileAtomically(ProfilePath(kProfile), bytes));
  LoadProfile(part, kProfile);
  CheckLoaded(part);
  const std::string saved = FormatProfileFile(part);
  Require(platform::WriteFileAtomically(ProfilePath(kProfile), saved));
  ProfilePart reloaded;
  reloaded.soundSetNames = part.soundSetNames;
  LoadProfile(reloaded, kProfile);
  CheckLoaded(reloaded);
  Require(reloaded.linkedModels == part.linkedModels);
  Require(Comparable(FormatProfileFile(reloaded)) == Comparable(saved));
  return 0;
}
