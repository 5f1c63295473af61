// A WAV file written as sound arrives: 16-bit PCM, the header's sizes filled
// in when the file is closed. Until then the file is a valid WAV of unknown
// length to most players (the sizes say "as long as the file").
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

namespace sim {

class WavWriter {
 public:
  WavWriter() = default;
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // Creates (or replaces) the file; false with error() when it cannot.
  bool Open(const std::string& path, int sampleRate, int channels);

  // Samples in -1..1, interleaved; values outside are clipped.
  bool WriteFloat(const float* samples, size_t frames);
  // Frames of silence.
  bool WriteSilence(size_t frames);

  // Fills in the sizes and closes; false when the file could not be completed.
  bool Close();

  uint64_t Frames() const { return frames_; }
  int SampleRate() const { return sampleRate_; }
  const std::string& error() const { return error_; }

 private:
  bool Put(const int16_t* samples, size_t count);

  FILE* file_ = nullptr;
  std::string path_;
  std::string error_;
  int sampleRate_ = 0;
  int channels_ = 0;
  uint64_t frames_ = 0;
  bool failed_ = false;
};

}  // namespace sim
