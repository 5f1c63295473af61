// orvante-runways: imports the OurAirports runway list or an X-Plane/FlightGear
// airport file into a runway table, and shows the runway list the unit would
// hold at a position.
//
//   orvante-runways import RUNWAYS.CSV [--out-dir DIR]
//   orvante-runways import --apt-dat APT.DAT[.gz] [--out-dir DIR]
//       writes DIR/r4.csv and DIR/Schema.ini (DIR defaults to the current
//       folder) and reports what was imported and what was left out.
//   orvante-runways query LAT LON [--sim-dir DIR]
//       opens the table of the simulator folder DIR (default: the current
//       folder) as the module does, runs its query and completion at the
//       position and prints one line per runway record in list order.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/module_log.h"
#include "platform/files.h"
#include "platform/user_interface.h"
#include "apt_dat_import.h"
#include "progress/progress_line.h"
#include "runway_import.h"
#include "runway_listing.h"
#include "runways/runway_database.h"
#include "runways/runway_query.h"
#include "runways/text_table.h"

namespace {

int Usage() {
  fprintf(stderr,
          "usage: orvante-runways import RUNWAYS.CSV [--out-dir DIR]\n"
          "       orvante-runways import --apt-dat APT.DAT[.gz] [--out-dir DIR]\n"
          "       orvante-runways query LAT LON [--sim-dir DIR]\n");
  return 2;
}

// The value of "--name VALUE" among the arguments from index first, or the default.
bool OptionValue(int argc, char** argv, int first, const char* name, std::string& value) {
  for (int i = first; i < argc; ++i) {
    if (strcmp(argv[i], name) != 0) {
      fprintf(stderr, "orvante-runways: unknown argument \"%s\"\n", argv[i]);
      return false;
    }
    if (i + 1 >= argc) {
      fprintf(stderr, "orvante-runways: %s needs a value\n", name);
      return false;
    }
    value = argv[++i];
  }
  return true;
}

// The table from an airport file, read as it streams (the world's file is
// about 100 MB uncompressed).
bool ImportAptDat(const char* path, std::string& table, orvante::RunwayImportReport& report) {
  orvante::AptDatImport import;
  if (common::Result<> read = orvante::ReadAptDatFile(path, import); !read) {
    fprintf(stderr, "orvante-runways: %s\n", read.error().c_str());
    return false;
  }
  if (!import.Finish()) {
    fprintf(stderr, "orvante-runways: %s: %s\n", path, import.Report().error.c_str());
    return false;
  }
  table = import.Table();
  report = import.Report();
  return true;
}

int Import(int argc, char** argv) {
  if (argc < 3) return Usage();
  bool aptDat = strcmp(argv[2], "--apt-dat") == 0;
  if (aptDat && argc < 4) return Usage();
  const char* path = argv[aptDat ? 3 : 2];
  std::string outDir = ".";
  if (!OptionValue(argc, argv, aptDat ? 4 : 3, "--out-dir", outDir)) return Usage();
  std::string table;
  orvante::RunwayImportReport report;
  if (aptDat) {
    if (!ImportAptDat(path, table, report)) return 1;
  } else {
    std::string input;
    if (!platform::ReadWholeFile(path, input)) {
      fprintf(stderr, "orvante-runways: cannot read %s\n", path);
      return 1;
    }
    orvante::progress::ProgressLine line(stderr, "Importing runways", std::chrono::milliseconds(300));
    bool imported = orvante::ImportOurAirportsRunways(input, table, report, [&line](size_t done, size_t total) {
      line.Update(static_cast<double>(done) / 1e6, static_cast<double>(total) / 1e6, "MB");
    });
    line.Done();
    if (!imported) {
      fprintf(stderr, "orvante-runways: %s: %s\n", path, report.error.c_str());
      return 1;
    }
  }
  platform::CreateDirectoryU8(outDir);
  std::string tablePath = platform::JoinPath({outDir, "r4.csv"});
  std::string schemaPath = platform::JoinPath({outDir, "Schema.ini"});
  if (!platform::WriteFileAtomically(tablePath, table) ||
      !platform::WriteFileAtomically(schemaPath, orvante::RunwayTableSchema())) {
    fprintf(stderr, "orvante-runways: cannot write the table into %s\n", outDir.c_str());
    return 1;
  }
  printf("%s", orvante::DescribeImport(report).c_str());
  return 0;
}

int Query(int argc, char** argv) {
  if (argc < 4) return Usage();
  double latitude = 0, longitude = 0;
  if (!orvante::ParseDecimalNumber(argv[2], latitude) || !orvante::ParseDecimalNumber(argv[3], longitude) ||
      latitude < -90 || latitude > 90 || longitude < -180 || longitude > 180) {
    fprintf(stderr, "orvante-runways: \"%s %s\" is no position (degrees of latitude and longitude)\n", argv[2],
            argv[3]);
    return 2;
  }
  std::string simDir = ".";
  if (!OptionValue(argc, argv, 4, "--sim-dir", simDir)) return Usage();

  // The module's log lines and messages explain a table that does not open.
  orvante::SetLogObserver([](const char* line) { fprintf(stderr, "%s", line); });
  platform::BuiltInHeadlessUserInterface().SetListener([](const platform::MessageBoxRecord& box) {
    fprintf(stderr, "%s: %s\n", box.caption.c_str(), box.text.c_str());
  });

  orvante::RunwayDatabase db;
  orvante::StartRunwayDatabase(db, simDir.c_str());
  if (db.connected != 1) return 1;
  orvante::QueryRunways(db, latitude, longitude);
  printf("%s", orvante::RunwayListingHeader().c_str());
  for (const auto& record : db.runwayList) printf("%s", orvante::RunwayListingLine(*record).c_str());
  CloseDatabase(db);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  if (strcmp(argv[1], "import") == 0) return Import(argc, argv);
  if (strcmp(argv[1], "query") == 0) return Query(argc, argv);
  return Usage();
}
