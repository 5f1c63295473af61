// The progress line: drawn in place on a terminal once the work has taken
// long enough, redrawn as its percent changes but not more than ten times a
// second, cleared at the end; nothing at all where it is not shown.
#include "progress/progress_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace orvante::progress {
namespace {

using namespace std::chrono_literals;

// What was written to a stream, read back.
class Captured {
 public:
  Captured() : stream_(open_memstream(&text_, &size_)) {}
  ~Captured() {
    std::fclose(stream_);
    std::free(text_);
  }
  std::FILE* stream() { return stream_; }
  std::string Text() {
    std::fflush(stream_);
    return std::string(text_, size_);
  }

 private:
  char* text_ = nullptr;
  size_t size_ = 0;
  std::FILE* stream_;
};

TEST(ProgressLine, TextSaysHowFarInPercentAndInItsUnit) {
  EXPECT_EQ(ProgressLine::Text("Synthesising", 180, 399, "cues"), "Synthesising: 45% (180 of 399 cues)");
  EXPECT_EQ(ProgressLine::Text("Replaying", 795.4, 795.5, "s of flight"), "Replaying: 99% (795 of 796 s of flight)");
  EXPECT_EQ(ProgressLine::Text("Importing", 12, 10, ""), "Importing: 100%") << "never past the whole";
  EXPECT_EQ(ProgressLine::Text("Importing", -1, 10, "MB"), "Importing: 0% (0 of 10 MB)");
  EXPECT_EQ(ProgressLine::Text("Counting", 7, 0, "rows"), "Counting: 7 rows") << "no total: the count alone";
}

TEST(ProgressLine, OnATerminalDrawsInPlaceAfterItsDelayAndClearsAtTheEnd) {
  Captured out;
  ProgressLine::Clock::time_point now{};
  ProgressLine line(out.stream(), "Replaying", 3s, true, [&] { return now; });
  line.Update(10, 100, "s");
  now += 2s;
  line.Update(20, 100, "s");
  EXPECT_EQ(out.Text(), "") << "work that has not yet taken three seconds stays quiet";
  now += 1s;
  line.Update(30, 100, "s");
  EXPECT_EQ(out.Text(), "\rReplaying: 30% (30 of 100 s)\033[K");
  now += 50ms;
  line.Update(31, 100, "s");
  EXPECT_EQ(out.Text(), "\rReplaying: 30% (30 of 100 s)\033[K") << "not more than ten times a second";
  now += 100ms;
  line.Update(31.5, 100, "s");
  line.Update(31.9, 100, "s");
  std::string drawn = "\rReplaying: 30% (30 of 100 s)\033[K\rReplaying: 31% (32 of 100 s)\033[K";
  EXPECT_EQ(out.Text(), drawn) << "redrawn once for the new percent";
  line.Done();
  EXPECT_EQ(out.Text(), drawn + "\r\033[K");
  line.Done();
  EXPECT_EQ(out.Text(), drawn + "\r\033[K") << "cleared once";
}

TEST(ProgressLine, WhereItIsNotShownNothingIsWritten) {
  Captured out;
  ProgressLine::Clock::time_point now{};
  {
    ProgressLine line(out.stream(), "Importing", 0s, false, [&] { return now; });
    for (int i = 0; i <= 100; ++i) {
      now += 1s;
      line.Update(i, 100, "MB");
    }
  }
  EXPECT_EQ(out.Text(), "");
  // A stream that is not a terminal (a memory stream here) is not shown on.
  {
    ProgressLine line(out.stream(), "Importing");
    line.Update(50, 100, "MB");
  }
  EXPECT_EQ(out.Text(), "");
}

TEST(ProgressLine, TheDestructorClearsADrawnLine) {
  Captured out;
  ProgressLine::Clock::time_point now{};
  {
    ProgressLine line(out.stream(), "Synthesising", 0s, true, [&] { return now; });
    line.Update(1, 2, "cues");
  }
  EXPECT_EQ(out.Text(), "\rSynthesising: 50% (1 of 2 cues)\033[K\r\033[K");
}

}  // namespace
}  // namespace orvante::progress
