// The main of every test program: gives the environment the tests expect
// (built-in defaults that the caller's environment overrides), then runs the
// tests. SDL plays through its dummy driver and leaves signals alone, and the
// tests find the build and source trees.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("SDL_NO_SIGNAL_HANDLERS", "1", 0);
  setenv("ORVANTE_BUILD_DIR", ORVANTE_TEST_BUILD_DIR, 0);
  setenv("ORVANTE_SOURCE_DIR", ORVANTE_TEST_SOURCE_DIR, 0);
  // Programs the tests start run headless: a desktop of the person running
  // the tests must not pop up boxes that wait for an answer. (Tests of the
  // desktop front end start a display of their own.)
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
