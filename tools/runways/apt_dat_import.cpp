// Converting an X-Plane/FlightGear airport file into the module's runway table.
#include "apt_dat_import.h"

#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "common/scope_exit.h"
#include "runways/runway_geometry.h"
#include "runways/text_table.h"

namespace orvante {
namespace {

constexpr int kOldestVersion = 850;  // the first with runway rows of code 100
constexpr size_t kRunwayFields = 26;
constexpr size_t kEndFields = 9;

// Fields separated by blanks and tabs.
void SplitFields(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    size_t end = at;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
    if (end > at) fields.push_back(line.substr(at, end - at));
    at = end;
  }
}

bool Number(std::string_view text, double& value) { return ParseDecimalNumber(text, value) && std::isfinite(value); }

bool WholeNumber(std::string_view text, int& value) {
  double number = 0;
  if (!Number(text, number) || number != std::floor(number) || std::fabs(number) > 1e6) return false;
  value = static_cast<int>(number);
  return true;
}

std::string Format(const char* format, double value) {
  char buffer[64];
  snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string Printable(std::string_view text) {
  std::string out;
  for (char c : text.substr(0, 40)) out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
  return out;
}

}  // namespace

void AptDatImport::Refuse(const std::string& reason, uint64_t line) {
  ++report_.notConverted[reason];
  std::vector<std::string>& examples = report_.examples[reason];
  if (examples.size() < 5) {
    std::string where = airport_.ident.empty() ? "" : airport_.ident + " ";
    examples.push_back(where + "(line " + std::to_string(line) + ")");
  }
}

bool AptDatImport::Header(std::string_view line) {
  std::vector<std::string_view> fields;
  SplitFields(line, fields);
  if (headerLines_ == 0) {
    if (fields.empty()) return true;  // blank lines before the origin line
    if (fields.size() != 1 || (fields[0] != "I" && fields[0] != "A")) {
      report_.error =
          "not an X-Plane/FlightGear airport file: its first line is \"" + Printable(line) + "\", not \"I\" or \"A\"";
      return false;
    }
    headerLines_ = 1;
    return true;
  }
  int version = 0;
  if (fields.empty() || !WholeNumber(fields[0], version)) {
    report_.error =
        "not an X-Plane/FlightGear airport file: line " + std::to_string(lineNumber_) + " gives no version number";
    return false;
  }
  if (version < kOldestVersion) {
    report_.error = "apt.dat version " + std::to_string(version) +
                    " keeps runways in rows of code 10, which this import does not read (version 850 or later needed)";
    return false;
  }
  headerLines_ = 2;
  return true;
}

void AptDatImport::Line(std::string_view line) {
  ++lineNumber_;
  if (!report_.error.empty() || ended_) return;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (headerLines_ < 2) {
    Header(line);
    return;
  }
  std::vector<std::string_view> fields;
  SplitFields(line, fields);
  if (fields.empty()) return;
  std::string_view code = fields[0];
  if (code == "1" || code == "16" || code == "17") {
    EndAirport();
    StartAirport(fields);
  } else if (code == "100") {
    ++report_.runways;
    AddRunway(fields);
  } else if (code == "101") {
    ++report_.waterRunways;
  } else if (code == "102") {
    ++report_.helipads;
  } else if (code == "21") {
    AddLight(fields);
  } else if (code == "99") {
    EndAirport();
    ended_ = true;
  }
}

void AptDatImport::StartAirport(const std::vector<std::string_view>& fields) {
  inAirport_ = true;
  airport_ = Airport{};
  airport_.line = lineNumber_;
  if (fields.size() >= 5) airport_.ident = std::string(fields[4].substr(0, 16));
  airport_.hasElevation =
      fields.size() >= 2 && Number(fields[1], airport_.elevationFt) && std::fabs(airport_.elevationFt) < 100000;
  airport_.closed = fields.size() >= 6 && fields[5].substr(0, 3) == "[X]";
}

void AptDatImport::AddRunway(const std::vector<std::string_view>& fields) {
  if (!inAirport_) {
    Refuse("runway row outside an airport", lineNumber_);
    return;
  }
  if (fields.size() < kRunwayFields) {
    Refuse("damaged runway row (fewer than 26 fields)", lineNumber_);
    return;
  }
  Runway runway;
  runway.line = lineNumber_;
  bool numbers = Number(fields[1], runway.widthM);
  for (int e = 0; e < 2; ++e) {
    End& end = runway.ends[e];
    size_t first = 8 + e * kEndFields;
    end.designator = std::string(fields[first]);
    double blastPad = 0;
    numbers = numbers && Number(fields[first + 1], end.latitude) && Number(fields[first + 2], end.longitude) &&
              Number(fields[first + 3], end.displacedM) && Number(fields[first + 4], blastPad) &&
              WholeNumber(fields[first + 5], end.markings) && WholeNumber(fields[first + 6], end.approachLights);
  }
  if (!numbers) {
    Refuse("damaged runway row (text where a number belongs)", lineNumber_);
    return;
  }
  airport_.runways.push_back(std::move(runway));
}

void AptDatImport::AddLight(const std::vector<std::string_view>& fields) {
  // 21 LAT LON TYPE ORIENTATION ANGLE RUNWAY [DESCRIPTION]
  int type = 0;
  double angle = 0;
  if (!inAirport_ || fields.size() < 7 || !WholeNumber(fields[3], type) || type < 1 || type > 5) return;
  if (!Number(fields[5], angle) || angle <= 0 || angle > 20) angle = 3;
  airport_.approachAidAngles[std::string(fields[6])] = angle;
}

double AptDatImport::Guidance(const End& end) const {
  auto aid = airport_.approachAidAngles.find(end.designator);
  if (aid != airport_.approachAidAngles.end()) return aid->second;
  bool instrumentMarkings = end.markings >= 2 && end.markings <= 5;
  return end.approachLights > 0 || instrumentMarkings ? 3 : 0;
}

void AptDatImport::EndAirport() {
  if (!inAirport_) return;
  for (const Runway& runway : airport_.runways) {
    if (airport_.closed) {
      ++report_.closed;
      continue;
    }
    WriteRunway(runway);
  }
  inAirport_ = false;
  airport_ = Airport{};
}

void AptDatImport::WriteRunway(const Runway& runway) {
  int codes[2];
  for (int e = 0; e < 2; ++e) {
    const End& end = runway.ends[e];
    codes[e] = RunwayCodeOfIdent(end.designator);
    if (codes[e] < 0) return Refuse("end designator is no runway designator", runway.line);
    if (std::fabs(end.latitude) > 90 || std::fabs(end.longitude) > 180)
      return Refuse("coordinates out of range", runway.line);
    if (end.displacedM < 0) return Refuse("negative displaced threshold", runway.line);
  }
  if (!(runway.widthM > 0) || runway.widthM > 1000) return Refuse("no width", runway.line);
  if (!airport_.hasElevation) return Refuse("no elevation", runway.line);
  const End& a = runway.ends[0];
  const End& b = runway.ends[1];
  double lengthFt = FlatDistance(a.latitude, a.longitude, b.latitude, b.longitude, false);
  if (!(lengthFt >= 1)) return Refuse("both ends at one point", runway.line);
  if ((a.displacedM + b.displacedM) / FEET_TO_METRES >= lengthFt)
    return Refuse("displaced thresholds leave no runway", runway.line);

  std::string reference =
      Format("%.8f", (a.latitude + b.latitude) / 2) + "," + Format("%.8f", (a.longitude + b.longitude) / 2);
  std::string ident = RunwayTableText(airport_.ident);
  for (int e = 0; e < 2; ++e) {
    const End& end = runway.ends[e];
    const End& other = runway.ends[1 - e];
    double heading = FlatBearing(end.latitude, end.longitude, other.latitude, other.longitude);
    table_ += ident + "," + std::to_string(codes[e]) + "," + Format("%.8f", end.latitude) + "," +
              Format("%.8f", end.longitude) + "," + Format("%.15g", airport_.elevationFt) + "," +
              Format("%.2f", heading) + "," + Format("%.1f", lengthFt) + "," + Format("%g", Guidance(end)) + "," +
              Format("%.2f", runway.widthM / FEET_TO_METRES) + ",0," + reference + "," +
              Format("%.2f", end.displacedM / FEET_TO_METRES) + "\r\n";
    ++report_.rows;
  }
  ++report_.imported;
}

bool AptDatImport::Finish() {
  if (!report_.error.empty()) return false;
  if (headerLines_ < 2) {
    report_.error = lineNumber_ == 0 || headerLines_ == 0 ? "the airport file is empty"
                                                          : "the airport file ends after its first line";
    return false;
  }
  EndAirport();
  return true;
}

bool ImportAptDatRunways(std::string_view input, std::string& table, RunwayImportReport& report) {
  AptDatImport import;
  size_t at = 0;
  while (at < input.size()) {
    size_t end = input.find('\n', at);
    if (end == std::string_view::npos) end = input.size();
    import.Line(input.substr(at, end - at));
    at = end + 1;
  }
  bool ok = import.Finish();
  table = import.Table();
  report = import.Report();
  return ok;
}

common::Result<> ReadAptDatFile(const std::string& path, AptDatImport& import) {
  // zlib reads files that are not compressed as they are.
  gzFile file = gzopen(path.c_str(), "rb");
  if (file == nullptr) return common::Fail("cannot open " + path);
  common::ScopeExit close([file] { gzclose(file); });
  gzbuffer(file, 1 << 17);
  std::string pending;
  std::vector<char> chunk(1 << 16);
  for (;;) {
    int n = gzread(file, chunk.data(), static_cast<unsigned>(chunk.size()));
    if (n < 0) {
      int code = 0;
      const char* message = gzerror(file, &code);
      return common::Fail(path + " is damaged: " + (message ? message : "read error"));
    }
    if (n == 0) break;
    pending.append(chunk.data(), static_cast<size_t>(n));
    size_t at = 0;
    for (size_t end; (end = pending.find('\n', at)) != std::string::npos; at = end + 1) {
      import.Line(std::string_view(pending).substr(at, end - at));
    }
    pending.erase(0, at);
  }
  // A compressed file cut short reads as a clean end; zlib tells it apart.
  int code = 0;
  const char* message = gzerror(file, &code);
  if (code != Z_OK && code != Z_STREAM_END)
    return common::Fail(path + " is damaged: " + (message ? message : "read error"));
  if (!pending.empty()) import.Line(pending);
  return {};
}

}  // namespace orvante
