// Calculator code over the aircraft values: each variable the module samples,
// unit conversions, and code the stand-in does not understand.
#include "calculator_code.h"

#include <gtest/gtest.h>

#include <map>

namespace sim {
namespace {

AircraftValues Aircraft() {
  AircraftValues a;
  a.latitudeDeg = 47.4647;
  a.longitudeDeg = -122.3088;
  a.altitudeFt = 433.0;
  a.indicatedAltitudeFt = 440.0;
  a.headingTrueDeg = 180.0;
  a.visualModelRadiusM = 33.0;
  a.indicatedAirspeedKt = 142.7;
  a.groundSpeedKt = 138.2;
  a.verticalSpeedFpm = -700.0;
  a.onGround = false;
  a.gearHandle = 1.0;
  a.flapsHandleIndex = 3;
  a.seaLevelPressureInHg = 30.12;
  a.kohlsmanInHg = 29.92;
  return a;
}

double Evaluate(const char* code) {
  CalculatorResult result = EvaluateCalculatorCode(code, Aircraft(), nullptr);
  EXPECT_TRUE(result.understood) << code << ": " << result.problem;
  return result.value;
}

TEST(CalculatorCode, AnswersEverySampledVariableInItsOwnUnitExactly) {
  EXPECT_EQ(Evaluate("(A:PLANE LATITUDE, Degrees)"), 47.4647);
  EXPECT_EQ(Evaluate("(A:PLANE LONGITUDE, Degrees)"), -122.3088);
  EXPECT_EQ(Evaluate("(A:PLANE ALTITUDE, Feet)"), 433.0);
  EXPECT_EQ(Evaluate("(A:INDICATED ALTITUDE, Feet)"), 440.0);
  EXPECT_EQ(Evaluate("(A:PLANE HEADING DEGREES TRUE, Degrees)"), 180.0);
  EXPECT_EQ(Evaluate("(A:VISUAL MODEL RADIUS, Meters)"), 33.0);
  EXPECT_EQ(Evaluate("(A:AIRSPEED INDICATED, Knots)"), 142.7);
  EXPECT_EQ(Evaluate("(A:GPS GROUND SPEED, Knots)"), 138.2);
  EXPECT_EQ(Evaluate("(A:VERTICAL SPEED, Feet per minute)"), -700.0);
  EXPECT_EQ(Evaluate("(A:SIM ON GROUND, Bool)"), 0.0);
  EXPECT_EQ(Evaluate("(A:GEAR HANDLE POSITION, Bool)"), 1.0);
  EXPECT_EQ(Evaluate("(A:FLAPS HANDLE INDEX, Number)"), 3.0);
  EXPECT_EQ(Evaluate("(A:SEA LEVEL PRESSURE, inHg)"), 30.12);
  EXPECT_EQ(Evaluate("(A:KOHLSMAN SETTING HG, inHg)"), 29.92);
  EXPECT_EQ(Evaluate("  ( a:vertical   speed ,FEET PER MINUTE )  "), -700.0) << "letter case and blanks";
}

TEST(CalculatorCode, ConvertsWithinAQuantity) {
  EXPECT_NEAR(Evaluate("(A:PLANE ALTITUDE, Meters)"), 433.0 * 0.3048, 1e-9);
  EXPECT_NEAR(Evaluate("(A:PLANE HEADING DEGREES TRUE, Radians)"), 3.141592653589793, 1e-12);
  EXPECT_NEAR(Evaluate("(A:VERTICAL SPEED, Knots)"), -700.0 * 0.3048 / 60.0 / (1852.0 / 3600.0), 1e-9);
  EXPECT_NEAR(Evaluate("(A:KOHLSMAN SETTING HG, Millibars)"), 1013.21, 0.01);
  EXPECT_NEAR(Evaluate("(A:GEAR HANDLE POSITION, Percent)"), 100.0, 1e-9);
}

TEST(CalculatorCode, BoolGivesZeroOrOne) {
  AircraftValues a = Aircraft();
  a.gearHandle = 0.4;  // in transit counts as down
  EXPECT_EQ(EvaluateCalculatorCode("(A:GEAR HANDLE POSITION, Bool)", a, nullptr).value, 1.0);
  a.gearHandle = 0.0;
  EXPECT_EQ(EvaluateCalculatorCode("(A:GEAR HANDLE POSITION, Bool)", a, nullptr).value, 0.0);
  a.onGround = true;
  EXPECT_EQ(EvaluateCalculatorCode("(A:SIM ON GROUND, Bool)", a, nullptr).value, 1.0);
  EXPECT_EQ(EvaluateCalculatorCode("(A:SIM ON GROUND, Number)", a, nullptr).value, 1.0);
}

TEST(CalculatorCode, ReadsNamedVariables) {
  std::map<std::string, double> panel = {{"orva_volume_adjust", 0.75}};
  NamedValueLookup lookup = [&](std::string_view name) -> std::optional<double> {
    auto it = panel.find(std::string(name));
    if (it == panel.end()) return std::nullopt;
    return it->second;
  };
  CalculatorResult result = EvaluateCalculatorCode("(L:ORVA_Volume_Adjust, Number)", Aircraft(), lookup);
  EXPECT_TRUE(result.understood);
  EXPECT_EQ(result.value, 0.75);
  EXPECT_EQ(EvaluateCalculatorCode("(L:ORVA_Volume_Adjust, Bool)", Aircraft(), lookup).value, 1.0);
  result = EvaluateCalculatorCode("(L:NEVER_SET, Number)", Aircraft(), lookup);
  EXPECT_TRUE(result.understood) << "a panel variable nobody set reads 0";
  EXPECT_EQ(result.value, 0.0);
}

TEST(CalculatorCode, CodeNotUnderstoodGivesZeroAndSaysWhy) {
  struct Case {
    const char* code;
    const char* problem;
  } cases[] = {
      {"", "not a single variable reference"},
      {"1 2 +", "not a single variable reference"},
      {"(A:PLANE ALTITUDE, Feet) 2 *", "not a single variable reference"},
      {"(A:NO SUCH VARIABLE, Number)", "no aircraft variable \"NO SUCH VARIABLE\""},
      {"(A:PLANE ALTITUDE, Furlongs)", "unknown unit \"furlongs\""},
      {"(A:PLANE ALTITUDE, Knots)", "\"PLANE ALTITUDE\" cannot be given in \"knots\""},
      {"(E:ZULU TIME, Seconds)", "unknown unit \"seconds\""},
      {"(E:ZULU TIME, Number)", "variables of kind \"E:\" are not provided"},
  };
  for (const Case& c : cases) {
    CalculatorResult result = EvaluateCalculatorCode(c.code, Aircraft(), nullptr);
    EXPECT_FALSE(result.understood) << c.code;
    EXPECT_EQ(result.value, 0.0) << c.code;
    EXPECT_NE(result.problem.find(c.problem), std::string::npos) << c.code << ": " << result.problem;
  }
}

}  // namespace
}  // namespace sim
