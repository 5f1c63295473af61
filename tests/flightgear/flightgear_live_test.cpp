// The unit against a running FlightGear (scripts/test-flightgear runs this
// inside a network namespace of its own). FlightGear 2020.3 starts with the
// c172p at Honolulu, lined up on runway 26R; orvante-sim flightgear hosts the
// module with a runway table imported from FlightGear's own airport file and
// a profile linked to the c172p; our pilot (runway_pilot.h) stands on the
// runway past the holding reminder, starts the engine and makes a rejected
// take-off. The unit must say "on runway two six right" while lined up, the
// holding reminder, and the distance-remaining marks of the rejected
// take-off, and never "approaching" the runway it is on.
//
// Environment: ORVANTE_FLIGHTGEAR_LIVE=1 (set by the script) to run at all;
// ORVANTE_FGFS (default /usr/games/fgfs); ORVANTE_FG_ROOT, FlightGear's data
// (default /usr/share/games/flightgear); ORVANTE_FLIGHTGEAR_OUT, a folder
// that keeps the transcript, the capture of FlightGear's records and the logs.
#include <dirent.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <thread>

#include "bridge_process.h"
#include "fgfs_process.h"
#include "flightgear_record.h"
#include "loopback_udp.h"
#include "runway_pilot.h"
#include "report/transcript.h"

namespace flightgear_live {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr uint16_t kPilotPort = 5720;     // a second copy of the records, for the pilot
constexpr uint16_t kPropertyPort = 5401;  // FlightGear's property server
// PHNL 26R and its far end, 08L, as FlightGear's apt.dat has them.
constexpr RunwayLine kRunway26R = {21.32524400, -157.90709400, 21.32524700, -157.94323300};

std::string Environment(const char* name, const std::string& fallback = {}) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The network interfaces of this process's namespace (/proc/net/dev: two
// header lines, then "NAME: counters..."): only "lo" in one of its own.
std::vector<std::string> Interfaces() {
  std::vector<std::string> names;
  std::ifstream in("/proc/net/dev");
  std::string line;
  for (int header = 0; header < 2 && std::getline(in, line); ++header) {
  }
  while (std::getline(in, line)) {
    size_t colon = line.find(':');
    size_t first = line.find_first_not_of(' ');
    if (colon != std::string::npos && first < colon) names.push_back(line.substr(first, colon - first));
  }
  return names;
}

// The transcript's calls: cues of one cycle and one cut flag together.
std::vector<std::string> Calls(const std::string& transcript) {
  std::vector<orvante::report::TranscriptCue> cues;
  common::Result<> read = orvante::report::ReadTranscript(transcript, cues);
  EXPECT_TRUE(read) << read.error();
  std::vector<std::string> calls;
  double t = -1;
  bool cut = false;
  for (const auto& cue : cues) {
    if (calls.empty() || cue.t != t || cue.cut != cut) calls.push_back(cue.cut ? "[cut]" : "");
    t = cue.t;
    cut = cue.cut;
    calls.back() += (calls.back().empty() ? "" : " ") + cue.cue;
  }
  return calls;
}

class FlightGearLive : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Environment("ORVANTE_FLIGHTGEAR_LIVE") != "1")
      GTEST_SKIP() << "flies a running FlightGear: scripts/test-flightgear runs it in its own network namespace";
    // FlightGear's property server listens on every address whatever it is
    // told: it may run only where no other network is.
    ASSERT_EQ(Interfaces(), std::vector<std::string>{"lo"}) << "not inside a network namespace of its own (unshare -n)";
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // progress shows as it happens
    fgfs_ = Environment("ORVANTE_FGFS", "/usr/games/fgfs");
    fgRoot_ = Environment("ORVANTE_FG_ROOT", "/usr/share/games/flightgear");
    ASSERT_TRUE(fs::exists(fgfs_)) << fgfs_ << " is not installed";
    build_ = Environment("ORVANTE_BUILD_DIR", ORVANTE_DEFAULT_BUILD_DIR);
    out_ = Environment("ORVANTE_FLIGHTGEAR_OUT", (fs::temp_directory_path() / "orvante-flightgear").string());
    fs::remove_all(out_);
    fs::create_directories(out_ + "/app/ORVANTE/Profiles");
  }

  void TearDown() override {
    if (bridge_.Running()) bridge_.Stop();
    fgfs_process_.Stop();
    if (!out_.empty() && fs::exists(out_ + "/bridge.log") == false) {
      std::ofstream(out_ + "/bridge.log") << bridge_.Output();
    }
  }

  // The simulator folder of the build, with the runway table imported from
  // FlightGear's own airport file.
  void MakeSimulatorFolder() {
    fs::path sim = out_ + "/sim";
    fs::create_directories(sim);
    for (const auto& entry : fs::directory_iterator(build_ + "/sim")) {
      std::string name = entry.path().filename().string();
      if (name == "r4.csv" || name == "Schema.ini" || name == "AppData") continue;
      fs::create_symlink(entry.path(), sim / name);
    }
    std::string command = build_ + "/bin/orvante-runways import --apt-dat " + fgRoot_ +
                          "/Airports/apt.dat.gz --out-dir " + sim.string() + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char chunk[4096];
    size_t n;
    std::string output;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, n);
    ASSERT_EQ(pclose(pipe), 0) << output;
    std::printf("runway table: %s", output.substr(0, output.find('\n') + 1).c_str());
  }

  std::vector<std::string> FgfsOptions() {
    std::string command = build_ + "/bin/orvante-sim flightgear --print-fgfs-options --sim-dir " + out_ + "/sim";
    FILE* pipe = popen(command.c_str(), "r");
    std::vector<std::string> options;
    char line[1024];
    while (pipe && std::fgets(line, sizeof line, pipe)) {
      std::string option(line);
      while (!option.empty() && (option.back() == '\n' || option.back() == '\r')) option.pop_back();
      if (!option.empty()) options.push_back(option);
    }
    if (pipe) pclose(pipe);
    // The pilot's copy of the records and the property server; FlightGear
    // placed at PHNL 26R; what a machine without a graphics card needs to
    // keep a steady frame rate.
    std::vector<std::string> more = {"--generic=socket,out,30,127.0.0.1," + std::to_string(kPilotPort) + ",udp,orvante",
                                     "--props=socket,bi,60,127.0.0.1," + std::to_string(kPropertyPort) + ",tcp",
                                     "--aircraft=c172p",
                                     "--airport=PHNL",
                                     "--runway=26R",
                                     "--prop:/sim/rendering/draw-mask/terrain=false",
                                     "--prop:/sim/rendering/draw-mask/models=false",
                                     "--prop:/sim/rendering/draw-mask/aircraft=false",
                                     "--prop:/sim/rendering/draw-mask/clouds=false",
                                     "--prop:/sim/rendering/shadows/enabled=false",
                                     "--prop:/sim/rendering/shaders/quality-level=0",
                                     "--prop:/sim/frame-rate-throttle-hz=30",
                                     "--disable-clouds",
                                     "--disable-clouds3d",
                                     "--fog-fastest",
                                     "--disable-sound",
                                     "--disable-splash-screen",
                                     "--disable-ai-traffic",
                                     "--disable-real-weather-fetch",
                                     "--disable-terrasync",
                                     "--timeofday=noon",
                                     "--geometry=640x480"};
    options.insert(options.end(), more.begin(), more.end());
    return options;
  }

  // The newest record on the pilot's port, waiting up to `patience`.
  bool Latest(sim::FlightGearRecord& record, std::chrono::milliseconds patience = std::chrono::seconds(10)) {
    std::string datagram, error;
    bool got = false;
    auto deadline = Clock::now() + patience;
    for (;;) {
      int wait = got ? 0
                     : static_cast<int>(std::max<int64_t>(
                           0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
      if (pilotPort_.Receive(wait, datagram, error) != sim::LoopbackUdp::Received::Datagram) return got;
      sim::FlightGearRecord next;
      if (sim::ParseFlightGearRecord(datagram, next) && sim::Placed(next)) {
        record = next;
        got = true;
      }
      if (!got && Clock::now() > deadline) return false;
    }
  }

  // Waits in FlightGear's simulated time (while records come).
  void WaitSimulated(double seconds) {
    sim::FlightGearRecord r;
    ASSERT_TRUE(Latest(r));
    double until = r.elapsedSeconds + seconds;
    while (r.elapsedSeconds < until) ASSERT_TRUE(Latest(r));
  }

  std::string fgfs_, fgRoot_, build_, out_;
  FgfsProcess fgfs_process_;
  BridgeProcess bridge_;
  sim::LoopbackUdp pilotPort_;
  PropertyClient props_;
};

TEST_F(FlightGearLive, LinedUpHoldingAndARejectedTakeOffAtHonolulu) {
  auto started = Clock::now();
  MakeSimulatorFolder();
  std::ofstream(out_ + "/app/ORVANTE/Profiles/FLIGHTGEAR.INI") << "[ORVANTE]\nMasterSwitch=1\nModel.0=c172p\n";
  std::ofstream(out_ + "/app/ORVANTE/ORVANTE.INI") << "[ORVANTE]\nDEFAULTProfile=FLIGHTGEAR\n";
  common::Result<> bound = pilotPort_.Bind(kPilotPort);
  ASSERT_TRUE(bound) << bound.error();
  std::string error;

  // The bridge first, with its default ports, so that no record is lost.
  ASSERT_TRUE(bridge_.Start(build_ + "/bin/orvante-sim",
                            {"flightgear", "--sim-dir", out_ + "/sim", "--appdata", out_ + "/app", "--transcript",
                             out_ + "/transcript.jsonl", "--capture", out_ + "/capture.txt"}));
  ASSERT_NE(bridge_.WaitFor("listening for FlightGear on 127.0.0.1:5710", std::chrono::seconds(60)), std::string::npos)
      << bridge_.Output();

  fs::create_directories(out_ + "/fghome");
  ASSERT_TRUE(fgfs_process_.Start(fgfs_, FgfsOptions(), out_ + "/fghome", out_ + "/fgfs.log", error)) << error;
  ASSERT_NE(bridge_.WaitFor("FlightGear connected", std::chrono::minutes(6)), std::string::npos)
      << "FlightGear sent no record\n"
      << bridge_.Output() << ReadText(out_ + "/fgfs.log");
  sim::FlightGearRecord r;
  ASSERT_TRUE(Latest(r, std::chrono::minutes(3))) << "no placed aircraft on the pilot's port";
  std::printf("FlightGear flying after %.0f s: c172p at %.6f %.6f heading %.1f\n",
              std::chrono::duration<double>(Clock::now() - started).count(), r.latitudeDeg, r.longitudeDeg,
              r.headingDeg);
  ASSERT_TRUE(props_.Connect(kPropertyPort, std::chrono::seconds(60), error)) << error;

  // Lined up, flaps 10 (detent 1 of the c172p's four), four times as fast.
  props_.Set("/controls/flight/flaps", 0.3333);
  props_.Set("/sim/speed-up", 4.0);
  ASSERT_NE(bridge_.WaitFor("\"on runway two six right\"", std::chrono::minutes(2)), std::string::npos)
      << bridge_.Output();
  // The holding reminder after 60 s of the unit's time on the runway.
  ASSERT_NE(bridge_.WaitFor("[onrwy26r onrwy26r]", std::chrono::minutes(3)), std::string::npos) << bridge_.Output();

  // Engine start as the c172p's own autostart does it.
  std::string mixture = props_.Get("/fdm/jsbsim/engine/auto-mixture").value_or("1");
  for (const auto& [path, value] :
       std::vector<std::pair<std::string, std::string>>{{"/controls/switches/magnetos", "3"},
                                                        {"/controls/engines/current-engine/throttle", "0.2"},
                                                        {"/controls/engines/current-engine/mixture", mixture},
                                                        {"/controls/switches/master-bat", "1"},
                                                        {"/controls/switches/master-alt", "1"},
                                                        {"/controls/engines/engine[0]/primer", "3"},
                                                        {"/controls/engines/engine[0]/primer-lever", "0"},
                                                        {"/sim/model/c172p/cockpit/control-lock-placed", "0"},
                                                        {"/sim/model/c172p/securing/chock", "0"},
                                                        {"/controls/switches/starter", "1"}})
    ASSERT_TRUE(props_.Set(path, value));
  bool running = false;
  for (auto deadline = Clock::now() + std::chrono::seconds(90); !running && Clock::now() < deadline;) {
    std::optional<std::string> value = props_.Get("/engines/active-engine/running");
    running = value && (*value == "true" || *value == "1");
    if (!running) std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  props_.Set("/controls/switches/starter", "0");
  ASSERT_TRUE(running) << "the c172p's engine did not start";
  // Full power while the primer still sets the mixture (5 s of wall time
  // after the starter) stalls the engine: wait until the c172p says it is done.
  bool primed = false;
  for (auto deadline = Clock::now() + std::chrono::seconds(60); !primed && Clock::now() < deadline;) {
    std::optional<std::string> value = props_.Get("/controls/engines/engine/use-primer");
    primed = value && (*value == "0" || *value == "false");
    if (!primed) std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  ASSERT_TRUE(primed) << "the c172p's primer never let go of the mixture";
  std::optional<std::string> stillRunning = props_.Get("/engines/active-engine/running");
  ASSERT_TRUE(stillRunning && (*stillRunning == "true" || *stillRunning == "1"))
      << "the engine stopped after its start";

  // The take-off run at twice the speed: the pilot steers at every record.
  props_.Set("/sim/speed-up", 2.0);
  props_.Set("/sim/model/c172p/brake-parking", "0");
  RunwayPilot pilot(kRunway26R, PilotPlan{});
  PilotPhase phase = pilot.Phase();
  std::ofstream log(out_ + "/pilot.csv");
  log << "t,gs_kt,heading,right_m,ahead_ft,phase,throttle,brake,rudder,wow\n";
  double maxRight = 0, maxSpeed = 0;
  auto rollDeadline = Clock::now() + std::chrono::minutes(5);
  while (pilot.Phase() != PilotPhase::Stopped) {
    ASSERT_TRUE(Latest(r)) << "FlightGear stopped sending during the take-off run";
    ASSERT_LT(Clock::now(), rollDeadline)
        << "the take-off run took too long: " << RunwayPilot::PhaseName(pilot.Phase());
    ASSERT_TRUE(r.weightOnWheels[0] || r.weightOnWheels[1] || r.weightOnWheels[2]) << "the c172p left the ground";
    PilotControls c = pilot.Step(r.latitudeDeg, r.longitudeDeg, r.headingDeg, r.groundSpeedKt, r.elapsedSeconds);
    props_.Set("/controls/engines/current-engine/throttle", c.throttle);
    props_.Set("/controls/gear/brake-left", c.brake);
    props_.Set("/controls/gear/brake-right", c.brake);
    props_.Set("/controls/flight/rudder", c.rudder);
    props_.Set("/controls/flight/elevator", c.elevator);
    char row[200];
    std::snprintf(row, sizeof row, "%.3f,%.2f,%.2f,%.2f,%.0f,%s,%.3f,%.3f,%.3f,%d%d%d\n", r.elapsedSeconds,
                  r.groundSpeedKt, r.headingDeg, pilot.RightOfLineM(), pilot.AheadFt(),
                  RunwayPilot::PhaseName(pilot.Phase()), c.throttle, c.brake, c.rudder, r.weightOnWheels[0],
                  r.weightOnWheels[1], r.weightOnWheels[2]);
    log << row;
    maxRight = std::max(maxRight, std::fabs(pilot.RightOfLineM()));
    maxSpeed = std::max(maxSpeed, r.groundSpeedKt);
    if (pilot.Phase() != phase) {
      phase = pilot.Phase();
      std::printf("%8.2f s  %-12s %5.1f kt  %6.0f ft to the end, %4.1f m off the centre line\n", r.elapsedSeconds,
                  RunwayPilot::PhaseName(phase), r.groundSpeedKt, pilot.AheadFt(), pilot.RightOfLineM());
    }
    ASSERT_LT(std::fabs(pilot.RightOfLineM()), 20.0) << "the c172p left the runway's middle";
  }
  std::printf("take-off run: highest %.1f kt, at most %.1f m off the centre line\n", maxSpeed, maxRight);
  WaitSimulated(4);

  // The unit's last words are out; the bridge stops as on Ctrl-C.
  fgfs_process_.Stop();
  ASSERT_NE(bridge_.WaitFor("FlightGear has sent nothing for", std::chrono::seconds(30)), std::string::npos);
  EXPECT_EQ(bridge_.Stop(), 0);
  std::string output = bridge_.Output();
  std::ofstream(out_ + "/bridge.log") << output;
  std::printf("%s", output.c_str());

  std::vector<std::string> calls = Calls(ReadText(out_ + "/transcript.jsonl"));
  std::string said;
  for (const std::string& call : calls) said += call + "\n";
  std::vector<std::string> expected = {"onrwy26r", "onrwy26r onrwy26r", "[cut] 4 1000 feet remaining",
                                       "[cut] 3 1000 feet remaining"};
  // In this order, each once, and the marks nothing but these.
  size_t at = 0;
  for (const std::string& call : expected) {
    auto found = std::find(calls.begin() + static_cast<std::ptrdiff_t>(at), calls.end(), call);
    ASSERT_NE(found, calls.end()) << "missing \"" << call << "\" in order; the unit said:\n" << said;
    EXPECT_EQ(std::count(calls.begin(), calls.end(), call), 1) << call << "\n" << said;
    at = static_cast<size_t>(found - calls.begin()) + 1;
  }
  for (const std::string& call : calls) {
    EXPECT_EQ(call.find("apprwy26r"), std::string::npos) << "approaching the runway it is on:\n" << said;
    EXPECT_EQ(call.find("flapsflaps"), std::string::npos) << "flaps 10 is the c172p's detent 1:\n" << said;
  }
  EXPECT_NE(output.find("refused"), std::string::npos);
  EXPECT_NE(output.find(" 0 refused, 0 out of order"), std::string::npos) << output;
  std::printf("the unit said:\n%swhole run %.0f s\n", said.c_str(),
              std::chrono::duration<double>(Clock::now() - started).count());
}

}  // namespace
}  // namespace flightgear_live
