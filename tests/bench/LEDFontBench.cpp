#include <cstdio>

#include <benchmark/benchmark.h>

#include "core/Bitmap.h"
#include "core/Scale.h"
#include "display/myLEDFont.h"

using tempora::Bitmap;
using tempora::TLEDFontNum;

namespace {

// One tick of the bar's clock: the digits change to the next second, the
// control renders at once and the bar copies the picture into its own, as
// it does before putting that part on the screen. The first argument 1 draws
// the unlit segments too; the second is the display's scale in percent, at
// which the panel and the digits' geometry are that much larger.
void BM_LedSecondTick(benchmark::State& state) {
    const tempora::TScale scale{tempora::TScale::kBaseDpi * static_cast<int>(state.range(1)) / 100};
    TLEDFontNum led;
    tempora::SetUpBarLed(led, scale.Px(54), scale.Px(5), scale.Px(114), scale.Px(24));
    if (scale.dpi != tempora::TScale::kBaseDpi) {
        led.SetWordWidth(scale.Px(15));
        led.SetWordHeight(scale.Px(19));
        led.SetThick(scale.Px(3));
        led.SetSpace(scale.Px(3));
    }
    led.SetBGColor(0);
    led.SetLightColor(0x00FFFF);
    led.SetDarkColor(0x373737);
    led.SetDrawDarkColor(state.range(0) != 0);
    Bitmap bar;
    bar.Create(scale.Px(332), scale.Px(34));
    led.OnRendered = [&] { led.CopyTo(bar); };
    int second = 0;
    char text[16];
    for (auto _ : state) {
        second = (second + 1) % 86400;
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", second / 3600, second / 60 % 60,
                      second % 60);
        led.SetText(text);
        benchmark::DoNotOptimize(bar.Pixels());
    }
}
BENCHMARK(BM_LedSecondTick)->Args({0, 100})->Args({1, 100})->Args({1, 200});

}  // namespace
