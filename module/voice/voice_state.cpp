// The voice's module-wide state.
#include "voice/voice_state.h"

namespace orvante {

VoiceState g_voice;

}  // namespace orvante
