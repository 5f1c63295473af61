// What the serving simulator keeps of each client connection: its data
// definitions and requests, subscriptions, client events, menu entries and
// notification groups, and the queue of messages waiting for dispatch. One
// lock guards all of it and the registry of the serving simulator.
#pragma once
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "simconnect_server.h"

namespace simconnect {

struct Datum {
  std::string name;
  std::string units;
  SIMCONNECT_DATATYPE type = SIMCONNECT_DATATYPE_INVALID;
};

struct DataRequest {
  DWORD requestId = 0;
  DWORD defineId = 0;
  DWORD objectId = 0;
  SIMCONNECT_PERIOD period = SIMCONNECT_PERIOD_NEVER;
  DWORD interval = 0;
  DWORD limit = 0;  // deliveries before the request ends; 0 for no end
  DWORD sent = 0;
  double nextDue = 0;    // SECOND: simulated time of the next delivery
  DWORD framesToGo = 0;  // frame periods: frames until the next delivery
};

struct MenuItem {
  std::string text;
  DWORD eventId = 0;
  DWORD data = 0;
};

struct Client {
  DWORD id = 0;
  std::string name;
  DWORD configIndex = 0;
  DispatchProc proc = nullptr;
  void* context = nullptr;
  std::map<DWORD, std::vector<Datum>> definitions;
  std::vector<DataRequest> requests;
  std::vector<std::pair<DWORD, std::string>> subscriptions;  // client event id, system event name
  std::map<DWORD, std::string> mappedEvents;                 // client event id, simulator event name
  std::vector<MenuItem> menu;
  std::map<DWORD, std::vector<DWORD>> groups;  // notification group id, its client events
  std::map<DWORD, DWORD> groupPriority;
};

// One message as the dispatch procedure receives it, in 8-byte words so that
// the structures inside are aligned.
struct Message {
  DWORD clientId = 0;
  DWORD size = 0;
  std::vector<uint64_t> words;
  bool menuChoice = false;  // the user's menu choice: the menu closes once it is handled
};

struct Server::State {
  bool serving = false;
  VariableReader reader;
  TextListener textListener;
  std::map<DWORD, Client> clients;
  std::deque<Message> queue;
  double now = 0;
  bool frameSeen = false;
  std::string aircraftPath;
  DWORD dialogMode = 0;
  size_t menuChoicesPending = 0;  // menu choices not yet handled: the user is in the menu
  bool stoppedForUser = false;    // "SimStop" went out for a menu or dialog; "SimStart" is owed
};

// The documented "Sim" state: 1 while the user controls the aircraft, 0 before
// the first frame and while the user is in a menu or a client's dialog
// ("DialogMode"). Call with ServerLock held.
bool SimInControl(const Server::State& state);

// Runs a change of the state above and notifies it as the simulator does:
// "SimStop" when the user leaves the aircraft for a menu or dialog, "SimStart"
// when back. Call with ServerLock held.
void ChangeSimControl(Server::State& state, const std::function<void()>& change);

// Queues a system event for every client subscribed to it. Call with
// ServerLock held.
void QueueSystemEvent(Server::State& state, std::string_view name, DWORD data);

// The one lock of the client operations and the server.
std::mutex& ServerLock();
// The serving simulator, or null; call with ServerLock held.
Server::State* ServingState();

// Queues a message of type T (already filled but for its header) for a client.
template <typename T>
void QueueMessage(Server::State& state, DWORD clientId, SIMCONNECT_RECV_ID id, const T& body, DWORD size = sizeof(T)) {
  Message message;
  message.clientId = clientId;
  message.size = size;
  message.words.assign((size + 7) / 8, 0);
  std::memcpy(message.words.data(), &body, sizeof(T) < size ? sizeof(T) : size);
  auto* header = reinterpret_cast<SIMCONNECT_RECV*>(message.words.data());
  header->dwSize = size;
  header->dwVersion = 4;
  header->dwID = id;
  state.queue.push_back(std::move(message));
}

// An exception message for a call the server could not carry out.
void QueueException(Server::State& state, DWORD clientId, SIMCONNECT_EXCEPTION exception, DWORD index);

// The data types a definition may use: numbers and positions.
bool IsSupportedDatumType(SIMCONNECT_DATATYPE type);

// Answers a data request of a client now (simulated time of state.now).
void DeliverData(Server::State& state, Client& client, const DataRequest& request);

}  // namespace simconnect
