// The dispatch procedure: every message the simulator sends the module, on
// the simulator's thread. Frames drive the aircraft sampling; stop, crash and
// the settings dialog hold the update cycle, and the data that arrives five
// seconds after a simulation start releases it; an aircraft load reads the
// aircraft's flap detents and chooses its profile.
#pragma once
#include <string>

#include "SimConnect.h"

namespace orvante {

struct AdvisoryUnit;

void CALLBACK SimulatorDispatch(SIMCONNECT_RECV* message, DWORD size, void* context);

// An aircraft was loaded; path is normally its flight-model file
// ("SimObjects\Airplanes\ModelA\model.air"): the model becomes the name of
// its folder, and the folder's aircraft.cfg gives the flap detents.
void HandleAircraftLoaded(AdvisoryUnit& unit, const char* path);

// The folder of a flight-model path (up to its last '\' or '/') and the model,
// the last component of that folder. Empty folder when the path has no
// separator.
struct AircraftFolder {
  std::string folder;
  std::string model;
};
AircraftFolder SplitAircraftPath(const std::string& path);

}  // namespace orvante
