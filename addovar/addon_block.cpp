// Edits of the line list of dll.xml that add, remove and repair add-on entries.
#include "addon_block.h"

#include <algorithm>
#include <optional>

namespace addovar {

namespace {

bool ReadsAnyOf(std::string_view line, std::initializer_list<std::string_view> texts) {
  std::string_view trimmed = TrimLine(line);
  return std::find(texts.begin(), texts.end(), trimmed) != texts.end();
}

bool IsNameLine(std::string_view line) { return TrimLine(line).starts_with("<Name>"); }

// The opening line of the entry that holds the name line at index name, or
// nothing when the way up meets a closing tag, another name, or the top.
std::optional<size_t> EntryOpening(const DllXmlLines& lines, size_t name) {
  for (size_t i = name; i-- > 0;) {
    if (LineReads(lines[i], kLaunchOpen)) return i;
    if (ReadsAnyOf(lines[i], {kLaunchClose, kDocumentClose}) || IsNameLine(lines[i])) return std::nullopt;
  }
  return std::nullopt;
}

// The closing line of that entry, found the same way downwards.
std::optional<size_t> EntryClosing(const DllXmlLines& lines, size_t name) {
  for (size_t i = name + 1; i < lines.size(); ++i) {
    if (LineReads(lines[i], kLaunchClose)) return i;
    if (ReadsAnyOf(lines[i], {kLaunchOpen, kDocumentClose}) || IsNameLine(lines[i])) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

bool ListsOurAddon(const DllXmlLines& lines) {
  return std::any_of(lines.begin(), lines.end(), [](const std::string& line) { return LineReads(line, kOurNameLine); });
}

InsertOutcome InsertAddonBlock(DllXmlLines& lines) {
  if (ListsOurAddon(lines)) return InsertOutcome::kAlreadyRegistered;
  auto close =
      std::find_if(lines.begin(), lines.end(), [](const std::string& line) { return LineReads(line, kDocumentClose); });
  if (close == lines.end()) return InsertOutcome::kNoDocumentClose;
  lines.insert(close, kAddonBlock.begin(), kAddonBlock.end());
  return InsertOutcome::kInserted;
}

CutOutcome CutAddonBlocks(DllXmlLines& lines) {
  CutOutcome outcome;
  // From the last line up, so that removals never shift a line still to be looked at.
  for (size_t i = lines.size(); i-- > 0;) {
    if (!LineReads(lines[i], kOurNameLine)) continue;
    std::optional<size_t> opening = EntryOpening(lines, i);
    std::optional<size_t> closing = EntryClosing(lines, i);
    if (!opening || !closing) {
      ++outcome.entriesNotDelimited;
      continue;
    }
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*opening),
                lines.begin() + static_cast<std::ptrdiff_t>(*closing) + 1);
    ++outcome.entriesRemoved;
    i = *opening;
  }
  return outcome;
}

size_t InsertMissingLaunchTags(DllXmlLines& lines) {
  std::string indentation;
  auto close =
      std::find_if(lines.begin(), lines.end(), [](const std::string& line) { return LineReads(line, kLaunchClose); });
  if (close != lines.end()) indentation = close->substr(0, close->find('<'));

  size_t inserted = 0;
  // Positions refer to the growing list, to its end, so that a name line pushed
  // down by an earlier insertion is still looked at.
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!ReadsAnyOf(lines[i], {"<Name>PMDG_Interface</Name>", "<Name>PMDG_HUD_interface</Name>"})) continue;
    if (i > 0 && LineReads(lines[i - 1], kLaunchOpen)) continue;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i), indentation + std::string(kLaunchOpen));
    ++inserted;
    // The name line now follows the new tag at i + 1; the next pass looks at it
    // and finds it repaired.
  }
  return inserted;
}

bool ListsAnyAddon(const DllXmlLines& lines) {
  return std::any_of(lines.begin(), lines.end(), [](const std::string& line) { return LineReads(line, kLaunchOpen); });
}

}  // namespace addovar
