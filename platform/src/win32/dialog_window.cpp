// Dialogs as Win32 windows. The layout follows the descriptions: controls
// outside any group stack above and below the groups; each group is a group
// box of its own, and the groups stand side by side in columns of at most
// kControlsPerColumn controls. In a group the fields line up to the right of
// the longest caption, with the unit after the field.
#include "win32/dialog_window.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "win32/text.h"

namespace platform::win32 {
namespace {

constexpr size_t kControlsPerColumn = 20;
constexpr int kMargin = 10;
constexpr int kGap = 8;         // between a caption, its field and its unit
constexpr int kRowGap = 4;      // between rows
constexpr int kColumnGap = 10;  // between columns of groups
constexpr int kGroupPadding = 10;
constexpr int kGroupTop = 20;  // room for the group box's title
constexpr int kDropDownHeight = 200;
constexpr UINT_PTR kEndedTimer = 1;
constexpr wchar_t kWindowClass[] = L"OrvanteDialog";

// One control's pieces on the screen: its own window, and the caption and
// unit labels of a box, list or slider.
struct ControlWindows {
  HWND field = nullptr;
  HWND caption = nullptr;
  HWND unit = nullptr;
};

// Sizes of one control's row, and where its pieces go.
struct Row {
  int captionWidth = 0;  // 0: the control carries its own caption
  int fieldWidth = 0;
  int height = 0;
  int unitWidth = 0;
  RECT caption = {}, field = {}, unit = {};
};

struct DialogWindow {
  Dialog* dialog = nullptr;
  HWND window = nullptr;
  HWND owner = nullptr;
  HFONT font = nullptr;
  std::map<int, ControlWindows> controls;              // by control id
  std::map<HWND, int> ids;                             // control id by field window
  std::map<int, std::vector<std::string>> shownItems;  // list entries as shown
  std::map<const FontDescription*, HFONT> labelFonts;  // fonts the dialog gave labels
  std::vector<HWND> groupBoxes;
  bool syncing = false;  // controls being set from descriptions
};

// The dialogs whose windows are open, innermost last.
std::vector<DialogWindow*>& OpenWindows() {
  static std::vector<DialogWindow*> open;
  return open;
}

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

std::wstring WindowText(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

HFONT LabelFont(DialogWindow& w, const FontDescription* description) {
  if (description == nullptr) return w.font;
  HFONT& font = w.labelFonts[description];
  if (font == nullptr) {
    font = CreateFontW(description->height, description->width, description->escapement, description->orientation,
                       description->weight, description->italic, description->underline, description->strikeOut,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, Wide(description->face).c_str());
    if (font == nullptr) font = w.font;
  }
  return font;
}

// Width and height of a text in a font, in pixels.
SIZE TextSize(HFONT font, const std::string& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  std::wstring wide = Wide(text.empty() ? std::string(" ") : text);
  SIZE size = {};
  GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  if (text.empty()) size.cx = 0;
  return size;
}

// ---- Bringing the controls in line with the descriptions ----

void Sync(DialogWindow& w) {
  w.syncing = true;
  for (const DialogControl& control : w.dialog->Controls()) {
    auto found = w.controls.find(control.id);
    if (found == w.controls.end()) continue;
    const ControlWindows& c = found->second;
    for (HWND part : {c.field, c.caption, c.unit}) {
      if (part != nullptr && (IsWindowEnabled(part) != FALSE) != control.enabled) EnableWindow(part, control.enabled);
    }
    switch (control.kind) {
      case ControlKind::kLabel: {
        std::wstring text = Wide(control.text);
        if (WindowText(c.field) != text) SetWindowTextW(c.field, text.c_str());
        SendMessageW(c.field, WM_SETFONT, reinterpret_cast<WPARAM>(LabelFont(w, control.font)), TRUE);
        break;
      }
      case ControlKind::kCheckBox:
      case ControlKind::kRadioButton:
        SendMessageW(c.field, BM_SETCHECK, control.value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      case ControlKind::kDropDownList: {
        std::vector<std::string>& shown = w.shownItems[control.id];
        if (shown != control.items) {
          SendMessageW(c.field, CB_RESETCONTENT, 0, 0);
          for (const std::string& item : control.items) {
            SendMessageW(c.field, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
          }
          shown = control.items;
        }
        SendMessageW(c.field, CB_SETCURSEL, static_cast<WPARAM>(control.value), 0);
        break;
      }
      case ControlKind::kTextBox: {
        SendMessageW(c.field, EM_SETLIMITTEXT, control.maxLength > 0 ? control.maxLength : 0, 0);
        std::wstring text = Wide(control.text);
        if (WindowText(c.field) != text) SetWindowTextW(c.field, text.c_str());
        break;
      }
      case ControlKind::kSlider:
        SendMessageW(c.field, TBM_SETRANGE, TRUE,
                     MAKELPARAM(control.minimum, std::max(control.maximum, control.minimum + 1)));
        SendMessageW(c.field, TBM_SETPOS, TRUE, control.value);
        break;
      case ControlKind::kPushButton: break;
    }
  }
  w.syncing = false;
}

// After the dialog was called: show what it changed (the loop ends once the
// dialog has ended).
void AfterCall(DialogWindow& w) {
  if (w.dialog->Ended()) {
    PostMessageW(w.window, WM_NULL, 0, 0);
    return;
  }
  Sync(w);
}

// ---- The user's actions: write the change, call the dialog ----

void OnControlCommand(DialogWindow& w, HWND from, int code) {
  auto found = w.ids.find(from);
  if (found == w.ids.end() || w.syncing || w.dialog->Ended()) return;
  DialogControl* control = w.dialog->Control(found->second);
  if (control == nullptr) return;
  switch (control->kind) {
    case ControlKind::kCheckBox:
      // The box does not change itself (BS_CHECKBOX): a click turns the
      // value over, and the dialog's value is shown after the call.
      if (code != BN_CLICKED) return;
      control->value = SendMessageW(from, BM_GETCHECK, 0, 0) == BST_CHECKED ? 0 : 1;
      break;
    case ControlKind::kRadioButton:
      if (code != BN_CLICKED) return;
      SetRadioButton(*w.dialog, control->id);
      break;
    case ControlKind::kPushButton:
      if (code != BN_CLICKED) return;
      break;
    case ControlKind::kDropDownList:
      if (code == CBN_SELCHANGE) control->value = static_cast<int>(SendMessageW(from, CB_GETCURSEL, 0, 0));
      return;  // a selection is read, not a command
    case ControlKind::kTextBox:
      if (code == EN_CHANGE) control->text = Utf8(WindowText(from));
      return;
    default: return;
  }
  w.dialog->Command(control->id);
  AfterCall(w);
}

void OnSlider(DialogWindow& w, HWND from, int code) {
  auto found = w.ids.find(from);
  if (found == w.ids.end() || w.syncing || w.dialog->Ended()) return;
  DialogControl* control = w.dialog->Control(found->second);
  if (control == nullptr) return;
  control->value = static_cast<int>(SendMessageW(from, TBM_GETPOS, 0, 0));
  // Only the end of a drag or of a key move reports.
  if (code != TB_ENDTRACK) return;
  w.dialog->SliderReleased(control->id);
  AfterCall(w);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* w = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (w != nullptr) {
    switch (message) {
      case WM_COMMAND:
        if (lParam == 0) {  // a menu item
          if (HIWORD(wParam) == 0 && !w->dialog->Ended()) {
            w->dialog->Command(LOWORD(wParam));
            AfterCall(*w);
          }
        } else {
          OnControlCommand(*w, reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        }
        return 0;
      case WM_HSCROLL:
        if (lParam != 0) OnSlider(*w, reinterpret_cast<HWND>(lParam), LOWORD(wParam));
        return 0;
      case WM_CLOSE:
        // The window goes when the run ends, not here.
        if (!w->dialog->Ended()) {
          w->dialog->CloseRequested();
          AfterCall(*w);
        }
        return 0;
      case WM_TIMER:
        // A dialog may also be ended from outside a handler.
        if (wParam == kEndedTimer) {
          if (w->dialog->Ended()) PostMessageW(window, WM_NULL, 0, 0);
          return 0;
        }
        break;
      default: break;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterWindowClass() {
  static bool registered = false;
  if (registered) return;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = ThisModule();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kWindowClass;
  registered = RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// ---- Building the window ----

Row MeasureRow(DialogWindow& w, const DialogControl& control) {
  Row row;
  const int textHeight = TextSize(w.font, "Xg").cy;
  switch (control.kind) {
    case ControlKind::kLabel: {
      SIZE size = TextSize(LabelFont(w, control.font), control.text);
      row.fieldWidth = size.cx + 4;
      row.height = std::max<int>(size.cy, textHeight) + 2;
      break;
    }
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton:
      row.fieldWidth = TextSize(w.font, control.caption).cx + 30;  // the box and the room after it
      row.height = textHeight + 6;
      break;
    case ControlKind::kDropDownList: {
      int widest = 0;
      for (const std::string& item : control.items) widest = std::max<int>(widest, TextSize(w.font, item).cx);
      row.fieldWidth = std::max(110, widest + 30);
      row.height = textHeight + 10;
      break;
    }
    case ControlKind::kTextBox:
      row.fieldWidth = control.maxLength > 0 && control.maxLength < 12 ? 70 : 100;
      row.height = textHeight + 10;
      break;
    case ControlKind::kSlider:
      row.fieldWidth = 160;
      row.height = 30;
      break;
    case ControlKind::kPushButton:
      row.fieldWidth = std::max<int>(90, TextSize(w.font, control.caption).cx + 30);
      row.height = textHeight + 14;
      break;
  }
  const bool captioned = control.kind == ControlKind::kDropDownList || control.kind == ControlKind::kTextBox ||
                         control.kind == ControlKind::kSlider;
  if (captioned) row.captionWidth = TextSize(w.font, control.caption).cx + 2;
  if (!control.unit.empty()) row.unitWidth = TextSize(w.font, control.unit).cx + 2;
  return row;
}

// Places a row's pieces with the caption at x, the field at fieldX.
void PlaceRow(Row& row, int x, int fieldX, int y, int unitSlot) {
  const int fieldLeft = row.captionWidth > 0 ? fieldX : x;
  row.caption = {x, y, x + row.captionWidth, y + row.height};
  row.field = {fieldLeft, y, fieldLeft + row.fieldWidth, y + row.height};
  const int unitLeft = fieldLeft + row.fieldWidth + (row.unitWidth > 0 ? kGap / 2 : 0);
  row.unit = {unitLeft, y, unitLeft + std::max(row.unitWidth, unitSlot), y + row.height};
}

int RowRight(const Row& row) { return std::max({row.caption.right, row.field.right, row.unit.right}); }

// Works out where every control goes; the client area's size.
SIZE LayOut(DialogWindow& w, std::vector<Row>& rows, std::vector<RECT>& groupRects,
            std::vector<std::string>& groupNames) {
  const std::vector<DialogControl>& controls = w.dialog->Controls();
  rows.clear();
  for (const DialogControl& control : controls) rows.push_back(MeasureRow(w, control));

  int y = kMargin;
  int right = kMargin;
  size_t i = 0;
  while (i < controls.size()) {
    if (controls[i].group.empty()) {
      Row& row = rows[i];
      PlaceRow(row, kMargin, kMargin + row.captionWidth + (row.captionWidth > 0 ? kGap : 0), y, 0);
      right = std::max(right, RowRight(row));
      y += row.height + kRowGap;
      ++i;
      continue;
    }
    // A run of groups: columns side by side.
    const int top = y + kRowGap;
    int columnX = kMargin;
    int columnY = top;
    int columnWidth = 0;
    size_t columnCount = 0;
    size_t firstGroupOfColumn = groupRects.size();
    int bottom = top;
    auto closeColumn = [&] {
      for (size_t g = firstGroupOfColumn; g < groupRects.size(); ++g) groupRects[g].right = columnX + columnWidth;
      columnX += columnWidth + kColumnGap;
      columnY = top;
      columnWidth = 0;
      columnCount = 0;
      firstGroupOfColumn = groupRects.size();
    };
    while (i < controls.size() && !controls[i].group.empty()) {
      const std::string& group = controls[i].group;
      size_t end = i;
      while (end < controls.size() && controls[end].group == group) ++end;
      const size_t groupSize = end - i;
      if (columnCount > 0 && columnCount + groupSize > kControlsPerColumn) closeColumn();
      columnCount += groupSize;

      int captionWidth = 0, unitWidth = 0;
      for (size_t j = i; j < end; ++j) {
        captionWidth = std::max(captionWidth, rows[j].captionWidth);
        unitWidth = std::max(unitWidth, rows[j].unitWidth);
      }
      const int innerX = columnX + kGroupPadding;
      const int fieldX = innerX + captionWidth + kGap;
      int rowY = columnY + kGroupTop;
      int innerRight = innerX;
      for (size_t j = i; j < end; ++j) {
        PlaceRow(rows[j], innerX, fieldX, rowY, unitWidth);
        innerRight = std::max(innerRight, RowRight(rows[j]));
        rowY += rows[j].height + kRowGap;
      }
      const int groupWidth = innerRight + kGroupPadding - columnX;
      groupRects.push_back({columnX, columnY, columnX + groupWidth, rowY + kGroupPadding / 2});
      groupNames.push_back(group);
      columnWidth = std::max(columnWidth, groupWidth);
      columnY = rowY + kGroupPadding / 2 + kRowGap;
      bottom = std::max(bottom, columnY);
      i = end;
    }
    closeColumn();
    right = std::max(right, columnX - kColumnGap);
    y = bottom + kRowGap;
  }
  const int width = right + kMargin;
  // Push buttons outside the groups stand in the middle.
  for (size_t j = 0; j < controls.size(); ++j) {
    if (controls[j].kind != ControlKind::kPushButton || !controls[j].group.empty()) continue;
    const int left = (width - rows[j].fieldWidth) / 2;
    OffsetRect(&rows[j].field, left - rows[j].field.left, 0);
  }
  return {width, y - kRowGap + kMargin};
}

HWND Child(DialogWindow& w, const wchar_t* windowClass, const std::string& text, DWORD style, const RECT& place, int id,
           HFONT font) {
  HWND child = CreateWindowExW(0, windowClass, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                               place.right - place.left, place.bottom - place.top, w.window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
  if (child != nullptr) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

HMENU BuildMenuBar(DialogWindow& w) {
  if (w.dialog->Menu().empty()) return nullptr;
  HMENU bar = CreateMenu();
  std::map<std::string, HMENU> menus;
  for (const DialogMenuItem& item : w.dialog->Menu()) {
    if (item.menu.empty()) {
      AppendMenuW(bar, MF_STRING, static_cast<UINT_PTR>(item.id), Wide(item.caption).c_str());
      continue;
    }
    HMENU& menu = menus[item.menu];
    if (menu == nullptr) {
      menu = CreatePopupMenu();
      AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu), Wide(item.menu).c_str());
    }
    if (item.separatorBefore) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.id), Wide(item.caption).c_str());
  }
  return bar;
}

void CreateControls(DialogWindow& w, std::vector<Row>& rows) {
  const std::vector<DialogControl>& controls = w.dialog->Controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    const DialogControl& control = controls[i];
    Row& row = rows[i];
    ControlWindows c;
    switch (control.kind) {
      case ControlKind::kLabel:
        c.field = Child(w, WC_STATICW, control.text, SS_LEFT | SS_NOPREFIX, row.field, control.id,
                        LabelFont(w, control.font));
        break;
      case ControlKind::kCheckBox:
        c.field = Child(w, WC_BUTTONW, control.caption, BS_CHECKBOX | WS_TABSTOP, row.field, control.id, w.font);
        break;
      case ControlKind::kRadioButton:
        c.field = Child(w, WC_BUTTONW, control.caption, BS_RADIOBUTTON | WS_TABSTOP, row.field, control.id, w.font);
        break;
      case ControlKind::kDropDownList: {
        RECT place = row.field;
        place.bottom += kDropDownHeight;  // the list that drops down
        c.field = Child(w, WC_COMBOBOXW, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, place, control.id, w.font);
        break;
      }
      case ControlKind::kTextBox:
        c.field = Child(w, WC_EDITW, control.text,
                        WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP | (control.digitsOnly ? ES_NUMBER : 0), row.field,
                        control.id, w.font);
        break;
      case ControlKind::kSlider:
        c.field = Child(w, TRACKBAR_CLASSW, "", TBS_HORZ | TBS_AUTOTICKS | WS_TABSTOP, row.field, control.id, w.font);
        break;
      case ControlKind::kPushButton:
        c.field = Child(w, WC_BUTTONW, control.caption, BS_PUSHBUTTON | WS_TABSTOP, row.field, control.id, w.font);
        break;
    }
    if (row.captionWidth > 0) {
      RECT place = row.caption;
      place.top += 3;
      c.caption = Child(w, WC_STATICW, control.caption, SS_LEFT | SS_NOPREFIX, place, -1, w.font);
    }
    if (!control.unit.empty()) {
      RECT place = row.unit;
      place.top += 3;
      c.unit = Child(w, WC_STATICW, control.unit, SS_LEFT | SS_NOPREFIX, place, -1, w.font);
    }
    if (c.field != nullptr) w.ids[c.field] = control.id;
    w.controls[control.id] = c;
  }
}

bool BuildWindow(DialogWindow& w) {
  RegisterWindowClass();
  w.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  std::vector<Row> rows;
  std::vector<RECT> groupRects;
  std::vector<std::string> groupNames;
  const SIZE client = LayOut(w, rows, groupRects, groupNames);

  HMENU menu = BuildMenuBar(w);
  // (Not WS_CLIPCHILDREN: a group box paints only its frame and title, and
  // the window's own background must show inside it.)
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT frame = {0, 0, client.cx, client.cy};
  AdjustWindowRectEx(&frame, style, menu != nullptr, exStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  RECT around = {};
  if (w.owner == nullptr || !GetWindowRect(w.owner, &around) || IsRectEmpty(&around)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  }
  const int x = std::max<int>(around.left + (around.right - around.left - width) / 2, 0);
  const int y = std::max<int>(around.top + (around.bottom - around.top - height) / 2, 0);
  w.window = CreateWindowExW(exStyle, kWindowClass, Wide(w.dialog->Title()).c_str(), style, x, y, width, height,
                             w.owner, menu, ThisModule(), nullptr);
  if (w.window == nullptr) {
    if (menu != nullptr) DestroyMenu(menu);
    return false;
  }
  SetWindowLongPtrW(w.window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&w));
  for (size_t g = 0; g < groupRects.size(); ++g) {
    w.groupBoxes.push_back(Child(w, WC_BUTTONW, groupNames[g], BS_GROUPBOX, groupRects[g], -1, w.font));
  }
  CreateControls(w, rows);
  return true;
}

// The modal loop: runs until the dialog has ended. A WM_QUIT seen here ends
// the dialog and is posted again for the loop outside.
void RunModalLoop(DialogWindow& w) {
  MSG message;
  while (!w.dialog->Ended()) {
    BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      w.dialog->End(0);
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) {
      w.dialog->End(0);
      break;
    }
    if (IsDialogMessageW(w.window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace

HWND OwnerWindow(WindowHandle owner) {
  if (owner == nullptr) return nullptr;
  for (DialogWindow* open : OpenWindows()) {
    if (open->dialog->Handle() == owner) return open->window;
  }
  HWND window = static_cast<HWND>(owner);
  return IsWindow(window) ? window : nullptr;
}

int RunDialogWindow(WindowHandle owner, Dialog& dialog) {
  DialogWindow w;
  w.dialog = &dialog;
  w.owner = OwnerWindow(owner);
  dialog.Restart();
  ReportDialogEvent({dialog.Title(), "open", "", 0});
  dialog.Open();
  if (!dialog.Ended() && BuildWindow(w)) {
    OpenWindows().push_back(&w);
    Sync(w);
    // Modal: the owner takes no input while the dialog is open.
    const bool ownerWasEnabled = w.owner != nullptr && IsWindowEnabled(w.owner);
    if (ownerWasEnabled) EnableWindow(w.owner, FALSE);
    ShowWindow(w.window, SW_SHOWNORMAL);
    UpdateWindow(w.window);
    SetTimer(w.window, kEndedTimer, 100, nullptr);
    RunModalLoop(w);
    KillTimer(w.window, kEndedTimer);
    if (ownerWasEnabled) EnableWindow(w.owner, TRUE);
    OpenWindows().pop_back();
    SetWindowLongPtrW(w.window, GWLP_USERDATA, 0);
    DestroyWindow(w.window);  // its menu goes with it
    if (w.owner != nullptr) SetForegroundWindow(w.owner);
  } else if (!dialog.Ended()) {
    dialog.End(0);  // no window could be made
  }
  for (auto& font : w.labelFonts) {
    if (font.second != w.font) DeleteObject(font.second);
  }
  ReportDialogEvent({dialog.Title(), "closed", "", dialog.Result()});
  return dialog.Result();
}

}  // namespace platform::win32
