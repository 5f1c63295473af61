// Fonts as CreateFont describes them. The font is a description that the
// front end realises when it draws; creating and deleting it mirror the
// Windows calls so the module's start-up and shut-down read the same.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

struct FontDescription {
  int32_t height = 0;
  int32_t width = 0;
  int32_t escapement = 0;
  int32_t orientation = 0;
  int32_t weight = 400;  // 700 is bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::string face;
};

using FontHandle = FontDescription*;

FontHandle CreateFontU8(const FontDescription& description);
void DeleteFont(FontHandle font);

}  // namespace platform
