// The gauge interface the simulator hands to add-on modules through their
// exported `Panels` pointer: a table of functions by position (gauges/include/gauges.h).
// The stand-in provides named panel variables, calculator code over the user
// aircraft's values and key-event handlers; every other entry is a function
// that accepts any arguments, does nothing and answers 0.
//
// The entries are plain functions without a context argument, so they serve
// one GaugeTable at a time: the active one.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "aircraft_values.h"
#include "calculator_code.h"
#include "key_event_handlers.h"
#include "named_variables.h"
#include "gauges.h"

namespace sim {

class GaugeTable {
 public:
  using Log = std::function<void(const std::string& line)>;

  GaugeTable() = default;
  ~GaugeTable();  // deactivates itself
  GaugeTable(const GaugeTable&) = delete;
  GaugeTable& operator=(const GaugeTable&) = delete;

  // Makes this the table the entries serve, replacing any other.
  void Activate();
  // While no table is active the entries answer as for unknown input: no
  // variable, value 0, nothing registered.
  void Deactivate();
  bool IsActive() const;

  // The table to store into a module's `Panels`. One table serves the process.
  static PANELS* Panels();

  NamedVariables& Variables() { return variables_; }
  KeyEventHandlers& KeyEvents() { return keyEvents_; }

  void SetAircraft(const AircraftValues& aircraft);
  AircraftValues Aircraft() const;

  // Evaluates calculator code as execute_calculator_code does; code that is
  // not understood gives 0 and is logged the first time it is seen.
  CalculatorResult Evaluate(std::string_view code);

  // Sends a simulator key event to the registered handlers on this thread.
  size_t FireKeyEvent(uint32_t eventId, uint32_t eventData);

  // Where the table reports what modules asked of it that it cannot answer.
  void SetLog(Log log);
  void Report(const std::string& line);

  // Calls so far of entries the stand-in does not provide, by position (all
  // tables share these counts).
  static std::vector<std::pair<int, uint64_t>> UnprovidedCalls();

 private:
  mutable std::mutex mutex_;  // guards aircraft_, log_, reported_
  AircraftValues aircraft_;
  Log log_;
  static constexpr size_t kMaxReports = 1000;
  std::set<std::string> reported_;  // unknown expressions and identifiers already logged
  NamedVariables variables_;
  KeyEventHandlers keyEvents_;
};

}  // namespace sim
