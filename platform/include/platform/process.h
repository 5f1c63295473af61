// The process and its modules: executable path, module paths, file versions,
// run-time library loading, the calling thread's last-error value, and the
// user's application-data folder.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

// Full path of the process's executable. The host may stand the process in for
// another executable (the stand-in simulator names itself Prepar3D.exe in its
// simulator folder); the override is process-wide.
std::string GetExecutablePath();
void SetExecutablePath(const std::string& path);  // empty restores the real one

// Path of the loaded module (shared library or executable) that contains the
// given address, or empty.
std::string GetModuleFileNameU8(const void* addressInModule);

// A module's file version, as the version resource's fixed file information
// gives it: versionMS = major << 16 | minor, versionLS = build << 16 | revision.
// Read from the file itself; false when the file holds no version record.
bool GetFileVersion(const std::string& path, uint32_t& versionMS, uint32_t& versionLS);

// The text a build embeds in a binary to carry its file version; see
// ORVANTE_DEFINE_FILE_VERSION.
#define ORVANTE_FILE_VERSION_MARKER "ORVANTE-FILE-VERSION:"
// Defines the file-version record of the binary it is compiled into, for
// example ORVANTE_DEFINE_FILE_VERSION("1.0.0.1"). Windows binaries also carry
// it in their VERSIONINFO resource (cmake/windows.cmake), which is what
// GetFileVersion reads there.
#ifdef _WIN32
#define ORVANTE_DEFINE_FILE_VERSION(text) \
  extern "C" __declspec(dllexport) const char orvante_file_version_record[] = ORVANTE_FILE_VERSION_MARKER text
#else
#define ORVANTE_DEFINE_FILE_VERSION(text)                                                            \
  extern "C" __attribute__((used, visibility("default"))) const char orvante_file_version_record[] = \
      ORVANTE_FILE_VERSION_MARKER text
#endif

using ModuleHandle = void*;
// LoadLibrary: null on failure, with the last-error value set (126 when the
// file does not exist or cannot be loaded). The path is UTF-8.
ModuleHandle LoadLibraryU8(const std::string& path);
// GetProcAddress: null when the export is missing (last error 127).
void* GetProcAddress(ModuleHandle module, const char* name);
void FreeLibrary(ModuleHandle module);
// Text of the loader's last failure, for logs.
std::string LastLoaderError();

// The process's identifier, as the system numbers processes.
uint32_t GetCurrentProcessId();

// The calling thread's last-error value.
uint32_t GetLastError();
void SetLastError(uint32_t error);

// The user's roaming application-data folder (CSIDL_APPDATA): the folder the
// host set, else the roaming folder of the Wine prefix ($WINEPREFIX, default
// ~/.wine) for the current user when it exists, else empty.
std::string GetAppDataFolder();
void SetAppDataFolder(const std::string& folder);

// Wine prefix in use: $WINEPREFIX or ~/.wine.
std::string GetWinePrefix();

}  // namespace platform
