// The module's answer to the audio library's failure callback: a log line, a
// message box chosen by failure code, and a second box that explains the
// result code from VSCORVA\syserrors.ini under the simulator's folder.
#pragma once
#include <cstdint>
#include <string>

namespace orvante {

// The ErrorCallback the module gives the library. Always returns 1, which
// asks the library to show its own message too where it has one.
int32_t AudioErrorCallback(uint32_t code, uint32_t result);

// Path of the error-description file.
std::string ErrorDescriptionPath();

// The text of the description box for a result code (its low 16 bits), or
// empty when the description file cannot be read.
std::string DescribeResultCode(uint32_t code);

// Shows the description box for a result code when the file can be read.
void ShowResultDescription(uint32_t code);

}  // namespace orvante
