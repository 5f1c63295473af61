// Folders and transcripts for the reliability tests.
#include "sim_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "program_run.h"

namespace faults {

namespace fs = std::filesystem;

std::string SimulatorProgram() { return BuildDir() + "/bin/orvante-sim"; }

std::string CopySimulatorFolder(const TempFolder& folder) {
  const fs::path from = BuildDir() + "/sim";
  const fs::path to = folder.Path("sim");
  fs::create_directories(to);
  for (const auto& entry : fs::directory_iterator(from)) {
    if (entry.path().filename() == "AppData") continue;  // a user folder of earlier runs
    fs::copy(entry.path(), to / entry.path().filename(), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  }
  return to.string();
}

std::string WriteUserFolders(const TempFolder& folder, const std::string& extraProfileLines) {
  folder.Write("app/ORVANTE/Profiles/TEST.INI", "[ORVANTE]\nMasterSwitch=1\nModel.0=B738\n" + extraProfileLines);
  folder.Write("app/ORVANTE/ORVANTE.INI", "[ORVANTE]\nDEFAULTProfile=TEST\nMasterVolume=5\n");
  std::ifstream cfg(ORVANTE_TEST_AIRCRAFT_CONFIG, std::ios::binary);
  folder.Write("aircraft/B738/aircraft.cfg", std::string(std::istreambuf_iterator<char>(cfg), {}));
  return folder.Path("app");
}

namespace {

// The value of a string field of a transcript line ("\"name\":\"...\""),
// with the escapes the transcript writes undone.
std::string StringField(const std::string& line, const std::string& name) {
  std::string key = "\"" + name + "\":\"";
  size_t at = line.find(key);
  if (at == std::string::npos) return {};
  std::string value;
  for (size_t i = at + key.size(); i < line.size() && line[i] != '"'; ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) {
      char e = line[++i];
      if (e == 'n') value += '\n';
      else if (e == 'u' && i + 4 < line.size()) {
        value += static_cast<char>(std::strtol(line.substr(i + 1, 4).c_str(), nullptr, 16));
        i += 4;
      } else value += e;
    } else {
      value += line[i];
    }
  }
  return value;
}

}  // namespace

std::vector<TranscriptLine> ReadTranscriptLines(const std::string& path) {
  std::vector<TranscriptLine> lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string text; std::getline(in, text);) {
    TranscriptLine line;
    size_t t = text.find("\"t\":");
    if (t == std::string::npos) continue;
    line.t = std::atof(text.c_str() + t + 4);
    line.type = StringField(text, "type");
    if (line.type == "cue") line.text = StringField(text, "cue");
    else if (line.type == "log") line.text = StringField(text, "line");
    else continue;
    lines.push_back(line);
  }
  return lines;
}

int CountCues(const std::vector<TranscriptLine>& lines, double from, double to) {
  int count = 0;
  for (const TranscriptLine& line : lines)
    if (line.type == "cue" && line.t >= from && line.t < to) ++count;
  return count;
}

const TranscriptLine* FindLog(const std::vector<TranscriptLine>& lines, const std::string& text, double from) {
  for (const TranscriptLine& line : lines)
    if (line.type == "log" && line.t >= from && line.text.find(text) != std::string::npos) return &line;
  return nullptr;
}

}  // namespace faults
