// The three files of a sound set on disk: NAME.xgs, NAME.xwb and NAME.xsb in
// one folder, found from the set's base path.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/result.h"
#include "xact/xact_writer.h"

namespace orvante::soundset {

// "dir/Default", "dir/Default.xsb" (any of the three extensions, any letter
// case) all give the base path "dir/Default".
std::string SoundSetBasePath(const std::string& path);

// Reads the three files; a failure names the file that is missing or
// unreadable.
common::Result<> ReadSoundSetFiles(const std::string& basePath, xact::SoundSetFiles& files);

// Writes the three files, each through a temporary file renamed into place,
// so a set is never left half written.
common::Result<> WriteSoundSetFiles(const std::string& basePath, const xact::SoundSetFiles& files);

}  // namespace orvante::soundset
