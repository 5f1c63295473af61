// Shared helpers of the audio library's tests: tiny sound sets written to a
// temporary folder, UTF-16 paths, a recorder of the queue trace, and waits
// that poll a condition with a deadline.
#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "vscaudio/vscaudio.h"

namespace audiotest {

std::u16string Utf16(const std::string& text);

// One cue of a test set: its name and how long its wave lasts.
struct TestCue {
  std::string name;
  uint32_t milliseconds;
};

// A sound set written to its own temporary folder, removed with the object.
class TestSoundSet {
 public:
  explicit TestSoundSet(const std::vector<TestCue>& cues);
  ~TestSoundSet();
  TestSoundSet(const TestSoundSet&) = delete;
  TestSoundSet& operator=(const TestSoundSet&) = delete;

  std::string folder() const { return folder_; }
  std::u16string xgs() const { return Utf16(folder_ + "/Test.xgs"); }
  std::u16string xwb() const { return Utf16(folder_ + "/Test.xwb"); }
  std::u16string xsb() const { return Utf16(folder_ + "/Test.xsb"); }
  std::string path(const char* extension) const { return folder_ + "/Test." + extension; }

  // Initialises the library on this set with the given callback.
  int32_t Initialize(VSC_AUDIO_ERROR_CALLBACK callback = nullptr) const;

 private:
  std::string folder_;
};

// The default cues most tests use: short waves, a long one, and a 254- and a
// 255-character name.
std::vector<TestCue> StandardCues();
std::string LongName(size_t length);

// Records the queue trace; installs itself on construction, removes itself on
// destruction.
class TraceRecorder {
 public:
  struct Operation {
    int32_t operation;
    std::string cue;
    int32_t value;
  };
  TraceRecorder();
  ~TraceRecorder();

  std::vector<Operation> Operations() const;
  // Cue names of one kind of operation, in order.
  std::vector<std::string> Names(int32_t operation) const;
  size_t Count(int32_t operation) const;
  void Clear();

 private:
  static void Record(void* context, int32_t operation, const char* cue, int32_t value);
  mutable std::mutex mutex_;
  std::vector<Operation> operations_;
};

// Polls the condition every 5 ms until it holds or the timeout passes.
bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Lets the worker run at least the given number of passes (34 ms each).
void LetPassesRun(int passes);

}  // namespace audiotest
