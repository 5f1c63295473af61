// Sound sets: the voices installed in ORVANTE\SoundSets under the simulator's
// folder (three XACT project files with one base name: .xgs, .xwb, .xsb), the
// loading of the profile's set into the audio library, and the module stream
// on which every announcement plays.
#pragma once
#include <atomic>
#include <string>
#include <vector>

#include "voice/audio_exports.h"

namespace orvante {

// The module stream: the stream created on the chosen output device when the
// sound set loaded, or null.
extern std::atomic<AudioStreamHandle> g_moduleStream;

// The sound-set folder under the simulator's folder.
std::string SoundSetFolder();

// Rebuilds names from the ".XGS" files of the sound-set folder, in the order
// of the directory search. Names longer than 69 characters are left out: cut,
// they would name no files.
void BuildSoundSetList(std::vector<std::string>& names);

// Path of one project file of a set, extension ".xgs", ".xwb" or ".xsb". An
// existing file whose name differs only in letter case is that file, as on
// Windows.
std::string SoundSetFilePath(const std::string& soundSet, const char* extension);

// Loads the sound set of that name (the loaded profile's): unloads the
// previous one, starts the audio engine on the set's files, creates the module
// stream on the main setting's output device and sets the library's volume
// to masterVolume. Sets g_voice.soundSetReady on success. An empty name
// changes nothing.
void LoadSoundSet(const std::string& name, int32_t masterVolume);

// Clears g_voice.soundSetReady, empties the library's queue and destroys the module
// stream; does nothing while the library has never been loaded.
void UnloadSoundSet();

}  // namespace orvante
