// The serving simulator: the registry that SimConnect_Open reaches, the
// events and frames the simulator reports, and the dispatch of queued
// messages on the simulator's thread.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>

#include "server_state.h"
#include "common/text.h"

namespace simconnect {
namespace {

Server::State* g_serving = nullptr;

bool SameName(std::string_view a, std::string_view b) { return common::EqualsIgnoringCase(a, b); }

size_t DatumSize(SIMCONNECT_DATATYPE type) {
  switch (type) {
    case SIMCONNECT_DATATYPE_INT32:
    case SIMCONNECT_DATATYPE_FLOAT32: return 4;
    case SIMCONNECT_DATATYPE_INT64:
    case SIMCONNECT_DATATYPE_FLOAT64: return 8;
    case SIMCONNECT_DATATYPE_LATLONALT:
    case SIMCONNECT_DATATYPE_XYZ: return 24;
    default: return 0;
  }
}

template <typename T>
void Append(std::vector<uint8_t>& out, T value) {
  uint8_t bytes[sizeof(T)];
  std::memcpy(bytes, &value, sizeof(T));
  out.insert(out.end(), bytes, bytes + sizeof(T));
}

// Whether a request is due at this frame, and the bookkeeping of its period.
bool RequestDue(Server::State& state, DataRequest& request) {
  switch (request.period) {
    case SIMCONNECT_PERIOD_ONCE: return true;
    case SIMCONNECT_PERIOD_SECOND:
      if (state.now + 1e-9 < request.nextDue) return false;
      request.nextDue += 1.0 + request.interval;
      return true;
    case SIMCONNECT_PERIOD_VISUAL_FRAME:
    case SIMCONNECT_PERIOD_SIM_FRAME:
      if (request.framesToGo > 0) {
        --request.framesToGo;
        return false;
      }
      request.framesToGo = request.interval;
      return true;
    default: return false;
  }
}

}  // namespace

std::mutex& ServerLock() {
  static std::mutex lock;
  return lock;
}

Server::State* ServingState() { return g_serving != nullptr && g_serving->serving ? g_serving : nullptr; }

void QueueException(Server::State& state, DWORD clientId, SIMCONNECT_EXCEPTION exception, DWORD index) {
  SIMCONNECT_RECV_EXCEPTION body{};
  body.dwException = exception;
  body.dwSendID = 0;
  body.dwIndex = index;
  QueueMessage(state, clientId, SIMCONNECT_RECV_ID_EXCEPTION, body);
}

void DeliverData(Server::State& state, Client& client, const DataRequest& request) {
  auto definition = client.definitions.find(request.defineId);
  if (definition == client.definitions.end()) return;
  std::vector<uint8_t> data;
  DWORD index = 0;
  for (const Datum& datum : definition->second) {
    std::vector<double> values;
    if (!state.reader || !state.reader(datum.name, datum.units, values) || values.empty()) {
      QueueException(state, client.id, SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED, index);
      return;
    }
    values.resize(3, 0.0);
    switch (datum.type) {
      case SIMCONNECT_DATATYPE_INT32: Append(data, static_cast<int32_t>(values[0])); break;
      case SIMCONNECT_DATATYPE_INT64: Append(data, static_cast<int64_t>(values[0])); break;
      case SIMCONNECT_DATATYPE_FLOAT32: Append(data, static_cast<float>(values[0])); break;
      case SIMCONNECT_DATATYPE_FLOAT64: Append(data, values[0]); break;
      default:  // XYZ and LATLONALT: three float64
        for (int i = 0; i < 3; ++i) Append(data, values[i]);
        break;
    }
    ++index;
  }
  // The data replaces the last member (dwData) and runs on from there.
  DWORD size = static_cast<DWORD>(offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwData) +
                                  std::max<size_t>(data.size(), sizeof(DWORD)));
  Message message;
  message.clientId = client.id;
  message.size = size;
  message.words.assign((size + 7) / 8, 0);
  auto* body = reinterpret_cast<SIMCONNECT_RECV_SIMOBJECT_DATA*>(message.words.data());
  body->header.dwSize = size;
  body->header.dwVersion = 4;
  body->header.dwID = SIMCONNECT_RECV_ID_SIMOBJECT_DATA;
  body->dwRequestID = request.requestId;
  body->dwObjectID = request.objectId;
  body->dwDefineID = request.defineId;
  body->dwFlags = 0;
  body->dwentrynumber = 1;
  body->dwoutof = 1;
  body->dwDefineCount = static_cast<DWORD>(definition->second.size());
  std::memcpy(reinterpret_cast<uint8_t*>(body) + offsetof(SIMCONNECT_RECV_SIMOBJECT_DATA, dwData), data.data(),
              data.size());
  state.queue.push_back(std::move(message));
}

bool IsSupportedDatumType(SIMCONNECT_DATATYPE type) { return DatumSize(type) != 0; }

Server::Server() : state_(std::make_unique<State>()) {}

Server::~Server() { StopServing(); }

bool Server::Serve() {
  std::lock_guard<std::mutex> lock(ServerLock());
  if (g_serving != nullptr && g_serving != state_.get()) return false;
  g_serving = state_.get();
  state_->serving = true;
  return true;
}

void Server::StopServing() {
  std::lock_guard<std::mutex> lock(ServerLock());
  state_->serving = false;
  state_->clients.clear();
  state_->queue.clear();
  state_->menuChoicesPending = 0;
  state_->stoppedForUser = false;
  if (g_serving == state_.get()) g_serving = nullptr;
}

bool Server::Serving() const {
  std::lock_guard<std::mutex> lock(ServerLock());
  return state_->serving;
}

void Server::SetVariableReader(VariableReader reader) {
  std::lock_guard<std::mutex> lock(ServerLock());
  state_->reader = std::move(reader);
}

void Server::SetTextListener(TextListener listener) {
  std::lock_guard<std::mutex> lock(ServerLock());
  state_->textListener = std::move(listener);
}

void QueueSystemEvent(Server::State& state, std::string_view name, DWORD data) {
  for (auto& [id, client] : state.clients)
    for (const auto& [eventId, eventName] : client.subscriptions)
      if (SameName(eventName, name)) {
        SIMCONNECT_RECV_EVENT body{};
        body.uGroupID = SIMCONNECT_UNUSED;
        body.uEventID = eventId;
        body.dwData = data;
        QueueMessage(state, id, SIMCONNECT_RECV_ID_EVENT, body);
      }
}

bool SimInControl(const Server::State& state) {
  return state.frameSeen && state.menuChoicesPending == 0 && state.dialogMode == 0;
}

void ChangeSimControl(Server::State& state, const std::function<void()>& change) {
  const bool before = SimInControl(state);
  change();
  const bool after = SimInControl(state);
  if (before && !after) {
    QueueSystemEvent(state, "SimStop", 0);
    state.stoppedForUser = true;
  } else if (after && state.stoppedForUser) {
    // Only a stop that was sent is ended by a start: frames that began while
    // the user was in a menu do not make one.
    QueueSystemEvent(state, "SimStart", 0);
    state.stoppedForUser = false;
  }
}

void Server::FireSystemEvent(std::string_view name, DWORD data) {
  std::lock_guard<std::mutex> lock(ServerLock());
  QueueSystemEvent(*state_, name, data);
}

void Server::LoadAircraft(const std::string& flightModelPath) {
  std::lock_guard<std::mutex> lock(ServerLock());
  state_->aircraftPath = flightModelPath;
  for (auto& [id, client] : state_->clients)
    for (const auto& [eventId, eventName] : client.subscriptions)
      if (SameName(eventName, "AircraftLoaded")) {
        SIMCONNECT_RECV_EVENT_FILENAME body{};
        body.event.uGroupID = SIMCONNECT_UNUSED;
        body.event.uEventID = eventId;
        std::strncpy(body.szFileName, flightModelPath.c_str(), MAX_PATH - 1);
        QueueMessage(*state_, id, SIMCONNECT_RECV_ID_EVENT_FILENAME, body);
      }
}

bool Server::SelectMenuItem(std::string_view text) {
  std::lock_guard<std::mutex> lock(ServerLock());
  // The user is in the menu until the client has handled the choice: the
  // simulation stops for it, and starts again after (unless a dialog the
  // client opened holds it).
  size_t choices = 0;
  for (const auto& [id, client] : state_->clients)
    for (const MenuItem& item : client.menu) choices += item.text == text;
  if (choices == 0) return false;
  ChangeSimControl(*state_, [&] { state_->menuChoicesPending += choices; });
  bool found = false;
  for (auto& [id, client] : state_->clients)
    for (const MenuItem& item : client.menu) {
      if (item.text != text) continue;
      found = true;
      SIMCONNECT_RECV_EVENT body{};
      body.uGroupID = SIMCONNECT_UNUSED;
      for (const auto& [group, events] : client.groups)
        if (std::find(events.begin(), events.end(), item.eventId) != events.end()) body.uGroupID = group;
      body.uEventID = item.eventId;
      body.dwData = item.data;
      QueueMessage(*state_, id, SIMCONNECT_RECV_ID_EVENT, body);
      state_->queue.back().menuChoice = true;
    }
  return found;
}

void Server::RunFrame(double now, float frameRate, float simSpeed) {
  std::lock_guard<std::mutex> lock(ServerLock());
  State& state = *state_;
  state.now = std::max(state.now, now);
  state.frameSeen = true;
  for (auto& [id, client] : state.clients) {
    for (DataRequest& request : client.requests) {
      if (!RequestDue(state, request)) continue;
      DeliverData(state, client, request);
      ++request.sent;
    }
    std::erase_if(client.requests, [](const DataRequest& request) {
      return request.period == SIMCONNECT_PERIOD_ONCE || (request.limit != 0 && request.sent >= request.limit);
    });
    for (const auto& [eventId, eventName] : client.subscriptions)
      if (SameName(eventName, "Frame")) {
        SIMCONNECT_RECV_EVENT_FRAME body{};
        body.event.uGroupID = SIMCONNECT_UNUSED;
        body.event.uEventID = eventId;
        body.fFrameRate = frameRate;
        body.fSimSpeed = simSpeed;
        QueueMessage(state, id, SIMCONNECT_RECV_ID_EVENT_FRAME, body);
      }
  }
}

size_t Server::Dispatch() {
  size_t delivered = 0;
  for (;;) {
    Message message;
    DispatchProc proc = nullptr;
    void* context = nullptr;
    {
      std::lock_guard<std::mutex> lock(ServerLock());
      auto& queue = state_->queue;
      bool found = false;
      for (auto it = queue.begin(); it != queue.end();) {
        auto client = state_->clients.find(it->clientId);
        if (client == state_->clients.end()) {  // closed since: the message goes with it
          if (it->menuChoice) ChangeSimControl(*state_, [&] { --state_->menuChoicesPending; });
          it = queue.erase(it);
          continue;
        }
        if (client->second.proc != nullptr) {
          proc = client->second.proc;
          context = client->second.context;
          message = std::move(*it);
          queue.erase(it);
          found = true;
          break;
        }
        ++it;
      }
      if (!found) return delivered;
    }
    proc(reinterpret_cast<SIMCONNECT_RECV*>(message.words.data()), message.size, context);
    ++delivered;
    if (message.menuChoice) {
      std::lock_guard<std::mutex> lock(ServerLock());
      ChangeSimControl(*state_, [&] { --state_->menuChoicesPending; });
    }
  }
}

std::vector<ClientView> Server::Clients() const {
  std::lock_guard<std::mutex> lock(ServerLock());
  std::vector<ClientView> views;
  for (const auto& [id, client] : state_->clients) {
    ClientView view;
    view.name = client.name;
    view.configIndex = client.configIndex;
    view.dispatchInstalled = client.proc != nullptr;
    for (const auto& subscription : client.subscriptions) view.subscribedEvents.push_back(subscription.second);
    for (const MenuItem& item : client.menu) view.menuItems.push_back(item.text);
    view.activeRequests = client.requests.size();
    views.push_back(std::move(view));
  }
  return views;
}

std::vector<std::string> Server::MenuItems() const {
  std::vector<std::string> items;
  for (const ClientView& client : Clients())
    items.insert(items.end(), client.menuItems.begin(), client.menuItems.end());
  return items;
}

bool Server::DialogMode() const {
  std::lock_guard<std::mutex> lock(ServerLock());
  return state_->dialogMode != 0;
}

std::string Server::LoadedAircraft() const {
  std::lock_guard<std::mutex> lock(ServerLock());
  return state_->aircraftPath;
}

}  // namespace simconnect
