// Run-time binding of the audio library. The module never links against the
// library: every call goes through g_audio, whose slots are stubs until
// BindAudioLibrary fills them, so a missing library or export degrades to a
// harmless failure.
#include "voice/audio_library_binding.h"

#include <cstring>

#include "voice/audio_function_table.h"
#include "voice/voice_state.h"
#include "platform/files.h"

namespace orvante {
namespace {

constexpr uint32_t kInvalidParameter = 87;
constexpr size_t kMaxPathCharacters = 260;

platform::ModuleHandle g_audioLibrary = nullptr;

// Appends the UTF-16 form of one code point.
void AppendCodePoint(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// Length of the valid UTF-8 sequence at s (0 when there is none) and its code
// point.
size_t DecodeUtf8(const unsigned char* s, size_t available, char32_t& cp) {
  unsigned char lead = s[0];
  size_t length;
  char32_t minimum;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (length > available) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (s[i] & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

std::string AudioLibraryPath() {
  return platform::JoinPath({g_voice.simulatorDir, "ORVANTE\\DLLs\\64bit", "ORVAAUDIO64.DLL"});
}

int32_t BindAudioLibrary(ErrorCallback callback) {
  platform::ModuleHandle library = platform::LoadLibraryU8(AudioLibraryPath());
  if (library == nullptr) {
    uint32_t error = platform::GetLastError();
    if (callback) callback(AUDIO_ERR_NOT_LOADED, error);
    return 0;
  }
  g_audioLibrary = library;
  for (size_t slot = 0; slot < kAudioSlotCount; ++slot)
    SetAudioSlot(g_audio, slot, platform::GetProcAddress(library, AudioSlotExportName(slot)));
  return 1;
}

platform::ModuleHandle AudioLibraryHandle() { return g_audioLibrary; }

bool WidenAudioPath(const char* path, std::u16string& wide) {
  size_t length = std::strlen(path);
  std::u16string out;
  out.reserve(length);
  const auto* bytes = reinterpret_cast<const unsigned char*>(path);
  for (size_t i = 0; i < length;) {
    char32_t cp = 0;
    size_t used = bytes[i] < 0x80 ? 0 : DecodeUtf8(bytes + i, length - i, cp);
    if (used == 0) {
      out.push_back(static_cast<char16_t>(bytes[i]));
      ++i;
    } else {
      AppendCodePoint(out, cp);
      i += used;
    }
  }
  // The limit counts the characters the library receives, not the bytes.
  if (out.size() > kMaxPathCharacters) return false;
  wide = std::move(out);
  return true;
}

int32_t StartAudioEngine(const char* xgsPath, const char* xwbPath, const char* xsbPath, ErrorCallback callback) {
  if (xgsPath == nullptr || xwbPath == nullptr || xsbPath == nullptr) {
    platform::SetLastError(kInvalidParameter);
    return 0;
  }
  std::u16string xgs, xwb, xsb;
  if (!WidenAudioPath(xgsPath, xgs) || !WidenAudioPath(xwbPath, xwb) || !WidenAudioPath(xsbPath, xsb)) {
    platform::SetLastError(kInvalidParameter);
    return 0;
  }
  if (BindAudioLibrary(callback) == 0) return 0;
  return g_audio.VSC_AUDIO_INITIALIZE_AUDIO_ENGINE(xgs.c_str(), xwb.c_str(), xsb.c_str(), callback);
}

}  // namespace orvante
