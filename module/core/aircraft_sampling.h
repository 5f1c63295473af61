// The aircraft sample of every frame, taken through the gauge interface's
// calculator code.
#pragma once

#include "advisories/aircraft_state.h"
#include "gauges.h"

namespace orvante {

struct AdvisoryUnit;

// Evaluates every simulator-variable expression of the sample into its field.
void SampleAircraft(const PANELS* panels, AircraftState& sample);

// Takes a frame's sample and hands it to the worker whole.
void SampleAircraft(AdvisoryUnit& unit, const PANELS* panels);

}  // namespace orvante
