// Reading dll.xml into the list of add-ons to start.
#include "addon_list.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "xml_document.h"
#include "common/text.h"

namespace sim {
namespace {

std::string Trim(std::string_view text) { return std::string(common::Trim(text, common::kWhiteSpace)); }

using common::EqualsIgnoringCase;

std::string Where(const std::string& source, int line) { return source + ": line " + std::to_string(line) + ": "; }

// A True/False element of an entry; absent means false.
bool ReadSwitch(const XmlElement& addon, const char* tag, const std::string& source,
                std::vector<std::string>& warnings) {
  const XmlElement* element = addon.Child(tag);
  if (element == nullptr) return false;
  std::string value = Trim(element->text);
  if (EqualsIgnoringCase(value, "True")) return true;
  if (!EqualsIgnoringCase(value, "False"))
    warnings.push_back(Where(source, element->line) + "<" + tag + "> reads \"" + value +
                       "\", neither True nor False; taken as False");
  return false;
}

}  // namespace

common::Result<AddonList> ParseAddonList(std::string_view text, const std::string& source) {
  XmlElement root;
  XmlError error;
  if (!ParseXml(text, root, error)) return common::Fail(Where(source, error.line) + error.message);
  if (root.name != "SimBase.Document")
    return common::Fail(Where(source, root.line) + "the document element is <" + root.name +
                        ">, not <SimBase.Document>");
  AddonList list;
  for (const XmlElement& child : root.children) {
    if (child.name != "Launch.Addon") continue;  // descriptions, file names and the like
    AddonEntry entry;
    entry.line = child.line;
    if (const XmlElement* name = child.Child("Name")) entry.name = Trim(name->text);
    const XmlElement* path = child.Child("Path");
    if (path == nullptr || Trim(path->text).empty()) {
      list.warnings.push_back(Where(source, child.line) + "add-on \"" + entry.name + "\" has no <Path>; skipped");
      continue;
    }
    entry.path = Trim(path->text);
    if (entry.name.empty()) entry.name = entry.path;
    entry.disabled = ReadSwitch(child, "Disabled", source, list.warnings);
    entry.manualLoad = ReadSwitch(child, "ManualLoad", source, list.warnings);
    if (const XmlElement* start = child.Child("DllStartName"); start && !Trim(start->text).empty())
      entry.startName = Trim(start->text);
    if (const XmlElement* stop = child.Child("DllStopName"); stop && !Trim(stop->text).empty())
      entry.stopName = Trim(stop->text);
    list.entries.push_back(std::move(entry));
  }
  return list;
}

common::Result<AddonList> ReadAddonList(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return common::Fail(path + ": is a folder, not an add-on list");
  std::ifstream file(path, std::ios::binary);
  if (!file) return common::Fail(path + ": cannot be opened");
  std::ostringstream contents;
  contents << file.rdbuf();
  if (file.bad()) return common::Fail(path + ": cannot be read");
  return ParseAddonList(contents.str(), path);
}

}  // namespace sim
