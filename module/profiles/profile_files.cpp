// Profile files. Reading goes through the private-profile routines with the
// defaults of each key; writing replaces the whole file in the fixed order of
// the format (CR LF line ends), atomically, so a crash never leaves half a
// profile.
#include "profiles/profile_files.h"

#include <charconv>
#include <cstdio>

#include "core/main_settings.h"
#include "core/module_log.h"
#include "profiles/aircraft_association.h"
#include "profiles/profiles_environment.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/ini_file.h"
#include "platform/user_interface.h"

namespace orvante {
namespace {

constexpr char kSection[] = "ORVANTE";
constexpr char kExtension[] = ".INI";
constexpr size_t kExtensionLength = 4;
constexpr size_t kMaxProfileName = 69;
constexpr uint32_t kMaxSoundSetText = 69;
constexpr uint32_t kMaxToleranceText = 29;
constexpr uint32_t kMaxModelText = 259;

std::string ModelKey(uint32_t n) { return "Model." + std::to_string(n); }

// Resets everything LoadProfile and CreateProfile start from; the aircraft
// model and the sound-set and profile lists stay.
void ClearLoadedProfile(ProfilePart& part) {
  part.linkedModels.clear();
  ClearProfileSettings(part.settings);
}

}  // namespace

std::string ProfileFolder() { return platform::JoinPath({g_profilesEnvironment.appDataDir, "ORVANTE\\Profiles"}); }

bool IsValidProfileName(const std::string& name) {
  if (name.empty() || name.size() > kMaxProfileName || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c < 32 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos) return false;
  return true;
}

std::string ProfilePath(const std::string& name) {
  std::string path = platform::JoinPath({ProfileFolder(), name + kExtension});
  if (!IsValidProfileName(name)) return path;
  for (const platform::FoundFile& file : platform::FindFiles(path))
    if (!file.isDirectory) return platform::JoinPath({ProfileFolder(), file.name});
  return path;
}

void BuildProfileList(ProfilePart& part) {
  part.profileNames.clear();
  std::string pattern = platform::JoinPath({ProfileFolder(), std::string("*") + kExtension});
  for (const platform::FoundFile& file : platform::FindFiles(pattern)) {
    if (file.isDirectory || file.name.size() <= kExtensionLength) continue;
    std::string name = file.name.substr(0, file.name.size() - kExtensionLength);
    // A longer name does not fit the profile name; cut, it would load and
    // save another file.
    if (!IsValidProfileName(name)) {
      LogWrite("Profile file name not usable, skipped: %s\n", file.name.c_str());
      continue;
    }
    part.profileNames.push_back(name);
  }
}

bool ProfileExists(const std::string& name) {
  if (!IsValidProfileName(name)) return false;
  for (const platform::FoundFile& file : platform::FindFiles(platform::JoinPath({ProfileFolder(), name + kExtension})))
    if (!file.isDirectory) return true;
  return false;
}

std::vector<std::string> ReadLinkedModels(const std::string& path) {
  std::vector<std::string> models;
  for (uint32_t n = 0;; ++n) {
    std::string key = ModelKey(n);
    std::string model = platform::ReadProfileString(kSection, key.c_str(), "", path.c_str(), kMaxModelText);
    if (model.empty()) break;
    models.push_back(model);
  }
  return models;
}

void LoadProfile(ProfilePart& part, const std::string& name) {
  if (name.empty()) return;
  ClearLoadedProfile(part);
  ProfileSettings& s = part.settings;
  // A name that cannot be a file name reads as a missing file: all defaults.
  const std::string path = IsValidProfileName(name) ? ProfilePath(name) : std::string();
  const char* file = path.c_str();

  for (const SwitchField& f : kSwitchFields)
    (s.*f.field) = static_cast<uint32_t>(platform::GetPrivateProfileIntU8(kSection, f.key, f.missingDefault, file));
  // Its low 8 bits; the correction below makes 2 or more 1.
  s.UnitsOfMeasure = static_cast<uint8_t>(
      static_cast<uint32_t>(platform::GetPrivateProfileIntU8(kSection, "UnitsOfMeasure", kUnitsMissingDefault, file)));
  for (const LimitField& f : kLimitFields)
    (s.*f.field) = static_cast<uint32_t>(
        platform::GetPrivateProfileIntU8(kSection, f.key, static_cast<int32_t>(f.defaultValue), file));
  s.AltSetTolerance =
      ParseAltSetTolerance(platform::ReadProfileString(kSection, "AltSetTolerance", "", file, kMaxToleranceText));
  const std::string firstSoundSet = part.soundSetNames.empty() ? std::string() : part.soundSetNames.front();
  CopyName(s.SoundSet,
           platform::ReadProfileString(kSection, "SoundSet", firstSoundSet.c_str(), file, kMaxSoundSetText));

  s.MasterVolume = static_cast<int32_t>(g_mainSettings.masterVolume.load());
  CopyName(s.profileName, name);
  if (!path.empty()) part.linkedModels = ReadLinkedModels(path);

  CorrectProfileSettings(s, part.soundSetNames);
}

std::string FormatProfileFile(const ProfilePart& part) {
  const ProfileSettings& s = part.settings;
  std::string text;
  auto line = [&text](const std::string& content) { text += content + "\r\n"; };
  line(std::string("[") + kSection + "]");
  for (const SwitchField& f : kSwitchFields) line(std::string(f.key) + "=" + std::to_string((s.*f.field).load()));
  line("UnitsOfMeasure=" + std::to_string(static_cast<unsigned>(s.UnitsOfMeasure.load())));
  for (const LimitField& f : kLimitFields) line(std::string(f.key) + "=" + std::to_string((s.*f.field).load()));
  // Two decimals, with a decimal point whatever the locale.
  char tolerance[64];
  auto result =
      std::to_chars(tolerance, tolerance + sizeof tolerance - 1, s.AltSetTolerance.load(), std::chars_format::fixed, 2);
  *result.ptr = '\0';
  line(std::string("AltSetTolerance=") + tolerance);
  // Names go quoted where the reader would otherwise change them (blanks at
  // either end, quotes around them), so they read back as they were.
  line(std::string("SoundSet=") + platform::QuoteProfileValue(s.SoundSet));
  line("MasterVolume=" + std::to_string(static_cast<int32_t>(g_mainSettings.masterVolume.load())));
  for (size_t n = 0; n < part.linkedModels.size(); ++n)
    line(ModelKey(static_cast<uint32_t>(n)) + "=" + platform::QuoteProfileValue(part.linkedModels[n]));
  return text;
}

// A profile that is not written loses the user's changes with the next
// start: the user hears of it, not only the log.
static void TellNotSaved(platform::WindowHandle owner, const std::string& name, const std::string& why) {
  platform::MessageBoxU8(owner, "The profile \"" + name + "\" was not saved: " + why, "Orvante",
                         platform::kMbOk | platform::kMbIconError);
}

bool SaveProfile(ProfilePart& part, platform::WindowHandle owner) {
  const std::string name = part.settings.profileName;
  if (name.empty()) return false;
  if (part.settings.SoundSet[0] == '\0') {
    LogWrite("Profile has no sound set, not saved: %s\n", name.c_str());
    TellNotSaved(owner, name, "it names no sound set.");
    return false;
  }
  if (owner != nullptr && !IsProfileLinked(part, name)) {
    if (platform::MessageBoxU8(owner, "Do you want to link this profile with your current aircraft model?", "Orvante",
                               platform::kMbYesNo | platform::kMbIconQuestion) == platform::kIdYes)
      LinkCurrentModel(part);
  }
  if (!IsValidProfileName(name)) {
    LogWrite("Profile name cannot be a file name, not saved: %s\n", name.c_str());
    TellNotSaved(owner, name, "its name cannot be a file name.");
    return false;
  }
  // Without its folder (a fresh application-data folder) the profile could
  // not be written at all; make it, with ORVANTE above it.
  const std::string folder = ProfileFolder();
  if (!platform::IsDirectory(folder)) {
    LogWrite("Creating profiles folder...\n");
    platform::CreateDirectoryU8(folder);
  }
  const std::string path = ProfilePath(name);
  if (!platform::WriteFileAtomically(path, FormatProfileFile(part))) {
    const uint32_t error = platform::GetLastError();
    LogWrite("Couldn't write profile file %s (error %u)\n", path.c_str(), error);
    TellNotSaved(owner, name, "the file " + path + " could not be written (error " + std::to_string(error) + ").");
    return false;
  }
  return true;
}

void CreateProfile(ProfilePart& part, const std::string& name) {
  if (name.empty()) return;
  ClearLoadedProfile(part);
  ProfileSettings& s = part.settings;
  ApplyNewProfileDefaults(s);
  CopyName(s.SoundSet, part.soundSetNames.empty() ? std::string() : part.soundSetNames.front());
  s.MasterVolume = static_cast<int32_t>(g_mainSettings.masterVolume.load());
  CopyName(s.profileName, name);
}

void DeleteProfile(ProfilePart& part, const std::string& name) {
  if (name.empty() || SameName(name, part.settings.profileName)) return;
  if (ProfileExists(name)) platform::DeleteFileU8(ProfilePath(name));
  std::erase_if(part.profileNames, [&name](const std::string& entry) { return SameName(entry, name); });
}

}  // namespace orvante
