// Whole-file reads and atomic writes of a sound set's three files.
#include "soundset/sound_set_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <strings.h>

namespace orvante::soundset {
namespace {

const char* const kExtensions[] = {".xgs", ".xwb", ".xsb"};

bool ReadWhole(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    error = path + ": no such file";
    return false;
  }
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    error = path + ": cannot open: " + std::strerror(errno);
    return false;
  }
  // Sized from the file, then read until its end: a file that changes size
  // meanwhile is taken as it is read.
  uintmax_t expected = std::filesystem::file_size(path, ec);
  bytes.resize(ec ? 0 : static_cast<size_t>(expected));
  size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
  bytes.resize(got);
  char more[65536];
  while (size_t n = std::fread(more, 1, sizeof more, f)) bytes.insert(bytes.end(), more, more + n);
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) {
    error = path + ": read error";
    return false;
  }
  return true;
}

bool WriteAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
  std::string temp = path + ".tmp";
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    error = temp + ": " + std::strerror(errno);
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
    error = path + ": cannot write: " + std::strerror(errno);
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::string SoundSetBasePath(const std::string& path) {
  if (path.size() > 4) {
    const char* tail = path.c_str() + path.size() - 4;
    for (const char* ext : kExtensions)
      if (strcasecmp(tail, ext) == 0) return path.substr(0, path.size() - 4);
  }
  return path;
}

bool ReadSoundSetFiles(const std::string& basePath, xact::SoundSetFiles& files, std::string& error) {
  files = {};
  return ReadWhole(basePath + ".xgs", files.xgs, error) && ReadWhole(basePath + ".xwb", files.xwb, error) &&
         ReadWhole(basePath + ".xsb", files.xsb, error);
}

bool WriteSoundSetFiles(const std::string& basePath, const xact::SoundSetFiles& files, std::string& error) {
  return WriteAtomically(basePath + ".xgs", files.xgs, error) && WriteAtomically(basePath + ".xwb", files.xwb, error) &&
         WriteAtomically(basePath + ".xsb", files.xsb, error);
}

}  // namespace orvante::soundset
