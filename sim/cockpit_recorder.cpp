// Taking the device's sound out of the pipe. A device closed and opened again
// (an add-on reloading its sounds) is the pipe's end of file until a new
// writer comes.
//
// How the lockstep knows that the device has mixed all it can: SDL's disk
// driver writes through a stdio stream, a page at a time, and a pipe of one
// page takes such a write only once it is empty. When the recorder stops
// reading, the device mixes until its stream's buffer is full and then waits
// in write(2) on the pipe: it has settled when one of our threads waits there
// (threads::WaitsInWriteTo). And it stays settled until a read empties the
// pipe, so a step whose reads leave sound in the pipe needs no look at all.
//
// An add-on that closed its device in the middle of a step, while the device
// waits on the pipe, would wait for the flight and the flight for it: the
// module opens its sound engine once, at start-up, and keeps it.
#include "cockpit_recorder.h"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "process_threads.h"

namespace sim {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr size_t kFrameBytes = sizeof(float) * CockpitRecorder::kChannels;
// The pipe holds one page, about 46 ms of sound: with the device's stream
// buffer of the same size, the device runs at most twice that far ahead.
constexpr int kPipeBytes = 4096;
// Real time: how far a device may fall behind the flight before the
// recording goes on without it (more than a device buffer).
constexpr int64_t kDeviceSlackMicroseconds = 150000;
// Lockstep: how long the flight waits for a device that gives no sound, or
// that does not come to wait on the pipe, before it goes on without it.
constexpr auto kDeviceSilentLimit = std::chrono::seconds(1);
constexpr auto kSettleLimit = std::chrono::milliseconds(500);
// FACT's update thread passes every 10 ms of real time.
constexpr auto kEnginePassLimit = std::chrono::milliseconds(500);

std::string Seconds(int64_t microseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", static_cast<double>(microseconds) / 1e6);
  return text;
}

}  // namespace

CockpitRecorder::CockpitRecorder(std::string wavPath, Pacing pacing) : wavPath_(std::move(wavPath)), pacing_(pacing) {}

CockpitRecorder::~CockpitRecorder() { (void)Finish(); }

int64_t CockpitRecorder::FrameAt(int64_t microseconds) const {
  return microseconds <= 0 ? 0 : microseconds * kSampleRate / 1000000;
}

common::Result<> CockpitRecorder::Start() {
  if (!wav_.Open(wavPath_, kSampleRate, kChannels)) {
    return common::Fail(wav_.error());
  }
  char pattern[] = "/tmp/orvante-cockpit-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    return common::Fail(std::string("cannot make a folder for the recording pipe: ") + std::strerror(errno));
  }
  dir_ = pattern;
  pipe_ = dir_ + "/sound.raw";
  if (mkfifo(pipe_.c_str(), 0600) != 0) {
    return common::Fail(std::string("cannot make the recording pipe: ") + std::strerror(errno));
  }
  // Descriptors name the pipe by its full path without links.
  if (char* resolved = realpath(pipe_.c_str(), nullptr)) {
    pipe_ = resolved;
    std::free(resolved);
  }
  // The pipe is held open for reading from the start, so its size is set
  // before any device writes and it outlives the devices that come and go.
  fd_ = open(pipe_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) {
    return common::Fail(std::string("cannot open the recording pipe: ") + std::strerror(errno));
  }
  fcntl(fd_, F_SETPIPE_SZ, kPipeBytes);
  onePagePipe_ = fcntl(fd_, F_GETPIPE_SZ) == kPipeBytes;
  // A device still writing when the reading has ended gets an error, not the
  // signal that would end the simulator.
  signal(SIGPIPE, SIG_IGN);
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", pipe_.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "0", 1);  // paced by the reading, not by the driver
  setenv("SDL_AUDIO_FREQUENCY", std::to_string(kSampleRate).c_str(), 1);
  setenv("SDL_AUDIO_CHANNELS", std::to_string(kChannels).c_str(), 1);
  reader_ = std::thread([this] { Read(); });
  return {};
}

void CockpitRecorder::FlightAt(int64_t microseconds, bool settle) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    flight_ = std::max(flight_, microseconds);
    moved_.notify_all();
  }
  if (settle) Settle();
}

void CockpitRecorder::Settle() {
  if (!reader_.joinable() || end_.load() >= 0) return;
  AwaitReader();
  if (!deviceMayMix_) return;
  if (DeviceSettled()) {
    // A device waiting on a one-page pipe waits until a read empties it.
    deviceMayMix_ = !onePagePipe_;
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  Note("unsettled", "the audio device did not settle at " + Seconds(flight_) +
                        " of the flight: the timing of sound there may be off by a device buffer");
}

void CockpitRecorder::AwaitReader() {
  std::unique_lock<std::mutex> lock(mutex_);
  caught_.wait(lock, [&] {
    return readerDone_.load() || end_.load() >= 0 || static_cast<int64_t>(wav_.Frames()) >= FrameAt(flight_);
  });
}

void CockpitRecorder::EndAt(int64_t endMicroseconds) {
  // From here on the device's sound is taken, and what is past the end
  // dropped, while the add-ons shut down.
  std::lock_guard<std::mutex> lock(mutex_);
  end_ = endMicroseconds;
  moved_.notify_all();
}

uint64_t CockpitRecorder::Frames() {
  std::lock_guard<std::mutex> lock(mutex_);
  return wav_.Frames();
}

std::vector<std::string> CockpitRecorder::Notes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return notes_;
}

void CockpitRecorder::Note(const std::string& kind, const std::string& line) {
  // Once per kind of note: a device that keeps failing would repeat it.
  if (std::find(noteKinds_.begin(), noteKinds_.end(), kind) != noteKinds_.end()) return;
  noteKinds_.push_back(kind);
  notes_.push_back(line);
}

void CockpitRecorder::FillSilenceTo(int64_t microseconds) {
  int64_t end = end_.load();
  if (end >= 0 && microseconds > end) microseconds = end;
  int64_t frame = FrameAt(microseconds);
  if (frame > static_cast<int64_t>(wav_.Frames())) wav_.WriteSilence(static_cast<size_t>(frame - wav_.Frames()));
}

CockpitRecorder::Take CockpitRecorder::ReadPipe(size_t bytes, int& error) {
  if (bytes == 0) return Take::Nothing;
  size_t before = held_.size();
  held_.resize(before + bytes);
  ssize_t n = read(fd_, held_.data() + before, bytes);
  error = n < 0 ? errno : 0;
  held_.resize(before + static_cast<size_t>(std::max<ssize_t>(n, 0)));
  if (n > 0) return Take::Sound;
  if (n == 0) return Take::NoDevice;
  return error == EAGAIN || error == EINTR ? Take::Nothing : Take::Failed;
}

void CockpitRecorder::WriteHeld(int64_t frame) {
  const int64_t room = frame - static_cast<int64_t>(wav_.Frames());
  const size_t frames = held_.size() / kFrameBytes;
  const size_t keep = room <= 0 ? 0 : std::min(frames, static_cast<size_t>(room));
  if (keep > 0) wav_.WriteFloat(reinterpret_cast<const float*>(held_.data()), keep);
  // Once the recording has ended, what did not fit is past its end.
  const size_t taken = end_.load() >= 0 ? frames : keep;
  held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(taken * kFrameBytes));
}

bool CockpitRecorder::DeviceSettled() {
  if (!threads::Visible()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      Note("no /proc",
           "cannot see the audio device's threads (/proc/self/task): the recording's timing may vary "
           "by up to a tenth of a second");
    }
    // Without that view, a pipe whose content stops changing for a while is
    // the best sign of a device that has stopped mixing.
    int before = -1, after = -2;
    for (int i = 0; i < 25 && before != after; ++i) {
      ioctl(fd_, FIONREAD, &before);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      ioctl(fd_, FIONREAD, &after);
    }
    return true;
  }
  auto start = SteadyClock::now();
  for (unsigned attempt = 0;; ++attempt) {
    // The thread seen waiting last time is nearly always the one.
    if (writerThread_ != 0 && threads::WaitsInWriteTo(writerThread_, pipe_)) return true;
    if (attempt % 32 == 0) {
      for (int tid : threads::All()) {
        if (!threads::WaitsInWriteTo(tid, pipe_)) continue;
        writerThread_ = tid;
        return true;
      }
      // No device open on the pipe: nothing to wait for.
      std::vector<int> open = threads::DescriptorsOn(pipe_);
      if (std::all_of(open.begin(), open.end(), [&](int fd) { return fd == fd_; })) return true;
    }
    if (SteadyClock::now() - start > kSettleLimit) return false;
    // The device needs the processor to get there.
    if (attempt < 256) sched_yield();
    else std::this_thread::sleep_for(std::chrono::microseconds(50));
  }
}

void CockpitRecorder::AwaitEnginePass(EnginePass pass) {
  if (!threads::Visible()) return;
  std::vector<int> engines = threads::Named(kEngineThreadName);
  std::vector<int64_t> marks;
  for (int tid : engines) marks.push_back(threads::VoluntarySwitches(tid));
  auto start = SteadyClock::now();
  for (size_t i = 0; i < engines.size(); ++i) {
    // The thread sleeps after each pass. Two sleeps after the mark: whatever
    // pass was under way then has ended, and a whole pass has run since.
    const int64_t sleeps = pass == EnginePass::Whole ? 2 : 1;
    while (marks[i] >= 0) {
      int64_t switches = threads::VoluntarySwitches(engines[i]);
      if (switches < 0 || switches >= marks[i] + sleeps) break;
      if (SteadyClock::now() - start > kEnginePassLimit) {
        std::lock_guard<std::mutex> lock(mutex_);
        Note("engine", "the sound engine's update thread did not run for half a second of real time at " +
                           Seconds(flight_) + " of the flight: the sound's timing may be off there");
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
}

void CockpitRecorder::Read() {
  SteadyClock::time_point silentSince{};
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stop_) {
    const int64_t end = end_.load();
    const int64_t flight = flight_;
    const int64_t frame = FrameAt(end >= 0 ? end : flight);
    WriteHeld(frame);
    const int64_t room = frame - static_cast<int64_t>(wav_.Frames());
    if (room <= 0 && end < 0) {
      // Caught up: sound is taken only as far as the flight has come.
      silentSince = {};
      caught_.notify_all();
      moved_.wait(lock, [&] { return stop_.load() || end_.load() >= 0 || flight_ != flight; });
      continue;
    }
    // Once the recording has ended everything is taken (and what is past
    // its end dropped).
    const size_t wanted = room <= 0 ? kPipeBytes : static_cast<size_t>(room) * kFrameBytes - held_.size();
    lock.unlock();
    int waiting = 0;
    if (ioctl(fd_, FIONREAD, &waiting) != 0) waiting = 0;
    const size_t before = held_.size();
    int readError = 0;
    const Take take = ReadPipe(std::min<size_t>(wanted, kPipeBytes), readError);
    // A read that empties the pipe lets a waiting device write, and mix.
    if (take != Take::Sound || held_.size() - before >= static_cast<size_t>(waiting)) deviceMayMix_ = true;
    if (take == Take::Nothing && pacing_ == Pacing::Lockstep && end < 0) {
      // Lockstep: the flight waits for the device's sound, for a while.
      pollfd ready{fd_, POLLIN, 0};
      poll(&ready, 1, 10);
    }
    lock.lock();
    if (take == Take::Sound) {
      silentSince = {};
      continue;
    }
    if (take == Take::Failed) {
      Note("failed", std::string("the recording pipe cannot be read (") + std::strerror(readError) +
                         "): silence was recorded from " + Seconds(flight) + " of the flight");
      break;
    }
    if (take == Take::NoDevice) {
      // No device open: the recording goes on in silence. One may open at
      // any step; it then mixes until it waits on the pipe.
      held_.clear();
      FillSilenceTo(end >= 0 ? end : flight);
      if (end < 0) continue;  // caught up now: the reader waits for the flight
    } else if (pacing_ == Pacing::RealTime || end >= 0) {
      // A device that has fallen behind the flight: like a sound card that
      // runs on its own clock, the recording goes on in silence (a device
      // gets some slack for its buffering).
      FillSilenceTo(flight - kDeviceSlackMicroseconds);
    } else {
      auto now = SteadyClock::now();
      if (silentSince == SteadyClock::time_point{}) silentSince = now;
      if (now - silentSince <= kDeviceSilentLimit) continue;
      Note("silent", "the audio device gave no sound for a second of real time at " + Seconds(flight) +
                         " of the flight: silence was recorded in its place");
      held_.clear();
      FillSilenceTo(flight);
      silentSince = {};
    }
    moved_.wait_for(lock, std::chrono::milliseconds(2), [&] { return stop_.load(); });
  }
  readerDone_ = true;
  caught_.notify_all();
}

common::Result<> CockpitRecorder::Finish() {
  if (reader_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
      moved_.notify_all();
    }
    reader_.join();
  }
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!pipe_.empty()) unlink(pipe_.c_str());
  if (!dir_.empty()) rmdir(dir_.c_str());
  pipe_.clear();
  dir_.clear();
  std::lock_guard<std::mutex> lock(mutex_);
  int64_t end = end_.load();
  FillSilenceTo(end >= 0 ? end : flight_);
  if (!wav_.Close()) {
    return common::Fail(wav_.error());
  }
  return {};
}

}  // namespace sim
