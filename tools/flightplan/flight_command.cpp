// The plan-to-flight command.
#include "flight_command.h"

#include <fstream>
#include <sstream>

#include "airport_runways.h"
#include "flight_builder.h"
#include "flight_file.h"
#include "flight_plan.h"

namespace orvante::flightplan {

std::string FlightCommandUsage(const std::string& name) {
  return "usage: " + name + " PLAN [--sim-dir DIR] [--out FLIGHT.csv]\n"
         "  Builds the flight a plan describes at a real airport of DIR's runway table\n"
         "  and writes it as a flight file (to standard output without --out).\n";
}

std::optional<std::string> FlightFromPlanFile(const std::string& planPath, const std::string& simDir, Flight& flight) {
  std::ifstream in(planPath, std::ios::binary);
  if (!in) return "cannot read the plan " + planPath;
  std::ostringstream text;
  text << in.rdbuf();
  FlightPlan plan;
  if (auto error = ParseFlightPlan(text.str(), plan)) return planPath + ": " + *error;
  RunwayList runways;
  if (auto error = LoadAirportRunways(simDir, plan.airport, runways)) return error;
  if (auto error = BuildFlight(plan, runways, flight)) return planPath + ": " + *error;
  return std::nullopt;
}

int RunFlightCommand(const std::vector<std::string>& args, const std::string& defaultSimDir, std::FILE* out,
                     std::FILE* err) {
  std::string planPath, simDir = defaultSimDir, outPath;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if ((arg == "--sim-dir" || arg == "--out") && i + 1 < args.size()) {
      (arg == "--sim-dir" ? simDir : outPath) = args[++i];
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
  if (auto error = FlightFromPlanFile(planPath, simDir, flight)) {
    std::fprintf(err, "orvante-flight: %s\n", error->c_str());
    return 1;
  }
  if (outPath.empty()) {
    std::fputs(FlightFileText(flight).c_str(), out);
    return 0;
  }
  if (auto error = WriteFlightFile(outPath, flight)) {
    std::fprintf(err, "orvante-flight: %s\n", error->c_str());
    return 1;
  }
  std::fprintf(out, "orvante-flight: %s: %zu samples, %.0f s at %s\n", outPath.c_str(), flight.samples.size(),
               flight.samples.empty() ? 0.0 : flight.samples.back().t, flight.airport.c_str());
  return 0;
}

}  // namespace orvante::flightplan
