#include "display/ShadowPicture.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstddef>

namespace tempora {

namespace {

using MulTable = std::array<std::array<uint8_t, 256>, 256>;

constexpr MulTable MakeMulTable() {
    MulTable t{};
    for (int i = 0; i < 256; ++i) {
        for (int j = 0; j < 256; ++j)
            t[i][j] = static_cast<uint8_t>(i * j / 255);
    }
    return t;
}

constexpr MulTable kMul = MakeMulTable();

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRgb = 0xFFFFFF;

TShadowRect Intersect(const TShadowRect& a, const TShadowRect& b) {
    TShadowRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom)
        return {};
    return r;
}

TShadowRect Moved(const TShadowRect& r, int dx, int dy) {
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// Coordinates come from the platform: kept far enough inside int's range
// that moving them cannot overflow.
constexpr int64_t kFar = int64_t{Bitmap::kMaxSide} * 2;

TShadowRect Tamed(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    const auto tame = [](int64_t v) { return static_cast<int>(std::clamp(v, -kFar, kFar)); };
    return {tame(left), tame(top), tame(right), tame(bottom)};
}

void Fill(Bitmap& pic, const TShadowRect& r, uint32_t color) {
    pic.FillRect(r.left, r.top, r.right - r.left, r.bottom - r.top, color);
}

}  // namespace

void ShadowBlurPass(Bitmap& picture, int radius) {
    const int w = picture.Width();
    const int h = picture.Height();
    if (w == 0 || h == 0)
        return;
    // The four samples of -r are those of r, and a radius beyond the picture
    // clamps every sample to its edges.
    const int r = static_cast<int>(std::min<int64_t>(std::abs(int64_t{radius}), std::max(w, h)));
    // Columns whose samples need no clamping: [inLeft, inRight).
    const int inLeft = std::min(r, w);
    const int inRight = std::max(inLeft, w - r);
    for (int y = 0; y < h; ++y) {
        // These rows may be the current one (near the top and bottom edges):
        // every sample is read just before the pixel is written, so it sees
        // the pass's own earlier writes, as a pass in place must.
        const uint32_t* up = picture.Row(std::max(y - r, 0));
        const uint32_t* down = picture.Row(std::min(y + r, h - 1));
        uint32_t* row = picture.Row(y);
        const auto blur = [&](int x, int left, int right) {
            const uint32_t a = up[left], b = up[right], c = down[left], d = down[right];
            // Red and blue in 16-bit lanes, green alone: four bytes sum to at
            // most 1020, so no lane spills into the next.
            const uint32_t redBlue =
                (a & 0xFF00FF) + (b & 0xFF00FF) + (c & 0xFF00FF) + (d & 0xFF00FF);
            const uint32_t green = (a & 0xFF00) + (b & 0xFF00) + (c & 0xFF00) + (d & 0xFF00);
            row[x] = (row[x] & ~kRgb) | ((redBlue >> 2) & 0xFF00FF) | ((green >> 2) & 0xFF00);
        };
        const auto edge = [&](int x) { blur(x, std::max(x - r, 0), std::min(x + r, w - 1)); };
        for (int x = 0; x < inLeft; ++x)
            edge(x);
        for (int x = inLeft; x < inRight; ++x)
            blur(x, x - r, x + r);
        for (int x = inRight; x < w; ++x)
            edge(x);
    }
}

bool TShadowPicture::NeedsBuild(int ownerWidth, int ownerHeight, std::optional<uint32_t> keyColor,
                                TScale scale) const {
    if (dirty_ || scale.Px(kShadowMargin) != margin_)
        return true;
    if (int64_t{ownerWidth} + 2 * margin_ != picture_.Width() ||
        int64_t{ownerHeight} + 2 * margin_ != picture_.Height()) {
        return true;
    }
    return keyColor && (!keyColor_ || ((*keyColor ^ *keyColor_) & kRgb) != 0);
}

bool TShadowPicture::Build(const TShadowOwner& owner) {
    dirty_ = false;
    keyColor_ = owner.keyColor;
    const int m = margin_ = owner.scale.Px(kShadowMargin);
    const int64_t pw = int64_t{owner.width} + 2 * m;
    const int64_t ph = int64_t{owner.height} + 2 * m;
    if (owner.width < 0 || owner.height < 0 || !Bitmap::SizeAllowed(pw, ph)) {
        picture_ = Bitmap();
        return false;
    }
    picture_.Create(static_cast<int>(pw), static_cast<int>(ph), 0);
    const TShadowRect whole{0, 0, picture_.Width(), picture_.Height()};

    // The silhouette, white on black. A window region is also the clip of
    // everything drawn after it; a plain window is clipped by its own shape.
    std::vector<TShadowRect> clip;
    if (!owner.region.empty()) {
        for (const TShadowRect& r : owner.region) {
            const TShadowRect part =
                Intersect(Moved(Tamed(r.left, r.top, r.right, r.bottom), m, m), whole);
            if (part.right > part.left)
                clip.push_back(part);
        }
    } else {
        const TShadowRect shape =
            Tamed(-int64_t{owner.growX}, -int64_t{owner.growY}, int64_t{owner.width} + owner.growX,
                  int64_t{owner.height} + owner.growY);
        clip.push_back(Intersect(Moved(shape, m, m), whole));
    }
    for (const TShadowRect& r : clip)
        Fill(picture_, r, kWhite);

    // See-through pixels cast no shadow of their own: they are black in the
    // silhouette, so that the shadow follows the visible outline.
    const Bitmap* client = owner.keyColor ? owner.client : nullptr;
    TShadowRect clientArea;
    if (client) {
        const TShadowRect placed =
            Tamed(owner.clientLeft, owner.clientTop, int64_t{owner.clientLeft} + client->Width(),
                  int64_t{owner.clientTop} + client->Height());
        clientArea = Moved(placed, m, m);
    }
    const uint32_t key = owner.keyColor.value_or(0) & kRgb;
    const auto seeThrough = [&](int x, int y) {
        return (client->At(x - clientArea.left, y - clientArea.top) & kRgb) == key;
    };
    if (client) {
        for (const TShadowRect& r : clip) {
            const TShadowRect part = Intersect(r, clientArea);
            for (int y = part.top; y < part.bottom; ++y) {
                for (int x = part.left; x < part.right; ++x)
                    picture_.At(x, y) = seeThrough(x, y) ? 0 : kWhite;
            }
        }
    }

    for (int radius : {1, 2, 3})
        ShadowBlurPass(picture_, owner.scale.Px(radius));

    // Nothing of the shadow shows under the owner's visible pixels; its
    // see-through pixels keep the blur that falls into them.
    if (client) {
        for (const TShadowRect& r : clip) {
            const TShadowRect part = Intersect(r, clientArea);
            for (int y = part.top; y < part.bottom; ++y) {
                for (int x = part.left; x < part.right; ++x) {
                    if (!seeThrough(x, y))
                        picture_.At(x, y) = 0;
                }
            }
        }
    } else {
        for (const TShadowRect& r : clip)
            Fill(picture_, r, 0);
    }
    return true;
}

void PremultiplyShadow(const Bitmap& strength, uint32_t color, uint32_t* out) {
    const uint8_t red = color & 0xFF, green = (color >> 8) & 0xFF, blue = (color >> 16) & 0xFF;
    const uint32_t* in = strength.Pixels();
    const size_t n = static_cast<size_t>(strength.Width()) * strength.Height();
    for (size_t i = 0; i < n; ++i) {
        const uint8_t alpha = (in[i] >> 16) & 0xFF;  // the blue byte
        out[i] = uint32_t{alpha} << 24 | uint32_t{kMul[red][alpha]} << 16 |
                 uint32_t{kMul[green][alpha]} << 8 | kMul[blue][alpha];
    }
}

}  // namespace tempora
