// Trimming, letter case and lines.
#include "common/text.h"

namespace common {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string_view TrimStart(std::string_view text, std::string_view characters) {
  size_t first = text.find_first_not_of(characters);
  return first == std::string_view::npos ? text.substr(text.size()) : text.substr(first);
}

std::string_view TrimEnd(std::string_view text, std::string_view characters) {
  size_t last = text.find_last_not_of(characters);
  return last == std::string_view::npos ? text.substr(0, 0) : text.substr(0, last + 1);
}

std::string_view Trim(std::string_view text, std::string_view characters) {
  return TrimEnd(TrimStart(text, characters), characters);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

bool LineReader::Next(std::string_view& line) {
  if (position_ >= text_.size()) return false;
  size_t end = text_.find('\n', position_);
  if (end == std::string_view::npos) end = text_.size();
  line = text_.substr(position_, end - position_);
  position_ = end + 1;
  ++number_;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return true;
}

}  // namespace common
