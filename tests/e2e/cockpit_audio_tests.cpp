// The unit heard as the pilot hears it: a short taxi onto KSFO 28L flown in
// real time, its cockpit audio recorded to a WAV file and measured with sox —
// sound where the transcript has callouts queued, silence everywhere else —
// and the same flight played in real time through SDL's device, the callouts
// printed as they are spoken.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

#include "sim_run.h"
#include "temp_folder.h"

namespace {

// Runs a shell command; its output and errors together.
std::string Shell(const std::string& command) {
  std::string output;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return output;
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, n);
  pclose(pipe);
  return output;
}

// sox's peak amplitude (0..1) of the part of the file between two times.
double PeakBetween(const std::string& wav, double from, double to) {
  char command[600];
  std::snprintf(command, sizeof command, "sox '%s' -n trim %.3f =%.3f stat", wav.c_str(), from, to);
  std::string out = Shell(command);
  size_t at = out.find("Maximum amplitude:");
  double peak = -1;
  if (at == std::string::npos || std::sscanf(out.c_str() + at + 18, "%lf", &peak) != 1)
    ADD_FAILURE() << command << "\n" << out;
  return peak;
}

// The times of the transcript's cue lines, one per call (cues queued together).
std::vector<double> CalloutTimes(const std::string& transcript) {
  std::vector<double> times;
  std::istringstream in(transcript);
  for (std::string row; std::getline(in, row);) {
    double t;
    if (row.find("\"type\":\"cue\"") == std::string::npos || std::sscanf(row.c_str(), "{\"t\":%lf", &t) != 1) continue;
    if (times.empty() || t != times.back()) times.push_back(t);
  }
  return times;
}

// Stands on the taxiway 150 m south-west of 28L's centre line while the unit
// starts and learns the runways around it (its first runway query comes some
// 15 s after it resumes at 5 s), taxis onto the runway at 20 kt from 18 s
// (taxiing towards it: "approaching two eight left"), turns onto its heading
// at 33 s to 37 s ("on runway two eight left"), flaps set, and stops there.
constexpr const char* kShortTaxiOnto28L =
    "t,lat,lon,alt_ft,heading_true,gs_kt,on_ground,flaps_index\n"
    "0,37.611816,-122.362218,13,28,0,1,2\n"
    "18,37.611816,-122.362218,13,28,0,1,2\n"
    "20,37.611926,-122.362144,13,28,20,1,2\n"
    "33,37.613008,-122.361420,13,28,8,1,2\n"
    "37,37.613008,-122.361420,13,298,2,1,2\n"
    "38,37.613008,-122.361420,13,298,0,1,2\n"
    "44,37.613008,-122.361420,13,298,0,1,2\n";
constexpr double kFlightSeconds = 44;

class CockpitAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    simDir = BuildDir() + "/sim";
    ASSERT_TRUE(std::filesystem::exists(simDir + "/ORVANTE/SoundSets/Default.xgs")) << "the default voice is installed";
    folder.Write("app/ORVANTE/Profiles/KSFO.INI", "[ORVANTE]\nMasterSwitch=1\nModel.0=B738\n");
    folder.Write("app/ORVANTE/ORVANTE.INI", "[ORVANTE]\nDEFAULTProfile=KSFO\n");
    folder.Write("aircraft/B738/aircraft.cfg",
                 "[fltsim.0]\ntitle=Test 737\nsim=B738\n\n[flaps.0]\ntype=1\nflaps-position.0=0\n"
                 "flaps-position.1=1\nflaps-position.2=5\n");
  }

  SimRun Fly(const std::string& how) {
    return RunSim("replay " + folder.Write("flight.csv", kShortTaxiOnto28L) + " --sim-dir " + simDir +
                  " --appdata " + folder.Path("app") + " --aircraft " + folder.Path("aircraft/B738") +
                  " --transcript " + folder.Path("out.jsonl") + " " + how);
  }

  TempFolder folder;
  std::string simDir;
};

TEST_F(CockpitAudioTest, RecordingIsSoundWhereCalloutsWereQueuedAndSilenceElsewhere) {
  std::string wav = folder.Path("cockpit.wav");
  SimRun run = Fly("--record " + wav);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_GE(run.seconds, kFlightSeconds) << "recorded in real time";
  EXPECT_NE(run.output.find("\"approaching two eight left\"  [apprwy28l]"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("\"on runway two eight left\"  [onrwy28l]"), std::string::npos) << run.output;

  // A second of the file is a second of the flight.
  std::string info = Shell("soxi '" + wav + "'");
  EXPECT_NE(info.find("Sample Rate    : 22050"), std::string::npos) << info;
  EXPECT_NE(info.find("Channels       : 1"), std::string::npos) << info;
  double duration = std::stod(Shell("soxi -D '" + wav + "'"));
  EXPECT_NEAR(duration, kFlightSeconds, 0.1);

  std::vector<double> callouts = CalloutTimes(folder.Read("out.jsonl"));
  ASSERT_EQ(callouts.size(), 2u) << folder.Read("out.jsonl");
  // Each callout is heard within its first second (the device's latency is
  // well under 0.2 s); none of them lasts 3 s.
  constexpr double kLongestCallout = 3.0;
  double silentFrom = 0;
  for (double t : callouts) {
    ASSERT_GT(t - silentFrom, 0.5) << "callouts too close together to hear silence between them";
    EXPECT_LT(PeakBetween(wav, silentFrom, t - 0.05), 0.001) << "silence before the callout at " << t;
    // Heard, and at the default volume step well inside full scale.
    double peak = PeakBetween(wav, t, t + kLongestCallout);
    EXPECT_GT(PeakBetween(wav, t, t + 1.0), 0.05) << "the callout at " << t;
    EXPECT_GT(PeakBetween(wav, t, t + 0.4), 0.01) << "the callout at " << t << " comes late";
    EXPECT_LT(peak, 0.5) << "the callout at " << t << " is too loud";
    silentFrom = t + kLongestCallout;
  }
  EXPECT_LT(PeakBetween(wav, silentFrom, duration), 0.001) << "silence after the last callout";
}

TEST_F(CockpitAudioTest, RealTimeFlightPrintsEachCalloutAsItIsSpoken) {
  // SDL's device here is its dummy driver (no sound card on a build machine):
  // cues play and end on its clock exactly as on a real device.
  SimRun run = Fly("--realtime");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_GE(run.seconds, kFlightSeconds);
  std::vector<double> queued = CalloutTimes(folder.Read("out.jsonl"));
  ASSERT_EQ(queued.size(), 2u);
  // "orvante-sim:    12.34 s  "on runway two eight left"  [onrwy28l]", spoken
  // shortly after it was queued.
  const char* phrases[] = {"\"approaching two eight left\"  [apprwy28l]", "\"on runway two eight left\"  [onrwy28l]"};
  for (size_t i = 0; i < 2; ++i) {
    size_t at = run.output.find(phrases[i]);
    ASSERT_NE(at, std::string::npos) << run.output;
    size_t lineStart = run.output.rfind('\n', at) + 1;
    double spokenAt = -1;
    std::sscanf(run.output.c_str() + lineStart, "orvante-sim: %lf s", &spokenAt);
    EXPECT_GE(spokenAt, queued[i]) << run.output;
    EXPECT_LT(spokenAt, queued[i] + 0.5) << run.output;
  }
}

}  // namespace
