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

// Buttons and icons, with Windows' values.
inline constexpr uint32_t MB_OK = 0x0;
inline constexpr uint32_t MB_OKCANCEL = 0x1;
inline constexpr uint32_t MB_YESNOCANCEL = 0x3;
inline constexpr uint32_t MB_YESNO = 0x4;
inline constexpr uint32_t MB_ICONERROR = 0x10;
inline constexpr uint32_t MB_ICONQUESTION = 0x20;
inline constexpr uint32_t MB_ICONWARNING = 0x30;
inline constexpr uint32_t MB_ICONINFORMATION = 0x40;
inline constexpr uint32_t MB_DEFBUTTON2 = 0x100;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

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
  // Shows a box and returns the button pressed (IDOK, IDYES, ...).
  virtual int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t flags) = 0;
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
  int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t flags) override;
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

int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t flags);
bool ShellExecuteOpen(const std::string& target);

// Top-level windows by class name: the host registers its main window
// ("FS98MAIN" for the simulator) and modules find it.
WindowHandle RegisterTopLevelWindow(const std::string& className);
void UnregisterTopLevelWindow(WindowHandle window);
WindowHandle FindWindow(const std::string& className);

}  // namespace platform
