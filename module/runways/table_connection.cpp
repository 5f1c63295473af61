// The text-table connection: loading r4.csv into SQLite and running
// statements over it through a virtual table with an R*Tree index.
#include "runways/table_connection.h"

#include <sqlite3.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/files.h"

namespace orvante {

// What the virtual table needs to know about the loaded table.
struct TextTableShape {
  std::string database;  // the attached database: "r4" of "r4.csv"
  std::vector<TableColumn> columns;
  int latitudeColumn = -1;  // indexed columns, or -1
  int longitudeColumn = -1;
  bool indexed = false;
  uint64_t rowCount = 0;
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

// The virtual table "csv" of the attached database. Its rows live in the
// ordinary table "rows" (rowid = line number, so rowid order is file order)
// and, when the position is indexed, in the R*Tree "position".
struct TextTable {
  sqlite3_vtab base{};
  sqlite3* db = nullptr;
  const TextTableShape* shape = nullptr;
};

struct TextTableCursor {
  sqlite3_vtab_cursor base{};
  sqlite3_stmt* statement = nullptr;
  bool eof = true;
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
  delete reinterpret_cast<TextTable*>(vtab);
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
  auto* c = reinterpret_cast<TextTableCursor*>(cursor);
  sqlite3_finalize(c->statement);
  delete c;
  return SQLITE_OK;
}

static int TextTableStep(TextTableCursor* c) {
  int rc = sqlite3_step(c->statement);
  if (rc == SQLITE_ROW) {
    c->eof = false;
    return SQLITE_OK;
  }
  c->eof = true;
  if (rc == SQLITE_DONE) return SQLITE_OK;
  auto* table = reinterpret_cast<TextTable*>(c->base.pVtab);
  sqlite3_free(table->base.zErrMsg);
  table->base.zErrMsg = sqlite3_mprintf("%s", sqlite3_errmsg(table->db));
  return rc;
}

static int TextTableFilter(sqlite3_vtab_cursor* cursor, int idxNum, const char* idxStr, int argc,
                           sqlite3_value** argv) {
  auto* c = reinterpret_cast<TextTableCursor*>(cursor);
  auto* table = reinterpret_cast<TextTable*>(cursor->pVtab);
  sqlite3_finalize(c->statement);
  c->statement = nullptr;
  c->eof = true;

  const std::string database = QuoteName(table->shape->database);
  std::string columns = "r.line";
  for (size_t k = 0; k < table->shape->columns.size(); ++k) columns += ", r.c" + std::to_string(k + 1);
  std::string sql;
  double bounds[4] = {-INFINITY, INFINITY, -INFINITY, INFINITY};  // latitude low, high; longitude low, high
  if (idxNum == 1) {
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
    sql = "SELECT " + columns + " FROM " + database + ".position AS p CROSS JOIN " + database +
          ".rows AS r ON r.rowid = p.id WHERE p.maxLat >= ?1 AND p.minLat <= ?2 AND p.maxLon >= ?3 AND "
          "p.minLon <= ?4 ORDER BY p.id";
  } else {
    sql = "SELECT " + columns + " FROM " + database + ".rows AS r ORDER BY r.line";
  }
  int rc = sqlite3_prepare_v2(table->db, sql.c_str(), -1, &c->statement, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_free(table->base.zErrMsg);
    table->base.zErrMsg = sqlite3_mprintf("%s", sqlite3_errmsg(table->db));
    return rc;
  }
  if (idxNum == 1) {
    for (int i = 0; i < 4; ++i) sqlite3_bind_double(c->statement, i + 1, bounds[i]);
  }
  return TextTableStep(c);
}

static int TextTableNext(sqlite3_vtab_cursor* cursor) {
  return TextTableStep(reinterpret_cast<TextTableCursor*>(cursor));
}

static int TextTableEof(sqlite3_vtab_cursor* cursor) { return reinterpret_cast<TextTableCursor*>(cursor)->eof; }

static int TextTableColumn(sqlite3_vtab_cursor* cursor, sqlite3_context* context, int column) {
  auto* c = reinterpret_cast<TextTableCursor*>(cursor);
  sqlite3_result_value(context, sqlite3_column_value(c->statement, column + 1));
  return SQLITE_OK;
}

static int TextTableRowid(sqlite3_vtab_cursor* cursor, sqlite3_int64* rowid) {
  *rowid = sqlite3_column_int64(reinterpret_cast<TextTableCursor*>(cursor)->statement, 0);
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

// Runs a statement that returns no rows, during open.
static bool Run(sqlite3* db, const std::string& sql) {
  return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string TableFilePath(const std::string& directory, const std::string& name) {
  std::string path = platform::JoinPath({directory, name});
  std::vector<platform::FoundFile> found = platform::FindFiles(path);
  for (const platform::FoundFile& file : found) {
    if (!file.isDirectory && platform::WildcardMatch(name, file.name)) return platform::JoinPath({directory, file.name});
  }
  return path;
}

static bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::optional<std::string> ConnectionStringValue(const std::string& connectionString, const std::string& key) {
  auto trim = [](std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
  };
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

uint32_t TableConnection::Open(const std::string& connectionString, const TableOpenOptions& options) {
  Close();
  errors_.clear();
  skipped_.clear();

  std::optional<std::string> source = ConnectionStringValue(connectionString, "Data Source");
  if (!source || source->empty()) return Fail(kResultFail, "The connection string names no data source.");
  std::string directory = *source;
  while (directory.size() > 1 && platform::LastSeparator(directory) == directory.size() - 1) directory.pop_back();
  bool headerByDefault = false;
  if (auto properties = ConnectionStringValue(connectionString, "Extended Properties")) {
    headerByDefault = EqualsIgnoringCase(ConnectionStringValue(*properties, "HDR").value_or("NO"), "YES");
  }

  TableSchema schema;
  std::string schemaPath = TableFilePath(directory, options.schemaFile);
  if (auto error = ReadTableSchema(schemaPath, options.tableFile.c_str(), schema)) {
    return Fail(kResultFail, options.schemaFile + " [" + options.tableFile + "]: " + *error);
  }
  if (!schema.headerRowDeclared) schema.headerRow = headerByDefault;

  std::string tablePath = TableFilePath(directory, options.tableFile);
  std::string bytes;
  if (!platform::ReadWholeFile(tablePath, bytes)) {
    return Fail(kResultFileNotFound, "The file " + options.tableFile + " cannot be read.");
  }
  if (bytes.size() > options.maximumFileSize) {
    return Fail(kResultFail, "The file " + options.tableFile + " is larger than " +
                                 std::to_string(options.maximumFileSize) + " bytes.");
  }

  shape_ = std::make_unique<TextTableShape>();
  size_t dot = options.tableFile.rfind('.');
  shape_->database = options.tableFile.substr(0, dot);
  std::string tableName = dot == std::string::npos ? "csv" : options.tableFile.substr(dot + 1);

  if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK) {
    ProviderError error = EngineError(kResultOutOfMemory, "The engine cannot start: ");
    return Fail(error.number, error.description);
  }
  const std::string database = QuoteName(shape_->database);
  if (!Run(db_, "ATTACH DATABASE ':memory:' AS " + database)) {
    ProviderError error = EngineError(kResultFail, "");
    return Fail(error.number, error.description);
  }

  // Read the rows straight into the engine, one transaction for all.
  std::optional<std::string> tableError;
  sqlite3_stmt* insertRow = nullptr;
  sqlite3_stmt* insertPosition = nullptr;
  bool engineFailed = false;
  auto onRow = [&](uint32_t line, const TableRow& row) {
    if (engineFailed) return;
    if (options.rowCheck) {
      if (auto reason = options.rowCheck(row)) {
        skipped_.push_back({line, *reason});
        return;
      }
    }
    sqlite3_reset(insertRow);
    sqlite3_bind_int64(insertRow, 1, line);
    for (size_t k = 0; k < row.size(); ++k) {
      const TableValue& value = row[k];
      int slot = static_cast<int>(k) + 2;
      switch (value.kind) {
        case TableValue::Kind::kInteger: sqlite3_bind_int64(insertRow, slot, value.integer); break;
        case TableValue::Kind::kReal: sqlite3_bind_double(insertRow, slot, value.real); break;
        case TableValue::Kind::kText:
          sqlite3_bind_text(insertRow, slot, value.text.data(), static_cast<int>(value.text.size()), SQLITE_TRANSIENT);
          break;
        default: sqlite3_bind_null(insertRow, slot); break;
      }
    }
    if (sqlite3_step(insertRow) != SQLITE_DONE) {
      engineFailed = true;
      return;
    }
    ++shape_->rowCount;
    if (!shape_->indexed) return;
    const TableValue& latitude = row[shape_->latitudeColumn];
    const TableValue& longitude = row[shape_->longitudeColumn];
    if (latitude.kind == TableValue::Kind::kNull || longitude.kind == TableValue::Kind::kNull) return;
    double lat = latitude.kind == TableValue::Kind::kInteger ? double(latitude.integer) : latitude.real;
    double lon = longitude.kind == TableValue::Kind::kInteger ? double(longitude.integer) : longitude.real;
    sqlite3_reset(insertPosition);
    sqlite3_bind_int64(insertPosition, 1, line);
    sqlite3_bind_double(insertPosition, 2, lat);
    sqlite3_bind_double(insertPosition, 3, lat);
    sqlite3_bind_double(insertPosition, 4, lon);
    sqlite3_bind_double(insertPosition, 5, lon);
    if (sqlite3_step(insertPosition) != SQLITE_DONE) engineFailed = true;
  };
  auto onSkipped = [&](uint32_t line, const std::string& reason) { skipped_.push_back({line, reason}); };

  std::vector<TableColumn> columns;
  tableError = ResolveTableColumns(bytes, schema, options.minimumColumns, columns);
  if (tableError) return Fail(kResultFail, options.tableFile + ": " + *tableError);
  // The reading proper takes the resolved columns, so it guesses nothing again.
  TableSchema resolved = schema;
  resolved.columns = columns;

  shape_->columns = columns;
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

  std::string insertSql = "INSERT INTO " + database + ".rows VALUES(?1";
  for (size_t k = 0; k < columns.size(); ++k) insertSql += ", ?" + std::to_string(k + 2);
  insertSql += ")";
  // rows keeps the line number as its rowid, so rowid order is file order.
  std::string createRows = "CREATE TABLE " + database + ".rows(line INTEGER PRIMARY KEY";
  for (size_t k = 0; k < columns.size(); ++k) createRows += ", c" + std::to_string(k + 1);
  createRows += ")";

  if (!Run(db_, createRows) ||
      (shape_->indexed &&
       !Run(db_, "CREATE VIRTUAL TABLE " + database + ".position USING rtree(id, minLat, maxLat, minLon, maxLon)")) ||
      sqlite3_create_module_v2(db_, "orvante_text_table", TextTableModule(), shape_.get(), nullptr) != SQLITE_OK ||
      !Run(db_, "CREATE VIRTUAL TABLE " + database + "." + QuoteName(tableName) + " USING orvante_text_table")) {
    ProviderError error = EngineError(kResultFail, options.schemaFile + ": ");
    return Fail(error.number, error.description);
  }

  Run(db_, "BEGIN");
  bool prepared = sqlite3_prepare_v2(db_, insertSql.c_str(), -1, &insertRow, nullptr) == SQLITE_OK &&
                  (!shape_->indexed ||
                   sqlite3_prepare_v2(db_, ("INSERT INTO " + database + ".position VALUES(?1, ?2, ?3, ?4, ?5)").c_str(),
                                      -1, &insertPosition, nullptr) == SQLITE_OK);
  if (prepared) {
    tableError = ReadTextTable(bytes, resolved, options.minimumColumns, columns, {onRow, onSkipped});
  }
  sqlite3_finalize(insertRow);
  sqlite3_finalize(insertPosition);
  if (!prepared || engineFailed) {
    ProviderError error = EngineError(kResultFail, "Loading " + options.tableFile + ": ");
    return Fail(error.number, error.description);
  }
  Run(db_, "COMMIT");
  if (tableError) return Fail(kResultFail, options.tableFile + ": " + *tableError);

  open_ = true;
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
