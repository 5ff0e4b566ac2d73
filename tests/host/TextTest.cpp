#include "core/Text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

using namespace tempora;

namespace {

// Bytes for the tables, so that "\xE4" "A" never merges into one escape.
std::string B(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

}  // namespace

TEST(Text, CaseFoldingTouchesOnlyAsciiLetters) {
    struct Case {
        std::string a, b;
        int order;  // the sign of CompareNoCase(a, b)
    } cases[] = {
        {"", "", 0},
        {"Alt + Ctrl", "aLT + cTRL", 0},
        {"abc", "ABD", -1},
        {"B", "a", 1},
        {"ab", "a", 1},  // a prefix sorts first
        {"", "a", -1},
        // Letters fold down: '_' (0x5F) sits between 'Z' and 'a'.
        {"_", "A", -1},
        {"[", "{", -1},  // no folding beyond the letters
        {"@", "`", -1},
        // Non-ASCII bytes compare unsigned and never fold: 0xC1 | 0x20 is 0xE1.
        {B({0xC1}), B({0xE1}), -1},
        {B({0x80}), "z", 1},
        {"中文", "中文", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.a + " | " + c.b);
        EXPECT_EQ(EqualsNoCase(c.a, c.b), c.order == 0);
        EXPECT_EQ(EqualsNoCase(c.b, c.a), c.order == 0);
        const int got = CompareNoCase(c.a, c.b);
        EXPECT_EQ((got > 0) - (got < 0), c.order);
        const int back = CompareNoCase(c.b, c.a);
        EXPECT_EQ((back > 0) - (back < 0), -c.order);
    }
}

TEST(Text, TrimCutsItsOwnSetAtBothEnds) {
    struct Case {
        std::string text, trimmed, blanksTrimmed;
    } cases[] = {
        {"", "", ""},
        {" \t ", "", ""},
        {" \t a b \t", "a b", "a b"},
        {"\r\nx\x01", "x", "\r\nx\x01"},
        {" \x1F x \x7F ", "x \x7F", "\x1F x \x7F"},
        {std::string("\0a\0", 3), "a", std::string("\0a\0", 3)},
        // GBK's full-width space and UTF-8 bytes are text, not blanks.
        {B({0xA1, 0xA1, 'x', 0xA1, 0xA1}), B({0xA1, 0xA1, 'x', 0xA1, 0xA1}),
         B({0xA1, 0xA1, 'x', 0xA1, 0xA1})},
        {" 时 ", "时", "时"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Trim(c.text), c.trimmed);
        EXPECT_EQ(TrimBlanks(c.text), c.blanksTrimmed);
    }
}

TEST(Text, ParseUnsignedTakesWholeTextsOfDigitsUpTo64Bits) {
    constexpr uint64_t kBad = 4242;  // what a failed parse must leave
    struct Case {
        std::string_view text;
        int base;
        bool ok;
        uint64_t value;
    } cases[] = {
        {"0", 10, true, 0},
        {"007", 10, true, 7},
        {"18446744073709551615", 10, true, UINT64_MAX},
        {"18446744073709551616", 10, false, kBad},
        {"99999999999999999999999", 10, false, kBad},
        {"", 10, false, kBad},
        {"+1", 10, false, kBad},
        {"-1", 10, false, kBad},
        {" 1", 10, false, kBad},
        {"1 ", 10, false, kBad},
        {"12a", 10, false, kBad},
        {"ff", 10, false, kBad},
        {"fF", 16, true, 255},
        {"FFFFFFFFFFFFFFFF", 16, true, UINT64_MAX},
        {"10000000000000000", 16, false, kBad},
        {"0x10", 16, false, kBad},  // prefixes are the caller's business
        {"g", 16, false, kBad},
        {"@", 16, false, kBad},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " base " + std::to_string(c.base));
        uint64_t got = kBad;
        EXPECT_EQ(ParseUnsigned(c.text, got, c.base), c.ok);
        EXPECT_EQ(got, c.value);
    }
}

TEST(Text, ParseIntTakesASignAndTheWholeInt64Range) {
    constexpr int64_t kBad = -4242;
    struct Case {
        std::string_view text;
        bool ok;
        int64_t value;
    } cases[] = {
        {"5", true, 5},
        {"+5", true, 5},
        {"-5", true, -5},
        {"-0", true, 0},
        {"9223372036854775807", true, INT64_MAX},
        {"-9223372036854775808", true, INT64_MIN},
        {"9223372036854775808", false, kBad},
        {"-9223372036854775809", false, kBad},
        {"", false, kBad},
        {"-", false, kBad},
        {"+", false, kBad},
        {"--1", false, kBad},
        {"+-1", false, kBad},
        {"1-", false, kBad},
        {"- 1", false, kBad},
        {"1e3", false, kBad},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        int64_t got = kBad;
        EXPECT_EQ(ParseInt(c.text, got), c.ok);
        EXPECT_EQ(got, c.value);
    }
}

TEST(Text, Utf8StepsWholeSequencesAndMalformedBytesOneByOne) {
    struct Case {
        std::string text;
        size_t pos, length;
    } cases[] = {
        {"", 0, 0},
        {"a", 0, 1},
        {"a", 1, 0},  // at and past the end
        {"a", 7, 0},
        {"é", 0, 2},
        {"é", 1, 1},  // a stray continuation byte
        {"中", 0, 3},
        {"😀", 0, 4},
        {"a中b", 1, 3},
        {B({0xC0, 0x80}), 0, 2},  // a stepper, not a validator: the shape decides
        {B({0xE4, 0xB8}), 0, 1},  // cut short by the end
        {B({0xF0, 0x9F, 0x98}), 0, 1},
        {B({0xE4, 'A', 0xAD}), 0, 1},  // broken by another byte
        {B({0xE4, 0xB8, 'A'}), 0, 1},
        {B({0xF0, 0x9F, 0x98, 0xC0}), 0, 1},
        {B({0xF8, 0x80, 0x80, 0x80}), 0, 1},  // 0xF8-0xFF lead nothing
        {B({0xFF, 0x80}), 0, 1},
        {B({0xBF}), 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text) + " at " + std::to_string(c.pos));
        EXPECT_EQ(Utf8SequenceLength(c.text, c.pos), c.length);
    }
    // The bytes after a view's end are not the view's, even where they would
    // complete the sequence.
    const std::string whole = "中";
    EXPECT_EQ(Utf8SequenceLength(std::string_view(whole.data(), 2), 0), 1u);
    // A text of any lead byte alone steps by one byte.
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(Utf8SequenceLength(B({b}), 0), 1u) << b;
}

TEST(Text, ZeroPadKeepsTheSignInFront) {
    struct Case {
        int64_t number;
        int width;
        std::string_view text;
    } cases[] = {
        {5, 2, "05"},
        {12, 2, "12"},
        {123, 2, "123"},
        {7, 4, "0007"},
        {0, 2, "00"},
        {9, 0, "9"},
        {9, -3, "9"},
        {-5, 3, "-05"},
        {-5, 2, "-5"},
        {-123, 2, "-123"},
        {INT64_MIN, 21, "-09223372036854775808"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZeroPad(c.number, c.width), c.text) << c.number << " width " << c.width;
}

TEST(Text, FloorDivisionRoundsTowardNegativeInfinity) {
    struct Case {
        int64_t a, b, quotient, remainder;
    } cases[] = {
        {7, 2, 3, 1},
        {-7, 2, -4, 1},
        {-8, 2, -4, 0},
        {0, 5, 0, 0},
        {-1, 1000, -1, 999},
        {-1000, 1000, -1, 0},
        {-1, 7, -1, 6},
        {INT64_MAX, 1, INT64_MAX, 0},
        {INT64_MIN, 1000, INT64_MIN / 1000 - 1, 192},
        {INT64_MIN, INT64_MAX, -2, INT64_MAX - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.a) + " / " + std::to_string(c.b));
        EXPECT_EQ(FloorDiv(c.a, c.b), c.quotient);
        EXPECT_EQ(FloorMod(c.a, c.b), c.remainder);
    }
}
