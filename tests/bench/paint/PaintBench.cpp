// Speed of the paint core on the program's sizes: the four frame strips of
// the main window, one morph step of the install button, and the runs of a
// large mask.
#include <benchmark/benchmark.h>

#include "skinui/paint/EffectBitmap.h"
#include "skinui/paint/MaskRegion.h"
#include "skinui/paint/SkinPaint.h"

namespace zv {
namespace {

TPixelBuffer Picture(int w, int h, int tag) {
    TPixelBuffer b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.At(x, y) = MakePixel(x * 3 + tag, y * 5 + tag, (x ^ y) + tag);
    return b;
}

// The main window (421 x 271) from the 162 x 140 main picture with the
// skin's [FORMINFO] corner points and client rectangle, middles tiled.
void BM_FrameStrips(benchmark::State& state) {
    const TPixelBuffer pic = Picture(162, 140, 1);
    const TSkinGeometry src{{5, 24, 157, 135}, {34, 26}, {80, 28}, {8, 131}, {151, 131}};
    const TSkinGeometry dst = ResizeSkinGeometry(src, 421 - 162, 271 - 140);
    TFrameStrips strips;
    for (auto _ : state) {
        ComposeFrameStrips(pic.View(), src, dst, 421, 271, {}, strips);
        benchmark::DoNotOptimize(strips.Top.View().Bits);
    }
}
BENCHMARK(BM_FrameStrips)->Unit(benchmark::kMicrosecond);

// One step of the install button's morph (97 x 25): a fresh buffer of the
// normal picture, changed toward the highlighted one, as each timer tick
// does. The argument is the morph kind.
void BM_MorphStep(benchmark::State& state) {
    const TPixelBuffer normal = Picture(97, 25, 2);
    const TksEffectBmp active(Picture(97, 25, 9).View());
    const auto kind = static_cast<TMorphKind>(state.range(0));
    double kf = 0.0;
    for (auto _ : state) {
        TksEffectBmp step(normal.View());
        ApplyMorph(step, active, kind, kf);
        benchmark::DoNotOptimize(step.View().Bits);
        kf = kf >= 1.0 ? 0.0 : kf + 0.1;
    }
}
BENCHMARK(BM_MorphStep)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

// The runs of a 2000 x 2000 mask: arg 0 a window-like mask (black with
// transparent rounded corners and a few holes), arg 1 the worst case, every
// other pixel black (2 000 000 runs).
void BM_MaskRuns(benchmark::State& state) {
    const int n = 2000;
    TPixelBuffer mask(n, n, MakePixel(0, 0, 0));
    const TPixel white = MakePixel(255, 255, 255);
    if (state.range(0) == 0) {
        for (int y = 0; y < 40; ++y) {
            const int cut = 40 - y;
            for (int x = 0; x < cut; ++x) {
                mask.At(x, y) = white;
                mask.At(n - 1 - x, y) = white;
                mask.At(x, n - 1 - y) = white;
                mask.At(n - 1 - x, n - 1 - y) = white;
            }
        }
        for (int y = 100; y < n; y += 97) mask.FillRect({y / 2, y, y / 2 + 13, y + 5}, white);
    } else {
        for (int y = 0; y < n; ++y)
            for (int x = y % 2; x < n; x += 2) mask.At(x, y) = white;
    }
    size_t runs = 0;
    for (auto _ : state) {
        const auto r = MaskToRegion(mask.View(), 0, 0);
        runs = r->Runs.size();
        benchmark::DoNotOptimize(r->Runs.data());
    }
    state.counters["runs"] = static_cast<double>(runs);
}
BENCHMARK(BM_MaskRuns)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Coalescing the runs of the window-like mask into bands (what the Win32
// side does before building the region).
void BM_CoalesceRuns(benchmark::State& state) {
    const int n = 2000;
    TPixelBuffer mask(n, n, MakePixel(0, 0, 0));
    for (int y = 100; y < n; y += 97) mask.FillRect({y / 2, y, y / 2 + 13, y + 5}, MakePixel(255, 255, 255));
    const auto r = MaskToRegion(mask.View(), 0, 0);
    for (auto _ : state) {
        const std::vector<TRect> bands = CoalesceRuns(*r);
        benchmark::DoNotOptimize(bands.data());
    }
}
BENCHMARK(BM_CoalesceRuns)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zv

BENCHMARK_MAIN();
