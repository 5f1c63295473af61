// Flies a flight plan: a simple point-mass model of an airliner steered by
// each phase's guidance, integrated in steps of 0.1 s and sampled every
// 0.5 s. Positions follow from the ground speed and heading of each step and
// altitudes from its vertical speed, so the samples agree with themselves;
// limits on acceleration, braking, turn rate and bank, roll rate and the
// change of vertical speed keep the motion within what an airliner does.
// The figures are listed in tools/flightplan/README.md.
#pragma once
#include <string>

#include "flight.h"
#include "flight_plan.h"
#include "runways/runway_record.h"

#include "common/result.h"

namespace orvante::flightplan {

// Builds the flight of a plan among the airport's completed runway ends.
// Fails with "plan line N: ..." when a phase cannot be flown (a runway the
// airport lacks, an air phase on the ground, an approach that never lines
// up, a landing that leaves the runway).
common::Result<> BuildFlight(const FlightPlan& plan, const RunwayList& runways, Flight& flight);

}  // namespace orvante::flightplan
