// Text helpers every part of the tree shares: trimming, comparing and
// changing letter case (ASCII letters only, as the files the unit reads are
// compared on Windows for their names and keywords), and reading a text line
// by line. Nothing here depends on the locale.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace common {

// Blanks: space and tab.
inline constexpr std::string_view kBlanks = " \t";
// White space as std::isspace sees it in the "C" locale.
inline constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

// The text without the given characters at its start, its end, or both.
std::string_view TrimStart(std::string_view text, std::string_view characters = kBlanks);
std::string_view TrimEnd(std::string_view text, std::string_view characters = kBlanks);
std::string_view Trim(std::string_view text, std::string_view characters = kBlanks);

// Whether two texts are equal when ASCII letters are compared without regard
// to case; other bytes must be equal.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The text with its ASCII letters in lower or upper case.
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);

// Reads a text line by line. A line ends at '\n', and a '\r' just before it
// is not part of the line; the last line needs no line end, and a text that
// ends with a line end has no empty line after it.
//
//   common::LineReader lines(text);
//   for (std::string_view line; lines.Next(line);) ... lines.Number() ...
class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}

  // The next line, false at the end of the text.
  bool Next(std::string_view& line);
  // The 1-based number of the line Next gave last (0 before the first); at
  // the end, the number of lines read.
  unsigned Number() const { return number_; }

 private:
  std::string_view text_;
  size_t position_ = 0;
  unsigned number_ = 0;
};

}  // namespace common
