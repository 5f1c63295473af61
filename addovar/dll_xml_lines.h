// dll.xml as the registration utility sees it: a list of text lines, not XML.
// A line ends at CR LF, at CR or at LF; the text ends at its first NUL byte.
// Lines are written back with CR LF. Lines are compared after trimming every
// character below 33 from both ends, exactly and with letter case significant.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace addovar {

using DllXmlLines = std::vector<std::string>;

// Splits the bytes of a dll.xml into lines. A line ending right before the
// end of the text does not start another (empty) line.
DllXmlLines SplitDllXmlLines(std::string_view bytes);

// True when anything but NUL bytes follows the first NUL byte: such a file is
// not single-byte text (UTF-16, for one), and writing back the lines before
// the NUL would throw the rest of it away.
bool HasDataAfterNul(std::string_view bytes);

// The bytes of a dll.xml: every line followed by CR LF.
std::string JoinDllXmlLines(const DllXmlLines& lines);

// The line without the characters below 33 at either end.
std::string_view TrimLine(std::string_view line);

// Whether the trimmed line is exactly text.
bool LineReads(std::string_view line, std::string_view text);

}  // namespace addovar
