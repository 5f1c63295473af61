// The scripted front end: a script of actions works the dialogs and answers
// the boxes; everything shown and done is recorded.
#include "platform/scripted_user_interface.h"

#include <algorithm>

namespace platform {
namespace {

std::vector<int> Buttons(uint32_t flags) {
  switch (flags & 0xF) {
    case kMbOkCancel: return {kIdOk, kIdCancel};
    case kMbYesNo: return {kIdYes, kIdNo};
    case kMbYesNoCancel: return {kIdYes, kIdNo, kIdCancel};
    default: return {kIdOk};
  }
}

// Why the dialog cannot take an action on this control, or empty.
std::string Unusable(const DialogControl* control, const std::string& caption,
                     std::initializer_list<ControlKind> kinds) {
  if (control == nullptr) return "no control \"" + caption + "\"";
  if (std::find(kinds.begin(), kinds.end(), control->kind) == kinds.end())
    return "\"" + caption + "\" is a " + ControlKindName(control->kind);
  if (!control->enabled) return "\"" + caption + "\" is disabled";
  return {};
}

}  // namespace

void ScriptedUserInterface::Queue(const DialogAction& action) {
  std::lock_guard<std::mutex> lock(mutex_);
  script_.push_back(action);
}

void ScriptedUserInterface::Queue(const std::vector<DialogAction>& actions) {
  std::lock_guard<std::mutex> lock(mutex_);
  script_.insert(script_.end(), actions.begin(), actions.end());
}

size_t ScriptedUserInterface::Pending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return script_.size();
}

std::optional<DialogAction> ScriptedUserInterface::Next() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (script_.empty()) return std::nullopt;
  DialogAction action = script_.front();
  script_.pop_front();
  return action;
}

bool ScriptedUserInterface::NextIsAnswer() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !script_.empty() && script_.front().verb == DialogAction::Verb::kAnswer;
}

void ScriptedUserInterface::Report(const DialogEvent& event) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(event);
  }
  ReportDialogEvent(event);
}

int ScriptedUserInterface::MessageBoxU8(WindowHandle, const std::string& text, const std::string& caption,
                                        uint32_t flags) {
  MessageBoxRecord record{caption, text, flags, DefaultAnswer(flags)};
  if (NextIsAnswer()) {
    DialogAction answer = *Next();
    std::vector<int> buttons = Buttons(flags);
    auto chosen = std::find_if(buttons.begin(), buttons.end(),
                               [&answer](int button) { return answer.text == AnswerName(button); });
    std::string outcome;
    if (chosen != buttons.end()) record.answer = *chosen;
    else outcome = std::string("the box has no ") + answer.text + " button; answered " + AnswerName(record.answer);
    Report({caption, FormatDialogAction(answer), outcome, 0});
  }
  return Record(record);
}

std::string ScriptedUserInterface::Prepare(Dialog& dialog, const DialogAction& action, std::function<void()>& perform) {
  using Verb = DialogAction::Verb;
  switch (action.verb) {
    case Verb::kClose: perform = [&dialog] { dialog.CloseRequested(); }; return {};
    case Verb::kAnswer: return "no question is open";
    case Verb::kPress: {
      DialogControl* button = dialog.ControlByCaption(action.caption);
      if (button != nullptr && button->kind == ControlKind::kPushButton) {
        if (!button->enabled) return "\"" + action.caption + "\" is disabled";
        perform = [&dialog, id = button->id] { dialog.Command(id); };
        return {};
      }
      if (const DialogMenuItem* item = dialog.MenuItemByCaption(action.caption)) {
        perform = [&dialog, id = item->id] { dialog.Command(id); };
        return {};
      }
      return "no button or menu item \"" + action.caption + "\"";
    }
    case Verb::kCheck: {
      DialogControl* box = dialog.ControlByCaption(action.caption);
      std::string why = Unusable(box, action.caption, {ControlKind::kCheckBox, ControlKind::kRadioButton});
      if (!why.empty()) return why;
      if (box->kind == ControlKind::kRadioButton) {
        if (action.number == 0) return "a radio button is cleared by setting another of its group";
        perform = [&dialog, id = box->id] {
          SetRadioButton(dialog, id);
          dialog.Command(id);
        };
        return {};
      }
      // A box already in that state is left alone: a click would change it.
      if (box->value == action.number) return {};
      perform = [&dialog, box, value = action.number] {
        box->value = value;
        dialog.Command(box->id);
      };
      return {};
    }
    case Verb::kSelect: {
      DialogControl* list = dialog.ControlByCaption(action.caption);
      std::string why = Unusable(list, action.caption, {ControlKind::kDropDownList});
      if (!why.empty()) return why;
      int index = -1;
      if (!action.text.empty()) {
        auto entry = std::find(list->items.begin(), list->items.end(), action.text);
        if (entry == list->items.end()) return "\"" + action.caption + "\" has no entry \"" + action.text + "\"";
        index = static_cast<int>(entry - list->items.begin());
      }
      perform = [list, index] { list->value = index; };
      return {};
    }
    case Verb::kType: {
      DialogControl* box = dialog.ControlByCaption(action.caption);
      std::string why = Unusable(box, action.caption, {ControlKind::kTextBox});
      if (!why.empty()) return why;
      perform = [box, text = LimitText(action.text, box->maxLength)] { box->text = text; };
      return {};
    }
    case Verb::kSlide: {
      DialogControl* slider = dialog.ControlByCaption(action.caption);
      std::string why = Unusable(slider, action.caption, {ControlKind::kSlider});
      if (!why.empty()) return why;
      perform = [&dialog, slider,
                 value = std::clamp(action.number, slider->minimum, std::max(slider->minimum, slider->maximum))] {
        slider->value = value;
        dialog.SliderReleased(slider->id);
      };
      return {};
    }
  }
  return "unknown action";
}

int ScriptedUserInterface::RunDialog(WindowHandle, Dialog& dialog) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    ++openDialogs_;
  }
  dialog.Restart();
  Report({dialog.Title(), "open", "", 0});
  dialog.Open();
  while (!dialog.Ended()) {
    std::optional<DialogAction> action = Next();
    if (!action) break;
    // Recorded before it takes effect, so what it leads to (a question, a
    // dialog of its own) follows it in the record.
    std::function<void()> perform;
    std::string why = Prepare(dialog, *action, perform);
    Report({dialog.Title(), FormatDialogAction(*action), why, 0});
    if (perform) perform();
  }
  if (!dialog.Ended()) {
    Report({dialog.Title(), "close", "the script ended with the dialog open", 0});
    dialog.CloseRequested();
  }
  if (!dialog.Ended()) {
    Report({dialog.Title(), "close", "the dialog stayed open; ended with result 0", 0});
    dialog.End(0);
  }
  Report({dialog.Title(), "closed", "", dialog.Result()});

  bool outermost = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    outermost = --openDialogs_ == 0;
  }
  if (outermost)
    while (std::optional<DialogAction> unused = Next())
      Report({dialog.Title(), FormatDialogAction(*unused), "unused: the dialog had closed", 0});
  return dialog.Result();
}

std::vector<DialogEvent> ScriptedUserInterface::Events() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_;
}

void ScriptedUserInterface::Clear() {
  HeadlessUserInterface::Clear();
  std::lock_guard<std::mutex> lock(mutex_);
  script_.clear();
  events_.clear();
}

}  // namespace platform
