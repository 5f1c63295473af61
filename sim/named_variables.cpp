// The simulator's table of named panel variables.
#include "named_variables.h"

#include <cctype>

#include "common/text.h"

namespace sim {
namespace {

bool SameName(std::string_view a, std::string_view b) { return common::EqualsIgnoringCase(a, b); }

}  // namespace

NamedVariables::Id NamedVariables::FindLocked(std::string_view name) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (SameName(entries_[i].name, name)) return static_cast<Id>(i + 1);
  return kNoVariable;
}

NamedVariables::Id NamedVariables::Register(std::string_view name) {
  if (name.empty()) return kNoVariable;
  std::lock_guard<std::mutex> lock(mutex_);
  Id id = FindLocked(name);
  if (id != kNoVariable) return id;
  entries_.push_back({std::string(name), 0.0});
  return static_cast<Id>(entries_.size());
}

NamedVariables::Id NamedVariables::Find(std::string_view name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return FindLocked(name);
}

std::optional<double> NamedVariables::Get(Id id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (id < 1 || static_cast<size_t>(id) > entries_.size()) return std::nullopt;
  return entries_[static_cast<size_t>(id - 1)].value;
}

std::optional<double> NamedVariables::GetByName(std::string_view name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  Id id = FindLocked(name);
  if (id == kNoVariable) return std::nullopt;
  return entries_[static_cast<size_t>(id - 1)].value;
}

bool NamedVariables::Set(Id id, double value) {
  std::string changed;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (id < 1 || static_cast<size_t>(id) > entries_.size()) return false;
    Entry& entry = entries_[static_cast<size_t>(id - 1)];
    if (entry.value == value) return true;
    entry.value = value;
    changed = entry.name;
  }
  Notify(changed, value);
  return true;
}

NamedVariables::Id NamedVariables::SetByName(std::string_view name, double value) {
  Id id = Register(name);
  if (id != kNoVariable) Set(id, value);
  return id;
}

std::string NamedVariables::Name(Id id) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (id < 1 || static_cast<size_t>(id) > entries_.size()) return {};
  return entries_[static_cast<size_t>(id - 1)].name;
}

std::vector<NamedVariables::Entry> NamedVariables::All() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_;
}

void NamedVariables::SetListener(Listener listener) {
  std::lock_guard<std::mutex> lock(mutex_);
  listener_ = std::move(listener);
}

void NamedVariables::Notify(const std::string& name, double value) {
  Listener listener;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    listener = listener_;
  }
  if (listener) listener(name, value);
}

}  // namespace sim
