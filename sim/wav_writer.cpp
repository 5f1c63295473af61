// RIFF/WAVE with one "fmt " chunk (PCM, 16 bits) and one "data" chunk; all
// numbers little-endian.
#include "wav_writer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

namespace sim {
namespace {

constexpr uint32_t kHeaderBytes = 44;
constexpr uint32_t kUnknownSize = 0xFFFFFFFFu;

void Put16(unsigned char* at, uint16_t value) {
  at[0] = static_cast<unsigned char>(value);
  at[1] = static_cast<unsigned char>(value >> 8);
}

void Put32(unsigned char* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

void Header(unsigned char (&header)[kHeaderBytes], int sampleRate, int channels, uint32_t dataBytes) {
  uint32_t riffBytes = dataBytes == kUnknownSize ? kUnknownSize : dataBytes + kHeaderBytes - 8;
  std::memcpy(header, "RIFF", 4);
  Put32(header + 4, riffBytes);
  std::memcpy(header + 8, "WAVEfmt ", 8);
  Put32(header + 16, 16);
  Put16(header + 20, 1);  // PCM
  Put16(header + 22, static_cast<uint16_t>(channels));
  Put32(header + 24, static_cast<uint32_t>(sampleRate));
  Put32(header + 28, static_cast<uint32_t>(sampleRate * channels * 2));
  Put16(header + 32, static_cast<uint16_t>(channels * 2));
  Put16(header + 34, 16);
  std::memcpy(header + 36, "data", 4);
  Put32(header + 40, dataBytes);
}

}  // namespace

WavWriter::~WavWriter() { Close(); }

bool WavWriter::Open(const std::string& path, int sampleRate, int channels) {
  Close();
  path_ = path;
  sampleRate_ = sampleRate;
  channels_ = channels;
  frames_ = 0;
  failed_ = false;
  error_.clear();
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) {
    error_ = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  unsigned char header[kHeaderBytes];
  Header(header, sampleRate, channels, kUnknownSize);
  if (std::fwrite(header, 1, sizeof header, file_) != sizeof header) {
    error_ = "cannot write " + path + ": " + std::strerror(errno);
    failed_ = true;
  }
  return !failed_;
}

bool WavWriter::Put(const int16_t* samples, size_t count) {
  if (file_ == nullptr || failed_) return false;
  // The file holds little-endian samples; so does every machine we build for.
  if (std::fwrite(samples, sizeof(int16_t), count, file_) != count) {
    error_ = "cannot write " + path_ + ": " + std::strerror(errno);
    failed_ = true;
    return false;
  }
  return true;
}

bool WavWriter::WriteFloat(const float* samples, size_t frames) {
  std::vector<int16_t> pcm(frames * channels_);
  for (size_t i = 0; i < pcm.size(); ++i) {
    float v = std::isfinite(samples[i]) ? std::clamp(samples[i], -1.0f, 1.0f) : 0.0f;
    pcm[i] = static_cast<int16_t>(std::lround(v * 32767.0f));
  }
  if (!Put(pcm.data(), pcm.size())) return false;
  frames_ += frames;
  return true;
}

bool WavWriter::WriteSilence(size_t frames) {
  std::vector<int16_t> zeros(std::min<size_t>(frames, 4096) * channels_, 0);
  while (frames > 0) {
    size_t now = std::min<size_t>(frames, 4096);
    if (!Put(zeros.data(), now * channels_)) return false;
    frames_ += now;
    frames -= now;
  }
  return true;
}

bool WavWriter::Close() {
  if (file_ == nullptr) return !failed_;
  uint64_t dataBytes = frames_ * static_cast<uint64_t>(channels_) * 2;
  if (!failed_) {
    unsigned char header[kHeaderBytes];
    // Past 4 GiB the sizes stay "unknown", as players expect of long captures.
    Header(header, sampleRate_, channels_,
           dataBytes + kHeaderBytes > kUnknownSize ? kUnknownSize : static_cast<uint32_t>(dataBytes));
    if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(header, 1, sizeof header, file_) != sizeof header) {
      error_ = "cannot complete " + path_ + ": " + std::strerror(errno);
      failed_ = true;
    }
  }
  if (std::fclose(file_) != 0 && !failed_) {
    error_ = "cannot complete " + path_ + ": " + std::strerror(errno);
    failed_ = true;
  }
  file_ = nullptr;
  return !failed_;
}

}  // namespace sim
