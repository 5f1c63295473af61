// Checking an installed sound set: is every file sound, and does it hold a
// cue for every name the unit can compose?
#pragma once
#include <string>
#include <vector>

#include "xact/xact_writer.h"

namespace orvante::soundset {

struct SoundSetReport {
  bool sound = false;                 // the files pass the validator
  std::string damage;                 // the validator's message when not
  std::vector<std::string> cueNames;  // the set's cues, in bank order
  std::vector<std::string> missing;   // composable names the set lacks, in composing order
  bool Complete() const { return sound && missing.empty(); }
};

SoundSetReport CheckSoundSet(const xact::SoundSetFiles& files);

}  // namespace orvante::soundset
