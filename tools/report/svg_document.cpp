// The SVG writer of the flight report.
#include "svg_document.h"

#include <cmath>
#include <cstdio>

namespace orvante::report {

std::string EscapeXml(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default:
        // XML 1.0 allows no control characters but tab, line feed and return.
        out += static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r' ? '?' : c;
    }
  }
  return out;
}

std::string Number(double value) {
  if (!std::isfinite(value)) value = 0;
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string s(text);
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  return s;
}

SvgDocument::SvgDocument(double width, double height) : width_(width), height_(height) {}

void SvgDocument::Text(double x, double y, std::string_view text, std::string_view attributes) {
  body_ += "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\"";
  if (!attributes.empty()) body_ += " " + std::string(attributes);
  body_ += ">" + EscapeXml(text) + "</text>\n";
}

void SvgDocument::Line(double x1, double y1, double x2, double y2, std::string_view attributes) {
  body_ += "<line x1=\"" + Number(x1) + "\" y1=\"" + Number(y1) + "\" x2=\"" + Number(x2) + "\" y2=\"" + Number(y2) +
           "\" " + std::string(attributes) + "/>\n";
}

void SvgDocument::Rect(double x, double y, double width, double height, std::string_view attributes) {
  body_ += "<rect x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" width=\"" + Number(width) + "\" height=\"" +
           Number(height) + "\" " + std::string(attributes) + "/>\n";
}

void SvgDocument::Circle(double x, double y, double radius, std::string_view attributes) {
  body_ += "<circle cx=\"" + Number(x) + "\" cy=\"" + Number(y) + "\" r=\"" + Number(radius) + "\" " +
           std::string(attributes) + "/>\n";
}

std::string SvgDocument::Finish() const {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
         Number(width_) + "\" height=\"" + Number(height_) + "\" viewBox=\"0 0 " + Number(width_) + " " +
         Number(height_) + "\" font-family=\"DejaVu Sans, Liberation Sans, Arial, sans-serif\">\n" + body_ + "</svg>\n";
}

}  // namespace orvante::report
