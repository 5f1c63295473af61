// The process and its modules over the Win32 API: GetModuleFileNameW,
// GetModuleHandleExW, GetFileVersionInfoW/VerQueryValueW over the version
// resource, LoadLibraryW, GetProcAddress, FreeLibrary, the thread's own
// last-error value, and SHGetFolderPathW(CSIDL_APPDATA).
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/files.h"
#include "platform/process.h"
#include "win32/text.h"

namespace platform {
namespace {

std::mutex g_processMutex;
std::string g_executableOverride;
std::string g_appDataOverride;
// Plain characters: a thread-local object with a destructor may be freed
// before its destructor runs under mingw's emulated thread-local storage.
thread_local char t_loaderError[1024];

std::string ModulePath(HMODULE module) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD n = ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return win32::Utf8(std::wstring_view(buffer.data(), n));
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::string GetExecutablePath() {
  {
    std::lock_guard<std::mutex> lock(g_processMutex);
    if (!g_executableOverride.empty()) return g_executableOverride;
  }
  return ModulePath(nullptr);
}

void SetExecutablePath(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_processMutex);
  g_executableOverride = path;
}

std::string GetModuleFileNameU8(const void* addressInModule) {
  HMODULE module = nullptr;
  if (addressInModule == nullptr ||
      !::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCWSTR>(addressInModule), &module))
    return {};
  return ModulePath(module);
}

bool GetFileVersion(const std::string& path, uint32_t& versionMS, uint32_t& versionLS) {
  versionMS = versionLS = 0;
  std::wstring file = win32::WidePath(path);
  DWORD handle = 0;
  DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &handle);
  if (size == 0) return false;  // last error: 1812/1813 for a file without a version resource
  std::vector<BYTE> data(size);
  if (!::GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return false;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || info == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO))
    return false;
  versionMS = info->dwFileVersionMS;
  versionLS = info->dwFileVersionLS;
  return true;
}

ModuleHandle LoadLibraryU8(const std::string& path) {
  HMODULE module = ::LoadLibraryW(win32::WidePath(path).c_str());
  if (module == nullptr) {
    DWORD error = ::GetLastError();
    std::snprintf(t_loaderError, sizeof t_loaderError, "%s: %s", path.c_str(), win32::ErrorText(error).c_str());
    ::SetLastError(error);
  }
  return module;
}

void* GetProcAddress(ModuleHandle module, const char* name) {
  if (module == nullptr || name == nullptr) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(module), name));
}

void FreeLibrary(ModuleHandle module) {
  if (module) ::FreeLibrary(static_cast<HMODULE>(module));
}

std::string LastLoaderError() { return t_loaderError; }

uint32_t GetLastError() { return ::GetLastError(); }

uint32_t GetCurrentProcessId() { return ::GetCurrentProcessId(); }
void SetLastError(uint32_t error) { ::SetLastError(error); }

// A Windows program has no Wine prefix of its own to look for: the one named
// by $WINEPREFIX when it runs under Wine, else none.
std::string GetWinePrefix() {
  const char* prefix = std::getenv("WINEPREFIX");
  return prefix && *prefix ? prefix : std::string();
}

std::string GetAppDataFolder() {
  {
    std::lock_guard<std::mutex> lock(g_processMutex);
    if (!g_appDataOverride.empty()) return g_appDataOverride;
  }
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
  return win32::Utf8(folder);
}

void SetAppDataFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(g_processMutex);
  g_appDataOverride = folder;
}

}  // namespace platform
