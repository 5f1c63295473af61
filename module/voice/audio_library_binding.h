// Loading the audio library, ORVANTE\DLLs\64bit\ORVAAUDIO64.DLL under the
// simulator's folder, at run time, binding its exports into g_audio by name,
// and starting its engine on a sound set's three project files.
#pragma once
#include <string>

#include "voice/audio_exports.h"
#include "platform/process.h"

namespace orvante {

// The library's path under the simulator's folder.
std::string AudioLibraryPath();

// Loads the library and binds every slot of g_audio (a missing export keeps
// its stub). Returns 1 when the library is loaded, else 0; a failed load is
// reported to callback, when given, with code 0 and the loader's last error,
// and leaves the slots as they were.
int32_t BindAudioLibrary(ErrorCallback callback);

// The handle of the last successful load, or null. The library is never
// unloaded.
platform::ModuleHandle AudioLibraryHandle();

// Widens a narrow path for the library's wide project-path arguments: UTF-8
// sequences become their UTF-16 units; a byte that is not part of valid UTF-8
// is copied as the unit of the same value. False (and nothing written) when
// the widened path holds more than 260 UTF-16 units.
bool WidenAudioPath(const char* path, std::u16string& wide);

// Binds the library and initialises its engine on the three files. Returns the
// library's answer (1 ready, 0 failed), or 0 with last-error 87 when a path is
// missing or longer than 260 characters, or 0 when the library cannot be
// loaded.
int32_t StartAudioEngine(const char* xgsPath, const char* xwbPath, const char* xsbPath, ErrorCallback callback);

}  // namespace orvante
