// orvante-sim flightgear end to end, without FlightGear: a session captured
// from a real fgfs run at Honolulu (tests/e2e/flightgear/) is played over
// loopback UDP into the bridge, which hosts the installed module with a
// runway table imported from FlightGear's own airport rows; the callouts
// must be the unit's for that flight. The same session damaged on the way
// (garbage, short and out-of-order records, a silence, a restart) gives the
// same callouts and clear messages. Records of an aircraft climbing with the
// wrong altimeter setting make the unit's text line reach FlightGear's
// input port.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "bridge_process.h"
#include "flightgear_record.h"
#include "flightgear_source.h"
#include "loopback_udp.h"
#include "sim_run.h"
#include "temp_folder.h"
#include "report/transcript.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The calls of a transcript, one a line as the cue-sequence cases write
// them: cues of one cycle and one cut flag together, "[cut] " in front.
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

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

class FlightGearBridge : public ::testing::Test {
 protected:
  void SetUp() override {
    build_ = BuildDir();
    // A simulator folder like the build's, with the runway table made from
    // FlightGear's own airport rows (the excerpt holds PHNL's).
    fs::path sim = folder_.Path("sim");
    fs::create_directories(sim);
    for (const auto& entry : fs::directory_iterator(build_ + "/sim")) {
      std::string name = entry.path().filename().string();
      if (name == "r4.csv" || name == "Schema.ini" || name == "AppData") continue;
      fs::create_symlink(entry.path(), sim / name);
    }
    SimRun import = RunTool(build_ + "/bin/orvante-runways import --apt-dat " + std::string(ORVANTE_SOURCE_DIR) +
                            "/tests/runways/fixtures/apt_dat_excerpt.dat --out-dir " + sim.string());
    ASSERT_EQ(import.exitCode, 0) << import.output;
    // A profile linked to FlightGear's c172p, the unit's defaults otherwise.
    folder_.Write("app/ORVANTE/Profiles/FLIGHTGEAR.INI", "[ORVANTE]\nMasterSwitch=1\nModel.0=c172p\n" + profileLines_);
    folder_.Write("app/ORVANTE/ORVANTE.INI", "[ORVANTE]\nDEFAULTProfile=FLIGHTGEAR\n");
    common::Result<> bound = text_.Bind(0);
    ASSERT_TRUE(bound) << bound.error();
    common::Result<> opened = sender_.OpenForSending();
    ASSERT_TRUE(opened) << opened.error();
  }

  static SimRun RunTool(const std::string& command) {
    SimRun run;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return run;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) run.output.append(chunk, n);
    int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  // Starts the bridge on a free port and learns it from its first words.
  void StartBridge() {
    ASSERT_TRUE(bridge_.Start(
        build_ + "/bin/orvante-sim",
        {"flightgear", "--port", "0", "--text-port", std::to_string(text_.Port()), "--sim-dir", folder_.Path("sim"),
         "--appdata", folder_.Path("app"), "--transcript", folder_.Path("transcript.jsonl")}));
    size_t at = bridge_.WaitFor("listening for FlightGear on 127.0.0.1:", std::chrono::seconds(60));
    ASSERT_NE(at, std::string::npos) << bridge_.Output();
    std::smatch match;
    std::string output = bridge_.Output().substr(at);
    ASSERT_TRUE(std::regex_search(output, match, std::regex("127\\.0\\.0\\.1:([0-9]+)")));
    port_ = static_cast<uint16_t>(std::stoi(match[1]));
  }

  void Send(const std::string& datagram) {
    common::Result<> sent = sender_.Send(port_, datagram);
    ASSERT_TRUE(sent) << sent.error();
  }

  // Plays the captured session at `speed` times the pace it arrived at.
  void Play(const std::vector<sim::CapturedDatagram>& session, double speed,
            const std::function<void(size_t)>& between = {}) {
    auto start = std::chrono::steady_clock::now();
    for (size_t k = 0; k < session.size(); ++k) {
      std::this_thread::sleep_until(start +
                                    std::chrono::microseconds(static_cast<int64_t>(session[k].seconds / speed * 1e6)));
      if (between) between(k);
      Send(session[k].datagram);
    }
  }

  // Waits for the bridge to have taken every record (it says so once
  // FlightGear has been quiet for 2 s), stops it like Ctrl-C, and returns
  // the transcript's calls.
  std::vector<std::string> Finish(size_t quietBefore = 0) {
    EXPECT_NE(bridge_.WaitFor("FlightGear has sent nothing for", std::chrono::seconds(60), quietBefore),
              std::string::npos)
        << bridge_.Output();
    EXPECT_EQ(bridge_.Stop(), 0) << bridge_.Output();
    return Calls(ReadText(folder_.Path("transcript.jsonl")));
  }

  static std::vector<sim::CapturedDatagram> Session() {
    common::Result<std::vector<sim::CapturedDatagram>> session = sim::ParseFlightGearCapture(
        ReadText(std::string(ORVANTE_SOURCE_DIR) + "/tests/e2e/flightgear/phnl_26r_session.txt"));
    EXPECT_TRUE(session) << session.error();
    return session ? *session : std::vector<sim::CapturedDatagram>{};
  }

  std::string build_;
  std::string profileLines_;
  TempFolder folder_;
  BridgeProcess bridge_;
  sim::LoopbackUdp text_, sender_;
  uint16_t port_ = 0;
};

// What the unit says in the captured flight: the c172p lined up on 26R at
// its threshold ("on runway two six right"), standing there past the
// holding reminder's 60 s, then a take-off run held on the ground at about
// 55 kt into the second half of the runway, rejected about 4,400 ft before
// its end with throttle idle and braking (the 4,000 and 3,000 ft marks,
// each cutting in), and a stop. Never "approaching" the runway it is on.
const std::vector<std::string> kSessionCalls = {
    "onrwy26r",
    "onrwy26r onrwy26r",
    "[cut] 4 1000 feet remaining",
    "[cut] 3 1000 feet remaining",
};

TEST_F(FlightGearBridge, ACapturedSessionGivesTheUnitsCallouts) {
  std::vector<sim::CapturedDatagram> session = Session();
  ASSERT_GT(session.size(), 100u);
  StartBridge();
  Play(session, 8.0);
  std::vector<std::string> calls = Finish();
  EXPECT_EQ(Joined(calls), Joined(kSessionCalls)) << bridge_.Output();
  std::string output = bridge_.Output();
  EXPECT_NE(output.find("FlightGear connected: c172p at 21.3252"), std::string::npos) << output;
  EXPECT_NE(output.find("FlightGear's aircraft \"c172p\": model c172p, 4 flap detents"), std::string::npos);
  // Every record flown but those FlightGear wrote before it had placed the aircraft.
  size_t placed = 0;
  for (const sim::CapturedDatagram& d : session) {
    sim::FlightGearRecord record;
    if (sim::ParseFlightGearRecord(d.datagram, record) && sim::Placed(record)) ++placed;
  }
  EXPECT_LT(placed, session.size());
  EXPECT_NE(output.find("FlightGear is still placing its aircraft"), std::string::npos);
  EXPECT_NE(output.find("FlightGear link: " + std::to_string(placed) + " records flown, 0 refused, 0 out of order"),
            std::string::npos)
      << output;
  // The module loaded the profile of the model FlightGear named.
  std::string log = ReadText(folder_.Path("app/ORVANTE/ORVANTE.LOG"));
  EXPECT_NE(log.find("c172p"), std::string::npos) << log;
}

TEST_F(FlightGearBridge, ADamagedStreamGivesMessagesAndTheSameCallouts) {
  std::vector<sim::CapturedDatagram> session = Session();
  StartBridge();
  size_t quarter = session.size() / 4;
  std::string older = session[quarter].datagram;
  Play(session, 8.0, [&](size_t k) {
    if (k % 97 == 5) Send(std::string("\x7f\x00garbage\xff", 11));
    if (k % 101 == 7) Send(session[k].datagram.substr(0, session[k].datagram.size() / 2));
    if (k == quarter + 3) Send(older);  // out of order
    if (k == quarter * 2) {
      // FlightGear falls quiet for 3 s, then goes on where it was.
      std::this_thread::sleep_for(std::chrono::seconds(3));
    }
  });
  std::vector<std::string> calls = Finish(bridge_.Output().find("is sending again"));
  EXPECT_EQ(Joined(calls), Joined(kSessionCalls));
  std::string output = bridge_.Output();
  EXPECT_NE(output.find("FlightGear record refused: not a record of the orvante protocol"), std::string::npos);
  EXPECT_NE(output.find("fields where the protocol has 20"), std::string::npos);
  EXPECT_NE(output.find("out of order"), std::string::npos);
  EXPECT_NE(output.find("FlightGear is sending again after"), std::string::npos);
  EXPECT_NE(output.find("records flown"), std::string::npos);
}

// Records of the c172p climbing out of Honolulu through 1,500 ft with its
// altimeter at 30.12 inHg, above a transition altitude of 1,000 ft: the
// unit says "altimeter", and its text line goes to FlightGear's input port.
class FlightGearTextLine : public FlightGearBridge {
 protected:
  void SetUp() override {
    profileLines_ = "TransitionAltitude=1000\nShowAltSetMsg=1\nRepAltSetCallOut=0\n";
    FlightGearBridge::SetUp();
  }
};

TEST_F(FlightGearTextLine, TheAltimeterReminderShowsOnFlightGearsScreen) {
  StartBridge();
  for (int k = 0; k < 300; ++k) {
    double t = k / 10.0;
    char record[400];
    std::snprintf(record, sizeof record,
                  "ORV1\t%.3f\t21.3252\t%.6f\t%.2f\t%.2f\t%.2f\t270.0\t90.0\t95.0\t12.0\t0\t0\t0\t1.000\t0.0000\t"
                  "29.920\t30.120\t1.00\tc172p\n",
                  t, -157.95 - t * 0.0008, 1400 + t * 12, 1400 + t * 12, 1380 + t * 12);
    Send(record);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::string datagram, error;
  ASSERT_EQ(text_.Receive(20000, datagram, error), sim::LoopbackUdp::Received::Datagram) << bridge_.Output();
  EXPECT_EQ(datagram.rfind("Orvante - Current altitude (MSL): ", 0), 0u) << datagram;
  EXPECT_NE(datagram.find("Altimeter setting: 30.12 (Hg)"), std::string::npos) << datagram;
  EXPECT_EQ(datagram.back(), '\n');
  EXPECT_EQ(datagram.find_first_of("\t\r"), std::string::npos);
  std::vector<std::string> calls = Finish();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "altimeter"), calls.end()) << Joined(calls);
  EXPECT_NE(bridge_.Output().find("1 text lines sent"), std::string::npos) << bridge_.Output();
}

TEST_F(FlightGearBridge, PrintsTheOptionsForFgfs) {
  SimRun run = RunTool(build_ +
                       "/bin/orvante-sim flightgear --print-fgfs-options --port 6000 --text-port 6001 "
                       "--sim-dir " +
                       folder_.Path("sim"));
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, "--data=" + folder_.Path("sim") +
                            "/FlightGear\n"
                            "--generic=socket,out,30,127.0.0.1,6000,udp,orvante\n"
                            "--generic=socket,in,10,127.0.0.1,6001,udp,orvante\n");
  EXPECT_TRUE(fs::exists(folder_.Path("sim") + "/FlightGear/Protocol/orvante.xml"));
  SimRun bad = RunTool(build_ + "/bin/orvante-sim flightgear --port 70000");
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.output.find("--port takes a port number from 0 to 65535, not \"70000\""), std::string::npos)
      << bad.output;
}

}  // namespace
