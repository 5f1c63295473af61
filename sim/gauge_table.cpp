// The table behind `Panels` and the functions in its entries.
#include "gauge_table.h"

#include <array>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <limits>

namespace sim {
namespace {

std::atomic<GaugeTable*> g_active{nullptr};
std::array<std::atomic<uint64_t>, kGaugeEntryCount> g_unprovidedCalls{};

// Numbers of calculator code and panel variables reach modules as int32 too:
// truncated toward zero, held to the int32 range (NaN gives 0).
SINT32 ToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<SINT32>::max())) return std::numeric_limits<SINT32>::max();
  if (value <= static_cast<double>(std::numeric_limits<SINT32>::min())) return std::numeric_limits<SINT32>::min();
  return static_cast<SINT32>(value);
}

// --- The provided entries. ---

ID RegisterNamedVariable(PCSTRINGZ name) {
  GaugeTable* table = g_active.load();
  if (table == nullptr || name == nullptr) return NamedVariables::kNoVariable;
  return table->Variables().Register(name);
}

FLOAT64 GetNamedVariableValue(ID id) {
  GaugeTable* table = g_active.load();
  if (table == nullptr) return 0.0;
  std::optional<double> value = table->Variables().Get(id);
  if (!value)
    table->Report("get_named_variable_value: no variable with identifier " + std::to_string(id) + " (answered 0)");
  return value.value_or(0.0);
}

void SetNamedVariableValue(ID id, FLOAT64 value) {
  GaugeTable* table = g_active.load();
  if (table == nullptr) return;
  if (!table->Variables().Set(id, value))
    table->Report("set_named_variable_value: no variable with identifier " + std::to_string(id) + " (ignored)");
}

int32_t ExecuteCalculatorCode(PCSTRINGZ code, FLOAT64* floatOut, SINT32* intOut, PCSTRINGZ* stringOut) {
  GaugeTable* table = g_active.load();
  CalculatorResult result;
  if (table != nullptr && code != nullptr) result = table->Evaluate(code);
  if (floatOut) *floatOut = result.value;
  if (intOut) *intOut = ToInt32(result.value);
  if (stringOut) {
    // The text std::to_string gives, in storage that needs no destructor
    // (thread-local objects with one are unsafe on Windows, see the virtual
    // clock); "%f" of the largest double is 317 characters.
    thread_local char text[330];
    std::snprintf(text, sizeof text, "%f", result.value);
    *stringOut = text;
  }
  return result.understood ? 1 : 0;
}

void RegisterKeyEventHandler(GAUGE_KEY_EVENT_HANDLER handler, void* userData) {
  if (GaugeTable* table = g_active.load()) table->KeyEvents().Register(handler, userData);
}

void UnregisterKeyEventHandler(GAUGE_KEY_EVENT_HANDLER handler, void* userData) {
  GaugeTable* table = g_active.load();
  if (table && !table->KeyEvents().Unregister(handler, userData))
    table->Report("unregister_key_event_handler: that handler was not registered");
}

// --- Every other entry. ---

void NoteUnprovidedCall(int entry) {
  if (g_unprovidedCalls[entry].fetch_add(1) != 0) return;
  if (GaugeTable* table = g_active.load())
    table->Report("gauge entry " + std::to_string(entry) +
                  " was called; the stand-in does not provide it and answered 0");
}

// An entry the stand-in does not provide may be called with any arguments and
// its result read as any scalar type. On x86-64 the caller removes its own
// arguments, and a record of one integer and one double comes back in both RAX
// and XMM0, so an integer, pointer, bool or floating-point result reads as 0.
struct ZeroResult {
  int64_t integer;
  double floating;
};
#if !defined(__x86_64__)
#error "the unprovided gauge entries rely on the x86-64 calling convention; give this architecture its own"
#endif

template <int Entry>
ZeroResult UnprovidedEntry() {
  NoteUnprovidedCall(Entry);
  return {0, 0.0};
}

template <typename Fn>
void* EntryAddress(Fn function) {
  return reinterpret_cast<void*>(function);
}

template <int... Entries>
PANELS MakeTable(std::integer_sequence<int, Entries...>) {
  PANELS table{};
  ((table.entries[Entries] = EntryAddress(&UnprovidedEntry<Entries>)), ...);
  table.entries[kRegisterNamedVariable] = EntryAddress<register_named_variable_fn>(&RegisterNamedVariable);
  table.entries[kGetNamedVariableValue] = EntryAddress<get_named_variable_value_fn>(&GetNamedVariableValue);
  table.entries[kSetNamedVariableValue] = EntryAddress<set_named_variable_value_fn>(&SetNamedVariableValue);
  table.entries[kExecuteCalculatorCode] = EntryAddress<execute_calculator_code_fn>(&ExecuteCalculatorCode);
  table.entries[kRegisterKeyEventHandler] = EntryAddress<register_key_event_handler_fn>(&RegisterKeyEventHandler);
  table.entries[kUnregisterKeyEventHandler] = EntryAddress<unregister_key_event_handler_fn>(&UnregisterKeyEventHandler);
  return table;
}

PANELS g_panels = MakeTable(std::make_integer_sequence<int, kGaugeEntryCount>{});

}  // namespace

GaugeTable::~GaugeTable() { Deactivate(); }

void GaugeTable::Activate() { g_active.store(this); }

void GaugeTable::Deactivate() {
  GaugeTable* self = this;
  g_active.compare_exchange_strong(self, nullptr);
}

bool GaugeTable::IsActive() const { return g_active.load() == this; }

PANELS* GaugeTable::Panels() { return &g_panels; }

void GaugeTable::SetAircraft(const AircraftValues& aircraft) {
  std::lock_guard<std::mutex> lock(mutex_);
  aircraft_ = aircraft;
}

AircraftValues GaugeTable::Aircraft() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return aircraft_;
}

CalculatorResult GaugeTable::Evaluate(std::string_view code) {
  CalculatorResult result =
      EvaluateCalculatorCode(code, Aircraft(), [this](std::string_view name) { return variables_.GetByName(name); });
  if (!result.understood)
    Report("execute_calculator_code: \"" + std::string(code) + "\": " + result.problem + " (evaluates to 0)");
  return result;
}

size_t GaugeTable::FireKeyEvent(uint32_t eventId, uint32_t eventData) { return keyEvents_.Fire(eventId, eventData); }

void GaugeTable::SetLog(Log log) {
  std::lock_guard<std::mutex> lock(mutex_);
  log_ = std::move(log);
}

void GaugeTable::Report(const std::string& line) {
  Log log;
  bool lastOne = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (reported_.count(line)) return;  // once is enough: modules ask every frame
    if (reported_.size() > kMaxReports) return;
    reported_.insert(line);
    lastOne = reported_.size() > kMaxReports;
    log = log_;
  }
  if (!log) return;
  log(lastOne ? std::string("further reports of the gauge interface are suppressed") : line);
}

std::vector<std::pair<int, uint64_t>> GaugeTable::UnprovidedCalls() {
  std::vector<std::pair<int, uint64_t>> calls;
  for (int entry = 0; entry < kGaugeEntryCount; ++entry)
    if (uint64_t n = g_unprovidedCalls[entry].load()) calls.emplace_back(entry, n);
  return calls;
}

}  // namespace sim
