// The cockpit recording needs SDL's "disk" driver under the add-ons' audio
// library; the Windows build's audio library plays through XACT3, which
// offers no such driver. The recorder says so instead of recording silence.
#include "cockpit_recorder.h"

namespace sim {

CockpitRecorder::CockpitRecorder(std::string wavPath, Pacing pacing) : wavPath_(std::move(wavPath)), pacing_(pacing) {}

CockpitRecorder::~CockpitRecorder() = default;

common::Result<> CockpitRecorder::Start() {
  return common::Fail("recording the cockpit audio needs SDL's disk driver, which the Windows build does not have (" +
                      wavPath_ + ")");
}

void CockpitRecorder::FlightAt(int64_t microseconds, bool /*settle*/) { flight_ = microseconds; }

void CockpitRecorder::Settle() {}

void CockpitRecorder::AwaitEnginePass(EnginePass /*pass*/) {}

void CockpitRecorder::EndAt(int64_t endMicroseconds) { end_ = endMicroseconds; }

common::Result<> CockpitRecorder::Finish() { return common::Fail("no cockpit recording on Windows"); }

uint64_t CockpitRecorder::Frames() { return 0; }

std::vector<std::string> CockpitRecorder::Notes() { return {}; }

}  // namespace sim
