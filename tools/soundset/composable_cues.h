// Every cue name the unit can compose: the runway cues for every designator,
// the fixed advisory cues, and the words and numbers of spoken distances.
// A sound set must hold all of them for every advisory to be heard.
#pragma once
#include <string>
#include <vector>

namespace orvante::soundset {

// Runway designators the unit speaks, lower case: "01" to "36", each alone
// and with the suffixes l, c, r and w ("27l", "09", "36c", "18w").
std::vector<std::string> RunwayDesignators();

// The cue names, in a fixed order: "onrwy%s" and "apprwy%s" for every
// designator, then the fixed advisory cues, then digits, numbers and words.
std::vector<std::string> ComposableCueNames();

// The largest thousands count spoken as one cue ("20" for 20000): runways
// longer than that do not exist, and the distance callouts never exceed it.
inline constexpr int kLargestThousandsCue = 20;

}  // namespace orvante::soundset
