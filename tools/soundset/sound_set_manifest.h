// The manifest of a sound set: which cue plays which sound. A text file, one
// entry a line; '#' starts a comment line; blank lines are ignored.
//
//   voice en-us            espeak-ng voice for the phrases that follow
//   speed 165              words a minute for the phrases that follow
//   volume -38             every sound's level is changed by this many dB (-60 to 6)
//   CUE say [pause=MS] PHRASE...
//   CUE wav [pause=MS] FILE       (relative to the manifest's folder)
//
// pause=MS adds that many milliseconds of silence after the sound.
#pragma once
#include <string>
#include <vector>

#include "common/result.h"

namespace orvante::soundset {

struct ManifestEntry {
  std::string cueName;
  bool synthesise = false;  // true: say phrase; false: read wavPath
  std::string phrase;
  std::string wavPath;  // resolved against the manifest's folder
  std::string voice = "en-us";
  int wordsPerMinute = 165;
  int pauseMs = 0;
  int line = 0;
};

struct Manifest {
  std::vector<ManifestEntry> entries;
  int volumeDb = 0;
};

// Parses manifest text; baseDir resolves relative wave paths. On a bad line,
// a failure says "line N: what is wrong". Cue names must be unique.
common::Result<> ParseManifest(const std::string& text, const std::string& baseDir, Manifest& manifest);

// Reads and parses a manifest file.
common::Result<> ReadManifest(const std::string& path, Manifest& manifest);

}  // namespace orvante::soundset
