// Threads started the way CreateThread starts them, with small nonzero
// identifiers handed out in order.
#include "platform/threads.h"

#include <atomic>
#include <thread>

#include "platform/clock.h"

namespace platform {
namespace {

std::atomic<uint32_t> g_nextThreadId{1};
thread_local uint32_t t_threadId = 0;

}  // namespace

uint32_t GetCurrentThreadId() {
  if (t_threadId == 0) t_threadId = g_nextThreadId.fetch_add(1);
  return t_threadId;
}

uint32_t CreateThread(ThreadFunction function, void* argument) {
  if (function == nullptr) return 0;
  uint32_t id = g_nextThreadId.fetch_add(1);
  // The clock knows of the thread from its start (see Clock::AdmitThread).
  uint64_t ticket = CurrentClock().AdmitThread();
  try {
    std::thread([function, argument, id, ticket] {
      t_threadId = id;
      CurrentClock().ThreadStarts(ticket);
      function(argument);
      CurrentClock().ThreadEnding();
    }).detach();
  } catch (...) {  // the system could not start a thread
    CurrentClock().ThreadAbandoned(ticket);
    return 0;
  }
  return id;
}

// No COM here: a thread has no apartment to enter or leave.
int32_t EnterComApartment() { return 0; }

void LeaveComApartment() {}

}  // namespace platform
