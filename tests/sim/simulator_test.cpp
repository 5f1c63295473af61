// The stand-in simulator with add-on modules of its own: the start and stop
// sequence as a module sees it, in this process and through orvante-sim.
#include "simulator.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "addon_list.h"
#include "temp_folder.h"

extern char** environ;

namespace sim {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Position of the first line that begins with prefix, or -1.
int Find(const std::vector<std::string>& lines, const std::string& prefix) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
  return -1;
}

// A simulator folder with the two test add-ons installed and listed, and an
// add-on that is listed but disabled.
class SimulatorFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    sim_ = temp_.path() / "Sim Folder";
    appData_ = temp_.path() / "AppData";
    fs::create_directories(sim_ / "Addons" / "A");
    fs::copy_file(TEST_ADDON_A, sim_ / "Addons" / "A" / "TestAddon_A.dll");
    fs::copy_file(TEST_ADDON_B, sim_ / "Addons" / "TestAddon_B.dll");
    WriteAddonList(
        "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n"
        "<SimBase.Document Type=\"Launch\" version=\"1,0\">\r\n"
        "  <Launch.Addon><Name>A</Name><Disabled>False</Disabled><Path>.\\Addons\\A\\TestAddon_A.dll</Path>"
        "<DllStartName>module_init</DllStartName><DllStopName>module_deinit</DllStopName></Launch.Addon>\r\n"
        "  <Launch.Addon><Name>Off</Name><Disabled>True</Disabled><Path>.\\Addons\\none.dll</Path></Launch.Addon>\r\n"
        "  <Launch.Addon><Name>B</Name><Path>addons\\testaddon_b.DLL</Path>"
        "<DllStartName>StartB</DllStartName><DllStopName>StopB</DllStopName></Launch.Addon>\r\n"
        "</SimBase.Document>\r\n");
  }
  void WriteAddonList(const std::string& text) { std::ofstream(sim_ / "dll.xml", std::ios::binary) << text; }
  SimulatorOptions Options() const {
    SimulatorOptions options;
    options.simulatorDir = sim_.string();
    options.appDataDir = appData_.string();
    options.addonListPath = (sim_ / "dll.xml").string();
    return options;
  }
  std::vector<std::string> Record() const { return Lines(ReadFile(appData_ / "addon-record.txt")); }

  TempFolder temp_;
  fs::path sim_, appData_;
};

TEST_F(SimulatorFolder, StartsTheEnabledAddonsInOrderAndStopsThemInReverse) {
  std::vector<std::string> said;
  std::mutex saidMutex;
  {
    Simulator simulator(Options(), [&](const std::string& line) {
      std::lock_guard<std::mutex> lock(saidMutex);
      said.push_back(line);
    });
    AircraftValues aircraft;
    aircraft.latitudeDeg = 51.4775;
    aircraft.gearHandle = 1.0;
    simulator.Gauges().SetAircraft(aircraft);
    ASSERT_TRUE(simulator.Start());
    EXPECT_TRUE(fs::is_directory(appData_ / "ORVANTE")) << "the user folder of the add-on's installation";

    std::vector<std::string> record = Record();
    std::string executable = (sim_ / "Prepar3D.exe").string();
    std::vector<std::string> expected = {
        "A start",          "A executable " + executable,  "A window found", "A panels set",
        "A variable 1 2.5", "A latitude 1 51.4775 gear 1", "A unknown 0 0",  "A entry3 0 entry4 0",
        "B start",          "B executable " + executable,  "B window found", "B panels set",
        "B variable 2 2.5", "B latitude 1 51.4775 gear 1", "B unknown 0 0",  "B entry3 0 entry4 0"};
    EXPECT_EQ(record, expected);
    EXPECT_EQ(simulator.Gauges().Variables().Name(1), "TEST_A");

    // A key event of the simulator reaches both modules' handlers.
    EXPECT_EQ(simulator.Gauges().FireKeyEvent(66482, 3), 2u);
    record = Record();
    EXPECT_TRUE(Contains(record, "A key 66482 3 with user data"));
    EXPECT_TRUE(Contains(record, "B key 66482 3 with user data"));
    simulator.Stop();
    EXPECT_EQ(simulator.Gauges().KeyEvents().Count(), 0u) << "both modules unregistered their handlers";
  }
  std::vector<std::string> record = Record();
  ASSERT_GE(record.size(), 2u);
  EXPECT_EQ(record[record.size() - 2], "B stop");
  EXPECT_EQ(record[record.size() - 1], "A stop");

  EXPECT_EQ(said.front(), "simulator folder " + sim_.string());
  EXPECT_TRUE(Contains(said, "standing as " + (sim_ / "Prepar3D.exe").string()));
  EXPECT_TRUE(Contains(said, "main window of class \"FS98MAIN\" open"));
  EXPECT_TRUE(Contains(said, "Off: disabled, not loaded"));
  EXPECT_TRUE(Contains(said, "message box \"Test add-on A\": \"Hello from A\\r\\nsecond line\" -> OK"));
  EXPECT_TRUE(Contains(said,
                       "gauge interface: execute_calculator_code: \"(A:NO SUCH THING, Number)\": no aircraft "
                       "variable \"NO SUCH THING\" (evaluates to 0)"));
  EXPECT_TRUE(Contains(said, "gauge interface: entry 3 called 2 time(s), not provided"));
  int startA = Find(said, "A: calling module_init"), startB = Find(said, "B: calling StartB");
  int stopB = Find(said, "B: StopB returned after "), stopA = Find(said, "A: module_deinit returned after ");
  ASSERT_TRUE(startA >= 0 && startB >= 0 && stopA >= 0 && stopB >= 0);
  EXPECT_LT(startA, startB);
  EXPECT_LT(stopB, stopA);
  // B takes 300 ms to stop, and the report says so.
  long long stopMs = std::atoll(said[stopB].c_str() + std::string("B: StopB returned after ").size());
  EXPECT_GE(stopMs, 300);
  EXPECT_EQ(said.back(), "stopped");
}

// --- Through the program. ---

struct Finished {
  int status = -1;  // exit status, or -1 when it did not exit normally
  std::string output;
};

class Program {
 public:
  Program(const std::vector<std::string>& arguments, const fs::path& outputFile,
          const std::string& program = ORVANTE_SIM_PROGRAM)
      : outputFile_(outputFile) {
    std::vector<std::string> all = {program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    started_ = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  bool started() const { return started_; }
  pid_t pid() const { return pid_; }
  std::string Output() const { return ReadFile(outputFile_); }
  // Waits up to the limit for a line of output that begins with prefix.
  bool WaitForLine(const std::string& prefix, std::chrono::seconds limit) const {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      if (Find(Lines(Output()), prefix) >= 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  // Waits up to the limit for the program to end; kills it after that.
  Finished Wait(std::chrono::seconds limit) {
    Finished finished;
    auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    for (;;) {
      pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) break;
      if (std::chrono::steady_clock::now() > end) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        ADD_FAILURE() << "orvante-sim did not end in time";
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status)) finished.status = WEXITSTATUS(status);
    finished.output = Output();
    return finished;
  }

 private:
  fs::path outputFile_;
  pid_t pid_ = 0;
  bool started_ = false;
};

Finished RunProgram(const std::vector<std::string>& arguments, const fs::path& outputFile) {
  Program program(arguments, outputFile);
  EXPECT_TRUE(program.started());
  if (!program.started()) return {};
  return program.Wait(std::chrono::seconds(60));
}

TEST_F(SimulatorFolder, ProgramStartsRunsAndStopsTheAddons) {
  Finished run = RunProgram({"start", "--sim-dir", sim_.string(), "--appdata", appData_.string(), "--seconds", "0.3"},
                            temp_.path() / "out.txt");
  EXPECT_EQ(run.status, 0) << run.output;
  std::vector<std::string> said = Lines(run.output);
  EXPECT_TRUE(Contains(said, "orvante-sim: add-on list " + (sim_ / "dll.xml").string() + ": 3 add-on(s)"))
      << run.output;
  EXPECT_TRUE(Contains(said, "orvante-sim: running for 0.3 s")) << run.output;
  EXPECT_TRUE(Contains(said, "orvante-sim: message box \"Test add-on B\": \"Hello from B\\r\\nsecond line\" -> OK"));
  EXPECT_EQ(said.back(), "orvante-sim: stopped");
  std::vector<std::string> record = Record();
  ASSERT_FALSE(record.empty());
  EXPECT_EQ(record.front(), "A start");
  EXPECT_TRUE(Contains(record, "B executable " + (sim_ / "Prepar3D.exe").string()));
  EXPECT_EQ(record.back(), "A stop");
}

TEST_F(SimulatorFolder, ProgramStopsInOrderOnSigterm) {
  Program program({"start", "--sim-dir", sim_.string(), "--appdata", appData_.string()}, temp_.path() / "out.txt");
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(program.WaitForLine("orvante-sim: running until Ctrl-C", std::chrono::seconds(30))) << program.Output();
  kill(program.pid(), SIGTERM);
  Finished run = program.Wait(std::chrono::seconds(30));
  EXPECT_EQ(run.status, 0) << run.output;
  std::vector<std::string> said = Lines(run.output);
  int asked = Find(said, "orvante-sim: asked to stop");
  int stopB = Find(said, "orvante-sim: B: StopB returned after");
  int stopA = Find(said, "orvante-sim: A: module_deinit returned after");
  EXPECT_TRUE(asked >= 0 && asked < stopB && stopB < stopA) << run.output;
  EXPECT_EQ(Record().back(), "A stop");
}

TEST_F(SimulatorFolder, ProgramStartedAsTheSimulatorsExecutableRunsThatSimulatorInItsFolder) {
  for (const char* name : {"Prepar3D.exe", "FSX.EXE"}) {
    fs::path executable = sim_ / name;
    fs::create_symlink(ORVANTE_SIM_PROGRAM, executable);
    fs::remove(appData_ / "addon-record.txt");
    Program program({}, temp_.path() / "out.txt", executable.string());
    ASSERT_TRUE(program.started());
    ASSERT_TRUE(program.WaitForLine("orvante-sim: running until Ctrl-C", std::chrono::seconds(30))) << program.Output();
    kill(program.pid(), SIGINT);
    Finished run = program.Wait(std::chrono::seconds(30));
    EXPECT_EQ(run.status, 0) << run.output;
    // Its application-data folder is the default one inside the simulator folder.
    std::vector<std::string> record = Lines(ReadFile(sim_ / "AppData" / "addon-record.txt"));
    ASSERT_FALSE(record.empty()) << run.output;
    std::string standsAs = (sim_ / (std::string(name) == "FSX.EXE" ? "fsx.exe" : "Prepar3D.exe")).string();
    EXPECT_EQ(record[1], "A executable " + standsAs);
    EXPECT_EQ(record.back(), "A stop");
    fs::remove(sim_ / "AppData" / "addon-record.txt");
  }
}

TEST_F(SimulatorFolder, ProgramReportsABrokenAddonListAndRunsWithoutAddons) {
  WriteAddonList("<SimBase.Document>\n<Launch.Addon>\n<Path>.\\Addons\\TestAddon_B.dll\n</Launch.Addon>\n");
  Finished run = RunProgram({"start", "--sim-dir", sim_.string(), "--appdata", appData_.string(), "--seconds", "0"},
                            temp_.path() / "out.txt");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_TRUE(Contains(Lines(run.output), "orvante-sim: add-on list " + (sim_ / "dll.xml").string() +
                                              ": line 4: the end tag </Launch.Addon> does not match <Path> opened "
                                              "on line 3; no add-ons are loaded"))
      << run.output;
  EXPECT_FALSE(fs::exists(appData_ / "addon-record.txt"));
}

TEST_F(SimulatorFolder, ProgramRefusesBadArgumentsAndAnUnusableAppDataFolder) {
  Finished run = RunProgram({"start", "--seconds", "soon"}, temp_.path() / "out.txt");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(Lines(run.output).front(), "orvante-sim: --seconds takes a number of seconds from 0, not \"soon\"");

  std::ofstream(temp_.path() / "a file") << "x";
  run = RunProgram(
      {"start", "--sim-dir", sim_.string(), "--appdata", (temp_.path() / "a file").string(), "--seconds", "0"},
      temp_.path() / "out.txt");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("cannot create the application-data folder"), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(appData_ / "addon-record.txt"));
}

// The simulator folder the build makes lists the module as its installer would.
TEST(BuiltSimulatorFolder, ListsTheModuleAndHoldsTheSimulatorsExecutable) {
  fs::path folder = ORVANTE_SIM_FOLDER;
  common::Result<AddonList> list = ReadAddonList((folder / "dll.xml").string());
  ASSERT_TRUE(list) << list.error();
  ASSERT_EQ(list->entries.size(), 1u);
  const AddonEntry& entry = list->entries[0];
  EXPECT_EQ(entry.name, "ORVANTE");
  EXPECT_FALSE(entry.disabled);
  EXPECT_FALSE(entry.manualLoad);
  EXPECT_EQ(entry.path, ".\\ORVANTE\\ORVANTE.dll");
  EXPECT_EQ(entry.startName, "module_init");
  EXPECT_EQ(entry.stopName, "module_deinit");
  EXPECT_TRUE(fs::exists(folder / "Prepar3D.exe"));
  EXPECT_EQ(fs::canonical(folder / "Prepar3D.exe"), fs::canonical(ORVANTE_SIM_PROGRAM));
}

}  // namespace
}  // namespace sim
