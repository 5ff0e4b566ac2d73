#include "core/SettingKeys.h"

#include "core/FileSys.h"

#include <algorithm>
#include <utility>

namespace tempora {

std::span<const TSettingKey* const> SettingKeys() {
    using namespace setting;
    static const TSettingKey* const all[] = {
        &SkinFile,   &ClockFile,  &WinFile,    &LedFont,       &FontName,      &FontSize,
        &FontColor,  &FontBold,   &FontItalic, &FontUnderline, &FontStrikeOut, &BarLeft,
        &BarTop,     &BarAlpha,   &OnTop,      &OnStartHide,   &DefWin,        &DateLoop,
        &ChildIndex, &ChildLeft,  &ChildTop,   &Alarm,         &HalfAlarm,     &AlarmType,
        &HotKey,     &HotKey1,    &HotKey2,    &QuietHours,    &QuietStart,    &QuietEnd,
        &MsgAuto,    &MsgAutoSec, &MsgAlpha,   &CalendarLX,    &CalendarStep,  &AutoCheck,
        &StepHour,   &WebHost,    &HomePage,   &HolidayQuiet,  &MarkIcsYears,  &DayHotKey,
        &DayHotKey1, &DayHotKey2, &BarScale,
    };
    return all;
}

int32_t ReadInt(const TIniFile& ini, const TSettingKey& k, int32_t def) {
    const int32_t v = ini.ReadInteger(k.section, k.name, def);
    if (k.type == TKeyType::Bool)
        return v != 0 ? 1 : 0;
    return v < k.lo || v > k.hi ? def : v;
}

int32_t ReadInt(const TIniFile& ini, const TSettingKey& k) {
    return ReadInt(ini, k, k.def);
}

bool ReadBool(const TIniFile& ini, const TSettingKey& k) {
    return ReadInt(ini, k) != 0;
}

std::string ReadText(const TIniFile& ini, const TSettingKey& k) {
    return ini.ReadString(k.section, k.name, k.text);
}

TIniValue IntValue(const TSettingKey& k, int64_t v) {
    return {k.section, k.name, std::to_string(std::clamp<int64_t>(v, k.lo, k.hi))};
}

TIniValue BoolValue(const TSettingKey& k, bool v) {
    return {k.section, k.name, v ? "1" : "0"};
}

TIniValue TextValue(const TSettingKey& k, std::string v) {
    return {k.section, k.name, std::move(v)};
}

void WriteSettings(const std::string& path, const std::vector<TIniValue>& values) {
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

}  // namespace tempora
