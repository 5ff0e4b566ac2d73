// The bar's settings as read from skin.ini at start-up through the table of
// keys (core/SettingKeys.h), with every default and range applied, so that
// the bar, the options dialog and their tests see the same values.
#pragma once

#include "core/IniFile.h"
#include "core/SettingKeys.h"
#include "reminders/ClockAlarm.h"

#include <cstdint>
#include <string>

namespace tempora {

// The chime's keys of CLOCK, read alike by the bar and the options dialog.
struct TChimeSettings {
    bool alarm = false, halfAlarm = false;
    int alarmType = 0;
    bool hotKey = false;
    std::string hotKey1, hotKey2;
    TQuietHours quiet;  // QuietHours, QuietStart, QuietEnd; a bad time keeps its default
    // The hotkey that speaks the day.
    bool dayHotKey = false;
    std::string dayHotKey1, dayHotKey2;
};
TChimeSettings ReadChimeSettings(const TIniFile& ini);

// The plain-text clock's font (LED/FontName … FontStrikeOut).
struct TTimeFont {
    std::string name = "Tahoma";
    int size = 18;
    uint32_t color = 0xFFFFFF;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    bool operator==(const TTimeFont&) const = default;
};
TTimeFont ReadTimeFont(const TIniFile& ini);

TStartView ReadStartView(const TIniFile& ini);

struct BarSettings : TChimeSettings {
    // SKIN
    std::string skinFile, clockFile, winFile;
    // LED: digits, or plain text in this font
    bool ledFont = true;
    TTimeFont font;
    // TIME
    bool autoCheck = false;
    int stepHour = 1;
    // MSG
    int markMode = 1;
    int markStepMinutes = 5;
    // BAR
    int left = 0, top = 0;
    bool onTop = false, onStartHide = false;
    TStartView defaultView = TStartView::Clock;
    int barAlpha = 200;
};

// Reads every key the bar needs at start-up. The bar's left edge defaults to
// the screen's right edge less the bar, and is pulled back so that the bar's
// right edge stays on the screen; a negative top becomes 0.
BarSettings ReadBarSettings(const TIniFile& ini, int screenWidth, int barWidth);

// Only the skin names, for re-reading after a skin has been applied.
void ReadSkinNames(const TIniFile& ini, BarSettings& s);

// The screens the clock view is placed on: the monitor the bar is on decides
// below or above the bar; a saved left edge is kept on the desktop that all
// monitors make up (monitors left of the primary one have negative x).
struct ClockViewScreens {
    int monitorTop = 0, monitorHeight = 0;
    int desktopLeft = 0, desktopWidth = 0;
};
// Where the clock view goes: CHILD/Left clamped to desktopLeft … the
// desktop's right edge − 100.
int ClampClockViewLeft(int left, int desktopLeft, int desktopWidth);
// Where the clock view opens beside a bar at barLeft, barTop of barHeight:
// below the bar, or above it when the bar sits in the lower half of its
// monitor (top −1 and the bottom edge anchored at the bar's top). CHILD/Top
// and CHILD/Left, when saved, put it back where the user left it; a missing
// CHILD/Left keeps it level with the bar.
struct ClockViewPlace {
    int left = 0, top = 0;
    int bottomAnchor = -1;  // −1: none
};
ClockViewPlace PlaceClockView(const TIniFile& ini, int barLeft, int barTop, int barHeight,
                              const ClockViewScreens& screens);

// True when the first command-line argument asks for a hidden start.
bool IsHideSwitch(const std::string& firstArgument);

}  // namespace tempora
