// libFuzzer target for the airport-file import. Besides crashes and
// sanitizer reports it checks what must hold for any input:
//  - a refused file gives a reason and no table;
//  - every runway counted is imported, left out or refused, and each
//    imported runway gives exactly two rows;
//  - every row the import writes is one the module's row check accepts, with
//    13 fields, both ends of a runway sharing one reference point.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "apt_dat_import.h"
#include "runways/runway_query.h"
#include "runways/text_table.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string table;
  orvante::RunwayImportReport report;
  if (!orvante::ImportAptDatRunways(input, table, report)) {
    Require(!report.error.empty());
    Require(table.empty());
    return 0;
  }
  uint32_t refused = 0;
  for (const auto& [reason, count] : report.notConverted) refused += count;
  Require(report.imported + report.closed + refused == report.runways);
  Require(report.rows == 2 * report.imported);

  std::vector<std::string> fields;
  std::string previousReference;
  size_t rows = 0;
  for (size_t at = 0, end; (end = table.find("\r\n", at)) != std::string::npos; at = end + 2, ++rows) {
    std::string_view line(table.data() + at, end - at);
    Require(orvante::SplitTableLine(line, ',', fields));
    Require(fields.size() == 13);
    orvante::TableRow row;
    for (size_t k = 0; k < fields.size(); ++k) {
      orvante::TableValue value;
      double number = 0;
      if (k == 0) {
        value.kind = orvante::TableValue::Kind::kText;
        value.text = fields[k];
      } else {
        Require(orvante::ParseDecimalNumber(fields[k], number));
        value.kind = k == 1 ? orvante::TableValue::Kind::kInteger : orvante::TableValue::Kind::kReal;
        value.integer = static_cast<int64_t>(number);
        value.real = number;
      }
      row.push_back(value);
    }
    Require(orvante::CheckRunwayRow(row).ok());
    std::string reference = fields[10] + "," + fields[11];
    if (rows % 2 == 1) Require(reference == previousReference);
    previousReference = reference;
  }
  Require(rows == report.rows);
  return 0;
}
