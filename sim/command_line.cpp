// Reading the stand-in simulator's command line.
#include "command_line.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "common/text.h"

namespace sim {
namespace {

std::string Absolute(const std::string& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  std::string result = ec ? path : absolute.lexically_normal().string();
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

std::string Lower(std::string text) { return common::ToLowerAscii(text); }

}  // namespace

std::string Usage() {
  return "usage: orvante-sim start [--sim-dir DIR] [--appdata DIR] [--seconds N]\n"
         "                         [--as prepar3d|fsx|fs9] [--dll-xml PATH]\n"
         "  Starts the simulator, loads the add-ons of its dll.xml and stops them in\n"
         "  order after N seconds, or on Ctrl-C.\n"
         "  --sim-dir DIR   the simulator folder (default: the folder sim beside the program's bin)\n"
         "  --appdata DIR   the user's application-data folder (default: DIR/AppData of the simulator)\n"
         "  --seconds N     how long to run (default: until Ctrl-C)\n"
         "  --as NAME       stand as Prepar3D (default), FSX or FS9\n"
         "  --dll-xml PATH  the add-on list (default: dll.xml in the simulator folder)\n"
         "  --no-simconnect do not serve SimConnect (add-ons find no simulator to connect to)\n"
         "usage: orvante-sim replay FLIGHT.csv [--events EVENTS.csv] [--sim-dir DIR]\n"
         "                         [--appdata DIR] [--aircraft PATH] [--transcript OUT.jsonl]\n"
         "                         [--realtime] [--record COCKPIT.wav] [--wall-clock]\n"
         "                         [--vitals VITALS.csv [--vitals-every SECONDS]]\n"
         "  Flies a recorded flight through the installed add-ons in virtual time\n"
         "  (30 frames a second) and writes what they did to the transcript.\n"
         "  --events FILE      events (t,event,args...); without it the aircraft of\n"
         "                     --aircraft loads and the simulation starts at 0\n"
         "  --aircraft PATH    an aircraft folder with its aircraft.cfg, or a flight-model file\n"
         "  --transcript FILE  the transcript, JSON Lines\n"
         "  --realtime         fly in real time and play the cues through the audio\n"
         "                     device, printing each callout as it is spoken\n"
         "  --record FILE.wav  write what the pilot hears to FILE.wav, printing each\n"
         "                     callout as it is spoken: in virtual time as fast as the\n"
         "                     sound can be mixed, or in real time with --realtime\n"
         "  --wall-clock       fly in real time with the add-ons' threads on the wall clock,\n"
         "                     side by side with the frames (silent; not reproducible)\n"
         "  --vitals FILE      the process's figures at every hour of the flight (or every\n"
         "                     --vitals-every seconds): memory, open files, threads, live\n"
         "                     audio handles, play queue, as CSV\n"
         "usage: orvante-sim flightgear [--port N] [--text-port N] [--sim-dir DIR] [--appdata DIR]\n"
         "                         [--transcript OUT.jsonl] [--record COCKPIT.wav] [--capture OUT.txt]\n"
         "                         [--print-fgfs-options]\n"
         "  Hosts the add-ons while a running FlightGear flies the aircraft: its records\n"
         "  arrive over UDP on 127.0.0.1, the voice plays through the audio device,\n"
         "  text lines show on FlightGear's screen. Runs until Ctrl-C.\n"
         "  --port N            where FlightGear sends its records (default 5710; 0: any free port)\n"
         "  --text-port N       where FlightGear reads text lines (default 5711; 0: none)\n"
         "  --capture FILE      keep every record as it arrived, to play back later\n"
         "  --print-fgfs-options  print the options to add to fgfs, and stop\n"
         "usage: orvante-sim fly PLAN [--sim-dir DIR] [--repeat-for SECONDS] --out FLIGHT.csv\n"
         "       orvante-sim fly PLAN [--repeat-for SECONDS] [replay options]\n"
         "  Builds the flight a plan describes at a real airport of the runway table;\n"
         "  writes it as a flight file, or flies it at once through the add-ons.\n"
         "usage: orvante-sim report TRANSCRIPT FLIGHT --out REPORT.svg [--png REPORT.png]\n"
         "  Draws a flight's report: the runways, the track and where each callout came.\n"
         "Started as Prepar3D.exe, fsx.exe or fs9.exe without arguments (the simulator\n"
         "folder's executable), it starts that simulator in the executable's folder.\n";
}

common::Result<CommandLine> ParseCommandLine(const std::vector<std::string>& arguments,
                                             const std::string& defaultSimulatorDir) {
  if (arguments.empty()) return common::Fail("no command given");
  const std::string& command = arguments[0];
  if (command == "help" || command == "--help" || command == "-h") {
    CommandLine line;
    line.command = Command::Help;
    return line;
  }
  if (command != "start" && command != "replay" && command != "flightgear")
    return common::Fail("unknown command \"" + command + "\"");
  bool replay = command == "replay";
  bool live = command == "flightgear";

  CommandLine line;
  line.command = replay ? Command::Replay : live ? Command::FlightGear : Command::Start;
  std::string simDir, appData, dllXml;
  size_t first = 1;
  if (replay) {
    if (arguments.size() < 2 || arguments[1].starts_with("--")) return common::Fail("replay needs a flight file");
    line.replay.flightPath = Absolute(arguments[1]);
    first = 2;
  }
  for (size_t i = first; i < arguments.size(); ++i) {
    std::string option = arguments[i];
    std::optional<std::string> value;
    if (size_t equals = option.find('='); option.starts_with("--") && equals != std::string::npos) {
      value = option.substr(equals + 1);
      option.resize(equals);
    }
    if (option == "--no-simconnect") {
      line.options.serveSimConnect = false;
      continue;
    }
    if (replay && option == "--realtime") {
      line.replay.realtime = true;
      continue;
    }
    if (live && option == "--print-fgfs-options") {
      line.printFgfsOptions = true;
      continue;
    }
    if (replay && option == "--wall-clock") {
      line.replay.wallClock = true;
      continue;
    }
    if (option == "--help" || option == "-h") {
      line.command = Command::Help;
      return line;
    }
    bool known = option == "--sim-dir" || option == "--appdata" || option == "--dll-xml" ||
                 (!replay && !live && (option == "--seconds" || option == "--as")) ||
                 (replay && (option == "--events" || option == "--aircraft" || option == "--transcript" ||
                             option == "--record" || option == "--vitals" || option == "--vitals-every")) ||
                 (live && (option == "--port" || option == "--text-port" || option == "--transcript" ||
                           option == "--record" || option == "--capture"));
    if (!known) {
      return common::Fail("unknown option \"" + option + "\"" +
                          (replay ? " for replay"
                           : live ? " for flightgear"
                                  : ""));
    }
    if (!value) {
      if (i + 1 >= arguments.size()) return common::Fail("the option " + option + " needs a value");
      value = arguments[++i];
    }
    if (value->empty()) return common::Fail("the option " + option + " needs a value");

    if (option == "--sim-dir") {
      simDir = *value;
    } else if (option == "--appdata") {
      appData = *value;
    } else if (option == "--dll-xml") {
      dllXml = *value;
    } else if (option == "--events") {
      line.replay.eventsPath = Absolute(*value);
    } else if (option == "--aircraft") {
      line.replay.aircraftPath = *value;  // resolved against the simulator folder at replay
    } else if (option == "--transcript") {
      line.replay.transcriptPath = Absolute(*value);
    } else if (option == "--record") {
      line.replay.recordPath = Absolute(*value);
    } else if (option == "--port" || option == "--text-port") {
      char* end = nullptr;
      long port = std::strtol(value->c_str(), &end, 10);
      bool text = option == "--text-port";
      if (end == value->c_str() || *end != '\0' || port < 0 || port > 65535)
        return common::Fail(option + " takes a port number from 0 to 65535, not \"" + *value + "\"");
      (text ? line.flightgear.link.textPort : line.flightgear.link.port) = static_cast<uint16_t>(port);
    } else if (option == "--capture") {
      line.flightgear.link.capturePath = Absolute(*value);
    } else if (option == "--vitals") {
      line.replay.vitalsPath = Absolute(*value);
    } else if (option == "--vitals-every") {
      char* end = nullptr;
      double seconds = std::strtod(value->c_str(), &end);
      if (end == value->c_str() || *end != '\0' || !std::isfinite(seconds) || seconds < 1 || seconds > 1e7)
        return common::Fail("--vitals-every takes a number of seconds from 1, not \"" + *value + "\"");
      line.replay.vitalsEverySeconds = seconds;
    } else if (option == "--seconds") {
      char* end = nullptr;
      double seconds = std::strtod(value->c_str(), &end);
      if (end == value->c_str() || *end != '\0' || !std::isfinite(seconds) || seconds < 0 || seconds > 1e7)
        return common::Fail("--seconds takes a number of seconds from 0, not \"" + *value + "\"");
      line.seconds = seconds;
    } else {  // --as
      std::string name = Lower(*value);
      if (name == "prepar3d" || name == "p3d") line.options.identity = SimulatorIdentity::Prepar3D;
      else if (name == "fsx") line.options.identity = SimulatorIdentity::Fsx;
      else if (name == "fs9") line.options.identity = SimulatorIdentity::Fs9;
      else return common::Fail("--as takes prepar3d, fsx or fs9, not \"" + *value + "\"");
    }
  }

  bool serveSimConnect = line.options.serveSimConnect;
  line.options.simulatorDir = Absolute(simDir.empty() ? defaultSimulatorDir : simDir);
  line.options.appDataDir = Absolute(appData.empty() ? line.options.simulatorDir + "/AppData" : appData);
  line.options.addonListPath = Absolute(dllXml.empty() ? line.options.simulatorDir + "/dll.xml" : dllXml);
  line.options.serveSimConnect = serveSimConnect;
  line.replay.simulator = line.options;
  if (live) {
    line.flightgear.flight.simulator = line.options;
    line.flightgear.flight.transcriptPath = line.replay.transcriptPath;
    line.flightgear.flight.recordPath = line.replay.recordPath;
    line.flightgear.flight.realtime = true;
  }
  return line;
}

}  // namespace sim
