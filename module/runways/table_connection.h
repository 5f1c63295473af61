// The connection over the simulator's folder that runs SQL on its text table:
// our own reader loads r4.csv, as Schema.ini lays it out, once at open into
// memory, the table joins an in-memory SQLite database, and SQLite runs the
// statements.
//
// The table keeps its file name as SQL sees it: "r4.csv" is table "csv" of
// the attached database "r4", so "SELECT * FROM r4.csv WHERE ..." runs as it
// stands. That table is a virtual table over the loaded rows: it hands rows
// back in file order and, for range conditions on the two indexed columns
// (the runway's reference position), looks them up through an R*Tree, so a
// box query costs the same whatever the size of the table. SQLite checks
// every condition again on the rows it gets, so the index only has to find
// a superset and the results are exactly those of a full scan.
//
// Results and errors are reported the way the module's ADO code expected
// them: result codes in HRESULT form and an error list of number, source and
// description.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runways/table_schema.h"
#include "runways/text_table.h"

struct sqlite3;
struct sqlite3_stmt;

namespace orvante {

inline constexpr uint32_t kResultOk = 0;
inline constexpr uint32_t kResultFail = 0x80004005;             // E_FAIL
inline constexpr uint32_t kResultOutOfMemory = 0x8007000E;      // E_OUTOFMEMORY
inline constexpr uint32_t kResultFileNotFound = 0x80070002;     // the file cannot be found
inline constexpr uint32_t kResultErrorsInCommand = 0x80040E14;  // DB_E_ERRORSINCOMMAND
inline constexpr uint32_t kResultCommandFailed = 0x80040E21;    // DB_E_ERRORSOCCURRED

inline constexpr int32_t kStateClosed = 0;
inline constexpr int32_t kStateOpen = 1;

struct ProviderError {
  uint32_t number = 0;
  std::string source;
  std::string description;
};

struct TableOpenOptions {
  std::string tableFile = "r4.csv";
  std::string schemaFile = "Schema.ini";
  size_t minimumColumns = 0;
  // Zero-based positions of the latitude and longitude columns to index, or
  // -1 for no index.
  int latitudeColumn = -1;
  int longitudeColumn = -1;
  // Rows that read correctly but that the caller cannot use: the check fails
  // with a reason, and the row is left out and reported.
  std::function<common::Result<>(const TableRow&)> rowCheck;
  // Refuses tables larger than this, in bytes.
  size_t maximumFileSize = size_t(1) << 30;
};

// A row left out at open, with its line number and the reason.
struct SkippedRow {
  uint32_t line = 0;
  std::string reason;
};

class TableResultSet;
struct TextTableShape;

// The path of a file in a folder, found the way Windows finds it (letter case
// ignored); the name as given when there is no such file.
std::string TableFilePath(const std::string& directory, const std::string& name);

// The value of a key of a connection string ("Key=Value; ..."), keys compared
// without regard to case, values optionally in double quotes; nothing when the
// key is absent.
std::optional<std::string> ConnectionStringValue(const std::string& connectionString, const std::string& key);

class TableConnection {
 public:
  // Creates an unopened connection; null with the result code on failure.
  static std::unique_ptr<TableConnection> Create(uint32_t& result);
  ~TableConnection();
  TableConnection(const TableConnection&) = delete;
  TableConnection& operator=(const TableConnection&) = delete;

  // Reads the schema and the table from the folder that the connection
  // string's "Data Source" names; "HDR=YES" in its extended properties means
  // the table's first line names the columns (Schema.ini's ColNameHeader,
  // when present, decides). Returns kResultOk, or an error code with the
  // reasons in Errors().
  uint32_t Open(const std::string& connectionString, const TableOpenOptions& options);
  int32_t State() const { return open_ ? kStateOpen : kStateClosed; }
  void Close();

  // The errors of the last failed operation.
  const std::vector<ProviderError>& Errors() const { return errors_; }
  // The first rows left out at open (at most kKeptSkippedRows) and how many
  // were left out in all.
  const std::vector<SkippedRow>& SkippedRows() const { return skipped_; }
  uint64_t SkippedCount() const { return skippedCount_; }
  static constexpr size_t kKeptSkippedRows = 10;
  uint64_t RowCount() const;

  // Runs one read-only statement. On failure returns null and fills failure
  // (also kept in Errors()). The table is read from its file again when the
  // file (or its schema) was replaced since it was read, as a provider that
  // reads the file at each statement would; a file that has gone, or a
  // replacement that cannot be read, fails the statement.
  std::unique_ptr<TableResultSet> Execute(const std::string& statement, ProviderError& failure);

  // Times the table was read again after its files changed (diagnostics).
  uint32_t Reloads() const { return reloads_; }

  // What identifies one version of a file: its size and modification time.
  struct FileStamp {
    bool exists = false;
    uintmax_t size = 0;
    int64_t modified = 0;  // file-clock ticks
    bool operator==(const FileStamp&) const = default;
  };

 private:
  TableConnection() = default;
  uint32_t Fail(uint32_t code, std::string description);
  ProviderError EngineError(uint32_t code, const std::string& prefix);
  // The steps of Open, in order; each returns kResultOk or Fail's code.
  uint32_t ReadTableFiles(const std::string& connectionString, const TableOpenOptions& options, TableSchema& schema,
                          std::string& bytes);
  uint32_t StartEngine(const std::string& database);
  void ShapeColumns(const std::vector<TableColumn>& columns, const TableOpenOptions& options);
  uint32_t CreateTables(const std::string& database, const std::string& tableName, const TableOpenOptions& options);
  uint32_t LoadRows(const std::string& bytes, const TableSchema& resolved, std::vector<TableColumn>& columns,
                    const TableOpenOptions& options, const std::string& database);
  // Nothing when the files are as read (or were read again); else the error.
  std::optional<ProviderError> FollowFileChanges();

  sqlite3* db_ = nullptr;
  bool open_ = false;
  std::string connectionString_;
  TableOpenOptions options_;
  std::string tablePath_, schemaPath_;
  FileStamp tableStamp_, schemaStamp_;
  uint32_t reloads_ = 0;
  std::vector<ProviderError> errors_;
  std::vector<SkippedRow> skipped_;
  uint64_t skippedCount_ = 0;
  std::unique_ptr<TextTableShape> shape_;
  void Skip(uint32_t line, const std::string& reason);
  friend class TableResultSet;
};

class TableResultSet {
 public:
  ~TableResultSet();
  TableResultSet(const TableResultSet&) = delete;
  TableResultSet& operator=(const TableResultSet&) = delete;

  int32_t State() const { return kStateOpen; }
  bool Eof() const { return eof_; }
  // Moves to the next row. False on an error, with failure filled.
  bool MoveNext(ProviderError& failure);
  size_t FieldCount() const;
  // The current row's fields by ordinal.
  void ReadRow(TableRow& row) const;

 private:
  friend class TableConnection;
  TableResultSet(TableConnection& connection, sqlite3_stmt* statement)
      : connection_(connection), statement_(statement) {}
  TableConnection& connection_;
  sqlite3_stmt* statement_;
  bool eof_ = false;
};

}  // namespace orvante
