// Building a sound set from a manifest: each cue's wave is synthesised or
// read, the optional pause appended, and the three files written in memory.
#pragma once
#include <string>

#include "soundset/sound_set_manifest.h"
#include "xact/xact_writer.h"

namespace orvante::soundset {

struct BuildOptions {
  std::string synthesiser = "espeak-ng";
  std::string tempDir = "/tmp";
  unsigned jobs = 1;  // phrases synthesised at once
};

// The waves of "wav" entries are taken in their own format, phrases come
// from the synthesiser; cues keep the manifest's order. False with a message
// naming the cue and manifest line that failed.
bool BuildSoundSet(const Manifest& manifest, const std::string& setName, const BuildOptions& options,
                   xact::SoundSetFiles& files, std::string& error);

}  // namespace orvante::soundset
