// TMyWindow: the skinned frame every dialog of the program wears instead of
// the platform's border: a picture frame with a 28-pixel caption strip, the
// dialog's title in it, a picture close button and rounded corners.
//
// This is the picture and geometry work; MyWindow_win.h puts it on windows.
//
// The frame is composed from a template picture cut into fixed parts, whatever
// the template's size (Ws x Hs; rectangles left, top, right, bottom with right
// and bottom exclusive):
//   top-left corner      0, 0, 20, 28         top-right corner   Ws-20, 0, Ws, 28
//   top edge             21, 0, 81, 28
//   left edge            0, 28, 10, 40        right edge         Ws-10, 28, Ws, 40
//   bottom-left corner   0, Hs-10, 10, Hs     bottom-right       Ws-10, Hs-10, Ws, Hs
//   bottom edge          10, Hs-10, Ws-10, Hs
//   centre               10, 28, Ws-10, Hs-10
// At a scale other than 100 % every one of these sizes and places is taken
// at that scale (TScale::Px) from a template of that scale.
// Corners are copied unscaled one pixel in from the target's edges; edges and
// centre are stretched (nearest pixel, no smoothing) between them. The
// outermost row and column of the target stay magenta, outside the window's
// rounded shape. A template smaller than its parts, or one that is magenta
// where a package rectangle left its picture, is composed all the same: what
// it cannot supply stays magenta, and nothing outside any picture is read.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/Bitmap.h"
#include "core/Scale.h"
#include "display/SmoothFont.h"
#include "display/SupFun.h"

namespace tempora {

class TMyWindow {
public:
    // The caption strip: the top rows of the frame, which drag the dialog.
    static constexpr int kCaptionHeight = 28;
    static constexpr int kTitleLeft = 10;
    // The close button keeps this distance from the right edge, at this top.
    static constexpr int kCloseRight = 10;
    static constexpr int kCloseTop = 1;
    // The window's shape: a rectangle from (1, 1) to the frame's size whose
    // corners are ellipses this wide and high.
    static constexpr int kCornerEllipse = 13;
    // The title font: 宋体, 10 points, bold.
    static constexpr int kTitlePoints = 10;

    // Copies the skin's pictures and caption colour. A package without a
    // close picture gets the plain frame's button, and one without a hover
    // picture shows the normal one on hover, so that every dialog keeps its
    // way to close.
    explicit TMyWindow(const TWinSkin& skin);

    // The frame of our own, for when no frame package was accepted: a slate
    // caption strip with a darker rim, a light body and a matching close
    // button that turns red on hover.
    static TMyWindow Plain();

    // This frame, made at 100 %, for windows at `scale`: its pictures
    // stretched to that scale, and every size and place of the frame taken
    // at it.
    TMyWindow AtScale(TScale scale) const;
    TScale Scale() const { return scale_; }
    int CaptionHeight() const { return scale_.Px(kCaptionHeight); }
    int CornerEllipse() const { return scale_.Px(kCornerEllipse); }

    uint32_t CaptionColor() const { return captionColor_; }
    const Bitmap& FrameTemplate() const { return frame_; }
    const Bitmap& CloseUp() const { return closeUp_; }
    const Bitmap& CloseHot() const { return closeHot_; }

    // The frame for a dialog of width x height pixels; an empty picture when
    // the size is negative or beyond what a Bitmap holds.
    Bitmap ComposeFrame(int width, int height) const;
    // Where the close button sits on a dialog `formWidth` wide; it takes the
    // size of its normal picture.
    TSkinRect ClosePlace(int formWidth) const;
    // Draws `title` into `frame` in `font` and the caption colour, without
    // background, at x = kTitleLeft and y = TitleTop(the title's height),
    // both at the frame's scale.
    void DrawTitle(Bitmap& frame, TGlyphRasterizer& glyphs, const TFontSpec& font,
                   std::string_view title) const;

private:
    Bitmap frame_;
    Bitmap closeUp_;
    Bitmap closeHot_;
    uint32_t captionColor_ = 0;
    TScale scale_;
};

// The frame composition described above, for a `width` x `height` target,
// from a template at `scale`.
Bitmap ComposeDialogFrame(const Bitmap& frameTemplate, int width, int height, TScale scale = {});

// The title's top in the caption strip for a title `textHeight` pixels high:
// centred in the strip's 27 rows above its bottom line, two pixels lower
// (at `scale`).
int TitleTop(int textHeight, TScale scale = {});

// The title font at `dpi` pixels per inch (96 on most screens).
TFontSpec TitleFont(int dpi);

// True when the client point (x, y) of a dialog `width` pixels wide lies in
// the caption strip (at `scale`), where any mouse button starts moving the
// dialog.
bool InDragStrip(int x, int y, int width, TScale scale = {});

// The template, close pictures and caption colour of TMyWindow::Plain().
TWinSkin PlainWinSkin();

// The look of a docked view (calendar, weather) when no package applies: a
// light panel with a slate caption band `captionBand` pixels high, a dark
// outline and rounded corners in the key colour.
Bitmap PlainViewBackground(int width, int height, int captionBand);
// The small slate arrow button of such a view's pickers.
Bitmap PlainViewButton();

}  // namespace tempora
