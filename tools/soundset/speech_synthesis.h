// Speaking a phrase into a PCM wave with espeak-ng, the synthesiser the
// default voice is made with.
#pragma once
#include <string>

#include "common/result.h"
#include "xact/xact_writer.h"

namespace orvante::soundset {

struct SpeechVoice {
  std::string program = "espeak-ng";  // path, or a name looked up on PATH
  std::string voice = "en-us";
  int wordsPerMinute = 165;
};

// Runs the synthesiser on phrase (handed over on standard input, never
// through a shell) and reads the wave it writes to a temporary file in
// tempDir. The synthesiser's leading and trailing silence is trimmed to a
// short margin. A failure says why when the program fails or writes no
// usable wave. The caller ignores SIGPIPE, so a synthesiser that quits
// before reading its input is a failure, not the end of the process.
common::Result<> SynthesizePhrase(const SpeechVoice& voice, const std::string& phrase, const std::string& tempDir,
                                  xact::PcmWave& wave);

}  // namespace orvante::soundset
