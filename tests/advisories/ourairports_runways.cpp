// Reads OurAirports' runways.csv into completed runway records.
#include "ourairports_runways.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "runways/runway_geometry.h"

namespace orvante::testing {

namespace {

// Splits one CSV line; quoted fields may hold commas.
std::vector<std::string> SplitCsv(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else if (c != '\r') {
      fields.back() += c;
    }
  }
  return fields;
}

double Number(const std::string& text) { return text.empty() ? 0 : std::strtod(text.c_str(), nullptr); }

// The table's designator code of an identifier: runway number times ten plus
// 1 L, 2 R, 3 C, 4 W. -1 when the identifier is no runway number.
int DesignatorCode(const std::string& ident) {
  size_t digits = 0;
  while (digits < ident.size() && digits < 2 && ident[digits] >= '0' && ident[digits] <= '9') ++digits;
  if (digits == 0) return -1;
  int number = std::atoi(ident.substr(0, digits).c_str());
  if (number < 1 || number > 36) return -1;
  std::string rest = ident.substr(digits);
  int code = 0;
  if (rest == "L") code = 1;
  else if (rest == "R") code = 2;
  else if (rest == "C") code = 3;
  else if (rest == "W") code = 4;
  else if (!rest.empty()) return -1;
  return number * 10 + code;
}

struct Column {
  int ident, latitude, longitude, elevation, heading, displaced;
};

}  // namespace

std::string FindOurAirportsRunways() {
  std::vector<std::string> candidates;
  if (const char* source = std::getenv("ORVANTE_SOURCE_DIR")) {
    candidates.push_back(std::string(source) + "/data/ourairports/runways.csv");
  }
  candidates.push_back(ORVANTE_OURAIRPORTS_RUNWAYS);
  for (const auto& path : candidates) {
    if (std::ifstream(path).good()) return path;
  }
  return {};
}

RunwayList LoadRunwaysAround(const std::string& csvPath, double latitude, double longitude, double halfSize) {
  RunwayList list;
  std::ifstream in(csvPath);
  std::string line;
  std::getline(in, line);  // header
  // Columns: id, airport_ref, airport_ident, length_ft, width_ft, surface,
  // lighted, closed, then le_* and he_*: ident, latitude, longitude,
  // elevation, heading, displaced threshold.
  const Column ends[2] = {{8, 9, 10, 11, 12, 13}, {14, 15, 16, 17, 18, 19}};
  while (std::getline(in, line)) {
    std::vector<std::string> f = SplitCsv(line);
    if (f.size() < 20 || f[7] == "1") continue;
    if (f[9].empty() || f[10].empty() || f[15].empty() || f[16].empty()) continue;
    double refLat = (Number(f[9]) + Number(f[15])) / 2;
    double refLon = (Number(f[10]) + Number(f[16])) / 2;
    if (!(refLat > latitude - halfSize && refLat < latitude + halfSize && refLon > longitude - halfSize &&
          refLon < longitude + halfSize)) {
      continue;
    }
    if (DesignatorCode(f[ends[0].ident]) < 0 || DesignatorCode(f[ends[1].ident]) < 0) continue;
    for (const Column& c : ends) {
      auto record = std::make_unique<RunwayRecord>();
      std::snprintf(record->airportIdent, sizeof record->airportIdent, "%s", f[2].c_str());
      std::snprintf(record->designator, sizeof record->designator, "%03d", DesignatorCode(f[c.ident]));
      record->refLatitude = refLat;
      record->refLongitude = refLon;
      record->endLatitude = Number(f[c.latitude]);
      record->endLongitude = Number(f[c.longitude]);
      record->elevation = Number(f[c.elevation]);
      record->heading = Number(f[c.heading]);  // already true: no magnetic variation to add
      record->length = Number(f[3]);
      record->width = Number(f[4]);
      record->displacedThreshold = Number(f[c.displaced]);
      record->guidanceValue = 1;  // every end gets an aim point
      list.push_back(std::move(record));
    }
  }
  // The completion pass of the runway query, including ends it adds.
  for (size_t i = 0; i < list.size(); ++i) {
    if (auto added = PairRunwayEnd(*list[i], list)) list.push_back(std::move(added));
  }
  return list;
}

const RunwayRecord* FindRunwayEnd(const RunwayList& list, const char* airport, const char* designator) {
  for (const auto& r : list) {
    if (std::strcmp(r->airportIdent, airport) == 0 && std::strcmp(r->designator, designator) == 0) return r.get();
  }
  return nullptr;
}

}  // namespace orvante::testing
