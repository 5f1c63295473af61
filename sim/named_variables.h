// Named panel variables (L-variables): numbers that gauges and add-on modules
// share by name. A name is registered once and keeps its identifier, the first
// being 1; names compare without regard to letter case; a new variable holds
// 0. Safe to use from several threads.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class NamedVariables {
 public:
  using Id = int64_t;
  static constexpr Id kNoVariable = -1;

  // The variable's identifier, registering it when the name is new. An empty
  // name is refused with kNoVariable.
  Id Register(std::string_view name);
  // The identifier of a registered name, or kNoVariable.
  Id Find(std::string_view name) const;

  // Value by identifier; nothing for an identifier never handed out.
  std::optional<double> Get(Id id) const;
  std::optional<double> GetByName(std::string_view name) const;
  // Sets by identifier; false for an identifier never handed out.
  bool Set(Id id, double value);
  // Sets by name, registering the name when it is new (a panel writing its
  // variable). Returns the identifier.
  Id SetByName(std::string_view name, double value);

  // Name as first registered, or empty.
  std::string Name(Id id) const;
  struct Entry {
    std::string name;
    double value;
  };
  std::vector<Entry> All() const;  // in identifier order

  // Hears every change of a value (not writes of the same value), after the
  // change is made; called on the writer's thread.
  using Listener = std::function<void(const std::string& name, double value)>;
  void SetListener(Listener listener);

 private:
  Id FindLocked(std::string_view name) const;
  void Notify(const std::string& name, double value);

  mutable std::mutex mutex_;
  std::vector<Entry> entries_;  // identifier i lives at index i - 1
  Listener listener_;
};

}  // namespace sim
