// The fault library itself: a program run with it sees the chosen calls fail
// with the chosen error on matching paths only, and only while the switch
// file exists; every fault it injects is logged.
#include <gtest/gtest.h>

#include <filesystem>

#include "program_run.h"
#include "temp_folder.h"

namespace {

using faults::FaultEnvironment;
using faults::FileLines;
using faults::RunProgram;

faults::ProgramRun Shell(const std::string& script, const std::vector<std::string>& environment) {
  return RunProgram({"/bin/sh", "-c", script}, environment, std::chrono::seconds(20));
}

TEST(FaultLibrary, FailsOpeningAndWritingMatchingFilesWithTheChosenErrorAndLogsEachFault) {
  TempFolder folder;
  std::filesystem::create_directories(folder.Path("full"));
  const std::string log = folder.Path("faults.log");
  auto environment = FaultEnvironment("open:ENOSPC:*/full/*;write:EIO:*/broken.txt", "", log);

  faults::ProgramRun run = Shell("echo one > " + folder.Path("full/a.txt") + "; echo two > " +
                                     folder.Path("broken.txt") + "; echo three > " + folder.Path("fine.txt"),
                                 environment);
  EXPECT_FALSE(run.timedOut);
  EXPECT_NE(run.output.find("No space left on device"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("I/O error"), std::string::npos) << run.output;
  EXPECT_FALSE(std::filesystem::exists(folder.Path("full/a.txt")));
  EXPECT_EQ(folder.Read("broken.txt"), "");  // opened, but nothing could be written
  EXPECT_EQ(folder.Read("fine.txt"), "three\n");
  std::vector<std::string> lines = FileLines(log);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "open ENOSPC " + folder.Path("full/a.txt"));
  EXPECT_EQ(lines[1], "write EIO " + folder.Path("broken.txt"));
}

TEST(FaultLibrary, RulesActOnlyWhileTheSwitchFileExistsAndReadsAreNeverFailed) {
  TempFolder folder;
  folder.Write("data.txt", "kept\n");
  const std::string sw = folder.Path("switch");
  auto environment = FaultEnvironment("open:EACCES:*/data.txt", sw, folder.Path("faults.log"));

  faults::ProgramRun off = Shell("echo new > " + folder.Path("data.txt"), environment);
  EXPECT_EQ(off.exitCode, 0) << off.output;
  EXPECT_EQ(folder.Read("data.txt"), "new\n");

  folder.Write("switch", "");
  faults::ProgramRun on =
      Shell("echo newer > " + folder.Path("data.txt") + "; cat " + folder.Path("data.txt"), environment);
  EXPECT_NE(on.output.find("Permission denied"), std::string::npos) << on.output;
  EXPECT_NE(on.output.find("new\n"), std::string::npos) << "reading stays possible: " << on.output;
  EXPECT_EQ(folder.Read("data.txt"), "new\n");
}

TEST(FaultLibrary, ARuleItCannotReadIsReportedAndIgnored) {
  TempFolder folder;
  auto environment = FaultEnvironment("truncate:ENOSPC:*;open:ENOSPACE:*;open:ENOSPC", "", "");
  faults::ProgramRun run = Shell("echo fine > " + folder.Path("x.txt"), environment);
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(folder.Read("x.txt"), "fine\n");
  EXPECT_NE(run.output.find("rule not understood, ignored: \"truncate:ENOSPC:*\""), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("\"open:ENOSPACE:*\""), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("\"open:ENOSPC\""), std::string::npos) << run.output;
}

}  // namespace
