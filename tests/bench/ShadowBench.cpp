#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "display/ShadowPicture.h"

using namespace tempora;

namespace {

// One full rebuild of a shadow, as a change of size or alpha causes: the
// silhouette with the owner's see-through pixels, three blur passes, the
// mask, and the premultiplied layered picture.
void BM_ShadowRebuild(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    // A face like the bar's: magenta corners and a see-through notch.
    Bitmap face;
    face.Create(w, h, 0x404040);
    face.FillRect(0, 0, 3, 3, Bitmap::kKeyColor);
    face.FillRect(w - 3, h - 3, 3, 3, Bitmap::kKeyColor);
    face.FillRect(w / 2, 0, w / 8, h / 4, Bitmap::kKeyColor);
    TShadowOwner owner;
    owner.width = w;
    owner.height = h;
    owner.keyColor = Bitmap::kKeyColor;
    owner.client = &face;
    std::vector<uint32_t> layered(static_cast<size_t>(w + 2 * kShadowMargin) *
                                  (h + 2 * kShadowMargin));
    TShadowPicture shadow;
    for (auto _ : state) {
        shadow.Invalidate();
        shadow.Build(owner);
        PremultiplyShadow(shadow.Strength(), 0, layered.data());
        benchmark::DoNotOptimize(layered.data());
    }
}
BENCHMARK(BM_ShadowRebuild)
    ->Args({332, 34})   // the bar
    ->Args({472, 353})  // a dialog
    ->Unit(benchmark::kMicrosecond);

}  // namespace
