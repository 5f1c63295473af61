// The client operations of SimConnect. Each finds its connection in the
// serving simulator by handle and records what the client asks for; answers
// come back as queued messages that the simulator dispatches on its thread.

#include <algorithm>
#include <cstring>

#include "server_state.h"
#include "simconnect_cfg.h"
#include "common/text.h"

namespace {

using simconnect::Client;
using simconnect::Server;

DWORD g_nextClientId = 1;  // under ServerLock; never reused, so a stale handle finds nothing

HANDLE HandleOf(DWORD clientId) { return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(clientId)); }

// The state and the client of a handle, or nulls.
struct Connection {
  Server::State* state = nullptr;
  Client* client = nullptr;
  explicit operator bool() const { return client != nullptr; }
};

Connection Find(HANDLE handle) {
  Connection connection;
  connection.state = simconnect::ServingState();
  if (connection.state == nullptr) return connection;
  auto it = connection.state->clients.find(static_cast<DWORD>(reinterpret_cast<uintptr_t>(handle)));
  if (it != connection.state->clients.end()) connection.client = &it->second;
  return connection;
}

bool Empty(const char* text) { return text == nullptr || text[0] == '\0'; }

}  // namespace

SIMCONNECTAPI SimConnect_Open(HANDLE* phSimConnect, const char* szName, HWND, DWORD, HANDLE, DWORD ConfigIndex) {
  if (phSimConnect == nullptr) return E_INVALIDARG;
  *phSimConnect = nullptr;
  // The configuration may send the client to a simulator elsewhere, which an
  // in-process client cannot reach.
  if (!simconnect::ReadConfiguredTarget(simconnect::SimConnectCfgPath(), ConfigIndex).local) return E_FAIL;
  std::lock_guard<std::mutex> lock(simconnect::ServerLock());
  Server::State* state = simconnect::ServingState();
  if (state == nullptr) return E_FAIL;
  Client client;
  client.id = g_nextClientId++;
  client.name = szName ? szName : "";
  client.configIndex = ConfigIndex;
  DWORD id = client.id;
  state->clients.emplace(id, std::move(client));
  SIMCONNECT_RECV_OPEN open{};
  std::strncpy(open.szApplicationName, "Orvante stand-in simulator", sizeof open.szApplicationName - 1);
  open.dwApplicationVersionMajor = 4;
  open.dwSimConnectVersionMajor = 4;
  simconnect::QueueMessage(*state, id, SIMCONNECT_RECV_ID_OPEN, open);
  *phSimConnect = HandleOf(id);
  return S_OK;
}

SIMCONNECTAPI SimConnect_Close(HANDLE hSimConnect) {
  std::lock_guard<std::mutex> lock(simconnect::ServerLock());
  Connection c = Find(hSimConnect);
  if (!c) return E_FAIL;
  c.state->clients.erase(c.client->id);  // its queued messages are dropped at dispatch
  return S_OK;
}

SIMCONNECTAPI SimConnect_CallDispatch(HANDLE hSimConnect, DispatchProc pfcnDispatch, void* pContext) {
  std::lock_guard<std::mutex> lock(simconnect::ServerLock());
  Connection c = Find(hSimConnect);
  if (!c) return E_FAIL;
  if (pfcnDispatch == nullptr) return E_INVALIDARG;
  c.client->proc = pfcnDispatch;
  c.client->context = pContext;
  return S_OK;
}

SIMCONNECTAPI SimConnect_AddToDataDefinition(HANDLE hSimConnect, SIMCONNECT_DATA_DEFINITION_ID DefineID,
                                             const char* DatumName, const char* UnitsName,
                                             SIMCONNECT_DATATYPE DatumType, float, DWORD) {
  std::lock_guard<std::mutex> lock(simconnect::ServerLock());
  Connection c = Find(hSimConnect);
  if (!c) return E_FAIL;
  if (Empty(DatumName)) return E_INVALIDARG;
  if (!simconnect::IsSupportedDatumType(DatumType)) {
    simconnect::QueueException(*c.state, c.client->id, SIMCONNECT_EXCEPTION_INVALID_DATA_TYPE, 0);
    return S_OK;  // as SimConnect: the call is sent; the exception comes back as a message
  }
  c.client->definitions[DefineID].push_back({DatumName, UnitsName ? UnitsName : "", DatumType});
  return S_OK;
}

SIMCONNECTAPI SimConnect_RequestDataOnSimObject(HANDLE hSimConnect, SIMCONNECT_DATA_REQUEST_ID RequestID,
                                                SIMCONNECT_DATA_DEFINITION_ID DefineID, SIMCONNECT_OBJECT_ID ObjectID,
                                                SIMCONNECT_PERIOD Period, SIMCONNECT_DATA_REQUEST_FLAG, DWORD origin,
                                                DWORD interval, DWORD limit) {
  std::lock_guard<std::mutex> lock(simconnect::ServerLock());
  Connection c = Find(hSimConnect);
  if (!c) return E_FAIL;
  auto& requests = c.client->requests;
  // A request replaces the earlier one of the same identifier; NEVER ends it.
  std::erase_if(requests, [&](const simconnect::DataRequest& r) { return r.requestId == RequestID; });
  if (Period == SIMCONNECT_PERIOD_NEVER) return S_OK;
  if (c.client->definitions.count(DefineID) == 0) {
    simconnect::QueueException(*c.state, c.client->id, SIMCONNECT_EXCEPTION_UNRECOGNIZED_ID, 0);
    return S_OK;
  }
  if (ObjectID != SIMCONNECT_OBJECT_ID_USER) {
    simconnect::QueueException(*c.state, c.client->id, SIMCONNECT_EXCEPTION_INVALID_OBJECT_ID, 0);
    return S_OK;
  }
  if (Period > SIMCONNECT_PERIOD_SECOND) return E_INVALIDARG;
  simconnect::DataRequest request;
  request.requestId = RequestID;
  request.defineId = DefineID;
  request.objectId = ObjectID;
  request.period = Period;
  request.interval = interval;
  request.limit = limit;
  // origin counts the periods that pass before the first delivery; interval
  // the periods that pass between two deliveries.
  request.nextDue = c.state->now + origin;
  request.framesToGo = origin;
  requests.push_back(request);
  return S_OK;
}

SIMCONNECTAPI SimConnect_SubscribeToSystemEvent(HANDLE hSimConnect, SIMCONNECT_CLIENT_EVENT_ID EventID,
                                                const char* SystemEventName) {
  std::lock_guard<std::mutex> lock(simconnect::ServerLock());
  Connection c = Find(hSimConnect);
  if (!c) return E_FAIL;
  if (Empty(SystemEventName)) return E_INVALIDARG;
  auto& subscriptions = c.client->subscriptions;
  std::erase_if(subscriptions, [&](const auto& s) { return s.first == EventID; });
  subscriptions.emplace_back(EventID, SystemEventName);
  return S_OK;
}

SIMCONNECTAPI SimConnect_MapClientEventToSimEvent(HANDLE hSimConnect, SIMCONNECT_CLIENT_EVENT_ID EventID,
                                                  const char* EventName) {
  std::lock_guard<std::mutex> lock(simconnect::ServerLock());
  Connection c = Find(hSimConnect);
  if (!c) return E_FAIL;
  c.client->mappedEvents[EventID] = EventName ? EventName : "";  // empty: a private event of the client
  return S_OK;
}

SIMCONNECTAPI SimConnect_MenuAddItem(HANDLE hSimConnect, const char* szMenuItem, SIMCONNECT_CLIENT_EVENT_ID MenuEventID,
                                     DWORD dwData) {
  std::lock_guard<std::mutex> lock(simconnect::ServerLock());
  Connection c = Find(hSimConnect);
  if (!c) return E_FAIL;
  if (Empty(szMenuItem)) return E_INVALIDARG;
  c.client->menu.push_back({szMenuItem, MenuEventID, dwData});
  return S_OK;
}

SIMCONNECTAPI SimConnect_AddClientEventToNotificationGroup(HANDLE hSimConnect, SIMCONNECT_NOTIFICATION_GROUP_ID GroupID,
                                                           SIMCONNECT_CLIENT_EVENT_ID EventID, int) {
  std::lock_guard<std::mutex> lock(simconnect::ServerLock());
  Connection c = Find(hSimConnect);
  if (!c) return E_FAIL;
  auto& events = c.client->groups[GroupID];
  if (std::find(events.begin(), events.end(), EventID) == events.end()) events.push_back(EventID);
  return S_OK;
}

SIMCONNECTAPI SimConnect_SetNotificationGroupPriority(HANDLE hSimConnect, SIMCONNECT_NOTIFICATION_GROUP_ID GroupID,
                                                      DWORD uPriority) {
  std::lock_guard<std::mutex> lock(simconnect::ServerLock());
  Connection c = Find(hSimConnect);
  if (!c) return E_FAIL;
  c.client->groupPriority[GroupID] = uPriority;
  return S_OK;
}

SIMCONNECTAPI SimConnect_RequestSystemState(HANDLE hSimConnect, SIMCONNECT_DATA_REQUEST_ID RequestID,
                                            const char* szState) {
  std::lock_guard<std::mutex> lock(simconnect::ServerLock());
  Connection c = Find(hSimConnect);
  if (!c) return E_FAIL;
  if (Empty(szState)) return E_INVALIDARG;
  SIMCONNECT_RECV_SYSTEM_STATE answer{};
  answer.dwRequestID = RequestID;
  std::string state = szState;
  if (common::EqualsIgnoringCase(szState, "AircraftLoaded")) {
    std::strncpy(answer.szString, c.state->aircraftPath.c_str(), MAX_PATH - 1);
  } else if (common::EqualsIgnoringCase(szState, "DialogMode")) {
    answer.dwInteger = c.state->dialogMode;
  } else if (common::EqualsIgnoringCase(szState, "Sim")) {
    answer.dwInteger = simconnect::SimInControl(*c.state) ? 1 : 0;
  } else if (!common::EqualsIgnoringCase(szState, "FlightLoaded") &&
             !common::EqualsIgnoringCase(szState, "FlightPlan")) {
    simconnect::QueueException(*c.state, c.client->id, SIMCONNECT_EXCEPTION_NAME_UNRECOGNIZED, 0);
    return S_OK;
  }
  simconnect::QueueMessage(*c.state, c.client->id, SIMCONNECT_RECV_ID_SYSTEM_STATE, answer);
  return S_OK;
}

SIMCONNECTAPI SimConnect_SetSystemState(HANDLE hSimConnect, const char* szState, DWORD dwInteger, float, const char*) {
  std::lock_guard<std::mutex> lock(simconnect::ServerLock());
  Connection c = Find(hSimConnect);
  if (!c) return E_FAIL;
  if (Empty(szState)) return E_INVALIDARG;
  // A dialog takes the user out of the aircraft: "Sim" goes to 0 while it is
  // open, with SimStop and SimStart as the simulator sends them.
  if (common::EqualsIgnoringCase(szState, "DialogMode"))
    simconnect::ChangeSimControl(*c.state, [&] { c.state->dialogMode = dwInteger; });
  return S_OK;
}

SIMCONNECTAPI SimConnect_Text(HANDLE hSimConnect, SIMCONNECT_TEXT_TYPE type, float fTimeSeconds,
                              SIMCONNECT_CLIENT_EVENT_ID, DWORD cbUnitSize, void* pDataSet) {
  simconnect::TextLine line;
  simconnect::TextListener listener;
  {
    std::lock_guard<std::mutex> lock(simconnect::ServerLock());
    Connection c = Find(hSimConnect);
    if (!c) return E_FAIL;
    if (pDataSet == nullptr || cbUnitSize == 0) return E_INVALIDARG;
    // The text ends at its terminator or at the size given, whichever is first.
    const char* text = static_cast<const char*>(pDataSet);
    line.client = c.client->name;
    line.type = type;
    line.seconds = fTimeSeconds;
    line.text.assign(text, strnlen(text, cbUnitSize));
    listener = c.state->textListener;
  }
  if (listener) listener(line);
  return S_OK;
}
