// Reading the stand-in simulator's transcript (JSON Lines) for the flight
// report: the cue lines, in time order. Other lines are checked for form and
// otherwise passed over; a line that is no JSON object of plain values is
// refused with its line and column.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace orvante::report {

struct TranscriptCue {
  double t = 0;
  std::string cue;
  bool cut = false;
  unsigned line = 0;
};

// Parses the transcript text. On failure returns
// "transcript line L, column C: what is wrong".
common::Result<> ReadTranscript(std::string_view text, std::vector<TranscriptCue>& cues);

}  // namespace orvante::report
