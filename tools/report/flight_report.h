// The flight report: a picture of one flight for a pilot. Above, the map:
// the runways around the flight (outlines from the runway records,
// designators at their ends), the track (brown on the ground, blue in the
// air) and a numbered marker with its words where each callout was queued;
// when the flight has a ground part, a second map shows the runways close
// up. Below, altitude and ground speed against time with the callouts'
// numbers on the time axis, and the list of callouts with their times.
#pragma once
#include <string>
#include <vector>

#include "callouts.h"
#include "flight_track.h"
#include "map_projection.h"
#include "runways/runway_record.h"

namespace orvante::report {

struct ReportInput {
  std::string title;
  std::vector<TrackPoint> track;
  std::vector<Callout> callouts;
  const RunwayList* runways = nullptr;
};

// The box a report's runways are looked up in: the whole track's box grown
// by the map's margins.
GeoBox ReportBox(const std::vector<TrackPoint>& track);

// The SVG text of the report. Each map is a group with class "map" whose
// data-box ("south west north east") and data-rect ("left top width height")
// attributes give its projection; callout markers are circles with class
// "callout" and data-number.
std::string RenderFlightReport(const ReportInput& input);

}  // namespace orvante::report
