// The platform layer's headers next to <windows.h>. Windows' header defines
// the A/W functions (DeleteFile, MessageBox, GetPrivateProfileString, ...) and
// the box, answer and attribute constants (MB_OK, IDYES, ...) as macros. This
// file defines the same names as windows.h does before it includes every
// platform header: the constants with Windows' values, each function name as
// something that cannot be compiled anywhere. A header that still used one of
// these names would stop this file from compiling; the tests check that our
// constants keep Windows' values and that the renamed calls work with the
// macros present, as they must in the Win32 implementation.

#include <gtest/gtest.h>

// Constants, as windows.h defines them.
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_ICONERROR 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONWARNING 0x00000030L
#define MB_ICONINFORMATION 0x00000040L
#define MB_DEFBUTTON2 0x00000100L
#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define INVALID_FILE_ATTRIBUTES ((unsigned long)-1)

// Functions that windows.h maps to their A or W variant: any use is an error.
#define WINDOWS_MACRO_IN_A_PLATFORM_HEADER )(
#define CopyFile WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define CreateDirectory WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define CreateFont WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define DeleteFile WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define FindFirstFile WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define FindNextFile WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define FindWindow WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define GetFileAttributes WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define GetModuleFileName WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define GetPrivateProfileInt WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define GetPrivateProfileString WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define LoadLibrary WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define MessageBox WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define MoveFile WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define SetFileAttributes WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define ShellExecute WINDOWS_MACRO_IN_A_PLATFORM_HEADER
#define WritePrivateProfileString WINDOWS_MACRO_IN_A_PLATFORM_HEADER

#include "platform/clock.h"
#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/ini_file.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/scripted_user_interface.h"
#include "platform/threads.h"
#include "platform/user_interface.h"
#include "temp_folder.h"

namespace {

TEST(WindowsNames, ConstantsKeepWindowsValues) {
  EXPECT_EQ(platform::kMbOk, static_cast<uint32_t>(MB_OK));
  EXPECT_EQ(platform::kMbOkCancel, static_cast<uint32_t>(MB_OKCANCEL));
  EXPECT_EQ(platform::kMbYesNoCancel, static_cast<uint32_t>(MB_YESNOCANCEL));
  EXPECT_EQ(platform::kMbYesNo, static_cast<uint32_t>(MB_YESNO));
  EXPECT_EQ(platform::kMbIconError, static_cast<uint32_t>(MB_ICONERROR));
  EXPECT_EQ(platform::kMbIconQuestion, static_cast<uint32_t>(MB_ICONQUESTION));
  EXPECT_EQ(platform::kMbIconWarning, static_cast<uint32_t>(MB_ICONWARNING));
  EXPECT_EQ(platform::kMbIconInformation, static_cast<uint32_t>(MB_ICONINFORMATION));
  EXPECT_EQ(platform::kMbDefButton2, static_cast<uint32_t>(MB_DEFBUTTON2));
  EXPECT_EQ(platform::kIdOk, IDOK);
  EXPECT_EQ(platform::kIdCancel, IDCANCEL);
  EXPECT_EQ(platform::kIdYes, IDYES);
  EXPECT_EQ(platform::kIdNo, IDNO);
  EXPECT_EQ(platform::kFileAttributeReadOnly, static_cast<uint32_t>(FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(platform::kFileAttributeDirectory, static_cast<uint32_t>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(platform::kFileAttributeNormal, static_cast<uint32_t>(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(platform::kInvalidFileAttributes, static_cast<uint32_t>(INVALID_FILE_ATTRIBUTES));
}

TEST(WindowsNames, FileAndProfileCallsWorkBesideTheMacros) {
  TempFolder dir;
  const std::string folder = dir.Path("Profiles");
  ASSERT_TRUE(platform::CreateDirectoryU8(folder));
  EXPECT_NE(platform::GetFileAttributesU8(folder) & platform::kFileAttributeDirectory, 0u);
  const std::string ini = platform::JoinPath({folder, "A.INI"});
  ASSERT_TRUE(platform::WritePrivateProfileStringU8("ORVANTE", "MasterVolume", "7", ini.c_str()));
  EXPECT_EQ(platform::GetPrivateProfileIntU8("orvante", "mastervolume", 0, ini.c_str()), 7);
  ASSERT_TRUE(platform::CopyFileU8(ini, platform::JoinPath({folder, "B.INI"}), true));
  EXPECT_FALSE(platform::CopyFileU8(ini, platform::JoinPath({folder, "B.INI"}), true));
  ASSERT_TRUE(platform::MoveFileU8(platform::JoinPath({folder, "B.INI"}), platform::JoinPath({folder, "C.INI"})));
  ASSERT_TRUE(platform::DeleteFileU8(platform::JoinPath({folder, "C.INI"})));
  EXPECT_EQ(platform::GetFileAttributesU8(platform::JoinPath({folder, "C.INI"})), platform::kInvalidFileAttributes);
  EXPECT_EQ(platform::LoadLibraryU8(platform::JoinPath({folder, "MISSING.DLL"})), nullptr);
  EXPECT_EQ(platform::GetLastError(), 126u);
}

TEST(WindowsNames, BoxesGoThroughTheRenamedCall) {
  platform::HeadlessUserInterface ui;
  platform::SetUserInterface(&ui);
  const int answer = platform::MessageBoxU8(nullptr, "text", "caption",
                                            platform::kMbYesNo | platform::kMbDefButton2 | platform::kMbIconQuestion);
  platform::SetUserInterface(&platform::BuiltInHeadlessUserInterface());
  EXPECT_EQ(answer, platform::kIdNo);
  ASSERT_EQ(ui.Boxes().size(), 1u);
  EXPECT_EQ(ui.Boxes()[0].caption, "caption");
}

}  // namespace
