// The interactive desktop front end over GTK 3. Dialogs (platform/dialog.h)
// become modal windows laid out by their control groups, owned by the window
// of the dialog that opened them; message boxes and questions become GTK
// message dialogs; shell "open" goes to the desktop's default application.
//
// GTK is single-threaded: create the front end, and run every box and dialog,
// on the one thread that shows them (the simulator's thread).
#pragma once
#include <memory>

#include "platform/user_interface.h"

namespace platform {

// The front end, or null when GTK cannot open a display.
std::unique_ptr<UserInterface> CreateGtkUserInterface();

}  // namespace platform

// The same for hosts that load the library at run time (LoadLibraryU8 of
// "liborvante_gtk_ui.so", then GetProcAddress): null without a display; the
// front end is released with orvante_destroy_gtk_user_interface.
extern "C" platform::UserInterface* orvante_create_gtk_user_interface();
extern "C" void orvante_destroy_gtk_user_interface(platform::UserInterface* ui);
