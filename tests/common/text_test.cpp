// The shared text helpers: what each trim takes away, comparisons that fold
// ASCII letters only, and the line reader's line ends and numbers.
#include "common/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace common;

TEST(Trim, TakesOnlyTheCharactersAskedForFromTheChosenEnds) {
  EXPECT_EQ(Trim(" \t a b \t "), "a b");
  EXPECT_EQ(Trim("\r\n a \r\n"), "\r\n a \r\n") << "blanks only by default";
  EXPECT_EQ(Trim("\r\n\v\f a \r\n\v\f", kWhiteSpace), "a");
  EXPECT_EQ(Trim(" \r x \r ", " \t\r"), "x");
  EXPECT_EQ(TrimStart("  a  "), "a  ");
  EXPECT_EQ(TrimEnd("  a  "), "  a");
  EXPECT_EQ(TrimStart(TrimEnd(" a \r\n", " \t\r\n")), "a");
  for (std::string_view nothing : {"", " ", "\t \t"}) {
    EXPECT_EQ(Trim(nothing), "");
    EXPECT_EQ(TrimStart(nothing), "");
    EXPECT_EQ(TrimEnd(nothing), "");
  }
  const std::string text = "  inner  ";
  std::string_view trimmed = Trim(text);
  EXPECT_EQ(trimmed.data(), text.data() + 2) << "a view into the same text";
}

TEST(LetterCase, OnlyAsciiLettersFold) {
  EXPECT_TRUE(EqualsIgnoringCase("Prepar3D.EXE", "prepar3d.exe"));
  EXPECT_TRUE(EqualsIgnoringCase("", ""));
  EXPECT_FALSE(EqualsIgnoringCase("fsx.exe", "fsx.ex"));
  EXPECT_FALSE(EqualsIgnoringCase("[", "{")) << "'[' is not a letter, though it lies 0x20 below '{'";
  EXPECT_FALSE(EqualsIgnoringCase("@", "`"));
  EXPECT_FALSE(EqualsIgnoringCase("\xC3\x89", "\xC3\xA9")) << "bytes of UTF-8 letters are compared as they are";
  EXPECT_TRUE(EqualsIgnoringCase(std::string("a\0b", 3), std::string("A\0B", 3)));
  EXPECT_EQ(ToLowerAscii("KSFO 28R \xC3\x89"), "ksfo 28r \xC3\x89");
  EXPECT_EQ(ToUpperAscii("asp-conc [x]"), "ASP-CONC [X]");
}

namespace {

std::vector<std::string> ReadAll(std::string_view text, unsigned& count) {
  LineReader reader(text);
  std::vector<std::string> lines;
  for (std::string_view line; reader.Next(line);) {
    lines.emplace_back(line);
    EXPECT_EQ(reader.Number(), lines.size());
  }
  count = reader.Number();
  return lines;
}

}  // namespace

TEST(LineReader, EndsLinesAtLineFeedsAndDropsTheCarriageReturnBefore) {
  unsigned count = 0;
  EXPECT_EQ(ReadAll("a\nb\r\nc", count), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(ReadAll("a\n\n\r\nb\n", count), (std::vector<std::string>{"a", "", "", "b"}));
  EXPECT_EQ(count, 4u) << "a final line end starts no further line";
  EXPECT_EQ(ReadAll("a\rb\r", count), (std::vector<std::string>{"a\rb"})) << "a lone CR inside a line stays";
  EXPECT_EQ(ReadAll("", count), std::vector<std::string>{});
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(ReadAll("\n", count), std::vector<std::string>{""});
  EXPECT_EQ(count, 1u);
  LineReader done("x");
  std::string_view line;
  ASSERT_TRUE(done.Next(line));
  EXPECT_FALSE(done.Next(line));
  EXPECT_FALSE(done.Next(line)) << "the end stays the end";
  EXPECT_EQ(done.Number(), 1u);
}
