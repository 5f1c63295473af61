// The transcript of a replay: one JSON object per line, in time order, with
// the virtual time of each line in seconds ("t", three decimals). What the
// module does reaches it from several sources: cues through the audio
// library's queue trace, panel-variable changes, message boxes, text lines,
// and the module's log, which is read as it grows (each of its lines is
// flushed when written).
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <mutex>
#include <string>

namespace sim {

class Transcript {
 public:
  using TimeSource = std::function<int64_t()>;  // microseconds of virtual time

  Transcript(FILE* out, TimeSource now);  // out may be null: lines are only counted

  // Lines of each type as the transcript defines them.
  void Cue(const std::string& cue, bool cut);
  void Alert(double word);
  void Lvar(const std::string& name, double value);
  void Box(const std::string& caption, const std::string& text, const std::string& answer);
  void Text(const std::string& text);
  void Dialog(const std::string& dialog, const std::string& action, const std::string& outcome, int result);

  // The module's log: lines appended to the file since the last look are
  // written before any other line, so causes come before their effects.
  void FollowLog(const std::string& path);
  void ReadLog();

  uint64_t LineCount() const;

  // JSON string escaping of the transcript (control characters as \uXXXX).
  static std::string Quote(const std::string& text);
  // A number as the transcript writes it: whole numbers without a fraction,
  // others with up to 6 significant decimals.
  static std::string Number(double value);

 private:
  void WriteLocked(const std::string& body);
  void ReadLogLocked();

  mutable std::mutex mutex_;
  FILE* out_;
  TimeSource now_;
  uint64_t lines_ = 0;
  std::string logPath_;
  uint64_t logOffset_ = 0;
  std::string logPartial_;
};

}  // namespace sim
