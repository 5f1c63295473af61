// The module's entry in dll.xml and the edits made to the line list: adding
// the entry, cutting it out again, adding the opening tag that two known
// entries of other add-ons lack, and telling whether any add-on is listed.
// Pure line-list operations; the file steps around them are in registration.
#pragma once
#include <array>
#include <cstddef>
#include <string_view>

#include "dll_xml_lines.h"

namespace addovar {

// The eight lines written for the module, tabs included.
inline constexpr std::array<std::string_view, 8> kAddonBlock = {
    "\t<Launch.Addon>",
    "\t\t<Name>ORVANTE</Name>",
    "\t\t<Disabled>False</Disabled>",
    "\t\t<ManualLoad>False</ManualLoad>",
    "\t\t<Path>.\\ORVANTE\\ORVANTE.dll</Path>",
    "\t\t<DllStartName>module_init</DllStartName>",
    "\t\t<DllStopName>module_deinit</DllStopName>",
    "\t</Launch.Addon>",
};

inline constexpr std::string_view kOurNameLine = "<Name>ORVANTE</Name>";
inline constexpr std::string_view kLaunchOpen = "<Launch.Addon>";
inline constexpr std::string_view kLaunchClose = "</Launch.Addon>";
inline constexpr std::string_view kDocumentClose = "</SimBase.Document>";

// Whether any line reads "<Name>ORVANTE</Name>".
bool ListsOurAddon(const DllXmlLines& lines);

enum class InsertOutcome {
  kInserted,           // the block now stands before "</SimBase.Document>"
  kAlreadyRegistered,  // a line names the module already; nothing changed
  kNoDocumentClose,    // no "</SimBase.Document>" line; nothing changed
};

// Inserts the add-on block before the first line that reads
// "</SimBase.Document>", unless the module is listed already.
InsertOutcome InsertAddonBlock(DllXmlLines& lines);

struct CutOutcome {
  size_t entriesRemoved = 0;
  // Lines naming the module that no <Launch.Addon> ... </Launch.Addon> pair
  // encloses on its own; they and the lines around them are left alone.
  size_t entriesNotDelimited = 0;
};

// Removes every entry of the module: from the "<Launch.Addon>" line that
// opens it to the "</Launch.Addon>" line that closes it, whatever the lines
// between are, and nothing outside that range. An entry counts as delimited
// only when its opening and closing lines are found without passing another
// entry's tag or another "<Name>" line on the way.
CutOutcome CutAddonBlocks(DllXmlLines& lines);

// Gives "<Name>PMDG_Interface</Name>" and "<Name>PMDG_HUD_interface</Name>"
// an opening "<Launch.Addon>" line, indented like the first closing line of
// the file, where the line before them does not read "<Launch.Addon>". A name
// line that is the very first line has no line before it and gets the tag
// too. Returns the number of lines inserted.
size_t InsertMissingLaunchTags(DllXmlLines& lines);

// Whether any line reads "<Launch.Addon>".
bool ListsAnyAddon(const DllXmlLines& lines);

}  // namespace addovar
