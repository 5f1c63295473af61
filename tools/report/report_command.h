// The flight report command:
//   TRANSCRIPT FLIGHT --out FILE.svg [--png FILE.png] [--sim-dir DIR] [--phrases MANIFEST]
// The runways come from DIR's runway table (the build's simulator folder
// unless given), the callouts' words from a voice manifest (the default
// voice's unless given). The PNG is drawn from the SVG in this process, with
// librsvg on a cairo image.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "common/result.h"

namespace orvante::report {

// Runs the command with its arguments (those after the command's name).
// Returns 0 done, 1 an input is unusable or an output cannot be written,
// 2 a usage error.
int RunReportCommand(const std::vector<std::string>& args, const std::string& defaultSimDir,
                     const std::string& defaultPhrases, std::FILE* out, std::FILE* err);

std::string ReportCommandUsage(const std::string& name);

// The largest width or height, in pixels, of a PNG drawn from an SVG: a
// report is about a thousand pixels wide; a file asking for more is refused
// rather than given gigabytes of memory.
inline constexpr int kLargestPngSide = 16384;

// Draws SVG text as a PNG image at 96 pixels to the inch, its transparent
// parts white: the PNG file's bytes, or why the SVG cannot be read or drawn.
common::Result<std::string> RenderPngImage(const std::string& svgText);

// Draws an SVG file as a PNG file (written whole or not at all). Fails, saying
// why, when the SVG cannot be read or drawn, or the PNG not written.
common::Result<> RenderPng(const std::string& svgPath, const std::string& pngPath);

}  // namespace orvante::report
