// The module-wide variables that live outside the top-level object: one
// instance, zero at load. Values that the simulator's thread and the worker
// share are atomic.
#pragma once
#include <atomic>
#include <cstdint>

#include "platform/process.h"
#include "platform/user_interface.h"

namespace orvante {

struct AdvisoryUnit;

enum SimulatorKind : int32_t {
  kSimulatorUnknown = -1,
  kSimulatorFs9 = 9,
  kSimulatorFsx = 10,
  kSimulatorPrepar3d = 11,
};

struct ModuleState {
  platform::ModuleHandle moduleHandle = nullptr;
  char appDataDir[260] = {};
  int32_t simulatorKind = kSimulatorUnknown;
  char simulatorDir[260] = {};
  platform::WindowHandle mainWindow = nullptr;
  char versionText[100] = {};
  uint32_t versionMS = 0;
  uint32_t versionLS = 0;
  void* profileFont = nullptr;  // the dialog's profile-name font, a description record
  std::atomic<uint32_t> workerThreadId{0};
  std::atomic<int32_t> stopRequested{0};
  std::atomic<int32_t> suspended{0};
  void* simConnectHandle = nullptr;
  std::atomic<int32_t> menuShown{0};
  // Cockpit eye point relative to the aircraft's reference point, metres,
  // delivered once after each simulation start; 0 until then.
  std::atomic<double> eyepointX_m{0};
  std::atomic<double> eyepointZ_m{0};
  std::atomic<AdvisoryUnit*> unit{nullptr};
};

// The one instance.
extern ModuleState g_module;

}  // namespace orvante
