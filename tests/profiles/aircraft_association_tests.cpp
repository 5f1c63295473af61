// Links between profiles and aircraft models, and the profile chosen when an
// aircraft loads.
#include "profiles/aircraft_association.h"

#include <thread>

#include "profiles/profile_files.h"
#include "profile_test_fixture.h"

using namespace orvante;

namespace {

struct AssociationTest : ProfileTest {
  void SetUp() override {
    ProfileTest::SetUp();
    InstallSoundSets({"Default"});
    part.soundSetNames = {"Default"};
  }
};

}  // namespace

TEST_F(AssociationTest, LinkingTwiceAddsTheModelOnceAndUnlinkRemovesIt) {
  SetAircraftModel("A320");
  CreateProfile(part, "Airbus");
  LinkCurrentModel(part);
  LinkCurrentModel(part);
  EXPECT_EQ(part.linkedModels, std::vector<std::string>{"A320"});
  EXPECT_TRUE(IsProfileLinked(part, "AIRBUS"));
  UnlinkModel(part, "a320");
  EXPECT_TRUE(part.linkedModels.empty());
  EXPECT_FALSE(IsProfileLinked(part, "Airbus"));
}

TEST_F(AssociationTest, AModelNameWithALineBreakIsNotLinkedAndCannotAddKeys) {
  SetAircraftModel("B738\r\nMasterSwitch=1");
  CreateProfile(part, "Airbus");
  LinkCurrentModel(part);
  EXPECT_TRUE(part.linkedModels.empty());
  SaveProfile(part, nullptr);
  LoadProfile(part, "Airbus");
  EXPECT_EQ(part.settings.MasterSwitch, 0u);
}

TEST_F(AssociationTest, NothingIsLinkedWithoutAnAircraftModel) {
  CreateProfile(part, "Airbus");
  LinkCurrentModel(part);
  EXPECT_TRUE(part.linkedModels.empty());
  EXPECT_FALSE(IsProfileLinked(part, "Airbus"));
  UnlinkModel(part, "");
}

TEST_F(AssociationTest, AnotherProfileIsAskedThroughItsFile) {
  WriteProfile("Boeing", "Model.0=B738\r\nModel.1=B739\r\n");
  WriteProfile("Gap", "Model.0=B744\r\nModel.2=B739\r\n");
  CreateProfile(part, "Loaded");
  SetAircraftModel("b739");
  EXPECT_TRUE(IsProfileLinked(part, "Boeing"));
  EXPECT_FALSE(IsProfileLinked(part, "Gap"));  // Model.2 is after the gap
  EXPECT_FALSE(IsProfileLinked(part, "Missing"));
  EXPECT_FALSE(IsProfileLinked(part, ""));
}

TEST_F(AssociationTest, TheLaterOfTwoLinkedProfilesIsLoaded) {
  WriteProfile("First", "MinTakeOffLength=1111\r\nMasterSwitch=1\r\nModel.0=B738\r\n");
  WriteProfile("Second", "MinTakeOffLength=2222\r\nMasterSwitch=1\r\nModel.0=B738\r\n");
  WriteProfile("Third", "MinTakeOffLength=3333\r\nModel.0=A320\r\n");
  BuildProfileList(part);
  LoadProfile(part, "Third");
  SetAircraftModel("B738");
  SelectProfileForAircraft(part);
  EXPECT_STREQ(part.settings.profileName, "Second");
  EXPECT_EQ(part.settings.MinTakeOffLength, 2222u);
  EXPECT_EQ(part.settings.MasterSwitch, 1u);  // the loaded profile's switch applies
  EXPECT_EQ(CollectedLogLines(),
            (std::vector<std::string>{"Searching for associated profile....\n", "Profile FOUND!: Second \n"}));
}

TEST_F(AssociationTest, AnAircraftWithoutProfileSwitchesTheUnitOffAndKeepsTheRest) {
  WriteProfile("Only", "MasterSwitch=1\r\nMinTakeOffLength=1500\r\nModel.0=A320\r\n");
  BuildProfileList(part);
  LoadProfile(part, "Only");
  SetAircraftModel("Cessna 172");
  SelectProfileForAircraft(part);
  EXPECT_EQ(part.settings.MasterSwitch, 0u);
  EXPECT_STREQ(part.settings.profileName, "Only");
  EXPECT_EQ(part.settings.MinTakeOffLength, 1500u);
  EXPECT_EQ(CollectedLogLines(),
            (std::vector<std::string>{"Searching for associated profile....\n",
                                      "Couldn't find ANY associated profile... \n", "Switching ORVA system OFF! \n"}));
}

TEST_F(AssociationTest, AListedProfileWhoseFileWentAwayIsPassedOver) {
  WriteProfile("Gone", "Model.0=B738\r\n");
  BuildProfileList(part);
  std::filesystem::remove(appData.Path("ORVANTE/Profiles/Gone.INI"));
  CreateProfile(part, "Current");
  part.settings.MasterSwitch = 1;
  SetAircraftModel("B738");
  SelectProfileForAircraft(part);
  EXPECT_EQ(part.settings.MasterSwitch, 0u);
  EXPECT_STREQ(part.settings.profileName, "Current");
}

TEST_F(AssociationTest, NoModelOrNoProfilesStopsAfterTheFirstLine) {
  WriteProfile("P", "Model.0=X\r\n");
  CreateProfile(part, "Current");
  part.settings.MasterSwitch = 1;
  SelectProfileForAircraft(part);  // no aircraft model yet
  SetAircraftModel("X");
  SelectProfileForAircraft(part);  // the profile list is empty
  EXPECT_EQ(part.settings.MasterSwitch, 1u);
  EXPECT_EQ(CollectedLogLines().size(), 2u);
}

TEST_F(AssociationTest, ACycleHoldingTheChangeLockNeverSeesHalfAProfile) {
  WriteProfile("Short", "MinTakeOffLength=1111\r\nTouchdownZoneLen=11\r\nModel.0=ShortModel\r\n");
  WriteProfile("Long", "MinTakeOffLength=2222\r\nTouchdownZoneLen=22\r\nModel.0=LongModel\r\n");
  BuildProfileList(part);
  LoadProfile(part, "Short");
  std::atomic<bool> stop{false};
  std::atomic<int> cycles{0};
  std::thread worker([&] {
    while (!stop || cycles < 20) {
      std::lock_guard<std::mutex> cycle(part.changeLock);
      uint32_t length = part.settings.MinTakeOffLength, zone = part.settings.TouchdownZoneLen;
      EXPECT_TRUE((length == 1111 && zone == 11) || (length == 2222 && zone == 22)) << length << " " << zone;
      ++cycles;
    }
  });
  for (int i = 0; i < 40; ++i) {
    SetAircraftModel(i % 2 ? "ShortModel" : "LongModel");
    SelectProfileForAircraft(part);
  }
  stop = true;
  worker.join();
  EXPECT_STREQ(part.settings.profileName, "Short");
}
