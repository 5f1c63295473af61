// Reading a delimited text table.
#include "runways/text_table.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace orvante {

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool ParseDecimalNumber(std::string_view text, double& value) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  // Check the form first: from_chars would also take "nan", "inf" and more.
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  if (i != text.size()) return false;
  // from_chars takes no leading '+'.
  std::string_view body = text.front() == '+' ? text.substr(1) : text;
  double parsed = 0;
  auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), parsed);
  if (error != std::errc() || end != body.data() + body.size() || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool SplitTableLine(std::string_view line, char delimiter, std::vector<std::string>& fields) {
  fields.clear();
  auto isBlank = [delimiter](char c) { return (c == ' ' || c == '\t') && c != delimiter; };
  size_t at = 0;
  bool closed = true;
  bool misplaced = false;
  for (;;) {
    std::string field;
    while (at < line.size() && isBlank(line[at])) ++at;
    if (at < line.size() && line[at] == '"') {
      ++at;
      closed = false;
      while (at < line.size()) {
        if (line[at] == '"') {
          if (at + 1 < line.size() && line[at + 1] == '"') {
            field += '"';
            at += 2;
            continue;
          }
          ++at;
          closed = true;
          break;
        }
        field += line[at++];
      }
      if (!closed) {
        fields.push_back(std::move(field));
        return false;
      }
      // Text between the closing quote and the delimiter is kept, as a
      // lenient driver keeps it.
      size_t stop = line.find(delimiter, at);
      std::string_view tail = line.substr(at, stop == std::string_view::npos ? std::string_view::npos : stop - at);
      while (!tail.empty() && isBlank(tail.back())) tail.remove_suffix(1);
      if (tail.find('"') != std::string_view::npos) misplaced = true;
      field.append(tail);
      at = stop;
    } else {
      size_t stop = line.find(delimiter, at);
      std::string_view raw = line.substr(at, stop == std::string_view::npos ? std::string_view::npos : stop - at);
      while (!raw.empty() && isBlank(raw.back())) raw.remove_suffix(1);
      field.assign(raw);
      at = stop;
      // A quote inside an unquoted field is most often the end of a quoted
      // field whose line was broken apart; such a row is not to be trusted.
      if (raw.find('"') != std::string_view::npos) misplaced = true;
    }
    fields.push_back(std::move(field));
    if (at == std::string_view::npos) return !misplaced;
    ++at;  // past the delimiter: another field follows, possibly empty
  }
}

std::string PrintableField(std::string_view field) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : field.substr(0, 40)) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else {
      out += c;
    }
  }
  if (field.size() > 40) out += "...";
  return out;
}

// Windows-1252 text to UTF-8. Bytes 0x80 to 0x9F map to their code page
// characters; the five unassigned ones become U+FFFD.
static std::string Windows1252ToUtf8(std::string_view text) {
  static const uint16_t kHigh[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                     0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    uint32_t code = c < 0x80 ? c : (c < 0xA0 ? kHigh[c - 0x80] : c);
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

// Calls onLine for every line with its 1-based number; stops when it returns false.
template <typename OnLine>
static void ForEachLine(std::string_view bytes, OnLine onLine) {
  uint32_t number = 0;
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", at);
    std::string_view line = bytes.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    ++number;
    if (!onLine(number, line)) return;
    if (end == std::string_view::npos) return;
    at = end + 1;
    if (bytes[end] == '\r' && at < bytes.size() && bytes[at] == '\n') ++at;
  }
}

static bool IsBlankLine(std::string_view line) {
  for (char c : line) {
    if (c != ' ' && c != '\t') return false;
  }
  return true;
}

// Whether a whole number fits the integer columns' 32 bits.
static bool AsWholeNumber(std::string_view text, int64_t& value) {
  double number = 0;
  if (!ParseDecimalNumber(text, number) || number != std::floor(number)) return false;
  if (number < -2147483648.0 || number > 2147483647.0) return false;
  value = static_cast<int64_t>(number);
  return true;
}

static ColumnType GuessType(const std::vector<std::string>& samples) {
  bool any = false, allWhole = true;
  for (const std::string& sample : samples) {
    if (sample.empty()) continue;
    any = true;
    int64_t whole = 0;
    double number = 0;
    if (AsWholeNumber(sample, whole)) continue;
    if (!ParseDecimalNumber(sample, number)) return ColumnType::kText;
    allWhole = false;
  }
  if (!any) return ColumnType::kText;
  return allWhole ? ColumnType::kInteger : ColumnType::kReal;
}

// The byte-order marks: UTF-16 is refused, a UTF-8 mark is dropped and makes
// the text UTF-8.
static common::Result<> TakeByteOrderMark(std::string_view& bytes, bool& utf8) {
  if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
    return common::Fail("the table is UTF-16 text, which is not supported");
  }
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    bytes.remove_prefix(3);
    utf8 = true;
  }
  return {};
}

// The header line, when the schema says there is one: the first line that is
// not blank. 0 when there is none.
static uint32_t HeaderLine(std::string_view bytes, const TableSchema& schema, std::vector<std::string>& fields) {
  uint32_t headerLine = 0;
  if (!schema.headerRow) return 0;
  ForEachLine(bytes, [&](uint32_t number, std::string_view line) {
    if (IsBlankLine(line)) return true;
    headerLine = number;
    SplitTableLine(line, schema.delimiter, fields);
    return false;
  });
  return headerLine;
}

common::Result<> ResolveTableColumns(std::string_view bytes, const TableSchema& schema, size_t minimumColumns,
                                     std::vector<TableColumn>& columns) {
  bool utf8 = schema.utf8;
  if (auto taken = TakeByteOrderMark(bytes, utf8); !taken) return taken;

  columns = schema.columns;
  if (columns.size() < minimumColumns) columns.resize(minimumColumns);
  const size_t width = columns.size();
  const char delimiter = schema.delimiter;

  std::vector<std::string> fields;
  uint32_t headerLine = HeaderLine(bytes, schema, fields);
  for (size_t k = 0; k < width; ++k) {
    if (!columns[k].name.empty()) continue;
    if (headerLine != 0 && k < fields.size() && !fields[k].empty()) {
      columns[k].name = utf8 ? fields[k] : Windows1252ToUtf8(fields[k]);
    } else {
      columns[k].name = "F" + std::to_string(k + 1);
    }
  }

  // Undeclared types are guessed from the first MaxScanRows data rows.
  bool guessing = false;
  for (const TableColumn& column : columns) guessing |= column.type == ColumnType::kGuess;
  if (!guessing) return {};
  std::vector<std::vector<std::string>> samples(width);
  uint32_t scanned = 0;
  ForEachLine(bytes, [&](uint32_t number, std::string_view line) {
    if (number == headerLine || IsBlankLine(line)) return true;
    SplitTableLine(line, delimiter, fields);
    for (size_t k = 0; k < width && k < fields.size(); ++k) {
      if (columns[k].type == ColumnType::kGuess) samples[k].push_back(fields[k]);
    }
    ++scanned;
    return schema.maxScanRows == 0 || scanned < schema.maxScanRows;
  });
  for (size_t k = 0; k < width; ++k) {
    if (columns[k].type == ColumnType::kGuess) columns[k].type = GuessType(samples[k]);
  }
  return {};
}

common::Result<> ReadTextTable(std::string_view bytes, const TableSchema& schema, size_t minimumColumns,
                               std::vector<TableColumn>& columns, const TextTableCallbacks& callbacks) {
  if (auto resolved = ResolveTableColumns(bytes, schema, minimumColumns, columns); !resolved) return resolved;
  bool utf8 = schema.utf8;
  (void)TakeByteOrderMark(bytes, utf8);  // a UTF-16 table was refused above
  const size_t width = columns.size();
  const char delimiter = schema.delimiter;
  std::vector<std::string> fields;
  uint32_t headerLine = HeaderLine(bytes, schema, fields);

  TableRow row(width);
  ForEachLine(bytes, [&](uint32_t number, std::string_view line) {
    if (number == headerLine || IsBlankLine(line)) return true;
    if (!SplitTableLine(line, delimiter, fields)) {
      if (callbacks.onSkipped) callbacks.onSkipped(number, "a quote is misplaced or not closed");
      return true;
    }
    for (size_t k = 0; k < width; ++k) {
      TableValue& value = row[k];
      value.kind = TableValue::Kind::kNull;
      value.text.clear();
      if (k >= fields.size() || fields[k].empty()) continue;
      const std::string& field = fields[k];
      switch (columns[k].type) {
        case ColumnType::kInteger:
          if (!AsWholeNumber(field, value.integer)) {
            if (callbacks.onSkipped) {
              callbacks.onSkipped(number, "column " + std::to_string(k + 1) + " \"" + PrintableField(field) +
                                              "\" is not a whole number");
            }
            return true;
          }
          value.kind = TableValue::Kind::kInteger;
          break;
        case ColumnType::kReal:
          if (!ParseDecimalNumber(field, value.real)) {
            if (callbacks.onSkipped) {
              callbacks.onSkipped(
                  number, "column " + std::to_string(k + 1) + " \"" + PrintableField(field) + "\" is not a number");
            }
            return true;
          }
          value.kind = TableValue::Kind::kReal;
          break;
        default:
          value.text = utf8 ? field : Windows1252ToUtf8(field);
          value.kind = TableValue::Kind::kText;
          break;
      }
    }
    if (callbacks.onRow) callbacks.onRow(number, row);
    return true;
  });
  return {};
}

}  // namespace orvante
