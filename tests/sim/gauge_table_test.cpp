// The gauge table as a module sees it: functions called through the entries of
// `Panels` by position.
#include "gauge_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace sim {
namespace {

class GaugeTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    table_.SetLog([this](const std::string& line) { log_.push_back(line); });
    table_.Activate();
  }
  template <typename Fn>
  Fn Entry(GaugeEntry entry) {
    return GaugeFunction<Fn>(GaugeTable::Panels(), entry);
  }
  GaugeTable table_;
  std::vector<std::string> log_;
};

TEST_F(GaugeTableTest, NamedVariablesKeepOneIdentifierPerNameWhateverTheLetterCase) {
  auto reg = Entry<register_named_variable_fn>(kRegisterNamedVariable);
  auto get = Entry<get_named_variable_value_fn>(kGetNamedVariableValue);
  auto set = Entry<set_named_variable_value_fn>(kSetNamedVariableValue);

  ID volume = reg("ORVA_Volume_Adjust");
  ID alert = reg("ORVA_Alert");
  EXPECT_EQ(volume, 1) << "identifiers start at 1";
  EXPECT_EQ(alert, 2);
  EXPECT_EQ(reg("orva_volume_ADJUST"), volume);
  EXPECT_EQ(get(volume), 0.0) << "a new variable holds 0";

  set(volume, 0.75);
  EXPECT_EQ(get(reg("ORVA_VOLUME_ADJUST")), 0.75);
  EXPECT_EQ(get(alert), 0.0);
  EXPECT_EQ(table_.Variables().Name(volume), "ORVA_Volume_Adjust") << "the name as first registered";

  // A panel writes by name; the module reads the new value by its identifier.
  EXPECT_EQ(table_.Variables().SetByName("orva_alert", 4.0), alert);
  EXPECT_EQ(get(alert), 4.0);
  EXPECT_EQ(reg(""), NamedVariables::kNoVariable);
  EXPECT_EQ(reg(nullptr), NamedVariables::kNoVariable);
}

TEST_F(GaugeTableTest, UnknownIdentifiersReadZeroAndAreReportedOnce) {
  auto get = Entry<get_named_variable_value_fn>(kGetNamedVariableValue);
  auto set = Entry<set_named_variable_value_fn>(kSetNamedVariableValue);
  EXPECT_EQ(get(7), 0.0);
  EXPECT_EQ(get(7), 0.0);
  set(-1, 3.0);
  set(0, 3.0);
  ASSERT_EQ(log_.size(), 3u);
  EXPECT_EQ(log_[0], "get_named_variable_value: no variable with identifier 7 (answered 0)");
  EXPECT_EQ(log_[1], "set_named_variable_value: no variable with identifier -1 (ignored)");
  EXPECT_EQ(log_[2], "set_named_variable_value: no variable with identifier 0 (ignored)");
  EXPECT_TRUE(table_.Variables().All().empty()) << "nothing was created";
}

TEST_F(GaugeTableTest, ListenerHearsChangesNotRewrites) {
  std::vector<std::pair<std::string, double>> heard;
  table_.Variables().SetListener([&](const std::string& name, double value) { heard.emplace_back(name, value); });
  auto reg = Entry<register_named_variable_fn>(kRegisterNamedVariable);
  auto set = Entry<set_named_variable_value_fn>(kSetNamedVariableValue);
  ID id = reg("ORVA_Alert");
  set(id, 4.0);
  set(id, 4.0);
  set(id, 0.0);
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_EQ(heard[0], (std::pair<std::string, double>("ORVA_Alert", 4.0)));
  EXPECT_EQ(heard[1], (std::pair<std::string, double>("ORVA_Alert", 0.0)));
}

TEST_F(GaugeTableTest, CalculatorCodeFillsTheOutputsTheCallerAsksFor) {
  auto calc = Entry<execute_calculator_code_fn>(kExecuteCalculatorCode);
  AircraftValues aircraft;
  aircraft.indicatedAirspeedKt = 141.9;
  aircraft.verticalSpeedFpm = -699.9;
  aircraft.altitudeFt = 1e12;
  table_.SetAircraft(aircraft);

  FLOAT64 f = -1;
  SINT32 i = -1;
  EXPECT_EQ(calc("(A:AIRSPEED INDICATED, Knots)", &f, &i, nullptr), 1);
  EXPECT_EQ(f, 141.9);
  EXPECT_EQ(i, 141) << "truncated toward zero";
  EXPECT_EQ(calc("(A:VERTICAL SPEED, Feet per minute)", nullptr, &i, nullptr), 1);
  EXPECT_EQ(i, -699);
  EXPECT_EQ(calc("(A:PLANE ALTITUDE, Feet)", nullptr, &i, nullptr), 1);
  EXPECT_EQ(i, std::numeric_limits<SINT32>::max()) << "held to the int32 range";

  PCSTRINGZ text = nullptr;
  EXPECT_EQ(calc("(A:SIM ON GROUND, Bool)", &f, nullptr, &text), 1);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::stod(text), 1.0);

  // Panel variables through calculator code.
  table_.Variables().SetByName("ORVA_Enable", 1.0);
  EXPECT_EQ(calc("(L:orva_enable, Bool)", &f, nullptr, nullptr), 1);
  EXPECT_EQ(f, 1.0);
}

TEST_F(GaugeTableTest, CodeNotUnderstoodGivesZeroAndIsLoggedOnce) {
  auto calc = Entry<execute_calculator_code_fn>(kExecuteCalculatorCode);
  for (int frame = 0; frame < 3; ++frame) {
    FLOAT64 f = -1;
    SINT32 i = -1;
    EXPECT_EQ(calc("(A:BRAKE PARKING POSITION, Bool)", &f, &i, nullptr), 0);
    EXPECT_EQ(f, 0.0);
    EXPECT_EQ(i, 0);
  }
  EXPECT_EQ(calc(nullptr, nullptr, nullptr, nullptr), 0);
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_EQ(log_[0],
            "execute_calculator_code: \"(A:BRAKE PARKING POSITION, Bool)\": no aircraft variable "
            "\"BRAKE PARKING POSITION\" (evaluates to 0)");
}

// Handlers record what reached them.
struct Heard {
  std::vector<std::string> events;
};
void HandlerOne(uint32_t id, uint32_t data, void* user) {
  static_cast<Heard*>(user)->events.push_back("one " + std::to_string(id) + " " + std::to_string(data));
}
void HandlerTwo(uint32_t id, uint32_t, void* user) {
  static_cast<Heard*>(user)->events.push_back("two " + std::to_string(id));
}
void SelfRemovingHandler(uint32_t, uint32_t, void* user) {
  static_cast<Heard*>(user)->events.push_back("self");
  GaugeFunction<unregister_key_event_handler_fn>(GaugeTable::Panels(), kUnregisterKeyEventHandler)(SelfRemovingHandler,
                                                                                                   user);
}

TEST_F(GaugeTableTest, KeyEventsReachEachRegisteredHandlerWithItsUserData) {
  auto reg = Entry<register_key_event_handler_fn>(kRegisterKeyEventHandler);
  auto unreg = Entry<unregister_key_event_handler_fn>(kUnregisterKeyEventHandler);
  Heard a, b;
  reg(HandlerOne, &a);
  reg(HandlerOne, &a);  // a second registration of the same pair adds nothing
  reg(HandlerTwo, &b);
  reg(nullptr, &a);
  EXPECT_EQ(table_.KeyEvents().Count(), 2u);

  EXPECT_EQ(table_.FireKeyEvent(66482, 5), 2u);
  EXPECT_EQ(a.events, std::vector<std::string>{"one 66482 5"});
  EXPECT_EQ(b.events, std::vector<std::string>{"two 66482"});

  unreg(HandlerOne, &b);  // not registered with that user data
  EXPECT_EQ(log_, std::vector<std::string>{"unregister_key_event_handler: that handler was not registered"});
  unreg(HandlerOne, &a);
  EXPECT_EQ(table_.FireKeyEvent(1, 0), 1u);
  EXPECT_EQ(a.events.size(), 1u);
  EXPECT_EQ(b.events.size(), 2u);
}

TEST_F(GaugeTableTest, AHandlerMayUnregisterItselfWhileItRuns) {
  auto reg = Entry<register_key_event_handler_fn>(kRegisterKeyEventHandler);
  Heard heard;
  reg(SelfRemovingHandler, &heard);
  reg(HandlerTwo, &heard);
  EXPECT_EQ(table_.FireKeyEvent(9, 0), 2u);
  EXPECT_EQ(table_.FireKeyEvent(9, 0), 1u);
  EXPECT_EQ(heard.events, (std::vector<std::string>{"self", "two 9", "two 9"}));
}

TEST_F(GaugeTableTest, EveryOtherEntryAnswersZeroForAnyCallAndIsCounted) {
  PANELS* panels = GaugeTable::Panels();
  std::vector<std::pair<int, uint64_t>> earlier = GaugeTable::UnprovidedCalls();
  std::map<int, uint64_t> before(earlier.begin(), earlier.end());
  const std::set<int> provided = {kRegisterNamedVariable, kGetNamedVariableValue,   kSetNamedVariableValue,
                                  kExecuteCalculatorCode, kRegisterKeyEventHandler, kUnregisterKeyEventHandler};
  for (int entry = 0; entry < kGaugeEntryCount; ++entry) {
    ASSERT_NE(panels->entries[entry], nullptr) << "entry " << entry;
    if (provided.count(entry)) continue;
    // The same entry read as returning an integer, a pointer and a double,
    // called with arguments of any kind.
    using AsInteger = int64_t (*)(int, const char*, double);
    using AsPointer = void* (*)();
    using AsDouble = double (*)(double, int);
    EXPECT_EQ(reinterpret_cast<AsInteger>(panels->entries[entry])(1, "x", 2.0), 0) << entry;
    EXPECT_EQ(reinterpret_cast<AsPointer>(panels->entries[entry])(), nullptr) << entry;
    EXPECT_EQ(reinterpret_cast<AsDouble>(panels->entries[entry])(7.5, 3), 0.0) << entry;
  }
  std::vector<std::pair<int, uint64_t>> after = GaugeTable::UnprovidedCalls();
  ASSERT_EQ(after.size(), kGaugeEntryCount - provided.size());
  for (const auto& [entry, count] : after) EXPECT_EQ(count, before[entry] + 3) << "entry " << entry;
  // Reported once, the first time an entry is called in the process.
  EXPECT_EQ(std::set<std::string>(log_.begin(), log_.end()).size(), log_.size());
  EXPECT_LE(log_.size(), after.size());
}

TEST(GaugeTableInactive, EntriesAnswerAsForUnknownInputWhenNoTableIsActive) {
  GaugeTable table;
  table.Activate();
  table.Deactivate();
  EXPECT_FALSE(table.IsActive());
  PANELS* panels = GaugeTable::Panels();
  EXPECT_EQ(GaugeFunction<register_named_variable_fn>(panels, kRegisterNamedVariable)("X"),
            NamedVariables::kNoVariable);
  FLOAT64 f = -1;
  EXPECT_EQ(GaugeFunction<execute_calculator_code_fn>(panels, kExecuteCalculatorCode)("(A:PLANE ALTITUDE, Feet)", &f,
                                                                                      nullptr, nullptr),
            0);
  EXPECT_EQ(f, 0.0);
  EXPECT_TRUE(table.Variables().All().empty());

  // A second table replaces the first; destroying the first does not disturb it.
  GaugeTable other;
  {
    GaugeTable first;
    first.Activate();
    other.Activate();
  }
  EXPECT_TRUE(other.IsActive());
}

}  // namespace
}  // namespace sim
