// The flight file writer.
#include "flight_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace orvante::flightplan {

std::string FlightFileText(const Flight& flight) {
  std::string text;
  char row[256];
  text += "# Scripted flight at " + flight.airport + ", built by orvante-flight from its plan.\n";
  for (const PhaseSpan& phase : flight.phases) {
    std::snprintf(row, sizeof row, "# t=%.1f plan line %u: ", flight.samples.empty() ? 0.0 : flight.samples[phase.firstSample].t,
                  phase.line);
    text += row + phase.text + "\n";
  }
  text += "t,lat,lon,alt_ft,heading_true,ias_kt,gs_kt,vs_fpm,on_ground,gear,flaps_index\n";
  for (const FlightSample& s : flight.samples) {
    std::snprintf(row, sizeof row, "%.1f,%.8f,%.8f,%.2f,%.2f,%.2f,%.2f,%.1f,%d,%g,%d\n", s.t, s.latitude, s.longitude,
                  s.altitudeFt, s.headingTrue, s.iasKt, s.groundSpeedKt, s.verticalSpeedFpm, s.onGround ? 1 : 0, s.gear,
                  s.flapsIndex);
    text += row;
  }
  return text;
}

std::optional<std::string> WriteFlightFile(const std::string& path, const Flight& flight) {
  std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return "cannot write " + temporary;
    std::string text = FlightFileText(flight);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out.flush()) return "cannot write " + temporary;
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    return "cannot write " + path;
  }
  return std::nullopt;
}

}  // namespace orvante::flightplan
