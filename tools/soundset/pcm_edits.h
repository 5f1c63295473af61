// Small edits of PCM waves made before they go into a wave bank: trimming
// the silence a synthesiser leaves around speech, adding a pause, and
// setting the level.
#pragma once
#include <cstddef>

#include "xact/xact_writer.h"

namespace orvante::soundset {

size_t FrameCount(const xact::PcmWave& wave);
double DurationSeconds(const xact::PcmWave& wave);

// Cuts leading and trailing frames whose samples all stay below threshold
// (a fraction of full scale), keeping marginSeconds of them on either side.
// A wave that is silent throughout is left as it is.
void TrimSilence(xact::PcmWave& wave, double threshold, double marginSeconds);

// Appends seconds of silence.
void AppendSilence(xact::PcmWave& wave, double seconds);

// Changes the level by `decibels`, rounding each sample to the nearest step
// and clipping at full scale.
void ScaleLevel(xact::PcmWave& wave, double decibels);

}  // namespace orvante::soundset
