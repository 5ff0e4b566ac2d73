// TRotatedImage: a windowless picture control that shows its picture turned
// by any angle about the picture's centre, the pixels outside the turned
// picture see-through. The analog clock's hands are three of them.
//
// Beside it, the smooth turning of a hand: the hand's opaque pixels (all but
// its key colour) turned with bilinear filtering into a coverage layer that
// blends onto an opaque face without stair steps.
#pragma once

#include "core/Bitmap.h"

#include <cstdint>

namespace tempora {

// The control's nearest-pixel turning of `src` by `angle` degrees (positive
// counter-clockwise on screen): the angle is brought into -180 .. 180, and
// with S = trunc(sin(-angle) * 65536), C = trunc(cos(-angle) * 65536) the
// result is (w|C| + h|S|) / 65536 x (w|S| + h|C|) / 65536 pixels, filled
// with `key` where no source pixel lands. Every result pixel takes the
// source pixel its 16.16 fixed-point back-rotation points at, about centres
// that keep 0 and +-90 degrees exact: at 0 the result equals the source. A
// result beyond what a Bitmap holds comes out empty.
Bitmap TurnPicture(const Bitmap& src, double angle, uint32_t key);

class TRotatedImage {
public:
    TRotatedImage() = default;

    // Each setter acts only when the value changes, then rebuilds the
    // prepared picture. A non-finite angle is refused.
    void SetAngle(double angle);
    void SetPicture(Bitmap picture);
    void SetAutoSize(bool on);
    void SetCenter(bool on);
    void SetStretch(bool on);
    void SetTransparent(bool on);
    void SetUniqueSize(bool on);
    // With AutoSize the size follows the prepared picture, except when that
    // is empty.
    void SetBounds(int left, int top, int width, int height);

    double Angle() const { return angle_; }
    const Bitmap& Picture() const { return picture_; }
    bool AutoSize() const { return autoSize_; }
    bool Center() const { return center_; }
    bool Stretch() const { return stretch_; }
    bool Transparent() const { return transparent_; }
    bool UniqueSize() const { return uniqueSize_; }
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // The picture as drawn: turned and, with UniqueSize, placed in a square
    // of side round(sqrt((w + 2)^2 + (h + 2)^2)) that no angle outgrows,
    // centred there with Center, at its top-left corner otherwise. Empty for
    // an empty picture.
    const Bitmap& Prepared() const { return prepared_; }
    // The picture's key colour: its bottom-left pixel. With Transparent the
    // prepared picture's pixels of this colour are not drawn.
    uint32_t KeyColor() const { return key_; }

    // Draws the prepared picture into `target`, the parent's picture, at the
    // control's place: over the whole control with Stretch, centred in it
    // with Center, else at its top-left corner; nothing outside the control
    // or outside `clip` (in the parent's coordinates) is touched.
    void Paint(Bitmap& target, int clipLeft, int clipTop, int clipWidth, int clipHeight) const;

private:
    void SetFlag(bool& field, bool on);
    void Rebuild();

    double angle_ = 0;
    Bitmap picture_;
    bool autoSize_ = false;
    bool center_ = false;
    bool stretch_ = false;
    bool transparent_ = false;
    bool uniqueSize_ = true;
    int left_ = 0, top_ = 0, width_ = 105, height_ = 105;
    Bitmap prepared_;
    uint32_t key_ = Bitmap::kKeyColor;
};

// A hand prepared for smooth turning: its pixels with full coverage, its
// key-coloured pixels with none, inside a one-pixel border of no coverage so
// that filtering fades the edges out. Pixels are 0xAABBGGRR premultiplied.
class TSmoothHand {
public:
    // The key colour is the picture's bottom-left pixel, as for the control.
    void SetPicture(const Bitmap& picture);
    bool Empty() const { return width_ == 0 || height_ == 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Turns the hand by `angle` degrees (counter-clockwise positive) about
    // its centre and renders it into `layer` over the part of the parent's
    // `clipWidth` x `clipHeight` picture that it may cover: layer pixel
    // (x, y) belongs at (layerLeft + x, layerTop + y). The hand's centre
    // sits where an unturned picture of its size would have it when placed
    // at (pivotX - ceil(w / 2), pivotY - ceil(h / 2)). At 0 degrees the
    // layer holds the picture itself, at 180 the picture upside down, no
    // pixel filtered. An empty layer when nothing falls inside the clip.
    void Render(double angle, int pivotX, int pivotY, int clipWidth, int clipHeight, Bitmap& layer,
                int& layerLeft, int& layerTop) const;

private:
    Bitmap padded_;  // (w + 2) x (h + 2)
    int width_ = 0, height_ = 0;
};

// Blends a premultiplied layer placed at (layerLeft, layerTop) onto
// `target`, within the clip rectangle, over the pixels where `face` (the
// same size as `target`) is not the key colour: see-through pixels of the
// face stay exactly as they are, so the window's outline does not change.
void BlendLayer(Bitmap& target, const Bitmap& face, uint32_t key, const Bitmap& layer,
                int layerLeft, int layerTop, int clipLeft, int clipTop, int clipWidth,
                int clipHeight);

}  // namespace tempora
