// The runway database: the runway table "r4.csv" and its schema "Schema.ini"
// in the simulator's folder, the connection that queries them, and the
// runway list of the last query. Opened once at start-up; while it is not
// connected the update cycle does nothing, so without a runway table the
// unit gives no advisories.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "runways/runway_record.h"
#include "runways/table_connection.h"

namespace orvante {

inline constexpr int kRunwayTableColumns = 13;

struct RunwayDatabase {
  RunwayDatabase() = default;
  RunwayDatabase(const RunwayDatabase&) = delete;
  RunwayDatabase& operator=(const RunwayDatabase&) = delete;
  // Closes the database and releases the connection.
  ~RunwayDatabase();

  // columnNames[k - 1] names column k of the runway table as the schema
  // declares it; empty when the schema names none.
  std::string columnNames[kRunwayTableColumns];
  std::unique_ptr<TableConnection> connection;
  std::string databaseDirectory;  // the simulator's folder
  std::string lastProviderError;  // the most recent provider or query error's description
  RunwayList runwayList;
  // 1 while the connection is open and usable. Set at start-up before the
  // worker starts and cleared at shut-down after it has ended; atomic so the
  // worker's reads are well defined whatever the order of events.
  std::atomic<uint32_t> connected{0};
};

// Start-up: checks that r4.csv and Schema.ini are in the simulator's folder
// (a message box for either that is missing), reads the schema and connects.
// Leaves the connected flag at 1 or 0.
void StartRunwayDatabase(RunwayDatabase& db, const char* simulatorDir);

// Reads the names of columns 1 to 13 from the "r4.csv" section of Schema.ini.
void ReadSchema(RunwayDatabase& db);

// Opens the connection over the folder; returns the connected flag.
uint32_t Connect(RunwayDatabase& db);

// Writes the connection's provider error list to the log.
void ReportProviderErrors(RunwayDatabase& db);

// At shut-down, after the worker has ended: empties the runway list and
// closes the connection.
void CloseDatabase(RunwayDatabase& db);

// The connection string for a folder: the data source always ends with a
// separator, the first line of the table is data.
std::string ComposeConnectionString(const std::string& directory);

}  // namespace orvante
