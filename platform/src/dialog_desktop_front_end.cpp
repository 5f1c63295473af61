// Loading the desktop front end at run time.
#include <cstdlib>

#include "default_front_end.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/process.h"

namespace platform {
namespace {

constexpr char kLibraryName[] = "liborvante_gtk_ui.so";

using CreateFunction = UserInterface* (*)();
using DestroyFunction = void (*)(UserInterface*);

bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

std::string LibraryPath() {
  std::string self = GetModuleFileNameU8(reinterpret_cast<const void*>(&LoadDesktopUserInterface));
  size_t slash = self.find_last_of('/');
  return slash == std::string::npos ? kLibraryName : self.substr(0, slash + 1) + kLibraryName;
}

}  // namespace

// Until the host chooses, boxes are recorded and answered with their default
// button.
UserInterface& DefaultUserInterface() { return BuiltInHeadlessUserInterface(); }

UserInterface* LoadDesktopUserInterface(std::string* why) {
  auto fail = [why](std::string reason) -> UserInterface* {
    if (why) *why = std::move(reason);
    return nullptr;
  };
  if (!HasDisplay()) return fail("no display");
  const std::string path = LibraryPath();
  ModuleHandle library = LoadLibraryU8(path);
  if (library == nullptr) return fail("cannot load " + path + ": " + LastLoaderError());
  auto create = reinterpret_cast<CreateFunction>(GetProcAddress(library, "orvante_create_gtk_user_interface"));
  if (create == nullptr) return fail(path + " has no orvante_create_gtk_user_interface");
  UserInterface* ui = create();
  if (ui == nullptr) return fail("GTK cannot open the display");
  // The library stays loaded: GTK cannot be unloaded once it has started.
  return ui;
}

void UnloadDesktopUserInterface(UserInterface* ui) {
  if (ui == nullptr) return;
  ModuleHandle library = LoadLibraryU8(LibraryPath());
  auto destroy = library
                     ? reinterpret_cast<DestroyFunction>(GetProcAddress(library, "orvante_destroy_gtk_user_interface"))
                     : nullptr;
  if (destroy) destroy(ui);
}

}  // namespace platform
