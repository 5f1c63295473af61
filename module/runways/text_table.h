// Reading a delimited text table (r4.csv) the way a text driver does: one row
// per line, fields split at the delimiter, a field in double quotes may hold
// the delimiter and doubled quotes, blanks around unquoted fields dropped,
// values typed by the schema's columns.
//
// A damaged row never spills into its neighbours: a line is a row, whatever
// its quotes; a row with a quote out of place (a quoted field not closed on
// its line, or a quote inside an unquoted field, as in the remains of a
// quoted field broken over two lines) or with values that do not fit their
// columns' types is left out and reported with its line number. Missing trailing fields are empty
// (null), fields beyond the last column are ignored, blank lines are skipped,
// and "\r\n", "\n" and a lone "\r" all end a line. A UTF-8 byte-order mark is
// dropped (and the text taken as UTF-8); other text is Windows-1252 unless the
// schema says UTF-8, and is stored as UTF-8.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runways/table_schema.h"

namespace orvante {

struct TableValue {
  enum class Kind : uint8_t { kNull, kInteger, kReal, kText };
  Kind kind = Kind::kNull;
  int64_t integer = 0;
  double real = 0;
  std::string text;
};

using TableRow = std::vector<TableValue>;

// Strict decimal numbers: an optional sign, digits with an optional point,
// an optional exponent; blanks around are allowed. Not-a-number, infinities,
// hexadecimal and out-of-range values are refused.
bool ParseDecimalNumber(std::string_view text, double& value);

// Splits one line into fields (quotes removed, blanks trimmed). Returns false
// when a quoted field is not closed before the end of the line, or a quote
// stands inside an unquoted field.
bool SplitTableLine(std::string_view line, char delimiter, std::vector<std::string>& fields);

// A field's text as a log line may show it, printable ASCII only: at most 40
// bytes, each byte outside printable ASCII written as \xHH, quotes and
// backslashes preceded by a backslash.
std::string PrintableField(std::string_view field);

struct TextTableCallbacks {
  // A row of the table with its 1-based line number; one value per column.
  std::function<void(uint32_t line, const TableRow& row)> onRow;
  // A line left out, with its number and the reason.
  std::function<void(uint32_t line, const std::string& reason)> onSkipped;
};

// Works out the table's columns from the schema and the file's bytes: the
// schema's columns, extended to at least minimumColumns; unnamed ones are
// called F1, F2, ... (or take their name from the header line), and
// undeclared types are guessed from the first MaxScanRows rows. An error for
// the file as a whole (UTF-16 text) is the failure.
common::Result<> ResolveTableColumns(std::string_view bytes, const TableSchema& schema, size_t minimumColumns,
                                     std::vector<TableColumn>& columns);

// Reads the table from the file's bytes, with the columns ResolveTableColumns
// gives (returned in columns), handing each row or skipped line to the
// callbacks in file order.
common::Result<> ReadTextTable(std::string_view bytes, const TableSchema& schema, size_t minimumColumns,
                               std::vector<TableColumn>& columns, const TextTableCallbacks& callbacks);

}  // namespace orvante
