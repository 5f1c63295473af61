// orvante-soundset: builds sound sets from manifests, lists a set's cues, and
// checks that a set is sound and holds every cue the unit can compose.
//
//   orvante-soundset build MANIFEST OUTDIR [--name NAME] [--jobs N] [--synthesiser PROGRAM]
//   orvante-soundset list SET
//   orvante-soundset check SET
//
// SET is the set's base path ("SoundSets/Default") or any of its three files.
// Exit status: 0 success, 1 the set is damaged, incomplete or could not be
// built, 2 a usage error.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "progress/progress_line.h"
#include "soundset/composable_cues.h"
#include "soundset/sound_set_builder.h"
#include "soundset/sound_set_check.h"
#include "soundset/sound_set_files.h"
#include "soundset/sound_set_manifest.h"

namespace {

using namespace orvante;

int Usage() {
  std::fprintf(stderr,
               "usage: orvante-soundset build MANIFEST OUTDIR [--name NAME] [--jobs N] [--synthesiser PROGRAM]\n"
               "       orvante-soundset list SET\n"
               "       orvante-soundset check SET\n");
  return 2;
}

int Build(int argc, char** argv) {
  if (argc < 4) return Usage();
  std::string manifestPath = argv[2], outDir = argv[3];
  std::string name = std::filesystem::path(manifestPath).stem().string();
  soundset::BuildOptions options;
  options.jobs = std::max(1u, std::thread::hardware_concurrency());
  for (int i = 4; i < argc; ++i) {
    std::string arg = argv[i];
    if (i + 1 >= argc) return Usage();
    if (arg == "--name") {
      name = argv[++i];
    } else if (arg == "--jobs") {
      options.jobs = static_cast<unsigned>(std::atoi(argv[++i]));
    } else if (arg == "--synthesiser") {
      options.synthesiser = argv[++i];
    } else {
      return Usage();
    }
  }
  std::error_code ec;
  std::filesystem::create_directories(outDir, ec);
  // The synthesiser's waves go to the system's temporary folder, so an
  // interrupted build leaves nothing beside the sets.
  options.tempDir = std::filesystem::temp_directory_path(ec).string();
  if (ec) options.tempDir = "/tmp";
  soundset::Manifest manifest;
  if (auto read = soundset::ReadManifest(manifestPath, manifest); !read) {
    std::fprintf(stderr, "orvante-soundset: %s\n", read.error().c_str());
    return 1;
  }
  xact::SoundSetFiles files;
  progress::ProgressLine line(stderr, "Synthesising the sound set " + name);
  options.progress = [&line](size_t done, size_t total) {
    line.Update(static_cast<double>(done), static_cast<double>(total), "cues");
  };
  common::Result<> built = soundset::BuildSoundSet(manifest, name, options, files);
  line.Done();
  if (!built) {
    std::fprintf(stderr, "orvante-soundset: %s: %s\n", manifestPath.c_str(), built.error().c_str());
    return 1;
  }
  std::string base = (std::filesystem::path(outDir) / name).string();
  if (auto written = soundset::WriteSoundSetFiles(base, files); !written) {
    std::fprintf(stderr, "orvante-soundset: %s\n", written.error().c_str());
    return 1;
  }
  std::printf("%s: %zu cues, %zu bytes (xgs %zu, xwb %zu, xsb %zu)\n", base.c_str(), manifest.entries.size(),
              files.xgs.size() + files.xwb.size() + files.xsb.size(), files.xgs.size(), files.xwb.size(),
              files.xsb.size());
  return 0;
}

int ListOrCheck(const std::string& command, const std::string& set) {
  std::string base = soundset::SoundSetBasePath(set);
  std::string name = std::filesystem::path(base).filename().string();
  xact::SoundSetFiles files;
  if (auto read = soundset::ReadSoundSetFiles(base, files); !read) {
    std::printf("%s: %s\n", name.c_str(), read.error().c_str());
    return 1;
  }
  soundset::SoundSetReport report = soundset::CheckSoundSet(files);
  if (!report.sound) {
    std::printf("%s: damaged: %s\n", name.c_str(), report.damage.c_str());
    return 1;
  }
  if (command == "list") {
    for (const std::string& cue : report.cueNames) std::printf("%s\n", cue.c_str());
    return 0;
  }
  size_t composable = soundset::ComposableCueNames().size();
  if (report.missing.empty()) {
    std::printf("%s: %zu cues; all %zu cue names the unit composes are present\n", name.c_str(), report.cueNames.size(),
                composable);
    return 0;
  }
  std::printf("%s: %zu cues; missing %zu of the %zu cue names the unit composes:\n", name.c_str(),
              report.cueNames.size(), report.missing.size(), composable);
  for (const std::string& cue : report.missing) std::printf("  %s\n", cue.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  // A synthesiser that quits before reading its phrase must not end us.
  std::signal(SIGPIPE, SIG_IGN);
  if (argc < 2) return Usage();
  std::string command = argv[1];
  if (command == "build") return Build(argc, argv);
  if ((command == "list" || command == "check") && argc == 3) return ListOrCheck(command, argv[2]);
  return Usage();
}
