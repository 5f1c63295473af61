// Finding the folder of FSX-SE through the registry of the Wine prefix the
// simulator runs in.
#pragma once
#include <string>

namespace addovar {

// "SOFTWARE\Microsoft\Microsoft Games\Flight Simulator\10.0"
extern const char* const kFsxRegistryKey;

// The simulator's folder on the host, without a trailing separator: the
// current user's "AppPath", else the local machine's "SetupPath", whichever
// first names a folder that holds fsx.exe. Empty when neither does.
// FSX-SE is a 32-bit program, so in a 64-bit prefix its machine-wide values
// live in the 32-bit view (under Wow6432Node); both views are read, the
// 32-bit one first, as the 32-bit registration utility on Windows sees it.
std::string FindFsxFolder();

}  // namespace addovar
