// What the reliability tests share for running the stand-in simulator: a
// private copy of the build's simulator folder (its files may be deleted or
// replaced by a test), an application-data folder with a profile linked to
// the test aircraft, and the transcript's cues and log lines.
#pragma once
#include <string>
#include <vector>

#include "temp_folder.h"

namespace faults {

// Copies the build's simulator folder to folder/sim; returns its path.
std::string CopySimulatorFolder(const TempFolder& folder);

// Writes folder/app with ORVANTE.INI and a profile TEST.INI (MasterSwitch on,
// linked to model B738, plus extraProfileLines) and folder/aircraft/B738 with
// the demo aircraft's aircraft.cfg. Returns the application-data folder.
std::string WriteUserFolders(const TempFolder& folder, const std::string& extraProfileLines = "");

struct TranscriptLine {
  double t = 0;
  std::string type;  // "cue", "log", ...
  std::string text;  // the cue name, or the log line
};

// The cue and log lines of a transcript, in order.
std::vector<TranscriptLine> ReadTranscriptLines(const std::string& path);

// Cues at or after `from` (and before `to`) seconds.
int CountCues(const std::vector<TranscriptLine>& lines, double from, double to = 1e12);

// The first log line containing text at or after `from`, or null.
const TranscriptLine* FindLog(const std::vector<TranscriptLine>& lines, const std::string& text, double from = 0);

// The stand-in simulator's program.
std::string SimulatorProgram();

}  // namespace faults
