// Reading a project file whole, with the Win32 error codes of the read.
#include "project_file.h"

#include <cerrno>
#include <cstdio>
#include <limits>
#include <new>

namespace vscaudio {

namespace {

constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorReadFault = 30;

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

  std::FILE* stream = std::fopen(Utf16ToUtf8(path).c_str(), "rb");
  if (stream == nullptr) {
    file.lastError = Win32ErrorOf(errno);
    return false;
  }
  bool ok = false;
  long size = -1;
  if (std::fseek(stream, 0, SEEK_END) == 0) size = std::ftell(stream);
  if (size < 0 || std::fseek(stream, 0, SEEK_SET) != 0) {
    file.lastError = Win32ErrorOf(errno);  // a directory, a pipe, or a failing medium
    if (file.lastError == kErrorReadFault) file.lastError = kErrorAccessDenied;
  } else if (static_cast<unsigned long long>(size) >= (1ull << 32)) {
    file.lastError = kErrorNotEnoughMemory;
  } else {
    try {
      file.data.resize(static_cast<size_t>(size));
      if (std::fread(file.data.data(), 1, file.data.size(), stream) == file.data.size()) {
        ok = true;
        file.lastError = 0;
      } else {
        file.lastError = std::ferror(stream) ? Win32ErrorOf(errno) : kErrorReadFault;
      }
    } catch (const std::bad_alloc&) {
      file.lastError = kErrorNotEnoughMemory;
    }
    if (!ok) ReleaseProjectFile(file);
  }
  std::fclose(stream);
  return ok;
}

}  // namespace vscaudio
