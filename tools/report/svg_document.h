// A small writer of SVG text: elements with attributes, text escaped for XML.
#pragma once
#include <string>
#include <string_view>

namespace orvante::report {

// Text safe inside XML character data and attribute values.
std::string EscapeXml(std::string_view text);

// A number for an attribute: at most two decimals, no trailing zeros.
std::string Number(double value);

class SvgDocument {
 public:
  SvgDocument(double width, double height);

  // Appends raw markup (already well-formed).
  void Raw(std::string_view markup) { body_ += markup; }
  void Text(double x, double y, std::string_view text, std::string_view attributes = {});
  void Line(double x1, double y1, double x2, double y2, std::string_view attributes);
  void Rect(double x, double y, double width, double height, std::string_view attributes);
  void Circle(double x, double y, double radius, std::string_view attributes);

  std::string Finish() const;

 private:
  double width_, height_;
  std::string body_;
};

}  // namespace orvante::report
