// The XML reader behind dll.xml: a single forward pass with an explicit stack
// of open elements, so neither deep nesting nor a long file can overflow the
// call stack.
#include "xml_document.h"

#include <cstdint>

namespace sim {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsNameStart(char c) {
  auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u == ':' || u >= 0x80;
}

bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-'; }

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  bool Parse(XmlElement& root, XmlError& error);

 private:
  // Line of position pos; positions asked for never go backwards.
  int LineAt(size_t pos) {
    for (; counted_ < pos && counted_ < text_.size(); ++counted_)
      if (text_[counted_] == '\n') ++line_;
    return line_;
  }
  bool Fail(size_t pos, std::string message) {
    error_.line = LineAt(pos);
    error_.message = std::move(message);
    return false;
  }
  bool StartsWith(std::string_view prefix) const { return text_.substr(pos_).starts_with(prefix); }
  // Moves past the next occurrence of terminator; false when there is none.
  bool SkipPast(std::string_view terminator) {
    size_t end = text_.find(terminator, pos_);
    if (end == std::string_view::npos) return false;
    pos_ = end + terminator.size();
    return true;
  }
  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }
  bool ReadName(std::string& name) {
    size_t start = pos_;
    if (pos_ >= text_.size() || !IsNameStart(text_[pos_])) return false;
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
    name.assign(text_.substr(start, pos_ - start));
    return true;
  }
  // Decodes the character data in raw (text or an attribute value) into out.
  bool Decode(std::string_view raw, size_t rawPos, std::string& out);
  bool ReadStartTag();
  bool ReadEndTag();
  bool ReadDocumentType();
  bool ReadText();

  std::string_view text_;
  size_t pos_ = 0;
  size_t counted_ = 0;
  int line_ = 1;
  XmlError error_;
  XmlElement* root_ = nullptr;
  bool rootDone_ = false;
  std::vector<XmlElement*> open_;
};

bool Reader::Decode(std::string_view raw, size_t rawPos, std::string& out) {
  for (size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c != '&') {
      out += c;
      continue;
    }
    size_t semicolon = raw.find(';', i);
    if (semicolon == std::string_view::npos || semicolon - i > 12)
      return Fail(rawPos + i, "a '&' that starts no character reference (write \"&amp;\" for '&')");
    std::string_view ref = raw.substr(i + 1, semicolon - i - 1);
    if (ref == "lt") out += '<';
    else if (ref == "gt") out += '>';
    else if (ref == "amp") out += '&';
    else if (ref == "quot") out += '"';
    else if (ref == "apos") out += '\'';
    else if (ref.size() >= 2 && ref[0] == '#') {
      bool hex = ref[1] == 'x';
      std::string_view digits = ref.substr(hex ? 2 : 1);
      uint32_t code = 0;
      bool ok = !digits.empty();
      for (char d : digits) {
        int v = (d >= '0' && d <= '9')          ? d - '0'
                : (hex && d >= 'a' && d <= 'f') ? d - 'a' + 10
                : (hex && d >= 'A' && d <= 'F') ? d - 'A' + 10
                                                : -1;
        if (v < 0 || code > 0x10FFFF) {
          ok = false;
          break;
        }
        code = code * (hex ? 16 : 10) + static_cast<uint32_t>(v);
      }
      if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return Fail(rawPos + i, "invalid character reference \"&" + std::string(ref) + ";\"");
      AppendUtf8(out, code);
    } else {
      return Fail(rawPos + i, "unknown entity \"&" + std::string(ref) + ";\"");
    }
    i = semicolon;
  }
  return true;
}

bool Reader::ReadStartTag() {
  size_t tagPos = pos_;
  ++pos_;  // '<'
  XmlElement element;
  if (!ReadName(element.name)) return Fail(tagPos, "a '<' that starts no tag");
  element.line = LineAt(tagPos);
  bool selfClosing = false;
  for (;;) {
    size_t before = pos_;
    SkipBlanks();
    if (pos_ >= text_.size()) return Fail(tagPos, "the tag <" + element.name + " is never closed with '>'");
    if (text_[pos_] == '>') {
      ++pos_;
      break;
    }
    if (StartsWith("/>")) {
      pos_ += 2;
      selfClosing = true;
      break;
    }
    if (before == pos_) return Fail(pos_, "malformed tag <" + element.name + ">");
    std::string name;
    if (!ReadName(name)) return Fail(pos_, "malformed attribute in <" + element.name + ">");
    SkipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != '=')
      return Fail(pos_, "attribute " + name + " of <" + element.name + "> has no value");
    ++pos_;
    SkipBlanks();
    if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\''))
      return Fail(pos_, "the value of attribute " + name + " is not quoted");
    char quote = text_[pos_++];
    size_t end = text_.find(quote, pos_);
    if (end == std::string_view::npos) return Fail(pos_, "the value of attribute " + name + " is never closed");
    std::string_view raw = text_.substr(pos_, end - pos_);
    if (raw.find('<') != std::string_view::npos) return Fail(pos_, "a '<' inside the value of attribute " + name);
    if (element.Attribute(name)) return Fail(pos_, "attribute " + name + " appears twice");
    std::string value;
    if (!Decode(raw, pos_, value)) return false;
    element.attributes.emplace_back(std::move(name), std::move(value));
    pos_ = end + 1;
  }

  XmlElement* placed;
  if (open_.empty()) {
    if (rootDone_) return Fail(tagPos, "a second document element <" + element.name + ">");
    *root_ = std::move(element);
    placed = root_;
  } else {
    if (open_.size() >= kMaxXmlDepth) return Fail(tagPos, "elements nested too deeply");
    open_.back()->children.push_back(std::move(element));
    placed = &open_.back()->children.back();
  }
  if (selfClosing) {
    if (open_.empty()) rootDone_ = true;
  } else {
    open_.push_back(placed);  // its parent's children do not grow until it is closed
  }
  return true;
}

bool Reader::ReadEndTag() {
  size_t tagPos = pos_;
  pos_ += 2;  // "</"
  std::string name;
  if (!ReadName(name)) return Fail(tagPos, "malformed end tag");
  SkipBlanks();
  if (pos_ >= text_.size() || text_[pos_] != '>')
    return Fail(tagPos, "the end tag </" + name + " is never closed with '>'");
  ++pos_;
  if (open_.empty()) return Fail(tagPos, "the end tag </" + name + "> closes no open element");
  const XmlElement& top = *open_.back();
  if (top.name != name)
    return Fail(tagPos, "the end tag </" + name + "> does not match <" + top.name + "> opened on line " +
                            std::to_string(top.line));
  open_.pop_back();
  if (open_.empty()) rootDone_ = true;
  return true;
}

bool Reader::ReadDocumentType() {
  size_t start = pos_;
  if (!open_.empty() || rootDone_ || root_->line != 0)
    return Fail(start, "a document type declaration inside the document");
  int brackets = 0;
  for (pos_ += 2; pos_ < text_.size(); ++pos_) {
    char c = text_[pos_];
    if (c == '[') ++brackets;
    else if (c == ']') --brackets;
    else if (c == '>' && brackets <= 0) {
      ++pos_;
      return true;
    }
  }
  return Fail(start, "the declaration \"<!\" is never closed");
}

bool Reader::ReadText() {
  size_t start = pos_;
  size_t end = text_.find('<', pos_);
  if (end == std::string_view::npos) end = text_.size();
  std::string_view raw = text_.substr(start, end - start);
  pos_ = end;
  if (open_.empty()) {
    for (size_t i = 0; i < raw.size(); ++i)
      if (!IsBlank(raw[i])) return Fail(start + i, "text outside the document element");
    return true;
  }
  return Decode(raw, start, open_.back()->text);
}

bool Reader::Parse(XmlElement& root, XmlError& error) {
  root = XmlElement{};
  root_ = &root;
  if (text_.starts_with("\xFF\xFE") || text_.starts_with("\xFE\xFF")) {
    Fail(0, "the file is UTF-16 encoded; save it as UTF-8 or ANSI text");
    error = error_;
    return false;
  }
  if (text_.starts_with("\xEF\xBB\xBF")) pos_ = counted_ = 3;

  bool ok = true;
  while (ok && pos_ < text_.size()) {
    if (text_[pos_] != '<') {
      ok = ReadText();
    } else if (StartsWith("<?")) {
      size_t start = pos_;
      ok = SkipPast("?>") || Fail(start, "the processing instruction \"<?\" is never closed");
    } else if (StartsWith("<!--")) {
      size_t start = pos_;
      ok = SkipPast("-->") || Fail(start, "the comment \"<!--\" is never closed");
    } else if (StartsWith("<![CDATA[")) {
      size_t start = pos_;
      if (open_.empty()) {
        ok = Fail(start, "a CDATA section outside the document element");
      } else if (size_t end = text_.find("]]>", pos_ + 9); end == std::string_view::npos) {
        ok = Fail(start, "the CDATA section is never closed");
      } else {
        open_.back()->text.append(text_.substr(pos_ + 9, end - pos_ - 9));
        pos_ = end + 3;
      }
    } else if (StartsWith("<!")) {
      ok = ReadDocumentType();
    } else if (StartsWith("</")) {
      ok = ReadEndTag();
    } else {
      ok = ReadStartTag();
    }
  }
  if (ok && !open_.empty()) {
    const XmlElement& top = *open_.back();
    error_.line = top.line;
    error_.message = "<" + top.name + "> opened on line " + std::to_string(top.line) + " is never closed";
    ok = false;
  }
  if (ok && !rootDone_) ok = Fail(text_.size(), "the file holds no document element");
  if (!ok) {
    error = error_;
    root = XmlElement{};
  }
  return ok;
}

}  // namespace

const XmlElement* XmlElement::Child(std::string_view childName) const {
  for (const XmlElement& child : children)
    if (child.name == childName) return &child;
  return nullptr;
}

const std::string* XmlElement::Attribute(std::string_view attributeName) const {
  for (const auto& [name, value] : attributes)
    if (name == attributeName) return &value;
  return nullptr;
}

bool ParseXml(std::string_view text, XmlElement& root, XmlError& error) {
  Reader reader(text);
  return reader.Parse(root, error);
}

}  // namespace sim
