#include "audio_test_support.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <thread>

#include "xact/xact_writer.h"

namespace audiotest {

std::u16string Utf16(const std::string& text) {
  // Test paths are ASCII.
  return std::u16string(text.begin(), text.end());
}

std::string LongName(size_t length) {
  std::string name;
  for (size_t i = 0; i < length; ++i) name += static_cast<char>('a' + i % 26);
  return name;
}

std::vector<TestCue> StandardCues() {
  return {{"a", 60}, {"b", 60},     {"c", 60},           {"x", 60},
          {"y", 60}, {"long", 800}, {LongName(254), 60}, {LongName(255), 60}};
}

namespace {

constexpr double kPi = 3.14159265358979323846;

// A folder of its own under the system's temporary folder.
std::string NewTemporaryFolder() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate =
        std::filesystem::temp_directory_path() / ("vscaudio-test-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) return candidate.generic_string();
  }
  throw std::runtime_error("cannot make a temporary folder");
}

orvante::xact::PcmWave Tone(uint32_t milliseconds) {
  orvante::xact::PcmWave wave;
  wave.sampleRate = 22050;
  wave.channels = 1;
  wave.bitsPerSample = 16;
  uint32_t frames = wave.sampleRate * milliseconds / 1000;
  wave.samples.resize(frames * 2);
  for (uint32_t i = 0; i < frames; ++i) {
    auto sample = static_cast<int16_t>(3000.0 * std::sin(2.0 * kPi * 440.0 * i / wave.sampleRate));
    wave.samples[2 * i] = static_cast<uint8_t>(sample & 0xFF);
    wave.samples[2 * i + 1] = static_cast<uint8_t>((sample >> 8) & 0xFF);
  }
  return wave;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& data) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

TestSoundSet::TestSoundSet(const std::vector<TestCue>& cues) {
  folder_ = NewTemporaryFolder();
  std::vector<orvante::xact::NamedWave> waves;
  for (const TestCue& cue : cues) waves.push_back({cue.name, Tone(cue.milliseconds)});
  orvante::xact::SoundSetFiles files;
  auto result = orvante::xact::WriteSoundSet("Test", waves, files);
  if (!result) throw std::runtime_error("cannot write the test set: " + result.error());
  WriteFile(path("xgs"), files.xgs);
  WriteFile(path("xwb"), files.xwb);
  WriteFile(path("xsb"), files.xsb);
}

TestSoundSet::~TestSoundSet() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

int32_t TestSoundSet::Initialize(VSC_AUDIO_ERROR_CALLBACK callback) const {
  return VSC_AUDIO_INITIALIZE_AUDIO_ENGINE(xgs().c_str(), xwb().c_str(), xsb().c_str(), callback);
}

TraceRecorder::TraceRecorder() { VSC_AUDIO_SET_TRACE(&TraceRecorder::Record, this); }
TraceRecorder::~TraceRecorder() { VSC_AUDIO_SET_TRACE(nullptr, nullptr); }

void TraceRecorder::Record(void* context, int32_t operation, const char* cue, int32_t value) {
  auto* self = static_cast<TraceRecorder*>(context);
  std::lock_guard<std::mutex> hold(self->mutex_);
  self->operations_.push_back({operation, cue, value});
}

std::vector<TraceRecorder::Operation> TraceRecorder::Operations() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return operations_;
}

std::vector<std::string> TraceRecorder::Names(int32_t operation) const {
  std::lock_guard<std::mutex> hold(mutex_);
  std::vector<std::string> names;
  for (const auto& op : operations_) {
    if (op.operation == operation) names.push_back(op.cue);
  }
  return names;
}

size_t TraceRecorder::Count(int32_t operation) const { return Names(operation).size(); }

void TraceRecorder::Clear() {
  std::lock_guard<std::mutex> hold(mutex_);
  operations_.clear();
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void LetPassesRun(int passes) { std::this_thread::sleep_for(std::chrono::milliseconds(34 * passes + 20)); }

}  // namespace audiotest

// FAudio's mixer thread (started through SDL) takes FAudio's own mutexes in
// varying order; ThreadSanitizer sees the cycle inside SDL's mutex calls,
// where neither stack holds a lock of this library. Only those reports are
// silenced; races and every lock of our own stay checked.
extern "C" const char* __tsan_default_suppressions() { return "deadlock:libSDL2-2.0.so.0\n"; }

// FAudio 23.02 loses two mutexes of every FACT engine: its ShutDown clears the
// engine record before Release destroys them. The loss is inside FAudio and
// the same for every engine; the rest of the leak check stays on.
// FAudio is built without frame pointers: only a full unwind of each
// allocation sees the FAudio frame the suppression names.
extern "C" const char* __lsan_default_suppressions() { return "leak:FACTCreateEngineWithCustomAllocatorEXT\n"; }
extern "C" const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
