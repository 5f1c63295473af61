// A temporary Wine-style prefix for tests: drive_c with dosdevices/c: linked
// to it, the user's roaming folder, an FSX-SE installation with fsx.exe and the
// add-on's dll.xml template, and the registry files user.reg and system.reg.
// The prefix becomes $WINEPREFIX (and $USER the prefix's user) while it lives.
#pragma once
#include <filesystem>
#include <string>

namespace addovar::testing {

class WinePrefix {
 public:
  WinePrefix();
  ~WinePrefix();
  WinePrefix(const WinePrefix&) = delete;
  WinePrefix& operator=(const WinePrefix&) = delete;

  std::filesystem::path root() const { return root_; }
  std::filesystem::path roaming() const;
  std::filesystem::path fsxFolder() const;  // drive_c/Program Files (x86)/Steam/steamapps/common/FSX
  std::filesystem::path dllXml() const;     // roaming/Microsoft/FSX-SE/dll.xml
  std::filesystem::path backup() const;
  std::filesystem::path templateFile() const;

  // FSX-SE's files: fsx.exe and the add-on's template (whose text is given).
  void InstallFsx(const std::string& templateText);
  // user.reg with AppPath, system.reg with SetupPath (in the 32-bit view when
  // wow64 is set); an empty value writes no value at all.
  void WriteUserRegistry(const std::string& appPath);
  void WriteMachineRegistry(const std::string& setupPath, bool wow64);

  // The Windows path of the FSX folder, as FSX-SE's installer writes it.
  static std::string FsxWindowsPath() { return "C:\\Program Files (x86)\\Steam\\steamapps\\common\\FSX\\"; }

 private:
  std::filesystem::path root_;
  std::string oldPrefix_;
  std::string oldUser_;
  bool hadPrefix_ = false;
  bool hadUser_ = false;
};

// Whole-file helpers for test files.
std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
bool IsReadOnly(const std::filesystem::path& path);
void MakeReadOnly(const std::filesystem::path& path);

}  // namespace addovar::testing
