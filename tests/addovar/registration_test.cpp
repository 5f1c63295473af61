// Install and uninstall on real files in temporary Wine-style prefixes: the
// registry finds FSX-SE, the prefix's roaming folder holds dll.xml, and the
// headless front end records the message boxes.
#include "registration.h"

#include <gtest/gtest.h>
#include <platform/files.h>
#include <platform/process.h>
#include <platform/user_interface.h>

#include <filesystem>

#include "addon_block.h"
#include "registration_messages.h"
#include "wine_prefix.h"

namespace addovar {
namespace {

namespace fs = std::filesystem;
using testing::IsReadOnly;
using testing::MakeReadOnly;
using testing::ReadBytes;
using testing::WinePrefix;
using testing::WriteBytes;

const std::string kHead =
    "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n"
    "<SimBase.Document Type=\"Launch\" version=\"1,0\">\r\n"
    "\t<Descr>Launch</Descr>\r\n";
const std::string kOther =
    "\t<Launch.Addon>\r\n\t\t<Name>Other Addon</Name>\r\n\t\t<Path>Other\\other.dll</Path>\r\n\t</Launch.Addon>\r\n";
const std::string kTail = "</SimBase.Document>\r\n";

std::string BlockText() {
  std::string text;
  for (std::string_view line : kAddonBlock) text += std::string(line) + "\r\n";
  return text;
}

class Registration : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetAppDataFolder("");
    platform::SetUserInterface(nullptr);
    platform::BuiltInHeadlessUserInterface().Clear();
    prefix_.InstallFsx(kHead + BlockText() + kTail);
    prefix_.WriteUserRegistry(WinePrefix::FsxWindowsPath());
  }

  std::vector<platform::MessageBoxRecord> Boxes() const { return platform::BuiltInHeadlessUserInterface().Boxes(); }

  // Runs the program's action and checks that it ends with exit code 0.
  void Run(const char* argument) { ASSERT_EQ(RunRegistration(std::string(argument)), 0); }

  void ExpectOneBox(const std::string& text, uint32_t icon) {
    std::vector<platform::MessageBoxRecord> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Orvante Pro");
    EXPECT_EQ(boxes[0].text, text);
    EXPECT_EQ(boxes[0].flags & 0xF0u, icon);
  }

  WinePrefix prefix_;
};

TEST_F(Registration, InstallBacksUpAndAddsTheBlockBeforeTheDocumentClose) {
  const std::string original = "<?xml version=\"1.0\"?>\n<SimBase.Document>\n" +
                               std::string("\t<Launch.Addon>\n\t\t<Name>A</Name>\n\t</Launch.Addon>\n") +
                               "</SimBase.Document>\n";
  WriteBytes(prefix_.dllXml(), original);
  Run("-INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ReadBytes(prefix_.backup()), original);
  EXPECT_EQ(
      ReadBytes(prefix_.dllXml()),
      "<?xml "
      "version=\"1.0\"?>\r\n<SimBase.Document>\r\n\t<Launch.Addon>\r\n\t\t<Name>A</Name>\r\n\t</Launch.Addon>\r\n" +
          BlockText() + "</SimBase.Document>\r\n");
}

TEST_F(Registration, InstallingTwiceKeepsOneBlockAndUninstallThenRemovesIt) {
  WriteBytes(prefix_.dllXml(), kHead + kOther + kTail);
  Run("-INSTALL");
  Run("-INSTALL");
  const std::string registered = kHead + kOther + BlockText() + kTail;
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), registered);
  // The second install backed up the file that already held the block.
  EXPECT_EQ(ReadBytes(prefix_.backup()), registered);

  Run("-UN_INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_FALSE(fs::exists(prefix_.backup()));
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), kHead + kOther + kTail);
}

TEST_F(Registration, WithoutDllXmlInstallCopiesTheTemplate) {
  fs::remove_all(prefix_.dllXml().parent_path());  // FSX-SE never started yet
  Run("-INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), ReadBytes(prefix_.templateFile()));
  EXPECT_FALSE(fs::exists(prefix_.backup()));

  // Uninstall: no backup to restore; the module was the only entry, so dll.xml goes.
  Run("-UN_INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_FALSE(fs::exists(prefix_.dllXml()));
}

TEST_F(Registration, AnIndentedDocumentCloseStillGetsTheBlockWithItsTabs) {
  WriteBytes(prefix_.dllXml(), kHead + kOther + "    </SimBase.Document>   \r\n");
  Run("-INSTALL");
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), kHead + kOther + BlockText() + "    </SimBase.Document>   \r\n");
}

TEST_F(Registration, AReadOnlyDllXmlStaysReadOnlyAndItsBackupIsWritable) {
  WriteBytes(prefix_.dllXml(), kHead + kOther + kTail);
  MakeReadOnly(prefix_.dllXml());
  Run("-INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), kHead + kOther + BlockText() + kTail);
  EXPECT_TRUE(IsReadOnly(prefix_.dllXml()));
  ASSERT_TRUE(fs::exists(prefix_.backup()));
  EXPECT_FALSE(IsReadOnly(prefix_.backup()));

  // The restored file takes the place of a read-only dll.xml and stays read-only.
  Run("-UN_INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), kHead + kOther + kTail);
  EXPECT_TRUE(IsReadOnly(prefix_.dllXml()));
}

TEST_F(Registration, UninstallKeepsADllXmlThatListsOtherAddons) {
  WriteBytes(prefix_.dllXml(), kHead + BlockText() + kOther + kTail);
  Run("-UN_INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), kHead + kOther + kTail);

  // Once the last add-on is gone, dll.xml goes too, read-only or not.
  WriteBytes(prefix_.dllXml(), kHead + BlockText() + kTail);
  MakeReadOnly(prefix_.dllXml());
  Run("-UN_INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_FALSE(fs::exists(prefix_.dllXml()));
}

TEST_F(Registration, InstallRepairsThePmdgEntriesThatLackTheirOpeningTag) {
  WriteBytes(
      prefix_.dllXml(),
      kHead + kOther +
          "\t\t<Name>PMDG_Interface</Name>\r\n\t\t<Path>PMDG\\DLLs\\PMDG_Interface.dll</Path>\r\n\t</Launch.Addon>\r\n"
          "\r\n"
          "\t\t<Name>PMDG_HUD_interface</Name>\r\n\t</Launch.Addon>\r\n" +
          kTail);
  Run("-INSTALL");
  EXPECT_EQ(ReadBytes(prefix_.dllXml()),
            kHead + kOther +
                "\t<Launch.Addon>\r\n\t\t<Name>PMDG_Interface</Name>\r\n\t\t<Path>PMDG\\DLLs\\PMDG_Interface.dll</"
                "Path>\r\n\t</Launch.Addon>\r\n"
                "\r\n"
                "\t<Launch.Addon>\r\n\t\t<Name>PMDG_HUD_interface</Name>\r\n\t</Launch.Addon>\r\n" +
                BlockText() + kTail);
}

TEST_F(Registration, LetterCaseMattersInLinesAndInTheArgument) {
  const std::string lowerCase = kHead + "\t<Launch.Addon>\r\n\t\t<name>ORVANTE</name>\r\n\t</Launch.Addon>\r\n" + kTail;
  WriteBytes(prefix_.dllXml(), lowerCase);
  for (const char* argument : {"-install", "INSTALL", "-INSTALL ", "-Un_Install", ""}) {
    Run(argument);
    EXPECT_EQ(ReadBytes(prefix_.dllXml()), lowerCase) << argument;
  }
  EXPECT_EQ(RunRegistration(std::nullopt), 0);
  std::vector<platform::MessageBoxRecord> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 6u);
  for (const platform::MessageBoxRecord& box : boxes) {
    EXPECT_EQ(box.text, kNotForDirectUseText);
    EXPECT_EQ(box.flags & 0xF0u, platform::kMbIconWarning);
  }

  platform::BuiltInHeadlessUserInterface().Clear();
  Run("-INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ReadBytes(prefix_.dllXml()),
            kHead + "\t<Launch.Addon>\r\n\t\t<name>ORVANTE</name>\r\n\t</Launch.Addon>\r\n" + BlockText() + kTail);
}

TEST_F(Registration, WithoutTheRegistryEntryInstallWarnsAndStillRegisters) {
  prefix_.WriteUserRegistry("");
  WriteBytes(prefix_.dllXml(), kHead + kOther + kTail);
  Run("-INSTALL");
  ExpectOneBox(kSimulatorNotFoundText, platform::kMbIconWarning);
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), kHead + kOther + BlockText() + kTail);
  EXPECT_FALSE(fs::exists(prefix_.backup()));
}

TEST_F(Registration, WithoutTheRegistryEntryUninstallWarnsRestoresNothingAndStillRemoves) {
  WriteBytes(prefix_.dllXml(), kHead + kOther + BlockText() + kTail);
  WriteBytes(prefix_.backup(), kHead + kTail);
  fs::remove(prefix_.root() / "user.reg");
  Run("-UN_INSTALL");
  ExpectOneBox(kSimulatorNotFoundText, platform::kMbIconWarning);
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), kHead + kOther + kTail);
  EXPECT_TRUE(fs::exists(prefix_.backup()));
}

TEST_F(Registration, ARegistryPathWithoutFsxExeCountsAsNotFound) {
  fs::remove(prefix_.fsxFolder() / "fsx.exe");
  Run("-INSTALL");
  ExpectOneBox(kSimulatorNotFoundText, platform::kMbIconWarning);
  EXPECT_FALSE(fs::exists(prefix_.dllXml()));
}

TEST_F(Registration, TheMachineSetupPathStandsInForAMissingUserAppPath) {
  prefix_.WriteUserRegistry("C:\\Games\\Nowhere\\");
  // Windows ignores letter case in paths and so does the lookup.
  prefix_.WriteMachineRegistry("c:\\PROGRAM FILES (X86)\\steam\\SteamApps\\common\\fsx", /*wow64=*/true);
  Run("-INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), ReadBytes(prefix_.templateFile()));

  fs::remove(prefix_.dllXml());
  prefix_.WriteMachineRegistry(WinePrefix::FsxWindowsPath(), /*wow64=*/false);
  Run("-INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(fs::exists(prefix_.dllXml()));
}

TEST_F(Registration, AMissingTemplateIsNamedAndAnExistingDllXmlStillGetsTheBlock) {
  fs::remove(prefix_.templateFile());
  Run("-INSTALL");
  const std::string templatePath = platform::JoinPath({prefix_.fsxFolder().string(), "ORVANTE\\res\\dll.xml"});
  ExpectOneBox(TemplateMissingText(templatePath), platform::kMbIconWarning);
  EXPECT_NE(Boxes()[0].text.find(templatePath), std::string::npos);
  EXPECT_FALSE(fs::exists(prefix_.dllXml()));

  platform::BuiltInHeadlessUserInterface().Clear();
  WriteBytes(prefix_.dllXml(), kHead + kOther + kTail);
  Run("-INSTALL");
  ExpectOneBox(TemplateMissingText(templatePath), platform::kMbIconWarning);
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), kHead + kOther + BlockText() + kTail);
  EXPECT_FALSE(fs::exists(prefix_.backup()));
}

TEST_F(Registration, UninstallRemovesOnlyOurEditedEntry) {
  const std::string edited =
      "\t<Launch.Addon>\r\n\t\t<Name>ORVANTE</Name>\r\n\t\t<Path>.\\ORVANTE\\ORVANTE.dll</Path>\r\n\t</"
      "Launch.Addon>\r\n";
  WriteBytes(prefix_.dllXml(), kHead + edited + kOther + kTail);
  Run("-UN_INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), kHead + kOther + kTail);
}

TEST_F(Registration, UninstallLeavesANameOutsideAWholeEntryAndReportsFailure) {
  const std::string broken = kHead + kOther + "\t\t<Name>ORVANTE</Name>\r\n\t</Launch.Addon>\r\n" + kOther + kTail;
  WriteBytes(prefix_.dllXml(), broken);
  Run("-UN_INSTALL");
  ExpectOneBox(kFailureText, platform::kMbIconInformation);
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), broken);
}

TEST_F(Registration, AFailedRestoreLeavesDllXmlAndTheBackupInPlace) {
  // dll.xml is a folder with something in it: no rename can replace it.
  fs::create_directories(prefix_.dllXml() / "kept");
  WriteBytes(prefix_.backup(), kHead + kOther + kTail);
  Run("-UN_INSTALL");
  ExpectOneBox(kFailureText, platform::kMbIconInformation);
  EXPECT_TRUE(fs::exists(prefix_.dllXml() / "kept"));
  EXPECT_EQ(ReadBytes(prefix_.backup()), kHead + kOther + kTail);
}

TEST_F(Registration, AFileThatIsNotSingleByteTextIsLeftAlone) {
  const std::string utf16("\xFF\xFE<\0?\0x\0m\0l\0>\0\r\0\n\0", 18);
  WriteBytes(prefix_.dllXml(), utf16);
  Run("-INSTALL");
  ExpectOneBox(kFailureText, platform::kMbIconInformation);
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), utf16);
  // A NUL that only pads the end is cut off as the line reader always did.
  platform::BuiltInHeadlessUserInterface().Clear();
  WriteBytes(prefix_.dllXml(), kHead + kOther + kTail + std::string(3, '\0'));
  Run("-INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), kHead + kOther + BlockText() + kTail);
}

TEST_F(Registration, AReadOnlyBackupOfAnEarlierInstallIsReplaced) {
  const std::string stale = kHead + "\t<Launch.Addon>\r\n\t\t<Name>Long gone</Name>\r\n\t</Launch.Addon>\r\n" + kTail;
  WriteBytes(prefix_.backup(), stale);
  MakeReadOnly(prefix_.backup());  // a copy over it would fail, as on Windows
  WriteBytes(prefix_.dllXml(), kHead + kOther + kTail);
  Run("-INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ReadBytes(prefix_.backup()), kHead + kOther + kTail);
  EXPECT_FALSE(IsReadOnly(prefix_.backup()));

  // Uninstall puts back what dll.xml held before this install, not the stale copy.
  Run("-UN_INSTALL");
  EXPECT_EQ(ReadBytes(prefix_.dllXml()), kHead + kOther + kTail);
}

TEST_F(Registration, AProtonPrefixKeepsDllXmlInSteamusersRoamingFolder) {
  const fs::path proton = prefix_.root() / "drive_c" / "users" / "steamuser" / "AppData" / "Roaming";
  fs::create_directories(proton / "Microsoft" / "FSX-SE");
  fs::rename(prefix_.root() / "drive_c" / "users" / "pilot", prefix_.root() / "drive_c" / "users" / "elsewhere");
  WriteBytes(proton / "Microsoft" / "FSX-SE" / "dll.xml", kHead + kOther + kTail);
  Run("-INSTALL");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(ReadBytes(proton / "Microsoft" / "FSX-SE" / "dll.xml"), kHead + kOther + BlockText() + kTail);
}

TEST_F(Registration, WithoutARoamingFolderBothActionsFail) {
  fs::remove_all(prefix_.root() / "drive_c" / "users");
  Run("-INSTALL");
  Run("-UN_INSTALL");
  std::vector<platform::MessageBoxRecord> boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, kFailureText);
  EXPECT_EQ(boxes[1].text, kFailureText);
  EXPECT_FALSE(fs::exists("/Microsoft/FSX-SE/dll.xml"));
}

}  // namespace
}  // namespace addovar
