// Starting and stopping fgfs, and talking to its property server.
#include "fgfs_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace flightgear_live {

bool FgfsProcess::Start(const std::string& fgfs, const std::vector<std::string>& options, const std::string& home,
                        const std::string& log, std::string& error) {
  std::vector<std::string> command = {"dbus-run-session", "--", "xvfb-run", "-a", "-s", "-screen 0 1024x768x24", fgfs};
  command.insert(command.end(), options.begin(), options.end());
  pid_t pid = fork();
  if (pid < 0) {
    error = std::string("fork: ") + std::strerror(errno);
    return false;
  }
  if (pid == 0) {
    setsid();
    int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
      dup2(out, 1);
      dup2(out, 2);
    }
    setenv("FG_HOME", home.c_str(), 1);
    std::vector<char*> argv;
    for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  group_ = pid;
  return true;
}

bool FgfsProcess::Running() {
  if (group_ <= 0) return false;
  int status = 0;
  return waitpid(group_, &status, WNOHANG) == 0;
}

void FgfsProcess::Stop() {
  if (group_ <= 0) return;
  kill(-group_, SIGTERM);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  int status = 0;
  while (waitpid(group_, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  // Whatever of the group is left (Xvfb, the D-Bus daemon) goes now.
  kill(-group_, SIGKILL);
  waitpid(group_, &status, WNOHANG);
  group_ = -1;
}

PropertyClient::~PropertyClient() {
  if (fd_ >= 0) close(fd_);
}

bool PropertyClient::Connect(uint16_t port, std::chrono::seconds patience, std::string& error) {
  auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) break;
    error = std::string("cannot reach FlightGear's property server: ") + std::strerror(errno);
    close(fd_);
    fd_ = -1;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  return SendLine("data");
}

bool PropertyClient::SendLine(const std::string& line) {
  std::string text = line + "\r\n";
  size_t sent = 0;
  while (sent < text.size()) {
    ssize_t n = send(fd_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

bool PropertyClient::Set(const std::string& path, const std::string& value) {
  return SendLine("set " + path + " " + value);
}

bool PropertyClient::Set(const std::string& path, double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", value);
  return Set(path, std::string(text));
}

std::optional<std::string> PropertyClient::Get(const std::string& path, std::chrono::seconds patience) {
  if (!SendLine("get " + path)) return std::nullopt;
  auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd waiting{fd_, POLLIN, 0};
    if (poll(&waiting, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[1024];
    ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
    if (n <= 0) return std::nullopt;
    pending_.append(chunk, static_cast<size_t>(n));
  }
}

}  // namespace flightgear_live
