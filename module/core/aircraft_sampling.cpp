// Sampling the user's aircraft: each field comes from one "(A:NAME, Unit)"
// expression; float fields through the calculator's float output, whole-number
// fields through its integer output, and the on-ground and gear-handle values
// through the float output with the conversions below.
#include "core/aircraft_sampling.h"

#include <mutex>

#include "core/advisory_unit.h"

namespace orvante {
namespace {

double EvaluateFloat(execute_calculator_code_fn evaluate, const char* code) {
  FLOAT64 value = 0;
  evaluate(code, &value, nullptr, nullptr);
  return value;
}

// Truncation toward zero that stays defined for values a simulator should
// never send (not a number, out of range).
int32_t Truncate(double value) {
  if (!(value == value)) return 0;
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int32_t>(value);
}

int32_t EvaluateInteger(execute_calculator_code_fn evaluate, const char* code) {
  SINT32 value = 0;
  evaluate(code, nullptr, &value, nullptr);
  return value;
}

}  // namespace

void SampleAircraft(const PANELS* panels, AircraftState& s) {
  if (panels == nullptr) return;
  auto evaluate = GaugeFunction<execute_calculator_code_fn>(panels, kExecuteCalculatorCode);
  if (evaluate == nullptr) return;
  s.latitudeDeg = EvaluateFloat(evaluate, "(A:PLANE LATITUDE, Degrees)");
  s.longitudeDeg = EvaluateFloat(evaluate, "(A:PLANE LONGITUDE, Degrees)");
  s.altitudeFt = EvaluateFloat(evaluate, "(A:PLANE ALTITUDE, Feet)");
  s.indicatedAltitudeFt = EvaluateFloat(evaluate, "(A:INDICATED ALTITUDE, Feet)");
  s.headingTrueDeg = EvaluateFloat(evaluate, "(A:PLANE HEADING DEGREES TRUE, Degrees)");
  s.visualModelRadiusM = EvaluateInteger(evaluate, "(A:VISUAL MODEL RADIUS, Meters)");
  s.indicatedAirspeedKt = EvaluateInteger(evaluate, "(A:AIRSPEED INDICATED, Knots)");
  s.groundSpeedKt = EvaluateInteger(evaluate, "(A:GPS GROUND SPEED, Knots)");
  s.verticalSpeedFpm = EvaluateInteger(evaluate, "(A:VERTICAL SPEED, Feet per minute)");
  s.onGround = Truncate(EvaluateFloat(evaluate, "(A:SIM ON GROUND, Bool)"));
  s.gearHandle = static_cast<uint8_t>(Truncate(EvaluateFloat(evaluate, "(A:GEAR HANDLE POSITION, Bool)") * 100.0));
  s.flapsHandleIndex = EvaluateInteger(evaluate, "(A:FLAPS HANDLE INDEX, Number)");
  s.seaLevelPressureInHg = EvaluateFloat(evaluate, "(A:SEA LEVEL PRESSURE, inHg)");
  s.kohlsmanInHg = EvaluateFloat(evaluate, "(A:KOHLSMAN SETTING HG, inHg)");
}

void SampleAircraft(AdvisoryUnit& unit, const PANELS* panels) {
  AircraftState fresh;
  {
    std::lock_guard<std::mutex> lock(unit.frame.lock);
    fresh = unit.frame.latest;  // derived fields carry over until the next cycle
  }
  SampleAircraft(panels, fresh);
  std::lock_guard<std::mutex> lock(unit.frame.lock);
  unit.frame.latest = fresh;
}

}  // namespace orvante
