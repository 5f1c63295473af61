// libFuzzer target for the dll.xml line reader and the block edits. Besides
// looking for crashes and sanitizer reports it checks what must hold for any
// input: lines carry no line ends or NULs and survive a write and a re-read,
// cutting undoes adding, the launch-tag repair leaves no PMDG name untagged
// and is idempotent, and every name line the cut leaves is one it reported.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "addon_block.h"
#include "dll_xml_lines.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

size_t CountOurNames(const addovar::DllXmlLines& lines) {
  size_t count = 0;
  for (const std::string& line : lines) count += addovar::LineReads(line, addovar::kOurNameLine);
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace addovar;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const DllXmlLines lines = SplitDllXmlLines(bytes);
  for (const std::string& line : lines) Require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
  Require(SplitDllXmlLines(JoinDllXmlLines(lines)) == lines);

  if (!ListsOurAddon(lines)) {
    DllXmlLines added = lines;
    if (InsertAddonBlock(added) == InsertOutcome::kInserted) {
      Require(added.size() == lines.size() + kAddonBlock.size());
      CutOutcome cut = CutAddonBlocks(added);
      Require(cut.entriesRemoved == 1 && cut.entriesNotDelimited == 0);
      Require(added == lines);
    } else {
      Require(added == lines);
    }
  }

  DllXmlLines cut = lines;
  const size_t namesBefore = CountOurNames(cut);
  CutOutcome outcome = CutAddonBlocks(cut);
  Require(CountOurNames(cut) == namesBefore - outcome.entriesRemoved);
  Require(CountOurNames(cut) == outcome.entriesNotDelimited);

  DllXmlLines repaired = lines;
  const size_t inserted = InsertMissingLaunchTags(repaired);
  Require(repaired.size() == lines.size() + inserted);
  for (size_t i = 0; i < repaired.size(); ++i) {
    if (LineReads(repaired[i], "<Name>PMDG_Interface</Name>") ||
        LineReads(repaired[i], "<Name>PMDG_HUD_interface</Name>"))
      Require(i > 0 && LineReads(repaired[i - 1], kLaunchOpen));
  }
  DllXmlLines again = repaired;
  Require(InsertMissingLaunchTags(again) == 0 && again == repaired);
  return 0;
}
