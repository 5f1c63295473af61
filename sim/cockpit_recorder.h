// What the pilot would hear, recorded to a WAV file. The add-ons' audio
// library plays through SDL; the recorder points SDL at its "disk" driver,
// which writes the mixed sound into a pipe, and the recorder takes it out no
// faster than the flight moves. The audio device therefore renders in step
// with the flight, and a second of the file is a second of the flight:
// silence is filled in from the start until the device opens and wherever no
// device is open.
//
// Two pacings, one recording. A reader thread takes the sound as the flight
// comes to it. In real time the flight moves with the wall clock and the
// device keeps up on its own. In lockstep (a flight in virtual time) the
// device mixes its silence as fast as the reader takes it, and wherever
// sound starts or stops the flight waits until the reader has caught up and
// the device has mixed all that the pipe lets it mix: the state a device
// playing in real time is in whenever the flight looks at it. The file then
// holds the same sound at the same flight times, made as fast as the machine
// mixes.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/result.h"
#include "wav_writer.h"

namespace sim {

class CockpitRecorder {
 public:
  enum class Pacing { RealTime, Lockstep };

  static constexpr int kSampleRate = 22050;
  static constexpr int kChannels = 1;
  // The name FAudio gives the update thread of each FACT engine.
  static constexpr const char* kEngineThreadName = "FACT Thread";

  CockpitRecorder(std::string wavPath, Pacing pacing);
  ~CockpitRecorder();
  CockpitRecorder(const CockpitRecorder&) = delete;
  CockpitRecorder& operator=(const CockpitRecorder&) = delete;

  // Creates the WAV file and the pipe and sets SDL's environment for this
  // process. Must run before any add-on opens its audio. Fails with a reason
  // when the recording cannot be made.
  common::Result<> Start();

  // The flight has come to `microseconds`: the recording may take sound up to
  // there. With `settle`, returns once it has, and the device has mixed as
  // far as the pipe lets it, as Settle does.
  void FlightAt(int64_t microseconds, bool settle = true);

  // Returns once the recording holds the flight up to where it has come, and
  // the device has mixed all that the pipe lets it mix (it then waits for the
  // recording to read), or has shown it will not: none open, or one that
  // gave nothing for a second of real time. Where the device's position
  // matters, when the add-ons start or stop a sound, it is then the same in
  // every run and in either pacing. Needed only around such moments: a device
  // that mixes silence may be anywhere in between.
  void Settle();

  // Returns once the sound engine's own update thread (FACT's, which starts
  // the waves of the cues played and ends finished ones every 10 ms of real
  // time) has made a pass: a whole one begun after the call, or just the next
  // one to end. A wave started after Settle then starts where the device
  // waits. In lockstep, while cues play, the flight gives it a pass at each
  // step, as the time of a step of a flight in real time would.
  enum class EnginePass { Whole, Next };
  void AwaitEnginePass(EnginePass pass);

  // The recording ends at `endMicroseconds` of flight time: sound after it is
  // read and dropped (the device must never block on a full pipe while the
  // add-ons shut it down).
  void EndAt(int64_t endMicroseconds);

  // After the add-ons have stopped: ends the reading, fills silence up to the
  // end and completes the file. Fails with a reason when the file is not whole.
  common::Result<> Finish();

  // Frames written so far (sound and silence).
  uint64_t Frames();

  // What the user should know about the recording's timing (a device that
  // did not keep up, a machine where the device's waits cannot be seen), one
  // line each, or none.
  std::vector<std::string> Notes();

 private:
  enum class Take { Sound, Nothing, NoDevice, Failed };

  // The reader thread.
  void Read();
  // Reads what the pipe holds, at most `bytes`, into held_ (the reader's);
  // the read's errno in `error` when it failed.
  Take ReadPipe(size_t bytes, int& error);
  // Moves held sound into the file up to `frame`; once the recording has
  // ended, sound past its end is dropped. With mutex_ held.
  void WriteHeld(int64_t frame);
  // With mutex_ held.
  void FillSilenceTo(int64_t microseconds);
  int64_t FrameAt(int64_t microseconds) const;
  // In lockstep, on the flight's thread: waits until the file holds the
  // flight up to flight_ (or the recording cannot go on).
  void AwaitReader();
  bool DeviceSettled();
  // With mutex_ held; the first note of each kind is kept.
  void Note(const std::string& kind, const std::string& line);

  std::string wavPath_;
  Pacing pacing_;
  std::string dir_, pipe_;
  int fd_ = -1;               // the pipe's reading end
  bool onePagePipe_ = false;  // the pipe holds one page: a waiting device waits until it is empty
  std::vector<char> held_;    // the reader's: read from the pipe, not yet in the file
  std::mutex mutex_;
  std::condition_variable moved_;   // the flight moved on, or the recording ends
  std::condition_variable caught_;  // the reader caught up with the flight, or stopped
  WavWriter wav_;
  int64_t flight_ = 0;                          // with mutex_
  std::vector<std::string> notes_, noteKinds_;  // with mutex_
  std::atomic<int64_t> end_{-1};
  std::atomic<bool> stop_{false};
  std::atomic<bool> readerDone_{false};
  // Whether the device may have mixed since it last settled: a read emptied
  // the pipe, so its waiting write went through.
  std::atomic<bool> deviceMayMix_{true};
  int writerThread_ = 0;  // the device's thread as last seen waiting (a hint)
  std::thread reader_;
};

}  // namespace sim
