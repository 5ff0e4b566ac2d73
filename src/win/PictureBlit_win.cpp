#include "win/PictureBlit_win.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace tempora {

namespace {

struct BitFieldsInfo {
    BITMAPINFOHEADER header;
    DWORD masks[3];
};

}  // namespace

bool BlitPicture(HDC dc, int x, int y, const Bitmap& picture, int srcX, int srcY, int width,
                 int height) {
    // Clip the source part to the picture, moving the target along.
    const int64_t left = std::max<int64_t>(srcX, 0);
    const int64_t top = std::max<int64_t>(srcY, 0);
    const int64_t right = std::min<int64_t>(int64_t{srcX} + width, picture.Width());
    const int64_t bottom = std::min<int64_t>(int64_t{srcY} + height, picture.Height());
    if (left >= right || top >= bottom)
        return false;
    const int rows = static_cast<int>(bottom - top);

    // The DIB starts at the part's first row and holds exactly its rows, so
    // the source y is 0 for the whole band, however GDI counts rows of a
    // top-down DIB.
    BitFieldsInfo info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = picture.Width();
    info.header.biHeight = -rows;
    info.header.biPlanes = 1;
    info.header.biBitCount = 32;
    info.header.biCompression = BI_BITFIELDS;
    info.masks[0] = 0x0000FF;  // red
    info.masks[1] = 0x00FF00;  // green
    info.masks[2] = 0xFF0000;  // blue
    const int copied = SetDIBitsToDevice(
        dc, static_cast<int>(x + (left - srcX)), static_cast<int>(y + (top - srcY)),
        static_cast<DWORD>(right - left), static_cast<DWORD>(rows), static_cast<int>(left), 0, 0,
        static_cast<UINT>(rows), picture.Row(static_cast<int>(top)),
        reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS);
    return copied > 0;
}

bool ReadPicture(HDC dc, int x, int y, int width, int height, Bitmap& out) {
    Bitmap result;
    if (width <= 0 || height <= 0 || !result.Create(width, height))
        return false;
    // Read through a plain 32-bit DIB (0x00RRGGBB) and swap red and blue, so
    // that this path does not rely on the bit-field layout that BlitPicture
    // hands to GDI.
    TDibCanvas canvas(width, height);
    if (!canvas.Ok())
        return false;
    const bool ok = BitBlt(canvas.Dc(), 0, 0, width, height, dc, x, y, SRCCOPY) != 0;
    GdiFlush();
    if (ok) {
        const uint32_t* in = canvas.Bits();
        uint32_t* px = result.Pixels();
        for (size_t i = 0, n = static_cast<size_t>(width) * height; i < n; ++i) {
            const uint32_t c = in[i];
            px[i] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        }
    }
    if (ok)
        out = std::move(result);
    return ok;
}

TDibCanvas::TDibCanvas(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (dc_ && bitmap_) {
        old_ = SelectObject(dc_.Get(), bitmap_.Get());
        bits_ = static_cast<const uint32_t*>(bits);
    }
}

TDibCanvas::~TDibCanvas() {
    if (old_)
        SelectObject(dc_.Get(), old_);
}

}  // namespace tempora
