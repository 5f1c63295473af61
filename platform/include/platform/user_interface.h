// Message boxes, questions, shell "open" and the settings dialog all go through
// one front end that the host chooses: a headless one (the default: records
// each box and answers with its default button), a scripted one, or an
// interactive desktop one.
#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace platform {

// Buttons and icons, with Windows' values (MB_OK, ..., IDOK, ...).
inline constexpr uint32_t kMbOk = 0x0;
inline constexpr uint32_t kMbOkCancel = 0x1;
inline constexpr uint32_t kMbYesNoCancel = 0x3;
inline constexpr uint32_t kMbYesNo = 0x4;
inline constexpr uint32_t kMbIconError = 0x10;
inline constexpr uint32_t kMbIconQuestion = 0x20;
inline constexpr uint32_t kMbIconWarning = 0x30;
inline constexpr uint32_t kMbIconInformation = 0x40;
inline constexpr uint32_t kMbDefButton2 = 0x100;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

using WindowHandle = void*;
class Dialog;

// One box as shown: what it said and how it was answered.
struct MessageBoxRecord {
  std::string caption;
  std::string text;
  uint32_t flags = 0;
  int answer = 0;
};

// Name of a box's answer: "OK", "Cancel", "Yes" or "No".
const char* AnswerName(int answer);
// The default button's answer for a box's flags.
int DefaultAnswer(uint32_t flags);

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Shows a box and returns the button pressed (kIdOk, kIdYes, ...).
  virtual int MessageBoxU8(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t flags) = 0;
  // Opens a document or address with the desktop's "open" verb.
  virtual bool ShellOpen(const std::string& target) = 0;
  // Runs a dialog modally (platform/dialog.h) and returns its result. The
  // default, for front ends without windows, presses the window's close
  // button and reports it.
  virtual int RunDialog(WindowHandle owner, Dialog& dialog);
};

// Records every box and every shell "open" and answers each box with its
// default button. Listeners hear each box as it is shown.
class HeadlessUserInterface : public UserInterface {
 public:
  int MessageBoxU8(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t flags) override;
  bool ShellOpen(const std::string& target) override;
  std::vector<MessageBoxRecord> Boxes() const;
  std::vector<std::string> Opened() const;
  virtual void Clear();
  void SetListener(std::function<void(const MessageBoxRecord&)> listener);

 protected:
  // Keeps a box that was shown and answered, tells the listener; returns the answer.
  int Record(const MessageBoxRecord& record);

 private:
  mutable std::mutex mutex_;
  std::vector<MessageBoxRecord> boxes_;
  std::vector<std::string> opened_;
  std::function<void(const MessageBoxRecord&)> listener_;
};

// The process-wide front end; a headless one until the host sets another.
UserInterface& CurrentUserInterface();
void SetUserInterface(UserInterface* ui);  // null restores the built-in headless one
HeadlessUserInterface& BuiltInHeadlessUserInterface();

int MessageBoxU8(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t flags);
bool ShellExecuteOpen(const std::string& target);

// Top-level windows by class name: the host registers its main window
// ("FS98MAIN" for the simulator) and modules find it.
WindowHandle RegisterTopLevelWindow(const std::string& className);
void UnregisterTopLevelWindow(WindowHandle window);
WindowHandle FindWindowU8(const std::string& className);

}  // namespace platform
