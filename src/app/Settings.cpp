#include "Settings.h"

#include "core/Text.h"

#include <algorithm>
#include <utility>

namespace tempora {

int ReadInRange(const TIniFile& ini, const char* section, const char* key, int def, int lo,
                int hi) {
    const int v = ini.ReadInteger(section, key, def);
    return v < lo || v > hi ? def : v;
}

TChimeSettings ReadChimeSettings(const TIniFile& ini) {
    TChimeSettings c;
    c.alarm = ini.ReadBool("CLOCK", "Alarm", false);
    c.halfAlarm = ini.ReadBool("CLOCK", "HalfAlarm", false);
    c.alarmType = ReadInRange(ini, "CLOCK", "AlarmType", 0, 0, 3);
    c.hotKey = ini.ReadBool("CLOCK", "HotKey", false);
    c.hotKey1 = ini.ReadString("CLOCK", "HotKey1", "");
    c.hotKey2 = ini.ReadString("CLOCK", "HotKey2", "");
    c.quiet.on = ini.ReadBool("CLOCK", "QuietHours", false);
    for (auto [key, minute] : {std::pair{"QuietStart", &c.quiet.startMinute},
                               std::pair{"QuietEnd", &c.quiet.endMinute}}) {
        const int read = ParseMinuteOfDay(ini.ReadString("CLOCK", key, ""));
        if (read >= 0)
            *minute = read;
    }
    return c;
}

void ReadSkinNames(const TIniFile& ini, BarSettings& s) {
    s.skinFile = ini.ReadString("SKIN", "SkinFile", "");
    s.clockFile = ini.ReadString("SKIN", "ClockFile", "");
}

BarSettings ReadBarSettings(const TIniFile& ini, int screenWidth, int barWidth) {
    BarSettings s;
    ReadSkinNames(ini, s);
    s.winFile = ini.ReadString("SKIN", "WinFile", "");

    s.ledFont = ini.ReadBool("LED", "LEDFont", true);
    s.fontName = ini.ReadString("LED", "FontName", "Tahoma");
    s.fontSize = ReadInRange(ini, "LED", "FontSize", 18, 1, 200);
    s.fontColor =
        static_cast<uint32_t>(ReadInRange(ini, "LED", "FontColor", 0xFFFFFF, 0, 0xFFFFFF));
    s.fontBold = ini.ReadBool("LED", "FontBold", false);
    s.fontItalic = ini.ReadBool("LED", "FontItalic", false);
    s.fontUnderline = ini.ReadBool("LED", "FontUnderline", false);
    s.fontStrikeOut = ini.ReadBool("LED", "FontStrikeOut", false);

    static_cast<TChimeSettings&>(s) = ReadChimeSettings(ini);

    s.autoCheck = ini.ReadBool("TIME", "AutoChcek", false);  // the key is spelled so
    s.stepHour = ReadInRange(ini, "TIME", "StepHour", 1, 1, 1000);

    s.markMode = ReadInRange(ini, "MSG", "CalendarLX", 1, 0, 2);
    s.markStepMinutes = ReadInRange(ini, "MSG", "CalendarStep", 5, 1, 600);

    s.left = ini.ReadInteger("BAR", "Left", screenWidth - barWidth);
    if (static_cast<int64_t>(s.left) + barWidth > screenWidth)
        s.left = screenWidth - barWidth;
    s.top = std::max(0, ini.ReadInteger("BAR", "Top", 0));
    s.onTop = ini.ReadBool("BAR", "OnTop", false);
    s.onStartHide = ini.ReadBool("BAR", "OnStartHide", false);
    s.defaultView = ini.ReadInteger("BAR", "DefWin", 1);
    if (s.defaultView < 0 || s.defaultView > 3)
        s.defaultView = 1;
    s.barAlpha = ReadInRange(ini, "BAR", "Tr", 200, 0, 255);
    return s;
}

int ClampClockViewLeft(int left, int desktopLeft, int desktopWidth) {
    return std::max(desktopLeft, std::min(left, desktopLeft + desktopWidth - 100));
}

ClockViewPlace PlaceClockView(const TIniFile& ini, int barLeft, int barTop, int barHeight,
                              const ClockViewScreens& screens) {
    ClockViewPlace p;
    if (barTop - screens.monitorTop > screens.monitorHeight / 2) {
        p.top = -1;
        p.bottomAnchor = barTop;
    } else {
        p.top = barTop + barHeight;
    }
    p.top = ini.ReadInteger("CHILD", "Top", p.top);
    p.left = ClampClockViewLeft(ini.ReadInteger("CHILD", "Left", barLeft), screens.desktopLeft,
                                screens.desktopWidth);
    return p;
}

bool IsHideSwitch(const std::string& firstArgument) {
    return EqualsNoCase(Trim(firstArgument), "/hide");
}

}  // namespace tempora
