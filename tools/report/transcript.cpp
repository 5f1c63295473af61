// The transcript reader: one flat JSON object a line.
#include "transcript.h"

#include <cmath>
#include <cstdlib>
#include <map>

#include "common/text.h"

namespace orvante::report {

namespace {

struct Value {
  enum class Kind { kString, kNumber, kBool, kNull } kind = Kind::kNull;
  std::string text;
  double number = 0;
  bool flag = false;
};

// A parser for the one shape transcript lines have: an object whose values
// are strings, numbers, true, false or null.
class LineParser {
 public:
  explicit LineParser(std::string_view line) : line_(line) {}

  common::Result<> Parse(std::map<std::string, Value>& fields) {
    SkipBlanks();
    if (!Take('{')) return Error("expected '{'");
    SkipBlanks();
    if (Take('}')) return Finish();
    while (true) {
      SkipBlanks();
      std::string key;
      if (Peek() != '"') return Error("expected a quoted name");
      if (auto read = String(key); !read) return read;
      SkipBlanks();
      if (!Take(':')) return Error("expected ':'");
      SkipBlanks();
      Value value;
      if (auto read = ValueAt(value); !read) return read;
      fields[key] = value;
      SkipBlanks();
      if (Take(',')) continue;
      if (Take('}')) return Finish();
      return Error("expected ',' or '}'");
    }
  }

  size_t Column() const { return position_ + 1; }

 private:
  char Peek() const { return position_ < line_.size() ? line_[position_] : '\0'; }
  bool Take(char c) {
    if (Peek() != c || position_ >= line_.size()) return false;
    ++position_;
    return true;
  }
  void SkipBlanks() {
    while (position_ < line_.size() && (line_[position_] == ' ' || line_[position_] == '\t')) ++position_;
  }
  common::Failure Error(const std::string& what) const { return common::Fail(what); }

  common::Result<> Finish() {
    SkipBlanks();
    if (position_ != line_.size()) return Error("unexpected text after the object");
    return {};
  }

  common::Result<> String(std::string& out) {
    ++position_;  // the opening quote
    while (position_ < line_.size()) {
      char c = line_[position_];
      if (c == '"') {
        ++position_;
        return {};
      }
      if (static_cast<unsigned char>(c) < 0x20) return Error("control character in a string");
      if (c == '\\') {
        ++position_;
        char e = Peek();
        switch (e) {
          case '"': out += '"'; break;
          case '\\': out += '\\'; break;
          case '/': out += '/'; break;
          case 'b': out += '\b'; break;
          case 'f': out += '\f'; break;
          case 'n': out += '\n'; break;
          case 'r': out += '\r'; break;
          case 't': out += '\t'; break;
          case 'u': {
            if (line_.size() - position_ < 5) return Error("short \\u escape");
            unsigned code = 0;
            for (int i = 1; i <= 4; ++i) {
              char h = line_[position_ + i];
              code <<= 4;
              if (h >= '0' && h <= '9') code |= h - '0';
              else if (h >= 'a' && h <= 'f') code |= h - 'a' + 10;
              else if (h >= 'A' && h <= 'F') code |= h - 'A' + 10;
              else return Error("bad \\u escape");
            }
            position_ += 4;
            // Text only: surrogates and controls are shown as '?'.
            if (code < 0x20 || (code >= 0xD800 && code < 0xE000)) out += '?';
            else if (code < 0x80) out += static_cast<char>(code);
            else if (code < 0x800) {
              out += static_cast<char>(0xC0 | (code >> 6));
              out += static_cast<char>(0x80 | (code & 0x3F));
            } else {
              out += static_cast<char>(0xE0 | (code >> 12));
              out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
              out += static_cast<char>(0x80 | (code & 0x3F));
            }
            break;
          }
          default: return Error("bad escape in a string");
        }
        ++position_;
        continue;
      }
      out += c;
      ++position_;
    }
    return Error("string not closed");
  }

  common::Result<> ValueAt(Value& value) {
    char c = Peek();
    if (c == '"') {
      value.kind = Value::Kind::kString;
      return String(value.text);
    }
    for (const char* word : {"true", "false", "null"}) {
      std::string_view w(word);
      if (line_.substr(position_, w.size()) == w) {
        position_ += w.size();
        value.kind = w == "null" ? Value::Kind::kNull : Value::Kind::kBool;
        value.flag = w == "true";
        return {};
      }
    }
    size_t start = position_;
    while (position_ < line_.size() &&
           std::string_view("+-.0123456789eE").find(line_[position_]) != std::string_view::npos)
      ++position_;
    if (start == position_) return Error("expected a value");
    std::string number(line_.substr(start, position_ - start));
    char* end = nullptr;
    value.number = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size() || !std::isfinite(value.number)) {
      position_ = start;
      return Error("bad number");
    }
    value.kind = Value::Kind::kNumber;
    return {};
  }

  std::string_view line_;
  size_t position_ = 0;
};

}  // namespace

common::Result<> ReadTranscript(std::string_view text, std::vector<TranscriptCue>& cues) {
  cues.clear();
  double lastT = -1e300;
  common::LineReader lines(text);
  for (std::string_view line; lines.Next(line);) {
    const unsigned lineNumber = lines.Number();
    if (common::Trim(line).empty()) continue;

    auto at = [&](size_t column, const std::string& what) {
      return common::Fail("transcript line " + std::to_string(lineNumber) + ", column " + std::to_string(column) +
                          ": " + what);
    };
    std::map<std::string, Value> fields;
    LineParser parser(line);
    if (auto parsed = parser.Parse(fields); !parsed) return at(parser.Column(), parsed.error());
    auto t = fields.find("t");
    if (t == fields.end() || t->second.kind != Value::Kind::kNumber) return at(1, "the line has no number \"t\"");
    if (t->second.number < lastT) return at(1, "\"t\" goes back in time");
    lastT = t->second.number;
    auto type = fields.find("type");
    if (type == fields.end() || type->second.kind != Value::Kind::kString)
      return at(1, "the line has no text \"type\"");
    if (type->second.text != "cue") continue;
    auto cue = fields.find("cue");
    if (cue == fields.end() || cue->second.kind != Value::Kind::kString || cue->second.text.empty()) {
      return at(1, "a cue line without its \"cue\" name");
    }
    auto cut = fields.find("cut");
    cues.push_back({t->second.number, cue->second.text, cut != fields.end() && cut->second.flag, lineNumber});
  }
  return {};
}

}  // namespace orvante::report
