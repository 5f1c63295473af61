// Evaluation of single-variable calculator code against the aircraft values.
#include "calculator_code.h"

#include <cctype>
#include <cmath>
#include <numbers>

namespace sim {
namespace {

enum class Quantity { Angle, Length, Speed, Pressure, Scalar };

struct Unit {
  const char* name;  // lower case, single blanks
  Quantity quantity;
  double factor;  // one of this unit in the quantity's base unit
  bool boolean = false;
};

// Base units: degrees, metres, metres per second, hectopascals, plain numbers.
constexpr Unit kUnits[] = {
    {"degrees", Quantity::Angle, 1.0},
    {"degree", Quantity::Angle, 1.0},
    {"radians", Quantity::Angle, 180.0 / std::numbers::pi},
    {"radian", Quantity::Angle, 180.0 / std::numbers::pi},
    {"feet", Quantity::Length, 0.3048},
    {"foot", Quantity::Length, 0.3048},
    {"ft", Quantity::Length, 0.3048},
    {"meters", Quantity::Length, 1.0},
    {"meter", Quantity::Length, 1.0},
    {"metres", Quantity::Length, 1.0},
    {"metre", Quantity::Length, 1.0},
    {"m", Quantity::Length, 1.0},
    {"nautical miles", Quantity::Length, 1852.0},
    {"nmiles", Quantity::Length, 1852.0},
    {"knots", Quantity::Speed, 1852.0 / 3600.0},
    {"knot", Quantity::Speed, 1852.0 / 3600.0},
    {"kts", Quantity::Speed, 1852.0 / 3600.0},
    {"feet per minute", Quantity::Speed, 0.3048 / 60.0},
    {"feet/minute", Quantity::Speed, 0.3048 / 60.0},
    {"ft/min", Quantity::Speed, 0.3048 / 60.0},
    {"feet per second", Quantity::Speed, 0.3048},
    {"meters per second", Quantity::Speed, 1.0},
    {"m/s", Quantity::Speed, 1.0},
    {"kilometers per hour", Quantity::Speed, 1.0 / 3.6},
    {"inhg", Quantity::Pressure, 33.8638866667},
    {"inches of mercury", Quantity::Pressure, 33.8638866667},
    {"millibars", Quantity::Pressure, 1.0},
    {"millibar", Quantity::Pressure, 1.0},
    {"mbar", Quantity::Pressure, 1.0},
    {"hectopascals", Quantity::Pressure, 1.0},
    {"hpa", Quantity::Pressure, 1.0},
    {"number", Quantity::Scalar, 1.0},
    {"enum", Quantity::Scalar, 1.0},
    {"percent over 100", Quantity::Scalar, 1.0},
    {"percent", Quantity::Scalar, 0.01},
    {"bool", Quantity::Scalar, 1.0, true},
    {"boolean", Quantity::Scalar, 1.0, true},
};

const Unit* FindUnit(std::string_view name) {
  for (const Unit& unit : kUnits)
    if (name == unit.name) return &unit;
  return nullptr;
}

// An aircraft variable: where its value lives and the unit it is kept in.
struct Variable {
  const char* name;  // upper case, single blanks
  const char* nativeUnit;
  double (*read)(const AircraftValues&);
};

constexpr Variable kVariables[] = {
    {"PLANE LATITUDE", "degrees", [](const AircraftValues& a) { return a.latitudeDeg; }},
    {"PLANE LONGITUDE", "degrees", [](const AircraftValues& a) { return a.longitudeDeg; }},
    {"PLANE ALTITUDE", "feet", [](const AircraftValues& a) { return a.altitudeFt; }},
    {"INDICATED ALTITUDE", "feet", [](const AircraftValues& a) { return a.indicatedAltitudeFt; }},
    {"PLANE HEADING DEGREES TRUE", "degrees", [](const AircraftValues& a) { return a.headingTrueDeg; }},
    {"VISUAL MODEL RADIUS", "meters", [](const AircraftValues& a) { return a.visualModelRadiusM; }},
    {"AIRSPEED INDICATED", "knots", [](const AircraftValues& a) { return a.indicatedAirspeedKt; }},
    {"GPS GROUND SPEED", "knots", [](const AircraftValues& a) { return a.groundSpeedKt; }},
    {"GROUND VELOCITY", "knots", [](const AircraftValues& a) { return a.groundSpeedKt; }},
    {"VERTICAL SPEED", "feet per minute", [](const AircraftValues& a) { return a.verticalSpeedFpm; }},
    {"SIM ON GROUND", "bool", [](const AircraftValues& a) { return a.onGround ? 1.0 : 0.0; }},
    {"GEAR HANDLE POSITION", "percent over 100", [](const AircraftValues& a) { return a.gearHandle; }},
    {"FLAPS HANDLE INDEX", "number", [](const AircraftValues& a) { return a.flapsHandleIndex; }},
    {"SEA LEVEL PRESSURE", "inhg", [](const AircraftValues& a) { return a.seaLevelPressureInHg; }},
    {"KOHLSMAN SETTING HG", "inhg", [](const AircraftValues& a) { return a.kohlsmanInHg; }},
    {"PLANE ALT ABOVE GROUND", "feet", [](const AircraftValues& a) { return a.altitudeAboveGroundFt; }},
};

// Trims, folds runs of blanks into one and changes letter case.
std::string Normalise(std::string_view text, bool upper) {
  std::string out;
  for (char c : text) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!out.empty() && out.back() != ' ') out += ' ';
      continue;
    }
    out += static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c))
                                   : std::tolower(static_cast<unsigned char>(c)));
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

CalculatorResult NotUnderstood(std::string problem) {
  CalculatorResult result;
  result.problem = std::move(problem);
  return result;
}

CalculatorResult Understood(double value) {
  CalculatorResult result;
  result.understood = true;
  result.value = value;
  return result;
}

// Expresses a value kept in one unit in another of the same quantity.
std::optional<double> Convert(double value, const Unit& from, const Unit& to) {
  if (from.quantity != to.quantity) return std::nullopt;
  if (to.boolean) return value != 0.0 ? 1.0 : 0.0;
  if (from.factor == to.factor) return value;  // exact when nothing changes
  return value * from.factor / to.factor;
}

}  // namespace

CalculatorResult EvaluateCalculatorCode(std::string_view code, const AircraftValues& aircraft,
                                        const NamedValueLookup& namedValue) {
  std::string text = Normalise(code, false);
  if (text.size() < 2 || text.front() != '(' || text.back() != ')')
    return NotUnderstood("not a single variable reference \"(A:NAME, Unit)\"");
  std::string_view inside = std::string_view(text).substr(1, text.size() - 2);
  size_t colon = inside.find(':');
  size_t comma = inside.rfind(',');
  if (colon == std::string_view::npos || comma == std::string_view::npos || comma < colon)
    return NotUnderstood("not a single variable reference \"(A:NAME, Unit)\"");
  std::string kind = Normalise(inside.substr(0, colon), true);
  std::string unitName = Normalise(inside.substr(comma + 1), false);
  const Unit* unit = FindUnit(unitName);
  if (unit == nullptr) return NotUnderstood("unknown unit \"" + unitName + "\"");

  if (kind == "L") {
    // Panel variables keep plain numbers; only "Bool" changes what is read.
    std::string name(inside.substr(colon + 1, comma - colon - 1));
    while (!name.empty() && name.front() == ' ') name.erase(0, 1);
    while (!name.empty() && name.back() == ' ') name.pop_back();
    std::optional<double> value = namedValue ? namedValue(name) : std::nullopt;
    double v = value.value_or(0.0);
    return Understood(unit->boolean ? (v != 0.0 ? 1.0 : 0.0) : v);
  }
  if (kind != "A") return NotUnderstood("variables of kind \"" + kind + ":\" are not provided");

  std::string name = Normalise(inside.substr(colon + 1, comma - colon - 1), true);
  for (const Variable& variable : kVariables) {
    if (name != variable.name) continue;
    const Unit* native = FindUnit(variable.nativeUnit);
    std::optional<double> value = Convert(variable.read(aircraft), *native, *unit);
    if (!value) return NotUnderstood("\"" + name + "\" cannot be given in \"" + unitName + "\"");
    return Understood(*value);
  }
  return NotUnderstood("no aircraft variable \"" + name + "\"");
}

}  // namespace sim
