// The keys each window reads from a skin package, with their defaults: one
// table for the readers and for the package check, so the two cannot drift.
#pragma once

#include <span>

#include "SupFun.h"

namespace tempora::skinkeys {

// Section BAR.
inline constexpr TSkinRectKey kBarBk{"BAR", "BarBk", {0, 0, 332, 34}};
inline constexpr TSkinColorKey kLEDBkColor{"BAR", "LEDBkColor", 0};
inline constexpr TSkinColorKey kLEDDarkColor{"BAR", "LEDDarkColor", 3618615};
inline constexpr TSkinColorKey kLEDFontColor{"BAR", "LEDFontColor", 65535};
inline constexpr TSkinColorKey kLEDBorderColor{"BAR", "LEDBorderColor", 13664560};
inline constexpr TSkinColorKey kBarFontColor{"BAR", "FontColor", 0};
// The LED cell; each missing key keeps the default cell's value.
inline constexpr const char* kLEDWordWidth = "LEDWordWidth";
inline constexpr const char* kLEDWordHeight = "LEDWordHeight";
inline constexpr const char* kLEDThick = "LEDThick";
inline constexpr const char* kLEDSpace = "LEDSpace";
inline constexpr const char* kLEDMarkSpace = "LEDMarkSpace";
inline constexpr const char* kLEDCellKeys[] = {kLEDWordWidth, kLEDWordHeight, kLEDThick, kLEDSpace,
                                               kLEDMarkSpace};

// Section BUTTON.
inline constexpr TSkinRectKey kMenuBtnUp{"BUTTON", "MenuBtnUp", {0, 584, 43, 26}};
inline constexpr TSkinRectKey kMenuBtnHot{"BUTTON", "MenuBtnHot", {43, 584, 43, 26}};
inline constexpr TSkinRectKey kMinBtnUp{"BUTTON", "MinBtnUp", {86, 584, 26, 9}};
inline constexpr TSkinRectKey kMinBtnHot{"BUTTON", "MinBtnHot", {112, 584, 26, 9}};
inline constexpr TSkinRectKey kYearBtnUp{"BUTTON", "YearBtnUp", {138, 584, 11, 11}};
inline constexpr TSkinRectKey kMonthBtnUp{"BUTTON", "MonthBtnUp", {138, 584, 11, 11}};

// Section MENU.
inline constexpr TSkinColorKey kIconBarColor1{"MENU", "IconBarColor1", 16113325};
inline constexpr TSkinColorKey kIconBarColor2{"MENU", "IconBarColor2", 14989919};
inline constexpr TSkinColorKey kSelectionColor1{"MENU", "SelectionColor1", 16113325};
inline constexpr TSkinColorKey kSelectionColor2{"MENU", "SelectionColor2", 14989919};
inline constexpr TSkinColorKey kSelectionFrameColor{"MENU", "SelectionFrameColor", 12937777};

// Section CALENDAR.
inline constexpr TSkinRectKey kCalendarBk{"CALENDAR", "CalendarBk", {0, 34, 332, 390}};
inline constexpr TSkinColorKey kCalendarFontColor{"CALENDAR", "FontColor", 0};
inline constexpr TSkinColorKey kDayBackColor{"CALENDAR", "DayBackColor", 16644074};
inline constexpr TSkinColorKey kWeekBackColor{"CALENDAR", "WeekBackColor", 16576986};
inline constexpr TSkinColorKey kHightlightBackColor{"CALENDAR", "HightlightBackColor", 14989919};
inline constexpr TSkinColorKey kMarkColor{"CALENDAR", "MarkColor", 8454143};

// Section WEATHER.
inline constexpr TSkinRectKey kWeatherBk{"WEATHER", "WeatherBk", {0, 424, 332, 160}};
inline constexpr TSkinColorKey kWeatherFontColor{"WEATHER", "FontColor", 16777215};

// Section WIN.
inline constexpr TSkinRectKey kWin{"WIN", "Win", {0, 0, 100, 50}};
inline constexpr TSkinRectKey kCloseBtn{"WIN", "CloseBtn", {0, 50, 43, 17}};
inline constexpr TSkinRectKey kCloseBtnHot{"WIN", "CloseBtnHot", {43, 50, 43, 17}};
inline constexpr TSkinColorKey kCaptionColor{"WIN", "CaptionColor", 0};

// Section CLOCK; CenterX and CenterY default to the middle of the face.
inline constexpr TSkinRectKey kClock{"CLOCK", "Clock", {0, 0, 0, 0}};
inline constexpr TSkinRectKey kHourHand{"CLOCK", "HourHand", {0, 0, 0, 0}};
inline constexpr TSkinRectKey kMinuteHand{"CLOCK", "MinuteHand", {0, 0, 0, 0}};
inline constexpr TSkinRectKey kSecondHand{"CLOCK", "SecondHand", {0, 0, 0, 0}};
inline constexpr TSkinRectKey kCenterPoint{"CLOCK", "CenterPoint", {0, 0, 0, 0}};
inline constexpr const char* kCenterX = "CenterX";
inline constexpr const char* kCenterY = "CenterY";
inline constexpr const char* kSmoothHands = "SmoothHands";

// What one window reads: its rectangles, the first one being its background
// (or face, or frame template), and its colours.
struct TWindowKeys {
    std::span<const TSkinRectKey* const> rects;
    std::span<const TSkinColorKey* const> colors;
};

inline constexpr const TSkinRectKey* kBarRects[] = {&kBarBk, &kMenuBtnUp, &kMenuBtnHot, &kMinBtnUp,
                                                    &kMinBtnHot};
inline constexpr const TSkinColorKey* kMenuColors[] = {
    &kIconBarColor1, &kIconBarColor2, &kSelectionColor1, &kSelectionColor2, &kSelectionFrameColor};
inline constexpr const TSkinColorKey* kBarColors[] = {
    &kLEDBkColor,    &kLEDDarkColor,  &kLEDFontColor,    &kLEDBorderColor,  &kBarFontColor,
    &kIconBarColor1, &kIconBarColor2, &kSelectionColor1, &kSelectionColor2, &kSelectionFrameColor};
inline constexpr const TSkinRectKey* kCalendarRects[] = {&kCalendarBk, &kYearBtnUp, &kMonthBtnUp};
inline constexpr const TSkinColorKey* kCalendarColors[] = {
    &kCalendarFontColor, &kDayBackColor,       &kWeekBackColor, &kHightlightBackColor,
    &kMarkColor,         &kIconBarColor1,      &kIconBarColor2, &kSelectionColor1,
    &kSelectionColor2,   &kSelectionFrameColor};
inline constexpr const TSkinRectKey* kWeatherRects[] = {&kWeatherBk, &kYearBtnUp};
inline constexpr const TSkinColorKey* kWeatherColors[] = {
    &kWeatherFontColor, &kIconBarColor1,   &kIconBarColor2,
    &kSelectionColor1,  &kSelectionColor2, &kSelectionFrameColor};
inline constexpr const TSkinRectKey* kWinRects[] = {&kWin, &kCloseBtn, &kCloseBtnHot};
inline constexpr const TSkinColorKey* kWinColors[] = {&kCaptionColor};
inline constexpr const TSkinRectKey* kClockRects[] = {&kClock, &kHourHand, &kMinuteHand,
                                                      &kSecondHand, &kCenterPoint};

inline TWindowKeys KeysOf(TSkinWindow w) {
    switch (w) {
        case TSkinWindow::Bar:
            return {kBarRects, kBarColors};
        case TSkinWindow::Calendar:
            return {kCalendarRects, kCalendarColors};
        case TSkinWindow::Weather:
            return {kWeatherRects, kWeatherColors};
        case TSkinWindow::Win:
            return {kWinRects, kWinColors};
        case TSkinWindow::Clock:
            break;
    }
    return {kClockRects, {}};
}

}  // namespace tempora::skinkeys
