// The scripted front end's actions as an events file writes them.
#include <charconv>

#include "common/text.h"
#include "platform/scripted_user_interface.h"

namespace platform {
namespace {

// Blanks before a field; blanks and a line end after it.
std::string_view Trim(std::string_view text) { return common::TrimStart(common::TrimEnd(text, " \t\r\n")); }

// Splits off the field before the next comma; the rest follows the comma.
std::string_view Field(std::string_view& rest, bool& more) {
  size_t comma = rest.find(',');
  std::string_view field = rest.substr(0, comma);
  more = comma != std::string_view::npos;
  rest = more ? rest.substr(comma + 1) : std::string_view();
  return field;
}

std::optional<int> Number(std::string_view text) {
  text = Trim(text);
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::string Lower(std::string_view text) { return common::ToLowerAscii(text); }

}  // namespace

std::optional<DialogAction> ParseDialogAction(std::string_view args) {
  // A line end left by the reader is not part of the action.
  while (!args.empty() && (args.back() == '\r' || args.back() == '\n')) args.remove_suffix(1);
  std::string_view rest = args;
  bool more = false;
  const std::string verb = Lower(Trim(Field(rest, more)));
  DialogAction action;

  if (verb == "close") {
    if (more && !Trim(rest).empty()) return std::nullopt;
    action.verb = DialogAction::Verb::kClose;
    return action;
  }
  if (verb == "answer") {
    const std::string answer = Lower(Trim(rest));
    for (const char* name : {"Yes", "No", "OK", "Cancel"})
      if (answer == Lower(name)) {
        action.verb = DialogAction::Verb::kAnswer;
        action.text = name;
        return action;
      }
    return std::nullopt;
  }
  if (!more) return std::nullopt;
  if (verb == "press") {
    action.verb = DialogAction::Verb::kPress;
    action.caption = Trim(rest);
    if (action.caption.empty()) return std::nullopt;
    return action;
  }

  action.caption = Trim(Field(rest, more));
  if (action.caption.empty() || !more) return std::nullopt;
  if (verb == "type") {
    action.verb = DialogAction::Verb::kType;
    action.text = rest;  // as typed, blanks and commas included
    return action;
  }
  if (verb == "select") {
    action.verb = DialogAction::Verb::kSelect;
    action.text = Trim(rest);
    return action;
  }
  std::optional<int> number = Number(rest);
  if (!number) return std::nullopt;
  action.number = *number;
  if (verb == "check") {
    if (*number != 0 && *number != 1) return std::nullopt;
    action.verb = DialogAction::Verb::kCheck;
    return action;
  }
  if (verb == "slide") {
    action.verb = DialogAction::Verb::kSlide;
    return action;
  }
  return std::nullopt;
}

std::string FormatDialogAction(const DialogAction& action) {
  switch (action.verb) {
    case DialogAction::Verb::kCheck: return "check," + action.caption + "," + std::to_string(action.number);
    case DialogAction::Verb::kSelect: return "select," + action.caption + "," + action.text;
    case DialogAction::Verb::kType: return "type," + action.caption + "," + action.text;
    case DialogAction::Verb::kSlide: return "slide," + action.caption + "," + std::to_string(action.number);
    case DialogAction::Verb::kPress: return "press," + action.caption;
    case DialogAction::Verb::kAnswer: return "answer," + action.text;
    case DialogAction::Verb::kClose: return "close";
  }
  return {};
}

}  // namespace platform
