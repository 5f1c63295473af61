// Writing the transcript of a replay.
#include "transcript.h"

#include <cmath>
#include <cstring>

#include "platform/files.h"

namespace sim {

Transcript::Transcript(FILE* out, TimeSource now) : out_(out), now_(std::move(now)) {}

std::string Transcript::Quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7f) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", c);
          out += escape;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string Transcript::Number(double value) {
  if (!std::isfinite(value)) return "null";
  char text[64];
  if (value == std::floor(value) && std::fabs(value) < 1e15) std::snprintf(text, sizeof text, "%.0f", value);
  else std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

void Transcript::WriteLocked(const std::string& body) {
  int64_t micro = now_ ? now_() : 0;
  char time[48];
  std::snprintf(time, sizeof time, "{\"t\":%lld.%03lld,", static_cast<long long>(micro / 1000000),
                static_cast<long long>((micro % 1000000) / 1000));
  ++lines_;
  if (out_ == nullptr) return;
  std::fputs(time, out_);
  std::fputs(body.c_str(), out_);
  std::fputs("}\n", out_);
}

void Transcript::Cue(const std::string& cue, bool cut) {
  std::lock_guard<std::mutex> lock(mutex_);
  ReadLogLocked();
  WriteLocked("\"type\":\"cue\",\"cue\":" + Quote(cue) + ",\"cut\":" + (cut ? "true" : "false"));
}

void Transcript::Alert(double word) {
  std::lock_guard<std::mutex> lock(mutex_);
  ReadLogLocked();
  WriteLocked("\"type\":\"alert\",\"word\":" + Number(word));
}

void Transcript::Lvar(const std::string& name, double value) {
  std::lock_guard<std::mutex> lock(mutex_);
  ReadLogLocked();
  WriteLocked("\"type\":\"lvar\",\"name\":" + Quote(name) + ",\"value\":" + Number(value));
}

void Transcript::Box(const std::string& caption, const std::string& text, const std::string& answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  ReadLogLocked();
  WriteLocked("\"type\":\"box\",\"caption\":" + Quote(caption) + ",\"text\":" + Quote(text) +
              ",\"answer\":" + Quote(answer));
}

void Transcript::Dialog(const std::string& dialog, const std::string& action, const std::string& outcome, int result) {
  std::lock_guard<std::mutex> lock(mutex_);
  ReadLogLocked();
  std::string body = "\"type\":\"dialog\",\"dialog\":" + Quote(dialog) + ",\"action\":" + Quote(action);
  if (action == "closed") body += ",\"result\":" + std::to_string(result);
  if (!outcome.empty()) body += ",\"outcome\":" + Quote(outcome);
  WriteLocked(body);
}

void Transcript::Text(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  ReadLogLocked();
  WriteLocked("\"type\":\"text\",\"text\":" + Quote(text));
}

void Transcript::FollowLog(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  logPath_ = path;
  logOffset_ = 0;
  logPartial_.clear();
}

void Transcript::ReadLog() {
  std::lock_guard<std::mutex> lock(mutex_);
  ReadLogLocked();
}

void Transcript::ReadLogLocked() {
  if (logPath_.empty()) return;
  FILE* file = std::fopen(platform::NativePath(logPath_).c_str(), "rb");
  if (file == nullptr) return;
  std::fseek(file, 0, SEEK_END);
  long size = std::ftell(file);
  if (size >= 0 && static_cast<uint64_t>(size) < logOffset_) {  // truncated: the module started again
    logOffset_ = 0;
    logPartial_.clear();
  }
  if (size > 0 && static_cast<uint64_t>(size) > logOffset_) {
    std::fseek(file, static_cast<long>(logOffset_), SEEK_SET);
    std::string chunk(static_cast<size_t>(size) - logOffset_, '\0');
    size_t got = std::fread(chunk.data(), 1, chunk.size(), file);
    chunk.resize(got);
    logOffset_ += got;
    logPartial_ += chunk;
    size_t start = 0;
    for (size_t end; (end = logPartial_.find('\n', start)) != std::string::npos; start = end + 1) {
      size_t length = end - start;
#ifdef _WIN32
      // Windows' C library writes the module's text-mode log with CR LF.
      if (length > 0 && logPartial_[end - 1] == '\r') --length;
#endif
      WriteLocked("\"type\":\"log\",\"line\":" + Quote(logPartial_.substr(start, length)));
    }
    logPartial_.erase(0, start);
  }
  std::fclose(file);
}

uint64_t Transcript::LineCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

}  // namespace sim
