// orvante-sim flightgear running as a child process, as a user starts it:
// its output is collected while it runs, lines can be waited for, and it is
// stopped with SIGTERM like Ctrl-C. Used by the bridge's end-to-end tests and
// the live FlightGear test.
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class BridgeProcess {
 public:
  ~BridgeProcess() { Stop(); }

  // Starts `program arguments...` with SDL's dummy audio driver unless
  // `realAudio`; output and errors go to one pipe.
  bool Start(const std::string& program, const std::vector<std::string>& arguments, bool realAudio = false) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    pid_ = fork();
    if (pid_ < 0) return false;
    if (pid_ == 0) {
      dup2(fds[1], 1);
      dup2(fds[1], 2);
      setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
      if (!realAudio) setenv("SDL_AUDIODRIVER", "dummy", 1);
      std::vector<char*> argv;
      argv.push_back(const_cast<char*>(program.c_str()));
      for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(fds[1]);
    reader_ = std::thread([this, fd = fds[0]] {
      char chunk[4096];
      ssize_t n;
      while ((n = read(fd, chunk, sizeof chunk)) > 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        output_.append(chunk, static_cast<size_t>(n));
        changed_.notify_all();
      }
      close(fd);
      std::lock_guard<std::mutex> lock(mutex_);
      ended_ = true;
      changed_.notify_all();
    });
    return true;
  }

  // Waits until the output holds `part` at or after `from`; returns where
  // it begins, or npos when the time ran out or the process ended first.
  size_t WaitFor(const std::string& part, std::chrono::milliseconds patience, size_t from = 0) {
    std::unique_lock<std::mutex> lock(mutex_);
    size_t at = std::string::npos;
    changed_.wait_for(lock, patience, [&] {
      at = output_.find(part, from);
      return at != std::string::npos || ended_;
    });
    return output_.find(part, from);
  }

  std::string Output() {
    std::lock_guard<std::mutex> lock(mutex_);
    return output_;
  }

  // SIGTERM, as Ctrl-C; after `patience` SIGKILL. Returns the exit code, or
  // -1 when the process did not end by itself.
  int Stop(std::chrono::milliseconds patience = std::chrono::seconds(20)) {
    if (pid_ <= 0) return exitCode_;
    kill(pid_, SIGTERM);
    auto deadline = std::chrono::steady_clock::now() + patience;
    int status = 0;
    for (;;) {
      pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        break;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        exitCode_ = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    pid_ = -1;
    if (reader_.joinable()) reader_.join();
    return exitCode_;
  }

  bool Running() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
  int exitCode_ = -1;
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string output_;
  bool ended_ = false;
};
