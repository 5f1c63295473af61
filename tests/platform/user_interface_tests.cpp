// The headless front end and the window registry.
#include "platform/user_interface.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(HeadlessFrontEnd, RecordsBoxesAndAnswersWithTheDefaultButton) {
  HeadlessUserInterface& ui = BuiltInHeadlessUserInterface();
  ui.Clear();
  std::vector<std::string> heard;
  ui.SetListener([&](const MessageBoxRecord& box) { heard.push_back(box.caption); });
  EXPECT_EQ(MessageBox(nullptr, "The R4.CSV file is MISSING!", "Orvante", MB_OK | MB_ICONERROR), IDOK);
  EXPECT_EQ(MessageBox(nullptr, "Link?", "Orvante", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(MessageBox(nullptr, "Sure?", "Orvante", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_TRUE(ShellExecuteOpen("/tmp/ORVANTE.LOG"));
  auto boxes = ui.Boxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "The R4.CSV file is MISSING!");
  EXPECT_EQ(boxes[0].flags, MB_OK | MB_ICONERROR);
  EXPECT_STREQ(AnswerName(boxes[1].answer), "Yes");
  EXPECT_STREQ(AnswerName(boxes[2].answer), "No");
  EXPECT_EQ(heard.size(), 3u);
  EXPECT_EQ(ui.Opened(), std::vector<std::string>{"/tmp/ORVANTE.LOG"});
  ui.SetListener(nullptr);
  ui.Clear();
}

TEST(Windows, FoundByClassUntilUnregistered) {
  EXPECT_EQ(FindWindow("FS98MAIN"), nullptr);
  WindowHandle main = RegisterTopLevelWindow("FS98MAIN");
  EXPECT_EQ(FindWindow("FS98MAIN"), main);
  EXPECT_EQ(FindWindow("fs98main"), nullptr);
  UnregisterTopLevelWindow(main);
  EXPECT_EQ(FindWindow("FS98MAIN"), nullptr);
}
