// The main settings file: defaults, the five keys written every time, and a
// scenery identifier carried through unchanged.
#include "core/main_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/module_state.h"
#include "temp_folder.h"

using namespace orvante;

namespace {

struct MainSettingsTest : ::testing::Test {
  TempFolder dir;
  void SetUp() override {
    std::strcpy(g_module.appDataDir, dir.Path().c_str());
    std::filesystem::create_directories(dir.Path("ORVANTE"));
  }
  std::string SettingsFile() const { return dir.Read("ORVANTE/ORVANTE.INI"); }
  // Lines of a file written with LF breaks as they read after a write:
  // Windows' own writer rewrites the whole file with CR LF, the POSIX one
  // keeps every line it does not write.
  static std::string AfterWrite(const std::string& lf) {
#ifdef _WIN32
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
#else
    return lf;
#endif
  }
};

}  // namespace

TEST_F(MainSettingsTest, MissingFileGivesDefaultsAndAWriteHoldsAllFiveKeys) {
  ReadMainSettings();
  EXPECT_EQ(g_mainSettings.masterVolume.load(), 5);
  EXPECT_EQ(g_mainSettings.enableKeyEventApi.load(), 0);
  EXPECT_STREQ(g_mainSettings.defaultProfile, "");
  EXPECT_EQ(g_mainSettings.audioOutputDevice, 0u);
  EXPECT_EQ(g_mainSettings.sceneryId, 0);
  WriteMainSettings();
  EXPECT_EQ(SettingsFile(),
            "[ORVANTE]\r\nP3DSceneryID=0\r\nDEFAULTProfile=\r\nEnableKeyEventAPI=0\r\nAudioOutputDevice=0\r\n"
            "MasterVolume=5\r\n");
}

TEST_F(MainSettingsTest, ValuesSurviveAReadAndWriteAndLongProfileNamesAreCut) {
  std::string longName(80, 'P');
  dir.Write("ORVANTE/ORVANTE.INI",
            "[orvante]\nP3DSceneryID=-77\nMasterVolume=8\nEnableKeyEventAPI=1\n"
            "DEFAULTProfile=" +
                longName + "\nAudioOutputDevice=3\nExtra=kept\n");
  for (int start = 0; start < 3; ++start) {
    ReadMainSettings();
    WriteMainSettings();
  }
  EXPECT_EQ(g_mainSettings.sceneryId, -77);
  EXPECT_EQ(g_mainSettings.masterVolume.load(), 8);
  EXPECT_EQ(g_mainSettings.enableKeyEventApi.load(), 1);
  EXPECT_EQ(std::string(g_mainSettings.defaultProfile), std::string(69, 'P'));
  EXPECT_EQ(g_mainSettings.audioOutputDevice, 3u);
  EXPECT_EQ(SettingsFile(),
            AfterWrite("[orvante]\nP3DSceneryID=-77\nMasterVolume=8\nEnableKeyEventAPI=1\nDEFAULTProfile=" +
                       std::string(69, 'P') + "\nAudioOutputDevice=3\nExtra=kept\n"));
}

TEST_F(MainSettingsTest, AMasterVolumeOutsideZeroToTenIsHeldToTheRange) {
  for (auto [stored, read] : {std::pair{"15", 10}, std::pair{"-3", 0}, std::pair{"10", 10}, std::pair{"0", 0}}) {
    dir.Write("ORVANTE/ORVANTE.INI", std::string("[ORVANTE]\nMasterVolume=") + stored + "\n");
    ReadMainSettings();
    EXPECT_EQ(g_mainSettings.masterVolume.load(), read) << stored;
    WriteMainSettings();
    EXPECT_NE(SettingsFile().find(AfterWrite("MasterVolume=" + std::to_string(read) + "\n")), std::string::npos);
  }
}

TEST_F(MainSettingsTest, ADefaultProfileNameWithBlanksOrQuotesAroundItSurvivesEveryStart) {
  // The file is rewritten at every start: a name the reader would trim or
  // unquote must be written so that it reads back the same.
  for (const char* name : {" Leading blank", "'Quoted'", "\"Both\""}) {
    dir.Write("ORVANTE/ORVANTE.INI", "[ORVANTE]\r\nDEFAULTProfile=\"" + std::string(name) + "\"\r\n");
    ReadMainSettings();
    ASSERT_STREQ(g_mainSettings.defaultProfile, name);
    for (int start = 0; start < 3; ++start) {
      WriteMainSettings();
      ReadMainSettings();
    }
    EXPECT_STREQ(g_mainSettings.defaultProfile, name);
  }
}
