// Whole-file reads and atomic writes of a sound set's three files.
#include "soundset/sound_set_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "common/text.h"

namespace orvante::soundset {
namespace {

const char* const kExtensions[] = {".xgs", ".xwb", ".xsb"};

common::Result<> ReadWhole(const std::string& path, std::vector<uint8_t>& bytes) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    return common::Fail(path + ": no such file");
  }
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    return common::Fail(path + ": cannot open: " + std::strerror(errno));
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
    return common::Fail(path + ": read error");
  }
  return {};
}

common::Result<> WriteAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string temp = path + ".tmp";
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    return common::Fail(temp + ": " + std::strerror(errno));
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
    const std::string why = std::strerror(errno);
    std::remove(temp.c_str());
    return common::Fail(path + ": cannot write: " + why);
  }
  return {};
}

}  // namespace

std::string SoundSetBasePath(const std::string& path) {
  if (path.size() > 4) {
    const char* tail = path.c_str() + path.size() - 4;
    for (const char* ext : kExtensions)
      if (common::EqualsIgnoringCase(tail, ext)) return path.substr(0, path.size() - 4);
  }
  return path;
}

common::Result<> ReadSoundSetFiles(const std::string& basePath, xact::SoundSetFiles& files) {
  files = {};
  if (auto read = ReadWhole(basePath + ".xgs", files.xgs); !read) return read;
  if (auto read = ReadWhole(basePath + ".xwb", files.xwb); !read) return read;
  return ReadWhole(basePath + ".xsb", files.xsb);
}

common::Result<> WriteSoundSetFiles(const std::string& basePath, const xact::SoundSetFiles& files) {
  if (auto written = WriteAtomically(basePath + ".xgs", files.xgs); !written) return written;
  if (auto written = WriteAtomically(basePath + ".xwb", files.xwb); !written) return written;
  return WriteAtomically(basePath + ".xsb", files.xsb);
}

}  // namespace orvante::soundset
