#include "UnitOptions.h"

#include "core/FileSys.h"

#include <algorithm>
#include <utility>

namespace tempora {

namespace {

std::string Bool(bool b) {
    return b ? "1" : "0";
}

std::string Int(int v, int lo, int hi) {
    return std::to_string(std::clamp(v, lo, hi));
}

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
    v.onTop = ini.ReadBool("BAR", "OnTop", false);
    v.onStartHide = ini.ReadBool("BAR", "OnStartHide", false);
    v.defWin = ReadInRange(ini, "BAR", "DefWin", 1, 0, 3);
    v.dateLoop = ini.ReadBool("BAR", "DateLoop", false);

    static_cast<TChimeSettings&>(v) = ReadChimeSettings(ini);

    v.msgAuto = ini.ReadBool("MSG", "Auto", true);
    v.autoSec = ReadInRange(ini, "MSG", "AutoSec", 5, kMinAutoSec, kMaxAutoSec);
    v.msgAlpha = ReadInRange(ini, "MSG", "Tran", 200, kMinAlpha, kMaxAlpha);
    v.calendarLX = ReadInRange(ini, "MSG", "CalendarLX", 1, 0, 2);
    v.calendarStep = ReadInRange(ini, "MSG", "CalendarStep", 5, kMinCalendarStep, kMaxCalendarStep);

    v.autoCheck = ini.ReadBool("TIME", "AutoChcek", false);  // the key is spelled so
    v.stepHour = ReadInRange(ini, "TIME", "StepHour", 1, kMinStepHour, kMaxStepHour);
    return v;
}

std::vector<TIniValue> OptionsIniValues(const TOptionsValues& v) {
    std::vector<TIniValue> out;
    out.push_back({"LED", "LEDFont", Bool(v.ledFont)});
    if (!v.ledFont) {
        out.push_back({"LED", "FontName", v.font.name});
        out.push_back({"LED", "FontSize", Int(v.font.size, 1, 200)});
        out.push_back({"LED", "FontColor", std::to_string(v.font.color & 0xFFFFFF)});
        out.push_back({"LED", "FontBold", Bool(v.font.bold)});
        out.push_back({"LED", "FontItalic", Bool(v.font.italic)});
        out.push_back({"LED", "FontUnderline", Bool(v.font.underline)});
        out.push_back({"LED", "FontStrikeOut", Bool(v.font.strikeOut)});
    }
    out.push_back({"BAR", "Tr", Int(v.barAlpha, kMinAlpha, kMaxAlpha)});
    out.push_back({"BAR", "OnTop", Bool(v.onTop)});
    out.push_back({"BAR", "OnStartHide", Bool(v.onStartHide)});
    out.push_back({"BAR", "DefWin", Int(v.defWin, 0, 3)});
    out.push_back({"BAR", "DateLoop", Bool(v.dateLoop)});

    out.push_back({"CLOCK", "Alarm", Bool(v.alarm)});
    out.push_back({"CLOCK", "HalfAlarm", Bool(v.halfAlarm)});
    out.push_back({"CLOCK", "AlarmType", Int(v.alarmType, 0, 3)});
    out.push_back({"CLOCK", "HotKey1", v.hotKey1});
    out.push_back({"CLOCK", "HotKey2", v.hotKey2});
    out.push_back({"CLOCK", "HotKey", Bool(v.hotKey)});
    out.push_back({"CLOCK", "QuietHours", Bool(v.quiet.on)});
    out.push_back(
        {"CLOCK", "QuietStart", FormatMinuteOfDay(std::clamp(v.quiet.startMinute, 0, 1439))});
    out.push_back({"CLOCK", "QuietEnd", FormatMinuteOfDay(std::clamp(v.quiet.endMinute, 0, 1439))});

    out.push_back({"MSG", "Auto", Bool(v.msgAuto)});
    out.push_back({"MSG", "AutoSec", Int(v.autoSec, kMinAutoSec, kMaxAutoSec)});
    out.push_back({"MSG", "Tran", Int(v.msgAlpha, kMinAlpha, kMaxAlpha)});
    out.push_back({"MSG", "CalendarLX", Int(v.calendarLX, 0, 2)});
    out.push_back({"MSG", "CalendarStep", Int(v.calendarStep, kMinCalendarStep, kMaxCalendarStep)});

    out.push_back({"TIME", "AutoChcek", Bool(v.autoCheck)});
    out.push_back({"TIME", "StepHour", Int(v.stepHour, kMinStepHour, kMaxStepHour)});
    return out;
}

void WriteIniValues(const std::string& path, const std::vector<TIniValue>& values) {
    std::string text;
    // A file that exists but cannot be read must not be replaced by the new
    // keys alone: everything else the user kept in it would be lost.
    if (!ReadFileBytes(path, text) && (FileExists(path) || DirectoryExists(path)))
        throw EIniWriteError(path);
    for (const TIniValue& v : values)
        text = TIniFile::WithValue(text, v.section, v.key, v.value);
    if (!WriteFileAtomic(path, text))
        throw EIniWriteError(path);
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
