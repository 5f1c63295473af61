// The reader: reads float frames from the pipe whenever the flight's clock is
// ahead of what the file holds. A device closed and opened again (the add-on
// reloading its sounds) is the pipe's end of file until a new writer comes.
#include "cockpit_recorder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace sim {
namespace {

constexpr size_t kFrameBytes = sizeof(float) * CockpitRecorder::kChannels;
// The pipe holds about 46 ms of sound: the device runs at most that far ahead.
constexpr int kPipeBytes = 4096;
// How far a device may fall behind the flight before the recording goes on
// without it: more than a device buffer.
constexpr int64_t kDeviceSlackMicroseconds = 150000;

}  // namespace

CockpitRecorder::CockpitRecorder(std::string wavPath, TimeSource now)
    : wavPath_(std::move(wavPath)), now_(std::move(now)) {}

CockpitRecorder::~CockpitRecorder() {
  std::string ignored;
  Finish(ignored);
}

int64_t CockpitRecorder::FrameAt(int64_t microseconds) const {
  return microseconds <= 0 ? 0 : microseconds * kSampleRate / 1000000;
}

bool CockpitRecorder::Start(std::string& error) {
  if (!wav_.Open(wavPath_, kSampleRate, kChannels)) {
    error = wav_.error();
    return false;
  }
  char pattern[] = "/tmp/orvante-cockpit-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    error = std::string("cannot make a folder for the recording pipe: ") + std::strerror(errno);
    return false;
  }
  dir_ = pattern;
  pipe_ = dir_ + "/sound.raw";
  if (mkfifo(pipe_.c_str(), 0600) != 0) {
    error = std::string("cannot make the recording pipe: ") + std::strerror(errno);
    return false;
  }
  // A device still writing when the reader has gone gets an error, not the
  // signal that would end the simulator.
  signal(SIGPIPE, SIG_IGN);
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", pipe_.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "0", 1);  // paced by the reader, not by the driver
  setenv("SDL_AUDIO_FREQUENCY", std::to_string(kSampleRate).c_str(), 1);
  setenv("SDL_AUDIO_CHANNELS", std::to_string(kChannels).c_str(), 1);
  reader_ = std::thread([this] { Read(); });
  return true;
}

void CockpitRecorder::EndAt(int64_t endMicroseconds) { end_ = endMicroseconds; }

uint64_t CockpitRecorder::Frames() {
  std::lock_guard<std::mutex> lock(mutex_);
  return wav_.Frames();
}

void CockpitRecorder::FillSilenceTo(int64_t microseconds) {
  int64_t end = end_.load();
  if (end >= 0 && microseconds > end) microseconds = end;
  int64_t frame = FrameAt(microseconds);
  if (frame > static_cast<int64_t>(wav_.Frames())) wav_.WriteSilence(static_cast<size_t>(frame - wav_.Frames()));
}

void CockpitRecorder::Read() {
  // The pipe is held open for reading from the start, so its size is set
  // before any device writes and it outlives the devices that come and go.
  int fd = open(pipe_.c_str(), O_RDONLY | O_NONBLOCK);
  if (fd < 0) {
    finished_ = true;
    return;
  }
  fcntl(fd, F_SETPIPE_SZ, kPipeBytes);
  std::vector<char> buffer(kPipeBytes);
  size_t pending = 0;  // bytes of a partial frame carried over
  while (!stop_) {
    // Sound is taken only as far as the flight has come; once the recording
    // has ended everything is taken and dropped.
    int64_t end = end_.load();
    const int64_t limit = FrameAt(end >= 0 ? end : now_());
    int64_t written;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      written = static_cast<int64_t>(wav_.Frames());
    }
    size_t wanted = buffer.size() - pending;
    if (end < 0) {
      if (written >= limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        continue;
      }
      wanted = std::min(wanted, static_cast<size_t>(limit - written) * kFrameBytes);
    }
    ssize_t n = read(fd, buffer.data() + pending, wanted);
    if (n <= 0) {
      // No device open (end of file), or one that has fallen behind the
      // flight: like a sound card that runs on its own clock, the recording
      // goes on in silence (a device gets some slack for its buffering).
      bool noDevice = n == 0;
      if (n < 0 && errno != EAGAIN && errno != EINTR) break;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (noDevice) pending = 0;
        FillSilenceTo(noDevice ? now_() : now_() - kDeviceSlackMicroseconds);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    size_t bytes = pending + static_cast<size_t>(n);
    size_t frames = bytes / kFrameBytes;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      int64_t room = limit - static_cast<int64_t>(wav_.Frames());
      size_t keep = room <= 0 ? 0 : std::min(frames, static_cast<size_t>(room));
      if (keep > 0) wav_.WriteFloat(reinterpret_cast<const float*>(buffer.data()), keep);
    }
    pending = bytes - frames * kFrameBytes;
    std::memmove(buffer.data(), buffer.data() + frames * kFrameBytes, pending);
  }
  close(fd);
  finished_ = true;
}

bool CockpitRecorder::Finish(std::string& error) {
  if (reader_.joinable()) {
    stop_ = true;
    reader_.join();
  }
  if (!pipe_.empty()) unlink(pipe_.c_str());
  if (!dir_.empty()) rmdir(dir_.c_str());
  pipe_.clear();
  dir_.clear();
  std::lock_guard<std::mutex> lock(mutex_);
  int64_t end = end_.load();
  FillSilenceTo(end >= 0 ? end : now_());
  if (!wav_.Close()) {
    error = wav_.error();
    return false;
  }
  return true;
}

}  // namespace sim
