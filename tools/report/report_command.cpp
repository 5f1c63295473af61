// The flight report command.
#include "report_command.h"

#ifndef _WIN32
#include <cairo.h>
#include <librsvg/rsvg.h>
#endif

#include <cmath>
#include <optional>
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

namespace orvante::report {

namespace {

common::Result<> ReadWhole(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return common::Fail("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  text = bytes.str();
  return {};
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
  return "usage: " + name +
         " TRANSCRIPT FLIGHT --out FILE.svg [--png FILE.png] [--sim-dir DIR] [--phrases MANIFEST]\n"
         "  Draws the flight report: the runways and track with the callouts where they\n"
         "  were queued, altitude and ground speed against time, and the list of callouts.\n";
}

common::Result<std::string> RenderPngImage(const std::string& svgText) {
#ifdef _WIN32
  (void)svgText;
  return common::Fail(
      "the Windows build draws the SVG only (no SVG renderer for Windows in the build); the Linux "
      "build renders the PNG");
#else
  GError* error = nullptr;
  RsvgHandle* handle =
      rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svgText.data()), svgText.size(), &error);
  if (handle == nullptr) {
    std::string why = error ? error->message : "unknown error";
    if (error) g_error_free(error);
    return common::Fail("the SVG cannot be read: " + why);
  }
  rsvg_handle_set_dpi(handle, 96);
  gdouble width = 0, height = 0;
  if (!rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height) || width < 1 || height < 1 ||
      width > kLargestPngSide || height > kLargestPngSide) {
    g_object_unref(handle);
    return common::Fail("the SVG has no usable size in pixels (a width and height from 1 to " +
                        std::to_string(kLargestPngSide) + ")");
  }
  const int columns = static_cast<int>(std::ceil(width)), rows = static_cast<int>(std::ceil(height));
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, columns, rows);
  cairo_t* cr = cairo_create(surface);
  // Transparent parts of the drawing stand on white paper.
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  RsvgRectangle viewport{0, 0, width, height};
  bool drawn = rsvg_handle_render_document(handle, cr, &viewport, &error);
  std::optional<std::string> failure;
  if (!drawn) {
    failure = std::string("the SVG cannot be drawn: ") + (error ? error->message : "unknown error");
    if (error) g_error_free(error);
  } else if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    failure = std::string("drawing the SVG failed: ") + cairo_status_to_string(cairo_status(cr));
  }
  cairo_destroy(cr);
  std::string png;
  if (!failure) {
    cairo_status_t written = cairo_surface_write_to_png_stream(
        surface,
        [](void* closure, const unsigned char* data, unsigned int length) {
          static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
          return CAIRO_STATUS_SUCCESS;
        },
        &png);
    if (written != CAIRO_STATUS_SUCCESS)
      failure = std::string("encoding the PNG failed: ") + cairo_status_to_string(written);
  }
  cairo_surface_destroy(surface);
  g_object_unref(handle);
  if (failure) return common::Fail(*failure);
  return png;
#endif
}

common::Result<> RenderPng(const std::string& svgPath, const std::string& pngPath) {
  std::string svgText;
  if (auto read = ReadWhole(svgPath, svgText); !read) return read;
  common::Result<std::string> png = RenderPngImage(svgText);
  if (!png) return common::Fail(svgPath + ": " + png.error());
  if (!platform::WriteFileAtomically(pngPath, *png)) return common::Fail("cannot write " + pngPath);
  return {};
}

int RunReportCommand(const std::vector<std::string>& args, const std::string& defaultSimDir,
                     const std::string& defaultPhrases, std::FILE* out, std::FILE* err) {
  const std::string name = "orvante-report";
  std::vector<std::string> inputs;
  std::string svgPath, pngPath, simDir = defaultSimDir, phrasesPath = defaultPhrases;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string* option = arg == "--out"       ? &svgPath
                          : arg == "--png"     ? &pngPath
                          : arg == "--sim-dir" ? &simDir
                          : arg == "--phrases" ? &phrasesPath
                                               : nullptr;
    if (option && i + 1 < args.size()) {
      *option = args[++i];
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(ReportCommandUsage(name).c_str(), out);
      return 0;
    } else if (!option && !arg.empty() && arg[0] != '-' && inputs.size() < 2) {
      inputs.push_back(arg);
    } else {
      std::fprintf(err, "%s: unexpected argument '%s'\n%s", name.c_str(), arg.c_str(),
                   ReportCommandUsage(name).c_str());
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
  for (const common::Result<>& read : {ReadWhole(inputs[0], transcriptText), ReadWhole(inputs[1], flightText)}) {
    if (!read) {
      std::fprintf(err, "%s: %s\n", name.c_str(), read.error().c_str());
      return 1;
    }
  }
  if (auto read = ReadTranscript(transcriptText, cues); !read) {
    std::fprintf(err, "%s: %s: %s\n", name.c_str(), inputs[0].c_str(), read.error().c_str());
    return 1;
  }
  if (auto read = ReadFlightTrack(flightText, track); !read) {
    std::fprintf(err, "%s: %s: %s\n", name.c_str(), inputs[1].c_str(), read.error().c_str());
    return 1;
  }

  PhraseBook phrases;
  if (!phrasesPath.empty()) {
    std::string manifest;
    if (auto read = ReadWhole(phrasesPath, manifest); !read) {
      // The words are a nicety: the cue names stand in for them.
      std::fprintf(err, "%s: %s; callouts keep their cue names\n", name.c_str(), read.error().c_str());
    } else {
      phrases.AddManifest(manifest);
    }
  }

  GeoBox box = ReportBox(track);
  RunwayList runways;
  // Runways whose middle lies a little outside the box still cross it.
  if (auto loaded = flightplan::LoadRunwaysInBox(simDir, box.south - 0.05, box.west - 0.05, box.north + 0.05,
                                                 box.east + 0.05, runways);
      !loaded) {
    std::fprintf(err, "%s: %s; the map shows no runways\n", name.c_str(), loaded.error().c_str());
  }

  ReportInput input;
  std::string airport = StartingAirport(runways, track.front());
  input.title = "Orvante flight report" + (airport.empty() ? "" : ": " + airport) + " (" +
                std::filesystem::path(inputs[1]).filename().string() + ")";
  input.track = std::move(track);
  input.callouts = GroupCallouts(cues, phrases);
  input.runways = &runways;
  const std::string svg = RenderFlightReport(input);
  if (!platform::WriteFileAtomically(svgPath, svg)) {
    std::fprintf(err, "%s: cannot write %s\n", name.c_str(), svgPath.c_str());
    return 1;
  }
  std::fprintf(out, "%s: %s: %zu callouts, %zu runway ends\n", name.c_str(), svgPath.c_str(), input.callouts.size(),
               runways.size());
  std::fprintf(out, "%s: %s\n", name.c_str(), CalloutCounts(input.callouts, phrases).c_str());
  if (!pngPath.empty()) {
    common::Result<std::string> png = RenderPngImage(svg);
    if (!png) {
      std::fprintf(err, "%s: %s: %s\n", name.c_str(), svgPath.c_str(), png.error().c_str());
      return 1;
    }
    if (!platform::WriteFileAtomically(pngPath, *png)) {
      std::fprintf(err, "%s: cannot write %s\n", name.c_str(), pngPath.c_str());
      return 1;
    }
    std::fprintf(out, "%s: %s\n", name.c_str(), pngPath.c_str());
  }
  return 0;
}

}  // namespace orvante::report
