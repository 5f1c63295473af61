// The flight file writer.
#include "flight_file.h"

#include <cstdio>

#include "platform/files.h"

namespace orvante::flightplan {

std::string FlightFileText(const Flight& flight) {
  std::string text;
  char row[256];
  text += "# Scripted flight at " + flight.airport + ", built by orvante-flight from its plan.\n";
  for (const PhaseSpan& phase : flight.phases) {
    std::snprintf(row, sizeof row,
                  "# t=%.1f plan line %u: ", flight.samples.empty() ? 0.0 : flight.samples[phase.firstSample].t,
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

common::Result<> WriteFlightFile(const std::string& path, const Flight& flight) {
  if (!platform::WriteFileAtomically(path, FlightFileText(flight))) return common::Fail("cannot write " + path);
  return {};
}

}  // namespace orvante::flightplan
