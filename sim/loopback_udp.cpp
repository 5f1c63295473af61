// UDP on 127.0.0.1 with POSIX sockets.
#include "loopback_udp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace sim {
namespace {

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

std::string SystemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

LoopbackUdp::~LoopbackUdp() {
  if (fd_ >= 0) close(fd_);
}

common::Result<> LoopbackUdp::OpenForSending() {
  if (fd_ >= 0) return {};
  fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return common::Fail(SystemError("cannot open a UDP socket"));
  return {};
}

common::Result<> LoopbackUdp::Bind(uint16_t port) {
  if (auto opened = OpenForSending(); !opened) return opened;
  // Room for a few seconds of records while the receiver is busy.
  int size = 1 << 20;
  setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
  sockaddr_in address = Loopback(port);
  if (bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    common::Failure failure = common::Fail(SystemError(("cannot listen on 127.0.0.1:" + std::to_string(port)).c_str()));
    close(fd_);
    fd_ = -1;
    return failure;
  }
  socklen_t length = sizeof address;
  getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  return {};
}

LoopbackUdp::Received LoopbackUdp::Receive(int timeoutMs, std::string& datagram, std::string& error) {
  if (fd_ < 0) {
    error = "the socket is not open";
    return Received::Failed;
  }
  pollfd waiting{fd_, POLLIN, 0};
  int ready = poll(&waiting, 1, timeoutMs);
  if (ready == 0 || (ready < 0 && errno == EINTR)) return Received::Timeout;
  if (ready < 0) {
    error = SystemError("cannot wait for records");
    return Received::Failed;
  }
  std::vector<char> buffer(65536);
  ssize_t n = recv(fd_, buffer.data(), buffer.size(), 0);
  if (n < 0) {
    if (errno == EINTR || errno == EAGAIN) return Received::Timeout;
    error = SystemError("cannot read a record");
    return Received::Failed;
  }
  datagram.assign(buffer.data(), static_cast<size_t>(n));
  return Received::Datagram;
}

common::Result<> LoopbackUdp::Send(uint16_t port, std::string_view datagram) {
  if (auto opened = OpenForSending(); !opened) return opened;
  sockaddr_in address = Loopback(port);
  ssize_t n =
      sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  if (n < 0) return common::Fail(SystemError(("cannot send to 127.0.0.1:" + std::to_string(port)).c_str()));
  return {};
}

}  // namespace sim
