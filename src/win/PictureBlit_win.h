// The shell's bridge between core pictures and GDI device contexts.
#pragma once

#include <windows.h>

#include "core/Handles_win.h"
#include "core/Bitmap.h"

namespace tempora {

// Copies the width x height part at (srcX, srcY) of `picture` to `dc` at
// (x, y) in one transfer, straight from the picture's rows: GDI reads them as
// a top-down 32-bit bit-field DIB, so nothing is copied on our side. The part
// is clipped to the picture (and the target moves with it); false when
// nothing is left or GDI refuses.
bool BlitPicture(HDC dc, int x, int y, const Bitmap& picture, int srcX, int srcY, int width,
                 int height);
inline bool BlitPicture(HDC dc, int x, int y, const Bitmap& picture) {
    return BlitPicture(dc, x, y, picture, 0, 0, picture.Width(), picture.Height());
}

// Reads width x height pixels of `dc` from (x, y) into `out` as 0x00BBGGRR,
// for tests that compare what GDI shows with a core picture. On failure `out`
// is left as it was and the result is false.
bool ReadPicture(HDC dc, int x, int y, int width, int height, Bitmap& out);

// A memory DC with a width x height top-down 32-bit DIB section selected
// into it, for drawing with GDI and reading the result back.
class TDibCanvas {
public:
    TDibCanvas(int width, int height);
    TDibCanvas(const TDibCanvas&) = delete;
    TDibCanvas& operator=(const TDibCanvas&) = delete;
    ~TDibCanvas();
    HDC Dc() const { return dc_.Get(); }
    bool Ok() const { return bits_ != nullptr; }
    // The pixels as 0x00RRGGBB, rows top-down; GdiFlush before reading.
    const uint32_t* Bits() const { return bits_; }

private:
    MemoryDc dc_;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ old_ = nullptr;
    const uint32_t* bits_ = nullptr;
};

}  // namespace tempora
