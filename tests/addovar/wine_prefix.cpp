// Temporary Wine-style prefixes for the registration tests.
#include "wine_prefix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace addovar::testing {

namespace fs = std::filesystem;

namespace {

const char* const kUser = "pilot";

// A registry path as Wine's .reg files write it: backslashes doubled.
std::string Escaped(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\\' || c == '"') result += '\\';
    result += c;
  }
  return result;
}

}  // namespace

WinePrefix::WinePrefix() {
  std::string pattern = (fs::temp_directory_path() / "orvante-addovar-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  fs::create_directories(root_ / "drive_c" / "windows");
  fs::create_directories(root_ / "dosdevices");
  fs::create_symlink("../drive_c", root_ / "dosdevices" / "c:");
  fs::create_directory_symlink("/", root_ / "dosdevices" / "z:");
  fs::create_directories(roaming() / "Microsoft" / "FSX-SE");

  if (const char* prefix = std::getenv("WINEPREFIX")) hadPrefix_ = true, oldPrefix_ = prefix;
  if (const char* user = std::getenv("USER")) hadUser_ = true, oldUser_ = user;
  setenv("WINEPREFIX", root_.c_str(), 1);
  setenv("USER", kUser, 1);
}

WinePrefix::~WinePrefix() {
  if (hadPrefix_) setenv("WINEPREFIX", oldPrefix_.c_str(), 1);
  else unsetenv("WINEPREFIX");
  if (hadUser_) setenv("USER", oldUser_.c_str(), 1);
  else unsetenv("USER");
  std::error_code error;
  fs::remove_all(root_, error);
}

fs::path WinePrefix::roaming() const { return root_ / "drive_c" / "users" / kUser / "AppData" / "Roaming"; }
fs::path WinePrefix::fsxFolder() const {
  return root_ / "drive_c" / "Program Files (x86)" / "Steam" / "steamapps" / "common" / "FSX";
}
fs::path WinePrefix::dllXml() const { return roaming() / "Microsoft" / "FSX-SE" / "dll.xml"; }
fs::path WinePrefix::backup() const { return dllXml().string() + ".orvante_backup"; }
fs::path WinePrefix::templateFile() const { return fsxFolder() / "ORVANTE" / "res" / "dll.xml"; }

void WinePrefix::InstallFsx(const std::string& templateText) {
  fs::create_directories(templateFile().parent_path());
  WriteBytes(fsxFolder() / "fsx.exe", "MZ");
  WriteBytes(templateFile(), templateText);
}

void WinePrefix::WriteUserRegistry(const std::string& appPath) {
  std::ostringstream text;
  text << "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n"
       << "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1733600000\n#time=1db48a1c2e3f4a0\n";
  if (!appPath.empty()) text << "\"AppPath\"=\"" << Escaped(appPath) << "\"\n";
  text << "\n[Software\\\\Wine] 1733600000\n\"Version\"=\"win10\"\n";
  WriteBytes(root_ / "user.reg", text.str());
}

void WinePrefix::WriteMachineRegistry(const std::string& setupPath, bool wow64) {
  std::ostringstream text;
  text << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
       << "[Software\\\\" << (wow64 ? "Wow6432Node\\\\" : "")
       << "Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\10.0] 1733600000\n";
  if (!setupPath.empty()) text << "\"SetupPath\"=\"" << Escaped(setupPath) << "\"\n";
  WriteBytes(root_ / "system.reg", text.str());
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool IsReadOnly(const fs::path& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

void MakeReadOnly(const fs::path& path) { chmod(path.c_str(), 0444); }

}  // namespace addovar::testing
