// The module's log file. Each line is written whole and flushed at once, so
// the file is complete at every moment; the worker and the simulator's thread
// both write to it.
#include "core/module_log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "platform/files.h"

namespace orvante {
namespace {

std::mutex g_logMutex;
FILE* g_logFile = nullptr;
std::atomic<LogObserver> g_observer{nullptr};

}  // namespace

bool OpenLog(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_logMutex);
  if (g_logFile) std::fclose(g_logFile);
  g_logFile = std::fopen(platform::NativePath(path).c_str(), "w");
  return g_logFile != nullptr;
}

void CloseLog() {
  std::lock_guard<std::mutex> lock(g_logMutex);
  if (g_logFile) std::fclose(g_logFile);
  g_logFile = nullptr;
}

bool IsLogOpen() {
  std::lock_guard<std::mutex> lock(g_logMutex);
  return g_logFile != nullptr;
}

void LogWrite(const char* format, ...) {
  char line[2048];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  {
    std::lock_guard<std::mutex> lock(g_logMutex);
    if (g_logFile) {
      std::fputs(line, g_logFile);
      std::fflush(g_logFile);
    }
  }
  if (LogObserver observer = g_observer.load()) observer(line);
}

void SetLogObserver(LogObserver observer) { g_observer.store(observer); }

}  // namespace orvante
