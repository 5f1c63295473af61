// The settings dialog in the Windows desktop front end, under Wine on a
// virtual display of its own (with_display.sh starts Xvfb): the dialog is a
// Win32 window built from the dialog's model, its controls show the profile's
// values, a screenshot of the screen shows the window, and clicks and typing
// in the real controls reach the dialog (the master switch enables the boxes,
// the save asks its question as a Windows message box). Skipped without a
// display.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/main_settings.h"
#include "core/module_state.h"
#include "profiles/profile_files.h"
#include "profiles/settings_dialog.h"
#include "voice/sound_sets.h"
#include "platform/dialog.h"
#include "profile_test_fixture.h"
#include "screenshot_png.h"

using namespace orvante;

namespace {

std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  return name;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM list) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

// The shown dialog window with this title, or null.
HWND FindDialog(const wchar_t* windowClass, const wchar_t* title) {
  HWND window = FindWindowW(windowClass, title);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

HWND ChildWithText(HWND window, const std::wstring& windowClass, const std::wstring& text) {
  for (HWND child : Children(window)) {
    if (_wcsicmp(ClassOf(child).c_str(), windowClass.c_str()) == 0 && TextOf(child) == text) return child;
  }
  return nullptr;
}

// The control of a class in the row of the caption label: to its right, its
// middle within the label's height.
HWND ControlBeside(HWND window, const std::wstring& caption, const std::wstring& windowClass) {
  HWND label = ChildWithText(window, L"Static", caption);
  if (label == nullptr) return nullptr;
  RECT labelRect;
  GetWindowRect(label, &labelRect);
  HWND nearest = nullptr;
  LONG nearestLeft = 0;
  for (HWND child : Children(window)) {
    if (_wcsicmp(ClassOf(child).c_str(), windowClass.c_str()) != 0) continue;
    RECT rect;
    GetWindowRect(child, &rect);
    const LONG middle = (rect.top + std::min<LONG>(rect.bottom, rect.top + 30)) / 2;
    if (rect.left < labelRect.right || middle < labelRect.top - 4 || middle > labelRect.bottom + 4) continue;
    if (nearest == nullptr || rect.left < nearestLeft) {
      nearest = child;
      nearestLeft = rect.left;
    }
  }
  return nearest;
}

// Runs steps one after another from a thread timer (dispatched by whichever
// modal loop is running), each once it can be done.
struct Steps {
  std::vector<std::function<bool()>> steps;  // a step answers false to be tried again
  size_t next = 0;
  int tries = 0;
  bool busy = false;  // a step is running (and waits in a loop of its own)
};
std::map<UINT_PTR, Steps*>& Timers() {
  static std::map<UINT_PTR, Steps*> timers;
  return timers;
}
void CALLBACK RunStep(HWND, UINT, UINT_PTR id, DWORD) {
  Steps* s = Timers()[id];
  if (s == nullptr || s->busy || s->next >= s->steps.size()) return;
  s->busy = true;
  if (s->steps[s->next]()) {
    ++s->next;
    s->tries = 0;
  } else if (++s->tries > 400) {
    ADD_FAILURE() << "step " << s->next << " never became possible";
    s->next = s->steps.size();
  }
  s->busy = false;
}
UINT_PTR Start(Steps& steps) {
  UINT_PTR id = SetTimer(nullptr, 0, 50, RunStep);
  Timers()[id] = &steps;
  return id;
}

struct Win32DialogTest : ProfileTest {};

}  // namespace

TEST_F(Win32DialogTest, TheMainDialogShowsTheProfileAndAnswersClicksAndTyping) {
  const char* display = std::getenv("ORVANTE_TEST_DISPLAY");
  if (display == nullptr || *display == '\0') {
    GTEST_SKIP() << "no X display (with_display.sh starts Xvfb around this program when Xvfb is installed)";
  }
  platform::UserInterface* desktop = platform::LoadDesktopUserInterface();
  ASSERT_NE(desktop, nullptr);
  platform::SetUserInterface(desktop);

  InstallSoundSets({"Default"});
  BuildSoundSetList(part.soundSetNames);
  WriteProfile("B738",
               "MasterSwitch=0\r\nMinTakeOffLength=2500\r\nTransitionAltitude=6000\r\nAltSetTolerance=0.07\r\n");
  BuildProfileList(part);
  LoadProfile(part, "B738");
  SetAircraftModel("PMDG 737-800");
  platform::FontDescription font;
  font.height = 20;
  font.weight = 700;
  font.underline = true;
  font.face = "Microsoft Sans Serif";
  g_profilesEnvironment.profileFont = &font;

  const char* buildDir = std::getenv("ORVANTE_BUILD_DIR");
  const std::string shot = std::string(buildDir ? buildDir : ".") + "/tests/settings_dialog_win32.png";
  std::remove(shot.c_str());

  std::vector<uint32_t> flaps;
  SettingsDialog dialog(part, flaps, [] { return std::vector<std::string>{"Speakers", "Headphones"}; });
  HWND window = nullptr;
  Steps steps;
  steps.steps = {
      [&] {
        window = FindDialog(L"OrvanteDialog", L"Orvante");
        return window != nullptr;
      },
      // Half a second for the window to be drawn.
      [&, ticks = 0]() mutable { return ++ticks >= 10; },
      // The window is up, with the profile's values, and on the screen.
      [&] {
        HWND length = ControlBeside(window, L"Minimum Take-off Length:", L"Edit");
        EXPECT_NE(length, nullptr);
        if (length) {
          EXPECT_EQ(TextOf(length), L"2500");
          EXPECT_FALSE(IsWindowEnabled(length)) << "the master switch is off";
        }
        HWND altitude = ControlBeside(window, L"Transition Altitude:", L"Edit");
        HWND tolerance = ControlBeside(window, L"Alt. Set. Tolerance:", L"Edit");
        EXPECT_EQ(altitude ? TextOf(altitude) : L"", L"6000");
        EXPECT_EQ(tolerance ? TextOf(tolerance) : L"", L"0.07");
        HWND masterSwitch = ChildWithText(window, L"Button", L"Master Switch (On/Off)");
        EXPECT_NE(masterSwitch, nullptr);
        if (masterSwitch) EXPECT_EQ(SendMessageW(masterSwitch, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        HWND devices = ControlBeside(window, L"Audio Output Device:", L"ComboBox");
        EXPECT_NE(devices, nullptr);
        if (devices) {
          EXPECT_EQ(SendMessageW(devices, CB_GETCOUNT, 0, 0), 2);
          EXPECT_TRUE(IsWindowEnabled(devices)) << "the device list does not follow the master switch";
        }
        EXPECT_NE(ChildWithText(window, L"Button", L"Advisories"), nullptr) << "the group box of the advisories";

        // The profile's name in the bold, underlined 20-pixel font.
        HWND name = ChildWithText(window, L"Static", L"B738");
        EXPECT_NE(name, nullptr);
        if (name) {
          LOGFONTW shown = {};
          GetObjectW(reinterpret_cast<HFONT>(SendMessageW(name, WM_GETFONT, 0, 0)), sizeof shown, &shown);
          EXPECT_EQ(shown.lfWeight, 700);
          EXPECT_TRUE(shown.lfUnderline);
          EXPECT_EQ(std::abs(shown.lfHeight), 20);
          EXPECT_STREQ(shown.lfFaceName, L"Microsoft Sans Serif");
        }
        // The menu bar: Profiles, Systems Test, About.
        HMENU menu = GetMenu(window);
        EXPECT_NE(menu, nullptr);
        if (menu) {
          std::vector<std::wstring> entries;
          for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[64] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
            entries.push_back(text);
          }
          EXPECT_EQ(entries, (std::vector<std::wstring>{L"Profiles", L"Systems Test", L"About"}));
        }

        // A photograph of the screen: the window's area holds light and dark;
        // the empty screen is black.
        testshot::Screen screen = testshot::CaptureScreen();
        EXPECT_TRUE(testshot::WritePng(shot, screen)) << shot;
        RECT rect;
        GetWindowRect(window, &rect);
        int lit = 0, dark = 0;
        for (LONG y = std::max<LONG>(rect.top, 0); y < std::min<LONG>(rect.bottom, screen.height); y += 3)
          for (LONG x = std::max<LONG>(rect.left, 0); x < std::min<LONG>(rect.right, screen.width); x += 3) {
            const uint8_t* p = &screen.rgb[(static_cast<size_t>(y) * screen.width + x) * 3];
            (p[0] + p[1] + p[2] > 600 ? lit : dark) += 1;
          }
        EXPECT_GT(lit, 1000) << "the window does not show on the screen";
        EXPECT_GT(dark, 100) << "the window shows no text";
        return true;
      },
      // A click on the master switch enables the boxes; typing reaches the dialog.
      [&] {
        SendMessageW(ChildWithText(window, L"Button", L"Master Switch (On/Off)"), BM_CLICK, 0, 0);
        HWND length = ControlBeside(window, L"Minimum Take-off Length:", L"Edit");
        EXPECT_TRUE(IsWindowEnabled(length));
        EXPECT_EQ(SendMessageW(ChildWithText(window, L"Button", L"Master Switch (On/Off)"), BM_GETCHECK, 0, 0),
                  BST_CHECKED);
        SetWindowTextW(length, L"3100");
        SendMessageW(ChildWithText(window, L"Button", L"Close and Save Settings"), BM_CLICK, 0, 0);
        return true;  // the click returns once the question below is answered
      },
  };
  // The save's question about linking comes as a Windows message box; answer it No.
  Steps answer;
  answer.steps = {[&] {
    HWND question = FindDialog(L"#32770", L"Orvante");
    if (question == nullptr) return false;
    EXPECT_EQ(GetWindow(question, GW_OWNER), window) << "the dialog owns its question";
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    return true;
  }};
  UINT_PTR stepsTimer = Start(steps);
  UINT_PTR answerTimer = Start(answer);

  EXPECT_EQ(platform::RunDialog(nullptr, dialog), 1);
  KillTimer(nullptr, stepsTimer);
  KillTimer(nullptr, answerTimer);
  EXPECT_EQ(steps.next, steps.steps.size());
  EXPECT_EQ(answer.next, answer.steps.size());
  EXPECT_EQ(FindWindowW(L"OrvanteDialog", nullptr), nullptr) << "the window is gone";
  EXPECT_NE(ReadProfile("B738").find("MasterSwitch=1\r\n"), std::string::npos);
  EXPECT_NE(ReadProfile("B738").find("MinTakeOffLength=3100\r\n"), std::string::npos);
  EXPECT_EQ(ReadProfile("B738").find("Model.0"), std::string::npos);
  platform::SetUserInterface(nullptr);
  g_profilesEnvironment.profileFont = nullptr;
}
