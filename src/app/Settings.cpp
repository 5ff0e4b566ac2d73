#include "Settings.h"

#include "core/Text.h"

#include <algorithm>
#include <utility>

namespace tempora {

TChimeSettings ReadChimeSettings(const TIniFile& ini) {
    TChimeSettings c;
    c.alarm = ReadBool(ini, setting::Alarm);
    c.halfAlarm = ReadBool(ini, setting::HalfAlarm);
    c.alarmType = ReadInt(ini, setting::AlarmType);
    c.hotKey = ReadBool(ini, setting::HotKey);
    c.hotKey1 = ReadText(ini, setting::HotKey1);
    c.hotKey2 = ReadText(ini, setting::HotKey2);
    c.dayHotKey = ReadBool(ini, setting::DayHotKey);
    c.dayHotKey1 = ReadText(ini, setting::DayHotKey1);
    c.dayHotKey2 = ReadText(ini, setting::DayHotKey2);
    c.quiet.on = ReadBool(ini, setting::QuietHours);
    c.quiet.daysOff = ReadBool(ini, setting::HolidayQuiet);
    for (auto [key, minute] : {std::pair{&setting::QuietStart, &c.quiet.startMinute},
                               std::pair{&setting::QuietEnd, &c.quiet.endMinute}}) {
        const int read = ParseMinuteOfDay(ReadText(ini, *key));
        if (read >= 0)
            *minute = read;
    }
    return c;
}

TStartView ReadStartView(const TIniFile& ini) {
    return static_cast<TStartView>(ReadInt(ini, setting::DefWin));
}

TTimeFont ReadTimeFont(const TIniFile& ini) {
    TTimeFont f;
    f.name = ReadText(ini, setting::FontName);
    f.size = ReadInt(ini, setting::FontSize);
    f.color = static_cast<uint32_t>(ReadInt(ini, setting::FontColor));
    f.bold = ReadBool(ini, setting::FontBold);
    f.italic = ReadBool(ini, setting::FontItalic);
    f.underline = ReadBool(ini, setting::FontUnderline);
    f.strikeOut = ReadBool(ini, setting::FontStrikeOut);
    return f;
}

void ReadSkinNames(const TIniFile& ini, BarSettings& s) {
    s.skinFile = ReadText(ini, setting::SkinFile);
    s.clockFile = ReadText(ini, setting::ClockFile);
}

BarSettings ReadBarSettings(const TIniFile& ini, int screenWidth, int barWidth) {
    BarSettings s;
    ReadSkinNames(ini, s);
    s.winFile = ReadText(ini, setting::WinFile);

    s.ledFont = ReadBool(ini, setting::LedFont);
    s.font = ReadTimeFont(ini);

    static_cast<TChimeSettings&>(s) = ReadChimeSettings(ini);

    s.autoCheck = ReadBool(ini, setting::AutoCheck);
    s.stepHour = ReadInt(ini, setting::StepHour);

    s.markMode = ReadInt(ini, setting::CalendarLX);
    s.markStepMinutes = ReadInt(ini, setting::CalendarStep);

    s.left = ReadInt(ini, setting::BarLeft, screenWidth - barWidth);
    if (static_cast<int64_t>(s.left) + barWidth > screenWidth)
        s.left = screenWidth - barWidth;
    s.top = std::max(0, ReadInt(ini, setting::BarTop, 0));
    s.onTop = ReadBool(ini, setting::OnTop);
    s.onStartHide = ReadBool(ini, setting::OnStartHide);
    s.defaultView = ReadStartView(ini);
    s.barAlpha = ReadInt(ini, setting::BarAlpha);
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
    p.top = ReadInt(ini, setting::ChildTop, p.top);
    p.left = ClampClockViewLeft(ReadInt(ini, setting::ChildLeft, barLeft), screens.desktopLeft,
                                screens.desktopWidth);
    return p;
}

bool IsHideSwitch(const std::string& firstArgument) {
    return EqualsNoCase(Trim(firstArgument), "/hide");
}

}  // namespace tempora
