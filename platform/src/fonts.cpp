// Font handles: owned copies of their descriptions.
#include "platform/fonts.h"

namespace platform {

FontHandle CreateFontU8(const FontDescription& description) { return new FontDescription(description); }

void DeleteFont(FontHandle font) { delete font; }

}  // namespace platform
