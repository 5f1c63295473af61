// dll.xml as lines: line ends, the NUL rule, CR LF on write, trimming.
#include "dll_xml_lines.h"

#include <gtest/gtest.h>

namespace addovar {
namespace {

using Lines = DllXmlLines;

TEST(DllXmlLines, EveryKindOfLineEndEndsALine) {
  EXPECT_EQ(SplitDllXmlLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
  // CR then CR LF is two line ends; LF CR too.
  EXPECT_EQ(SplitDllXmlLines("a\r\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitDllXmlLines("a\n\rb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitDllXmlLines("a\n\nb\n"), (Lines{"a", "", "b"}));
}

TEST(DllXmlLines, EndOfTextNeedsNoLineEndAndAddsNoEmptyLine) {
  EXPECT_TRUE(SplitDllXmlLines("").empty());
  EXPECT_EQ(SplitDllXmlLines("\r\n"), (Lines{""}));
  EXPECT_EQ(SplitDllXmlLines("only"), (Lines{"only"}));
  EXPECT_EQ(SplitDllXmlLines("x\r\n\r\n"), (Lines{"x", ""}));
}

TEST(DllXmlLines, TextEndsAtTheFirstNul) {
  EXPECT_EQ(SplitDllXmlLines(std::string_view("a\r\nb\0c\r\nd", 10)), (Lines{"a", "b"}));
  EXPECT_TRUE(SplitDllXmlLines(std::string_view("\0abc", 4)).empty());

  EXPECT_FALSE(HasDataAfterNul("plain text\r\n"));
  EXPECT_FALSE(HasDataAfterNul(std::string_view("padded\0\0\0", 9)));
  EXPECT_TRUE(HasDataAfterNul(std::string_view("a\0b", 3)));
  // A UTF-16 file: every other byte is NUL.
  EXPECT_TRUE(HasDataAfterNul(std::string_view("\xFF\xFE<\0?\0x\0", 8)));
}

TEST(DllXmlLines, WritingEndsEveryLineWithCrLfAndKeepsItsBytes) {
  EXPECT_EQ(JoinDllXmlLines({}), "");
  EXPECT_EQ(JoinDllXmlLines({""}), "\r\n");
  const std::string bytes = "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\n\t<Name>Caf\xE9</Name>\r  x  \r";
  const Lines lines = SplitDllXmlLines(bytes);
  EXPECT_EQ(JoinDllXmlLines(lines),
            "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n\t<Name>Caf\xE9</Name>\r\n  x  \r\n");
  EXPECT_EQ(SplitDllXmlLines(JoinDllXmlLines(lines)), lines);
}

TEST(DllXmlLines, TrimmingRemovesEveryCharacterBelow33AtBothEnds) {
  EXPECT_EQ(TrimLine(" \t\x01\x1f<Name>X</Name>\x0b \x1f"), "<Name>X</Name>");
  EXPECT_EQ(TrimLine("  a b  "), "a b");
  EXPECT_EQ(TrimLine(" \t "), "");
  // 127 and bytes above 127 are text, not blanks (no sign-extension slip).
  EXPECT_EQ(TrimLine("\x7f x \xE9"), "\x7f x \xE9");
  EXPECT_EQ(TrimLine("\xA0<x>"), "\xA0<x>");
}

TEST(DllXmlLines, ComparisonIsExactAfterTrimming) {
  EXPECT_TRUE(LineReads("\t\t<Name>ORVANTE</Name>\r", "<Name>ORVANTE</Name>"));
  EXPECT_FALSE(LineReads("<name>ORVANTE</name>", "<Name>ORVANTE</Name>"));
  EXPECT_FALSE(LineReads("<Name>ORVANTE</Name><!-- x -->", "<Name>ORVANTE</Name>"));
  EXPECT_FALSE(LineReads("<Name> ORVANTE</Name>", "<Name>ORVANTE</Name>"));
}

}  // namespace
}  // namespace addovar
