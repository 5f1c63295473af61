// The Win32 platform layer against Windows itself (run under Wine): each call
// is the Windows operation, so what it does shows through Windows' own
// functions called beside it.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/dialog.h"
#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/ini_file.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/threads.h"
#include "platform/user_interface.h"
#include "temp_folder.h"

namespace {

std::string KernelProfileString(const std::string& section, const std::string& key, const std::string& path) {
  char buffer[256] = {};
  ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "<none>", buffer, sizeof buffer, path.c_str());
  return buffer;
}

}  // namespace

TEST(Win32ProfileFiles, WritesAreKernel32sOwnAndReadBackThroughIt) {
  TempFolder folder;
  // A hand-written file with blanks around '=', a blank line and LF breaks:
  // kernel32 rewrites every line in its own form (CR LF, no blanks), where
  // the POSIX build would change only the line it writes.
  std::string path = folder.Write("ORVANTE.INI", "[ORVANTE]\nP3DSceneryID = 4711\n\nMasterVolume=3\n");
  ASSERT_TRUE(platform::WritePrivateProfileStringU8("ORVANTE", "EnableKeyEventAPI", "1", path.c_str()));
  std::string text = folder.Read("ORVANTE.INI");
  EXPECT_NE(text.find("P3DSceneryID=4711\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("EnableKeyEventAPI=1\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("\n\n"), std::string::npos) << text;
  // kernel32 reads what the platform wrote, and the platform what kernel32 wrote.
  EXPECT_EQ(KernelProfileString("orvante", "ENABLEKEYEVENTAPI", path), "1");
  ASSERT_TRUE(::WritePrivateProfileStringA("ORVANTE", "DEFAULTProfile", "Heavy", path.c_str()));
  EXPECT_EQ(platform::ReadProfileString("ORVANTE", "DefaultProfile", "", path.c_str()), "Heavy");
  EXPECT_EQ(platform::GetPrivateProfileIntU8("ORVANTE", "MasterVolume", 5, path.c_str()), 3);
}

TEST(Win32ProfileFiles, WritesReplaceTheFileWholeAndLeaveNoCopies) {
  TempFolder folder;
  std::string path = folder.Path("P.INI");
  for (int i = 0; i < 20; ++i)
    ASSERT_TRUE(platform::WritePrivateProfileStringU8("S", ("K" + std::to_string(i)).c_str(), "v", path.c_str()));
  EXPECT_EQ(platform::GetPrivateProfileIntU8("S", "missing", -7, path.c_str()), -7);
  EXPECT_EQ(platform::ReadProfileString("S", "K19", "", path.c_str()), "v");
  // Every write went through a copy that replaced the file: none is left.
  EXPECT_EQ(platform::FindFiles(folder.Path("*")).size(), 1u);
  // A delete in a missing file writes nothing and succeeds.
  std::string other = folder.Path("NONE.INI");
  EXPECT_TRUE(platform::WritePrivateProfileStringU8("S", "K", nullptr, other.c_str()));
  EXPECT_FALSE(platform::FileExists(other));
  // A read-only file is not replaced.
  ASSERT_TRUE(platform::SetFileAttributesU8(path, platform::kFileAttributeReadOnly));
  EXPECT_FALSE(platform::WritePrivateProfileStringU8("S", "K0", "w", path.c_str()));
  EXPECT_EQ(platform::ReadProfileString("S", "K0", "", path.c_str()), "v");
  EXPECT_EQ(platform::FindFiles(folder.Path("*")).size(), 1u);
  platform::SetFileAttributesU8(path, platform::kFileAttributeNormal);
}

TEST(Win32ProfileFiles, TheUnitsRulesWhereKernel32Differs) {
  TempFolder folder;
  std::string path = folder.Write("P.INI", "[S]\nhex=0x10\nempty=\nsigned= -12abc\n");
  // Integers are the leading decimal digits on every system.
  EXPECT_EQ(platform::GetPrivateProfileIntU8("S", "hex", 5, path.c_str()), 0);
  EXPECT_EQ(platform::GetPrivateProfileIntU8("S", "empty", 5, path.c_str()), 5);
  EXPECT_EQ(platform::GetPrivateProfileIntU8("S", "signed", 5, path.c_str()), -12);
  // A key list cut by a small buffer ends with two terminators.
  char list[8];
  std::memset(list, 'x', sizeof list);
  EXPECT_EQ(platform::GetPrivateProfileStringU8("S", nullptr, "", list, sizeof list, path.c_str()), 6u);
  EXPECT_EQ(list[6], '\0');
  EXPECT_EQ(list[7], '\0');
  EXPECT_STREQ(list, "hex");
}

TEST(Win32ProfileFiles, BytesAndPathsOfAnyTextSurvive) {
  TempFolder folder;
  // A folder name outside the ANSI code page, and a UTF-8 value whose bytes
  // must come back as they were written.
  std::string sub = folder.Path("Zo\xC3\xAB \xE6\x97\xA5");
  ASSERT_TRUE(platform::CreateDirectoryU8(sub + "/a/b"));
  std::string path = sub + "/a/b/P.INI";
  const char* value = "Caf\xC3\xA9 \xE2\x82\xAC";
  ASSERT_TRUE(platform::WritePrivateProfileStringU8("S", "Name", value, path.c_str()));
  EXPECT_EQ(platform::ReadProfileString("S", "Name", "", path.c_str()), value);
  std::string contents;
  ASSERT_TRUE(platform::ReadWholeFile(path, contents));
  EXPECT_NE(contents.find(value), std::string::npos);
  std::vector<platform::FoundFile> found = platform::FindFiles(sub + "/a/b/*.ini");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, "P.INI");
}

TEST(Win32Files, OperationsGiveWindowsResultsAndLastErrors) {
  TempFolder folder;
  std::string a = folder.Write("a.txt", "one");
  std::string b = folder.Path("b.txt");
  EXPECT_TRUE(platform::CopyFileU8(a, b, true));
  EXPECT_FALSE(platform::CopyFileU8(a, b, true));
  EXPECT_EQ(platform::GetLastError(), static_cast<uint32_t>(ERROR_FILE_EXISTS));
  ASSERT_TRUE(platform::WriteFileAtomically(b, "two"));
  ASSERT_TRUE(platform::MoveFileU8(b, a));  // replaces the target
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(a, text));
  EXPECT_EQ(text, "two");
  EXPECT_FALSE(platform::ReadWholeFile(b, text));
  EXPECT_EQ(platform::GetLastError(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
  // Windows' names ignore letter case; the path as on disk is FindFirstFile's.
  EXPECT_TRUE(platform::FileExists(folder.Path("A.TXT")));
  EXPECT_EQ(platform::ExistingPath(folder.Path("A.TXT")), platform::NativePath(folder.Path("a.txt")));
  ASSERT_TRUE(platform::SetFileAttributesU8(a, platform::kFileAttributeReadOnly));
  EXPECT_TRUE(platform::GetFileAttributesU8(a) & platform::kFileAttributeReadOnly);
  EXPECT_FALSE(platform::DeleteFileU8(a));
  EXPECT_EQ(platform::GetLastError(), static_cast<uint32_t>(ERROR_ACCESS_DENIED));
  ASSERT_TRUE(platform::SetFileAttributesU8(a, platform::kFileAttributeNormal));
  EXPECT_TRUE(platform::DeleteFileU8(a));
  EXPECT_EQ(platform::GetFileAttributesU8(a), platform::kInvalidFileAttributes);
  EXPECT_EQ(platform::JoinPath({"C:\\x", "ORVANTE/Profiles", "P.INI"}), "C:\\x\\ORVANTE\\Profiles\\P.INI");
}

TEST(Win32Process, ModulesVersionsLibrariesAndThreads) {
  // The module's version resource, read through GetFileVersionInfo.
  uint32_t ms = 0, ls = 0;
  ASSERT_TRUE(platform::GetFileVersion(ORVANTE_MODULE_PATH, ms, ls));
  unsigned parts[4] = {};
  ASSERT_EQ(std::sscanf(ORVANTE_EXPECTED_FILE_VERSION, "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]), 4);
  EXPECT_EQ(ms, parts[0] << 16 | parts[1]);
  EXPECT_EQ(ls, parts[2] << 16 | parts[3]);
  // A file without one.
  TempFolder folder;
  std::string plain = folder.Write("plain.dll", "not a program");
  EXPECT_FALSE(platform::GetFileVersion(plain, ms, ls));
  EXPECT_EQ(ms, 0u);
  // LoadLibrary: a missing file is error 126, a file that is no program 193.
  EXPECT_EQ(platform::LoadLibraryU8(folder.Path("missing.dll")), nullptr);
  EXPECT_EQ(platform::GetLastError(), static_cast<uint32_t>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(platform::LoadLibraryU8(plain), nullptr);
  EXPECT_EQ(platform::GetLastError(), static_cast<uint32_t>(ERROR_BAD_EXE_FORMAT));
  EXPECT_NE(platform::LastLoaderError().find("193"), std::string::npos);
  platform::ModuleHandle module = platform::LoadLibraryU8(ORVANTE_MODULE_PATH);
  ASSERT_NE(module, nullptr) << platform::LastLoaderError();
  void* init = platform::GetProcAddress(module, "module_init");
  EXPECT_NE(init, nullptr);
  EXPECT_NE(platform::GetProcAddress(module, "Panels"), nullptr);
  EXPECT_EQ(platform::GetProcAddress(module, "no_such_export"), nullptr);
  EXPECT_EQ(platform::GetLastError(), static_cast<uint32_t>(ERROR_PROC_NOT_FOUND));
  // The module that holds an address, by GetModuleFileName.
  std::string name = platform::GetModuleFileNameU8(init);
  EXPECT_EQ(name.substr(name.size() - std::strlen("ORVANTE.dll")), "ORVANTE.dll") << name;
  platform::FreeLibrary(module);
  // The test program itself holds this function.
  EXPECT_EQ(platform::GetExecutablePath(),
            platform::GetModuleFileNameU8(reinterpret_cast<void*>(&KernelProfileString)));
  // CreateThread gives Windows' own thread identifier.
  static DWORD seen = 0;
  HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  static HANDLE doneEvent = done;
  uint32_t id = platform::CreateThread(
      [](void*) -> uint32_t {
        seen = ::GetCurrentThreadId();
        ::SetEvent(doneEvent);
        return 0;
      },
      nullptr);
  ASSERT_NE(id, 0u);
  ASSERT_EQ(::WaitForSingleObject(done, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(seen, id);
  ::CloseHandle(done);
  EXPECT_EQ(platform::GetCurrentThreadId(), ::GetCurrentThreadId());
}

TEST(Win32Process, AppDataFolderIsTheShellFolder) {
  wchar_t folder[MAX_PATH] = {};
  ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, folder)));
  char utf8[4 * MAX_PATH] = {};
  ::WideCharToMultiByte(CP_UTF8, 0, folder, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::string expected = utf8;
  EXPECT_EQ(platform::GetAppDataFolder(), expected);
  platform::SetAppDataFolder("C:\\elsewhere");
  EXPECT_EQ(platform::GetAppDataFolder(), "C:\\elsewhere");
  platform::SetAppDataFolder("");
  EXPECT_EQ(platform::GetAppDataFolder(), expected);
}

TEST(Win32Registry, ReadsTheRealRegistry) {
  HKEY key = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\OrvanteTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
            ERROR_SUCCESS);
  const wchar_t text[] = L"C:\\Games\\FSX";
  DWORD number = 42;
  ::RegSetValueExW(key, L"Folder", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
  ::RegSetValueExW(key, L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  ::RegCloseKey(key);
  using platform::RegistryHive;
  EXPECT_TRUE(platform::RegistryKeyExists(RegistryHive::CurrentUser, "Software\\OrvanteTest"));
  EXPECT_EQ(platform::RegistryReadString(RegistryHive::CurrentUser, "Software\\OrvanteTest", "Folder"),
            std::optional<std::string>("C:\\Games\\FSX"));
  EXPECT_EQ(platform::RegistryReadDword(RegistryHive::CurrentUser, "Software\\OrvanteTest", "Count"),
            std::optional<uint32_t>(42));
  EXPECT_EQ(platform::RegistryReadDword(RegistryHive::CurrentUser, "Software\\OrvanteTest", "Folder"), std::nullopt);
  EXPECT_EQ(platform::RegistryReadString(RegistryHive::CurrentUser, "Software\\OrvanteTest", "None"), std::nullopt);
  EXPECT_FALSE(platform::RegistryKeyExists(RegistryHive::LocalMachine, "Software\\NoSuchOrvanteKey"));
  ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\OrvanteTest");
}

TEST(Win32Windows, TheMainWindowIsARealWindowThatFindWindowFinds) {
  platform::WindowHandle window = platform::RegisterTopLevelWindow("FS98MAIN_TEST");
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(::IsWindow(static_cast<HWND>(window)));
  EXPECT_EQ(::FindWindowA("FS98MAIN_TEST", nullptr), window);
  EXPECT_EQ(platform::FindWindowU8("FS98MAIN_TEST"), window);
  EXPECT_FALSE(::IsWindowVisible(static_cast<HWND>(window)));
  platform::UnregisterTopLevelWindow(window);
  EXPECT_EQ(platform::FindWindowU8("FS98MAIN_TEST"), nullptr);
}

TEST(Win32Fonts, CreateFontMakesAGdiFontOfTheDescription) {
  platform::FontDescription description;
  description.height = 20;
  description.weight = 700;
  description.underline = true;
  description.face = "Microsoft Sans Serif";
  platform::FontHandle font = platform::CreateFontU8(description);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->height, 20);
  EXPECT_EQ(font->face, "Microsoft Sans Serif");
  platform::DeleteFont(font);
}

TEST(Win32FrontEnd, TestsAndHostsChooseTheHeadlessFrontEnd) {
  // The test program chose the headless front end: a box is recorded and
  // answered with its default button, never shown.
  platform::BuiltInHeadlessUserInterface().Clear();
  EXPECT_EQ(platform::MessageBoxU8(nullptr, "text", "Orvante", platform::kMbYesNo | platform::kMbDefButton2),
            platform::kIdNo);
  ASSERT_EQ(platform::BuiltInHeadlessUserInterface().Boxes().size(), 1u);
  // Without a host's choice a test program (ORVANTE_HEADLESS=1) still has
  // the headless front end: a test that resets the choice never shows a box.
  platform::SetUserInterface(nullptr);
  EXPECT_EQ(&platform::CurrentUserInterface(), &platform::BuiltInHeadlessUserInterface());
  EXPECT_EQ(platform::MessageBoxU8(nullptr, "again", "Orvante", platform::kMbOk), platform::kIdOk);
  EXPECT_EQ(platform::BuiltInHeadlessUserInterface().Boxes().size(), 2u);
  // Any other process has Windows' own boxes.
  _putenv_s("ORVANTE_HEADLESS", "");
  EXPECT_NE(&platform::CurrentUserInterface(), &platform::BuiltInHeadlessUserInterface());
  EXPECT_EQ(platform::LoadDesktopUserInterface(), &platform::CurrentUserInterface());
  _putenv_s("ORVANTE_HEADLESS", "0");
  EXPECT_EQ(platform::LoadDesktopUserInterface(), &platform::CurrentUserInterface());
  _putenv_s("ORVANTE_HEADLESS", "1");
  platform::SetUserInterface(&platform::BuiltInHeadlessUserInterface());
}
