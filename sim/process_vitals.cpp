// Reading the process's figures from /proc/self.
#include "process_vitals.h"

#include <dirent.h>

#include <cerrno>
#include <cstring>

namespace sim {

ProcessVitals ReadProcessVitals() {
  ProcessVitals vitals;
  if (FILE* status = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
      unsigned long long value = 0;
      if (std::sscanf(line, "VmRSS: %llu", &value) == 1) vitals.residentKb = value;
      else if (std::sscanf(line, "Threads: %llu", &value) == 1) vitals.threads = static_cast<uint32_t>(value);
    }
    std::fclose(status);
  }
  if (DIR* fds = opendir("/proc/self/fd")) {
    uint32_t count = 0;
    while (dirent* entry = readdir(fds))
      if (entry->d_name[0] != '.') ++count;
    closedir(fds);
    vitals.openFiles = count > 0 ? count - 1 : 0;  // the listing's own descriptor does not count
  }
  return vitals;
}

const char* VitalsFile::Header() {
  return "t_s,resident_kb,open_files,threads,audio_streams,audio_sounds,audio_lists,queue_length,device_engines,"
         "devices_lost,devices_restored";
}

common::Result<> VitalsFile::Open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "w");
  if (file_ == nullptr) return common::Fail("cannot write " + path + ": " + std::strerror(errno));
  std::fprintf(file_, "%s\n", Header());
  std::fflush(file_);
  return {};
}

void VitalsFile::Record(double virtualSeconds, const ProcessVitals& process, const AudioVitals& audio) {
  if (file_ == nullptr) return;
  std::fprintf(file_, "%.0f,%llu,%u,%u,", virtualSeconds, static_cast<unsigned long long>(process.residentKb),
               process.openFiles, process.threads);
  if (audio.known)
    std::fprintf(file_, "%u,%u,%u,%u,%u,%u,%u\n", audio.streams, audio.sounds, audio.lists, audio.queueLength,
                 audio.deviceEngines, audio.devicesLost, audio.devicesRestored);
  else std::fprintf(file_, ",,,,,,\n");
  std::fflush(file_);
}

VitalsFile::~VitalsFile() {
  if (file_) std::fclose(file_);
}

}  // namespace sim
