// The Windows desktop front end: boxes are MessageBoxW, "open" is
// ShellExecuteW, dialogs are windows of their own (win32/dialog_window.h). It is the front end a Windows process has
// until its host chooses another (in the simulator no one does); hosts and tests that must never wait on a box set the
// headless or scripted one. A process started with ORVANTE_HEADLESS=1 (every test program, and the programs the tests
// start) has the headless one by default, so that no test falls back on a
// box that waits for an answer nobody gives.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "default_front_end.h"
#include "platform/dialog.h"
#include "win32/dialog_window.h"
#include "win32/text.h"

namespace platform {
namespace {

class Win32UserInterface : public UserInterface {
 public:
  int MessageBoxU8(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t flags) override {
    // A dialog object owns its boxes through its window; owners that are no
    // windows leave the box without one.
    return ::MessageBoxW(win32::OwnerWindow(owner), win32::Wide(text).c_str(), win32::Wide(caption).c_str(), flags);
  }
  int RunDialog(WindowHandle owner, Dialog& dialog) override { return win32::RunDialogWindow(owner, dialog); }
  bool ShellOpen(const std::string& target) override {
    auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", win32::Wide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
  }
};

Win32UserInterface& Desktop() {
  static Win32UserInterface desktop;
  return desktop;
}

}  // namespace

UserInterface& DefaultUserInterface() {
  const char* headless = std::getenv("ORVANTE_HEADLESS");
  if (headless != nullptr && *headless != '\0' && std::strcmp(headless, "0") != 0)
    return BuiltInHeadlessUserInterface();
  return Desktop();
}

// Windows always has its desktop.
UserInterface* LoadDesktopUserInterface(std::string* /*why*/) { return &Desktop(); }

void UnloadDesktopUserInterface(UserInterface* /*ui*/) {}

}  // namespace platform
