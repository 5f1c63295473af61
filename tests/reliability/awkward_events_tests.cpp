// Simulator events at awkward moments: a crash, a simulation stop and an
// aircraft load arriving, in every order, right at a callout (the cue just
// handed to the audio library and playing), right at a runway query, and
// right at a profile save (the settings dialog saving, the events arriving
// meanwhile and handled once it returns). Each burst is followed by a
// simulation start. No run may crash or hang (the watchdog ends a run that
// takes too long), and the unit must speak again after the next start.
//
// In virtual time the simulator and the add-on's worker take turns, so an
// event lands in the frame right after the cycle that queried or spoke. The
// last test runs the same bursts on the wall clock, the worker side by side
// with the frames as in a real simulator (and under ThreadSanitizer, with
// no clock hand-over to hide a race).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "flight_command.h"
#include "flight_file.h"
#include "program_run.h"
#include "sim_folder.h"

namespace {

namespace fs = std::filesystem;
using faults::CountCues;
using faults::TranscriptLine;

const std::string kPlan = ORVANTE_SOAK_PLAN;

// Moments of the loop at KSFO (tools/flightplan/soak): taxiing towards 28R
// the unit calls the runway at 63.25 s; it lines up on it and calls it at
// 87 s, holds there and is reminded at 176.75 s, and takes off at 191 s.
constexpr double kCalloutMoment = 63.25;
constexpr double kRestartAfter = 1.0;        // each burst is followed by a start this much later
constexpr double kLastRestartBefore = 81.0;  // the unit has resumed before it lines up
constexpr double kFlightEnd = 200.0;

std::string Time(double t) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", t);
  return text;
}

// The three events in the order given at t, and the start after them.
std::string Burst(double t, const std::array<std::string, 3>& order, const std::string& aircraft) {
  std::string text;
  for (const std::string& event : order)
    text += Time(t) + "," + (event == "aircraft_loaded" ? "aircraft_loaded," + aircraft : event) + "\n";
  return text + Time(t + kRestartAfter) + ",sim_start\n";
}

class AwkwardEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    simDir_ = faults::CopySimulatorFolder(folder_);
    faults::WriteUserFolders(folder_);
    orvante::flightplan::Flight loop;
    common::Result<> done = orvante::flightplan::FlightFromPlanFile(kPlan, simDir_, loop);
    ASSERT_TRUE(done) << done.error();
    // Up to the end of the landing roll: what follows is the taxi back.
    std::erase_if(loop.samples, [](const orvante::flightplan::FlightSample& s) { return s.t > kFlightEnd; });
    const size_t kept = loop.samples.size();
    std::erase_if(loop.phases, [kept](const orvante::flightplan::PhaseSpan& p) { return p.firstSample >= kept; });
    flight_ = folder_.Path("loop.flight.csv");
    done = orvante::flightplan::WriteFlightFile(flight_, loop);
    ASSERT_TRUE(done) << done.error();
  }

  faults::ProgramRun Replay(const std::string& name, const std::string& events, const std::string& simDir,
                            const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {faults::SimulatorProgram(),
                                     "replay",
                                     flight_,
                                     "--sim-dir",
                                     simDir,
                                     "--appdata",
                                     folder_.Path("app"),
                                     "--aircraft",
                                     folder_.Path("aircraft/B738"),
                                     "--events",
                                     folder_.Write(name + ".events.csv", events),
                                     "--transcript",
                                     folder_.Path(name + ".jsonl")};
    args.insert(args.end(), extra.begin(), extra.end());
    return faults::RunProgram(args, {}, std::chrono::seconds(150));
  }

  std::string Start() const { return "0,aircraft_loaded," + folder_.Path("aircraft/B738") + "\n0,sim_start\n"; }

  static std::vector<std::string> CueNames(const std::vector<TranscriptLine>& lines, double from) {
    std::vector<std::string> names;
    for (const TranscriptLine& line : lines)
      if (line.type == "cue" && line.t >= from) names.push_back(line.text);
    return names;
  }

  TempFolder folder_;
  std::string simDir_, flight_;
};

TEST_F(AwkwardEvents, CrashStopAndLoadInEveryOrderAtACalloutAQueryAndASaveNeverHangAndTheUnitSpeaksAgain) {
  const std::string aircraft = folder_.Path("aircraft/B738");
  // The loop as the unit speaks it undisturbed.
  faults::ProgramRun baseline = Replay("baseline", Start(), simDir_);
  ASSERT_EQ(baseline.exitCode, 0) << baseline.output;
  auto undisturbed = faults::ReadTranscriptLines(folder_.Path("baseline.jsonl"));
  ASSERT_EQ(CountCues(undisturbed, kCalloutMoment, kCalloutMoment + 0.001), 1) << "the runway callout moved";
  const std::vector<std::string> expectedLater = CueNames(undisturbed, kLastRestartBefore);
  ASSERT_FALSE(expectedLater.empty());

  // When the first query after the first burst's restart comes: with the
  // runway table gone, every query logs its failure, which shows its moment.
  const std::string probeSim = folder_.Path("probe-sim");
  fs::create_directories(probeSim);
  for (const auto& entry : fs::directory_iterator(simDir_))
    fs::copy(entry.path(), probeSim + "/" + entry.path().filename().string(),
             fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  faults::ProgramRun probe =
      Replay("probe",
             Start() + Burst(kCalloutMoment, {"crash", "sim_stop", "aircraft_loaded"}, aircraft) + "1,remove,r4.csv\n",
             probeSim);
  ASSERT_EQ(probe.exitCode, 0) << probe.output;
  const std::vector<TranscriptLine> probeLines = faults::ReadTranscriptLines(folder_.Path("probe.jsonl"));
  const TranscriptLine* query = faults::FindLog(probeLines, "COM ERROR - Error Code", kCalloutMoment + kRestartAfter);
  ASSERT_NE(query, nullptr) << "no query after the restart";
  const double queryMoment = query->t;
  // The profile is saved a little later, and the unit resumes from that
  // last burst before it lines up.
  const double saveMoment = queryMoment + 3;
  ASSERT_LT(saveMoment + kRestartAfter, kLastRestartBefore) << "the restart queries at once";
  std::printf("awkward events: callout at %.3f s, the first query after the restart at %.3f s, save at %.3f s\n",
              kCalloutMoment, queryMoment, saveMoment);

  std::array<std::string, 3> order = {"aircraft_loaded", "crash", "sim_stop"};
  int run = 0;
  do {
    SCOPED_TRACE(order[0] + ", " + order[1] + ", " + order[2]);
    std::string events = Start() + Burst(kCalloutMoment, order, aircraft) + Burst(queryMoment, order, aircraft) +
                         Time(saveMoment) + ",menu\n" + Time(saveMoment) +
                         ",dialog,type,Minimum Take-off Length:,2500\n" + Time(saveMoment) +
                         ",dialog,press,Close and Save Settings\n" + Burst(saveMoment, order, aircraft);
    const std::string name = "order" + std::to_string(++run);
    faults::ProgramRun replay = Replay(name, events, simDir_);
    ASSERT_FALSE(replay.timedOut) << "the simulator hung\n" << replay.output;
    ASSERT_EQ(replay.exitCode, 0) << replay.output;
    auto lines = faults::ReadTranscriptLines(folder_.Path(name + ".jsonl"));
    // The save went through, and after the last start the unit speaks the
    // rest of the flight as it did undisturbed: the runway as it lines up,
    // the holding reminder.
    EXPECT_NE(folder_.Read("app/ORVANTE/Profiles/TEST.INI").find("MinTakeOffLength=2500"), std::string::npos);
    EXPECT_EQ(CueNames(lines, kLastRestartBefore), expectedLater);
  } while (std::next_permutation(order.begin(), order.end()));
  EXPECT_EQ(run, 6);
}

// The same kind of bursts on the wall clock, on the runway at KSFO: the
// simulator's thread handles them while the worker runs its cycles.
TEST_F(AwkwardEvents, BurstsWhileTheWorkerRunsOnTheWallClockNeverHang) {
  const std::string aircraft = folder_.Path("aircraft/B738");
  const std::string plan = folder_.Write("runway.plan", "airport KSFO\nstart 28R along 1500 heading 298\nhold 27\n");
  orvante::flightplan::Flight flight;
  common::Result<> done = orvante::flightplan::FlightFromPlanFile(plan, simDir_, flight);
  ASSERT_TRUE(done) << done.error();
  flight_ = folder_.Path("runway.flight.csv");
  ASSERT_TRUE(orvante::flightplan::WriteFlightFile(flight_, flight));
  // Bursts at moments that fall anywhere in the worker's quarter second,
  // each a little after the unit resumed from the one before (five seconds
  // after the start that follows it).
  std::string events = Start();
  std::array<std::string, 3> order = {"aircraft_loaded", "crash", "sim_stop"};
  for (double t : {6.13, 13.37, 20.61}) {
    events += Burst(t, order, aircraft);
    std::next_permutation(order.begin(), order.end());
  }
  faults::ProgramRun replay = Replay("wall", events, simDir_, {"--wall-clock"});
  ASSERT_FALSE(replay.timedOut) << "the simulator hung\n" << replay.output;
  ASSERT_EQ(replay.exitCode, 0) << replay.output;
  EXPECT_NE(replay.output.find("add-ons run on the wall clock"), std::string::npos) << replay.output;
  auto lines = faults::ReadTranscriptLines(folder_.Path("wall.jsonl"));
  EXPECT_GT(CountCues(lines, 0), 0) << "the unit spoke between the bursts";
}

}  // namespace
