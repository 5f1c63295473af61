// Splitting the stand-in's CSV files into fields with their positions.
#include "csv_fields.h"

#include <cmath>
#include <cstdlib>

namespace sim {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<CsvLine> SplitCsvLines(std::string_view text) {
  std::vector<CsvLine> lines;
  int number = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) ++first;
    if (first == line.size() || line[first] == '#') continue;

    CsvLine parsed;
    parsed.number = number;
    size_t fieldStart = 0;
    for (;;) {
      size_t comma = line.find(',', fieldStart);
      size_t fieldEnd = comma == std::string_view::npos ? line.size() : comma;
      size_t a = fieldStart, b = fieldEnd;
      while (a < b && IsBlank(line[a])) ++a;
      while (b > a && IsBlank(line[b - 1])) --b;
      parsed.fields.push_back({std::string(line.substr(a, b - a)), static_cast<int>(a) + 1});
      if (comma == std::string_view::npos) break;
      fieldStart = comma + 1;
    }
    lines.push_back(std::move(parsed));
  }
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
