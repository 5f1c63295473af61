// Grouping cues into callouts and putting them into words.
#include "callouts.h"

#include <algorithm>
#include <cctype>

#include "common/text.h"

namespace orvante::report {

namespace {

// The unit queues an announcement's cues in one update cycle, so they carry
// one time; the next cycle comes a quarter of a second later.
constexpr double kSameAnnouncementSeconds = 0.01;

std::string Upper(std::string text) { return common::ToUpperAscii(text); }

}  // namespace

void PhraseBook::AddManifest(std::string_view text) {
  common::LineReader lines(text);
  for (std::string_view view; lines.Next(view);) {
    const std::string line(view);
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

namespace {

bool StartsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

bool IsNumberCue(const std::string& cue) {
  return !cue.empty() && std::all_of(cue.begin(), cue.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string CalloutKind(const Callout& callout, const PhraseBook& phrases) {
  if (callout.cues.empty()) return "";
  const std::string& first = callout.cues.front();
  if (StartsWith(first, "onrwy")) return "on runway";
  if (StartsWith(first, "apprwy")) return "approaching a runway";
  if (first == "apprrunways") return "approaching runways";
  // A spoken distance: numbers, then the unit and the word after it.
  if (IsNumberCue(first)) {
    const std::string& last = callout.cues.back();
    if (last == "remaining" || last == "available") return "distance " + last;
  }
  return "\"" + phrases.Phrase(first) + "\"";
}

std::string CalloutCounts(const std::vector<Callout>& callouts, const PhraseBook& phrases) {
  if (callouts.empty()) return "no callouts";
  std::vector<std::pair<std::string, unsigned>> kinds;  // in order of first appearance
  for (const Callout& callout : callouts) {
    std::string kind = CalloutKind(callout, phrases);
    auto found = std::find_if(kinds.begin(), kinds.end(), [&](const auto& k) { return k.first == kind; });
    if (found == kinds.end()) kinds.emplace_back(kind, 1);
    else ++found->second;
  }
  std::stable_sort(kinds.begin(), kinds.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  std::string text = std::to_string(callouts.size()) + (callouts.size() == 1 ? " callout: " : " callouts: ");
  for (size_t i = 0; i < kinds.size(); ++i)
    text += (i == 0 ? "" : ", ") + std::to_string(kinds[i].second) + " " + kinds[i].first;
  return text;
}

}  // namespace orvante::report
