// Start-up of the runway database: finding the files, reading the schema,
// connecting, and the log lines and messages of each step.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "runway_table_fixture.h"
#include "runways/runway_query.h"

namespace orvante::testing {
namespace {

const char* kOneRunway =
    "EGLL,91,51.47749,-0.489439,79,90,12799,3,164,0,51.47758,-0.46133,1007\r\n"
    "EGLL,271,51.477681,-0.433227,78,270,12799,3,164,0,51.47758,-0.46133,0\r\n";

using RunwayDatabaseStart = RunwayTableTest;

TEST_F(RunwayDatabaseStart, ConnectsAndLogsEachStep) {
  Start(kOneRunway);
  EXPECT_EQ(db_.connected, 1u);
  std::vector<std::string> expected = {
      "LOG EVENT -> Database directory: \n",        "LOG EVENT -> " + folder_.Path() + " \n",
      "LOG EVENT -> R4.CSV file found....\n",       "LOG EVENT -> SCHEMA.INI file found....\n",
      "LOG EVENT -> Reading SCHEMA.INI file....\n", "LOG EVENT -> DATABASE CONNECTED!....\n",
  };
  EXPECT_EQ(Lines(), expected);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(db_.columnNames[0], "Airport");
  EXPECT_EQ(db_.columnNames[10], "Latitude");
  EXPECT_EQ(db_.columnNames[12], "Displaced");
  CloseDatabase(db_);
  EXPECT_EQ(db_.connected, 0u);
  EXPECT_EQ(db_.connection->State(), kStateClosed);
}

TEST_F(RunwayDatabaseStart, MissingTableShowsOnlyItsMessage) {
  folder_.Write("Schema.ini", kRunwaySchema);
  StartRunwayDatabase(db_, folder_.Path().c_str());
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "The R4.CSV file is MISSING!");
  EXPECT_EQ(Boxes()[0].caption, "Orvante");
  EXPECT_EQ(Boxes()[0].flags, platform::kMbOk | platform::kMbIconError);
  EXPECT_EQ(Lines().size(), 2u);  // the directory lines only: the schema is not read
  EXPECT_TRUE(db_.columnNames[10].empty());
  EXPECT_EQ(db_.connected, 0u);
}

TEST_F(RunwayDatabaseStart, MissingSchemaShowsItsMessage) {
  Start(kOneRunway, "");
  ASSERT_EQ(Boxes().size(), 1u);
  EXPECT_EQ(Boxes()[0].text, "The SCHEMA.INI file is MISSING!");
  EXPECT_TRUE(Logged("LOG EVENT -> R4.CSV file found....\n"));
  EXPECT_FALSE(LoggedContaining("Reading SCHEMA.INI"));
  EXPECT_FALSE(LoggedContaining("DATABASE CONNECTED!"));
  EXPECT_EQ(db_.connected, 0u);
}

TEST_F(RunwayDatabaseStart, FilesAreFoundWhateverTheirLetterCase) {
  folder_.Write("R4.CSV", kOneRunway);
  folder_.Write("SCHEMA.INI", kRunwaySchema);
  StartRunwayDatabase(db_, folder_.Path().c_str());
  EXPECT_EQ(db_.connected, 1u);
  EXPECT_EQ(db_.columnNames[11], "Longitude");
}

TEST_F(RunwayDatabaseStart, SchemaNamesAreTheTextBeforeTheFirstBlank) {
  Start(kOneRunway,
        "[r4.csv]\nCol1=Airport Text\nCol2=Runway\tInteger\nCol3=\" Lead Double\"\nCol4=\n"
        "Col11=Lat Double Width 8\nCol12=Lon\nCol14=Extra Text\n");
  EXPECT_EQ(db_.columnNames[0], "Airport");
  EXPECT_EQ(db_.columnNames[1], "Runway");
  EXPECT_EQ(db_.columnNames[2], "Lead");  // blanks before the name are no part of it, as the table reader reads it
  EXPECT_EQ(db_.columnNames[3], "");
  EXPECT_EQ(db_.columnNames[10], "Lat");
  EXPECT_EQ(db_.columnNames[11], "Lon");  // no blank: the whole value
  EXPECT_EQ(db_.columnNames[12], "");     // fewer than 13 named: the rest stay empty
}

// The query and the table reader read the schema alike: a quoted column name
// with blanks names the column the reader made, and the query finds its rows.
TEST_F(RunwayDatabaseStart, QuotedColumnNamesWithBlanksAreTheNamesTheQueryUses) {
  std::string schema = kRunwaySchema;
  schema.replace(schema.find("Col11=Latitude Double"), 21, "Col11=\"Ref Lat\" Double");
  schema.replace(schema.find("Col12=Longitude Double"), 22, "Col12=\"Ref  Lon\"\tDouble");
  Start(kOneRunway, schema);
  ASSERT_EQ(db_.connected, 1u);
  EXPECT_EQ(db_.columnNames[10], "Ref Lat");
  EXPECT_EQ(db_.columnNames[11], "Ref  Lon");
  Lines().clear();
  QueryRunways(db_, 51.47, -0.46);
  EXPECT_EQ(db_.runwayList.size(), 2u);
  EXPECT_TRUE(Lines().empty()) << (Lines().empty() ? "" : Lines()[0]);
}

TEST_F(RunwayDatabaseStart, BadSchemaFailsTheConnectionWithTheProvidersErrors) {
  std::string schema = kRunwaySchema;
  schema.replace(schema.find("Col11=Latitude Double"), 21, "Col11=Latitude Dbl");
  Start(kOneRunway, schema);
  EXPECT_EQ(db_.connected, 0u);
  EXPECT_TRUE(Logged("LOG EVENT -> Couldn't OPEN the database file....\n"));
  EXPECT_TRUE(Logged("LOG EVENT -> Operation FAILED! - Error code: 0x80004005....\n"));
  EXPECT_TRUE(Logged("LOG EVENT -> SUCCEEDED! to get the ERROR object....\n"));
  EXPECT_TRUE(Logged("LOG EVENT -> ERROR object - Code Number: 0x80004005\n"));
  EXPECT_TRUE(LoggedContaining("LOG EVENT -> ERROR object - Description: Schema.ini [r4.csv]: Col11: unknown"));
  EXPECT_TRUE(Logged("LOG EVENT -> Connection object: CLOSED!....\n"));
  EXPECT_NE(db_.lastProviderError.find("Dbl"), std::string::npos);
  EXPECT_TRUE(Boxes().empty());
  CloseDatabase(db_);  // harmless when not connected
}

TEST_F(RunwayDatabaseStart, UnreadableTableFailsTheConnection) {
  folder_.Write("Schema.ini", kRunwaySchema);
  std::filesystem::create_directory(folder_.Path("r4.csv"));  // found, but no file to read
  StartRunwayDatabase(db_, folder_.Path().c_str());
  EXPECT_EQ(db_.connected, 0u);
  EXPECT_TRUE(LoggedContaining("Couldn't OPEN"));
}

TEST_F(RunwayDatabaseStart, RowsTheUnitCannotUseAreLoggedAndLeftOut) {
  std::string table = kOneRunway;
  table += "BAD1,1000,1,1,0,0,0,0,0,0,1,1,0\n";
  table += "BAD2,twelve,1,1,0,0,0,0,0,0,1,1,0\n";
  table += "BAD3,90,1,1,0,0,0,0,0,0,NaN,1,0\n";
  Start(table);
  EXPECT_EQ(db_.connected, 1u);
  EXPECT_TRUE(Logged("LOG EVENT -> R4.CSV line 3 skipped: column 2 runway code 1000 is outside 0 to 999....\n"));
  EXPECT_TRUE(Logged("LOG EVENT -> R4.CSV line 4 skipped: column 2 \"twelve\" is not a whole number....\n"));
  EXPECT_TRUE(Logged("LOG EVENT -> R4.CSV line 5 skipped: column 11 \"NaN\" is not a number....\n"));
  EXPECT_TRUE(Logged("LOG EVENT -> R4.CSV: 2 rows read, 3 rows skipped....\n"));
  EXPECT_EQ(Lines().back(), "LOG EVENT -> DATABASE CONNECTED!....\n");
}

TEST_F(RunwayDatabaseStart, DamagedRowsAreQuotedWithTheirBytesEscaped) {
  std::string table = kOneRunway;
  const char binary[] = "BAD1,9\x1b[2J\xff\xfe\x00,1,1,0,0,0,0,0,0,1,1,0\n";
  table.append(binary, sizeof binary - 1);
  table += "BAD2,90,1,1,0,0,0,0,0,0,\"4\\5\"\"\",1,0\n";
  Start(table);
  EXPECT_EQ(db_.connected, 1u);
  EXPECT_TRUE(
      Logged("LOG EVENT -> R4.CSV line 3 skipped: column 2 \"9\\x1B[2J\\xFF\\xFE\\x00\" is not a whole number....\n"));
  EXPECT_TRUE(Logged("LOG EVENT -> R4.CSV line 4 skipped: column 11 \"4\\\\5\\\"\" is not a number....\n"));
  EXPECT_TRUE(Logged("LOG EVENT -> R4.CSV: 2 rows read, 2 rows skipped....\n"));
  for (const std::string& line : Lines()) {
    for (unsigned char c : line) {
      EXPECT_TRUE((c >= 0x20 && c < 0x7F) || c == '\n') << "byte " << int(c) << " in: " << line;
    }
  }
}

TEST_F(RunwayDatabaseStart, OnlyTheFirstSkippedRowsAreLoggedOneByOne) {
  std::string table;
  for (int i = 0; i < 25; ++i) table += "X,-5,1,1,0,0,0,0,0,0,1,1,0\n";
  Start(table);
  int individual = 0;
  for (const std::string& line : Lines()) individual += line.find(" skipped: ") != std::string::npos;
  EXPECT_EQ(individual, 10);
  EXPECT_TRUE(Logged("LOG EVENT -> R4.CSV: 0 rows read, 25 rows skipped....\n"));
}

TEST_F(RunwayDatabaseStart, SchemaFormatAndHeaderAreHonoured) {
  std::string schema = kRunwaySchema;
  schema.replace(schema.find("ColNameHeader=False"), 19, "ColNameHeader=True");
  schema.replace(schema.find("Format=CSVDelimited"), 19, "Format=Delimited(;)");
  Start(
      "airport;code;names the columns\r\n"
      "EGLL;91;51.47749;-0.489439;79;90;12799;3;164;0;51.47758;-0.46133;1007\r\n",
      schema);
  ASSERT_EQ(db_.connected, 1u);
  EXPECT_EQ(db_.connection->RowCount(), 1u);
  EXPECT_FALSE(LoggedContaining("skipped"));
}

TEST_F(RunwayDatabaseStart, ATableLargerThanTheLimitIsRefusedUnread) {
  folder_.Write("r4.csv", std::string(64, 'x'));
  folder_.Write("Schema.ini", kRunwaySchema);
  uint32_t result = 0;
  auto connection = TableConnection::Create(result);
  TableOpenOptions options;
  options.maximumFileSize = 32;
  EXPECT_EQ(connection->Open(ComposeConnectionString(folder_.Path()), options), kResultFail);
  ASSERT_EQ(connection->Errors().size(), 1u);
  EXPECT_NE(connection->Errors()[0].description.find("larger than 32 bytes"), std::string::npos);
  EXPECT_EQ(connection->State(), kStateClosed);
}

TEST(ConnectionString, DataSourceEndsWithASeparator) {
  std::string s = ComposeConnectionString("/sims/P3D");
  std::string separator(1, platform::kPathSeparator);
  EXPECT_EQ(s, "Provider=Microsoft.ACE.OLEDB.12.0; Data Source=/sims/P3D" + separator +
                   "; Extended Properties=\"text;HDR=NO;FMT=Delimited\"");
  EXPECT_EQ(ConnectionStringValue(s, "data source"), "/sims/P3D" + separator);
  EXPECT_EQ(ConnectionStringValue(*ConnectionStringValue(s, "Extended Properties"), "HDR"), "NO");
  // A folder holding the string's separator still reaches the provider whole.
  std::string odd = ComposeConnectionString("/sims/a;b");
  EXPECT_EQ(ConnectionStringValue(odd, "Data Source"), "/sims/a;b" + separator);
  EXPECT_EQ(ConnectionStringValue(odd, "Provider"), "Microsoft.ACE.OLEDB.12.0");
}

}  // namespace
}  // namespace orvante::testing
