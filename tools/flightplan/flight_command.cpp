// The plan-to-flight command.
#include "flight_command.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "airport_runways.h"
#include "flight_builder.h"
#include "flight_file.h"
#include "flight_plan.h"
#include "flight_repeat.h"

namespace orvante::flightplan {

std::string FlightCommandUsage(const std::string& name) {
  return "usage: " + name +
         " PLAN [--sim-dir DIR] [--out FLIGHT.csv] [--repeat-for SECONDS]\n"
         "  Builds the flight a plan describes at a real airport of DIR's runway table\n"
         "  and writes it as a flight file (to standard output without --out).\n"
         "  --repeat-for flies a plan that ends where it starts again and again, every\n"
         "  repetition a whole number of 15 s after the one before, for SECONDS in all.\n";
}

common::Result<> FlightFromPlanFile(const std::string& planPath, const std::string& simDir, Flight& flight) {
  std::ifstream in(planPath, std::ios::binary);
  if (!in) return common::Fail("cannot read the plan " + planPath);
  std::ostringstream text;
  text << in.rdbuf();
  FlightPlan plan;
  if (auto parsed = ParseFlightPlan(text.str(), plan); !parsed) return common::Fail(planPath + ": " + parsed.error());
  RunwayList runways;
  if (auto loaded = LoadAirportRunways(simDir, plan.airport, runways); !loaded) return loaded;
  if (auto built = BuildFlight(plan, runways, flight); !built) return common::Fail(planPath + ": " + built.error());
  return {};
}

std::optional<double> ParseRepeatSeconds(const std::string& text) {
  char* end = nullptr;
  double seconds = std::strtod(text.c_str(), &end);
  if (text.empty() || end == nullptr || *end != '\0' || !(seconds > 0) || seconds > 1e7) return std::nullopt;
  return seconds;
}

int RunFlightCommand(const std::vector<std::string>& args, const std::string& defaultSimDir, std::FILE* out,
                     std::FILE* err) {
  std::string planPath, simDir = defaultSimDir, outPath;
  std::optional<double> repeatFor;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if ((arg == "--sim-dir" || arg == "--out") && i + 1 < args.size()) {
      (arg == "--sim-dir" ? simDir : outPath) = args[++i];
    } else if (arg == "--repeat-for" && i + 1 < args.size()) {
      repeatFor = ParseRepeatSeconds(args[++i]);
      if (!repeatFor) {
        std::fprintf(err, "orvante-flight: --repeat-for takes a number of seconds, not '%s'\n", args[i].c_str());
        return 2;
      }
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(FlightCommandUsage("orvante-flight").c_str(), out);
      return 0;
    } else if (!arg.empty() && arg[0] != '-' && planPath.empty()) {
      planPath = arg;
    } else {
      std::fprintf(err, "orvante-flight: unexpected argument '%s'\n%s", arg.c_str(),
                   FlightCommandUsage("orvante-flight").c_str());
      return 2;
    }
  }
  if (planPath.empty()) {
    std::fputs(FlightCommandUsage("orvante-flight").c_str(), err);
    return 2;
  }

  Flight flight;
  if (auto made = FlightFromPlanFile(planPath, simDir, flight); !made) {
    std::fprintf(err, "orvante-flight: %s\n", made.error().c_str());
    return 1;
  }
  if (repeatFor) {
    RepeatedFlight repeated;
    if (auto made = RepeatFlight(flight, *repeatFor, repeated); !made) {
      std::fprintf(err, "orvante-flight: %s: %s\n", planPath.c_str(), made.error().c_str());
      return 1;
    }
    std::fprintf(err, "orvante-flight: the plan's flight flown %zu time(s), one every %.0f s\n", repeated.repetitions,
                 repeated.periodSeconds);
    flight = std::move(repeated.flight);
  }
  if (outPath.empty()) {
    std::fputs(FlightFileText(flight).c_str(), out);
    return 0;
  }
  if (auto written = WriteFlightFile(outPath, flight); !written) {
    std::fprintf(err, "orvante-flight: %s\n", written.error().c_str());
    return 1;
  }
  std::fprintf(out, "orvante-flight: %s: %zu samples, %.0f s at %s\n", outPath.c_str(), flight.samples.size(),
               flight.samples.empty() ? 0.0 : flight.samples.back().t, flight.airport.c_str());
  return 0;
}

}  // namespace orvante::flightplan
