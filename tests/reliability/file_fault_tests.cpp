// Files that cannot be written or that vanish while the unit runs. The fault
// library makes chosen calls fail (a full disk, a folder the user may not
// write, a failing flush or rename); the events file deletes or replaces the
// runway table and removes the log's folder in the middle of a session.
// The unit must keep the user's old files whole and say so, log what the
// runway query meets, and go on running.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "program_run.h"
#include "sim_folder.h"
#include "wine_prefix.h"

namespace {

namespace fs = std::filesystem;
using faults::CountCues;
using faults::FindLog;

// Standing lined up on KSFO's runway 28R: the on-runway callout, then the
// holding reminder at about a minute and every 30 s after it.
const char kOnRunwayPlan[] =
    "airport KSFO\n"
    "start 28R along 1500 heading 298\n"
    "hold 170\n";

std::vector<std::string> FlyArguments(const TempFolder& folder, const std::string& simDir, const std::string& events) {
  std::vector<std::string> args = {faults::SimulatorProgram(),
                                   "fly",
                                   folder.Write("flight.plan", kOnRunwayPlan),
                                   "--sim-dir",
                                   simDir,
                                   "--appdata",
                                   folder.Path("app"),
                                   "--aircraft",
                                   folder.Path("aircraft/B738"),
                                   "--transcript",
                                   folder.Path("out.jsonl")};
  if (!events.empty()) {
    args.push_back("--events");
    args.push_back(folder.Write("events.csv", events));
  }
  return args;
}

std::string EventsStart(const TempFolder& folder) {
  return "0,aircraft_loaded," + folder.Path("aircraft/B738") + "\n0,sim_start\n";
}

int LeftoverTemporaries(const fs::path& folder) {
  int count = 0;
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
    std::string name = entry.path().filename().string();
    if (name.find(".tmp-") != std::string::npos || name.find(".new-") != std::string::npos) ++count;
  }
  return count;
}

struct SaveFault {
  const char* name;
  const char* rules;
};

void PrintTo(const SaveFault& fault, std::ostream* out) { *out << fault.name << " (" << fault.rules << ")"; }

class SavingOnAFailingDisk : public ::testing::TestWithParam<SaveFault> {};

// The settings dialog saves the profile and the main settings while the
// chosen calls fail on everything under the user's ORVANTE folder.
TEST_P(SavingOnAFailingDisk, KeepsTheOldProfileAndMainSettingsWholeAndSaysSoInTheLog) {
  TempFolder folder;
  const std::string simDir = faults::CopySimulatorFolder(folder);
  faults::WriteUserFolders(folder);
  const std::string profileBefore = folder.Read("app/ORVANTE/Profiles/TEST.INI");
  const std::string settingsBefore = folder.Read("app/ORVANTE/ORVANTE.INI");
  const std::string events = EventsStart(folder) +
                             "40,menu\n"
                             "40,dialog,type,Minimum Take-off Length:,2500\n"
                             "40,dialog,press,Close and Save Settings\n"
                             "41,sim_start\n";  // back to flying after the dialog
  const std::string faultLog = folder.Path("faults.log");
  faults::ProgramRun run =
      faults::RunProgram(FlyArguments(folder, simDir, events), faults::FaultEnvironment(GetParam().rules, "", faultLog),
                         std::chrono::minutes(5));
  ASSERT_FALSE(run.timedOut) << run.output;
  ASSERT_EQ(run.exitCode, 0) << run.output;
  ASSERT_FALSE(faults::FileLines(faultLog).empty()) << "no fault was injected\n" << run.output;

  EXPECT_EQ(folder.Read("app/ORVANTE/Profiles/TEST.INI"), profileBefore);
  EXPECT_EQ(folder.Read("app/ORVANTE/ORVANTE.INI"), settingsBefore);
  EXPECT_EQ(LeftoverTemporaries(folder.Path("app")), 0) << "a failed save leaves no temporary file";
  auto lines = faults::ReadTranscriptLines(folder.Path("out.jsonl"));
  EXPECT_NE(FindLog(lines, "Couldn't write profile file"), nullptr) << folder.Read("app/ORVANTE/ORVANTE.LOG");
  EXPECT_NE(FindLog(lines, "Couldn't write the INITIALIZATION file"), nullptr)
      << folder.Read("app/ORVANTE/ORVANTE.LOG");
  // The unit itself carried on: it spoke before and after the save.
  EXPECT_GT(CountCues(lines, 0, 40), 0);
  EXPECT_GT(CountCues(lines, 40), 0) << run.output;
}

INSTANTIATE_TEST_SUITE_P(Faults, SavingOnAFailingDisk,
                         ::testing::Values(SaveFault{"NoSpaceLeftWhileWriting", "write:ENOSPC:*/app/ORVANTE/*"},
                                           SaveFault{"NoPermissionToCreateTheFile", "open:EACCES:*/app/ORVANTE/*"},
                                           SaveFault{"TheFlushToDiskFails", "sync:EIO:*/app/ORVANTE/*"},
                                           SaveFault{"TheReplacingRenameIsRefused", "rename:EACCES:*/app/ORVANTE/*"}),
                         [](const ::testing::TestParamInfo<SaveFault>& info) { return std::string(info.param.name); });

const std::string kDllXml =
    "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n"
    "<SimBase.Document Type=\"Launch\" version=\"1,0\">\r\n"
    "\t<Launch.Addon>\r\n\t\t<Name>Weather Radar</Name>\r\n\t\t<Path>Modules\\radar.dll</Path>\r\n\t</Launch.Addon>\r\n"
    "</SimBase.Document>\r\n";

TEST(RegistrationOnAFailingDisk, DllXmlStaysAsItWasAndTheUserIsTold) {
  for (const char* rules : {"write:ENOSPC:*/FSX-SE/*", "open:EACCES:*/FSX-SE/*"}) {
    SCOPED_TRACE(rules);
    addovar::testing::WinePrefix prefix;
    prefix.InstallFsx(kDllXml);
    prefix.WriteUserRegistry(addovar::testing::WinePrefix::FsxWindowsPath());
    addovar::testing::WriteBytes(prefix.dllXml(), kDllXml);
    const std::string faultLog = (prefix.root() / "faults.log").string();
    faults::ProgramRun run = faults::RunProgram({faults::BuildDir() + "/bin/addovar", "-INSTALL"},
                                                faults::FaultEnvironment(rules, "", faultLog), std::chrono::minutes(1));
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_FALSE(faults::FileLines(faultLog).empty());
    EXPECT_EQ(addovar::testing::ReadBytes(prefix.dllXml()), kDllXml);
    EXPECT_FALSE(fs::exists(prefix.backup())) << "no half backup is left to be restored later";
    EXPECT_NE(run.output.find("Sorry, unable to configure your DLL.XML file."), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("cannot write"), std::string::npos) << run.output;
    EXPECT_EQ(LeftoverTemporaries(prefix.dllXml().parent_path()), 0);
  }
}

// r4.csv vanishes at 40 s and comes back at 100 s: the queries in between
// fail with the COM ERROR lines, the next query after the return works again
// and the unit speaks again.
TEST(RunwayTableMidSession, DeletedThenRestoredGivesTheQueryErrorLinesThenWorksAgain) {
  TempFolder folder;
  const std::string simDir = faults::CopySimulatorFolder(folder);
  faults::WriteUserFolders(folder);
  fs::copy_file(simDir + "/r4.csv", folder.Path("app/r4.kept"));
  const std::string events =
      EventsStart(folder) + "40,remove,r4.csv\n100,copy," + folder.Path("app/r4.kept") + "," + simDir + "/r4.csv\n";
  faults::ProgramRun run = faults::RunProgram(FlyArguments(folder, simDir, events), {}, std::chrono::minutes(5));
  ASSERT_FALSE(run.timedOut) << run.output;
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("removed " + simDir + "/r4.csv"), std::string::npos) << run.output;

  auto lines = faults::ReadTranscriptLines(folder.Path("out.jsonl"));
  const faults::TranscriptLine* code = FindLog(lines, "LOG EVENT -> COM ERROR - Error Code: 0x80070002...", 40);
  ASSERT_NE(code, nullptr) << folder.Read("out.jsonl");
  EXPECT_LE(code->t, 40 + 15.25) << "the first query after the deletion reports it";
  EXPECT_NE(FindLog(lines, "LOG EVENT -> COM ERROR - Error Meaning: The system cannot find the file specified....", 40),
            nullptr);
  EXPECT_NE(
      FindLog(lines,
              "LOG EVENT -> COM ERROR - Description: The file r4.csv is no longer in the folder of the table....", 40),
      nullptr);
  EXPECT_NE(FindLog(lines, "LOG EVENT -> ERROR object - Code Number: 0x80070002", 40), nullptr);
  EXPECT_EQ(FindLog(lines, "COM ERROR", 100 + 15.25), nullptr) << "the restored table is queried without errors";
  EXPECT_EQ(CountCues(lines, code->t, 100), 0) << "no runways, no callouts";
  EXPECT_GT(CountCues(lines, 100), 0) << "the holding reminder comes again once the table is back";
}

// r4.csv is replaced by a table that cannot be read, then by the original:
// the queries meanwhile fail with the provider's reason, and the next query
// after the good file returns reads it.
TEST(RunwayTableMidSession, ReplacedByAnUnreadableTableThenByAGoodOneIsFollowed) {
  TempFolder folder;
  const std::string simDir = faults::CopySimulatorFolder(folder);
  faults::WriteUserFolders(folder);
  fs::copy_file(simDir + "/r4.csv", folder.Path("app/r4.kept"));
  folder.Write("app/r4.utf16", std::string("\xFF\xFEK\0S\0F\0O\0,\0\x32\0\x38\0\r\0\n\0", 20));
  const std::string events = EventsStart(folder) + "40,copy," + folder.Path("app/r4.utf16") + "," + simDir +
                             "/r4.csv\n100,copy," + folder.Path("app/r4.kept") + "," + simDir + "/r4.csv\n";
  faults::ProgramRun run = faults::RunProgram(FlyArguments(folder, simDir, events), {}, std::chrono::minutes(5));
  ASSERT_FALSE(run.timedOut) << run.output;
  ASSERT_EQ(run.exitCode, 0) << run.output;

  auto lines = faults::ReadTranscriptLines(folder.Path("out.jsonl"));
  const faults::TranscriptLine* description =
      FindLog(lines, "LOG EVENT -> COM ERROR - Description: The file r4.csv changed and cannot be read again", 40);
  ASSERT_NE(description, nullptr) << folder.Read("out.jsonl");
  EXPECT_LE(description->t, 40 + 15.25);
  EXPECT_NE(FindLog(lines, "LOG EVENT -> COM ERROR - Error Code: 0x", 40), nullptr);
  EXPECT_EQ(FindLog(lines, "COM ERROR", 100 + 15.25), nullptr);
  EXPECT_GT(CountCues(lines, 100), 0);
}

// The user's ORVANTE folder, with the log in it, is removed at 40 s: the
// unit goes on, and speaks its holding reminders after that.
TEST(LogFolderMidFlight, RemovedWhileTheUnitRunsDoesNotStopIt) {
  TempFolder folder;
  const std::string simDir = faults::CopySimulatorFolder(folder);
  faults::WriteUserFolders(folder);
  const std::string events = EventsStart(folder) + "40,remove," + folder.Path("app/ORVANTE") + "\n";
  faults::ProgramRun run = faults::RunProgram(FlyArguments(folder, simDir, events), {}, std::chrono::minutes(5));
  ASSERT_FALSE(run.timedOut) << run.output;
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("removed " + folder.Path("app/ORVANTE")), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(folder.Path("app/ORVANTE")));
  auto lines = faults::ReadTranscriptLines(folder.Path("out.jsonl"));
  EXPECT_GT(CountCues(lines, 0, 40), 0);
  EXPECT_GT(CountCues(lines, 40), 0) << "the unit spoke on after its folder went";
}

// The events file may only change files of the simulator and the user.
TEST(FileEvents, APathOutsideTheSimulatorAndUserFoldersIsRefusedBeforeAnythingStarts) {
  TempFolder folder;
  const std::string simDir = faults::CopySimulatorFolder(folder);
  faults::WriteUserFolders(folder);
  const std::string outside = folder.Write("elsewhere/keep.txt", "mine\n");
  for (const std::string& event : std::vector<std::string>{"1,remove," + outside, "1,remove,../elsewhere/keep.txt",
                                                           "1,copy,r4.csv," + outside, "1,remove," + simDir}) {
    SCOPED_TRACE(event);
    faults::ProgramRun run = faults::RunProgram(FlyArguments(folder, simDir, EventsStart(folder) + event + "\n"), {},
                                                std::chrono::minutes(2));
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("lies outside the simulator and application-data folders"), std::string::npos)
        << run.output;
    EXPECT_EQ(folder.Read("elsewhere/keep.txt"), "mine\n");
    EXPECT_TRUE(fs::exists(simDir + "/r4.csv"));
  }
}

}  // namespace
