// A simulator folder with a runway table and its schema, the module log
// captured line by line, and the message boxes shown.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/module_log.h"
#include "platform/user_interface.h"
#include "runways/runway_database.h"
#include "temp_folder.h"

namespace orvante::testing {

// The schema the import tool writes.
inline const char* kRunwaySchema =
    "[r4.csv]\r\n"
    "ColNameHeader=False\r\n"
    "Format=CSVDelimited\r\n"
    "MaxScanRows=0\r\n"
    "CharacterSet=ANSI\r\n"
    "Col1=Airport Text\r\n"
    "Col2=Runway Integer\r\n"
    "Col3=EndLatitude Double\r\n"
    "Col4=EndLongitude Double\r\n"
    "Col5=Elevation Double\r\n"
    "Col6=Heading Double\r\n"
    "Col7=Length Double\r\n"
    "Col8=Guidance Single\r\n"
    "Col9=Width Double\r\n"
    "Col10=Variation Double\r\n"
    "Col11=Latitude Double\r\n"
    "Col12=Longitude Double\r\n"
    "Col13=Displaced Double\r\n";

class RunwayTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Lines().clear();
    SetLogObserver([](const char* line) { Lines().push_back(line); });
    platform::SetUserInterface(nullptr);
    platform::BuiltInHeadlessUserInterface().Clear();
  }
  void TearDown() override { SetLogObserver(nullptr); }

  static std::vector<std::string>& Lines() {
    static std::vector<std::string> lines;
    return lines;
  }
  bool Logged(const std::string& line) const {
    for (const std::string& l : Lines()) {
      if (l == line) return true;
    }
    return false;
  }
  bool LoggedContaining(const std::string& part) const {
    for (const std::string& l : Lines()) {
      if (l.find(part) != std::string::npos) return true;
    }
    return false;
  }
  std::vector<platform::MessageBoxRecord> Boxes() const { return platform::BuiltInHeadlessUserInterface().Boxes(); }

  // Writes the table (and the schema unless told otherwise) and starts the database.
  void Start(const std::string& table, const std::string& schema = kRunwaySchema) {
    folder_.Write("r4.csv", table);
    if (!schema.empty()) folder_.Write("Schema.ini", schema);
    StartRunwayDatabase(db_, folder_.Path().c_str());
  }

  TempFolder folder_;
  RunwayDatabase db_;
};

}  // namespace orvante::testing
