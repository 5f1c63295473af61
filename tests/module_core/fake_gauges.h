// A gauge table for tests: named variables in a map, calculator code answered
// from a table of expressions, every write recorded.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "gauges.h"

class FakeGauges {
 public:
  FakeGauges() {
    current_ = this;
    table_.entries[kRegisterNamedVariable] = reinterpret_cast<void*>(&Register);
    table_.entries[kGetNamedVariableValue] = reinterpret_cast<void*>(&Get);
    table_.entries[kSetNamedVariableValue] = reinterpret_cast<void*>(&Set);
    table_.entries[kExecuteCalculatorCode] = reinterpret_cast<void*>(&Execute);
  }
  ~FakeGauges() { current_ = nullptr; }
  const PANELS* Panels() const { return &table_; }

  // A panel writes a variable.
  void Write(const std::string& name, double value) { values_[Id(name)] = value; }
  double Value(const std::string& name) { return values_[Id(name)]; }
  // Every value the module wrote to a variable, in order.
  std::vector<double> Writes(const std::string& name) { return writes_[name]; }
  std::map<std::string, double> expressions;  // "(A:NAME, Unit)" -> value

 private:
  ID Id(const std::string& name) {
    auto [it, added] = ids_.emplace(name, static_cast<ID>(ids_.size() + 1));
    if (added) names_[it->second] = name;
    return it->second;
  }
  static ID Register(PCSTRINGZ name) { return current_->Id(name); }
  static FLOAT64 Get(ID id) { return current_->values_[id]; }
  static void Set(ID id, FLOAT64 value) {
    current_->values_[id] = value;
    current_->writes_[current_->names_[id]].push_back(value);
  }
  static int32_t Execute(PCSTRINGZ code, FLOAT64* floatOut, SINT32* intOut, PCSTRINGZ*) {
    double value = current_->expressions.count(code) ? current_->expressions[code] : 0;
    if (floatOut) *floatOut = value;
    if (intOut) *intOut = static_cast<SINT32>(value);
    return 1;
  }

  static inline FakeGauges* current_ = nullptr;
  PANELS table_{};
  std::map<std::string, ID> ids_;
  std::map<ID, std::string> names_;
  std::map<ID, double> values_;
  std::map<std::string, std::vector<double>> writes_;
};
