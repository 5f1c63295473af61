// The front end a process has before its host chooses one: the headless one
// on POSIX, Windows' own boxes in the Win32 build.
#pragma once
#include "platform/user_interface.h"

namespace platform {

UserInterface& DefaultUserInterface();

}  // namespace platform
