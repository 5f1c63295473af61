// A line of progress for long work on a terminal ("Synthesising the default
// voice: 45% (180 of 399 cues)"), redrawn in place and cleared when the work
// is done. Quiet when the stream is not a terminal (a log, a pipe, a build
// server), and for work that ends before it has taken `after`.
#pragma once
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

namespace orvante::progress {

class ProgressLine {
 public:
  using Clock = std::chrono::steady_clock;

  // Shown on `stream` when it is a terminal.
  ProgressLine(std::FILE* stream, std::string what, std::chrono::milliseconds after = std::chrono::milliseconds(0));
  // Shown or not as `shown` says, on the time `now` gives (for tests).
  ProgressLine(std::FILE* stream, std::string what, std::chrono::milliseconds after, bool shown,
               std::function<Clock::time_point()> now);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // `done` of `total`, with what is counted ("cues"); the line is redrawn when
  // its whole percent changes, at most ten times a second.
  void Update(double done, double total, const std::string& unit = "");
  // Clears the line, if it was shown; the destructor does it too.
  void Done();

  // The text of the line for a state of the work.
  static std::string Text(const std::string& what, double done, double total, const std::string& unit);

 private:
  std::FILE* stream_;
  std::string what_;
  std::chrono::milliseconds after_;
  bool shown_;
  std::function<Clock::time_point()> now_;
  Clock::time_point start_, lastDrawn_;
  int lastPercent_ = -1;
  bool drawn_ = false;
};

}  // namespace orvante::progress
