#include "UnitOptions.h"

#include <algorithm>
#include <utility>

namespace tempora {

namespace {

// Rounds n / d (d > 0, n >= 0) to the nearest integer, halves to even.
int RoundHalfEven(int64_t n, int64_t d) {
    const int64_t q = n / d, r = n % d;
    if (2 * r > d || (2 * r == d && q % 2 != 0))
        return static_cast<int>(q + 1);
    return static_cast<int>(q);
}

}  // namespace

TOptionsValues ReadOptionsValues(const TIniFile& ini) {
    TOptionsValues v;
    v.onTop = ReadBool(ini, setting::OnTop);
    v.onStartHide = ReadBool(ini, setting::OnStartHide);
    v.defWin = ReadStartView(ini);
    v.dateLoop = ReadBool(ini, setting::DateLoop);
    v.barScale = ReadInt(ini, setting::BarScale);

    static_cast<TChimeSettings&>(v) = ReadChimeSettings(ini);

    v.msgAuto = ReadBool(ini, setting::MsgAuto);
    v.autoSec = ReadInt(ini, setting::MsgAutoSec);
    v.msgAlpha = ReadInt(ini, setting::MsgAlpha);
    v.calendarLX = ReadInt(ini, setting::CalendarLX);
    v.calendarStep = ReadInt(ini, setting::CalendarStep);

    v.autoCheck = ReadBool(ini, setting::AutoCheck);
    v.stepHour = ReadInt(ini, setting::StepHour);
    return v;
}

std::vector<TIniValue> OptionsIniValues(const TOptionsValues& v) {
    using namespace setting;
    std::vector<TIniValue> out;
    out.push_back(BoolValue(LedFont, v.ledFont));
    if (!v.ledFont) {
        out.push_back(TextValue(FontName, v.font.name));
        out.push_back(IntValue(FontSize, v.font.size));
        out.push_back(IntValue(FontColor, v.font.color & 0xFFFFFF));
        out.push_back(BoolValue(FontBold, v.font.bold));
        out.push_back(BoolValue(FontItalic, v.font.italic));
        out.push_back(BoolValue(FontUnderline, v.font.underline));
        out.push_back(BoolValue(FontStrikeOut, v.font.strikeOut));
    }
    out.push_back(IntValue(BarAlpha, v.barAlpha));
    out.push_back(BoolValue(OnTop, v.onTop));
    out.push_back(BoolValue(OnStartHide, v.onStartHide));
    out.push_back(IntValue(DefWin, static_cast<int>(v.defWin)));
    out.push_back(BoolValue(DateLoop, v.dateLoop));
    out.push_back(IntValue(BarScale, v.barScale));

    out.push_back(BoolValue(Alarm, v.alarm));
    out.push_back(BoolValue(HalfAlarm, v.halfAlarm));
    out.push_back(IntValue(AlarmType, v.alarmType));
    out.push_back(TextValue(HotKey1, v.hotKey1));
    out.push_back(TextValue(HotKey2, v.hotKey2));
    out.push_back(BoolValue(HotKey, v.hotKey));
    out.push_back(BoolValue(QuietHours, v.quiet.on));
    out.push_back(
        TextValue(QuietStart, FormatMinuteOfDay(std::clamp(v.quiet.startMinute, 0, 1439))));
    out.push_back(TextValue(QuietEnd, FormatMinuteOfDay(std::clamp(v.quiet.endMinute, 0, 1439))));
    out.push_back(BoolValue(HolidayQuiet, v.quiet.daysOff));
    out.push_back(TextValue(DayHotKey1, v.dayHotKey1));
    out.push_back(TextValue(DayHotKey2, v.dayHotKey2));
    out.push_back(BoolValue(DayHotKey, v.dayHotKey));

    out.push_back(BoolValue(MsgAuto, v.msgAuto));
    out.push_back(IntValue(MsgAutoSec, v.autoSec));
    out.push_back(IntValue(MsgAlpha, v.msgAlpha));
    out.push_back(IntValue(CalendarLX, v.calendarLX));
    out.push_back(IntValue(CalendarStep, v.calendarStep));

    out.push_back(BoolValue(AutoCheck, v.autoCheck));
    out.push_back(IntValue(StepHour, v.stepHour));
    return out;
}

int TransparencyPercent(int position) {
    const int p = std::clamp(position, 0, 255);
    // (255 − p) ÷ 2.5 = (255 − p) × 2 ÷ 5
    return RoundHalfEven(int64_t{255 - p} * 2, 5);
}

TPreviewSize ClockPreviewSize(int w, int h) {
    if (w <= 0 || h <= 0)
        return {};
    if (w <= 100 && h <= 100)
        return {w, h};
    if (h < w)
        return {100, RoundHalfEven(int64_t{h} * 100, w)};
    return {RoundHalfEven(int64_t{w} * 100, h), 100};
}

THotKeyAction HotKeyActionFor(bool enabled, bool registered, const std::string& registeredMods,
                              const std::string& registeredKey, const std::string& mods,
                              const std::string& key) {
    if (!enabled)
        return THotKeyAction::Unregister;
    if (registered && registeredMods == mods && registeredKey == key)
        return THotKeyAction::Keep;
    return THotKeyAction::Reregister;
}

const std::vector<std::string>& HotKeyModifierTexts() {
    static const std::vector<std::string> texts = {
        "Alt", "Ctrl", "Shift", "Alt + Ctrl", "Alt + Shift", "Ctrl + Shift", "Alt + Ctrl + Shift"};
    return texts;
}

const std::vector<std::string>& HotKeyLetterTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> t;
        for (char c = 'A'; c <= 'Z'; ++c)
            t.emplace_back(1, c);
        return t;
    }();
    return texts;
}

}  // namespace tempora
