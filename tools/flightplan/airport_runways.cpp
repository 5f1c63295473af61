// Reading runway ends from the runway table for the flight and report tools.
#include "airport_runways.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "runways/runway_query.h"
#include "runways/table_schema.h"
#include "runways/text_table.h"
#include "common/text.h"

namespace orvante::flightplan {

namespace {

std::string Upper(std::string_view text) { return common::ToUpperAscii(text); }

// The file of a folder with this name, whatever its letter case, as the
// simulator's file system would find it.
std::optional<std::filesystem::path> FindFile(const std::string& folder, const char* name) {
  std::error_code error;
  std::filesystem::path exact = std::filesystem::path(folder) / name;
  if (std::filesystem::is_regular_file(exact, error)) return exact;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (Upper(entry.path().filename().string()) == Upper(name) && entry.is_regular_file(error)) return entry.path();
  }
  return std::nullopt;
}

common::Result<> LoadRunways(const std::string& simDir, const std::function<bool(const RunwayRecord&)>& keep,
                             RunwayList& list) {
  list.clear();
  auto table = FindFile(simDir, "r4.csv");
  auto schemaFile = FindFile(simDir, "Schema.ini");
  if (!table) return common::Fail("no runway table r4.csv in " + simDir);
  if (!schemaFile) return common::Fail("no Schema.ini beside the runway table in " + simDir);

  TableSchema schema;
  if (auto read = ReadTableSchema(schemaFile->string(), table->filename().string().c_str(), schema); !read) {
    return common::Fail(schemaFile->string() + ": " + read.error());
  }
  std::ifstream in(*table, std::ios::binary);
  if (!in) return common::Fail("cannot read " + table->string());
  std::ostringstream bytes;
  bytes << in.rdbuf();

  std::vector<TableColumn> columns;
  TextTableCallbacks callbacks;
  callbacks.onRow = [&](uint32_t, const TableRow& row) {
    auto record = std::make_unique<RunwayRecord>();
    if (DecodeRow(row, *record) && keep(*record)) list.push_back(std::move(record));
  };
  // Damaged rows are the table's own affair: the unit skips them too.
  callbacks.onSkipped = [](uint32_t, const std::string&) {};
  if (auto read = ReadTextTable(bytes.str(), schema, kRunwayTableColumns, columns, callbacks); !read) {
    return common::Fail(table->string() + ": " + read.error());
  }
  CompleteRunwayList(list);
  return {};
}

}  // namespace

common::Result<> LoadAirportRunways(const std::string& simDir, std::string_view airport, RunwayList& list) {
  const std::string wanted = Upper(airport);
  auto loaded = LoadRunways(
      simDir, [&](const RunwayRecord& r) { return Upper(r.airportIdent) == wanted; }, list);
  if (!loaded) return loaded;
  if (list.empty())
    return common::Fail("the runway table in " + simDir + " holds no runway of airport " + std::string(airport));
  return {};
}

common::Result<> LoadRunwaysInBox(const std::string& simDir, double south, double west, double north, double east,
                                  RunwayList& list) {
  return LoadRunways(
      simDir,
      [&](const RunwayRecord& r) {
        return r.refLatitude >= south && r.refLatitude <= north && r.refLongitude >= west && r.refLongitude <= east;
      },
      list);
}

bool LooksLikeDesignator(std::string_view text) {
  size_t digits = 0;
  while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits]))) ++digits;
  if (digits < 1 || digits > 2) return false;
  int number = std::stoi(std::string(text.substr(0, digits)));
  if (number < 1 || number > 36) return false;
  std::string_view rest = text.substr(digits);
  return rest.empty() || (rest.size() == 1 && std::string_view("LRCWlrcw").find(rest[0]) != std::string_view::npos);
}

const RunwayRecord* FindRunwayEnd(const RunwayList& list, std::string_view designator) {
  if (!LooksLikeDesignator(designator)) return nullptr;
  std::string wanted = Upper(designator);
  if (std::isdigit(static_cast<unsigned char>(wanted[0])) &&
      (wanted.size() == 1 || !std::isdigit(static_cast<unsigned char>(wanted[1])))) {
    wanted = "0" + wanted;  // "9" and "9L" name runway 09
  }
  for (const auto& record : list) {
    if (Upper(record->designator) == wanted) return record.get();
  }
  return nullptr;
}

}  // namespace orvante::flightplan
