// Callouts as a pilot hears them: the cues the unit queued together, joined
// into one announcement and put into words from a voice's manifest (the
// sound-set builder's "CUE say PHRASE" lines), or from the cue names where
// the manifest has none.
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "transcript.h"

namespace orvante::report {

class PhraseBook {
 public:
  // Takes the "CUE say [pause=MS] PHRASE" lines of a voice manifest; other
  // lines (settings, comments, recorded waves) are passed over.
  void AddManifest(std::string_view text);

  // The words of one cue: the manifest's phrase, else a reading of the name
  // ("onrwy28r" as "on runway 28R"), else the name itself.
  std::string Phrase(const std::string& cue) const;

 private:
  std::map<std::string, std::string> phrases_;
};

struct Callout {
  unsigned number = 0;  // 1, 2, ... in time order
  double t = 0;         // when its first cue was queued
  std::vector<std::string> cues;
  std::string phrase;
};

// Cues queued at the same time (one update cycle) are one announcement.
std::vector<Callout> GroupCallouts(const std::vector<TranscriptCue>& cues, const PhraseBook& phrases);

// What kind of callout it is, the same for every runway and distance: "on
// runway", "approaching a runway", "approaching runways", "distance
// remaining" (or "distance available"), else the words of its first cue in
// quotes ("\"flaps, flaps\"").
std::string CalloutKind(const Callout& callout, const PhraseBook& phrases);

// How many callouts of each kind, the most frequent first (in order of first
// appearance among equals): "10 callouts: 3 on runway, 2 distance remaining,
// 1 \"flaps, flaps\""; "no callouts" for none.
std::string CalloutCounts(const std::vector<Callout>& callouts, const PhraseBook& phrases);

}  // namespace orvante::report
