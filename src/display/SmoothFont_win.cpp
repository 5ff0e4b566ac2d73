#include "SmoothFont_win.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/Encoding.h"

namespace tempora {

namespace {

// Keeps a hostile font size within what GDI and our masks handle.
constexpr int kMaxFontHeight = 1000;

}  // namespace

TGdiGlyphs::TGdiGlyphs() : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_) {
        SetBkMode(dc_.Get(), TRANSPARENT);
        SetTextColor(dc_.Get(), RGB(255, 255, 255));
        SetTextAlign(dc_.Get(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
        initialFont_ = GetCurrentObject(dc_.Get(), OBJ_FONT);
        initialBitmap_ = GetCurrentObject(dc_.Get(), OBJ_BITMAP);
    }
}

TGdiGlyphs::~TGdiGlyphs() {
    if (dc_) {
        SelectObject(dc_.Get(), initialFont_);
        SelectObject(dc_.Get(), initialBitmap_);
    }
}

void TGdiGlyphs::SelectFont(const TFontSpec& font, int scale) {
    if (font_ && scale == fontScale_ && font == fontSpec_)
        return;
    LOGFONTW lf{};
    const int height = font.Height == 0 ? -12 : font.Height;
    lf.lfHeight = std::clamp(height, -kMaxFontHeight, kMaxFontHeight) * scale;
    lf.lfWidth = std::clamp(font.Width, 0, kMaxFontHeight) * scale;
    lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.Italic;
    lf.lfUnderline = font.Underline;
    lf.lfStrikeOut = font.StrikeOut;
    lf.lfCharSet = font.Charset;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    // Plain black-and-white glyphs: the grey levels come from supersampling.
    lf.lfQuality = NONANTIALIASED_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    const std::wstring face = Utf8ToWide(font.Name);
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    GdiObject<HFONT> created(CreateFontIndirectW(&lf));
    if (!created)
        return;
    SelectObject(dc_.Get(), created.Get());
    font_ = std::move(created);
    fontSpec_ = font;
    fontScale_ = scale;
}

TSize TGdiGlyphs::Measure(const TFontSpec& font, int scale, std::string_view text) {
    if (!dc_)
        return {};
    SelectFont(font, scale);
    const std::wstring wide = Utf8ToWide(text);
    SIZE size{};
    if (!GetTextExtentPoint32W(dc_.Get(), wide.c_str(), static_cast<int>(wide.size()), &size))
        return {};
    return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

bool TGdiGlyphs::EnsureSurface(int width, int height) {
    if (dib_ && width <= dibWidth_ && height <= dibHeight_)
        return true;
    width = std::max(width, dibWidth_);
    height = std::max(height, dibHeight_);
    // An 8-bit top-down DIB whose palette index is its grey level.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<BYTE>(i);
        info.colors[i] = RGBQUAD{v, v, v, 0};
    }
    void* bits = nullptr;
    GdiObject<HBITMAP> dib(CreateDIBSection(dc_.Get(), reinterpret_cast<const BITMAPINFO*>(&info),
                                            DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || bits == nullptr)
        return false;
    SelectObject(dc_.Get(), dib.Get());
    dib_ = std::move(dib);
    bits_ = static_cast<uint8_t*>(bits);
    dibWidth_ = width;
    dibHeight_ = height;
    dibStride_ = (width + 3) & ~3;
    return true;
}

void TGdiGlyphs::Draw(const TFontSpec& font, int scale, std::string_view text,
                      TCoverageMask& grey) {
    const int w = grey.Width(), h = grey.Height();
    for (int y = 0; y < h; ++y)
        std::memset(grey.Row(y), 0, static_cast<size_t>(w));
    if (!dc_ || w == 0 || h == 0 || !EnsureSurface(w, h))
        return;
    SelectFont(font, scale);
    PatBlt(dc_.Get(), 0, 0, w, h, BLACKNESS);
    const std::wstring wide = Utf8ToWide(text);
    TextOutW(dc_.Get(), 0, 0, wide.c_str(), static_cast<int>(wide.size()));
    GdiFlush();
    for (int y = 0; y < h; ++y)
        std::memcpy(grey.Row(y), bits_ + static_cast<size_t>(y) * dibStride_,
                    static_cast<size_t>(w));
}

}  // namespace tempora
