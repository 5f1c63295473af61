// RIFF WAVE parsing: walk the chunks, take "fmt " and "data", ignore the rest.
#include "soundset/wav_file.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace orvante::soundset {
namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

common::Result<> ParseWav(const uint8_t* data, size_t size, xact::PcmWave& wave) {
  wave = {};
  if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
    return common::Fail("not a RIFF WAVE file");
  }
  bool haveFormat = false;
  size_t pos = 12;
  while (pos + 8 <= size) {
    const uint8_t* chunk = data + pos;
    uint64_t length = Le32(chunk + 4);
    size_t body = pos + 8;
    size_t available = size - body;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (length < 16 || length > available) {
        return common::Fail("the format chunk is cut off");
      }
      uint16_t tag = Le16(chunk + 8);
      if (tag == 0xFFFE && length >= 40) tag = Le16(chunk + 8 + 24);  // extensible: sub-format GUID starts with the tag
      uint16_t channels = Le16(chunk + 10);
      uint32_t rate = Le32(chunk + 12);
      uint16_t bits = Le16(chunk + 22);
      if (tag != 1) {
        return common::Fail("format tag " + std::to_string(tag) + " is not integer PCM");
      }
      if (bits != 8 && bits != 16) {
        return common::Fail(std::to_string(bits) + "-bit samples are not supported (8 or 16)");
      }
      if (channels == 0 || rate == 0) {
        return common::Fail("the format chunk gives no channels or no sample rate");
      }
      wave.channels = channels;
      wave.sampleRate = rate;
      wave.bitsPerSample = bits;
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) {
        return common::Fail("the data chunk comes before the format chunk");
      }
      size_t frameBytes = size_t{wave.channels} * (wave.bitsPerSample / 8u);
      size_t bytes = length > available ? available : static_cast<size_t>(length);
      bytes -= bytes % frameBytes;
      wave.samples.assign(data + body, data + body + bytes);
      if (wave.samples.empty()) {
        return common::Fail("the wave holds no samples");
      }
      return {};
    }
    if (length > available) break;
    pos = body + static_cast<size_t>(length) + (length & 1);  // chunks are word-aligned
  }
  return common::Fail(haveFormat ? "no data chunk" : "no format chunk");
}

common::Result<> ReadWavFile(const std::string& path, xact::PcmWave& wave) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return common::Fail("cannot open " + path);
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (auto parsed = ParseWav(bytes.data(), bytes.size(), wave); !parsed)
    return common::Fail(path + ": " + parsed.error());
  return {};
}

}  // namespace orvante::soundset
