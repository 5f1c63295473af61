// Builds a sound set: the waves are made in parallel (each phrase is one run
// of the synthesiser), then handed to the XACT writer in manifest order.
#include "soundset/sound_set_builder.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "soundset/pcm_edits.h"
#include "soundset/speech_synthesis.h"
#include "soundset/wav_file.h"

namespace orvante::soundset {

bool BuildSoundSet(const Manifest& manifest, const std::string& setName, const BuildOptions& options,
                   xact::SoundSetFiles& files, std::string& error) {
  const size_t count = manifest.entries.size();
  std::vector<xact::NamedWave> waves(count);
  std::vector<std::string> errors(count);
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};

  auto work = [&] {
    for (size_t i = next++; i < count && !failed; i = next++) {
      const ManifestEntry& entry = manifest.entries[i];
      waves[i].cueName = entry.cueName;
      bool ok;
      if (entry.synthesise) {
        SpeechVoice voice{options.synthesiser, entry.voice, entry.wordsPerMinute};
        ok = SynthesizePhrase(voice, entry.phrase, options.tempDir, waves[i].wave, errors[i]);
      } else {
        ok = ReadWavFile(entry.wavPath, waves[i].wave, errors[i]);
      }
      if (!ok) {
        failed = true;
        continue;
      }
      AppendSilence(waves[i].wave, entry.pauseMs / 1000.0);
      ScaleLevel(waves[i].wave, manifest.volumeDb);
    }
  };
  unsigned jobs = std::clamp(options.jobs, 1u, 16u);
  std::vector<std::thread> workers;
  for (unsigned j = 1; j < jobs; ++j) workers.emplace_back(work);
  work();
  for (std::thread& t : workers) t.join();

  for (size_t i = 0; i < count; ++i) {
    if (!errors[i].empty()) {
      error = "line " + std::to_string(manifest.entries[i].line) + ", cue \"" + manifest.entries[i].cueName + "\": " + errors[i];
      return false;
    }
  }
  if (failed) {
    error = "building the waves failed";
    return false;
  }
  xact::XactCheckResult written = xact::WriteSoundSet(setName, waves, files);
  if (!written) {
    error = written.message;
    return false;
  }
  return true;
}

}  // namespace orvante::soundset
