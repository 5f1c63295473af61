// Reading and writing the dll.xml file: its lines, its attributes, and an
// atomic replacement so that a crash never leaves half a file.
#pragma once
#include <string>

#include "dll_xml_lines.h"
#include "step_result.h"

namespace addovar {

// Reads the lines of the file. Fails when the file cannot be read, and when
// bytes other than NUL follow a NUL byte: writing such a file back as lines
// would lose everything after the NUL, so it is left as it is.
StepResult ReadDllXml(const std::string& path, DllXmlLines& lines);

// Writes the lines, each ended by CR LF, through a temporary file and a
// rename. A read-only file is made writable for the write and read-only
// again afterwards, whether or not the write succeeded.
StepResult WriteDllXml(const std::string& path, const DllXmlLines& lines);

}  // namespace addovar
