// Reading and writing dll.xml as lines of bytes.
#include "dll_xml_lines.h"

namespace addovar {

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) < 33; }

std::string_view TextBeforeNul(std::string_view bytes) {
  size_t nul = bytes.find('\0');
  return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

}  // namespace

DllXmlLines SplitDllXmlLines(std::string_view bytes) {
  std::string_view text = TextBeforeNul(bytes);
  DllXmlLines lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

bool HasDataAfterNul(std::string_view bytes) {
  size_t nul = bytes.find('\0');
  if (nul == std::string_view::npos) return false;
  return bytes.find_first_not_of('\0', nul) != std::string_view::npos;
}

std::string JoinDllXmlLines(const DllXmlLines& lines) {
  size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const std::string& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  return bytes;
}

std::string_view TrimLine(std::string_view line) {
  size_t first = 0;
  while (first < line.size() && IsBlankOrControl(line[first])) ++first;
  size_t last = line.size();
  while (last > first && IsBlankOrControl(line[last - 1])) --last;
  return line.substr(first, last - first);
}

bool LineReads(std::string_view line, std::string_view text) { return TrimLine(line) == text; }

}  // namespace addovar
