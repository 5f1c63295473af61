// The announcement pass: turns the cycle's alert word into cue sequences for
// the playback queue, in a fixed order. A bit is spoken in the cycle it is
// newly raised; the alerts that name a runway are spoken again when the runway
// they name changes. Distance-remaining marks cut off older speech.
//
// AnnouncementPass is declared with the checks in advisory_checks.h.
#pragma once
#include <cstdint>
#include <string>

#include "advisories/advisory_state.h"

namespace orvante {

// The bit is in this cycle's word and was not in the last cycle's.
bool IsNewlyRaised(const AdvisoryState& state, uint32_t alert);

// The bit is in this cycle's word and either newly raised or now raised for a
// runway other than the last cycle's (designators compared byte for byte).
bool IsFresh(const AdvisoryState& state, uint32_t alert);

// A runway cue name: the pattern's "%s" filled with the designator, the whole
// name in lower case ("onrwy%s" and "27L" give "onrwy27l").
std::string RunwayCueName(const char* pattern, const char* designator);

}  // namespace orvante
