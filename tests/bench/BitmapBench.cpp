#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "core/Bitmap.h"
#include "core/Bmp.h"

using tempora::Bitmap;

namespace {

// The ten LED polygons of one cell at the bar's size (15 x 19, stroke 3),
// cell origin 0, 0.
const std::vector<std::vector<Bitmap::Point>> kCell = {
    {{2, 0}, {4, 2}, {7, 2}, {9, 0}},
    {{11, 1}, {9, 3}, {9, 6}, {11, 8}},
    {{11, 10}, {9, 12}, {9, 15}, {11, 17}},
    {{9, 18}, {7, 16}, {4, 16}, {2, 18}},
    {{0, 17}, {2, 15}, {2, 12}, {0, 10}},
    {{0, 8}, {2, 6}, {2, 3}, {0, 1}},
    {{3, 8}, {2, 9}, {3, 10}, {8, 10}, {9, 9}, {8, 8}},
    {{13, 16}, {13, 19}, {16, 19}, {16, 16}},
    {{13, 4}, {16, 4}, {16, 7}, {13, 7}},
    {{13, 12}, {16, 12}, {16, 15}, {13, 15}},
};

// A full "88:88:88" line of the bar: six cells, every polygon drawn.
void BM_LedLinePolygons(benchmark::State& state) {
    Bitmap pic;
    pic.Create(117, 23);
    std::vector<Bitmap::Point> moved;
    for (auto _ : state) {
        pic.Fill(0);
        for (int cell = 0; cell < 6; ++cell) {
            for (const auto& poly : kCell) {
                moved.assign(poly.begin(), poly.end());
                for (auto& p : moved) {
                    p.x += 6 + cell * 18;
                    p.y += 2;
                }
                pic.Polygon(moved, 0x00FFFF, 0x00FFFF);
            }
        }
        benchmark::DoNotOptimize(pic.Pixels());
    }
}
BENCHMARK(BM_LedLinePolygons);

void BM_LargeStarPolygon(benchmark::State& state) {
    Bitmap pic;
    pic.Create(400, 400);
    const std::vector<Bitmap::Point> star = {
        {200, 0}, {318, 362}, {10, 138}, {390, 138}, {82, 362}};
    for (auto _ : state) {
        pic.Polygon(star, 0x00FF00, 0x0000FF);
        benchmark::DoNotOptimize(pic.Pixels());
    }
}
BENCHMARK(BM_LargeStarPolygon);

Bitmap Pattern(int w, int h) {
    Bitmap pic;
    pic.Create(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            pic.At(x, y) = static_cast<uint32_t>(x * 7 + y * 13) & 0xFFFFFF;
    }
    return pic;
}

// The bar's background at twice its size and back.
void BM_StretchEnlarge(benchmark::State& state) {
    const Bitmap src = Pattern(332, 34);
    Bitmap dst;
    dst.Create(664, 68);
    for (auto _ : state) {
        dst.StretchRect(0, 0, 664, 68, src, 0, 0, 332, 34);
        benchmark::DoNotOptimize(dst.Pixels());
    }
}
BENCHMARK(BM_StretchEnlarge);

void BM_StretchShrink(benchmark::State& state) {
    const Bitmap src = Pattern(664, 68);
    Bitmap dst;
    dst.Create(332, 34);
    for (auto _ : state) {
        dst.StretchRect(0, 0, 332, 34, src, 0, 0, 664, 68);
        benchmark::DoNotOptimize(dst.Pixels());
    }
}
BENCHMARK(BM_StretchShrink);

// A skin package's picture: 332 x 610 at 24 bits.
void BM_DecodeSkinPicture(benchmark::State& state) {
    const std::string file = tempora::EncodeBmp(Pattern(332, 610), tempora::BmpDepth::Bits24);
    Bitmap pic;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tempora::DecodeBmp(file, pic));
    }
}
BENCHMARK(BM_DecodeSkinPicture);

}  // namespace
