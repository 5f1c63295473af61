// A small XML reader for the simulator's configuration files (dll.xml). It
// builds an element tree from the document's bytes and reports the first
// fault with its line number instead of guessing. It reads what such files
// hold: a declaration, comments, processing instructions, a document type
// line, elements with attributes, text, CDATA sections and the predefined and
// numeric character references. Bytes are kept as they are (files declared
// as windows-1252 work as well as UTF-8 ones).
#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

struct XmlElement {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;
  std::vector<XmlElement> children;
  std::string text;  // the element's own character data, all pieces joined
  int line = 0;      // line of the start tag, from 1

  // The first child of that name (names are case-sensitive, as in XML), or null.
  const XmlElement* Child(std::string_view childName) const;
  // Value of an attribute, or null.
  const std::string* Attribute(std::string_view attributeName) const;
};

struct XmlError {
  int line = 0;
  std::string message;
};

// Deepest nesting the reader accepts; deeper documents are refused, not
// followed, so a hostile file cannot exhaust memory through nesting alone.
inline constexpr size_t kMaxXmlDepth = 256;

// Parses a whole document. On success fills root with the document element
// and returns true; otherwise fills error and returns false.
bool ParseXml(std::string_view text, XmlElement& root, XmlError& error);

}  // namespace sim
