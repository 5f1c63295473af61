// What the pilot would hear, recorded to a WAV file. The add-ons' audio
// library plays through SDL; the recorder points SDL at its "disk" driver,
// which writes the mixed sound into a pipe, and a reader thread takes it out
// no faster than the flight's clock moves. The audio device therefore renders
// in step with the flight, and a second of the file is a second of the flight:
// silence is filled in from the start until the device opens and wherever no
// device is open.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "wav_writer.h"

namespace sim {

class CockpitRecorder {
 public:
  using TimeSource = std::function<int64_t()>;  // microseconds of flight time

  static constexpr int kSampleRate = 22050;
  static constexpr int kChannels = 1;

  CockpitRecorder(std::string wavPath, TimeSource now);
  ~CockpitRecorder();
  CockpitRecorder(const CockpitRecorder&) = delete;
  CockpitRecorder& operator=(const CockpitRecorder&) = delete;

  // Creates the WAV file and the pipe and sets SDL's environment for this
  // process. Must run before any add-on opens its audio. False with a reason
  // when the recording cannot be made.
  bool Start(std::string& error);

  // The recording ends at `endMicroseconds` of flight time: sound after it is
  // read and dropped (the device must never block on a full pipe while the
  // add-ons shut it down).
  void EndAt(int64_t endMicroseconds);

  // After the add-ons have stopped: ends the reader, fills silence up to the
  // end and completes the file. False with a reason when the file is not whole.
  bool Finish(std::string& error);

  // Frames written so far (sound and silence).
  uint64_t Frames();

 private:
  void Read();
  void FillSilenceTo(int64_t microseconds);  // with mutex_ held
  int64_t FrameAt(int64_t microseconds) const;

  std::string wavPath_;
  TimeSource now_;
  std::string dir_, pipe_;
  std::mutex mutex_;
  WavWriter wav_;
  std::atomic<int64_t> end_{-1};
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::thread reader_;
};

}  // namespace sim
