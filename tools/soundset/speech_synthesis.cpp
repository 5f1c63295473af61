// espeak-ng as a child process: the phrase goes in on standard input, the
// wave comes back in a temporary file.
#include "soundset/speech_synthesis.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "soundset/pcm_edits.h"
#include "soundset/wav_file.h"

extern char** environ;

namespace orvante::soundset {
namespace {

// Below about -54 dBFS counts as the synthesiser's silence; 20 ms of it stay
// around the speech so the first and last sounds are not clipped.
constexpr double kSilenceThreshold = 0.002;
constexpr double kSilenceMargin = 0.020;

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

common::Result<> SynthesizePhrase(const SpeechVoice& voice, const std::string& phrase, const std::string& tempDir,
                                  xact::PcmWave& wave) {
  std::string pattern = (tempDir.empty() ? std::string("/tmp") : tempDir) + "/orvante-speech-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int tempFd = mkstemp(name.data());
  if (tempFd < 0) return common::Fail("cannot create a temporary file in " + tempDir + ": " + std::strerror(errno));
  close(tempFd);
  std::string wavPath(name.data());

  int toChild[2];
  if (pipe2(toChild, O_CLOEXEC) != 0) {
    const std::string why = std::strerror(errno);
    unlink(wavPath.c_str());
    return common::Fail("cannot create a pipe: " + why);
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
  std::string speed = std::to_string(voice.wordsPerMinute);
  std::vector<std::string> args = {voice.program, "-v", voice.voice, "-s", speed, "-w", wavPath, "--stdin"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  int spawned = posix_spawnp(&child, voice.program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(toChild[0]);
  if (spawned != 0) {
    close(toChild[1]);
    unlink(wavPath.c_str());
    return common::Fail("cannot run " + voice.program + ": " + std::strerror(spawned));
  }
  bool written = WriteAll(toChild[1], phrase + "\n");
  close(toChild[1]);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  bool ok = written && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!ok) {
    unlink(wavPath.c_str());
    return common::Fail(voice.program + " failed on \"" + phrase + "\"");
  }
  common::Result<> read = ReadWavFile(wavPath, wave);
  unlink(wavPath.c_str());
  if (!read) return read;
  TrimSilence(wave, kSilenceThreshold, kSilenceMargin);
  return {};
}

}  // namespace orvante::soundset
