// Reading a project file whole, with the Win32 error codes of the read: on
// Windows through the file API itself, elsewhere through POSIX files with
// their errors mapped to Windows'.
#include "project_file.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <new>

namespace vscaudio {

namespace {

constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorReadFault = 30;

#ifndef _WIN32
uint32_t Win32ErrorOf(int error) {
  switch (error) {
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EISDIR:
    case EPERM: return kErrorAccessDenied;
    case ENOMEM: return kErrorNotEnoughMemory;
    default: return kErrorReadFault;
  }
}
#endif

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string Utf16ToUtf8(const char16_t* text) {
  std::string out;
  if (text == nullptr) return out;
  for (size_t i = 0; text[i] != 0; ++i) {
    uint32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

void ReleaseProjectFile(ProjectFile& file) {
  file.path.clear();
  file.path.shrink_to_fit();
  file.data.clear();
  file.data.shrink_to_fit();
}

bool ReadProjectFile(ProjectFile& file, const char16_t* path) {
  if (path == nullptr) {
    file.lastError = kErrorFileNotFound;
    return false;
  }
  ReleaseProjectFile(file);
  file.path = path;

#ifdef _WIN32
  // Existing files only, shared for reading, read whole in one read.
  HANDLE handle = CreateFileW(reinterpret_cast<LPCWSTR>(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    file.lastError = ::GetLastError();
    return false;
  }
  bool ok = false;
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(handle, &size)) {
    file.lastError = ::GetLastError();
  } else if (static_cast<unsigned long long>(size.QuadPart) >= (1ull << 32)) {
    file.lastError = kErrorNotEnoughMemory;
  } else {
    try {
      file.data.resize(static_cast<size_t>(size.QuadPart));
      DWORD got = 0;
      if (!ReadFile(handle, file.data.data(), static_cast<DWORD>(file.data.size()), &got, nullptr)) {
        file.lastError = ::GetLastError();
      } else if (got != file.data.size()) {
        file.lastError = kErrorReadFault;
      } else {
        ok = true;
        file.lastError = 0;
      }
    } catch (const std::bad_alloc&) {
      file.lastError = kErrorNotEnoughMemory;
    }
  }
  if (!ok) ReleaseProjectFile(file);
  CloseHandle(handle);
  return ok;
#else
  int descriptor = ::open(Utf16ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    file.lastError = Win32ErrorOf(errno);
    return false;
  }
  bool ok = false;
  struct stat status = {};
  if (::fstat(descriptor, &status) != 0) {
    file.lastError = Win32ErrorOf(errno);
  } else if (S_ISDIR(status.st_mode)) {
    file.lastError = kErrorAccessDenied;  // what opening a folder as a file gives
  } else if (static_cast<unsigned long long>(status.st_size) >= (1ull << 32)) {
    file.lastError = kErrorNotEnoughMemory;
  } else {
    try {
      file.data.resize(static_cast<size_t>(status.st_size));
      size_t done = 0;
      while (done < file.data.size()) {
        ssize_t got = ::read(descriptor, file.data.data() + done, file.data.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<size_t>(got);
      }
      if (done == file.data.size()) {
        ok = true;
        file.lastError = 0;
      } else {
        file.lastError = kErrorReadFault;
      }
    } catch (const std::bad_alloc&) {
      file.lastError = kErrorNotEnoughMemory;
    }
  }
  if (!ok) ReleaseProjectFile(file);
  ::close(descriptor);
  return ok;
#endif
}

}  // namespace vscaudio
