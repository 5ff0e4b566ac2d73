// The platform's glyphs for TSmoothFont: GDI draws the scaled font, white on
// black and without its own smoothing, into an 8-bit grey DIB section, so
// that every grey level of a mask comes from our supersampling.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/Handles_win.h"
#include "display/SmoothFont.h"

namespace tempora {

class TGdiGlyphs final : public TGlyphRasterizer {
public:
    TGdiGlyphs();
    ~TGdiGlyphs() override;
    TGdiGlyphs(const TGdiGlyphs&) = delete;
    TGdiGlyphs& operator=(const TGdiGlyphs&) = delete;

    TSize Measure(const TFontSpec& font, int scale, std::string_view text) override;
    void Draw(const TFontSpec& font, int scale, std::string_view text,
              TCoverageMask& grey) override;

private:
    // Selects the scaled font into the DC, creating it only when it changed.
    void SelectFont(const TFontSpec& font, int scale);
    // Makes the DIB at least width x height; false when GDI refuses.
    bool EnsureSurface(int width, int height);

    MemoryDc dc_;
    HGDIOBJ initialFont_ = nullptr, initialBitmap_ = nullptr;
    GdiObject<HFONT> font_;
    TFontSpec fontSpec_;
    int fontScale_ = 0;
    GdiObject<HBITMAP> dib_;
    uint8_t* bits_ = nullptr;
    int dibWidth_ = 0, dibHeight_ = 0, dibStride_ = 0;
};

}  // namespace tempora
