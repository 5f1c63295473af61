// Flat-earth geometry near a runway and the completion of runway ends: the
// designator letter, the opposite end (from the partner row or projected
// along the heading), the end-to-end heading and length, the outline and the
// aim point. Distances are feet unless a call asks for metres; bearings and
// headings are degrees clockwise from geographic north.
#pragma once
#include <array>
#include <memory>

#include "runways/runway_record.h"

namespace orvante {

inline constexpr double METRES_PER_DEGREE_LATITUDE = 111130.55555555556;
inline constexpr double METRES_PER_DEGREE_LONGITUDE = 111319.44444444444;  // at the equator
inline constexpr double FEET_TO_METRES = 0.3048;
inline constexpr double DEGREES_TO_RADIANS = 0.017453292519943278;
inline constexpr double RADIANS_TO_DEGREES = 57.29577951308238;
inline constexpr double FULL_TURN_RADIANS = 6.28318530717958;

// East and north components of a displacement.
struct LocalOffset {
  double east = 0;
  double north = 0;
};

// x - floor(x / y) * y: in [0, y) for a positive y.
double WrapPositive(double x, double y);

// Displacement from point 1 to point 2 on the flat-earth model, scaled by the
// cosine of lat1; metres when inMetres, else feet.
LocalOffset LocalVector(double lat1, double lon1, double lat2, double lon2, bool inMetres);

// Bearing from point 1 to point 2, degrees in [0, 360).
double FlatBearing(double lat1, double lon1, double lat2, double lon2);

// Distance from point 1 to point 2, metres when inMetres, else feet.
double FlatDistance(double lat1, double lon1, double lat2, double lon2, bool inMetres);

// The point at a distance (feet unless inMetres) and bearing (degrees) from a point.
GeoPoint OffsetPoint(double lat, double lon, double distance, double bearing, bool inMetres);

// The point moved east and north by the given distances (feet unless inMetres).
GeoPoint OffsetByComponents(double lat, double lon, double east, double north, bool inMetres);

// Corners of a runway of the given width (feet) between two end points:
// opposite-right, end-right, end-left, opposite-left and the first again.
std::array<GeoPoint, 5> BuildOutline(GeoPoint end, GeoPoint opposite, double width);

// Completes one record of the runway list once: pairs it with the record of
// the same runway (equal reference point; the last such record in the list
// wins), writes the designator letter, the true heading, the length, the
// outline and the aim point. When the list holds no partner, the opposite end
// is projected along the heading and returned as a new record, which the
// caller appends to the list and completes in turn. A record already
// completed is left unchanged and gives none.
std::unique_ptr<RunwayRecord> PairRunwayEnd(RunwayRecord& record, const RunwayList& list);

}  // namespace orvante
