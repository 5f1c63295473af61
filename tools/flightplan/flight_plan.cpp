// Reading the flight plan text: words and numbers, checked line by line.
#include "flight_plan.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "airport_runways.h"

namespace orvante::flightplan {

namespace {

struct Token {
  std::string text;
  uint32_t column = 0;  // 1-based
};

std::string Lower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

// Walks the tokens of one line, producing messages that point at the token
// at fault (or just past the line's end when one is missing).
class LineReader {
 public:
  LineReader(uint32_t line, std::vector<Token> tokens, uint32_t endColumn)
      : line_(line), tokens_(std::move(tokens)), endColumn_(endColumn) {}

  bool AtEnd() const { return next_ >= tokens_.size(); }
  const Token* Peek() const { return AtEnd() ? nullptr : &tokens_[next_]; }
  bool PeekIs(std::string_view word) const { return !AtEnd() && Lower(tokens_[next_].text) == word; }
  void Skip() { ++next_; }

  std::string ErrorHere(const std::string& what) const {
    uint32_t column = AtEnd() ? endColumn_ : tokens_[next_].column;
    std::string found = AtEnd() ? "the end of the line" : "'" + tokens_[next_].text + "'";
    return "line " + std::to_string(line_) + ", column " + std::to_string(column) + ": " + what + ", found " + found;
  }

  bool Word(std::string& out, const std::string& what, std::string& error) {
    if (AtEnd()) {
      error = ErrorHere("expected " + what);
      return false;
    }
    out = tokens_[next_++].text;
    return true;
  }

  bool Expect(std::string_view word, std::string& error) {
    if (!PeekIs(word)) {
      error = ErrorHere("expected '" + std::string(word) + "'");
      return false;
    }
    ++next_;
    return true;
  }

  // A number within [low, high], optionally followed by its unit word
  // ("ft", "kt", "s", "nm", "fpm", "kt/s") where the phase has one.
  bool Number(double& out, double low, double high, const std::string& what, std::string& error,
              const char* unit = nullptr) {
    if (AtEnd()) {
      error = ErrorHere("expected " + what);
      return false;
    }
    const std::string& text = tokens_[next_].text;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    bool plain = !text.empty() && end == text.c_str() + text.size() &&
                 text.find_first_not_of("+-.0123456789eE") == std::string::npos && std::isfinite(value);
    if (!plain) {
      error = ErrorHere("expected " + what);
      return false;
    }
    if (value < low || value > high) {
      char range[96];
      std::snprintf(range, sizeof range, " from %g to %g", low, high);
      error = ErrorHere(what + range);
      return false;
    }
    out = value;
    ++next_;
    if (unit && PeekIs(unit)) ++next_;
    return true;
  }

 private:
  uint32_t line_;
  std::vector<Token> tokens_;
  uint32_t endColumn_;
  size_t next_ = 0;
};

bool ReadRunway(LineReader& in, std::string& runway, std::string& error) {
  const Token* token = in.Peek();
  if (!token || !LooksLikeDesignator(token->text)) {
    error = in.ErrorHere("expected a runway end such as 28R");
    return false;
  }
  runway = token->text;
  in.Skip();
  return true;
}

bool ReadPlace(LineReader& in, Place& place, std::string& error) {
  const Token* token = in.Peek();
  if (token && LooksLikeDesignator(token->text)) {
    place.onRunway = true;
    in.Skip();
    place.runway = token->text;
    while (true) {
      if (in.PeekIs("along")) {
        in.Skip();
        if (!in.Number(place.alongFt, -60000, 60000, "feet along the runway", error, "ft")) return false;
      } else if (in.PeekIs("left") || in.PeekIs("right")) {
        double sign = in.PeekIs("left") ? -1 : 1;
        in.Skip();
        if (!in.Number(place.rightFt, 0, 60000, "feet from the centreline", error, "ft")) return false;
        place.rightFt *= sign;
      } else {
        return true;
      }
    }
  }
  place.onRunway = false;
  if (!in.Number(place.latitude, -90, 90, "a runway end (28R) or a latitude in degrees", error)) return false;
  return in.Number(place.longitude, -180, 180, "a longitude in degrees", error);
}

bool ReadStatement(LineReader& in, const std::string& keyword, PlanStep& step, FlightPlan& plan, std::string& error) {
  auto speed = [&](double& out) { return in.Number(out, 1, 400, "a speed in knots", error, "kt"); };
  if (keyword == "airport") {
    if (!plan.airport.empty()) {
      error = in.ErrorHere("the airport is already named");
      return false;
    }
    return in.Word(plan.airport, "an airport identifier", error);
  }
  if (keyword == "start") {
    step.kind = PhaseKind::kStart;
    if (!ReadPlace(in, step.place, error) || !in.Expect("heading", error)) return false;
    if (!in.Number(step.headingDeg, 0, 360, "a heading in degrees", error)) return false;
    if (!in.PeekIs("height")) return true;
    // An air start: level flight at a height and speed, for flights that
    // begin on an approach.
    in.Skip();
    step.airborne = true;
    if (!in.Number(step.heightFt, 50, 20000, "a height above the ground in feet", error, "ft")) return false;
    if (!in.Expect("speed", error)) return false;
    return in.Number(step.speedKt, 80, 400, "an airspeed in knots", error, "kt");
  }
  if (keyword == "taxi") {
    if (in.PeekIs("heading")) {
      step.kind = PhaseKind::kTaxiHeading;
      in.Skip();
      if (!in.Number(step.headingDeg, 0, 360, "a heading in degrees", error) || !in.Expect("for", error)) return false;
      if (!in.Number(step.distanceFt, 1, 100000, "a distance in feet", error, "ft")) return false;
    } else if (in.PeekIs("to")) {
      step.kind = PhaseKind::kTaxiTo;
      in.Skip();
      if (!ReadPlace(in, step.place, error)) return false;
    } else {
      error = in.ErrorHere("expected 'heading' or 'to'");
      return false;
    }
    if (in.PeekIs("speed")) {
      in.Skip();
      return in.Number(step.speedKt, 1, 40, "a taxi speed in knots", error, "kt");
    }
    return true;
  }
  if (keyword == "lineup") {
    step.kind = PhaseKind::kLineUp;
    if (!ReadRunway(in, step.runway, error)) return false;
    if (in.PeekIs("speed")) {
      in.Skip();
      return in.Number(step.speedKt, 1, 30, "a taxi speed in knots", error, "kt");
    }
    return true;
  }
  if (keyword == "hold") {
    step.kind = PhaseKind::kHold;
    if (!in.Number(step.seconds, 0, 3600, "a time in seconds", error, "s")) return false;
    if (in.PeekIs("brake")) {
      in.Skip();
      return in.Number(step.brakeKtPerS, 1, 10, "a deceleration in knots per second", error, "kt/s");
    }
    return true;
  }
  if (keyword == "takeoff") {
    step.kind = PhaseKind::kTakeOff;
    while (!in.AtEnd()) {
      if (in.PeekIs("rotate")) {
        in.Skip();
        if (!in.Number(step.rotateKt, 80, 220, "a rotation speed in knots", error, "kt")) return false;
      } else if (in.PeekIs("climb")) {
        in.Skip();
        if (!in.Number(step.climbFt, 50, 10000, "a height in feet", error, "ft")) return false;
      } else if (in.PeekIs("flaps")) {
        in.Skip();
        double flaps = 0;
        if (!in.Number(flaps, 0, 10, "a flaps detent", error)) return false;
        step.flaps = static_cast<int>(flaps);
      } else {
        error = in.ErrorHere("expected 'rotate', 'climb' or 'flaps'");
        return false;
      }
    }
    return true;
  }
  if (keyword == "reject") {
    step.kind = PhaseKind::kRejectedTakeOff;
    if (!in.Number(step.speedKt, 20, 200, "the speed in knots at which the take-off is rejected", error, "kt")) return false;
    if (in.PeekIs("brake")) {
      in.Skip();
      return in.Number(step.brakeKtPerS, 1, 10, "a deceleration in knots per second", error, "kt/s");
    }
    return true;
  }
  if (keyword == "climb") {
    step.kind = PhaseKind::kClimb;
    if (!in.Expect("to", error) || !in.Number(step.altitudeFt, -1000, 45000, "an altitude in feet", error, "ft")) return false;
    while (!in.AtEnd()) {
      if (in.PeekIs("speed")) {
        in.Skip();
        if (!speed(step.speedKt)) return false;
      } else if (in.PeekIs("rate")) {
        in.Skip();
        if (!in.Number(step.rateFpm, 100, 6000, "a vertical speed in feet per minute", error, "fpm")) return false;
      } else if (in.PeekIs("heading")) {
        in.Skip();
        if (!in.Number(step.headingDeg, 0, 360, "a heading in degrees", error)) return false;
        step.hasHeading = true;
        if (in.PeekIs("left") || in.PeekIs("right")) {
          step.turnDirection = in.PeekIs("left") ? -1 : 1;
          in.Skip();
        }
      } else {
        error = in.ErrorHere("expected 'speed', 'rate' or 'heading'");
        return false;
      }
    }
    return true;
  }
  if (keyword == "fly") {
    step.kind = PhaseKind::kFlyHeading;
    if (!in.Expect("heading", error) || !in.Number(step.headingDeg, 0, 360, "a heading in degrees", error)) return false;
    if (in.PeekIs("left") || in.PeekIs("right")) {
      step.turnDirection = in.PeekIs("left") ? -1 : 1;
      in.Skip();
    }
    double amount = 0;
    if (!in.Expect("for", error) || !in.Number(amount, 0.01, 10000, "a distance (nm) or a time (s)", error)) return false;
    if (in.PeekIs("nm")) {
      step.distanceFt = amount * 6076.12;
    } else if (in.PeekIs("s")) {
      step.seconds = amount;
    } else {
      error = in.ErrorHere("expected 'nm' or 's'");
      return false;
    }
    in.Skip();
    if (in.PeekIs("speed")) {
      in.Skip();
      return speed(step.speedKt);
    }
    return true;
  }
  if (keyword == "gear") {
    step.kind = PhaseKind::kGear;
    if (!in.PeekIs("up") && !in.PeekIs("down")) {
      error = in.ErrorHere("expected 'up' or 'down'");
      return false;
    }
    step.gearDown = in.PeekIs("down");
    in.Skip();
    return true;
  }
  if (keyword == "flaps") {
    step.kind = PhaseKind::kFlaps;
    double flaps = 0;
    if (!in.Number(flaps, 0, 10, "a flaps detent", error)) return false;
    step.flaps = static_cast<int>(flaps);
    return true;
  }
  if (keyword == "approach") {
    step.kind = PhaseKind::kApproach;
    if (!ReadRunway(in, step.runway, error) || !in.Expect("from", error)) return false;
    if (!in.Number(step.fromNm, 1, 30, "a distance from the threshold in nm", error, "nm")) return false;
    while (!in.AtEnd()) {
      ApproachSetting setting;
      if (in.PeekIs("speed")) {
        in.Skip();
        setting.what = ApproachSetting::What::kSpeed;
        if (!in.Number(setting.value, 80, 300, "an approach speed in knots", error, "kt")) return false;
      } else if (in.PeekIs("gear")) {
        in.Skip();
        setting.what = ApproachSetting::What::kGear;
        if (!in.PeekIs("up") && !in.PeekIs("down")) {
          error = in.ErrorHere("expected 'up' or 'down'");
          return false;
        }
        setting.value = in.PeekIs("down") ? 1 : 0;
        in.Skip();
      } else if (in.PeekIs("flaps")) {
        in.Skip();
        setting.what = ApproachSetting::What::kFlaps;
        if (!in.Number(setting.value, 0, 10, "a flaps detent", error)) return false;
        setting.value = std::floor(setting.value);
      } else if (in.PeekIs("offset")) {
        in.Skip();
        double offset = 0;
        if (!in.Number(offset, 0, 5000, "an offset in feet", error, "ft")) return false;
        if (!in.PeekIs("left") && !in.PeekIs("right")) {
          error = in.ErrorHere("expected 'left' or 'right'");
          return false;
        }
        step.offsetRightFt = in.PeekIs("left") ? -offset : offset;
        in.Skip();
        continue;
      } else {
        error = in.ErrorHere("expected 'speed', 'gear', 'flaps' or 'offset'");
        return false;
      }
      if (in.PeekIs("below")) {
        in.Skip();
        double below = 0;
        if (!in.Number(below, 0, 20000, "a height above the threshold in feet", error, "ft")) return false;
        setting.belowFt = below;
      }
      step.settings.push_back(setting);
    }
    return true;
  }
  if (keyword == "land") {
    step.kind = PhaseKind::kLand;
    while (!in.AtEnd()) {
      if (in.PeekIs("brake")) {
        in.Skip();
        if (!in.Number(step.brakeKtPerS, 1, 10, "a deceleration in knots per second", error, "kt/s")) return false;
      } else if (in.PeekIs("vacate")) {
        in.Skip();
        if (!in.Number(step.vacateKt, 0, 60, "a speed in knots", error, "kt")) return false;
      } else {
        error = in.ErrorHere("expected 'brake' or 'vacate'");
        return false;
      }
    }
    return true;
  }
  if (keyword == "goaround") {
    step.kind = PhaseKind::kGoAround;
    if (in.PeekIs("climb")) {
      in.Skip();
      return in.Number(step.climbFt, 100, 10000, "a height in feet", error, "ft");
    }
    return true;
  }
  error.clear();
  return false;
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

std::optional<std::string> ParseFlightPlan(std::string_view text, FlightPlan& plan) {
  plan = FlightPlan{};
  uint32_t lineNumber = 0;
  size_t position = 0;
  while (position <= text.size()) {
    size_t end = text.find('\n', position);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(position, end - position);
    position = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view content = line.substr(0, line.find('#'));

    for (size_t i = 0; i < content.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(content[i]);
      if ((c < 0x20 && c != '\t') || c == 0x7F) {
        return "line " + std::to_string(lineNumber) + ", column " + std::to_string(i + 1) + ": control character in the plan";
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
    if (tokens.empty()) {
      if (end == text.size()) break;
      continue;
    }

    std::string keyword = Lower(tokens[0].text);
    uint32_t keywordColumn = tokens[0].column;
    tokens.erase(tokens.begin());
    LineReader in(lineNumber, std::move(tokens), static_cast<uint32_t>(content.size() + 1));
    PlanStep step;
    step.line = lineNumber;
    step.text = std::string(content);
    while (!step.text.empty() && (step.text.back() == ' ' || step.text.back() == '\t')) step.text.pop_back();
    std::string error;
    if (!ReadStatement(in, keyword, step, plan, error)) {
      if (error.empty()) {
        return "line " + std::to_string(lineNumber) + ", column " + std::to_string(keywordColumn) + ": unknown phase '" +
               keyword + "'";
      }
      return error;
    }
    if (!in.AtEnd()) return in.ErrorHere("expected the end of the line");
    if (keyword == "airport") {
      if (!plan.steps.empty()) {
        return "line " + std::to_string(lineNumber) + ", column " + std::to_string(keywordColumn) +
               ": the airport must be named before the phases";
      }
      continue;
    }
    if (plan.airport.empty()) {
      return "line " + std::to_string(lineNumber) + ", column " + std::to_string(keywordColumn) +
             ": the plan must name its airport first ('airport KSFO')";
    }
    bool isStart = step.kind == PhaseKind::kStart;
    if (isStart != plan.steps.empty()) {
      return "line " + std::to_string(lineNumber) + ", column " + std::to_string(keywordColumn) +
             (isStart ? ": 'start' may appear only once, before the phases" : ": the first phase must be 'start'");
    }
    plan.steps.push_back(std::move(step));
    if (end == text.size()) break;
  }
  if (plan.airport.empty()) return "line " + std::to_string(lineNumber) + ", column 1: the plan names no airport";
  if (plan.steps.empty()) return "line " + std::to_string(lineNumber) + ", column 1: the plan has no 'start'";
  return std::nullopt;
}

}  // namespace orvante::flightplan
