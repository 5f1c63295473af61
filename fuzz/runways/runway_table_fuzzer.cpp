// libFuzzer target for the runway table readers: Schema.ini and r4.csv as a
// simulator folder holds them, through the schema reader, the text-table
// reader, row checks and decoding, the completion pass, and the connection
// with one box query.
//
// Input: the Schema.ini text, a line "====", then the r4.csv bytes. Without
// the separator the whole input is the table and the import tool's schema
// is used.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "runways/runway_geometry.h"
#include "runways/runway_query.h"
#include "runways/table_connection.h"
#include "runways/table_schema.h"
#include "runways/text_table.h"

namespace {

const char* kDefaultSchema =
    "[r4.csv]\nColNameHeader=False\nFormat=CSVDelimited\nMaxScanRows=0\nCharacterSet=ANSI\n"
    "Col1=Airport Text\nCol2=Runway Integer\nCol3=EndLatitude Double\nCol4=EndLongitude Double\n"
    "Col5=Elevation Double\nCol6=Heading Double\nCol7=Length Double\nCol8=Guidance Single\nCol9=Width Double\n"
    "Col10=Variation Double\nCol11=Latitude Double\nCol12=Longitude Double\nCol13=Displaced Double\n";

std::string g_folder;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvante-fuzz-XXXXXX").string();
  g_folder = mkdtemp(pattern.data());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string schemaText = kDefaultSchema;
  std::string_view table = input;
  size_t separator = input.find("\n====\n");
  if (separator != std::string_view::npos) {
    schemaText = std::string(input.substr(0, separator));
    table = input.substr(separator + 6);
  }
  std::string schemaPath = g_folder + "/Schema.ini";
  platform::WriteFileAtomically(schemaPath, schemaText);
  platform::WriteFileAtomically(g_folder + "/r4.csv", table);

  orvante::TableSchema schema;
  if (!orvante::ReadTableSchema(schemaPath, "r4.csv", schema)) {
    schema = orvante::TableSchema{};
  }

  // The readers and the decoding, row by row.
  orvante::RunwayList list;
  std::vector<orvante::TableColumn> columns;
  orvante::TextTableCallbacks callbacks;
  callbacks.onRow = [&](uint32_t, const orvante::TableRow& row) {
    const bool usable = orvante::CheckRunwayRow(row).ok();
    auto record = std::make_unique<orvante::RunwayRecord>();
    bool decoded = orvante::DecodeRow(row, *record);
    if (decoded != usable) __builtin_trap();  // the check and the decoding must agree
    if (decoded && list.size() < 200) list.push_back(std::move(record));
  };
  callbacks.onSkipped = [](uint32_t, const std::string&) {};
  (void)orvante::ReadTextTable(table, schema, 13, columns, callbacks);
  orvante::CompleteRunwayList(list);
  for (const auto& record : list) {
    if (record->designator[sizeof record->designator - 1] != '\0') __builtin_trap();
    if (record->airportIdent[sizeof record->airportIdent - 1] != '\0') __builtin_trap();
  }

  // The connection and a query through the engine.
  uint32_t result = 0;
  auto connection = orvante::TableConnection::Create(result);
  orvante::TableOpenOptions options;
  options.minimumColumns = 13;
  options.latitudeColumn = 10;
  options.longitudeColumn = 11;
  options.rowCheck = orvante::CheckRunwayRow;
  if (connection && connection->Open("Data Source=" + g_folder + "/;", options) == orvante::kResultOk) {
    orvante::ProviderError failure;
    auto results = connection->Execute(
        "SELECT * FROM r4.csv WHERE F11 < 1.5 AND F11 > -1.5 AND F12 > -1.5 AND F12 < 1.5", failure);
    if (!results) {
      results = connection->Execute(
          "SELECT * FROM r4.csv WHERE Latitude < 1.5 AND Latitude > -1.5 AND Longitude > -1.5 AND Longitude < 1.5",
          failure);
    }
    orvante::TableRow row;
    while (results && !results->Eof()) {
      results->ReadRow(row);
      orvante::RunwayRecord record;
      orvante::DecodeRow(row, record);
      if (!results->MoveNext(failure)) break;
    }
  }
  return 0;
}
