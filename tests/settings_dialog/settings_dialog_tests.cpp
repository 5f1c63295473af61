// The settings dialog's model, driven directly as a front end would: boxes
// typed, boxes clicked, commands given; boxes answered by the headless front
// end (its default button) unless a test scripts the answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/advisory_unit.h"
#include "core/main_settings.h"
#include "core/module_state.h"
#include "core/settings_menu.h"
#include "profiles/about_box.h"
#include "profiles/profile_dialogs.h"
#include "profiles/profile_files.h"
#include "voice/sound_sets.h"
#include "profiles/settings_dialog.h"
#include "profiles/settings_dialog_validation.h"
#include "voice/audio_function_table.h"
#include "platform/scripted_user_interface.h"
#include "profile_test_fixture.h"

using namespace orvante;
using platform::ControlKind;

namespace {

struct QueuedCue {
  std::string name;
  float volume;
};
std::vector<QueuedCue>& QueuedCues() {
  static std::vector<QueuedCue> cues;
  return cues;
}
void RecordCue(AudioStreamHandle, const char* cue, float, float, float, float volume) {
  QueuedCues().push_back({cue, volume});
}
std::vector<float>& LibraryVolumes() {
  static std::vector<float> volumes;
  return volumes;
}
int32_t RecordVolume(float volume) {
  LibraryVolumes().push_back(volume);
  return 0;
}

struct SettingsDialogTest : ProfileTest {
  std::vector<uint32_t> flaps;
  std::vector<std::string> devices{"Speakers", "Headphones"};

  void SetUp() override {
    ProfileTest::SetUp();
    InstallSoundSets({"Default", "Female"});
    BuildSoundSetList(part.soundSetNames);
    WriteProfile("B738", "MasterSwitch=1\r\nSoundSet=Female\r\n");
    BuildProfileList(part);
    LoadProfile(part, "B738");
    SetAircraftModel("PMDG 737-800");
    g_voice.soundSetReady = 0;
    g_mainSettings.audioOutputDevice = 1;
  }
  void TearDown() override {
    platform::SetUserInterface(nullptr);
    ResetAudioFunctionTable(g_audio);
    ProfileTest::TearDown();
  }

  std::unique_ptr<SettingsDialog> OpenDialog() {
    auto dialog = std::make_unique<SettingsDialog>(part, flaps, [this] { return devices; });
    dialog->Open();
    return dialog;
  }
  static void Type(SettingsDialog& dialog, const std::string& caption, const std::string& text) {
    platform::DialogControl* box = dialog.ControlByCaption(caption);
    ASSERT_NE(box, nullptr) << caption;
    box->text = text;
  }
  static const platform::DialogControl& Caption(SettingsDialog& dialog, const std::string& caption) {
    return *dialog.ControlByCaption(caption);
  }
  // Shows the message the save ended with, or "" when it saved.
  std::string SaveMessage(SettingsDialog& dialog) {
    platform::BuiltInHeadlessUserInterface().Clear();
    bool saved = dialog.Save();
    std::vector<platform::MessageBoxRecord> boxes = platform::BuiltInHeadlessUserInterface().Boxes();
    for (const auto& box : boxes)
      if (box.flags == (platform::kMbOk | platform::kMbIconWarning)) {
        EXPECT_FALSE(saved);
        EXPECT_EQ(box.caption, "Orvante");
        return box.text;
      }
    EXPECT_TRUE(saved);
    return "";
  }
};

// ---- Validation ----

TEST_F(SettingsDialogTest, HoldTimesAndFlapGatesPassAtTheirLimitsAndFailJustOutside) {
  struct Case {
    const char* caption;
    const char* text;
    const char* message;  // empty: passes
  } cases[] = {
      {"INITIAL Time Period:", "59", "The INITIAL time period must range between 60 seconds to 300 seconds."},
      {"INITIAL Time Period:", "60", ""},
      {"INITIAL Time Period:", "300", ""},
      {"INITIAL Time Period:", "301", "The INITIAL time period must range between 60 seconds to 300 seconds."},
      {"REPEAT Time Period:", "29", "The REPEAT time period must range between 30 seconds to 300 seconds."},
      {"REPEAT Time Period:", "30", ""},
      {"REPEAT Time Period:", "301", "The REPEAT time period must range between 30 seconds to 300 seconds."},
      {"Upper Flap Gate Alert:", "1400", ""},
      {"Upper Flap Gate Alert:", "1401", "The Upper Flap Gate Alert must range between 500 feet AGL to 1400 feet AGL."},
      {"Upper Flap Gate Alert:", "499", "The Upper Flap Gate Alert must range between 500 feet AGL to 1400 feet AGL."},
      {"Lower Flap Gate Alert:", "1000", ""},
      {"Lower Flap Gate Alert:", "1001", "The Lower Flap Gate Alert must range between 500 feet AGL to 1000 feet AGL."},
      {"Lower Flap Gate Alert:", "", "The Lower Flap Gate Alert must range between 500 feet AGL to 1000 feet AGL."},
  };
  for (const Case& c : cases) {
    auto owned = OpenDialog();
    SettingsDialog& dialog = *owned;
    Type(dialog, c.caption, c.text);
    EXPECT_EQ(SaveMessage(dialog), c.message) << c.caption << " " << c.text;
  }
}

TEST_F(SettingsDialogTest, TheFirstFailingCheckInOrderIsTheOneShown) {
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  Type(dialog, "Lower Flap Gate Alert:", "1");
  Type(dialog, "REPEAT Time Period:", "1");
  Type(dialog, "INITIAL Time Period:", "1");
  EXPECT_EQ(SaveMessage(dialog), "The INITIAL time period must range between 60 seconds to 300 seconds.");
  Type(dialog, "INITIAL Time Period:", "60");
  EXPECT_EQ(SaveMessage(dialog), "The REPEAT time period must range between 30 seconds to 300 seconds.");
  Type(dialog, "REPEAT Time Period:", "30");
  Type(dialog, "Upper Flap Gate Alert:", "2000");
  EXPECT_EQ(SaveMessage(dialog), "The Upper Flap Gate Alert must range between 500 feet AGL to 1400 feet AGL.");
}

TEST_F(SettingsDialogTest, AirbusZoneLimitsFlapsToLeverPositions) {
  flaps = {0, 1, 5, 15, 30};  // the aircraft's degrees play no part in the Airbus zone
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  platform::SetRadioButton(dialog, kAirbusZoneButton);
  Type(dialog, "Minimum Take-off Flaps:", "5");
  EXPECT_EQ(SaveMessage(dialog), "The Minimum Take-off Flaps must range between 0 position to 4 position.");
  Type(dialog, "Minimum Take-off Flaps:", "4");
  Type(dialog, "Minimum Landing Flaps:", "-1");
  EXPECT_EQ(SaveMessage(dialog), "The Minimum Landing Flaps must range between 0 position to 4 position.");
  Type(dialog, "Minimum Landing Flaps:", "4");
  EXPECT_EQ(SaveMessage(dialog), "");
}

TEST_F(SettingsDialogTest, BoeingZoneLimitsFlapsToTheAircraftsLastFlapPosition) {
  flaps = {0, 1, 5, 15, 30};
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  platform::SetRadioButton(dialog, kBoeingZoneButton);
  Type(dialog, "Minimum Take-off Flaps:", "31");
  EXPECT_EQ(SaveMessage(dialog), "The Minimum Take-off Flaps must range between 0 degrees to 30 degrees.");
  Type(dialog, "Minimum Take-off Flaps:", "30");
  Type(dialog, "Minimum Landing Flaps:", "31");
  EXPECT_EQ(SaveMessage(dialog), "The Minimum Landing Flaps must range between 0 degrees to 30 degrees.");
  Type(dialog, "Minimum Landing Flaps:", "30");
  EXPECT_EQ(SaveMessage(dialog), "");
  EXPECT_EQ(part.settings.MinTakeOffFlaps.load(), 30u);
  EXPECT_EQ(part.settings.AirbusSupprZone.load(), 0u);
}

TEST_F(SettingsDialogTest, BoeingZoneWithoutKnownFlapPositionsLetsAnyFlapsPass) {
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  platform::SetRadioButton(dialog, kBoeingZoneButton);
  Type(dialog, "Minimum Take-off Flaps:", "99");
  Type(dialog, "Minimum Landing Flaps:", "-7");
  EXPECT_EQ(SaveMessage(dialog), "");
}

TEST_F(SettingsDialogTest, EmptyFlapBoxesPassAsZeroAndAreStoredAsZero) {
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  platform::SetRadioButton(dialog, kAirbusZoneButton);
  Type(dialog, "Minimum Take-off Flaps:", "");
  Type(dialog, "Minimum Landing Flaps:", "");
  EXPECT_EQ(SaveMessage(dialog), "");
  EXPECT_EQ(part.settings.MinTakeOffFlaps.load(), 0u);
  EXPECT_NE(ReadProfile("B738").find("MinTakeOffFlaps=0\r\nMinLandingFlaps=0\r\n"), std::string::npos);
  // Filled again, a zero shows as "0".
  dialog.Fill();
  EXPECT_EQ(Caption(dialog, "Minimum Take-off Flaps:").text, "0");
}

TEST_F(SettingsDialogTest, AFailedCheckWritesNothingAndKeepsWhatWasTyped) {
  const std::string before = ReadProfile("B738");
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  Type(dialog, "Minimum Take-off Length:", "2500");
  Type(dialog, "INITIAL Time Period:", "10");
  EXPECT_NE(SaveMessage(dialog), "");
  EXPECT_EQ(ReadProfile("B738"), before);
  EXPECT_EQ(part.settings.MinTakeOffLength.load(), 1000u);
  EXPECT_EQ(Caption(dialog, "Minimum Take-off Length:").text, "2500");
  EXPECT_FALSE(dialog.Ended());
}

TEST(SettingsBoxNumbers, BoxesReadTheirLeadingDecimalNumber) {
  EXPECT_EQ(LeadingDecimal(""), 0);
  EXPECT_EQ(LeadingDecimal("  42ft"), 42);
  EXPECT_EQ(LeadingDecimal("-17"), -17);
  EXPECT_EQ(LeadingDecimal("abc"), 0);
  // Only the first 29 characters are read.
  EXPECT_EQ(LeadingDecimal(std::string(28, ' ') + "7"), 7);
  EXPECT_EQ(LeadingDecimal(std::string(29, ' ') + "7"), 0);
  EXPECT_EQ(NumberBoxValue("99999999999999"), 4294967295u);
  EXPECT_EQ(NumberBoxValue("-5"), 0u);
  EXPECT_FLOAT_EQ(ToleranceBoxValue("0.056"), 0.06f);
  EXPECT_FLOAT_EQ(ToleranceBoxValue("0.054"), 0.05f);
  EXPECT_FLOAT_EQ(ToleranceBoxValue(""), 0.0f);
  EXPECT_FLOAT_EQ(ToleranceBoxValue("x1"), 0.0f);
  EXPECT_EQ(FormatTolerance(0.05f), "0.05");
}

// ---- Filling and enabling ----

TEST_F(SettingsDialogTest, OpeningFillsTheControlsFromTheSettings) {
  WriteProfile("A320",
               "MasterSwitch=1\r\nLongLanding=5\r\nUnitsOfMeasure=1\r\nAirbusSupprZone=0\r\n"
               "MinTakeOffLength=0\r\nAltSetTolerance=0.1\r\nSoundSet=Female\r\n");
  LoadProfile(part, "A320");
  g_mainSettings.enableKeyEventApi = 1;
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;

  EXPECT_EQ(dialog.Control(kProfileNameLabel)->text, "A320");
  EXPECT_EQ(Caption(dialog, "Long Landing").value, 0);  // a stored 5 shows cleared
  EXPECT_EQ(Caption(dialog, "On Runway").value, 1);
  EXPECT_EQ(Caption(dialog, "Approaching Short Runway (In Air)").value, 0);  // missing: 0
  EXPECT_EQ(Caption(dialog, "Boeing Suppression Zone").value, 1);
  EXPECT_EQ(Caption(dialog, "Airbus Suppression Zone").value, 0);
  EXPECT_EQ(Caption(dialog, "Enable Key Event API").value, 1);
  const auto& units = Caption(dialog, "Units of Measurement:");
  EXPECT_EQ(units.items, (std::vector<std::string>{"Feet", "Meters"}));
  EXPECT_EQ(units.value, 1);
  EXPECT_EQ(Caption(dialog, "Minimum Take-off Length:").text, "0");
  EXPECT_EQ(Caption(dialog, "Minimum Take-off Length:").maxLength, 8);
  EXPECT_EQ(Caption(dialog, "Minimum Landing Length:").text, "800");
  EXPECT_EQ(Caption(dialog, "Alt. Set. Tolerance:").text, "0.10");
  const auto& sets = Caption(dialog, "Sound Set:");
  EXPECT_EQ(sets.items, part.soundSetNames);
  EXPECT_EQ(sets.items[static_cast<size_t>(sets.value)], "Female");
  EXPECT_EQ(Caption(dialog, "Audio Output Device:").items, devices);
  EXPECT_EQ(Caption(dialog, "Audio Output Device:").value, 1);
  const auto& slider = Caption(dialog, "Master Volume");
  EXPECT_EQ(slider.value, 5);
  EXPECT_EQ(slider.minimum, 0);
  EXPECT_EQ(slider.maximum, 10);
}

TEST_F(SettingsDialogTest, ADeviceIndexBeyondTheListSelectsNoneAndSavingKeepsTheDevice) {
  g_mainSettings.audioOutputDevice = 7;
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  EXPECT_EQ(Caption(dialog, "Audio Output Device:").value, -1);
  EXPECT_EQ(SaveMessage(dialog), "");
  EXPECT_EQ(g_mainSettings.audioOutputDevice, 7u);
}

TEST_F(SettingsDialogTest, TheMasterSwitchEnablesEverythingButItselfTheDeviceTheKeyApiAndClose) {
  part.settings.MasterSwitch = 0;
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  const std::vector<int> alwaysOn = {kMasterSwitchBox, kAudioDeviceList, kKeyEventApiBox, kCloseAndSaveButton};
  auto alwaysEnabled = [&](int id) { return std::find(alwaysOn.begin(), alwaysOn.end(), id) != alwaysOn.end(); };
  int governed = 0;
  for (const auto& control : dialog.Controls()) {
    if (control.kind == ControlKind::kLabel) continue;
    EXPECT_EQ(control.enabled, alwaysEnabled(control.id)) << control.caption;
    governed += !alwaysEnabled(control.id);
  }
  // 20 advisories, 6 runway controls, 2 hold times, 4 flap boxes, 8 misc
  // controls, the slider and the sound-set list.
  EXPECT_EQ(governed, 42);

  dialog.Control(kMasterSwitchBox)->value = 1;  // the user clicks it
  dialog.Command(kMasterSwitchBox);
  for (const auto& control : dialog.Controls()) EXPECT_TRUE(control.enabled) << control.caption;
}

// ---- Reading and saving ----

TEST_F(SettingsDialogTest, SavingReadsEveryControlIntoTheProfileAndTheMainSettings) {
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  dialog.ControlByCaption("Long Landing")->value = 0;
  dialog.ControlByCaption("Exclude Short Runways")->value = 1;
  dialog.ControlByCaption("Enable Key Event API")->value = 1;
  dialog.ControlByCaption("Units of Measurement:")->value = 0;
  dialog.ControlByCaption("Sound Set:")->value = 0;
  dialog.ControlByCaption("Audio Output Device:")->value = 0;
  dialog.ControlByCaption("Master Volume")->value = 8;
  Type(dialog, "Minimum Take-off Length:", "2500m");
  Type(dialog, "Max. Approach Speed:", "-5");  // not checked; a negative number is stored as 0
  Type(dialog, "Alt. Set. Tolerance:", "0.126");
  platform::SetRadioButton(dialog, kAirbusZoneButton);
  EXPECT_EQ(SaveMessage(dialog), "");

  const ProfileSettings& s = part.settings;
  EXPECT_EQ(s.LongLanding.load(), 0u);
  EXPECT_EQ(s.ExcludeShortRwys.load(), 1u);
  EXPECT_EQ(s.UnitsOfMeasure.load(), 0);
  EXPECT_STREQ(s.SoundSet, part.soundSetNames[0].c_str());
  EXPECT_EQ(s.MinTakeOffLength.load(), 2500u);
  EXPECT_EQ(s.MaxApproachSpeed.load(), 0u);
  EXPECT_FLOAT_EQ(s.AltSetTolerance.load(), 0.13f);
  EXPECT_EQ(s.AirbusSupprZone.load(), 1u);
  EXPECT_EQ(s.MasterVolume.load(), 8);
  EXPECT_EQ(g_mainSettings.masterVolume.load(), 8);
  EXPECT_EQ(g_mainSettings.enableKeyEventApi.load(), 1);
  EXPECT_EQ(g_mainSettings.audioOutputDevice, 0u);

  const std::string file = ReadProfile("B738");
  EXPECT_NE(file.find("MinTakeOffLength=2500\r\n"), std::string::npos);
  EXPECT_NE(file.find("AltSetTolerance=0.13\r\n"), std::string::npos);
  EXPECT_NE(file.find("MasterVolume=8\r\n"), std::string::npos);
  const std::string mainFile = appData.Read("ORVANTE/ORVANTE.INI");
  EXPECT_NE(mainFile.find("EnableKeyEventAPI=1"), std::string::npos);
  EXPECT_NE(mainFile.find("MasterVolume=8"), std::string::npos);
}

TEST_F(SettingsDialogTest, WithNoSoundSetSelectedSavingClearsItAndLeavesTheFileUnwritten) {
  const std::string before = ReadProfile("B738");
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  dialog.ControlByCaption("Sound Set:")->value = -1;
  Type(dialog, "Minimum Take-off Length:", "3000");
  EXPECT_EQ(SaveMessage(dialog), "");
  EXPECT_STREQ(part.settings.SoundSet, "");
  EXPECT_EQ(part.settings.MinTakeOffLength.load(), 3000u);
  EXPECT_EQ(ReadProfile("B738"), before);
}

// Loading takes a sound set whatever the letter case of its name; the
// dialog shows it selected, and saving keeps it and writes the file.
TEST_F(SettingsDialogTest, ASoundSetNamedInAnotherLetterCaseIsSelectedAndSaved) {
  WriteProfile("B738", "MasterSwitch=1\r\nSoundSet=female\r\nModel.0=PMDG 737-800\r\n");
  LoadProfile(part, "B738");
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  const auto& sets = Caption(dialog, "Sound Set:");
  ASSERT_GE(sets.value, 0);
  EXPECT_EQ(sets.items[static_cast<size_t>(sets.value)], "Female");
  Type(dialog, "Minimum Take-off Length:", "3000");
  EXPECT_EQ(SaveMessage(dialog), "");
  EXPECT_STREQ(part.settings.SoundSet, "Female");
  const std::string file = ReadProfile("B738");
  EXPECT_NE(file.find("\r\nMinTakeOffLength=3000\r\n"), std::string::npos) << file;
  EXPECT_NE(file.find("\r\nSoundSet=Female\r\n"), std::string::npos) << file;
}

// A save that cannot reach the file tells the user, who would otherwise find
// the changes gone at the next start.
TEST_F(SettingsDialogTest, AProfileThatCannotBeWrittenIsReportedToTheUser) {
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  std::filesystem::remove_all(appData.Path("ORVANTE/Profiles"));
  appData.Write("ORVANTE/Profiles", "not a folder");  // nobody, root included, can write there
  dialog.ControlByCaption("Sound Set:")->value = 0;
  platform::BuiltInHeadlessUserInterface().Clear();
  dialog.Command(kMenuSave);
  std::vector<platform::MessageBoxRecord> errors;
  for (const auto& box : platform::BuiltInHeadlessUserInterface().Boxes())
    if (box.flags == (platform::kMbOk | platform::kMbIconError)) errors.push_back(box);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].caption, "Orvante");
  EXPECT_EQ(errors[0].text.rfind("The profile \"B738\" was not saved: the file ", 0), 0u) << errors[0].text;

  // A profile without a sound set is not written either, and says so.
  std::filesystem::remove(appData.Path("ORVANTE/Profiles"));
  std::filesystem::create_directories(appData.Path("ORVANTE/Profiles"));
  dialog.ControlByCaption("Sound Set:")->value = -1;
  platform::BuiltInHeadlessUserInterface().Clear();
  dialog.Command(kMenuSave);
  ASSERT_FALSE(platform::BuiltInHeadlessUserInterface().Boxes().empty());
  EXPECT_EQ(platform::BuiltInHeadlessUserInterface().Boxes().back().text,
            "The profile \"B738\" was not saved: it names no sound set.");
  EXPECT_FALSE(std::filesystem::exists(appData.Path("ORVANTE/Profiles/B738.INI")));
}

// ---- Commands ----

TEST_F(SettingsDialogTest, CloseAndSaveClosesWithOneOnlyWhenTheChecksPass) {
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  Type(dialog, "REPEAT Time Period:", "29");
  dialog.Command(kCloseAndSaveButton);
  EXPECT_FALSE(dialog.Ended());
  Type(dialog, "REPEAT Time Period:", "45");
  dialog.Command(kCloseAndSaveButton);
  EXPECT_TRUE(dialog.Ended());
  EXPECT_EQ(dialog.Result(), 1);
  EXPECT_NE(ReadProfile("B738").find("ExtHoldRepeatTime=45\r\n"), std::string::npos);
}

TEST_F(SettingsDialogTest, ClosingTheWindowAsksWhetherToSave) {
  platform::ScriptedUserInterface ui;
  platform::SetUserInterface(&ui);
  const std::string before = ReadProfile("B738");
  {
    // No: closes without saving.
    auto owned = OpenDialog();
    SettingsDialog& dialog = *owned;
    Type(dialog, "Minimum Take-off Length:", "2222");
    ui.Queue(*platform::ParseDialogAction("answer,No"));
    dialog.CloseRequested();
    EXPECT_TRUE(dialog.Ended());
    EXPECT_EQ(dialog.Result(), 1);
    EXPECT_EQ(ReadProfile("B738"), before);
    ASSERT_EQ(ui.Boxes().size(), 1u);
    EXPECT_EQ(ui.Boxes()[0].text, "Do you want to save changes for the current profile?");
    EXPECT_EQ(ui.Boxes()[0].flags, platform::kMbYesNo | platform::kMbIconQuestion);
  }
  {
    // Yes with an invalid hold time: the warning, and the dialog stays open.
    auto owned = OpenDialog();
    SettingsDialog& dialog = *owned;
    Type(dialog, "INITIAL Time Period:", "301");
    ui.Clear();
    ui.Queue(*platform::ParseDialogAction("answer,Yes"));
    dialog.CloseRequested();
    EXPECT_FALSE(dialog.Ended());
    ASSERT_EQ(ui.Boxes().size(), 2u);
    EXPECT_EQ(ui.Boxes()[1].text, "The INITIAL time period must range between 60 seconds to 300 seconds.");
    EXPECT_EQ(ReadProfile("B738"), before);
    // Yes with valid values: saved and closed.
    Type(dialog, "INITIAL Time Period:", "120");
    ui.Queue({*platform::ParseDialogAction("answer,Yes"), *platform::ParseDialogAction("answer,No")});
    dialog.CloseRequested();
    EXPECT_TRUE(dialog.Ended());
    EXPECT_EQ(dialog.Result(), 1);
    EXPECT_NE(ReadProfile("B738").find("ExtHoldInitialTime=120\r\n"), std::string::npos);
    EXPECT_EQ(ReadProfile("B738").find("Model.0"), std::string::npos);  // the link was declined
  }
}

TEST_F(SettingsDialogTest, LinkToCurrentModelTwiceLinksOnceAndTellsTwice) {
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  dialog.Command(kMenuLinkModel);
  dialog.Command(kMenuLinkModel);
  EXPECT_EQ(part.linkedModels, (std::vector<std::string>{"PMDG 737-800"}));
  auto boxes = platform::BuiltInHeadlessUserInterface().Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  for (const auto& box : boxes) {
    EXPECT_EQ(box.text, "Your current model has been linked to the current profile.");
    EXPECT_EQ(box.flags, platform::kMbOk | platform::kMbIconInformation);
  }
  // Also without an aircraft: nothing linked, still told.
  SetAircraftModel("");
  part.linkedModels.clear();
  dialog.Command(kMenuLinkModel);
  EXPECT_TRUE(part.linkedModels.empty());
  EXPECT_EQ(platform::BuiltInHeadlessUserInterface().Boxes().size(), 3u);
}

// A link that was refused is not announced as made.
TEST_F(SettingsDialogTest, ARefusedLinkIsNotAnnouncedAsMade) {
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  for (const char* model : {"", "B738\r\nMasterSwitch=1"}) {
    SetAircraftModel(model);
    platform::BuiltInHeadlessUserInterface().Clear();
    dialog.Command(kMenuLinkModel);
    EXPECT_TRUE(part.linkedModels.empty());
    auto boxes = platform::BuiltInHeadlessUserInterface().Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.find("has been linked"), std::string::npos) << boxes[0].text;
    EXPECT_EQ(boxes[0].flags, platform::kMbOk | platform::kMbIconWarning);
  }
}

TEST_F(SettingsDialogTest, AudioTestAndSliderReleaseActOnlyWithASoundSetLoaded) {
  QueuedCues().clear();
  LibraryVolumes().clear();
  g_audio.VSC_AUDIO_ADD_TO_QUE = RecordCue;
  g_audio.VSC_AUDIO_SET_VOLUME = RecordVolume;
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;

  dialog.Command(kMenuAudioTest);
  dialog.ControlByCaption("Master Volume")->value = 3;
  dialog.SliderReleased(kMasterVolumeSlider);
  EXPECT_TRUE(QueuedCues().empty());
  EXPECT_TRUE(LibraryVolumes().empty());
  EXPECT_EQ(part.settings.MasterVolume.load(), 5);

  g_voice.soundSetReady = 1;
  dialog.SliderReleased(kMasterVolumeSlider);
  EXPECT_EQ(part.settings.MasterVolume.load(), 3);
  EXPECT_EQ(g_mainSettings.masterVolume.load(), 3);
  EXPECT_EQ(LibraryVolumes(), (std::vector<float>{3.0f}));
  dialog.Command(kMenuAudioTest);
  ASSERT_EQ(QueuedCues().size(), 1u);
  EXPECT_EQ(QueuedCues()[0].name, "audiotestpassed");
  EXPECT_EQ(QueuedCues()[0].volume, 3.0f);
  g_voice.soundSetReady = 0;
}

TEST_F(SettingsDialogTest, ErrorLogAndAboutBoxOpenWithTheShell) {
  std::strcpy(g_profilesEnvironment.versionText, "Version: 1.0.0.1");
  platform::ScriptedUserInterface ui;
  platform::SetUserInterface(&ui);
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  dialog.Command(kMenuErrorLog);
  ui.Queue({*platform::ParseDialogAction("press,Visit Vescor website"),
            *platform::ParseDialogAction("press,View online manual"),
            *platform::ParseDialogAction("press,Visit support forum")});
  dialog.Command(kMenuAbout);
  EXPECT_EQ(ui.Opened(), (std::vector<std::string>{appData.NativePath("ORVANTE/ORVANTE.LOG"), kMakerWebsiteAddress,
                                                   kOnlineManualAddress, kSupportForumAddress}));
  AboutBox about;
  about.Open();
  EXPECT_EQ(about.Control(kAboutVersionLabel)->text, "Version: 1.0.0.1");
  about.CloseRequested();
  EXPECT_EQ(about.Result(), 1);
}

// ---- The small dialogs ----

TEST_F(SettingsDialogTest, CreateProfileMakesSavesAndListsTheNamedProfile) {
  CreateProfileDialog create(part);
  create.Open();
  EXPECT_EQ(create.Control(kProfileNameBox)->text, "PMDG 737-800");
  EXPECT_EQ(create.Control(kProfileNameBox)->maxLength, 69);
  create.Control(kProfileNameBox)->text = "";
  create.Command(kCreateProfileButton);
  EXPECT_FALSE(create.Ended());

  create.Control(kProfileNameBox)->text = "A321";
  create.Command(kCreateProfileButton);
  EXPECT_TRUE(create.Ended());
  EXPECT_EQ(create.Result(), 1);
  EXPECT_STREQ(part.settings.profileName, "A321");
  EXPECT_EQ(part.settings.UnitsOfMeasure.load(), 1);                                   // a new profile's default
  EXPECT_NE(ReadProfile("A321").find("Model.0=PMDG 737-800\r\n"), std::string::npos);  // the link question: Yes
  EXPECT_NE(std::find(part.profileNames.begin(), part.profileNames.end(), "A321"), part.profileNames.end());
  EXPECT_TRUE(std::filesystem::exists(appData.Path("ORVANTE/ORVANTE.INI")));

  // Through the main dialog, the controls show the new profile.
  auto owned = OpenDialog();
  SettingsDialog& dialog = *owned;
  platform::ScriptedUserInterface ui;
  platform::SetUserInterface(&ui);
  ui.Queue(
      {*platform::ParseDialogAction("type,Profile Name:,E190"), *platform::ParseDialogAction("press,Create Profile")});
  dialog.Command(kMenuCreate);
  EXPECT_EQ(dialog.Control(kProfileNameLabel)->text, "E190");
  EXPECT_EQ(Caption(dialog, "Units of Measurement:").value, 1);
}

TEST_F(SettingsDialogTest, OpenProfileListsTheOthersAndCanMakeTheChoiceTheDefault) {
  WriteProfile("A320", "MinTakeOffLength=1234\r\n");
  WriteProfile("C172", "");
  OpenProfileDialog open(part);
  open.Open();
  std::vector<std::string> listed = open.Control(kSelectProfileList)->items;
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"A320", "C172"}));
  EXPECT_EQ(open.Control(kSelectProfileList)->value, 0);

  const auto& items = open.Control(kSelectProfileList)->items;
  open.Control(kSelectProfileList)->value =
      static_cast<int>(std::find(items.begin(), items.end(), "A320") - items.begin());
  open.Control(kDefaultProfileBox)->value = 1;
  open.Command(kOpenProfileButton);
  EXPECT_EQ(open.Result(), 1);
  EXPECT_STREQ(part.settings.profileName, "A320");
  EXPECT_EQ(part.settings.MinTakeOffLength.load(), 1234u);
  EXPECT_STREQ(g_mainSettings.defaultProfile, "A320");
  EXPECT_NE(appData.Read("ORVANTE/ORVANTE.INI").find("DEFAULTProfile=A320"), std::string::npos);

  // Nothing selected: nothing happens.
  OpenProfileDialog again(part);
  again.Open();
  again.Control(kSelectProfileList)->value = -1;
  again.Command(kOpenProfileButton);
  EXPECT_FALSE(again.Ended());
}

TEST_F(SettingsDialogTest, DeleteProfileDeletesStaysOpenAndNeverOffersTheLoadedOne) {
  WriteProfile("A320", "");
  DeleteProfileDialog remove(part);
  remove.Open();
  EXPECT_EQ(remove.Control(kSelectProfileList)->items, (std::vector<std::string>{"A320"}));
  remove.Command(kDeleteProfileButton);
  EXPECT_FALSE(remove.Ended());
  EXPECT_FALSE(ProfileExists("A320"));
  EXPECT_TRUE(remove.Control(kSelectProfileList)->items.empty());
  EXPECT_EQ(remove.Control(kSelectProfileList)->value, -1);
  auto boxes = platform::BuiltInHeadlessUserInterface().Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "The selected profile has been deleted");
  remove.Command(kDeleteProfileButton);  // empty list: nothing
  EXPECT_EQ(platform::BuiltInHeadlessUserInterface().Boxes().size(), 1u);
  EXPECT_TRUE(ProfileExists("B738"));
}

TEST_F(SettingsDialogTest, UnlinkModelRemovesTheChosenModelUntilTheNextSave) {
  part.linkedModels = {"PMDG 737-800", "Cessna 172"};
  UnlinkModelDialog unlink(part);
  unlink.Open();
  unlink.Control(kSelectModelList)->value = 1;
  unlink.Command(kUnlinkModelButton);
  EXPECT_EQ(part.linkedModels, (std::vector<std::string>{"PMDG 737-800"}));
  EXPECT_EQ(unlink.Control(kSelectModelList)->items, part.linkedModels);
  EXPECT_EQ(platform::BuiltInHeadlessUserInterface().Boxes().back().text, "The selected model has been unlinked");
  EXPECT_EQ(ReadProfile("B738").find("Model."), std::string::npos);
}

// ---- Opening from the module ----

// Notes the owner each dialog is run with.
struct OwnerRecordingInterface : platform::ScriptedUserInterface {
  std::vector<platform::WindowHandle> owners;
  int RunDialog(platform::WindowHandle owner, platform::Dialog& dialog) override {
    owners.push_back(owner);
    return ScriptedUserInterface::RunDialog(owner, dialog);
  }
};

TEST_F(SettingsDialogTest, ShowSettingsDialogRunsOnTheUnitOwnedByTheMainWindow) {
  OwnerRecordingInterface ui;
  platform::SetUserInterface(&ui);
  g_module.unit = nullptr;
  ShowSettingsDialog();
  EXPECT_TRUE(ui.Events().empty());

  auto unit = std::make_unique<AdvisoryUnit>();
  unit->profile.soundSetNames = part.soundSetNames;
  LoadProfile(unit->profile, "B738");
  unit->flapPositions = {0, 5, 15, 40};
  g_module.unit = unit.get();
  platform::WindowHandle mainWindow = platform::RegisterTopLevelWindow("FS98MAIN");
  g_module.mainWindow = mainWindow;
  // The unit's aircraft allows 40 degrees.
  for (const char* line :
       {"check,Boeing Suppression Zone,1", "type,Minimum Landing Flaps:,41", "press,Close and Save Settings",
        "type,Minimum Landing Flaps:,40", "press,Close and Save Settings", "answer,No"})
    ui.Queue(*platform::ParseDialogAction(line));
  ShowSettingsDialog();
  ASSERT_FALSE(ui.Events().empty());
  EXPECT_EQ(ui.Events().back().action, "closed");
  EXPECT_EQ(ui.Events().back().result, 1);
  ASSERT_EQ(ui.owners.size(), 1u);
  EXPECT_EQ(ui.owners[0], mainWindow);
  ASSERT_GE(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "The Minimum Landing Flaps must range between 0 degrees to 40 degrees.");
  EXPECT_EQ(unit->profile.settings.MinLandingFlaps.load(), 40u);

  g_module.unit = nullptr;
  g_module.mainWindow = nullptr;
  platform::UnregisterTopLevelWindow(mainWindow);
}

}  // namespace
