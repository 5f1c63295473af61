// The registration end to end: the addovar program registers the module in a
// Wine prefix's dll.xml that lists other add-ons, the stand-in simulator reads
// that dll.xml, loads ORVANTE from it and starts it; after the uninstall the
// simulator finds the module no more.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "addon_block.h"
#include "wine_prefix.h"

namespace addovar {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WinePrefix;
using testing::WriteBytes;

struct ProgramRun {
  int exitCode = -1;
  std::string output;  // standard output and error together
};

// CTest names the build folder; run by hand, the test finds it above its own folder (build/tests).
std::string BuildDir() {
  if (const char* dir = std::getenv("ORVANTE_BUILD_DIR")) return dir;
  std::error_code error;
  return fs::read_symlink("/proc/self/exe", error).parent_path().parent_path().string();
}

// Runs a command through the shell; the environment ($WINEPREFIX, $USER) is this process's.
ProgramRun RunProgram(const std::string& command) {
  ProgramRun run;
  FILE* pipe = popen(("SDL_AUDIODRIVER=dummy SDL_NO_SIGNAL_HANDLERS=1 " + command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) run.output.append(chunk, n);
  int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

const std::string kOtherAddons =
    "<?xml version=\"1.0\" encoding=\"Windows-1252\"?>\r\n"
    "<SimBase.Document Type=\"Launch\" version=\"1,0\">\r\n"
    "\t<Descr>Launch</Descr>\r\n"
    "\t<Filename>dll.xml</Filename>\r\n"
    "\t<Launch.Addon>\r\n\t\t<Name>Weather Radar</Name>\r\n\t\t<Disabled>True</Disabled>\r\n"
    "\t\t<Path>Modules\\radar.dll</Path>\r\n\t</Launch.Addon>\r\n"
    "\t<Launch.Addon>\r\n\t\t<Name>Ground Handling</Name>\r\n\t\t<Disabled>True</Disabled>\r\n"
    "\t\t<Path>Modules\\ground.dll</Path>\r\n\t\t<DllStartName>StartGround</DllStartName>\r\n\t</Launch.Addon>\r\n"
    "</SimBase.Document>\r\n";

TEST(RegistrationWithSimulator, TheSimulatorStartsTheModuleFromTheRegisteredDllXml) {
  WinePrefix prefix;
  std::string templateText = kOtherAddons;  // any template; the existing dll.xml is what gets the block
  prefix.InstallFsx(templateText);
  prefix.WriteUserRegistry(WinePrefix::FsxWindowsPath());
  WriteBytes(prefix.dllXml(), kOtherAddons);

  const std::string addovar = BuildDir() + "/bin/addovar";
  ProgramRun install = RunProgram(addovar + " -INSTALL");
  ASSERT_EQ(install.exitCode, 0) << install.output;
  EXPECT_EQ(install.output, "");  // no message box
  const std::string registered = ReadBytes(prefix.dllXml());
  ASSERT_NE(registered.find("\t\t<Name>ORVANTE</Name>\r\n"), std::string::npos) << registered;

  const fs::path appData = prefix.roaming();
  const std::string simulator = BuildDir() + "/bin/orvante-sim start --sim-dir " + Quoted(BuildDir() + "/sim") +
                                " --appdata " + Quoted(appData) + " --seconds 1 --dll-xml " + Quoted(prefix.dllXml());
  ProgramRun run = RunProgram(simulator);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("3 add-on(s)"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Weather Radar: disabled, not loaded"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("ORVANTE: loaded "), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("ORVANTE: module_init returned"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("ORVANTE: module_deinit returned"), std::string::npos) << run.output;
  // The module itself ran: its log begins with its first start-up step.
  const std::string log = ReadBytes(appData / "ORVANTE" / "ORVANTE.LOG");
  EXPECT_EQ(log.rfind("Searching for Flight Simulator's Main Window...\n", 0), 0u) << log;

  ProgramRun uninstall = RunProgram(addovar + " -UN_INSTALL");
  ASSERT_EQ(uninstall.exitCode, 0) << uninstall.output;
  EXPECT_EQ(uninstall.output, "");
  EXPECT_EQ(ReadBytes(prefix.dllXml()), kOtherAddons);

  fs::remove(appData / "ORVANTE" / "ORVANTE.LOG");
  run = RunProgram(simulator);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("2 add-on(s)"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("ORVANTE:"), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(appData / "ORVANTE" / "ORVANTE.LOG"));
}

TEST(RegistrationWithSimulator, TheProgramShowsItsBoxesOnStandardErrorAndEndsWithZero) {
  WinePrefix prefix;
  const std::string addovar = BuildDir() + "/bin/addovar";
  ProgramRun run = RunProgram(addovar);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output,
            "[Orvante Pro] Sorry, this utility is only designed to be launched by the the Orvante Pro "
            "installer/uninstaller!\n");

  // No FSX-SE in the registry and no dll.xml: only the simulator-not-found box.
  run = RunProgram(addovar + " -INSTALL");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output.rfind("[Orvante Pro] Sorry, it appears FSX-SE is not installed correctly", 0), 0u) << run.output;
  EXPECT_FALSE(fs::exists(prefix.dllXml()));

  // A dll.xml that cannot be configured: the reason, then the failure box.
  const std::string utf16("\xFF\xFE<\0?\0", 6);
  WriteBytes(prefix.dllXml(), utf16);
  run = RunProgram(addovar + " -UN_INSTALL");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.output.find("addovar: "), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("[Orvante Pro] Sorry, unable to configure your DLL.XML file.\n"), std::string::npos)
      << run.output;
  EXPECT_EQ(ReadBytes(prefix.dllXml()), utf16);
}

}  // namespace
}  // namespace addovar
