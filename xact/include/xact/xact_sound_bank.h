// Reading an XACT3 sound bank (.xsb): cue names, sounds and what each sound
// refers to (categories, waves, RPC and DSP codes), with every read
// bounds-checked. Also the reader of a set's cue names.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "xact/xact_validator.h"

namespace orvante::xact {

struct WaveReference {
  uint16_t wave = 0;
  uint8_t waveBank = 0;  // slot in the sound bank's wave bank name table
};

struct SoundInfo {
  uint32_t code = 0;  // file offset of the record, what cues refer to
  uint8_t flags = 0;
  uint16_t category = 0;
  uint8_t volume = 0;              // FACT's volume byte
  std::vector<uint32_t> rpcCodes;  // the sound's and its tracks'
  std::vector<uint32_t> dspCodes;
  std::vector<WaveReference> waves;
};

struct CueInfo {
  std::string name;
  uint8_t flags = 0;
  uint32_t code = 0;
};

struct SoundBankInfo {
  uint16_t contentVersion = 0;
  std::string name;
  std::vector<std::string> waveBankNames;
  std::vector<SoundInfo> sounds;
  std::vector<CueInfo> cues;                  // simple cues first, then complex ones
  std::vector<WaveReference> variationWaves;  // waves chosen by variation tables
  std::vector<uint16_t> variationVariables;   // variables of interactive variations
};

// Walks the file in the order FACT reads it; refuses truncation, header
// offsets that disagree with the layout, unknown event or variation types,
// cue codes that name no sound or variation table, and trailing bytes.
XactCheckResult ReadSoundBank(const uint8_t* data, size_t size, SoundBankInfo& info);

// The cue names of a sound bank, in cue order; refuses what ReadSoundBank refuses.
XactCheckResult ListCueNames(const uint8_t* data, size_t size, std::vector<std::string>& names);

}  // namespace orvante::xact
