// Converting the OurAirports runway list into the module's runway table.
#include "runway_import.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <optional>

#include "runways/runway_geometry.h"
#include "runways/text_table.h"
#include "common/text.h"

namespace orvante {

std::string RunwayTableSchema() {
  return "[r4.csv]\r\n"
         "ColNameHeader=False\r\n"
         "Format=CSVDelimited\r\n"
         "MaxScanRows=0\r\n"
         "CharacterSet=ANSI\r\n"
         "Col1=Airport Text\r\n"
         "Col2=Runway Integer\r\n"
         "Col3=EndLatitude Double\r\n"
         "Col4=EndLongitude Double\r\n"
         "Col5=Elevation Double\r\n"
         "Col6=Heading Double\r\n"
         "Col7=Length Double\r\n"
         "Col8=Guidance Single\r\n"
         "Col9=Width Double\r\n"
         "Col10=Variation Double\r\n"
         "Col11=Latitude Double\r\n"
         "Col12=Longitude Double\r\n"
         "Col13=Displaced Double\r\n";
}

int RunwayCodeOfIdent(std::string_view ident) {
  size_t digits = 0;
  while (digits < ident.size() && digits < 2 && std::isdigit(static_cast<unsigned char>(ident[digits]))) ++digits;
  if (digits == 0) return -1;
  int number = 0;
  for (size_t i = 0; i < digits; ++i) number = number * 10 + (ident[i] - '0');
  if (number < 1 || number > 36) return -1;
  std::string_view letter = ident.substr(digits);
  if (letter.empty()) return number * 10;
  if (letter.size() != 1) return -1;
  switch (letter[0]) {
    case 'L': return number * 10 + 1;
    case 'R': return number * 10 + 2;
    case 'C': return number * 10 + 3;
    case 'W': return number * 10 + 4;
    default: return -1;
  }
}

namespace {

// One end of a runway as OurAirports gives it.
struct InputEnd {
  std::string ident;
  std::optional<double> latitude, longitude, elevation, heading, displaced;
  bool located() const { return latitude && longitude; }
};

struct Columns {
  int ident = -1, length = -1, width = -1, surface = -1, lighted = -1, closed = -1;
  int end[2][6];  // ident, latitude, longitude, elevation, heading, displaced threshold
};

std::optional<double> Number(const std::vector<std::string>& fields, int index) {
  double value = 0;
  if (index < 0 || size_t(index) >= fields.size() || fields[index].empty()) return std::nullopt;
  if (!ParseDecimalNumber(fields[index], value)) return std::nullopt;
  return value;
}

std::string Text(const std::vector<std::string>& fields, int index) {
  return index >= 0 && size_t(index) < fields.size() ? fields[index] : std::string();
}

bool PavedSurface(const std::string& anyCase) {
  const std::string surface = common::ToUpperAscii(anyCase);
  for (const char* paved : {"ASP", "CON", "PEM", "BIT", "TAR", "PAV"}) {
    if (surface.rfind(paved, 0) == 0) return true;
  }
  return false;
}

}  // namespace

std::string RunwayTableText(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\r' || c == '\n') continue;
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

namespace {

std::string Format(const char* format, double value) {
  char buffer[64];
  snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

}  // namespace

bool ImportOurAirportsRunways(std::string_view input, std::string& table, RunwayImportReport& report,
                              const ImportProgress& progress) {
  report = RunwayImportReport{};
  table.clear();
  if (input.size() >= 3 && input.substr(0, 3) == "\xEF\xBB\xBF") input.remove_prefix(3);

  std::vector<std::string> fields;
  size_t at = 0;
  auto nextLine = [&](std::string_view& line) {
    if (at >= input.size()) return false;
    size_t end = input.find('\n', at);
    line = input.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at = end == std::string_view::npos ? input.size() : end + 1;
    return true;
  };

  std::string_view line;
  if (!nextLine(line)) {
    report.error = "the runway list is empty";
    return false;
  }
  SplitTableLine(line, ',', fields);
  Columns c;
  auto find = [&](const char* name) {
    for (size_t i = 0; i < fields.size(); ++i) {
      if (fields[i] == name) return static_cast<int>(i);
    }
    return -1;
  };
  c.ident = find("airport_ident");
  c.length = find("length_ft");
  c.width = find("width_ft");
  c.surface = find("surface");
  c.lighted = find("lighted");
  c.closed = find("closed");
  const char* suffixes[6] = {"ident",        "latitude_deg", "longitude_deg",
                             "elevation_ft", "heading_degT", "displaced_threshold_ft"};
  for (int e = 0; e < 2; ++e) {
    for (int k = 0; k < 6; ++k) {
      c.end[e][k] = find(((e == 0 ? "le_" : "he_") + std::string(suffixes[k])).c_str());
      if (c.end[e][k] < 0) {
        report.error = std::string("the runway list has no column ") + (e == 0 ? "le_" : "he_") + suffixes[k];
        return false;
      }
    }
  }
  if (c.ident < 0 || c.length < 0 || c.width < 0) {
    report.error = "the runway list lacks airport_ident, length_ft or width_ft";
    return false;
  }

  auto refuse = [&](const std::string& reason, const std::string& airport) {
    ++report.notConverted[reason];
    std::vector<std::string>& examples = report.examples[reason];
    if (examples.size() < 5) examples.push_back(airport);
  };

  size_t lines = 0;
  while (nextLine(line)) {
    if (progress && ++lines % 1024 == 0) progress(at, input.size());
    if (line.empty()) continue;
    ++report.runways;
    if (!SplitTableLine(line, ',', fields)) {
      refuse("the line is damaged", "line " + std::to_string(report.runways + 1));
      continue;
    }
    std::string airport = Text(fields, c.ident);
    if (Text(fields, c.closed) == "1") {
      ++report.closed;
      continue;
    }
    InputEnd ends[2];
    for (int e = 0; e < 2; ++e) {
      ends[e].ident = Text(fields, c.end[e][0]);
      ends[e].latitude = Number(fields, c.end[e][1]);
      ends[e].longitude = Number(fields, c.end[e][2]);
      ends[e].elevation = Number(fields, c.end[e][3]);
      ends[e].heading = Number(fields, c.end[e][4]);
      ends[e].displaced = Number(fields, c.end[e][5]);
    }
    if (!ends[0].ident.empty() && std::toupper(static_cast<unsigned char>(ends[0].ident[0])) == 'H') {
      ++report.helipads;
      continue;
    }
    if (!ends[0].located() && !ends[1].located()) {
      ++report.withoutPosition;
      continue;
    }

    // Every located end must be convertible; the runway goes whole or not at all.
    std::optional<double> length = Number(fields, c.length);
    std::optional<double> width = Number(fields, c.width);
    std::string problem;
    int codes[2] = {-1, -1};
    for (int e = 0; e < 2 && problem.empty(); ++e) {
      if (!ends[e].located()) continue;
      codes[e] = RunwayCodeOfIdent(ends[e].ident);
      if (codes[e] < 0) problem = "end identifier is no runway designator";
      else if (std::fabs(*ends[e].latitude) > 90 || std::fabs(*ends[e].longitude) > 180)
        problem = "coordinates out of range";
    }
    if (problem.empty() && (!width || *width <= 0)) problem = "no width";
    if (problem.empty()) {
      for (int e = 0; e < 2; ++e) {
        if (ends[e].located() && !ends[e].elevation && !ends[1 - e].elevation) problem = "no elevation";
      }
    }
    bool both = ends[0].located() && ends[1].located();
    if (problem.empty() && !both) {
      const InputEnd& only = ends[0].located() ? ends[0] : ends[1];
      if (!only.heading) problem = "one end located and no heading";
      else if (!length || *length <= 0) problem = "one end located and no length";
    }
    if (!problem.empty()) {
      refuse(problem, airport);
      continue;
    }

    // The reference point both rows share, written once so both rows hold
    // the very same text.
    GeoPoint reference;
    if (both) {
      reference.latitude = (*ends[0].latitude + *ends[1].latitude) / 2;
      reference.longitude = (*ends[0].longitude + *ends[1].longitude) / 2;
    } else {
      const InputEnd& only = ends[0].located() ? ends[0] : ends[1];
      reference = OffsetPoint(*only.latitude, *only.longitude, *length / 2, *only.heading, false);
    }
    std::string referenceText = Format("%.8f", reference.latitude) + "," + Format("%.8f", reference.longitude);
    bool lighted = Text(fields, c.lighted) == "1";
    double guidance = lighted && PavedSurface(Text(fields, c.surface)) ? 3 : 0;

    for (int e = 0; e < 2; ++e) {
      const InputEnd& end = ends[e];
      if (!end.located()) continue;
      const InputEnd& other = ends[1 - e];
      double elevation = end.elevation ? *end.elevation : *other.elevation;
      double heading =
          end.heading ? *end.heading : FlatBearing(*end.latitude, *end.longitude, *other.latitude, *other.longitude);
      double displaced = end.displaced ? *end.displaced : 0;
      std::string lengthText;
      if (length) lengthText = Format("%.15g", both ? *length : *length - displaced);
      table += RunwayTableText(airport) + "," + std::to_string(codes[e]) + "," + Format("%.8f", *end.latitude) + "," +
               Format("%.8f", *end.longitude) + "," + Format("%.15g", elevation) + "," + Format("%.15g", heading) +
               "," + lengthText + "," + Format("%g", guidance) + "," + Format("%.15g", *width) + ",0," + referenceText +
               "," + Format("%.15g", displaced) + "\r\n";
      ++report.rows;
    }
    ++report.imported;
  }
  return true;
}

std::string DescribeImport(const RunwayImportReport& report) {
  std::string text = std::to_string(report.imported) + " of " + std::to_string(report.runways) +
                     " runways imported as " + std::to_string(report.rows) +
                     " runway ends; left out: " + std::to_string(report.closed) + " closed, " +
                     std::to_string(report.helipads) + " helipads, " + std::to_string(report.withoutPosition) +
                     " without located ends";
  if (report.waterRunways > 0) text += ", " + std::to_string(report.waterRunways) + " water runways";
  uint32_t refused = 0;
  for (const auto& [reason, count] : report.notConverted) refused += count;
  text += ", " + std::to_string(refused) + " not convertible\n";
  for (const auto& [reason, count] : report.notConverted) {
    text += "  " + reason + ": " + std::to_string(count) + " (for example";
    for (const std::string& example : report.examples.at(reason)) text += " " + example;
    text += ")\n";
  }
  return text;
}

}  // namespace orvante
