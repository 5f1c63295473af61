// Fonts made by CreateFontW. The handle is the description the front ends
// read, with the GDI font beside it.
#include <windows.h>

#include "platform/fonts.h"
#include "win32/text.h"

namespace platform {
namespace {

struct Win32Font : FontDescription {
  HFONT font = nullptr;
};

}  // namespace

FontHandle CreateFontU8(const FontDescription& description) {
  auto* handle = new Win32Font();
  static_cast<FontDescription&>(*handle) = description;
  handle->font = ::CreateFontW(description.height, description.width, description.escapement, description.orientation,
                               description.weight, description.italic, description.underline, description.strikeOut,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, win32::Wide(description.face).c_str());
  if (handle->font == nullptr) {
    delete handle;
    return nullptr;
  }
  return handle;
}

void DeleteFont(FontHandle font) {
  if (font == nullptr) return;
  auto* handle = static_cast<Win32Font*>(font);
  ::DeleteObject(handle->font);
  delete handle;
}

}  // namespace platform
