// The worker thread: suspended at first, it polls once a second while held and
// runs one cycle every 250 ms otherwise. Every cycle credits 0.25 s to the
// timers, whatever its real duration. All sleeps go through the platform
// clock, so a replay can run the worker in virtual time.
#include "core/update_cycle.h"

#include <mutex>

#include "advisories/aircraft_point.h"
#include "advisories/situation.h"
#include "core/advisory_unit.h"
#include "core/module_log.h"
#include "core/module_state.h"
#include "core/simulator_link.h"
#include "voice/announcement_playback.h"
#include "voice/voice_state.h"
#include "platform/clock.h"
#include "platform/threads.h"
#include "runways/runway_query.h"

namespace orvante {
namespace {

// Where announcements go: the audio library's queue, and the simulator's text
// line while the simulator connection is open.
const AnnouncementOutput& Output() {
  static const AnnouncementOutput output{
      [](const std::vector<std::string>& cues, bool cutCurrent) { QueueAnnouncement(cues, cutCurrent); },
      [](const std::string& text) { ShowSimulatorText(text); }};
  return output;
}

}  // namespace

void RunCycle(AdvisoryUnit& unit) {
  // 1. Nothing happens without a runway table and a sound set.
  if (unit.runways.connected.load() != 1 || g_voice.soundSetReady.load() != 1) return;
  // 2. The cycle's time credit.
  unit.cycle.cycleStep = kCycleStep;
  // The latest frame's sample, whole.
  {
    std::lock_guard<std::mutex> lock(unit.frame.lock);
    unit.sample = unit.frame.latest;
  }
  // 3. The runway query, every 15 s of cycle time, never at position 0, 0.
  if (static_cast<int32_t>(unit.cycle.queryTimer.load()) >= 15) {
    if (!(unit.sample.latitudeDeg == 0 && unit.sample.longitudeDeg == 0)) {
      std::lock_guard<std::mutex> lock(unit.runwayListLock);
      QueryRunways(unit.runways, unit.sample.latitudeDeg, unit.sample.longitudeDeg);
    }
    unit.cycle.queryTimer = 0;
  }
  // 4-6. The assessment, while the unit is switched on. A profile being
  // replaced on the simulator's thread (an aircraft load) is never seen half
  // loaded.
  std::unique_lock<std::mutex> profileLock(unit.profile.changeLock);
  if (unit.profile.settings.MasterSwitch.load() == 1) {
    SituationContext context{unit.sample,
                             unit.previousSample,
                             unit.profile.settings,
                             unit.flapPositions,
                             unit.runways.runwayList,
                             unit.state,
                             g_module.eyepointX_m.load(),
                             g_module.eyepointZ_m.load(),
                             unit.cycle.cycleStep.load(),
                             &Output()};
    UpdateAircraftPoint(context);
    AssessSituation(context);
  }
  profileLock.unlock();
  // 7. The timers advance in every cycle that got this far.
  unit.cycle.panelVarTimer.fetch_add(unit.cycle.cycleStep.load());
  unit.cycle.queryTimer.fetch_add(unit.cycle.cycleStep.load());
}

uint32_t WorkerThread(void*) {
  g_module.suspended = 1;
  // The worker's thread uses COM objects (the audio library's engine): it
  // enters an apartment of its own, and goes on without one when it cannot.
  LogWrite("LOG EVENT -> Initialize COM....\n");
  const int32_t com = platform::EnterComApartment();
  if (com < 0) {
    LogWrite("LOG EVENT -> Couldn't initialize COM...\n");
    LogWrite("LOG EVENT -> Operation FAILED! - Error code: 0x%X....\n", static_cast<uint32_t>(com));
  }
  while (AdvisoryUnit* unit = g_module.unit.load()) {
    if (g_module.stopRequested.load() == 1) break;
    if (g_module.suspended.load() != 0) {
      platform::Sleep(kSuspendedPauseMs);
      continue;
    }
    if (g_module.simConnectHandle != nullptr) EnsureMenuEntry();
    RunCycle(*unit);
    platform::Sleep(kCyclePauseMs);
  }
  // COM use ends before the module is told the worker has left: once it
  // knows, it may unload the code this thread is running.
  if (com >= 0) platform::LeaveComApartment();
  g_module.stopRequested = 0;
  g_module.workerThreadId = 0;
  return 0;
}

}  // namespace orvante
