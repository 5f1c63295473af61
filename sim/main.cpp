// orvante-sim, the stand-in simulator: runs add-on modules as the simulator
// would, on a system where the simulator does not exist.
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <unistd.h>
#include <algorithm>

#include "audio_output.h"
#include "command_line.h"
#include "flightplan/flight_command.h"
#include "flightplan/flight_file.h"
#include "report/callouts.h"
#include "report/report_command.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/user_interface.h"
#include "simulator.h"

namespace {

volatile std::sig_atomic_t g_stopSignal = 0;

void OnStopSignal(int) { g_stopSignal = 1; }

// The simulator folder of a build: "sim" beside the folder of this program.
std::string DefaultSimulatorDir() {
  std::filesystem::path program = platform::GetExecutablePath();
  return (program.parent_path().parent_path() / "sim").string();
}

std::mutex g_outputMutex;

void Print(const std::string& line) {
  std::lock_guard<std::mutex> lock(g_outputMutex);
  std::fprintf(stdout, "orvante-sim: %s\n", line.c_str());
  std::fflush(stdout);
}

// Started as the simulator folder's executable (Prepar3D.exe, fsx.exe or
// fs9.exe) without a command, the program starts that simulator in that folder.
std::vector<std::string> ArgumentsOfSimulatorExecutable(const char* program) {
  std::filesystem::path path(program);
  std::string name = path.filename().string();
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const char* identity = name == "prepar3d.exe" ? "prepar3d" : name == "fsx.exe" ? "fsx" : name == "fs9.exe" ? "fs9" : nullptr;
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
  for (size_t i = 1; i + 1 < rest.size(); ++i) {
    if (rest[i] == "--sim-dir") planSimDir = rest[i + 1];
    if (rest[i] == "--transcript") transcript = rest[i + 1];
  }
  orvante::flightplan::Flight flight;
  if (auto error = orvante::flightplan::FlightFromPlanFile(plan, planSimDir, flight)) {
    std::fprintf(stderr, "orvante-sim: %s\n", error->c_str());
    return 1;
  }
  std::filesystem::path flightFile =
      transcript.empty() ? std::filesystem::temp_directory_path() / ("orvante-fly-" + std::to_string(getpid()) + ".csv")
                         : std::filesystem::path(transcript).replace_extension(".flight.csv");
  if (auto error = orvante::flightplan::WriteFlightFile(flightFile.string(), flight)) {
    std::fprintf(stderr, "orvante-sim: %s\n", error->c_str());
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
  sim::CommandLine line = sim::ParseCommandLine(arguments, DefaultSimulatorDir());
  if (!line.ok) {
    std::fprintf(stderr, "orvante-sim: %s\n%s", line.error.c_str(), sim::Usage().c_str());
    return 2;
  }
  if (line.command == sim::Command::Help) {
    std::fputs(sim::Usage().c_str(), stdout);
    return 0;
  }

  // The simulator stops on Ctrl-C and SIGTERM. Libraries that the add-ons
  // bring (SDL under the audio library) must leave these signals to it.
  setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  action.sa_flags = SA_RESETHAND;  // a second Ctrl-C ends a simulator whose add-on hangs in its stop
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  // A replay in virtual time is silent unless a driver was chosen: it runs
  // far faster than real time, and its cues are recorded from the audio
  // library's queue. In real time it plays through the machine's device; a
  // recording is its own device.
  bool replay = line.command == sim::Command::Replay;
  bool recording = replay && !line.replay.recordPath.empty();
  if (replay && !line.replay.realtime && !recording) setenv("SDL_AUDIODRIVER", "dummy", 0);
  if (recording && line.replay.realtime) Print("--record: the cockpit audio goes to the file, not to the audio device");
  if (!recording) sim::ChooseAudioDriver(sim::ProbeSdlAudioDevices, Print);

  if (replay) {
    // Callouts as they are spoken, in the words of the default voice.
    orvante::report::PhraseBook phrases;
    std::string manifest;
    if (platform::ReadWholeFile(ORVANTE_DEFAULT_PHRASES, manifest)) phrases.AddManifest(manifest);
    line.replay.spoken = [&phrases](double t, const std::vector<std::string>& cues) {
      std::string words, names;
      for (const std::string& cue : cues) {
        words += (words.empty() ? "" : " ") + phrases.Phrase(cue);
        names += (names.empty() ? "" : " ") + cue;
      }
      char time[32];
      std::snprintf(time, sizeof time, "%8.2f s", t);
      Print(std::string(time) + "  \"" + words + "\"  [" + names + "]");
    };
    sim::ReplayResult result = sim::RunReplay(line.replay, Print);
    if (!result.ok) {
      std::fprintf(stderr, "orvante-sim: %s\n", result.error.c_str());
      return 1;
    }
    return 0;
  }

  // With a display, boxes and the settings dialog are real windows, shown on
  // this thread (the one that dispatches the simulator's messages).
  platform::UserInterface* desktop = nullptr;
  if (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")) {
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
