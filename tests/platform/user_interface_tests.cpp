// The headless front end and the window registry.
#include "platform/user_interface.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(HeadlessFrontEnd, RecordsBoxesAndAnswersWithTheDefaultButton) {
  HeadlessUserInterface& ui = BuiltInHeadlessUserInterface();
  SetUserInterface(&ui);  // (a Windows process would have Windows' own boxes otherwise)
  ui.Clear();
  std::vector<std::string> heard;
  ui.SetListener([&](const MessageBoxRecord& box) { heard.push_back(box.caption); });
  EXPECT_EQ(MessageBoxU8(nullptr, "The R4.CSV file is MISSING!", "Orvante", kMbOk | kMbIconError), kIdOk);
  EXPECT_EQ(MessageBoxU8(nullptr, "Link?", "Orvante", kMbYesNo | kMbIconQuestion), kIdYes);
  EXPECT_EQ(MessageBoxU8(nullptr, "Sure?", "Orvante", kMbYesNo | kMbDefButton2), kIdNo);
  EXPECT_TRUE(ShellExecuteOpen("/tmp/ORVANTE.LOG"));
  auto boxes = ui.Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "The R4.CSV file is MISSING!");
  EXPECT_EQ(boxes[0].flags, kMbOk | kMbIconError);
  EXPECT_STREQ(AnswerName(boxes[1].answer), "Yes");
  EXPECT_STREQ(AnswerName(boxes[2].answer), "No");
  EXPECT_EQ(heard.size(), 3u);
  EXPECT_EQ(ui.Opened(), std::vector<std::string>{"/tmp/ORVANTE.LOG"});
  ui.SetListener(nullptr);
  ui.Clear();
}

TEST(Windows, FoundByClassUntilUnregistered) {
  EXPECT_EQ(FindWindowU8("FS98MAIN"), nullptr);
  WindowHandle main = RegisterTopLevelWindow("FS98MAIN");
  EXPECT_EQ(FindWindowU8("FS98MAIN"), main);
#ifdef _WIN32
  EXPECT_EQ(FindWindowU8("fs98main"), main);  // Windows' class names ignore letter case
#else
  EXPECT_EQ(FindWindowU8("fs98main"), nullptr);
#endif
  UnregisterTopLevelWindow(main);
  EXPECT_EQ(FindWindowU8("FS98MAIN"), nullptr);
}
