#include <cstdio>

#include <benchmark/benchmark.h>

#include "core/Bitmap.h"
#include "display/myLEDFont.h"

using tempora::Bitmap;
using tempora::TLEDFontNum;

namespace {

// One tick of the bar's clock: the digits change to the next second, the
// control renders at once and the bar copies the picture into its own, as
// it does before putting that part on the screen. Argument 1 draws the
// unlit segments too.
void BM_LedSecondTick(benchmark::State& state) {
    TLEDFontNum led;
    tempora::SetUpBarLed(led, 54, 5, 114, 24);
    led.SetBGColor(0);
    led.SetLightColor(0x00FFFF);
    led.SetDarkColor(0x373737);
    led.SetDrawDarkColor(state.range(0) != 0);
    Bitmap bar;
    bar.Create(332, 34);
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
BENCHMARK(BM_LedSecondTick)->Arg(0)->Arg(1);

}  // namespace
