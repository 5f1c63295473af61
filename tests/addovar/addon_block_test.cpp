// The edits of dll.xml's line list: adding, cutting and repairing entries.
#include "addon_block.h"

#include <gtest/gtest.h>

namespace addovar {
namespace {

using Lines = DllXmlLines;

Lines Block() { return Lines(kAddonBlock.begin(), kAddonBlock.end()); }

Lines Entry(const std::string& name, const std::string& indent = "\t") {
  return {indent + "<Launch.Addon>", indent + "\t<Name>" + name + "</Name>", indent + "\t<Path>" + name + ".dll</Path>",
          indent + "</Launch.Addon>"};
}

Lines Document(std::initializer_list<Lines> entries) {
  Lines lines = {"<?xml version=\"1.0\" encoding=\"Windows-1252\"?>",
                 "<SimBase.Document Type=\"Launch\" version=\"1,0\">", "\t<Descr>Launch</Descr>"};
  for (const Lines& entry : entries) lines.insert(lines.end(), entry.begin(), entry.end());
  lines.push_back("</SimBase.Document>");
  return lines;
}

Lines Concat(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(InsertAddonBlock, GoesRightBeforeTheFirstDocumentCloseWithItsOwnTabs) {
  Lines lines = Document({Entry("Other")});
  Lines expected = Document({Entry("Other"), Block()});
  EXPECT_EQ(InsertAddonBlock(lines), InsertOutcome::kInserted);
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(lines[7], "\t<Launch.Addon>");
  EXPECT_EQ(lines[11], "\t\t<Path>.\\ORVANTE\\ORVANTE.dll</Path>");
}

TEST(InsertAddonBlock, FindsAnIndentedCloseAndOnlyTheFirstOne) {
  Lines lines = {"<SimBase.Document>", "   </SimBase.Document>  ", "</SimBase.Document>"};
  EXPECT_EQ(InsertAddonBlock(lines), InsertOutcome::kInserted);
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(Lines(lines.begin() + 1, lines.begin() + 9), Block());
  EXPECT_EQ(lines[9], "   </SimBase.Document>  ");
  EXPECT_EQ(lines[10], "</SimBase.Document>");
}

TEST(InsertAddonBlock, LeavesAListingThatNamesTheModuleAlone) {
  Lines registered = Document({{"<Launch.Addon>", "      <Name>ORVANTE</Name>  ", "</Launch.Addon>"}});
  Lines lines = registered;
  EXPECT_EQ(InsertAddonBlock(lines), InsertOutcome::kAlreadyRegistered);
  EXPECT_EQ(lines, registered);
}

TEST(InsertAddonBlock, WithoutADocumentCloseNothingIsInserted) {
  Lines lines = {"<SimBase.Document>", "<SimBase.Document/>", "</SimBase.Documents>"};
  Lines before = lines;
  EXPECT_EQ(InsertAddonBlock(lines), InsertOutcome::kNoDocumentClose);
  EXPECT_EQ(lines, before);
}

TEST(CutAddonBlocks, RemovesOurBlockAndLeavesItsNeighboursWhole) {
  Lines lines = Document({Entry("Before"), Block(), Entry("After")});
  CutOutcome cut = CutAddonBlocks(lines);
  EXPECT_EQ(cut.entriesRemoved, 1u);
  EXPECT_EQ(cut.entriesNotDelimited, 0u);
  EXPECT_EQ(lines, Document({Entry("Before"), Entry("After")}));
}

TEST(CutAddonBlocks, RemovesAnEditedEntryFromItsOpeningToItsClosingTagOnly) {
  // A user dropped two lines of our entry and moved the name down. Counting a
  // fixed eight lines from the name would eat into the entry that follows.
  Lines ours = {"  <Launch.Addon>", "    <Disabled>True</Disabled>", "    <Name>ORVANTE</Name>",
                "    <Path>.\\ORVANTE\\ORVANTE.dll</Path>", "  </Launch.Addon>"};
  Lines lines = Document({Entry("Before"), ours, Entry("After"), Entry("Last")});
  EXPECT_EQ(CutAddonBlocks(lines).entriesRemoved, 1u);
  EXPECT_EQ(lines, Document({Entry("Before"), Entry("After"), Entry("Last")}));

  // Longer than ours too: all of it goes, nothing after it.
  Lines longer = Block();
  longer.insert(longer.begin() + 3, {"\t\t<Comment>kept by another tool</Comment>", "", "\t\t<Extra/>"});
  lines = Document({longer, Entry("After")});
  EXPECT_EQ(CutAddonBlocks(lines).entriesRemoved, 1u);
  EXPECT_EQ(lines, Document({Entry("After")}));
}

TEST(CutAddonBlocks, RemovesEveryEntryThatNamesTheModule) {
  Lines lines = Document({Block(), Entry("Middle"), Block(), Block()});
  EXPECT_EQ(CutAddonBlocks(lines).entriesRemoved, 3u);
  EXPECT_EQ(lines, Document({Entry("Middle")}));
}

TEST(CutAddonBlocks, LeavesANameLineOutsideAWholeEntryAndSaysSo) {
  // Our opening tag is gone: the line before the name closes someone else's entry.
  Lines noOpening = Concat({Entry("Before"), {"\t\t<Name>ORVANTE</Name>", "\t</Launch.Addon>"}, Entry("After")});
  Lines lines = noOpening;
  CutOutcome cut = CutAddonBlocks(lines);
  EXPECT_EQ(cut.entriesRemoved, 0u);
  EXPECT_EQ(cut.entriesNotDelimited, 1u);
  EXPECT_EQ(lines, noOpening);

  // Our closing tag is gone: the next tag opens another entry.
  Lines noClosing = Concat({{"\t<Launch.Addon>", "\t\t<Name>ORVANTE</Name>"}, Entry("After"), {"</SimBase.Document>"}});
  lines = noClosing;
  EXPECT_EQ(CutAddonBlocks(lines).entriesNotDelimited, 1u);
  EXPECT_EQ(lines, noClosing);

  // Two names in one entry: it is not ours alone.
  Lines shared = {"<Launch.Addon>", "<Name>Other</Name>", "<Name>ORVANTE</Name>", "</Launch.Addon>"};
  lines = shared;
  EXPECT_EQ(CutAddonBlocks(lines).entriesNotDelimited, 1u);
  EXPECT_EQ(lines, shared);

  // The very first and very last lines.
  lines = {"<Name>ORVANTE</Name>"};
  EXPECT_EQ(CutAddonBlocks(lines).entriesNotDelimited, 1u);
  EXPECT_EQ(lines.size(), 1u);
}

TEST(CutAddonBlocks, UndoesInsertAddonBlock) {
  for (Lines original :
       {Document({}), Document({Entry("A"), Entry("B", "    ")}), Lines{"<x>", "  </SimBase.Document>", "tail"}}) {
    Lines lines = original;
    ASSERT_EQ(InsertAddonBlock(lines), InsertOutcome::kInserted);
    CutAddonBlocks(lines);
    EXPECT_EQ(lines, original);
  }
}

TEST(InsertMissingLaunchTags, GivesBothPmdgEntriesTheirOpeningTagIndentedLikeTheFirstClose) {
  Lines lines = Document(
      {Entry("First", "  "),
       {"\t\t<Name>PMDG_Interface</Name>", "\t\t<Path>PMDG\\DLLs\\PMDG_Interface.dll</Path>", "\t</Launch.Addon>"},
       {"\t\t<Name>PMDG_HUD_interface</Name>", "\t</Launch.Addon>"}});
  EXPECT_EQ(InsertMissingLaunchTags(lines), 2u);
  Lines expected = Document({Entry("First", "  "),
                             {"  <Launch.Addon>", "\t\t<Name>PMDG_Interface</Name>",
                              "\t\t<Path>PMDG\\DLLs\\PMDG_Interface.dll</Path>", "\t</Launch.Addon>"},
                             {"  <Launch.Addon>", "\t\t<Name>PMDG_HUD_interface</Name>", "\t</Launch.Addon>"}});
  EXPECT_EQ(lines, expected);
  // Repairing again changes nothing.
  EXPECT_EQ(InsertMissingLaunchTags(lines), 0u);
  EXPECT_EQ(lines, expected);
}

TEST(InsertMissingLaunchTags, LeavesTaggedEntriesAndOtherNamesAlone) {
  Lines lines = Document({{" <Launch.Addon>  ", "<Name>PMDG_Interface</Name>", "</Launch.Addon>"},
                          {"<Name>PMDG_interface</Name>", "</Launch.Addon>"},
                          {"<Name>Other</Name>", "</Launch.Addon>"}});
  Lines before = lines;
  EXPECT_EQ(InsertMissingLaunchTags(lines), 0u);
  EXPECT_EQ(lines, before);
}

TEST(InsertMissingLaunchTags, RepairsANameOnTheFirstLineAndNamesAtTheEnd) {
  Lines lines = {"<Name>PMDG_Interface</Name>", "<Name>PMDG_HUD_interface</Name>"};
  EXPECT_EQ(InsertMissingLaunchTags(lines), 2u);
  EXPECT_EQ(lines, (Lines{"<Launch.Addon>", "<Name>PMDG_Interface</Name>", "<Launch.Addon>",
                          "<Name>PMDG_HUD_interface</Name>"}));

  Lines empty;
  EXPECT_EQ(InsertMissingLaunchTags(empty), 0u);
}

TEST(ListsAnyAddon, LooksForAnOpeningTagOnly) {
  EXPECT_FALSE(ListsAnyAddon(Document({})));
  EXPECT_TRUE(ListsAnyAddon(Document({Entry("X", "        ")})));
  EXPECT_FALSE(ListsAnyAddon({"<launch.addon>", "</Launch.Addon>", "<Launch.Addon enabled=\"1\">"}));
}

}  // namespace
}  // namespace addovar
