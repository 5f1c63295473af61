// One runway end as the module knows it: a row of the runway table r4.csv,
// decoded by the runway query and completed with its opposite end, outline
// and aim point by the completion pass. The runway list owns its records;
// the advisory engine holds plain pointers to them within one update cycle
// only, since the next query rebuilds the list.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

namespace orvante {

struct GeoPoint {
  double latitude = 0;   // degrees
  double longitude = 0;  // degrees
};

struct RunwayRecord {
  // Column 1. Text, at most 5 characters; longer identifiers are cut to fit
  // (whole UTF-8 characters) when the row is decoded.
  char airportIdent[6] = {};
  // Column 2 as three digits ("%03d": 90 gives "090"), rewritten by the
  // completion pass to the runway's name: "09", "27L", "36C".
  char designator[5] = {};
  double refLatitude = 0;       // column 11: reference point shared by both ends of the runway
  double refLongitude = 0;      // column 12
  double endLatitude = 0;       // column 3: this runway end
  double endLongitude = 0;      // column 4
  double oppositeLatitude = 0;  // the other end; 0 until completed
  double oppositeLongitude = 0;
  // Corners of the runway surface: opposite-right, end-right, end-left,
  // opposite-left (sides seen from this end looking down the runway), and
  // the first corner again.
  GeoPoint outline[5] = {};
  GeoPoint aimPoint = {};         // 0 when the end has none
  double displacedThreshold = 0;  // column 13, feet
  double heading = 0;             // column 6, degrees
  double elevation = 0;           // column 5, feet
  double trueHeading = 0;         // geographic heading from this end to the opposite end
  double magneticVariation = 0;   // column 10, degrees, added to the heading
  double length = 0;              // column 7, feet; replaced by the end-to-end distance when paired
  double width = 0;               // column 9, feet
  float guidanceValue = 0;        // column 8; a positive value gives the end an aim point
};

// The runway list: records in the order the query built them (table rows in
// file order, then ends the completion pass added). Records never move while
// the list exists, so pointers to them stay valid until the next query.
using RunwayList = std::vector<std::unique_ptr<RunwayRecord>>;

}  // namespace orvante
