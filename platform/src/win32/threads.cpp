// Threads started by CreateThread itself; identifiers are Windows' own.
#include <windows.h>
#include <objbase.h>

#include "platform/clock.h"
#include "platform/threads.h"

namespace platform {
namespace {

struct ThreadStart {
  ThreadFunction function;
  void* argument;
  uint64_t ticket;
};

DWORD WINAPI RunThread(LPVOID parameter) {
  ThreadStart start = *static_cast<ThreadStart*>(parameter);
  delete static_cast<ThreadStart*>(parameter);
  CurrentClock().ThreadStarts(start.ticket);
  DWORD result = start.function(start.argument);
  CurrentClock().ThreadEnding();
  return result;
}

}  // namespace

uint32_t CreateThread(ThreadFunction function, void* argument) {
  if (function == nullptr) return 0;
  // The clock knows of the thread from its start (see Clock::AdmitThread).
  auto* start = new ThreadStart{function, argument, CurrentClock().AdmitThread()};
  DWORD id = 0;
  HANDLE thread = ::CreateThread(nullptr, 0, RunThread, start, 0, &id);
  if (thread == nullptr) {
    CurrentClock().ThreadAbandoned(start->ticket);
    delete start;
    return 0;
  }
  // The thread runs detached: its handle is not needed after the start.
  ::CloseHandle(thread);
  return id;
}

uint32_t GetCurrentThreadId() { return ::GetCurrentThreadId(); }

int32_t EnterComApartment() { return static_cast<int32_t>(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }

void LeaveComApartment() { ::CoUninitialize(); }

}  // namespace platform
