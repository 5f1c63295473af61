// Captures what SDL's "disk" audio driver renders, through a named pipe, and
// splits it into sounds separated by silence. Used to hear what FACT plays:
// with SDL_DISKAUDIODELAY=0 the driver renders faster than real time, and
// reading through a pipe keeps nothing on disk.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvante::test {

struct CapturedSound {
  size_t firstFrame = 0;  // first frame above the threshold
  size_t lastFrame = 0;   // last frame above the threshold
  double sumSquares = 0;  // over the frames between them
  size_t Frames() const { return lastFrame - firstFrame + 1; }
  double RmsDb() const;
};

class DiskAudioCapture {
 public:
  // Sets the SDL environment (disk driver, no delay, the given rate and
  // channel count, no signal handlers) and starts reading the pipe. Must run
  // before the audio engine is created.
  DiskAudioCapture(int sampleRate, int channels, double threshold, double gapSeconds);
  ~DiskAudioCapture();
  bool ok() const { return ok_; }

  // Sounds completed so far: each ended by at least gapSeconds of silence.
  size_t SoundCount();
  CapturedSound Sound(size_t index);
  // Waits until the output has been silent for gapSeconds since the last
  // sound (so that sound is complete); false after timeoutSeconds.
  bool WaitForSilence(double timeoutSeconds);
  size_t FramesRead();

 private:
  void Run();

  std::string dir_, pipe_;
  int channels_;
  double threshold_;
  size_t gapFrames_;
  bool ok_ = false;
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<CapturedSound> sounds_;
  CapturedSound open_;
  bool inSound_ = false;
  size_t framesRead_ = 0;
  size_t silentSince_ = 0;  // first frame of the current silent run
  bool stop_ = false;
  std::atomic<bool> finished_{false};  // the reader thread has returned
};

}  // namespace orvante::test
