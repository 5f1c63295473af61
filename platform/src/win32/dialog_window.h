// Dialogs (platform/dialog.h) as real Win32 windows: the window is built once
// from the dialog's control descriptions, every change the user makes is
// written back into the descriptions before the dialog is called, and after
// each call every control is brought in line with the descriptions again.
#pragma once
#include <windows.h>

#include "platform/dialog.h"

namespace platform::win32 {

// Runs the dialog modally in a window of its own, owned by owner (a window,
// or a dialog object whose window is open), and returns its result.
int RunDialogWindow(WindowHandle owner, Dialog& dialog);

// The window an owner names: the window of an open dialog object, a window
// itself, or null for anything else.
HWND OwnerWindow(WindowHandle owner);

}  // namespace platform::win32
