// A fresh temporary folder for one test, removed afterwards.
#pragma once
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

class TempFolder {
 public:
  TempFolder() {
#ifdef _WIN32
    // No mkdtemp on Windows: a random name, taken when creating it succeeds.
    std::random_device random;
    for (;;) {
      std::filesystem::path candidate =
          std::filesystem::temp_directory_path() / ("orvante-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate)) {
        path_ = candidate.string();
        break;
      }
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "orvante-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
#endif
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  std::string Path(const std::string& name = {}) const { return name.empty() ? path_ : path_ + "/" + name; }
  // The path as the system's own programs write it: with backslashes on
  // Windows.
  std::string NativePath(const std::string& name = {}) const {
    std::string path = Path(name);
#ifdef _WIN32
    for (char& c : path)
      if (c == '/') c = '\\';
#endif
    return path;
  }
  std::string Write(const std::string& name, const std::string& contents) const {
    std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
    std::ofstream(Path(name), std::ios::binary) << contents;
    return Path(name);
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::string path_;
};
