// The runway query, row decoding and the completion pass.
#include "runways/runway_query.h"

#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/module_log.h"
#include "runways/runway_geometry.h"

namespace orvante {

// A column name as the statement writes it: as it is, or, when it holds
// blanks (a quoted name of the schema), in brackets, without which no
// statement could name it.
static std::string StatementName(const std::string& name) {
  if (name.find_first_of(" \t") == std::string::npos || name.find(']') != std::string::npos) return name;
  return "[" + name + "]";
}

std::string ComposeRunwayQuery(const RunwayDatabase& db, double latitude, double longitude) {
  const double d = RUNWAY_BOX_HALF_SIZE;
  const std::string latitudeColumn = StatementName(db.columnNames[10]);
  const std::string longitudeColumn = StatementName(db.columnNames[11]);
  const char* latitudeName = latitudeColumn.c_str();
  const char* longitudeName = longitudeColumn.c_str();
  const char* format = "SELECT * FROM %s WHERE %s < %5.8f AND %s > %5.8f AND %s > %5.8f AND %s < %5.8f";
  // Sized to fit: the names come from Schema.ini and may be long, and a
  // statement cut short could still run, as a different query.
  int size = snprintf(nullptr, 0, format, "r4.csv", latitudeName, latitude + d, latitudeName, latitude - d,
                      longitudeName, longitude - d, longitudeName, longitude + d);
  std::string statement(static_cast<size_t>(size) + 1, '\0');
  snprintf(statement.data(), statement.size(), format, "r4.csv", latitudeName, latitude + d, latitudeName, latitude - d,
           longitudeName, longitude - d, longitudeName, longitude + d);
  statement.resize(static_cast<size_t>(size));
  return statement;
}

// Conversions as the platform's variant conversion makes them: numbers from
// text in the table's decimal form, integers rounded half to even.
static bool ToDouble(const TableValue& value, double& out) {
  switch (value.kind) {
    case TableValue::Kind::kInteger: out = static_cast<double>(value.integer); return true;
    case TableValue::Kind::kReal: out = value.real; return true;
    case TableValue::Kind::kText: return ParseDecimalNumber(value.text, out);
    default: return false;
  }
}

static bool ToInteger(const TableValue& value, int64_t& out) {
  if (value.kind == TableValue::Kind::kInteger) {
    out = value.integer;
    return true;
  }
  double number = 0;
  if (!ToDouble(value, number) || std::fabs(number) > 2147483647.0) return false;
  out = static_cast<int64_t>(std::nearbyint(number));  // the default rounding mode: half to even
  return true;
}

// Copies whole UTF-8 characters that fit the field; a longer identifier is
// cut, which keeps the runway usable (the identifier only names it).
static void CopyIdent(const std::string& text, char (&field)[6]) {
  size_t length = 0, characters = 0;
  while (length < text.size() && characters < 5) {
    unsigned char lead = static_cast<unsigned char>(text[length]);
    size_t size = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (length + size > sizeof field - 1) break;
    length += size;
    ++characters;
  }
  memset(field, 0, sizeof field);
  memcpy(field, text.data(), length);
}

static std::string TextOf(const TableValue& value) {
  char buffer[32];
  switch (value.kind) {
    case TableValue::Kind::kText: return value.text;
    case TableValue::Kind::kInteger:
      snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value.integer));
      return buffer;
    case TableValue::Kind::kReal: snprintf(buffer, sizeof buffer, "%.15g", value.real); return buffer;
    default: return {};
  }
}

// Decodes the row; a failure says why it cannot be.
static common::Result<> DecodeFields(const TableRow& row, RunwayRecord& record) {
  double* const doubles[kRunwayTableColumns] = {nullptr,
                                                nullptr,
                                                &record.endLatitude,
                                                &record.endLongitude,
                                                &record.elevation,
                                                &record.heading,
                                                &record.length,
                                                nullptr,
                                                &record.width,
                                                &record.magneticVariation,
                                                &record.refLatitude,
                                                &record.refLongitude,
                                                &record.displacedThreshold};
  for (size_t k = 0; k < kRunwayTableColumns && k < row.size(); ++k) {
    const TableValue& value = row[k];
    if (value.kind == TableValue::Kind::kNull) continue;
    if (k == 0) {
      CopyIdent(TextOf(value), record.airportIdent);
    } else if (k == 1) {
      int64_t code = 0;
      if (!ToInteger(value, code))
        return common::Fail("column 2 \"" + PrintableField(TextOf(value)) + "\" is not a runway code");
      if (code < 0 || code > 999)
        return common::Fail("column 2 runway code " + std::to_string(code) + " is outside 0 to 999");
      snprintf(record.designator, sizeof record.designator, "%03d", static_cast<int>(code));
    } else {
      double number = 0;
      if (!ToDouble(value, number)) {
        return common::Fail("column " + std::to_string(k + 1) + " \"" + PrintableField(TextOf(value)) +
                            "\" is not a number");
      }
      if (k == 7) {
        // Beyond a float's range the value becomes an infinity of its sign
        // (only the sign is used), as the hardware conversion would give.
        if (std::fabs(number) > FLT_MAX) {
          record.guidanceValue = number > 0 ? HUGE_VALF : -HUGE_VALF;
        } else {
          record.guidanceValue = static_cast<float>(number);
        }
      } else {
        *doubles[k] = number;
      }
    }
  }
  return {};
}

bool DecodeRow(const TableRow& row, RunwayRecord& record) { return DecodeFields(row, record).ok(); }

common::Result<> CheckRunwayRow(const TableRow& row) {
  RunwayRecord scratch;
  return DecodeFields(row, scratch);
}

void CompleteRunwayList(RunwayList& list) {
  // By index: records appended during the pass are completed in turn.
  const size_t listed = list.size();
  for (size_t i = 0; i < list.size(); ++i) {
    std::unique_ptr<RunwayRecord> added = PairRunwayEnd(*list[i], list);
    // An added end pairs with the end it was made from. When that end lies
    // at exactly 0,0 (empty coordinates) the pairing cannot see it, and the
    // added end would add another, and so on without end; an added end
    // therefore never adds one itself.
    if (added && i < listed) list.push_back(std::move(added));
  }
}

// Runs the statement for one box and appends its decoded rows to the list.
// False, with the error reported and the list emptied, when the statement
// fails or its rows cannot be read to the end.
static bool AppendRowsOfBox(RunwayDatabase& db, double latitude, double longitude) {
  std::string statement = ComposeRunwayQuery(db, latitude, longitude);
  ProviderError failure;
  std::unique_ptr<TableResultSet> results = db.connection->Execute(statement, failure);
  if (!results) {
    db.runwayList.clear();
    ReportComError(db, failure);
    return false;
  }
  if (results->State() != kStateOpen) {
    db.runwayList.clear();
    ReportProviderErrors(db);
    return false;
  }

  TableRow row;
  while (!results->Eof()) {
    results->ReadRow(row);
    std::unique_ptr<RunwayRecord> record(new (std::nothrow) RunwayRecord());
    // Rows that cannot be decoded were left out when the table was read; a
    // statement that reshapes rows could still produce one, and only fully
    // decoded records may join the list.
    if (record && DecodeRow(row, *record)) db.runwayList.push_back(std::move(record));
    if (!results->MoveNext(failure)) {
      // A list cut short would look like an airport with runways missing.
      db.runwayList.clear();
      ReportComError(db, failure);
      return false;
    }
  }
  return true;
}

void QueryRunways(RunwayDatabase& db, double latitude, double longitude) {
  db.runwayList.clear();
  if (!db.connection) return;

  // A box reaching across 180 degrees of longitude goes on at the other end
  // of the longitudes: the same box moved by 360 degrees finds the runways
  // there (Fiji, the Aleutians, the Chatham Islands). Their rows follow the
  // rows of the box around the position.
  if (!AppendRowsOfBox(db, latitude, longitude)) return;
  const double d = RUNWAY_BOX_HALF_SIZE;
  if (longitude + d > 180.0 && !AppendRowsOfBox(db, latitude, longitude - 360.0)) return;
  if (longitude - d < -180.0 && !AppendRowsOfBox(db, latitude, longitude + 360.0)) return;
  CompleteRunwayList(db.runwayList);
}

std::string ComErrorMessage(uint32_t code) {
  // The system's texts for the codes the connection reports.
  switch (code) {
    case 0x80004005: return "Unspecified error";
    case 0x8007000E: return "Not enough memory resources are available to complete this operation.";
    case 0x80070002: return "The system cannot find the file specified.";
    default: break;
  }
  char buffer[64];
  if (code > 0x80040200 && code < 0x80050000) {
    snprintf(buffer, sizeof buffer, "IDispatch error #%d", static_cast<int>((code & 0xFFFF) - 0x200));
  } else {
    snprintf(buffer, sizeof buffer, "Unknown error 0x%0lX", static_cast<unsigned long>(code));
  }
  return buffer;
}

void ReportComError(RunwayDatabase& db, const ProviderError& error) {
  LogWrite("LOG EVENT -> COM ERROR - Error Code: 0x%X...\n", error.number);
  LogWrite("LOG EVENT -> COM ERROR - Error Meaning: %s...\n", ComErrorMessage(error.number).c_str());
  auto cut = [](const std::string& text) { return text.size() > 259 ? text.substr(0, 259) : text; };
  db.lastProviderError.clear();
  db.lastProviderError = cut(error.source);
  LogWrite("LOG EVENT -> COM ERROR - Source: %s...\n", db.lastProviderError.c_str());
  db.lastProviderError.clear();
  db.lastProviderError = cut(error.description);
  LogWrite("LOG EVENT -> COM ERROR - Description: %s...\n", db.lastProviderError.c_str());
  ReportProviderErrors(db);
}

}  // namespace orvante
