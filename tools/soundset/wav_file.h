// Reading RIFF WAVE files of integer PCM (8 or 16 bits), the input of a
// sound set besides synthesised phrases.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "xact/xact_writer.h"

namespace orvante::soundset {

// Parses a WAVE file held in memory. Accepts format tag 1 (PCM) and
// WAVE_FORMAT_EXTENSIBLE with the PCM sub-format; a data chunk whose size
// runs past the end (as streaming writers leave it) is cut to the whole
// frames present. False with a message on anything else.
bool ParseWav(const uint8_t* data, size_t size, xact::PcmWave& wave, std::string& error);

// Reads and parses a WAVE file.
bool ReadWavFile(const std::string& path, xact::PcmWave& wave, std::string& error);

}  // namespace orvante::soundset
