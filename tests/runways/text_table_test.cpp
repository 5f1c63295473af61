// Reading Schema.ini layouts and r4.csv rows, including damaged ones.
#include "runways/text_table.h"

#include <gtest/gtest.h>

#include "runways/table_schema.h"
#include "temp_folder.h"

namespace orvante {
namespace {

TEST(SchemaColumns, DefinitionsGiveNameAndType) {
  TableColumn column;
  EXPECT_TRUE(ParseColumnDefinition("Latitude Double", column));
  EXPECT_EQ(column.name, "Latitude");
  EXPECT_EQ(column.type, ColumnType::kReal);
  EXPECT_TRUE(ParseColumnDefinition("  Ident\tText Width 5 ", column));
  EXPECT_EQ(column.name, "Ident");
  EXPECT_EQ(column.type, ColumnType::kText);
  EXPECT_TRUE(ParseColumnDefinition("\"Runway Code\" long", column));
  EXPECT_EQ(column.name, "Runway Code");
  EXPECT_EQ(column.type, ColumnType::kInteger);
  EXPECT_TRUE(ParseColumnDefinition("Guidance Single", column));
  EXPECT_EQ(column.type, ColumnType::kReal);
  // A name alone leaves the type to be guessed; nothing at all, an unnamed column.
  EXPECT_TRUE(ParseColumnDefinition("Heading", column));
  EXPECT_EQ(column.type, ColumnType::kGuess);
  EXPECT_TRUE(ParseColumnDefinition("", column));
  EXPECT_TRUE(column.name.empty());
}

TEST(SchemaColumns, MalformedDefinitionsAreErrors) {
  TableColumn column;
  EXPECT_FALSE(ParseColumnDefinition("Latitude Dbl", column));
  EXPECT_FALSE(ParseColumnDefinition("\"Open name Double", column));
  EXPECT_FALSE(ParseColumnDefinition("Ident Text Width", column));
  EXPECT_FALSE(ParseColumnDefinition("Ident Text Width five", column));
  EXPECT_FALSE(ParseColumnDefinition("Ident Text Size 5", column));
}

TEST(SchemaFormat, Delimiters) {
  char delimiter = 0;
  EXPECT_TRUE(ParseTableFormat("", delimiter));
  EXPECT_EQ(delimiter, ',');
  EXPECT_TRUE(ParseTableFormat("TabDelimited", delimiter));
  EXPECT_EQ(delimiter, '\t');
  EXPECT_TRUE(ParseTableFormat("delimited(;)", delimiter));
  EXPECT_EQ(delimiter, ';');
  EXPECT_FALSE(ParseTableFormat("Delimited(\")", delimiter));
  EXPECT_FALSE(ParseTableFormat("FixedLength", delimiter));
  EXPECT_FALSE(ParseTableFormat("Spreadsheet", delimiter));
}

TEST(SchemaFile, ReadsTheTablesSection) {
  TempFolder folder;
  std::string path = folder.Write("Schema.ini",
                                  "[other.csv]\nCol1=Wrong Text\n"
                                  "[R4.CSV]\r\nColNameHeader=False\r\nFormat=Delimited(;)\r\nCharacterSet=65001\r\n"
                                  "MaxScanRows=0\r\ncol2=Code Integer\r\nCol1=Ident Text\r\nCol3=Lat Double\r\n");
  TableSchema schema;
  ASSERT_TRUE(ReadTableSchema(path, "r4.csv", schema));
  EXPECT_EQ(schema.delimiter, ';');
  EXPECT_TRUE(schema.utf8);
  EXPECT_EQ(schema.maxScanRows, 0u);
  EXPECT_TRUE(schema.headerRowDeclared);
  ASSERT_EQ(schema.columns.size(), 3u);
  EXPECT_EQ(schema.columns[0].name, "Ident");
  EXPECT_EQ(schema.columns[1].name, "Code");
  EXPECT_EQ(schema.columns[2].type, ColumnType::kReal);
}

TEST(SchemaFile, GapsAndBadValuesAreReported) {
  TempFolder folder;
  TableSchema schema;
  auto gap = ReadTableSchema(folder.Write("a.ini", "[r4.csv]\nCol1=A Text\nCol3=C Text\n"), "r4.csv", schema);
  ASSERT_FALSE(gap);
  EXPECT_NE(gap.error().find("Col2"), std::string::npos);
  EXPECT_FALSE(ReadTableSchema(folder.Write("b.ini", "[r4.csv]\nColNameHeader=maybe\n"), "r4.csv", schema));
  EXPECT_FALSE(ReadTableSchema(folder.Write("c.ini", "[r4.csv]\nFormat=FixedLength\n"), "r4.csv", schema));
  EXPECT_FALSE(ReadTableSchema(folder.Write("d.ini", "[r4.csv]\nCharacterSet=Unicode\n"), "r4.csv", schema));
  // No section at all: the defaults.
  EXPECT_TRUE(ReadTableSchema(folder.Write("e.ini", "[x]\n"), "r4.csv", schema));
  EXPECT_EQ(schema.delimiter, ',');
  EXPECT_TRUE(schema.columns.empty());
}

TEST(LineSplitting, QuotesBlanksAndEmptyFields) {
  std::vector<std::string> fields;
  EXPECT_TRUE(SplitTableLine("EGLL, 271 ,\"a,b\",\"say \"\"hi\"\"\",,", ',', fields));
  ASSERT_EQ(fields.size(), 6u);
  EXPECT_EQ(fields[0], "EGLL");
  EXPECT_EQ(fields[1], "271");
  EXPECT_EQ(fields[2], "a,b");
  EXPECT_EQ(fields[3], "say \"hi\"");
  EXPECT_EQ(fields[4], "");
  EXPECT_EQ(fields[5], "");
  EXPECT_TRUE(SplitTableLine("", ',', fields));
  EXPECT_EQ(fields.size(), 1u);
  EXPECT_FALSE(SplitTableLine("A,\"open,B", ',', fields));
  EXPECT_FALSE(SplitTableLine("tail\",90,1", ',', fields));
  EXPECT_TRUE(SplitTableLine("a\tb", '\t', fields));
  EXPECT_EQ(fields.size(), 2u);
}

TEST(Numbers, OnlyPlainDecimalsAreNumbers) {
  double value = 0;
  EXPECT_TRUE(ParseDecimalNumber(" -122.5 ", value));
  EXPECT_EQ(value, -122.5);
  EXPECT_TRUE(ParseDecimalNumber("+1e3", value));
  EXPECT_EQ(value, 1000);
  EXPECT_TRUE(ParseDecimalNumber(".5", value));
  EXPECT_TRUE(ParseDecimalNumber("7.", value));
  for (const char* bad :
       {"NaN", "nan", "inf", "-Infinity", "0x1p3", "1e999", "1,5", "", "-", ".", "1e", "12abc", "1 2"}) {
    EXPECT_FALSE(ParseDecimalNumber(bad, value)) << bad;
  }
}

// Reads a table and collects what the reader hands over.
struct ReadResult {
  std::vector<TableColumn> columns;
  std::vector<uint32_t> lines;
  std::vector<TableRow> rows;
  std::vector<std::pair<uint32_t, std::string>> skipped;
  common::Result<> table;
};

ReadResult Read(std::string_view bytes, TableSchema schema, size_t minimum = 0) {
  ReadResult result;
  TextTableCallbacks callbacks;
  callbacks.onRow = [&](uint32_t line, const TableRow& row) {
    result.lines.push_back(line);
    result.rows.push_back(row);
  };
  callbacks.onSkipped = [&](uint32_t line, const std::string& reason) { result.skipped.emplace_back(line, reason); };
  result.table = ReadTextTable(bytes, schema, minimum, result.columns, callbacks);
  return result;
}

TableSchema ThreeColumns() {
  TableSchema schema;
  schema.columns = {{"Ident", ColumnType::kText}, {"Code", ColumnType::kInteger}, {"Lat", ColumnType::kReal}};
  return schema;
}

TEST(TableRows, LineEndsAndByteOrderMark) {
  ReadResult r = Read(
      "\xEF\xBB\xBF"
      "A,1,1.5\r\nB,2,2.5\nC,3,3.5\rD,4,4.5",
      ThreeColumns());
  ASSERT_TRUE(r.table) << r.table.error();
  ASSERT_EQ(r.rows.size(), 4u);
  EXPECT_EQ(r.rows[0][0].text, "A");  // the mark is not part of the first field
  EXPECT_EQ(r.rows[3][2].real, 4.5);
  EXPECT_EQ(r.lines, (std::vector<uint32_t>{1, 2, 3, 4}));
}

TEST(TableRows, MissingExtraAndEmptyFields) {
  ReadResult r = Read("A,1\nB,2,2.5,extra,more\n\n   \nC,,\n", ThreeColumns());
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.rows[0][2].kind, TableValue::Kind::kNull);
  EXPECT_EQ(r.rows[1].size(), 3u);
  EXPECT_EQ(r.rows[1][2].real, 2.5);
  EXPECT_EQ(r.rows[2][1].kind, TableValue::Kind::kNull);
  EXPECT_EQ(r.lines, (std::vector<uint32_t>{1, 2, 5}));  // blank lines skipped
  EXPECT_TRUE(r.skipped.empty());
}

TEST(TableRows, DamagedRowsAreLeftOutWithoutHarmingNeighbours) {
  ReadResult r = Read(
      "A,1,1.5\n"
      "B,x,2.5\n"  // not a whole number
      "C,3,NaN\n"  // not a number
      "D,\"4,5\n"  // quote never closed
      "E,5,5.5\n"
      "F,2.5,1\n"          // fractional code
      "G,99999999999,1\n"  // beyond 32 bits
      "\"H,I\",6,6.5\n"
      "\"J\rK\",7,7.5\n",  // a quoted field broken by a line end: neither half is a row
      ThreeColumns());
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.rows[0][0].text, "A");
  EXPECT_EQ(r.rows[1][0].text, "E");
  EXPECT_EQ(r.rows[1][1].integer, 5);
  EXPECT_EQ(r.rows[2][0].text, "H,I");
  ASSERT_EQ(r.skipped.size(), 7u);
  EXPECT_EQ(r.skipped[0].first, 2u);
  EXPECT_NE(r.skipped[0].second.find("column 2"), std::string::npos);
  EXPECT_EQ(r.skipped[2].first, 4u);
  EXPECT_NE(r.skipped[2].second.find("quote"), std::string::npos);
  EXPECT_EQ(r.skipped[5].first, 9u);
  EXPECT_EQ(r.skipped[6].first, 10u);
}

TEST(TableRows, TextIsStoredAsUtf8) {
  TableSchema schema = ThreeColumns();
  ReadResult ansi = Read("Z\xFCrich,1,1\n\x80,2,2\n", schema);
  ASSERT_EQ(ansi.rows.size(), 2u);
  EXPECT_EQ(ansi.rows[0][0].text, "Z\xC3\xBCrich");
  EXPECT_EQ(ansi.rows[1][0].text, "\xE2\x82\xAC");
  schema.utf8 = true;
  ReadResult utf8 = Read("Z\xC3\xBCrich,1,1\n", schema);
  EXPECT_EQ(utf8.rows[0][0].text, "Z\xC3\xBCrich");
  EXPECT_FALSE(Read("\xFF\xFE"
                    "A\0,\0",
                    schema)
                   .table);
}

TEST(TableColumns, UndeclaredColumnsAreNamedAndTyped) {
  TableSchema schema;
  schema.columns = {{"Ident", ColumnType::kText}};
  ReadResult r = Read("A,1,1.5,x\nB,2,2,y\n", schema, 4);
  ASSERT_EQ(r.columns.size(), 4u);
  EXPECT_EQ(r.columns[1].name, "F2");
  EXPECT_EQ(r.columns[1].type, ColumnType::kInteger);
  EXPECT_EQ(r.columns[2].type, ColumnType::kReal);
  EXPECT_EQ(r.columns[3].type, ColumnType::kText);
  EXPECT_EQ(r.rows[1][2].real, 2.0);

  // The scan depth decides: beyond it a value of another kind is refused.
  schema.maxScanRows = 1;
  ReadResult shallow = Read("A,1\nB,2.5\n", schema, 2);
  EXPECT_EQ(shallow.columns[1].type, ColumnType::kInteger);
  EXPECT_EQ(shallow.rows.size(), 1u);
  EXPECT_EQ(shallow.skipped.size(), 1u);
}

TEST(TableColumns, HeaderLineNamesColumnsAndIsNoRow) {
  TableSchema schema;
  schema.headerRow = true;
  schema.columns = {{"Ident", ColumnType::kText}};
  ReadResult r = Read("\nname,code\nA,1\n", schema, 2);
  EXPECT_EQ(r.columns[0].name, "Ident");
  EXPECT_EQ(r.columns[1].name, "code");
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0][0].text, "A");
}

}  // namespace
}  // namespace orvante
