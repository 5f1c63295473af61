// Building a sound set from a manifest: each cue's wave is synthesised or
// read, the optional pause appended, and the three files written in memory.
#pragma once
#include <functional>
#include <string>

#include "soundset/sound_set_manifest.h"
#include "common/result.h"
#include "xact/xact_writer.h"

namespace orvante::soundset {

struct BuildOptions {
  std::string synthesiser = "espeak-ng";
  std::string tempDir = "/tmp";
  unsigned jobs = 1;  // phrases synthesised at once
  // Told how many waves are made of how many, after each (one call at a time).
  std::function<void(size_t done, size_t total)> progress;
};

// The waves of "wav" entries are taken in their own format, phrases come
// from the synthesiser; cues keep the manifest's order. A failure names the
// cue and manifest line that failed.
common::Result<> BuildSoundSet(const Manifest& manifest, const std::string& setName, const BuildOptions& options,
                               xact::SoundSetFiles& files);

}  // namespace orvante::soundset
