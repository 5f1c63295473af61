// Turning the OurAirports runway list (runways.csv, public domain) into the
// module's runway table, r4.csv, and its Schema.ini.
//
// One row per runway end whose coordinates are known:
//   1 airport identifier, as OurAirports gives it (the module keeps the
//     first five characters of longer ones)
//   2 runway number x 10 + letter code (0 none, 1 L, 2 R, 3 C, 4 W)
//   3, 4 the end's latitude and longitude
//   5 elevation, feet: the end's own, else the other end's
//   6 heading, degrees true: the end's own, else the bearing to the other end
//   7 length, feet: the runway's length; for a runway with one end located,
//     less that end's displaced threshold, since the module projects the
//     other end at length + displaced threshold
//   8 guidance value (see below)
//   9 width, feet
//   10 magnetic variation: 0, since the headings are already true
//   11, 12 reference point: the runway's midpoint, the same text on both
//     ends' rows (for one located end: half the length down its heading)
//   13 displaced threshold, feet (0 when not given)
//
// Guidance value. OurAirports has no approach-guidance data, so the value
// says whether the end is one that a normal approach path serves: 3 (a
// three-degree path) for both ends of a lighted runway with a paved surface
// (asphalt, concrete, bitumen, tarmac, "paved", or the code PEM), 0 otherwise.
// The module gives ends with a positive value an aim point, which its
// approach-angle check measures against.
//
// Left out and counted: closed runways, helipads (an identifier beginning
// with H), runways with no located end, and runways that cannot be converted
// without guessing: an end identifier that is no runway designator (01 to 36
// with L, R, C or W), coordinates out of range, no width, no elevation on
// either end, and, for one located end, no heading or no length.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace orvante {

struct RunwayImportReport {
  uint32_t runways = 0;   // runways in the input
  uint32_t imported = 0;  // runways written
  uint32_t rows = 0;      // rows written (runway ends)
  uint32_t closed = 0;
  uint32_t helipads = 0;
  uint32_t withoutPosition = 0;  // neither end located
  uint32_t waterRunways = 0;     // an airport file's rows 101
  // Runways that could not be converted, by reason, with a few examples.
  std::map<std::string, uint32_t> notConverted;
  std::map<std::string, std::vector<std::string>> examples;
  std::string error;  // the input as a whole is unusable
};

// The Schema.ini for the table the import writes.
std::string RunwayTableSchema();

// Told, now and then, how many bytes of the input have been read, of how many.
using ImportProgress = std::function<void(size_t done, size_t total)>;

// Converts the OurAirports runways.csv bytes into r4.csv text. Returns false
// (with report.error) when the input lacks the columns it needs.
bool ImportOurAirportsRunways(std::string_view input, std::string& table, RunwayImportReport& report,
                              const ImportProgress& progress = {});

// The runway code of an end identifier ("27L" gives 271, "9" gives 90), or -1.
int RunwayCodeOfIdent(std::string_view ident);

// A text field of the table: quoted when it holds a delimiter or a quote.
std::string RunwayTableText(const std::string& text);

// A one-paragraph account of the import.
std::string DescribeImport(const RunwayImportReport& report);

}  // namespace orvante
