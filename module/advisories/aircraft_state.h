// AircraftState: the aircraft sample of one frame, taken on the simulator's
// thread through the gauge interface, plus the fields the advisory engine
// derives from it each cycle (height above the runway, flap position,
// distance to the nearest runway). The engine declares what it works on; the
// module core's sampling fills it.
//
// The fields from latitudeDeg to gearHandle form the sample block, kept as a
// base of its own so that the previous-cycle copy is one plain assignment of
// that block and can never miss a field. The state is trivially copyable: it
// crosses from the simulator's thread to the worker as a whole copy.
#pragma once
#include <cstdint>
#include <type_traits>

namespace orvante {

struct AircraftSampleBlock {
  double latitudeDeg = 0;          // degrees; moved to the predicted aircraft point each cycle
  double longitudeDeg = 0;         // degrees; idem
  double altitudeFt = 0;           // feet above mean sea level; extrapolated each cycle
  double indicatedAltitudeFt = 0;  // feet; extrapolated together with altitudeFt
  double headingTrueDeg = 0;       // degrees true
  double heightAboveRunway = 0;    // feet above the nearest runway end's elevation (derived)
  int32_t visualModelRadiusM = 0;  // metres
  int32_t indicatedAirspeedKt = 0;
  int32_t groundSpeedKt = 0;
  int32_t verticalSpeedFpm = 0;
  uint32_t flapPosition = 0;           // flap angle of the handle detent, or the detent (derived)
  int32_t onGround = 0;                // 0 or 1
  uint32_t nearestRunwayDistance = 0;  // whole nautical miles to the nearest runway (derived)
  uint8_t gearHandle = 0;              // 0 up, 100 down
};

struct AircraftState : AircraftSampleBlock {
  int32_t flapsHandleIndex = 0;     // handle detent
  double seaLevelPressureInHg = 0;  // inches of mercury
  double kohlsmanInHg = 0;          // altimeter setting, inches of mercury
};

static_assert(std::is_trivially_copyable_v<AircraftState>, "the sample is copied whole between threads");

// Copies the sample block (latitudeDeg to gearHandle) of one state into another,
// leaving the flaps handle and the pressures of the target as they are.
inline void CopySampleBlock(const AircraftState& from, AircraftState& to) {
  static_cast<AircraftSampleBlock&>(to) = static_cast<const AircraftSampleBlock&>(from);
}

// Whether a sample block is all zero at the position: no sample taken yet.
inline bool HasNoPosition(const AircraftSampleBlock& s) {
  return s.latitudeDeg == 0 && s.longitudeDeg == 0 && s.altitudeFt == 0;
}

}  // namespace orvante
