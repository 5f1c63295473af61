// Path composition and wildcard matching, the same on every system.
#include <string>
#include <string_view>

#include "common/text.h"
#include "platform/files.h"

namespace platform {

std::string NativePath(std::string_view path) {
  std::string result(path);
  for (char& c : result)
    if (c == '\\' || c == '/') c = kPathSeparator;
  return result;
}

std::string JoinPath(std::initializer_list<std::string_view> parts) {
  std::string result;
  for (std::string_view part : parts) {
    if (part.empty()) continue;
    if (!result.empty() && result.back() != kPathSeparator) result += kPathSeparator;
    std::string native = NativePath(part);
    if (!result.empty() && !native.empty() && native.front() == kPathSeparator) native.erase(0, 1);
    result += native;
  }
  return result;
}

size_t LastSeparator(std::string_view path) { return path.find_last_of("\\/"); }

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  // Iterative matcher with one backtracking point for the last '*'.
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  auto same = [](char a, char b) { return common::EqualsIgnoringCase({&a, 1}, {&b, 1}); };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace platform
