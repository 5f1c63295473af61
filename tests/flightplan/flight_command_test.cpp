// The flight file and the command that writes it.
#include <gtest/gtest.h>

#include <sstream>

#include "flight_checks.h"
#include "flight_command.h"
#include "flight_file.h"

namespace {

using namespace flight_checks;

struct Output {
  std::string text;
  std::FILE* file = nullptr;
  char* buffer = nullptr;
  size_t size = 0;
  Output() { file = open_memstream(&buffer, &size); }
  ~Output() { std::free(buffer); }
  std::string Close() {
    std::fclose(file);
    return std::string(buffer, size);
  }
};

TEST(FlightFile, HeaderPhasesAndOneRowPerSampleWithEveryColumn) {
  TestAirport airport;
  Flight flight = airport.Fly("airport TEST\nstart 09 heading 90\nlineup 09\nhold 2\n");
  std::string text = FlightFileText(flight);
  std::istringstream lines(text);
  std::string line;
  size_t comments = 0, rows = 0;
  bool header = false;
  while (std::getline(lines, line)) {
    if (line[0] == '#') {
      EXPECT_FALSE(header) << "notes come before the header";
      ++comments;
    } else if (!header) {
      EXPECT_EQ(line, "t,lat,lon,alt_ft,heading_true,ias_kt,gs_kt,vs_fpm,on_ground,gear,flaps_index");
      header = true;
    } else {
      EXPECT_EQ(std::count(line.begin(), line.end(), ','), 10) << line;
      ++rows;
    }
  }
  EXPECT_EQ(comments, 1 + flight.phases.size());
  EXPECT_EQ(rows, flight.samples.size());
  EXPECT_NE(text.find("# t=0.0 plan line 3: lineup 09\n"), std::string::npos);
}

TEST(FlightCommand, WritesTheFileOrSaysWhatIsWrong) {
  TestAirport airport;
  TempFolder folder;
  std::string plan = folder.Write("good.plan", "airport TEST\nstart 09 heading 90\nhold 10\n");
  std::string bad = folder.Write("bad.plan", "airport TEST\nstart 09 heading 90\nhold ten\n");
  std::string unflyable = folder.Write("unflyable.plan", "airport TEST\nstart 09 heading 90\nland\n");

  Output out, err;
  EXPECT_EQ(orvante::flightplan::RunFlightCommand({plan, "--sim-dir", airport.Dir(), "--out", folder.Path("f.csv")},
                                                  "/nowhere", out.file, err.file),
            0);
  EXPECT_NE(out.Close().find("21 samples, 10 s at TEST"), std::string::npos);
  EXPECT_EQ(err.Close(), "");
  EXPECT_EQ(folder.Read("f.csv"), [&] {
    Flight flight = airport.Fly("airport TEST\nstart 09 heading 90\nhold 10\n");
    return FlightFileText(flight);
  }());

  Output out2, err2;
  EXPECT_EQ(orvante::flightplan::RunFlightCommand({bad, "--sim-dir", airport.Dir()}, "", out2.file, err2.file), 1);
  out2.Close();
  EXPECT_EQ(err2.Close(), "orvante-flight: " + bad + ": line 3, column 6: expected a time in seconds, found 'ten'\n");

  Output out3, err3;
  EXPECT_EQ(orvante::flightplan::RunFlightCommand({unflyable, "--sim-dir", airport.Dir()}, "", out3.file, err3.file),
            1);
  out3.Close();
  EXPECT_EQ(err3.Close(), "orvante-flight: " + unflyable + ": plan line 3: 'land' needs the aircraft in the air\n");

  Output out4, err4;
  EXPECT_EQ(orvante::flightplan::RunFlightCommand({plan}, folder.Path("no-such-folder"), out4.file, err4.file), 1);
  out4.Close();
  EXPECT_NE(err4.Close().find("no runway table r4.csv in"), std::string::npos);

  Output out5, err5;
  EXPECT_EQ(orvante::flightplan::RunFlightCommand({}, "", out5.file, err5.file), 2);
  out5.Close();
  EXPECT_NE(err5.Close().find("usage:"), std::string::npos);
}

}  // namespace
