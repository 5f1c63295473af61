// The failure callback's log line and boxes, and the description box read from
// VSCORVA\syserrors.ini, including the file this project installs.
#include "voice/audio_error_reporting.h"

#include "platform/ini_file.h"
#include "voice_test_fixture.h"

using namespace orvante;

TEST_F(VoiceTest, AResultOfZeroOrAnUnknownCodeShowsNothing) {
  WriteDescriptions("126=ERROR_MOD_NOT_FOUND*gone\r\n");
  for (uint32_t code : {0u, 1u, 0x40u, 0x10000u}) EXPECT_EQ(AudioErrorCallback(code, 0), 1);
  EXPECT_EQ(AudioErrorCallback(3, 0x8007007E), 1);
  EXPECT_EQ(AudioErrorCallback(0x100, 0x8007007E), 1);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_TRUE(VoiceLogLines().empty());
}

TEST_F(VoiceTest, ALoadFailureLogsAndShowsTheModulesBoxThenTheDescription) {
  WriteDescriptions("126=ERROR_MOD_NOT_FOUND*A module could not be found.\r\n");
  EXPECT_EQ(AudioErrorCallback(0, 0x8007007E), 1);
  const std::string text =
      "The VSCAUDIO.DLL Failed to load with Error Code 0x8007007e\nBe sure the VSCAUDIO.DLL is in the "
      "\\Windows\\System32 folder.\n then restart the application.";
  EXPECT_EQ(VoiceLogLines(), std::vector<std::string>{text + "...\n"});
  auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "VSCAUDIO.DLL Failed to Load.");
  EXPECT_EQ(boxes[0].text, text);
  EXPECT_EQ(boxes[0].flags, platform::kMbOk);
  EXPECT_EQ(boxes[1].caption, "Vescor Audio Engine HR Code");
  EXPECT_EQ(boxes[1].text,
            "HRESULT_CODE = 126\nError name: ERROR_MOD_NOT_FOUND\nError description: A module could not "
            "be found.");
  EXPECT_EQ(boxes[1].flags, platform::kMbOk);
}

TEST_F(VoiceTest, LibraryCodesCarryTheirCaptionsAndTheSupportText) {
  AudioErrorCallback(0x40000, 0x80070057);
  AudioErrorCallback(0x80, 0x80010106);
  auto boxes = Boxes();  // no description file: one box each
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Invalid XBS Path.");
  EXPECT_EQ(boxes[0].text, "Please contact support and quote error code\n 0x80070057\nand the message box title.");
  EXPECT_EQ(boxes[1].caption, "Audio Com Init Failed.");
  EXPECT_EQ(boxes[1].text, "Please try re-booting your computer. \n Error code 0x80010106");
}

TEST_F(VoiceTest, DescriptionsSplitAtTheAsterisksAndSayWhenACodeIsUnlisted) {
  WriteDescriptions(
      "87=E_INVALIDARG*bad parameter*ignored after the second asterisk\r\n"
      "5=JUST_A_NAME\r\n"
      "6=\r\n"
      "7=" +
      std::string(80, 'N') + "*" + std::string(300, 'd') + "\r\n");
  EXPECT_EQ(DescribeResultCode(87), "HRESULT_CODE = 87\nError name: E_INVALIDARG\nError description: bad parameter");
  EXPECT_EQ(DescribeResultCode(5),
            "HRESULT_CODE = 5\nError name: JUST_A_NAME\nError description: No description available.");
  const std::string unlisted =
      "\nError name: Unknown\nError description: This result code is not listed in "
      "syserrors.ini.";
  EXPECT_EQ(DescribeResultCode(6), "HRESULT_CODE = 6" + unlisted);
  EXPECT_EQ(DescribeResultCode(4), "HRESULT_CODE = 4" + unlisted);
  // Values are read up to 255 characters; the name keeps 64 of them.
  EXPECT_EQ(DescribeResultCode(7), "HRESULT_CODE = 7\nError name: " + std::string(64, 'N') +
                                       "\nError description: " + std::string(255 - 81, 'd'));
  ShowResultDescription(5);
  ASSERT_EQ(Boxes().size(), 1u);
}

TEST_F(VoiceTest, WithoutTheDescriptionFileThereIsNoDescriptionBox) {
  EXPECT_EQ(DescribeResultCode(126), "");
  ShowResultDescription(126);
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(VoiceTest, TheInstalledDescriptionFileDescribesTheLibrarysCodes) {
  const std::string path = std::string(ORVANTE_SIM_FOLDER) + "/VSCORVA/syserrors.ini";
  ASSERT_TRUE(std::filesystem::exists(path)) << path;
  char keys[8192];
  uint32_t length = platform::GetPrivateProfileStringU8("Errors", nullptr, "", keys, sizeof keys, path.c_str());
  std::vector<std::string> listed;
  for (const char* key = keys; key < keys + length && *key; key += std::strlen(key) + 1) listed.push_back(key);
  EXPECT_GE(listed.size(), 15u);
  for (const std::string& key : listed) {
    char* end = nullptr;
    long code = std::strtol(key.c_str(), &end, 10);
    EXPECT_TRUE(*end == '\0' && code > 0 && code <= 0xFFFF) << key;
    std::string value = platform::ReadProfileString("Errors", key.c_str(), "", path.c_str(), 1000);
    size_t star = value.find('*');
    EXPECT_TRUE(star != std::string::npos && star > 0 && star <= 64 && value.size() <= 255) << key;
  }
  // E_INVALIDARG from a missing project file, a missing module, a missing
  // export, no device yet, no device at all (Windows' audio endpoint), and the
  // Win32 errors of file access.
  for (const char* key : {"87", "126", "127", "16385", "1168", "2", "3", "5", "8"})
    EXPECT_NE(std::find(listed.begin(), listed.end(), key), listed.end()) << key;
}
