// Queries at real airports over the worldwide table imported from the
// OurAirports list kept in the repository, and the inspection command.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "platform/files.h"
#include "runway_import.h"
#include "runway_listing.h"
#include "runway_table_fixture.h"
#include "runways/runway_geometry.h"
#include "runways/runway_designator.h"
#include "runways/runway_query.h"

namespace orvante::testing {
namespace {

// The environment names the trees when CTest runs the tests; the build's own
// paths stand in when it does not.
std::string TreePath(const char* variable, const char* builtIn) {
  const char* value = getenv(variable);
  return value && *value ? value : builtIn;
}

class RealAirports : public RunwayTableTest {
 protected:
  void SetUp() override {
    RunwayTableTest::SetUp();
    std::string source = TreePath("ORVANTE_SOURCE_DIR", RUNWAYS_TEST_SOURCE_DIR);
    std::string input;
    ASSERT_TRUE(platform::ReadWholeFile(source + "/data/ourairports/runways.csv", input));
    std::string table;
    RunwayImportReport report;
    ASSERT_TRUE(ImportOurAirportsRunways(input, table, report));
    Start(table, RunwayTableSchema());
    ASSERT_EQ(db_.connected, 1u);
  }

  // Checks the airport's ends in the list: each designator once, the
  // opposite point on the partner's end point, the outline as wide as the
  // table says.
  void CheckAirport(const char* airport, std::set<std::string> designators, double width) {
    std::map<std::string, const RunwayRecord*> ends;
    for (const auto& record : db_.runwayList) {
      if (strcmp(record->airportIdent, airport) != 0) continue;
      EXPECT_TRUE(ends.emplace(record->designator, record.get()).second) << "twice: " << record->designator;
    }
    std::set<std::string> found;
    for (const auto& [designator, record] : ends) found.insert(designator);
    EXPECT_EQ(found, designators);
    for (const auto& [designator, record] : ends) {
      int number = DesignatorRunwayNumber(designator.c_str());
      std::string partner = std::to_string(ReciprocalRunwayNumber(number));
      if (partner.size() == 1) partner = "0" + partner;
      char letter = designator.size() > 2 ? designator[2] : 0;
      if (letter) partner += letter == 'L' ? 'R' : letter == 'R' ? 'L' : letter;
      ASSERT_TRUE(ends.count(partner)) << designator << " has no " << partner;
      const RunwayRecord& other = *ends[partner];
      EXPECT_LT(FlatDistance(record->oppositeLatitude, record->oppositeLongitude, other.endLatitude, other.endLongitude,
                             true),
                3.0)
          << designator;
      const GeoPoint* o = record->outline;
      EXPECT_NEAR(FlatDistance(o[1].latitude, o[1].longitude, o[2].latitude, o[2].longitude, false), width, 0.5);
      EXPECT_NEAR(FlatDistance(o[0].latitude, o[0].longitude, o[3].latitude, o[3].longitude, false), width, 0.5);
      EXPECT_EQ(o[4].latitude, o[0].latitude);
      EXPECT_EQ(record->width, width);
      // Lighted and paved: every end has an aim point beyond its threshold.
      EXPECT_GT(FlatDistance(record->endLatitude, record->endLongitude, record->aimPoint.latitude,
                             record->aimPoint.longitude, false),
                record->displacedThreshold * 0.125);
    }
  }
};

TEST_F(RealAirports, SanFrancisco) {
  QueryRunways(db_, 37.6188, -122.3750);
  CheckAirport("KSFO", {"01L", "01R", "19L", "19R", "10L", "10R", "28L", "28R"}, 200);
  // Neighbours in the box come too: Oakland lies 10 NM away.
  bool oakland = false;
  for (const auto& record : db_.runwayList) oakland |= strcmp(record->airportIdent, "KOAK") == 0;
  EXPECT_TRUE(oakland);
}

TEST_F(RealAirports, LondonHeathrow) {
  QueryRunways(db_, 51.4700, -0.4543);
  CheckAirport("EGLL", {"09L", "09R", "27L", "27R"}, 164);
  for (const auto& record : db_.runwayList) {
    if (strcmp(record->airportIdent, "EGLL") == 0 && strcmp(record->designator, "27L") == 0) {
      EXPECT_NEAR(record->trueHeading, 269.7, 0.1);
      EXPECT_NEAR(record->length, 12005, 5);
    }
  }
}

TEST_F(RealAirports, OpenOceanHasNoRunways) {
  QueryRunways(db_, 0, -140);
  EXPECT_TRUE(db_.runwayList.empty());
}

// The inspection command prints exactly the list the module builds.
TEST_F(RealAirports, InspectionCommandPrintsTheModulesList) {
  std::string tool = TreePath("ORVANTE_BUILD_DIR", RUNWAYS_TEST_BUILD_DIR) + "/bin/orvante-runways";
#ifdef _WIN32
  GTEST_SKIP() << "starts the tool through a POSIX shell (its quoting and redirections)";
#endif
  if (!platform::FileExists(tool)) GTEST_SKIP() << "orvante-runways is not built";
  QueryRunways(db_, 51.47, -0.4543);
  std::string expected = RunwayListingHeader();
  for (const auto& record : db_.runwayList) expected += RunwayListingLine(*record);

  std::string command = tool + " query 51.47 -0.4543 --sim-dir '" + folder_.Path() + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
  EXPECT_EQ(pclose(pipe), 0);
  EXPECT_EQ(output, expected);

  std::string missing = tool + " query 51.47 -0.4543 --sim-dir /nonexistent-folder 2>&1";
  pipe = popen(missing.c_str(), "r");
  output.clear();
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
  EXPECT_NE(pclose(pipe), 0);
  EXPECT_NE(output.find("The R4.CSV file is MISSING!"), std::string::npos);
}

// The import command writes the table the library makes, and the schema.
TEST_F(RealAirports, ImportCommandWritesTheTable) {
  std::string tool = TreePath("ORVANTE_BUILD_DIR", RUNWAYS_TEST_BUILD_DIR) + "/bin/orvante-runways";
#ifdef _WIN32
  GTEST_SKIP() << "starts the tool through a POSIX shell (its quoting and redirections)";
#endif
  if (!platform::FileExists(tool)) GTEST_SKIP() << "orvante-runways is not built";
  std::string source = TreePath("ORVANTE_SOURCE_DIR", RUNWAYS_TEST_SOURCE_DIR) + "/data/ourairports/runways.csv";
  TempFolder out;
  std::string command = tool + " import '" + source + "' --out-dir '" + out.Path("sim") + "'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string summary;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) summary.append(buffer.data(), n);
  ASSERT_EQ(pclose(pipe), 0);
  EXPECT_NE(summary.find("runways imported as"), std::string::npos);
  EXPECT_EQ(out.Read("sim/r4.csv"), folder_.Read("r4.csv"));
  EXPECT_EQ(out.Read("sim/Schema.ini"), RunwayTableSchema());

  EXPECT_NE(system((tool + " import /nonexistent.csv --out-dir '" + out.Path("x") + "' 2>/dev/null").c_str()), 0);
  EXPECT_NE(system((tool + " query north east 2>/dev/null").c_str()), 0);
}

}  // namespace
}  // namespace orvante::testing
