// Manifest parsing: whitespace-separated fields, the phrase or file name is
// the rest of the line.
#include "soundset/sound_set_manifest.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "common/text.h"

namespace orvante::soundset {
namespace {

std::string Trim(const std::string& s) { return std::string(common::Trim(s, common::kWhiteSpace)); }

// Splits off the first whitespace-separated word of rest.
std::string TakeWord(std::string& rest) {
  rest = Trim(rest);
  size_t end = 0;
  while (end < rest.size() && !std::isspace(static_cast<unsigned char>(rest[end]))) ++end;
  std::string word = rest.substr(0, end);
  rest = Trim(rest.substr(end));
  return word;
}

bool ParseWholeNumber(const std::string& text, int low, int high, int& value) {
  size_t digits = !text.empty() && text[0] == '-' && low < 0 ? 1 : 0;
  if (text.size() <= digits || text.size() > 9) return false;
  for (size_t i = digits; i < text.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  value = std::stoi(text);
  return value >= low && value <= high;
}

bool ValidCueName(const std::string& name) {
  if (name.empty() || name.size() > 255) return false;
  for (char c : name)
    if (!std::isgraph(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace

common::Result<> ParseManifest(const std::string& text, const std::string& baseDir, Manifest& manifest) {
  manifest = {};
  std::string voice = "en-us";
  int speed = 165;
  std::set<std::string> seen;
  std::istringstream in(text);
  std::string raw;
  int lineNumber = 0;
  auto fail = [&](const std::string& what) { return common::Fail("line " + std::to_string(lineNumber) + ": " + what); };
  while (std::getline(in, raw)) {
    ++lineNumber;
    std::string rest = Trim(raw);
    if (rest.empty() || rest[0] == '#') continue;
    std::string first = TakeWord(rest);
    if (first == "voice") {
      if (rest.empty() || rest.find_first_of(" \t") != std::string::npos) return fail("\"voice\" needs one voice name");
      voice = rest;
      continue;
    }
    if (first == "volume") {
      if (!ParseWholeNumber(rest, -60, 6, manifest.volumeDb))
        return fail("\"volume\" needs a level in dB from -60 to 6");
      continue;
    }
    if (first == "speed") {
      if (!ParseWholeNumber(rest, 80, 450, speed)) return fail("\"speed\" needs words a minute from 80 to 450");
      continue;
    }
    ManifestEntry entry;
    entry.cueName = first;
    entry.line = lineNumber;
    entry.voice = voice;
    entry.wordsPerMinute = speed;
    if (!ValidCueName(first))
      return fail("\"" + first + "\" is not a cue name (1 to 255 printable characters, no blanks)");
    std::string kind = TakeWord(rest);
    if (kind != "say" && kind != "wav") return fail("cue \"" + first + "\" needs \"say PHRASE\" or \"wav FILE\"");
    entry.synthesise = kind == "say";
    if (rest.rfind("pause=", 0) == 0) {
      std::string value = TakeWord(rest).substr(6);
      if (!ParseWholeNumber(value, 0, 10000, entry.pauseMs)) return fail("pause must be 0 to 10000 milliseconds");
    }
    if (rest.empty()) return fail("cue \"" + first + "\" has no " + (entry.synthesise ? "phrase" : "file"));
    if (entry.synthesise) {
      entry.phrase = rest;
    } else {
      std::filesystem::path path(rest);
      entry.wavPath = path.is_absolute() ? rest : (std::filesystem::path(baseDir) / path).string();
    }
    if (!seen.insert(first).second) return fail("cue \"" + first + "\" appears twice");
    manifest.entries.push_back(std::move(entry));
  }
  if (manifest.entries.empty()) {
    return common::Fail("the manifest names no cues");
  }
  return {};
}

common::Result<> ReadManifest(const std::string& path, Manifest& manifest) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return common::Fail("cannot open " + path);
  }
  std::ostringstream text;
  text << in.rdbuf();
  std::string base = std::filesystem::path(path).parent_path().string();
  if (auto parsed = ParseManifest(text.str(), base.empty() ? "." : base, manifest); !parsed)
    return common::Fail(path + ": " + parsed.error());
  return {};
}

}  // namespace orvante::soundset
