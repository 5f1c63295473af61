// The XACT3 file layouts this system writes and checks: magic numbers,
// versions, record sizes, flags and the packed wave format. All multi-byte
// fields are little-endian; xgs and xsb records are packed without padding.
#pragma once
#include <cmath>
#include <cstdint>

namespace orvante::xact {

// Content version shared by the three files (XACT 3.0 = 43 ... 3.4+ = 46).
inline constexpr uint16_t kContentVersionMin = 43;
inline constexpr uint16_t kContentVersionMax = 46;
inline constexpr uint16_t kContentVersion = 46;
// Content version 43 (XACT 3.0) has no filter fields in complex tracks.
inline constexpr uint16_t kContentVersionNoTrackFilter = 43;

// ---- Global settings (.xgs) ----
inline constexpr uint32_t kXgsMagic = 0x46534758;  // "XGSF"
inline constexpr uint16_t kXgsToolVersion = 42;
inline constexpr uint8_t kXgsPlatformWindows = 3;
inline constexpr uint8_t kXgsPlatformXbox = 7;
inline constexpr uint32_t kXgsHeaderSize = 77;
inline constexpr uint32_t kXgsCategorySize = 10;
inline constexpr uint32_t kXgsVariableSize = 13;
inline constexpr uint32_t kXgsRpcHeaderSize = 5;
inline constexpr uint32_t kXgsRpcPointSize = 9;
inline constexpr uint32_t kXgsDspPresetSize = 5;
inline constexpr uint32_t kXgsDspParameterSize = 15;
inline constexpr uint32_t kNameIndexEntrySize = 6;
// RPC parameters from 5 on drive DSP parameter (parameter - 5).
inline constexpr uint16_t kRpcFirstDspParameter = 5;
// FACT sets its reverb from parameters 0 to 21 of DSP preset 0.
inline constexpr uint16_t kReverbParameterCount = 22;  // u32 name offset, u16 unused
inline constexpr uint32_t kAbsentOffset = 0xFFFFFFFF;

// Variable accessibility bits.
inline constexpr uint8_t kVariablePublic = 0x01;
inline constexpr uint8_t kVariableReadOnly = 0x02;
inline constexpr uint8_t kVariableCueInstance = 0x04;
inline constexpr uint8_t kVariableReserved = 0x08;

inline constexpr uint16_t kNoParentCategory = 0xFFFF;
// Volume byte of 0 dB (FACT maps 0 to silence, not to 0 dB).
inline constexpr uint8_t kVolumeZeroDecibels = 0xB4;

// FACT reads a volume byte b as 3969 * log10(b / 28240) + 8715 millibel:
// 1 is about -89.5 dB, 0xB4 0 dB, 255 +6 dB; 0 is silence.
inline double DecibelsOfVolumeByte(uint8_t volume) {
  return volume == 0 ? -HUGE_VAL : (3969.0 * std::log10(volume / 28240.0) + 8715.0) / 100.0;
}

// ---- Wave bank (.xwb) ----
inline constexpr uint32_t kXwbMagic = 0x444E4257;  // "WBND"
inline constexpr uint32_t kXwbHeaderVersionMin = 42;
inline constexpr uint32_t kXwbHeaderVersionMax = 44;
inline constexpr uint32_t kXwbHeaderVersion = 44;
inline constexpr uint32_t kXwbHeaderSize = 52;  // magic, 2 versions, 5 segments
inline constexpr uint32_t kXwbBankDataSize = 96;
inline constexpr uint32_t kXwbEntrySize = 24;
inline constexpr uint32_t kXwbEntryNameSize = 64;
inline constexpr uint32_t kXwbDataAlignment = 2048;

enum XwbSegment : int {
  kSegmentBankData,
  kSegmentEntryMetadata,
  kSegmentSeekTables,
  kSegmentEntryNames,
  kSegmentWaveData,
  kSegmentCount
};

inline constexpr uint32_t kXwbFlagStreaming = 0x00000001;
inline constexpr uint32_t kXwbFlagEntryNames = 0x00010000;
inline constexpr uint32_t kXwbFlagCompact = 0x00020000;
inline constexpr uint32_t kXwbFlagSyncDisabled = 0x00040000;
inline constexpr uint32_t kXwbFlagSeekTables = 0x00080000;

// Fixed 64-byte NUL-padded names: xwb bank name, xsb bank and wave bank names.
inline constexpr uint32_t kFixedNameSize = 64;

enum WaveFormatTag : uint32_t { kFormatPcm = 0, kFormatXma2 = 1, kFormatAdpcm = 2, kFormatWma = 3 };

// The packed u32 wave format of a wave bank entry.
struct PackedWaveFormat {
  uint32_t tag = kFormatPcm;    // bits 0-1
  uint32_t channels = 1;        // bits 2-4
  uint32_t sampleRate = 22050;  // bits 5-22
  uint32_t blockAlign = 2;      // bits 23-30
  uint32_t bitsPerSample = 16;  // bit 31: 1 = 16-bit, 0 = 8-bit (PCM)
};

inline uint32_t PackWaveFormat(const PackedWaveFormat& f) {
  return (f.tag & 0x3) | ((f.channels & 0x7) << 2) | ((f.sampleRate & 0x3FFFF) << 5) | ((f.blockAlign & 0xFF) << 23) |
         ((f.bitsPerSample == 16 ? 1u : 0u) << 31);
}

inline PackedWaveFormat UnpackWaveFormat(uint32_t v) {
  PackedWaveFormat f;
  f.tag = v & 0x3;
  f.channels = (v >> 2) & 0x7;
  f.sampleRate = (v >> 5) & 0x3FFFF;
  f.blockAlign = (v >> 23) & 0xFF;
  f.bitsPerSample = (v >> 31) ? 16 : 8;
  return f;
}

// FAudio's limits for a source voice.
inline constexpr uint32_t kMinSampleRate = 1000;
inline constexpr uint32_t kMaxSampleRate = 200000;

// ---- Sound bank (.xsb) ----
inline constexpr uint32_t kXsbMagic = 0x4B424453;  // "SDBK"
inline constexpr uint16_t kXsbToolVersion = 43;
inline constexpr uint8_t kXsbPlatformWindows = 1;
inline constexpr uint32_t kXsbHeaderSize = 74;  // up to the sound bank name
inline constexpr int32_t kXsbAbsent = -1;

inline constexpr uint32_t kSoundHeaderSize = 9;
inline constexpr uint8_t kSoundComplex = 0x01;
inline constexpr uint8_t kSoundRpc = 0x02;
inline constexpr uint8_t kSoundTrackRpc = 0x04;
inline constexpr uint8_t kSoundRpcAny = 0x0E;
inline constexpr uint8_t kSoundDsp = 0x10;

inline constexpr uint8_t kCueCodeIsSound = 0x04;  // else the code is a variation table
inline constexpr uint32_t kSimpleCueSize = 5;
inline constexpr uint32_t kComplexCueSize = 15;

// Track event types FACT understands.
enum EventType : uint32_t {
  kEventStop = 0,
  kEventPlayWave = 1,
  kEventPlayWaveTrackVariation = 3,
  kEventPlayWaveEffectVariation = 4,
  kEventPlayWaveTrackEffectVariation = 6,
  kEventPitch = 7,
  kEventVolume = 8,
  kEventMarker = 9,
  kEventPitchRepeating = 16,
  kEventVolumeRepeating = 17,
  kEventMarkerRepeating = 18,
};

}  // namespace orvante::xact
