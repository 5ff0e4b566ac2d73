// Small text helpers shared by the whole program: ASCII case folding, trimming,
// integer parsing, UTF-8 stepping, zero padding and floor division. They work
// on bytes and never look at the locale, so a file reads the same everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tempora {

// A-Z as a-z; every other byte, GBK and UTF-8 bytes included, as itself.
inline unsigned char FoldAscii(char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b - 'A' + 'a') : b;
}

// Equality and ordering that fold only the ASCII letters (FoldAscii); every
// other byte compares as itself (unsigned). Inline: sorted look-ups of the
// calendar run them for every day they show.
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}
// Negative, zero or positive as a sorts before, with or after b; a text
// sorts after each of its prefixes.
inline int CompareNoCase(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;  // most compared bytes agree, and need no folding
        const unsigned char x = FoldAscii(a[i]), y = FoldAscii(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

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
