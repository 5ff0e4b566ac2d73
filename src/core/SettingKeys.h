// The keys of skin.ini in one table: section, name, type, default and range
// of each. The bar, the options dialog and the popup program read every
// setting through it, and every change reaches the file through the one
// writer here, which replaces the file atomically.
#pragma once

#include "core/IniFile.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tempora {

// The settings file in the data folder.
inline constexpr char kSettingsFile[] = "skin.ini";

enum class TKeyType { Bool, Int, Text };

struct TSettingKey {
    const char* section;
    const char* name;
    TKeyType type;
    int32_t def;       // Bool (0 or 1) and Int
    int32_t lo, hi;    // Int: a stored value outside lo … hi reads as the default
    const char* text;  // Text: the default
};

constexpr TSettingKey BoolKey(const char* section, const char* name, bool def) {
    return {section, name, TKeyType::Bool, def ? 1 : 0, 0, 1, ""};
}
constexpr TSettingKey IntKey(const char* section, const char* name, int32_t def, int32_t lo,
                             int32_t hi) {
    return {section, name, TKeyType::Int, def, lo, hi, ""};
}
constexpr TSettingKey TextKey(const char* section, const char* name, const char* def) {
    return {section, name, TKeyType::Text, 0, 0, 0, def};
}
// A window's position: any value; what a missing one means depends on the
// screen, so its reader gives the default.
constexpr TSettingKey PlaceKey(const char* section, const char* name) {
    return {section, name, TKeyType::Int, 0, INT32_MIN, INT32_MAX, ""};
}

// The codes of BAR/DefWin, in the order the options dialog lists them.
enum class TStartView : int32_t { Simple = 0, Clock = 1, Calendar = 2, Weather = 3 };

namespace setting {
// SKIN: the packages, by file name in Skin\ and Clock\.
inline constexpr TSettingKey SkinFile = TextKey("SKIN", "SkinFile", "");
inline constexpr TSettingKey ClockFile = TextKey("SKIN", "ClockFile", "");
inline constexpr TSettingKey WinFile = TextKey("SKIN", "WinFile", "");
// LED: digits, or plain text in this font.
inline constexpr TSettingKey LedFont = BoolKey("LED", "LEDFont", true);
inline constexpr TSettingKey FontName = TextKey("LED", "FontName", "Tahoma");
inline constexpr TSettingKey FontSize = IntKey("LED", "FontSize", 18, 1, 200);
inline constexpr TSettingKey FontColor = IntKey("LED", "FontColor", 0xFFFFFF, 0, 0xFFFFFF);
inline constexpr TSettingKey FontBold = BoolKey("LED", "FontBold", false);
inline constexpr TSettingKey FontItalic = BoolKey("LED", "FontItalic", false);
inline constexpr TSettingKey FontUnderline = BoolKey("LED", "FontUnderline", false);
inline constexpr TSettingKey FontStrikeOut = BoolKey("LED", "FontStrikeOut", false);
// BAR: a hand-edited alpha below 55 would leave the bar all but invisible.
inline constexpr TSettingKey BarLeft = PlaceKey("BAR", "Left");
inline constexpr TSettingKey BarTop = PlaceKey("BAR", "Top");
inline constexpr TSettingKey BarAlpha = IntKey("BAR", "Tr", 200, 55, 255);
inline constexpr TSettingKey OnTop = BoolKey("BAR", "OnTop", false);
inline constexpr TSettingKey OnStartHide = BoolKey("BAR", "OnStartHide", false);
inline constexpr TSettingKey DefWin = IntKey("BAR", "DefWin", 1, 0, 3);  // TStartView
inline constexpr TSettingKey DateLoop = BoolKey("BAR", "DateLoop", false);
// CHILD: the docked view that showed at exit (a view code of app/Views.h)
// and where the user left the clock view.
inline constexpr TSettingKey ChildIndex = IntKey("CHILD", "Index", 0, 0, 3);
inline constexpr TSettingKey ChildLeft = PlaceKey("CHILD", "Left");
inline constexpr TSettingKey ChildTop = PlaceKey("CHILD", "Top");
// CLOCK: chimes, the announce-time hotkey and the quiet hours ("HH:MM").
inline constexpr TSettingKey Alarm = BoolKey("CLOCK", "Alarm", false);
inline constexpr TSettingKey HalfAlarm = BoolKey("CLOCK", "HalfAlarm", false);
inline constexpr TSettingKey AlarmType = IntKey("CLOCK", "AlarmType", 0, 0, 3);
inline constexpr TSettingKey HotKey = BoolKey("CLOCK", "HotKey", false);
inline constexpr TSettingKey HotKey1 = TextKey("CLOCK", "HotKey1", "");
inline constexpr TSettingKey HotKey2 = TextKey("CLOCK", "HotKey2", "");
inline constexpr TSettingKey QuietHours = BoolKey("CLOCK", "QuietHours", false);
inline constexpr TSettingKey QuietStart = TextKey("CLOCK", "QuietStart", "22:00");
inline constexpr TSettingKey QuietEnd = TextKey("CLOCK", "QuietEnd", "07:00");
// MSG: the popup program's window and the day's mark message.
inline constexpr TSettingKey MsgAuto = BoolKey("MSG", "Auto", true);
inline constexpr TSettingKey MsgAutoSec = IntKey("MSG", "AutoSec", 5, 5, 3600);
inline constexpr TSettingKey MsgAlpha = IntKey("MSG", "Tran", 200, 55, 255);
inline constexpr TSettingKey CalendarLX = IntKey("MSG", "CalendarLX", 1, 0, 2);
inline constexpr TSettingKey CalendarStep = IntKey("MSG", "CalendarStep", 5, 1, 600);
// TIME: network time sync (the key is spelled so).
inline constexpr TSettingKey AutoCheck = BoolKey("TIME", "AutoChcek", false);
inline constexpr TSettingKey StepHour = IntKey("TIME", "StepHour", 1, 1, 1000);
// WEB: the maker's server.
inline constexpr TSettingKey WebHost = TextKey("WEB", "Host", "");
inline constexpr TSettingKey HomePage = TextKey("WEB", "HomePage", "");
// CLOCK: no chime on days off.
inline constexpr TSettingKey HolidayQuiet = BoolKey("CLOCK", "HolidayQuiet", false);
// MSG: the years an export of the calendar marks covers.
inline constexpr TSettingKey MarkIcsYears = IntKey("MSG", "IcsYears", 10, 1, 100);
// CLOCK: the hotkey that speaks the day, stored as the announce-time one.
inline constexpr TSettingKey DayHotKey = BoolKey("CLOCK", "DayHotKey", false);
inline constexpr TSettingKey DayHotKey1 = TextKey("CLOCK", "DayHotKey1", "Alt + Ctrl");
inline constexpr TSettingKey DayHotKey2 = TextKey("CLOCK", "DayHotKey2", "D");
// The bar and its views at this percentage of the monitor's scale; 0 follows
// the monitor.
inline constexpr TSettingKey BarScale = IntKey("BAR", "Scale", 0, 0, 400);
}  // namespace setting

// Every key of the table.
std::span<const TSettingKey* const> SettingKeys();

// A Bool or Int key as stored, or its default when missing, not a number or
// out of its range; a Bool reads as 0 or 1.
int32_t ReadInt(const TIniFile& ini, const TSettingKey& k);
// The same with the caller's default, for positions.
int32_t ReadInt(const TIniFile& ini, const TSettingKey& k, int32_t def);
bool ReadBool(const TIniFile& ini, const TSettingKey& k);
std::string ReadText(const TIniFile& ini, const TSettingKey& k);

struct TIniValue {
    std::string section, key, value;
    bool operator==(const TIniValue&) const = default;
};

// A key with its value as the file stores it: booleans "1"/"0", numbers in
// decimal clamped to the key's range.
TIniValue IntValue(const TSettingKey& k, int64_t v);
TIniValue BoolValue(const TSettingKey& k, bool v);
TIniValue TextValue(const TSettingKey& k, std::string v);

// Sets every key of `values` in the settings file at `path` (created when
// missing) with one atomic replacement: either all of them reach the file or,
// when it cannot be read or written, none do and EIniWriteError is thrown.
void WriteSettings(const std::string& path, const std::vector<TIniValue>& values);

}  // namespace tempora
