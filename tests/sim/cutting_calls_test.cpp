// The transcript's "cut" flag: cues of a call that cuts in, told from the
// queue trace, whether or not the queue was playing, and never a call queued
// after the mark in the same instant.
#include "cutting_calls.h"

#include <gtest/gtest.h>

#include <vector>

#include "vscaudio/vscaudio.h"

namespace sim {
namespace {

class CuttingCallsTest : public ::testing::Test {
 protected:
  CuttingCalls calls;

  std::vector<bool> Queue(int64_t at, std::initializer_list<const char*> cues) {
    std::vector<bool> cut;
    for (const char* cue : cues) cut.push_back(calls.OnTrace(at, VSC_AUDIO_TRACE_CUE_ADDED, cue));
    return cut;
  }
  void Asks(int64_t at, int32_t answer) {
    EXPECT_FALSE(calls.OnTrace(at, VSC_AUDIO_TRACE_IS_PLAYING, ""));
    if (answer) {
      EXPECT_FALSE(calls.OnTrace(at, VSC_AUDIO_TRACE_QUE_EMPTIED, ""));
    }
  }
};

TEST_F(CuttingCallsTest, AMarksCuesAreCutWhetherOrNotTheQueueWasPlaying) {
  EXPECT_EQ(Queue(1000, {"onrwy28l"}), (std::vector<bool>{false}));
  Asks(2000, 1);
  EXPECT_EQ(Queue(2000, {"3", "1000", "feet", "remaining"}), (std::vector<bool>(4, true)));
  Asks(3000, 0);
  EXPECT_EQ(Queue(3000, {"9", "100", "meters", "remaining"}), (std::vector<bool>(4, true)));
}

TEST_F(CuttingCallsTest, CallsBeforeAndAfterTheMarkInTheSameInstantAreNotCut) {
  // A runway-end call before the mark, a long-landing call after it, all in
  // one cycle of the unit.
  EXPECT_EQ(Queue(5000, {"1", "100", "feet", "remaining"}), (std::vector<bool>(4, false)));
  Asks(5000, 1);
  EXPECT_EQ(Queue(5000, {"5", "100", "feet", "remaining"}), (std::vector<bool>(4, true)));
  EXPECT_EQ(Queue(5000, {"longlanding", "remaining"}), (std::vector<bool>{false, false}));
}

TEST_F(CuttingCallsTest, AQuestionNeverReachesIntoALaterInstant) {
  Asks(7000, 0);
  EXPECT_EQ(Queue(7001, {"toofastx2"}), (std::vector<bool>{false}));
  EXPECT_FALSE(calls.OnTrace(7001, VSC_AUDIO_TRACE_CUE_REFUSED, "remaining"));
}

TEST_F(CuttingCallsTest, ACueTheLibraryRefusedStillCountsForItsCall) {
  Asks(9000, 1);
  EXPECT_TRUE(calls.OnTrace(9000, VSC_AUDIO_TRACE_CUE_REFUSED, "4"));
  EXPECT_EQ(Queue(9000, {"1000", "remaining", "flapsflaps"}), (std::vector<bool>{true, true, false}));
  // Started and stopped cues are no queueing at all.
  EXPECT_FALSE(calls.OnTrace(9000, VSC_AUDIO_TRACE_CUE_STARTED, "4"));
}

}  // namespace
}  // namespace sim
