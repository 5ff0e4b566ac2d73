#include "app/UnitOptions.h"

#include "TempDir.h"
#include "core/FileSys.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tempora;

namespace {

std::string FileText(const std::string& path) {
    std::string text;
    ReadFileBytes(path, text);
    return text;
}

}  // namespace

TEST(OptionsTest, TransparencyPercentRoundsToNearest) {
    const struct {
        int position, percent;
    } cases[] = {{55, 80}, {200, 22}, {255, 0}, {254, 0}, {253, 1}, {130, 50}, {56, 80}, {57, 79}};
    for (const auto& c : cases)
        EXPECT_EQ(TransparencyPercent(c.position), c.percent) << c.position;
}

TEST(OptionsTest, ClockPreviewKeepsSmallFacesAndScalesLargeOnesToTheLongerSide) {
    const struct {
        int w, h;
        TPreviewSize size;
    } cases[] = {
        {80, 60, {80, 60}},     {100, 100, {100, 100}}, {200, 100, {100, 50}},
        {100, 200, {50, 100}},  {300, 101, {100, 34}},  {326, 309, {100, 95}},
        {200, 1, {100, 0}},      // 0.5 rounds to the even 0
        {200, 3, {100, 2}},      // 1.5 rounds to the even 2
        {101, 101, {100, 100}},  // square: the height side
        {0, 50, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClockPreviewSize(c.w, c.h), c.size) << c.w << " x " << c.h;
}

TEST(OptionsTest, HotKeyIsRegisteredAnewOnlyWhenItsTextsChange) {
    const struct {
        bool enabled, registered;
        const char *mods, *key;
        THotKeyAction action;
    } cases[] = {
        {true, true, "Ctrl + Shift", "T", THotKeyAction::Keep},
        {true, true, "Ctrl + Shift", "U", THotKeyAction::Reregister},
        {true, true, "Alt", "T", THotKeyAction::Reregister},
        // Registration failed before (the system refused): try again.
        {true, false, "Ctrl + Shift", "T", THotKeyAction::Reregister},
        {false, true, "Ctrl + Shift", "T", THotKeyAction::Unregister},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HotKeyActionFor(c.enabled, c.registered, "Ctrl + Shift", "T", c.mods, c.key),
                  c.action)
            << c.mods << " " << c.key << " enabled " << c.enabled;
    }
}

TEST(OptionsTest, MissingOrOutOfRangeKeysReadAsTheirDefaults) {
    test::TempDir dir;
    const TOptionsValues none = ReadOptionsValues(TIniFile(dir.File("skin.ini")));
    EXPECT_TRUE(none.msgAuto);
    EXPECT_EQ(none.autoSec, 5);
    EXPECT_EQ(none.msgAlpha, 200);
    EXPECT_EQ(none.calendarLX, 1);
    EXPECT_EQ(none.calendarStep, 5);
    EXPECT_EQ(none.defWin, TStartView::Clock);
    EXPECT_EQ(none.stepHour, 1);
    EXPECT_FALSE(none.alarm || none.halfAlarm || none.hotKey || none.autoCheck);
    EXPECT_FALSE(none.quiet.on);
    EXPECT_EQ(none.quiet.startMinute, 22 * 60);
    EXPECT_EQ(none.quiet.endMinute, 7 * 60);

    ASSERT_TRUE(WriteFileAtomic(dir.File("skin.ini"),
                                "[BAR]\r\nDefWin=7\r\n[MSG]\r\nAutoSec=2\r\nTran=30\r\n"
                                "CalendarLX=5\r\nCalendarStep=601\r\nAuto=yes\r\n"
                                "[TIME]\r\nStepHour=0\r\n[CLOCK]\r\nAlarmType=4\r\n"
                                "QuietStart=25:00\r\nQuietEnd=7\r\n"));
    const TOptionsValues bad = ReadOptionsValues(TIniFile(dir.File("skin.ini")));
    EXPECT_EQ(bad.defWin, TStartView::Clock);
    EXPECT_EQ(bad.autoSec, 5);
    EXPECT_EQ(bad.msgAlpha, 200);
    EXPECT_EQ(bad.calendarLX, 1);
    EXPECT_EQ(bad.calendarStep, 5);
    EXPECT_TRUE(bad.msgAuto);
    EXPECT_EQ(bad.stepHour, 1);
    EXPECT_EQ(bad.alarmType, 0);
    EXPECT_EQ(bad.quiet.startMinute, 22 * 60);
    EXPECT_EQ(bad.quiet.endMinute, 7 * 60);
}

TEST(OptionsTest, FontKeysAreWrittenOnlyForThePlainTextClock) {
    TOptionsValues v;
    v.ledFont = true;
    v.font.name = "宋体";
    auto keysOf = [](const std::vector<TIniValue>& values) {
        std::vector<std::string> keys;
        for (const TIniValue& x : values) {
            if (x.section == "LED")
                keys.push_back(x.key + "=" + x.value);
        }
        return keys;
    };
    EXPECT_EQ(keysOf(OptionsIniValues(v)), std::vector<std::string>{"LEDFont=1"});

    v.ledFont = false;
    v.font = {"宋体", 24, 0x0000FF, true, false, true, false};
    EXPECT_EQ(keysOf(OptionsIniValues(v)),
              (std::vector<std::string>{"LEDFont=0", "FontName=宋体", "FontSize=24",
                                        "FontColor=255", "FontBold=1", "FontItalic=0",
                                        "FontUnderline=1", "FontStrikeOut=0"}));
}

TEST(OptionsTest, WrittenValuesReadBackAndOtherKeysSurvive) {
    test::TempDir dir;
    const std::string path = dir.File("skin.ini");
    ASSERT_TRUE(WriteFileAtomic(path,
                                "[SKIN]\r\nSkinFile=RicePaper.sk\r\n[BAR]\r\nLeft=12\r\n"
                                "[WEB]\r\nHost=127.0.0.1\r\n"));
    TOptionsValues v;
    v.barAlpha = 120;
    v.onTop = v.onStartHide = v.dateLoop = true;
    v.defWin = TStartView::Weather;
    v.alarm = true;
    v.alarmType = 2;
    v.hotKey = true;
    v.hotKey1 = "Alt + Ctrl";
    v.hotKey2 = "Q";
    v.quiet = {true, 23 * 60 + 30, 6 * 60 + 5};
    v.msgAuto = false;
    v.autoSec = 3600;
    v.msgAlpha = 55;
    v.calendarLX = 2;
    v.calendarStep = 10;
    v.autoCheck = true;
    v.stepHour = 24;
    v.barScale = 150;
    WriteSettings(path, OptionsIniValues(v));

    const TIniFile ini(path);
    const TOptionsValues back = ReadOptionsValues(ini);
    EXPECT_EQ(back.onTop, v.onTop);
    EXPECT_EQ(back.onStartHide, v.onStartHide);
    EXPECT_EQ(back.dateLoop, v.dateLoop);
    EXPECT_EQ(back.defWin, TStartView::Weather);
    EXPECT_EQ(back.alarmType, 2);
    EXPECT_EQ(back.hotKey1, "Alt + Ctrl");
    EXPECT_EQ(back.hotKey2, "Q");
    EXPECT_TRUE(back.quiet.on);
    EXPECT_EQ(back.quiet.startMinute, 23 * 60 + 30);
    EXPECT_EQ(back.quiet.endMinute, 6 * 60 + 5);
    EXPECT_EQ(ini.ReadString("CLOCK", "QuietStart", ""), "23:30");
    EXPECT_EQ(ini.ReadString("CLOCK", "QuietEnd", ""), "06:05");
    EXPECT_FALSE(back.msgAuto);
    EXPECT_EQ(back.autoSec, 3600);
    EXPECT_EQ(back.msgAlpha, 55);
    EXPECT_EQ(back.calendarLX, 2);
    EXPECT_EQ(back.calendarStep, 10);
    EXPECT_TRUE(back.autoCheck);
    EXPECT_EQ(back.stepHour, 24);
    EXPECT_EQ(back.barScale, 150);
    EXPECT_EQ(ini.ReadInteger("BAR", "Tr", 0), 120);
    EXPECT_EQ(ini.ReadString("SKIN", "SkinFile", ""), "RicePaper.sk");
    EXPECT_EQ(ini.ReadInteger("BAR", "Left", 0), 12);
    EXPECT_EQ(ini.ReadString("WEB", "Host", ""), "127.0.0.1");
}

TEST(OptionsTest, AFailedWriteThrowsAndLeavesTheFileAsItWas) {
    test::TempDir dir;
    const std::string path = dir.File("skin.ini");
    const std::string before = "[BAR]\r\nTr=90\r\n";
    ASSERT_TRUE(WriteFileAtomic(path, before));
    // The replacement cannot be made beside the file.
    std::filesystem::create_directory(dir.Path() / "skin.ini.tmp~");
    EXPECT_THROW(WriteSettings(path, OptionsIniValues(TOptionsValues{})), EIniWriteError);
    EXPECT_EQ(FileText(path), before);

    // A folder where the file should be is never replaced.
    const std::string folder = dir.File("folder.ini");
    std::filesystem::create_directory(folder);
    EXPECT_THROW(WriteSettings(folder, {{"BAR", "Tr", "90"}}), EIniWriteError);
    EXPECT_TRUE(DirectoryExists(folder));
}
