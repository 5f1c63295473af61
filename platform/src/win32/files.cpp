// Files and folders over the Win32 API: FindFirstFileW/FindNextFileW,
// GetFileAttributesW, CopyFileW, DeleteFileW, MoveFileExW, CreateDirectoryW,
// CreateFileW with ReadFile/WriteFile. Windows itself ignores letter case in
// names and keeps read-only as an attribute; last-error values are Windows'.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/files.h"
#include "win32/text.h"

namespace platform {
namespace {

using win32::Utf8;
using win32::WidePath;

std::atomic<uint32_t> g_temporaryCounter{0};

// Closes a file handle when it goes out of scope.
struct FileHandle {
  HANDLE handle;
  explicit FileHandle(HANDLE h) : handle(h) {}
  ~FileHandle() {
    if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool ok() const { return handle != INVALID_HANDLE_VALUE; }
};

bool WriteAll(HANDLE file, std::string_view data) {
  while (!data.empty()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, data.data(), chunk, &written, nullptr)) return false;
    data.remove_prefix(written);
  }
  return true;
}

}  // namespace

// Windows opens a file in any letter case; the path as it is on disk comes
// from FindFirstFileW, which gives each existing part's own name.
std::string ExistingPath(std::string_view path) {
  std::string native = NativePath(path);
  if (native.empty() || native.find_first_of("*?") != std::string::npos) return native;
  // The root stays as written: "C:\", "\\server\share\" or "\".
  size_t start = 0;
  if (native.size() >= 2 && native[1] == ':') start = native.size() > 2 && native[2] == kPathSeparator ? 3 : 2;
  else if (native.rfind("\\\\", 0) == 0) {
    size_t share = native.find(kPathSeparator, 2);
    size_t end = share == std::string::npos ? std::string::npos : native.find(kPathSeparator, share + 1);
    if (end == std::string::npos) return native;
    start = end + 1;
  } else if (native[0] == kPathSeparator) start = 1;
  std::string result = native.substr(0, start);
  while (start < native.size()) {
    size_t end = native.find(kPathSeparator, start);
    if (end == std::string::npos) end = native.size();
    std::string part = native.substr(start, end - start);
    if (!part.empty() && part != "." && part != "..") {
      WIN32_FIND_DATAW data{};
      HANDLE search = ::FindFirstFileW(win32::Wide(result + part).c_str(), &data);
      if (search == INVALID_HANDLE_VALUE) return result + native.substr(start);  // the rest as written
      ::FindClose(search);
      part = Utf8(data.cFileName);
    }
    result += part;
    if (end < native.size()) result += kPathSeparator;
    start = end + 1;
  }
  return result;
}

std::vector<FoundFile> FindFiles(std::string_view pattern) {
  std::vector<FoundFile> found;
  std::string native = NativePath(pattern);
  if (native.empty() || native.back() == kPathSeparator) return found;
  WIN32_FIND_DATAW data{};
  HANDLE search = ::FindFirstFileW(win32::Wide(native).c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    found.push_back({Utf8(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (::FindNextFileW(search, &data));
  ::FindClose(search);
  // In name order on every file system, as NTFS gives them.
  std::sort(found.begin(), found.end(), [](const FoundFile& a, const FoundFile& b) { return a.name < b.name; });
  return found;
}

bool FileExists(std::string_view path) {
  if (path.empty()) return false;
  std::string native = NativePath(path);
  if (native.find_first_of("*?") != std::string::npos) return !FindFiles(native).empty();
  return ::GetFileAttributesW(WidePath(native).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(std::string_view path) {
  DWORD attributes = ::GetFileAttributesW(WidePath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ReadWholeFile(std::string_view path, std::string& contents) {
  contents.clear();
  FileHandle file(::CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) return false;  // last error: 2, 3, 5, ... as Windows says
  char chunk[65536];
  for (;;) {
    DWORD n = 0;
    if (!::ReadFile(file.handle, chunk, sizeof chunk, &n, nullptr)) {
      contents.clear();
      return false;
    }
    if (n == 0) break;
    contents.append(chunk, n);
  }
  return true;
}

bool WriteFileAtomically(std::string_view path, std::string_view contents) {
  std::wstring target = WidePath(path);
  std::wstring temporary = target + L".tmp-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                           std::to_wstring(g_temporaryCounter.fetch_add(1));
  bool ok;
  {
    FileHandle file(
        ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.ok()) return false;
    ok = WriteAll(file.handle, contents) && ::FlushFileBuffers(file.handle);
  }
  // The new file keeps the attributes of the one it replaces (read-only
  // too, which MoveFileEx would refuse to replace).
  DWORD attributes = ::GetFileAttributesW(target.c_str());
  bool replacing = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  if (ok && replacing && (attributes & FILE_ATTRIBUTE_READONLY))
    ok = ::SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (ok) ok = ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (replacing) ::SetFileAttributesW(target.c_str(), attributes);
  if (!ok) {
    DWORD error = ::GetLastError();
    ::DeleteFileW(temporary.c_str());
    ::SetLastError(error);
  }
  return ok;
}

bool CopyFileU8(std::string_view from, std::string_view to, bool failIfExists) {
  return ::CopyFileW(WidePath(from).c_str(), WidePath(to).c_str(), failIfExists ? TRUE : FALSE) != 0;
}

bool DeleteFileU8(std::string_view path) { return ::DeleteFileW(WidePath(path).c_str()) != 0; }

bool MoveFileU8(std::string_view from, std::string_view to) {
  return ::MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

bool CreateDirectoryU8(std::string_view path) {
  std::string native = NativePath(path);
  while (native.size() > 1 && native.back() == kPathSeparator) native.pop_back();
  // Every missing folder on the way, from the first after the root ("C:\",
  // "\\server\share\" or "\").
  size_t start = 0;
  if (native.size() >= 2 && native[1] == ':') start = 3;
  else if (native.rfind("\\\\", 0) == 0) start = native.find('\\', native.find('\\', 2) + 1) + 1;
  else if (!native.empty() && native[0] == '\\') start = 1;
  for (size_t pos = start; pos <= native.size(); ++pos) {
    if (pos == native.size() || native[pos] == kPathSeparator) {
      std::wstring prefix = win32::Wide(native.substr(0, pos));
      if (!::CreateDirectoryW(prefix.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        DWORD attributes = ::GetFileAttributesW(prefix.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
      }
    }
  }
  return IsDirectory(native);
}

uint32_t GetFileAttributesU8(std::string_view path) { return ::GetFileAttributesW(WidePath(path).c_str()); }

bool SetFileAttributesU8(std::string_view path, uint32_t attributes) {
  return ::SetFileAttributesW(WidePath(path).c_str(), attributes) != 0;
}

}  // namespace platform
