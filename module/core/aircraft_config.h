// The aircraft configuration reader: the flap deflection of each flaps-handle
// detent, from the aircraft's aircraft.cfg.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orvante {

// Rebuilds flapPositions from the "flaps.N" sections of the file at path: the
// positions of the first section of type 1 that lists at least one. Does
// nothing for an empty path; a missing file gives an empty list.
void ReadAircraftConfiguration(std::vector<uint32_t>& flapPositions, const std::string& path);

// The token of a value: leading blanks and tabs skipped, then the text up to
// the first blank, tab, backslash or slash.
std::string TrimConfigToken(const std::string& value);

}  // namespace orvante
