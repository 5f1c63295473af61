// The geometry every advisory check shares: great-circle distance and initial
// bearing on a sphere, heading differences, the crossing of two short
// segments, distances in the profile's unit and the approach angle. The
// flat-earth operations near a runway (OffsetPoint, LocalVector, ...) live
// with the runway records in runways/runway_geometry.h.
//
// Latitudes and longitudes are degrees, headings and bearings degrees true.
#pragma once
#include <cstdint>

#include "runways/runway_record.h"

namespace orvante {

struct SituationContext;

inline constexpr double EARTH_RADIUS_KM = 6372.797;
inline constexpr double KILOMETRES_TO_NAUTICAL_MILES = 0.539956803;
inline constexpr double NAUTICAL_MILES_TO_FEET = 6076.115485564304;
inline constexpr double KNOTS_TO_METRES_PER_SECOND = 0.514444444;

enum class DistanceUnit { kNauticalMiles, kMetres, kFeet };

// Haversine distance between two points.
double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2, DistanceUnit unit);

// Bearing of the great circle from point 1 towards point 2 at point 1, in [0, 360).
double InitialBearing(double lat1, double lon1, double lat2, double lon2);

// Heading b relative to heading a, degrees in (-180, 180].
double HeadingDifference(double a, double b);

// Whether segment a1-a2 crosses segment b1-b2, the coordinates taken as a
// plane. Parallel (or degenerate) segments never cross; a crossing exactly at
// an end of either segment counts.
bool SegmentsIntersect(GeoPoint a1, GeoPoint a2, GeoPoint b1, GeoPoint b2);

// The unit the profile compares lengths in: metres when UnitsOfMeasure is 1,
// else feet.
DistanceUnit ProfileDistanceUnit(uint32_t unitsOfMeasure);

// Whole feet in the profile's unit: truncated whole metres when
// UnitsOfMeasure is 1, else unchanged.
int64_t FeetToUnits(int64_t wholeFeet, uint32_t unitsOfMeasure);

// x rounded half up to n decimals.
double RoundTo(double x, int n);

// Angle in degrees under which the aircraft sees the runway end's aim point:
// atan2 of the height above the runway (whole feet, in the profile's unit) and
// the great-circle distance to the aim point (same unit).
double ApproachAngle(const SituationContext& ctx, const RunwayRecord& runwayEnd);

}  // namespace orvante
