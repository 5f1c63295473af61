// Turning an X-Plane/FlightGear airport file (apt.dat, versions 850 and
// later, as FlightGear's Airports/apt.dat.gz) into the module's runway table,
// r4.csv, with the Schema.ini of the OurAirports import.
//
// The file is a sequence of rows, each a row code and fields separated by
// blanks. The import reads three kinds:
//   1, 16, 17  an airport, seaplane base or heliport: elevation in feet
//              (field 2), identifier (field 5), name (the rest; "[X]" in
//              front marks it closed)
//   100        a land runway: width in metres (field 2), surface, shoulder,
//              smoothness, centre-line lights, edge lights, distance signs,
//              then for each of its two ends: designator, latitude,
//              longitude, displaced threshold (metres), blast pad (metres),
//              markings, approach lights, touchdown-zone lights, end lights
//   21         a lighting object beside a runway: type (1 VASI, 2 and 3
//              PAPI, 4 space-shuttle PAPI, 5 tri-colour VASI, 6 runway guard
//              lights), orientation, glide-path angle, runway end
// Everything else (taxiways, signs, frequencies, ...) is passed over.
//
// One row per runway end; both ends of every runway are located, so the
// module never has to project an end:
//   1 airport identifier (the module keeps the first five characters)
//   2 runway number x 10 + letter code (0 none, 1 L, 2 R, 3 C, 4 W)
//   3, 4 the end's latitude and longitude, as the file gives them
//   5 elevation, feet: the airport's (apt.dat gives no elevation per end)
//   6 heading, degrees true: the bearing from this end to the other, on
//     the module's own flat-earth model
//   7 length, feet: the distance between the ends on that model, the
//     length the module itself measures when it pairs the ends
//   8 guidance value: the glide-path angle of the end's VASI or PAPI
//     (rows 21 of types 1 to 5 naming the end; 3 when the row gives no
//     angle); without one, 3 for an end with approach lights or with
//     non-precision or precision markings (codes 2 to 5), else 0. Only its
//     sign matters to the module, which gives ends with a positive value an
//     aim point.
//   9 width, feet (metres / 0.3048)
//   10 magnetic variation: 0, since the headings are already true
//   11, 12 reference point: the midpoint of the two ends, the same text on
//     both rows
//   13 displaced threshold, feet
//
// Left out and counted, with what the module could not use or would
// misread: runways of airports marked closed, water runways (rows 101: no
// paved surface to stand on and no designator letters the module knows),
// helipads (rows 102), runways whose end designator is no runway designator
// the module knows (01 to 36 with L, R, C or W; "31T", a true-heading
// designator of northern Canada, is not), runways with damaged rows
// (missing fields, text where numbers belong, coordinates out of range, no
// width), runways whose ends lie at one point, runways whose displaced
// thresholds leave no landing length, and runways of airports whose row
// gives no elevation. Blast pads, surfaces, shoulders, lights other than the
// approach aids, and touchdown-zone lights have no column in the table.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "runway_import.h"

namespace orvante {

class AptDatImport {
 public:
  // One line of the file, in file order, without its line end (a trailing
  // '\r' is dropped).
  void Line(std::string_view line);

  // Ends the input: converts the last airport's runways. False (with
  // Report().error) when the input was no airport file this import reads.
  bool Finish();

  const std::string& Table() const { return table_; }
  const RunwayImportReport& Report() const { return report_; }

 private:
  struct End {
    std::string designator;
    double latitude = 0, longitude = 0, displacedM = 0;
    int markings = 0, approachLights = 0;
  };
  struct Runway {
    uint64_t line = 0;
    double widthM = 0;
    End ends[2];
  };
  struct Airport {
    std::string ident;
    bool closed = false;
    bool hasElevation = false;
    double elevationFt = 0;
    uint64_t line = 0;
    std::vector<Runway> runways;
    std::map<std::string, double> approachAidAngles;  // by runway end
  };

  bool Header(std::string_view line);
  void StartAirport(const std::vector<std::string_view>& fields);
  void AddRunway(const std::vector<std::string_view>& fields);
  void AddLight(const std::vector<std::string_view>& fields);
  void EndAirport();
  void WriteRunway(const Runway& runway);
  void Refuse(const std::string& reason, uint64_t line);
  double Guidance(const End& end) const;

  uint64_t lineNumber_ = 0;
  int headerLines_ = 0;  // 0: expecting "I" or "A", 1: expecting the version line, 2: rows
  bool ended_ = false;   // row 99 seen
  bool inAirport_ = false;
  Airport airport_;
  std::string table_;
  RunwayImportReport report_;
};

// The whole file at once: table and report as from Line and Finish.
bool ImportAptDatRunways(std::string_view input, std::string& table, RunwayImportReport& report);

// Reads a text file, gzip-compressed or not, line by line into the import.
// Fails with a reason when the file cannot be read whole.
common::Result<> ReadAptDatFile(const std::string& path, AptDatImport& import);

}  // namespace orvante
