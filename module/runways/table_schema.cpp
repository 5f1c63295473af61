// Reading a text table's layout from Schema.ini.
//
// Only what a correct reading of the table needs is taken: the delimiter, the
// header switch, the character set, the scan depth for undeclared types and
// the columns' names and types. Widths matter to fixed-length files only,
// which the runway table is not, so they are checked for form and dropped.
#include "runways/table_schema.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <optional>

#include "platform/ini_file.h"
#include "common/text.h"

namespace orvante {

using common::EqualsIgnoringCase;
using common::Trim;

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits off the next blank-separated word.
static std::string_view NextWord(std::string_view& text) {
  text = Trim(text);
  size_t end = 0;
  while (end < text.size() && !IsBlank(text[end])) ++end;
  std::string_view word = text.substr(0, end);
  text.remove_prefix(end);
  return word;
}

static std::optional<ColumnType> TypeFromName(std::string_view name) {
  static const std::pair<const char*, ColumnType> kTypes[] = {
      {"Text", ColumnType::kText},     {"Char", ColumnType::kText},       {"Memo", ColumnType::kText},
      {"LongChar", ColumnType::kText}, {"DateTime", ColumnType::kText},   {"Date", ColumnType::kText},
      {"Bit", ColumnType::kInteger},   {"Byte", ColumnType::kInteger},    {"Short", ColumnType::kInteger},
      {"Long", ColumnType::kInteger},  {"Integer", ColumnType::kInteger}, {"Single", ColumnType::kReal},
      {"Double", ColumnType::kReal},   {"Float", ColumnType::kReal},      {"Currency", ColumnType::kReal},
      {"Decimal", ColumnType::kReal},  {"Numeric", ColumnType::kReal},
  };
  for (const auto& [typeName, type] : kTypes) {
    if (EqualsIgnoringCase(name, typeName)) return type;
  }
  return std::nullopt;
}

common::Result<> ParseColumnDefinition(std::string_view value, TableColumn& column) {
  column = TableColumn{};
  value = Trim(value);
  if (value.empty()) return {};

  if (value.front() == '"') {
    size_t close = value.find('"', 1);
    if (close == std::string_view::npos) return common::Fail("the column name's quote is not closed");
    column.name = std::string(value.substr(1, close - 1));
    value.remove_prefix(close + 1);
    if (!value.empty() && !IsBlank(value.front())) return common::Fail("text follows the quoted column name");
  } else {
    column.name = std::string(NextWord(value));
  }

  std::string_view typeName = NextWord(value);
  if (typeName.empty()) return {};  // a name alone: the type is guessed
  std::optional<ColumnType> type = TypeFromName(typeName);
  if (!type) return common::Fail("unknown column type \"" + std::string(typeName) + "\"");
  column.type = *type;

  std::string_view rest = Trim(value);
  if (rest.empty()) return {};
  std::string_view keyword = NextWord(rest);
  std::string_view width = NextWord(rest);
  unsigned parsed = 0;
  auto [end, error] = std::from_chars(width.data(), width.data() + width.size(), parsed);
  if (!EqualsIgnoringCase(keyword, "Width") || width.empty() || error != std::errc() ||
      end != width.data() + width.size() || !Trim(rest).empty()) {
    return common::Fail("unexpected text \"" + std::string(Trim(value)) + "\" after the column type");
  }
  return {};
}

common::Result<> ParseTableFormat(std::string_view value, char& delimiter) {
  value = Trim(value);
  if (value.empty() || EqualsIgnoringCase(value, "CSVDelimited")) {
    delimiter = ',';
    return {};
  }
  if (EqualsIgnoringCase(value, "TabDelimited")) {
    delimiter = '\t';
    return {};
  }
  // Delimited(x): any single character but the double quote.
  if (value.size() == 12 && EqualsIgnoringCase(value.substr(0, 10), "Delimited(") && value[11] == ')' &&
      value[10] != '"' && value[10] != '\r' && value[10] != '\n') {
    delimiter = value[10];
    return {};
  }
  if (EqualsIgnoringCase(value, "FixedLength")) return common::Fail("fixed-length tables are not supported");
  return common::Fail("unknown format \"" + std::string(value) + "\"");
}

static std::optional<bool> ParseSwitch(std::string_view value) {
  value = Trim(value);
  if (EqualsIgnoringCase(value, "True") || value == "1") return true;
  if (EqualsIgnoringCase(value, "False") || value == "0") return false;
  return std::nullopt;
}

// Column keys are read by number, so "col7" and "Col7" are the same key.
static std::optional<unsigned> ColumnKeyNumber(std::string_view key) {
  if (key.size() < 4 || !EqualsIgnoringCase(key.substr(0, 3), "Col")) return std::nullopt;
  unsigned number = 0;
  auto [end, error] = std::from_chars(key.data() + 3, key.data() + key.size(), number);
  if (error != std::errc() || end != key.data() + key.size() || number == 0 || key[3] == '0') return std::nullopt;
  return number;
}

common::Result<> ReadTableSchema(const std::string& schemaPath, const char* tableName, TableSchema& schema) {
  schema = TableSchema{};
  const char* path = schemaPath.c_str();

  std::string format = platform::ReadProfileString(tableName, "Format", "", path);
  if (auto read = ParseTableFormat(format, schema.delimiter); !read) return common::Fail("Format: " + read.error());

  std::string header = platform::ReadProfileString(tableName, "ColNameHeader", "", path);
  if (!Trim(header).empty()) {
    std::optional<bool> on = ParseSwitch(header);
    if (!on) return common::Fail("ColNameHeader: \"" + header + "\" is neither True nor False");
    schema.headerRow = *on;
    schema.headerRowDeclared = true;
  }

  std::string characterSet = std::string(Trim(platform::ReadProfileString(tableName, "CharacterSet", "", path)));
  if (EqualsIgnoringCase(characterSet, "Unicode") || characterSet == "1200") {
    return common::Fail("CharacterSet: UTF-16 tables are not supported");
  }
  schema.utf8 = EqualsIgnoringCase(characterSet, "UTF-8") || characterSet == "65001";

  std::string scan = std::string(Trim(platform::ReadProfileString(tableName, "MaxScanRows", "", path)));
  if (!scan.empty()) {
    int32_t rows = platform::ParseLeadingInteger(scan.c_str());
    if (rows < 0) return common::Fail("MaxScanRows: \"" + scan + "\" is negative");
    schema.maxScanRows = static_cast<uint32_t>(rows);
  }

  // The key list of the section, each key terminated, the list ending with a
  // second terminator. A section with very many keys is cut by the buffer;
  // the columns are checked to run from Col1 without a gap below.
  std::vector<char> keys(65536);
  uint32_t length = platform::GetPrivateProfileStringU8(tableName, nullptr, "", keys.data(),
                                                        static_cast<uint32_t>(keys.size()), path);
  std::map<unsigned, std::string> definitions;
  for (size_t at = 0; at < length && keys[at] != '\0';) {
    std::string key(&keys[at]);
    at += key.size() + 1;
    std::optional<unsigned> number = ColumnKeyNumber(key);
    if (!number || definitions.count(*number)) continue;
    definitions[*number] = platform::ReadProfileString(tableName, key.c_str(), "", path);
  }
  if (definitions.empty()) return {};
  unsigned highest = definitions.rbegin()->first;
  if (highest > 255) return common::Fail("Col" + std::to_string(highest) + ": at most 255 columns are supported");
  if (definitions.size() != highest) {
    for (unsigned k = 1; k <= highest; ++k) {
      if (!definitions.count(k))
        return common::Fail("Col" + std::to_string(k) + " is missing below Col" + std::to_string(highest));
    }
  }
  for (const auto& [number, value] : definitions) {
    TableColumn column;
    if (auto read = ParseColumnDefinition(value, column); !read)
      return common::Fail("Col" + std::to_string(number) + ": " + read.error());
    schema.columns.push_back(std::move(column));
  }
  return {};
}

}  // namespace orvante
