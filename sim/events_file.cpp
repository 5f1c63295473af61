// Reading the events file of a replay.
#include "events_file.h"

#include <algorithm>
#include <cmath>

#include "csv_fields.h"
#include "platform/files.h"

namespace sim {
namespace {

common::Failure Fail(const std::string& name, int line, int column, const std::string& message) {
  return common::Fail(PositionMessage(name, line, column, message));
}

struct EventName {
  const char* name;
  EventKind kind;
  size_t arguments;  // fields after the name
};

constexpr EventName kEvents[] = {
    {"aircraft_loaded", EventKind::AircraftLoaded, 1},
    {"sim_start", EventKind::SimStart, 0},
    {"sim_stop", EventKind::SimStop, 0},
    {"crash", EventKind::Crash, 0},
    {"lvar", EventKind::Lvar, 2},
    {"key", EventKind::Key, 1},
    {"eyepoint", EventKind::Eyepoint, 3},
    {"menu", EventKind::Menu, 0},
    {"dialog", EventKind::Dialog, 1},
    {"remove", EventKind::Remove, 1},
    {"copy", EventKind::Copy, 2},
};

// The rest of a line from a field on, commas included (paths and dialog
// actions may hold commas), rebuilt from the fields.
std::string RestOfLine(const CsvLine& line, size_t from) {
  std::string text;
  for (size_t i = from; i < line.fields.size(); ++i) {
    if (i > from) text += ',';
    text += line.fields[i].text;
  }
  return text;
}

}  // namespace

common::Result<EventsFile> ParseEventsFile(std::string_view text, const std::string& name) {
  EventsFile file;
  std::vector<CsvLine> lines = SplitCsvLines(text);
  for (size_t l = 0; l < lines.size(); ++l) {
    const CsvLine& line = lines[l];
    if (l == 0 && line.fields[0].text == "t") continue;  // the header row
    const CsvField& time = line.fields[0];
    std::optional<double> t = ParseNumber(time.text);
    if (!t) return Fail(name, line.number, time.column, "the time \"" + time.text + "\" is not a number");
    if (*t < 0) return Fail(name, line.number, time.column, "the time must not be negative");
    if (line.fields.size() < 2)
      return Fail(name, line.number, time.column + static_cast<int>(time.text.size()),
                  "an event name must follow the time");
    const CsvField& eventField = line.fields[1];
    const EventName* known = nullptr;
    for (const EventName& event : kEvents)
      if (eventField.text == event.name) known = &event;
    if (known == nullptr)
      return Fail(name, line.number, eventField.column, "unknown event \"" + eventField.text + "\"");

    size_t given = line.fields.size() - 2;
    bool restIsText = known->kind == EventKind::AircraftLoaded || known->kind == EventKind::Dialog ||
                      known->kind == EventKind::Remove;
    if (restIsText ? given < 1 : given != known->arguments) {
      int column = given > known->arguments ? line.fields[2 + known->arguments].column
                                            : eventField.column + static_cast<int>(eventField.text.size());
      return Fail(name, line.number, column,
                  eventField.text + " takes " + std::to_string(known->arguments) + " argument(s), found " +
                      std::to_string(given));
    }

    ReplayEvent event;
    event.t = *t;
    event.kind = known->kind;
    event.line = line.number;
    auto number = [&](size_t index, double& out) -> std::string {
      const CsvField& field = line.fields[index];
      std::optional<double> value = ParseNumber(field.text);
      if (!value) return PositionMessage(name, line.number, field.column, "\"" + field.text + "\" is not a number");
      out = *value;
      return "";
    };
    std::string problem;
    switch (known->kind) {
      case EventKind::Copy:
        event.text = line.fields[2].text;
        event.target = line.fields[3].text;
        if (event.text.empty() || event.target.empty())
          problem = PositionMessage(name, line.number, line.fields[event.text.empty() ? 2 : 3].column,
                                    "copy needs a file to copy and where to");
        break;
      case EventKind::AircraftLoaded:
      case EventKind::Dialog:
      case EventKind::Remove:
        event.text = RestOfLine(line, 2);
        if (event.text.empty())
          problem = PositionMessage(name, line.number, line.fields[2].column, eventField.text + " needs a value");
        break;
      case EventKind::Lvar:
        event.text = line.fields[2].text;
        if (event.text.empty())
          problem = PositionMessage(name, line.number, line.fields[2].column, "lvar needs a variable name");
        else problem = number(3, event.value);
        break;
      case EventKind::Key: {
        double id = 0;
        problem = number(2, id);
        if (problem.empty() && (id < 0 || id > 4294967295.0 || id != std::floor(id)))
          problem = PositionMessage(name, line.number, line.fields[2].column,
                                    "a key event identifier is a whole number from 0");
        // Converted only once it is known to fit: a number outside 0 to
        // 4294967295 has no unsigned 32-bit value.
        if (problem.empty()) event.keyId = static_cast<uint32_t>(id);
        break;
      }
      case EventKind::Eyepoint:
        problem = number(2, event.x);
        if (problem.empty()) problem = number(3, event.y);
        if (problem.empty()) problem = number(4, event.z);
        break;
      default: break;
    }
    if (!problem.empty()) return common::Fail(problem);
    file.events.push_back(std::move(event));
  }
  std::stable_sort(file.events.begin(), file.events.end(),
                   [](const ReplayEvent& a, const ReplayEvent& b) { return a.t < b.t; });
  return file;
}

common::Result<EventsFile> ReadEventsFile(const std::string& path) {
  std::string text;
  if (!platform::ReadWholeFile(path, text)) return Fail(path, 1, 1, "cannot read the events file");
  return ParseEventsFile(text, path);
}

std::vector<ReplayEvent> DefaultEvents(const std::string& aircraftPath) {
  std::vector<ReplayEvent> events;
  if (!aircraftPath.empty()) {
    ReplayEvent loaded;
    loaded.kind = EventKind::AircraftLoaded;
    loaded.text = aircraftPath;
    events.push_back(loaded);
  }
  ReplayEvent start;
  start.kind = EventKind::SimStart;
  events.push_back(start);
  return events;
}

}  // namespace sim
