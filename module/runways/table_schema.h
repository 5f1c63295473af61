// The layout of a text table as its Schema.ini declares it, read the way the
// text driver reads it: one section per file name holding the format
// (CSVDelimited, TabDelimited or Delimited(x)), ColNameHeader, CharacterSet,
// MaxScanRows and the columns Col1 to ColN, each "Name Type [Width n]".
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace orvante {

enum class ColumnType {
  kGuess,    // no type declared: guessed from the first MaxScanRows rows
  kText,     // Text, Char, Memo, LongChar, DateTime, Date
  kInteger,  // Bit, Byte, Short, Long, Integer
  kReal,     // Single, Double, Float, Currency, Decimal, Numeric
};

struct TableColumn {
  std::string name;  // as the driver sees it; quotes removed
  ColumnType type = ColumnType::kGuess;
};

struct TableSchema {
  char delimiter = ',';
  bool headerRow = false;            // ColNameHeader: the first line names the columns
  bool headerRowDeclared = false;    // the schema says so itself
  bool utf8 = false;                 // CharacterSet 65001/UTF-8; otherwise Windows-1252
  uint32_t maxScanRows = 25;         // rows used to guess undeclared types; 0 = all
  std::vector<TableColumn> columns;  // Col1..ColN in order
};

// Parses one column definition, "Name Type [Width n]" or "\"Long Name\" Type".
// An empty value gives an unnamed column of guessed type. A failure says what
// is wrong with the definition.
common::Result<> ParseColumnDefinition(std::string_view value, TableColumn& column);

// Parses a Format value into the delimiter. FixedLength and unknown formats
// are errors.
common::Result<> ParseTableFormat(std::string_view value, char& delimiter);

// Reads the section named after the table file from a Schema.ini. A missing
// section gives the defaults: comma-delimited, no header, ANSI, no columns.
common::Result<> ReadTableSchema(const std::string& schemaPath, const char* tableName, TableSchema& schema);

}  // namespace orvante
