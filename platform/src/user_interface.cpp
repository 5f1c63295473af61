// The front end that shows boxes and opens documents.
#include "platform/user_interface.h"

#include "default_front_end.h"
#include "platform/dialog.h"

#include <atomic>
#include <memory>

namespace platform {
namespace {

std::atomic<UserInterface*> g_userInterface{nullptr};

}  // namespace

const char* AnswerName(int answer) {
  switch (answer) {
    case kIdOk: return "OK";
    case kIdCancel: return "Cancel";
    case kIdYes: return "Yes";
    case kIdNo: return "No";
    default: return "";
  }
}

int DefaultAnswer(uint32_t flags) {
  bool second = (flags & 0xF00) == kMbDefButton2;
  switch (flags & 0xF) {
    case kMbOkCancel: return second ? kIdCancel : kIdOk;
    case kMbYesNo: return second ? kIdNo : kIdYes;
    case kMbYesNoCancel: return second ? kIdNo : kIdYes;
    default: return kIdOk;
  }
}

int UserInterface::RunDialog(WindowHandle, Dialog& dialog) { return RunDialogUnattended(dialog); }

int HeadlessUserInterface::MessageBoxU8(WindowHandle, const std::string& text, const std::string& caption,
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
  return ui ? *ui : DefaultUserInterface();
}

void SetUserInterface(UserInterface* ui) { g_userInterface.store(ui); }

int MessageBoxU8(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t flags) {
  return CurrentUserInterface().MessageBoxU8(owner, text, caption, flags);
}

bool ShellExecuteOpen(const std::string& target) { return CurrentUserInterface().ShellOpen(target); }

}  // namespace platform
