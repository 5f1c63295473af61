// Private-profile INI files through kernel32's own GetPrivateProfileStringW
// and WritePrivateProfileStringW. Section, key and value texts pass through the
// code page kernel32 reads the file in (the ANSI code page, as the A variants
// pass them, or UTF-8 for a file with UTF-8's byte-order mark), so the bytes
// of a file read back as they are stored; the path goes as UTF-16, so it
// reaches any file.
//
// Two choices of this build, where the unit's rules and kernel32's differ:
//  - integers: GetPrivateProfileIntU8 keeps the unit's rule (the value's
//    leading signed decimal number, an empty value giving the default). Wine's
//    GetPrivateProfileInt also reads 0x, 0o and 0b prefixes; the same profile
//    must give the same settings on every system.
//  - writes replace the file atomically, as every user file of the unit is
//    written: kernel32 writes a copy of the file in the same folder, which
//    then replaces the file in one MoveFileEx. What the write does to the
//    file's lines is kernel32's own (Windows rewrites the whole file in its
//    own form, where the POSIX build changes only the line concerned).
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "platform/ini_file.h"
#include "platform/process.h"
#include "win32/text.h"

namespace platform {
namespace {

using win32::WidePath;

// The code page kernel32 reads and writes the file's text in: UTF-8 for a
// file that begins with UTF-8's byte-order mark, the ANSI code page for
// others (and for a new file).
UINT FileCodePage(const std::wstring& path) {
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return CP_ACP;
  unsigned char mark[3] = {};
  DWORD n = 0;
  bool utf8 = ::ReadFile(file, mark, sizeof mark, &n, nullptr) && n == 3 && mark[0] == 0xEF && mark[1] == 0xBB &&
              mark[2] == 0xBF;
  ::CloseHandle(file);
  return utf8 ? CP_UTF8 : CP_ACP;
}

// Text in the file's code page to UTF-16 and back, so that the bytes of
// names and values pass as they are stored.
std::wstring WideFromFile(UINT codePage, std::string_view text) {
  return codePage == CP_UTF8 ? win32::Wide(text) : win32::WideFromAnsi(text);
}
std::string FileFromWide(UINT codePage, std::wstring_view text) {
  return codePage == CP_UTF8 ? win32::Utf8(text) : win32::AnsiFromWide(text);
}

std::atomic<uint32_t> g_copyCounter{0};

// Copies a list of names as the ANSI function gives it: each terminated, a
// second terminator after the last; a list the buffer cannot hold with a byte
// to spare is cut and ends with two terminators (size - 2).
uint32_t CopyList(const std::vector<std::string>& names, bool cut, char* buffer, uint32_t size) {
  if (size < 2) {
    if (size) buffer[0] = '\0';
    return 0;
  }
  uint32_t used = 0;
  for (const std::string& name : names) {
    if (used + name.size() + 2 > size) {
      cut = true;
      size_t fit = used + 2 <= size ? size - used - 2 : 0;
      std::memcpy(buffer + used, name.data(), fit);
      break;
    }
    std::memcpy(buffer + used, name.data(), name.size());
    used += static_cast<uint32_t>(name.size());
    buffer[used++] = '\0';
  }
  if (cut || used + 1 == size) {
    buffer[size - 2] = '\0';
    buffer[size - 1] = '\0';
    return size - 2;
  }
  buffer[used] = '\0';
  return used;
}

}  // namespace

uint32_t GetPrivateProfileStringU8(const char* section, const char* key, const char* defaultValue, char* buffer,
                                   uint32_t size, const char* path) {
  if (buffer == nullptr || size == 0) return 0;
  std::wstring widePath = path ? WidePath(path) : std::wstring();
  UINT codePage = path ? FileCodePage(widePath) : CP_ACP;
  std::wstring wideSection = section ? WideFromFile(codePage, section) : std::wstring();
  std::wstring wideKey = key ? WideFromFile(codePage, key) : std::wstring();
  std::wstring wideDefault = defaultValue ? WideFromFile(codePage, defaultValue) : std::wstring();
  // One UTF-16 unit per byte of the ANSI text, and room to tell a cut list.
  std::vector<wchar_t> wide(static_cast<size_t>(size) + 2, L'\0');
  DWORD n = ::GetPrivateProfileStringW(section ? wideSection.c_str() : nullptr, key ? wideKey.c_str() : nullptr,
                                       defaultValue ? wideDefault.c_str() : L"", wide.data(),
                                       static_cast<DWORD>(wide.size()), path ? widePath.c_str() : nullptr);
  if (section == nullptr || key == nullptr) {
    std::vector<std::string> names;
    size_t pos = 0;
    while (pos < n && wide[pos] != L'\0') {
      size_t end = pos;
      while (end < n && wide[end] != L'\0') ++end;
      names.push_back(FileFromWide(codePage, std::wstring_view(wide.data() + pos, end - pos)));
      pos = end + 1;
    }
    return CopyList(names, n == wide.size() - 2, buffer, size);
  }
  std::string value = FileFromWide(codePage, std::wstring_view(wide.data(), n));
  size_t copied = std::min<size_t>(value.size(), size - 1);
  std::memcpy(buffer, value.data(), copied);
  buffer[copied] = '\0';
  return static_cast<uint32_t>(copied);
}

bool WritePrivateProfileStringU8(const char* section, const char* key, const char* value, const char* path) {
  if (section == nullptr || path == nullptr) return false;
  std::wstring target = WidePath(path);
  // The copy kernel32 writes; a name of its own each time, so that kernel32's
  // cache of profile files never serves an earlier copy.
  std::wstring copy =
      target + L".tmp-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(g_copyCounter.fetch_add(1));
  DWORD attributes = ::GetFileAttributesW(target.c_str());
  bool existed = attributes != INVALID_FILE_ATTRIBUTES;
  // Windows does not write a read-only file (and Wine run as root would).
  if (existed && (attributes & FILE_ATTRIBUTE_READONLY)) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  if (existed && !::CopyFileW(target.c_str(), copy.c_str(), FALSE)) return false;
  UINT codePage = FileCodePage(target);
  std::wstring wideSection = WideFromFile(codePage, section);
  std::wstring wideKey = key ? WideFromFile(codePage, key) : std::wstring();
  std::wstring wideValue = value ? WideFromFile(codePage, value) : std::wstring();
  BOOL written = ::WritePrivateProfileStringW(wideSection.c_str(), key ? wideKey.c_str() : nullptr,
                                              value ? wideValue.c_str() : nullptr, copy.c_str());
  // Let kernel32 forget the copy (it flushes and drops its cache).
  ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, copy.c_str());
  DWORD error = ::GetLastError();
  if (written && ::GetFileAttributesW(copy.c_str()) == INVALID_FILE_ATTRIBUTES) {
    // Nothing to write (a delete in a missing file): kernel32 made no copy.
    return true;
  }
  if (!written || !::MoveFileExW(copy.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = ::GetLastError();
    ::SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);  // a copy of a read-only file is read-only
    ::DeleteFileW(copy.c_str());
    ::SetLastError(error);
    return false;
  }
  return true;
}

}  // namespace platform
