// What the options dialog reads from and writes to skin.ini, without a
// window: the values of its six pages, the keys of the table they become,
// and the small rules behind the dialog's labels, previews and hotkey.
#pragma once

#include "app/Settings.h"
#include "core/IniFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tempora {

// Everything the dialog writes when it closes (CLOCK: the chime settings).
struct TOptionsValues : TChimeSettings {
    // LED: the font keys are written only while the plain text is chosen.
    bool ledFont = true;
    TTimeFont font;
    // BAR
    int barAlpha = 200;
    bool onTop = false, onStartHide = false;
    TStartView defWin = TStartView::Clock;
    bool dateLoop = false;
    int barScale = 0;  // percent; 0 follows the monitor
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

// The keys the dialog writes, in the order it writes them: LED, BAR, CLOCK,
// MSG, TIME, each value clamped to its key's range (WriteSettings stores them).
std::vector<TIniValue> OptionsIniValues(const TOptionsValues& v);

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
