#include "reminders/PopupProtocol.h"

#include "core/Encoding.h"
#include "core/IniFile.h"

#include <gtest/gtest.h>

#include <string>

using namespace tempora;

namespace {
bool Accept(const std::string& block, std::string& text) {
    return AcceptPopupText(block.data(), block.size(), text);
}

std::string Repeat(const std::string& s, size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i)
        out += s;
    return out;
}
}  // namespace

TEST(PopupProtocol, TextBlockIsGbkWithTerminatorAndReadsBackWhole) {
    const std::string text = "日历标记：\r\n2024年02月10日 星期六\r\n\r\n春节";
    const std::string block = PopupTextBlock(text);
    EXPECT_EQ(block, Utf8ToGbk(text) + '\0');
    std::string got;
    ASSERT_TRUE(Accept(block, got));
    EXPECT_EQ(got, text);

    // A text ends at its first zero byte, on both sides.
    EXPECT_EQ(PopupTextBlock(std::string("ab\0cd", 5)), std::string("ab\0", 3));
    ASSERT_TRUE(Accept(Utf8ToGbk("时钟") + std::string("\0junk\0", 6), got));
    EXPECT_EQ(got, "时钟");
}

TEST(PopupProtocol, LongTextIsCutAtACharacterBoundaryToFitTheBlock) {
    // "ab" then two-byte characters: the last one that would reach past the
    // limit must go whole, not leave half a character behind.
    const std::string text = "ab" + Repeat("钟", 40000);
    const std::string block = PopupTextBlock(text);
    ASSERT_LE(block.size(), kPopupMaxBlock);
    EXPECT_EQ(block.size(), kPopupMaxBlock - 1);  // 2 + 2 * 32766 bytes + terminator
    std::string got;
    ASSERT_TRUE(Accept(block, got));
    EXPECT_EQ(got, "ab" + Repeat("钟", 32766));

    const std::string single = PopupTextBlock("a" + Repeat("钟", 40000));
    EXPECT_EQ(single.size(), kPopupMaxBlock);
    ASSERT_TRUE(Accept(single, got));
    EXPECT_EQ(got, "a" + Repeat("钟", 32767));
}

TEST(PopupProtocol, AcceptsOnlyTerminatedBlocksOfSaneSize) {
    struct Case {
        const char* name;
        std::string block;
        bool accepted;
        std::string text;
    };
    const Case cases[] = {
        {"empty block", "", false, ""},
        {"no terminator", "abc", false, ""},
        {"zero not last", std::string("ab\0c", 4), false, ""},
        {"just the terminator", std::string(1, '\0'), true, ""},
        {"largest block", std::string(kPopupMaxBlock - 1, 'x') + '\0', true,
         std::string(kPopupMaxBlock - 1, 'x')},
        {"one byte too large", std::string(kPopupMaxBlock, 'x') + '\0', false, ""},
    };
    for (const Case& c : cases) {
        std::string got = "stale";
        EXPECT_EQ(Accept(c.block, got), c.accepted) << c.name;
        EXPECT_EQ(got, c.text) << c.name;
    }
    std::string got = "stale";
    EXPECT_FALSE(AcceptPopupText(nullptr, 5, got));
    EXPECT_EQ(got, "");
    // Broken GBK still arrives, as well-formed text (the replacement for the
    // lone lead byte differs between the platforms' converters).
    ASSERT_TRUE(Accept(std::string("a\x81\0", 3), got));
    EXPECT_EQ(got.substr(0, 1), "a");
    EXPECT_GT(got.size(), 1u);
    EXPECT_TRUE(IsValidUtf8(got));
}

TEST(PopupProtocol, WindowHandleArgumentIsPlainDecimal) {
    const struct {
        const char* text;
        bool ok;
        uint64_t value;
    } cases[] = {
        {"132456", true, 132456},
        {"18446744073709551615", true, UINT64_MAX},
        {"18446744073709551616", false, 0},
        {"000000000000000000000012", false, 0},  // longer than any handle is written
        {"0", false, 0},
        {"", false, 0},
        {"-5", false, 0},
        {"+5", false, 0},
        {" 5", false, 0},
        {"5x", false, 0},
        {"0x1F", false, 0},
    };
    for (const auto& c : cases) {
        uint64_t v = 99;
        EXPECT_EQ(ParseWindowHandleArg(c.text, v), c.ok) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
}

TEST(PopupProtocol, SettingsOutsideTheDialogsRangesReadAsTheirDefaults) {
    const struct {
        const char* ini;
        bool autoClose;
        int autoSec;
        int tran;
    } cases[] = {
        {"", true, 5, 200},
        {"[MSG]\r\nAuto=0\r\nAutoSec=60\r\nTran=128\r\n", false, 60, 128},
        {"[MSG]\r\nAutoSec=1\r\nTran=0\r\n", true, 5, 200},
        {"[MSG]\r\nAutoSec=99999\r\nTran=300\r\n", true, 5, 200},
        {"[MSG]\r\nAutoSec=3600\r\nTran=55\r\n", true, 3600, 55},
        {"[MSG]\r\nAuto=ja\r\nAutoSec=-7\r\nTran=x\r\n", true, 5, 200},
        {"[BAR]\r\nAutoSec=60\r\n", true, 5, 200},
    };
    for (const auto& c : cases) {
        const TPopupSettings s = ReadPopupSettings(TIniFile("skin.ini", c.ini));
        EXPECT_EQ(s.Auto, c.autoClose) << c.ini;
        EXPECT_EQ(s.AutoSec, c.autoSec) << c.ini;
        EXPECT_EQ(s.Tran, c.tran) << c.ini;
    }
}
