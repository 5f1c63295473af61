// Assembles the full-feature set field by field, in the order FACT reads it.
#include "full_feature_set.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "xact/xact_layout.h"

namespace orvante::test {
namespace {

using namespace xact;

struct Out {
  std::vector<uint8_t>& b;
  uint32_t pos() const { return static_cast<uint32_t>(b.size()); }
  void u8(uint32_t v) { b.push_back(static_cast<uint8_t>(v)); }
  void u16(uint32_t v) { u8(v), u8(v >> 8); }
  void u32(uint32_t v) { u16(v), u16(v >> 16); }
  void f32(float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    u32(v);
  }
  void str(const char* s) {
    while (*s) u8(static_cast<uint8_t>(*s++));
    u8(0);
  }
  void fixed(const char* s) {
    size_t n = std::strlen(s);
    for (size_t i = 0; i < 64; ++i) u8(i < n ? s[i] : 0);
  }
  void patch16(uint32_t at, uint32_t v) { b[at] = v & 0xFF, b[at + 1] = (v >> 8) & 0xFF; }
  void patch32(uint32_t at, uint32_t v) { patch16(at, v), patch16(at + 2, v >> 16); }
};

void WriteGlobalSettings(FullFeatureSet& set) {
  Out o{set.files.xgs};
  const char* categories[] = {"Global", "Default", "Music"};
  const char* variables[] = {"NumCueInstances",    "AttackTime",       "ReleaseTime", "Distance",
                             "DopplerPitchScalar", "OrientationAngle", "SpeedOfSound"};
  const uint8_t access[] = {0x0F, 0x0F, 0x0F, 0x0D, 0x0D, 0x0D, 0x09};
  o.u32(kXgsMagic), o.u16(46), o.u16(42), o.u16(0), o.u32(0), o.u32(0), o.u8(3);
  o.u16(3), o.u16(7), o.u16(0), o.u16(0), o.u16(1), o.u16(1), o.u16(kReverbParameterCount);
  uint32_t offsets = o.pos();
  for (int i = 0; i < 11; ++i) o.u32(0);
  uint32_t at[11];
  at[0] = o.pos();
  for (int c = 0; c < 3; ++c) o.u8(255), o.u16(0), o.u16(0), o.u8(0), o.u16(c ? 0 : 0xFFFF), o.u8(0xB4), o.u8(1);
  at[1] = o.pos();
  const float initial[] = {0, 0, 0, 0, 1, 0, 343.5f};
  for (int v = 0; v < 7; ++v) o.u8(access[v]), o.f32(initial[v]), o.f32(-180.f), o.f32(1e6f);
  at[8] = set.rpcCode = o.pos();  // Distance -> volume, 0 to -12 dB over 100 m
  o.u16(3), o.u8(2), o.u16(0);
  o.f32(0.f), o.f32(0.f), o.u8(0);
  o.f32(100.f), o.f32(-1200.f), o.u8(0);
  // One reverb preset: XAudio2's default room, all dry (WetDryMix, the
  // last parameter, 0) so what is heard is the wave itself.
  at[9] = set.dspPresetCode = o.pos();
  o.u8(1), o.u16(kReverbParameterCount), o.u16(0);
  at[10] = set.dspParametersAt = o.pos();
  const float reverb[kReverbParameterCount] = {5, 5, 6,    6, 27, 27, 8, 8,    8,   4,   8,
                                               4, 5, 5000, 0, 0,  0,  0, 1.0f, 100, 100, 0};
  for (float value : reverb) o.u8(0), o.f32(value), o.f32(-100.f), o.f32(20000.f), o.u16(0);
  at[2] = at[3] = o.pos();  // blob1 (empty), category name index
  uint32_t name = at[3] + 3 * 6;
  for (const char* c : categories) o.u32(name), o.u16(0xFFFF), name += static_cast<uint32_t>(std::strlen(c)) + 1;
  at[6] = o.pos();
  for (const char* c : categories) o.str(c);
  at[4] = at[5] = o.pos();  // blob2 (empty), variable name index
  name = at[5] + 7 * 6;
  for (const char* v : variables) o.u32(name), o.u16(0xFFFF), name += static_cast<uint32_t>(std::strlen(v)) + 1;
  at[7] = o.pos();
  for (const char* v : variables) o.str(v);
  for (int i = 0; i < 11; ++i) o.patch32(offsets + 4 * i, at[i]);
}

void WriteSoundBank(FullFeatureSet& set, bool waveVariation) {
  Out o{set.files.xsb};
  o.u32(kXsbMagic), o.u16(46), o.u16(43), o.u16(0), o.u32(0), o.u32(0), o.u8(1);
  o.u16(2), o.u16(1), o.u16(0), o.u16(3), o.u8(1), o.u16(2);  // 2 simple cues, 1 complex, 3 in all, 1 bank, 2 sounds
  o.u16(sizeof("plain") + sizeof("layered") + sizeof("either")), o.u16(0);
  uint32_t offsets = o.pos();
  for (int i = 0; i < 10; ++i) o.u32(0xFFFFFFFF);
  o.fixed("Tab");
  uint32_t waveBankNames = o.pos();
  o.fixed("Tab");

  uint32_t sounds = o.pos();
  // Sound A: simple, wave 0, with a sound-level RPC.
  uint32_t soundA = o.pos();
  o.u8(kSoundRpc), o.u16(1), o.u8(0xB4), o.u16(0), o.u8(0);
  uint32_t lengthA = o.pos();
  o.u16(0);
  o.u16(0), o.u8(0);
  set.rpcBlockLengthAt = o.pos();
  o.u16(2 + 1 + 4), o.u8(1);
  set.soundRpcCodeAt = o.pos();
  o.u32(set.rpcCode);
  o.patch16(lengthA, o.pos() - soundA);
  // Sound B: complex, one track with an RPC and a DSP preset; PlayWave wave 1, then a marker.
  uint32_t soundB = o.pos();
  o.u8(kSoundComplex | kSoundTrackRpc | kSoundDsp), o.u16(1), o.u8(0xB4), o.u16(0), o.u8(0);
  uint32_t lengthB = o.pos();
  o.u16(0);
  o.u8(1);                                        // tracks
  o.u16(2 + 1 + 4), o.u8(1), o.u32(set.rpcCode);  // track RPCs
  o.u16(0), o.u8(1);
  set.trackDspCodeAt = o.pos();
  o.u32(set.dspPresetCode);
  o.u8(0xB4);
  uint32_t eventsAt = o.pos();
  o.u32(0), o.u16(0), o.u16(0);
  o.patch32(eventsAt, o.pos());
  o.u8(2);
  o.u32(kEventPlayWave), o.u16(0), o.u8(0xFF);
  o.u8(0), o.u16(1), o.u8(0), o.u8(0), o.u16(0), o.u16(0);
  o.u32(kEventMarker | (5 << 5)), o.u16(0), o.u8(0xFF);
  o.u32(7);
  o.patch16(lengthB, o.pos() - soundB);

  uint32_t simpleCues = o.pos();
  o.u8(kCueCodeIsSound), o.u32(soundA);
  o.u8(kCueCodeIsSound), o.u32(soundB);
  uint32_t complexCues = o.pos();
  uint32_t variationCodeAt = o.pos() + 1;
  o.u8(0), o.u32(0), o.u32(0xFFFFFFFF), o.u8(255), o.u16(0), o.u16(0), o.u8(0);
  uint32_t variations = set.variationTableAt = o.pos();
  o.patch32(variationCodeAt, variations);
  if (waveVariation) {
    o.u32(2), o.u16(0), o.u16(0xFFFF);  // kind 0: two waves with byte weights, no variable
    o.u16(0), o.u8(0), o.u8(0), o.u8(255);
    set.variationEntryAt = o.pos();
    o.u16(1), o.u8(0), o.u8(0), o.u8(255);
  } else {
    o.u32(2 | (1u << 19)), o.u16(0), o.u16(0xFFFF);  // kind 1: two sounds with byte weights
    o.u32(soundA), o.u8(0), o.u8(255);
    set.variationEntryAt = o.pos();
    o.u32(soundB), o.u8(0), o.u8(255);
  }
  uint32_t hash = o.pos();
  o.u16(0xFFFF), o.u16(0xFFFF), o.u16(0xFFFF);
  uint32_t nameIndex = o.pos();
  const char* cueNames[] = {"plain", "layered", "either"};
  uint32_t name = nameIndex + 3 * 6;
  for (const char* n : cueNames) o.u32(name), o.u16(0xFFFF), name += static_cast<uint32_t>(std::strlen(n)) + 1;
  uint32_t names = o.pos();
  for (const char* n : cueNames) o.str(n);
  const uint32_t values[10] = {simpleCues, complexCues,   names, 0xFFFFFFFF, variations,
                               0xFFFFFFFF, waveBankNames, hash,  nameIndex,  sounds};
  for (int i = 0; i < 10; ++i) o.patch32(offsets + 4 * i, values[i]);
}

}  // namespace

FullFeatureSet MakeFullFeatureSet(bool waveVariation) {
  FullFeatureSet set;
  std::vector<NamedWave> waves(2);
  for (int i = 0; i < 2; ++i) {
    waves[i].cueName = i ? "layered" : "plain";
    size_t frames = 2205 * (i + 2);
    for (size_t f = 0; f < frames; ++f) {
      int16_t s = static_cast<int16_t>(12000 * std::sin(0.05 * (i + 1) * (f + 0.5)));
      waves[i].wave.samples.push_back(static_cast<uint8_t>(s & 0xFF));
      waves[i].wave.samples.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
    }
  }
  SoundSetFiles written;
  // Only its wave bank is used; the whole set is checked where it is played.
  static_cast<void>(WriteSoundSet("Tab", waves, written));
  set.files.xwb = written.xwb;
  WriteGlobalSettings(set);
  WriteSoundBank(set, waveVariation);
  return set;
}

}  // namespace orvante::test
