// ProjectFile: one XACT project file (global settings, wave bank or sound
// bank) read whole into memory.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vscaudio {

struct ProjectFile {
  std::u16string path;
  std::vector<uint8_t> data;
  uint32_t lastError = 0;  // Win32 error of the last read
};

// Reads the file at path (UTF-16) into the record; false on failure, with the
// Win32 error in lastError (2 no path or file not found, 3 path not found,
// 5 access denied, 8 too large or out of memory).
bool ReadProjectFile(ProjectFile& file, const char16_t* path);

void ReleaseProjectFile(ProjectFile& file);

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const char16_t* text);

}  // namespace vscaudio
