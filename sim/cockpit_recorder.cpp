// The reader: opens the pipe (waiting for SDL to open its device), then reads
// float frames whenever the flight's clock is ahead of what the file holds.
// A device closed and opened again (the add-on reloading its sounds) is the
// pipe's end of file followed by a new writer.
#include "cockpit_recorder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace sim {
namespace {

constexpr size_t kFrameBytes = sizeof(float) * CockpitRecorder::kChannels;
// The pipe holds about 46 ms of sound: the device runs at most that far ahead.
constexpr int kPipeBytes = 4096;

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
  while (!stop_) {
    int fd = open(pipe_.c_str(), O_RDONLY);  // waits for a device to open
    if (fd < 0) break;
    if (stop_) {
      close(fd);
      break;
    }
    fcntl(fd, F_SETPIPE_SZ, kPipeBytes);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      FillSilenceTo(now_());
    }
    ReadFrom(fd);
    close(fd);
  }
  finished_ = true;
}

void CockpitRecorder::ReadFrom(int fd) {
  std::vector<char> buffer(kPipeBytes);
  size_t pending = 0;  // bytes of a partial frame carried over
  while (!stop_) {
    // Sound is taken only as far as the flight has come; once the recording
    // has ended (or is being stopped) everything is taken and dropped.
    int64_t end = end_.load();
    int64_t limit = FrameAt(end >= 0 ? end : now_());
    size_t written;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      written = wav_.Frames();
    }
    bool draining = end >= 0 || stop_;
    size_t wanted = buffer.size() - pending;
    if (!draining) {
      if (static_cast<int64_t>(written) >= limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        continue;
      }
      wanted = std::min(wanted, static_cast<size_t>(limit - static_cast<int64_t>(written)) * kFrameBytes);
    }
    // A device that is open but paused writes nothing: look again shortly.
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, 20) <= 0) continue;
    ssize_t n = read(fd, buffer.data() + pending, wanted);
    if (n <= 0) return;  // the device closed
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
}

bool CockpitRecorder::Finish(std::string& error) {
  if (reader_.joinable()) {
    stop_ = true;
    // A reader waiting in open() for a device is released by opening the
    // pipe's other end; it may not have reached open() yet, so keep knocking.
    while (!finished_) {
      int fd = open(pipe_.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) close(fd);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
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
