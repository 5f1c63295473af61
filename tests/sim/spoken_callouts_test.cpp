// Callouts reported as spoken from the audio library's queue trace: one per
// call of the unit, when its first cue starts, never for cues dropped from
// the queue or played outside it.
#include "spoken_callouts.h"

#include <gtest/gtest.h>

#include "vscaudio/vscaudio.h"

namespace sim {
namespace {

struct Heard {
  double t;
  std::vector<std::string> cues;
  bool operator==(const Heard&) const = default;
};

class SpokenCalloutsTest : public ::testing::Test {
 protected:
  SpokenCallouts spoken{[this](double t, const std::vector<std::string>& cues) { heard.push_back({t, cues}); }};
  std::vector<Heard> heard;

  void Added(int64_t at, std::initializer_list<const char*> cues) {
    for (const char* cue : cues) spoken.OnTrace(at, VSC_AUDIO_TRACE_CUE_ADDED, cue, 0);
  }
  void Plays(int64_t at, const char* cue, int64_t until) {
    spoken.OnTrace(at, VSC_AUDIO_TRACE_CUE_STARTED, cue, 1);
    spoken.OnTrace(until, VSC_AUDIO_TRACE_CUE_STOPPED, cue, 0);
  }
};

TEST_F(SpokenCalloutsTest, OneCalloutPerCallWhenItsFirstCueStarts) {
  Added(1000000, {"3", "1000", "feet", "remaining"});
  EXPECT_TRUE(heard.empty()) << "queued is not yet spoken";
  EXPECT_TRUE(spoken.Playing());
  Plays(1040000, "3", 1400000);
  Added(1300000, {"onrwy28l"});  // a second call while the first plays
  Plays(1400000, "1000", 1800000);
  Plays(1800000, "feet", 2100000);
  Plays(2100000, "remaining", 2600000);
  Plays(2600000, "onrwy28l", 3600000);
  EXPECT_EQ(heard, (std::vector<Heard>{{1.04, {"3", "1000", "feet", "remaining"}}, {2.6, {"onrwy28l"}}}));
  EXPECT_FALSE(spoken.Playing());
}

TEST_F(SpokenCalloutsTest, CueCuttingInDropsWhatWasWaiting) {
  Added(0, {"onrwy28l"});
  Added(0, {"flapsflaps"});  // same instant: the same announcement
  spoken.OnTrace(20000, VSC_AUDIO_TRACE_CUE_STARTED, "onrwy28l", 1);
  Added(500000, {"apprwy01r"});
  // A mark cuts in: the queue is emptied, and the playing cue stopped with
  // it, without a trace of its own.
  spoken.OnTrace(600000, VSC_AUDIO_TRACE_IS_PLAYING, "", 1);
  spoken.OnTrace(600000, VSC_AUDIO_TRACE_QUE_EMPTIED, "", 0);
  EXPECT_FALSE(spoken.Playing());
  Added(600000, {"2", "1000", "feet", "remaining"});
  Plays(640000, "2", 900000);
  Plays(900000, "1000", 1200000);
  Plays(1200000, "feet", 1500000);
  Plays(1500000, "remaining", 2000000);
  EXPECT_EQ(heard,
            (std::vector<Heard>{{0.02, {"onrwy28l", "flapsflaps"}}, {0.64, {"2", "1000", "feet", "remaining"}}}));
  EXPECT_FALSE(spoken.Playing()) << "nothing left playing after a cut";
}

TEST_F(SpokenCalloutsTest, CuesThatCannotStartOrWereNotQueuedAreNotCallouts) {
  Added(0, {"nosuchcue", "onrwy09"});
  spoken.OnTrace(30000, VSC_AUDIO_TRACE_CUE_STARTED, "nosuchcue", 0);  // could not be started
  Plays(30000, "onrwy09", 900000);
  Plays(2000000, "onrwy09", 2900000);  // played again, not through the queue
  EXPECT_EQ(heard, (std::vector<Heard>{{0.03, {"nosuchcue", "onrwy09"}}}));
}

}  // namespace
}  // namespace sim
