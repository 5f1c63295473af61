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

common::Result<> BuildSoundSet(const Manifest& manifest, const std::string& setName, const BuildOptions& options,
                               xact::SoundSetFiles& files) {
  const size_t count = manifest.entries.size();
  std::vector<xact::NamedWave> waves(count);
  std::vector<std::string> errors(count);
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex progressMutex;
  size_t made = 0;

  auto work = [&] {
    for (size_t i = next++; i < count && !failed; i = next++) {
      const ManifestEntry& entry = manifest.entries[i];
      waves[i].cueName = entry.cueName;
      SpeechVoice voice{options.synthesiser, entry.voice, entry.wordsPerMinute};
      common::Result<> wave = entry.synthesise ? SynthesizePhrase(voice, entry.phrase, options.tempDir, waves[i].wave)
                                               : ReadWavFile(entry.wavPath, waves[i].wave);
      if (!wave) {
        errors[i] = wave.error();
        failed = true;
        continue;
      }
      AppendSilence(waves[i].wave, entry.pauseMs / 1000.0);
      ScaleLevel(waves[i].wave, manifest.volumeDb);
      if (options.progress) {
        std::lock_guard<std::mutex> lock(progressMutex);
        options.progress(++made, count);
      }
    }
  };
  unsigned jobs = std::clamp(options.jobs, 1u, 16u);
  std::vector<std::thread> workers;
  for (unsigned j = 1; j < jobs; ++j) workers.emplace_back(work);
  work();
  for (std::thread& t : workers) t.join();

  for (size_t i = 0; i < count; ++i) {
    if (!errors[i].empty()) {
      return common::Fail("line " + std::to_string(manifest.entries[i].line) + ", cue \"" +
                          manifest.entries[i].cueName + "\": " + errors[i]);
    }
  }
  if (failed) return common::Fail("building the waves failed");
  return xact::WriteSoundSet(setName, waves, files);
}

}  // namespace orvante::soundset
