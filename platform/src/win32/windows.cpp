// Top-level windows: the host's main window is a real window of its class
// (RegisterClassExW, CreateWindowExW; never shown), and FindWindowW finds it
// as it finds any other program's.
#include <windows.h>

#include <mutex>
#include <set>

#include "platform/user_interface.h"
#include "win32/text.h"

namespace platform {
namespace {

std::mutex g_classMutex;

bool RegisterWindowClass(const std::wstring& name) {
  static std::set<std::wstring> registered;
  std::lock_guard<std::mutex> lock(g_classMutex);
  if (registered.count(name)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = name.c_str();
  if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  registered.insert(name);
  return true;
}

}  // namespace

WindowHandle RegisterTopLevelWindow(const std::string& className) {
  std::wstring name = win32::Wide(className);
  if (!RegisterWindowClass(name)) return nullptr;
  return ::CreateWindowExW(0, name.c_str(), name.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 640, 480,
                           nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

void UnregisterTopLevelWindow(WindowHandle window) {
  if (window) ::DestroyWindow(static_cast<HWND>(window));
}

WindowHandle FindWindowU8(const std::string& className) {
  return ::FindWindowW(win32::Wide(className).c_str(), nullptr);
}

}  // namespace platform
