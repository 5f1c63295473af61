// Splitting the stand-in's CSV files into fields with their positions.
#include "csv_fields.h"

#include <cmath>
#include <cstdlib>

#include "common/text.h"

namespace sim {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<CsvLine> SplitCsvLines(std::string_view text, int* lineCount) {
  std::vector<CsvLine> lines;
  common::LineReader reader(text);
  for (std::string_view line; reader.Next(line);) {
    const int number = static_cast<int>(reader.Number());
    size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) ++first;
    if (first == line.size() || line[first] == '#') continue;

    CsvLine parsed;
    parsed.number = number;
    parsed.end = static_cast<int>(line.size()) + 1;
    size_t fieldStart = 0;
    for (;;) {
      size_t comma = line.find(',', fieldStart);
      size_t fieldEnd = comma == std::string_view::npos ? line.size() : comma;
      size_t a = fieldStart, b = fieldEnd;
      while (a < b && IsBlank(line[a])) ++a;
      while (b > a && IsBlank(line[b - 1])) --b;
      parsed.fields.push_back(
          {std::string(line.substr(a, b - a)), static_cast<int>(a) + 1, static_cast<int>(fieldStart) + 1});
      if (comma == std::string_view::npos) break;
      fieldStart = comma + 1;
    }
    lines.push_back(std::move(parsed));
  }
  if (lineCount != nullptr) *lineCount = static_cast<int>(reader.Number());
  return lines;
}

std::optional<double> ParseNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string PositionMessage(const std::string& file, int line, int column, const std::string& message) {
  return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
}

}  // namespace sim
