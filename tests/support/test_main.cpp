// The main of every test program: gives the environment the tests expect
// (built-in defaults that the caller's environment overrides), then runs the
// tests. SDL plays through its dummy driver and leaves signals alone, and the
// tests find the build and source trees.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifdef _WIN32
#include "platform/user_interface.h"
#endif

namespace {

void SetDefault(const char* name, const char* value) {
#ifdef _WIN32
  if (std::getenv(name) == nullptr) _putenv_s(name, value);
#else
  setenv(name, value, 0);
#endif
}

void Unset(const char* name) {
#ifdef _WIN32
  _putenv_s(name, "");
#else
  unsetenv(name);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  SetDefault("SDL_AUDIODRIVER", "dummy");
  SetDefault("SDL_NO_SIGNAL_HANDLERS", "1");
  SetDefault("ORVANTE_BUILD_DIR", ORVANTE_TEST_BUILD_DIR);
  SetDefault("ORVANTE_SOURCE_DIR", ORVANTE_TEST_SOURCE_DIR);
  // Programs the tests start run headless: a desktop of the person running
  // the tests must not pop up boxes that wait for an answer. (Tests of the
  // desktop front end start a display of their own.)
  Unset("DISPLAY");
  Unset("WAYLAND_DISPLAY");
#ifdef _WIN32
  // A Windows process shows Windows' own boxes unless told otherwise: tests
  // record them instead, and so do the programs they start.
  SetDefault("ORVANTE_HEADLESS", "1");
  platform::SetUserInterface(&platform::BuiltInHeadlessUserInterface());
#endif
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
