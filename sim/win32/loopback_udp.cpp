// The live link with FlightGear is not part of the Windows build: every
// operation of its socket fails and says so, so that the FlightGear command
// ends with that message.
#include "loopback_udp.h"

namespace sim {
namespace {

const char* kNotBuilt = "the live link with FlightGear (UDP on 127.0.0.1) is not part of the Windows build";

}  // namespace

LoopbackUdp::~LoopbackUdp() = default;

common::Result<> LoopbackUdp::Bind(uint16_t /*port*/) { return common::Fail(kNotBuilt); }

common::Result<> LoopbackUdp::OpenForSending() { return common::Fail(kNotBuilt); }

LoopbackUdp::Received LoopbackUdp::Receive(int /*timeoutMs*/, std::string& /*datagram*/, std::string& error) {
  error = kNotBuilt;
  return Received::Failed;
}

common::Result<> LoopbackUdp::Send(uint16_t /*port*/, std::string_view /*datagram*/) { return common::Fail(kNotBuilt); }

}  // namespace sim
