// The airport-file import: real rows of FlightGear's apt.dat (KSFO, PHNL,
// PHDH, BIKF and the airports that show what is left out), what the module
// makes of the table, a comparison with the OurAirports list, damaged input,
// compressed files and the command.
#include "apt_dat_import.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>

#include "platform/files.h"
#include "runway_table_fixture.h"
#include "runways/runway_geometry.h"
#include "runways/runway_query.h"

namespace orvante::testing {
namespace {

std::string SourcePath(const std::string& relative) {
  const char* tree = getenv("ORVANTE_SOURCE_DIR");
  return std::string(tree && *tree ? tree : RUNWAYS_TEST_SOURCE_DIR) + "/" + relative;
}

std::string Excerpt() {
  std::string text;
  EXPECT_TRUE(platform::ReadWholeFile(SourcePath("tests/runways/fixtures/apt_dat_excerpt.dat"), text));
  return text;
}

std::vector<std::string> TableLines(const std::string& table) {
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = table.find("\r\n", at)) != std::string::npos; at = end + 2)
    lines.push_back(table.substr(at, end - at));
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  SplitTableLine(line, ',', fields);
  return fields;
}

// The table row of an airport's runway end (code as in column 2).
std::vector<std::string> Row(const std::string& table, const std::string& airport, int code) {
  for (const std::string& line : TableLines(table)) {
    std::vector<std::string> fields = Fields(line);
    if (fields.size() == 13 && fields[0] == airport && fields[1] == std::to_string(code)) return fields;
  }
  ADD_FAILURE() << airport << " " << code << " not in the table";
  return std::vector<std::string>(13);
}

double Value(const std::vector<std::string>& row, int column) { return atof(row[column - 1].c_str()); }

// The same minimal header every synthetic file starts with.
const char* kHeader = "I\n1000 Version - test rows\n\n";

TEST(AptDatImport, RealAirportsBecomeOneRowPerEnd) {
  std::string table;
  RunwayImportReport report;
  ASSERT_TRUE(ImportAptDatRunways(Excerpt(), table, report)) << report.error;
  // KSFO 4, PHNL 4, PHDH 1, BIKF 2, Kai Tak 1 (closed), Cambridge Bay 1 (13T/31T).
  EXPECT_EQ(report.runways, 13u);
  EXPECT_EQ(report.imported, 11u);
  EXPECT_EQ(report.rows, 22u);
  EXPECT_EQ(TableLines(table).size(), 22u);
  EXPECT_EQ(report.closed, 1u);
  EXPECT_EQ(report.waterRunways, 2u);
  EXPECT_EQ(report.helipads, 2u);
  ASSERT_EQ(report.notConverted.size(), 1u);
  EXPECT_EQ(report.notConverted["end designator is no runway designator"], 1u);
  ASSERT_EQ(report.examples["end designator is no runway designator"].size(), 1u);
  EXPECT_EQ(report.examples["end designator is no runway designator"][0].rfind("CYCB (line ", 0), 0u);
  std::string text = DescribeImport(report);
  EXPECT_NE(text.find("11 of 13 runways imported as 22 runway ends"), std::string::npos) << text;
  EXPECT_NE(text.find("1 closed, 2 helipads"), std::string::npos) << text;
  EXPECT_NE(text.find("2 water runways"), std::string::npos) << text;

  // PHNL 08L/26R: "100 45.72 1 0 0.25 0 2 1 08L 21.32524700 -157.94323300 0.00 304.80 3 7 0 0
  // 26R 21.32524400 -157.90709400 0.00 199.64 3 0 0 1" and a VASI for 26R.
  std::vector<std::string> r26 = Row(table, "PHNL", 262);
  std::vector<std::string> r08 = Row(table, "PHNL", 81);
  EXPECT_EQ(r26[2], "21.32524400");
  EXPECT_EQ(r26[3], "-157.90709400");
  EXPECT_EQ(Value(r26, 5), 13);  // the airport row's elevation
  EXPECT_NEAR(Value(r26, 6), 270.0, 0.05);
  EXPECT_NEAR(Value(r08, 6), 90.0, 0.05);
  // 12,300 ft published; the ends as FlightGear has them lie 3,746 m apart.
  EXPECT_NEAR(Value(r26, 7), 12300, 20);
  EXPECT_EQ(Value(r26, 7), Value(r08, 7));
  EXPECT_NEAR(Value(r26, 9), 150, 0.01);  // 45.72 m
  EXPECT_EQ(r26[9], "0");
  EXPECT_EQ(r26[10], r08[10]);  // one reference point for both ends, as text
  EXPECT_EQ(r26[11], r08[11]);
  EXPECT_NEAR(Value(r26, 11), (21.325247 + 21.325244) / 2, 1e-8);
  EXPECT_EQ(Value(r26, 13), 0);
  EXPECT_EQ(r26[7], "3");  // VASI at 3.00 degrees
  EXPECT_EQ(r08[7], "3");  // precision markings and approach lights

  // KSFO 01R: displaced threshold 149.96 m.
  std::vector<std::string> r01r = Row(table, "KSFO", 12);
  EXPECT_NEAR(Value(r01r, 13), 492.0, 0.01);
  EXPECT_EQ(Value(Row(table, "KSFO", 191), 13), 0);

  // PHDH: thresholds of 619.96 m and 616.92 m, visual markings, no lights.
  std::vector<std::string> phdh08 = Row(table, "PHDH", 80);
  std::vector<std::string> phdh26 = Row(table, "PHDH", 260);
  EXPECT_NEAR(Value(phdh08, 13), 2034.0, 0.01);
  EXPECT_NEAR(Value(phdh26, 13), 2024.02, 0.01);
  EXPECT_EQ(phdh08[7], "0");
  EXPECT_EQ(phdh26[7], "0");
  EXPECT_NEAR(Value(phdh08, 9), 75, 0.01);

  // BIKF: metres only; 60.05 m wide, the 02 end's blast pad of 149.96 m
  // has no column, its PAPI gives the guidance.
  std::vector<std::string> bikf02 = Row(table, "BIKF", 20);
  EXPECT_NEAR(Value(bikf02, 9), 197.01, 0.01);
  EXPECT_EQ(Value(bikf02, 13), 0);
  EXPECT_EQ(Value(bikf02, 5), 170);
  EXPECT_EQ(bikf02[7], "3");
  EXPECT_NEAR(Value(bikf02, 6), FlatBearing(63.96448319, -22.60544552, 63.99188019, -22.60542552), 0.005);
}

// Guidance comes from the end's VASI or PAPI first, with its angle.
TEST(AptDatImport, GuidanceFromTheApproachAids) {
  std::string input = std::string(kHeader) +
                      "1 100 0 0 GUID Guidance test\n"
                      // 09: visual markings, no lights, a PAPI at 3.50; 27: nothing.
                      "100 30.00 1 0 0.25 0 2 0 09 10.00 20.00 0 0 1 0 0 0 27 10.00 20.02 0 0 1 0 0 0\n"
                      // 18: non-precision markings; 36: approach lights only.
                      "100 30.00 1 0 0.25 0 2 0 18 10.02 20.04 0 0 2 0 0 0 36 10.00 20.04 0 0 1 5 0 0\n"
                      // 04: visual markings and runway guard lights only (type 6: no approach aid).
                      "100 30.00 3 0 0.25 0 0 0 04 10.00 20.06 0 0 1 0 0 0 22 10.01 20.07 0 0 1 0 0 0\n"
                      "21 10.00 20.001 2 90.00 3.50 09 PAPI-4L\n"
                      "21 10.00 20.061 6 45.00 3.00 04 WIG-WAG\n"
                      "99\n";
  std::string table;
  RunwayImportReport report;
  ASSERT_TRUE(ImportAptDatRunways(input, table, report)) << report.error;
  ASSERT_EQ(report.rows, 6u);
  EXPECT_EQ(Row(table, "GUID", 90)[7], "3.5");
  EXPECT_EQ(Row(table, "GUID", 270)[7], "0");
  EXPECT_EQ(Row(table, "GUID", 180)[7], "3");
  EXPECT_EQ(Row(table, "GUID", 360)[7], "3");
  EXPECT_EQ(Row(table, "GUID", 40)[7], "0");
  EXPECT_EQ(Row(table, "GUID", 220)[7], "0");
}

// The module reads the imported table and builds PHNL's runways from it.
class AptDatTable : public RunwayTableTest {};

TEST_F(AptDatTable, TheModuleQueriesHonolulu) {
  std::string table;
  RunwayImportReport report;
  ASSERT_TRUE(ImportAptDatRunways(Excerpt(), table, report));
  Start(table, RunwayTableSchema());
  ASSERT_EQ(db_.connected, 1u);
  EXPECT_FALSE(LoggedContaining("skipped"));
  QueryRunways(db_, 21.3187, -157.9225);
  std::map<std::string, const RunwayRecord*> phnl;
  for (const auto& record : db_.runwayList) {
    if (strcmp(record->airportIdent, "PHNL") == 0) phnl[record->designator] = record.get();
  }
  std::vector<std::string> names;
  for (const auto& [name, record] : phnl) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"04L", "04R", "08L", "08R", "22L", "22R", "26L", "26R"}));
  // Every end is paired with the other end of its row, none projected.
  EXPECT_EQ(db_.runwayList.size(), phnl.size());  // PHDH lies 0.26 degrees north, outside the box
  for (const auto& [name, record] : phnl) {
    EXPECT_NE(record->oppositeLatitude, 0) << name;
    EXPECT_GT(record->aimPoint.latitude, 0) << name << ": every PHNL end has an approach aid";
  }
  const RunwayRecord& r26 = *phnl["26R"];
  EXPECT_DOUBLE_EQ(r26.oppositeLatitude, phnl["08L"]->endLatitude);
  EXPECT_NEAR(r26.trueHeading, 270.0, 0.05);
  EXPECT_NEAR(r26.width, 150, 0.01);
  // The outline is 150 ft wide at both ends.
  const GeoPoint* o = r26.outline;
  EXPECT_NEAR(FlatDistance(o[1].latitude, o[1].longitude, o[2].latitude, o[2].longitude, false), 150, 0.5);
}

// apt.dat and OurAirports describe the same runways from separate surveys:
// the ends of KSFO, PHNL and PHDH that both hold lie within 250 m of each
// other, most within 50 m. The far ones are KSFO 10R (238 m: OurAirports
// puts the end further west), 01L (135 m) and 19R (90 m), where the two
// differ on where the usable runway begins.
TEST(AptDatImport, EndsAgreeWithOurAirports) {
  std::string aptTable, oaTable, input;
  RunwayImportReport report;
  ASSERT_TRUE(ImportAptDatRunways(Excerpt(), aptTable, report));
  ASSERT_TRUE(platform::ReadWholeFile(SourcePath("data/ourairports/runways.csv"), input));
  ASSERT_TRUE(ImportOurAirportsRunways(input, oaTable, report));
  std::map<std::string, std::vector<std::string>> ours;
  for (const std::string& line : TableLines(oaTable)) {
    std::vector<std::string> fields = Fields(line);
    if (fields[0] == "KSFO" || fields[0] == "PHNL" || fields[0] == "PHDH") ours[fields[0] + fields[1]] = fields;
  }
  std::vector<double> distances;
  for (const std::string& line : TableLines(aptTable)) {
    std::vector<std::string> apt = Fields(line);
    if (apt[0] != "KSFO" && apt[0] != "PHNL" && apt[0] != "PHDH") continue;
    auto other = ours.find(apt[0] + apt[1]);
    ASSERT_NE(other, ours.end()) << apt[0] << " " << apt[1];
    double metres = FlatDistance(Value(apt, 3), Value(apt, 4), Value(other->second, 3), Value(other->second, 4), true);
    EXPECT_LT(metres, 250) << apt[0] << " " << apt[1];
    // Both say which way the runway points, within a degree.
    double turn = std::fabs(WrapPositive(Value(apt, 6) - Value(other->second, 6) + 180, 360) - 180);
    EXPECT_LT(turn, 1.0) << apt[0] << " " << apt[1];
    distances.push_back(metres);
  }
  ASSERT_EQ(distances.size(), 18u);
  std::sort(distances.begin(), distances.end());
  EXPECT_LT(distances[distances.size() * 3 / 4], 50);
}

TEST(AptDatImport, DamagedRowsAreCountedAndTheRestKept) {
  std::string input =
      std::string(kHeader) +
      "100 30 1 0 0.25 0 2 0 09 10.00 20.00 0 0 1 0 0 0 27 10.00 20.02 0 0 1 0 0 0\n"  // before any airport
      "1 100 0 0 GOOD Good\r\n"
      "100 30 1 0 0.25 0 2 0 09 10.00 20.00 0 0 1 0 0 0 27 10.00 20.02 0 0 1 0 0 0\r\n"
      "100 30 1 0 0.25 0 2 0 09 10.00 20.00 0 0 1 0 0 0 27 10.00\n"                       // short
      "100 30 1 0 0.25 0 2 0 18 ten 20.00 0 0 1 0 0 0 36 10.02 20.00 0 0 1 0 0 0\n"       // text
      "100 30 1 0 0.25 0 2 0 18 10.00 20.00 0 0 1 0 0 0 36 10.00 20.00 0 0 1 0 0 0\n"     // one point
      "100 0 1 0 0.25 0 2 0 18 10.00 20.10 0 0 1 0 0 0 36 10.02 20.10 0 0 1 0 0 0\n"      // no width
      "100 30 1 0 0.25 0 2 0 18 95.00 20.00 0 0 1 0 0 0 36 96.00 20.00 0 0 1 0 0 0\n"     // beyond a pole
      "100 30 1 0 0.25 0 2 0 18 10.00 20.20 1500 0 1 0 0 0 36 10.01 20.20 0 0 1 0 0 0\n"  // threshold past the end
      "100 30 1 0 0.25 0 2 0 18 10.00 20.30 nan 0 1 0 0 0 36 10.01 20.30 0 0 1 0 0 0\n"   // not a number
      "21 garbage\n"
      "\x01\x02\xff binary\n"
      "1 high 0 0 NOEL No elevation\n"
      "100 30 1 0 0.25 0 2 0 09 11.00 20.00 0 0 1 0 0 0 27 11.00 20.02 0 0 1 0 0 0\n"
      "1\n"
      "100 30 1 0 0.25 0 2 0 09 12.00 20.00 0 0 1 0 0 0 27 12.00 20.02 0 0 1 0 0 0";  // no final line end
  std::string table;
  RunwayImportReport report;
  ASSERT_TRUE(ImportAptDatRunways(input, table, report)) << report.error;
  EXPECT_EQ(report.runways, 11u);
  EXPECT_EQ(report.imported, 1u);
  std::vector<std::string> lines = TableLines(table);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 26), "GOOD,90,10.00000000,20.000");
  EXPECT_EQ(report.notConverted["runway row outside an airport"], 1u);
  EXPECT_EQ(report.notConverted["damaged runway row (fewer than 26 fields)"], 1u);
  EXPECT_EQ(report.notConverted["damaged runway row (text where a number belongs)"], 2u);
  EXPECT_EQ(report.notConverted["both ends at one point"], 1u);
  EXPECT_EQ(report.notConverted["no width"], 1u);
  EXPECT_EQ(report.notConverted["coordinates out of range"], 1u);
  EXPECT_EQ(report.notConverted["displaced thresholds leave no runway"], 1u);
  // An airport row without elevation, and one without even an identifier.
  EXPECT_EQ(report.notConverted["no elevation"], 2u);
  EXPECT_EQ(report.examples["no elevation"][0], "NOEL (line 17)");
  EXPECT_EQ(report.examples["both ends at one point"][0], "GOOD (line 9)");
}

TEST(AptDatImport, FilesThatAreNoAirportFileAreRefused) {
  struct Case {
    std::string input, error;
  } cases[] = {
      {"", "the airport file is empty"},
      {"\n\n", "the airport file is empty"},
      {"I\n", "the airport file ends after its first line"},
      {"id,airport_ident\n1,X\n", "its first line is \"id,airport_ident\", not \"I\" or \"A\""},
      {"I\nVersion 1000\n", "line 2 gives no version number"},
      {"A\n810 Version - old\n1 10 0 0 OLDX Old\n", "apt.dat version 810 keeps runways in rows of code 10"},
  };
  for (const Case& c : cases) {
    std::string table = "left over";
    RunwayImportReport report;
    EXPECT_FALSE(ImportAptDatRunways(c.input, table, report)) << c.input;
    EXPECT_NE(report.error.find(c.error), std::string::npos) << report.error;
    EXPECT_TRUE(table.empty());
  }
  // Rows after the closing 99 are not read.
  std::string table;
  RunwayImportReport report;
  ASSERT_TRUE(ImportAptDatRunways(std::string(kHeader) +
                                      "99\n1 10 0 0 LATE Late\n"
                                      "100 30 1 0 0.25 0 2 0 09 10.00 20.00 0 0 1 0 0 0 27 10.00 20.02 0 0 1 0 0 0\n",
                                  table, report));
  EXPECT_EQ(report.runways, 0u);
}

// FlightGear ships the file compressed; a file cut short is reported, not
// taken for a shorter world.
TEST(AptDatImport, CompressedFilesReadAsPlainOnes) {
  TempFolder folder;
  std::string excerpt = Excerpt();
  std::string plainPath = folder.Write("apt.dat", excerpt);
  std::string gzPath = folder.Path("apt.dat.gz");
  gzFile out = gzopen(gzPath.c_str(), "wb9");
  ASSERT_NE(out, nullptr);
  ASSERT_EQ(gzwrite(out, excerpt.data(), static_cast<unsigned>(excerpt.size())), static_cast<int>(excerpt.size()));
  ASSERT_EQ(gzclose(out), Z_OK);

  std::string expected;
  RunwayImportReport report;
  ASSERT_TRUE(ImportAptDatRunways(excerpt, expected, report));
  for (const std::string& path : {plainPath, gzPath}) {
    AptDatImport import;
    common::Result<> read = ReadAptDatFile(path, import);
    ASSERT_TRUE(read) << read.error();
    ASSERT_TRUE(import.Finish());
    EXPECT_EQ(import.Table(), expected) << path;
  }

  std::string compressed = folder.Read("apt.dat.gz");
  folder.Write("cut.dat.gz", compressed.substr(0, compressed.size() / 2));
  AptDatImport cut;
  common::Result<> read = ReadAptDatFile(folder.Path("cut.dat.gz"), cut);
  EXPECT_FALSE(read);
  EXPECT_NE(read.error().find("is damaged"), std::string::npos) << read.error();

  AptDatImport missing;
  read = ReadAptDatFile(folder.Path("none.dat.gz"), missing);
  EXPECT_FALSE(read);
  EXPECT_NE(read.error().find("cannot open"), std::string::npos);
}

std::string RunCommand(const std::string& command, int& status) {
  FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  if (pipe == nullptr) return output;
  std::array<char, 4096> buffer;
  size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) output.append(buffer.data(), n);
  status = pclose(pipe);
  return output;
}

// The command imports the file into a folder the query command then reads.
TEST(AptDatImport, CommandImportsAndQueries) {
  const char* tree = getenv("ORVANTE_BUILD_DIR");
  std::string tool = std::string(tree && *tree ? tree : RUNWAYS_TEST_BUILD_DIR) + "/bin/orvante-runways";
#ifdef _WIN32
  GTEST_SKIP() << "starts the tool through a POSIX shell (its quoting and redirections)";
#endif
  if (!platform::FileExists(tool)) GTEST_SKIP() << "orvante-runways is not built";
  TempFolder out;
  int status = -1;
  std::string summary =
      RunCommand(tool + " import --apt-dat '" + SourcePath("tests/runways/fixtures/apt_dat_excerpt.dat") +
                     "' --out-dir '" + out.Path("sim") + "' 2>&1",
                 status);
  EXPECT_EQ(status, 0) << summary;
  EXPECT_NE(summary.find("11 of 13 runways imported as 22 runway ends"), std::string::npos) << summary;
  std::string listing = RunCommand(tool + " query 21.3187 -157.9225 --sim-dir '" + out.Path("sim") + "' 2>&1", status);
  EXPECT_EQ(status, 0) << listing;
  for (const char* end :
       {"PHNL 08L ", "PHNL 26R ", "PHNL 08R ", "PHNL 26L ", "PHNL 04R ", "PHNL 22L ", "PHNL 04L ", "PHNL 22R "}) {
    EXPECT_NE(listing.find(end), std::string::npos) << end << " missing from\n" << listing;
  }
  std::string refused = RunCommand(tool + " import --apt-dat '" + SourcePath("data/ourairports/runways.csv") +
                                       "' --out-dir '" + out.Path("bad") + "' 2>&1",
                                   status);
  EXPECT_NE(status, 0);
  EXPECT_NE(refused.find("not an X-Plane/FlightGear airport file"), std::string::npos) << refused;
  EXPECT_FALSE(platform::FileExists(out.Path("bad/r4.csv")));
}

// FlightGear's own file, where it is installed: the world's runways.
TEST(AptDatImport, FlightGearsWorldFile) {
  const char* path = "/usr/share/games/flightgear/Airports/apt.dat.gz";
  if (!platform::FileExists(path)) GTEST_SKIP() << path << " is not installed (Debian package flightgear-data-base)";
  AptDatImport import;
  common::Result<> read = ReadAptDatFile(path, import);
  ASSERT_TRUE(read) << read.error();
  ASSERT_TRUE(import.Finish());
  const RunwayImportReport& report = import.Report();
  EXPECT_GE(report.rows, 60000u) << DescribeImport(report);
  EXPECT_EQ(report.rows, 2 * report.imported);
  EXPECT_GT(report.runways, 30000u);
}

}  // namespace
}  // namespace orvante::testing
