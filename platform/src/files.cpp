// Files and folders over POSIX, with the Windows behaviour the deliverables
// rely on: wildcard searches without regard to letter case, read-only as an
// attribute, copy/delete/rename results as booleans, atomic replacement.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/process.h"
#include "platform/threads.h"
#include "common/text.h"

namespace platform {

namespace {

// The name in folder that equals name but for letter case, first in name
// order; empty when there is none.
std::string NameInOtherCase(const std::string& folder, const std::string& name) {
  std::string found;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return found;
  while (dirent* entry = readdir(dir)) {
    if (common::EqualsIgnoringCase(entry->d_name, name) && (found.empty() || found > entry->d_name))
      found = entry->d_name;
  }
  closedir(dir);
  return found;
}

}  // namespace

std::string ExistingPath(std::string_view path) {
  std::string native = NativePath(path);
  struct stat st {};
  if (native.empty() || lstat(native.c_str(), &st) == 0) return native;
  std::string result = native.front() == kPathSeparator ? std::string(1, kPathSeparator) : std::string();
  bool resolving = true;
  size_t start = 0;
  while (start < native.size()) {
    size_t end = native.find(kPathSeparator, start);
    if (end == std::string::npos) end = native.size();
    std::string part = native.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    std::string folder = result;
    if (!result.empty() && result.back() != kPathSeparator) result += kPathSeparator;
    if (resolving && lstat((result + part).c_str(), &st) != 0) {
      std::string other = part == "." || part == ".." ? std::string() : NameInOtherCase(folder, part);
      if (other.empty()) resolving = false;
      else part = other;
    }
    result += part;
  }
  if (native.back() == kPathSeparator && result.back() != kPathSeparator) result += kPathSeparator;
  return result;
}

std::vector<FoundFile> FindFiles(std::string_view pattern) {
  std::vector<FoundFile> found;
  std::string native = NativePath(pattern);
  size_t slash = native.find_last_of(kPathSeparator);
  std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : ExistingPath(native.substr(0, slash)));
  std::string namePattern = slash == std::string::npos ? native : native.substr(slash + 1);
  if (namePattern.empty()) return found;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return found;
  while (dirent* entry = readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!WildcardMatch(namePattern, name)) continue;
    struct stat st {};
    std::string full = folder + kPathSeparator + std::string(name);
    if (stat(full.c_str(), &st) != 0) continue;
    found.push_back({std::string(name), S_ISDIR(st.st_mode)});
  }
  closedir(dir);
  std::sort(found.begin(), found.end(), [](const FoundFile& a, const FoundFile& b) { return a.name < b.name; });
  return found;
}

bool FileExists(std::string_view path) {
  if (path.empty()) return false;
  std::string native = NativePath(path);
  if (native.find_first_of("*?") != std::string::npos) return !FindFiles(native).empty();
  struct stat st {};
  return stat(ExistingPath(native).c_str(), &st) == 0;
}

bool IsDirectory(std::string_view path) {
  struct stat st {};
  return stat(ExistingPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ReadWholeFile(std::string_view path, std::string& contents) {
  contents.clear();
  int fd = open(ExistingPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    SetLastError(errno == ENOENT ? 2 : 5);
    return false;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    SetLastError(5);
    return false;
  }
  char chunk[65536];
  for (;;) {
    ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      contents.clear();
      SetLastError(30);  // ERROR_READ_FAULT
      return false;
    }
    if (n == 0) break;
    contents.append(chunk, static_cast<size_t>(n));
  }
  close(fd);
  return true;
}

namespace {

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(std::string_view path, std::string_view contents) {
  std::string target = ExistingPath(path);
  struct stat st {};
  mode_t mode = 0644;
  if (stat(target.c_str(), &st) == 0) mode = st.st_mode & 07777;
  std::string temporary = target + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(GetCurrentThreadId());
  int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) {
    SetLastError(errno == ENOENT ? 3 : 5);
    return false;
  }
  bool ok = WriteAll(fd, contents) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok) ok = chmod(temporary.c_str(), mode) == 0;
  if (ok) ok = rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temporary.c_str());
    SetLastError(5);
  }
  return ok;
}

bool CopyFileU8(std::string_view from, std::string_view to, bool failIfExists) {
  if (failIfExists && FileExists(to)) {
    SetLastError(80);  // ERROR_FILE_EXISTS
    return false;
  }
  std::string contents;
  if (!ReadWholeFile(from, contents)) return false;
  std::string target = ExistingPath(to);
  // Windows' CopyFile fails on a read-only target.
  if (FileExists(target) && (GetFileAttributesU8(target) & kFileAttributeReadOnly)) {
    SetLastError(5);
    return false;
  }
  if (!WriteFileAtomically(target, contents)) return false;
  struct stat st {};
  if (stat(ExistingPath(from).c_str(), &st) == 0) chmod(target.c_str(), st.st_mode & 07777);
  return true;
}

bool DeleteFileU8(std::string_view path) {
  std::string native = ExistingPath(path);
  if (FileExists(native) && (GetFileAttributesU8(native) & kFileAttributeReadOnly)) {
    SetLastError(5);  // Windows refuses to delete a read-only file
    return false;
  }
  if (unlink(native.c_str()) != 0) {
    SetLastError(errno == ENOENT ? 2 : 5);
    return false;
  }
  return true;
}

bool MoveFileU8(std::string_view from, std::string_view to) {
  if (rename(ExistingPath(from).c_str(), ExistingPath(to).c_str()) != 0) {
    SetLastError(errno == ENOENT ? 2 : 5);
    return false;
  }
  return true;
}

bool CreateDirectoryU8(std::string_view path) {
  std::string native = ExistingPath(path);
  for (size_t pos = 1; pos <= native.size(); ++pos) {
    if (pos == native.size() || native[pos] == kPathSeparator) {
      std::string prefix = native.substr(0, pos);
      if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) {
        SetLastError(errno == ENOENT ? 3 : 5);
        return false;
      }
    }
  }
  return IsDirectory(native);
}

uint32_t GetFileAttributesU8(std::string_view path) {
  struct stat st {};
  if (stat(ExistingPath(path).c_str(), &st) != 0) {
    SetLastError(2);
    return kInvalidFileAttributes;
  }
  uint32_t attributes = 0;
  if (S_ISDIR(st.st_mode)) attributes |= kFileAttributeDirectory;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= kFileAttributeReadOnly;
  return attributes == 0 ? kFileAttributeNormal : attributes;
}

bool SetFileAttributesU8(std::string_view path, uint32_t attributes) {
  std::string native = ExistingPath(path);
  struct stat st {};
  if (stat(native.c_str(), &st) != 0) {
    SetLastError(2);
    return false;
  }
  mode_t mode = st.st_mode & 07777;
  if (attributes & kFileAttributeReadOnly) mode &= ~(S_IWUSR | S_IWGRP | S_IWOTH);
  else if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) mode |= S_IWUSR;
  return chmod(native.c_str(), mode) == 0;
}

}  // namespace platform
