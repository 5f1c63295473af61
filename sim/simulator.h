// The stand-in simulator: it plays the simulator's part towards add-on
// modules. Start stands the process in for the simulator's executable in its
// folder, opens the main window, publishes the gauge interface, serves
// SimConnect and loads and starts the add-ons of dll.xml in order; Stop stops
// them in reverse order. Between the two the simulator runs frames: live at
// 30 a second with the aircraft parked (Run), or driven by a replay (Frame).
#pragma once
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "addon_loader.h"
#include "gauge_table.h"
#include "platform/user_interface.h"
#include "simconnect_server.h"

namespace sim {

// Which simulator the process stands as: the name of its executable.
enum class SimulatorIdentity { Prepar3D, Fsx, Fs9 };
const char* ExecutableName(SimulatorIdentity identity);  // "Prepar3D.exe", "fsx.exe", "fs9.exe"

struct SimulatorOptions {
  std::string simulatorDir;   // the simulator folder (absolute)
  std::string appDataDir;     // the user's roaming application-data folder
  std::string addonListPath;  // dll.xml
  SimulatorIdentity identity = SimulatorIdentity::Prepar3D;
  bool serveSimConnect = true;  // false: add-ons find no simulator to connect to
};

class Simulator {
 public:
  // Every line of what the simulator does goes to output, from any thread.
  using Output = std::function<void(const std::string& line)>;

  Simulator(SimulatorOptions options, Output output);
  ~Simulator();  // stops what is still running
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Stands the simulator up and starts its add-ons. False when the simulator
  // itself cannot run (its application-data folder cannot be made); a bad
  // add-on list or add-on is reported and the simulator runs without it.
  bool Start();

  // Runs live until the duration has passed or shouldStop answers true (asked
  // several times a second): the simulation starts, then frames follow at
  // 30 a second of wall time.
  void Run(std::chrono::milliseconds duration, const std::function<bool()>& shouldStop);

  // One frame at simulated time now (seconds): SimConnect data and the frame
  // event go out, and every queued message is dispatched on this thread.
  void Frame(double now);

  // Hooks for a replay's transcript; each hears from the thread the event
  // comes from. Set them before Start.
  void SetBoxListener(std::function<void(const platform::MessageBoxRecord&)> listener);
  void SetTextListener(std::function<void(const std::string& text)> listener);

  // Stops the started add-ons in reverse order of their start, reporting how
  // long each stop took, and takes the simulator down. Modules stay loaded
  // until the process ends, as the simulator leaves them.
  void Stop();

  GaugeTable& Gauges() { return gauges_; }
  simconnect::Server& SimConnect() { return server_; }
  const std::vector<LoadedAddon>& Addons() const { return started_; }

 private:
  void Say(const std::string& line);
  void LoadAddons();
  void ServeSimConnect();

  SimulatorOptions options_;
  Output output_;
  GaugeTable gauges_;
  simconnect::Server server_;
  std::function<void(const platform::MessageBoxRecord&)> boxListener_;
  std::function<void(const std::string&)> textListener_;
  platform::WindowHandle mainWindow_ = nullptr;
  std::vector<LoadedAddon> started_;
  std::vector<std::pair<int, uint64_t>> unprovidedAtStart_;  // to report this run's calls only
  bool running_ = false;
};

}  // namespace sim
