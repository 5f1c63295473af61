// A hand-assembled sound set that uses the parts of the XACT layout our
// writer never writes but sets from other tools may: RPCs and a DSP preset in
// the global settings; a sound with its own RPC; a complex sound with track
// RPCs, a DSP preset and two events; a complex cue playing a variation table;
// a cue hash. Offsets of interest are kept so tests can damage them.
#pragma once
#include <cstdint>

#include "xact/xact_writer.h"

namespace orvante::test {

struct FullFeatureSet {
  xact::SoundSetFiles files;
  uint32_t rpcCode = 0;           // xgs offset of the RPC record
  uint32_t dspPresetCode = 0;     // xgs offset of the DSP preset
  uint32_t dspParametersAt = 0;   // xgs offset of its 22 reverb parameters
  uint32_t soundRpcCodeAt = 0;    // xsb offset of the simple sound's RPC code
  uint32_t rpcBlockLengthAt = 0;  // xsb offset of that sound's RPC block length
  uint32_t trackDspCodeAt = 0;    // xsb offset of the complex sound's DSP code
  uint32_t variationTableAt = 0;  // xsb offset of the variation table
  uint32_t variationEntryAt = 0;  // xsb offset of its second entry (wave index or sound code)
};

// Cues: "plain" (simple sound with an RPC on Distance), "layered" (complex
// sound: PlayWave then a marker), "either" (a variation table choosing
// between the two sounds, or with waveVariation between the two waves).
FullFeatureSet MakeFullFeatureSet(bool waveVariation = false);

}  // namespace orvante::test
