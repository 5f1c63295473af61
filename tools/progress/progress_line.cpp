// Drawing the progress line: a carriage return, the text, and "erase to the
// end of the line" (ANSI), so that a shorter text leaves nothing behind.
#include "progress/progress_line.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>

namespace orvante::progress {
namespace {

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

std::string Count(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.0f", value);
  return text;
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* stream, std::string what, std::chrono::milliseconds after)
    : ProgressLine(stream, std::move(what), after, stream != nullptr && isatty(fileno(stream)) == 1, Clock::now) {}

ProgressLine::ProgressLine(std::FILE* stream, std::string what, std::chrono::milliseconds after, bool shown,
                           std::function<Clock::time_point()> now)
    : stream_(stream), what_(std::move(what)), after_(after), shown_(shown && stream != nullptr), now_(std::move(now)) {
  start_ = now_();
}

ProgressLine::~ProgressLine() { Done(); }

std::string ProgressLine::Text(const std::string& what, double done, double total, const std::string& unit) {
  if (!(total > 0)) return what + ": " + Count(std::max(done, 0.0)) + (unit.empty() ? "" : " " + unit);
  double fraction = std::clamp(done / total, 0.0, 1.0);
  std::string text = what + ": " + std::to_string(static_cast<int>(std::floor(fraction * 100))) + "%";
  if (!unit.empty()) text += " (" + Count(std::clamp(done, 0.0, total)) + " of " + Count(total) + " " + unit + ")";
  return text;
}

void ProgressLine::Update(double done, double total, const std::string& unit) {
  if (!shown_) return;
  Clock::time_point now = now_();
  if (now - start_ < after_) return;
  int percent = total > 0 ? static_cast<int>(std::floor(std::clamp(done / total, 0.0, 1.0) * 100)) : -1;
  if (drawn_ && (percent == lastPercent_ || now - lastDrawn_ < kRedrawEvery)) return;
  std::fprintf(stream_, "\r%s\033[K", Text(what_, done, total, unit).c_str());
  std::fflush(stream_);
  drawn_ = true;
  lastPercent_ = percent;
  lastDrawn_ = now;
}

void ProgressLine::Done() {
  if (!drawn_) return;
  std::fputs("\r\033[K", stream_);
  std::fflush(stream_);
  drawn_ = false;
}

}  // namespace orvante::progress
