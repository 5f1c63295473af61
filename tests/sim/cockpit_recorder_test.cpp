// The cockpit recorder in lockstep with a flight, fed by a stand-in for SDL's
// disk driver (a thread writing buffers of 220 samples through stdio into the
// recorder's pipe, as fast as the pipe takes them): the file holds exactly the
// flight so far, sample for sample what the device wrote, and a settled
// device waits on the pipe no more than its buffering ahead of the file; with
// no device, the file is silence as long as the flight.
#include "cockpit_recorder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

#include "process_threads.h"
#include "temp_folder.h"

namespace sim {
namespace {

constexpr int kRate = CockpitRecorder::kSampleRate;

// The device's k-th sample: a ramp that repeats, exact in 16 bits.
float DeviceSample(uint64_t k) { return static_cast<float>(k % 200) / 400.0f; }

// SDL's disk driver, as the recorder sees it.
class StandInDevice {
 public:
  explicit StandInDevice(std::string pipe) : pipe_(std::move(pipe)) {
    thread_ = std::thread([this] { Run(); });
  }
  ~StandInDevice() {
    stop_ = true;
    thread_.join();
  }
  uint64_t Mixed() const { return mixed_.load(); }
  int Id() const { return id_.load(); }

 private:
  void Run() {
    id_ = gettid();
    FILE* out = std::fopen(pipe_.c_str(), "wb");
    if (out == nullptr) return;
    std::vector<float> buffer(220);
    while (!stop_) {
      for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = DeviceSample(mixed_ + i);
      mixed_ += buffer.size();
      if (std::fwrite(buffer.data(), sizeof(float), buffer.size(), out) != buffer.size()) break;
    }
    std::fclose(out);
  }

  std::string pipe_;
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> mixed_{0};
  std::atomic<int> id_{0};
  std::thread thread_;
};

std::vector<int16_t> WavSamples(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  std::vector<int16_t> samples;
  if (bytes.size() < 44) return samples;
  samples.resize((bytes.size() - 44) / 2);
  std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
  return samples;
}

TEST(CockpitRecorder, InLockstepTheFileHoldsTheFlightAndTheDeviceWaitsJustAheadOfIt) {
  if (!threads::Visible()) GTEST_SKIP() << "/proc/self/task cannot be read here";
  TempFolder folder;
  std::string wav = (folder.path() / "cockpit.wav").string();
  CockpitRecorder recorder(wav, CockpitRecorder::Pacing::Lockstep);
  common::Result<> started = recorder.Start();
  ASSERT_TRUE(started) << started.error();
  const char* pipe = std::getenv("SDL_DISKAUDIOFILE");
  ASSERT_NE(pipe, nullptr);
  EXPECT_STREQ(std::getenv("SDL_AUDIODRIVER"), "disk");
  {
    StandInDevice device(pipe);
    // The device opens before the flight begins, as an add-on's does when it
    // starts: until then the recording would be silence.
    for (int i = 0; i < 10000 && device.Mixed() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_GT(device.Mixed(), 0u) << "the device opened the pipe";
    for (int64_t step = 1; step <= 60; ++step) {  // two seconds of 30 Hz steps
      const int64_t now = step * 1000000 / 30;
      const uint64_t flight = static_cast<uint64_t>(now * kRate / 1000000);
      const bool settle = step % 7 == 0 || step == 60;
      recorder.FlightAt(now, settle);
      // Taken as the flight comes, never beyond it; all of it once settled.
      if (!settle) {
        EXPECT_LE(recorder.Frames(), flight) << "step " << step;
        continue;
      }
      EXPECT_EQ(recorder.Frames(), flight) << "step " << step;
      // Settled: the device waits on the pipe, ahead of the file by what the
      // pipe and its stream hold (a page each) and at most one buffer more.
      EXPECT_TRUE(threads::WaitsInWriteTo(device.Id(), pipe)) << "step " << step;
      EXPECT_GE(device.Mixed(), recorder.Frames() + 1024) << "step " << step;
      EXPECT_LE(device.Mixed(), recorder.Frames() + 2 * 1024 + 220) << "step " << step;
    }
    recorder.EndAt(2000000);
  }
  common::Result<> finished = recorder.Finish();
  ASSERT_TRUE(finished) << finished.error();
  EXPECT_TRUE(recorder.Notes().empty());
  std::vector<int16_t> samples = WavSamples(wav);
  ASSERT_EQ(samples.size(), static_cast<size_t>(2 * kRate));
  for (size_t k = 0; k < samples.size(); ++k) {
    ASSERT_EQ(samples[k], static_cast<int16_t>(std::lround(DeviceSample(k) * 32767.0f))) << "sample " << k;
  }
}

TEST(CockpitRecorder, WithNoDeviceTheFlightIsSilence) {
  TempFolder folder;
  std::string wav = (folder.path() / "cockpit.wav").string();
  CockpitRecorder recorder(wav, CockpitRecorder::Pacing::Lockstep);
  common::Result<> started = recorder.Start();
  ASSERT_TRUE(started) << started.error();
  recorder.FlightAt(500000);
  EXPECT_EQ(recorder.Frames(), static_cast<uint64_t>(kRate / 2));
  recorder.FlightAt(750000, false);
  recorder.EndAt(1000000);
  common::Result<> finished = recorder.Finish();
  ASSERT_TRUE(finished) << finished.error();
  std::vector<int16_t> samples = WavSamples(wav);
  ASSERT_EQ(samples.size(), static_cast<size_t>(kRate));
  for (int16_t sample : samples) ASSERT_EQ(sample, 0);
}

TEST(CockpitRecorder, AFileThatCannotBeWrittenIsRefusedWithItsReason) {
  CockpitRecorder recorder("/nonexistent-folder/cockpit.wav", CockpitRecorder::Pacing::Lockstep);
  common::Result<> started = recorder.Start();
  EXPECT_FALSE(started);
  EXPECT_NE(started.error().find("/nonexistent-folder/cockpit.wav"), std::string::npos) << started.error();
}

}  // namespace
}  // namespace sim
