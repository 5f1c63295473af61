// The figures of a long run that must not grow: the process's resident
// memory, open file descriptors and threads (from /proc), and what the
// add-ons' audio library holds (live handles, the play queue, device
// engines). A replay writes them, one CSV row at a time, at chosen moments
// of its virtual time (--vitals).
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "common/result.h"

namespace sim {

struct ProcessVitals {
  uint64_t residentKb = 0;
  uint32_t openFiles = 0;
  uint32_t threads = 0;
};

// The calling process's figures; zeros where /proc cannot tell.
ProcessVitals ReadProcessVitals();

// What the audio library reports about itself (its diagnostics export).
struct AudioVitals {
  bool known = false;  // false: no library with the export
  uint32_t streams = 0, sounds = 0, lists = 0, queueLength = 0, deviceEngines = 0, devicesLost = 0, devicesRestored = 0;
};

// Writes the header at creation and one row per Record; flushed at once.
class VitalsFile {
 public:
  // Fails with a reason when the file cannot be created.
  common::Result<> Open(const std::string& path);
  void Record(double virtualSeconds, const ProcessVitals& process, const AudioVitals& audio);
  ~VitalsFile();

  static const char* Header();

 private:
  FILE* file_ = nullptr;
};

}  // namespace sim
