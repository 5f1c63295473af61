// Text at the edge of the Win32 API. The platform's U8 calls take UTF-8, as
// Windows' A and W variants take ANSI and UTF-16 text; the Win32 build calls
// the W variants, so a path with any character reaches the file it names.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace platform::win32 {

// UTF-8 to UTF-16 and back (paths, captions, texts of boxes).
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// The ANSI code page to UTF-16 and back: the bytes of INI values pass through
// the W profile functions as they pass through the A ones, so a file's bytes
// read back byte for byte whatever their encoding.
std::wstring WideFromAnsi(std::string_view ansi);
std::string AnsiFromWide(std::wstring_view wide);

// A path in Windows' form: '/' turned into '\'.
std::wstring WidePath(std::string_view utf8);

// The text of a system error code, for logs.
std::string ErrorText(DWORD error);

}  // namespace platform::win32
