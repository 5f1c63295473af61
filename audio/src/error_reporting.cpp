// The default handler's messages are the library's own; they go through the
// platform's front end with no owner window and an OK button.
#include "error_reporting.h"

#include <cstdarg>
#include <cstdio>

#include "audio_engine.h"
#include "platform/user_interface.h"

namespace vscaudio {

namespace {
constexpr const char* kFileErrorCaption = "File Error!";
constexpr const char* kCreateErrorCaption = "Error Occured";
}  // namespace

int32_t DefaultErrorHandler(uint32_t code, uint32_t result) {
  const char* caption = nullptr;
  const char* text = nullptr;
  switch (code) {
    case AUDIO_ERR_CREATE:
      caption = kCreateErrorCaption;
      text = result == kResultModuleNotFound
                 ? "One or More Direct X files could not be found!\n  Re-install Direct X, then relaunch Application."
                 : "Could not create Xact Audio Componant!\n  Re-install Direct X, then relaunch Application.";
      break;
    case AUDIO_ERR_XGSFILE:
    case AUDIO_ERR_XWBFILE:
    case AUDIO_ERR_XSBFILE:
      caption = kFileErrorCaption;
      text = "One or more Xact Project Files Could not Be located at specified location!";
      break;
    case AUDIO_ERR_MEMORY:
      caption = kFileErrorCaption;
      text = "There was insufficient memory to prepare the Audio Engine!";
      break;
    default: return 0;
  }
  platform::MessageBoxU8(nullptr, text, caption, platform::kMbOk);
  return 0;
}

int32_t ReportFailure(AudioEngine& engine, uint32_t code, uint32_t result) {
  VSC_AUDIO_ERROR_CALLBACK callback = engine.callback != nullptr ? engine.callback : DefaultErrorHandler;
  return callback(code, result);
}

void ReportDeviceFailure(AudioEngine& engine, uint32_t code, uint32_t result) {
  if (ReportFailure(engine, code, result) != 0) DefaultErrorHandler(code, result);
}

void LogLine(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::fputs("VSCAUDIO: ", stderr);
  std::vfprintf(stderr, format, arguments);
  std::fputc('\n', stderr);
  va_end(arguments);
}

}  // namespace vscaudio
