// Kills in the middle of a save: a process that saves a profile and the main
// settings over and over (with the module's own code), and the registration
// utility rewriting dll.xml, are killed (SIGKILL) at a random moment, again
// and again. Afterwards every file must be, byte for byte, one of the
// versions a whole save writes: never torn, never missing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "program_run.h"
#include "temp_folder.h"
#include "wine_prefix.h"

namespace {

namespace fs = std::filesystem;

// A sanitizer adds nothing to what a kill leaves on disk and makes every
// start slow: sanitized builds kill fewer times.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kKills = 50;
#else
constexpr int kKills = 200;
#endif
// Fixed, so that a failure can be run again with the same moments.
constexpr unsigned kSeed = 20240521;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A started program whose output is read line by line.
struct Child {
  pid_t pid = -1;
  FILE* out = nullptr;
};

Child Start(const std::vector<std::string>& argv) {
  Child child;
  int fds[2];
  if (pipe(fds) != 0) return child;
  child.pid = fork();
  if (child.pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(fds[1]);
  child.out = fdopen(fds[0], "r");
  return child;
}

// Kills the child and reaps it; true when the kill ended it (not its own end).
bool KillAndReap(Child& child) {
  kill(child.pid, SIGKILL);
  int status = 0;
  waitpid(child.pid, &status, 0);
  if (child.out) std::fclose(child.out);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// Files a save writes before its rename, left behind by a kill mid-save.
int LeftoverTemporaries(const fs::path& folder) {
  int count = 0;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    std::string name = entry.path().filename().string();
    if (name.find(".tmp-") != std::string::npos || name.find(".new-") != std::string::npos) {
      ++count;
      fs::remove(entry.path(), error);
    }
  }
  return count;
}

// A folder in memory (/dev/shm) where there is one: a kill is no power cut,
// so what the disk has flushed does not matter, and the flushes a save makes
// would otherwise take most of the test's time.
class MemoryFolder {
 public:
  MemoryFolder() {
    std::error_code error;
    fs::path base = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "orvante-kill-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) pattern = (fs::temp_directory_path() / "orvante-kill-fallback").string();
    path_ = pattern;
    fs::create_directories(path_, error);
  }
  ~MemoryFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string Path(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

TEST(KillMidSave, AProfileAndTheMainSettingsAreAlwaysOneWholeVersion) {
  const std::string helper = faults::BuildDir() + "/tests/save_loop";
  ASSERT_TRUE(fs::exists(helper)) << helper;
  MemoryFolder folder;
  const std::string app = folder.Path("app");
  fs::create_directories(app + "/ORVANTE/Profiles");
  const fs::path profile = app + "/ORVANTE/Profiles/LOOP.INI";
  const fs::path settings = app + "/ORVANTE/ORVANTE.INI";

  // The two versions of each file, as whole saves write them, and how long
  // a process takes to save both once (most of it flushing to disk).
  auto saveOnce = [&](const char* version) {
    faults::ProgramRun run = faults::RunProgram({helper, app, version}, {}, std::chrono::seconds(30));
    long long microseconds = 0;
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(std::sscanf(run.output.c_str(), "saved in %lld us", &microseconds), 1) << run.output;
    return static_cast<double>(microseconds) / 1e6;
  };
  const double roundB = saveOnce("b");
  const std::string profileB = ReadBytes(profile), settingsB = ReadBytes(settings);
  const double roundA = saveOnce("a");
  const std::string profileA = ReadBytes(profile), settingsA = ReadBytes(settings);
  const double roundSeconds = std::max({roundA, roundB, 0.002});
  ASSERT_NE(profileA, profileB);
  ASSERT_NE(settingsA, settingsB);
  ASSERT_NE(settingsA.find("MasterVolume=3"), std::string::npos) << settingsA;
  ASSERT_NE(settingsB.find("P3DSceneryID=1234"), std::string::npos) << settingsB;

  // The kills fall anywhere in the first two rounds, the first of which
  // always changes both files.
  std::mt19937 random(kSeed);
  std::uniform_real_distribution<double> delay(0.0, 2 * roundSeconds);
  int killed = 0, midSave = 0;
  for (int run = 0; run < kKills; ++run) {
    Child child = Start({helper, app, "loop"});
    ASSERT_GT(child.pid, 0);
    char line[64] = {};
    ASSERT_NE(std::fgets(line, sizeof line, child.out), nullptr) << "run " << run << ": the helper never saved";
    std::this_thread::sleep_for(std::chrono::duration<double>(delay(random)));
    if (KillAndReap(child)) ++killed;

    const std::string nowProfile = ReadBytes(profile), nowSettings = ReadBytes(settings);
    ASSERT_TRUE(fs::exists(profile)) << "run " << run << ": the profile is missing";
    ASSERT_TRUE(fs::exists(settings)) << "run " << run << ": the main settings are missing";
    ASSERT_TRUE(nowProfile == profileA || nowProfile == profileB) << "run " << run << ": a torn profile:\n"
                                                                  << nowProfile;
    ASSERT_TRUE(nowSettings == settingsA || nowSettings == settingsB) << "run " << run << ": torn main settings:\n"
                                                                      << nowSettings;
    midSave += LeftoverTemporaries(app + "/ORVANTE") + LeftoverTemporaries(app + "/ORVANTE/Profiles") > 0;
  }
  std::printf(
      "kill mid-save: %d kills of %d runs (saving both files takes %.1f ms), %d of them in the middle of a "
      "write (a temporary file left)\n",
      killed, kKills, roundSeconds * 1000, midSave);
  EXPECT_EQ(killed, kKills);
  // Some kills must have met a write in progress, or the test proves nothing.
  EXPECT_GT(midSave, 0);
}

const std::string kDllXml =
    "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n"
    "<SimBase.Document Type=\"Launch\" version=\"1,0\">\r\n"
    "\t<Descr>Launch</Descr>\r\n"
    "\t<Launch.Addon>\r\n\t\t<Name>Weather Radar</Name>\r\n\t\t<Path>Modules\\radar.dll</Path>\r\n\t</Launch.Addon>\r\n"
    "\t\t<Name>PMDG_Interface</Name>\r\n\t\t<Path>PMDG\\interface.dll</Path>\r\n\t</Launch.Addon>\r\n"
    "</SimBase.Document>\r\n";

TEST(KillMidSave, DllXmlRewrittenByTheRegistrationUtilityIsNeverTornNorMissing) {
  const std::string addovar = faults::BuildDir() + "/bin/addovar";
  ASSERT_TRUE(fs::exists(addovar)) << addovar;
  addovar::testing::WinePrefix prefix;
  prefix.InstallFsx(kDllXml);
  prefix.WriteUserRegistry(addovar::testing::WinePrefix::FsxWindowsPath());

  // The versions an install can leave: the file as it was, with the module's
  // block, and with the block and the repaired opening tag.
  auto reset = [&] {
    std::error_code ignored;
    fs::remove(prefix.backup(), ignored);
    addovar::testing::WriteBytes(prefix.dllXml(), kDllXml);
  };
  reset();
  // How long an install takes from its start, warm: the median of five.
  std::vector<double> runs;
  for (int i = 0; i < 5; ++i) {
    reset();
    auto start = std::chrono::steady_clock::now();
    Child child = Start({addovar, "-INSTALL"});
    int status = 0;
    waitpid(child.pid, &status, 0);
    runs.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (child.out) std::fclose(child.out);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::sort(runs.begin(), runs.end());
  const double runSeconds = std::max(runs[2], 0.002);
  const std::string installed = ReadBytes(prefix.dllXml());
  ASSERT_NE(installed.find("<Name>ORVANTE</Name>"), std::string::npos);
  ASSERT_EQ(ReadBytes(prefix.backup()), kDllXml);
  // The middle version: the block added, the tag not yet repaired.
  std::string blockOnly = installed;
  const std::string repaired = "\t<Launch.Addon>\r\n\t\t<Name>PMDG_Interface</Name>";
  size_t at = blockOnly.find(repaired);
  ASSERT_NE(at, std::string::npos) << installed;
  blockOnly.erase(at, std::string("\t<Launch.Addon>\r\n").size());

  std::mt19937 random(kSeed);
  std::uniform_real_distribution<double> delay(0.0, runSeconds);
  int killed = 0, old = 0, middle = 0, done = 0;
  for (int run = 0; run < kKills; ++run) {
    reset();
    Child child = Start({addovar, "-INSTALL"});
    ASSERT_GT(child.pid, 0);
    std::this_thread::sleep_for(std::chrono::duration<double>(delay(random)));
    if (KillAndReap(child)) ++killed;

    ASSERT_TRUE(fs::exists(prefix.dllXml())) << "run " << run << ": dll.xml is missing";
    const std::string now = ReadBytes(prefix.dllXml());
    if (now == kDllXml) ++old;
    else if (now == blockOnly) ++middle;
    else if (now == installed) ++done;
    else FAIL() << "run " << run << ": a torn dll.xml:\n" << now;
    if (fs::exists(prefix.backup())) {
      EXPECT_EQ(ReadBytes(prefix.backup()), kDllXml) << "run " << run << ": a torn backup";
    }
  }
  std::printf(
      "kill mid-save of dll.xml: %d kills of %d runs (one run takes %.1f ms); left as it was %d, "
      "with the block %d, installed %d\n",
      killed, kKills, runSeconds * 1000, old, middle, done);
  EXPECT_GT(killed, 0);
}

}  // namespace
