// Handing announcements to the audio library's play queue, the settings
// dialog's audio test, and master volume changes. Everything plays on the
// module stream at the master volume, through the plain end-of-queue export.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace orvante {

// Queues the cues in order on the module stream at the master volume. With
// cutCurrent, an announcement that is playing is stopped and everything
// waiting dropped first.
void QueueAnnouncement(const std::vector<std::string>& cueNames, bool cutCurrent);

// Queues "audiotestpassed" when a sound set is loaded; does nothing otherwise.
void PlayAudioTest();

// Stores a new master volume (kept within 0 to 10) in the main settings and
// passes it to the library as a float. The main settings file is not
// rewritten here. (ChangeMasterVolume, profiles/profile_part.h, sets the
// profile's too.)
void ApplyMasterVolume(int32_t volume);

}  // namespace orvante
