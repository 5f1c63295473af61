// The settings dialog's model: its controls and menu, filling, enabling,
// checking, reading, saving and commands.
#include "profiles/settings_dialog.h"

#include <mutex>

#include "core/main_settings.h"
#include "profiles/about_box.h"
#include "profiles/aircraft_association.h"
#include "profiles/profile_dialogs.h"
#include "profiles/profile_files.h"
#include "profiles/profiles_environment.h"
#include "profiles/settings_dialog_validation.h"
#include "voice/announcement_playback.h"
#include "voice/audio_devices.h"
#include "voice/voice_state.h"
#include "platform/files.h"

namespace orvante {

using platform::ControlKind;
using platform::DialogControl;

const AdvisoryBox kAdvisoryBoxes[20] = {
    {"Approaching Runway (On Ground)", &ProfileSettings::AppRwyOnGnd},
    {"Approaching Runway (In Air)", &ProfileSettings::AppRwyInAir},
    {"On Runway", &ProfileSettings::OnRunway},
    {"Runway End", &ProfileSettings::RunwayEnd},
    {"Taxiway Take-off", &ProfileSettings::TaxiwayTakeOff},
    {"Insufficient Runway Length (On Ground)", &ProfileSettings::InsufficientRwyLenOnGnd},
    {"Extended Holding on Runway", &ProfileSettings::ExtendedHoldingOnRwy},
    {"Approaching Short Runway (In Air)", &ProfileSettings::AppShortRwyInAir},
    {"Taxiway Landing", &ProfileSettings::TaxiwayLanding},
    {"Take-off Flap Monitor", &ProfileSettings::TakeOffFlapMonitor},
    {"Landing Distance Remaining", &ProfileSettings::LandingDistRemain},
    {"Distance Remaining (Rejected Take-off)", &ProfileSettings::RTODistRemain},
    {"Landing Flap Monitor", &ProfileSettings::LandingFlapMonitor},
    {"Excessive Approach Speed", &ProfileSettings::ExcessiveApprSpeed},
    {"Excessive Approach Angle", &ProfileSettings::ExcessiveApprAngle},
    {"Unstable Approach", &ProfileSettings::UnstableApproach},
    {"Altimeter Setting (Above Transition)", &ProfileSettings::AltSettingAbove},
    {"Altimeter Setting (Below Transition)", &ProfileSettings::AltSettingBelow},
    {"Long Landing", &ProfileSettings::LongLanding},
    {"Caution Enabled", &ProfileSettings::CautionEnabled},
};

namespace {

constexpr char kCaption[] = "Orvante";
constexpr int kRunwayLengthMaxChars = 8;

// The other check boxes and the profile switch each edits.
struct SwitchBox {
  int id;
  std::atomic<uint32_t> ProfileSettings::*field;
};
constexpr SwitchBox kOtherSwitchBoxes[] = {
    {kMasterSwitchBox, &ProfileSettings::MasterSwitch},
    {kExcludeShortRwysBox, &ProfileSettings::ExcludeShortRwys},
    {kAnnunciateUnitsBox, &ProfileSettings::AnnunciateUnits},
    {kRepAltSetCallOutBox, &ProfileSettings::RepAltSetCallOut},
    {kShowAltSetMsgBox, &ProfileSettings::ShowAltSetMsg},
};

// The number boxes and the limit each edits.
struct NumberBox {
  int id;
  std::atomic<uint32_t> ProfileSettings::*field;
};
constexpr NumberBox kNumberBoxes[] = {
    {kMinTakeOffLengthBox, &ProfileSettings::MinTakeOffLength},
    {kMinLandingLengthBox, &ProfileSettings::MinLandingLength},
    {kTouchdownZoneBox, &ProfileSettings::TouchdownZoneLen},
    {kExtHoldInitialBox, &ProfileSettings::ExtHoldInitialTime},
    {kExtHoldRepeatBox, &ProfileSettings::ExtHoldRepeatTime},
    {kMinTakeOffFlapsBox, &ProfileSettings::MinTakeOffFlaps},
    {kMinLandingFlapsBox, &ProfileSettings::MinLandingFlaps},
    {kLowerFlapGateBox, &ProfileSettings::LowerFlapGateAlert},
    {kUpperFlapGateBox, &ProfileSettings::UpperFlapGateAlert},
    {kMaxApproachSpeedBox, &ProfileSettings::MaxApproachSpeed},
    {kTransitionAltitudeBox, &ProfileSettings::TransitionAltitude},
    {kTransitionLevelBox, &ProfileSettings::TransitionLevel},
};

// Everything but the master switch, the device list, the key-event box and
// the close button follows the master switch.
bool FollowsMasterSwitch(const DialogControl& control) {
  switch (control.id) {
    case kMasterSwitchBox:
    case kAudioDeviceList:
    case kKeyEventApiBox:
    case kCloseAndSaveButton: return false;
    default: return control.kind != ControlKind::kLabel;
  }
}

DialogControl Make(int id, ControlKind kind, std::string caption, std::string group = {}, std::string unit = {}) {
  DialogControl control;
  control.id = id;
  control.kind = kind;
  control.caption = std::move(caption);
  control.group = std::move(group);
  control.unit = std::move(unit);
  return control;
}

}  // namespace

SettingsDialog::SettingsDialog(ProfilePart& part, const std::vector<uint32_t>& flapPositions, DeviceLister listDevices)
    : Dialog(kCaption), part_(part), flapPositions_(flapPositions), listDevices_(std::move(listDevices)) {
  if (!listDevices_) listDevices_ = ListAudioDevices;

  Add(Make(kProfileNameLabel, ControlKind::kLabel, "[Profile Name]")).text = "[Profile Name]";
  Add(Make(kMasterSwitchBox, ControlKind::kCheckBox, "Master Switch (On/Off)"));
  Add(Make(kSoundSetList, ControlKind::kDropDownList, "Sound Set:"));
  Add(Make(kMasterVolumeSlider, ControlKind::kSlider, "Master Volume"));

  for (int i = 0; i < 20; ++i)
    Add(Make(kFirstAdvisoryBox + i, ControlKind::kCheckBox, kAdvisoryBoxes[i].caption, "Advisories"));

  const std::string runways = "Runways";
  Add(Make(kUnitsList, ControlKind::kDropDownList, "Units of Measurement:", runways));
  Add(Make(kMinTakeOffLengthBox, ControlKind::kTextBox, "Minimum Take-off Length:", runways, "Ru"));
  Add(Make(kMinLandingLengthBox, ControlKind::kTextBox, "Minimum Landing Length:", runways, "Ru"));
  Add(Make(kTouchdownZoneBox, ControlKind::kTextBox, "Touchdown Zone Length:", runways, "%"));
  Add(Make(kExcludeShortRwysBox, ControlKind::kCheckBox, "Exclude Short Runways", runways));
  Add(Make(kAnnunciateUnitsBox, ControlKind::kCheckBox, "Annunciate Units", runways));

  const std::string hold = "Extended Hold (On Runway)";
  Add(Make(kHoldPeriodsLabel, ControlKind::kLabel, "Set extended hold time periods:", hold)).text =
      "Set extended hold time periods:";
  Add(Make(kExtHoldInitialBox, ControlKind::kTextBox, "INITIAL Time Period:", hold, "s"));
  Add(Make(kExtHoldRepeatBox, ControlKind::kTextBox, "REPEAT Time Period:", hold, "s"));

  const std::string flaps = "Flaps Configurations";
  Add(Make(kMinTakeOffFlapsBox, ControlKind::kTextBox, "Minimum Take-off Flaps:", flaps));
  Add(Make(kMinLandingFlapsBox, ControlKind::kTextBox, "Minimum Landing Flaps:", flaps));
  Add(Make(kLowerFlapGateBox, ControlKind::kTextBox, "Lower Flap Gate Alert:", flaps, "ft"));
  Add(Make(kUpperFlapGateBox, ControlKind::kTextBox, "Upper Flap Gate Alert:", flaps, "ft"));

  const std::string misc = "Misc Settings";
  Add(Make(kMaxApproachSpeedBox, ControlKind::kTextBox, "Max. Approach Speed:", misc, "kts"));
  Add(Make(kTransitionAltitudeBox, ControlKind::kTextBox, "Transition Altitude:", misc, "ft"));
  Add(Make(kTransitionLevelBox, ControlKind::kTextBox, "Transition Level:", misc, "ft"));
  Add(Make(kAltSetToleranceBox, ControlKind::kTextBox, "Alt. Set. Tolerance:", misc, "Hg"));
  Add(Make(kRepAltSetCallOutBox, ControlKind::kCheckBox, "Repeating Alt. Setting Warning", misc));
  Add(Make(kShowAltSetMsgBox, ControlKind::kCheckBox, "Show message on transition callout", misc));
  Add(Make(kAirbusZoneButton, ControlKind::kRadioButton, "Airbus Suppression Zone", misc));
  Add(Make(kBoeingZoneButton, ControlKind::kRadioButton, "Boeing Suppression Zone", misc));

  Add(Make(kAudioDeviceList, ControlKind::kDropDownList, "Audio Output Device:"));
  Add(Make(kKeyEventApiBox, ControlKind::kCheckBox, "Enable Key Event API"));
  Add(Make(kCloseAndSaveButton, ControlKind::kPushButton, "Close and Save Settings"));

  AddMenuItem({"Profiles", "Create", kMenuCreate, false});
  AddMenuItem({"Profiles", "Open", kMenuOpen, false});
  AddMenuItem({"Profiles", "Save", kMenuSave, false});
  AddMenuItem({"Profiles", "Delete", kMenuDelete, false});
  AddMenuItem({"Profiles", "Link to current model", kMenuLinkModel, true});
  AddMenuItem({"Profiles", "Unlink model", kMenuUnlinkModel, false});
  AddMenuItem({"Systems Test", "Audio Test", kMenuAudioTest, false});
  AddMenuItem({"Systems Test", "Error Log", kMenuErrorLog, true});
  AddMenuItem({"", "About", kMenuAbout, false});
}

void SettingsDialog::Open() {
  Control(kProfileNameLabel)->font = g_profilesEnvironment.profileFont;
  Control(kMinTakeOffLengthBox)->maxLength = kRunwayLengthMaxChars;
  Control(kMinLandingLengthBox)->maxLength = kRunwayLengthMaxChars;

  Control(kSoundSetList)->items = part_.soundSetNames;
  Control(kSoundSetList)->value = -1;
  Control(kUnitsList)->items = {"Feet", "Meters"};
  Control(kUnitsList)->value = -1;
  DialogControl& devices = *Control(kAudioDeviceList);
  devices.items = listDevices_();
  devices.value = devices.items.empty() ? -1 : 0;

  DialogControl& slider = *Control(kMasterVolumeSlider);
  slider.minimum = 0;
  slider.maximum = 10;

  Fill();
}

void SettingsDialog::Fill() {
  const ProfileSettings& s = part_.settings;
  Control(kProfileNameLabel)->text = s.profileName;

  for (int i = 0; i < 20; ++i) Control(kFirstAdvisoryBox + i)->value = (s.*kAdvisoryBoxes[i].field).load() == 1;
  for (const SwitchBox& box : kOtherSwitchBoxes) Control(box.id)->value = (s.*box.field).load() == 1;
  Control(kKeyEventApiBox)->value = g_mainSettings.enableKeyEventApi.load() == 1;

  const bool airbus = s.AirbusSupprZone.load() == 1;
  Control(kAirbusZoneButton)->value = airbus;
  Control(kBoeingZoneButton)->value = !airbus;

  // A list asked to select an entry it does not have selects none.
  auto select = [](DialogControl& list, uint64_t index) {
    list.value = index < list.items.size() ? static_cast<int>(index) : -1;
  };
  select(*Control(kUnitsList), s.UnitsOfMeasure.load());
  select(*Control(kAudioDeviceList), g_mainSettings.audioOutputDevice);

  for (const NumberBox& box : kNumberBoxes) Control(box.id)->text = std::to_string((s.*box.field).load());
  Control(kAltSetToleranceBox)->text = FormatTolerance(s.AltSetTolerance.load());

  Control(kMasterVolumeSlider)->value = s.MasterVolume.load();

  // Set names compare as loading compares them, without regard to letter
  // case: a profile naming "default" loaded the set "Default", and a list
  // showing no set would clear the profile's set on saving.
  DialogControl& soundSets = *Control(kSoundSetList);
  for (size_t i = 0; i < soundSets.items.size(); ++i)
    if (SameName(soundSets.items[i], s.SoundSet)) {
      soundSets.value = static_cast<int>(i);
      break;
    }

  ApplyMasterSwitch();
}

void SettingsDialog::ApplyMasterSwitch() {
  const bool on = Control(kMasterSwitchBox)->value == 1;
  for (DialogControl& control : Controls())
    if (FollowsMasterSwitch(control)) control.enabled = on;
}

common::Result<> SettingsDialog::Validate() const {
  SettingsEntries entries;
  entries.extHoldInitialTime = Control(kExtHoldInitialBox)->text;
  entries.extHoldRepeatTime = Control(kExtHoldRepeatBox)->text;
  entries.upperFlapGateAlert = Control(kUpperFlapGateBox)->text;
  entries.lowerFlapGateAlert = Control(kLowerFlapGateBox)->text;
  entries.minTakeOffFlaps = Control(kMinTakeOffFlapsBox)->text;
  entries.minLandingFlaps = Control(kMinLandingFlapsBox)->text;
  entries.airbusZone = Control(kAirbusZoneButton)->value == 1;
  entries.flapPositions = flapPositions_;
  return ValidateSettingsEntries(entries);
}

void SettingsDialog::ReadControls() {
  // A cycle that was under way when the dialog suspended the unit must not
  // see the profile half read.
  std::lock_guard<std::mutex> changing(part_.changeLock);
  ProfileSettings& s = part_.settings;

  const DialogControl& soundSets = *Control(kSoundSetList);
  const bool soundSetChosen = soundSets.value >= 0 && static_cast<size_t>(soundSets.value) < soundSets.items.size();
  CopyName(s.SoundSet, soundSetChosen ? soundSets.items[static_cast<size_t>(soundSets.value)] : std::string());

  for (int i = 0; i < 20; ++i) (s.*kAdvisoryBoxes[i].field) = Control(kFirstAdvisoryBox + i)->value == 1 ? 1u : 0u;
  for (const SwitchBox& box : kOtherSwitchBoxes) (s.*box.field) = Control(box.id)->value == 1 ? 1u : 0u;
  s.AirbusSupprZone = Control(kAirbusZoneButton)->value == 1 ? 1u : 0u;
  g_mainSettings.enableKeyEventApi = Control(kKeyEventApiBox)->value == 1 ? 1 : 0;

  const int units = Control(kUnitsList)->value;
  if (units >= 0) s.UnitsOfMeasure = static_cast<uint8_t>(units);

  for (const NumberBox& box : kNumberBoxes) (s.*box.field) = NumberBoxValue(Control(box.id)->text);
  s.AltSetTolerance = ToleranceBoxValue(Control(kAltSetToleranceBox)->text);

  const int volume = Control(kMasterVolumeSlider)->value;
  s.MasterVolume = volume;
  g_mainSettings.masterVolume = volume;

  // With no device listed (no audio engine) there is no choice to read; the
  // device in use stays.
  const int device = Control(kAudioDeviceList)->value;
  if (device >= 0) g_mainSettings.audioOutputDevice = static_cast<uint32_t>(device);
}

bool SettingsDialog::Save() {
  if (common::Result<> checked = Validate(); !checked) {
    platform::MessageBoxU8(Handle(), checked.error(), kCaption, platform::kMbOk | platform::kMbIconWarning);
    return false;
  }
  ReadControls();
  SaveProfile(part_, Handle());
  WriteMainSettings();
  return true;
}

void SettingsDialog::Command(int id) {
  switch (id) {
    case kMasterSwitchBox: ApplyMasterSwitch(); return;
    case kCloseAndSaveButton:
      if (Save()) End(1);
      return;
    case kMenuSave: Save(); return;
    case kMenuCreate: {
      CreateProfileDialog create(part_);
      if (platform::RunDialog(Handle(), create) == 1) Fill();
      return;
    }
    case kMenuOpen: {
      OpenProfileDialog open(part_);
      if (platform::RunDialog(Handle(), open) == 1) Fill();
      return;
    }
    case kMenuDelete: {
      DeleteProfileDialog remove(part_);
      platform::RunDialog(Handle(), remove);
      return;
    }
    case kMenuLinkModel:
      // Only a link that holds is announced as made.
      if (LinkCurrentModel(part_)) {
        platform::MessageBoxU8(Handle(), "Your current model has been linked to the current profile.", kCaption,
                               platform::kMbOk | platform::kMbIconInformation);
      } else if (part_.currentAircraftModel[0] == '\0') {
        platform::MessageBoxU8(Handle(), "No aircraft model is loaded, so none was linked to the current profile.",
                               kCaption, platform::kMbOk | platform::kMbIconWarning);
      } else {
        platform::MessageBoxU8(Handle(), "Your current model was not linked: its name cannot be stored in a profile.",
                               kCaption, platform::kMbOk | platform::kMbIconWarning);
      }
      return;
    case kMenuUnlinkModel: {
      UnlinkModelDialog unlink(part_);
      platform::RunDialog(Handle(), unlink);
      return;
    }
    case kMenuAudioTest:
      PlayAudioTest();  // does nothing while no sound set is loaded
      return;
    case kMenuErrorLog:
      platform::ShellExecuteOpen(platform::JoinPath({g_profilesEnvironment.appDataDir, "ORVANTE\\ORVANTE.LOG"}));
      return;
    case kMenuAbout: {
      AboutBox about;
      platform::RunDialog(Handle(), about);
      return;
    }
    default: return;
  }
}

void SettingsDialog::SliderReleased(int id) {
  if (id != kMasterVolumeSlider || g_voice.soundSetReady.load() != 1) return;
  ChangeMasterVolume(part_.settings, Control(kMasterVolumeSlider)->value);
}

void SettingsDialog::CloseRequested() {
  const int answer = platform::MessageBoxU8(Handle(), "Do you want to save changes for the current profile?", kCaption,
                                            platform::kMbYesNo | platform::kMbIconQuestion);
  if (answer == platform::kIdYes && !Save()) return;
  End(1);
}

void RunSettingsDialog(ProfilePart& part, const std::vector<uint32_t>& flapPositions, platform::WindowHandle owner) {
  SettingsDialog dialog(part, flapPositions);
  platform::RunDialog(owner, dialog);
}

}  // namespace orvante
