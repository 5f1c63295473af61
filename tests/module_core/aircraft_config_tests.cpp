// Flap positions read from aircraft.cfg.
#include "core/aircraft_config.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

using namespace orvante;

namespace {

std::vector<uint32_t> Read(const TempFolder& dir, const std::string& contents) {
  std::vector<uint32_t> list = {99};
  ReadAircraftConfiguration(list, dir.Write("aircraft.cfg", contents));
  return list;
}

}  // namespace

TEST(AircraftConfig, TokensLoseCommentsAndExtraFields) {
  EXPECT_EQ(TrimConfigToken("  20 // comment"), "20");
  EXPECT_EQ(TrimConfigToken("\t10,200"), "10,200");
  EXPECT_EQ(TrimConfigToken("30\\x"), "30");
  EXPECT_EQ(TrimConfigToken("  /5"), "");
  EXPECT_EQ(TrimConfigToken(""), "");
}

TEST(AircraftConfig, FirstTypeOneSectionWithPositions) {
  TempFolder dir;
  EXPECT_EQ(Read(dir,
                 "[flaps.0]\ntype=1\nflaps-position.0=0\nflaps-position.1=10,200\n"
                 "flaps-position.2=20 ; comment\nflaps-position.3=30\n"),
            (std::vector<uint32_t>{0, 10, 20, 30}));
  EXPECT_EQ(Read(dir,
                 "[flaps.0]\ntype=2\nflaps-position.0=5\n[flaps.1]\ntype= 1 // trailing\n"
                 "flaps-position.0=1\nflaps-position.1=2\n"),
            (std::vector<uint32_t>{1, 2}));
}

TEST(AircraftConfig, ListsEndAtCommasGapsAndMissingTypes) {
  TempFolder dir;
  EXPECT_EQ(Read(dir, "[flaps.0]\ntype=1\nflaps-position.0=5\nflaps-position.1=,15\nflaps-position.2=25\n"),
            (std::vector<uint32_t>{5}));
  EXPECT_EQ(Read(dir, "[flaps.0]\ntype=1\nflaps-position.0=5\nflaps-position.2=25\n"), (std::vector<uint32_t>{5}));
  EXPECT_EQ(Read(dir, "[flaps.0]\ntype=1\nflaps-position.0=abc\n"), (std::vector<uint32_t>{0}));
  EXPECT_TRUE(Read(dir, "[flaps.1]\ntype=1\nflaps-position.0=5\n").empty());  // no flaps.0: the search stops
  EXPECT_TRUE(Read(dir, "[flaps.0]\ntype=1\n[flaps.1]\ntype=3\n").empty());
}

TEST(AircraftConfig, MissingFileEmptiesTheListAndEmptyPathKeepsIt) {
  std::vector<uint32_t> list = {1, 2};
  ReadAircraftConfiguration(list, "");
  EXPECT_EQ(list.size(), 2u);
  ReadAircraftConfiguration(list, "/no/such/aircraft.cfg");
  EXPECT_TRUE(list.empty());
}
