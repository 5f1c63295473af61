// The scripted front end: boxes are answered and dialogs are worked from a
// script of actions, and every box, action and dialog is recorded, so a
// replay shows in its transcript what was asked and done.
//
// Actions, as an events file writes them after "t,dialog," (one per line; a
// CAPTION is the control's caption exactly as the dialog shows it):
//
//   check,CAPTION,1        set a check box (0 clears it); for a radio button
//                          1 sets it and clears the others of its group.
//                          A box already in that state is not clicked.
//   select,CAPTION,ENTRY   pick the list entry whose text is ENTRY; an empty
//                          ENTRY leaves the list with no entry selected
//   type,CAPTION,TEXT      replace a box's text by TEXT (everything after the
//                          second comma, commas and blanks included), cut to
//                          the box's length limit as typing would be
//   slide,CAPTION,N        move the slider to N (kept within its range) and
//                          release it
//   press,CAPTION          press a push button, or choose a menu item by its
//                          caption or as "Menu/Item" (e.g. "Profiles/Create")
//   answer,ANSWER          answer the next box with Yes, No, OK or Cancel
//   close                  press the window's close button
//
// The verb is compared without regard to case; blanks around the verb, the
// caption and a number are ignored. Actions apply to the innermost open
// dialog: "press,Profiles/Create" opens Create Profile, and the actions that
// follow work in it until it closes. A box takes the next action when that is
// an answer, and otherwise its default button. An action the open dialog
// cannot take (no such control, a disabled control, no such entry, no
// question open) is recorded with the reason and skipped. When the script
// runs out with a dialog still open, its window's close button is pressed,
// and a dialog that stays open even so is ended with result 0.
//
// The host queues the actions that belong to one opening of a dialog (for an
// events file: the "dialog" lines after a "menu" line, up to the next "menu")
// before it lets the module open the dialog; actions left over when the
// dialog closes are recorded as unused and dropped.
#pragma once
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog.h"
#include "platform/user_interface.h"

namespace platform {

struct DialogAction {
  enum class Verb { kCheck, kSelect, kType, kSlide, kPress, kAnswer, kClose };
  Verb verb = Verb::kClose;
  std::string caption;  // the control or menu item; empty for answer and close
  std::string text;     // select: the entry; type: the text; answer: the answer
  int number = 0;       // check: 0 or 1; slide: the position
};

// Parses the arguments of an events file's "dialog" line (the text after
// "dialog,"); nothing when they are not an action of the list above.
std::optional<DialogAction> ParseDialogAction(std::string_view args);

// The action written back as ParseDialogAction reads it.
std::string FormatDialogAction(const DialogAction& action);

// Answers boxes and works dialogs as its script says; records what it was
// shown as the headless front end does.
class ScriptedUserInterface : public HeadlessUserInterface {
 public:
  // Appends actions to the script.
  void Queue(const DialogAction& action);
  void Queue(const std::vector<DialogAction>& actions);
  // Actions not yet taken.
  size_t Pending() const;

  int MessageBoxU8(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t flags) override;
  int RunDialog(WindowHandle owner, Dialog& dialog) override;

  // What was done, in order (boxes and shell opens as the headless front
  // end records them). Dialog events also go to the process-wide dialog
  // event listener (platform/dialog.h).
  std::vector<DialogEvent> Events() const;
  // Forgets the script as well.
  void Clear() override;

 private:
  std::optional<DialogAction> Next();
  bool NextIsAnswer() const;
  void Report(const DialogEvent& event);
  // What taking one action in the dialog does, in perform (left empty when
  // it changes nothing); the reason when the dialog cannot take it.
  std::string Prepare(Dialog& dialog, const DialogAction& action, std::function<void()>& perform);

  mutable std::mutex mutex_;
  std::deque<DialogAction> script_;
  std::vector<DialogEvent> events_;
  int openDialogs_ = 0;
};

}  // namespace platform
