// The comma-separated lines of the stand-in's flight and events files: each
// line split into fields with the column (1-based) at which each starts, so
// that a message can point at the character at fault. Lines starting with
// '#' (after blanks) are comments; blank lines are skipped.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct CsvField {
  std::string text;  // without surrounding blanks
  int column = 1;    // where the field's text starts (or where it would)
  int start = 1;     // where the field starts, blanks before its text included
};

struct CsvLine {
  int number = 0;  // 1-based line number in the file
  int end = 1;     // the column just after the line's last character
  std::vector<CsvField> fields;
};

// Splits text into its data lines (comments and blank lines left out). A
// carriage return before the line end is dropped. lineCount, when given,
// receives the number of lines of the text, comments and blank lines counted.
std::vector<CsvLine> SplitCsvLines(std::string_view text, int* lineCount = nullptr);

// A field read as a finite number: the whole field, no trailing characters.
std::optional<double> ParseNumber(const std::string& text);

// "FILE:LINE:COLUMN: message".
std::string PositionMessage(const std::string& file, int line, int column, const std::string& message);

}  // namespace sim
