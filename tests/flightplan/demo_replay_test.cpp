// The demo flights flown through the unit: the stand-in simulator replays
// each generated flight with the installed module and default voice, and
// the transcript must hold the callouts each phase exists for, at the time
// of that phase.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "flight_checks.h"
#include "flight_file.h"
#include "report_command.h"
#include "transcript.h"

namespace {

using namespace flight_checks;
using orvante::report::TranscriptCue;

class DemoReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    buildDir = std::getenv("ORVANTE_BUILD_DIR");
    sourceDir = std::getenv("ORVANTE_SOURCE_DIR");
    ASSERT_TRUE(std::filesystem::exists(buildDir + "/sim/ORVANTE/SoundSets/Default.xgs"))
        << "the default voice is installed";
    // A profile linked to the aircraft, whose flap angles make detent 1 a
    // take-off setting and detent 3 (5 degrees) a landing one.
    folder.Write("app/ORVANTE/Profiles/DEMO.INI", "[ORVANTE]\nMasterSwitch=1\nModel.0=B738\n");
    folder.Write("app/ORVANTE/ORVANTE.INI", "[ORVANTE]\nDEFAULTProfile=DEMO\n");
    folder.Write("aircraft/B738/aircraft.cfg",
                 "[fltsim.0]\ntitle=Demo 737\nsim=B738\n\n[flaps.0]\ntype=1\nflaps-position.0=0\nflaps-position.1=1\n"
                 "flaps-position.2=2\nflaps-position.3=5\nflaps-position.4=10\nflaps-position.5=15\n");
  }

  // The text of a demo plan, with the lines beginning with each key of
  // `replaced` swapped for its value.
  std::string DemoPlan(const char* plan, const std::map<std::string, std::string>& replaced = {}) {
    std::ifstream in(sourceDir + "/tools/flightplan/demo/" + plan);
    std::string text, line;
    while (std::getline(in, line)) {
      for (const auto& [start, replacement] : replaced)
        if (line.rfind(start, 0) == 0) line = replacement;
      text += line + "\n";
    }
    return text;
  }

  // Builds the plan's flight and replays it; returns the cues.
  std::vector<TranscriptCue> FlyThroughTheUnit(const std::string& plan) {
    FlightPlan parsed;
    EXPECT_TRUE(ParseFlightPlan(plan, parsed));
    EXPECT_TRUE(LoadAirportRunways(buildDir + "/sim", parsed.airport, runways));
    EXPECT_TRUE(BuildFlight(parsed, runways, flight));
    EXPECT_TRUE(WriteFlightFile(folder.Path("flight.csv"), flight));
    std::string command = "SDL_AUDIODRIVER=dummy SDL_NO_SIGNAL_HANDLERS=1 " + buildDir + "/bin/orvante-sim replay " +
                          folder.Path("flight.csv") + " --sim-dir " + buildDir + "/sim --appdata " +
                          folder.Path("app") + " --aircraft " + folder.Path("aircraft/B738") + " --transcript " +
                          folder.Path("out.jsonl") + " > " + folder.Path("sim.log") + " 2>&1";
    int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << folder.Read("sim.log");
    std::vector<TranscriptCue> cues;
    auto result = orvante::report::ReadTranscript(folder.Read("out.jsonl"), cues);
    EXPECT_TRUE(result) << result.error();
    return cues;
  }

  double PhaseStart(PhaseKind kind) const { return flight.samples[Phase(kind).firstSample].t; }
  double PhaseEnd(PhaseKind kind) const { return flight.samples[Phase(kind).lastSample].t; }
  const PhaseSpan& Phase(PhaseKind kind) const {
    for (const PhaseSpan& span : flight.phases)
      if (span.kind == kind) return span;
    static PhaseSpan none;
    ADD_FAILURE() << "no phase " << PhaseKeyword(kind);
    return none;
  }

  static std::vector<TranscriptCue> Named(const std::vector<TranscriptCue>& cues, const std::string& name) {
    std::vector<TranscriptCue> found;
    for (const TranscriptCue& cue : cues)
      if (cue.cue == name) found.push_back(cue);
    return found;
  }

  // The thousands digits of the distance marks spoken between two times.
  static std::string MarksBetween(const std::vector<TranscriptCue>& cues, double from, double to) {
    std::string marks;
    for (size_t i = 0; i + 3 < cues.size(); ++i) {
      if (cues[i].t < from || cues[i].t > to) continue;
      if (cues[i + 1].cue == "1000" && cues[i + 2].cue == "feet" && cues[i + 3].cue == "remaining") {
        EXPECT_TRUE(cues[i].cut) << "a mark cuts in";
        marks += cues[i].cue;
      }
    }
    return marks;
  }

  std::string buildDir, sourceDir;
  TempFolder folder;
  RunwayList runways;
  Flight flight;
};

TEST_F(DemoReplay, CircuitLinesUpHoldsComesBackFastAndLandsWithTheMarks) {
  std::vector<TranscriptCue> cues = FlyThroughTheUnit(DemoPlan("ksfo_circuit.plan"));
  // Lining up on 28R: "on runway 28R" during the line-up.
  std::vector<TranscriptCue> onRunway = Named(cues, "onrwy28r");
  ASSERT_EQ(onRunway.size(), 3u);
  EXPECT_GE(onRunway[0].t, PhaseStart(PhaseKind::kLineUp));
  EXPECT_LE(onRunway[0].t, PhaseEnd(PhaseKind::kLineUp));
  // Held for more than a minute: the reminder, the runway twice.
  EXPECT_EQ(onRunway[1].t, onRunway[2].t);
  // (the unit counts time below 1 kt, which begins as the line-up stops)
  double still = PhaseStart(PhaseKind::kHold);
  for (size_t i = Phase(PhaseKind::kLineUp).lastSample; flight.samples[i].groundSpeedKt < 1; --i)
    still = flight.samples[i].t;
  EXPECT_GE(onRunway[1].t, still + 60);
  EXPECT_LE(onRunway[1].t, still + 63);
  EXPECT_LE(onRunway[1].t, PhaseEnd(PhaseKind::kHold));
  // The approach: flaps not set between the gates, then too fast.
  double approach = PhaseStart(PhaseKind::kApproach), landing = PhaseEnd(PhaseKind::kApproach);
  ASSERT_EQ(Named(cues, "flapsx2pause").size(), 1u);
  EXPECT_GT(Named(cues, "flapsx2pause")[0].t, approach);
  ASSERT_EQ(Named(cues, "toofastx2").size(), 1u);
  EXPECT_GT(Named(cues, "toofastx2")[0].t, Named(cues, "flapsx2pause")[0].t);
  EXPECT_LT(Named(cues, "toofastx2")[0].t, landing);
  // The landing roll: 4000, 3000 and 2000 ft remaining.
  EXPECT_EQ(MarksBetween(cues, PhaseStart(PhaseKind::kLand), PhaseEnd(PhaseKind::kLand)), "432");
  EXPECT_EQ(MarksBetween(cues, 0, PhaseStart(PhaseKind::kLand)), "") << "no marks before the landing";

  // The report reads the whole transcript the simulator wrote (log, panel
  // variable and alert lines too) and shows every callout.
  std::FILE* out = std::tmpfile();
  int status = orvante::report::RunReportCommand({folder.Path("out.jsonl"), folder.Path("flight.csv"), "--out",
                                                  folder.Path("report.svg"), "--sim-dir", buildDir + "/sim"},
                                                 "", sourceDir + "/tools/soundset/voices/Default.manifest", out, out);
  std::fclose(out);
  ASSERT_EQ(status, 0);
  std::string svg = folder.Read("report.svg");
  EXPECT_NE(svg.find(">too fast, too fast<"), std::string::npos);
  EXPECT_NE(svg.find(">two thousand feet remaining<"), std::string::npos);
  EXPECT_NE(svg.find(">28R<"), std::string::npos);
  // One marker for each cycle that queued cues.
  std::set<double> cycles;
  for (const TranscriptCue& cue : cues) cycles.insert(cue.t);
  EXPECT_NE(svg.find("data-number=\"" + std::to_string(cycles.size()) + "\""), std::string::npos);
  EXPECT_EQ(svg.find("data-number=\"" + std::to_string(cycles.size() + 1) + "\""), std::string::npos);
}

TEST_F(DemoReplay, RejectedTakeOffCountsDownTheRunwayLeft) {
  std::vector<TranscriptCue> cues = FlyThroughTheUnit(DemoPlan("ksfo_rejected_takeoff.plan"));
  std::vector<TranscriptCue> onRunway = Named(cues, "onrwy28l");
  ASSERT_GE(onRunway.size(), 1u);
  EXPECT_GE(onRunway[0].t, PhaseStart(PhaseKind::kLineUp));
  EXPECT_LE(onRunway[0].t, PhaseEnd(PhaseKind::kLineUp));
  EXPECT_EQ(MarksBetween(cues, PhaseStart(PhaseKind::kRejectedTakeOff), PhaseEnd(PhaseKind::kRejectedTakeOff)), "432");
}

TEST_F(DemoReplay, LandingBesideTheRunwayGivesTheTaxiwayCaution) {
  // The circuit's approach flown 1200 ft right of 28R's centreline. (Closer
  // in, the unit still counts the aircraft lined up with 28R at the 150 to
  // 250 ft where it checks: within 20 degrees of the runway's end.)
  std::vector<TranscriptCue> cues = FlyThroughTheUnit(DemoPlan(
      "ksfo_circuit.plan", {{"approach", "approach 28R from 7 nm speed 150 gear down flaps 3 offset 1200 right"},
                            {"land", "land brake 3 vacate 20"}}));
  std::vector<TranscriptCue> caution = Named(cues, "cautiontaxiwayx2");
  ASSERT_EQ(caution.size(), 1u);
  size_t touchdown = Phase(PhaseKind::kLand).firstSample;
  while (!flight.samples[touchdown].onGround) ++touchdown;
  EXPECT_GT(caution[0].t, PhaseStart(PhaseKind::kApproach));
  EXPECT_LT(caution[0].t, flight.samples[touchdown].t);
  EXPECT_EQ(MarksBetween(cues, PhaseStart(PhaseKind::kApproach), flight.samples.back().t), "") << "no runway, no marks";
}

}  // namespace
