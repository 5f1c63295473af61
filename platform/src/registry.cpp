// Registry reads from a Wine prefix's registry files. A .reg file of Wine
// holds sections "[Key\\Path] timestamp" followed by lines "\"Name\"=value",
// where a value is a quoted string with backslash escapes, dword:xxxxxxxx, or
// another type we do not read. Key names compare without regard to case.
#include "platform/registry.h"

#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/process.h"
#include "common/text.h"

namespace platform {
namespace {

std::string RegistryFile(RegistryHive hive) {
  return GetWinePrefix() + (hive == RegistryHive::CurrentUser ? "/user.reg" : "/system.reg");
}

// Key path as written in the file: backslashes doubled, no leading or trailing
// separator. Wine's system.reg holds HKLM keys relative to the hive.
std::string NormaliseKey(std::string_view key) {
  while (!key.empty() && key.front() == '\\') key.remove_prefix(1);
  while (!key.empty() && key.back() == '\\') key.remove_suffix(1);
  std::string result;
  for (char c : key) {
    result += c;
    if (c == '\\') result += '\\';
  }
  return result;
}

bool SameText(std::string_view a, std::string_view b) { return common::EqualsIgnoringCase(a, b); }

// Undoes the escapes of a quoted .reg string (without its quotes).
std::string Unescape(std::string_view text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      result += text[i];
      continue;
    }
    char next = text[++i];
    switch (next) {
      case 'n': result += '\n'; break;
      case 'r': result += '\r'; break;
      case 't': result += '\t'; break;
      case '0': result += '\0'; break;
      default: result += next; break;  // \\ and \" stand for themselves
    }
  }
  return result;
}

// Reads the raw text after "=" of a value in a key, or nothing. keyFound tells
// whether the key itself exists.
std::optional<std::string> FindRawValue(RegistryHive hive, const std::string& key, const std::string& value,
                                        bool* keyFound) {
  if (keyFound) *keyFound = false;
  std::string text;
  if (!ReadWholeFile(RegistryFile(hive), text)) return std::nullopt;
  std::string wanted = NormaliseKey(key);
  bool inKey = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty() && line.front() == '[') {
      size_t close = line.find(']');
      std::string_view name = close == std::string_view::npos ? line.substr(1) : line.substr(1, close - 1);
      inKey = SameText(name, wanted);
      if (inKey && keyFound) *keyFound = true;
      continue;
    }
    if (!inKey || line.empty()) continue;
    std::string_view name;
    std::string_view rest;
    if (line.front() == '@') {
      name = "";
      rest = line.substr(1);
    } else if (line.front() == '"') {
      size_t i = 1;
      while (i < line.size() && line[i] != '"') i += line[i] == '\\' ? 2 : 1;
      if (i >= line.size()) continue;
      name = line.substr(1, i - 1);
      rest = line.substr(i + 1);
    } else {
      continue;
    }
    if (rest.empty() || rest.front() != '=') continue;
    if (SameText(Unescape(name), value)) return std::string(rest.substr(1));
  }
  return std::nullopt;
}

}  // namespace

bool RegistryKeyExists(RegistryHive hive, const std::string& key) {
  bool found = false;
  FindRawValue(hive, key, "\x01", &found);
  return found;
}

std::optional<std::string> RegistryReadString(RegistryHive hive, const std::string& key, const std::string& value) {
  std::optional<std::string> raw = FindRawValue(hive, key, value, nullptr);
  if (!raw) return std::nullopt;
  std::string_view text = *raw;
  if (text.rfind("str(2):", 0) == 0) text.remove_prefix(7);  // REG_EXPAND_SZ
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::nullopt;
  return Unescape(text.substr(1, text.size() - 2));
}

std::optional<uint32_t> RegistryReadDword(RegistryHive hive, const std::string& key, const std::string& value) {
  std::optional<std::string> raw = FindRawValue(hive, key, value, nullptr);
  if (!raw || raw->rfind("dword:", 0) != 0) return std::nullopt;
  char* end = nullptr;
  unsigned long number = std::strtoul(raw->c_str() + 6, &end, 16);
  if (end == raw->c_str() + 6) return std::nullopt;
  return static_cast<uint32_t>(number);
}

}  // namespace platform
