// The play queue, sound lists and priority modes through the C interface. The
// order in which cues start is read from the queue trace.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "audio_test_support.h"
#include "platform/process.h"
#include "vscaudio/vscaudio.h"

using namespace audiotest;
using Names = std::vector<std::string>;

namespace {

class PlayQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(set_.Initialize(), 1);
    stream_ = VSC_AUDIO_CREATE_STREAM(0);
    ASSERT_NE(stream_, nullptr);
  }
  void TearDown() override {
    VSC_AUDIO_EMPTY_QUE();
    VSC_AUDIO_DESTROY_STREAM(stream_);
  }

  void* List(const Names& cues) {
    void* list = VSC_AUDIO_CREATE_LIST();
    for (const auto& cue : cues) VSC_AUDIO_APPEND_LIST(list, stream_, cue.c_str(), 0, 0, 0, 1);
    return list;
  }

  bool WaitUntilIdle() {
    return WaitFor([] { return VSC_AUDIO_IS_QUE_PLAYING() == 0; });
  }

  bool WaitForStart(const std::string& cue) {
    return WaitFor([&] {
      for (const auto& name : trace_.Names(VSC_AUDIO_TRACE_CUE_STARTED)) {
        if (name == cue) return true;
      }
      return false;
    });
  }

  TestSoundSet set_{StandardCues()};
  TraceRecorder trace_;
  void* stream_ = nullptr;
};

}  // namespace

TEST_F(PlayQueueTest, QueuedCuesPlayOneAfterTheOtherAndTheQueueReportsPlayingUntilTheEnd) {
  VSC_AUDIO_ADD_TO_QUE(stream_, "a", 0, 0, 0, 1);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 1);
  VSC_AUDIO_ADD_TO_QUE(stream_, "b", 0, 0, 0, 1);
  ASSERT_TRUE(WaitUntilIdle());

  // Never together: each cue stops before the next one starts.
  std::vector<std::pair<int32_t, std::string>> sequence;
  for (const auto& op : trace_.Operations()) {
    if (op.operation == VSC_AUDIO_TRACE_CUE_STARTED || op.operation == VSC_AUDIO_TRACE_CUE_STOPPED) {
      sequence.emplace_back(op.operation, op.cue);
    }
  }
  std::vector<std::pair<int32_t, std::string>> expected = {{VSC_AUDIO_TRACE_CUE_STARTED, "a"},
                                                           {VSC_AUDIO_TRACE_CUE_STOPPED, "a"},
                                                           {VSC_AUDIO_TRACE_CUE_STARTED, "b"},
                                                           {VSC_AUDIO_TRACE_CUE_STOPPED, "b"}};
  EXPECT_EQ(sequence, expected);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 0);
}

TEST_F(PlayQueueTest, UnknownCueNamesAndRefusedStreamsAreSkipped) {
  void* list = VSC_AUDIO_CREATE_LIST();
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(list, stream_, "a", 0, 0, 0, 1), 1);
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(list, stream_, "nosuchcue", 0, 0, 0, 1), 2);
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(list, stream_, "c", 0, 0, 0, 1), 3);
  VSC_AUDIO_ADD_LIST_TO_QUE(list);
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(trace_.Names(VSC_AUDIO_TRACE_CUE_STARTED), (Names{"a", "c"}));
  EXPECT_EQ(trace_.Names(VSC_AUDIO_TRACE_CUE_REFUSED), (Names{"nosuchcue"}));

  // A single unknown cue leaves the queue empty.
  VSC_AUDIO_ADD_TO_QUE(stream_, "nosuchcue", 0, 0, 0, 1);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 0);
  // So does a cue on a handle that is no stream.
  VSC_AUDIO_ADD_TO_QUE(list, "a", 0, 0, 0, 1);
  VSC_AUDIO_ADD_TO_QUE(reinterpret_cast<void*>(0x1234), "a", 0, 0, 0, 1);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 0);
  VSC_AUDIO_DESTROY_LIST(list);
}

TEST_F(PlayQueueTest, AListQueuedTwicePlaysTwiceAndKeepsItsEntries) {
  void* list = List({"a", "b"});
  VSC_AUDIO_ADD_LIST_TO_QUE(list);
  VSC_AUDIO_ADD_LIST_TO_QUE(list);
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(trace_.Names(VSC_AUDIO_TRACE_CUE_STARTED), (Names{"a", "b", "a", "b"}));
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(list, stream_, "c", 0, 0, 0, 1), 3) << "the list still holds its two entries";
  VSC_AUDIO_DESTROY_LIST(list);
}

TEST_F(PlayQueueTest, ListPositionsCountFromOneAndRestartAfterClearing) {
  void* list = VSC_AUDIO_CREATE_LIST();
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(list, stream_, "a", 0, 0, 0, 1), 1);
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(list, stream_, "b", 0, 0, 0, 1), 2);
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(list, stream_, "c", 0, 0, 0, 1), 3);
  EXPECT_EQ(VSC_AUDIO_CLEAR_LIST(list), 1);
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(list, stream_, "a", 0, 0, 0, 1), 1);

  platform::SetLastError(0);
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(list, stream_, nullptr, 0, 0, 0, 1), 0);
  EXPECT_EQ(platform::GetLastError(), 13u);
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(list, stream_, "b", 0, 0, 0, 1), 2) << "the failed append changed nothing";
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(list, nullptr, "b", 0, 0, 0, 1), 0);
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(stream_, stream_, "b", 0, 0, 0, 1), 0) << "a stream is no list";
  VSC_AUDIO_DESTROY_LIST(list);
}

TEST_F(PlayQueueTest, ReleasedAndForeignListHandlesAreRefused) {
  void* list = List({"a"});
  VSC_AUDIO_DESTROY_LIST(list);
  EXPECT_EQ(VSC_AUDIO_APPEND_LIST(list, stream_, "a", 0, 0, 0, 1), 0);
  EXPECT_EQ(VSC_AUDIO_CLEAR_LIST(list), 0);
  VSC_AUDIO_DESTROY_LIST(list);  // twice: nothing happens
  VSC_AUDIO_ADD_LIST_TO_QUE(list);
  VSC_AUDIO_PRIORITY_LIST_TO_QUE(list, 1);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 0);

  // A new list never takes over the released one's handle.
  void* again = VSC_AUDIO_CREATE_LIST();
  EXPECT_NE(again, list);
  EXPECT_EQ(VSC_AUDIO_CLEAR_LIST(list), 0);
  // Handles of other kinds, garbage and the all-ones value are refused too.
  EXPECT_EQ(VSC_AUDIO_CLEAR_LIST(stream_), 0);
  EXPECT_EQ(VSC_AUDIO_CLEAR_LIST(VSC_AUDIO_NO_SUCH_CUE), 0);
  int notAHandle = 0;
  EXPECT_EQ(VSC_AUDIO_CLEAR_LIST(&notAHandle), 0);
  VSC_AUDIO_DESTROY_LIST(again);
}

// A playing from list L1 (A, B), then L2 (X, Y) inserted by each mode.
struct PriorityCase {
  int32_t mode;
  Names expectedStarts;
  bool cutsA;
};

class PriorityModeTest : public PlayQueueTest, public ::testing::WithParamInterface<PriorityCase> {};

TEST_P(PriorityModeTest, InsertsBehindOrCutsAsTheModeSays) {
  const PriorityCase& c = GetParam();
  void* l1 = List({"long", "b"});
  void* l2 = List({"x", "y"});
  VSC_AUDIO_ADD_LIST_TO_QUE(l1);
  ASSERT_TRUE(WaitForStart("long"));
  VSC_AUDIO_PRIORITY_LIST_TO_QUE(l2, c.mode);
  if (c.cutsA) {
    auto stopped = trace_.Names(VSC_AUDIO_TRACE_CUE_STOPPED);
    ASSERT_FALSE(stopped.empty());
    EXPECT_EQ(stopped.front(), "long") << "the playing head stops at once";
  }
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(trace_.Names(VSC_AUDIO_TRACE_CUE_STARTED), c.expectedStarts);
  VSC_AUDIO_DESTROY_LIST(l1);
  VSC_AUDIO_DESTROY_LIST(l2);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PriorityModeTest,
    ::testing::Values(PriorityCase{1, {"long", "x", "y", "b"}, false}, PriorityCase{2, {"long", "x", "y", "b"}, true},
                      PriorityCase{3, {"long", "b", "x", "y"}, false}, PriorityCase{4, {"long", "x", "y"}, true},
                      PriorityCase{5, {"long", "b"}, false}, PriorityCase{0, {"long", "b"}, false}),
    [](const ::testing::TestParamInfo<PriorityCase>& info) { return "Mode" + std::to_string(info.param.mode); });

TEST_F(PlayQueueTest, ModeThreeKeepsASingleCuesSequenceToItself) {
  // Two cues queued alone are two sequences: mode 3 goes behind the head only.
  VSC_AUDIO_ADD_TO_QUE(stream_, "long", 0, 0, 0, 1);
  VSC_AUDIO_ADD_TO_QUE(stream_, "b", 0, 0, 0, 1);
  ASSERT_TRUE(WaitForStart("long"));
  void* l2 = List({"x"});
  VSC_AUDIO_PRIORITY_LIST_TO_QUE(l2, 3);
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(trace_.Names(VSC_AUDIO_TRACE_CUE_STARTED), (Names{"long", "x", "b"}));
  VSC_AUDIO_DESTROY_LIST(l2);
}

TEST_F(PlayQueueTest, EveryModePutsEntriesAtTheFrontOfAnEmptyQueue) {
  for (int32_t mode = 1; mode <= 4; ++mode) {
    trace_.Clear();
    VSC_AUDIO_PRIORITY_ADD_TO_QUE(stream_, "a", 0, 0, 0, 1, mode);
    EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 1) << "mode " << mode;
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(trace_.Names(VSC_AUDIO_TRACE_CUE_STARTED), Names{"a"});
  }
  VSC_AUDIO_PRIORITY_ADD_TO_QUE(stream_, "a", 0, 0, 0, 1, 7);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 0) << "an unknown mode inserts nothing";
}

TEST_F(PlayQueueTest, APriorityAddWithoutANameCutsWithModeTwoAndChangesNothingWithModeOne) {
  VSC_AUDIO_ADD_TO_QUE(stream_, "long", 0, 0, 0, 1);
  VSC_AUDIO_ADD_TO_QUE(stream_, "b", 0, 0, 0, 1);
  ASSERT_TRUE(WaitForStart("long"));
  platform::SetLastError(0);
  VSC_AUDIO_PRIORITY_ADD_TO_QUE(stream_, nullptr, 0, 0, 0, 1, 1);
  EXPECT_EQ(platform::GetLastError(), 13u);
  EXPECT_TRUE(trace_.Names(VSC_AUDIO_TRACE_CUE_STOPPED).empty());
  VSC_AUDIO_PRIORITY_ADD_TO_QUE(stream_, nullptr, 0, 0, 0, 1, 2);
  EXPECT_EQ(trace_.Names(VSC_AUDIO_TRACE_CUE_STOPPED), Names{"long"});
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(trace_.Names(VSC_AUDIO_TRACE_CUE_STARTED), (Names{"long", "b"}));
}

TEST_F(PlayQueueTest, EmptyingTheQueueStartsNothingMore) {
  VSC_AUDIO_ADD_TO_QUE(stream_, "long", 0, 0, 0, 1);
  VSC_AUDIO_ADD_TO_QUE(stream_, "b", 0, 0, 0, 1);
  ASSERT_TRUE(WaitForStart("long"));
  VSC_AUDIO_EMPTY_QUE();
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 0);
  LetPassesRun(4);
  EXPECT_EQ(trace_.Names(VSC_AUDIO_TRACE_CUE_STARTED), Names{"long"});
  EXPECT_EQ(trace_.Count(VSC_AUDIO_TRACE_QUE_EMPTIED), 1u);
  // The queue works on afterwards.
  VSC_AUDIO_ADD_TO_QUE(stream_, "c", 0, 0, 0, 1);
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(trace_.Names(VSC_AUDIO_TRACE_CUE_STARTED), (Names{"long", "c"}));
}

TEST_F(PlayQueueTest, NamesOf254CharactersPlayAndLongerOnesDoNot) {
  VSC_AUDIO_ADD_TO_QUE(stream_, LongName(255).c_str(), 0, 0, 0, 1);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 0) << "a 255-character name is stored empty and not found";
  VSC_AUDIO_ADD_TO_QUE(stream_, LongName(254).c_str(), 0, 0, 0, 1);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 1);
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(trace_.Names(VSC_AUDIO_TRACE_CUE_STARTED), Names{LongName(254)});
}

TEST_F(PlayQueueTest, AHeadOnAPausedStreamWaitsPausedUntilTheStreamResumes) {
  EXPECT_EQ(VSC_AUDIO_PAUSE_STREAM(stream_, 1), 1);
  LetPassesRun(1);
  VSC_AUDIO_ADD_TO_QUE(stream_, "a", 0, 0, 0, 1);
  ASSERT_TRUE(WaitForStart("a"));
  LetPassesRun(8);
  EXPECT_EQ(VSC_AUDIO_IS_QUE_PLAYING(), 1) << "started and paused at once";
  EXPECT_EQ(VSC_AUDIO_PAUSE_STREAM(stream_, 0), 0);
  EXPECT_TRUE(WaitUntilIdle());
}

TEST_F(PlayQueueTest, TheTraceReportsEachOperationInOrder) {
  VSC_AUDIO_ADD_TO_QUE(stream_, "a", 0, 0, 0, 1);
  VSC_AUDIO_PRIORITY_ADD_TO_QUE(stream_, "b", 0, 0, 0, 1, 1);
  VSC_AUDIO_IS_QUE_PLAYING();
  VSC_AUDIO_EMPTY_QUE();
  auto ops = trace_.Operations();
  ASSERT_GE(ops.size(), 4u);
  EXPECT_EQ(ops[0].operation, VSC_AUDIO_TRACE_CUE_ADDED);
  EXPECT_EQ(ops[0].cue, "a");
  EXPECT_EQ(ops[0].value, 0);
  // The worker may have started "a" in between; the callers' operations keep their order.
  std::vector<int32_t> callerOps;
  for (const auto& op : ops) {
    if (op.operation != VSC_AUDIO_TRACE_CUE_STARTED) callerOps.push_back(op.operation);
  }
  EXPECT_EQ(callerOps, (std::vector<int32_t>{VSC_AUDIO_TRACE_CUE_ADDED, VSC_AUDIO_TRACE_CUE_ADDED,
                                             VSC_AUDIO_TRACE_IS_PLAYING, VSC_AUDIO_TRACE_QUE_EMPTIED}));
  std::vector<int32_t> addedWith;
  for (const auto& op : ops) {
    if (op.operation == VSC_AUDIO_TRACE_CUE_ADDED) addedWith.push_back(op.value);
  }
  EXPECT_EQ(addedWith, (std::vector<int32_t>{0, 1})) << "a priority add carries its mode";

  VSC_AUDIO_SET_TRACE(nullptr, nullptr);
  size_t before = trace_.Operations().size();
  VSC_AUDIO_IS_QUE_PLAYING();
  EXPECT_EQ(trace_.Operations().size(), before) << "off once the callback is cleared";
}
