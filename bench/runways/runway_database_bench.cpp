// Runway database benchmarks over the worldwide table imported from the
// OurAirports list.
//
//   Connect            reading Schema.ini and r4.csv into the engine
//   Query              one QueryRunways at the densest box of the table
//   CompletionPass     the pairing pass alone over that box's rows
//   TextDriverScan     the same query answered as a text driver answers it:
//                      read r4.csv, split every line, filter, decode
// Each query benchmark runs over the worldwide table (1x) and over a table
// ten times larger (10x) whose extra rows are copies of the world moved in
// longitude, so they crowd the same latitudes, kept away from the box so
// that the answer stays the same.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/files.h"
#include "runway_import.h"
#include "runways/runway_database.h"
#include "runways/runway_query.h"
#include "runways/table_schema.h"
#include "runways/text_table.h"

namespace orvante {
namespace {

// The densest box of the table: the training fields around Pensacola.
constexpr double kDenseLatitude = 30.6;
constexpr double kDenseLongitude = -87.0;

std::string WorldTable() {
  static const std::string table = [] {
    std::string input, out;
    RunwayImportReport report;
    platform::ReadWholeFile(std::string(RUNWAYS_BENCH_SOURCE_DIR) + "/data/ourairports/runways.csv", input);
    ImportOurAirportsRunways(input, out, report);
    return out;
  }();
  return table;
}

// The world table and nine copies of it moved east by multiples of 36
// degrees; copied rows whose reference point would come within a degree of
// the dense box are dropped.
std::string TenfoldTable() {
  std::string world = WorldTable(), table = world;
  std::vector<std::string> fields;
  for (int copy = 1; copy < 10; ++copy) {
    size_t at = 0;
    while (at < world.size()) {
      size_t end = world.find("\r\n", at);
      SplitTableLine(std::string_view(world).substr(at, end - at), ',', fields);
      at = end + 2;
      if (fields.size() != 13) continue;
      auto shift = [copy](const std::string& text) {
        double lon = std::fmod(atof(text.c_str()) + 180.0 + 36.0 * copy, 360.0) - 180.0;
        char buffer[32];
        snprintf(buffer, sizeof buffer, "%.8f", lon);
        return std::string(buffer);
      };
      double refLat = atof(fields[10].c_str());
      double refLon = atof(shift(fields[11]).c_str());
      if (std::fabs(refLat - kDenseLatitude) < 1 && std::fabs(refLon - kDenseLongitude) < 1) continue;
      fields[3] = shift(fields[3]);
      fields[11] = shift(fields[11]);
      std::string line = "X" + std::to_string(copy);
      for (size_t k = 1; k < fields.size(); ++k) line += "," + fields[k];
      table += line + "\r\n";
    }
  }
  return table;
}

// A simulator folder holding a table, removed at exit.
struct TableFolder {
  explicit TableFolder(const std::string& table) {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvante-bench-XXXXXX").string();
    path = mkdtemp(pattern.data());
    platform::WriteFileAtomically(path + "/r4.csv", table);
    platform::WriteFileAtomically(path + "/Schema.ini", RunwayTableSchema());
  }
  ~TableFolder() { std::filesystem::remove_all(path); }
  std::string path;
};

TableFolder& Folder(int scale) {
  static TableFolder world(WorldTable());
  static TableFolder tenfold(TenfoldTable());
  return scale == 1 ? world : tenfold;
}

RunwayDatabase& Database(int scale) {
  static std::unique_ptr<RunwayDatabase> databases[2];
  auto& db = databases[scale == 1 ? 0 : 1];
  if (!db) {
    db = std::make_unique<RunwayDatabase>();
    StartRunwayDatabase(*db, Folder(scale).path.c_str());
  }
  return *db;
}

void Connect(benchmark::State& state) {
  int scale = static_cast<int>(state.range(0));
  RunwayDatabase db;
  db.databaseDirectory = Folder(scale).path;
  ReadSchema(db);
  for (auto _ : state) {
    if (Connect(db) != 1) state.SkipWithError("the table did not open");
  }
  state.counters["rows"] = static_cast<double>(db.connection ? db.connection->RowCount() : 0);
}
BENCHMARK(Connect)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

void Query(benchmark::State& state) {
  RunwayDatabase& db = Database(static_cast<int>(state.range(0)));
  if (db.connected != 1) state.SkipWithError("the table did not open");
  for (auto _ : state) {
    QueryRunways(db, kDenseLatitude, kDenseLongitude);
    benchmark::DoNotOptimize(db.runwayList.data());
  }
  state.counters["records"] = static_cast<double>(db.runwayList.size());
}
BENCHMARK(Query)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

void CompletionPass(benchmark::State& state) {
  RunwayDatabase& db = Database(1);
  // The box's rows as decoded, before completion.
  std::vector<RunwayRecord> decoded;
  ProviderError failure;
  auto results = db.connection->Execute(ComposeRunwayQuery(db, kDenseLatitude, kDenseLongitude), failure);
  TableRow row;
  while (results && !results->Eof()) {
    results->ReadRow(row);
    RunwayRecord record;
    if (DecodeRow(row, record)) decoded.push_back(record);
    results->MoveNext(failure);
  }
  for (auto _ : state) {
    RunwayList list;
    for (const RunwayRecord& record : decoded) list.push_back(std::make_unique<RunwayRecord>(record));
    CompleteRunwayList(list);
    benchmark::DoNotOptimize(list.data());
  }
  state.counters["rows"] = static_cast<double>(decoded.size());
}
BENCHMARK(CompletionPass)->Unit(benchmark::kMicrosecond);

// The query as a text driver answers it, with our own text-table reader in
// the driver's place: every query reads the file, converts every row to the
// schema's column types and keeps the rows whose columns 11 and 12 lie in
// the box; then the same decoding and completion.
void TextDriverScan(benchmark::State& state) {
  std::string folder = Folder(static_cast<int>(state.range(0))).path;
  TableSchema schema;
  (void)ReadTableSchema(folder + "/Schema.ini", "r4.csv", schema);
  const double d = RUNWAY_BOX_HALF_SIZE;
  size_t found = 0;
  for (auto _ : state) {
    std::string bytes;
    platform::ReadWholeFile(folder + "/r4.csv", bytes);
    RunwayList list;
    std::vector<TableColumn> columns;
    TextTableCallbacks callbacks;
    callbacks.onRow = [&](uint32_t, const TableRow& row) {
      const TableValue& lat = row[10];
      const TableValue& lon = row[11];
      if (lat.kind != TableValue::Kind::kReal || lon.kind != TableValue::Kind::kReal) return;
      if (lat.real < kDenseLatitude + d && lat.real > kDenseLatitude - d && lon.real > kDenseLongitude - d &&
          lon.real < kDenseLongitude + d) {
        auto record = std::make_unique<RunwayRecord>();
        if (DecodeRow(row, *record)) list.push_back(std::move(record));
      }
    };
    (void)ReadTextTable(bytes, schema, kRunwayTableColumns, columns, callbacks);
    CompleteRunwayList(list);
    found = list.size();
    benchmark::DoNotOptimize(list.data());
  }
  state.counters["records"] = static_cast<double>(found);
}
BENCHMARK(TextDriverScan)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace orvante

BENCHMARK_MAIN();
