// The flight report command.
#include "report_command.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "airport_runways.h"
#include "callouts.h"
#include "flight_report.h"
#include "flight_track.h"
#include "platform/files.h"
#include "runways/runway_geometry.h"
#include "transcript.h"

extern char** environ;

namespace orvante::report {

namespace {

std::optional<std::string> ReadWhole(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot read " + path;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  text = bytes.str();
  return std::nullopt;
}

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::stringstream folders(path);
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
  }
  return false;
}

int Run(const std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  for (const std::string& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
  pointers.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawnp(&child, pointers[0], nullptr, nullptr, pointers.data(), environ) != 0) return -1;
  int status = 0;
  if (waitpid(child, &status, 0) < 0) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The airport the flight starts at: that of the runway end nearest its first point.
std::string StartingAirport(const RunwayList& runways, const TrackPoint& start) {
  std::string best;
  double nearest = 1e300;
  for (const auto& record : runways) {
    double d = FlatDistance(start.latitude, start.longitude, record->refLatitude, record->refLongitude, false);
    if (d < nearest) {
      nearest = d;
      best = record->airportIdent;
    }
  }
  return best;
}

}  // namespace

std::string ReportCommandUsage(const std::string& name) {
  return "usage: " + name + " TRANSCRIPT FLIGHT --out FILE.svg [--png FILE.png] [--sim-dir DIR] [--phrases MANIFEST]\n"
         "  Draws the flight report: the runways and track with the callouts where they\n"
         "  were queued, altitude and ground speed against time, and the list of callouts.\n";
}

std::optional<std::string> RenderPng(const std::string& svgPath, const std::string& pngPath) {
  int status = -1;
  if (OnPath("rsvg-convert")) {
    status = Run({"rsvg-convert", "--background-color=white", "-o", pngPath, svgPath});
  } else if (OnPath("convert")) {
    status = Run({"convert", "-background", "white", "-density", "96", svgPath, pngPath});
  } else {
    return std::string("no SVG renderer found for the PNG: install librsvg2-bin (rsvg-convert) or imagemagick");
  }
  if (status != 0) return "the SVG renderer failed to write " + pngPath;
  return std::nullopt;
}

int RunReportCommand(const std::vector<std::string>& args, const std::string& defaultSimDir,
                     const std::string& defaultPhrases, std::FILE* out, std::FILE* err) {
  const std::string name = "orvante-report";
  std::vector<std::string> inputs;
  std::string svgPath, pngPath, simDir = defaultSimDir, phrasesPath = defaultPhrases;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string* option = arg == "--out" ? &svgPath : arg == "--png" ? &pngPath : arg == "--sim-dir" ? &simDir
                          : arg == "--phrases" ? &phrasesPath : nullptr;
    if (option && i + 1 < args.size()) {
      *option = args[++i];
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(ReportCommandUsage(name).c_str(), out);
      return 0;
    } else if (!option && !arg.empty() && arg[0] != '-' && inputs.size() < 2) {
      inputs.push_back(arg);
    } else {
      std::fprintf(err, "%s: unexpected argument '%s'\n%s", name.c_str(), arg.c_str(), ReportCommandUsage(name).c_str());
      return 2;
    }
  }
  if (inputs.size() != 2 || svgPath.empty()) {
    std::fputs(ReportCommandUsage(name).c_str(), err);
    return 2;
  }

  std::string transcriptText, flightText;
  std::vector<TranscriptCue> cues;
  std::vector<TrackPoint> track;
  for (auto error : {ReadWhole(inputs[0], transcriptText), ReadWhole(inputs[1], flightText)}) {
    if (error) {
      std::fprintf(err, "%s: %s\n", name.c_str(), error->c_str());
      return 1;
    }
  }
  if (auto error = ReadTranscript(transcriptText, cues)) {
    std::fprintf(err, "%s: %s: %s\n", name.c_str(), inputs[0].c_str(), error->c_str());
    return 1;
  }
  if (auto error = ReadFlightTrack(flightText, track)) {
    std::fprintf(err, "%s: %s: %s\n", name.c_str(), inputs[1].c_str(), error->c_str());
    return 1;
  }

  PhraseBook phrases;
  if (!phrasesPath.empty()) {
    std::string manifest;
    if (auto error = ReadWhole(phrasesPath, manifest)) {
      // The words are a nicety: the cue names stand in for them.
      std::fprintf(err, "%s: %s; callouts keep their cue names\n", name.c_str(), error->c_str());
    } else {
      phrases.AddManifest(manifest);
    }
  }

  GeoBox box = ReportBox(track);
  RunwayList runways;
  // Runways whose middle lies a little outside the box still cross it.
  if (auto error = flightplan::LoadRunwaysInBox(simDir, box.south - 0.05, box.west - 0.05, box.north + 0.05,
                                                box.east + 0.05, runways)) {
    std::fprintf(err, "%s: %s; the map shows no runways\n", name.c_str(), error->c_str());
  }

  ReportInput input;
  std::string airport = StartingAirport(runways, track.front());
  input.title = "Orvante flight report" + (airport.empty() ? "" : ": " + airport) + " (" +
                std::filesystem::path(inputs[1]).filename().string() + ")";
  input.track = std::move(track);
  input.callouts = GroupCallouts(cues, phrases);
  input.runways = &runways;
  if (!platform::WriteFileAtomically(svgPath, RenderFlightReport(input))) {
    std::fprintf(err, "%s: cannot write %s\n", name.c_str(), svgPath.c_str());
    return 1;
  }
  std::fprintf(out, "%s: %s: %zu callouts, %zu runway ends\n", name.c_str(), svgPath.c_str(), input.callouts.size(),
               runways.size());
  if (!pngPath.empty()) {
    if (auto error = RenderPng(svgPath, pngPath)) {
      std::fprintf(err, "%s: %s\n", name.c_str(), error->c_str());
      return 1;
    }
    std::fprintf(out, "%s: %s\n", name.c_str(), pngPath.c_str());
  }
  return 0;
}

}  // namespace orvante::report
