#include <string>

#include <benchmark/benchmark.h>

#include "core/Bitmap.h"
#include "display/SmoothCtrls.h"
#include "display/SmoothFont.h"

using namespace tempora;

namespace {

const std::string kDateLine = "<FontCN>2026年12月10日 星期四";

// The bar's date line over a 332 x 34 bar, showing the date, or in the
// middle of the fade from the date to an advertisement line.
struct BarDateLine {
    explicit BarDateLine(bool midFade) {
        background.Create(332, 34, 0x302A26);
        bar = background;
        fade.SetParentBackground(&background);
        ConfigureBarDateLine(fade);
        fade.Lines() = {kDateLine, "<FontAD>天气预报 晴 12℃"};
        fade.Loaded();
        fade.ShowLine(0);
        for (int i = 0; i < 26; ++i)
            fade.OnFadeTimer();
        if (midFade) {
            fade.ShowLine(1);
            for (int i = 0; i < 12; ++i)
                fade.OnFadeTimer();
        }
    }
    TBlockGlyphs glyphs;
    TFadeText fade{glyphs};
    Bitmap background, bar;
};

// One step of a fade as the bar paints it every 25 ms: the background copied,
// both texts rendered again (the date with its blurred shadow), blended.
void BM_FadeStepPaint(benchmark::State& state) {
    BarDateLine line(true);
    for (auto _ : state) {
        line.fade.Paint(line.bar);
        benchmark::DoNotOptimize(line.bar.Pixels());
    }
}
BENCHMARK(BM_FadeStepPaint);

// A paint between fades (the bar repainting for another reason): the date
// alone, with its shadow.
void BM_SteadyPaint(benchmark::State& state) {
    BarDateLine line(false);
    for (auto _ : state) {
        line.fade.Paint(line.bar);
        benchmark::DoNotOptimize(line.bar.Pixels());
    }
}
BENCHMARK(BM_SteadyPaint);

// The date drawn at each quality with the date font's shadow.
void BM_SmoothText(benchmark::State& state) {
    TBlockGlyphs glyphs;
    TSmoothFont font(glyphs);
    TFontSpec song;
    song.Color = 0xFFFFFF;
    font.SetFont(song);
    TTextEffect effect;
    effect.Shadow.Enabled = true;
    effect.Shadow.OffsetX = 1;
    effect.Shadow.OffsetY = 1;
    font.SetEffect(effect);
    font.SetQuality(static_cast<TTextQuality>(state.range(0)));
    Bitmap pic;
    pic.Create(154, 20, 0x302A26);
    font.SetSurface(&pic);
    for (auto _ : state) {
        font.PaintText(4, 3, "2026年12月10日 星期四");
        benchmark::DoNotOptimize(pic.Pixels());
    }
}
BENCHMARK(BM_SmoothText)->Arg(tqHigh)->Arg(tqNormal)->Arg(tqLow)->Arg(tqNone);

}  // namespace
