// The runway query: the statement, the box, file order, decoding, completion,
// failures, and the index against a full scan.
#include "runways/runway_query.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <set>

#include "runway_table_fixture.h"
#include "runways/runway_geometry.h"

namespace orvante::testing {
namespace {

// One table row in the import tool's layout.
std::string TableRowText(const char* airport, int code, double endLat, double endLon, double refLat, double refLon,
                         double length = 8000, double guidance = 0, double displaced = 0) {
  char line[256];
  snprintf(line, sizeof line, "%s,%d,%.8f,%.8f,100,0,%.1f,%g,150,0,%.8f,%.8f,%g\n", airport, code, endLat, endLon,
           length, guidance, refLat, refLon, displaced);
  return line;
}

using RunwayQuery = RunwayTableTest;

TEST_F(RunwayQuery, StatementCarriesTheSchemaNamesAndEightDecimals) {
  db_.columnNames[10] = "Latitude";
  db_.columnNames[11] = "Longitude";
  EXPECT_EQ(ComposeRunwayQuery(db_, 51.47, -0.45),
            "SELECT * FROM r4.csv WHERE Latitude < 51.68666667 AND Latitude > 51.25333333 AND "
            "Longitude > -0.66666667 AND Longitude < -0.23333333");
  // Long names are not cut: a shortened statement could still run as another query.
  db_.columnNames[10] = std::string(250, 'L');
  std::string statement = ComposeRunwayQuery(db_, 0, 0);
  EXPECT_GT(statement.size(), 500u);
  EXPECT_EQ(statement.substr(statement.size() - 11), " 0.21666667");
}

TEST_F(RunwayQuery, RowsComeInFileOrderAndAddedEndsFollow) {
  std::string table;
  table += TableRowText("AAAA", 90, 10.0, 10.0, 10.0, 10.01);      // one end only
  table += TableRowText("FAR", 90, 30.0, 30.0, 30.0, 30.01);       // outside the box
  table += TableRowText("BBBB", 180, 10.05, 10.05, 10.06, 10.05);  // both ends
  table += TableRowText("BBBB", 360, 10.07, 10.05, 10.06, 10.05);
  table += TableRowText("CCCC", 363, 10.1, 10.1, 10.1, 10.11);  // one end only
  Start(table);
  ASSERT_EQ(db_.connected, 1u);
  Lines().clear();
  QueryRunways(db_, 10.0, 10.0);
  std::vector<std::string> order;
  for (const auto& record : db_.runwayList)
    order.push_back(std::string(record->airportIdent) + " " + record->designator);
  EXPECT_EQ(order, (std::vector<std::string>{"AAAA 09", "BBBB 18", "BBBB 36", "CCCC 36C", "AAAA 27", "CCCC 18C"}));
  EXPECT_TRUE(Lines().empty());  // a successful query logs nothing
}

TEST_F(RunwayQuery, TheBoxIsStrictAfterRounding) {
  const double d = RUNWAY_BOX_HALF_SIZE;
  std::string table;
  table += TableRowText("EDGE", 90, 1, 1, 40.0 + d, -100.0);      // equal to the upper bound
  table += TableRowText("EDGR", 90, 1, 1, 40.216666666, -100.0);  // rounds to the bound
  table += TableRowText("IN", 90, 1, 1, 40.21666666, -100.0);     // just inside
  table += TableRowText("WEST", 90, 1, 1, 40.0, -100.0 - d);      // on the western bound
  table += TableRowText("WIN", 90, 1, 1, 40.0, -100.21666666);
  Start(table);
  QueryRunways(db_, 40.0, -100.0);
  std::set<std::string> found;
  for (const auto& record : db_.runwayList) found.insert(record->airportIdent);
  EXPECT_EQ(found, (std::set<std::string>{"IN", "WIN"}));
}

// The box goes on across 180 degrees of longitude: the rows on the other side
// follow those of the position's side, each side in file order.
TEST_F(RunwayQuery, TheBoxGoesOnAcrossTheAntimeridian) {
  std::string table;
  table += TableRowText("WEST", 90, -17.0, -179.95, -17.0, -179.95);
  table += TableRowText("EAST", 90, -17.0, 179.9, -17.0, 179.9);
  table += TableRowText("FARW", 90, -17.0, -179.7, -17.0, -179.7);  // beyond the box on the other side
  table += TableRowText("EAS2", 90, -17.1, 179.85, -17.1, 179.85);
  table += TableRowText("DATE", 90, -17.0, 180.0, -17.0, 180.0);  // on the meridian itself
  Start(table);
  auto order = [&] {
    std::vector<std::string> names;
    for (const auto& record : db_.runwayList)
      names.push_back(std::string(record->airportIdent) + " " + record->designator);
    return names;
  };
  Lines().clear();
  QueryRunways(db_, -17.0, 179.95);
  EXPECT_EQ(order(), (std::vector<std::string>{"EAST 09", "EAS2 09", "DATE 09", "WEST 09", "EAST 27", "EAS2 27",
                                               "DATE 27", "WEST 27"}));
  QueryRunways(db_, -17.0, -179.9);
  EXPECT_EQ(order(), (std::vector<std::string>{"WEST 09", "FARW 09", "EAST 09", "DATE 09", "WEST 27", "FARW 27",
                                               "EAST 27", "DATE 27"}));  // EAS2 lies beyond 179.88
  EXPECT_TRUE(Lines().empty());
  // A box that stays on its side of the meridian is the one statement it was.
  QueryRunways(db_, -17.0, 179.7);
  EXPECT_EQ(order(), (std::vector<std::string>{"EAST 09", "EAS2 09", "EAST 27", "EAS2 27"}));
}

TEST_F(RunwayQuery, NoRowsInTheBoxLeavesTheListEmptyQuietly) {
  Start(TableRowText("AAAA", 90, 10.0, 10.0, 10.0, 10.01));
  QueryRunways(db_, 10.0, 10.0);
  EXPECT_FALSE(db_.runwayList.empty());
  Lines().clear();
  QueryRunways(db_, -10.0, 10.0);
  EXPECT_TRUE(db_.runwayList.empty());
  EXPECT_TRUE(Lines().empty());
}

TEST_F(RunwayQuery, AFailingStatementLogsTheErrorAndEmptiesTheList) {
  Start(TableRowText("AAAA", 90, 10.0, 10.0, 10.0, 10.01));
  QueryRunways(db_, 10.0, 10.0);
  ASSERT_FALSE(db_.runwayList.empty());
  Lines().clear();
  db_.columnNames[10].clear();  // as with a schema whose Col11 is empty
  QueryRunways(db_, 10.0, 10.0);
  EXPECT_TRUE(db_.runwayList.empty());
  ASSERT_GE(Lines().size(), 7u);
  EXPECT_EQ(Lines()[0], "LOG EVENT -> COM ERROR - Error Code: 0x80040E14...\n");
  EXPECT_EQ(Lines()[1], "LOG EVENT -> COM ERROR - Error Meaning: IDispatch error #3092...\n");
  EXPECT_EQ(Lines()[2], "LOG EVENT -> COM ERROR - Source: SQLite...\n");
  EXPECT_EQ(Lines()[3], "LOG EVENT -> COM ERROR - Description: near \"<\": syntax error...\n");
  EXPECT_EQ(Lines()[4], "LOG EVENT -> SUCCEEDED! to get the ERROR object....\n");
  EXPECT_EQ(Lines()[5], "LOG EVENT -> ERROR object - Code Number: 0x80040E14\n");
  EXPECT_EQ(db_.lastProviderError, "near \"<\": syntax error");
  // The next query starts afresh.
  db_.columnNames[10] = "Latitude";
  QueryRunways(db_, 10.0, 10.0);
  EXPECT_EQ(db_.runwayList.size(), 2u);
}

TEST_F(RunwayQuery, AnEmptyCol11InTheSchemaFailsEveryQuery) {
  std::string schema = kRunwaySchema;
  schema.replace(schema.find("Col11=Latitude Double"), 21, "Col11=");
  Start(TableRowText("AAAA", 90, 10.0, 10.0, 10.0, 10.01), schema);
  ASSERT_EQ(db_.connected, 1u);  // the column is there, named F11
  QueryRunways(db_, 10.0, 10.0);
  EXPECT_TRUE(db_.runwayList.empty());
  EXPECT_TRUE(Logged("LOG EVENT -> COM ERROR - Error Code: 0x80040E14...\n"));
}

TEST_F(RunwayQuery, NamesCannotSmuggleInAnotherCommand) {
  Start(TableRowText("AAAA", 90, 10.0, 10.0, 10.0, 10.01));
  db_.columnNames[10] = "Latitude;DELETE/**/FROM/**/r4.rows;--";
  QueryRunways(db_, 10.0, 10.0);
  EXPECT_TRUE(db_.runwayList.empty());
  EXPECT_TRUE(LoggedContaining("COM ERROR - Description: Only one read-only query"));
  db_.columnNames[10] = "Latitude";
  QueryRunways(db_, 10.0, 10.0);
  EXPECT_EQ(db_.runwayList.size(), 2u);
}

TEST_F(RunwayQuery, TypesTheSchemaDeclaresDifferentlyStillDecode) {
  // Runway code as Double, elevation as Text, no Col13: values are converted
  // as the record needs them.
  std::string schema = kRunwaySchema;
  schema.replace(schema.find("Runway Integer"), 14, "Runway Double");
  schema.replace(schema.find("Elevation Double"), 16, "Elevation Text");
  schema.erase(schema.find("Col13="));
  Start(
      "AAAA,270.5,10,10,\"1,5\",0,5000,1,150,0,10,10.01\n"
      "BBBB,271.5,10,10, 42 ,0,5000,1,150,0,10.1,10.01,12\n",
      schema);
  ASSERT_EQ(db_.connected, 1u);
  QueryRunways(db_, 10.0, 10.0);
  ASSERT_EQ(db_.runwayList.size(), 2u);  // AAAA's elevation "1,5" is no number: left out
  EXPECT_STREQ(db_.runwayList[0]->airportIdent, "BBBB");
  EXPECT_STREQ(db_.runwayList[0]->designator, "27R");  // 271.5 rounds half to even: 272
  EXPECT_EQ(db_.runwayList[0]->elevation, 42);
  EXPECT_EQ(db_.runwayList[0]->displacedThreshold, 12);
}

TEST(RowDecoding, FieldsByOrdinal) {
  TableRow row(14);
  auto text = [](const char* t) {
    TableValue v;
    v.kind = TableValue::Kind::kText;
    v.text = t;
    return v;
  };
  auto real = [](double d) {
    TableValue v;
    v.kind = TableValue::Kind::kReal;
    v.real = d;
    return v;
  };
  auto whole = [](int64_t i) {
    TableValue v;
    v.kind = TableValue::Kind::kInteger;
    v.integer = i;
    return v;
  };
  row[0] = text("KSFO");
  row[1] = whole(90);
  for (int k = 2; k < 13; ++k) row[k] = real(k + 0.5);
  row[7] = real(1e40);  // beyond a float: only its sign matters
  row[13] = text("ignored");
  RunwayRecord record;
  ASSERT_TRUE(DecodeRow(row, record));
  EXPECT_STREQ(record.airportIdent, "KSFO");
  EXPECT_STREQ(record.designator, "090");
  EXPECT_EQ(record.endLatitude, 2.5);
  EXPECT_EQ(record.endLongitude, 3.5);
  EXPECT_EQ(record.elevation, 4.5);
  EXPECT_EQ(record.heading, 5.5);
  EXPECT_EQ(record.length, 6.5);
  EXPECT_GT(record.guidanceValue, 0);
  EXPECT_EQ(record.width, 8.5);
  EXPECT_EQ(record.magneticVariation, 9.5);
  EXPECT_EQ(record.refLatitude, 10.5);
  EXPECT_EQ(record.refLongitude, 11.5);
  EXPECT_EQ(record.displacedThreshold, 12.5);

  for (int code : {271, 363, 0, 999}) {
    RunwayRecord r;
    row[1] = whole(code);
    ASSERT_TRUE(DecodeRow(row, r));
    char expected[8];
    snprintf(expected, sizeof expected, "%03d", code);
    EXPECT_STREQ(r.designator, expected);
  }
  for (int64_t code : {-1, 1000, 100000}) {
    RunwayRecord r;
    row[1] = whole(code);
    EXPECT_FALSE(DecodeRow(row, r)) << code;
  }
}

TEST(RowDecoding, EmptyFieldsStayZeroAndLongIdentsAreCut) {
  TableRow row(13);
  RunwayRecord record;
  ASSERT_TRUE(DecodeRow(row, record));
  EXPECT_STREQ(record.designator, "");
  EXPECT_EQ(record.endLatitude, 0);
  row[0].kind = TableValue::Kind::kText;
  row[0].text = "AE-0264";
  ASSERT_TRUE(DecodeRow(row, record));
  EXPECT_STREQ(record.airportIdent, "AE-02");
  row[0].text = "Z\xC3\xBC\xC3\xBC\xC3\xBC";  // a character never split
  ASSERT_TRUE(DecodeRow(row, record));
  EXPECT_STREQ(record.airportIdent, "Z\xC3\xBC\xC3\xBC");
  TableRow shortRow(3);
  EXPECT_TRUE(DecodeRow(shortRow, record));
}

TEST(ComErrors, MeaningsOfCodes) {
  EXPECT_EQ(ComErrorMessage(0x80040E14), "IDispatch error #3092");
  EXPECT_EQ(ComErrorMessage(0x80004005), "Unspecified error");
  EXPECT_EQ(ComErrorMessage(0x80050001), "Unknown error 0x80050001");
  EXPECT_EQ(ComErrorMessage(0x80040200), "Unknown error 0x80040200");
}

// The composed statement reaches the table's index: its cost then does not
// grow with the table (the benchmarks measure how much).
TEST_F(RunwayQuery, TheStatementUsesThePositionIndex) {
  Start(TableRowText("AAAA", 90, 10.0, 10.0, 10.0, 10.01));
  ProviderError failure;
  auto plan = db_.connection->Execute("EXPLAIN QUERY PLAN " + ComposeRunwayQuery(db_, 10.0, 10.0), failure);
  ASSERT_TRUE(plan) << failure.description;
  std::string detail;
  TableRow row;
  while (!plan->Eof()) {
    plan->ReadRow(row);
    detail += row.back().text + "\n";
    plan->MoveNext(failure);
  }
  EXPECT_NE(detail.find("VIRTUAL TABLE INDEX 1:a<a>o>o<"), std::string::npos) << detail;
}

// The index must give exactly the rows a full scan gives, in the same order,
// whatever the rounding of its stored coordinates.
TEST_F(RunwayQuery, IndexedQueryEqualsAFullScan) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> offset(-0.3, 0.3);
  std::string table;
  std::vector<std::pair<double, double>> references;
  for (int i = 0; i < 3000; ++i) {
    double lat = 45.0 + offset(random), lon = 7.0 + offset(random);
    if (i % 10 == 0) lat = 45.0 + (i % 20 == 0 ? 1 : -1) * RUNWAY_BOX_HALF_SIZE;  // on the bounds
    if (i % 15 == 0) lon = 7.0 + RUNWAY_BOX_HALF_SIZE - 1e-9;
    char ident[8];
    snprintf(ident, sizeof ident, "R%d", i);
    std::string row = TableRowText(ident, 90, lat, lon, lat, lon);
    table += row;
    // The reference point as the table holds it: written with 8 decimals.
    double heldLat = 0, heldLon = 0;
    sscanf(row.c_str(), "%*[^,],%*d,%*f,%*f,%*f,%*f,%*f,%*f,%*f,%*f,%lf,%lf", &heldLat, &heldLon);
    references.emplace_back(heldLat, heldLon);
  }
  Start(table);
  ASSERT_EQ(db_.connected, 1u);

  for (auto [lat, lon] : {std::pair{45.0, 7.0}, std::pair{45.1, 6.9}, std::pair{44.8, 7.25}}) {
    std::string indexed = ComposeRunwayQuery(db_, lat, lon);
    // A unary plus keeps the conditions away from the index: a full scan.
    std::string scan = indexed;
    for (size_t at = 0; (at = scan.find("WHERE ", at)) != std::string::npos; at += 6) scan.insert(at + 6, "+");
    for (size_t at = 0; (at = scan.find("AND ", at)) != std::string::npos; at += 5) scan.insert(at + 4, "+");
    auto rows = [&](const std::string& statement) {
      ProviderError failure;
      auto results = db_.connection->Execute(statement, failure);
      EXPECT_TRUE(results) << failure.description;
      std::vector<std::string> idents;
      TableRow row;
      while (results && !results->Eof()) {
        results->ReadRow(row);
        idents.push_back(row[0].text);
        results->MoveNext(failure);
      }
      return idents;
    };
    std::vector<std::string> expected;
    char buffer[3][32];
    snprintf(buffer[0], sizeof buffer[0], "%5.8f", lat + RUNWAY_BOX_HALF_SIZE);
    snprintf(buffer[1], sizeof buffer[1], "%5.8f", lat - RUNWAY_BOX_HALF_SIZE);
    for (size_t i = 0; i < references.size(); ++i) {
      char lo[32], hi[32];
      snprintf(lo, sizeof lo, "%5.8f", lon - RUNWAY_BOX_HALF_SIZE);
      snprintf(hi, sizeof hi, "%5.8f", lon + RUNWAY_BOX_HALF_SIZE);
      auto [rl, ro] = references[i];
      if (rl < atof(buffer[0]) && rl > atof(buffer[1]) && ro > atof(lo) && ro < atof(hi)) {
        expected.push_back("R" + std::to_string(i));
      }
    }
    std::vector<std::string> viaIndex = rows(indexed);
    EXPECT_EQ(viaIndex, rows(scan));
    EXPECT_EQ(viaIndex, expected);
    EXPECT_GT(viaIndex.size(), 100u);
  }
}

// The table read at start-up is followed afterwards as a provider that
// reads the file at every statement would follow it: a table that has gone
// fails the query with the COM ERROR lines, a replaced one is read again
// (its new rows answer), a replacement that cannot be read fails the query
// and the table read before is kept for when a good file returns.
TEST_F(RunwayQuery, ATableDeletedOrReplacedAfterStartUpIsFollowedAtTheNextQuery) {
  Start(TableRowText("AAAA", 90, 10.0, 10.0, 10.0, 10.01));
  ASSERT_EQ(db_.connected, 1u);
  QueryRunways(db_, 10.0, 10.0);
  ASSERT_EQ(db_.runwayList.size(), 2u);

  std::filesystem::remove(folder_.Path("r4.csv"));
  Lines().clear();
  QueryRunways(db_, 10.0, 10.0);
  EXPECT_TRUE(db_.runwayList.empty());
  EXPECT_TRUE(Logged("LOG EVENT -> COM ERROR - Error Code: 0x80070002...\n"));
  EXPECT_TRUE(Logged("LOG EVENT -> COM ERROR - Error Meaning: The system cannot find the file specified....\n"));
  EXPECT_TRUE(Logged("LOG EVENT -> COM ERROR - Source: Orvante text table...\n"));
  EXPECT_TRUE(
      Logged("LOG EVENT -> COM ERROR - Description: The file r4.csv is no longer in the folder of the table....\n"));
  EXPECT_TRUE(Logged("LOG EVENT -> ERROR object - Code Number: 0x80070002\n"));

  // Back, with another airport in it: the next query reads it.
  folder_.Write("r4.csv", TableRowText("BBBB", 180, 10.05, 10.05, 10.06, 10.05) +
                              TableRowText("BBBB", 360, 10.07, 10.05, 10.06, 10.05));
  Lines().clear();
  QueryRunways(db_, 10.0, 10.0);
  ASSERT_EQ(db_.runwayList.size(), 2u);
  EXPECT_STREQ(db_.runwayList[0]->airportIdent, "BBBB");
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(db_.connection->Reloads(), 1u);

  // Replaced by a table that cannot be read: the query fails with the
  // reader's reason, every time until a good file is back.
  folder_.Write("r4.csv", std::string("\xFF\xFE"
                                      "B\0B\0",
                                      6));
  for (int query = 0; query < 2; ++query) {
    Lines().clear();
    QueryRunways(db_, 10.0, 10.0);
    EXPECT_TRUE(db_.runwayList.empty());
    EXPECT_TRUE(LoggedContaining("COM ERROR - Description: The file r4.csv changed and cannot be read again: "))
        << "query " << query;
  }
  folder_.Write("r4.csv", TableRowText("AAAA", 90, 10.0, 10.0, 10.0, 10.01) + "\n");
  Lines().clear();
  QueryRunways(db_, 10.0, 10.0);
  EXPECT_EQ(db_.runwayList.size(), 2u);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(db_.connection->Reloads(), 2u);

  // Left alone, the table is not read again.
  QueryRunways(db_, 10.0, 10.0);
  EXPECT_EQ(db_.connection->Reloads(), 2u);
}

}  // namespace
}  // namespace orvante::testing
