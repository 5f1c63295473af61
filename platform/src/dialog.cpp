// Dialog descriptions, the helpers every front end shares, and the unattended
// run that front ends without windows use.
#include "platform/dialog.h"

#include <mutex>

namespace platform {
namespace {

std::mutex g_listenerMutex;
std::function<void(const DialogEvent&)>& Listener() {
  static std::function<void(const DialogEvent&)> listener;
  return listener;
}

}  // namespace

const char* ControlKindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kLabel: return "label";
    case ControlKind::kCheckBox: return "check box";
    case ControlKind::kRadioButton: return "radio button";
    case ControlKind::kDropDownList: return "drop-down list";
    case ControlKind::kTextBox: return "text box";
    case ControlKind::kSlider: return "slider";
    case ControlKind::kPushButton: return "push button";
  }
  return "control";
}

DialogControl* Dialog::Control(int id) {
  for (DialogControl& control : controls_)
    if (control.id == id) return &control;
  return nullptr;
}

const DialogControl* Dialog::Control(int id) const {
  for (const DialogControl& control : controls_)
    if (control.id == id) return &control;
  return nullptr;
}

DialogControl* Dialog::ControlByCaption(const std::string& caption) {
  for (DialogControl& control : controls_)
    if (control.caption == caption) return &control;
  return nullptr;
}

const DialogMenuItem* Dialog::MenuItemByCaption(const std::string& caption) const {
  for (const DialogMenuItem& item : menu_)
    if (item.caption == caption || (!item.menu.empty() && item.menu + "/" + item.caption == caption)) return &item;
  return nullptr;
}

DialogControl& Dialog::Add(DialogControl control) {
  controls_.push_back(std::move(control));
  return controls_.back();
}

void SetRadioButton(Dialog& dialog, int id) {
  DialogControl* chosen = dialog.Control(id);
  if (chosen == nullptr || chosen->kind != ControlKind::kRadioButton) return;
  for (DialogControl& control : dialog.Controls())
    if (control.kind == ControlKind::kRadioButton && control.group == chosen->group) control.value = 0;
  chosen->value = 1;
}

std::string LimitText(const std::string& text, int maxLength) {
  if (maxLength <= 0 || text.size() <= static_cast<size_t>(maxLength)) return text;
  return text.substr(0, static_cast<size_t>(maxLength));
}

void SetDialogEventListener(std::function<void(const DialogEvent&)> listener) {
  std::lock_guard<std::mutex> lock(g_listenerMutex);
  Listener() = std::move(listener);
}

void ReportDialogEvent(const DialogEvent& event) {
  std::function<void(const DialogEvent&)> listener;
  {
    std::lock_guard<std::mutex> lock(g_listenerMutex);
    listener = Listener();
  }
  if (listener) listener(event);
}

int RunDialog(WindowHandle owner, Dialog& dialog) { return CurrentUserInterface().RunDialog(owner, dialog); }

int RunDialogUnattended(Dialog& dialog) {
  dialog.Restart();
  ReportDialogEvent({dialog.Title(), "open", "", 0});
  dialog.Open();
  if (!dialog.Ended()) {
    ReportDialogEvent({dialog.Title(), "close", "", 0});
    dialog.CloseRequested();
  }
  // No one is there to change what kept the dialog open.
  if (!dialog.Ended()) {
    ReportDialogEvent({dialog.Title(), "close", "the dialog stayed open; ended unattended", 0});
    dialog.End(0);
  }
  ReportDialogEvent({dialog.Title(), "closed", "", dialog.Result()});
  return dialog.Result();
}

}  // namespace platform
