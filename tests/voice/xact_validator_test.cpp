// The validator against damaged sound sets: truncation at every length,
// every single-bit flip, and the specific corruptions that make FAudio read
// or write outside its buffers, crash or hang. Run under AddressSanitizer,
// the sweeps also prove the validator itself never reads out of bounds.
#include <gtest/gtest.h>

#include <cstring>

#include "xact/xact_global_settings.h"
#include "xact/xact_layout.h"
#include "xact/xact_sound_bank.h"
#include "xact/xact_validator.h"
#include "xact/xact_wave_bank.h"
#include "xact/xact_writer.h"
#include "full_feature_set.h"

namespace orvante::xact {
namespace {

NamedWave Wave(const std::string& name, size_t frames, uint16_t channels = 1, uint16_t bits = 16,
               uint32_t rate = 22050) {
  NamedWave n;
  n.cueName = name;
  n.wave.sampleRate = rate;
  n.wave.channels = channels;
  n.wave.bitsPerSample = bits;
  n.wave.samples.resize(frames * channels * bits / 8);
  for (size_t i = 0; i < n.wave.samples.size(); ++i) n.wave.samples[i] = static_cast<uint8_t>(i * 7);
  return n;
}

SoundSetFiles SmallSet(bool complex = false) {
  SoundSetFiles files;
  SoundSetWriteOptions options;
  options.complexSounds = complex;
  XactCheckResult r =
      WriteSoundSet("Small", {Wave("onrwy27l", 100), Wave("feet", 33, 2), Wave("9", 50, 1, 8)}, files, options);
  EXPECT_TRUE(r) << r.error();
  return files;
}

XactCheckResult Validate(const SoundSetFiles& f) {
  return ValidateSoundSet(f.xgs.data(), f.xgs.size(), f.xwb.data(), f.xwb.size(), f.xsb.data(), f.xsb.size());
}

void PutU8(std::vector<uint8_t>& b, size_t at, uint8_t v) { b.at(at) = v; }
void PutU16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b.at(at) = v & 0xFF;
  b.at(at + 1) = v >> 8;
}
void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t GetU32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24;
}

// Expects the set to be refused with a message containing the given text.
void ExpectRefused(const SoundSetFiles& f, const std::string& text) {
  XactCheckResult r = Validate(f);
  EXPECT_FALSE(r.ok()) << "accepted; expected: " << text;
  EXPECT_NE(r.error().find(text), std::string::npos) << "message: " << r.error();
}

TEST(ValidatorAcceptance, WrittenSetsPassAndListTheirCuesInOrder) {
  for (bool complex : {false, true}) {
    SoundSetFiles f = SmallSet(complex);
    XactCheckResult r = Validate(f);
    EXPECT_TRUE(r.ok()) << r.error();
    EXPECT_TRUE(r.error().empty());
    std::vector<std::string> names;
    ASSERT_TRUE(ListCueNames(f.xsb.data(), f.xsb.size(), names));
    EXPECT_EQ(names, (std::vector<std::string>{"onrwy27l", "feet", "9"}));
  }
}

TEST(ValidatorTruncation, EveryShorterGlobalSettingsOrSoundBankIsRefused) {
  for (bool complex : {false, true}) {
    SoundSetFiles f = SmallSet(complex);
    for (size_t n = 0; n < f.xgs.size(); ++n) {
      std::vector<uint8_t> cut(f.xgs.begin(), f.xgs.begin() + n);  // exact-size copy: ASan sees any overread
      EXPECT_FALSE(ValidateGlobalSettings(cut.data(), cut.size())) << "xgs cut to " << n;
    }
    for (size_t n = 0; n < f.xsb.size(); ++n) {
      std::vector<uint8_t> cut(f.xsb.begin(), f.xsb.begin() + n);
      EXPECT_FALSE(ValidateSoundBank(cut.data(), cut.size())) << "xsb cut to " << n;
    }
  }
}

TEST(ValidatorTruncation, EveryShorterWaveBankIsRefused) {
  // The wave data segment runs to the end of the file, so any cut leaves a
  // region FACT would read outside the buffer.
  SoundSetFiles f = SmallSet();
  for (size_t n = 0; n < f.xwb.size(); ++n) {
    std::vector<uint8_t> cut(f.xwb.begin(), f.xwb.begin() + n);
    EXPECT_FALSE(ValidateWaveBank(cut.data(), cut.size())) << "xwb cut to " << n;
  }
}

// Every single-bit flip in the headers and records of each file: the
// validator must come back without crashing, and whatever it accepts must
// still read back consistently.
TEST(ValidatorBitFlips, NoFlipCrashesTheValidator) {
  for (bool complex : {false, true}) {
    SoundSetFiles good = SmallSet(complex);
    size_t accepted = 0, tried = 0;
    for (std::vector<uint8_t> SoundSetFiles::*file : {&SoundSetFiles::xgs, &SoundSetFiles::xsb, &SoundSetFiles::xwb}) {
      size_t limit = file == &SoundSetFiles::xwb ? 2048 : (good.*file).size();  // wave data bits are all legal
      for (size_t byte = 0; byte < limit; ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
          SoundSetFiles f = good;
          (f.*file)[byte] ^= static_cast<uint8_t>(1 << bit);
          XactCheckResult r = Validate(f);
          ++tried;
          if (r.ok()) {
            ++accepted;
            SoundBankInfo sounds;
            EXPECT_TRUE(ReadSoundBank(f.xsb.data(), f.xsb.size(), sounds));
          } else {
            EXPECT_FALSE(r.error().empty());
          }
        }
      }
    }
    // Flips in names, times, volumes and padding are harmless; flips in
    // structure are not. Both kinds must occur.
    EXPECT_GT(accepted, 0u);
    EXPECT_LT(accepted, tried);
  }
}

TEST(ValidatorSignatures, WrongMagicVersionOrByteOrderIsRefused) {
  SoundSetFiles f = SmallSet();
  {
    SoundSetFiles g = f;
    PutU32(g.xgs, 0, 0x12345678);
    ExpectRefused(g, "no XGSF signature");
  }
  {
    SoundSetFiles g = f;
    std::reverse(g.xgs.begin(), g.xgs.begin() + 4);
    ExpectRefused(g, "big-endian");
  }
  {
    SoundSetFiles g = f;
    PutU16(g.xgs, 6, 41);
    ExpectRefused(g, "tool version 41");
  }
  {
    SoundSetFiles g = f;
    PutU8(g.xgs, 0x12, 1);
    ExpectRefused(g, "platform 1");
  }
  {
    SoundSetFiles g = f;
    PutU16(g.xsb, 6, 42);
    ExpectRefused(g, "tool version 42");
  }
  {
    SoundSetFiles g = f;
    PutU16(g.xsb, 4, 47);
    ExpectRefused(g, "content version 47");
  }
  {
    SoundSetFiles g = f;
    PutU32(g.xwb, 0, 0);
    ExpectRefused(g, "no WBND signature");
  }
  {
    // FACT compares the u32 version as a u16: 0x1002E would pass there.
    SoundSetFiles g = f;
    PutU32(g.xwb, 4, 0x1002E);
    ExpectRefused(g, "content version");
  }
}

TEST(ValidatorGlobalSettings, CountsAndOffsetsThatDisagreeWithTheLayoutAreRefused) {
  SoundSetFiles f = SmallSet();
  {
    SoundSetFiles g = f;
    PutU16(g.xgs, 0x15, 5000);  // variable count
    EXPECT_FALSE(Validate(g));
  }
  {
    SoundSetFiles g = f;
    PutU32(g.xgs, 0x21, 78);  // category offset one past the header
    ExpectRefused(g, "categories offset is 78");
  }
  {
    SoundSetFiles g = f;
    g.xgs.push_back(0);
    ExpectRefused(g, "1 bytes follow the last section");
  }
  {
    SoundSetFiles g = f;
    PutU16(g.xgs, 77 + 10 + 6, 7);  // Default's parent: no such category
    ExpectRefused(g, "category 1 has parent 7");
  }
  {
    SoundSetFiles g = f;
    PutU16(g.xgs, 77 + 6, 1);  // Global's parent: Default, whose parent is Global
    ExpectRefused(g, "its own ancestor");
  }
  {
    SoundSetFiles g = f;
    GlobalSettingsInfo info;
    ASSERT_TRUE(ReadGlobalSettings(g.xgs.data(), g.xgs.size(), info));
    uint32_t variableNameIndex = GetU32(g.xgs, 0x21 + 5 * 4);
    PutU32(g.xgs, variableNameIndex, GetU32(g.xgs, variableNameIndex) + 1);
    ExpectRefused(g, "variable name index entry 0");
  }
}

TEST(ValidatorGlobalSettings, SpeedOfSoundMustBeAGlobalVariable) {
  SoundSetFiles f = SmallSet();
  auto at = std::search(f.xgs.begin(), f.xgs.end(), std::begin("SpeedOfSound"), std::end("SpeedOfSound") - 1);
  ASSERT_NE(at, f.xgs.end());
  {
    SoundSetFiles g = f;
    g.xgs[at - f.xgs.begin()] = 'X';  // renamed: FACT3DInitialize would dereference index 0xFFFF
    ExpectRefused(g, "lack the variable \"SpeedOfSound\"");
  }
  {
    SoundSetFiles g = f;
    PutU8(g.xgs, 107 + 6 * kXgsVariableSize, 0x0D);  // made a cue variable
    ExpectRefused(g, "must be global");
  }
}

TEST(ValidatorWaveBank, RegionsFormatsAndDurationsFaudioTrustsAreChecked) {
  SoundSetFiles f = SmallSet();
  const size_t entry0 = kXwbHeaderSize + kXwbBankDataSize;  // metadata of wave 0
  const size_t bankData = kXwbHeaderSize;
  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
    const char* message;
  } cases[] = {
      {"metadata element size 64: heap write overflow in FACT", bankData + 72, 64, "entry records of 64 bytes"},
      {"metadata element size 16: FACT stretches waves", bankData + 72, 16, "entry records of 16 bytes"},
      {"streaming bank", bankData, kXwbFlagStreaming | kXwbFlagEntryNames, "streaming"},
      {"compact bank", bankData, kXwbFlagCompact | kXwbFlagEntryNames, "compact"},
      {"entry count 0x100000", bankData + 4, 0x100000, "run past the end"},
      {"play offset beyond the data", entry0 + 8, 0x100000, "lies outside the wave data"},
      {"duration larger than the data: the cue never ends", entry0, 101u << 4, "lasts 101 frames"},
      {"ADPCM tag on PCM data", entry0 + 4, 0x810AC444 | kFormatAdpcm, "not PCM"},
      {"no channels: FACT divides by zero", entry0 + 4, 0x810AC444 & ~(7u << 2), "no channels"},
      {"sample rate 0", entry0 + 4, 0x810AC444 & ~(0x3FFFFu << 5), "sample rate 0"},
      {"wave data segment past the end", 48, 0x7FFFFFFF, "runs past the end"},
      {"loop beyond the end", entry0 + 20, 1000, "loops beyond its end"},
      {"bank data outside the file", 12, 0xFFFFFFF0, "bank data"},
  };
  for (const Case& c : cases) {
    SoundSetFiles g = f;
    PutU32(g.xwb, c.at, c.value);
    SCOPED_TRACE(c.what);
    ExpectRefused(g, c.message);
  }
  SoundSetFiles g = f;
  std::memset(g.xwb.data() + bankData + 8, 'A', 64);  // bank name without NUL
  ExpectRefused(g, "bank name is not terminated");
}

TEST(ValidatorSoundBank, StructureAndReferencesInsideTheBankAreChecked) {
  SoundSetFiles f = SmallSet(true);
  SoundBankInfo info;
  ASSERT_TRUE(ReadSoundBank(f.xsb.data(), f.xsb.size(), info));
  const uint32_t sound0 = info.sounds[0].code;
  {
    SoundSetFiles g = f;
    PutU16(g.xsb, 0x13, 60000);  // simple cue count
    EXPECT_FALSE(Validate(g));
  }
  {
    SoundSetFiles g = f;
    PutU16(g.xsb, 0x1C, 60000);  // sound count
    EXPECT_FALSE(Validate(g));
  }
  {
    // Sixteen bytes of padding before the sounds, offsets corrected: newer
    // FAudio plays it, the sequential 23.02 parser misreads everything.
    SoundSetFiles g = f;
    g.xsb.insert(g.xsb.begin() + sound0, 16, 0);
    PutU32(g.xsb, 0x22 + 9 * 4, sound0 + 16);
    ExpectRefused(g, "sounds offset is 218 but the section starts at 202");
  }
  {
    SoundSetFiles g = f;
    PutU32(g.xsb, sound0 + 11, GetU32(g.xsb, sound0 + 11) + 1);  // track's event-list offset
    ExpectRefused(g, "says its events are at");
  }
  {
    SoundSetFiles g = f;
    PutU8(g.xsb, sound0 + 10 + 9 + 1, 2);  // event type 2 does not exist
    ExpectRefused(g, "unknown type 2");
  }
  {
    SoundSetFiles g = f;
    PutU8(g.xsb, sound0 + 9, 0);  // a complex sound without tracks
    EXPECT_FALSE(Validate(g));
  }
  {
    SoundSetFiles g = f;
    uint32_t simpleCues = GetU32(g.xsb, 0x22);
    PutU32(g.xsb, simpleCues + 1, sound0 + 1);  // cue code into the middle of a sound
    ExpectRefused(g, "refers to a sound at");
  }
  {
    SoundSetFiles g = f;
    uint32_t simpleCues = GetU32(g.xsb, 0x22);
    PutU8(g.xsb, simpleCues, 0);  // code now names a variation table: there are none
    ExpectRefused(g, "refers to a variation table");
  }
  {
    SoundSetFiles g = f;
    PutU32(g.xsb, 0x22 + 8 * 4, 0xFFFFFFFF);  // cue name index marked absent
    ExpectRefused(g, "cues carry no names");
  }
  {
    SoundSetFiles g = f;
    g.xsb.back() = 'x';  // last cue name loses its NUL
    ExpectRefused(g, "cut off by the end of the file");
  }
}

TEST(ValidatorCrossReferences, SoundsMustResolveAgainstTheOtherFiles) {
  for (bool complex : {false, true}) {
    SoundSetFiles f = SmallSet(complex);
    SoundBankInfo info;
    ASSERT_TRUE(ReadSoundBank(f.xsb.data(), f.xsb.size(), info));
    const uint32_t sound1 = info.sounds[1].code;
    // Wave index and bank slot sit in the simple sound's record, or in the
    // PlayWave event of the complex sound's only track.
    const uint32_t waveField = complex ? sound1 + 28 : sound1 + 9;
    {
      SoundSetFiles g = f;
      PutU16(g.xsb, sound1 + 1, 77);  // category
      ExpectRefused(g, "in category 77");
    }
    {
      SoundSetFiles g = f;
      PutU16(g.xsb, waveField, 999);
      ExpectRefused(g, "plays wave 999");
    }
    {
      SoundSetFiles g = f;
      PutU8(g.xsb, waveField + 2, 5);
      ExpectRefused(g, "wave bank slot 5");
    }
    {
      SoundSetFiles g = f;
      g.xwb[kXwbHeaderSize + 8] = 'X';  // wave bank renamed
      ExpectRefused(g, "plays from wave bank \"Small\", but the wave bank is \"Xmall\"");
    }
  }
}

TEST(WriterInput, BadNamesAndFormatsAreRefusedWithAReason) {
  SoundSetFiles f;
  EXPECT_FALSE(WriteSoundSet("", {Wave("a", 10)}, f));
  EXPECT_FALSE(WriteSoundSet(std::string(64, 'n'), {Wave("a", 10)}, f));
  EXPECT_TRUE(WriteSoundSet(std::string(63, 'n'), {Wave("a", 10)}, f));
  XactCheckResult twice = WriteSoundSet("S", {Wave("a", 10), Wave("a", 12)}, f);
  EXPECT_FALSE(twice);
  EXPECT_NE(twice.error().find("\"a\" appears twice"), std::string::npos);
  EXPECT_TRUE(f.xgs.empty() && f.xwb.empty() && f.xsb.empty());
  EXPECT_FALSE(WriteSoundSet("S", {Wave("", 10)}, f));
  EXPECT_FALSE(WriteSoundSet("S", {Wave("a", 0)}, f));
  EXPECT_FALSE(WriteSoundSet("S", {Wave("a", 10, 1, 24)}, f));
  EXPECT_FALSE(WriteSoundSet("S", {Wave("a", 10, 8)}, f));
  EXPECT_FALSE(WriteSoundSet("S", {Wave("a", 10, 1, 16, 999)}, f));
  NamedWave partial = Wave("a", 10, 2);
  partial.wave.samples.pop_back();  // ends inside a frame
  EXPECT_FALSE(WriteSoundSet("S", {partial}, f));
}

// The layout FAudio 23.02 needs, field by field (see the readers for what
// each field means to FACT).
TEST(WriterLayout, GlobalSettingsCarryTheStandardCategoriesAndVariables) {
  SoundSetFiles f = SmallSet();
  EXPECT_EQ(f.xgs.size(), 376u);
  GlobalSettingsInfo info;
  ASSERT_TRUE(ReadGlobalSettings(f.xgs.data(), f.xgs.size(), info));
  EXPECT_EQ(info.categoryNames, (std::vector<std::string>{"Global", "Default", "Music"}));
  ASSERT_EQ(info.variables.size(), 7u);
  EXPECT_EQ(info.variables[0].name, "NumCueInstances");  // FACT reads index 0 as the instance count
  for (const char* cue : {"Distance", "DopplerPitchScalar", "OrientationAngle"}) {
    int i = FindGlobalVariable(info, cue);
    ASSERT_GE(i, 0) << cue;
    uint8_t a = info.variables[i].accessibility;
    EXPECT_TRUE((a & kVariablePublic) && (a & kVariableCueInstance) && !(a & kVariableReadOnly)) << cue;
  }
  int speed = FindGlobalVariable(info, "SpeedOfSound");
  ASSERT_GE(speed, 0);
  EXPECT_EQ(info.variables[speed].accessibility & (kVariablePublic | kVariableCueInstance), kVariablePublic);
  EXPECT_FLOAT_EQ(info.variables[speed].initialValue, 343.5f);
  // Category volumes are 0 dB (0xB4): a 0 byte would silence every sound.
  for (int c = 0; c < 3; ++c) EXPECT_EQ(f.xgs[77 + c * kXgsCategorySize + 8], kVolumeZeroDecibels);
}

TEST(WriterLayout, WaveBankEntriesDescribeTheirWavesExactly) {
  SoundSetFiles f = SmallSet();
  WaveBankInfo info;
  ASSERT_TRUE(ReadWaveBank(f.xwb.data(), f.xwb.size(), info));
  EXPECT_EQ(info.name, "Small");
  EXPECT_EQ(info.flags, kXwbFlagEntryNames);
  ASSERT_EQ(info.entries.size(), 3u);
  EXPECT_EQ(GetU32(f.xwb, kXwbHeaderSize + kXwbBankDataSize + 4), 0x810AC444u);  // mono 22050 Hz 16-bit
  EXPECT_EQ(info.entries[0].durationFrames, 100u);
  EXPECT_EQ(info.entries[0].dataLength, 200u);
  EXPECT_EQ(info.entries[0].dataOffset % kXwbDataAlignment, 0u);
  EXPECT_EQ(info.entries[1].format.channels, 2u);
  EXPECT_EQ(info.entries[1].durationFrames, 33u);
  EXPECT_EQ(info.entries[1].dataOffset % 4, 0u);
  EXPECT_EQ(info.entries[2].format.bitsPerSample, 8u);
  EXPECT_EQ(info.entries[2].name, "9");
  EXPECT_EQ(std::memcmp(f.xwb.data() + info.entries[1].dataOffset, Wave("feet", 33, 2).wave.samples.data(), 132), 0);
}

TEST(WriterLayout, SoundBankSoundsFollowTheWaveBankNameAndCuesPointAtThem) {
  for (bool complex : {false, true}) {
    SoundSetFiles f = SmallSet(complex);
    SoundBankInfo info;
    ASSERT_TRUE(ReadSoundBank(f.xsb.data(), f.xsb.size(), info));
    EXPECT_EQ(info.waveBankNames, (std::vector<std::string>{"Small"}));
    ASSERT_EQ(info.sounds.size(), 3u);
    EXPECT_EQ(info.sounds[0].code, 0xCAu);
    EXPECT_EQ(info.sounds[1].code - info.sounds[0].code, complex ? 36u : 12u);
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(info.sounds[i].category, 1u);  // Default; 0xFFFF would crash FACT
      EXPECT_EQ(info.cues[i].code, info.sounds[i].code);
      EXPECT_EQ(info.cues[i].flags, kCueCodeIsSound);
      ASSERT_EQ(info.sounds[i].waves.size(), 1u);
      EXPECT_EQ(info.sounds[i].waves[0].wave, i);
    }
    EXPECT_EQ(f.xsb[info.sounds[0].code + 3], kVolumeZeroDecibels);
  }
}

}  // namespace
}  // namespace orvante::xact

namespace orvante::xact {
namespace {

// Sets from other tools use RPCs, DSP presets, complex sounds with several
// events, variation tables and cue hashes: all must be read as FACT reads
// them, and each of their references checked.
TEST(ValidatorFullFeatureSet, AcceptsEveryPartOfTheLayoutAndChecksItsReferences) {
  test::FullFeatureSet set = test::MakeFullFeatureSet();
  XactCheckResult r = Validate(set.files);
  ASSERT_TRUE(r.ok()) << r.error();
  std::vector<std::string> names;
  ASSERT_TRUE(ListCueNames(set.files.xsb.data(), set.files.xsb.size(), names));
  EXPECT_EQ(names, (std::vector<std::string>{"plain", "layered", "either"}));
  GlobalSettingsInfo settings;
  ASSERT_TRUE(ReadGlobalSettings(set.files.xgs.data(), set.files.xgs.size(), settings));
  EXPECT_EQ(settings.rpcCodes, std::vector<uint32_t>{set.rpcCode});
  EXPECT_EQ(settings.dspPresetCodes, std::vector<uint32_t>{set.dspPresetCode});

  for (size_t n = 0; n < set.files.xsb.size(); ++n) {
    std::vector<uint8_t> cut(set.files.xsb.begin(), set.files.xsb.begin() + n);
    EXPECT_FALSE(ValidateSoundBank(cut.data(), cut.size())) << "xsb cut to " << n;
  }
  for (size_t n = 0; n < set.files.xgs.size(); ++n) {
    std::vector<uint8_t> cut(set.files.xgs.begin(), set.files.xgs.begin() + n);
    EXPECT_FALSE(ValidateGlobalSettings(cut.data(), cut.size())) << "xgs cut to " << n;
  }
  struct Case {
    const char* what;
    std::vector<uint8_t> SoundSetFiles::*file;
    uint32_t at;
    int bytes;
    uint32_t value;
    const char* message;
  } cases[] = {
      {"RPC code beside the record", &SoundSetFiles::xsb, set.soundRpcCodeAt, 4, set.rpcCode + 1, "uses an RPC at"},
      {"DSP code beside the preset", &SoundSetFiles::xsb, set.trackDspCodeAt, 4, set.dspPresetCode + 2,
       "uses a DSP preset at"},
      {"RPC block length off by one", &SoundSetFiles::xsb, set.rpcBlockLengthAt, 2, 8, "its length field says 8"},
      {"variation sound that does not exist", &SoundSetFiles::xsb, set.variationEntryAt, 4, 0x1234,
       "refers to a sound at 4660"},
      {"variation table of unknown kind", &SoundSetFiles::xsb, set.variationTableAt, 4, 2 | (5u << 19),
       "unknown type 5"},
      {"empty variation table", &SoundSetFiles::xsb, set.variationTableAt, 4, 0, "is empty"},
      {"RPC on variable 7 of 7", &SoundSetFiles::xgs, set.rpcCode, 2, 7, "RPC 0 uses variable 7 of 7"},
      {"RPC without points", &SoundSetFiles::xgs, set.rpcCode + 2, 1, 0, "has no points"},
      // FACT's reverb reads 22 parameters of preset 0 whatever the count.
      {"reverb preset of 21 parameters", &SoundSetFiles::xgs, set.dspPresetCode + 1, 2, 21,
       "has 21 parameters, FACT's reverb reads 22"},
      {"RPC on DSP parameter 22", &SoundSetFiles::xgs, set.rpcCode + 3, 2, 5 + 22,
       "drives DSP parameter 22, preset 0 has 22"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SoundSetFiles g = set.files;
    if (c.bytes == 1) PutU8(g.*c.file, c.at, static_cast<uint8_t>(c.value));
    if (c.bytes == 2) PutU16(g.*c.file, c.at, static_cast<uint16_t>(c.value));
    if (c.bytes == 4) PutU32(g.*c.file, c.at, c.value);
    ExpectRefused(g, c.message);
  }
  // Cues picking bare waves from a variation table are refused for FAudio's sake.
  test::FullFeatureSet waves = test::MakeFullFeatureSet(true);
  ExpectRefused(waves.files, "cue \"either\" picks a wave from a variation table");

  SoundSetFiles lastParameter = set.files;
  PutU16(lastParameter.xgs, set.rpcCode + 3, 5 + 21);  // an RPC on the wet/dry mix
  EXPECT_TRUE(Validate(lastParameter));
}

}  // namespace
}  // namespace orvante::xact
