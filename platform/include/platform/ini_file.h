// Private-profile INI files, read and written the way Windows'
// GetPrivateProfileString, GetPrivateProfileInt and WritePrivateProfileString
// treat them. Settings, profiles, aircraft.cfg, Schema.ini and syserrors.ini
// all go through these calls, so their semantics are pinned by tests:
//  - section and key names compare without regard to letter case;
//  - blanks around names and values are dropped, and a value enclosed in a
//    matching pair of single or double quotes loses the quotes;
//  - the first of duplicate sections or keys is the one read;
//  - a missing file, section or key gives the default;
//  - integers are the value's leading signed decimal number (0 when there is
//    none); an empty value gives the default, as Windows does. (Wine also
//    reads 0x, 0o and 0b prefixes; the unit's files never hold them, and the
//    unit reads its integers as decimal digits.)
//  - a write creates the file, section or key as needed and keeps every other
//    line of the file byte for byte, and ends the line it writes with a line
//    break even at the end of a file that had none; the file is replaced
//    atomically.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Copies the value into buffer (cut to size - 1 characters, always
// terminated) and returns the number of characters copied. A null key lists
// the section's keys, a null section lists the file's sections, each entry
// terminated and the list ending with a second terminator; a list the buffer
// cannot hold with a byte to spare is cut, ends with two terminators and
// gives size - 2.
uint32_t GetPrivateProfileStringU8(const char* section, const char* key, const char* defaultValue, char* buffer,
                                   uint32_t size, const char* path);

// The value's leading signed decimal number; defaultValue for a missing file,
// section or key, or an empty value.
int32_t GetPrivateProfileIntU8(const char* section, const char* key, int32_t defaultValue, const char* path);

// Sets key=value in section. A null value deletes the key, a null key the
// whole section. Returns false when the file cannot be written.
bool WritePrivateProfileStringU8(const char* section, const char* key, const char* value, const char* path);

// Convenience form of GetPrivateProfileStringU8 with a buffer of maxLength + 1.
std::string ReadProfileString(const char* section, const char* key, const char* defaultValue, const char* path,
                              uint32_t maxLength = 259);

// The text a key line must hold for the reader to give value back: value
// enclosed in double quotes when the reader would change it (blanks at
// either end, or a pair of matching quotes around it, which the reader
// drops), else value as it is. For values written as whole lines of a file;
// WritePrivateProfileStringU8 writes its value as given, as Windows does.
std::string QuoteProfileValue(std::string_view value);

// Leading signed decimal number of text, skipping leading blanks: "  -12abc"
// gives -12, "abc" and "" give 0. Overflow wraps as a 32-bit value.
int32_t ParseLeadingInteger(const char* text);

}  // namespace platform
