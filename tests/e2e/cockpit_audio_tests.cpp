// The unit heard as the pilot hears it: a short taxi onto KSFO 28L with its
// cockpit audio recorded to a WAV file, in real time and in virtual time, and
// measured with sox (sound where the transcript has callouts queued, silence
// everywhere else); the two recordings compared sample by sample (the same
// sounds at the same flight times, at the same levels); and the same flight
// played in real time through SDL's device, the callouts printed as they are
// spoken.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

#include "sim_run.h"
#include "soundset/wav_file.h"
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

  SimRun Fly(const std::string& how, const std::string& transcript = "out.jsonl") {
    return RunSim("replay " + folder.Write("flight.csv", kShortTaxiOnto28L) + " --sim-dir " + simDir + " --appdata " +
                  folder.Path("app") + " --aircraft " + folder.Path("aircraft/B738") + " --transcript " +
                  folder.Path(transcript) + " " + how);
  }

  // What sox says of a recording of the flight: a second of the file a second
  // of the flight, each callout heard and nothing else.
  void ExpectSoundOnlyWhereCalloutsWere(const std::string& wav, const std::string& transcript);

  TempFolder folder;
  std::string simDir;
};

// sox is installed by scripts/setup; a machine without it cannot measure.
bool SoxInstalled() { return !Shell("command -v sox").empty() && !Shell("command -v soxi").empty(); }

TEST_F(CockpitAudioTest, RecordingIsSoundWhereCalloutsWereQueuedAndSilenceElsewhere) {
  if (!SoxInstalled()) GTEST_SKIP() << "sox is not installed (scripts/setup installs it)";
  std::string wav = folder.Path("cockpit.wav");
  SimRun run = Fly("--record " + wav + " --realtime");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_GE(run.seconds, kFlightSeconds) << "recorded in real time";
  EXPECT_NE(run.output.find("\"approaching two eight left\"  [apprwy28l]"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("\"on runway two eight left\"  [onrwy28l]"), std::string::npos) << run.output;
  ExpectSoundOnlyWhereCalloutsWere(wav, "out.jsonl");
}

TEST_F(CockpitAudioTest, VirtualTimeRecordingIsSoundWhereCalloutsWereQueuedAndSilenceElsewhere) {
  if (!SoxInstalled()) GTEST_SKIP() << "sox is not installed (scripts/setup installs it)";
  std::string wav = folder.Path("cockpit.wav");
  SimRun run = Fly("--record " + wav);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  // Printed as spoken, in the flight's time, as in real time.
  EXPECT_NE(run.output.find("\"approaching two eight left\"  [apprwy28l]"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("\"on runway two eight left\"  [onrwy28l]"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("cockpit audio: the"), std::string::npos) << "no note on the recording's timing\n"
                                                                      << run.output;
  ExpectSoundOnlyWhereCalloutsWere(wav, "out.jsonl");
}

void CockpitAudioTest::ExpectSoundOnlyWhereCalloutsWere(const std::string& wav, const std::string& transcript) {
  // A second of the file is a second of the flight.
  std::string info = Shell("soxi '" + wav + "'");
  EXPECT_NE(info.find("Sample Rate    : 22050"), std::string::npos) << info;
  EXPECT_NE(info.find("Channels       : 1"), std::string::npos) << info;
  double duration = std::stod(Shell("soxi -D '" + wav + "'"));
  EXPECT_NEAR(duration, kFlightSeconds, 0.1);

  std::vector<double> callouts = CalloutTimes(folder.Read(transcript));
  ASSERT_EQ(callouts.size(), 2u) << folder.Read(transcript);
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

// A recording's samples, -1 to 1.
std::vector<double> Samples(const std::string& wav) {
  orvante::xact::PcmWave pcm;
  std::vector<double> samples;
  if (common::Result<> read = orvante::soundset::ReadWavFile(wav, pcm); !read) {
    ADD_FAILURE() << wav << ": " << read.error();
    return samples;
  }
  EXPECT_EQ(pcm.channels, 1);
  EXPECT_EQ(pcm.bitsPerSample, 16);
  for (size_t i = 0; i + 1 < pcm.samples.size(); i += 2)
    samples.push_back(static_cast<int16_t>(pcm.samples[i] | pcm.samples[i + 1] << 8) / 32768.0);
  return samples;
}

// The sounds of a recording: where each begins after half a second or more
// of silence, and where it ends.
struct Sound {
  size_t begin = 0, end = 0;
};
std::vector<Sound> Sounds(const std::vector<double>& samples, int rate) {
  constexpr double kAudible = 0.003;  // about -50 dB
  std::vector<Sound> sounds;
  for (size_t i = 0; i < samples.size(); ++i) {
    if (std::fabs(samples[i]) < kAudible) continue;
    if (sounds.empty() || i - sounds.back().end > static_cast<size_t>(rate / 2)) sounds.push_back({i, i});
    sounds.back().end = i;
  }
  return sounds;
}

// Level in dB of full scale over a span of samples.
double LevelDb(const std::vector<double>& samples, size_t begin, size_t end) {
  double sum = 0;
  for (size_t i = begin; i < end && i < samples.size(); ++i) sum += samples[i] * samples[i];
  return 10 * std::log10(sum / static_cast<double>(end - begin) + 1e-20);
}

// The flight times printed for the callouts as they began.
std::vector<double> SpokenTimes(const std::string& output) {
  std::vector<double> times;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    double t;
    char quote;
    if (std::sscanf(line.c_str(), "orvante-sim: %lf s  %c", &t, &quote) == 2 && quote == '"') times.push_back(t);
  }
  return times;
}

TEST_F(CockpitAudioTest, AVirtualTimeRecordingHoldsWhatARealTimeOneHolds) {
  SimRun real = Fly("--record " + folder.Path("real.wav") + " --realtime", "real.jsonl");
  ASSERT_EQ(real.exitCode, 0) << real.output;
  SimRun fast = Fly("--record " + folder.Path("virtual.wav"), "virtual.jsonl");
  ASSERT_EQ(fast.exitCode, 0) << fast.output;
  EXPECT_EQ(folder.Read("virtual.jsonl"), folder.Read("real.jsonl")) << "the unit did the same";

  // The callouts began at the same flight times, to the frame.
  std::vector<double> realSpoken = SpokenTimes(real.output), fastSpoken = SpokenTimes(fast.output);
  ASSERT_EQ(realSpoken.size(), 2u) << real.output;
  ASSERT_EQ(fastSpoken.size(), realSpoken.size()) << fast.output;
  for (size_t i = 0; i < realSpoken.size(); ++i) EXPECT_NEAR(fastSpoken[i], realSpoken[i], 0.034) << i;

  constexpr int kRate = 22050;
  // One buffer of the device as the recording receives it: SDL's disk driver
  // writes a page of 1024 samples at a time.
  constexpr size_t kOneBuffer = 1024;
  std::vector<double> a = Samples(folder.Path("real.wav")), b = Samples(folder.Path("virtual.wav"));
  EXPECT_EQ(a.size(), static_cast<size_t>(kFlightSeconds * kRate));
  EXPECT_EQ(b.size(), a.size()) << "as long as the flight";
  std::vector<Sound> heard = Sounds(a, kRate), recorded = Sounds(b, kRate);
  ASSERT_EQ(heard.size(), 2u) << "a sound for each callout";
  ASSERT_EQ(recorded.size(), heard.size());
  for (size_t i = 0; i < heard.size(); ++i) {
    const Sound& x = heard[i];
    const Sound& y = recorded[i];
    EXPECT_LE(std::max(x.begin, y.begin) - std::min(x.begin, y.begin), kOneBuffer)
        << "callout " << i << " begins at " << static_cast<double>(x.begin) / kRate << " s in real time, at "
        << static_cast<double>(y.begin) / kRate << " s in virtual time";
    // Its level over its first second, and over the whole of it. (Where it
    // ends is left alone: a machine too busy to keep up with a flight in real
    // time drops a little of the sound there, as a sound card would.)
    std::ostringstream figures;
    figures << "callout " << i << ": begins at sample " << x.begin << " in real time, " << y.begin
            << " in virtual time; level";
    for (size_t span : {static_cast<size_t>(kRate), x.end - x.begin}) {
      double levelA = LevelDb(a, x.begin, x.begin + span), levelB = LevelDb(b, y.begin, y.begin + span);
      EXPECT_LT(levelA, -10) << "well below full scale";
      EXPECT_NEAR(levelB, levelA, 1.0) << "callout " << i << " over " << span << " samples";
      figures << " over " << span << " samples " << levelA << " dB and " << levelB << " dB";
    }
    // The figures, for whoever compares the two pacings on another machine.
    std::printf("%s\n", figures.str().c_str());
  }
}

}  // namespace
