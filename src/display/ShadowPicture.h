// The picture behind a borderless window's soft drop shadow: a blurred
// silhouette of the window's visible shape, 16 px larger on every side,
// fully transparent under the window itself and fading out from its outline.
#pragma once

#include "core/Bitmap.h"
#include "core/Scale.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tempora {

// How far the shadow picture reaches beyond its owner on every side, at 100 %.
inline constexpr int kShadowMargin = 16;

// One blur pass of `radius`, in place: rows top to bottom, pixels left to
// right, each pixel's red, green and blue bytes become the mean (sum >> 2) of
// the pixels at (x - radius, y - radius), (x + radius, y - radius),
// (x - radius, y + radius) and (x + radius, y + radius), coordinates clamped
// into the picture. Because the pass works in place, samples from rows above
// (and from pixels to the left in the same row) are already blurred. The
// fourth byte is kept.
void ShadowBlurPass(Bitmap& picture, int radius);

// A rectangle in pixels; right and bottom are exclusive.
struct TShadowRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// What the shadow needs to know of its owner window, in the owner's window
// coordinates (0, 0 at the window's top-left corner).
struct TShadowOwner {
    int width = 0, height = 0;
    // The window region when it is not a plain rectangle, as rectangles whose
    // union is the region; empty for a window without one.
    std::vector<TShadowRect> region;
    // A window with a frame and no region: its silhouette grows by this much
    // on the left and right, and on the top and bottom.
    int growX = 0, growY = 0;
    // The owner's see-through colour (low 24 bits), none when it has none.
    std::optional<uint32_t> keyColor;
    // The owner's client area as it shows, placed at (clientLeft, clientTop):
    // with a see-through colour, its pixels of that colour let the shadow
    // through. Without a picture the whole shape casts the shadow.
    const Bitmap* client = nullptr;
    int clientLeft = 0, clientTop = 0;
    // The owner's scale: the margin and the blur grow with it.
    TScale scale;
};

class TShadowPicture {
public:
    // True when the picture must be built for an owner of this size,
    // see-through colour (none: the owner has none) and scale: the size
    // differs from the last build, the owner's see-through colour differs
    // from the one of the last build, Invalidate was called, or nothing was
    // built yet.
    bool NeedsBuild(int ownerWidth, int ownerHeight, std::optional<uint32_t> keyColor,
                    TScale scale = {}) const;
    void Invalidate() { dirty_ = true; }

    // Builds the picture for `owner`: (width + 32) x (height + 32) pixels,
    // the owner's window at (16, 16), at 100 % (the margin at the owner's
    // scale otherwise). False when that size is refused (a negative or huge
    // owner); the picture is then empty.
    bool Build(const TShadowOwner& owner);
    // How far the last picture reaches beyond its owner on every side.
    int Margin() const { return margin_; }

    // The shadow's strength per pixel as a grey picture (red, green and blue
    // bytes equal): 0 where nothing shows, 0 under every visible pixel of the
    // owner, up to 255 along its outline.
    const Bitmap& Strength() const { return picture_; }

private:
    Bitmap picture_;
    int margin_ = kShadowMargin;
    bool dirty_ = true;
    std::optional<uint32_t> keyColor_;
};

// Writes a layered window's picture for `strength`: as many pixels, top-down,
// each 0xAARRGGBB with alpha = the strength's blue byte and `color`
// (0x00BBGGRR) premultiplied by it (i * j / 255, truncated).
void PremultiplyShadow(const Bitmap& strength, uint32_t color, uint32_t* out);

}  // namespace tempora
