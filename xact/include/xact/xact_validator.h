// Structural checks of XACT3 sound-set files before FACT parses them.
//
// FAudio's FACT reads the global settings (.xgs), wave bank (.xwb) and sound
// bank (.xsb) through raw pointers without bounds checks, and resolves the
// references between them (cue -> sound, sound -> category, sound -> wave,
// sound -> RPC) only at play time, again without checks. A truncated or
// corrupted bank therefore reads outside its buffer or crashes the mixer.
// These functions walk each file the way FACT walks it, with every read
// bounds-checked, and refuse anything FACT would read outside the buffer,
// any header offset that disagrees with the physical layout (old FAudio
// parses sequentially, newer FAudio seeks by offset: both must agree), and
// any cross-reference that does not resolve.
//
// Only what this system can play is accepted: little-endian files, in-memory
// (non-streaming, non-compact) wave banks of PCM waves.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/result.h"

namespace orvante::xact {

// A refusal's message says what is wrong, naming the file and the field.
using XactCheckResult = common::Result<>;

// Per-file checks: structure, bounds and references inside one file.
XactCheckResult ValidateGlobalSettings(const uint8_t* xgs, size_t xgsSize);
XactCheckResult ValidateWaveBank(const uint8_t* xwb, size_t xwbSize);
XactCheckResult ValidateSoundBank(const uint8_t* xsb, size_t xsbSize);

// The three files of one set: each file on its own, then every reference
// between them (sound categories and RPC codes against the global settings,
// wave bank names and wave indices against the wave bank), and the global
// variable "SpeedOfSound" that FACT's 3D initialisation reads unchecked.
XactCheckResult ValidateSoundSet(const uint8_t* xgs, size_t xgsSize, const uint8_t* xwb, size_t xwbSize,
                                 const uint8_t* xsb, size_t xsbSize);

}  // namespace orvante::xact
