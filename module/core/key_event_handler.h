// The simulator key event that toggles the unit when the key-event interface
// is switched on in the main settings.
#pragma once
#include <cstdint>

namespace orvante {

inline constexpr uint32_t kToggleKeyEvent = 66482;  // 0x103B2

void keyEventHandler(uint32_t eventId, uint32_t eventData, void* userData);

}  // namespace orvante
