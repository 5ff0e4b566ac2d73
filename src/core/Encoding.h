// Text encodings. Strings are UTF-8 inside the program, GBK (code page 936)
// in every data file whatever the system's locale, UTF-16 at the Win32 boundary.
#pragma once

#include <string>
#include <string_view>

namespace tempora {

// Bytes that GBK cannot represent, or invalid input, become '?'.
std::string Utf8ToGbk(std::string_view utf8);
// Invalid GBK sequences become a replacement character (U+FFFD through
// iconv, "?" through the Windows code page functions); the rest survives.
std::string GbkToUtf8(std::string_view gbk);

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// Length in GBK bytes, the unit of the "in bytes" limits of the dialogs.
size_t GbkLength(std::string_view utf8);

// True when the bytes are well-formed UTF-8.
bool IsValidUtf8(std::string_view bytes);
// True when the bytes are well-formed GBK: ASCII and 0x80 alone, otherwise a
// lead byte 0x81-0xFE with a trail byte 0x40-0xFE other than 0x7F. The same
// answer on every system, whatever its code page functions make of a broken
// pair.
bool IsValidGbk(std::string_view bytes);

}  // namespace tempora
