// The simulator's side of SimConnect: what a simulator in this process (the
// stand-in simulator, or a test acting as one) offers to the clients that
// SimConnect_Open connects. One server serves the process at a time.
//
// The simulator tells the server what happens (system events, an aircraft
// loaded, the user choosing a menu entry, the passing of simulated time and
// frames) and calls Dispatch on its own thread: queued messages go to each
// client's dispatch procedure there and nowhere else. Clients may call in from
// any thread; every call is served under one lock.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "SimConnect.h"

namespace simconnect {

// Reads a simulation variable of the user aircraft in the given units: one
// value, or three for a position type (x, y, z). False for a name not known.
using VariableReader = std::function<bool(std::string_view name, std::string_view units, std::vector<double>& values)>;

// A text line a client asked the simulator to show.
struct TextLine {
  std::string client;  // the client's name
  DWORD type = 0;      // SIMCONNECT_TEXT_TYPE
  float seconds = 0;   // display time
  std::string text;
};
using TextListener = std::function<void(const TextLine& line)>;

// What the server knows of one connected client, for the simulator and tests.
struct ClientView {
  std::string name;
  DWORD configIndex = 0;
  bool dispatchInstalled = false;
  std::vector<std::string> subscribedEvents;  // system event names in subscription order
  std::vector<std::string> menuItems;
  size_t activeRequests = 0;  // data requests still to deliver
};

#if defined(_WIN32)
#ifdef SIMCONNECT_BUILDING_DLL
#define SIMCONNECT_SERVER_API __declspec(dllexport)
#else
#define SIMCONNECT_SERVER_API __declspec(dllimport)
#endif
#else
#define SIMCONNECT_SERVER_API __attribute__((visibility("default")))
#endif

class SIMCONNECT_SERVER_API Server {
 public:
  Server();
  ~Server();  // stops serving; its clients' handles fail from then on
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Makes this the simulator that SimConnect_Open reaches. False when another
  // server serves already.
  bool Serve();
  void StopServing();
  bool Serving() const;

  void SetVariableReader(VariableReader reader);
  void SetTextListener(TextListener listener);

  // --- What happens in the simulator (simulator's thread). ---

  // System events by name ("Crashed", "SimStop", "SimStart", "Pause", ...);
  // each subscribed client gets SIMCONNECT_RECV_EVENT with its own id.
  void FireSystemEvent(std::string_view name, DWORD data = 0);
  // An aircraft loaded: "AircraftLoaded" subscribers get
  // SIMCONNECT_RECV_EVENT_FILENAME with the path of its flight-model file,
  // and the system state "AircraftLoaded" answers that path from now on.
  void LoadAircraft(const std::string& flightModelPath);
  // The user chose an add-on menu entry: its client gets its menu event.
  // False when no client added an entry of that text. As in the simulator,
  // the user is in the menu until the client has handled the choice: once
  // frames run, subscribers get "SimStop" before the menu event and
  // "SimStart" after it, unless a client's "DialogMode" still holds the
  // simulation (then "SimStart" follows when DialogMode goes back to 0).
  bool SelectMenuItem(std::string_view text);

  // One simulator frame at simulated time now (seconds, never decreasing):
  // data requests that are due are answered, then "Frame" subscribers get
  // SIMCONNECT_RECV_EVENT_FRAME. Messages are queued; Dispatch delivers them.
  void RunFrame(double now, float frameRate, float simSpeed = 1.0f);

  // Delivers every queued message, in order, to its client's dispatch
  // procedure on the calling thread, including messages queued by the
  // procedures themselves. Messages of a client without a procedure wait.
  // Returns how many were delivered.
  size_t Dispatch();

  // --- State, for the simulator and tests. ---
  std::vector<ClientView> Clients() const;
  std::vector<std::string> MenuItems() const;
  // A client set "DialogMode" to nonzero. While it is, the system state
  // "Sim" is 0; setting and clearing it sends "SimStop" and "SimStart".
  bool DialogMode() const;
  std::string LoadedAircraft() const;

  struct State;  // shared with the client operations (simconnect/src)

 private:
  std::unique_ptr<State> state_;
};

}  // namespace simconnect
