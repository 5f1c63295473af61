// Lays out the three files of a sound set in the canonical order that every
// FAudio version reads: sections contiguous, in the order the old sequential
// parser expects, with every header offset, name-index entry and track
// event-list offset filled in for the newer parser that seeks by them.
#include "xact/xact_writer.h"

#include <chrono>
#include <cstring>
#include <set>

#include "refusal.h"
#include "xact/xact_layout.h"

namespace orvante::xact {
namespace {

class ByteWriter {
 public:
  explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) { out_.clear(); }
  uint32_t position() const { return static_cast<uint32_t>(out_.size()); }
  void U8(uint32_t v) { out_.push_back(static_cast<uint8_t>(v)); }
  void U16(uint32_t v) { Put(v, 2); }
  void U32(uint32_t v) { Put(v, 4); }
  void U64(uint64_t v) { Put(v, 8); }
  void F32(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    U32(bits);
  }
  void Bytes(const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    out_.insert(out_.end(), p, p + size);
  }
  void CString(const std::string& s) { Bytes(s.c_str(), s.size() + 1); }
  void FixedString(const std::string& s, size_t field) {
    size_t n = std::min(s.size(), field - 1);
    Bytes(s.data(), n);
    Zeros(field - n);
  }
  void Zeros(size_t n) { out_.insert(out_.end(), n, 0); }
  void PadTo(uint32_t alignment) {
    while (out_.size() % alignment) out_.push_back(0);
  }
  void PatchU16(uint32_t at, uint32_t v) { Patch(at, v, 2); }
  void PatchU32(uint32_t at, uint32_t v) { Patch(at, v, 4); }

 private:
  void Put(uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void Patch(uint32_t at, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out_[at + i] = static_cast<uint8_t>(v >> (8 * i));
  }
  std::vector<uint8_t>& out_;
};

// FILETIME: 100 ns intervals since 1601. FACT never reads it.
uint64_t FileTimeNow() {
  using namespace std::chrono;
  uint64_t unix100ns = duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
  return unix100ns + 116444736000000000ull;
}

struct CategoryRecord {
  const char* name;
  uint16_t parent;
};
constexpr CategoryRecord kCategories[] = {{"Global", kNoParentCategory}, {"Default", 0}, {"Music", 0}};
constexpr uint16_t kSoundCategory = 1;  // Default

struct VariableRecord {
  const char* name;
  uint8_t accessibility;
  float initial, min, max;
};
// NumCueInstances stays first: FACT reads a cue's instance count as index 0.
// The three 3D variables are public, writable cue variables (FACT3DApply sets
// them); SpeedOfSound is a public global (FACT3DInitialize reads it).
constexpr VariableRecord kVariables[] = {
    {"NumCueInstances", 0x0F, 0.0f, 0.0f, 1024.0f},   {"AttackTime", 0x0F, 0.0f, 0.0f, 4294967296.0f},
    {"ReleaseTime", 0x0F, 0.0f, 0.0f, 4294967296.0f}, {"Distance", 0x0D, 0.0f, 0.0f, 1000000.0f},
    {"DopplerPitchScalar", 0x0D, 1.0f, 0.0f, 4.0f},   {"OrientationAngle", 0x0D, 0.0f, -180.0f, 180.0f},
    {"SpeedOfSound", 0x09, 343.5f, 0.0f, 1000000.0f},
};

void WriteGlobalSettings(std::vector<uint8_t>& out, uint64_t fileTime) {
  ByteWriter w(out);
  constexpr uint16_t categoryCount = std::size(kCategories);
  constexpr uint16_t variableCount = std::size(kVariables);
  w.U32(kXgsMagic);
  w.U16(kContentVersion);
  w.U16(kXgsToolVersion);
  w.U16(0);  // CRC, never read
  w.U64(fileTime);
  w.U8(kXgsPlatformWindows);
  w.U16(categoryCount);
  w.U16(variableCount);
  w.U16(0);  // blob1 (name hash) count
  w.U16(0);  // blob2 count
  w.U16(0);  // RPCs
  w.U16(0);  // DSP presets
  w.U16(0);  // DSP parameters
  uint32_t offsets = w.position();
  w.Zeros(11 * 4);  // patched below

  uint32_t categoryOffset = w.position();
  for (const CategoryRecord& c : kCategories) {
    w.U8(255);  // instance limit
    w.U16(0);   // fade in
    w.U16(0);   // fade out
    w.U8(0);    // behaviour: fail to play
    w.U16(c.parent);
    w.U8(kVolumeZeroDecibels);
    w.U8(1);  // visibility
  }
  uint32_t variableOffset = w.position();
  for (const VariableRecord& v : kVariables) {
    w.U8(v.accessibility);
    w.F32(v.initial);
    w.F32(v.min);
    w.F32(v.max);
  }
  uint32_t blob1Offset = w.position();
  uint32_t categoryNameIndexOffset = w.position();
  uint32_t nameAt = categoryNameIndexOffset + categoryCount * kNameIndexEntrySize;
  for (const CategoryRecord& c : kCategories) {
    w.U32(nameAt);
    w.U16(0xFFFF);
    nameAt += static_cast<uint32_t>(std::strlen(c.name)) + 1;
  }
  uint32_t categoryNameOffset = w.position();
  for (const CategoryRecord& c : kCategories) w.CString(c.name);
  uint32_t blob2Offset = w.position();
  uint32_t variableNameIndexOffset = w.position();
  nameAt = variableNameIndexOffset + variableCount * kNameIndexEntrySize;
  for (const VariableRecord& v : kVariables) {
    w.U32(nameAt);
    w.U16(0xFFFF);
    nameAt += static_cast<uint32_t>(std::strlen(v.name)) + 1;
  }
  uint32_t variableNameOffset = w.position();
  for (const VariableRecord& v : kVariables) w.CString(v.name);

  const uint32_t values[11] = {categoryOffset, variableOffset,          blob1Offset,        categoryNameIndexOffset,
                               blob2Offset,    variableNameIndexOffset, categoryNameOffset, variableNameOffset,
                               kAbsentOffset,  kAbsentOffset,           kAbsentOffset};
  for (int i = 0; i < 11; ++i) w.PatchU32(offsets + 4 * i, values[i]);
}

void WriteWaveBank(std::vector<uint8_t>& out, const std::string& bankName, const std::vector<NamedWave>& waves,
                   uint64_t fileTime) {
  ByteWriter w(out);
  const uint32_t count = static_cast<uint32_t>(waves.size());
  const uint32_t bankDataOffset = kXwbHeaderSize;
  const uint32_t metadataOffset = bankDataOffset + kXwbBankDataSize;
  const uint32_t namesOffset = metadataOffset + count * kXwbEntrySize;
  const uint32_t namesLength = count * kXwbEntryNameSize;
  const uint32_t dataOffset =
      (namesOffset + namesLength + kXwbDataAlignment - 1) / kXwbDataAlignment * kXwbDataAlignment;

  // Each wave starts on a 4-byte boundary inside the data segment.
  std::vector<uint32_t> playOffsets;
  uint32_t dataLength = 0;
  for (const NamedWave& n : waves) {
    playOffsets.push_back(dataLength);
    dataLength += static_cast<uint32_t>((n.wave.samples.size() + 3) / 4 * 4);
  }

  w.U32(kXwbMagic);
  w.U32(kContentVersion);
  w.U32(kXwbHeaderVersion);
  w.U32(bankDataOffset), w.U32(kXwbBankDataSize);
  w.U32(metadataOffset), w.U32(count * kXwbEntrySize);
  w.U32(namesOffset), w.U32(0);  // no seek tables: they serve compressed formats only
  w.U32(namesOffset), w.U32(namesLength);
  w.U32(dataOffset), w.U32(dataLength);

  w.U32(kXwbFlagEntryNames);
  w.U32(count);
  w.FixedString(bankName, kFixedNameSize);
  w.U32(kXwbEntrySize);
  w.U32(kXwbEntryNameSize);
  w.U32(4);  // alignment
  w.U32(0);  // compact format, unused
  w.U64(fileTime);

  for (uint32_t i = 0; i < count; ++i) {
    const PcmWave& wave = waves[i].wave;
    uint32_t frameBytes = wave.channels * (wave.bitsPerSample / 8u);
    uint32_t frames = static_cast<uint32_t>(wave.samples.size() / frameBytes);
    PackedWaveFormat format{kFormatPcm, wave.channels, wave.sampleRate, frameBytes, wave.bitsPerSample};
    w.U32(frames << 4);
    w.U32(PackWaveFormat(format));
    w.U32(playOffsets[i]);
    w.U32(static_cast<uint32_t>(wave.samples.size()));
    w.U32(0);  // loop start
    w.U32(0);  // loop length
  }
  for (const NamedWave& n : waves) w.FixedString(n.cueName, kXwbEntryNameSize);
  w.Zeros(dataOffset - w.position());
  for (const NamedWave& n : waves) {
    w.Bytes(n.wave.samples.data(), n.wave.samples.size());
    w.PadTo(4);
  }
}

void WriteSoundBank(std::vector<uint8_t>& out, const std::string& bankName, const std::vector<NamedWave>& waves,
                    const SoundSetWriteOptions& options, uint64_t fileTime) {
  ByteWriter w(out);
  const uint16_t count = static_cast<uint16_t>(waves.size());
  uint32_t nameBytes = 0;
  for (const NamedWave& n : waves) nameBytes += static_cast<uint32_t>(n.cueName.size()) + 1;

  w.U32(kXsbMagic);
  w.U16(kContentVersion);
  w.U16(kXsbToolVersion);
  w.U16(0);  // CRC, never read
  w.U64(fileTime);
  w.U8(kXsbPlatformWindows);
  w.U16(count);  // simple cues
  w.U16(0);      // complex cues
  w.U16(0);
  w.U16(count);  // cue hash entries (no hash table written)
  w.U8(1);       // wave banks
  w.U16(count);  // sounds
  w.U16(nameBytes);
  w.U16(0);
  uint32_t offsets = w.position();
  w.Zeros(10 * 4);  // patched below
  w.FixedString(bankName, kFixedNameSize);
  uint32_t waveBankNameOffset = w.position();
  w.FixedString(bankName, kFixedNameSize);

  uint32_t soundOffset = w.position();
  std::vector<uint32_t> soundCodes;
  for (uint16_t i = 0; i < count; ++i) {
    uint32_t start = w.position();
    soundCodes.push_back(start);
    w.U8(options.complexSounds ? kSoundComplex : 0);
    w.U16(kSoundCategory);
    w.U8(kVolumeZeroDecibels);
    w.U16(0);  // pitch
    w.U8(0);   // priority
    uint32_t lengthAt = w.position();
    w.U16(0);  // record length, patched below
    if (!options.complexSounds) {
      w.U16(i);  // wave index
      w.U8(0);   // wave bank slot
    } else {
      w.U8(1);  // one track
      w.U8(kVolumeZeroDecibels);
      uint32_t eventOffsetAt = w.position();
      w.U32(0);  // event list offset, patched below
      w.U16(0);  // filter off
      w.U16(0);  // filter frequency
      w.PatchU32(eventOffsetAt, w.position());
      w.U8(1);                // one event
      w.U32(kEventPlayWave);  // type, timestamp 0
      w.U16(0);               // random offset
      w.U8(0xFF);             // separator
      w.U8(0);                // flags
      w.U16(i);               // wave index
      w.U8(0);                // wave bank slot
      w.U8(0);                // loop count: play once
      w.U16(0);               // position
      w.U16(0);               // angle
    }
    w.PatchU16(lengthAt, w.position() - start);
  }
  uint32_t simpleCueOffset = w.position();
  for (uint16_t i = 0; i < count; ++i) {
    w.U8(kCueCodeIsSound);
    w.U32(soundCodes[i]);
  }
  uint32_t cueNameIndexOffset = w.position();
  uint32_t nameAt = cueNameIndexOffset + count * kNameIndexEntrySize;
  for (const NamedWave& n : waves) {
    w.U32(nameAt);
    w.U16(0xFFFF);
    nameAt += static_cast<uint32_t>(n.cueName.size()) + 1;
  }
  uint32_t cueNameOffset = w.position();
  for (const NamedWave& n : waves) w.CString(n.cueName);

  const int32_t values[10] = {static_cast<int32_t>(simpleCueOffset),
                              kXsbAbsent,
                              static_cast<int32_t>(cueNameOffset),
                              kXsbAbsent,
                              kXsbAbsent,
                              kXsbAbsent,
                              static_cast<int32_t>(waveBankNameOffset),
                              kXsbAbsent,
                              static_cast<int32_t>(cueNameIndexOffset),
                              static_cast<int32_t>(soundOffset)};
  for (int i = 0; i < 10; ++i) w.PatchU32(offsets + 4 * i, static_cast<uint32_t>(values[i]));
}

XactCheckResult CheckInput(const std::string& bankName, const std::vector<NamedWave>& waves) {
  if (bankName.empty() || bankName.size() >= kFixedNameSize)
    return Refuse("sound set name \"%s\" must have 1 to 63 characters", bankName.c_str());
  if (bankName.find('\0') != std::string::npos) return Refuse("sound set name holds a NUL character");
  if (waves.size() > 0xFFFF) return Refuse("%zu cues are more than a sound bank holds (65535)", waves.size());
  std::set<std::string> seen;
  uint64_t total = 0;
  for (const NamedWave& n : waves) {
    const PcmWave& wave = n.wave;
    const char* cue = n.cueName.c_str();
    if (n.cueName.empty() || n.cueName.find('\0') != std::string::npos)
      return Refuse("a cue name is empty or holds a NUL character");
    if (!seen.insert(n.cueName).second) return Refuse("cue \"%s\" appears twice", cue);
    if (wave.bitsPerSample != 8 && wave.bitsPerSample != 16)
      return Refuse("cue \"%s\": %u-bit samples are not supported (8 or 16)", cue, wave.bitsPerSample);
    if (wave.channels < 1 || wave.channels > 7)
      return Refuse("cue \"%s\": %u channels are not supported (1 to 7)", cue, wave.channels);
    if (wave.sampleRate < kMinSampleRate || wave.sampleRate > kMaxSampleRate)
      return Refuse("cue \"%s\": sample rate %u is not supported (1000 to 200000)", cue, wave.sampleRate);
    size_t frameBytes = wave.channels * (wave.bitsPerSample / 8u);
    if (wave.samples.empty() || wave.samples.size() % frameBytes)
      return Refuse("cue \"%s\": the wave is empty or ends inside a frame", cue);
    if (wave.samples.size() / frameBytes >= (1u << 28)) return Refuse("cue \"%s\": the wave is too long", cue);
    total += (wave.samples.size() + 3) / 4 * 4;
  }
  if (total + kXwbDataAlignment + waves.size() * (kXwbEntrySize + kXwbEntryNameSize) >= 0x7FFFFFFF)
    return Refuse("the waves together exceed 2 GB");
  return Accept();
}

}  // namespace

XactCheckResult WriteSoundSet(const std::string& bankName, const std::vector<NamedWave>& waves, SoundSetFiles& files,
                              const SoundSetWriteOptions& options) {
  files = {};
  if (auto r = CheckInput(bankName, waves); !r) return r;
  uint64_t fileTime = FileTimeNow();
  WriteGlobalSettings(files.xgs, fileTime);
  WriteWaveBank(files.xwb, bankName, waves, fileTime);
  WriteSoundBank(files.xsb, bankName, waves, options, fileTime);
  // What we write must pass what we demand of others.
  XactCheckResult check = ValidateSoundSet(files.xgs.data(), files.xgs.size(), files.xwb.data(), files.xwb.size(),
                                           files.xsb.data(), files.xsb.size());
  if (!check) {
    files = {};
    return Refuse("internal error, the written set fails its own check: %s", check.error().c_str());
  }
  return check;
}

}  // namespace orvante::xact
