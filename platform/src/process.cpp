// The process, its modules and their versions, run-time library loading, the
// thread's last-error value and the user's application-data folder.
#include "platform/process.h"

#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/files.h"

namespace platform {
namespace {

std::mutex g_processMutex;
std::string g_executableOverride;
std::string g_appDataOverride;
thread_local uint32_t t_lastError = 0;
thread_local std::string t_loaderError;

// Parses "a.b.c.d" into the two 32-bit halves of a file version.
bool ParseVersion(const char* text, uint32_t& ms, uint32_t& ls) {
  unsigned parts[4] = {};
  int n = std::sscanf(text, "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]);
  if (n != 4) return false;
  for (unsigned part : parts)
    if (part > 0xFFFF) return false;
  ms = parts[0] << 16 | parts[1];
  ls = parts[2] << 16 | parts[3];
  return true;
}

}  // namespace

std::string GetExecutablePath() {
  {
    std::lock_guard<std::mutex> lock(g_processMutex);
    if (!g_executableOverride.empty()) return g_executableOverride;
  }
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  return std::string(buffer, static_cast<size_t>(n));
}

void SetExecutablePath(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_processMutex);
  g_executableOverride = path;
}

std::string GetModuleFileNameU8(const void* addressInModule) {
  Dl_info info{};
  if (addressInModule == nullptr || dladdr(addressInModule, &info) == 0 || info.dli_fname == nullptr) return {};
  std::string name = info.dli_fname;
  if (!name.empty() && name[0] != '/') {  // the main program may be reported relative
    char resolved[4096];
    if (realpath(name.c_str(), resolved)) name = resolved;
  }
  return name;
}

bool GetFileVersion(const std::string& path, uint32_t& versionMS, uint32_t& versionLS) {
  versionMS = versionLS = 0;
  std::string contents;
  if (!ReadWholeFile(path, contents)) return false;
  size_t pos = contents.find(ORVANTE_FILE_VERSION_MARKER);
  if (pos == std::string::npos) {
    SetLastError(1813);  // ERROR_RESOURCE_TYPE_NOT_FOUND
    return false;
  }
  const char* text = contents.c_str() + pos + std::strlen(ORVANTE_FILE_VERSION_MARKER);
  if (!ParseVersion(text, versionMS, versionLS)) {
    SetLastError(1813);
    return false;
  }
  return true;
}

ModuleHandle LoadLibraryU8(const std::string& path) {
  std::string native = ExistingPath(path);
  if (!FileExists(native)) {
    t_loaderError = "no such file: " + native;
    SetLastError(126);  // ERROR_MOD_NOT_FOUND
    return nullptr;
  }
  void* handle = dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    t_loaderError = error ? error : "unknown loader error";
    SetLastError(193);  // ERROR_BAD_EXE_FORMAT: the file exists but cannot be loaded
    return nullptr;
  }
  return handle;
}

void* GetProcAddress(ModuleHandle module, const char* name) {
  if (module == nullptr || name == nullptr) {
    SetLastError(6);  // ERROR_INVALID_HANDLE
    return nullptr;
  }
  dlerror();
  void* symbol = dlsym(module, name);
  if (symbol == nullptr) SetLastError(127);  // ERROR_PROC_NOT_FOUND
  return symbol;
}

void FreeLibrary(ModuleHandle module) {
  if (module) dlclose(module);
}

std::string LastLoaderError() { return t_loaderError; }

uint32_t GetCurrentProcessId() { return static_cast<uint32_t>(getpid()); }

uint32_t GetLastError() { return t_lastError; }
void SetLastError(uint32_t error) { t_lastError = error; }

std::string GetWinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (prefix && *prefix) return prefix;
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') {
    passwd* pw = getpwuid(getuid());
    home = pw ? pw->pw_dir : nullptr;
  }
  return home ? std::string(home) + "/.wine" : std::string();
}

std::string GetAppDataFolder() {
  {
    std::lock_guard<std::mutex> lock(g_processMutex);
    if (!g_appDataOverride.empty()) return g_appDataOverride;
  }
  // Wine keeps each user's profile under drive_c/users/<login name>.
  const char* user = std::getenv("USER");
  std::string login = user && *user ? user : "";
  if (login.empty()) {
    passwd* pw = getpwuid(getuid());
    if (pw) login = pw->pw_name;
  }
  std::string prefix = GetWinePrefix();
  if (prefix.empty() || login.empty()) return {};
  std::string roaming = prefix + "/drive_c/users/" + login + "/AppData/Roaming";
  return IsDirectory(roaming) ? roaming : std::string();
}

void SetAppDataFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(g_processMutex);
  g_appDataOverride = folder;
}

}  // namespace platform
