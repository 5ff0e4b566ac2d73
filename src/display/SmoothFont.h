// Anti-aliased text: one line of text drawn onto a picture through an 8-bit
// coverage mask, with optional supersampling, blur and a soft drop shadow.
//
// The glyphs come from a TGlyphRasterizer: GDI on Windows (SmoothFont_win.h),
// TBlockGlyphs in native tests and benchmarks. Everything after the
// rasteriser (supersampling, blur, blending) is exact integer arithmetic, so
// a picture comes out the same on every platform for the same glyphs.
// Rounding is to the nearest integer, halves to the even neighbour.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Bitmap.h"

namespace tempora {

// Supersampling of the mask: tqHigh 4 x 4, tqNormal 3 x 3, tqLow 2 x 2, tqNone none.
enum TTextQuality : uint8_t { tqHigh, tqNormal, tqLow, tqNone };
int QualityScale(TTextQuality quality);

// A font as GDI's LOGFONT sees it. Height < 0 is the character height in
// pixels, > 0 the cell height, 0 the default (12-pixel characters); sizes
// beyond 1000 pixels are taken as 1000. Width 0 lets the face choose.
struct TFontSpec {
    std::string Name = "宋体";
    int Height = -12;
    int Width = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    uint32_t Color = 0x000000;  // 0x00BBGGRR
    uint8_t Charset = 1;        // DEFAULT_CHARSET
    bool operator==(const TFontSpec&) const = default;
};

struct TSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TSize&) const = default;
};

// Strengths and alphas run 0..100; values outside are taken as the nearest end.
struct TTextShadow {
    bool Enabled = false;
    int Blur = 80;
    int Alpha = 70;
    uint32_t Color = 0x444444;
    int8_t OffsetX = 2;
    int8_t OffsetY = 2;
    bool operator==(const TTextShadow&) const = default;
};

struct TTextEffect {
    TTextShadow Shadow;
    int Alpha = 100;  // opacity of the text
    int Blur = 0;
    bool operator==(const TTextEffect&) const = default;
};

// One byte per pixel, 0 no ink .. 255 full ink; rows padded to 4 bytes, the
// layout of an 8-bit DIB, so the GDI rasteriser fills it in one copy.
class TCoverageMask {
public:
    // Resizes to width x height, all zero; negative sides count as 0. The
    // buffer is kept, so a mask reused at the same size does not allocate.
    void Resize(int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Stride() const { return stride_; }
    uint8_t* Row(int y) { return bits_.data() + static_cast<size_t>(y) * stride_; }
    const uint8_t* Row(int y) const { return bits_.data() + static_cast<size_t>(y) * stride_; }
    uint8_t At(int x, int y) const { return Row(y)[x]; }
    uint8_t& At(int x, int y) { return Row(y)[x]; }

private:
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    std::vector<uint8_t> bits_;
};

// Where glyphs come from. `scale` multiplies the font's height and width.
class TGlyphRasterizer {
public:
    virtual ~TGlyphRasterizer() = default;
    // The size `text` occupies in the scaled font.
    virtual TSize Measure(const TFontSpec& font, int scale, std::string_view text) = 0;
    // Draws `text` at 0, 0 in the scaled font, white (255) on black (0), into
    // `grey`, which the caller has sized; every byte of it is written.
    virtual void Draw(const TFontSpec& font, int scale, std::string_view text,
                      TCoverageMask& grey) = 0;
};

// A deterministic stand-in for the platform's glyphs, for native tests and
// benchmarks: every character is a cell (half the height wide for ASCII, the
// height for others) holding a box outline, with a middle bar and a stem
// chosen by its code point; spaces are empty. Bold doubles the strokes,
// italic shears the rows, underline and strike-out draw their lines.
class TBlockGlyphs final : public TGlyphRasterizer {
public:
    TSize Measure(const TFontSpec& font, int scale, std::string_view text) override;
    void Draw(const TFontSpec& font, int scale, std::string_view text,
              TCoverageMask& grey) override;
};

// round(num / den) with halves to the even neighbour; den > 0.
int64_t RoundDivEven(int64_t num, int64_t den);

// The mask from the s x s blocks of a supersampled grey picture (the rule of
// each quality is with the code); `mask` becomes the grey size divided by s.
void DownsampleMask(const TCoverageMask& grey, TTextQuality quality, TCoverageMask& mask);
// Softens the mask with a 5 x 5 mean whose edge neighbours repeat the nearest
// edge pixel; strength 0..100 mixes the mean in (100: the mean itself).
// `work` is scratch space kept by the caller.
void BlurMask(TCoverageMask& mask, int strength, std::vector<int>& work);
// Blends `colour` into `surface` through the mask placed at x, y, with
// opacity alpha 0..100. Pixels outside the surface are skipped.
void BlendMask(Bitmap& surface, const TCoverageMask& mask, int x, int y, int alpha, uint32_t color);

class TSmoothFont {
public:
    explicit TSmoothFont(TGlyphRasterizer& glyphs) : glyphs_(glyphs) {}

    // The picture painted on; nullptr paints nothing. Not owned.
    void SetSurface(Bitmap* surface) { surface_ = surface; }
    // The surface font, read at drawing time.
    void SetFont(const TFontSpec& font) { font_ = font; }
    const TFontSpec& Font() const { return font_; }
    void SetEffect(const TTextEffect& effect) { effect_ = effect; }
    const TTextEffect& Effect() const { return effect_; }
    // Values outside the four qualities are ignored.
    void SetQuality(TTextQuality quality);
    TTextQuality Quality() const { return quality_; }

    // The size the text occupies when drawn, shadow offsets included.
    TSize TextExtent(std::string_view text);
    // Draws the text with the top-left of text and shadow together at x, y,
    // blending over what the surface holds. An empty text draws nothing.
    void PaintText(int x, int y, std::string_view text);

    // The mask of the last PaintText, for tests.
    const TCoverageMask& Mask() const { return mask_; }

private:
    TSize MaskSize(std::string_view text, int scale);
    void BuildMask(std::string_view text);

    TGlyphRasterizer& glyphs_;
    Bitmap* surface_ = nullptr;
    TFontSpec font_;
    TTextEffect effect_;
    TTextQuality quality_ = tqNormal;
    TCoverageMask grey_, mask_, shadow_;
    std::vector<int> blurWork_;
};

}  // namespace tempora
