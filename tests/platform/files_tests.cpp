// File search, attributes and the file operations the deliverables use.
#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "temp_folder.h"

using namespace platform;

TEST(Paths, JoinAndSeparators) {
  // (Windows composes with '\\', POSIX with '/'.)
  EXPECT_EQ(JoinPath({"/sim", "ORVANTE\\DLLs\\64bit", "ORVAAUDIO64.DLL"}),
            NativePath("/sim/ORVANTE/DLLs/64bit/ORVAAUDIO64.DLL"));
  EXPECT_EQ(JoinPath({"/sim/", "/r4.csv"}), NativePath("/sim/r4.csv"));
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
  ASSERT_TRUE(CreateDirectoryU8(dir.Path("folder.xgs")));
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
  EXPECT_EQ(GetFileAttributesU8(file) & kFileAttributeReadOnly, 0u);
  ASSERT_TRUE(SetFileAttributesU8(file, kFileAttributeReadOnly));
  EXPECT_NE(GetFileAttributesU8(file) & kFileAttributeReadOnly, 0u);
  struct stat st {};
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0222, 0u);
  EXPECT_FALSE(DeleteFileU8(file));  // read-only files are not deleted
  ASSERT_TRUE(SetFileAttributesU8(file, kFileAttributeNormal));
  EXPECT_TRUE(DeleteFileU8(file));
  EXPECT_EQ(GetFileAttributesU8(file), kInvalidFileAttributes);
}

TEST(FileOperations, CopyMoveAndAtomicWriteKeepModes) {
  TempFolder dir;
  std::string a = dir.Write("a.txt", "alpha");
  ASSERT_TRUE(SetFileAttributesU8(a, kFileAttributeReadOnly));
  ASSERT_TRUE(WriteFileAtomically(a, "beta"));  // replacing keeps the read-only mode
  EXPECT_EQ(dir.Read("a.txt"), "beta");
  EXPECT_NE(GetFileAttributesU8(a) & kFileAttributeReadOnly, 0u);

  ASSERT_TRUE(CopyFileU8(a, dir.Path("b.txt"), false));
  EXPECT_EQ(dir.Read("b.txt"), "beta");
  EXPECT_FALSE(CopyFileU8(a, dir.Path("b.txt"), true));
  EXPECT_FALSE(CopyFileU8(dir.Path("missing"), dir.Path("c.txt"), false));

  ASSERT_TRUE(SetFileAttributesU8(dir.Path("b.txt"), kFileAttributeNormal));
  ASSERT_TRUE(MoveFileU8(dir.Path("b.txt"), dir.Path("c.txt")));
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
  EXPECT_EQ(ExistingPath(cfg), NativePath(dir.Path("SimObjects/Airplanes/B738/Aircraft.CFG")));
  EXPECT_TRUE(FileExists(cfg));
  EXPECT_TRUE(IsDirectory(dir.Path("simobjects\\airplanes")));
  std::string text;
  ASSERT_TRUE(ReadWholeFile(cfg, text));
  EXPECT_EQ(text, "[fltsim.0]\n");
  EXPECT_NE(GetFileAttributesU8(cfg), kInvalidFileAttributes);

  // Writing replaces that file rather than making a second one beside it; a
  // new file goes into the folder that exists.
  ASSERT_TRUE(WriteFileAtomically(cfg, "[fltsim.1]\n"));
  EXPECT_EQ(dir.Read("SimObjects/Airplanes/B738/Aircraft.CFG"), "[fltsim.1]\n");
  EXPECT_EQ(FindFiles(dir.Path("SimObjects/Airplanes/B738/*")).size(), 1u);
  ASSERT_TRUE(WriteFileAtomically(dir.Path("SIMOBJECTS/new.txt"), "n"));
  EXPECT_EQ(dir.Read("SimObjects/new.txt"), "n");
  ASSERT_TRUE(CreateDirectoryU8(dir.Path("simobjects/airplanes/B744/panel")));
  EXPECT_TRUE(IsDirectory(dir.Path("SimObjects/Airplanes/B744/panel")));
  EXPECT_EQ(FindFiles(dir.Path("*")).size(), 1u) << "no second SimObjects folder";
  ASSERT_TRUE(DeleteFileU8(cfg));
  EXPECT_FALSE(FileExists(dir.Path("SimObjects/Airplanes/B738/Aircraft.CFG")));

  // A name found in no letter case stays as written, from there on.
  EXPECT_EQ(ExistingPath(dir.Path("simobjects/Missing/x.cfg")), NativePath(dir.Path("SimObjects/Missing/x.cfg")));
  EXPECT_FALSE(FileExists(dir.Path("simobjects/Missing/x.cfg")));

#ifndef _WIN32  // (two names that differ only in letter case are one file on Windows)
  dir.Write("r4.csv", "exact");
  dir.Write("R4.CSV", "upper");
  EXPECT_EQ(ExistingPath(dir.Path("r4.csv")), dir.Path("r4.csv"));
  EXPECT_EQ(ExistingPath(dir.Path("R4.csv")), dir.Path("R4.CSV")) << "the first in name order";
#endif
}
