// Helpers around the private-profile functions that every system shares: how
// a value must be written to read back as it was, the integer rule of the
// unit's settings, and the string read into a std::string.
#include <string>
#include <string_view>

#include "platform/ini_file.h"

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Drops one pair of matching surrounding quotes, as the profile reader does.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

}  // namespace

std::string QuoteProfileValue(std::string_view value) {
  bool trimmed = !value.empty() &&
                 (IsBlank(value.front()) || value.front() == '\r' || IsBlank(value.back()) || value.back() == '\r');
  if (trimmed || Unquote(value).size() != value.size()) return "\"" + std::string(value) + "\"";
  return std::string(value);
}

int32_t ParseLeadingInteger(const char* text) {
  if (text == nullptr) return 0;
  while (IsBlank(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  uint32_t value = 0;
  while (*text >= '0' && *text <= '9') value = value * 10u + static_cast<uint32_t>(*text++ - '0');
  return static_cast<int32_t>(negative ? 0u - value : value);
}

// An integer setting: the value's leading decimal number, the default where
// there is no value.
int32_t GetPrivateProfileIntU8(const char* section, const char* key, int32_t defaultValue, const char* path) {
  char buffer[64];
  if (GetPrivateProfileStringU8(section, key, "", buffer, sizeof buffer, path) == 0) return defaultValue;
  return ParseLeadingInteger(buffer);
}

std::string ReadProfileString(const char* section, const char* key, const char* defaultValue, const char* path,
                              uint32_t maxLength) {
  std::string buffer(maxLength + 1, '\0');
  uint32_t n = GetPrivateProfileStringU8(section, key, defaultValue, buffer.data(), maxLength + 1, path);
  buffer.resize(n);
  return buffer;
}

}  // namespace platform
