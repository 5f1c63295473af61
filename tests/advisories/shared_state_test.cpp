// The fields the simulator's thread shares with the worker while cycles run:
// it writes `muted` from "ORVA_Mute" and profile switches, and reads
// `previousAlertWord` for "ORVA_Alert". Run under ThreadSanitizer this shows
// the sharing race-free; in any build it shows the word is only ever seen whole.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "advisories/alert_word.h"
#include "situation_harness.h"

namespace orvante {
namespace {

TEST(SharedState, PanelThreadAlongsideCycles) {
  testing::SituationHarness h;
  const RunwayRecord* r = h.AddRunway("270", "090", 47.0, 8.0, 270, 8000, 150);
  h.sample.onGround = 1;
  h.sample.groundSpeedKt = 5;

  std::atomic<bool> done{false};
  std::set<uint32_t> seen;
  std::thread panel([&] {
    uint32_t i = 0;
    while (!done.load()) {
      h.state.muted = i & 1;
      h.profile.AppRwyOnGnd = (i >> 1) & 1;
      seen.insert(h.state.previousAlertWord.load());
      ++i;
    }
  });
  for (int cycle = 0; cycle < 2000; ++cycle) {
    // Alternately lined up on 27 and taxiing towards it from the side.
    bool onRunway = cycle % 2 == 0;
    h.PlaceAt(testing::RunwayPoint(*r, 0, onRunway ? 0 : -250), 0, onRunway ? 270 : 0);
    h.Cycle();
  }
  done = true;
  panel.join();

  for (uint32_t word : seen) {
    EXPECT_TRUE(word == 0 || word == AlertOnRunway || word == AlertAppRwyOnGnd) << word;
  }
  EXPECT_EQ(h.state.previousAlertWord.load(), h.state.alertWord);
}

}  // namespace
}  // namespace orvante
