#include <benchmark/benchmark.h>

#include "app/BarFace.h"
#include "display/SmoothFont.h"

using namespace tempora;

namespace {

TBarSkin PlainSkin() {
    TBarSkin skin;
    skin.background.Create(skin.width, skin.height, 0x404040);
    for (TSkinButton* b : {&skin.btnMenu, &skin.btnMin})
        b->up.Create(b->place.width, b->place.height, 0x606060);
    return skin;
}

// One second of the bar: the next time into the face, which renders the
// digits and hands their rectangle out to go to the screen.
void BM_BarSecond(benchmark::State& state) {
    TBlockGlyphs glyphs;
    TBarFace face(glyphs, nullptr);
    face.Apply(PlainSkin());
    int pushed = 0;
    face.OnInvalidate = [&](TSkinRect, bool now) { pushed += now; };
    TDateTime t = EncodeDateTime(2024, 2, 10, 8, 0, 0);
    for (auto _ : state) {
        t += 1.0 / 86400;
        face.ShowTime(t);
    }
    benchmark::DoNotOptimize(pushed);
}
BENCHMARK(BM_BarSecond);

// Composing the whole bar (a new skin, the window uncovered) against one
// button's rectangle (the mouse over it).
void BM_BarCompose(benchmark::State& state) {
    TBlockGlyphs glyphs;
    TBarFace face(glyphs, nullptr);
    face.Apply(PlainSkin());
    face.ShowTime(EncodeDateTime(2024, 2, 10, 8, 0, 0));
    const TSkinRect area = state.range(0) ? TSkinRect{0, 0, face.Width(), face.Height()}
                                          : face.Place(TBarPart::MinButton);
    for (auto _ : state)
        benchmark::DoNotOptimize(face.Compose(area).Pixels());
}
BENCHMARK(BM_BarCompose)->Arg(0)->Arg(1);

}  // namespace
