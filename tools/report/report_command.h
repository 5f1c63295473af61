// The flight report command:
//   TRANSCRIPT FLIGHT --out FILE.svg [--png FILE.png] [--sim-dir DIR] [--phrases MANIFEST]
// The runways come from DIR's runway table (the build's simulator folder
// unless given), the callouts' words from a voice manifest (the default
// voice's unless given). A PNG is rendered from the SVG by rsvg-convert
// (librsvg2-bin) or, without it, ImageMagick's convert.
#pragma once
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace orvante::report {

// Runs the command with its arguments (those after the command's name).
// Returns 0 done, 1 an input is unusable or an output cannot be written,
// 2 a usage error.
int RunReportCommand(const std::vector<std::string>& args, const std::string& defaultSimDir,
                     const std::string& defaultPhrases, std::FILE* out, std::FILE* err);

std::string ReportCommandUsage(const std::string& name);

// Renders an SVG file as PNG with the first converter found on the PATH.
// Returns an error text when none is found or the conversion fails.
std::optional<std::string> RenderPng(const std::string& svgPath, const std::string& pngPath);

}  // namespace orvante::report
