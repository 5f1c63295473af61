// Printing runway records for the inspection command.
#include "runway_listing.h"

#include <cstdio>

namespace orvante {

std::string RunwayListingHeader() {
  return "# airport designator end_lat end_lon opposite_lat opposite_lon true_heading length_ft width_ft "
         "displaced_ft aim_lat aim_lon\n";
}

std::string RunwayListingLine(const RunwayRecord& r) {
  char aim[64];
  if (r.aimPoint.latitude == 0 && r.aimPoint.longitude == 0) {
    snprintf(aim, sizeof aim, "none none");
  } else {
    snprintf(aim, sizeof aim, "%.8f %.8f", r.aimPoint.latitude, r.aimPoint.longitude);
  }
  char line[512];
  snprintf(line, sizeof line, "%s %s %.8f %.8f %.8f %.8f %.2f %.1f %.1f %.1f %s\n",
           r.airportIdent[0] ? r.airportIdent : "-", r.designator[0] ? r.designator : "-", r.endLatitude,
           r.endLongitude, r.oppositeLatitude, r.oppositeLongitude, r.trueHeading, r.length, r.width,
           r.displacedThreshold, aim);
  return line;
}

}  // namespace orvante
