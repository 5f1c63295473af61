// Watching the output device under a device engine. FAudio plays through
// SDL, which notices when an output device goes away (unplugged, or its
// output fails) and from then on plays into nothing: the device engine then
// goes on mixing sound that nobody hears. The library asks SDL, on each pass
// of its worker, whether the device it opened is still there, so that it can
// let the sounds go and open the device again once it returns.
//
// SDL is FAudio's, found in the process at run time; without it (another
// audio back end) nothing is watched and every device counts as present.
#pragma once
#include <cstdint>
#include <vector>

namespace vscaudio {

// SDL's identifiers of the output devices open now.
std::vector<uint32_t> OpenOutputDevices();

// The device opened since `before` was taken, or 0 when none can be told.
uint32_t OutputDeviceOpenedSince(const std::vector<uint32_t>& before);

// True once SDL reports the device open as `id` gone (or closed).
bool OutputDeviceLost(uint32_t id);

}  // namespace vscaudio
