// The simulator's gauge interface, the contract between the simulator and an
// add-on module, declared once for the module core and the stand-in
// simulator: the table of functions that the simulator stores into an add-on
// module's exported `Panels` pointer before it calls the module's start
// entry. Entries are addressed by position, as the simulator's own gauge
// header lays them out; the stand-in fills the entries modules use and makes
// every other entry a harmless function that returns 0.
#pragma once
#include <cstdint>

extern "C" {

using ID = int64_t;  // identifier of a named panel variable
using FLOAT64 = double;
using SINT32 = int32_t;
using PCSTRINGZ = const char*;
using PSTRINGZ = char*;

// A key-event handler: event identifier, event data, user data.
using GAUGE_KEY_EVENT_HANDLER = void (*)(uint32_t eventId, uint32_t eventData, void* userData);

using register_named_variable_fn = ID (*)(PCSTRINGZ name);
using get_named_variable_value_fn = FLOAT64 (*)(ID id);
using set_named_variable_value_fn = void (*)(ID id, FLOAT64 value);
using execute_calculator_code_fn = int32_t (*)(PCSTRINGZ code, FLOAT64* floatOut, SINT32* intOut, PCSTRINGZ* stringOut);
using register_key_event_handler_fn = void (*)(GAUGE_KEY_EVENT_HANDLER handler, void* userData);
using unregister_key_event_handler_fn = void (*)(GAUGE_KEY_EVENT_HANDLER handler, void* userData);

// Positions of the entries the module uses (counted from 0).
enum GaugeEntry : int {
  kRegisterNamedVariable = 50,
  kGetNamedVariableValue = 51,
  kSetNamedVariableValue = 53,
  kExecuteCalculatorCode = 67,
  kRegisterKeyEventHandler = 78,
  kUnregisterKeyEventHandler = 79,
  kGaugeEntryCount = 96,
};

// The table behind `Panels`: a header, then one function pointer per entry.
struct PANELS {
  uint32_t reserved0;
  uint32_t reserved1;
  void* entries[kGaugeEntryCount];
};

}  // extern "C"

// Typed access to one entry of the table.
template <typename Fn>
inline Fn GaugeFunction(const PANELS* panels, GaugeEntry entry) {
  return reinterpret_cast<Fn>(panels->entries[entry]);
}
