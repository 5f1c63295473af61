// The stand-in simulator's start, run and stop.
#include "simulator.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "platform/files.h"
#include "platform/process.h"

namespace sim {
namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Control characters of a box's text written as escapes, so one box is one line.
std::string OneLine(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned char>(c));
      out += escape;
    } else out += c;
  }
  return out;
}

}  // namespace

const char* ExecutableName(SimulatorIdentity identity) {
  switch (identity) {
    case SimulatorIdentity::Fsx: return "fsx.exe";
    case SimulatorIdentity::Fs9: return "fs9.exe";
    case SimulatorIdentity::Prepar3D: break;
  }
  return "Prepar3D.exe";
}

Simulator::Simulator(SimulatorOptions options, Output output)
    : options_(std::move(options)), output_(std::move(output)) {}

Simulator::~Simulator() { Stop(); }

void Simulator::Say(const std::string& line) {
  if (output_) output_(line);
}

bool Simulator::Start() {
  if (running_) return true;
  Say("simulator folder " + options_.simulatorDir);

  // The user's folders as the add-on's installation leaves them: the roaming
  // application-data folder with the add-on's own folder in it.
  std::string userFolder = platform::JoinPath({options_.appDataDir, "ORVANTE"});
  if (!platform::CreateDirectoryU8(userFolder) || !platform::IsDirectory(userFolder)) {
    Say("cannot create the application-data folder " + userFolder + "; the simulator does not start");
    return false;
  }
  platform::SetAppDataFolder(options_.appDataDir);
  Say("application-data folder " + options_.appDataDir);

  std::string executable = platform::JoinPath({options_.simulatorDir, ExecutableName(options_.identity)});
  platform::SetExecutablePath(executable);
  Say("standing as " + executable);

  // Boxes shown through the headless front end (the default) are reported;
  // a front end the host chose stays in charge.
  platform::BuiltInHeadlessUserInterface().SetListener([this](const platform::MessageBoxRecord& box) {
    Say("message box \"" + OneLine(box.caption) + "\": \"" + OneLine(box.text) + "\" -> " +
        platform::AnswerName(box.answer));
    if (boxListener_) boxListener_(box);
  });

  mainWindow_ = platform::RegisterTopLevelWindow("FS98MAIN");
  Say("main window of class \"FS98MAIN\" open");

  gauges_.SetLog([this](const std::string& line) { Say("gauge interface: " + line); });
  gauges_.Activate();
  unprovidedAtStart_ = GaugeTable::UnprovidedCalls();
  running_ = true;
  ServeSimConnect();

  LoadAddons();
  return true;
}

void Simulator::ServeSimConnect() {
  // SimConnect data on the user aircraft: the eye point, and every variable
  // that calculator code knows, in the units asked for.
  server_.SetVariableReader([this](std::string_view name, std::string_view units, std::vector<double>& values) {
    AircraftValues aircraft = gauges_.Aircraft();
    if (name == "EYEPOINT POSITION") {
      values = {aircraft.eyepointXFt, aircraft.eyepointYFt, aircraft.eyepointZFt};
      return true;
    }
    std::string code = "(A:" + std::string(name) + ", " + std::string(units.empty() ? "number" : units) + ")";
    CalculatorResult result = EvaluateCalculatorCode(code, aircraft, [](std::string_view) { return std::nullopt; });
    if (!result.understood) return false;
    values = {result.value};
    return true;
  });
  server_.SetTextListener([this](const simconnect::TextLine& line) {
    Say("text line from " + line.client + ": \"" + OneLine(line.text) + "\"");
    if (textListener_) textListener_(line.text);
  });
  if (!options_.serveSimConnect) Say("SimConnect not served: add-ons cannot connect");
  else if (server_.Serve()) Say("SimConnect served in this process");
  else Say("SimConnect: another simulator serves this process; add-ons cannot connect");
}

void Simulator::Frame(double now) {
  server_.RunFrame(now, 30.0f);
  server_.Dispatch();
}

void Simulator::SetBoxListener(std::function<void(const platform::MessageBoxRecord&)> listener) {
  boxListener_ = std::move(listener);
}

void Simulator::SetTextListener(std::function<void(const std::string& text)> listener) {
  textListener_ = std::move(listener);
}

void Simulator::LoadAddons() {
  common::Result<AddonList> read = ReadAddonList(options_.addonListPath);
  if (!read) {
    Say("add-on list " + read.error() + "; no add-ons are loaded");
    return;
  }
  const AddonList& list = *read;
  for (const std::string& warning : list.warnings) Say("add-on list " + warning);
  Say("add-on list " + options_.addonListPath + ": " + std::to_string(list.entries.size()) + " add-on(s)");

  for (const AddonEntry& entry : list.entries) {
    if (entry.disabled) {
      Say(entry.name + ": disabled, not loaded");
      continue;
    }
    if (entry.manualLoad) Say(entry.name + ": ManualLoad is True; the stand-in loads it without asking");
    std::vector<std::string> notes;
    common::Result<LoadedAddon> loaded = LoadAddon(entry, options_.simulatorDir, GaugeTable::Panels(), notes);
    for (const std::string& note : notes) Say(entry.name + ": " + note);
    if (!loaded) {
      Say(entry.name + ": " + loaded.error());
      Say(entry.name + ": not started");
      continue;
    }
    Say(entry.name + ": loaded " + loaded->file);
    Say(entry.name + ": calling " + entry.startName);
    Clock::time_point start = Clock::now();
    loaded->start();
    Say(entry.name + ": " + entry.startName + " returned after " + std::to_string(MillisecondsSince(start)) + " ms");
    started_.push_back(std::move(*loaded));
  }
}

void Simulator::Run(std::chrono::milliseconds duration, const std::function<bool()>& shouldStop) {
  Clock::time_point start = Clock::now();
  Clock::time_point end = start + duration;
  server_.FireSystemEvent("SimStart");
  while (Clock::now() < end) {
    if (shouldStop && shouldStop()) {
      Say("asked to stop");
      return;
    }
    Frame(std::chrono::duration<double>(Clock::now() - start).count());
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
    std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(33)));
  }
}

void Simulator::Stop() {
  if (!running_) return;
  running_ = false;
  Say("stopping");
  for (auto it = started_.rbegin(); it != started_.rend(); ++it) {
    const AddonEntry& entry = it->entry;
    if (it->stop == nullptr) continue;
    Say(entry.name + ": calling " + entry.stopName);
    Clock::time_point start = Clock::now();
    it->stop();
    Say(entry.name + ": " + entry.stopName + " returned after " + std::to_string(MillisecondsSince(start)) + " ms");
  }
  started_.clear();
  server_.StopServing();
  for (const auto& [entry, calls] : GaugeTable::UnprovidedCalls()) {
    uint64_t earlier = 0;
    for (const auto& [before, count] : unprovidedAtStart_)
      if (before == entry) earlier = count;
    if (calls > earlier)
      Say("gauge interface: entry " + std::to_string(entry) + " called " + std::to_string(calls - earlier) +
          " time(s), not provided");
  }
  gauges_.Deactivate();
  gauges_.SetLog(nullptr);
  platform::UnregisterTopLevelWindow(mainWindow_);
  mainWindow_ = nullptr;
  platform::BuiltInHeadlessUserInterface().SetListener(nullptr);
  Say("stopped");
}

}  // namespace sim
