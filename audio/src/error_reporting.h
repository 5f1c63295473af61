// Failure reports: the caller's error callback, and the library's default
// handler with its message boxes.
#pragma once
#include <cstdint>

#include "vscaudio/vscaudio.h"

namespace vscaudio {

struct AudioEngine;

inline constexpr uint32_t kResultModuleNotFound = 0x8007007E;
inline constexpr uint32_t kResultInvalidArgument = 0x80070057;
inline constexpr uint32_t kResultNotImplemented = 0x80004001;
inline constexpr uint32_t kResultFail = 0x80004005;

// Shows the library's own message for a code, where it has one; returns 0.
int32_t DefaultErrorHandler(uint32_t code, uint32_t result);

// Calls the engine's callback with the pair and returns its answer.
int32_t ReportFailure(AudioEngine& engine, uint32_t code, uint32_t result);

// A device bring-up report: the callback, then the default handler when the
// callback asks for the library's own message.
void ReportDeviceFailure(AudioEngine& engine, uint32_t code, uint32_t result);

// Writes a diagnostic line to the process's error stream.
void LogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vscaudio
