// libFuzzer target for the flight report's transcript reader (one flat JSON
// object a line) and the grouping of its cues into callouts. Besides crashes
// and sanitizer reports it checks what must hold for any input:
//  - a refused transcript gives "transcript line L, column C: ..." with L
//    within the text;
//  - accepted cues have finite times in order, names that are not empty and
//    line numbers that grow;
//  - the cues, written back as transcript lines, read back the same;
//  - the callouts are numbered 1, 2, ... in time order and hold every cue
//    once, in order, each with its words.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "callouts.h"
#include "transcript.h"

namespace {

using namespace orvante::report;

void Require(bool condition) {
  if (!condition) std::abort();
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

const PhraseBook& Phrases() {
  static const PhraseBook book = [] {
    PhraseBook phrases;
    phrases.AddManifest(
        "# a few cues of the default voice\r\n"
        "onrwy28r say on runway two eight right\r\n"
        "apprwy28r say pause=200 approaching two eight right\n"
        "100 say one hundred\n"
        "caution wav caution.wav\n"
        "empty say pause=50\n");
    return phrases;
  }();
  return book;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<TranscriptCue> cues;
  if (auto read = ReadTranscript(text, cues); !read) {
    const std::string& error = read.error();
    unsigned line = 0, column = 0;
    int consumed = 0;
    Require(std::sscanf(error.c_str(), "transcript line %u, column %u: %n", &line, &column, &consumed) == 2);
    Require(consumed > 0 && static_cast<size_t>(consumed) < error.size());
    size_t lines = 1;
    for (char c : text) lines += c == '\n';
    Require(line >= 1 && line <= lines && column >= 1);
    return 0;
  }
  for (size_t i = 0; i < cues.size(); ++i) {
    Require(std::isfinite(cues[i].t) && !cues[i].cue.empty() && cues[i].line >= 1);
    if (i > 0) Require(cues[i].t >= cues[i - 1].t && cues[i].line > cues[i - 1].line);
  }

  std::string written;
  char number[64];
  for (const TranscriptCue& cue : cues) {
    std::snprintf(number, sizeof number, "%.17g", cue.t);
    written += std::string("{\"t\":") + number + ",\"type\":\"cue\",\"cue\":" + Quote(cue.cue) +
               ",\"cut\":" + (cue.cut ? "true" : "false") + "}\n";
  }
  std::vector<TranscriptCue> again;
  Require(ReadTranscript(written, again).ok());
  Require(again.size() == cues.size());
  for (size_t i = 0; i < cues.size(); ++i) {
    Require(again[i].t == cues[i].t && again[i].cue == cues[i].cue && again[i].cut == cues[i].cut);
  }

  std::vector<Callout> callouts = GroupCallouts(cues, Phrases());
  size_t next = 0;
  for (size_t i = 0; i < callouts.size(); ++i) {
    const Callout& callout = callouts[i];
    Require(callout.number == i + 1 && !callout.cues.empty() && !callout.phrase.empty());
    if (i > 0) Require(callout.t > callouts[i - 1].t);
    for (const std::string& cue : callout.cues) Require(next < cues.size() && cues[next++].cue == cue);
  }
  Require(next == cues.size());
  return 0;
}
