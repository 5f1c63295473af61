// The GTK 3 front end. A dialog's window is built once from its control
// descriptions; every user change is written back into the description, the
// dialog is called, and then every widget is brought in line with the
// descriptions again (the dialog may have refilled or disabled any control).
#include "platform/gtk_user_interface.h"

#include <gtk/gtk.h>

#include <map>
#include <string>
#include <vector>

#include "platform/dialog.h"

namespace platform {
namespace {

// A group box's controls go into one column with the groups before it until
// the column would hold more than this many controls.
constexpr size_t kControlsPerColumn = 20;

class GtkUserInterface;

// One open dialog window and the widget of each control.
struct DialogWindow {
  GtkUserInterface* ui = nullptr;
  Dialog* dialog = nullptr;
  GtkWidget* window = nullptr;
  GMainLoop* loop = nullptr;
  std::map<int, GtkWidget*> widgets;                   // by control id
  std::map<int, std::vector<std::string>> shownItems;  // list entries as shown
  std::map<int, const FontDescription*> fonts;         // label fonts as applied
  bool syncing = false;                                // widgets being set from descriptions
};

// What a signal handler needs: the window and the control.
struct ControlRef {
  DialogWindow* window;
  int id;
};

class GtkUserInterface : public UserInterface {
 public:
  int MessageBoxU8(WindowHandle owner, const std::string& text, const std::string& caption, uint32_t flags) override;
  bool ShellOpen(const std::string& target) override;
  int RunDialog(WindowHandle owner, Dialog& dialog) override;

  GtkWindow* WindowOf(WindowHandle owner) const {
    for (const DialogWindow* open : open_)
      if (open->dialog->Handle() == owner) return GTK_WINDOW(open->window);
    return nullptr;
  }

 private:
  std::vector<DialogWindow*> open_;
};

// ---- Bringing widgets in line with the descriptions ----

void ApplyFont(GtkWidget* label, const FontDescription& font) {
  PangoAttrList* attributes = pango_attr_list_new();
  if (!font.face.empty()) pango_attr_list_insert(attributes, pango_attr_family_new(font.face.c_str()));
  if (font.weight >= 600) pango_attr_list_insert(attributes, pango_attr_weight_new(PANGO_WEIGHT_BOLD));
  if (font.italic) pango_attr_list_insert(attributes, pango_attr_style_new(PANGO_STYLE_ITALIC));
  if (font.underline) pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
  if (font.strikeOut) pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
  // CreateFont's height: negative is the character height, positive the cell
  // height; either way, pixels.
  int pixels = font.height < 0 ? -font.height : font.height;
  if (pixels > 0) pango_attr_list_insert(attributes, pango_attr_size_new_absolute(pixels * PANGO_SCALE));
  gtk_label_set_attributes(GTK_LABEL(label), attributes);
  pango_attr_list_unref(attributes);
}

void Sync(DialogWindow& w) {
  w.syncing = true;
  for (const DialogControl& control : w.dialog->Controls()) {
    GtkWidget* widget = w.widgets[control.id];
    if (widget == nullptr) continue;
    gtk_widget_set_sensitive(widget, control.enabled);
    switch (control.kind) {
      case ControlKind::kLabel:
        gtk_label_set_text(GTK_LABEL(widget), control.text.c_str());
        // The dialog may give a label its font when it opens.
        if (control.font != nullptr && w.fonts[control.id] != control.font) {
          ApplyFont(widget, *control.font);
          w.fonts[control.id] = control.font;
        }
        break;
      case ControlKind::kCheckBox:
      case ControlKind::kRadioButton:
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), control.value == 1);
        break;
      case ControlKind::kDropDownList: {
        std::vector<std::string>& shown = w.shownItems[control.id];
        if (shown != control.items) {
          gtk_combo_box_text_remove_all(GTK_COMBO_BOX_TEXT(widget));
          for (const std::string& item : control.items)
            gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(widget), item.c_str());
          shown = control.items;
        }
        gtk_combo_box_set_active(GTK_COMBO_BOX(widget), control.value);
        break;
      }
      case ControlKind::kTextBox:
        gtk_entry_set_max_length(GTK_ENTRY(widget), control.maxLength > 0 ? control.maxLength : 0);
        if (control.text != gtk_entry_get_text(GTK_ENTRY(widget)))
          gtk_entry_set_text(GTK_ENTRY(widget), control.text.c_str());
        break;
      case ControlKind::kSlider:
        gtk_range_set_range(GTK_RANGE(widget), control.minimum,
                            control.maximum > control.minimum ? control.maximum : control.minimum + 1);
        gtk_range_set_value(GTK_RANGE(widget), control.value);
        break;
      case ControlKind::kPushButton: break;
    }
  }
  w.syncing = false;
}

// After the dialog was called: show what it changed, and stop when it ended.
void AfterCall(DialogWindow& w) {
  if (w.dialog->Ended()) {
    if (g_main_loop_is_running(w.loop)) g_main_loop_quit(w.loop);
    return;
  }
  Sync(w);
}

// ---- Signal handlers: write the user's change, call the dialog ----

void OnToggled(GtkToggleButton* button, gpointer data) {
  auto* ref = static_cast<ControlRef*>(data);
  DialogWindow& w = *ref->window;
  if (w.syncing || w.dialog->Ended()) return;
  DialogControl* control = w.dialog->Control(ref->id);
  const bool active = gtk_toggle_button_get_active(button);
  if (control->kind == ControlKind::kRadioButton) {
    if (!active) return;  // the button that was set; its partner reports the click
    SetRadioButton(*w.dialog, ref->id);
  } else {
    control->value = active ? 1 : 0;
  }
  w.dialog->Command(ref->id);
  AfterCall(w);
}

void OnComboChanged(GtkComboBox* combo, gpointer data) {
  auto* ref = static_cast<ControlRef*>(data);
  if (ref->window->syncing) return;
  ref->window->dialog->Control(ref->id)->value = gtk_combo_box_get_active(combo);
}

void OnEntryChanged(GtkEditable* editable, gpointer data) {
  auto* ref = static_cast<ControlRef*>(data);
  if (ref->window->syncing) return;
  ref->window->dialog->Control(ref->id)->text = gtk_entry_get_text(GTK_ENTRY(editable));
}

void OnSliderMoved(GtkRange* range, gpointer data) {
  auto* ref = static_cast<ControlRef*>(data);
  if (ref->window->syncing) return;
  ref->window->dialog->Control(ref->id)->value = static_cast<int>(gtk_range_get_value(range) + 0.5);
}

// The end of a drag or of a key move: only then does the slider report.
gboolean OnSliderReleased(GtkWidget*, GdkEvent*, gpointer data) {
  auto* ref = static_cast<ControlRef*>(data);
  DialogWindow& w = *ref->window;
  if (!w.dialog->Ended()) {
    w.dialog->SliderReleased(ref->id);
    AfterCall(w);
  }
  return FALSE;
}

void OnCommand(gpointer data) {
  auto* ref = static_cast<ControlRef*>(data);
  DialogWindow& w = *ref->window;
  if (w.dialog->Ended()) return;
  w.dialog->Command(ref->id);
  AfterCall(w);
}
void OnButtonClicked(GtkButton*, gpointer data) { OnCommand(data); }
void OnMenuActivated(GtkMenuItem*, gpointer data) { OnCommand(data); }

gboolean OnDeleteEvent(GtkWidget*, GdkEvent*, gpointer data) {
  auto& w = *static_cast<DialogWindow*>(data);
  if (!w.dialog->Ended()) {
    w.dialog->CloseRequested();
    AfterCall(w);
  }
  return TRUE;  // the window goes when the run ends, not here
}

// A dialog may also be ended from outside a handler.
gboolean PollEnded(gpointer data) {
  auto& w = *static_cast<DialogWindow*>(data);
  AfterCall(w);
  return w.dialog->Ended() ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
}

// ---- Building the window ----

// A caption with its field and unit. In a group the fields line up on the
// right; outside, a field stands beside its caption.
GtkWidget* Row(GtkWidget* labelWidget, GtkWidget* field, const std::string& unit, bool grouped) {
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
  gtk_box_pack_start(GTK_BOX(row), labelWidget, FALSE, FALSE, 0);
  if (grouped) {
    gtk_box_pack_end(GTK_BOX(row), gtk_label_new(unit.c_str()), FALSE, FALSE, 0);
    gtk_box_pack_end(GTK_BOX(row), field, FALSE, FALSE, 0);
  } else {
    gtk_box_pack_start(GTK_BOX(row), field, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(row), gtk_label_new(unit.c_str()), FALSE, FALSE, 0);
  }
  return row;
}

GtkWidget* Caption(const std::string& text) {
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  return label;
}

// The widget placed in the layout for one control; the control's own widget
// is recorded in w.widgets.
GtkWidget* BuildControl(DialogWindow& w, const DialogControl& control, std::map<std::string, GSList*>& radioGroups,
                        std::vector<ControlRef*>& refs) {
  auto* ref = new ControlRef{&w, control.id};
  refs.push_back(ref);
  GtkWidget* widget = nullptr;
  GtkWidget* placed = nullptr;
  switch (control.kind) {
    case ControlKind::kLabel: widget = placed = Caption(control.text); break;
    case ControlKind::kCheckBox:
      widget = placed = gtk_check_button_new_with_label(control.caption.c_str());
      g_signal_connect(widget, "toggled", G_CALLBACK(OnToggled), ref);
      break;
    case ControlKind::kRadioButton: {
      GSList*& group = radioGroups[control.group];
      widget = placed = gtk_radio_button_new_with_label(group, control.caption.c_str());
      group = gtk_radio_button_get_group(GTK_RADIO_BUTTON(widget));
      g_signal_connect(widget, "toggled", G_CALLBACK(OnToggled), ref);
      break;
    }
    case ControlKind::kDropDownList:
      widget = gtk_combo_box_text_new();
      g_signal_connect(widget, "changed", G_CALLBACK(OnComboChanged), ref);
      placed = Row(Caption(control.caption), widget, control.unit, !control.group.empty());
      break;
    case ControlKind::kTextBox:
      widget = gtk_entry_new();
      gtk_entry_set_width_chars(GTK_ENTRY(widget), control.maxLength > 0 && control.maxLength < 12 ? 10 : 16);
      g_signal_connect(widget, "changed", G_CALLBACK(OnEntryChanged), ref);
      placed = Row(Caption(control.caption), widget, control.unit, !control.group.empty());
      break;
    case ControlKind::kSlider:
      widget = gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, control.minimum,
                                        control.maximum > control.minimum ? control.maximum : control.minimum + 1, 1);
      gtk_scale_set_digits(GTK_SCALE(widget), 0);
      gtk_widget_set_size_request(widget, 160, -1);
      g_signal_connect(widget, "value-changed", G_CALLBACK(OnSliderMoved), ref);
      g_signal_connect(widget, "button-release-event", G_CALLBACK(OnSliderReleased), ref);
      g_signal_connect(widget, "key-release-event", G_CALLBACK(OnSliderReleased), ref);
      placed = Row(Caption(control.caption), widget, control.unit, !control.group.empty());
      break;
    case ControlKind::kPushButton:
      widget = placed = gtk_button_new_with_label(control.caption.c_str());
      g_signal_connect(widget, "clicked", G_CALLBACK(OnButtonClicked), ref);
      break;
  }
  w.widgets[control.id] = widget;
  return placed;
}

GtkWidget* BuildMenuBar(DialogWindow& w, std::vector<ControlRef*>& refs) {
  GtkWidget* bar = gtk_menu_bar_new();
  std::map<std::string, GtkWidget*> menus;
  for (const DialogMenuItem& item : w.dialog->Menu()) {
    auto* ref = new ControlRef{&w, item.id};
    refs.push_back(ref);
    GtkWidget* entry = gtk_menu_item_new_with_label(item.caption.c_str());
    g_signal_connect(entry, "activate", G_CALLBACK(OnMenuActivated), ref);
    if (item.menu.empty()) {
      gtk_menu_shell_append(GTK_MENU_SHELL(bar), entry);
      continue;
    }
    GtkWidget*& menu = menus[item.menu];
    if (menu == nullptr) {
      menu = gtk_menu_new();
      GtkWidget* top = gtk_menu_item_new_with_label(item.menu.c_str());
      gtk_menu_item_set_submenu(GTK_MENU_ITEM(top), menu);
      gtk_menu_shell_append(GTK_MENU_SHELL(bar), top);
    }
    if (item.separatorBefore) gtk_menu_shell_append(GTK_MENU_SHELL(menu), gtk_separator_menu_item_new());
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), entry);
  }
  return bar;
}

// Controls outside groups stack above and below the groups; the groups are
// framed and set side by side in columns.
void BuildWindow(DialogWindow& w, GtkWindow* parent, std::vector<ControlRef*>& refs) {
  w.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(w.window), w.dialog->Title().c_str());
  gtk_window_set_modal(GTK_WINDOW(w.window), TRUE);
  gtk_window_set_resizable(GTK_WINDOW(w.window), FALSE);
  if (parent) {
    gtk_window_set_transient_for(GTK_WINDOW(w.window), parent);
    gtk_window_set_destroy_with_parent(GTK_WINDOW(w.window), TRUE);
    gtk_window_set_position(GTK_WINDOW(w.window), GTK_WIN_POS_CENTER_ON_PARENT);
  } else {
    gtk_window_set_position(GTK_WINDOW(w.window), GTK_WIN_POS_CENTER);
  }
  g_signal_connect(w.window, "delete-event", G_CALLBACK(OnDeleteEvent), &w);

  GtkWidget* outer = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_container_add(GTK_CONTAINER(w.window), outer);
  if (!w.dialog->Menu().empty()) gtk_box_pack_start(GTK_BOX(outer), BuildMenuBar(w, refs), FALSE, FALSE, 0);

  GtkWidget* body = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
  gtk_container_set_border_width(GTK_CONTAINER(body), 10);
  gtk_box_pack_start(GTK_BOX(outer), body, TRUE, TRUE, 0);

  std::map<std::string, GSList*> radioGroups;
  GtkWidget* columns = nullptr;  // created at the first group
  GtkWidget* column = nullptr;
  size_t columnCount = 0;
  std::string currentGroup;
  GtkWidget* frameBox = nullptr;
  std::vector<DialogControl>& controls = w.dialog->Controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    const DialogControl& control = controls[i];
    GtkWidget* placed = BuildControl(w, control, radioGroups, refs);
    if (control.group.empty()) {
      currentGroup.clear();
      gtk_box_pack_start(GTK_BOX(body), placed, FALSE, FALSE, 0);
      if (control.kind == ControlKind::kPushButton) gtk_widget_set_halign(placed, GTK_ALIGN_CENTER);
      continue;
    }
    if (control.group != currentGroup) {
      currentGroup = control.group;
      size_t groupSize = 0;
      for (size_t j = i; j < controls.size() && controls[j].group == currentGroup; ++j) ++groupSize;
      if (columns == nullptr) {
        columns = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 10);
        gtk_box_pack_start(GTK_BOX(body), columns, FALSE, FALSE, 0);
      }
      if (column == nullptr || columnCount + groupSize > kControlsPerColumn) {
        column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
        gtk_box_pack_start(GTK_BOX(columns), column, FALSE, FALSE, 0);
        columnCount = 0;
      }
      columnCount += groupSize;
      GtkWidget* frame = gtk_frame_new(currentGroup.c_str());
      frameBox = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
      gtk_container_set_border_width(GTK_CONTAINER(frameBox), 6);
      gtk_container_add(GTK_CONTAINER(frame), frameBox);
      gtk_box_pack_start(GTK_BOX(column), frame, FALSE, FALSE, 0);
    }
    gtk_box_pack_start(GTK_BOX(frameBox), placed, FALSE, FALSE, 0);
  }
}

// ---- The front end ----

int GtkUserInterface::MessageBoxU8(WindowHandle owner, const std::string& text, const std::string& caption,
                                   uint32_t flags) {
  GtkMessageType type = GTK_MESSAGE_OTHER;
  switch (flags & 0xF0) {
    case kMbIconError: type = GTK_MESSAGE_ERROR; break;
    case kMbIconQuestion: type = GTK_MESSAGE_QUESTION; break;
    case kMbIconWarning: type = GTK_MESSAGE_WARNING; break;
    case kMbIconInformation: type = GTK_MESSAGE_INFO; break;
    default: break;
  }
  GtkWindow* parent = WindowOf(owner);
  GtkWidget* box = gtk_message_dialog_new(parent, parent ? GTK_DIALOG_DESTROY_WITH_PARENT : GtkDialogFlags(0), type,
                                          GTK_BUTTONS_NONE, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
  gtk_window_set_modal(GTK_WINDOW(box), TRUE);
  std::vector<int> buttons;
  switch (flags & 0xF) {
    case kMbOkCancel: buttons = {kIdOk, kIdCancel}; break;
    case kMbYesNo: buttons = {kIdYes, kIdNo}; break;
    case kMbYesNoCancel: buttons = {kIdYes, kIdNo, kIdCancel}; break;
    default: buttons = {kIdOk}; break;
  }
  for (int button : buttons) gtk_dialog_add_button(GTK_DIALOG(box), AnswerName(button), button);
  gtk_dialog_set_default_response(GTK_DIALOG(box), DefaultAnswer(flags));
  // As on Windows, a Yes/No question has no close button: it must be answered.
  const bool mustAnswer = (flags & 0xF) == kMbYesNo;
  gtk_window_set_deletable(GTK_WINDOW(box), !mustAnswer);
  int answer = 0;
  do {
    answer = gtk_dialog_run(GTK_DIALOG(box));
  } while (mustAnswer && answer != kIdYes && answer != kIdNo);
  gtk_widget_destroy(box);
  if (answer < 0) answer = (flags & 0xF) == kMbOk ? kIdOk : kIdCancel;  // closed with the window's button
  return answer;
}

bool GtkUserInterface::ShellOpen(const std::string& target) {
  std::string uri = target;
  if (!target.empty() && target.front() == '/') {
    gchar* fileUri = g_filename_to_uri(target.c_str(), nullptr, nullptr);
    if (fileUri == nullptr) return false;
    uri = fileUri;
    g_free(fileUri);
  }
  return g_app_info_launch_default_for_uri(uri.c_str(), nullptr, nullptr) == TRUE;
}

int GtkUserInterface::RunDialog(WindowHandle owner, Dialog& dialog) {
  DialogWindow w;
  w.ui = this;
  w.dialog = &dialog;
  std::vector<ControlRef*> refs;
  dialog.Restart();
  ReportDialogEvent({dialog.Title(), "open", "", 0});
  BuildWindow(w, WindowOf(owner), refs);
  dialog.Open();
  open_.push_back(&w);
  if (!dialog.Ended()) {
    Sync(w);
    gtk_widget_show_all(w.window);
    w.loop = g_main_loop_new(nullptr, FALSE);
    g_timeout_add(100, PollEnded, &w);
    g_main_loop_run(w.loop);
    if (!dialog.Ended()) dialog.End(0);  // the loop was stopped from outside
    g_source_remove_by_user_data(&w);
    g_main_loop_unref(w.loop);
  }
  open_.pop_back();
  gtk_widget_destroy(w.window);
  while (gtk_events_pending()) gtk_main_iteration();
  for (ControlRef* ref : refs) delete ref;
  ReportDialogEvent({dialog.Title(), "closed", "", dialog.Result()});
  return dialog.Result();
}

}  // namespace

std::unique_ptr<UserInterface> CreateGtkUserInterface() {
  // GTK would switch the whole process to the user's locale, and the module
  // reads and writes numbers with a decimal point (profile files, boxes).
  gtk_disable_setlocale();
  if (!gtk_init_check(nullptr, nullptr)) return nullptr;
  return std::make_unique<GtkUserInterface>();
}

}  // namespace platform

extern "C" platform::UserInterface* orvante_create_gtk_user_interface() {
  return platform::CreateGtkUserInterface().release();
}

extern "C" void orvante_destroy_gtk_user_interface(platform::UserInterface* ui) { delete ui; }
