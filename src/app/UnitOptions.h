// What the options dialog reads from and writes to skin.ini, without a
// window: the values of its six pages with their defaults and ranges, the
// keys they become, the one-replacement writer, and the small rules behind
// the dialog's labels, previews and hotkey.
#pragma once

#include "app/Settings.h"
#include "core/IniFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tempora {

// Ranges of the dialog's controls; a stored value outside them reads as the
// key's default.
inline constexpr int kMinAlpha = 55, kMaxAlpha = 255;
inline constexpr int kMinAutoSec = 5, kMaxAutoSec = 3600;
inline constexpr int kMinCalendarStep = 1, kMaxCalendarStep = 600;
inline constexpr int kMinStepHour = 1, kMaxStepHour = 1000;

// The plain-text clock's font (LED/FontName … FontStrikeOut).
struct TTimeFont {
    std::string name = "Tahoma";
    int size = 18;
    uint32_t color = 0xFFFFFF;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    bool operator==(const TTimeFont&) const = default;
};

// Everything the dialog writes when it closes (CLOCK: the chime settings).
struct TOptionsValues : TChimeSettings {
    // LED: the font keys are written only while the plain text is chosen.
    bool ledFont = true;
    TTimeFont font;
    // BAR
    int barAlpha = 200;
    bool onTop = false, onStartHide = false;
    int defWin = 1;  // 0 精简, 1 时钟, 2 日历, 3 天气
    bool dateLoop = false;
    // MSG
    bool msgAuto = true;
    int autoSec = 5;
    int msgAlpha = 200;
    int calendarLX = 1;  // 0 不显示, 1 启动时显示, 2 循环显示
    int calendarStep = 5;
    // TIME
    bool autoCheck = false;
    int stepHour = 1;
};

// The values as the dialog shows them for `ini`: every key's default for a
// missing key, and for a value the dialog's controls cannot hold. The LED
// choice, the font and the bar's alpha come from the running bar instead,
// so they keep their defaults here.
TOptionsValues ReadOptionsValues(const TIniFile& ini);

struct TIniValue {
    std::string section, key, value;
    bool operator==(const TIniValue&) const = default;
};

// The keys the dialog writes, in the order it writes them: LED, BAR, CLOCK,
// MSG, TIME. Booleans as "1"/"0", numbers in decimal, clamped to the
// controls' ranges.
std::vector<TIniValue> OptionsIniValues(const TOptionsValues& v);

// Sets every key of `values` in the settings file at `path` (created when
// missing) with one atomic replacement: either all of them reach the file or,
// when it cannot be read or written, none do and EIniWriteError is thrown.
void WriteIniValues(const std::string& path, const std::vector<TIniValue>& values);

// The percentage a transparency track bar shows: (255 − position) ÷ 2.5,
// rounded to the nearest integer, halves to even (55 → 80, 255 → 0).
int TransparencyPercent(int position);

// The clock-style preview's size for a face of w × h: as it is when both fit
// in 100 × 100, else scaled so that the longer side is 100, the other side
// rounded halves to even.
struct TPreviewSize {
    int width = 0, height = 0;
    bool operator==(const TPreviewSize&) const = default;
};
TPreviewSize ClockPreviewSize(int w, int h);

// What becomes of the announce-time hotkey when the dialog closes: with
// "启用" ticked it is registered anew unless the one registered now has the
// same texts; without it, it goes.
enum class THotKeyAction { Keep, Reregister, Unregister };
THotKeyAction HotKeyActionFor(bool enabled, bool registered, const std::string& registeredMods,
                              const std::string& registeredKey, const std::string& mods,
                              const std::string& key);

// The texts of the hotkey lists, in their order.
const std::vector<std::string>& HotKeyModifierTexts();
const std::vector<std::string>& HotKeyLetterTexts();

}  // namespace tempora
