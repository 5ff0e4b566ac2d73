// The sections of a skin package, read into the structs the windows take.
#include "SupFun.Keys.h"
#include "SupFun.h"

#include <algorithm>

namespace tempora {

using namespace skinkeys;

namespace {

// A window's background must come out with pixels in it.
bool CutBackground(const TIniFile& keys, const Bitmap& picture, const TSkinRectKey& key,
                   Bitmap& out) {
    return Cut(picture, out, ReadSkinRect(keys, key)) && !out.Empty();
}

bool CutPicture(const TIniFile& keys, const Bitmap& picture, const TSkinRectKey& key, Bitmap& out) {
    return Cut(picture, out, ReadSkinRect(keys, key));
}

}  // namespace

TSkinMenu SkinMenuFrom(const TIniFile& keys) {
    TSkinMenu m;
    m.iconBarColorStart = ReadSkinColor(keys, kIconBarColor1);
    m.iconBarColorStop = ReadSkinColor(keys, kIconBarColor2);
    m.selectionColorStart = ReadSkinColor(keys, kSelectionColor1);
    m.selectionColorStop = ReadSkinColor(keys, kSelectionColor2);
    m.selectionFrameColor = ReadSkinColor(keys, kSelectionFrameColor);
    return m;
}

TLEDCell ReadLEDCell(const TIniFile& keys) {
    const TLEDCell def;
    return {keys.ReadInteger("BAR", kLEDWordWidth, def.wordWidth),
            keys.ReadInteger("BAR", kLEDWordHeight, def.wordHeight),
            keys.ReadInteger("BAR", kLEDThick, def.thick),
            keys.ReadInteger("BAR", kLEDSpace, def.space),
            keys.ReadInteger("BAR", kLEDMarkSpace, def.markSpace)};
}

bool LEDCellFits(const TLEDCell& c, const TSkinRect& place) {
    // Bounds first, so that the sums below cannot overflow.
    const auto within = [](int v, int lo, int hi) { return v >= lo && v <= hi; };
    if (!within(c.thick, 1, place.height) || !within(c.wordWidth, 2 * c.thick + 1, place.width) ||
        !within(c.wordHeight, 4 * c.thick, place.height) || !within(c.space, 0, place.width) ||
        !within(c.markSpace, 0, place.width)) {
        return false;
    }
    // An even height is drawn one taller.
    const int height = c.wordHeight % 2 == 0 ? c.wordHeight + 1 : c.wordHeight;
    return BarLedInkWidth(c) <= place.width && height <= place.height;
}

bool BarSkinFrom(const TIniFile& keys, const Bitmap& picture, TBarSkin& out) {
    TBarSkin bar;
    if (!CutBackground(keys, picture, kBarBk, bar.background) ||
        !CutPicture(keys, picture, kMenuBtnUp, bar.btnMenu.up) ||
        !CutPicture(keys, picture, kMenuBtnHot, bar.btnMenu.hot) ||
        !CutPicture(keys, picture, kMinBtnUp, bar.btnMin.up) ||
        !CutPicture(keys, picture, kMinBtnHot, bar.btnMin.hot)) {
        return false;
    }
    bar.width = bar.background.Width();
    bar.height = bar.background.Height();
    bar.ledBkColor = ReadSkinColor(keys, kLEDBkColor);
    bar.ledDarkColor = ReadSkinColor(keys, kLEDDarkColor);
    bar.ledFontColor = ReadSkinColor(keys, kLEDFontColor);
    bar.ledBorderColor = ReadSkinColor(keys, kLEDBorderColor);
    bar.fontColor = ReadSkinColor(keys, kBarFontColor);
    const TLEDCell cell = ReadLEDCell(keys);
    if (LEDCellFits(cell, bar.led))
        bar.ledCell = cell;
    bar.menu = SkinMenuFrom(keys);
    out = std::move(bar);
    return true;
}

bool CalendarSkinFrom(const TIniFile& keys, const Bitmap& picture, TCalendarSkin& out) {
    TCalendarSkin cal;
    if (!CutBackground(keys, picture, kCalendarBk, cal.background) ||
        !CutPicture(keys, picture, kYearBtnUp, cal.btnYearUp) ||
        !CutPicture(keys, picture, kMonthBtnUp, cal.btnMonthUp)) {
        return false;
    }
    cal.menu = SkinMenuFrom(keys);
    cal.fontColor = ReadSkinColor(keys, kCalendarFontColor);
    cal.dayBackColor = ReadSkinColor(keys, kDayBackColor);
    cal.weekBackColor = ReadSkinColor(keys, kWeekBackColor);
    cal.hightlightBackColor = ReadSkinColor(keys, kHightlightBackColor);
    cal.markColor = ReadSkinColor(keys, kMarkColor);
    out = std::move(cal);
    return true;
}

bool WeatherSkinFrom(const TIniFile& keys, const Bitmap& picture, TWeatherSkin& out) {
    TWeatherSkin w;
    if (!CutBackground(keys, picture, kWeatherBk, w.background) ||
        !CutPicture(keys, picture, kYearBtnUp, w.btnGNGUp)) {
        return false;
    }
    w.fontColor = ReadSkinColor(keys, kWeatherFontColor);
    w.menu = SkinMenuFrom(keys);
    out = std::move(w);
    return true;
}

bool WinSkinFrom(const TIniFile& keys, const Bitmap& picture, TWinSkin& out) {
    TWinSkin w;
    if (!CutBackground(keys, picture, kWin, w.frame) ||
        !CutPicture(keys, picture, kCloseBtn, w.closeUp) ||
        !CutPicture(keys, picture, kCloseBtnHot, w.closeHot)) {
        return false;
    }
    w.captionColor = ReadSkinColor(keys, kCaptionColor);
    out = std::move(w);
    return true;
}

bool ClockSkinFrom(const TIniFile& keys, const Bitmap& picture, TClockSkin& out) {
    TClockSkin c;
    if (!CutBackground(keys, picture, kClock, c.face) ||
        !CutPicture(keys, picture, kHourHand, c.hourHand) ||
        !CutPicture(keys, picture, kMinuteHand, c.minuteHand) ||
        !CutPicture(keys, picture, kSecondHand, c.secondHand) ||
        !CutPicture(keys, picture, kCenterPoint, c.centerPoint)) {
        return false;
    }
    // The window subtracts half a hand's size from the centre: keep it in a
    // range where that cannot overflow.
    const auto centre = [&](const char* key, int def) {
        return std::clamp(keys.ReadInteger("CLOCK", key, def), -kMaxCutSide, 2 * kMaxCutSide);
    };
    c.centerX = centre(kCenterX, c.face.Width() / 2);
    c.centerY = centre(kCenterY, c.face.Height() / 2);
    c.smoothHands = keys.ReadInteger("CLOCK", kSmoothHands, 1) != 0;
    out = std::move(c);
    return true;
}

}  // namespace tempora
