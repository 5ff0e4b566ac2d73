// The analog clock's face as a picture: the style's face, the hour, minute
// and second hands turned about the common centre, and the cap over the
// pivot, composed in that order. The clock window only copies the changed
// part of the picture to the screen.
#pragma once

#include "core/Bitmap.h"
#include "core/DateTime.h"
#include "display/RotatedImage.h"
#include "display/SupFun.h"

#include <string>

namespace tempora {

// The hands' angles in degrees for TRotatedImage (negative turns clockwise):
// the second hand -6 s, the minute hand -6 m, the hour hand
// -(30 h + 6 (m div 12)), with h counted 0 .. 23.
struct THandAngles {
    double hour = 0, minute = 0, second = 0;
};
THandAngles HandAngles(TDateTime t);

// One edge of a window placed by position or anchor: `pos` unless it is
// negative and `anchor` is not; then the far edge sits at `anchor`.
int AnchoredEdge(int pos, int anchor, int size);

// Reads the clock style at `path` at `scale`; when that one is missing,
// rejected or damaged, the first of the other styles (*.cl, not the larger
// companions) of its folder, in name order, that reads. `used` gets the path
// of the style read. When none reads, the result of `path` itself, with
// `out` unchanged.
TSkinResult ReadClockStyle(const std::string& dataDir, const std::string& path, TClockSkin& out,
                           std::string* used = nullptr, TScale scale = {});

class TClockFace {
public:
    // A face larger than this is cut to it, from its top-left corner; a
    // hand or cap picture larger than this keeps its middle part, so that
    // its pivot stays where it was. Keeps a hostile style's cost bounded.
    static constexpr int kMaxSide = 1024;
    // The window's client area before any style applies.
    static constexpr int kInitialWidth = 326, kInitialHeight = 309;

    // The hands are auto-sized, centred and transparent, as the clock's
    // hands always are.
    TClockFace();
    TClockFace(const TClockFace&) = delete;
    TClockFace& operator=(const TClockFace&) = delete;

    // Takes the style's pictures (capped), places the hands and the cap
    // about the style's centre and composes the whole picture at the
    // hands' present angles.
    void Apply(const TClockSkin& skin);
    int Width() const { return picture_.Width(); }
    int Height() const { return picture_.Height(); }
    int CenterX() const { return centerX_; }
    int CenterY() const { return centerY_; }
    bool SmoothHands() const { return smooth_; }

    // Turns the hands to the time; each hand is turned again only when its
    // angle changed. Returns the part of the picture recomposed, empty when
    // no hand moved.
    TSkinRect SetHands(TDateTime t);
    THandAngles Angles() const { return angles_; }

    const Bitmap& Picture() const { return picture_; }
    // Where the cap sits.
    TSkinRect CapPlace() const;

    // The nearest-pixel hands; their pictures are the style's, their places
    // follow the centre. The smooth hands turn the same pictures.
    TRotatedImage RotatedImageH, RotatedImageM, RotatedImageS;

private:
    struct Hand {
        TRotatedImage* control;
        TSmoothHand smooth;
        Bitmap layer;
        int layerLeft = 0, layerTop = 0;
    };
    // Turns one hand; the area it covered before and covers now.
    TSkinRect Turn(Hand& hand, double angle);
    TSkinRect Covered(const Hand& hand) const;
    void Compose(TSkinRect area);

    Bitmap face_;
    Bitmap cap_;
    Bitmap picture_;
    Hand hands_[3];
    int centerX_ = kInitialWidth / 2, centerY_ = kInitialHeight / 2;
    bool smooth_ = true;
    THandAngles angles_;
};

}  // namespace tempora
