// Reading RIFF WAVE files of integer PCM (8 or 16 bits), the input of a
// sound set besides synthesised phrases.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/result.h"
#include "xact/xact_writer.h"

namespace orvante::soundset {

// Parses a WAVE file held in memory. Accepts format tag 1 (PCM) and
// WAVE_FORMAT_EXTENSIBLE with the PCM sub-format; a data chunk whose size
// runs past the end (as streaming writers leave it) is cut to the whole
// frames present. A failure says what is wrong with anything else.
common::Result<> ParseWav(const uint8_t* data, size_t size, xact::PcmWave& wave);

// Reads and parses a WAVE file.
common::Result<> ReadWavFile(const std::string& path, xact::PcmWave& wave);

}  // namespace orvante::soundset
