// The replay: the simulator, the virtual clock and the transcript together.
#include "replay.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "cockpit_recorder.h"
#include "common/result.h"
#include "common/scope_exit.h"
#include "cutting_calls.h"
#include "events_file.h"
#include "flight_file.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/process.h"
#include "platform/scripted_user_interface.h"
#include "process_vitals.h"
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
  CuttingCalls cutting;
  std::mutex queuedMutex;
  // Live sources: when the frame the module last sampled arrived, and, for
  // each cue queued since, that arrival (to tell a callout's latency).
  std::atomic<int64_t> sampledArrival{0};
  struct QueuedCue {
    int64_t queuedAt;
    std::string cue;
    int64_t arrival;
  };
  std::deque<QueuedCue> queuedCues;  // under queuedMutex
};

void OnQueueTrace(void* context, int32_t operation, const char* cueName, int32_t value) {
  auto* state = static_cast<ReplayState*>(context);
  int64_t now = state->clock->NowMicroseconds();
  std::string cue = cueName ? cueName : "";
  state->spoken->OnTrace(now, operation, cue, value);
  bool cut = state->cutting.OnTrace(now, operation, cue);
  if (operation != VSC_AUDIO_TRACE_CUE_ADDED && operation != VSC_AUDIO_TRACE_CUE_REFUSED) return;
  int64_t arrival = state->sampledArrival.load();
  if (arrival != 0 && operation == VSC_AUDIO_TRACE_CUE_ADDED) {
    std::lock_guard<std::mutex> lock(state->queuedMutex);
    if (state->queuedCues.size() >= 256) state->queuedCues.pop_front();
    state->queuedCues.push_back({now, cue, arrival});
  }
  state->transcript->Cue(cue, cut);
}

// How long after the arrival of the frame its cycle sampled a callout began:
// the callout's first cue is matched with the oldest cue of that name queued
// by then; cues queued before it are passed over (cut or never played).
std::optional<double> SampleToSpeech(ReplayState& state, double t, const std::vector<std::string>& cues) {
  if (cues.empty()) return std::nullopt;
  int64_t started =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count();
  int64_t at = std::llround(t * 1e6);
  std::lock_guard<std::mutex> lock(state.queuedMutex);
  auto& queued = state.queuedCues;
  for (size_t k = 0; k < queued.size() && queued[k].queuedAt <= at; ++k) {
    if (queued[k].cue != cues.front()) continue;
    // The callout's other cues, queued in the same instant, go with it.
    int64_t arrival = queued[k].arrival, instant = queued[k].queuedAt;
    while (k < queued.size() && queued[k].queuedAt == instant) ++k;
    queued.erase(queued.begin(), queued.begin() + static_cast<std::ptrdiff_t>(k));
    return static_cast<double>(started - arrival) / 1e6;
  }
  return std::nullopt;
}

// The audio library the module loads from the simulator folder: the replay
// listens to its queue trace (the same library instance as the module's).
class AudioTrace {
 public:
  AudioTrace(const std::string& simulatorDir, ReplayState* state, const Simulator::Output& say) {
    std::string path = platform::JoinPath({simulatorDir, "ORVANTE", "DLLs", "64bit", "ORVAAUDIO64.DLL"});
    library_ = platform::LoadLibraryU8(path);
    if (library_ != nullptr) {
      setTrace_ = reinterpret_cast<decltype(setTrace_)>(platform::GetProcAddress(library_, "VSC_AUDIO_SET_TRACE"));
      diagnostics_ =
          reinterpret_cast<decltype(diagnostics_)>(platform::GetProcAddress(library_, "VSC_AUDIO_GET_DIAGNOSTICS"));
    }
    if (setTrace_ == nullptr) {
      say("no audio library with a queue trace at " + path + "; cues are not recorded");
      return;
    }
    setTrace_(OnQueueTrace, state);
  }
  ~AudioTrace() {
    if (setTrace_) setTrace_(nullptr, nullptr);
    if (library_) platform::FreeLibrary(library_);
  }

  AudioVitals Vitals() const {
    AudioVitals vitals;
    VSC_AUDIO_DIAGNOSTICS d = {};
    if (diagnostics_ == nullptr) return vitals;
    diagnostics_(&d, sizeof d);
    vitals.known = true;
    vitals.streams = d.streams;
    vitals.sounds = d.sounds;
    vitals.lists = d.lists;
    vitals.queueLength = d.queueLength;
    vitals.deviceEngines = d.deviceEngines;
    vitals.devicesLost = d.devicesLost;
    vitals.devicesRestored = d.devicesRestored;
    return vitals;
  }

 private:
  platform::ModuleHandle library_ = nullptr;
  void (*setTrace_)(VSC_AUDIO_TRACE_CALLBACK, void*) = nullptr;
  int32_t (*diagnostics_)(VSC_AUDIO_DIAGNOSTICS*, uint32_t) = nullptr;
};

// The replay's clock is the platform's while the replay runs. At its end the
// wall clock is put back and the threads still sleeping on the replay's clock
// go over to it (the audio library's worker lives as long as its engine).
class ClockInstallation {
 public:
  explicit ClockInstallation(VirtualClock& clock) : clock_(clock) { platform::SetClock(&clock); }
  ~ClockInstallation() {
    platform::SetClock(nullptr);
    clock_.Retire();
  }
  ClockInstallation(const ClockInstallation&) = delete;
  ClockInstallation& operator=(const ClockInstallation&) = delete;

 private:
  VirtualClock& clock_;
};

// A file event's path made absolute (relative paths start at the simulator
// folder); empty, or why the path is refused: it must lie inside the
// simulator or the application-data folder.
std::string ResolveEventPath(std::string& path, const SimulatorOptions& simulator) {
  namespace fs = std::filesystem;
  fs::path resolved = fs::path(platform::NativePath(path));
  if (resolved.is_relative()) resolved = fs::path(simulator.simulatorDir) / resolved;
  resolved = resolved.lexically_normal();
  auto inside = [&resolved](const std::string& folder) {
    if (folder.empty()) return false;
    fs::path root = fs::path(folder).lexically_normal();
    auto [end, ignored] = std::mismatch(root.begin(), root.end(), resolved.begin(), resolved.end());
    return end == root.end() && resolved != root;
  };
  if (!inside(simulator.simulatorDir) && !inside(simulator.appDataDir))
    return path + " lies outside the simulator and application-data folders; files there are not changed";
  path = resolved.string();
  return {};
}

// A file event, done at its frame.
void ApplyFileEvent(const ReplayEvent& event, const Simulator::Output& say) {
  std::error_code error;
  if (event.kind == EventKind::Remove) {
    uintmax_t removed = std::filesystem::remove_all(event.text, error);
    if (error) say("could not remove " + event.text + ": " + error.message());
    else say("removed " + event.text + (removed == 0 ? " (it did not exist)" : ""));
    return;
  }
  if (platform::CopyFileU8(event.text, event.target, false)) say("copied " + event.text + " over " + event.target);
  else say("could not copy " + event.text + " over " + event.target);
}

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

namespace {

// The flight and its events, read and checked before anything starts; the
// aircraft of aircraft_loaded events resolved to the path add-ons get.
struct ReplayInputs {
  FlightFile flight;
  std::vector<ReplayEvent> events;
};

common::Result<ReplayInputs> ReadReplayInputs(const ReplayOptions& options, const Simulator::Output& say) {
  ReplayInputs inputs;
  common::Result<FlightFile> flight = ReadFlightFile(options.flightPath);
  if (!flight) return common::Fail(flight.error());
  inputs.flight = std::move(*flight);
  if (!options.eventsPath.empty()) {
    common::Result<EventsFile> file = ReadEventsFile(options.eventsPath);
    if (!file) return common::Fail(file.error());
    inputs.events = std::move(file->events);
  } else {
    inputs.events = DefaultEvents(options.aircraftPath);
  }
  for (ReplayEvent& event : inputs.events) {
    if (event.kind == EventKind::Remove || event.kind == EventKind::Copy) {
      std::string problem = ResolveEventPath(event.text, options.simulator);
      if (problem.empty() && event.kind == EventKind::Copy) problem = ResolveEventPath(event.target, options.simulator);
      if (!problem.empty()) return common::Fail("events line " + std::to_string(event.line) + ": " + problem);
    }
    if (event.kind != EventKind::AircraftLoaded) continue;
    ResolvedAircraft aircraft = ResolveAircraftPath(event.text, options.simulator.simulatorDir);
    if (!aircraft.note.empty()) say(aircraft.note);
    event.text = aircraft.flightModelPath;
  }
  return inputs;
}

// Plays the events file against the running simulator: each event at the
// first frame at or after its time. The dialog actions after a menu event
// are handed to the scripted front end before the menu opens the dialog.
class EventPlayer {
 public:
  EventPlayer(std::vector<ReplayEvent> events, platform::ScriptedUserInterface& scripted, const Simulator::Output& say)
      : events_(std::move(events)), queued_(events_.size(), false), scripted_(scripted), say_(say) {}

  // An event a live source reported with its frame, played after those before it.
  void Add(ReplayEvent event) {
    events_.push_back(std::move(event));
    queued_.push_back(false);
  }

  void PlayDue(int64_t now, Simulator& simulator, ReplayState& state) {
    while (next_ < events_.size() && Microseconds(events_[next_].t) <= now) Play(next_++, simulator, state);
  }

  // Where the eye point events put the pilot's eyes.
  const AircraftValues& Eyepoint() const { return eyepoint_; }

 private:
  void Play(size_t index, Simulator& simulator, ReplayState& state) {
    const ReplayEvent& event = events_[index];
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
        eyepoint_.eyepointXFt = event.x;
        eyepoint_.eyepointYFt = event.y;
        eyepoint_.eyepointZFt = event.z;
        break;
      case EventKind::Menu: OpenMenu(index, event, server); break;
      case EventKind::Remove:
      case EventKind::Copy: ApplyFileEvent(event, say_); break;
      case EventKind::Dialog:
        if (queued_[index]) break;
        if (!dialogNoted_) say_("dialog actions are not played by this simulator; ignored");
        dialogNoted_ = true;
        break;
    }
  }

  void OpenMenu(size_t index, const ReplayEvent& event, simconnect::Server& server) {
    for (size_t k = index + 1; k < events_.size() && events_[k].kind != EventKind::Menu; ++k) {
      if (events_[k].kind != EventKind::Dialog) continue;
      queued_[k] = true;
      if (auto action = platform::ParseDialogAction(events_[k].text)) scripted_.Queue(*action);
      else say_("events line " + std::to_string(events_[k].line) + ": not a dialog action: " + events_[k].text);
    }
    std::vector<std::string> items = server.MenuItems();
    if (items.empty()) say_("menu at " + Transcript::Number(event.t) + " s: no add-on has a menu entry yet");
    else server.SelectMenuItem(items.front());
  }

  std::vector<ReplayEvent> events_;
  std::vector<bool> queued_;
  platform::ScriptedUserInterface& scripted_;
  const Simulator::Output& say_;
  size_t next_ = 0;
  AircraftValues eyepoint_;
  bool dialogNoted_ = false;
};

// A recorded flight as a source: frames at 30 Hz of flight time from its
// first row to its last (or its last event), paced by the wall clock when
// flown in real time. Where callouts are heard (in real time or into a
// recording), the flight's last moment is held after its end while a callout
// is still being spoken, for at most 10 s.
class RecordedFlight : public AircraftSource {
 public:
  RecordedFlight(FlightFile flight, std::vector<ReplayEvent> events, const ReplayOptions& options,
                 const Simulator::Output& say)
      : flight_(std::move(flight)),
        events_(std::move(events)),
        options_(options),
        say_(say),
        audible_(options.realtime || !options.recordPath.empty() || options.wallClock),
        endSeconds_(EndSeconds(flight_, events_)),
        endMicro_(Microseconds(endSeconds_)) {}

  std::vector<ReplayEvent> Events() const override { return events_; }

  bool Next(SourceFrame& frame, bool speaking) override {
    constexpr int64_t kLastCalloutMicro = 10 * 1000000;
    if (frame_ == 0) {
      say_("replaying " + options_.flightPath + ": " + std::to_string(static_cast<long long>(endSeconds_)) +
           " s of flight");
      start_ = std::chrono::steady_clock::now();
    }
    int64_t now = FrameMicroseconds(frame_);
    if (now > endMicro_ && (!audible_ || !speaking || now > endMicro_ + kLastCalloutMicro)) return false;
    if (options_.realtime || options_.wallClock) std::this_thread::sleep_until(start_ + std::chrono::microseconds(now));
    frame.microseconds = now;
    frame.aircraft = FlightValuesAt(flight_, static_cast<double>(now) / 1e6);
    ++frame_;
    if (options_.progress) options_.progress(static_cast<double>(now) / 1e6, endSeconds_);
    return true;
  }

 private:
  static double EndSeconds(const FlightFile& flight, const std::vector<ReplayEvent>& events) {
    double end = flight.Duration();
    if (!events.empty()) end = std::max(end, events.back().t);
    return end;
  }

  FlightFile flight_;
  std::vector<ReplayEvent> events_;
  const ReplayOptions& options_;
  const Simulator::Output& say_;
  bool audible_;
  double endSeconds_;
  int64_t endMicro_;
  uint64_t frame_ = 0;
  std::chrono::steady_clock::time_point start_;
};

// Connects the transcript to what the simulator reports: boxes, text lines,
// panel variables, and the module's log.
void ListenToSimulator(Simulator& simulator, Transcript& transcript, ReplayState& state, AircraftSource& source,
                       const ReplayOptions& options) {
  simulator.SetBoxListener([&transcript](const platform::MessageBoxRecord& box) {
    transcript.Box(box.caption, box.text, platform::AnswerName(box.answer));
  });
  simulator.SetTextListener([&transcript, &source](const std::string& text) {
    transcript.Text(text);
    source.TextLine(text);
  });
  simulator.Gauges().Variables().SetListener([&transcript, &state](const std::string& name, double value) {
    if (state.panelWriting.load()) return;
    if (name == "ORVA_Alert") transcript.Alert(value);
    else transcript.Lvar(name, value);
  });
  // The module truncates its log when it starts; a log left from an earlier
  // run would otherwise be read as this run's.
  std::string log = platform::JoinPath({options.simulator.appDataDir, "ORVANTE", "ORVANTE.LOG"});
  platform::DeleteFileU8(log);
  transcript.FollowLog(log);
}

void SaySummary(const ReplayFigures& result, const char* verb, const Simulator::Output& say) {
  char summary[200];
  std::snprintf(
      summary, sizeof summary, "%s %.1f s of virtual time in %.2f s (%.0fx), %llu frames, %llu transcript lines", verb,
      result.virtualSeconds, result.wallSeconds,
      result.wallSeconds > 0 ? result.virtualSeconds / result.wallSeconds : 0.0,
      static_cast<unsigned long long>(result.frames), static_cast<unsigned long long>(result.transcriptLines));
  say(summary);
}

}  // namespace

common::Result<ReplayFigures> RunReplay(const ReplayOptions& options, const Simulator::Output& say) {
  // Everything from outside is read and checked before anything starts.
  common::Result<ReplayInputs> inputs = ReadReplayInputs(options, say);
  if (!inputs) return common::Fail(inputs.error());
  RecordedFlight source(std::move(inputs->flight), std::move(inputs->events), options, say);
  return RunFlight(options, source, say);
}

common::Result<ReplayFigures> RunFlight(const ReplayOptions& options, AircraftSource& source,
                                        const Simulator::Output& say) {
  ReplayFigures result;
  auto wallStart = std::chrono::steady_clock::now();

  std::unique_ptr<FILE, int (*)(FILE*)> out(nullptr, std::fclose);
  if (!options.transcriptPath.empty()) {
    out.reset(std::fopen(platform::NativePath(options.transcriptPath).c_str(),
                         "wb"));  // byte for byte the same file on every system
    if (!out) return common::Fail("cannot write the transcript " + options.transcriptPath);
  }

  VitalsFile vitals;
  if (!options.vitalsPath.empty()) {
    if (auto opened = vitals.Open(platform::NativePath(options.vitalsPath)); !opened)
      return common::Fail(opened.error());
  }

  VirtualClock clock;
  Transcript transcript(out.get(), [&clock] { return clock.NowMicroseconds(); });
  // Callouts are reported as spoken only where the audio device plays in step
  // with the flight: in real time, or into a recording (in real time or in
  // lockstep with the flight's virtual time), or with the add-ons on the wall
  // clock. A device of its own in virtual time plays on the wall clock, far
  // behind the flight.
  const bool audible = options.realtime || !options.recordPath.empty() || options.wallClock;
  ReplayState state;
  SpokenCallouts spoken([&](double t, const std::vector<std::string>& cues) {
    if (!audible) return;
    if (options.spokenLatency) {
      if (std::optional<double> latency = SampleToSpeech(state, t, cues))
        return options.spokenLatency(t, cues, *latency);
    }
    if (options.spoken) return options.spoken(t, cues);
    std::string names;
    for (const std::string& cue : cues) names += (names.empty() ? "" : " ") + cue;
    say(Transcript::Number(std::round(t * 100) / 100) + " s: " + names);
  });
  state.clock = &clock;
  state.transcript = &transcript;
  state.spoken = &spoken;

  // A recording is the audio device: it must be in place before any add-on
  // opens its sound.
  std::unique_ptr<CockpitRecorder> recorder;
  if (!options.recordPath.empty()) {
    recorder = std::make_unique<CockpitRecorder>(
        options.recordPath, options.realtime ? CockpitRecorder::Pacing::RealTime : CockpitRecorder::Pacing::Lockstep);
    if (auto started = recorder->Start(); !started)
      return common::Fail("cannot record the cockpit audio: " + started.error());
  }
  // The add-ons' threads pace themselves on the replay's clock, unless they
  // run on the wall clock beside the frames.
  std::optional<ClockInstallation> installed;
  if (!options.wallClock) installed.emplace(clock);

  {
    AudioTrace audioTrace(options.simulator.simulatorDir, &state, say);
    Simulator simulator(options.simulator, say);
    ListenToSimulator(simulator, transcript, state, source, options);
    common::ScopeExit stopListening([&simulator] { simulator.Gauges().Variables().SetListener(nullptr); });
    if (!simulator.Start()) return common::Fail("the simulator could not start");
    // The add-ons' threads reach their first pause before time moves, so the
    // worker's cycles fall on the same instants in every run.
    if (options.wallClock) say("add-ons run on the wall clock, side by side with the frames");
    else if (!clock.WaitForSleepers(1, std::chrono::seconds(3))) say("no add-on thread paces itself on the clock");
    transcript.ReadLog();

    // Dialog actions of the events file work the dialog the menu opens.
    platform::ScriptedUserInterface scripted;
    const bool scriptDialogs = &platform::CurrentUserInterface() == &platform::BuiltInHeadlessUserInterface();
    if (scriptDialogs) {
      scripted.SetListener([&](const platform::MessageBoxRecord& box) {
        transcript.Box(box.caption, box.text, platform::AnswerName(box.answer));
      });
      platform::SetUserInterface(&scripted);
    }
    common::ScopeExit restoreUserInterface([scriptDialogs] {
      if (scriptDialogs) platform::SetUserInterface(nullptr);
    });
    platform::SetDialogEventListener(
        [&](const platform::DialogEvent& e) { transcript.Dialog(e.dialog, e.action, e.outcome, e.result); });
    common::ScopeExit stopDialogEvents([] { platform::SetDialogEventListener(nullptr); });
    EventPlayer player(source.Events(), scripted, say);

    const int64_t vitalsEvery = Microseconds(options.vitalsEverySeconds);
    int64_t nextVitals = options.vitalsPath.empty() ? std::numeric_limits<int64_t>::max() : 0;

    uint64_t cuesStarted = 0;
    for (;;) {
      SourceFrame frame;
      if (!source.Next(frame, spoken.Playing())) break;
      for (ReplayEvent& event : frame.events) player.Add(std::move(event));
      int64_t now = std::max(frame.microseconds, clock.NowMicroseconds());
      clock.AdvanceTo(now, [&] {
        transcript.ReadLog();
        // A cue queued now may start at the next instant: the device must be
        // where a device in real time would be.
        if (recorder && spoken.Playing()) recorder->Settle();
      });
      double seconds = static_cast<double>(now) / 1e6;
      player.PlayDue(now, simulator, state);

      AircraftValues values = frame.aircraft;
      values.eyepointXFt = player.Eyepoint().eyepointXFt;
      values.eyepointYFt = player.Eyepoint().eyepointYFt;
      values.eyepointZFt = player.Eyepoint().eyepointZFt;
      simulator.Gauges().SetAircraft(values);
      simulator.Frame(seconds);
      state.sampledArrival = frame.arrivedMicroseconds;
      transcript.ReadLog();
      ++result.frames;
      if (recorder) {
        // A cue started in this step has its wave started by the sound
        // engine's own thread, in a pass of it that runs before the device
        // may mix on: the device still waits where it settled at the end of
        // the last step, so the wave begins there in every run and in either
        // pacing. (Let the device mix first and the pass would race with its
        // mixing: on a busy machine a wave then began a buffer later in some
        // runs.) The device may then mix up to this frame; while callouts are
        // queued or playing it settles at each step, and in virtual time the
        // engine's next pass ends the waves that have played out, as the time
        // of the step would in real time. In between, the device mixes its
        // silence as it comes.
        const bool playing = spoken.Playing();
        const bool started = spoken.Started() != cuesStarted;
        if (started) recorder->AwaitEnginePass(CockpitRecorder::EnginePass::Whole);
        recorder->FlightAt(now, playing);
        if (!started && playing && !options.realtime) recorder->AwaitEnginePass(CockpitRecorder::EnginePass::Next);
        cuesStarted = spoken.Started();
      }
      if (now >= nextVitals) {
        vitals.Record(seconds, ReadProcessVitals(), audioTrace.Vitals());
        while (nextVitals <= now) nextVitals += vitalsEvery;
      }
    }
    result.virtualSeconds = static_cast<double>(clock.NowMicroseconds()) / 1e6;

    // Shut-down: the module waits for its worker in pauses of its own, so time
    // now moves on by itself.
    if (recorder) {
      // All of the flight is in the file before the add-ons close the device.
      recorder->FlightAt(clock.NowMicroseconds(), true);
      recorder->EndAt(clock.NowMicroseconds());
    }
    clock.SetFreeRunning(true);
    simulator.Stop();
    transcript.ReadLog();
  }
  if (recorder) {
    if (auto finished = recorder->Finish(); !finished)
      return common::Fail("the cockpit audio is incomplete: " + finished.error());
    for (const std::string& note : recorder->Notes()) say("cockpit audio: " + note);
    uint64_t frames = recorder->Frames();
    char line[400];
    std::snprintf(line, sizeof line, "cockpit audio: %.1f s recorded to %s",
                  static_cast<double>(frames) / CockpitRecorder::kSampleRate, options.recordPath.c_str());
    say(line);
  }

  result.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  result.transcriptLines = transcript.LineCount();
  SaySummary(result, source.SummaryVerb(), say);
  return result;
}

}  // namespace sim
