// The settings dialog in the GTK front end, on a virtual display of its own
// (Xvfb): the window shows the profile's values, a screenshot of the screen
// shows the window, and clicks and typing in the real widgets reach the
// dialog (the master switch enables the boxes, the save asks its question as
// a GTK message dialog). Skipped where Xvfb is not installed.
#include <gtk/gtk.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/main_settings.h"
#include "core/module_state.h"
#include "profiles/profile_files.h"
#include "profiles/settings_dialog.h"
#include "voice/sound_sets.h"
#include "platform/dialog.h"
#include "platform/gtk_user_interface.h"
#include "profile_test_fixture.h"

using namespace orvante;

namespace {

// An Xvfb server on the first free display, stopped at the end. One serves
// the whole process: GTK ends a process whose display goes away.
class VirtualDisplay {
 public:
  bool Start() {
    if (access("/usr/bin/Xvfb", X_OK) != 0) return false;
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid_ = fork();
    if (pid_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlives the test, however it ends
      close(fds[0]);
      std::string fd = std::to_string(fds[1]);
      execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // Once ready, Xvfb writes its display number and a line end (in two
    // writes: the pipe must stay open for the second).
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) return false;
    display_ = ":" + number;
    setenv("DISPLAY", display_.c_str(), 1);
    return true;
  }
  ~VirtualDisplay() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  const std::string& Name() const { return display_; }

  // The process's display, started at the first call; null without Xvfb.
  static const VirtualDisplay* Shared() {
    static VirtualDisplay display;
    static const bool started = display.Start();
    if (started) setenv("DISPLAY", display.display_.c_str(), 1);
    return started ? &display : nullptr;
  }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

void Collect(GtkWidget* widget, std::vector<GtkWidget*>& out) {
  out.push_back(widget);
  if (GTK_IS_CONTAINER(widget)) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* c = children; c; c = c->next) Collect(GTK_WIDGET(c->data), out);
    g_list_free(children);
  }
}

// The shown toplevel window with this title, or null.
GtkWindow* FindWindowU8(const char* title) {
  GtkWindow* found = nullptr;
  GList* windows = gtk_window_list_toplevels();
  for (GList* w = windows; w; w = w->next) {
    const char* t = gtk_window_get_title(GTK_WINDOW(w->data));
    if (t && std::string(t) == title && gtk_widget_get_visible(GTK_WIDGET(w->data))) found = GTK_WINDOW(w->data);
  }
  g_list_free(windows);
  return found;
}

// The entry in the same row as the label with this caption.
GtkWidget* EntryBeside(GtkWindow* window, const std::string& caption) {
  std::vector<GtkWidget*> all;
  Collect(GTK_WIDGET(window), all);
  for (GtkWidget* widget : all) {
    if (!GTK_IS_LABEL(widget) || caption != gtk_label_get_text(GTK_LABEL(widget))) continue;
    std::vector<GtkWidget*> row;
    Collect(gtk_widget_get_parent(widget), row);
    for (GtkWidget* w : row)
      if (GTK_IS_ENTRY(w)) return w;
  }
  return nullptr;
}

GtkWidget* LabelWithText(GtkWindow* window, const std::string& text) {
  std::vector<GtkWidget*> all;
  Collect(GTK_WIDGET(window), all);
  for (GtkWidget* widget : all)
    if (GTK_IS_LABEL(widget) && text == gtk_label_get_text(GTK_LABEL(widget))) return widget;
  return nullptr;
}

// The message dialog on the screen, or null.
GtkDialog* FindMessageDialog() {
  GtkDialog* found = nullptr;
  GList* windows = gtk_window_list_toplevels();
  for (GList* w = windows; w; w = w->next)
    if (GTK_IS_MESSAGE_DIALOG(w->data) && gtk_widget_get_visible(GTK_WIDGET(w->data))) found = GTK_DIALOG(w->data);
  g_list_free(windows);
  return found;
}

GtkWidget* ButtonWithLabel(GtkWindow* window, const std::string& caption) {
  std::vector<GtkWidget*> all;
  Collect(GTK_WIDGET(window), all);
  for (GtkWidget* widget : all)
    if (GTK_IS_BUTTON(widget) && gtk_button_get_label(GTK_BUTTON(widget)) &&
        caption == gtk_button_get_label(GTK_BUTTON(widget)))
      return widget;
  return nullptr;
}

// Runs steps one after another from the main loop, each once its window is there.
struct Steps {
  std::vector<std::function<bool()>> steps;  // a step answers false to be tried again
  size_t next = 0;
  int tries = 0;
};
gboolean RunStep(gpointer data) {
  auto* s = static_cast<Steps*>(data);
  if (s->next >= s->steps.size()) return G_SOURCE_REMOVE;
  if (s->steps[s->next]()) {
    ++s->next;
    s->tries = 0;
  } else if (++s->tries > 400) {
    ADD_FAILURE() << "step " << s->next << " never became possible";
    s->next = s->steps.size();
  }
  return G_SOURCE_CONTINUE;
}

struct GtkDialogTest : ProfileTest {};

TEST(DesktopFrontEnd, LoadsFromBesideThePlatformLibraryOnlyWithADisplay) {
#if defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "GTK and GLib are not built for ThreadSanitizer; their own threads would be reported";
#endif
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  std::string why;
  EXPECT_EQ(platform::LoadDesktopUserInterface(&why), nullptr);
  EXPECT_EQ(why, "no display");

  if (VirtualDisplay::Shared() == nullptr) GTEST_SKIP() << "Xvfb is not available";
  platform::UserInterface* ui = platform::LoadDesktopUserInterface(&why);
  ASSERT_NE(ui, nullptr) << why;
  platform::UnloadDesktopUserInterface(ui);
}

TEST_F(GtkDialogTest, TheMainDialogShowsTheProfileAndAnswersClicksAndTyping) {
#if defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "GTK and GLib are not built for ThreadSanitizer; their own threads would be reported";
#endif
  const VirtualDisplay* display = VirtualDisplay::Shared();
  if (display == nullptr) GTEST_SKIP() << "Xvfb is not available";
  setenv("LC_ALL", "C.UTF-8", 1);  // a locale of the user's that is not "C"
  std::unique_ptr<platform::UserInterface> ui = platform::CreateGtkUserInterface();
  ASSERT_NE(ui, nullptr) << "GTK cannot open " << display->Name();
  // Numbers keep their decimal point whatever the user's locale.
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  platform::SetUserInterface(ui.get());

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
  const std::string shot = std::string(buildDir ? buildDir : ".") + "/tests/settings_dialog_gtk.png";
  std::remove(shot.c_str());

  std::vector<uint32_t> flaps;
  SettingsDialog dialog(part, flaps, [] { return std::vector<std::string>{"Speakers", "Headphones"}; });
  GtkWindow* window = nullptr;
  Steps steps;
  steps.steps = {
      [&] {
        window = FindWindowU8("Orvante");
        return window != nullptr && gtk_widget_get_mapped(GTK_WIDGET(window));
      },
      // Half a second for the window to be drawn.
      [&, ticks = 0]() mutable { return ++ticks >= 10; },
      // The window is up, with the profile's values, and on the screen.
      [&] {
        GtkWidget* length = EntryBeside(window, "Minimum Take-off Length:");
        EXPECT_NE(length, nullptr);
        if (length) {
          EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(length)), "2500");
          EXPECT_FALSE(gtk_widget_is_sensitive(length));  // the master switch is off
        }
        // The profile's name in the bold, underlined 20-pixel font.
        GtkWidget* name = LabelWithText(window, "B738");
        PangoAttrList* attributes = name ? gtk_label_get_attributes(GTK_LABEL(name)) : nullptr;
        EXPECT_NE(attributes, nullptr);
        if (attributes) {
          PangoAttrIterator* it = pango_attr_list_get_iterator(attributes);
          auto value = [it](PangoAttrType type) {
            PangoAttribute* a = pango_attr_iterator_get(it, type);
            return a ? reinterpret_cast<PangoAttrInt*>(a)->value : -1;
          };
          EXPECT_EQ(value(PANGO_ATTR_WEIGHT), PANGO_WEIGHT_BOLD);
          EXPECT_EQ(value(PANGO_ATTR_UNDERLINE), PANGO_UNDERLINE_SINGLE);
          EXPECT_EQ(value(PANGO_ATTR_ABSOLUTE_SIZE), 20 * PANGO_SCALE);
          pango_attr_iterator_destroy(it);
        }
        GtkWidget* altitude = EntryBeside(window, "Transition Altitude:");
        GtkWidget* tolerance = EntryBeside(window, "Alt. Set. Tolerance:");
        EXPECT_STREQ(altitude ? gtk_entry_get_text(GTK_ENTRY(altitude)) : "", "6000");
        EXPECT_STREQ(tolerance ? gtk_entry_get_text(GTK_ENTRY(tolerance)) : "", "0.07");

        GdkWindow* root = gdk_get_default_root_window();
        GdkPixbuf* screen =
            gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root), gdk_window_get_height(root));
        EXPECT_NE(screen, nullptr);
        if (screen) {
          EXPECT_TRUE(gdk_pixbuf_save(screen, shot.c_str(), "png", nullptr, nullptr));
          // The window's area holds more than one colour; the empty screen is black.
          int x = 0, y = 0;
          gdk_window_get_origin(gtk_widget_get_window(GTK_WIDGET(window)), &x, &y);
          const guchar* pixels = gdk_pixbuf_get_pixels(screen);
          const int stride = gdk_pixbuf_get_rowstride(screen), channels = gdk_pixbuf_get_n_channels(screen);
          int lit = 0, dark = 0;
          for (int py = y; py < y + gtk_widget_get_allocated_height(GTK_WIDGET(window)); py += 3)
            for (int px = x; px < x + gtk_widget_get_allocated_width(GTK_WIDGET(window)); px += 3) {
              const guchar* p = pixels + py * stride + px * channels;
              (p[0] + p[1] + p[2] > 600 ? lit : dark) += 1;
            }
          EXPECT_GT(lit, 1000) << "the window does not show on the screen";
          EXPECT_GT(dark, 100) << "the window shows no text";
          g_object_unref(screen);
        }
        return true;
      },
      // A click on the master switch enables the boxes; typing reaches the dialog.
      [&] {
        gtk_button_clicked(GTK_BUTTON(ButtonWithLabel(window, "Master Switch (On/Off)")));
        GtkWidget* length = EntryBeside(window, "Minimum Take-off Length:");
        EXPECT_TRUE(gtk_widget_is_sensitive(length));
        gtk_entry_set_text(GTK_ENTRY(length), "3100");
        gtk_button_clicked(GTK_BUTTON(ButtonWithLabel(window, "Close and Save Settings")));
        return true;  // the click returns once the question below is answered
      },
  };
  // The save's question about linking comes as a GTK dialog; answer it No.
  Steps answer;
  answer.steps = {[&] {
    GtkDialog* question = FindMessageDialog();
    if (question == nullptr) return false;
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(question)), "Orvante");
    gtk_dialog_response(question, platform::kIdNo);
    return true;
  }};
  g_timeout_add(50, RunStep, &steps);
  g_timeout_add(50, RunStep, &answer);

  EXPECT_EQ(platform::RunDialog(nullptr, dialog), 1);
  EXPECT_EQ(steps.next, steps.steps.size());
  EXPECT_EQ(answer.next, answer.steps.size());
  EXPECT_NE(ReadProfile("B738").find("MasterSwitch=1\r\n"), std::string::npos);
  EXPECT_NE(ReadProfile("B738").find("MinTakeOffLength=3100\r\n"), std::string::npos);
  EXPECT_EQ(ReadProfile("B738").find("Model.0"), std::string::npos);
  g_source_remove_by_user_data(&steps);
  g_source_remove_by_user_data(&answer);
  platform::SetUserInterface(nullptr);
  g_profilesEnvironment.profileFont = nullptr;
}

}  // namespace

// Fontconfig, GLib and D-Bus keep caches for the life of the process; what
// they hold at exit is not the front end's.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libglib-2.0.so\nleak:libdbus-1.so\nleak:libgobject-2.0.so\n";
}
