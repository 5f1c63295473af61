// Private-profile INI files with the semantics Windows gives them, for systems
// without kernel32 (the Windows build calls kernel32's own, win32/). The file
// is parsed into lines each time it is read; a write changes the one line it
// concerns (or appends) and keeps every other line byte for byte.
#include "platform/ini_file.h"

#include <cstring>

#include "platform/files.h"
#include "common/text.h"

namespace platform {
namespace {

constexpr char kLineEnd[] = "\r\n";

struct IniLine {
  size_t begin = 0;  // offset of the line's first byte
  size_t end = 0;    // offset past its last byte, line break excluded
  size_t next = 0;   // offset of the following line
  enum Kind { kOther, kSection, kKey } kind = kOther;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // key value, trimmed (quotes kept)
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Blanks and a carriage return left at either end of a name or value.
std::string_view Trim(std::string_view s) { return common::Trim(s, " \t\r"); }

bool SameName(std::string_view a, std::string_view b) { return common::EqualsIgnoringCase(a, b); }

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Splits text into classified lines. A line ends at LF, CR LF or a lone CR.
// A UTF-8 byte-order mark at the start of the file (Notepad writes one) is
// not part of the first line, as Windows reads it; the lines' offsets leave it
// out, so a write keeps it in front of the file.
std::vector<IniLine> ParseLines(std::string_view text) {
  std::vector<IniLine> lines;
  size_t pos = text.substr(0, kUtf8Mark.size()) == kUtf8Mark ? kUtf8Mark.size() : 0;
  while (pos < text.size()) {
    IniLine line;
    line.begin = pos;
    size_t end = pos;
    while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
    line.end = end;
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') line.next = end + 2;
    else line.next = end < text.size() ? end + 1 : end;
    std::string_view content = Trim(text.substr(pos, end - pos));
    if (!content.empty() && content.front() == '[') {
      size_t close = content.find(']');
      line.kind = IniLine::kSection;
      line.name = Trim(content.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    } else if (!content.empty() && content.front() != ';') {
      size_t equals = content.find('=');
      if (equals != std::string_view::npos) {
        line.kind = IniLine::kKey;
        line.name = Trim(content.substr(0, equals));
        line.value = Trim(content.substr(equals + 1));
      }
    }
    lines.push_back(line);
    pos = line.next;
  }
  return lines;
}

// Drops one pair of matching surrounding quotes, as the profile reader does.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// Index of the first section line named section, or -1.
long FindSection(const std::vector<IniLine>& lines, std::string_view section) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].kind == IniLine::kSection && SameName(lines[i].name, section)) return static_cast<long>(i);
  return -1;
}

// Index one past the last line of the section starting at sectionIndex.
size_t SectionEnd(const std::vector<IniLine>& lines, size_t sectionIndex) {
  size_t i = sectionIndex + 1;
  while (i < lines.size() && lines[i].kind != IniLine::kSection) ++i;
  return i;
}

long FindKey(const std::vector<IniLine>& lines, size_t sectionIndex, std::string_view key) {
  size_t end = SectionEnd(lines, sectionIndex);
  for (size_t i = sectionIndex + 1; i < end; ++i)
    if (lines[i].kind == IniLine::kKey && SameName(lines[i].name, key)) return static_cast<long>(i);
  return -1;
}

// Copies text into buffer as GetPrivateProfileString does: at most size - 1
// characters and a terminator.
uint32_t CopyOut(std::string_view text, char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  size_t n = std::min<size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<uint32_t>(n);
}

// Copies a list of names, each terminated, ending with a second terminator.
uint32_t CopyList(const std::vector<std::string_view>& names, char* buffer, uint32_t size) {
  if (buffer == nullptr || size < 2) {
    if (buffer && size) buffer[0] = '\0';
    return 0;
  }
  uint32_t used = 0;
  for (std::string_view name : names) {
    if (used + name.size() + 2 > size) {  // cut: keep what fits, as Windows does
      // A list that filled all but the last byte has no room for even one
      // character of the next name: its last name keeps its terminator and
      // the final byte takes the second one.
      size_t fit = used + 2 <= size ? size - used - 2 : 0;
      std::memcpy(buffer + used, name.data(), fit);
      buffer[size - 2] = '\0';
      buffer[size - 1] = '\0';
      return size - 2;
    }
    std::memcpy(buffer + used, name.data(), name.size());
    used += static_cast<uint32_t>(name.size());
    buffer[used++] = '\0';
  }
  buffer[used] = '\0';
  // A list that needs every byte of the buffer, its final terminator in the
  // last one, is reported as cut (size - 2), as Windows does.
  return used + 1 == size ? size - 2 : used;
}

// The line break used by the file (its first one), CR LF when it has none.
std::string_view FileLineEnd(std::string_view text) {
  size_t pos = text.find_first_of("\r\n");
  if (pos == std::string_view::npos) return kLineEnd;
  if (text[pos] == '\r') return pos + 1 < text.size() && text[pos + 1] == '\n' ? "\r\n" : "\r";
  return "\n";
}

}  // namespace

uint32_t GetPrivateProfileStringU8(const char* section, const char* key, const char* defaultValue, char* buffer,
                                   uint32_t size, const char* path) {
  std::string text;
  bool haveFile = path != nullptr && ReadWholeFile(path, text);
  std::vector<IniLine> lines = haveFile ? ParseLines(text) : std::vector<IniLine>{};

  if (section == nullptr) {
    std::vector<std::string_view> names;
    for (const IniLine& line : lines)
      if (line.kind == IniLine::kSection) names.push_back(line.name);
    return CopyList(names, buffer, size);
  }
  long sectionIndex = FindSection(lines, Trim(section));
  if (key == nullptr) {
    std::vector<std::string_view> names;
    if (sectionIndex >= 0) {
      size_t end = SectionEnd(lines, sectionIndex);
      for (size_t i = sectionIndex + 1; i < end; ++i)
        if (lines[i].kind == IniLine::kKey) names.push_back(lines[i].name);
    }
    return CopyList(names, buffer, size);
  }
  if (sectionIndex >= 0) {
    long keyIndex = FindKey(lines, sectionIndex, Trim(key));
    if (keyIndex >= 0) return CopyOut(Unquote(lines[keyIndex].value), buffer, size);
  }
  // The default loses its trailing blanks, as Windows trims it.
  std::string_view fallback = defaultValue ? std::string_view(defaultValue) : std::string_view();
  while (!fallback.empty() && IsBlank(fallback.back())) fallback.remove_suffix(1);
  return CopyOut(fallback, buffer, size);
}

bool WritePrivateProfileStringU8(const char* section, const char* key, const char* value, const char* path) {
  if (section == nullptr || path == nullptr) return false;
  std::string text;
  ReadWholeFile(path, text);  // a missing file starts empty
  std::vector<IniLine> lines = ParseLines(text);
  std::string_view lineEnd = FileLineEnd(text);
  long sectionIndex = FindSection(lines, Trim(section));

  std::string result;
  if (key == nullptr) {  // delete the whole section
    if (sectionIndex < 0) return true;
    size_t from = lines[sectionIndex].begin;
    size_t to =
        SectionEnd(lines, sectionIndex) < lines.size() ? lines[SectionEnd(lines, sectionIndex)].begin : text.size();
    result = text.substr(0, from) + text.substr(to);
    return WriteFileAtomically(path, result);
  }
  std::string newLine = std::string(key) + "=" + (value ? value : "");
  if (sectionIndex < 0) {
    if (value == nullptr) return true;
    result = text;
    // A file of nothing but the byte-order mark counts as empty.
    bool onlyMark = text.size() == kUtf8Mark.size() && std::string_view(text) == kUtf8Mark;
    if (!result.empty() && !onlyMark && result.back() != '\n' && result.back() != '\r') result += lineEnd;
    result += "[" + std::string(section) + "]" + std::string(lineEnd) + newLine + std::string(lineEnd);
    return WriteFileAtomically(path, result);
  }
  long keyIndex = FindKey(lines, sectionIndex, Trim(key));
  if (keyIndex >= 0) {
    const IniLine& line = lines[keyIndex];
    if (value == nullptr) result = text.substr(0, line.begin) + text.substr(line.next);
    else if (line.next == line.end)  // the file's last line, without a break: the new one gets one
      result = text.substr(0, line.begin) + newLine + std::string(lineEnd);
    else result = text.substr(0, line.begin) + newLine + text.substr(line.end);
    return WriteFileAtomically(path, result);
  }
  if (value == nullptr) return true;
  // A new key goes after the section's last key line (before trailing blank lines).
  size_t end = SectionEnd(lines, sectionIndex);
  size_t last = sectionIndex;
  for (size_t i = sectionIndex + 1; i < end; ++i)
    if (lines[i].kind != IniLine::kOther ||
        !Trim(std::string_view(text).substr(lines[i].begin, lines[i].end - lines[i].begin)).empty())
      last = i;
  const IniLine& after = lines[last];
  if (after.next == after.end)  // the file ends on this line without a break
    result = text.substr(0, after.end) + std::string(lineEnd) + newLine + std::string(lineEnd);
  else result = text.substr(0, after.next) + newLine + std::string(lineEnd) + text.substr(after.next);
  return WriteFileAtomically(path, result);
}

}  // namespace platform
