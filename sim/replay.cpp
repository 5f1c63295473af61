// The replay: the simulator, the virtual clock and the transcript together.
#include "replay.h"

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "cockpit_recorder.h"
#include "events_file.h"
#include "flight_file.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/scripted_user_interface.h"
#include "transcript.h"
#include "vscaudio/vscaudio.h"
#include "virtual_clock.h"

namespace sim {
namespace {

constexpr int kFramesPerSecond = 30;

int64_t FrameMicroseconds(uint64_t frame) { return static_cast<int64_t>(frame * 1000000 / kFramesPerSecond); }
int64_t Microseconds(double seconds) { return static_cast<int64_t>(std::llround(seconds * 1e6)); }

// What the transcript needs to know while the replay runs, reachable from the
// audio library's trace callback.
struct ReplayState {
  VirtualClock* clock = nullptr;
  Transcript* transcript = nullptr;
  SpokenCallouts* spoken = nullptr;
  std::atomic<bool> panelWriting{false};  // the replay itself writes a panel variable
  // The module asks whether the queue plays only before it cuts: cues handed
  // over in the same instant after that question were queued with cutCurrent.
  std::mutex cutMutex;
  int64_t cutInstant = -1;
};

void OnQueueTrace(void* context, int32_t operation, const char* cueName, int32_t value) {
  auto* state = static_cast<ReplayState*>(context);
  int64_t now = state->clock->NowMicroseconds();
  state->spoken->OnTrace(now, operation, cueName ? cueName : "", value);
  if (operation == VSC_AUDIO_TRACE_IS_PLAYING) {
    std::lock_guard<std::mutex> lock(state->cutMutex);
    state->cutInstant = now;
    return;
  }
  if (operation != VSC_AUDIO_TRACE_CUE_ADDED && operation != VSC_AUDIO_TRACE_CUE_REFUSED) return;
  bool cut;
  {
    std::lock_guard<std::mutex> lock(state->cutMutex);
    cut = state->cutInstant == now;
  }
  state->transcript->Cue(cueName ? cueName : "", cut);
}

// The audio library the module loads from the simulator folder: the replay
// listens to its queue trace (the same library instance as the module's).
class AudioTrace {
 public:
  AudioTrace(const std::string& simulatorDir, ReplayState* state, const Simulator::Output& say) {
    std::string path = platform::JoinPath({simulatorDir, "ORVANTE", "DLLs", "64bit", "ORVAAUDIO64.DLL"});
    library_ = dlopen(platform::NativePath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library_ != nullptr) setTrace_ = reinterpret_cast<decltype(setTrace_)>(dlsym(library_, "VSC_AUDIO_SET_TRACE"));
    if (setTrace_ == nullptr) {
      say("no audio library with a queue trace at " + path + "; cues are not recorded");
      return;
    }
    setTrace_(OnQueueTrace, state);
  }
  ~AudioTrace() {
    if (setTrace_) setTrace_(nullptr, nullptr);
    if (library_) dlclose(library_);
  }

 private:
  void* library_ = nullptr;
  void (*setTrace_)(VSC_AUDIO_TRACE_CALLBACK, void*) = nullptr;
};

std::string FolderName(const std::string& folder) {
  size_t separator = platform::LastSeparator(folder);
  return separator == std::string::npos ? folder : folder.substr(separator + 1);
}

}  // namespace

ResolvedAircraft ResolveAircraftPath(const std::string& path, const std::string& simulatorDir) {
  ResolvedAircraft resolved;
  std::string found;
  if (!path.empty() && path[0] != '/') {
    std::string inSimulator = platform::JoinPath({simulatorDir, path});
    if (platform::FileExists(inSimulator) || platform::IsDirectory(inSimulator)) found = inSimulator;
  }
  if (found.empty() && (platform::FileExists(path) || platform::IsDirectory(path))) {
    std::error_code ignored;
    std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    found = ignored ? path : absolute.lexically_normal().string();
  }
  if (found.empty()) {
    resolved.flightModelPath = path;
    resolved.note = "aircraft \"" + path + "\" does not exist here; add-ons get the path as written";
    return resolved;
  }
  while (found.size() > 1 && (found.back() == '/' || found.back() == '\\')) found.pop_back();
  if (!platform::IsDirectory(found)) {
    resolved.flightModelPath = found;
    return resolved;
  }
  std::string cfg = platform::JoinPath({found, "aircraft.cfg"});
  std::string sim;
  if (platform::FileExists(cfg)) sim = platform::ReadProfileString("fltsim.0", "sim", "", cfg.c_str());
  else resolved.note = "aircraft folder " + found + " has no aircraft.cfg: add-ons find no flap detents";
  if (sim.empty()) sim = FolderName(found);
  resolved.flightModelPath = platform::JoinPath({found, sim + ".air"});
  return resolved;
}

ReplayResult RunReplay(const ReplayOptions& options, const Simulator::Output& say) {
  ReplayResult result;
  auto wallStart = std::chrono::steady_clock::now();

  // Everything from outside is read and checked before anything starts.
  FlightFile flight = ReadFlightFile(options.flightPath);
  if (!flight.ok) {
    result.error = flight.error;
    return result;
  }
  std::vector<ReplayEvent> events;
  if (!options.eventsPath.empty()) {
    EventsFile file = ReadEventsFile(options.eventsPath);
    if (!file.ok) {
      result.error = file.error;
      return result;
    }
    events = std::move(file.events);
  } else {
    events = DefaultEvents(options.aircraftPath);
  }
  for (ReplayEvent& event : events) {
    if (event.kind != EventKind::AircraftLoaded) continue;
    ResolvedAircraft aircraft = ResolveAircraftPath(event.text, options.simulator.simulatorDir);
    if (!aircraft.note.empty()) say(aircraft.note);
    event.text = aircraft.flightModelPath;
  }

  std::unique_ptr<FILE, int (*)(FILE*)> out(nullptr, std::fclose);
  if (!options.transcriptPath.empty()) {
    out.reset(std::fopen(platform::NativePath(options.transcriptPath).c_str(), "w"));
    if (!out) {
      result.error = "cannot write the transcript " + options.transcriptPath;
      return result;
    }
  }

  VirtualClock clock;
  Transcript transcript(out.get(), [&clock] { return clock.NowMicroseconds(); });
  // Callouts are reported as spoken only in real time: in virtual time the
  // audio device plays on the wall clock, far behind the flight.
  const bool paced = options.realtime || !options.recordPath.empty();
  SpokenCallouts spoken([&](double t, const std::vector<std::string>& cues) {
    if (!paced) return;
    if (options.spoken) return options.spoken(t, cues);
    std::string names;
    for (const std::string& cue : cues) names += (names.empty() ? "" : " ") + cue;
    say(Transcript::Number(std::round(t * 100) / 100) + " s: " + names);
  });
  ReplayState state;
  state.clock = &clock;
  state.transcript = &transcript;
  state.spoken = &spoken;

  // A recording is the audio device: it must be in place before any add-on
  // opens its sound.
  std::unique_ptr<CockpitRecorder> recorder;
  if (!options.recordPath.empty()) {
    recorder = std::make_unique<CockpitRecorder>(options.recordPath, [&clock] { return clock.NowMicroseconds(); });
    std::string why;
    if (!recorder->Start(why)) {
      result.error = "cannot record the cockpit audio: " + why;
      return result;
    }
  }
  platform::SetClock(&clock);

  {
    AudioTrace audioTrace(options.simulator.simulatorDir, &state, say);
    Simulator simulator(options.simulator, say);
    simulator.SetBoxListener([&](const platform::MessageBoxRecord& box) {
      transcript.Box(box.caption, box.text, platform::AnswerName(box.answer));
    });
    simulator.SetTextListener([&](const std::string& text) { transcript.Text(text); });
    simulator.Gauges().Variables().SetListener([&](const std::string& name, double value) {
      if (state.panelWriting.load()) return;
      if (name == "ORVA_Alert") transcript.Alert(value);
      else transcript.Lvar(name, value);
    });
    // The module truncates its log when it starts; a log left from an earlier
    // run would otherwise be read as this run's.
    std::string log = platform::JoinPath({options.simulator.appDataDir, "ORVANTE", "ORVANTE.LOG"});
    platform::DeleteFile(log);
    transcript.FollowLog(log);

    if (!simulator.Start()) {
      platform::SetClock(nullptr);
      result.error = "the simulator could not start";
      return result;
    }
    // The add-ons' threads reach their first pause before time moves, so the
    // worker's cycles fall on the same instants in every run.
    if (!clock.WaitForSleepers(1, std::chrono::seconds(3))) say("no add-on thread paces itself on the clock");
    transcript.ReadLog();

    double end = flight.Duration();
    if (!events.empty()) end = std::max(end, events.back().t);
    int64_t endMicro = Microseconds(end);
    bool showProgress = end >= 120.0;
    int lastTenth = 0;
    AircraftValues eyepoint;
    size_t nextEvent = 0;
    bool dialogNoted = false;
    // Dialog actions of the events file work the dialog the menu opens.
    platform::ScriptedUserInterface scripted;
    const bool scriptDialogs = &platform::CurrentUserInterface() == &platform::BuiltInHeadlessUserInterface();
    if (scriptDialogs) {
      scripted.SetListener([&](const platform::MessageBoxRecord& box) {
        transcript.Box(box.caption, box.text, platform::AnswerName(box.answer));
      });
      platform::SetUserInterface(&scripted);
    }
    platform::SetDialogEventListener([&](const platform::DialogEvent& e) {
      transcript.Dialog(e.dialog, e.action, e.outcome, e.result);
    });
    std::vector<bool> queued(events.size(), false);
    say("replaying " + options.flightPath + ": " + std::to_string(static_cast<long long>(end)) + " s of flight");

    // In real time the flight's last moment is held after its end while a
    // callout is still being spoken, for at most this long.
    constexpr int64_t kLastCalloutMicro = 10 * 1000000;
    auto flightStart = std::chrono::steady_clock::now();
    for (uint64_t frame = 0;; ++frame) {
      int64_t now = FrameMicroseconds(frame);
      if (now > endMicro && (!paced || !spoken.Playing() || now > endMicro + kLastCalloutMicro)) break;
      if (paced) std::this_thread::sleep_until(flightStart + std::chrono::microseconds(now));
      clock.AdvanceTo(now, [&transcript] { transcript.ReadLog(); });
      double seconds = static_cast<double>(now) / 1e6;

      while (nextEvent < events.size() && Microseconds(events[nextEvent].t) <= now) {
        const ReplayEvent& event = events[nextEvent++];
        simconnect::Server& server = simulator.SimConnect();
        switch (event.kind) {
          case EventKind::AircraftLoaded: server.LoadAircraft(event.text); break;
          case EventKind::SimStart: server.FireSystemEvent("SimStart"); break;
          case EventKind::SimStop: server.FireSystemEvent("SimStop"); break;
          case EventKind::Crash: server.FireSystemEvent("Crashed"); break;
          case EventKind::Lvar:
            state.panelWriting = true;
            simulator.Gauges().Variables().SetByName(event.text, event.value);
            state.panelWriting = false;
            break;
          case EventKind::Key: simulator.Gauges().FireKeyEvent(event.keyId, 0); break;
          case EventKind::Eyepoint:
            eyepoint.eyepointXFt = event.x;
            eyepoint.eyepointYFt = event.y;
            eyepoint.eyepointZFt = event.z;
            break;
          case EventKind::Menu: {
            for (size_t k = nextEvent; k < events.size() && events[k].kind != EventKind::Menu; ++k) {
              if (events[k].kind != EventKind::Dialog) continue;
              queued[k] = true;
              if (auto action = platform::ParseDialogAction(events[k].text)) scripted.Queue(*action);
              else say("events line " + std::to_string(events[k].line) + ": not a dialog action: " + events[k].text);
            }
            std::vector<std::string> items = server.MenuItems();
            if (items.empty()) say("menu at " + Transcript::Number(event.t) + " s: no add-on has a menu entry yet");
            else server.SelectMenuItem(items.front());
            break;
          }
          case EventKind::Dialog:
            if (queued[nextEvent - 1]) break;
            if (!dialogNoted) say("dialog actions are not played by this simulator; ignored");
            dialogNoted = true;
            break;
        }
      }

      AircraftValues values = FlightValuesAt(flight, seconds);
      values.eyepointXFt = eyepoint.eyepointXFt;
      values.eyepointYFt = eyepoint.eyepointYFt;
      values.eyepointZFt = eyepoint.eyepointZFt;
      simulator.Gauges().SetAircraft(values);
      simulator.Frame(seconds);
      transcript.ReadLog();
      ++result.frames;

      if (showProgress && endMicro > 0) {
        int tenth = static_cast<int>(now * 10 / endMicro);
        if (tenth > lastTenth) {
          lastTenth = tenth;
          say("replay " + std::to_string(tenth * 10) + "%: " + std::to_string(now / 1000000) + " s of " +
              std::to_string(endMicro / 1000000) + " s");
        }
      }
    }
    result.virtualSeconds = static_cast<double>(clock.NowMicroseconds()) / 1e6;

    // Shut-down: the module waits for its worker in pauses of its own, so time
    // now moves on by itself.
    if (recorder) recorder->EndAt(clock.NowMicroseconds());
    clock.SetFreeRunning(true);
    simulator.Stop();
    transcript.ReadLog();
    platform::SetDialogEventListener(nullptr);
    if (scriptDialogs) platform::SetUserInterface(nullptr);
    simulator.Gauges().Variables().SetListener(nullptr);
  }
  if (recorder) {
    std::string why;
    if (!recorder->Finish(why)) {
      platform::SetClock(nullptr);
      result.error = "the cockpit audio is incomplete: " + why;
      return result;
    }
    uint64_t frames = recorder->Frames();
    char line[400];
    std::snprintf(line, sizeof line, "cockpit audio: %.1f s recorded to %s", static_cast<double>(frames) / CockpitRecorder::kSampleRate,
                  options.recordPath.c_str());
    say(line);
  }
  platform::SetClock(nullptr);

  result.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  result.transcriptLines = transcript.LineCount();
  result.ok = true;
  char summary[200];
  std::snprintf(summary, sizeof summary, "replayed %.1f s of virtual time in %.2f s (%.0fx), %llu frames, %llu transcript lines",
                result.virtualSeconds, result.wallSeconds,
                result.wallSeconds > 0 ? result.virtualSeconds / result.wallSeconds : 0.0,
                static_cast<unsigned long long>(result.frames), static_cast<unsigned long long>(result.transcriptLines));
  say(summary);
  return result;
}

}  // namespace sim
