#include <string>

#include <benchmark/benchmark.h>

#include "core/FileSys.h"
#include "display/UnitClock.h"

using namespace tempora;

namespace {

// The shipped style with the largest second hand, read straight from data/.
bool LargestStyle(TClockSkin& out) {
    const std::string folder = std::string(TEMPORA_SOURCE_DIR) + "/data/Clock/";
    int64_t largest = -1;
    for (const std::string& name : ListFiles(folder, ".cl")) {
        TClockSkin skin;
        if (IsSkinVariantName(name) ||
            ReadClockSkin(folder, folder + name, skin) != TSkinResult::Applied)
            continue;
        const int64_t size = int64_t{skin.secondHand.Width()} * skin.secondHand.Height();
        if (size > largest) {
            largest = size;
            out = std::move(skin);
        }
    }
    return largest >= 0;
}

// One second of the clock view's work: the second hand turned to its next
// place and the part of the face it left and reached composed again (the
// minute hand moves once a minute, so one second in sixty turns it too).
void BM_ClockSecond(benchmark::State& state) {
    TClockSkin skin;
    if (!LargestStyle(skin)) {
        state.SkipWithError("no shipped clock style");
        return;
    }
    skin.smoothHands = state.range(0) != 0;
    TClockFace face;
    face.Apply(skin);
    const TDateTime start = EncodeDateTime(2026, 12, 10, 10, 8, 30);
    int second = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(face.SetHands(start + (++second % 86400) / 86400.0));
    }
    state.SetLabel(skin.smoothHands ? "smooth" : "nearest pixel");
}
BENCHMARK(BM_ClockSecond)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace
