// A UDP socket on the loopback address only (127.0.0.1): what the live link
// with FlightGear speaks. It never binds or sends anywhere else.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "common/result.h"

namespace sim {

class LoopbackUdp {
 public:
  LoopbackUdp() = default;
  ~LoopbackUdp();
  LoopbackUdp(const LoopbackUdp&) = delete;
  LoopbackUdp& operator=(const LoopbackUdp&) = delete;

  // Binds 127.0.0.1:port (0: a free port the system picks). False with a
  // reason when the port cannot be had.
  common::Result<> Bind(uint16_t port);
  // A socket that only sends.
  common::Result<> OpenForSending();

  uint16_t Port() const { return port_; }

  enum class Received { Datagram, Timeout, Failed };
  // Waits up to timeoutMs for one datagram (of at most 64 KiB).
  Received Receive(int timeoutMs, std::string& datagram, std::string& error);

  // Sends one datagram to 127.0.0.1:port.
  common::Result<> Send(uint16_t port, std::string_view datagram);

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

}  // namespace sim
