// A day of flying, shortened to an hour here: a loop at KSFO (taxi, line-up,
// holding, take-off, circuit, approach, landing, roll-out and the taxi back
// to the stand) flown again and again through the installed unit in virtual
// time. At regular moments of the flight the stand-in writes the process's
// figures (resident memory, open files, threads, the audio library's live
// handles and play queue). They must not grow once the unit has settled,
// and every loop must bring the same callouts at the same moments of the
// loop as the first.
//
// ORVANTE_SOAK_HOURS sets the length (scripts/soak flies 24 hours and prints
// the figures hour by hour); the test always prints its table.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "flight_command.h"
#include "flight_file.h"
#include "flight_repeat.h"
#include "program_run.h"
#include "temp_folder.h"
#include "transcript.h"

namespace {

namespace fs = std::filesystem;

const std::string kPlan = ORVANTE_SOAK_PLAN;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
const std::string kAircraftConfig = ORVANTE_SOAK_AIRCRAFT_CONFIG;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct VitalsRow {
  double t = 0;
  std::vector<double>
      values;  // resident_kb, open_files, threads, streams, sounds, lists, queue, engines, lost, restored
};

enum Column { kResident, kFiles, kThreads, kStreams, kSounds, kLists, kQueue, kEngines, kLost, kRestored, kColumns };

std::vector<VitalsRow> ReadVitals(const std::string& path, std::string& header) {
  std::vector<VitalsRow> rows;
  std::istringstream in(ReadText(path));
  std::getline(in, header);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    VitalsRow row;
    std::string field;
    std::getline(fields, field, ',');
    row.t = std::atof(field.c_str());
    while (std::getline(fields, field, ',')) row.values.push_back(field.empty() ? NAN : std::atof(field.c_str()));
    rows.push_back(row);
  }
  return rows;
}

// One callout as a loop hears it: its moment in the loop, its cue, its cut flag.
struct LoopCue {
  long long millisecond = 0;
  std::string cue;
  bool cut = false;
  bool operator==(const LoopCue&) const = default;
};

std::string Describe(const std::vector<LoopCue>& cues) {
  std::string text;
  for (const LoopCue& c : cues) {
    char line[160];
    std::snprintf(line, sizeof line, "  %9.3f %s%s\n", c.millisecond / 1000.0, c.cut ? "[cut] " : "", c.cue.c_str());
    text += line;
  }
  return text;
}

TEST(Soak, LoopsFlownForHoursBringTheSameCalloutsEveryLoopAndNothingGrows) {
  const double hours = std::getenv("ORVANTE_SOAK_HOURS") ? std::atof(std::getenv("ORVANTE_SOAK_HOURS")) : 1.0;
  ASSERT_GT(hours, 0) << "ORVANTE_SOAK_HOURS must be a number of hours";
  const double every = hours >= 2 ? 3600 : 600;     // when the figures are taken
  const double settled = hours >= 2 ? 3600 : 1200;  // from then on nothing may grow
  const std::string simDir = faults::BuildDir() + "/sim";
  ASSERT_TRUE(fs::exists(simDir + "/ORVANTE/SoundSets/Default.xgs")) << "the default voice is installed";
  ASSERT_TRUE(fs::exists(simDir + "/r4.csv")) << "the runway table is installed";

  orvante::flightplan::Flight loop;
  common::Result<> done = orvante::flightplan::FlightFromPlanFile(kPlan, simDir, loop);
  ASSERT_TRUE(done) << done.error();
  orvante::flightplan::RepeatedFlight repeated;
  done = orvante::flightplan::RepeatFlight(loop, hours * 3600, repeated);
  ASSERT_TRUE(done) << done.error();

  TempFolder folder;
  folder.Write("app/ORVANTE/Profiles/SOAK.INI", "[ORVANTE]\nMasterSwitch=1\nModel.0=B738\n");
  folder.Write("app/ORVANTE/ORVANTE.INI", "[ORVANTE]\nDEFAULTProfile=SOAK\n");
  folder.Write("aircraft/B738/aircraft.cfg", ReadText(kAircraftConfig));
  const std::string flightPath = folder.Path("soak.flight.csv");
  done = orvante::flightplan::WriteFlightFile(flightPath, repeated.flight);
  ASSERT_TRUE(done) << done.error();

  char everyText[32];
  std::snprintf(everyText, sizeof everyText, "%.0f", every);
  faults::ProgramRun run = faults::RunProgram(
      {faults::BuildDir() + "/bin/orvante-sim", "replay", flightPath, "--sim-dir", simDir, "--appdata",
       folder.Path("app"), "--aircraft", folder.Path("aircraft/B738"), "--transcript", folder.Path("soak.jsonl"),
       "--vitals", folder.Path("vitals.csv"), "--vitals-every", everyText},
      {}, std::chrono::minutes(60));
  ASSERT_FALSE(run.timedOut) << "the replay did not end within an hour of wall time\n" << run.output.substr(0, 4000);
  ASSERT_EQ(run.exitCode, 0) << run.output.substr(0, 4000);
  std::printf("soak: %.1f h of flight, a loop of %.0f s flown %zu times, replayed in %.1f s of wall time\n",
              repeated.flight.samples.back().t / 3600, repeated.periodSeconds, repeated.repetitions, run.seconds);

  // Every loop's callouts against the first loop's.
  std::vector<orvante::report::TranscriptCue> cues;
  done = orvante::report::ReadTranscript(ReadText(folder.Path("soak.jsonl")), cues);
  ASSERT_TRUE(done) << done.error();
  std::vector<std::vector<LoopCue>> loops(repeated.repetitions);
  const long long period = std::llround(repeated.periodSeconds * 1000);
  for (const auto& cue : cues) {
    long long at = std::llround(cue.t * 1000);
    size_t k = static_cast<size_t>(at / period);
    ASSERT_LT(k, loops.size()) << "a callout after the last loop, at " << cue.t << " s: " << cue.cue;
    loops[k].push_back({at - static_cast<long long>(k) * period, cue.cue, cue.cut});
  }
  ASSERT_FALSE(loops[0].empty()) << "the first loop brought no callouts";
  std::printf("soak: %zu callouts a loop\n", loops[0].size());
  for (size_t k = 1; k < loops.size(); ++k)
    ASSERT_EQ(loops[k], loops[0]) << "loop " << k + 1 << " (from " << k * repeated.periodSeconds
                                  << " s) differs from the first:\nfirst loop:\n"
                                  << Describe(loops[0]) << "loop " << k + 1 << ":\n"
                                  << Describe(loops[k]);

  // The figures: printed, then checked.
  std::string header;
  std::vector<VitalsRow> rows = ReadVitals(folder.Path("vitals.csv"), header);
  ASSERT_EQ(header,
            "t_s,resident_kb,open_files,threads,audio_streams,audio_sounds,audio_lists,queue_length,"
            "device_engines,devices_lost,devices_restored");
  const size_t expectedRows = static_cast<size_t>(std::floor(repeated.flight.samples.back().t / every + 1e-9)) + 1;
  ASSERT_EQ(rows.size(), expectedRows);
  std::printf("%8s %12s %10s %8s %14s %13s %12s %12s\n", "hour", "resident kB", "open files", "threads",
              "audio streams", "audio sounds", "audio lists", "queue length");
  const VitalsRow* base = nullptr;
  for (const VitalsRow& row : rows) {
    ASSERT_EQ(row.values.size(), static_cast<size_t>(kColumns)) << "row at " << row.t << " s";
    std::printf("%8.2f %12.0f %10.0f %8.0f %14.0f %13.0f %12.0f %12.0f\n", row.t / 3600, row.values[kResident],
                row.values[kFiles], row.values[kThreads], row.values[kStreams], row.values[kSounds], row.values[kLists],
                row.values[kQueue]);
    if (base == nullptr && row.t >= settled) base = &row;
  }
  std::fflush(stdout);
  ASSERT_NE(base, nullptr) << "no figures from " << settled << " s on";
  const size_t loopCues = loops[0].size();
  for (const VitalsRow& row : rows) {
    SCOPED_TRACE("figures at " + std::to_string(static_cast<long long>(row.t)) + " s");
    // At every moment: one stream, no lists, at most a cue playing and one
    // dying, and never more waiting than two loops could have queued.
    EXPECT_EQ(row.values[kStreams], 1);
    EXPECT_EQ(row.values[kLists], 0);
    EXPECT_LE(row.values[kSounds], 2);
    EXPECT_LE(row.values[kQueue], 2.0 * loopCues);
    EXPECT_EQ(row.values[kEngines], 1);
    EXPECT_EQ(row.values[kLost], 0);
    if (row.t < base->t) continue;
    EXPECT_LE(row.values[kFiles], base->values[kFiles]);
    EXPECT_LE(row.values[kThreads], base->values[kThreads]);
    // The allocator's pages come and go a little; a leak of a few hundred
    // bytes a cycle would be megabytes over the run. Under a sanitizer the
    // process keeps freed memory aside on purpose (and the leak checker
    // looks for leaks at its end instead).
    if (kSanitized) continue;
    EXPECT_LE(row.values[kResident], base->values[kResident] + 2048)
        << "resident memory grew by " << row.values[kResident] - base->values[kResident] << " kB";
  }
}

// The stand-in flies a repeated plan at once: --repeat-for is the plan's
// option (in both spellings), the rest go to the replay.
TEST(Soak, FlyRepeatsAPlanThatEndsWhereItStartsAndRefusesABadLength) {
  const std::string simDir = faults::BuildDir() + "/sim";
  TempFolder folder;
  const std::string plan =
      folder.Write("stand.plan", "airport KSFO\nstart 28R along 1200 right 650 heading 208\nhold 20\n");
  for (const std::vector<std::string>& option :
       std::vector<std::vector<std::string>>{{"--repeat-for", "100"}, {"--repeat-for=100"}}) {
    std::vector<std::string> args = {faults::BuildDir() + "/bin/orvante-sim", "fly", plan};
    args.insert(args.end(), option.begin(), option.end());
    for (const std::string& more : {std::string("--sim-dir"), simDir, std::string("--appdata"), folder.Path("app"),
                                    std::string("--transcript"), folder.Path("out.jsonl")})
      args.push_back(more);
    faults::ProgramRun run = faults::RunProgram(args, {}, std::chrono::minutes(2));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("the plan's flight flown 4 time(s), one every 30 s"), std::string::npos) << run.output;
    EXPECT_NE(ReadText(folder.Path("out.flight.csv")).find("\n110.0,"), std::string::npos);
  }
  faults::ProgramRun bad = faults::RunProgram(
      {faults::BuildDir() + "/bin/orvante-sim", "fly", plan, "--repeat-for", "a day", "--sim-dir", simDir}, {},
      std::chrono::minutes(1));
  EXPECT_EQ(bad.exitCode, 2) << bad.output;
  EXPECT_NE(bad.output.find("--repeat-for takes a number of seconds, not 'a day'"), std::string::npos) << bad.output;
}

}  // namespace
