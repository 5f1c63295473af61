// Trimming and padding of PCM waves, 8-bit (unsigned) or 16-bit (signed).
#include "soundset/pcm_edits.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orvante::soundset {
namespace {

size_t FrameBytes(const xact::PcmWave& wave) { return size_t{wave.channels} * (wave.bitsPerSample / 8u); }

// Magnitude of one sample as a fraction of full scale.
double SampleLevel(const xact::PcmWave& wave, size_t sampleIndex) {
  if (wave.bitsPerSample == 8) return std::fabs((wave.samples[sampleIndex] - 128) / 128.0);
  int16_t v = static_cast<int16_t>(wave.samples[2 * sampleIndex] | (wave.samples[2 * sampleIndex + 1] << 8));
  return std::fabs(v / 32768.0);
}

bool FrameIsSilent(const xact::PcmWave& wave, size_t frame, double threshold) {
  for (size_t c = 0; c < wave.channels; ++c)
    if (SampleLevel(wave, frame * wave.channels + c) >= threshold) return false;
  return true;
}

}  // namespace

size_t FrameCount(const xact::PcmWave& wave) {
  size_t bytes = FrameBytes(wave);
  return bytes ? wave.samples.size() / bytes : 0;
}

double DurationSeconds(const xact::PcmWave& wave) {
  return wave.sampleRate ? static_cast<double>(FrameCount(wave)) / wave.sampleRate : 0.0;
}

void TrimSilence(xact::PcmWave& wave, double threshold, double marginSeconds) {
  size_t frames = FrameCount(wave);
  size_t first = 0;
  while (first < frames && FrameIsSilent(wave, first, threshold)) ++first;
  if (first == frames) return;
  size_t last = frames - 1;
  while (last > first && FrameIsSilent(wave, last, threshold)) --last;
  size_t margin = static_cast<size_t>(marginSeconds * wave.sampleRate);
  size_t begin = first > margin ? first - margin : 0;
  size_t end = std::min(frames, last + 1 + margin);
  size_t bytes = FrameBytes(wave);
  wave.samples = std::vector<uint8_t>(wave.samples.begin() + begin * bytes, wave.samples.begin() + end * bytes);
}

void AppendSilence(xact::PcmWave& wave, double seconds) {
  if (seconds <= 0) return;
  size_t frames = static_cast<size_t>(seconds * wave.sampleRate);
  wave.samples.insert(wave.samples.end(), frames * FrameBytes(wave), wave.bitsPerSample == 8 ? 128 : 0);
}

void ScaleLevel(xact::PcmWave& wave, double decibels) {
  if (decibels == 0) return;
  const double gain = std::pow(10.0, decibels / 20.0);
  if (wave.bitsPerSample == 8) {
    for (uint8_t& sample : wave.samples)
      sample = static_cast<uint8_t>(std::clamp(std::lround(128 + (sample - 128) * gain), 0L, 255L));
    return;
  }
  for (size_t i = 0; i + 1 < wave.samples.size(); i += 2) {
    auto value = static_cast<int16_t>(wave.samples[i] | (wave.samples[i + 1] << 8));
    long scaled = std::clamp(std::lround(value * gain), -32768L, 32767L);
    wave.samples[i] = static_cast<uint8_t>(scaled & 0xFF);
    wave.samples[i + 1] = static_cast<uint8_t>((scaled >> 8) & 0xFF);
  }
}

}  // namespace orvante::soundset
