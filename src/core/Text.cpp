#include "Text.h"

#include <algorithm>

namespace tempora {

namespace {

template <typename IsCut>
std::string_view TrimWhere(std::string_view text, IsCut cut) {
    while (!text.empty() && cut(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && cut(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// The value of an ASCII digit or letter a-f / A-F; 16 and above for anything else.
unsigned DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return static_cast<unsigned>(c - '0');
    const auto lower = FoldAscii(c);
    if (lower >= 'a' && lower <= 'f')
        return static_cast<unsigned>(lower - 'a' + 10);
    return 16;
}

}  // namespace

std::string_view Trim(std::string_view text) {
    return TrimWhere(text, [](unsigned char c) { return c <= ' '; });
}

std::string_view TrimBlanks(std::string_view text) {
    return TrimWhere(text, [](unsigned char c) { return c == ' ' || c == '\t'; });
}

bool ParseUnsigned(std::string_view text, uint64_t& out, int base) {
    if (text.empty())
        return false;
    const auto radix = static_cast<uint64_t>(base);
    uint64_t value = 0;
    for (const char c : text) {
        const uint64_t digit = DigitValue(c);
        if (digit >= radix || value > (UINT64_MAX - digit) / radix)
            return false;
        value = value * radix + digit;
    }
    out = value;
    return true;
}

bool ParseInt(std::string_view text, int64_t& out) {
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    uint64_t magnitude = 0;
    constexpr uint64_t kMaxPositive = INT64_MAX;
    if (!ParseUnsigned(text, magnitude) || magnitude > kMaxPositive + (negative ? 1 : 0))
        return false;
    // -2^63 has no positive counterpart: negate in unsigned arithmetic.
    out = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

size_t Utf8SequenceLength(std::string_view text, size_t pos) {
    if (pos >= text.size())
        return 0;
    const auto lead = static_cast<unsigned char>(text[pos]);
    const size_t length = lead >= 0xC0 && lead <= 0xDF   ? 2
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF7 ? 4
                                                         : 1;
    if (length > text.size() - pos)
        return 1;
    for (size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[pos + k]) & 0xC0) != 0x80)
            return 1;
    }
    return length;
}

std::string ZeroPad(int64_t number, int width) {
    std::string digits = std::to_string(number);
    const size_t sign = number < 0 ? 1 : 0;
    if (width > 0 && digits.size() < static_cast<size_t>(width))
        digits.insert(sign, static_cast<size_t>(width) - digits.size(), '0');
    return digits;
}

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - (a % b < 0 ? 1 : 0);
}

int64_t FloorMod(int64_t a, int64_t b) {
    const int64_t r = a % b;
    return r < 0 ? r + b : r;
}

}  // namespace tempora
