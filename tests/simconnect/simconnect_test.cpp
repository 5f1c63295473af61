// The SimConnect client against a server in the same process: opening and
// closing, the configuration index, data requests with their periods, system
// events, the menu, system state, text lines, and dispatch on the
// simulator's thread only.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include "SimConnect.h"
#include "platform/process.h"
#include "simconnect_server.h"
#include "temp_folder.h"

namespace {

// What a client's dispatch procedure received, message by message.
struct Received {
  DWORD id = 0;
  DWORD eventId = 0;
  DWORD groupId = 0;
  DWORD data = 0;
  DWORD requestId = 0;
  DWORD defineId = 0;
  DWORD size = 0;
  std::vector<double> values;  // object data as float64s
  std::string text;            // file name or system-state string
  double time = 0;             // simulated time of the frame it came with
  std::thread::id thread;
};

struct Recorder {
  std::vector<Received> messages;
  double now = 0;
  std::vector<Received> Of(DWORD id) const {
    std::vector<Received> found;
    for (const Received& r : messages)
      if (r.id == id) found.push_back(r);
    return found;
  }
};

void CALLBACK Record(SIMCONNECT_RECV* message, DWORD size, void* context) {
  auto* recorder = static_cast<Recorder*>(context);
  Received r;
  r.id = message->dwID;
  r.size = size;
  r.time = recorder->now;
  r.thread = std::this_thread::get_id();
  switch (message->dwID) {
    case SIMCONNECT_RECV_ID_EVENT:
    case SIMCONNECT_RECV_ID_EVENT_FRAME: {
      auto* event = reinterpret_cast<SIMCONNECT_RECV_EVENT*>(message);
      r.eventId = event->uEventID;
      r.groupId = event->uGroupID;
      r.data = event->dwData;
      break;
    }
    case SIMCONNECT_RECV_ID_EVENT_FILENAME: {
      auto* event = reinterpret_cast<SIMCONNECT_RECV_EVENT_FILENAME*>(message);
      r.eventId = event->event.uEventID;
      r.text = event->szFileName;
      break;
    }
    case SIMCONNECT_RECV_ID_SIMOBJECT_DATA: {
      auto* data = reinterpret_cast<SIMCONNECT_RECV_SIMOBJECT_DATA*>(message);
      r.requestId = data->dwRequestID;
      r.defineId = data->dwDefineID;
      size_t offset = offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwData);
      for (size_t at = offset; at + sizeof(double) <= size; at += sizeof(double)) {
        double value;
        std::memcpy(&value, reinterpret_cast<char*>(message) + at, sizeof value);
        r.values.push_back(value);
      }
      break;
    }
    case SIMCONNECT_RECV_ID_SYSTEM_STATE: {
      auto* state = reinterpret_cast<SIMCONNECT_RECV_SYSTEM_STATE*>(message);
      r.requestId = state->dwRequestID;
      r.data = state->dwInteger;
      r.text = state->szString;
      break;
    }
    case SIMCONNECT_RECV_ID_EXCEPTION:
      r.data = reinterpret_cast<SIMCONNECT_RECV_EXCEPTION*>(message)->dwException;
      break;
    default: break;
  }
  recorder->messages.push_back(r);
}

class SimConnectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server.SetVariableReader([](std::string_view name, std::string_view units, std::vector<double>& values) {
      if (name == "EYEPOINT POSITION") {
        values = {1.5, 2.5, 10.0};
        return true;
      }
      if (name == "PLANE ALT ABOVE GROUND" && units == "Feet") {
        values = {123.0};
        return true;
      }
      return false;
    });
    ASSERT_TRUE(server.Serve());
    ASSERT_EQ(SimConnect_Open(&handle, "Orvante", nullptr, 0, nullptr, 0), S_OK);
    ASSERT_EQ(SimConnect_CallDispatch(handle, Record, &recorder), S_OK);
  }
  void TearDown() override {
    SimConnect_Close(handle);
    server.StopServing();
  }
  // Frames at 30 Hz from..to seconds, dispatching after each.
  void Frames(double from, double to) {
    for (int n = static_cast<int>(from * 30 + 0.5); n <= static_cast<int>(to * 30 + 0.5); ++n) {
      recorder.now = n / 30.0;
      server.RunFrame(recorder.now, 30.0f);
      server.Dispatch();
    }
  }
  simconnect::Server server;
  HANDLE handle = nullptr;
  Recorder recorder;
};

TEST(SimConnectOpen, FailsCleanlyWithoutASimulatorAndAfterTheSimulatorStops) {
  HANDLE handle = reinterpret_cast<HANDLE>(1);
  EXPECT_EQ(SimConnect_Open(&handle, "Orvante", nullptr, 0, nullptr, 0), E_FAIL);
  EXPECT_EQ(handle, nullptr);
  EXPECT_EQ(SimConnect_Open(&handle, "Orvante", nullptr, 0, nullptr, SIMCONNECT_OPEN_CONFIGINDEX_LOCAL), E_FAIL);
  EXPECT_EQ(SimConnect_Open(nullptr, "Orvante", nullptr, 0, nullptr, 0), E_INVALIDARG);

  {
    simconnect::Server server;
    ASSERT_TRUE(server.Serve());
    simconnect::Server second;
    EXPECT_FALSE(second.Serve()) << "one simulator serves a process";
    ASSERT_EQ(SimConnect_Open(&handle, "Orvante", nullptr, 0, nullptr, 0), S_OK);
    ASSERT_EQ(server.Clients().size(), 1u);
    EXPECT_EQ(server.Clients()[0].name, "Orvante");
  }
  // The simulator is gone: the old handle and every call on it fail.
  EXPECT_EQ(SimConnect_SubscribeToSystemEvent(handle, 0, "Frame"), E_FAIL);
  EXPECT_EQ(SimConnect_Close(handle), E_FAIL);
}

TEST(SimConnectOpen, AConfigurationNamingAnotherMachineFailsUntilTheLocalIndexIsUsed) {
  sim::TempFolder folder;
  platform::SetExecutablePath((folder.path() / "Prepar3D.exe").string());
  std::ofstream(folder.path() / "SimConnect.cfg") << "[SimConnect]\nProtocol=IPv4\nAddress=192.0.2.7\nPort=500\n"
                                                  << "[SimConnect.1]\nProtocol=Pipe\nAddress=localhost\n";
  simconnect::Server server;
  ASSERT_TRUE(server.Serve());
  HANDLE handle = nullptr;
  EXPECT_EQ(SimConnect_Open(&handle, "Orvante", nullptr, 0, nullptr, 0), E_FAIL);
  EXPECT_EQ(SimConnect_Open(&handle, "Orvante", nullptr, 0, nullptr, 1), S_OK) << "index 1 names this machine";
  SimConnect_Close(handle);
  EXPECT_EQ(SimConnect_Open(&handle, "Orvante", nullptr, 0, nullptr, SIMCONNECT_OPEN_CONFIGINDEX_LOCAL), S_OK);
  EXPECT_EQ(server.Clients().at(0).configIndex, SIMCONNECT_OPEN_CONFIGINDEX_LOCAL);
  SimConnect_Close(handle);
  platform::SetExecutablePath("");
}

TEST_F(SimConnectTest, TheFiveSecondRequestDeliversOnceFiveSecondsLaterAndNeverStopsIt) {
  ASSERT_EQ(SimConnect_AddToDataDefinition(handle, 1, "PLANE ALT ABOVE GROUND", "Feet", SIMCONNECT_DATATYPE_FLOAT64,
                                           0.0f, SIMCONNECT_UNUSED),
            S_OK);
  Frames(0, 10.0 / 30);
  // Requested at 1/3 s: period SECOND, origin 5, interval 5, limit 1.
  SimConnect_RequestDataOnSimObject(handle, 1, 1, SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_SECOND, 0, 5, 5, 1);
  Frames(11.0 / 30, 30);
  std::vector<Received> data = recorder.Of(SIMCONNECT_RECV_ID_SIMOBJECT_DATA);
  ASSERT_EQ(data.size(), 1u);
  EXPECT_NEAR(data[0].time, 5.0 + 10.0 / 30, 1e-9);
  EXPECT_EQ(data[0].requestId, 1u);
  EXPECT_EQ(data[0].defineId, 1u);
  ASSERT_EQ(data[0].values.size(), 1u);
  EXPECT_EQ(data[0].values[0], 123.0);

  // Stopped with NEVER before it is due: nothing arrives.
  recorder.messages.clear();
  SimConnect_RequestDataOnSimObject(handle, 1, 1, SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_SECOND, 0, 5, 5, 1);
  Frames(30 + 1.0 / 30, 32);
  SimConnect_RequestDataOnSimObject(handle, 1, 1, SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_NEVER, 0, 0, 0, 1);
  Frames(32 + 1.0 / 30, 40);
  EXPECT_TRUE(recorder.Of(SIMCONNECT_RECV_ID_SIMOBJECT_DATA).empty());
  EXPECT_EQ(server.Clients()[0].activeRequests, 0u);
}

TEST_F(SimConnectTest, OnceAndRepeatingPeriodsAndTheXyzLayout) {
  SimConnect_AddToDataDefinition(handle, 0, "EYEPOINT POSITION", nullptr, SIMCONNECT_DATATYPE_XYZ, 0.0f,
                                 SIMCONNECT_UNUSED);
  SimConnect_AddToDataDefinition(handle, 1, "PLANE ALT ABOVE GROUND", "Feet", SIMCONNECT_DATATYPE_FLOAT64, 0.0f,
                                 SIMCONNECT_UNUSED);
  SimConnect_RequestDataOnSimObject(handle, 2, 0, SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_ONCE, 0, 0, 0, 0);
  SimConnect_RequestDataOnSimObject(handle, 3, 1, SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_SECOND, 0, 0, 1, 3);
  SimConnect_RequestDataOnSimObject(handle, 4, 1, SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_SIM_FRAME, 0, 0, 0, 4);
  Frames(0, 10);
  std::vector<double> secondTimes;
  int once = 0, frames = 0;
  for (const Received& r : recorder.Of(SIMCONNECT_RECV_ID_SIMOBJECT_DATA)) {
    if (r.requestId == 2) {
      ++once;
      EXPECT_EQ(r.values, (std::vector<double>{1.5, 2.5, 10.0}));
      EXPECT_EQ(r.size, offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwData) + 24);
    }
    if (r.requestId == 3) secondTimes.push_back(r.time);
    if (r.requestId == 4) ++frames;
  }
  EXPECT_EQ(once, 1);
  EXPECT_EQ(secondTimes, (std::vector<double>{0.0, 2.0, 4.0})) << "origin 0, one second between, limit 3";
  EXPECT_EQ(frames, 4);
}

TEST_F(SimConnectTest, BadRequestsComeBackAsExceptionsNotData) {
  SimConnect_AddToDataDefinition(handle, 7, "NO SUCH VARIABLE", "Feet", SIMCONNECT_DATATYPE_FLOAT64, 0.0f,
                                 SIMCONNECT_UNUSED);
  SimConnect_AddToDataDefinition(handle, 8, "TITLE", nullptr, SIMCONNECT_DATATYPE_STRING256, 0.0f, SIMCONNECT_UNUSED);
  SimConnect_RequestDataOnSimObject(handle, 1, 7, SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_ONCE, 0, 0, 0, 0);
  SimConnect_RequestDataOnSimObject(handle, 2, 99, SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_ONCE, 0, 0, 0, 0);
  SimConnect_RequestDataOnSimObject(handle, 3, 7, 42, SIMCONNECT_PERIOD_ONCE, 0, 0, 0, 0);
  SimConnect_RequestSystemState(handle, 4, "NoSuchState");
  EXPECT_EQ(SimConnect_AddToDataDefinition(handle, 9, nullptr, nullptr, SIMCONNECT_DATATYPE_FLOAT64, 0, 0),
            E_INVALIDARG);
  Frames(0, 1);
  std::vector<DWORD> exceptions;
  for (const Received& r : recorder.Of(SIMCONNECT_RECV_ID_EXCEPTION)) exceptions.push_back(r.data);
  EXPECT_EQ(exceptions,
            (std::vector<DWORD>{SIMCONNECT_EXCEPTION_INVALID_DATA_TYPE, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID,
                                SIMCONNECT_EXCEPTION_INVALID_OBJECT_ID, SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED,
                                SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED}));
  EXPECT_TRUE(recorder.Of(SIMCONNECT_RECV_ID_SIMOBJECT_DATA).empty());
}

TEST_F(SimConnectTest, SystemEventsAircraftLoadedMenuAndStatesReachTheirClientEvents) {
  SimConnect_SubscribeToSystemEvent(handle, 0, "Frame");
  SimConnect_SubscribeToSystemEvent(handle, 2, "SimStop");
  SimConnect_SubscribeToSystemEvent(handle, 3, "simstart");  // names compare without regard to case
  SimConnect_SubscribeToSystemEvent(handle, 6, "AircraftLoaded");
  SimConnect_MapClientEventToSimEvent(handle, 4, "");
  SimConnect_MenuAddItem(handle, "Orvante", 4, 77);
  SimConnect_AddClientEventToNotificationGroup(handle, 0, 4, 0);
  SimConnect_SetNotificationGroupPriority(handle, 0, SIMCONNECT_GROUP_PRIORITY_HIGHEST);
  EXPECT_EQ(server.MenuItems(), (std::vector<std::string>{"Orvante"}));

  server.FireSystemEvent("SimStart");
  server.LoadAircraft("SimObjects\\Airplanes\\ModelA\\model.air");
  SimConnect_RequestSystemState(handle, 0, "AircraftLoaded");
  EXPECT_TRUE(server.SelectMenuItem("Orvante"));
  EXPECT_FALSE(server.SelectMenuItem("Other"));
  server.FireSystemEvent("Crashed");  // not subscribed
  Frames(0, 0);

  std::vector<Received> events = recorder.Of(SIMCONNECT_RECV_ID_EVENT);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].eventId, 3u);
  EXPECT_EQ(events[0].groupId, SIMCONNECT_UNUSED);
  EXPECT_EQ(events[1].eventId, 4u);
  EXPECT_EQ(events[1].groupId, 0u);
  EXPECT_EQ(events[1].data, 77u);
  ASSERT_EQ(recorder.Of(SIMCONNECT_RECV_ID_EVENT_FILENAME).size(), 1u);
  EXPECT_EQ(recorder.Of(SIMCONNECT_RECV_ID_EVENT_FILENAME)[0].eventId, 6u);
  EXPECT_EQ(recorder.Of(SIMCONNECT_RECV_ID_EVENT_FILENAME)[0].text, "SimObjects\\Airplanes\\ModelA\\model.air");
  ASSERT_EQ(recorder.Of(SIMCONNECT_RECV_ID_SYSTEM_STATE).size(), 1u);
  EXPECT_EQ(recorder.Of(SIMCONNECT_RECV_ID_SYSTEM_STATE)[0].text, "SimObjects\\Airplanes\\ModelA\\model.air");
  ASSERT_EQ(recorder.Of(SIMCONNECT_RECV_ID_EVENT_FRAME).size(), 1u);
  EXPECT_EQ(recorder.Of(SIMCONNECT_RECV_ID_EVENT_FRAME)[0].eventId, 0u);

  SimConnect_SetSystemState(handle, "DialogMode", 1, 0.0f, nullptr);
  EXPECT_TRUE(server.DialogMode());
  SimConnect_SetSystemState(handle, "DialogMode", 0, 0.0f, nullptr);
  EXPECT_FALSE(server.DialogMode());
}

// A client that opens a dialog (DialogMode 1) when its menu entry is chosen
// and leaves it open until the test closes it.
struct DialogClient {
  Recorder recorder;
  HANDLE handle = nullptr;
  DWORD menuEvent = 0;
};
void CALLBACK OpenDialogOnMenu(SIMCONNECT_RECV* message, DWORD size, void* context) {
  auto* client = static_cast<DialogClient*>(context);
  Record(message, size, &client->recorder);
  if (message->dwID == SIMCONNECT_RECV_ID_EVENT &&
      reinterpret_cast<SIMCONNECT_RECV_EVENT*>(message)->uEventID == client->menuEvent)
    SimConnect_SetSystemState(client->handle, "DialogMode", 1, 0.0f, nullptr);
}

// The simulation stops while the user is in the menu or a dialog and starts
// again when the user is back: "SimStop" and "SimStart" say so, and the
// system state "Sim" is 0 in between.
TEST_F(SimConnectTest, MenusAndDialogsStopTheSimulationAndStartItAgain) {
  SimConnect_SubscribeToSystemEvent(handle, 2, "SimStop");
  SimConnect_SubscribeToSystemEvent(handle, 3, "SimStart");
  SimConnect_MapClientEventToSimEvent(handle, 4, "");
  SimConnect_MenuAddItem(handle, "Orvante", 4, 0);
  auto events = [&] {
    std::vector<DWORD> ids;
    for (const Received& r : recorder.messages)
      if (r.id == SIMCONNECT_RECV_ID_EVENT) ids.push_back(r.eventId);
      else if (r.id == SIMCONNECT_RECV_ID_SYSTEM_STATE) ids.push_back(100 + r.data);  // "Sim" answers: 100, 101
    recorder.messages.clear();
    return ids;
  };

  // Before the first frame the simulation has not started: the menu alone.
  ASSERT_TRUE(server.SelectMenuItem("Orvante"));
  server.Dispatch();
  EXPECT_EQ(events(), (std::vector<DWORD>{4}));

  Frames(0, 0);
  SimConnect_RequestSystemState(handle, 0, "Sim");
  ASSERT_TRUE(server.SelectMenuItem("Orvante"));
  SimConnect_RequestSystemState(handle, 0, "Sim");
  server.Dispatch();
  SimConnect_RequestSystemState(handle, 0, "Sim");
  server.Dispatch();
  EXPECT_EQ(events(), (std::vector<DWORD>{101, 2, 4, 100, 3, 101}));

  // A dialog opened outside the menu.
  SimConnect_SetSystemState(handle, "DialogMode", 1, 0.0f, nullptr);
  SimConnect_SetSystemState(handle, "DialogMode", 1, 0.0f, nullptr);  // no change: nothing new
  SimConnect_RequestSystemState(handle, 0, "Sim");
  SimConnect_SetSystemState(handle, "DialogMode", 0, 0.0f, nullptr);
  server.Dispatch();
  EXPECT_EQ(events(), (std::vector<DWORD>{2, 100, 3}));
}

TEST(SimConnectDialogs, ADialogOpenedFromTheMenuHoldsTheSimulationUntilItCloses) {
  simconnect::Server server;
  ASSERT_TRUE(server.Serve());
  DialogClient client;
  client.menuEvent = 4;
  ASSERT_EQ(SimConnect_Open(&client.handle, "Orvante", nullptr, 0, nullptr, 0), S_OK);
  ASSERT_EQ(SimConnect_CallDispatch(client.handle, OpenDialogOnMenu, &client), S_OK);
  SimConnect_SubscribeToSystemEvent(client.handle, 2, "SimStop");
  SimConnect_SubscribeToSystemEvent(client.handle, 3, "SimStart");
  SimConnect_MapClientEventToSimEvent(client.handle, 4, "");
  SimConnect_MenuAddItem(client.handle, "Orvante", 4, 0);
  server.RunFrame(0, 30.0f);
  server.Dispatch();
  client.recorder.messages.clear();

  ASSERT_TRUE(server.SelectMenuItem("Orvante"));
  server.Dispatch();
  std::vector<DWORD> ids;
  for (const Received& r : client.recorder.Of(SIMCONNECT_RECV_ID_EVENT)) ids.push_back(r.eventId);
  EXPECT_EQ(ids, (std::vector<DWORD>{2, 4})) << "the dialog keeps the simulation stopped";
  EXPECT_TRUE(server.DialogMode());

  client.recorder.messages.clear();
  SimConnect_SetSystemState(client.handle, "DialogMode", 0, 0.0f, nullptr);
  server.Dispatch();
  ASSERT_EQ(client.recorder.Of(SIMCONNECT_RECV_ID_EVENT).size(), 1u);
  EXPECT_EQ(client.recorder.Of(SIMCONNECT_RECV_ID_EVENT)[0].eventId, 3u);
  SimConnect_Close(client.handle);
}

TEST_F(SimConnectTest, MessagesArriveOnlyOnTheDispatchingThreadAndNotAfterClose) {
  SimConnect_SubscribeToSystemEvent(handle, 2, "SimStop");
  // A worker thread asks for a system state; the answer waits for the
  // simulator's thread.
  std::thread worker([&] { SimConnect_RequestSystemState(handle, 9, "DialogMode"); });
  worker.join();
  EXPECT_TRUE(recorder.Of(SIMCONNECT_RECV_ID_SYSTEM_STATE).empty());
  server.Dispatch();
  ASSERT_EQ(recorder.Of(SIMCONNECT_RECV_ID_SYSTEM_STATE).size(), 1u);
  for (const Received& r : recorder.messages) EXPECT_EQ(r.thread, std::this_thread::get_id());

  server.FireSystemEvent("SimStop");
  SimConnect_Close(handle);
  size_t before = recorder.messages.size();
  server.Dispatch();
  EXPECT_EQ(recorder.messages.size(), before) << "a closed client's queued messages are dropped";
  EXPECT_EQ(SimConnect_Open(&handle, "Orvante", nullptr, 0, nullptr, 0), S_OK);
}

TEST_F(SimConnectTest, TextLinesEndAtTheTerminatorOrTheGivenSize) {
  std::vector<simconnect::TextLine> lines;
  server.SetTextListener([&](const simconnect::TextLine& line) { lines.push_back(line); });
  char text[] = "Orvante - altimeter";
  EXPECT_EQ(SimConnect_Text(handle, SIMCONNECT_TEXT_TYPE_PRINT_WHITE, 20.0f, 5, sizeof text, text), S_OK);
  char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(SimConnect_Text(handle, SIMCONNECT_TEXT_TYPE_PRINT_WHITE, 20.0f, 5, 2, unterminated), S_OK);
  EXPECT_EQ(SimConnect_Text(handle, SIMCONNECT_TEXT_TYPE_PRINT_WHITE, 20.0f, 5, 0, text), E_INVALIDARG);
  EXPECT_EQ(SimConnect_Text(handle, SIMCONNECT_TEXT_TYPE_PRINT_WHITE, 20.0f, 5, 10, nullptr), E_INVALIDARG);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "Orvante - altimeter");
  EXPECT_EQ(lines[0].client, "Orvante");
  EXPECT_EQ(lines[0].type, static_cast<DWORD>(SIMCONNECT_TEXT_TYPE_PRINT_WHITE));
  EXPECT_EQ(lines[0].seconds, 20.0f);
  EXPECT_EQ(lines[1].text, "ab");
}

}  // namespace
