// The text-table connection: loading r4.csv and running statements over it
// through an SQLite virtual table with an R*Tree index.
//
// The rows are held column by column in memory (numbers as numbers, text in
// one buffer per column), which the virtual table hands to SQLite without
// copying; the reference position of every row is also in an R*Tree of the
// attached database. A box query reads the matching row numbers from the
// R*Tree, sorts them into file order and visits only those rows.
#include "runways/table_connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "platform/files.h"
#include "common/text.h"

namespace orvante {

// One column of the loaded table. Values match the column's type or are
// null; text lives in one buffer, each row's text at its offset.
struct StoredColumn {
  ColumnType type = ColumnType::kText;
  std::vector<uint8_t> isNull;
  std::vector<int64_t> integers;  // integer columns
  std::vector<double> reals;      // real columns
  std::vector<uint32_t> textEnd;  // text columns: end offset of each row's text
  std::string text;
};

// The loaded table as the virtual table sees it.
struct TextTableShape {
  std::string database;  // the attached database: "r4" of "r4.csv"
  std::vector<TableColumn> columns;
  std::vector<StoredColumn> stored;
  std::vector<uint32_t> lines;  // each row's line in the file: its rowid
  int latitudeColumn = -1;      // indexed columns, or -1
  int longitudeColumn = -1;
  bool indexed = false;
  uint64_t rowCount = 0;

  void Append(uint32_t line, const TableRow& row) {
    lines.push_back(line);
    for (size_t k = 0; k < stored.size(); ++k) {
      StoredColumn& column = stored[k];
      const TableValue& value = row[k];
      column.isNull.push_back(value.kind == TableValue::Kind::kNull);
      switch (column.type) {
        case ColumnType::kInteger: column.integers.push_back(value.integer); break;
        case ColumnType::kReal: column.reals.push_back(value.real); break;
        default:
          if (value.kind == TableValue::Kind::kText) column.text += value.text;
          column.textEnd.push_back(static_cast<uint32_t>(column.text.size()));
          break;
      }
    }
    ++rowCount;
  }
};

namespace {

std::string QuoteName(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

const char* SqlType(ColumnType type) {
  switch (type) {
    case ColumnType::kInteger: return "INTEGER";
    case ColumnType::kReal: return "REAL";
    default: return "TEXT";
  }
}

// The virtual table "csv" of the attached database.
struct TextTable {
  sqlite3_vtab base{};
  sqlite3* db = nullptr;
  const TextTableShape* shape = nullptr;
  sqlite3_stmt* positionSearch = nullptr;  // row numbers inside a box, from the R*Tree
};

struct TextTableCursor {
  sqlite3_vtab_cursor base{};
  bool indexed = false;
  std::vector<uint32_t> rows;  // indexed: the rows to visit, in file order
  size_t at = 0;               // position in rows, or the row itself for a scan
  size_t Row() const { return indexed ? rows[at] : at; }
  bool Eof(const TextTableShape& shape) const { return indexed ? at >= rows.size() : at >= shape.rowCount; }
};

}  // namespace

// The callbacks below are C entry points of the SQLite virtual-table module.
extern "C" {

static int TextTableConnect(sqlite3* db, void* aux, int, const char* const*, sqlite3_vtab** vtab, char** error) {
  const auto* shape = static_cast<const TextTableShape*>(aux);
  std::string declaration = "CREATE TABLE x(";
  for (size_t k = 0; k < shape->columns.size(); ++k) {
    if (k) declaration += ", ";
    declaration += QuoteName(shape->columns[k].name) + " " + SqlType(shape->columns[k].type);
  }
  declaration += ")";
  int rc = sqlite3_declare_vtab(db, declaration.c_str());
  if (rc != SQLITE_OK) {
    *error = sqlite3_mprintf("%s", sqlite3_errmsg(db));
    return rc;
  }
  auto* table = new (std::nothrow) TextTable();
  if (!table) return SQLITE_NOMEM;
  table->db = db;
  table->shape = shape;
  *vtab = &table->base;
  return SQLITE_OK;
}

static int TextTableDisconnect(sqlite3_vtab* vtab) {
  auto* table = reinterpret_cast<TextTable*>(vtab);
  sqlite3_finalize(table->positionSearch);
  delete table;
  return SQLITE_OK;
}

// Range and equality conditions on the indexed columns go to the R*Tree; the
// plan string records, per argument, the column ('a' latitude, 'o'
// longitude) and the side it bounds ('<' upper, '>' lower, '=' both).
static int TextTableBestIndex(sqlite3_vtab* vtab, sqlite3_index_info* info) {
  const TextTableShape* shape = reinterpret_cast<TextTable*>(vtab)->shape;
  std::string plan;
  int arguments = 0;
  if (shape->indexed) {
    for (int i = 0; i < info->nConstraint; ++i) {
      const auto& constraint = info->aConstraint[i];
      if (!constraint.usable) continue;
      char column;
      if (constraint.iColumn == shape->latitudeColumn) {
        column = 'a';
      } else if (constraint.iColumn == shape->longitudeColumn) {
        column = 'o';
      } else {
        continue;
      }
      char side;
      switch (constraint.op) {
        case SQLITE_INDEX_CONSTRAINT_LT:
        case SQLITE_INDEX_CONSTRAINT_LE: side = '<'; break;
        case SQLITE_INDEX_CONSTRAINT_GT:
        case SQLITE_INDEX_CONSTRAINT_GE: side = '>'; break;
        case SQLITE_INDEX_CONSTRAINT_EQ: side = '='; break;
        default: continue;
      }
      info->aConstraintUsage[i].argvIndex = ++arguments;
      info->aConstraintUsage[i].omit = 0;  // SQLite checks the exact condition again
      plan += column;
      plan += side;
    }
  }
  double rows = static_cast<double>(shape->rowCount) + 1;
  if (arguments > 0) {
    info->idxNum = 1;
    info->idxStr = sqlite3_mprintf("%s", plan.c_str());
    info->needToFreeIdxStr = 1;
    info->estimatedCost = 20.0 + std::log2(rows);
    info->estimatedRows = 20;
  } else {
    info->idxNum = 0;
    info->estimatedCost = rows;
    info->estimatedRows = static_cast<sqlite3_int64>(rows);
  }
  return SQLITE_OK;
}

static int TextTableOpen(sqlite3_vtab*, sqlite3_vtab_cursor** cursor) {
  auto* c = new (std::nothrow) TextTableCursor();
  if (!c) return SQLITE_NOMEM;
  *cursor = &c->base;
  return SQLITE_OK;
}

static int TextTableClose(sqlite3_vtab_cursor* cursor) {
  delete reinterpret_cast<TextTableCursor*>(cursor);
  return SQLITE_OK;
}

static int EngineFailure(TextTable* table, int rc) {
  sqlite3_free(table->base.zErrMsg);
  table->base.zErrMsg = sqlite3_mprintf("%s", sqlite3_errmsg(table->db));
  return rc;
}

static int TextTableFilter(sqlite3_vtab_cursor* cursor, int idxNum, const char* idxStr, int argc,
                           sqlite3_value** argv) {
  auto* c = reinterpret_cast<TextTableCursor*>(cursor);
  auto* table = reinterpret_cast<TextTable*>(cursor->pVtab);
  c->indexed = idxNum == 1;
  c->rows.clear();
  c->at = 0;
  if (!c->indexed) return SQLITE_OK;

  double bounds[4] = {-INFINITY, INFINITY, -INFINITY, INFINITY};  // latitude low, high; longitude low, high
  for (int i = 0; i < argc && idxStr[2 * i] != '\0'; ++i) {
    // A bound that is not a number cannot be used to narrow the search;
    // leaving it out keeps the candidates a superset.
    int type = sqlite3_value_type(argv[i]);
    if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) continue;
    double value = sqlite3_value_double(argv[i]);
    if (std::isnan(value)) continue;
    double* low = idxStr[2 * i] == 'a' ? &bounds[0] : &bounds[2];
    double* high = low + 1;
    char side = idxStr[2 * i + 1];
    if (side != '<') *low = std::max(*low, value);
    if (side != '>') *high = std::min(*high, value);
  }

  if (!table->positionSearch) {
    std::string sql = "SELECT id FROM " + QuoteName(table->shape->database) +
                      ".position WHERE maxLat >= ?1 AND minLat <= ?2 AND maxLon >= ?3 AND minLon <= ?4";
    int rc = sqlite3_prepare_v3(table->db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &table->positionSearch, nullptr);
    if (rc != SQLITE_OK) return EngineFailure(table, rc);
  }
  // The R*Tree holds 32-bit coordinates rounded outwards, so its boxes
  // contain the true points: the search finds a superset of the rows, and
  // SQLite's own check of the conditions keeps exactly the right ones.
  sqlite3_stmt* search = table->positionSearch;
  for (int i = 0; i < 4; ++i) sqlite3_bind_double(search, i + 1, bounds[i]);
  int rc;
  while ((rc = sqlite3_step(search)) == SQLITE_ROW)
    c->rows.push_back(static_cast<uint32_t>(sqlite3_column_int64(search, 0)));
  sqlite3_reset(search);
  if (rc != SQLITE_DONE) return EngineFailure(table, rc);
  std::sort(c->rows.begin(), c->rows.end());  // row numbers rise in file order
  return SQLITE_OK;
}

static int TextTableNext(sqlite3_vtab_cursor* cursor) {
  ++reinterpret_cast<TextTableCursor*>(cursor)->at;
  return SQLITE_OK;
}

static int TextTableEof(sqlite3_vtab_cursor* cursor) {
  auto* c = reinterpret_cast<TextTableCursor*>(cursor);
  return c->Eof(*reinterpret_cast<TextTable*>(cursor->pVtab)->shape);
}

static int TextTableColumn(sqlite3_vtab_cursor* cursor, sqlite3_context* context, int k) {
  auto* c = reinterpret_cast<TextTableCursor*>(cursor);
  const TextTableShape& shape = *reinterpret_cast<TextTable*>(cursor->pVtab)->shape;
  const StoredColumn& column = shape.stored[k];
  size_t row = c->Row();
  if (column.isNull[row]) {
    sqlite3_result_null(context);
    return SQLITE_OK;
  }
  switch (column.type) {
    case ColumnType::kInteger: sqlite3_result_int64(context, column.integers[row]); break;
    case ColumnType::kReal: sqlite3_result_double(context, column.reals[row]); break;
    default: {
      uint32_t begin = row == 0 ? 0 : column.textEnd[row - 1];
      // The table does not change while the connection is open.
      sqlite3_result_text(context, column.text.data() + begin, static_cast<int>(column.textEnd[row] - begin),
                          SQLITE_STATIC);
      break;
    }
  }
  return SQLITE_OK;
}

static int TextTableRowid(sqlite3_vtab_cursor* cursor, sqlite3_int64* rowid) {
  auto* c = reinterpret_cast<TextTableCursor*>(cursor);
  *rowid = reinterpret_cast<TextTable*>(cursor->pVtab)->shape->lines[c->Row()];
  return SQLITE_OK;
}

}  // extern "C"

static const sqlite3_module* TextTableModule() {
  static const sqlite3_module module = [] {
    sqlite3_module m{};
    m.iVersion = 1;
    m.xCreate = TextTableConnect;
    m.xConnect = TextTableConnect;
    m.xBestIndex = TextTableBestIndex;
    m.xDisconnect = TextTableDisconnect;
    m.xDestroy = TextTableDisconnect;
    m.xOpen = TextTableOpen;
    m.xClose = TextTableClose;
    m.xFilter = TextTableFilter;
    m.xNext = TextTableNext;
    m.xEof = TextTableEof;
    m.xColumn = TextTableColumn;
    m.xRowid = TextTableRowid;
    return m;
  }();
  return &module;
}

std::unique_ptr<TableConnection> TableConnection::Create(uint32_t& result) {
  std::unique_ptr<TableConnection> connection(new (std::nothrow) TableConnection());
  if (!connection) {
    result = kResultOutOfMemory;
    return nullptr;
  }
  result = kResultOk;
  return connection;
}

TableConnection::~TableConnection() { Close(); }

void TableConnection::Close() {
  if (db_) sqlite3_close_v2(db_);
  db_ = nullptr;
  open_ = false;
  shape_.reset();
}

uint64_t TableConnection::RowCount() const { return shape_ ? shape_->rowCount : 0; }

uint32_t TableConnection::Fail(uint32_t code, std::string description) {
  errors_.push_back({code, "Orvante text table", std::move(description)});
  Close();
  return code;
}

ProviderError TableConnection::EngineError(uint32_t code, const std::string& prefix) {
  return {code, "SQLite", prefix + (db_ ? sqlite3_errmsg(db_) : "no database")};
}

// A damaged table can have any number of bad lines: the first are kept for
// the log, the rest only counted.
void TableConnection::Skip(uint32_t line, const std::string& reason) {
  if (skipped_.size() < kKeptSkippedRows) skipped_.push_back({line, reason});
  ++skippedCount_;
}

// Runs a statement that returns no rows, during open.
static bool Run(sqlite3* db, const std::string& sql) {
  return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string TableFilePath(const std::string& directory, const std::string& name) {
  std::string path = platform::JoinPath({directory, name});
  std::vector<platform::FoundFile> found = platform::FindFiles(path);
  for (const platform::FoundFile& file : found) {
    if (!file.isDirectory && platform::WildcardMatch(name, file.name))
      return platform::JoinPath({directory, file.name});
  }
  return path;
}

using common::EqualsIgnoringCase;

std::optional<std::string> ConnectionStringValue(const std::string& connectionString, const std::string& key) {
  auto trim = [](std::string_view text) { return common::Trim(text); };
  std::string_view rest = connectionString;
  while (!rest.empty()) {
    // One "name=value" up to the next ';' outside quotes; a part without
    // '=' is passed over.
    size_t stop = rest.find_first_of("=;");
    if (stop == std::string_view::npos) return std::nullopt;
    std::string_view name = trim(rest.substr(0, stop));
    bool hasValue = rest[stop] == '=';
    rest.remove_prefix(stop + 1);
    if (!hasValue) continue;
    rest = trim(rest);
    std::string value;
    if (!rest.empty() && (rest.front() == '"' || rest.front() == '\'')) {
      size_t close = rest.find(rest.front(), 1);
      if (close == std::string_view::npos) close = rest.size();
      value = std::string(rest.substr(1, close - 1));
      rest.remove_prefix(std::min(rest.size(), close + 1));
    } else {
      value = std::string(trim(rest.substr(0, rest.find(';'))));
    }
    size_t semicolon = rest.find(';');
    rest.remove_prefix(semicolon == std::string_view::npos ? rest.size() : semicolon + 1);
    if (EqualsIgnoringCase(name, key)) return value;
  }
  return std::nullopt;
}

static TableConnection::FileStamp StampOf(const std::string& path) {
  TableConnection::FileStamp stamp;
  std::error_code error;
  std::filesystem::path native(platform::NativePath(path));
  if (!std::filesystem::is_regular_file(native, error) || error) return stamp;
  stamp.size = std::filesystem::file_size(native, error);
  if (error) return stamp;
  auto modified = std::filesystem::last_write_time(native, error);
  if (error) return stamp;
  stamp.modified = static_cast<int64_t>(modified.time_since_epoch().count());
  stamp.exists = true;
  return stamp;
}

uint32_t TableConnection::Open(const std::string& connectionString, const TableOpenOptions& options) {
  Close();
  errors_.clear();
  skipped_.clear();
  skippedCount_ = 0;
  if (&connectionString != &connectionString_) connectionString_ = connectionString;
  if (&options != &options_) options_ = options;

  TableSchema schema;
  std::string bytes;
  if (uint32_t result = ReadTableFiles(connectionString, options, schema, bytes); result != kResultOk) return result;

  shape_ = std::make_unique<TextTableShape>();
  size_t dot = options.tableFile.rfind('.');
  shape_->database = options.tableFile.substr(0, dot);
  std::string tableName = dot == std::string::npos ? "csv" : options.tableFile.substr(dot + 1);
  const std::string database = QuoteName(shape_->database);
  if (uint32_t result = StartEngine(database); result != kResultOk) return result;

  std::vector<TableColumn> columns;
  if (auto resolvedColumns = ResolveTableColumns(bytes, schema, options.minimumColumns, columns); !resolvedColumns) {
    return Fail(kResultFail, options.tableFile + ": " + resolvedColumns.error());
  }
  // The reading proper takes the resolved columns, so it guesses nothing again.
  TableSchema resolved = schema;
  resolved.columns = columns;
  ShapeColumns(columns, options);
  if (uint32_t result = CreateTables(database, tableName, options); result != kResultOk) return result;
  if (uint32_t result = LoadRows(bytes, resolved, columns, options, database); result != kResultOk) return result;

  open_ = true;
  return kResultOk;
}

// The folder the connection string names, its header-row default, the
// schema's section for the table and the table's bytes.
uint32_t TableConnection::ReadTableFiles(const std::string& connectionString, const TableOpenOptions& options,
                                         TableSchema& schema, std::string& bytes) {
  std::optional<std::string> source = ConnectionStringValue(connectionString, "Data Source");
  if (!source || source->empty()) return Fail(kResultFail, "The connection string names no data source.");
  std::string directory = *source;
  while (directory.size() > 1 && platform::LastSeparator(directory) == directory.size() - 1) directory.pop_back();
  bool headerByDefault = false;
  if (auto properties = ConnectionStringValue(connectionString, "Extended Properties")) {
    headerByDefault = EqualsIgnoringCase(ConnectionStringValue(*properties, "HDR").value_or("NO"), "YES");
  }

  std::string schemaPath = TableFilePath(directory, options.schemaFile);
  schemaPath_ = schemaPath;
  schemaStamp_ = StampOf(schemaPath);
  if (auto read = ReadTableSchema(schemaPath, options.tableFile.c_str(), schema); !read) {
    return Fail(kResultFail, options.schemaFile + " [" + options.tableFile + "]: " + read.error());
  }
  if (!schema.headerRowDeclared) schema.headerRow = headerByDefault;

  std::string tablePath = TableFilePath(directory, options.tableFile);
  tablePath_ = tablePath;
  tableStamp_ = StampOf(tablePath);
  std::error_code sizeError;
  uintmax_t size = std::filesystem::file_size(platform::NativePath(tablePath), sizeError);
  if (!sizeError && size > options.maximumFileSize) {
    return Fail(kResultFail, "The file " + options.tableFile + " is larger than " +
                                 std::to_string(options.maximumFileSize) + " bytes.");
  }
  if (!platform::ReadWholeFile(tablePath, bytes)) {
    return Fail(kResultFileNotFound, "The file " + options.tableFile + " cannot be read.");
  }
  return kResultOk;
}

// The engine, in memory, with the table's database attached.
uint32_t TableConnection::StartEngine(const std::string& database) {
  // One thread at a time uses the connection (start-up, then the worker,
  // then shut-down after the worker has ended), so the engine's own locks
  // would only cost time on every call.
  if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) !=
      SQLITE_OK) {
    ProviderError error = EngineError(kResultOutOfMemory, "The engine cannot start: ");
    return Fail(error.number, error.description);
  }
  if (!Run(db_, "ATTACH DATABASE ':memory:' AS " + database)) {
    ProviderError error = EngineError(kResultFail, "");
    return Fail(error.number, error.description);
  }
  return kResultOk;
}

// The columns as the table stores them; the position index when the two
// position columns are numeric and not the same.
void TableConnection::ShapeColumns(const std::vector<TableColumn>& columns, const TableOpenOptions& options) {
  shape_->columns = columns;
  shape_->stored.resize(columns.size());
  for (size_t k = 0; k < columns.size(); ++k) shape_->stored[k].type = columns[k].type;
  int latitude = options.latitudeColumn, longitude = options.longitudeColumn;
  auto numeric = [&](int k) {
    return k >= 0 && size_t(k) < columns.size() &&
           (columns[k].type == ColumnType::kReal || columns[k].type == ColumnType::kInteger);
  };
  if (numeric(latitude) && numeric(longitude) && latitude != longitude) {
    shape_->indexed = true;
    shape_->latitudeColumn = latitude;
    shape_->longitudeColumn = longitude;
  }
}

// The position index (an R*Tree) and the virtual table over the rows.
uint32_t TableConnection::CreateTables(const std::string& database, const std::string& tableName,
                                       const TableOpenOptions& options) {
  if ((shape_->indexed &&
       !Run(db_, "CREATE VIRTUAL TABLE " + database + ".position USING rtree(id, minLat, maxLat, minLon, maxLon)")) ||
      sqlite3_create_module_v2(db_, "orvante_text_table", TextTableModule(), shape_.get(), nullptr) != SQLITE_OK ||
      !Run(db_, "CREATE VIRTUAL TABLE " + database + "." + QuoteName(tableName) + " USING orvante_text_table")) {
    ProviderError error = EngineError(kResultFail, options.schemaFile + ": ");
    return Fail(error.number, error.description);
  }
  return kResultOk;
}

// Reads the rows into the shape, in one transaction, each row with a
// position also into the index; a row the caller's check refuses is skipped.
uint32_t TableConnection::LoadRows(const std::string& bytes, const TableSchema& resolved,
                                   std::vector<TableColumn>& columns, const TableOpenOptions& options,
                                   const std::string& database) {
  sqlite3_stmt* insertPosition = nullptr;
  if (shape_->indexed &&
      sqlite3_prepare_v2(db_, ("INSERT INTO " + database + ".position VALUES(?1, ?2, ?3, ?4, ?5)").c_str(), -1,
                         &insertPosition, nullptr) != SQLITE_OK) {
    ProviderError error = EngineError(kResultFail, "Loading " + options.tableFile + ": ");
    return Fail(error.number, error.description);
  }
  bool engineFailed = false;
  auto asDouble = [](const TableValue& value) {
    return value.kind == TableValue::Kind::kInteger ? static_cast<double>(value.integer) : value.real;
  };
  auto onRow = [&](uint32_t line, const TableRow& row) {
    if (engineFailed) return;
    if (options.rowCheck) {
      if (auto usable = options.rowCheck(row); !usable) {
        Skip(line, usable.error());
        return;
      }
    }
    uint64_t index = shape_->rowCount;
    shape_->Append(line, row);
    if (!shape_->indexed) return;
    const TableValue& lat = row[shape_->latitudeColumn];
    const TableValue& lon = row[shape_->longitudeColumn];
    // A row without a position can never lie inside a box.
    if (lat.kind == TableValue::Kind::kNull || lon.kind == TableValue::Kind::kNull) return;
    sqlite3_reset(insertPosition);
    sqlite3_bind_int64(insertPosition, 1, static_cast<sqlite3_int64>(index));
    sqlite3_bind_double(insertPosition, 2, asDouble(lat));
    sqlite3_bind_double(insertPosition, 3, asDouble(lat));
    sqlite3_bind_double(insertPosition, 4, asDouble(lon));
    sqlite3_bind_double(insertPosition, 5, asDouble(lon));
    if (sqlite3_step(insertPosition) != SQLITE_DONE) engineFailed = true;
  };
  auto onSkipped = [&](uint32_t line, const std::string& reason) { Skip(line, reason); };

  Run(db_, "BEGIN");
  common::Result<> table = ReadTextTable(bytes, resolved, options.minimumColumns, columns, {onRow, onSkipped});
  sqlite3_finalize(insertPosition);
  if (engineFailed) {
    ProviderError error = EngineError(kResultFail, "Loading " + options.tableFile + ": ");
    return Fail(error.number, error.description);
  }
  Run(db_, "COMMIT");
  if (!table) return Fail(kResultFail, options.tableFile + ": " + table.error());
  return kResultOk;
}

std::unique_ptr<TableResultSet> TableConnection::Execute(const std::string& statement, ProviderError& failure) {
  errors_.clear();
  auto fail = [&](ProviderError error) -> std::unique_ptr<TableResultSet> {
    failure = error;
    errors_.push_back(std::move(error));
    return nullptr;
  };
  if (!open_) return fail({kResultFail, "Orvante text table", "The connection is not open."});
  if (std::optional<ProviderError> changed = FollowFileChanges()) return fail(*changed);

  sqlite3_stmt* prepared = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(db_, statement.c_str(), static_cast<int>(statement.size()), &prepared, &tail) != SQLITE_OK) {
    return fail(EngineError(kResultErrorsInCommand, ""));
  }
  // One read-only command only: names that come from outside files end up in
  // the statement, and must not smuggle in a second one.
  const char* end = statement.c_str() + statement.size();
  while (tail && tail < end && (*tail == ' ' || *tail == '\t' || *tail == '\r' || *tail == '\n')) ++tail;
  if (!prepared || (tail && tail < end) || !sqlite3_stmt_readonly(prepared)) {
    sqlite3_finalize(prepared);
    return fail({kResultErrorsInCommand, "SQLite", "Only one read-only query can run on the table."});
  }

  std::unique_ptr<TableResultSet> results(new (std::nothrow) TableResultSet(*this, prepared));
  if (!results) {
    sqlite3_finalize(prepared);
    return fail({kResultOutOfMemory, "Orvante text table", "Out of memory."});
  }
  if (!results->MoveNext(failure)) {
    errors_.clear();
    return fail(failure);
  }
  return results;
}

std::optional<ProviderError> TableConnection::FollowFileChanges() {
  FileStamp table = StampOf(tablePath_);
  FileStamp schema = StampOf(schemaPath_);
  if (!table.exists)
    return ProviderError{kResultFileNotFound, "Orvante text table",
                         "The file " + options_.tableFile + " is no longer in the folder of the table."};
  if (table == tableStamp_ && schema == schemaStamp_) return std::nullopt;
  // Read into a connection of its own: until the new table has been read
  // whole, this one keeps the table it has.
  uint32_t created = kResultOk;
  std::unique_ptr<TableConnection> fresh = Create(created);
  if (!fresh) return ProviderError{created, "Orvante text table", "Out of memory."};
  if (fresh->Open(connectionString_, options_) != kResultOk) {
    ProviderError error =
        fresh->Errors().empty() ? ProviderError{kResultFail, "Orvante text table", ""} : fresh->Errors().front();
    error.description = "The file " + options_.tableFile + " changed and cannot be read again: " + error.description;
    return error;
  }
  std::swap(db_, fresh->db_);
  std::swap(shape_, fresh->shape_);
  std::swap(skipped_, fresh->skipped_);
  std::swap(skippedCount_, fresh->skippedCount_);
  tablePath_ = fresh->tablePath_;
  schemaPath_ = fresh->schemaPath_;
  tableStamp_ = fresh->tableStamp_;
  schemaStamp_ = fresh->schemaStamp_;
  ++reloads_;
  return std::nullopt;
}

TableResultSet::~TableResultSet() { sqlite3_finalize(statement_); }

bool TableResultSet::MoveNext(ProviderError& failure) {
  if (eof_) return true;
  int rc = sqlite3_step(statement_);
  if (rc == SQLITE_ROW) return true;
  eof_ = true;
  if (rc == SQLITE_DONE) return true;
  failure = connection_.EngineError(kResultCommandFailed, "");
  connection_.errors_ = {failure};
  return false;
}

size_t TableResultSet::FieldCount() const { return static_cast<size_t>(sqlite3_column_count(statement_)); }

void TableResultSet::ReadRow(TableRow& row) const {
  size_t count = FieldCount();
  row.resize(count);
  for (size_t k = 0; k < count; ++k) {
    TableValue& value = row[k];
    int column = static_cast<int>(k);
    value.text.clear();
    switch (sqlite3_column_type(statement_, column)) {
      case SQLITE_INTEGER:
        value.kind = TableValue::Kind::kInteger;
        value.integer = sqlite3_column_int64(statement_, column);
        break;
      case SQLITE_FLOAT:
        value.kind = TableValue::Kind::kReal;
        value.real = sqlite3_column_double(statement_, column);
        break;
      case SQLITE_TEXT:
      case SQLITE_BLOB: {
        value.kind = TableValue::Kind::kText;
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        value.text.assign(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(statement_, column)));
        break;
      }
      default: value.kind = TableValue::Kind::kNull; break;
    }
  }
}

}  // namespace orvante
