// Top-level windows by class name, for systems without a window manager the
// platform can ask: the host registers its main window and modules find it.
// (The Windows build creates real windows and asks FindWindow, win32/.)
#include <map>
#include <mutex>
#include <string>

#include "platform/user_interface.h"

namespace platform {
namespace {

std::mutex g_windowMutex;

std::map<void*, std::string>& Windows() {
  static std::map<void*, std::string> windows;
  return windows;
}

}  // namespace

WindowHandle RegisterTopLevelWindow(const std::string& className) {
  auto* window = new char(0);  // a unique, stable address serves as the handle
  std::lock_guard<std::mutex> lock(g_windowMutex);
  Windows()[window] = className;
  return window;
}

void UnregisterTopLevelWindow(WindowHandle window) {
  std::lock_guard<std::mutex> lock(g_windowMutex);
  if (Windows().erase(window)) delete static_cast<char*>(window);
}

WindowHandle FindWindowU8(const std::string& className) {
  std::lock_guard<std::mutex> lock(g_windowMutex);
  for (const auto& [window, name] : Windows())
    if (name == className) return window;
  return nullptr;
}

}  // namespace platform
