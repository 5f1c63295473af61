// libFuzzer target for the stand-in simulator's dll.xml reader: the XML
// reader and the add-on list read from its tree. Besides crashes and
// sanitizer reports it checks what must hold for any input:
//  - a refused document leaves no tree and names a line within the file;
//  - an accepted tree, written back as XML with its text escaped, reads back
//    as the same tree (names, attributes in order, text, children);
//  - the add-on list is either ok with no error, or not ok with an error
//    naming the file, and every entry it keeps has a path and entry names
//    without surrounding blanks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "addon_list.h"
#include "xml_document.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void Escape(std::string_view text, bool attribute, std::string& out) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"':
        if (attribute) {
          out += "&quot;";
          break;
        }
        [[fallthrough]];
      default: out += c;
    }
  }
}

// The element as XML: its text first, then its children (the reader joins
// all pieces of an element's text, so their places among the children are
// not part of the tree).
void Write(const sim::XmlElement& element, std::string& out) {
  out += '<';
  out += element.name;
  for (const auto& [name, value] : element.attributes) {
    out += ' ';
    out += name;
    out += "=\"";
    Escape(value, true, out);
    out += '"';
  }
  out += '>';
  Escape(element.text, false, out);
  for (const sim::XmlElement& child : element.children) Write(child, out);
  out += "</";
  out += element.name;
  out += '>';
}

bool SameTree(const sim::XmlElement& a, const sim::XmlElement& b) {
  if (a.name != b.name || a.attributes != b.attributes || a.text != b.text || a.children.size() != b.children.size())
    return false;
  for (size_t i = 0; i < a.children.size(); ++i)
    if (!SameTree(a.children[i], b.children[i])) return false;
  return true;
}

bool Trimmed(const std::string& text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; };
  return text.empty() || (!blank(text.front()) && !blank(text.back()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  sim::XmlElement root;
  sim::XmlError error;
  if (sim::ParseXml(text, root, error)) {
    Require(!root.name.empty() && root.line >= 1);
    std::string written;
    Write(root, written);
    sim::XmlElement again;
    sim::XmlError againError;
    Require(sim::ParseXml(written, again, againError));
    Require(SameTree(root, again));
  } else {
    Require(root.name.empty() && root.children.empty() && root.attributes.empty());
    Require(!error.message.empty());
    size_t lines = 1;
    for (char c : text) lines += c == '\n';
    Require(error.line >= 1 && static_cast<size_t>(error.line) <= lines);
  }

  const common::Result<sim::AddonList> list = sim::ParseAddonList(text, "dll.xml");
  Require(list.ok() == list.error().empty());
  if (!list) {
    Require(list.error().rfind("dll.xml: line ", 0) == 0);
    return 0;
  }
  for (const sim::AddonEntry& entry : list->entries) {
    Require(!entry.path.empty() && Trimmed(entry.path));
    Require(!entry.name.empty() && Trimmed(entry.name));
    Require(!entry.startName.empty() && Trimmed(entry.startName));
    Require(!entry.stopName.empty() && Trimmed(entry.stopName));
    Require(entry.line >= 1);
  }
  return 0;
}
