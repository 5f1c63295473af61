// Nearest runway end by great-circle distance.
#include "advisories/nearest_runway.h"

#include <cmath>

#include "advisories/situation_geometry.h"

namespace orvante {

const RunwayRecord* NearestRunway(const RunwayList& runways, double latitude, double longitude,
                                  NearestRunwayMode mode) {
  const RunwayRecord* best = nullptr;
  double bestDistance = 0;
  for (const auto& record : runways) {
    bool byReference = mode == NearestRunwayMode::kReferencePoint;
    double lat = byReference ? record->refLatitude : record->endLatitude;
    double lon = byReference ? record->refLongitude : record->endLongitude;
    double distance = GreatCircleDistance(latitude, longitude, lat, lon, DistanceUnit::kNauticalMiles);
    // An end whose position is not a number has no distance; it must not
    // shadow every real end after it by staying "nearest".
    if (std::isnan(distance)) continue;
    if (best == nullptr || distance < bestDistance) {
      best = record.get();
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace orvante
