// orvante-sim, the stand-in simulator: runs add-on modules as the simulator
// would, on a system where the simulator does not exist.
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <algorithm>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "audio_output.h"
#include "command_line.h"
#include "flightplan/flight_command.h"
#include "flightplan/flight_file.h"
#include "flightplan/flight_repeat.h"
#include "report/callouts.h"
#include "report/report_command.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/user_interface.h"
#include "progress/progress_line.h"
#include "simulator.h"
#include "common/text.h"

namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int) { g_stopSignal = 1; }

// Sets a variable of this process's environment, keeping one already set
// when overwrite is false.
void SetEnvironment(const char* name, const char* value, bool overwrite) {
#ifdef _WIN32
  if (!overwrite && std::getenv(name) != nullptr) return;
  _putenv_s(name, value);
#else
  setenv(name, value, overwrite ? 1 : 0);
#endif
}

// Ctrl-C and a request to end stop the simulator; a second one ends a
// simulator whose add-on hangs in its stop.
void InstallStopHandlers() {
#ifdef _WIN32
  std::signal(SIGINT, OnStopSignal);  // Windows resets the handler on delivery
  std::signal(SIGTERM, OnStopSignal);
#else
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
#endif
}

// The simulator folder of a build: "sim" beside the folder of this program.
std::string DefaultSimulatorDir() {
  std::filesystem::path program = platform::GetExecutablePath();
  return (program.parent_path().parent_path() / "sim").string();
}

std::mutex g_outputMutex;
// The progress line of a long replay on the terminal, if any: cleared before
// a line is printed, drawn again at the next frame.
orvante::progress::ProgressLine* g_progress = nullptr;

void Print(const std::string& line) {
  std::lock_guard<std::mutex> lock(g_outputMutex);
  if (g_progress) g_progress->Done();
  std::fprintf(stdout, "orvante-sim: %s\n", line.c_str());
  std::fflush(stdout);
}

// Started as the simulator folder's executable (Prepar3D.exe, fsx.exe or
// fs9.exe) without a command, the program starts that simulator in that folder.
std::vector<std::string> ArgumentsOfSimulatorExecutable(const char* program) {
  std::filesystem::path path(program);
  const std::string name = common::ToLowerAscii(path.filename().string());
  const char* identity = name == "prepar3d.exe" ? "prepar3d"
                         : name == "fsx.exe"    ? "fsx"
                         : name == "fs9.exe"    ? "fs9"
                                                : nullptr;
  if (identity == nullptr) return {};
  std::string folder = path.parent_path().string();
  return {"start", "--sim-dir", folder.empty() ? "." : folder, "--as", identity};
}

// `fly PLAN` with `--out FLIGHT.csv` writes the flight the plan describes;
// without it the flight is flown at once: written beside the transcript (or
// into a temporary folder) and replayed with the remaining options. Returns
// an exit code when the command is done, or the replay's arguments.
std::optional<int> RunFly(std::vector<std::string>& arguments, const std::string& simDir) {
  std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
  bool writeOnly = std::find(rest.begin(), rest.end(), "--out") != rest.end();
  if (writeOnly || rest.empty() || rest[0].rfind("--", 0) == 0)
    return orvante::flightplan::RunFlightCommand(rest, simDir, stdout, stderr);
  std::string plan = rest[0];
  std::string planSimDir = simDir;
  std::string transcript;
  std::optional<double> repeatFor;
  for (size_t i = 1; i + 1 < rest.size(); ++i) {
    if (rest[i] == "--sim-dir") planSimDir = rest[i + 1];
    if (rest[i] == "--transcript") transcript = rest[i + 1];
  }
  // --repeat-for is the plan's, not the replay's: taken out of the options.
  for (size_t i = 1; i < rest.size(); ++i) {
    const bool joined = rest[i].rfind("--repeat-for=", 0) == 0;
    if (!joined && rest[i] != "--repeat-for") continue;
    const std::string value = joined ? rest[i].substr(rest[i].find('=') + 1) : i + 1 < rest.size() ? rest[i + 1] : "";
    repeatFor = orvante::flightplan::ParseRepeatSeconds(value);
    if (!repeatFor) {
      std::fprintf(stderr, "orvante-sim: --repeat-for takes a number of seconds, not '%s'\n", value.c_str());
      return 2;
    }
    rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(i),
               rest.begin() + static_cast<std::ptrdiff_t>(i + (joined ? 1 : 2)));
    --i;
  }
  orvante::flightplan::Flight flight;
  if (auto made = orvante::flightplan::FlightFromPlanFile(plan, planSimDir, flight); !made) {
    std::fprintf(stderr, "orvante-sim: %s\n", made.error().c_str());
    return 1;
  }
  if (repeatFor) {
    orvante::flightplan::RepeatedFlight repeated;
    if (auto made = orvante::flightplan::RepeatFlight(flight, *repeatFor, repeated); !made) {
      std::fprintf(stderr, "orvante-sim: %s: %s\n", plan.c_str(), made.error().c_str());
      return 1;
    }
    char line[160];
    std::snprintf(line, sizeof line, "the plan's flight flown %zu time(s), one every %.0f s", repeated.repetitions,
                  repeated.periodSeconds);
    Print(line);
    flight = std::move(repeated.flight);
  }
  std::filesystem::path flightFile = transcript.empty()
                                         ? std::filesystem::temp_directory_path() /
                                               ("orvante-fly-" + std::to_string(static_cast<long>(getpid())) + ".csv")
                                         : std::filesystem::path(transcript).replace_extension(".flight.csv");
  if (auto written = orvante::flightplan::WriteFlightFile(flightFile.string(), flight); !written) {
    std::fprintf(stderr, "orvante-sim: %s\n", written.error().c_str());
    return 1;
  }
  Print("flying " + plan + " (flight written to " + flightFile.string() + ")");
  arguments = {"replay", flightFile.string()};
  arguments.insert(arguments.end(), rest.begin() + 1, rest.end());
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.empty() && argc > 0) arguments = ArgumentsOfSimulatorExecutable(argv[0]);
  if (!arguments.empty() && arguments[0] == "report") {
    std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    return orvante::report::RunReportCommand(rest, DefaultSimulatorDir(), ORVANTE_DEFAULT_PHRASES, stdout, stderr);
  }
  if (!arguments.empty() && arguments[0] == "fly") {
    if (std::optional<int> done = RunFly(arguments, DefaultSimulatorDir())) return *done;
  }
  common::Result<sim::CommandLine> parsed = sim::ParseCommandLine(arguments, DefaultSimulatorDir());
  if (!parsed) {
    std::fprintf(stderr, "orvante-sim: %s\n%s", parsed.error().c_str(), sim::Usage().c_str());
    return 2;
  }
  sim::CommandLine& line = *parsed;
  if (line.command == sim::Command::Help) {
    std::fputs(sim::Usage().c_str(), stdout);
    return 0;
  }
  if (line.command == sim::Command::FlightGear && line.printFgfsOptions) {
    const sim::FlightGearLinkOptions& link = line.flightgear.link;
    if (link.port == 0) {
      std::fprintf(stderr, "orvante-sim: --print-fgfs-options needs the port FlightGear sends to (--port N, not 0)\n");
      return 2;
    }
    std::fputs(sim::FlightGearOptions(line.options.simulatorDir, link.port, link.textPort).c_str(), stdout);
    return 0;
  }

  // The simulator stops on Ctrl-C and SIGTERM. Libraries that the add-ons
  // bring (SDL under the audio library) must leave these signals to it.
  SetEnvironment("SDL_NO_SIGNAL_HANDLERS", "1", true);
  InstallStopHandlers();
#ifdef _WIN32
  // As on Linux, boxes are recorded and answered with their default button
  // unless the desktop front end is chosen below (a Windows process would
  // otherwise show Windows' own boxes).
  platform::SetUserInterface(&platform::BuiltInHeadlessUserInterface());
#endif
  // A replay in virtual time is silent unless a driver was chosen: it runs
  // far faster than real time, and its cues are recorded from the audio
  // library's queue. In real time it plays through the machine's device; a
  // recording is its own device, in virtual time or in real time.
  bool replay = line.command == sim::Command::Replay;
  bool live = line.command == sim::Command::FlightGear;
  bool recording = (replay || live) && !line.replay.recordPath.empty();
  if (replay && !line.replay.realtime && !recording) SetEnvironment("SDL_AUDIODRIVER", "dummy", false);
  if (recording && line.replay.realtime)
    Print("--record with --realtime: the cockpit audio is recorded in real time, not played through the audio device");
  if (!recording) sim::ChooseAudioDriver(sim::ProbeSdlAudioDevices, Print);

  if (replay || live) {
    // Callouts as they are spoken, in the words of the default voice; live,
    // with how long after FlightGear's record each one began.
    orvante::report::PhraseBook phrases;
    std::string manifest;
    if (platform::ReadWholeFile(ORVANTE_DEFAULT_PHRASES, manifest)) phrases.AddManifest(manifest);
    auto spokenLine = [&phrases](double t, const std::vector<std::string>& cues, const std::string& after) {
      std::string words, names;
      for (const std::string& cue : cues) {
        words += (words.empty() ? "" : " ") + phrases.Phrase(cue);
        names += (names.empty() ? "" : " ") + cue;
      }
      char time[32];
      std::snprintf(time, sizeof time, "%8.2f s", t);
      Print(std::string(time) + "  \"" + words + "\"  [" + names + "]" + after);
    };
    if (live) {
      line.flightgear.link.shouldStop = [] { return g_stopSignal != 0; };
      line.flightgear.flight.spokenLatency = [&](double t, const std::vector<std::string>& cues, double latency) {
        char after[64];
        std::snprintf(after, sizeof after, "  %.0f ms after the record", latency * 1000);
        spokenLine(t, cues, after);
      };
      line.flightgear.flight.spoken = [&spokenLine](double t, const std::vector<std::string>& cues) {
        spokenLine(t, cues, "");
      };
      sim::FlightGearBridgeResult result = sim::RunFlightGearBridge(line.flightgear, Print);
      if (!result.flight) {
        std::fprintf(stderr, "orvante-sim: %s\n", result.flight.error().c_str());
        return 1;
      }
      return 0;
    }
    line.replay.spoken = [&spokenLine](double t, const std::vector<std::string>& cues) { spokenLine(t, cues, ""); };
    // A replay that takes more than a few seconds shows how far it has come.
    std::string flightName = std::filesystem::path(line.replay.flightPath).filename().string();
    orvante::progress::ProgressLine progress(stderr, "Replaying " + flightName, std::chrono::seconds(3));
    line.replay.progress = [&progress](double seconds, double total) {
      std::lock_guard<std::mutex> lock(g_outputMutex);
      progress.Update(seconds, total, "s of flight");
    };
    {
      std::lock_guard<std::mutex> lock(g_outputMutex);
      g_progress = &progress;
    }
    common::Result<sim::ReplayFigures> result = sim::RunReplay(line.replay, Print);
    {
      std::lock_guard<std::mutex> lock(g_outputMutex);
      g_progress = nullptr;
      progress.Done();
    }
    if (!result) {
      std::fprintf(stderr, "orvante-sim: %s\n", result.error().c_str());
      return 1;
    }
    return 0;
  }

  // With a display, boxes and the settings dialog are real windows, shown on
  // this thread (the one that dispatches the simulator's messages). Windows
  // always has its desktop; ORVANTE_HEADLESS=1 keeps the boxes recorded
  // (tests, which must never wait on a box).
  platform::UserInterface* desktop = nullptr;
#ifdef _WIN32
  const char* headless = std::getenv("ORVANTE_HEADLESS");
  bool haveDisplay = headless == nullptr || *headless == '\0' || std::string(headless) == "0";
  if (!haveDisplay) Print("ORVANTE_HEADLESS: boxes are recorded and answered with their default button");
#else
  bool haveDisplay = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
#endif
  if (haveDisplay) {
    std::string why;
    desktop = platform::LoadDesktopUserInterface(&why);
    if (desktop) {
      platform::SetUserInterface(desktop);
      Print("boxes and the settings dialog open as desktop windows");
    } else {
      Print("no desktop windows (" + why + "): boxes are recorded and answered with their default button");
    }
  }

  sim::Simulator simulator(line.options, Print);
  if (!simulator.Start()) return 1;
  if (line.seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "running for %g s", *line.seconds);
    Print(text);
    simulator.Run(std::chrono::milliseconds(static_cast<long long>(*line.seconds * 1000.0)),
                  [] { return g_stopSignal != 0; });
  } else {
    Print("running until Ctrl-C");
    simulator.Run(std::chrono::hours(24 * 365 * 100), [] { return g_stopSignal != 0; });
  }
  simulator.Stop();
  if (desktop) {
    platform::SetUserInterface(nullptr);
    platform::UnloadDesktopUserInterface(desktop);
  }
  return 0;
}
