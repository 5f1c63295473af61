// The small profile dialogs.
#include "profiles/profile_dialogs.h"

#include <mutex>

#include "core/main_settings.h"
#include "profiles/aircraft_association.h"
#include "profiles/profile_files.h"

namespace orvante {
namespace {

constexpr char kCaption[] = "Orvante";
constexpr int kMaxProfileNameChars = 69;

platform::DialogControl Make(int id, platform::ControlKind kind, const char* caption) {
  platform::DialogControl control;
  control.id = id;
  control.kind = kind;
  control.caption = caption;
  return control;
}

// Fills a list and selects its first entry (none when it is empty).
void FillList(platform::DialogControl& list, std::vector<std::string> entries) {
  list.items = std::move(entries);
  list.value = list.items.empty() ? -1 : 0;
}

// The selected entry, or empty when none is selected.
std::string Selected(const platform::DialogControl& list) {
  if (list.value < 0 || static_cast<size_t>(list.value) >= list.items.size()) return {};
  return list.items[static_cast<size_t>(list.value)];
}

// Every profile but the loaded one, in the order of the profile list.
std::vector<std::string> OtherProfiles(const ProfilePart& part) {
  std::vector<std::string> names;
  for (const std::string& name : part.profileNames)
    if (!SameName(name, part.settings.profileName)) names.push_back(name);
  return names;
}

void Inform(platform::WindowHandle owner, const char* text) {
  platform::MessageBoxU8(owner, text, kCaption, platform::kMbOk | platform::kMbIconInformation);
}

}  // namespace

CreateProfileDialog::CreateProfileDialog(ProfilePart& part) : Dialog("Create Profile"), part_(part) {
  Add(Make(kProfileNameBox, platform::ControlKind::kTextBox, "Profile Name:")).maxLength = kMaxProfileNameChars;
  Add(Make(kCreateProfileButton, platform::ControlKind::kPushButton, "Create Profile"));
}

void CreateProfileDialog::Open() {
  Control(kProfileNameBox)->text = platform::LimitText(part_.currentAircraftModel, kMaxProfileNameChars);
}

void CreateProfileDialog::Command(int id) {
  if (id != kCreateProfileButton) return;
  const std::string name = platform::LimitText(Control(kProfileNameBox)->text, kMaxProfileNameChars);
  if (name.empty()) return;
  {
    std::lock_guard<std::mutex> changing(part_.changeLock);
    CreateProfile(part_, name);
  }
  SaveProfile(part_, Handle());
  WriteMainSettings();
  BuildProfileList(part_);
  End(1);
}

OpenProfileDialog::OpenProfileDialog(ProfilePart& part) : Dialog("Open Profile"), part_(part) {
  Add(Make(kSelectProfileList, platform::ControlKind::kDropDownList, "Select Profile:"));
  Add(Make(kDefaultProfileBox, platform::ControlKind::kCheckBox, "Default?"));
  Add(Make(kOpenProfileButton, platform::ControlKind::kPushButton, "Open Profile"));
}

void OpenProfileDialog::Open() {
  BuildProfileList(part_);
  FillList(*Control(kSelectProfileList), OtherProfiles(part_));
}

void OpenProfileDialog::Command(int id) {
  if (id != kOpenProfileButton) return;
  const std::string name = Selected(*Control(kSelectProfileList));
  if (name.empty()) return;
  {
    std::lock_guard<std::mutex> changing(part_.changeLock);
    LoadProfile(part_, name);
  }
  if (Control(kDefaultProfileBox)->value == 1) {
    CopyName(g_mainSettings.defaultProfile, name);
    WriteMainSettings();
  }
  End(1);
}

DeleteProfileDialog::DeleteProfileDialog(ProfilePart& part) : Dialog("Delete Profile"), part_(part) {
  Add(Make(kSelectProfileList, platform::ControlKind::kDropDownList, "Select Profile:"));
  Add(Make(kDeleteProfileButton, platform::ControlKind::kPushButton, "Delete Profile"));
}

void DeleteProfileDialog::Refill() {
  BuildProfileList(part_);
  FillList(*Control(kSelectProfileList), OtherProfiles(part_));
}

void DeleteProfileDialog::Open() { Refill(); }

void DeleteProfileDialog::Command(int id) {
  if (id != kDeleteProfileButton) return;
  const std::string name = Selected(*Control(kSelectProfileList));
  if (name.empty()) return;
  DeleteProfile(part_, name);
  Refill();
  Inform(Handle(), "The selected profile has been deleted");
}

UnlinkModelDialog::UnlinkModelDialog(ProfilePart& part) : Dialog("Unlink Model"), part_(part) {
  Add(Make(kSelectModelList, platform::ControlKind::kDropDownList, "Select Model:"));
  Add(Make(kUnlinkModelButton, platform::ControlKind::kPushButton, "Unlink Model"));
}

void UnlinkModelDialog::Refill() { FillList(*Control(kSelectModelList), part_.linkedModels); }

void UnlinkModelDialog::Open() { Refill(); }

void UnlinkModelDialog::Command(int id) {
  if (id != kUnlinkModelButton) return;
  const std::string model = Selected(*Control(kSelectModelList));
  if (model.empty()) return;
  UnlinkModel(part_, model);
  Refill();
  Inform(Handle(), "The selected model has been unlinked");
}

}  // namespace orvante
