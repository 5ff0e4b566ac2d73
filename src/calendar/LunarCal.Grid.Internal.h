// What the files of TLunarCal share and nothing else uses: layout
// constants, rectangle and colour helpers, and the surface the grid paints on.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "calendar/LunarCal.Grid.h"

namespace tempora {
namespace lunar_grid {

inline constexpr uint32_t kHintLabelColor = 0x0000FF;
inline constexpr int kHintMargin = 5;
// Where the hint goes from the pointer over a day.
inline constexpr int kHintOffset = 16;
// A festival rectangle wider than this many characters still cuts texts there.
inline constexpr int kMaxFestivalChars = 128;
inline constexpr int kMinFontSize = 5, kMaxFontSize = 1000;
// Holiday badges: a side of 3/10 of the smaller cell side within these
// bounds, shrunk down to the smallest when a corner is crowded.
inline constexpr int kMinBadge = 8, kMaxBadge = 16;

inline int RoundEven(double v) {
    const double f = std::floor(v);
    const double d = v - f;
    double r = f;
    if (d > 0.5 || (d == 0.5 && std::fmod(f, 2.0) != 0))
        r = f + 1;
    return static_cast<int>(std::clamp(r, -1e9, 1e9));
}

// The platform's MulDiv: a * b / c rounded half away from zero.
inline int MulDiv(int a, int b, int c) {
    const int64_t p = int64_t{a} * b;
    const int64_t q = (std::abs(p) * 2 + c) / (2 * int64_t{c});
    return static_cast<int>(p < 0 ? -q : q);
}

// The classic scheme's colours for the system colours the grid starts with.
inline uint32_t ClassicSysColor(int index) {
    switch (index) {
        case 2:  // active caption
            return 0x6A240A;
        case 5:  // window
            return 0xFFFFFF;
        case 19:  // inactive caption text
            return 0xC8D0D4;
        default:  // window text and the rest
            return 0x000000;
    }
}

inline TFontSpec MakeFont(const char* name, uint8_t charset, uint32_t color, int size, int ppi,
                          bool bold = false, bool italic = false) {
    TFontSpec f;
    f.Name = name;
    f.Charset = charset;
    f.Color = color;
    f.Height = FontHeightOfSize(size, ppi);
    f.Bold = bold;
    f.Italic = italic;
    return f;
}

// Half-way between a colour and the background: badges of other months'
// days step back like their numbers.
inline uint32_t Mix(uint32_t a, uint32_t b) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8)
        out |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2) << shift;
    return out;
}

inline TCalRect Offset(TCalRect r, int dx, int dy) {
    r.left += dx;
    r.top += dy;
    return r;
}

inline TCalRect Inflate(TCalRect r, int dx, int dy) {
    return {r.left - dx, r.top - dy, r.width + 2 * dx, r.height + 2 * dy};
}

inline TCalRect Intersect(const TCalRect& a, const TCalRect& b) {
    const int l = std::max(a.left, b.left), t = std::max(a.top, b.top);
    const int r = std::min(a.Right(), b.Right()), bo = std::min(a.Bottom(), b.Bottom());
    return {l, t, std::max(r - l, 0), std::max(bo - t, 0)};
}

inline TCalRect Union(const TCalRect& a, const TCalRect& b) {
    if (a.Empty())
        return b;
    if (b.Empty())
        return a;
    const int l = std::min(a.left, b.left), t = std::min(a.top, b.top);
    return {l, t, std::max(a.Right(), b.Right()) - l, std::max(a.Bottom(), b.Bottom()) - t};
}

// Days since 1899-12-30 of the first day of 1900 and of 2101: the range the
// grid shows.
inline const TDateTime kFirstDate = EncodeDate(1900, 1, 1);
inline const TDateTime kEndDate = EncodeDate(2101, 1, 1);

}  // namespace lunar_grid

// The picture painted on: the target itself, or a scratch picture holding
// only the clip, whose top-left is the client point (ox, oy).
struct TLunarCal::TSurface {
    Bitmap* picture = nullptr;
    int ox = 0, oy = 0;
    void Fill(const TCalRect& r, uint32_t color) {
        picture->FillRect(r.left - ox, r.top - oy, r.width, r.height, color);
    }
    void Line(int x0, int y0, int x1, int y1, uint32_t color) {
        picture->DrawLine({x0 - ox, y0 - oy}, {x1 - ox, y1 - oy}, color);
    }
};

}  // namespace tempora
