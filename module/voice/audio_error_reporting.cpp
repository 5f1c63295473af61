// Reporting the audio library's failures to the user. Each failure gives, in
// this order, the module's box (text and caption by failure code), then the
// description box from the error-description file; the library's own box, if
// it has one for the code, follows once the callback has returned.
#include "voice/audio_error_reporting.h"

#include <cstdio>

#include "core/module_log.h"
#include "voice/audio_exports.h"
#include "voice/voice_state.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/user_interface.h"

namespace orvante {
namespace {

constexpr char kContactSupport[] = "Please contact support and quote error code\n 0x%x\nand the message box title.";

struct FailureText {
  uint32_t code;
  const char* text;  // printf format with one "0x%x" for the result
  const char* caption;
};

constexpr FailureText kFailureTexts[] = {
    {AUDIO_ERR_NOT_LOADED,
     "The VSCAUDIO.DLL Failed to load with Error Code 0x%x\nBe sure the VSCAUDIO.DLL is in the \\Windows\\System32 "
     "folder.\n then restart the application.",
     "VSCAUDIO.DLL Failed to Load."},
    {AUDIO_ERR_CREATE, kContactSupport, "Audio Create XACT Failure:"},
    {AUDIO_ERR_INIT, kContactSupport, "XACT Audio Init Failed."},
    {AUDIO_ERR_FORMAT, kContactSupport, "XACT Audio Format Failed."},
    {AUDIO_ERR_X3D, kContactSupport, "XACT Audio Init X3D Failed."},
    {AUDIO_ERR_WAVEBANK, kContactSupport, "Audio Wavebank Failed."},
    {AUDIO_ERR_SOUNDBANK, kContactSupport, "Audio Soundbank Failed."},
    {AUDIO_ERR_DXMISSING,
     "One or more Direct X DLL's Failed to load with Error Code 0x%x.\nReinstall Direct X.\n then restart the "
     "application.",
     "XACT.DLL Failed to Load."},
    {AUDIO_ERR_COMINIT, "Please try re-booting your computer. \n Error code 0x%x", "Audio Com Init Failed."},
    {AUDIO_ERR_XGSFILE, kContactSupport, "Invalid XGS Path."},
    {AUDIO_ERR_XWBFILE, kContactSupport, "Invalid XWB Path."},
    {AUDIO_ERR_XSBFILE, kContactSupport, "Invalid XBS Path."},
    {AUDIO_ERR_MEMORY, kContactSupport, "Audio Que Failure."},
    {AUDIO_ERR_THREAD, kContactSupport, "Audio Thread Error."},
};

constexpr char kDescriptionCaption[] = "Vescor Audio Engine HR Code";
constexpr size_t kMaxValue = 255;
constexpr size_t kMaxName = 64;
constexpr size_t kMaxDescription = 256;
constexpr size_t kMaxMessage = 1024;

}  // namespace

int32_t AudioErrorCallback(uint32_t code, uint32_t result) {
  if (result == 0) return 1;
  const FailureText* entry = nullptr;
  for (const FailureText& candidate : kFailureTexts)
    if (candidate.code == code) entry = &candidate;
  if (entry == nullptr) return 1;

  char text[512];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  std::snprintf(text, sizeof text, entry->text, result);
#pragma GCC diagnostic pop
  LogWrite("%s...\n", text);
  platform::MessageBoxU8(nullptr, text, entry->caption, platform::kMbOk);
  ShowResultDescription(result & 0xFFFF);
  return 1;
}

std::string ErrorDescriptionPath() { return platform::JoinPath({g_voice.simulatorDir, "VSCORVA", "syserrors.ini"}); }

std::string DescribeResultCode(uint32_t code) {
  std::string path = ErrorDescriptionPath();
  std::string contents;
  if (!platform::ReadWholeFile(path, contents)) return {};

  char key[16];
  std::snprintf(key, sizeof key, "%i", static_cast<int32_t>(code));
  std::string value = platform::ReadProfileString("Errors", key, "0", path.c_str(), kMaxValue);

  // name*description; a second asterisk ends the description.
  std::string name = value, description;
  size_t star = value.find('*');
  if (star != std::string::npos) {
    name = value.substr(0, star);
    size_t end = value.find('*', star + 1);
    description = value.substr(star + 1, end == std::string::npos ? std::string::npos : end - star - 1);
  }
  // A code the file does not list comes back as the default "0" (or an
  // empty value): say so rather than show "0" as a name.
  if (star == std::string::npos && (value.empty() || value == "0")) {
    name = "Unknown";
    description = "This result code is not listed in syserrors.ini.";
  } else if (star == std::string::npos) {
    description = "No description available.";
  }
  if (name.size() > kMaxName) name.resize(kMaxName);
  if (description.size() > kMaxDescription) description.resize(kMaxDescription);

  std::string message =
      "HRESULT_CODE = " + std::string(key) + "\nError name: " + name + "\nError description: " + description;
  if (message.size() > kMaxMessage) message.resize(kMaxMessage);
  return message;
}

void ShowResultDescription(uint32_t code) {
  std::string message = DescribeResultCode(code);
  if (message.empty()) return;
  platform::MessageBoxU8(nullptr, message, kDescriptionCaption, platform::kMbOk);
}

}  // namespace orvante
