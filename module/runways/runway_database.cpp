// The runway database: start-up, schema, connection and shut-down.
//
// The table is read by our own text-table reader and queried through SQLite
// (see table_connection.h); start-up keeps the sequence, log lines and
// messages the module has always had, so users' logs read the same.
#include "runways/runway_database.h"

#include <cstring>

#include "core/module_log.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/user_interface.h"
#include "runways/runway_query.h"
#include "runways/table_schema.h"

namespace orvante {

static constexpr size_t kTextLimit = 259;  // the characters a path or description field holds

RunwayDatabase::~RunwayDatabase() {
  CloseDatabase(*this);
  connection.reset();
}

// A file search that finds a match counts as present; letter case is
// ignored, as the simulator's file system ignores it.
static bool FoundInFolder(const std::string& directory, const char* name) {
  return !platform::FindFiles(platform::JoinPath({directory, name})).empty();
}

static std::string CutToLimit(std::string text) {
  if (text.size() > kTextLimit) text.resize(kTextLimit);
  return text;
}

void StartRunwayDatabase(RunwayDatabase& db, const char* simulatorDir) {
  for (std::string& name : db.columnNames) name.clear();
  db.connection.reset();
  db.lastProviderError.clear();
  db.runwayList.clear();
  db.connected = 0;

  db.databaseDirectory = CutToLimit(simulatorDir ? simulatorDir : "");
  LogWrite("LOG EVENT -> Database directory: \n");
  LogWrite("LOG EVENT -> %s \n", db.databaseDirectory.c_str());

  if (!FoundInFolder(db.databaseDirectory, "r4.csv")) {
    platform::MessageBoxU8(nullptr, "The R4.CSV file is MISSING!", "Orvante", platform::kMbOk | platform::kMbIconError);
    return;
  }
  LogWrite("LOG EVENT -> R4.CSV file found....\n");

  if (!FoundInFolder(db.databaseDirectory, "Schema.ini")) {
    platform::MessageBoxU8(nullptr, "The SCHEMA.INI file is MISSING!", "Orvante",
                           platform::kMbOk | platform::kMbIconError);
    return;
  }
  LogWrite("LOG EVENT -> SCHEMA.INI file found....\n");

  ReadSchema(db);
  Connect(db);
}

void ReadSchema(RunwayDatabase& db) {
  LogWrite("LOG EVENT -> Reading SCHEMA.INI file....\n");
  std::string schemaPath = TableFilePath(db.databaseDirectory, "Schema.ini");
  for (unsigned k = 1; k <= kRunwayTableColumns; ++k) {
    char key[16];
    snprintf(key, sizeof key, "Col%u", k);
    std::string value = platform::ReadProfileString("r4.csv", key, "", schemaPath.c_str(), kTextLimit);
    // Read as the table reader reads it, which names the columns the query
    // runs on: the first word, or a quoted name with blanks ("Ref Lat" Double).
    // A definition the reader refuses fails the connection; its name is kept
    // as far as it was read.
    TableColumn column;
    (void)ParseColumnDefinition(value, column);
    db.columnNames[k - 1] = column.name;
  }
}

std::string ComposeConnectionString(const std::string& directory) {
  // A directory holding the string's own separator is quoted, so that it
  // reaches the provider whole.
  std::string source = directory + platform::kPathSeparator;
  if (source.find_first_of(";\"") != std::string::npos || source.front() == ' ') source = "'" + source + "'";
  return "Provider=Microsoft.ACE.OLEDB.12.0; Data Source=" + source +
         "; Extended Properties=\"text;HDR=NO;FMT=Delimited\"";
}

// Rows of the table that the unit cannot use were left out when it was read;
// say which, so that a damaged table can be found and mended.
static void ReportSkippedRows(const TableConnection& connection) {
  if (connection.SkippedCount() == 0) return;
  for (const SkippedRow& skipped : connection.SkippedRows()) {
    LogWrite("LOG EVENT -> R4.CSV line %u skipped: %s....\n", skipped.line, skipped.reason.c_str());
  }
  LogWrite("LOG EVENT -> R4.CSV: %llu rows read, %llu rows skipped....\n",
           static_cast<unsigned long long>(connection.RowCount()),
           static_cast<unsigned long long>(connection.SkippedCount()));
}

uint32_t Connect(RunwayDatabase& db) {
  db.connected = 0;
  db.connection.reset();

  uint32_t result = kResultOk;
  db.connection = TableConnection::Create(result);
  if (!db.connection) {
    LogWrite("LOG EVENT -> FAILED in create Connection object....\n");
    LogWrite("LOG EVENT -> Operation FAILED! - Error code: 0x%X....\n", result);
    return 0;
  }

  TableOpenOptions options;
  options.minimumColumns = kRunwayTableColumns;
  options.latitudeColumn = 10;   // column 11, the reference latitude
  options.longitudeColumn = 11;  // column 12, the reference longitude
  options.rowCheck = CheckRunwayRow;
  result = db.connection->Open(ComposeConnectionString(db.databaseDirectory), options);

  if (result == kResultOk && db.connection->State() == kStateOpen) {
    ReportSkippedRows(*db.connection);
    LogWrite("LOG EVENT -> DATABASE CONNECTED!....\n");
    db.connected = 1;
    return 1;
  }
  LogWrite("LOG EVENT -> Couldn't OPEN the database file....\n");
  if (result != kResultOk) {
    LogWrite("LOG EVENT -> Operation FAILED! - Error code: 0x%X....\n", result);
    ReportProviderErrors(db);
  }
  if (db.connection->State() != kStateOpen) LogWrite("LOG EVENT -> Connection object: CLOSED!....\n");
  return 0;
}

void ReportProviderErrors(RunwayDatabase& db) {
  if (!db.connection) return;
  for (const ProviderError& error : db.connection->Errors()) {
    LogWrite("LOG EVENT -> SUCCEEDED! to get the ERROR object....\n");
    LogWrite("LOG EVENT -> ERROR object - Code Number: 0x%X\n", error.number);
    db.lastProviderError.clear();
    db.lastProviderError = CutToLimit(error.description);
    LogWrite("LOG EVENT -> ERROR object - Description: %s\n", db.lastProviderError.c_str());
  }
}

void CloseDatabase(RunwayDatabase& db) {
  if (db.connected != 1) return;
  db.runwayList.clear();
  if (db.connection && db.connection->State() == kStateOpen) db.connection->Close();
  db.connected = 0;
}

}  // namespace orvante
