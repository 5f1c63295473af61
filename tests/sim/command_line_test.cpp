// The stand-in simulator's command line.
#include "command_line.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

common::Result<CommandLine> Parse(std::vector<std::string> arguments) {
  return ParseCommandLine(arguments, "/opt/build/sim");
}

TEST(CommandLine, StartDefaultsToTheBuildsSimulatorFolder) {
  auto line = Parse({"start"});
  ASSERT_TRUE(line.ok()) << line.error();
  EXPECT_EQ(line->command, Command::Start);
  EXPECT_EQ(line->options.simulatorDir, "/opt/build/sim");
  EXPECT_EQ(line->options.appDataDir, "/opt/build/sim/AppData");
  EXPECT_EQ(line->options.addonListPath, "/opt/build/sim/dll.xml");
  EXPECT_EQ(line->options.identity, SimulatorIdentity::Prepar3D);
  EXPECT_FALSE(line->seconds.has_value()) << "runs until asked to stop";
}

TEST(CommandLine, TakesEveryOptionInBothForms) {
  auto line =
      Parse({"start", "--sim-dir", "/s/", "--appdata=/a", "--seconds", "2.5", "--as=FSX", "--dll-xml", "/x/list.xml"});
  ASSERT_TRUE(line.ok()) << line.error();
  EXPECT_EQ(line->options.simulatorDir, "/s");
  EXPECT_EQ(line->options.appDataDir, "/a");
  EXPECT_EQ(line->options.addonListPath, "/x/list.xml");
  EXPECT_EQ(line->options.identity, SimulatorIdentity::Fsx);
  EXPECT_EQ(line->seconds, 2.5);

  line = Parse({"start", "--sim-dir", "/s", "--as", "fs9"});
  ASSERT_TRUE(line.ok());
  EXPECT_EQ(line->options.identity, SimulatorIdentity::Fs9);
  EXPECT_EQ(line->options.appDataDir, "/s/AppData") << "defaults follow the simulator folder given";
  EXPECT_EQ(line->options.addonListPath, "/s/dll.xml");
  EXPECT_STREQ(ExecutableName(line->options.identity), "fs9.exe");
  EXPECT_STREQ(ExecutableName(SimulatorIdentity::Prepar3D), "Prepar3D.exe");
}

TEST(CommandLine, RelativeFoldersBecomeAbsolute) {
  auto line = Parse({"start", "--sim-dir", "here/sim", "--appdata", "./ad"});
  ASSERT_TRUE(line.ok());
  EXPECT_EQ(line->options.simulatorDir.front(), '/');
  EXPECT_TRUE(line->options.simulatorDir.ends_with("/here/sim")) << line->options.simulatorDir;
  EXPECT_TRUE(line->options.appDataDir.ends_with("/ad")) << line->options.appDataDir;
}

TEST(CommandLine, HelpIsACommandOfItsOwn) {
  EXPECT_EQ(Parse({"--help"})->command, Command::Help);
  EXPECT_EQ(Parse({"start", "-h"})->command, Command::Help);
  EXPECT_NE(Usage().find("--seconds N"), std::string::npos);
}

TEST(CommandLine, ReplayInRealTimeOrRecorded) {
  auto line = Parse({"replay", "f.csv", "--realtime"});
  ASSERT_TRUE(line.ok()) << line.error();
  EXPECT_TRUE(line->replay.realtime);
  EXPECT_TRUE(line->replay.recordPath.empty());
  line = Parse({"replay", "/f.csv", "--record=/out/cockpit.wav"});
  ASSERT_TRUE(line.ok()) << line.error();
  EXPECT_FALSE(line->replay.realtime);
  EXPECT_EQ(line->replay.recordPath, "/out/cockpit.wav");
}

TEST(CommandLine, RefusesWhatItDoesNotKnowWithAReason) {
  struct Case {
    std::vector<std::string> arguments;
    const char* error;
  } cases[] = {
      {{}, "no command given"},
      {{"fly"}, "unknown command \"fly\""},
      {{"start", "--speed", "2"}, "unknown option \"--speed\""},
      {{"start", "--seconds"}, "the option --seconds needs a value"},
      {{"start", "--appdata="}, "the option --appdata needs a value"},
      {{"start", "--seconds", "three"}, "--seconds takes a number of seconds from 0, not \"three\""},
      {{"start", "--seconds", "-1"}, "--seconds takes a number of seconds from 0, not \"-1\""},
      {{"start", "--seconds", "2s"}, "--seconds takes a number of seconds from 0, not \"2s\""},
      {{"start", "--seconds", "nan"}, "--seconds takes a number of seconds from 0, not \"nan\""},
      {{"start", "--as", "xplane"}, "--as takes prepar3d, fsx or fs9, not \"xplane\""},
      {{"start", "--realtime"}, "unknown option \"--realtime\""},
      {{"replay", "f.csv", "--record"}, "the option --record needs a value"},
  };
  for (const Case& c : cases) {
    auto line = Parse(c.arguments);
    EXPECT_FALSE(line.ok());
    EXPECT_EQ(line.error(), c.error);
  }
}

}  // namespace
}  // namespace sim
