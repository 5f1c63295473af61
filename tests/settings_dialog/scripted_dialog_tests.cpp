// The scripted front end: the action language of the events file, and the
// settings dialog worked from a script as a replay works it, with every box
// and action recorded.
#include <gtest/gtest.h>

#include "created_profile_text.h"

#include <string>
#include <vector>

#include "core/main_settings.h"
#include "profiles/profile_files.h"
#include "voice/sound_sets.h"
#include "profiles/settings_dialog.h"
#include "platform/dialog.h"
#include "platform/scripted_user_interface.h"
#include "profile_test_fixture.h"

using namespace orvante;
using platform::DialogAction;
using platform::ParseDialogAction;

namespace {

TEST(DialogActionSyntax, EveryVerbParsesAndWritesBackAsWritten) {
  for (const char* line :
       {"check,Master Switch (On/Off),1", "check,Long Landing,0", "select,Units of Measurement:,Meters",
        "select,Sound Set:,", "type,Profile Name:,Boeing 737, the -800", "type,Alt. Set. Tolerance:,",
        "slide,Master Volume,7", "press,Close and Save Settings", "press,Profiles/Create", "answer,Yes",
        "answer,Cancel", "close"}) {
    std::optional<DialogAction> action = ParseDialogAction(line);
    ASSERT_TRUE(action) << line;
    EXPECT_EQ(platform::FormatDialogAction(*action), line);
  }
  // Verbs in any case, blanks around fields, a line end left by the reader.
  std::optional<DialogAction> action = ParseDialogAction(" SLIDE , Master Volume , 3 \r\n");
  ASSERT_TRUE(action);
  EXPECT_EQ(action->verb, DialogAction::Verb::kSlide);
  EXPECT_EQ(action->caption, "Master Volume");
  EXPECT_EQ(action->number, 3);
  // Typed text keeps its blanks.
  EXPECT_EQ(ParseDialogAction("type,Profile Name:,  My Profile ")->text, "  My Profile ");
  EXPECT_EQ(ParseDialogAction("answer,no")->text, "No");
}

TEST(DialogActionSyntax, MalformedActionsAreRefused) {
  for (const char* line : {"", "wiggle,Master Volume", "check,Long Landing", "check,Long Landing,2",
                           "check,Long Landing,yes", "slide,Master Volume,", "slide,Master Volume,3x", "press,",
                           "press", "type,Profile Name:", "answer,Maybe", "answer", "close,now", "select,,Feet"})
    EXPECT_FALSE(ParseDialogAction(line)) << line;
}

struct ScriptedDialogTest : ProfileTest {
  platform::ScriptedUserInterface ui;
  std::vector<uint32_t> flaps;

  void SetUp() override {
    ProfileTest::SetUp();
    InstallSoundSets({"Default"});
    BuildSoundSetList(part.soundSetNames);
    WriteProfile("B738", "MasterSwitch=1\r\n");
    BuildProfileList(part);
    LoadProfile(part, "B738");
    SetAircraftModel("PMDG 737-800");
    platform::SetUserInterface(&ui);
  }
  void TearDown() override {
    platform::SetUserInterface(nullptr);
    ProfileTest::TearDown();
  }
  void Script(std::initializer_list<const char*> lines) {
    for (const char* line : lines) {
      std::optional<DialogAction> action = ParseDialogAction(line);
      ASSERT_TRUE(action) << line;
      ui.Queue(*action);
    }
  }
  int Run() {
    SettingsDialog dialog(part, flaps, [] { return std::vector<std::string>{"Speakers"}; });
    return platform::RunDialog(nullptr, dialog);
  }
  // Each event as "dialog | action | outcome".
  std::vector<std::string> Record() const {
    std::vector<std::string> lines;
    for (const platform::DialogEvent& e : ui.Events()) {
      std::string line = e.dialog + " | " + e.action;
      if (e.action == "closed") line += " " + std::to_string(e.result);
      if (!e.outcome.empty()) line += " | " + e.outcome;
      lines.push_back(line);
    }
    return lines;
  }
};

TEST_F(ScriptedDialogTest, CreateLinkChangeAndSaveAProfileNamedAfterTheAircraft) {
  Script({"press,Profiles/Create", "press,Create Profile", "answer,Yes", "check,Master Switch (On/Off),1",
          "type,Minimum Take-off Length:,2500", "press,Close and Save Settings"});
  EXPECT_EQ(Run(), 1);

  EXPECT_EQ(ReadProfile("PMDG 737-800"), CreatedProfileText("PMDG 737-800"));
  const std::string mainSettings = appData.Read("ORVANTE/ORVANTE.INI");
  for (const char* line :
       {"P3DSceneryID=0", "DEFAULTProfile=", "EnableKeyEventAPI=0", "AudioOutputDevice=0", "MasterVolume=5"})
    EXPECT_NE(mainSettings.find(line), std::string::npos) << line << " in\n" << mainSettings;

  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].text, "Do you want to link this profile with your current aircraft model?");
  EXPECT_EQ(ui.Boxes()[0].answer, platform::kIdYes);
  EXPECT_EQ(Record(), (std::vector<std::string>{
                          "Orvante | open",
                          "Orvante | press,Profiles/Create",
                          "Create Profile | open",
                          "Create Profile | press,Create Profile",
                          "Orvante | answer,Yes",
                          "Create Profile | closed 1",
                          "Orvante | check,Master Switch (On/Off),1",
                          "Orvante | type,Minimum Take-off Length:,2500",
                          "Orvante | press,Close and Save Settings",
                          "Orvante | closed 1",
                      }));
  EXPECT_EQ(ui.Pending(), 0u);
}

TEST_F(ScriptedDialogTest, AScriptEndingWithDialogsOpenClosesThemWithTheCloseButton) {
  // The Create Profile dialog closes with 0 and changes nothing; the main
  // dialog then asks about saving, and the default Yes saves.
  Script({"press,Profiles/Create", "type,Profile Name:,Unused"});
  EXPECT_EQ(Run(), 1);
  EXPECT_STREQ(part.settings.profileName, "B738");
  EXPECT_FALSE(ProfileExists("Unused"));
  EXPECT_EQ(Record(), (std::vector<std::string>{
                          "Orvante | open",
                          "Orvante | press,Profiles/Create",
                          "Create Profile | open",
                          "Create Profile | type,Profile Name:,Unused",
                          "Create Profile | close | the script ended with the dialog open",
                          "Create Profile | closed 0",
                          "Orvante | close | the script ended with the dialog open",
                          "Orvante | closed 1",
                      }));
  ASSERT_EQ(ui.Boxes().size(), 2u);
  EXPECT_EQ(ui.Boxes()[0].text, "Do you want to save changes for the current profile?");
  EXPECT_EQ(ui.Boxes()[0].answer, platform::kIdYes);
}

TEST_F(ScriptedDialogTest, ActionsTheDialogCannotTakeAreRecordedAndSkipped) {
  part.settings.MasterSwitch = 0;
  Script({"type,Minimum Take-off Length:,2500",  // disabled while the master switch is off
          "check,Nonexistent,1", "press,Sound Set:", "select,Units of Measurement:,Yards", "answer,Yes",
          "check,Boeing Suppression Zone,0", "slide,Master Switch (On/Off),3", "close", "answer,No",
          "press,Close and Save Settings"});
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Record(), (std::vector<std::string>{
                          "Orvante | open",
                          "Orvante | type,Minimum Take-off Length:,2500 | \"Minimum Take-off Length:\" is disabled",
                          "Orvante | check,Nonexistent,1 | no control \"Nonexistent\"",
                          "Orvante | press,Sound Set: | no button or menu item \"Sound Set:\"",
                          "Orvante | select,Units of Measurement:,Yards | \"Units of Measurement:\" is disabled",
                          "Orvante | answer,Yes | no question is open",
                          "Orvante | check,Boeing Suppression Zone,0 | \"Boeing Suppression Zone\" is disabled",
                          "Orvante | slide,Master Switch (On/Off),3 | \"Master Switch (On/Off)\" is a check box",
                          "Orvante | close",
                          "Orvante | answer,No",
                          "Orvante | closed 1",
                          "Orvante | press,Close and Save Settings | unused: the dialog had closed",
                      }));
  EXPECT_EQ(part.settings.MinTakeOffLength.load(), 1000u);
  EXPECT_EQ(ui.Pending(), 0u);
}

TEST_F(ScriptedDialogTest, ControlsChangeAsAUserWouldChangeThem) {
  Script({"check,Long Landing,0", "check,On Runway,1",  // already set: no click, stays set
          "select,Units of Measurement:,Meters", "check,Boeing Suppression Zone,1",
          "type,Minimum Take-off Length:,1234567890",  // the box takes 8 characters
          "slide,Master Volume,15",                    // kept within 0..10
          "press,Save", "answer,No", "close", "answer,No"});
  EXPECT_EQ(Run(), 1);
  const ProfileSettings& s = part.settings;
  EXPECT_EQ(s.LongLanding.load(), 0u);
  EXPECT_EQ(s.OnRunway.load(), 1u);
  EXPECT_EQ(s.UnitsOfMeasure.load(), 1);
  EXPECT_EQ(s.AirbusSupprZone.load(), 0u);
  EXPECT_EQ(s.MinTakeOffLength.load(), 12345678u);
  EXPECT_EQ(s.MasterVolume.load(), 10);
  EXPECT_NE(ReadProfile("B738").find("MinTakeOffLength=12345678\r\n"), std::string::npos);
}

TEST_F(ScriptedDialogTest, AWrongAnswerForABoxTakesItsDefaultButton) {
  Script({"press,Profiles/Link to current model", "answer,Yes", "close", "answer,No"});
  EXPECT_EQ(Run(), 1);
  ASSERT_EQ(ui.Boxes().size(), 2u);
  EXPECT_EQ(ui.Boxes()[0].answer, platform::kIdOk);
  std::vector<std::string> record = Record();
  EXPECT_EQ(record[2], "Orvante | answer,Yes | the box has no Yes button; answered OK");
}

TEST_F(ScriptedDialogTest, TheHeadlessFrontEndPressesCloseAndReportsIt) {
  platform::SetUserInterface(nullptr);
  std::vector<std::string> events;
  platform::SetDialogEventListener([&events](const platform::DialogEvent& e) {
    events.push_back(e.dialog + " | " + e.action + (e.outcome.empty() ? "" : " | " + e.outcome));
  });
  // Yes to saving, but the hold time fails: no one can fix it, so the dialog
  // is ended with result 0 and nothing is written.
  WriteProfile("B738", "MasterSwitch=1\r\nExtHoldInitialTime=20\r\n");
  LoadProfile(part, "B738");
  const std::string before = ReadProfile("B738");
  EXPECT_EQ(Run(), 0);
  platform::SetDialogEventListener(nullptr);
  EXPECT_EQ(events, (std::vector<std::string>{"Orvante | open", "Orvante | close",
                                              "Orvante | close | the dialog stayed open; ended unattended",
                                              "Orvante | closed"}));
  EXPECT_EQ(ReadProfile("B738"), before);
  auto boxes = platform::BuiltInHeadlessUserInterface().Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "The INITIAL time period must range between 60 seconds to 300 seconds.");
}

}  // namespace
