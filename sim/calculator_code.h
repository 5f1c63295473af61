// Calculator code, the simulator's small expression language, as far as the
// stand-in answers it: one variable reference "(A:NAME, Unit)" for a value of
// the user aircraft, or "(L:NAME, Unit)" for a named panel variable. Units
// convert within their kind (feet and metres, knots and feet per minute,
// inHg and millibars, degrees and radians); "Bool" gives 0 or 1.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "aircraft_values.h"

namespace sim {

struct CalculatorResult {
  bool understood = false;
  double value = 0.0;   // 0 when not understood
  std::string problem;  // why not, for the simulator's log
};

// Reads a named variable by name; nothing when it does not exist.
using NamedValueLookup = std::function<std::optional<double>(std::string_view name)>;

CalculatorResult EvaluateCalculatorCode(std::string_view code, const AircraftValues& aircraft,
                                        const NamedValueLookup& namedValue);

}  // namespace sim
