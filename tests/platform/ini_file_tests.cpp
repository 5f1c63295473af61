// The private-profile semantics every settings, profile and configuration file
// of the system relies on.
#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

using namespace platform;

namespace {

std::string Get(const std::string& file, const char* section, const char* key, const char* fallback = "none",
                uint32_t size = 260) {
  std::string buffer(size, 'x');
  uint32_t n = GetPrivateProfileStringU8(section, key, fallback, buffer.data(), size, file.c_str());
  EXPECT_EQ(buffer[n], '\0');
  return buffer.substr(0, n);
}

}  // namespace

TEST(IniRead, NamesIgnoreCaseAndBlanksAndQuotesGo) {
  TempFolder dir;
  std::string file = dir.Write("a.ini",
                               "[Orvante]\r\n"
                               "  MasterVolume = 7  \r\n"
                               "Quoted=\"  spaced  \"\r\n"
                               "Single='x'\r\n"
                               "Mismatched=\"x'\r\n"
                               "Inner=a \"b\" c\r\n"
                               "Empty=\r\n"
                               "[ Other ]\nkey=other\n");
  EXPECT_EQ(Get(file, "ORVANTE", "mastervolume"), "7");
  EXPECT_EQ(Get(file, "orvante", "Quoted"), "  spaced  ");
  EXPECT_EQ(Get(file, "ORVANTE", "Single"), "x");
  EXPECT_EQ(Get(file, "ORVANTE", "Mismatched"), "\"x'");
  EXPECT_EQ(Get(file, "ORVANTE", "Inner"), "a \"b\" c");
  EXPECT_EQ(Get(file, "ORVANTE", "Empty"), "");
  EXPECT_EQ(Get(file, "other", "KEY"), "other");
}

TEST(IniRead, DefaultsForMissingFileSectionOrKeyAndFirstDuplicateWins) {
  TempFolder dir;
  std::string file = dir.Write("a.ini", "[S]\nk=first\nk=second\n[S]\nk=third\nj=later\n; k=comment\n");
  EXPECT_EQ(Get(file, "S", "k"), "first");
  EXPECT_EQ(Get(file, "S", "j"), "none");  // only the first section of a name is read
  EXPECT_EQ(Get(file, "S", "missing", "fallback  "), "fallback");
  EXPECT_EQ(Get(file, "T", "k", "d"), "d");
  EXPECT_EQ(Get(dir.Path("absent.ini"), "S", "k", "d"), "d");
  EXPECT_EQ(Get(file, "S", "; k"), "none");  // comment lines are not keys
}

TEST(IniRead, ValuesAreCutToTheBuffer) {
  TempFolder dir;
  std::string file = dir.Write("a.ini", "[S]\nlong=0123456789\n");
  EXPECT_EQ(Get(file, "S", "long", "", 5), "0123");
  EXPECT_EQ(Get(file, "S", "long", "", 11), "0123456789");
  char one[1] = {'x'};
  EXPECT_EQ(GetPrivateProfileStringU8("S", "long", "", one, 1, file.c_str()), 0u);
  EXPECT_EQ(one[0], '\0');
}

TEST(IniRead, ListsOfSectionsAndKeys) {
  TempFolder dir;
  std::string file = dir.Write("a.ini", "[A]\nx=1\ny=2\n[B]\n");
  char buffer[64];
  uint32_t n = GetPrivateProfileStringU8(nullptr, nullptr, "", buffer, sizeof buffer, file.c_str());
  EXPECT_EQ(std::string(buffer, n), std::string("A\0B\0", 4));
  n = GetPrivateProfileStringU8("a", nullptr, "", buffer, sizeof buffer, file.c_str());
  EXPECT_EQ(std::string(buffer, n), std::string("x\0y\0", 4));
}

// A list cut by the buffer keeps the first size - 2 bytes of the whole list
// and ends with two terminators, whatever byte the cut falls on (also just
// after a name's terminator, with no room left for the next name); the
// bytes past size are never touched.
TEST(IniRead, ListsCutAtEveryBufferSize) {
  TempFolder dir;
  std::string file = dir.Write("a.ini", "[S]\nlong=1\nshort=2\n[Second]\n[Third]\n");
  struct Case {
    const char* section;
    std::string list;
  };
  for (const Case& c :
       {Case{"S", std::string("long\0short\0", 11)}, Case{nullptr, std::string("S\0Second\0Third\0", 15)}}) {
    for (uint32_t size = 1; size <= c.list.size() + 2; ++size) {
      SCOPED_TRACE(testing::Message() << (c.section ? "keys" : "sections") << " size " << size);
      std::string buffer(size + 4, '@');
      uint32_t n = GetPrivateProfileStringU8(c.section, nullptr, "", buffer.data(), size, file.c_str());
      EXPECT_EQ(buffer.substr(size), "@@@@");
      if (size == 1) {
        EXPECT_EQ(n, 0u);
        EXPECT_EQ(buffer[0], '\0');
      } else if (size <= c.list.size() + 1) {  // no byte to spare also counts as cut
        EXPECT_EQ(n, size - 2);
        EXPECT_EQ(buffer.substr(0, n), c.list.substr(0, n));
        EXPECT_EQ(buffer.substr(n, 2), std::string("\0\0", 2));
      } else {
        EXPECT_EQ(n, c.list.size());
        EXPECT_EQ(buffer[n + 1], '@');
        EXPECT_EQ(buffer.substr(0, n + 1), c.list + '\0');
      }
    }
  }
}

// Notepad saves UTF-8 files with a byte-order mark; Windows reads such a file
// as if the mark were not there.
TEST(IniRead, Utf8ByteOrderMarkBeforeTheFirstSection) {
  TempFolder dir;
  std::string file =
      dir.Write("bom.ini", "\xEF\xBB\xBF[ORVANTE]\r\nMasterVolume=7\r\nName=B\xC3\xA9\r\n[B]\r\nk=1\r\n");
  EXPECT_EQ(Get(file, "ORVANTE", "MasterVolume"), "7");
  EXPECT_EQ(GetPrivateProfileIntU8("orvante", "mastervolume", 5, file.c_str()), 7);
  EXPECT_EQ(Get(file, "ORVANTE", "Name"), "B\xC3\xA9");
  EXPECT_EQ(Get(file, nullptr, nullptr), std::string("ORVANTE\0B\0", 10));

  // A key before any section is no key of the first section either way.
  file = dir.Write("bom.ini", "\xEF\xBB\xBFk=1\r\n[S]\r\nj=2\r\n");
  EXPECT_EQ(Get(file, "S", "k"), "none");
  EXPECT_EQ(Get(file, "S", "j"), "2");

  // Only at the very start is it a mark; elsewhere the bytes are text.
  file = dir.Write("bom.ini", "[A]\r\n\xEF\xBB\xBF[B]\r\nk=1\r\n");
  EXPECT_EQ(Get(file, "B", "k"), "none");
  file = dir.Write("bom.ini", " \xEF\xBB\xBF[B]\r\nk=1\r\n");
  EXPECT_EQ(Get(file, "B", "k"), "none");
}

TEST(IniInteger, LeadingSignedDecimal) {
  EXPECT_EQ(ParseLeadingInteger("  -12abc"), -12);
  EXPECT_EQ(ParseLeadingInteger("abc"), 0);
  EXPECT_EQ(ParseLeadingInteger(""), 0);
  EXPECT_EQ(ParseLeadingInteger("+42"), 42);
  EXPECT_EQ(ParseLeadingInteger("0x10"), 0);
  EXPECT_EQ(ParseLeadingInteger("4294967295"), -1);  // wraps as a 32-bit value

  TempFolder dir;
  std::string file = dir.Write("a.ini", "[S]\na=  -12abc\nb=abc\nc=\nd=257\n");
  EXPECT_EQ(GetPrivateProfileIntU8("S", "a", 5, file.c_str()), -12);
  EXPECT_EQ(GetPrivateProfileIntU8("S", "b", 5, file.c_str()), 0);
  EXPECT_EQ(GetPrivateProfileIntU8("S", "c", 5, file.c_str()), 5);  // empty gives the default
  EXPECT_EQ(GetPrivateProfileIntU8("S", "missing", 5, file.c_str()), 5);
  EXPECT_EQ(GetPrivateProfileIntU8("S", "d", 0, file.c_str()), 257);
}

// Settings read as integers take the prefixes Windows' reader takes: a
// lowercase 0x, 0o or 0b switches the base, anything else is decimal.
// Integers are decimal: a 0x, 0o or 0b prefix ends the number at its 0.
TEST(IniInteger, PrefixesAreNotReadAsOtherBases) {
  TempFolder dir;
  std::string file = dir.Write("a.ini", "[S]\nhex=0x10\nneg=-0x10\nbin=0b110\nzeros=007\nquoted=\"12x\"\n");
  auto read = [&](const char* key) { return GetPrivateProfileIntU8("S", key, 99, file.c_str()); };
  EXPECT_EQ(read("hex"), 0);
  EXPECT_EQ(read("neg"), 0);
  EXPECT_EQ(read("bin"), 0);
  EXPECT_EQ(read("zeros"), 7);
  EXPECT_EQ(read("quoted"), 12);
}

TEST(IniWrite, QuotedValuesReadBackAsTheyWereWritten) {
  // What the reader would change (blanks at either end, a pair of matching
  // quotes around the value) is quoted; everything else is written as it is.
  EXPECT_EQ(QuoteProfileValue("B738"), "B738");
  EXPECT_EQ(QuoteProfileValue(""), "");
  EXPECT_EQ(QuoteProfileValue("it's \"x\""), "it's \"x\"");
  EXPECT_EQ(QuoteProfileValue("\""), "\"");
  EXPECT_EQ(QuoteProfileValue(" B738"), "\" B738\"");
  EXPECT_EQ(QuoteProfileValue("B738\t"), "\"B738\t\"");
  EXPECT_EQ(QuoteProfileValue("'B738'"), "\"'B738'\"");
  EXPECT_EQ(QuoteProfileValue("\"\""), "\"\"\"\"");

  TempFolder dir;
  std::string file = dir.Path("values.ini");
  for (const char* value : {"B738", " leading", "trailing ", "'single'", "\"double\"", "\"\"", "' mixed\"", "a=b"}) {
    ASSERT_TRUE(WritePrivateProfileStringU8("S", "k", QuoteProfileValue(value).c_str(), file.c_str()));
    EXPECT_EQ(Get(file, "S", "k"), value);
  }
}

TEST(IniWrite, CreatesFileSectionAndKey) {
  TempFolder dir;
  std::string file = dir.Path("new.ini");
  ASSERT_TRUE(WritePrivateProfileStringU8("ORVANTE", "MasterVolume", "5", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringU8("ORVANTE", "DEFAULTProfile", "", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringU8("Other", "x", "1", file.c_str()));
  EXPECT_EQ(dir.Read("new.ini"), "[ORVANTE]\r\nMasterVolume=5\r\nDEFAULTProfile=\r\n[Other]\r\nx=1\r\n");
  EXPECT_EQ(Get(file, "orvante", "masterVOLUME"), "5");
}

TEST(IniWrite, KeepsEveryOtherLineIntact) {
#ifdef _WIN32
  GTEST_SKIP() << "kernel32 rewrites the whole file in its own form; the POSIX build changes only the line it writes"
                  " (tests/windows tests kernel32's form)";
#endif
  TempFolder dir;
  const std::string original =
      "; written by hand\n"
      "[ORVANTE]\n"
      "P3DSceneryID =   \"12 34\"   ; a note\n"
      "MasterVolume=3\n"
      "\n"
      "[Tail]\n"
      "weird line without equals\n";
  std::string file = dir.Write("a.ini", original);
  ASSERT_TRUE(WritePrivateProfileStringU8("orvante", "MASTERVOLUME", "9", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringU8("ORVANTE", "New", "x", file.c_str()));
  EXPECT_EQ(dir.Read("a.ini"),
            "; written by hand\n"
            "[ORVANTE]\n"
            "P3DSceneryID =   \"12 34\"   ; a note\n"
            "MASTERVOLUME=9\n"
            "New=x\n"
            "\n"
            "[Tail]\n"
            "weird line without equals\n");
  // The untouched value reads back exactly as before.
  EXPECT_EQ(Get(file, "ORVANTE", "P3DSceneryID"), "\"12 34\"   ; a note");
}

TEST(IniWrite, DeletesKeysAndSections) {
#ifdef _WIN32
  GTEST_SKIP() << "kernel32 rewrites the whole file in its own form; the POSIX build changes only the line it writes"
                  " (tests/windows tests kernel32's form)";
#endif
  TempFolder dir;
  std::string file = dir.Write("a.ini", "[A]\nx=1\ny=2\n[B]\nz=3\n");
  ASSERT_TRUE(WritePrivateProfileStringU8("A", "x", nullptr, file.c_str()));
  EXPECT_EQ(dir.Read("a.ini"), "[A]\ny=2\n[B]\nz=3\n");
  ASSERT_TRUE(WritePrivateProfileStringU8("a", nullptr, nullptr, file.c_str()));
  EXPECT_EQ(dir.Read("a.ini"), "[B]\nz=3\n");
}

// The line a write adds or replaces always ends with a line break, also at
// the end of a file whose last line had none; the lines before it keep their
// bytes.
TEST(IniWrite, TerminatesTheLineItWritesAtTheEndOfAFile) {
#ifdef _WIN32
  GTEST_SKIP() << "kernel32 rewrites the whole file in its own form; the POSIX build changes only the line it writes"
                  " (tests/windows tests kernel32's form)";
#endif
  TempFolder dir;
  struct Case {
    const char* before;
    const char* section;
    const char* key;
    const char* after;
  };
  for (const Case& c : {
           Case{"[S]\r\nk=1\r\nj=2", "S", "j", "[S]\r\nk=1\r\nj=v\r\n"},         // replaced last line
           Case{"[S]\r\nk=1\r\nj=2", "S", "n", "[S]\r\nk=1\r\nj=2\r\nn=v\r\n"},  // added after it
           Case{"[S]", "S", "n", "[S]\r\nn=v\r\n"},                              // after a bare section
           Case{"[S]\nk=1", "S", "k", "[S]\nk=v\n"},                             // the file's own break
           Case{"[S]\nk=1", "T", "x", "[S]\nk=1\n[T]\nx=v\n"},                   // new section
       }) {
    SCOPED_TRACE(c.before);
    std::string file = dir.Write("a.ini", c.before);
    ASSERT_TRUE(WritePrivateProfileStringU8(c.section, c.key, "v", file.c_str()));
    EXPECT_EQ(dir.Read("a.ini"), c.after);
  }
}

TEST(IniWrite, KeepsTheByteOrderMarkInFrontOfTheFile) {
  TempFolder dir;
  const std::string mark = "\xEF\xBB\xBF";
  std::string file = dir.Write("bom.ini", mark + "[ORVANTE]\r\nMasterVolume=7\r\n[B]\r\nk=1\r\n");
  ASSERT_TRUE(WritePrivateProfileStringU8("ORVANTE", "MasterVolume", "3", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringU8("ORVANTE", "New", "x", file.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringU8("C", "j", "2", file.c_str()));
  EXPECT_EQ(dir.Read("bom.ini"), mark + "[ORVANTE]\r\nMasterVolume=3\r\nNew=x\r\n[B]\r\nk=1\r\n[C]\r\nj=2\r\n");
  ASSERT_TRUE(WritePrivateProfileStringU8("orvante", nullptr, nullptr, file.c_str()));
  EXPECT_EQ(dir.Read("bom.ini"), mark + "[B]\r\nk=1\r\n[C]\r\nj=2\r\n");
  ASSERT_TRUE(WritePrivateProfileStringU8("B", "k", nullptr, file.c_str()));
  EXPECT_EQ(dir.Read("bom.ini"), mark + "[B]\r\n[C]\r\nj=2\r\n");

  // A file of nothing but the mark is an empty file that keeps its mark.
  file = dir.Write("bom.ini", mark);
  ASSERT_TRUE(WritePrivateProfileStringU8("S", "k", "v", file.c_str()));
  EXPECT_EQ(dir.Read("bom.ini"), mark + "[S]\r\nk=v\r\n");
  EXPECT_EQ(Get(file, "S", "k"), "v");
}

TEST(IniWrite, FailsWhenTheFolderIsMissing) {
  TempFolder dir;
  EXPECT_FALSE(WritePrivateProfileStringU8("S", "k", "v", dir.Path("missing/a.ini").c_str()));
}
