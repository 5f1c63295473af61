// The XML reader: the structure it builds, and the first fault it reports with
// its line in damaged documents.
#include "xml_document.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

TEST(XmlDocument, BuildsTheElementTreeWithAttributesAndText) {
  const char* text =
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n"
      "<!-- the list -->\r\n"
      "<!DOCTYPE doc [ <!ENTITY x \"y\"> ]>\r\n"
      "<Root Type=\"Launch\" version='1,0'>\r\n"
      "  <A>one &amp; two &lt;3&gt; &#65;&#x42;&#xe9; caf\xE9</A>\r\n"
      "  <B/><B k=\"&quot;q&quot;\" />\r\n"
      "  <C><![CDATA[<raw & text>]]></C>\r\n"
      "</Root>\r\n";
  XmlElement root;
  XmlError error;
  ASSERT_TRUE(ParseXml(text, root, error)) << error.line << ": " << error.message;
  EXPECT_EQ(root.name, "Root");
  EXPECT_EQ(root.line, 4);
  ASSERT_NE(root.Attribute("Type"), nullptr);
  EXPECT_EQ(*root.Attribute("Type"), "Launch");
  EXPECT_EQ(*root.Attribute("version"), "1,0");
  EXPECT_EQ(root.Attribute("type"), nullptr) << "names are case-sensitive";
  ASSERT_EQ(root.children.size(), 4u);
  EXPECT_EQ(root.Child("A")->text, "one & two <3> AB\xC3\xA9 caf\xE9") << "other bytes stay as they are";
  EXPECT_EQ(root.Child("A")->line, 5);
  EXPECT_EQ(root.children[2].name, "B");
  EXPECT_EQ(*root.children[2].Attribute("k"), "\"q\"");
  EXPECT_EQ(root.Child("C")->text, "<raw & text>");
  EXPECT_EQ(root.Child("D"), nullptr);
}

struct Damaged {
  const char* text;
  int line;
  const char* message;  // a part of the message
};

class XmlDamage : public ::testing::TestWithParam<Damaged> {};

TEST_P(XmlDamage, ReportsTheFaultAndItsLine) {
  XmlElement root;
  XmlError error;
  EXPECT_FALSE(ParseXml(GetParam().text, root, error));
  EXPECT_EQ(error.line, GetParam().line) << error.message;
  EXPECT_NE(error.message.find(GetParam().message), std::string::npos) << error.message;
  EXPECT_TRUE(root.name.empty() && root.children.empty()) << "a failed parse leaves no partial tree";
}

INSTANTIATE_TEST_SUITE_P(
    Documents, XmlDamage,
    ::testing::Values(
        Damaged{"", 1, "no document element"}, Damaged{"<a>\n<b>\n</a>", 3, "</a> does not match <b> opened on line 2"},
        Damaged{"<a>\n<b>\n</b>", 1, "<a> opened on line 1 is never closed"},
        Damaged{"<a></a>\n<b/>", 2, "second document element <b>"}, Damaged{"</a>", 1, "closes no open element"},
        Damaged{"<a>x</a>\ntrailing", 2, "text outside the document element"},
        Damaged{"<a>\nfish & chips</a>", 2, "'&'"}, Damaged{"<a>&nbsp;</a>", 1, "unknown entity \"&nbsp;\""},
        Damaged{"<a>&#0;</a>", 1, "invalid character reference"}, Damaged{"<a\n  b=c></a>", 2, "not quoted"},
        Damaged{"<a b=\"1\" b=\"2\"></a>", 1, "appears twice"}, Damaged{"<a b=\"<\"></a>", 1, "'<' inside the value"},
        Damaged{"<a", 1, "never closed with '>'"}, Damaged{"<a><1/></a>", 1, "starts no tag"},
        Damaged{"<a><![CDATA[ open", 1, "CDATA"},
        Damaged{"<a>\n<!DOCTYPE x></a>", 2, "document type declaration inside"},
        Damaged{"\xFF\xFE<\0a\0>\0", 1, "UTF-16"}));

TEST(XmlDocument, RefusesNestingBeyondTheLimitWithoutExhaustingTheStack) {
  std::string deep;
  for (size_t i = 0; i < 100000; ++i) deep += "<e>";
  XmlElement root;
  XmlError error;
  EXPECT_FALSE(ParseXml(deep, root, error));
  EXPECT_NE(error.message.find("nested too deeply"), std::string::npos) << error.message;

  std::string fits;
  for (size_t i = 0; i < kMaxXmlDepth; ++i) fits += "<e>";
  for (size_t i = 0; i < kMaxXmlDepth; ++i) fits += "</e>";
  EXPECT_TRUE(ParseXml(fits, root, error)) << error.message;
}

// Every cut of a valid document is either a whole document or a clean failure.
TEST(XmlDocument, EveryTruncationFailsCleanly) {
  std::string text =
      "<?xml version=\"1.0\"?>\n<SimBase.Document Type=\"Launch\">\n<!-- c -->\n"
      "<Launch.Addon><Name>A &amp; B</Name><Path>.\\x.dll</Path><![CDATA[z]]></Launch.Addon>\n"
      "</SimBase.Document>";
  for (size_t n = 0; n < text.size(); ++n) {
    XmlElement root;
    XmlError error;
    bool ok = ParseXml(std::string_view(text).substr(0, n), root, error);
    EXPECT_FALSE(ok) << "cut at " << n;
    EXPECT_FALSE(error.message.empty()) << "cut at " << n;
    EXPECT_GE(error.line, 1);
  }
}

}  // namespace
}  // namespace sim
