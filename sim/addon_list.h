// The simulator's add-on list, dll.xml: which modules to load at start-up,
// where they are, and which of their exports start and stop them. The list is
// read the way the simulator reads it: the document element
// <SimBase.Document> holds one <Launch.Addon> per module; an entry whose
// <Disabled> reads "True" is skipped.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"

namespace sim {

// Start and stop exports the simulator calls when an entry names none.
inline constexpr const char* kDefaultStartName = "DLLStart";
inline constexpr const char* kDefaultStopName = "DLLStop";

struct AddonEntry {
  std::string name;       // <Name>, for messages
  std::string path;       // <Path> as written: relative to the simulator folder, '\' or '/'
  bool disabled = false;  // <Disabled>True</Disabled>
  bool manualLoad = false;
  std::string startName = kDefaultStartName;  // <DllStartName>
  std::string stopName = kDefaultStopName;    // <DllStopName>
  int line = 0;                               // line of its <Launch.Addon> in dll.xml
};

struct AddonList {
  std::vector<AddonEntry> entries;    // every <Launch.Addon> in file order, disabled ones too
  std::vector<std::string> warnings;  // entries skipped or values not understood
};

// Reads the list from the text of a dll.xml; source names it in messages. A
// failure says "PATH: line N: what is wrong".
common::Result<AddonList> ParseAddonList(std::string_view text, const std::string& source);

// Reads the list from a file. A missing or unreadable file is an error with
// its own message.
common::Result<AddonList> ReadAddonList(const std::string& path);

}  // namespace sim
