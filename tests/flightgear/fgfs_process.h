// FlightGear for the live test: fgfs under a virtual display (xvfb-run) and a
// D-Bus session of its own (dbus-run-session), in a process group of its
// own so that every process it starts ends with it; and a client of its
// property server that sets properties and reads them back.
#pragma once
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace flightgear_live {

class FgfsProcess {
 public:
  ~FgfsProcess() { Stop(); }

  // Starts `fgfs options...` with FG_HOME in `home`; its output goes to `log`.
  bool Start(const std::string& fgfs, const std::vector<std::string>& options, const std::string& home,
             const std::string& log, std::string& error);

  // Ends fgfs, its display and its D-Bus session: SIGTERM to the group,
  // SIGKILL after a few seconds.
  void Stop();

  bool Running();

 private:
  pid_t group_ = -1;
};

class PropertyClient {
 public:
  ~PropertyClient();

  // Connects to 127.0.0.1:port, trying until `patience` has passed, and
  // switches the server to data mode (values without prompts).
  bool Connect(uint16_t port, std::chrono::seconds patience, std::string& error);

  bool Set(const std::string& path, const std::string& value);
  bool Set(const std::string& path, double value);
  // The value of a property, or nothing when the server does not answer.
  std::optional<std::string> Get(const std::string& path, std::chrono::seconds patience = std::chrono::seconds(20));

 private:
  bool SendLine(const std::string& line);
  int fd_ = -1;
  std::string pending_;
};

}  // namespace flightgear_live
