// Recorded flights replayed through the installed module by the stand-in
// simulator: the runway callout at KSFO 28L with its alert word and panel
// variables, the hold after a simulation stop and start, the resume after
// the settings menu, the aircraft-loaded path, a simulator that cannot be
// reached, and the same transcript byte for byte from the same flight.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <vector>

#include "sim_run.h"
#include "temp_folder.h"

namespace {

// One transcript line, with the fields the tests look at.
struct Line {
  double t = 0;
  std::string text;  // the whole JSON line
  bool Is(const std::string& type) const { return text.find("\"type\":\"" + type + "\"") != std::string::npos; }
  bool Has(const std::string& part) const { return text.find(part) != std::string::npos; }
};

std::vector<Line> ReadTranscript(const std::string& text) {
  std::vector<Line> lines;
  std::istringstream in(text);
  for (std::string row; std::getline(in, row);) {
    Line line;
    line.text = row;
    std::sscanf(row.c_str(), "{\"t\":%lf", &line.t);
    lines.push_back(line);
  }
  return lines;
}

std::vector<Line> Matching(const std::vector<Line>& lines, const std::string& type, const std::string& part = "") {
  std::vector<Line> found;
  for (const Line& line : lines)
    if (line.Is(type) && line.Has(part)) found.push_back(line);
  return found;
}

// The first alert line whose word has bit set, or none.
std::optional<Line> FirstAlertWith(const std::vector<Line>& lines, unsigned bit) {
  for (const Line& line : Matching(lines, "alert")) {
    unsigned word = 0;
    size_t at = line.text.find("\"word\":");
    if (at != std::string::npos && std::sscanf(line.text.c_str() + at + 7, "%u", &word) == 1 && (word & bit) != 0)
      return line;
  }
  return std::nullopt;
}

constexpr unsigned kAlertOnRunway = 0x4;
constexpr unsigned kAlertExtendedHolding = 0x40;

std::string Dump(const std::vector<Line>& lines) {
  std::string text;
  for (const Line& line : lines)
    if (!line.Is("log")) text += line.text + "\n";
  return text;
}

// KSFO: a taxiway point 150 m south-west of the centre line of 28L, and the
// point of 28L 305 m past its threshold where the aircraft holds.
constexpr const char* kTaxiStart = "37.611816,-122.362218";
constexpr const char* kHoldPoint = "37.613008,-122.361420";

// The installed simulator folder, an application-data folder whose default
// profile is linked to the aircraft model B738, and that aircraft's folder.
class ReplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    simDir = BuildDir() + "/sim";
    ASSERT_TRUE(std::filesystem::exists(simDir + "/ORVANTE/SoundSets/Default.xgs")) << "the default voice is installed";
    ASSERT_TRUE(std::filesystem::exists(simDir + "/r4.csv"));
    folder.Write("app/ORVANTE/Profiles/KSFO.INI", "[ORVANTE]\nMasterSwitch=1\nModel.0=B738\n");
    folder.Write("app/ORVANTE/ORVANTE.INI", "[ORVANTE]\nDEFAULTProfile=KSFO\n");
    folder.Write("aircraft/B738/aircraft.cfg",
                 "[fltsim.0]\ntitle=Test 737\nsim=B738\n\n[flaps.0]\ntype=1\nflaps-position.0=0\n"
                 "flaps-position.1=1\nflaps-position.2=5\n");
  }

  // Replays flight (CSV text) with optional events; returns the transcript.
  std::string Replay(const std::string& flight, const std::string& events = "", const std::string& extra = "",
                     const std::string& sim = "") {
    std::string arguments = "replay " + folder.Write("flight.csv", flight) + " --sim-dir " +
                            (sim.empty() ? simDir : sim) + " --appdata " + folder.Path("app") + " --aircraft " +
                            folder.Path("aircraft/B738") + " --transcript " + folder.Path("out.jsonl") + " " + extra;
    if (!events.empty()) arguments += " --events " + folder.Write("events.csv", events);
    std::filesystem::remove(folder.Path("out.jsonl"));
    run = RunSim(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return folder.Read("out.jsonl");
  }

  // Taxis from the taxiway onto 28L at 10 kt from 20 s, turns onto the
  // runway heading at 49 s to 55 s and holds there until `end`.
  static std::string TaxiOntoKsfo28L(int end) {
    return std::string("t,lat,lon,alt_ft,heading_true,gs_kt,on_ground\n") + "0," + kTaxiStart + ",13,28,0,1\n" + "20," +
           kTaxiStart + ",13,28,10,1\n" + "49," + kHoldPoint + ",13,28,10,1\n" + "55," + kHoldPoint + ",13,298,2,1\n" +
           "56," + kHoldPoint + ",13,298,0,1\n" + std::to_string(end) + "," + kHoldPoint + ",13,298,0,1\n";
  }

  TempFolder folder;
  std::string simDir;
  SimRun run;
};

TEST_F(ReplayTest, TaxiingOntoKsfo28LRaisesTheOnRunwayWordAndShowsTheRunway) {
  std::vector<Line> lines = ReadTranscript(Replay(TaxiOntoKsfo28L(130)));
  // Start-up and the aircraft load, in the log.
  EXPECT_FALSE(Matching(lines, "log", "\"CONNECTED! to Flight Simulator...\"").empty());
  EXPECT_FALSE(Matching(lines, "log", "\"Profile FOUND!: KSFO \"").empty()) << Dump(lines);

  // The heading comes within 20 degrees of 298 at about 53.7 s; the word
  // reaches the panels at the first frame after that cycle.
  std::optional<Line> onRunway = FirstAlertWith(lines, kAlertOnRunway);
  ASSERT_TRUE(onRunway) << Dump(lines);
  EXPECT_GE(onRunway->t, 53.5);
  EXPECT_LE(onRunway->t, 54.1);
  // 28L: the digits 2 and 8, suffix code 1 (L), once a runway query has run
  // (15 s of cycles after the resume at 5 s).
  for (const char* variable :
       {"\"ORVA_Rwy_Var1\",\"value\":2}", "\"ORVA_Rwy_Var2\",\"value\":8}", "\"ORVA_Rwy_Var3\",\"value\":1}"}) {
    std::vector<Line> written = Matching(lines, "lvar", variable);
    ASSERT_EQ(written.size(), 1u) << variable << "\n" << Dump(lines);
    EXPECT_GT(written[0].t, 20.0);
    EXPECT_LT(written[0].t, 27.0);
  }
  // The panels get the profile's volume and switch when the unit resumes.
  ASSERT_FALSE(Matching(lines, "lvar", "\"ORVA_Enable\",\"value\":1}").empty());
  EXPECT_DOUBLE_EQ(Matching(lines, "lvar", "\"ORVA_Enable\"")[0].t, 5.0);
  // Lines come in time order.
  for (size_t i = 1; i < lines.size(); ++i) EXPECT_LE(lines[i - 1].t, lines[i].t) << lines[i].text;
}

// The cues as the module hands them to the audio library: the runway once
// when lining up, twice at each extended-holding reminder.
TEST_F(ReplayTest, SpeaksOnRunwayOnceAndTwiceAtTheHoldingReminder) {
  std::vector<Line> lines = ReadTranscript(Replay(TaxiOntoKsfo28L(200)));
  std::vector<Line> cues = Matching(lines, "cue", "\"cue\":\"onrwy28l\"");
  ASSERT_GE(cues.size(), 5u) << Dump(lines);
  EXPECT_GE(cues[0].t, 53.5);
  EXPECT_LE(cues[0].t, 54.1);
  // Held below 1 kt from 55.5 s: the reminder, the runway twice, after 61 s
  // of holding, and again 31.25 s later (31 s held, counted from the cycle
  // after the reminder).
  EXPECT_EQ(cues[1].t, cues[2].t);
  EXPECT_GE(cues[1].t, 116.0);
  EXPECT_LE(cues[1].t, 118.0);
  EXPECT_EQ(cues[3].t, cues[4].t);
  EXPECT_DOUBLE_EQ(cues[3].t - cues[1].t, 31.25);
  std::optional<Line> holding = FirstAlertWith(lines, kAlertExtendedHolding);
  ASSERT_TRUE(holding) << Dump(lines);
  EXPECT_NEAR(holding->t, cues[1].t, 0.05);
}

TEST_F(ReplayTest, APanelMutingTheUnitSilencesTheCalloutButNotTheWord) {
  std::vector<Line> lines =
      ReadTranscript(Replay(TaxiOntoKsfo28L(80), "0,aircraft_loaded," + folder.Path("aircraft/B738") +
                                                     "\n0,sim_start\n30,lvar,ORVA_Mute,1\n"));
  EXPECT_TRUE(FirstAlertWith(lines, kAlertOnRunway)) << Dump(lines);
  EXPECT_TRUE(Matching(lines, "cue", "onrwy28l").empty()) << Dump(lines);
  EXPECT_TRUE(Matching(lines, "lvar", "ORVA_Mute").empty()) << "the panel's own write is not the module's";
  // Before the mute, the approach callout was spoken.
  std::vector<Line> approach = Matching(lines, "cue", "\"cue\":\"apprwy28l\"");
  ASSERT_EQ(approach.size(), 1u) << Dump(lines);
  EXPECT_LT(approach[0].t, 30.0);
}

TEST_F(ReplayTest, TheSameFlightGivesTheSameTranscriptByteForByte) {
  std::string first = Replay(TaxiOntoKsfo28L(150));
  std::string second = Replay(TaxiOntoKsfo28L(150));
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(first, second);
}

TEST_F(ReplayTest, AfterSimStopAndSimStartFramesWaitForTheFiveSecondDelivery) {
  // Parked on the taxiway facing away from the runway, then moved (while the
  // simulation is stopped) onto KOAK runway 30, 500 m past its threshold.
  std::string flight = std::string("t,lat,lon,alt_ft,heading_true,gs_kt,on_ground\n") + "0," + kTaxiStart +
                       ",13,208,0,1\n" + "50," + kTaxiStart + ",13,208,0,1\n" +
                       "50.5,37.704392,-122.218346,9,310,0,1\n" + "80,37.704392,-122.218346,9,310,0,1\n";
  std::vector<Line> lines = ReadTranscript(Replay(
      flight, "0,aircraft_loaded," + folder.Path("aircraft/B738") + "\n0,sim_start\n45,sim_stop\n55,sim_start\n"));
  for (const Line& line : lines) {
    if (line.Is("lvar") || line.Is("alert")) {
      EXPECT_FALSE(line.t > 45 && line.t < 60) << "held: " << line.text;
    }
  }
  // The definition-1 data arrives at 60 s: the first frame registers and
  // writes the panel variables, the runway ones included (timer primed to 5).
  std::vector<Line> runwayAtResume;
  for (const Line& line : Matching(lines, "lvar", "ORVA_Rwy_Var"))
    if (line.t == 60.0) runwayAtResume.push_back(line);
  EXPECT_FALSE(runwayAtResume.empty()) << Dump(lines);
  // The first cycle (61 s) queries the runways at once and finds KOAK 30.
  std::optional<Line> onRunway = FirstAlertWith(lines, kAlertOnRunway);
  ASSERT_TRUE(onRunway) << Dump(lines);
  EXPECT_GT(onRunway->t, 60.0);
  EXPECT_LE(onRunway->t, 61.1);
  EXPECT_FALSE(Matching(lines, "lvar", "\"ORVA_Rwy_Var1\",\"value\":3}").empty()) << Dump(lines);
  EXPECT_FALSE(Matching(lines, "lvar", "\"ORVA_Rwy_Var3\",\"value\":4}").empty()) << Dump(lines);
}

// The settings menu stops the simulation while the user is in it and its
// dialog; the simulation starts again when the dialog closes, and five
// seconds later the unit resumes: the callouts of the flight come after it.
TEST_F(ReplayTest, TheUnitResumesFiveSecondsAfterTheSettingsMenu) {
  std::vector<Line> lines = ReadTranscript(
      Replay(TaxiOntoKsfo28L(80), "0,aircraft_loaded," + folder.Path("aircraft/B738") + "\n0,sim_start\n10,menu\n"));
  for (const Line& line : lines) {
    if (line.Is("lvar") || line.Is("alert") || line.Is("cue")) {
      EXPECT_FALSE(line.t > 10.0 && line.t < 15.0) << "held: " << line.text;
    }
  }
  std::optional<Line> onRunway = FirstAlertWith(lines, kAlertOnRunway);
  ASSERT_TRUE(onRunway) << Dump(lines);
  EXPECT_GE(onRunway->t, 53.5);
  EXPECT_LE(onRunway->t, 54.1);
  std::vector<Line> cues = Matching(lines, "cue", "\"cue\":\"onrwy28l\"");
  ASSERT_EQ(cues.size(), 1u) << Dump(lines);
  EXPECT_NEAR(cues[0].t, onRunway->t, 0.05);
}

TEST_F(ReplayTest, AnAircraftLoadedPathNamesTheModelByItsFolder) {
  std::vector<Line> lines = ReadTranscript(
      Replay(TaxiOntoKsfo28L(60), "0,aircraft_loaded,SimObjects\\Airplanes\\ModelA\\model.air\n0,sim_start\n"));
  std::string log;
  for (const Line& line : Matching(lines, "log")) log += line.text + "\n";
  size_t loaded = log.find("\"Aircraft Loaded....\"");
  ASSERT_NE(loaded, std::string::npos) << log;
  size_t path = log.find("\"SimObjects\\\\Airplanes\\\\ModelA\\\\model.air \"", loaded);
  ASSERT_NE(path, std::string::npos) << log;
  EXPECT_NE(log.find("\"ModelA \"", path), std::string::npos) << log;
  // No profile is linked to ModelA: the unit switches itself off.
  EXPECT_NE(log.find("\"Switching ORVA system OFF! \""), std::string::npos) << log;
  EXPECT_TRUE(Matching(lines, "lvar", "\"ORVA_Enable\",\"value\":1}").empty()) << "the panels never see it on";
}

TEST_F(ReplayTest, WithoutASimulatorToConnectToBothOpensAreLoggedAndTheUnitNeverCycles) {
  std::vector<Line> lines = ReadTranscript(Replay(TaxiOntoKsfo28L(70), "", "--no-simconnect"));
  std::vector<std::string> expected = {"Connecting to the Flight Simulator...",
                                       "Attempting to connect to the Flight Simulator...",
                                       "***COULD NOT CONNECT to the Flight Simulator...",
                                       "IGNORING SIMCONNECT.CFG settings, and FORCING LOCAL connection...",
                                       "Attempting to connect to the Flight Simulator...",
                                       "***COULD NOT CONNECT to the Flight Simulator...",
                                       "Initializating ORVA system..."};
  std::vector<Line> log = Matching(lines, "log");
  size_t at = 0;
  while (at < log.size() && !log[at].Has(expected[0])) ++at;
  ASSERT_LE(at + expected.size(), log.size());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(log[at + i].Has("\"" + expected[i] + "\"")) << log[at + i].text;
  EXPECT_TRUE(Matching(lines, "log", "CONNECTED! to Flight Simulator").empty());
  EXPECT_TRUE(Matching(lines, "alert").empty() && Matching(lines, "lvar").empty()) << Dump(lines);
}

TEST_F(ReplayTest, ASimConnectCfgNamingAnotherMachineFallsBackToTheLocalConnection) {
  // The installed simulator folder, entry by entry, with a SimConnect.cfg.
  std::string sim = folder.Path("sim");
  std::filesystem::create_directories(sim);
  for (const auto& entry : std::filesystem::directory_iterator(simDir))
    std::filesystem::create_symlink(entry.path(), sim + "/" + entry.path().filename().string());
  folder.Write("sim/SimConnect.cfg", "[SimConnect]\nProtocol=IPv4\nAddress=192.0.2.7\nPort=500\n");
  std::vector<Line> lines = ReadTranscript(Replay(TaxiOntoKsfo28L(60), "", "", sim));
  std::string log;
  for (const Line& line : Matching(lines, "log")) log += line.text + "\n";
  size_t failed = log.find("***COULD NOT CONNECT");
  ASSERT_NE(failed, std::string::npos) << log;
  size_t forcing = log.find("FORCING LOCAL connection", failed);
  ASSERT_NE(forcing, std::string::npos);
  EXPECT_NE(log.find("CONNECTED! to Flight Simulator...", forcing), std::string::npos) << log;
  EXPECT_TRUE(FirstAlertWith(lines, kAlertOnRunway)) << "connected locally, the unit runs";
}

TEST_F(ReplayTest, MessageBoxesOfTheModuleGoIntoTheTranscript) {
  // The installed simulator folder without its runway table.
  std::string sim = folder.Path("sim");
  std::filesystem::create_directories(sim);
  for (const auto& entry : std::filesystem::directory_iterator(simDir))
    if (entry.path().filename() != "r4.csv")
      std::filesystem::create_symlink(entry.path(), sim + "/" + entry.path().filename().string());
  std::vector<Line> lines = ReadTranscript(Replay(TaxiOntoKsfo28L(60), "", "", sim));
  std::vector<Line> boxes = Matching(lines, "box");
  ASSERT_FALSE(boxes.empty()) << Dump(lines);
  EXPECT_EQ(boxes[0].t, 0.0);
  EXPECT_TRUE(boxes[0].Has("\"answer\":\"OK\"")) << boxes[0].text;
  EXPECT_FALSE(FirstAlertWith(lines, kAlertOnRunway)) << "no runway table, no runway";
}

TEST_F(ReplayTest, MalformedFilesAreRefusedWithTheirLineAndColumn) {
  std::string flight =
      folder.Write("bad.csv", "t,lat,lon,alt_ft,heading_true,gs_kt,on_ground\n0,37.6,-122.3,13,28,x,1\n");
  SimRun bad = RunSim("replay " + flight + " --sim-dir " + simDir + " --appdata " + folder.Path("app"));
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.output.find(flight + ":2:21: gs_kt: \"x\" is not a number"), std::string::npos) << bad.output;
  EXPECT_EQ(bad.output.find("module_init"), std::string::npos) << "nothing starts";

  std::string events = folder.Write("bad-events.csv", "0,sim_start\n3,lvar,ORVA_Mute\n");
  bad = RunSim("replay " + folder.Write("ok.csv", TaxiOntoKsfo28L(60)) + " --events " + events + " --sim-dir " +
               simDir + " --appdata " + folder.Path("app"));
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_NE(bad.output.find(events + ":2:7: lvar takes 2 argument(s), found 1"), std::string::npos) << bad.output;
}

}  // namespace
