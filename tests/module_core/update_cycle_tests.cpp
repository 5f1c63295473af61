// The update cycle: nothing without a runway table and a sound set, runway
// queries every 15 s of cycle time (never at position 0, 0), timers that
// advance whether or not the unit is switched on.
#include "core/update_cycle.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <objbase.h>
#endif

#include "core/advisory_unit.h"
#include "core/module_log.h"
#include "core/module_state.h"
#include "gauges.h"
#include "voice/voice_state.h"

using namespace orvante;

// The module's export, which the simulator fills; the cycle itself never uses it.
extern "C" {
PANELS* Panels = nullptr;
}

namespace {

struct UpdateCycleTest : ::testing::Test {
  AdvisoryUnit unit;
  void SetUp() override {
    std::string sim = std::string(std::getenv("ORVANTE_BUILD_DIR")) + "/sim";
    StartRunwayDatabase(unit.runways, sim.c_str());
    ASSERT_EQ(unit.runways.connected.load(), 1u) << "the build's runway table in " << sim;
    g_voice.soundSetReady = 1;
    unit.profile.settings.MasterSwitch = 0;
    unit.cycle.queryTimer = 0;
    unit.cycle.panelVarTimer = 0;
  }
  void TearDown() override { g_voice.soundSetReady = 0; }
  void Run(int cycles) {
    for (int i = 0; i < cycles; ++i) RunCycle(unit);
  }
  void At(double lat, double lon) {
    unit.frame.latest.latitudeDeg = lat;
    unit.frame.latest.longitudeDeg = lon;
  }
};

}  // namespace

TEST_F(UpdateCycleTest, SwitchedOffTheUnitStillQueriesEvery15SecondsAndTheTimersRun) {
  At(37.6189, -122.375);  // KSFO
  Run(60);
  EXPECT_TRUE(unit.runways.runwayList.empty());
  EXPECT_FLOAT_EQ(unit.cycle.queryTimer.load(), 15.0f);
  Run(1);  // the timer has reached 15: this cycle queries
  EXPECT_GE(unit.runways.runwayList.size(), 8u);
  EXPECT_FLOAT_EQ(unit.cycle.queryTimer.load(), 0.25f);
  EXPECT_FLOAT_EQ(unit.cycle.panelVarTimer.load(), 15.25f);
  EXPECT_EQ(unit.state.previousAlertWord.load(), 0u);  // no assessment while switched off
}

TEST_F(UpdateCycleTest, PositionZeroZeroNeverQueriesButTheTimerRestarts) {
  At(0, 0);
  Run(61);
  EXPECT_TRUE(unit.runways.runwayList.empty());
  EXPECT_FLOAT_EQ(unit.cycle.queryTimer.load(), 0.25f);
}

TEST_F(UpdateCycleTest, WithoutASoundSetNothingHappensAndTheTimersStandStill) {
  g_voice.soundSetReady = 0;
  At(37.6189, -122.375);
  unit.cycle.queryTimer = 15;
  Run(10);
  EXPECT_TRUE(unit.runways.runwayList.empty());
  EXPECT_FLOAT_EQ(unit.cycle.queryTimer.load(), 15.0f);
  EXPECT_FLOAT_EQ(unit.cycle.panelVarTimer.load(), 0.0f);
}

TEST_F(UpdateCycleTest, SwitchedOnTheAssessmentRaisesOnRunwayAtKsfo28L) {
  // Lined up on 28L, 1000 ft in from its eastern end, heading 298 true.
  At(37.613008, -122.361420);
  unit.frame.latest.altitudeFt = 13;
  unit.frame.latest.headingTrueDeg = 297.9;
  unit.frame.latest.onGround = 1;
  unit.profile.settings.MasterSwitch = 1;
  unit.cycle.queryTimer = 15;  // as after a simulation start
  Run(2);
  EXPECT_NE(unit.state.previousAlertWord.load() & 0x4u, 0u);
  EXPECT_STREQ(unit.state.previousDesignator, "28L");
}

// The worker's thread enters a COM apartment of its own and leaves it before
// it reports that it has ended. A thread that lives in the other kind of
// apartment already cannot enter: the worker says so and carries on.
TEST(WorkerThreadTest, ComIsEnteredOrItsFailureLoggedAndTheWorkerStillEnds) {
  static std::vector<std::string> lines;
  lines.clear();
  SetLogObserver([](const char* line) { lines.push_back(line); });
  g_module.unit = nullptr;  // no unit: the worker leaves its loop at once
  g_module.workerThreadId = 7;
  g_module.stopRequested = 1;
  std::thread([] {
#ifdef _WIN32
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
#endif
    WorkerThread(nullptr);
#ifdef _WIN32
    // The worker left the multithreaded apartment alone: it is still there.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    CoUninitialize();
    CoUninitialize();
#endif
  }).join();
  SetLogObserver(nullptr);
  std::vector<std::string> expected{"LOG EVENT -> Initialize COM....\n"};
#ifdef _WIN32
  expected.push_back("LOG EVENT -> Couldn't initialize COM...\n");
  expected.push_back("LOG EVENT -> Operation FAILED! - Error code: 0x80010106....\n");  // RPC_E_CHANGED_MODE
#endif
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(g_module.workerThreadId.load(), 0u);
  EXPECT_EQ(g_module.stopRequested.load(), 0);
}
