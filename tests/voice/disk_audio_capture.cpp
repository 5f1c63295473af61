// The capture's reader thread: float32 frames from the pipe, a sound begins
// at the first frame above the threshold and ends once gapSeconds of frames
// below it follow.
#include "disk_audio_capture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace orvante::test {

double CapturedSound::RmsDb() const {
  double mean = sumSquares / static_cast<double>(Frames());
  return 10.0 * std::log10(mean > 0 ? mean : 1e-30);
}

DiskAudioCapture::DiskAudioCapture(int sampleRate, int channels, double threshold, double gapSeconds)
    : channels_(channels), threshold_(threshold), gapFrames_(static_cast<size_t>(gapSeconds * sampleRate)) {
  char pattern[] = "/tmp/orvante-capture-XXXXXX";
  if (!mkdtemp(pattern)) return;
  dir_ = pattern;
  pipe_ = dir_ + "/out.raw";
  if (mkfifo(pipe_.c_str(), 0600) != 0) return;
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", pipe_.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "0", 1);
  setenv("SDL_AUDIO_FREQUENCY", std::to_string(sampleRate).c_str(), 1);
  setenv("SDL_AUDIO_CHANNELS", std::to_string(channels).c_str(), 1);
  setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
  ok_ = true;
  reader_ = std::thread([this] { Run(); });
}

DiskAudioCapture::~DiskAudioCapture() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  if (reader_.joinable()) {
    // A reader waiting in open() for a writer is released by opening the
    // write end; it may not have reached open() yet, so keep knocking.
    while (!finished_) {
      int fd = open(pipe_.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) close(fd);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    reader_.join();
  }
  if (!pipe_.empty()) unlink(pipe_.c_str());
  if (!dir_.empty()) rmdir(dir_.c_str());
}

void DiskAudioCapture::Run() {
  struct Finish {
    std::atomic<bool>& flag;
    ~Finish() { flag = true; }
  } finish{finished_};
  std::vector<float> buffer(4096 * channels_);
  size_t pending = 0;  // bytes of a partial frame carried over
  while (true) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
    }
    int fd = open(pipe_.c_str(), O_RDONLY);
    if (fd < 0) return;
    while (true) {
      ssize_t n = read(fd, reinterpret_cast<char*>(buffer.data()) + pending, buffer.size() * sizeof(float) - pending);
      if (n <= 0) break;
      size_t bytes = pending + static_cast<size_t>(n);
      size_t frameBytes = sizeof(float) * channels_;
      size_t frames = bytes / frameBytes;
      std::lock_guard<std::mutex> lock(mutex_);
      for (size_t f = 0; f < frames; ++f) {
        double peak = 0, energy = 0;
        for (int c = 0; c < channels_; ++c) {
          double v = buffer[f * channels_ + c];
          peak = std::max(peak, std::fabs(v));
          energy += v * v / channels_;
        }
        size_t frame = framesRead_ + f;
        if (peak > threshold_) {
          if (!inSound_) {
            open_ = CapturedSound{frame, frame, 0};
            inSound_ = true;
          }
          open_.lastFrame = frame;
          silentSince_ = frame + 1;
        } else if (inSound_ && frame - open_.lastFrame >= gapFrames_) {
          sounds_.push_back(open_);
          inSound_ = false;
        }
        if (inSound_) open_.sumSquares += energy;
      }
      framesRead_ += frames;
      pending = bytes - frames * frameBytes;
      std::memmove(buffer.data(), reinterpret_cast<char*>(buffer.data()) + frames * frameBytes, pending);
      changed_.notify_all();
    }
    close(fd);
  }
}

size_t DiskAudioCapture::SoundCount() {
  std::lock_guard<std::mutex> lock(mutex_);
  return sounds_.size();
}

CapturedSound DiskAudioCapture::Sound(size_t index) {
  std::lock_guard<std::mutex> lock(mutex_);
  return sounds_.at(index);
}

size_t DiskAudioCapture::FramesRead() {
  std::lock_guard<std::mutex> lock(mutex_);
  return framesRead_;
}

bool DiskAudioCapture::WaitForSilence(double timeoutSeconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::duration<double>(timeoutSeconds),
                           [this] { return !inSound_ && framesRead_ - silentSince_ >= gapFrames_; });
}

}  // namespace orvante::test
