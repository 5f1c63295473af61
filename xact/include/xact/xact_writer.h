// Writing an XACT3 sound set from named PCM waves held in memory: global
// settings with the standard categories and the variables FACT's 3D helpers
// use, an in-memory wave bank, and a sound bank with one cue per wave that
// plays it once.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "xact/xact_validator.h"

namespace orvante::xact {

struct PcmWave {
  uint32_t sampleRate = 22050;
  uint16_t channels = 1;         // 1 to 7
  uint16_t bitsPerSample = 16;   // 8 (unsigned) or 16 (signed)
  std::vector<uint8_t> samples;  // interleaved, little-endian, whole frames
};

struct NamedWave {
  std::string cueName;  // the name the cue is looked up by; unique, case-sensitive
  PcmWave wave;
};

struct SoundSetFiles {
  std::vector<uint8_t> xgs, xwb, xsb;
};

struct SoundSetWriteOptions {
  // Write each sound as a complex sound (one track, one PlayWave event)
  // rather than a simple one. Both play the same.
  bool complexSounds = false;
};

// Builds the three files. bankName names the wave and sound banks (at most
// 63 characters). Fails, with a message, on an empty or over-long name, a
// duplicate or empty cue name, or a wave FACT cannot play; the files written
// pass ValidateSoundSet.
XactCheckResult WriteSoundSet(const std::string& bankName, const std::vector<NamedWave>& waves, SoundSetFiles& files,
                              const SoundSetWriteOptions& options = {});

}  // namespace orvante::xact
