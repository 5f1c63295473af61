// Sound sets played through FAudio's FACT and heard through SDL's disk
// driver: every cue of the default voice, and small sets from the writer in
// each wave format and sound kind it writes. Each cue must be found by name,
// stop by itself, and be heard once, at the level and for the length of its wave.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "disk_audio_capture.h"
#include "fact_session.h"
#include "full_feature_set.h"
#include "soundset/composable_cues.h"
#include "soundset/sound_set_files.h"
#include "xact/xact_layout.h"
#include "xact/xact_sound_bank.h"
#include "xact/xact_wave_bank.h"

namespace orvante {
namespace {

// The output format is pinned to the default voice's own, so FAudio renders
// its waves without resampling.
constexpr int kOutputRate = 22050;
constexpr double kThreshold = 1e-3;
// Longer than any pause inside a phrase: silence this long ends a sound.
constexpr double kGapSeconds = 1.0;
constexpr double kToleranceSeconds = 0.010;
constexpr double kToleranceDb = 1.0;

struct Loudness {
  double seconds = 0;   // first to last frame above the threshold
  double rmsDb = -300;  // over those frames, channels averaged
};

Loudness MeasureWave(const xact::WaveEntryInfo& entry, const std::vector<uint8_t>& file) {
  const uint8_t* data = file.data() + entry.dataOffset;
  size_t channels = entry.format.channels, frames = entry.durationFrames;
  auto sample = [&](size_t frame, size_t c) {
    size_t i = frame * channels + c;
    return entry.format.bitsPerSample == 16 ? static_cast<int16_t>(data[2 * i] | (data[2 * i + 1] << 8)) / 32768.0
                                            : (data[i] - 128) / 128.0;
  };
  auto loud = [&](size_t frame) {
    for (size_t c = 0; c < channels; ++c)
      if (std::fabs(sample(frame, c)) > kThreshold) return true;
    return false;
  };
  Loudness result;
  size_t first = 0;
  while (first < frames && !loud(first)) ++first;
  if (first == frames) return result;
  size_t last = frames - 1;
  while (!loud(last)) --last;
  double sum = 0;
  for (size_t f = first; f <= last; ++f)
    for (size_t c = 0; c < channels; ++c) sum += sample(f, c) * sample(f, c) / channels;
  result.seconds = static_cast<double>(last - first + 1) / entry.format.sampleRate;
  result.rmsDb = 10 * std::log10(sum / (last - first + 1));
  return result;
}

// The linear gain of the sets' sounds (each set here gives all its sounds one
// volume): what the output is measured against.
double SoundGain(const xact::SoundSetFiles& files) {
  xact::SoundBankInfo sounds;
  if (!xact::ReadSoundBank(files.xsb.data(), files.xsb.size(), sounds) || sounds.sounds.empty()) return 1.0;
  return std::pow(10.0, xact::DecibelsOfVolumeByte(sounds.sounds.front().volume) / 20.0);
}

// What each cue should sound like, found through cue -> sound -> wave, at the
// sound's volume.
std::map<std::string, Loudness> Expected(const xact::SoundSetFiles& files) {
  xact::SoundBankInfo sounds;
  xact::WaveBankInfo waves;
  std::map<std::string, Loudness> expected;
  if (!xact::ReadSoundBank(files.xsb.data(), files.xsb.size(), sounds) ||
      !xact::ReadWaveBank(files.xwb.data(), files.xwb.size(), waves))
    return expected;
  for (const xact::CueInfo& cue : sounds.cues)
    for (const xact::SoundInfo& sound : sounds.sounds)
      if (sound.code == cue.code && !sound.waves.empty()) {
        expected[cue.name] = MeasureWave(waves.entries.at(sound.waves[0].wave), files.xwb);
        expected[cue.name].rmsDb += xact::DecibelsOfVolumeByte(sound.volume);
      }
  return expected;
}

// Plays each cue and compares what was heard with its wave. Failures are
// gathered so one run names every bad cue.
void PlayAndCompare(const xact::SoundSetFiles& files, const std::vector<std::string>& cues) {
  // The threshold follows the sounds' volume, so the output's first and last
  // audible frames are the wave's.
  test::DiskAudioCapture capture(kOutputRate, 1, kThreshold * SoundGain(files), kGapSeconds);
  ASSERT_TRUE(capture.ok());
  std::map<std::string, Loudness> expected = Expected(files);
  test::FactSession session;
  std::string opened = session.Open(files);
  ASSERT_EQ(opened, "");
  ASSERT_TRUE(capture.WaitForSilence(10.0));
  std::vector<std::string> failures;
  for (const std::string& cue : cues) {
    size_t before = capture.SoundCount();
    std::string played = session.PlayToEnd(cue, 10.0);
    if (!played.empty()) {
      failures.push_back(played);
      continue;
    }
    if (!capture.WaitForSilence(10.0)) {
      failures.push_back(cue + ": output never fell silent");
      continue;
    }
    size_t heard = capture.SoundCount() - before;
    if (heard != 1) {
      failures.push_back(cue + ": heard " + std::to_string(heard) + " sounds, expected 1");
      continue;
    }
    test::CapturedSound sound = capture.Sound(before);
    double seconds = static_cast<double>(sound.Frames()) / kOutputRate;
    const Loudness& wave = expected[cue];
    if (std::fabs(seconds - wave.seconds) > kToleranceSeconds)
      failures.push_back(cue + ": heard " + std::to_string(seconds) + " s, the wave lasts " +
                         std::to_string(wave.seconds) + " s");
    // Categories and engine are at 0 dB: the cue comes out at the level of
    // its wave and its sound's volume.
    if (std::fabs(sound.RmsDb() - wave.rmsDb) > kToleranceDb)
      failures.push_back(cue + ": heard at " + std::to_string(sound.RmsDb()) + " dB RMS, the wave is at " +
                         std::to_string(wave.rmsDb) + " dB");
  }
  EXPECT_TRUE(failures.empty()) << failures.size() << " cues failed, first: " << failures.front();
  for (size_t i = 0; i < failures.size() && i < 20; ++i) ADD_FAILURE() << failures[i];
}

// The default voice's cues in two halves, so CTest can play them side by
// side: most of the time goes to waiting for FACT to notice a cue ended.
class DefaultVoicePlayback : public testing::TestWithParam<int> {};

TEST_P(DefaultVoicePlayback, EveryComposableCueIsHeardOnceForTheLengthOfItsWave) {
  const char* build = std::getenv("ORVANTE_BUILD_DIR");
  ASSERT_NE(build, nullptr);
  std::string base = std::string(build) + "/sim/ORVANTE/SoundSets/Default";
  xact::SoundSetFiles files;
  auto read = soundset::ReadSoundSetFiles(base, files);
  ASSERT_TRUE(read) << read.error();
  std::vector<std::string> all = soundset::ComposableCueNames(), half;
  for (size_t i = GetParam(); i < all.size(); i += 2) half.push_back(all[i]);
  PlayAndCompare(files, half);
}

INSTANTIATE_TEST_SUITE_P(Halves, DefaultVoicePlayback, testing::Values(0, 1));

// A tone of the given format, amplitude one half.
xact::NamedWave Tone(const std::string& name, uint32_t rate, uint16_t channels, uint16_t bits, double seconds,
                     double hz) {
  xact::NamedWave n;
  n.cueName = name;
  n.wave.sampleRate = rate;
  n.wave.channels = channels;
  n.wave.bitsPerSample = bits;
  size_t frames = static_cast<size_t>(seconds * rate);
  for (size_t f = 0; f < frames; ++f) {
    double v = 0.5 * std::sin(2 * M_PI * hz * (f + 0.5) / rate);
    for (uint16_t c = 0; c < channels; ++c) {
      if (bits == 16) {
        int16_t s = static_cast<int16_t>(std::lround(v * 32767));
        n.wave.samples.push_back(static_cast<uint8_t>(s & 0xFF));
        n.wave.samples.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
      } else {
        n.wave.samples.push_back(static_cast<uint8_t>(std::lround(128 + v * 127)));
      }
    }
  }
  return n;
}

class WrittenSetPlayback : public testing::TestWithParam<bool> {};

TEST_P(WrittenSetPlayback, EachWaveFormatPlaysForItsLength) {
  std::vector<xact::NamedWave> waves = {
      Tone("mono16", 22050, 1, 16, 0.40, 440),
      Tone("stereo16", 44100, 2, 16, 0.25, 330),
      Tone("mono8", 11025, 1, 8, 0.30, 220),
      Tone("mono16at48k", 48000, 1, 16, 0.15, 880),
  };
  xact::SoundSetFiles files;
  xact::SoundSetWriteOptions options;
  options.complexSounds = GetParam();
  ASSERT_TRUE(xact::WriteSoundSet("Tones", waves, files, options));
  PlayAndCompare(files, {"mono16", "stereo16", "mono8", "mono16at48k"});
}

INSTANTIATE_TEST_SUITE_P(SimpleAndComplexSounds, WrittenSetPlayback, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Complex" : "Simple"; });

// A set from the full layout: a sound with an RPC, a complex sound with a
// track RPC, a DSP preset and a marker after its wave, and a cue that picks
// one of the two sounds from a variation table. The complex sound also goes
// through FACT's reverb (all dry), so only its length is compared. (A cue
// picking a bare wave from a variation table crashes FAudio 23.02 when the
// wave bank is unloaded after it ended; the validator refuses those.)
TEST(FullFeatureSetPlayback, SoundsWithRpcsDspPresetsAndVariationsPlay) {
  test::FullFeatureSet set = test::MakeFullFeatureSet();
  test::DiskAudioCapture capture(kOutputRate, 1, kThreshold, kGapSeconds);
  ASSERT_TRUE(capture.ok());
  std::map<std::string, Loudness> expected = Expected(set.files);
  ASSERT_EQ(expected.size(), 2u);  // "either" names no sound of its own
  test::FactSession session;
  ASSERT_EQ(session.Open(set.files), "");
  ASSERT_TRUE(capture.WaitForSilence(10.0));
  for (const char* cue : {"plain", "layered", "either", "either", "either"}) {
    SCOPED_TRACE(cue);
    size_t before = capture.SoundCount();
    ASSERT_EQ(session.PlayToEnd(cue, 10.0), "");
    ASSERT_TRUE(capture.WaitForSilence(10.0));
    ASSERT_EQ(capture.SoundCount() - before, 1u);
    double seconds = static_cast<double>(capture.Sound(before).Frames()) / kOutputRate;
    if (std::string(cue) == "either") {
      EXPECT_TRUE(std::fabs(seconds - expected["plain"].seconds) <= kToleranceSeconds ||
                  std::fabs(seconds - expected["layered"].seconds) <= kToleranceSeconds)
          << seconds << " s";
    } else {
      EXPECT_NEAR(seconds, expected[cue].seconds, kToleranceSeconds);
      if (std::string(cue) == "plain") {
        EXPECT_NEAR(capture.Sound(before).RmsDb(), expected[cue].rmsDb, kToleranceDb);
      }
    }
  }
}

}  // namespace
}  // namespace orvante

// SDL keeps a few small allocations of its audio thread until exit; they are
// not ours to free.
extern "C" const char* __lsan_default_suppressions() { return "leak:libSDL2\n"; }
// FAudio's mixer takes its voices' SDL mutexes in varying order; that is
// FAudio's business, and every report of it lies wholly inside SDL.
extern "C" const char* __tsan_default_suppressions() { return "deadlock:libSDL2\n"; }
