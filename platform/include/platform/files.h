// Files and folders: search by pattern, existence, copy, delete, rename,
// attributes, whole-file reads, atomic writes and path composition.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The separator the platform composes paths with.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Joins the parts with the platform's separator. A part may itself hold
// '\' or '/' separators (for example "ORVANTE\\Profiles"); they are turned
// into the platform's separator.
std::string JoinPath(std::initializer_list<std::string_view> parts);

// Turns every '\' and '/' of a path into the platform's separator.
std::string NativePath(std::string_view path);

// The native path of a file or folder as it is on disk. Windows' file names
// ignore letter case, and files copied from Windows keep theirs
// ("Aircraft.cfg", "SCHEMA.INI"): where a part of the path does not exist as
// written, the part in the same folder that differs only in letter case is
// taken (the first in name order). From the first part found in no case, the
// rest is kept as written, so a new file goes into the folder that exists.
// Every operation below on files and folders goes through it.
std::string ExistingPath(std::string_view path);

// Index of the last '\' or '/' in path, or npos. Paths that the simulator
// supplies may use either separator.
size_t LastSeparator(std::string_view path);

struct FoundFile {
  std::string name;  // file name without its folder
  bool isDirectory = false;
};

// Lists the entries of a folder whose names match the wildcard pattern of the
// path's last component ('*' and '?', letter case ignored), in name order, as
// FindFirstFile/FindNextFile would. "C:/x/*.XGS" finds "default.xgs".
std::vector<FoundFile> FindFiles(std::string_view pattern);

// True when FindFiles(path) finds anything (a search that finds a match counts
// as present).
bool FileExists(std::string_view path);
bool IsDirectory(std::string_view path);

// Whether a wildcard pattern matches a name, letter case ignored.
bool WildcardMatch(std::string_view pattern, std::string_view name);

bool CopyFileU8(std::string_view from, std::string_view to, bool failIfExists);
bool DeleteFileU8(std::string_view path);
bool MoveFileU8(std::string_view from, std::string_view to);  // rename, replacing the target
bool CreateDirectoryU8(std::string_view path);                // creates missing parents too

// Windows' FILE_ATTRIBUTE_READONLY, ... and INVALID_FILE_ATTRIBUTES.
inline constexpr uint32_t kFileAttributeReadOnly = 0x1;
inline constexpr uint32_t kFileAttributeDirectory = 0x10;
inline constexpr uint32_t kFileAttributeNormal = 0x80;
inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

// Read-only maps to the absence of every write permission bit.
uint32_t GetFileAttributesU8(std::string_view path);
bool SetFileAttributesU8(std::string_view path, uint32_t attributes);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(std::string_view path, std::string& contents);

// Writes a whole file through a temporary file in the same folder and a
// rename, so that a crash never leaves half a file. Keeps the permission bits
// of a file it replaces.
bool WriteFileAtomically(std::string_view path, std::string_view contents);

}  // namespace platform
