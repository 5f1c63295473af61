// The audio device lost and found while a flight is flown in real time with
// the callouts going to a device: SDL's "disk" driver, whose output the fault
// library makes fail (as an unplugged headset's would) while a switch file
// exists, and whose opening fails meanwhile (the device is not there). SDL
// reports the device gone; the audio library must let the callouts queued
// meanwhile go, keep the unit and the simulator running, open the device
// again once it is back and play the callouts after that.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "program_run.h"
#include "sim_folder.h"

namespace {

namespace fs = std::filesystem;

// The moments at which the callouts the pilot heard began, from the lines
// the stand-in prints in real time ("   3.10 s  "words"  [cues]").
std::vector<double> HeardAt(const std::string& output, const std::string& cue) {
  std::vector<double> heard;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("[" + cue + "]") == std::string::npos) continue;
    double t = 0;
    if (std::sscanf(line.c_str(), "orvante-sim: %lf s", &t) == 1) heard.push_back(t);
  }
  return heard;
}

int CountBetween(const std::vector<double>& times, double from, double to) {
  int count = 0;
  for (double t : times)
    if (t >= from && t < to) ++count;
  return count;
}

std::string AudioTest(int t) {
  std::string at = std::to_string(t);
  return at + ",menu\n" + at + ",dialog,press,Systems Test/Audio Test\n" + at + ",dialog,close\n" + at +
         ",dialog,answer,No\n";
}

TEST(AudioDeviceLostAndFound, TheUnitRunsOnDropsWhatCannotPlayAndIsHeardAgainOnceTheDeviceReturns) {
  TempFolder folder;
  const std::string simDir = faults::CopySimulatorFolder(folder);
  faults::WriteUserFolders(folder);
  const std::string device = folder.Path("device.raw");
  const std::string gone = folder.Path("app/device-gone");
  // The audio test of the settings dialog (its menu entry exists once the
  // unit has resumed, 5 s after the start) before, during and after the loss.
  const std::string events = "0,aircraft_loaded," + folder.Path("aircraft/B738") + "\n0,sim_start\n" + AudioTest(7) +
                             "9,copy," + folder.Path("app/ORVANTE/ORVANTE.INI") + "," + gone + "\n" + AudioTest(11) +
                             AudioTest(13) + "16,remove," + gone + "\n" + AudioTest(23) + AudioTest(26);
  const std::string plan =
      folder.Write("stand.plan", "airport KSFO\nstart 28R along 1200 right 650 heading 208\nhold 30\n");
  std::vector<std::string> environment =
      faults::FaultEnvironment("fwrite:EIO:" + device + ";fopen:ENODEV:" + device, gone, folder.Path("faults.log"));
  environment.push_back("SDL_AUDIODRIVER=disk");
  environment.push_back("SDL_DISKAUDIOFILE=" + device);

  faults::ProgramRun run = faults::RunProgram(
      {faults::SimulatorProgram(), "fly", plan, "--sim-dir", simDir, "--appdata", folder.Path("app"), "--aircraft",
       folder.Path("aircraft/B738"), "--events", folder.Write("events.csv", events), "--transcript",
       folder.Path("out.jsonl"), "--realtime", "--vitals", folder.Path("vitals.csv"), "--vitals-every", "1"},
      environment, std::chrono::minutes(3));
  ASSERT_FALSE(run.timedOut) << "the simulator hung\n" << run.output;
  ASSERT_EQ(run.exitCode, 0) << run.output;
  ASSERT_NE(run.output.find("through SDL's \"disk\" driver"), std::string::npos) << run.output;
  ASSERT_FALSE(faults::FileLines(folder.Path("faults.log")).empty()) << "the device never failed\n" << run.output;

  // SDL saw the device go; the library let it go and opened it again.
  EXPECT_NE(run.output.find("is gone: its sounds stop"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("is back"), std::string::npos) << run.output;
  std::vector<double> heard = HeardAt(run.output, "audiotestpassed");
  EXPECT_EQ(CountBetween(heard, 7, 9), 1) << run.output;
  EXPECT_EQ(CountBetween(heard, 9, 16), 0) << "nothing plays on a device that is gone\n" << run.output;
  EXPECT_EQ(CountBetween(heard, 23, 40), 2) << "heard again once the device was back\n" << run.output;

  // The unit queued every test; the figures show the loss, the return, and a
  // queue that never held more than the tests waiting and is empty at the end.
  auto lines = faults::ReadTranscriptLines(folder.Path("out.jsonl"));
  EXPECT_EQ(faults::CountCues(lines, 0), 5);
  std::vector<std::string> vitals = faults::FileLines(folder.Path("vitals.csv"));
  ASSERT_GT(vitals.size(), 25u);
  unsigned lost = 0, restored = 0, queue = 0, maxQueue = 0, streams = 0;
  for (size_t i = 1; i < vitals.size(); ++i) {
    double t;
    unsigned kb, files, threads, sounds, lists, engines;
    ASSERT_EQ(std::sscanf(vitals[i].c_str(), "%lf,%u,%u,%u,%u,%u,%u,%u,%u,%u,%u", &t, &kb, &files, &threads, &streams,
                          &sounds, &lists, &queue, &engines, &lost, &restored),
              11)
        << vitals[i];
    maxQueue = std::max(maxQueue, queue);
  }
  EXPECT_GE(lost, 1u);
  EXPECT_GE(restored, 1u);
  EXPECT_EQ(streams, 1u) << "the unit's stream outlived the loss";
  EXPECT_LE(maxQueue, 2u);
  EXPECT_EQ(queue, 0u);

  // What the device got after it was opened again is sound, not silence.
  std::ifstream raw(device, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(raw)), {});
  EXPECT_NE(bytes.find_first_not_of('\0'), std::string::npos) << bytes.size() << " bytes of silence";
}

}  // namespace
