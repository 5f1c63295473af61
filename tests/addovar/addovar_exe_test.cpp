// addovar.exe itself under Wine, in the test prefix: it reads FSX-SE's folder
// from the real registry, finds dll.xml under the folder SHGetFolderPath
// names, and talks through real message boxes. -INSTALL registers the module
// in that dll.xml and -UN_INSTALL gives the file back byte for byte. The
// tests set the registry and files up the way FSX-SE's installer leaves them,
// and put everything back afterwards. Boxes are read and answered on a
// virtual display of their own (with_display.sh); without one Wine shows no
// box at all, and the tests that read boxes say so.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr wchar_t kFsxKey[] = L"SOFTWARE\\Microsoft\\Microsoft Games\\Flight Simulator\\10.0";
constexpr char kCaption[] = "Orvante Pro";

const std::string kTemplate =
    "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n"
    "<SimBase.Document Type=\"Launch\" version=\"1,0\">\r\n"
    "\t<Descr>Launch</Descr>\r\n"
    "\t<Filename>dll.xml</Filename>\r\n"
    "\t<Launch.Addon>\r\n"
    "\t\t<Name>ORVANTE</Name>\r\n"
    "\t\t<Disabled>False</Disabled>\r\n"
    "\t\t<ManualLoad>False</ManualLoad>\r\n"
    "\t\t<Path>.\\ORVANTE\\ORVANTE.dll</Path>\r\n"
    "\t\t<DllStartName>module_init</DllStartName>\r\n"
    "\t\t<DllStopName>module_deinit</DllStopName>\r\n"
    "\t</Launch.Addon>\r\n"
    "</SimBase.Document>\r\n";

// A user's dll.xml with another add-on and an indented closing line.
const std::string kUsersDllXml =
    "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n"
    "<SimBase.Document Type=\"Launch\" version=\"1,0\">\r\n"
    "\t<Descr>Launch</Descr>\r\n"
    "\t<Launch.Addon>\r\n\t\t<Name>Weather Radar</Name>\r\n\t\t<Path>Modules\\radar.dll</Path>\r\n"
    "\t</Launch.Addon>\r\n"
    "  </SimBase.Document>\r\n";
// The same after a hand edit left one line ended by LF alone: every line the
// utility writes ends in CR LF.
const std::string kHandEditedDllXml =
    std::string(kUsersDllXml).replace(kUsersDllXml.find("</Path>\r\n"), 9, "</Path>\n");

std::string Narrow(const std::wstring& wide) {
  int size = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, text.data(), size, nullptr, nullptr);
  return text;
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::optional<std::wstring> ReadAppPath() {
  wchar_t value[MAX_PATH] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, kFsxKey, L"AppPath", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(value);
}

void WriteAppPath(const std::optional<std::wstring>& value) {
  if (!value) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kFsxKey, L"AppPath");
    return;
  }
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kFsxKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, L"AppPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                 static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

// What a run of addovar.exe showed and how it ended.
struct AddovarRun {
  DWORD exitCode = 0xFFFFFFFF;
  std::vector<std::pair<std::string, std::string>> boxes;  // caption, text
};

// The text of a message box: its longest static text.
std::string BoxText(HWND box) {
  std::string longest;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM out) {
        wchar_t name[32] = {}, text[2048] = {};
        GetClassNameW(child, name, 32);
        GetWindowTextW(child, text, 2048);
        auto* longest = reinterpret_cast<std::string*>(out);
        if (_wcsicmp(name, L"Static") == 0 && Narrow(text).size() > longest->size()) *longest = Narrow(text);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&longest));
  return longest;
}

// Runs addovar.exe (beside the tests, in bin/) with the argument; every box
// it shows is read and answered with OK.
AddovarRun RunAddovar(const std::wstring& argument) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const fs::path program = fs::path(self).parent_path().parent_path() / "bin" / "addovar.exe";
  std::wstring line = L"\"" + program.wstring() + L"\"" + (argument.empty() ? L"" : L" " + argument);
  // The program's windows go to this test's display (test programs clear
  // DISPLAY for what they start).
  // There it shows Windows' own boxes, which this run reads and answers
  // (test programs otherwise start their children headless).
  if (const char* display = std::getenv("ORVANTE_TEST_DISPLAY")) {
    SetEnvironmentVariableA("DISPLAY", display);
    SetEnvironmentVariableA("ORVANTE_HEADLESS", "0");
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  AddovarRun run;
  if (!CreateProcessW(program.wstring().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    ADD_FAILURE() << "cannot start " << program.string() << ": error " << GetLastError();
    return run;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << "addovar.exe did not end";
      TerminateProcess(process.hProcess, 1);
      break;
    }
    // A box of the program: read it, answer it.
    for (HWND box = FindWindowW(L"#32770", nullptr); box != nullptr;
         box = FindWindowExW(nullptr, box, L"#32770", nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(box, &owner);
      if (owner != process.dwProcessId || !IsWindowVisible(box)) continue;
      wchar_t caption[256] = {};
      GetWindowTextW(box, caption, 256);
      run.boxes.emplace_back(Narrow(caption), BoxText(box));
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
  }
  GetExitCodeProcess(process.hProcess, &run.exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

bool HaveDisplay() {
  const char* display = std::getenv("ORVANTE_TEST_DISPLAY");
  return display != nullptr && *display != '\0';
}

// FSX-SE installed in a folder of its own, the registry pointing at it, and
// the user's dll.xml where SHGetFolderPath's folder says; all put back after.
class AddovarExeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t roaming[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, roaming), S_OK);
    dllXml_ = fs::path(roaming) / "Microsoft" / "FSX-SE" / "dll.xml";
    backup_ = dllXml_.wstring() + L".orvante_backup";
    if (fs::exists(dllXml_)) savedDllXml_ = ReadBytes(dllXml_);
    savedAppPath_ = ReadAppPath();
    fs::remove(dllXml_);
    fs::remove(backup_);

    std::random_device random;
    fsx_ = fs::path(L"C:\\") / ("orvante-test-fsx-" + std::to_string(random()));
    WriteBytes(fsx_ / "fsx.exe", "MZ");
    WriteBytes(fsx_ / "ORVANTE" / "res" / "dll.xml", kTemplate);
    WriteAppPath(fsx_.wstring() + L"\\");  // as the installer writes it
  }
  void TearDown() override {
    WriteAppPath(savedAppPath_);
    std::error_code error;
    fs::remove_all(fsx_, error);
    fs::remove(backup_, error);
    if (savedDllXml_) {
      WriteBytes(dllXml_, *savedDllXml_);
    } else {
      fs::remove(dllXml_, error);
    }
  }

  fs::path dllXml_, backup_, fsx_;
  std::optional<std::string> savedDllXml_;
  std::optional<std::wstring> savedAppPath_;
};

}  // namespace

TEST_F(AddovarExeTest, InstallRegistersTheModuleOnceAndUninstallTakesItOutAgain) {
  WriteBytes(dllXml_, kHandEditedDllXml);
  AddovarRun install = RunAddovar(L"-INSTALL");
  EXPECT_EQ(install.exitCode, 0u);
  EXPECT_TRUE(install.boxes.empty()) << install.boxes.front().second;
  const std::string registered = ReadBytes(dllXml_);
  EXPECT_EQ(registered,
            "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n"
            "<SimBase.Document Type=\"Launch\" version=\"1,0\">\r\n"
            "\t<Descr>Launch</Descr>\r\n"
            "\t<Launch.Addon>\r\n\t\t<Name>Weather Radar</Name>\r\n\t\t<Path>Modules\\radar.dll</Path>\r\n"
            "\t</Launch.Addon>\r\n"
            "\t<Launch.Addon>\r\n"
            "\t\t<Name>ORVANTE</Name>\r\n"
            "\t\t<Disabled>False</Disabled>\r\n"
            "\t\t<ManualLoad>False</ManualLoad>\r\n"
            "\t\t<Path>.\\ORVANTE\\ORVANTE.dll</Path>\r\n"
            "\t\t<DllStartName>module_init</DllStartName>\r\n"
            "\t\t<DllStopName>module_deinit</DllStopName>\r\n"
            "\t</Launch.Addon>\r\n"
            "  </SimBase.Document>\r\n");
  EXPECT_EQ(ReadBytes(backup_), kHandEditedDllXml) << "the backup is the file as it was";

  // A second install keeps one entry.
  EXPECT_EQ(RunAddovar(L"-INSTALL").exitCode, 0u);
  EXPECT_EQ(ReadBytes(dllXml_), registered);

  AddovarRun uninstall = RunAddovar(L"-UN_INSTALL");
  EXPECT_EQ(uninstall.exitCode, 0u);
  EXPECT_TRUE(uninstall.boxes.empty());
  // The second install backed up the registered file; the uninstall puts
  // that back and takes the entry out again.
  EXPECT_EQ(ReadBytes(dllXml_), kUsersDllXml);
  EXPECT_FALSE(fs::exists(backup_));
}

TEST_F(AddovarExeTest, UninstallGivesTheFileBackByteForByte) {
  WriteBytes(dllXml_, kUsersDllXml);
  ASSERT_EQ(RunAddovar(L"-INSTALL").exitCode, 0u);
  ASSERT_NE(ReadBytes(dllXml_).find("<Name>ORVANTE</Name>"), std::string::npos);
  ASSERT_EQ(RunAddovar(L"-UN_INSTALL").exitCode, 0u);
  EXPECT_EQ(ReadBytes(dllXml_), kUsersDllXml);
  EXPECT_FALSE(fs::exists(backup_));
}

TEST_F(AddovarExeTest, WithoutADllXmlTheTemplateIsCopiedAndTheUninstallDeletesIt) {
  ASSERT_EQ(RunAddovar(L"-INSTALL").exitCode, 0u);
  EXPECT_EQ(ReadBytes(dllXml_), kTemplate);
  EXPECT_FALSE(fs::exists(backup_));
  ASSERT_EQ(RunAddovar(L"-UN_INSTALL").exitCode, 0u);
  EXPECT_FALSE(fs::exists(dllXml_)) << "no add-on is left in it";
}

TEST_F(AddovarExeTest, TheUserIsToldByMessageBoxes) {
  if (!HaveDisplay()) GTEST_SKIP() << "no X display: Wine shows no box without one (with_display.sh starts Xvfb)";
  AddovarRun direct = RunAddovar(L"");
  EXPECT_EQ(direct.exitCode, 0u);
  ASSERT_EQ(direct.boxes.size(), 1u);
  EXPECT_EQ(direct.boxes[0].first, kCaption);
  EXPECT_EQ(direct.boxes[0].second,
            "Sorry, this utility is only designed to be launched by the the Orvante Pro installer/uninstaller!");

  // The registry points at a folder without fsx.exe: the user hears of it,
  // and the existing dll.xml still gets the entry.
  fs::remove(fsx_ / "fsx.exe");
  WriteBytes(dllXml_, kUsersDllXml);
  AddovarRun install = RunAddovar(L"-INSTALL");
  EXPECT_EQ(install.exitCode, 0u);
  ASSERT_EQ(install.boxes.size(), 1u);
  EXPECT_EQ(install.boxes[0].first, kCaption);
  EXPECT_EQ(install.boxes[0].second.rfind("Sorry, it appears FSX-SE is not installed correctly", 0), 0u)
      << install.boxes[0].second;
  EXPECT_NE(ReadBytes(dllXml_).find("\t\t<Name>ORVANTE</Name>\r\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(backup_)) << "no backup without the simulator";
}
