// Finding and loading an add-on's module from its dll.xml entry.
#include "addon_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "temp_folder.h"

namespace sim {
namespace {

namespace fs = std::filesystem;

class AddonLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim_ = temp_.path();
    fs::create_directories(sim_ / "ORVANTE" / "DLLs");
    std::ofstream(sim_ / "ORVANTE" / "ORVANTE.dll") << "x";
  }
  std::string Sim(const std::string& rest = "") const { return rest.empty() ? sim_.string() : (sim_ / rest).string(); }
  TempFolder temp_;
  fs::path sim_;
};

TEST_F(AddonLoaderTest, ResolvesPathsRelativeToTheSimulatorFolderWithEitherSeparator) {
  std::string expected = Sim("ORVANTE/ORVANTE.dll");
  EXPECT_EQ(ResolveAddonPath(Sim(), ".\\ORVANTE\\ORVANTE.dll"), expected);
  EXPECT_EQ(ResolveAddonPath(Sim(), "ORVANTE/ORVANTE.dll"), expected);
  EXPECT_EQ(ResolveAddonPath(Sim(), "ORVANTE\\\\DLLs\\..\\ORVANTE.dll"), expected);
  EXPECT_EQ(ResolveAddonPath(Sim(), Sim("ORVANTE/ORVANTE.dll")), expected) << "absolute paths stay";
}

TEST_F(AddonLoaderTest, MatchesNamesWithoutRegardToLetterCaseWhenTheExactNameIsMissing) {
  EXPECT_EQ(ResolveAddonPath(Sim(), ".\\orvante\\orvante.DLL"), Sim("ORVANTE/ORVANTE.dll"));
  EXPECT_EQ(ResolveAddonPath(Sim(), "Orvante\\dlls"), Sim("ORVANTE/DLLs"));
  // A name found in no letter case is left as written, for the loader to report.
  EXPECT_EQ(ResolveAddonPath(Sim(), "orvante\\missing.dll"), Sim("ORVANTE/missing.dll"));
  EXPECT_EQ(ResolveAddonPath(Sim(), "Nowhere\\x.dll"), Sim("Nowhere/x.dll"));
}

TEST_F(AddonLoaderTest, DrivePathsCannotBeFollowed) {
  EXPECT_EQ(ResolveAddonPath(Sim(), "C:\\Addons\\x.dll"), "");
  AddonEntry entry;
  entry.path = "D:/x.dll";
  std::vector<std::string> notes;
  common::Result<LoadedAddon> result = LoadAddon(entry, Sim(), nullptr, notes);
  EXPECT_FALSE(result);
  EXPECT_TRUE(notes.empty());
  EXPECT_EQ(result.error(), "the path \"D:/x.dll\" names a drive; give it relative to the simulator folder");
}

TEST_F(AddonLoaderTest, FilesThatAreMissingOrNoLibrariesAreReported) {
  AddonEntry entry;
  entry.path = ".\\ORVANTE\\none.dll";
  std::vector<std::string> notes;
  common::Result<LoadedAddon> result = LoadAddon(entry, Sim(), nullptr, notes);
  EXPECT_FALSE(result);
  EXPECT_TRUE(notes.empty());
  EXPECT_EQ(result.error().rfind("cannot load " + Sim("ORVANTE/none.dll"), 0), 0u) << result.error();
  EXPECT_NE(result.error().find("(error 126)"), std::string::npos) << result.error();

  entry.path = ".\\ORVANTE\\ORVANTE.dll";  // a file of one byte
  result = LoadAddon(entry, Sim(), nullptr, notes);
  EXPECT_FALSE(result);
  EXPECT_TRUE(notes.empty());
  EXPECT_NE(result.error().find("(error 193)"), std::string::npos) << result.error();
}

TEST_F(AddonLoaderTest, HandsTheTableToPanelsAndFindsTheNamedEntries) {
  fs::copy_file(TEST_ADDON_B, sim_ / "ORVANTE" / "B.dll");
  PANELS table{};
  AddonEntry entry;
  entry.path = "orvante\\b.dll";
  entry.startName = "StartB";
  entry.stopName = "StopB";
  std::vector<std::string> notes;
  common::Result<LoadedAddon> result = LoadAddon(entry, Sim(), &table, notes);
  ASSERT_TRUE(result) << result.error();
  EXPECT_TRUE(notes.empty());
  EXPECT_EQ(result->file, Sim("ORVANTE/B.dll"));
  EXPECT_TRUE(result->panelsSet);
  auto* panels = static_cast<PANELS**>(platform::GetProcAddress(result->module, "Panels"));
  ASSERT_NE(panels, nullptr);
  EXPECT_EQ(*panels, &table);
  EXPECT_EQ(reinterpret_cast<void*>(result->start), platform::GetProcAddress(result->module, "StartB"));
  EXPECT_EQ(reinterpret_cast<void*>(result->stop), platform::GetProcAddress(result->module, "StopB"));

  // The same module under the default entry names exports neither.
  entry.startName = kDefaultStartName;
  entry.stopName = kDefaultStopName;
  result = LoadAddon(entry, Sim(), &table, notes);
  EXPECT_FALSE(result);
  EXPECT_EQ(notes, (std::vector<std::string>{"exports no DLLStop; it will not be stopped"}));
  EXPECT_EQ(result.error(), "exports no DLLStart; it is not started");
}

}  // namespace
}  // namespace sim
