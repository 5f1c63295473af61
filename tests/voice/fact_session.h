// A FACT engine with one sound set loaded, as the audio library will hold
// it: engine on the default renderer, in-memory wave bank, sound bank.
#pragma once
#include <cstdint>
#include <string>

#include <FACT.h>

#include "xact/xact_writer.h"

namespace orvante::test {

class FactSession {
 public:
  FactSession() = default;
  ~FactSession();
  FactSession(const FactSession&) = delete;
  FactSession& operator=(const FactSession&) = delete;

  // Creates the engine and loads the set; the files must outlive the
  // session (FACT plays from the wave bank's buffer). Empty on success, else
  // what failed.
  std::string Open(const xact::SoundSetFiles& files);

  // Plays the named cue and waits until FACT reports it stopped. Empty on
  // success, else what failed.
  std::string PlayToEnd(const std::string& cueName, double timeoutSeconds);

  FACTAudioEngine* engine() const { return engine_; }

 private:
  FACTAudioEngine* engine_ = nullptr;
  bool initialised_ = false;
  FACTWaveBank* waveBank_ = nullptr;
  FACTSoundBank* soundBank_ = nullptr;
};

}  // namespace orvante::test
