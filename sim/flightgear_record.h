// FlightGear's side of the live link: the records of our generic-protocol
// output (FlightGear/Protocol/orvante.xml in the simulator folder), one per
// UDP datagram, and the aircraft values each one gives the unit.
//
// A record is one line of tab-separated fields:
//
//   #  field                  FlightGear property                                  becomes
//   0  ORV1                   (the protocol's name and version)
//   1  elapsed seconds        /sim/time/elapsed-sec                                the flight's time
//   2  latitude, degrees      /position/latitude-deg                               PLANE LATITUDE
//   3  longitude, degrees     /position/longitude-deg                              PLANE LONGITUDE
//   4  altitude, feet         /position/altitude-ft                                PLANE ALTITUDE
//   5  indicated altitude     /instrumentation/altimeter/indicated-altitude-ft     INDICATED ALTITUDE
//   6  height above ground    /position/altitude-agl-ft                            PLANE ALT ABOVE GROUND
//   7  true heading, degrees  /orientation/heading-deg                             PLANE HEADING DEGREES TRUE
//   8  indicated airspeed, kt /instrumentation/airspeed-indicator/indicated-speed-kt  AIRSPEED INDICATED
//   9  ground speed, kt       /velocities/groundspeed-kt                           GPS GROUND SPEED
//   10 vertical speed, ft/s   /velocities/vertical-speed-fps                       VERTICAL SPEED (x 60, ft/min)
//   11-13 weight on wheels    /gear/gear[0..2]/wow                                 SIM ON GROUND (any of the three)
//   14 gear position, 0 to 1  /gear/gear[0]/position-norm                          GEAR HANDLE POSITION
//   15 flaps handle, 0 to 1   /controls/flight/flaps                               FLAPS HANDLE INDEX (see below)
//   16 sea-level pressure     /environment/pressure-sea-level-inhg                 SEA LEVEL PRESSURE
//   17 altimeter setting      /instrumentation/altimeter/setting-inhg              KOHLSMAN SETTING HG
//   18 simulation speed-up    /sim/speed-up                                        (reported to the user)
//   19 aircraft               /sim/aircraft                                        the model the profiles link
//
// Gear: the nose or first gear's position stands for the handle; FlightGear's
// handle property (/controls/gear/gear-down) reads up on aircraft with fixed
// gear such as the c172p, whose gear is always down.
//
// Before FlightGear has placed the aircraft its records carry an altitude of
// -9999 ft; such a record reads, and `Placed` tells it apart.
//
// Flaps: FlightGear gives the handle as a fraction of its travel, with the
// detents equally spaced along it (the c172p's 0, 1/3, 2/3 and 1 for 0, 10,
// 20 and 30 degrees). The index is the detent nearest the fraction, counted
// over the detents the aircraft's aircraft.cfg lists; with no list the
// handle reads as detent 0.
#pragma once
#include <string>
#include <string_view>

#include "aircraft_values.h"
#include "common/result.h"

namespace sim {

inline constexpr const char* kFlightGearRecordTag = "ORV1";
inline constexpr int kFlightGearRecordFields = 20;

struct FlightGearRecord {
  double elapsedSeconds = 0;
  double latitudeDeg = 0, longitudeDeg = 0;
  double altitudeFt = 0, indicatedAltitudeFt = 0, aboveGroundFt = 0;
  double headingDeg = 0;
  double indicatedAirspeedKt = 0, groundSpeedKt = 0;
  double verticalSpeedFps = 0;
  bool weightOnWheels[3] = {false, false, false};
  double gearPosition = 1;  // 0 up to 1 down
  double flapsHandle = 0;   // 0 up to 1 fully down
  double seaLevelPressureInHg = 29.92, altimeterSettingInHg = 29.92;
  double speedUp = 1;
  std::string aircraft;
};

// Whether FlightGear had placed the aircraft when it wrote the record.
bool Placed(const FlightGearRecord& record);

// Reads one record (a trailing line end is allowed) into `record`. A failure
// says why the text is no usable record and leaves `record` alone.
common::Result<> ParseFlightGearRecord(std::string_view text, FlightGearRecord& record);

// Whether a FlightGear aircraft name can name a folder of ours: letters,
// digits, '.', '_' and '-', at most 64, not starting with '.'.
bool UsableAircraftName(std::string_view name);

// The flaps detent of a handle fraction, among `detents` detents (0 when
// there are fewer than two).
int FlapsDetent(double handle, size_t detents);

// The aircraft as the unit samples it.
AircraftValues ToAircraftValues(const FlightGearRecord& record, size_t flapDetents);

// Text of a SimConnect text line made safe for FlightGear's input record:
// control characters and tabs become blanks, the length is capped.
std::string FlightGearScreenText(std::string_view text);

}  // namespace sim
