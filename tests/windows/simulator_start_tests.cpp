// orvante-sim.exe under Wine: the stand-in simulator starts ORVANTE.dll
// through its dll.xml as Prepar3D would, the module logs every start-up step
// in order and writes its main settings through kernel32.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_folder.h"

namespace {

// A path as Windows names it in full ("Z:\work\..." for a folder of the
// build machine under Wine).
std::string FullPath(const std::string& path) {
  char full[MAX_PATH * 4] = {};
  DWORD n = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  return n ? std::string(full, n) : path;
}

std::string SimulatorFolder() { return FullPath(ORVANTE_SIM_FOLDER); }

struct SimulatorRun {
  int exitCode = -1;
  std::string output;
};

// Runs the stand-in with arguments, output and errors together into a file,
// with boxes recorded rather than shown (ORVANTE_HEADLESS). A run that takes
// longer than two minutes is ended and fails.
SimulatorRun RunSimulator(const std::string& arguments) {
  SimulatorRun run;
  ::SetEnvironmentVariableA("ORVANTE_HEADLESS", "1");
  TempFolder outputFolder;
  std::string outputPath = outputFolder.Path("output.txt");
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE output = ::CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (output == INVALID_HANDLE_VALUE) return run;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION process{};
  std::string command = "\"" + FullPath(ORVANTE_SIM_PROGRAM) + "\" " + arguments;
  BOOL started = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                                  &startup, &process);
  ::CloseHandle(output);
  if (!started) return run;
  if (::WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) {
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    run.exitCode = static_cast<int>(code);
  } else {
    ::TerminateProcess(process.hProcess, 1);
    run.output = "(ended after two minutes)\n";
  }
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  run.output += outputFolder.Read("output.txt");
  return run;
}

// The module's log as its lines were written: Windows' C library writes the
// text-mode log with CR LF.
std::string LogLines(const TempFolder& appData) {
  std::string text = appData.Read("ORVANTE/ORVANTE.LOG"), lines;
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
  return lines;
}

// Each needle appears after the previous one.
void ExpectInOrder(const std::string& text, const std::vector<std::string>& needles) {
  size_t at = 0;
  for (const std::string& needle : needles) {
    size_t found = text.find(needle, at);
    ASSERT_NE(found, std::string::npos) << "missing or out of order: " << needle << "\nin:\n" << text;
    at = found + needle.size();
  }
}

}  // namespace

TEST(WindowsSimulator, StartLoadsTheModuleThroughDllXmlAndLogsEveryStepInOrder) {
  TempFolder appData;
  SimulatorRun run = RunSimulator("start --sim-dir \"" + SimulatorFolder() + "\" --appdata \"" +
                                  FullPath(appData.Path()) + "\" --seconds 2");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("ORVANTE.dll"), std::string::npos) << run.output;
  std::string log = LogLines(appData);
  EXPECT_EQ(log.rfind("Searching for Flight Simulator's Main Window...\n", 0), 0u) << log;
  ExpectInOrder(
      log,
      {"Searching for Flight Simulator's Main Window...\n", "Retrieving Flight Simulator's Path and Version...\n",
       "It's a supported Flight Simulator...\n", "Retrieving Orvante Pro version...\n",
       "Orvante Pro version: Version: " ORVANTE_EXPECTED_FILE_VERSION " \n", "Reading the INITIALIZATION file...\n",
       "Connecting to the Flight Simulator...\n", "Attempting to connect to the Flight Simulator...\n",
       "CONNECTED! to Flight Simulator...\n", "Initializating ORVA system...\n",
       "Registering Custom Event Handler...\n", "Creating profile font...\n", "LOG EVENT -> Initialize COM....\n"});
  // The main settings, written by kernel32: its own line form and CR LF.
  std::string settings = appData.Read("ORVANTE/ORVANTE.INI");
  for (const char* line : {"[ORVANTE]\r\n", "P3DSceneryID=0\r\n", "EnableKeyEventAPI=0\r\n", "AudioOutputDevice=0\r\n",
                           "MasterVolume=5\r\n"})
    EXPECT_NE(settings.find(line), std::string::npos) << line << " missing from\n" << settings;
}

TEST(WindowsSimulator, SettingsAreRewrittenByKernel32KeepingTheSceneryIdentifier) {
  TempFolder appData;
  appData.Write("ORVANTE/ORVANTE.LOG", "an old log line that must go\n");
  appData.Write("ORVANTE/ORVANTE.INI", "[ORVANTE]\n\nP3DSceneryID = 4711\nMasterVolume=7\n");
  SimulatorRun run = RunSimulator("start --sim-dir \"" + SimulatorFolder() + "\" --appdata \"" +
                                  FullPath(appData.Path()) + "\" --seconds 1");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(LogLines(appData).find("an old log line"), std::string::npos);
  std::string settings = appData.Read("ORVANTE/ORVANTE.INI");
  // kernel32 rewrote the hand-written lines in its own form.
  EXPECT_NE(settings.find("P3DSceneryID=4711\r\n"), std::string::npos) << settings;
  EXPECT_NE(settings.find("MasterVolume=7\r\n"), std::string::npos) << settings;
  EXPECT_EQ(settings.find("\n\n"), std::string::npos) << settings;
}

TEST(WindowsSimulator, StoodAsFsxTheModuleStopsAfterTheVersionCheck) {
  TempFolder appData;
  SimulatorRun run = RunSimulator("start --as fsx --sim-dir \"" + SimulatorFolder() + "\" --appdata \"" +
                                  FullPath(appData.Path()) + "\" --seconds 1");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(LogLines(appData),
            "Searching for Flight Simulator's Main Window...\n"
            "Retrieving Flight Simulator's Path and Version...\n");
  EXPECT_FALSE(std::filesystem::exists(appData.Path("ORVANTE/ORVANTE.INI")));
}
