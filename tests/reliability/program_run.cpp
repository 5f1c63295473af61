// Starting, watching and ending a test's program.
#include "program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

extern char** environ;

namespace faults {

std::string BuildDir() {
  const char* dir = std::getenv("ORVANTE_BUILD_DIR");
  return dir ? dir : ORVANTE_DEFAULT_BUILD_DIR;
}

std::string FaultLibrary() { return ORVANTE_FAULT_LIBRARY; }

std::vector<std::string> FaultEnvironment(const std::string& rules, const std::string& switchFile,
                                          const std::string& logFile) {
  std::vector<std::string> environment = {"LD_PRELOAD=" + FaultLibrary(), "ORVANTE_FAULTS=" + rules};
  if (!switchFile.empty()) environment.push_back("ORVANTE_FAULTS_SWITCH=" + switchFile);
  if (!logFile.empty()) environment.push_back("ORVANTE_FAULTS_LOG=" + logFile);
  // A sanitizer's runtime wants to be loaded first; the fault library comes
  // before it and touches nothing the sanitizer watches.
  const char* asan = std::getenv("ASAN_OPTIONS");
  environment.push_back(std::string("ASAN_OPTIONS=") + (asan && *asan ? std::string(asan) + ":" : "") +
                        "verify_asan_link_order=0");
  return environment;
}

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                      std::chrono::milliseconds timeout) {
  ProgramRun run;
  std::map<std::string, std::string> merged = {{"SDL_AUDIODRIVER", "dummy"}};
  for (char** entry = environ; *entry; ++entry) {
    std::string text = *entry;
    size_t equals = text.find('=');
    if (equals != std::string::npos) merged[text.substr(0, equals)] = text.substr(equals + 1);
  }
  merged["SDL_NO_SIGNAL_HANDLERS"] = "1";
  for (const std::string& text : environment) {
    size_t equals = text.find('=');
    if (equals != std::string::npos) merged[text.substr(0, equals)] = text.substr(equals + 1);
  }
  std::vector<std::string> envText;
  for (const auto& [name, value] : merged) envText.push_back(name + "=" + value);
  std::vector<char*> envp, args;
  for (std::string& text : envText) envp.push_back(text.data());
  envp.push_back(nullptr);
  std::vector<std::string> argText = argv;
  for (std::string& text : argText) args.push_back(text.data());
  args.push_back(nullptr);

  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return run;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid < 0) {
    close(pipeFds[0]);
    close(pipeFds[1]);
    return run;
  }
  if (pid == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    dup2(pipeFds[1], STDERR_FILENO);
    int null = open("/dev/null", O_RDONLY);
    if (null >= 0) dup2(null, STDIN_FILENO);
    execve(args[0], args.data(), envp.data());
    _exit(127);
  }
  close(pipeFds[1]);
  auto deadline = start + timeout;
  bool open = true;
  while (open) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      run.timedOut = true;
      kill(pid, SIGKILL);
      break;
    }
    pollfd fd = {pipeFds[0], POLLIN, 0};
    int ready = poll(&fd, 1, static_cast<int>(std::min<long long>(left.count(), 500)));
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    char chunk[8192];
    ssize_t n = read(pipeFds[0], chunk, sizeof chunk);
    if (n > 0) run.output.append(chunk, static_cast<size_t>(n));
    else if (n == 0 || errno != EINTR) open = false;
  }
  close(pipeFds[0]);
  int status = 0;
  // A program that closed its output but has not ended is given the rest of
  // its time, then ended.
  for (;;) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() >= deadline) {
      run.timedOut = true;
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    usleep(10000);
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  return run;
}

std::vector<std::string> FileLines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace faults
