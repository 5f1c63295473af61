// Reading an XACT3 in-memory wave bank (.xwb): the bank's name and each
// wave's format and place in the file, with every region bounds-checked.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "xact/xact_layout.h"
#include "xact/xact_validator.h"

namespace orvante::xact {

struct WaveEntryInfo {
  std::string name;  // empty when the bank carries no entry names
  PackedWaveFormat format;
  uint32_t durationFrames = 0;
  uint32_t dataOffset = 0;  // absolute file offset of the first sample
  uint32_t dataLength = 0;  // bytes
  uint32_t loopStart = 0, loopLength = 0;
};

struct WaveBankInfo {
  std::string name;
  uint32_t flags = 0;
  std::vector<WaveEntryInfo> entries;
};

// Refuses what FACT cannot play safely from memory: streaming or compact
// banks, non-PCM waves, metadata records of any size but 24 bytes, regions
// outside the file, and durations longer than the wave's data.
XactCheckResult ReadWaveBank(const uint8_t* data, size_t size, WaveBankInfo& info);

}  // namespace orvante::xact
