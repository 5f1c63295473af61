// Reading the flight plan text: words and numbers, checked line by line.
#include "flight_plan.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "airport_runways.h"
#include "common/text.h"

namespace orvante::flightplan {

namespace {

struct Token {
  std::string text;
  uint32_t column = 0;  // 1-based
};

std::string Lower(std::string_view text) { return common::ToLowerAscii(text); }

// Walks the tokens of one line. A read that fails records a message that
// points at the token at fault (or just past the line's end when one is
// missing) and answers false; the first failure is the one the plan reports.
class TokenReader {
 public:
  TokenReader(uint32_t line, std::vector<Token> tokens, uint32_t endColumn)
      : line_(line), tokens_(std::move(tokens)), endColumn_(endColumn) {}

  bool AtEnd() const { return next_ >= tokens_.size(); }
  const Token* Peek() const { return AtEnd() ? nullptr : &tokens_[next_]; }
  bool PeekIs(std::string_view word) const { return !AtEnd() && Lower(tokens_[next_].text) == word; }
  void Skip() { ++next_; }
  // Skips the next token when it is the word.
  bool SkipIf(std::string_view word) {
    if (!PeekIs(word)) return false;
    ++next_;
    return true;
  }

  std::string ErrorHere(const std::string& what) const {
    uint32_t column = AtEnd() ? endColumn_ : tokens_[next_].column;
    std::string found = AtEnd() ? "the end of the line" : "'" + tokens_[next_].text + "'";
    return "line " + std::to_string(line_) + ", column " + std::to_string(column) + ": " + what + ", found " + found;
  }
  // Records what was expected here; always false.
  bool Fail(const std::string& what) {
    if (error_.empty()) error_ = ErrorHere(what);
    return false;
  }
  const std::string& Error() const { return error_; }

  bool Word(std::string& out, const std::string& what) {
    if (AtEnd()) return Fail("expected " + what);
    out = tokens_[next_++].text;
    return true;
  }

  bool Expect(std::string_view word) {
    if (!PeekIs(word)) return Fail("expected '" + std::string(word) + "'");
    ++next_;
    return true;
  }

  // A number within [low, high], optionally followed by its unit word
  // ("ft", "kt", "s", "nm", "fpm", "kt/s") where the phase has one.
  bool Number(double& out, double low, double high, const std::string& what, const char* unit = nullptr) {
    if (AtEnd()) return Fail("expected " + what);
    const std::string& text = tokens_[next_].text;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    bool plain = !text.empty() && end == text.c_str() + text.size() &&
                 text.find_first_not_of("+-.0123456789eE") == std::string::npos && std::isfinite(value);
    if (!plain) return Fail("expected " + what);
    if (value < low || value > high) {
      char range[96];
      std::snprintf(range, sizeof range, " from %g to %g", low, high);
      return Fail(what + range);
    }
    out = value;
    ++next_;
    if (unit && PeekIs(unit)) ++next_;
    return true;
  }

  // A number after the word, when the word comes next; true when it does not.
  bool NumberAfter(std::string_view word, double& out, double low, double high, const std::string& what,
                   const char* unit = nullptr) {
    return !SkipIf(word) || Number(out, low, high, what, unit);
  }

  // "left" or "right" as -1 or 1 after a turn; 0 and nothing read otherwise.
  int TurnDirection() {
    if (SkipIf("left")) return -1;
    if (SkipIf("right")) return 1;
    return 0;
  }

 private:
  uint32_t line_;
  std::vector<Token> tokens_;
  uint32_t endColumn_;
  size_t next_ = 0;
  std::string error_;
};

bool ReadRunway(TokenReader& in, std::string& runway) {
  const Token* token = in.Peek();
  if (!token || !LooksLikeDesignator(token->text)) return in.Fail("expected a runway end such as 28R");
  runway = token->text;
  in.Skip();
  return true;
}

bool ReadPlace(TokenReader& in, Place& place) {
  const Token* token = in.Peek();
  if (token && LooksLikeDesignator(token->text)) {
    place.onRunway = true;
    in.Skip();
    place.runway = token->text;
    while (true) {
      if (in.SkipIf("along")) {
        if (!in.Number(place.alongFt, -60000, 60000, "feet along the runway", "ft")) return false;
      } else if (in.PeekIs("left") || in.PeekIs("right")) {
        double sign = in.TurnDirection();
        if (!in.Number(place.rightFt, 0, 60000, "feet from the centreline", "ft")) return false;
        place.rightFt *= sign;
      } else {
        return true;
      }
    }
  }
  place.onRunway = false;
  if (!in.Number(place.latitude, -90, 90, "a runway end (28R) or a latitude in degrees")) return false;
  return in.Number(place.longitude, -180, 180, "a longitude in degrees");
}

bool ReadFlaps(TokenReader& in, int& out) {
  double flaps = 0;
  if (!in.Number(flaps, 0, 10, "a flaps detent")) return false;
  out = static_cast<int>(flaps);
  return true;
}

// ---- one reader a statement keyword ----

bool ReadAirport(TokenReader& in, PlanStep&, FlightPlan& plan) {
  if (!plan.airport.empty()) return in.Fail("the airport is already named");
  return in.Word(plan.airport, "an airport identifier");
}

bool ReadStart(TokenReader& in, PlanStep& step, FlightPlan&) {
  step.kind = PhaseKind::kStart;
  if (!ReadPlace(in, step.place) || !in.Expect("heading")) return false;
  if (!in.Number(step.headingDeg, 0, 360, "a heading in degrees")) return false;
  if (!in.SkipIf("height")) return true;
  // An air start: level flight at a height and speed, for flights that
  // begin on an approach.
  step.airborne = true;
  if (!in.Number(step.heightFt, 50, 20000, "a height above the ground in feet", "ft")) return false;
  if (!in.Expect("speed")) return false;
  return in.Number(step.speedKt, 80, 400, "an airspeed in knots", "kt");
}

bool ReadTaxi(TokenReader& in, PlanStep& step, FlightPlan&) {
  if (in.SkipIf("heading")) {
    step.kind = PhaseKind::kTaxiHeading;
    if (!in.Number(step.headingDeg, 0, 360, "a heading in degrees") || !in.Expect("for")) return false;
    if (!in.Number(step.distanceFt, 1, 100000, "a distance in feet", "ft")) return false;
  } else if (in.SkipIf("to")) {
    step.kind = PhaseKind::kTaxiTo;
    if (!ReadPlace(in, step.place)) return false;
  } else {
    return in.Fail("expected 'heading' or 'to'");
  }
  return in.NumberAfter("speed", step.speedKt, 1, 40, "a taxi speed in knots", "kt");
}

bool ReadLineUp(TokenReader& in, PlanStep& step, FlightPlan&) {
  step.kind = PhaseKind::kLineUp;
  if (!ReadRunway(in, step.runway)) return false;
  return in.NumberAfter("speed", step.speedKt, 1, 30, "a taxi speed in knots", "kt");
}

bool ReadHold(TokenReader& in, PlanStep& step, FlightPlan&) {
  step.kind = PhaseKind::kHold;
  if (!in.Number(step.seconds, 0, 3600, "a time in seconds", "s")) return false;
  return in.NumberAfter("brake", step.brakeKtPerS, 1, 10, "a deceleration in knots per second", "kt/s");
}

bool ReadTakeOff(TokenReader& in, PlanStep& step, FlightPlan&) {
  step.kind = PhaseKind::kTakeOff;
  while (!in.AtEnd()) {
    bool read = false;
    if (in.SkipIf("rotate")) {
      read = in.Number(step.rotateKt, 80, 220, "a rotation speed in knots", "kt");
    } else if (in.SkipIf("climb")) {
      read = in.Number(step.climbFt, 50, 10000, "a height in feet", "ft");
    } else if (in.SkipIf("flaps")) {
      read = ReadFlaps(in, step.flaps);
    } else {
      return in.Fail("expected 'rotate', 'climb' or 'flaps'");
    }
    if (!read) return false;
  }
  return true;
}

bool ReadReject(TokenReader& in, PlanStep& step, FlightPlan&) {
  step.kind = PhaseKind::kRejectedTakeOff;
  if (!in.Number(step.speedKt, 20, 200, "the speed in knots at which the take-off is rejected", "kt")) return false;
  return in.NumberAfter("brake", step.brakeKtPerS, 1, 10, "a deceleration in knots per second", "kt/s");
}

bool ReadClimb(TokenReader& in, PlanStep& step, FlightPlan&) {
  step.kind = PhaseKind::kClimb;
  if (!in.Expect("to") || !in.Number(step.altitudeFt, -1000, 45000, "an altitude in feet", "ft")) return false;
  while (!in.AtEnd()) {
    bool read = false;
    if (in.SkipIf("speed")) {
      read = in.Number(step.speedKt, 1, 400, "a speed in knots", "kt");
    } else if (in.SkipIf("rate")) {
      read = in.Number(step.rateFpm, 100, 6000, "a vertical speed in feet per minute", "fpm");
    } else if (in.SkipIf("heading")) {
      if (!in.Number(step.headingDeg, 0, 360, "a heading in degrees")) return false;
      step.hasHeading = true;
      if (int direction = in.TurnDirection()) step.turnDirection = direction;
      continue;
    } else {
      return in.Fail("expected 'speed', 'rate' or 'heading'");
    }
    if (!read) return false;
  }
  return true;
}

bool ReadFly(TokenReader& in, PlanStep& step, FlightPlan&) {
  step.kind = PhaseKind::kFlyHeading;
  if (!in.Expect("heading") || !in.Number(step.headingDeg, 0, 360, "a heading in degrees")) return false;
  step.turnDirection = in.TurnDirection();
  double amount = 0;
  if (!in.Expect("for") || !in.Number(amount, 0.01, 10000, "a distance (nm) or a time (s)")) return false;
  if (in.SkipIf("nm")) {
    step.distanceFt = amount * 6076.12;
  } else if (in.SkipIf("s")) {
    step.seconds = amount;
  } else {
    return in.Fail("expected 'nm' or 's'");
  }
  return in.NumberAfter("speed", step.speedKt, 1, 400, "a speed in knots", "kt");
}

bool ReadGear(TokenReader& in, PlanStep& step, FlightPlan&) {
  step.kind = PhaseKind::kGear;
  if (!in.PeekIs("up") && !in.PeekIs("down")) return in.Fail("expected 'up' or 'down'");
  step.gearDown = in.PeekIs("down");
  in.Skip();
  return true;
}

bool ReadFlapsStatement(TokenReader& in, PlanStep& step, FlightPlan&) {
  step.kind = PhaseKind::kFlaps;
  return ReadFlaps(in, step.flaps);
}

// One setting of an approach ("speed 180", "gear down", "flaps 3", each
// optionally "below 1500 ft"), or its offset ("offset 600 right").
bool ReadApproachSetting(TokenReader& in, PlanStep& step) {
  ApproachSetting setting;
  if (in.SkipIf("speed")) {
    setting.what = ApproachSetting::What::kSpeed;
    if (!in.Number(setting.value, 80, 300, "an approach speed in knots", "kt")) return false;
  } else if (in.SkipIf("gear")) {
    setting.what = ApproachSetting::What::kGear;
    if (!in.PeekIs("up") && !in.PeekIs("down")) return in.Fail("expected 'up' or 'down'");
    setting.value = in.PeekIs("down") ? 1 : 0;
    in.Skip();
  } else if (in.SkipIf("flaps")) {
    setting.what = ApproachSetting::What::kFlaps;
    if (!in.Number(setting.value, 0, 10, "a flaps detent")) return false;
    setting.value = std::floor(setting.value);
  } else if (in.SkipIf("offset")) {
    double offset = 0;
    if (!in.Number(offset, 0, 5000, "an offset in feet", "ft")) return false;
    const int side = in.TurnDirection();
    if (side == 0) return in.Fail("expected 'left' or 'right'");
    step.offsetRightFt = side * offset;
    return true;
  } else {
    return in.Fail("expected 'speed', 'gear', 'flaps' or 'offset'");
  }
  if (in.SkipIf("below")) {
    double below = 0;
    if (!in.Number(below, 0, 20000, "a height above the threshold in feet", "ft")) return false;
    setting.belowFt = below;
  }
  step.settings.push_back(setting);
  return true;
}

bool ReadApproach(TokenReader& in, PlanStep& step, FlightPlan&) {
  step.kind = PhaseKind::kApproach;
  if (!ReadRunway(in, step.runway) || !in.Expect("from")) return false;
  if (!in.Number(step.fromNm, 1, 30, "a distance from the threshold in nm", "nm")) return false;
  while (!in.AtEnd())
    if (!ReadApproachSetting(in, step)) return false;
  return true;
}

bool ReadLand(TokenReader& in, PlanStep& step, FlightPlan&) {
  step.kind = PhaseKind::kLand;
  while (!in.AtEnd()) {
    bool read = false;
    if (in.SkipIf("brake")) {
      read = in.Number(step.brakeKtPerS, 1, 10, "a deceleration in knots per second", "kt/s");
    } else if (in.SkipIf("vacate")) {
      read = in.Number(step.vacateKt, 0, 60, "a speed in knots", "kt");
    } else {
      return in.Fail("expected 'brake' or 'vacate'");
    }
    if (!read) return false;
  }
  return true;
}

bool ReadGoAround(TokenReader& in, PlanStep& step, FlightPlan&) {
  step.kind = PhaseKind::kGoAround;
  return in.NumberAfter("climb", step.climbFt, 100, 10000, "a height in feet", "ft");
}

// The statement keywords and their readers; a reader fills the step (or the
// plan, for "airport") from the rest of the line.
using StatementReader = bool (*)(TokenReader& in, PlanStep& step, FlightPlan& plan);
struct Statement {
  const char* keyword;
  StatementReader read;
};
constexpr Statement kStatements[] = {
    {"airport", ReadAirport},
    {"start", ReadStart},
    {"taxi", ReadTaxi},
    {"lineup", ReadLineUp},
    {"hold", ReadHold},
    {"takeoff", ReadTakeOff},
    {"reject", ReadReject},
    {"climb", ReadClimb},
    {"fly", ReadFly},
    {"gear", ReadGear},
    {"flaps", ReadFlapsStatement},
    {"approach", ReadApproach},
    {"land", ReadLand},
    {"goaround", ReadGoAround},
};

StatementReader ReaderOf(const std::string& keyword) {
  for (const Statement& statement : kStatements)
    if (keyword == statement.keyword) return statement.read;
  return nullptr;
}

}  // namespace

const char* PhaseKeyword(PhaseKind kind) {
  switch (kind) {
    case PhaseKind::kStart: return "start";
    case PhaseKind::kTaxiHeading: return "taxi heading";
    case PhaseKind::kTaxiTo: return "taxi to";
    case PhaseKind::kLineUp: return "lineup";
    case PhaseKind::kHold: return "hold";
    case PhaseKind::kTakeOff: return "takeoff";
    case PhaseKind::kRejectedTakeOff: return "reject";
    case PhaseKind::kClimb: return "climb";
    case PhaseKind::kFlyHeading: return "fly heading";
    case PhaseKind::kGear: return "gear";
    case PhaseKind::kFlaps: return "flaps";
    case PhaseKind::kApproach: return "approach";
    case PhaseKind::kLand: return "land";
    case PhaseKind::kGoAround: return "goaround";
  }
  return "?";
}

common::Result<> ParseFlightPlan(std::string_view text, FlightPlan& plan) {
  plan = FlightPlan{};
  common::LineReader lines(text);
  for (std::string_view line; lines.Next(line);) {
    const uint32_t lineNumber = lines.Number();
    std::string_view content = line.substr(0, line.find('#'));

    for (size_t i = 0; i < content.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(content[i]);
      if ((c < 0x20 && c != '\t') || c == 0x7F) {
        return common::Fail("line " + std::to_string(lineNumber) + ", column " + std::to_string(i + 1) +
                            ": control character in the plan");
      }
    }
    std::vector<Token> tokens;
    for (size_t i = 0; i < content.size();) {
      if (content[i] == ' ' || content[i] == '\t') {
        ++i;
        continue;
      }
      size_t start = i;
      while (i < content.size() && content[i] != ' ' && content[i] != '\t') ++i;
      tokens.push_back({std::string(content.substr(start, i - start)), static_cast<uint32_t>(start + 1)});
    }
    if (tokens.empty()) continue;

    std::string keyword = Lower(tokens[0].text);
    uint32_t keywordColumn = tokens[0].column;
    tokens.erase(tokens.begin());
    TokenReader in(lineNumber, std::move(tokens), static_cast<uint32_t>(content.size() + 1));
    PlanStep step;
    step.line = lineNumber;
    step.text = std::string(common::TrimEnd(content));
    StatementReader read = ReaderOf(keyword);
    if (read == nullptr) {
      return common::Fail("line " + std::to_string(lineNumber) + ", column " + std::to_string(keywordColumn) +
                          ": unknown phase '" + keyword + "'");
    }
    if (!read(in, step, plan)) return common::Fail(in.Error());
    if (!in.AtEnd()) return common::Fail(in.ErrorHere("expected the end of the line"));
    if (keyword == "airport") {
      if (!plan.steps.empty()) {
        return common::Fail("line " + std::to_string(lineNumber) + ", column " + std::to_string(keywordColumn) +
                            ": the airport must be named before the phases");
      }
      continue;
    }
    if (plan.airport.empty()) {
      return common::Fail("line " + std::to_string(lineNumber) + ", column " + std::to_string(keywordColumn) +
                          ": the plan must name its airport first ('airport KSFO')");
    }
    bool isStart = step.kind == PhaseKind::kStart;
    if (isStart != plan.steps.empty()) {
      return common::Fail(
          "line " + std::to_string(lineNumber) + ", column " + std::to_string(keywordColumn) +
          (isStart ? ": 'start' may appear only once, before the phases" : ": the first phase must be 'start'"));
    }
    plan.steps.push_back(std::move(step));
  }
  // What is missing is missing at the end of the text: after a final line
  // break, on the empty line that follows it.
  const uint32_t lastLine = lines.Number() + (text.empty() || text.back() == '\n' ? 1 : 0);
  if (plan.airport.empty())
    return common::Fail("line " + std::to_string(lastLine) + ", column 1: the plan names no airport");
  if (plan.steps.empty())
    return common::Fail("line " + std::to_string(lastLine) + ", column 1: the plan has no 'start'");
  return {};
}

}  // namespace orvante::flightplan
