// The front end that shows boxes and opens documents, and the registry of
// top-level windows by class name.
#include "platform/user_interface.h"

#include "platform/dialog.h"

#include <atomic>
#include <map>
#include <memory>

namespace platform {
namespace {

std::atomic<UserInterface*> g_userInterface{nullptr};

std::mutex g_windowMutex;
std::map<void*, std::string>& Windows() {
  static std::map<void*, std::string> windows;
  return windows;
}

}  // namespace

const char* AnswerName(int answer) {
  switch (answer) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "";
  }
}

int DefaultAnswer(uint32_t flags) {
  bool second = (flags & 0xF00) == MB_DEFBUTTON2;
  switch (flags & 0xF) {
    case MB_OKCANCEL: return second ? IDCANCEL : IDOK;
    case MB_YESNO: return second ? IDNO : IDYES;
    case MB_YESNOCANCEL: return second ? IDNO : IDYES;
    default: return IDOK;
  }
}

int UserInterface::RunDialog(WindowHandle, Dialog& dialog) { return RunDialogUnattended(dialog); }

int HeadlessUserInterface::MessageBox(WindowHandle, const std::string& text, const std::string& caption,
                                      uint32_t flags) {
  return Record(MessageBoxRecord{caption, text, flags, DefaultAnswer(flags)});
}

int HeadlessUserInterface::Record(const MessageBoxRecord& record) {
  std::function<void(const MessageBoxRecord&)> listener;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    boxes_.push_back(record);
    listener = listener_;
  }
  if (listener) listener(record);
  return record.answer;
}

bool HeadlessUserInterface::ShellOpen(const std::string& target) {
  std::lock_guard<std::mutex> lock(mutex_);
  opened_.push_back(target);
  return true;
}

std::vector<MessageBoxRecord> HeadlessUserInterface::Boxes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return boxes_;
}

std::vector<std::string> HeadlessUserInterface::Opened() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return opened_;
}

void HeadlessUserInterface::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  boxes_.clear();
  opened_.clear();
}

void HeadlessUserInterface::SetListener(std::function<void(const MessageBoxRecord&)> listener) {
  std::lock_guard<std::mutex> lock(mutex_);
  listener_ = std::move(listener);
}

HeadlessUserInterface& BuiltInHeadlessUserInterface() {
  static HeadlessUserInterface headless;
  return headless;
}

UserInterface& CurrentUserInterface() {
  UserInterface* ui = g_userInterface.load();
  return ui ? *ui : BuiltInHeadlessUserInterface();
}

void SetUserInterface(UserInterface* ui) { g_userInterface.store(ui); }

int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t flags) {
  return CurrentUserInterface().MessageBox(owner, text, caption, flags);
}

bool ShellExecuteOpen(const std::string& target) { return CurrentUserInterface().ShellOpen(target); }

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

WindowHandle FindWindow(const std::string& className) {
  std::lock_guard<std::mutex> lock(g_windowMutex);
  for (const auto& [window, name] : Windows())
    if (name == className) return window;
  return nullptr;
}

}  // namespace platform
