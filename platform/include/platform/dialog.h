// Dialogs as the front ends see them: a title, a menu and a list of controls,
// each described by kind, caption, identifier, group, enabled state, value and
// list entries, and a dialog object that reacts to what the user does. The
// dialog's own logic (filling, checking, reading, commands) lives in the
// dialog object, free of any toolkit; a front end only shows the controls and
// hands the user's actions over.
//
// The protocol between a front end and a dialog:
//   1. RunDialog (through the current front end) calls Open() once, then shows
//      every control as its description says.
//   2. Whatever the user changes in a control (a box's text, a check box, a
//      radio button, a list's selection, the slider's position) the front end
//      writes into the control's description before it calls the dialog.
//   3. It calls Command(id) for a push button, a menu item, and a check box or
//      radio button the user clicked (after its value changed);
//      SliderReleased(id) at the end of a slider drag or key move; and
//      CloseRequested() for the window's close button.
//   4. After each call it shows every control again as the descriptions now
//      say (the dialog may have refilled, enabled or disabled any of them).
//   5. The dialog is over once Ended(); RunDialog returns its Result().
// Boxes and dialogs a dialog opens name Handle() as their owner.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "platform/user_interface.h"

namespace platform {

enum class ControlKind {
  kLabel,         // static text; `text` is what it shows
  kCheckBox,      // `value` 1 set, 0 cleared
  kRadioButton,   // `value` 1 set; the buttons of one `group` exclude each other
  kDropDownList,  // `items`, `value` the selected index or -1
  kTextBox,       // `text`, at most `maxLength` characters when that is above 0
  kSlider,        // `value` between `minimum` and `maximum`
  kPushButton,
};

// Name of a kind for records: "label", "check box", "radio button", ...
const char* ControlKindName(ControlKind kind);

struct DialogControl {
  int id = 0;
  ControlKind kind = ControlKind::kLabel;
  std::string caption;  // the control's text, or the label beside a box, list or slider
  std::string group;    // the group box around the control; empty outside any group
  std::string unit;     // a unit label after a box ("ft", "s", "%"), or empty
  bool enabled = true;
  int value = 0;
  std::string text;
  std::vector<std::string> items;
  int maxLength = 0;
  int minimum = 0;
  int maximum = 0;
  bool digitsOnly = false;                // a number box: the keyboard types digits only
  const FontDescription* font = nullptr;  // a label's own font; null for the dialog's
};

struct DialogMenuItem {
  std::string menu;  // the menu it drops from; empty for an item on the menu bar itself
  std::string caption;
  int id = 0;
  bool separatorBefore = false;
};

class Dialog {
 public:
  explicit Dialog(std::string title) : title_(std::move(title)) {}
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  const std::string& Title() const { return title_; }
  std::vector<DialogControl>& Controls() { return controls_; }
  const std::vector<DialogControl>& Controls() const { return controls_; }
  const std::vector<DialogMenuItem>& Menu() const { return menu_; }

  DialogControl* Control(int id);
  const DialogControl* Control(int id) const;
  // The first control whose caption is exactly caption, or null.
  DialogControl* ControlByCaption(const std::string& caption);
  // The menu item by its caption, or by "Menu/Item"; null when there is none.
  const DialogMenuItem* MenuItemByCaption(const std::string& caption) const;

  // The handle its boxes and the dialogs it opens name as owner.
  WindowHandle Handle() { return this; }

  // The user's side, called by front ends (see the protocol above).
  virtual void Open() {}
  virtual void Command(int /*id*/) {}
  virtual void SliderReleased(int /*id*/) {}
  virtual void CloseRequested() { End(0); }

  void End(int result) {
    ended_ = true;
    result_ = result;
  }
  bool Ended() const { return ended_; }
  int Result() const { return result_; }
  // Back to the state before Open: a dialog object may be run again.
  void Restart() {
    ended_ = false;
    result_ = 0;
  }

 protected:
  DialogControl& Add(DialogControl control);
  void AddMenuItem(DialogMenuItem item) { menu_.push_back(std::move(item)); }

 private:
  std::string title_;
  std::vector<DialogControl> controls_;
  std::vector<DialogMenuItem> menu_;
  bool ended_ = false;
  int result_ = 0;
};

// Sets a radio button and clears the other buttons of its group, as a click
// does. Front ends call it before Command.
void SetRadioButton(Dialog& dialog, int id);

// A text as a box limited to maxLength characters takes it when typed.
std::string LimitText(const std::string& text, int maxLength);

// What happens in a dialog that the front end reports: the dialog opening,
// each action taken in it and its end.
struct DialogEvent {
  std::string dialog;   // the dialog's title
  std::string action;   // "open", an action as the events file writes it, "close", "closed"
  std::string outcome;  // empty when done; otherwise why it was not ("no control ...")
  int result = 0;       // the dialog's result, for "closed"
};

// Process-wide listener for dialog events (the stand-in simulator's transcript
// listens here); null removes it. Front ends call ReportDialogEvent.
void SetDialogEventListener(std::function<void(const DialogEvent&)> listener);
void ReportDialogEvent(const DialogEvent& event);

// Runs the dialog modally through the current front end and returns its
// result.
int RunDialog(WindowHandle owner, Dialog& dialog);

// The interactive desktop front end (GTK 3, platform/gtk), loaded at run time
// from "liborvante_gtk_ui.so" beside the platform library, so hosts need not
// link GTK. Null when there is no display ($DISPLAY or $WAYLAND_DISPLAY), the
// library is missing or GTK cannot open the display; why then says which.
// The thread that loads it is the one that must show every box and dialog.
UserInterface* LoadDesktopUserInterface(std::string* why = nullptr);
void UnloadDesktopUserInterface(UserInterface* ui);

// Runs a dialog that no one attends: opens it, presses the window's close
// button, and when the dialog still stays open (a question it asked was
// answered so that it must), ends it with result 0. Reports each step.
int RunDialogUnattended(Dialog& dialog);

}  // namespace platform
