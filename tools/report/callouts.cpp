// Grouping cues into callouts and putting them into words.
#include "callouts.h"

#include <cctype>

namespace orvante::report {

namespace {

// The unit queues an announcement's cues in one update cycle, so they carry
// one time; the next cycle comes a quarter of a second later.
constexpr double kSameAnnouncementSeconds = 0.01;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

void PhraseBook::AddManifest(std::string_view text) {
  size_t position = 0;
  while (position < text.size()) {
    size_t end = text.find('\n', position);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(position, end - position));
    position = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t cueEnd = line.find(' ');
    if (line.empty() || line[0] == '#' || cueEnd == std::string::npos) continue;
    std::string cue = line.substr(0, cueEnd);
    std::string rest = line.substr(cueEnd + 1);
    if (rest.rfind("say ", 0) != 0) continue;
    rest = rest.substr(4);
    if (rest.rfind("pause=", 0) == 0) {
      size_t space = rest.find(' ');
      rest = space == std::string::npos ? "" : rest.substr(space + 1);
    }
    if (!rest.empty()) phrases_[cue] = rest;
  }
}

std::string PhraseBook::Phrase(const std::string& cue) const {
  auto found = phrases_.find(cue);
  if (found != phrases_.end()) return found->second;
  if (cue.rfind("onrwy", 0) == 0 && cue.size() > 5) return "on runway " + Upper(cue.substr(5));
  if (cue.rfind("apprwy", 0) == 0 && cue.size() > 6) return "approaching runway " + Upper(cue.substr(6));
  return cue;
}

std::vector<Callout> GroupCallouts(const std::vector<TranscriptCue>& cues, const PhraseBook& phrases) {
  std::vector<Callout> callouts;
  double lastT = -1e300;
  for (const TranscriptCue& cue : cues) {
    if (callouts.empty() || cue.t - lastT > kSameAnnouncementSeconds) {
      Callout callout;
      callout.number = static_cast<unsigned>(callouts.size() + 1);
      callout.t = cue.t;
      callouts.push_back(callout);
    }
    Callout& callout = callouts.back();
    std::string words = phrases.Phrase(cue.cue);
    callout.phrase += (callout.phrase.empty() ? "" : " ") + words;
    callout.cues.push_back(cue.cue);
    lastT = cue.t;
  }
  return callouts;
}

}  // namespace orvante::report
