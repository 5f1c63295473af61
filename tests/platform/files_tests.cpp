// File search, attributes and the file operations the deliverables use.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "temp_folder.h"

using namespace platform;

TEST(Paths, JoinAndSeparators) {
  EXPECT_EQ(JoinPath({"/sim", "ORVANTE\\DLLs\\64bit", "ORVAAUDIO64.DLL"}), "/sim/ORVANTE/DLLs/64bit/ORVAAUDIO64.DLL");
  EXPECT_EQ(JoinPath({"/sim/", "/r4.csv"}), "/sim/r4.csv");
  EXPECT_EQ(LastSeparator("C:\\P3D/x\\Prepar3D.exe"), 8u);
  EXPECT_EQ(LastSeparator("plain"), std::string::npos);
}

TEST(Wildcards, CaseInsensitiveStarAndQuestionMark) {
  EXPECT_TRUE(WildcardMatch("*.XGS", "Default.xgs"));
  EXPECT_TRUE(WildcardMatch("r4.csv", "R4.CSV"));
  EXPECT_TRUE(WildcardMatch("a?c*", "abcdef"));
  EXPECT_TRUE(WildcardMatch("*", ""));
  EXPECT_FALSE(WildcardMatch("*.XGS", "Default.xgs.bak"));
  EXPECT_FALSE(WildcardMatch("a?c", "ac"));
  EXPECT_TRUE(WildcardMatch("*a*b", "xxaxxbxb"));
}

TEST(FindFiles, TellsFilesFromFoldersInNameOrder) {
  TempFolder dir;
  dir.Write("b.XGS", "");
  dir.Write("a.xgs", "");
  dir.Write("c.xwb", "");
  ASSERT_TRUE(CreateDirectory(dir.Path("folder.xgs")));
  auto found = FindFiles(dir.Path("*.XGS"));
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].name, "a.xgs");
  EXPECT_EQ(found[1].name, "b.XGS");
  EXPECT_EQ(found[2].name, "folder.xgs");
  EXPECT_TRUE(found[2].isDirectory);
  EXPECT_FALSE(found[0].isDirectory);
  EXPECT_TRUE(FindFiles(dir.Path("missing/*")).empty());
  EXPECT_TRUE(FileExists(dir.Path("*.xwb")));
  EXPECT_FALSE(FileExists(dir.Path("*.xsb")));
}

TEST(Attributes, ReadOnlyIsTheAbsenceOfWriteBits) {
  TempFolder dir;
  std::string file = dir.Write("dll.xml", "x");
  EXPECT_EQ(GetFileAttributes(file) & FILE_ATTRIBUTE_READONLY, 0u);
  ASSERT_TRUE(SetFileAttributes(file, FILE_ATTRIBUTE_READONLY));
  EXPECT_NE(GetFileAttributes(file) & FILE_ATTRIBUTE_READONLY, 0u);
  struct stat st {};
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
  EXPECT_FALSE(DeleteFile(file));  // read-only files are not deleted
  ASSERT_TRUE(SetFileAttributes(file, FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(DeleteFile(file));
  EXPECT_EQ(GetFileAttributes(file), INVALID_FILE_ATTRIBUTES);
}

TEST(FileOperations, CopyMoveAndAtomicWriteKeepModes) {
  TempFolder dir;
  std::string a = dir.Write("a.txt", "alpha");
  ASSERT_TRUE(SetFileAttributes(a, FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(WriteFileAtomically(a, "beta"));  // replacing keeps the read-only mode
  EXPECT_EQ(dir.Read("a.txt"), "beta");
  EXPECT_NE(GetFileAttributes(a) & FILE_ATTRIBUTE_READONLY, 0u);

  ASSERT_TRUE(CopyFile(a, dir.Path("b.txt"), false));
  EXPECT_EQ(dir.Read("b.txt"), "beta");
  EXPECT_FALSE(CopyFile(a, dir.Path("b.txt"), true));
  EXPECT_FALSE(CopyFile(dir.Path("missing"), dir.Path("c.txt"), false));

  ASSERT_TRUE(SetFileAttributes(dir.Path("b.txt"), FILE_ATTRIBUTE_NORMAL));
  ASSERT_TRUE(MoveFile(dir.Path("b.txt"), dir.Path("c.txt")));
  EXPECT_FALSE(FileExists(dir.Path("b.txt")));
  EXPECT_EQ(dir.Read("c.txt"), "beta");
  EXPECT_FALSE(WriteFileAtomically(dir.Path("no/such/folder/x"), "x"));
}

// Files copied from Windows keep their letter case; the code names them as
// Windows would let it. The exact name wins when both exist.
TEST(FileOperations, NamesMatchFilesAndFoldersInAnyLetterCase) {
  TempFolder dir;
  dir.Write("SimObjects/Airplanes/B738/Aircraft.CFG", "[fltsim.0]\n");
  const std::string cfg = dir.Path("simobjects/AIRPLANES/b738/aircraft.cfg");
  EXPECT_EQ(ExistingPath(cfg), dir.Path("SimObjects/Airplanes/B738/Aircraft.CFG"));
  EXPECT_TRUE(FileExists(cfg));
  EXPECT_TRUE(IsDirectory(dir.Path("simobjects\\airplanes")));
  std::string text;
  ASSERT_TRUE(ReadWholeFile(cfg, text));
  EXPECT_EQ(text, "[fltsim.0]\n");
  EXPECT_NE(GetFileAttributes(cfg), INVALID_FILE_ATTRIBUTES);

  // Writing replaces that file rather than making a second one beside it; a
  // new file goes into the folder that exists.
  ASSERT_TRUE(WriteFileAtomically(cfg, "[fltsim.1]\n"));
  EXPECT_EQ(dir.Read("SimObjects/Airplanes/B738/Aircraft.CFG"), "[fltsim.1]\n");
  EXPECT_EQ(FindFiles(dir.Path("SimObjects/Airplanes/B738/*")).size(), 1u);
  ASSERT_TRUE(WriteFileAtomically(dir.Path("SIMOBJECTS/new.txt"), "n"));
  EXPECT_EQ(dir.Read("SimObjects/new.txt"), "n");
  ASSERT_TRUE(CreateDirectory(dir.Path("simobjects/airplanes/B744/panel")));
  EXPECT_TRUE(IsDirectory(dir.Path("SimObjects/Airplanes/B744/panel")));
  EXPECT_EQ(FindFiles(dir.Path("*")).size(), 1u) << "no second SimObjects folder";
  ASSERT_TRUE(DeleteFile(cfg));
  EXPECT_FALSE(FileExists(dir.Path("SimObjects/Airplanes/B738/Aircraft.CFG")));

  // A name found in no letter case stays as written, from there on.
  EXPECT_EQ(ExistingPath(dir.Path("simobjects/Missing/x.cfg")), dir.Path("SimObjects/Missing/x.cfg"));
  EXPECT_FALSE(FileExists(dir.Path("simobjects/Missing/x.cfg")));

  dir.Write("r4.csv", "exact");
  dir.Write("R4.CSV", "upper");
  EXPECT_EQ(ExistingPath(dir.Path("r4.csv")), dir.Path("r4.csv"));
  EXPECT_EQ(ExistingPath(dir.Path("R4.csv")), dir.Path("R4.CSV")) << "the first in name order";
}
