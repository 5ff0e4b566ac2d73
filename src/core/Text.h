// Small text helpers shared by the whole program: ASCII case folding, trimming,
// integer parsing, UTF-8 stepping, zero padding and floor division. They work
// on bytes and never look at the locale, so a file reads the same everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tempora {

// Equality and ordering that fold only the ASCII letters A-Z to a-z; every
// other byte, GBK and UTF-8 bytes included, compares as itself (unsigned).
bool EqualsNoCase(std::string_view a, std::string_view b);
// Negative, zero or positive as a sorts before, with or after b; a text
// sorts after each of its prefixes.
int CompareNoCase(std::string_view a, std::string_view b);

// The text without the bytes 0x00-0x20 (space and the ASCII control
// characters) at either end.
std::string_view Trim(std::string_view text);
// The text without spaces and tabs at either end; other control characters
// stay part of it.
std::string_view TrimBlanks(std::string_view text);

// Whole-text parsers: the text is the number and nothing else (no blanks, no
// sign where none is taken). Empty text, any other byte, or a value beyond the
// result type gives false and leaves `out` unchanged.
// One or more digits of `base`: 10, or 16 with a-f in either case.
bool ParseUnsigned(std::string_view text, uint64_t& out, int base = 10);
// An optional '+' or '-', then one or more decimal digits.
bool ParseInt(std::string_view text, int64_t& out);

// Bytes in the UTF-8 character starting at `pos`: 2, 3 or 4 for a lead byte
// 0xC0-0xDF, 0xE0-0xEF or 0xF0-0xF7 whose 1, 2 or 3 next bytes are all
// continuation bytes 0x80-0xBF; 1 for any other byte, so that a stray or
// malformed byte, or a lead whose sequence the end of the text or another byte
// cuts short, counts as one and damaged text still moves forward. 0 when `pos`
// is at or past the end. Never reads past the end.
size_t Utf8SequenceLength(std::string_view text, size_t pos);

// The decimal form of `number`, zeros put in front until it is `width`
// characters long; a minus sign stays in front of the zeros: (5, 2) is "05",
// (123, 2) "123", (-5, 3) "-05".
std::string ZeroPad(int64_t number, int width);

// Division and remainder that round toward negative infinity; b > 0.
// FloorMod is then in [0, b): FloorDiv(-1, 7) is -1, FloorMod(-1, 7) is 6.
int64_t FloorDiv(int64_t a, int64_t b);
int64_t FloorMod(int64_t a, int64_t b);

}  // namespace tempora
