// Callout sequences flown end to end: each folder under cue_sequences holds
// a flight plan at a real airport of the runway table, the cues the unit must
// hand to the audio library for it (expected.cues), and possibly the lines of
// its profile (profile.ini) and alert bits its alert word must show at some
// point (expected.alerts). The stand-in simulator flies the plan through the
// installed module (`orvante-sim fly`), and the transcript's cues, grouped
// into calls, must equal the expected ones line for line.
//
// expected.cues: one line per queueAnnouncement call, its cue names separated
// by spaces, "[cut] " in front of a call queued with cutCurrent; '#' starts a
// comment line. The transcript does not mark where one call ends and the next
// begins: cues of one cycle share their time, and a call that cuts in is seen
// by the audio library's "is the queue playing" question the module asks
// first. So a line here is the cues handed over in one cycle with one cut
// flag. That is one call, except where a cycle makes two with the same flag
// (the altimeter reminder's own call after other plain cues): those show as
// one line. A plain call after a cutting one in the same cycle is a line of
// its own: the simulator marks cut only the cues up to the cutting call's
// "remaining" (see sim/cutting_calls.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "sim_run.h"
#include "temp_folder.h"
#include "transcript.h"

namespace {

namespace fs = std::filesystem;

const std::string kCasesDir = ORVANTE_CUE_CASES_DIR;
const std::string kAircraftConfig = ORVANTE_CASE_AIRCRAFT_CONFIG;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The lines of a case file without comments, blank lines and trailing blanks.
std::vector<std::string> ContentLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#' || line[first] == ';') continue;
    lines.push_back(line.substr(first));
  }
  return lines;
}

// One call as the transcript shows it: the cycle's time, its cut flag, its cues.
struct ObservedCall {
  double t = 0;
  bool cut = false;
  std::vector<std::string> cues;
  std::string Text() const {
    std::string text = cut ? "[cut]" : "";
    for (const std::string& cue : cues) text += (text.empty() ? "" : " ") + cue;
    return text;
  }
};

std::vector<ObservedCall> GroupIntoCalls(const std::vector<orvante::report::TranscriptCue>& cues) {
  std::vector<ObservedCall> calls;
  for (const auto& cue : cues) {
    if (calls.empty() || calls.back().t != cue.t || calls.back().cut != cue.cut) calls.push_back({cue.t, cue.cut, {}});
    calls.back().cues.push_back(cue.cue);
  }
  return calls;
}

// Expected lines as the calls would print: "[cut]" then single spaces.
std::string Normalised(const std::string& line) {
  std::istringstream words(line);
  std::string text;
  for (std::string word; words >> word;) text += (text.empty() ? "" : " ") + word;
  return text;
}

// A line diff (longest common subsequence): "  " both, "- " expected only,
// "+ " heard only, the time of each heard call in front.
std::string LineDiff(const std::vector<std::string>& expected, const std::vector<ObservedCall>& heard) {
  size_t n = expected.size(), m = heard.size();
  std::vector<std::vector<size_t>> common(n + 1, std::vector<size_t>(m + 1, 0));
  for (size_t i = n; i-- > 0;)
    for (size_t j = m; j-- > 0;)
      common[i][j] =
          expected[i] == heard[j].Text() ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
  auto timed = [&](size_t j) {
    char t[32];
    std::snprintf(t, sizeof t, "%9.3f  ", heard[j].t);
    return std::string(t) + heard[j].Text();
  };
  std::string diff = "expected (-) against heard (+), with the time of each heard call:\n";
  size_t i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && expected[i] == heard[j].Text()) {
      diff += "  " + timed(j) + "\n";
      ++i, ++j;
    } else if (j < m && (i == n || common[i][j + 1] >= common[i + 1][j])) {
      diff += "+ " + timed(j) + "\n";
      ++j;
    } else {
      diff += "- " + std::string(11, ' ') + expected[i] + "\n";
      ++i;
    }
  }
  return diff;
}

// Bits of the alert word by the names the module gives them.
const std::map<std::string, unsigned> kAlertBits = {
    {"AppRwyOnGnd", 0x1},      {"AppRwyInAir", 0x2},         {"OnRunway", 0x4},
    {"RunwayEnd", 0x8},        {"TaxiwayTakeOff", 0x10},     {"InsufficientLength", 0x20},
    {"ExtendedHolding", 0x40}, {"ShortRunwayInAir", 0x80},   {"TaxiwayLanding", 0x100},
    {"TakeOffFlaps", 0x200},   {"DistanceRemaining", 0x400}, {"LandingFlaps", 0x800},
    {"TooFast", 0x1000},       {"TooHigh", 0x2000},          {"Unstable", 0x4000},
    {"Altimeter", 0x8000},     {"LongLanding", 0x10000},     {"Caution", 0x20000}};

// Every bit any alert line of the transcript showed.
unsigned AlertBitsSeen(const std::string& transcript) {
  unsigned seen = 0;
  std::istringstream in(transcript);
  for (std::string line; std::getline(in, line);) {
    if (line.find("\"type\":\"alert\"") == std::string::npos) continue;
    size_t at = line.find("\"word\":");
    unsigned word = 0;
    if (at != std::string::npos && std::sscanf(line.c_str() + at + 7, "%u", &word) == 1) seen |= word;
  }
  return seen;
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(kCasesDir, error))
    if (entry.is_directory() && fs::exists(entry.path() / "flight.plan"))
      names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class CueSequence : public ::testing::TestWithParam<std::string> {};

TEST_P(CueSequence, FlownThroughTheUnitGivesTheExpectedCalls) {
  const fs::path dir = fs::path(kCasesDir) / GetParam();
  ASSERT_TRUE(fs::exists(dir / "expected.cues")) << dir;
  const std::string simDir = BuildDir() + "/sim";
  ASSERT_TRUE(fs::exists(simDir + "/ORVANTE/SoundSets/Default.xgs")) << "the default voice is installed";
  ASSERT_TRUE(fs::exists(simDir + "/r4.csv")) << "the runway table is installed";
  ASSERT_TRUE(fs::exists(kAircraftConfig)) << kAircraftConfig;

  // A profile linked to the aircraft model, with the case's own lines, and
  // the aircraft whose flap detents 1 and 3 (1 and 5 degrees) are the
  // profile's take-off and landing minimums.
  TempFolder folder;
  std::string profile = "[ORVANTE]\nMasterSwitch=1\nModel.0=B738\n";
  if (fs::exists(dir / "profile.ini"))
    for (const std::string& line : ContentLines(ReadText(dir / "profile.ini"))) profile += line + "\n";
  folder.Write("app/ORVANTE/Profiles/CASE.INI", profile);
  folder.Write("app/ORVANTE/ORVANTE.INI", "[ORVANTE]\nDEFAULTProfile=CASE\n");
  folder.Write("aircraft/B738/aircraft.cfg", ReadText(kAircraftConfig));

  SimRun run =
      RunSim("fly " + (dir / "flight.plan").string() + " --sim-dir " + simDir + " --appdata " + folder.Path("app") +
             " --aircraft " + folder.Path("aircraft/B738") + " --transcript " + folder.Path("out.jsonl"));
  ASSERT_EQ(run.exitCode, 0) << run.output;
  ASSERT_EQ(run.output.find("cues are not recorded"), std::string::npos) << run.output;
  std::string transcript = folder.Read("out.jsonl");
  ASSERT_NE(transcript.find("\"CONNECTED! to Flight Simulator...\""), std::string::npos) << run.output;

  std::vector<orvante::report::TranscriptCue> cues;
  auto result = orvante::report::ReadTranscript(transcript, cues);
  ASSERT_TRUE(result) << result.error();
  std::vector<ObservedCall> heard = GroupIntoCalls(cues);
  std::vector<std::string> expected;
  for (const std::string& line : ContentLines(ReadText(dir / "expected.cues"))) expected.push_back(Normalised(line));
  std::vector<std::string> heardText;
  for (const ObservedCall& call : heard) heardText.push_back(call.Text());
  EXPECT_EQ(heardText, expected) << LineDiff(expected, heard);

  if (fs::exists(dir / "expected.alerts")) {
    unsigned seen = AlertBitsSeen(transcript);
    for (const std::string& name : ContentLines(ReadText(dir / "expected.alerts"))) {
      auto bit = kAlertBits.find(name);
      ASSERT_NE(bit, kAlertBits.end()) << "expected.alerts names no alert bit: " << name;
      EXPECT_NE(seen & bit->second, 0u) << "the alert word never showed " << name;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, CueSequence, ::testing::ValuesIn(CaseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

// A case folder the runner would not find (no flight.plan) or an empty
// folder list must not pass as "nothing to compare".
TEST(CueSequenceCases, EveryCaseFolderIsFlown) {
  std::vector<std::string> flown = CaseNames();
  EXPECT_FALSE(flown.empty()) << "no cases under " << kCasesDir;
  for (const auto& entry : fs::directory_iterator(kCasesDir)) {
    if (!entry.is_directory()) continue;
    EXPECT_NE(std::find(flown.begin(), flown.end(), entry.path().filename().string()), flown.end())
        << entry.path() << " has no flight.plan";
  }
}

}  // namespace
