// The worker thread: suspended at first, it polls once a second while held and
// runs one cycle every 250 ms otherwise. Every cycle credits 0.25 s to the
// timers, whatever its real duration. All sleeps go through the platform
// clock, so a replay can run the worker in virtual time.
#include "core/update_cycle.h"

#include "core/advisory_unit.h"
#include "core/module_log.h"
#include "core/module_state.h"
#include "platform/clock.h"

namespace orvante {

void RunCycle(AdvisoryUnit& unit) {
  // 1. Nothing happens without a runway table and a sound set.
  if (g_module.soundSetReady.load() != 1) return;
  // 2. The cycle's time credit.
  unit.cycle.cycleStep = kCycleStep;
  // 7. Timers advance in every cycle that got this far.
  unit.cycle.panelVarTimer = unit.cycle.panelVarTimer + unit.cycle.cycleStep;
  unit.cycle.queryTimer = unit.cycle.queryTimer + unit.cycle.cycleStep;
}

uint32_t WorkerThread(void*) {
  g_module.suspended = 1;
  // The worker's thread needs no apartment set-up on this platform; the log
  // keeps the same steps.
  LogWrite("LOG EVENT -> Initialize COM....\n");
  while (AdvisoryUnit* unit = g_module.unit.load()) {
    if (g_module.stopRequested.load() == 1) break;
    if (g_module.suspended.load() != 0) {
      platform::Sleep(kSuspendedPauseMs);
      continue;
    }
    RunCycle(*unit);
    platform::Sleep(kCyclePauseMs);
  }
  g_module.stopRequested = 0;
  g_module.workerThreadId = 0;
  return 0;
}

}  // namespace orvante
