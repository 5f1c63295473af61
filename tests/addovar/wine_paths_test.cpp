// Windows paths of a Wine prefix mapped onto the host.
#include "wine_paths.h"

#include <gtest/gtest.h>

#include "wine_prefix.h"

namespace addovar {
namespace {

namespace fs = std::filesystem;

class WinePaths : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(prefix_.root() / "drive_c" / "Program Files (x86)" / "Steam");
    fs::create_directories(prefix_.root() / "drive_c" / "Program Files" / "steam");
  }
  std::string Map(std::string_view windowsPath) const {
    return HostPathOfWindowsPath(prefix_.root().string(), windowsPath);
  }
  std::string Under(const std::string& relative) const { return (prefix_.root() / relative).string(); }

  testing::WinePrefix prefix_;
};

TEST_F(WinePaths, DriveCIsTheFolderItsDosDeviceLinksTo) {
  EXPECT_EQ(Map("C:\\Program Files (x86)\\Steam"), Under("drive_c/Program Files (x86)/Steam"));
  EXPECT_EQ(Map("c:/Program Files (x86)/Steam/"), Under("drive_c/Program Files (x86)/Steam"));
  EXPECT_EQ(Map("C:\\"), Under("drive_c"));
  EXPECT_EQ(Map("C:"), Under("drive_c"));
}

TEST_F(WinePaths, FoldersMatchWithoutRegardToLetterCaseWhenTheExactNameIsAbsent) {
  EXPECT_EQ(Map("C:\\PROGRAM FILES (X86)\\steam"), Under("drive_c/Program Files (x86)/Steam"));
  // An exact name wins over another that differs only in case.
  EXPECT_EQ(Map("C:\\Program Files\\steam"), Under("drive_c/Program Files/steam"));
  // What does not exist is kept as written; the caller finds it missing.
  EXPECT_EQ(Map("C:\\Nowhere\\FSX"), Under("drive_c/Nowhere/FSX"));
}

TEST_F(WinePaths, DotsStayInsideTheDrive) {
  EXPECT_EQ(Map("C:\\Program Files\\..\\..\\..\\windows\\.\\"), Under("drive_c/windows"));
}

TEST_F(WinePaths, OtherDrivesFollowTheirOwnLinks) {
  EXPECT_EQ(Map("Z:\\tmp"), "/tmp");
  fs::create_directories(prefix_.root() / "games");
  fs::create_directory_symlink(prefix_.root() / "games", prefix_.root() / "dosdevices" / "d:");
  EXPECT_EQ(Map("D:\\FSX"), Under("games/FSX"));
  EXPECT_EQ(Map("E:\\FSX"), "");
}

TEST_F(WinePaths, DriveCWithoutItsLinkIsDriveC) {
  fs::remove(prefix_.root() / "dosdevices" / "c:");
  EXPECT_EQ(Map("C:\\Program Files (x86)"), Under("drive_c/Program Files (x86)"));
}

TEST_F(WinePaths, PathsNamingNoDriveMapToNothing) {
  EXPECT_EQ(Map(""), "");
  EXPECT_EQ(Map("\\\\server\\share\\FSX"), "");
  EXPECT_EQ(Map("Program Files\\FSX"), "");
  EXPECT_EQ(Map("C:Program Files"), "");
  EXPECT_EQ(Map("1:\\x"), "");
  // A path that is already the host's own stays as it is.
  EXPECT_EQ(Map("/opt/fsx"), "/opt/fsx");
}

}  // namespace
}  // namespace addovar
