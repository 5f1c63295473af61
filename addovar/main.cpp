// addovar: registers the Orvante module in FSX-SE's dll.xml ("-INSTALL") or
// removes it ("-UN_INSTALL"). Started by the add-on's installer and
// uninstaller; talks to the user through message boxes only and always ends
// with exit code 0.
#include <cstdio>
#include <optional>
#include <platform/user_interface.h>
#include <string>

#include "registration.h"

int main(int argc, char** argv) {
  // Without a desktop front end the boxes would only be recorded; echo each to
  // standard error so that the person or script running the installer sees it.
  platform::BuiltInHeadlessUserInterface().SetListener([](const platform::MessageBoxRecord& box) {
    std::fprintf(stderr, "[%s] %s\n", box.caption.c_str(), box.text.c_str());
  });
  std::optional<std::string> argument;
  if (argc > 1) argument = argv[1];
  return addovar::RunRegistration(argument);
}
