// The transcript's lines: their JSON, the virtual time, and the module's log
// followed as it grows, partial lines and a truncation included.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "temp_folder.h"
#include "transcript.h"

namespace sim {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Transcript, WritesEachLineTypeWithTheVirtualTimeAndFollowsTheLog) {
  TempFolder folder;
  std::filesystem::path outPath = folder.path() / "out.jsonl";
  std::filesystem::path logPath = folder.path() / "ORVANTE.LOG";
  FILE* out = std::fopen(outPath.c_str(), "w");
  ASSERT_NE(out, nullptr);
  int64_t now = 0;
  Transcript transcript(out, [&now] { return now; });
  transcript.FollowLog(logPath.string());
  transcript.ReadLog();  // no log yet: nothing

  {
    std::ofstream log(logPath, std::ios::binary);
    log << "Searching for Flight Simulator's Main Window...\n"
        << "Aircraft Loaded....\nC:\\a \"b\"\tc \n"
        << "half";
  }
  now = 12250000;
  transcript.Cue("onrwy28l", false);  // the log written before it comes first
  now = 12266666;
  transcript.Alert(4);
  transcript.Lvar("ORVA_Rwy_Var3", 1);
  transcript.Lvar("ORVA_Volume_Adjust", 0.5);
  transcript.Box("Orvante", "line one\nline two", "OK");
  transcript.Text("Orvante - Current altitude (MSL): 18500.00 (Ft)");
  {
    std::ofstream log(logPath, std::ios::binary | std::ios::app);
    log << " line\n";
  }
  now = 13000000;
  transcript.ReadLog();
  {  // the module started again: a shorter log
    std::ofstream log(logPath, std::ios::binary);
    log << "new\n";
  }
  transcript.ReadLog();
  std::fclose(out);

  EXPECT_EQ(
      ReadAll(outPath),
      "{\"t\":12.250,\"type\":\"log\",\"line\":\"Searching for Flight Simulator's Main Window...\"}\n"
      "{\"t\":12.250,\"type\":\"log\",\"line\":\"Aircraft Loaded....\"}\n"
      "{\"t\":12.250,\"type\":\"log\",\"line\":\"C:\\\\a \\\"b\\\"\\tc \"}\n"
      "{\"t\":12.250,\"type\":\"cue\",\"cue\":\"onrwy28l\",\"cut\":false}\n"
      "{\"t\":12.266,\"type\":\"alert\",\"word\":4}\n"
      "{\"t\":12.266,\"type\":\"lvar\",\"name\":\"ORVA_Rwy_Var3\",\"value\":1}\n"
      "{\"t\":12.266,\"type\":\"lvar\",\"name\":\"ORVA_Volume_Adjust\",\"value\":0.5}\n"
      "{\"t\":12.266,\"type\":\"box\",\"caption\":\"Orvante\",\"text\":\"line one\\nline two\",\"answer\":\"OK\"}\n"
      "{\"t\":12.266,\"type\":\"text\",\"text\":\"Orvante - Current altitude (MSL): 18500.00 (Ft)\"}\n"
      "{\"t\":13.000,\"type\":\"log\",\"line\":\"half line\"}\n"
      "{\"t\":13.000,\"type\":\"log\",\"line\":\"new\"}\n");
  EXPECT_EQ(transcript.LineCount(), 11u);
  EXPECT_EQ(Transcript::Quote(std::string("\x01\x7f", 2)), "\"\\u0001\\u007f\"");
}

}  // namespace
}  // namespace sim
