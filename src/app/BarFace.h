// The bar's face: windowless controls (menu button, minimise button, the
// time panel with its LED digits, the fading date line) laid out from the
// bar's skin alone and painted into one picture. The window only passes the
// mouse on and copies the picture's changed rectangles to the screen.
#pragma once

#include "core/Bitmap.h"
#include "core/DateTime.h"
#include "display/SmoothCtrls.h"
#include "display/SupFun.h"
#include "display/myLEDFont.h"

#include <functional>
#include <string>
#include <vector>

namespace tempora {

enum class TBarPart { None, Background, Panel, MenuButton, MinButton, DateLine };

// A button drawn from its normal and hover pictures; magenta in them is
// see-through. Without a hover picture the normal one shows.
class TPictureButton {
public:
    void Set(TSkinButton button) { button_ = std::move(button); }
    const TSkinRect& Place() const { return button_.place; }
    bool Contains(int x, int y) const;
    void PaintTo(Bitmap& target, bool lit) const;

private:
    TSkinButton button_;
};

class TBarFace {
public:
    // The date line draws through `glyphs`; `labels` fills its <Owner>-style
    // labels. Both outlive the face.
    TBarFace(TGlyphRasterizer& glyphs, const TSystemLabels* labels);
    TBarFace(const TBarFace&) = delete;
    TBarFace& operator=(const TBarFace&) = delete;

    // Every place, picture and colour of the bar comes from the skin; the
    // whole face is to be repainted afterwards.
    void Apply(TBarSkin skin);
    const TBarSkin& Skin() const { return skin_; }
    // The scale the bar is drawn at: the date line's fonts follow it (the
    // skin brings its places and pictures at that scale).
    void SetScale(TScale scale);
    TScale Scale() const { return scale_; }
    int Width() const { return skin_.background.Width(); }
    int Height() const { return skin_.background.Height(); }

    TSkinRect Place(TBarPart part) const;
    // The part under a point of the bar; Background outside every control.
    TBarPart HitTest(int x, int y) const;

    // Hover and press state of the buttons; other parts count as None. Each
    // setter repaints what changed through OnInvalidate.
    void SetHot(TBarPart part);
    void SetPressed(TBarPart part);
    TBarPart Hot() const { return hot_; }
    TBarPart Pressed() const { return pressed_; }

    // The digits show in the panel, or only the panel shows (the window then
    // writes the time in a font of the user's choice over it).
    void SetDigitsVisible(bool visible);
    bool DigitsVisible() const { return LED.Visible(); }

    // The time of one tick: the digits, and the date line when the day
    // changed. True when the day changed (the first call counts as a change).
    bool ShowTime(TDateTime t);
    // The lines behind the date (the ads' "<FontAD>" lines) replace the old
    // ones; the date stays the first line.
    void SetAdLines(const std::vector<std::string>& adLines);

    // Brings the picture up to date within `area` (and the whole of any
    // control that reaches into it) and returns it.
    const Bitmap& Compose(TSkinRect area);
    const Bitmap& Picture() const { return picture_; }

    // `area` of the picture changed: with `now` the picture is up to date
    // there and goes to the screen at once (a new second, a fade step);
    // otherwise the window repaints it when it can.
    std::function<void(TSkinRect area, bool now)> OnInvalidate;

    TLEDFontNum LED;
    TFadeText FadeTextDate;

private:
    void PaintControls(TSkinRect area);
    void SetButtonState(TBarPart& state, TBarPart part);

    TScale scale_;
    TBarSkin skin_;
    Bitmap picture_;
    TPictureButton menuButton_, minButton_;
    TBarPart hot_ = TBarPart::None, pressed_ = TBarPart::None;
    int64_t shownDay_ = INT64_MIN;
};

}  // namespace tempora
