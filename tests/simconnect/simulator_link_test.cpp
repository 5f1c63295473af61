// The module's simulator link against the SimConnect server in the same
// process: the connection and its log lines, the hold after a simulation stop
// until the five-second delivery, the eye point, the menu, data of unknown
// definitions, the aircraft-loaded path and the text line.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "SimConnect.h"
#include "core/advisory_unit.h"
#include "core/module_log.h"
#include "core/module_state.h"
#include "core/simulator_dispatch.h"
#include "core/simulator_link.h"
#include "gauge_table.h"
#include "simconnect_server.h"

extern "C" {
PANELS* Panels = nullptr;  // the module's export, filled by the test as the simulator would
}

namespace orvante {
namespace {

std::vector<std::string> g_logLines;
void CollectLog(const char* line) { g_logLines.emplace_back(line); }

class SimulatorLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_logLines.clear();
    SetLogObserver(CollectLog);
    gauges.Activate();
    Panels = sim::GaugeTable::Panels();
    server.SetVariableReader([this](std::string_view name, std::string_view, std::vector<double>& values) {
      if (name == "EYEPOINT POSITION") values = {3.0, 4.0, 10.0};
      else values = {0.0};
      return true;
    });
    unit = std::make_unique<AdvisoryUnit>();
    g_module.unit = unit.get();
    g_module.suspended = 1;  // as the worker starts
  }
  void TearDown() override {
    CloseSimulatorConnection();
    g_module.unit = nullptr;
    g_module.suspended = 0;
    g_module.eyepointX_m = 0;
    g_module.eyepointZ_m = 0;
    SetLogObserver(nullptr);
    Panels = nullptr;
    gauges.Deactivate();
  }
  void Connect() {
    ASSERT_TRUE(server.Serve());
    ConnectToSimulator();
    ASSERT_NE(g_module.simConnectHandle, nullptr);
  }
  // Frames at 30 Hz up to `until` seconds, each followed by the dispatch.
  void RunUntil(double until) {
    for (; now <= until + 1e-9; now += 1.0 / 30) {
      server.RunFrame(now, 30.0f);
      server.Dispatch();
    }
  }
  sim::GaugeTable gauges;
  simconnect::Server server;
  std::unique_ptr<AdvisoryUnit> unit;
  double now = 0;
};

TEST_F(SimulatorLinkTest, WithoutASimulatorBothOpensFailAndAreLogged) {
  ConnectToSimulator();
  EXPECT_EQ(g_module.simConnectHandle, nullptr);
  EXPECT_EQ(g_logLines, (std::vector<std::string>{"Attempting to connect to the Flight Simulator...\n",
                                                  "***COULD NOT CONNECT to the Flight Simulator...\n",
                                                  "IGNORING SIMCONNECT.CFG settings, and FORCING LOCAL connection...\n",
                                                  "Attempting to connect to the Flight Simulator...\n",
                                                  "***COULD NOT CONNECT to the Flight Simulator...\n"}));
  EnsureMenuEntry();  // nothing to add it to
  ShowSimulatorText("nobody hears this");
  EXPECT_EQ(g_module.menuShown.load(), 0);
}

TEST_F(SimulatorLinkTest, ConnectsSubscribesInOrderAndAddsTheMenuEntryOnce) {
  Connect();
  EXPECT_EQ(g_logLines, (std::vector<std::string>{"Attempting to connect to the Flight Simulator...\n",
                                                  "CONNECTED! to Flight Simulator...\n"}));
  std::vector<simconnect::ClientView> clients = server.Clients();
  ASSERT_EQ(clients.size(), 1u);
  EXPECT_EQ(clients[0].name, "Orvante");
  EXPECT_TRUE(clients[0].dispatchInstalled);
  EXPECT_EQ(clients[0].subscribedEvents,
            (std::vector<std::string>{"Frame", "Crashed", "SimStop", "SimStart", "AircraftLoaded"}));
  EnsureMenuEntry();
  EnsureMenuEntry();
  EXPECT_EQ(server.MenuItems(), (std::vector<std::string>{"Orvante"}));

  std::vector<simconnect::TextLine> lines;
  server.SetTextListener([&](const simconnect::TextLine& line) { lines.push_back(line); });
  ShowSimulatorText("Orvante - altimeter");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, "Orvante - altimeter");
  EXPECT_EQ(lines[0].type, static_cast<DWORD>(SIMCONNECT_TEXT_TYPE_PRINT_WHITE));
  EXPECT_EQ(lines[0].seconds, 20.0f);
}

TEST_F(SimulatorLinkTest, AfterSimStopFramesWaitUntilTheDataFiveSecondsAfterSimStart) {
  Connect();
  sim::AircraftValues aircraft;
  aircraft.latitudeDeg = 37.6;
  aircraft.longitudeDeg = -122.4;
  gauges.SetAircraft(aircraft);
  server.FireSystemEvent("SimStart");
  RunUntil(5.0);
  EXPECT_EQ(g_module.suspended.load(), 0) << "released by the data at 5 s";
  EXPECT_NE(gauges.Variables().Find("ORVA_Alert"), sim::NamedVariables::kNoVariable) << "registered at that frame";
  EXPECT_NEAR(g_module.eyepointX_m.load(), 3.0 * 0.3048, 1e-12);
  EXPECT_NEAR(g_module.eyepointZ_m.load(), 10.0 * 0.3048, 1e-12);
  EXPECT_DOUBLE_EQ(unit->frame.latest.latitudeDeg, 37.6);

  server.FireSystemEvent("SimStop");
  RunUntil(6.0);
  EXPECT_EQ(g_module.suspended.load(), 1);
  EXPECT_EQ(unit->cycle.queryTimer.load(), 15.0f) << "the next cycle queries at once";
  EXPECT_EQ(unit->cycle.panelVarTimer.load(), 5.0f) << "the first frame writes the runway variables";

  aircraft.latitudeDeg = 40.0;  // frames are ignored while held
  gauges.SetAircraft(aircraft);
  server.FireSystemEvent("SimStart");
  double started = now;
  RunUntil(started + 4.9);
  EXPECT_EQ(g_module.suspended.load(), 1);
  EXPECT_DOUBLE_EQ(unit->frame.latest.latitudeDeg, 37.6);
  RunUntil(started + 5.0);
  EXPECT_EQ(g_module.suspended.load(), 0);
  EXPECT_DOUBLE_EQ(unit->frame.latest.latitudeDeg, 40.0);
  EXPECT_EQ(unit->cycle.panelVarTimer.load(), 0.0f) << "written at that first frame";

  server.FireSystemEvent("Crashed");
  RunUntil(now);
  EXPECT_EQ(g_module.suspended.load(), 1);
  RunUntil(now + 10);
  EXPECT_EQ(g_module.suspended.load(), 1) << "a crash holds until the next start";
}

TEST_F(SimulatorLinkTest, TheMenuSuspendsInDialogModeAndLeavesTheUnitSuspended) {
  Connect();
  server.FireSystemEvent("SimStart");
  RunUntil(5.0);
  ASSERT_EQ(g_module.suspended.load(), 0);
  EnsureMenuEntry();
  ASSERT_TRUE(server.SelectMenuItem("Orvante"));
  RunUntil(10.0);
  EXPECT_EQ(g_module.suspended.load(), 1);
  EXPECT_FALSE(server.DialogMode()) << "back to 0 when the dialog closes";
}

TEST_F(SimulatorLinkTest, UnknownDefinitionsAndShortMessagesChangeNothing) {
  g_module.simConnectHandle = nullptr;
  struct {
    SIMCONNECT_RECV_SIMOBJECT_DATA data;
    double xyz[3];
  } message{};
  message.data.header.dwID = SIMCONNECT_RECV_ID_SIMOBJECT_DATA;
  message.data.dwDefineID = 7;
  SimulatorDispatch(&message.data.header, sizeof message, nullptr);
  EXPECT_EQ(g_module.suspended.load(), 1);
  EXPECT_EQ(unit->cycle.panelVarsPending.load(), 0);

  // The eye point's data cut short: not read past the message.
  message.data.dwDefineID = 0;
  message.xyz[0] = 100.0;
  SimulatorDispatch(&message.data.header, offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwData) + 8, nullptr);
  EXPECT_EQ(g_module.eyepointX_m.load(), 0.0);
  SIMCONNECT_RECV header{sizeof(SIMCONNECT_RECV), 4, SIMCONNECT_RECV_ID_EVENT};
  SimulatorDispatch(&header, sizeof header, nullptr);  // an event without its body
  SimulatorDispatch(nullptr, 0, nullptr);
  EXPECT_EQ(g_module.suspended.load(), 1);
}

TEST_F(SimulatorLinkTest, TheAircraftModelIsTheFolderOfTheFlightModel) {
  struct Case {
    const char* path;
    const char* folder;
    const char* model;
  } cases[] = {
      {"SimObjects\\Airplanes\\ModelA\\model.air", "SimObjects\\Airplanes\\ModelA", "ModelA"},
      {"/sim/SimObjects/Airplanes/B738/B738.air", "/sim/SimObjects/Airplanes/B738", "B738"},
      {"ModelA\\model.air", "ModelA", "ModelA"},
      {"model.air", "", ""},
  };
  for (const Case& c : cases) {
    AircraftFolder split = SplitAircraftPath(c.path);
    EXPECT_EQ(split.folder, c.folder) << c.path;
    EXPECT_EQ(split.model, c.model) << c.path;
  }
  // Over-long paths keep at most 259 characters of the folder.
  EXPECT_EQ(SplitAircraftPath(std::string(400, 'a') + "\\model.air").folder.size(), 259u);

  HandleAircraftLoaded(*unit, "SimObjects\\Airplanes\\ModelA\\model.air");
  EXPECT_STREQ(unit->profile.currentAircraftModel, "ModelA");
  ASSERT_GE(g_logLines.size(), 3u);
  EXPECT_EQ(g_logLines[0], "Aircraft Loaded....\n");
  EXPECT_EQ(g_logLines[1], "SimObjects\\Airplanes\\ModelA\\model.air \n");
  EXPECT_EQ(g_logLines[2], "ModelA \n");

  g_logLines.clear();
  HandleAircraftLoaded(*unit, "model.air");
  EXPECT_EQ(g_logLines, (std::vector<std::string>{"Aircraft Loaded....\n", "model.air \n"}));
  EXPECT_STREQ(unit->profile.currentAircraftModel, "ModelA") << "a path without a folder changes nothing";
}

}  // namespace
}  // namespace orvante
