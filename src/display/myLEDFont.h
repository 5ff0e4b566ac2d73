// TLEDFontNum: a windowless control that draws one line of seven-segment LED
// characters: the digits 0-9, a minus sign and blank cells. A decimal point
// or colon takes no cell of its own: it is drawn in a narrow column at the
// right edge of the cell of the character before it, and reaches two pixels
// into the gap after that cell (MarkSpace widens that gap).
//
// The control renders into a picture of its own, Width() x Height(), which
// its parent copies into the parent's picture at the control's bounds.
// Rendering follows each property change the way every control of the
// program does: setters act only when the value changes and drop invalid
// values silently; most changes ask the parent to repaint (OnInvalidate),
// while Text and DrawDarkColor, which change every second, render at once
// and hand the fresh picture out (OnRendered), so the clock needs no
// invalidation per tick.
//
// Text is UTF-8; each character (one UTF-8 sequence) takes one cell, and any
// character other than "0"-"9", "-" and " " shows only unlit segments.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/Bitmap.h"

namespace tempora {

class TLEDFontNum {
public:
    struct Rect {
        int left = 0, top = 0, width = 0, height = 0;
        bool operator==(const Rect&) const = default;
    };

    // Polygon numbers within a cell.
    enum : int {
        kTopBar,
        kUpperRight,
        kLowerRight,
        kBottomBar,
        kLowerLeft,
        kUpperLeft,
        kMiddleBar,
        kPoint,
        kColonUpper,
        kColonLower,
        kPolygonCount
    };
    static constexpr int kVertexCount = 6;
    using Polygon = std::array<Bitmap::Point, kVertexCount>;
    using CellPolygons = std::array<Polygon, kPolygonCount>;

    // The size the control has when created.
    static constexpr int kInitialWidth = 47, kInitialHeight = 38;

    TLEDFontNum() = default;
    TLEDFontNum(const TLEDFontNum&) = delete;
    TLEDFontNum& operator=(const TLEDFontNum&) = delete;

    // Margins between the control's edge and the first cell; any value.
    int OffSetX() const { return offSetX_; }
    void SetOffSetX(int value);
    int OffSetY() const { return offSetY_; }
    void SetOffSetY(int value);
    // The cell size. WordWidth must exceed 2 * Thick; WordHeight must be at
    // least 4 * Thick and is kept odd (an even value is stored plus one).
    int WordWidth() const { return wordWidth_; }
    void SetWordWidth(int value);
    int WordHeight() const { return wordHeight_; }
    void SetWordHeight(int value);
    // Stroke width: 2 * Thick < WordWidth and 4 * Thick - 1 < WordHeight.
    int Thick() const { return thick_; }
    void SetThick(int value);
    // Gap between cells; any value.
    int Space() const { return space_; }
    void SetSpace(int value);
    // Extra pixels of gap after a cell that carries a point or colon, the
    // mark moved right by half of them into the middle of the wider gap; 0
    // or more (a negative value is ignored). 0 draws the marks as the font
    // always has, a pixel clear of the digit before them.
    int MarkSpace() const { return markSpace_; }
    void SetMarkSpace(int value);
    const std::string& Text() const { return text_; }
    void SetText(std::string_view value);  // renders at once
    // Colours 0x00BBGGRR. Lit segments are drawn only in a colour other than
    // the background; unlit ones only when DrawDarkColor is on and DarkColor
    // is not the background.
    uint32_t BGColor() const { return bgColor_; }
    void SetBGColor(uint32_t value);
    uint32_t LightColor() const { return lightColor_; }
    void SetLightColor(uint32_t value);
    uint32_t DarkColor() const { return darkColor_; }
    void SetDarkColor(uint32_t value);
    // When on, each rendering fits the control to the text (see Paint); turning
    // it on fits the control at once.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool DrawDarkColor() const { return drawDarkColor_; }
    void SetDrawDarkColor(bool value);  // renders at once

    // The tooltip text and whether it shows; the parent shows it.
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string_view value) { hint_ = value; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value) { showHint_ = value; }

    // Place and size in the parent's picture. Negative sizes count as 0.
    Rect Bounds() const { return bounds_; }
    int Left() const { return bounds_.left; }
    int Top() const { return bounds_.top; }
    int Width() const { return bounds_.width; }
    int Height() const { return bounds_.height; }
    void SetBounds(int left, int top, int width, int height);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    // Whether a point of the parent's picture falls on the visible control.
    bool HitTest(int x, int y) const;

    // The paint handler: renders the text into Picture() at the control's
    // current size, then, with AutoSize on, fits the control to the text:
    // S = N * WordWidth + (N - 1) * Space + M * MarkSpace + 2 * OffSetX for
    // N cells, M of them carrying a mark before another cell; unless the
    // width is S + 1 already, the size becomes S x (2 * OffSetY +
    // WordHeight). Does nothing while the control is hidden.
    void Paint();
    // Paint, then CopyTo.
    void PaintTo(Bitmap& parent);
    // Copies the last rendering into the parent's picture at the control's
    // place, if the control is visible.
    void CopyTo(Bitmap& parent) const;
    // The last rendering (empty before the first).
    const Bitmap& Picture() const { return picture_; }

    // The polygons a rendering draws over the background, in drawing order,
    // each a filled polygon with a 1-pixel outline in `colour`. Polygons that
    // lie wholly outside the control are left out.
    using PolygonSink = std::function<void(std::span<const Bitmap::Point> points, uint32_t color)>;
    void DrawPolygons(const PolygonSink& draw) const;
    // The ten polygons of the cell at origin x, y, the marks `markShift`
    // pixels right of their usual column. Coordinates beyond the picture's
    // coordinate range are clamped just past it, so that such polygons are
    // not drawn rather than drawn wrapped.
    static CellPolygons CellGeometry(int64_t x, int64_t y, int wordWidth, int wordHeight, int thick,
                                     int markShift = 0);

    // The area of the parent that needs repainting: a property changed, or the
    // control moved, was resized, shown or hidden.
    std::function<void(Rect area)> OnInvalidate;
    // Picture() was rendered afresh outside a paint (Text or DrawDarkColor
    // changed): copy it to the screen now.
    std::function<void()> OnRendered;

private:
    void Invalidate();
    void InvalidateArea(Rect area);
    bool Render();
    void RenderNow();
    void FitAfterRender();
    int64_t FittedWidth() const;
    void Fit(int64_t width);

    int offSetX_ = 4;
    int offSetY_ = 4;
    int wordWidth_ = 17;
    int wordHeight_ = 29;
    int thick_ = 3;
    int space_ = 4;
    int markSpace_ = 0;
    std::string text_ = "00";
    uint32_t bgColor_ = 0x4A424A;
    uint32_t lightColor_ = 0x00FFF7;
    uint32_t darkColor_ = 0x636363;
    bool autoSize_ = true;
    bool drawDarkColor_ = false;
    std::string hint_;
    bool showHint_ = false;
    Rect bounds_{0, 0, kInitialWidth, kInitialHeight};
    bool visible_ = true;
    Bitmap picture_;
};

// The program's two LED looks, one setup each, so that what the tests and
// tools draw is what the program shows.
//
// The cell of the bar's digits: size, stroke, gap and mark space as the
// control takes them (see above). The default is the bar's look at 100 %;
// a skin may give its own, and a display scale scales it.
struct TLEDCell {
    int wordWidth = 15;
    int wordHeight = 19;
    int thick = 3;
    int space = 3;
    int markSpace = 0;
    bool operator==(const TLEDCell&) const = default;
};

// The bar's time: cells of `cell`, the eight characters of "hh:mm:ss"
// centred in the given place (the inside of the time panel) by their ink;
// the size stays the place's, unlit segments are not drawn. The colours are
// left to the caller (the skin's).
void SetUpBarLed(TLEDFontNum& led, int left, int top, int width, int height,
                 const TLEDCell& cell = {});
// How wide the ink of "hh:mm:ss" in `cell` is, from the first digit's left
// edge to the last one's right edge.
int BarLedInkWidth(const TLEDCell& cell);
// The shutdown countdown's two digits: 23 x 31 cells, stroke 5, 4 apart,
// `lit` on `back`, at (left, top) and as large as the two digits need.
void SetUpCountdownLed(TLEDFontNum& led, int left, int top, uint32_t back, uint32_t lit);

}  // namespace tempora
