// Reading /proc/self: small files, read whole with one call each.
#include "process_threads.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sim::threads {
namespace {

std::string ReadSmallFile(const char* path) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  char text[8192];
  ssize_t n = read(fd, text, sizeof text - 1);
  close(fd);
  return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
}

std::string TaskFile(int tid, const char* name) {
  char path[80];
  std::snprintf(path, sizeof path, "/proc/self/task/%d/%s", tid, name);
  return ReadSmallFile(path);
}

// The file a descriptor of this process is open on.
std::string DescriptorTarget(long fd) {
  char link[64], target[4096];
  std::snprintf(link, sizeof link, "/proc/self/fd/%ld", fd);
  ssize_t n = readlink(link, target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<size_t>(n)) : std::string();
}

// The numeric entries of a folder of /proc.
std::vector<int> NumberedEntries(const char* folder) {
  std::vector<int> numbers;
  DIR* dir = opendir(folder);
  if (dir == nullptr) return numbers;
  while (dirent* entry = readdir(dir)) {
    char* end = nullptr;
    long number = std::strtol(entry->d_name, &end, 10);
    if (end != entry->d_name && *end == '\0') numbers.push_back(static_cast<int>(number));
  }
  closedir(dir);
  return numbers;
}

}  // namespace

bool Visible() { return access("/proc/self/task", R_OK) == 0; }

std::vector<int> All() { return NumberedEntries("/proc/self/task"); }

std::vector<int> Named(const std::string& name) {
  std::vector<int> found;
  for (int tid : All()) {
    std::string comm = TaskFile(tid, "comm");
    if (!comm.empty() && comm.back() == '\n') comm.pop_back();
    if (comm == name) found.push_back(tid);
  }
  return found;
}

int64_t VoluntarySwitches(int tid) {
  std::string status = TaskFile(tid, "status");
  const char* key = "voluntary_ctxt_switches:";
  size_t at = status.find(key);
  // "nonvoluntary_ctxt_switches:" follows; the first match is the voluntary one.
  if (at == std::string::npos || (at > 0 && status[at - 1] != '\n')) return -1;
  return std::strtoll(status.c_str() + at + std::strlen(key), nullptr, 10);
}

bool WaitsInWriteTo(int tid, const std::string& path) {
  // "running" while the thread runs; "NR ARG1 ARG2 ..." while it waits in a
  // system call; "-1 ..." while it waits outside one.
  std::string call = TaskFile(tid, "syscall");
  char* end = nullptr;
  long number = std::strtol(call.c_str(), &end, 10);
  if (end == call.c_str() || (number != SYS_write && number != SYS_writev)) return false;
  long fd = std::strtol(end, nullptr, 16);
  return DescriptorTarget(fd) == path;
}

std::vector<int> DescriptorsOn(const std::string& path) {
  std::vector<int> found;
  for (int fd : NumberedEntries("/proc/self/fd"))
    if (DescriptorTarget(fd) == path) found.push_back(fd);
  return found;
}

}  // namespace sim::threads
