// Speed of the paint core on the program's sizes: the four frame strips of
// the main window, the frame's share of a non-client paint, one morph step
// of the install button, and the runs of a large mask.
#include <benchmark/benchmark.h>

#include <cstring>

#include "skinui/paint/EffectBitmap.h"
#include "skinui/paint/FrameLayout.h"
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

// The pixel work of one non-client paint of the main window, without the
// objects and the screen: arg 0 the way the frame painted before it kept a
// layout (laid out in the paint, strips composed into buffers, copied into
// bitmaps, back into buffers and into bitmaps again), arg 1 the way it
// paints now (the strips composed straight into the bitmaps' pixels, the
// layout made on the last size change).
void CopyPixels(TPixelBuffer& to, const TPixelBuffer& from) {
    to.SetSize(from.Width(), from.Height());
    for (int y = 0; y < from.Height(); ++y)
        std::memcpy(to.Row(y), from.Row(y), sizeof(TPixel) * static_cast<size_t>(from.Width()));
}

void BM_FramePaint(benchmark::State& state) {
    const TPixelBuffer pic = Picture(162, 140, 1);
    TksDataSkinFormInfo fi;
    fi.ClientRect = {5, 24, 157, 135};
    fi.LeftTopPoint = {34, 26};
    fi.RightTopPoint = {80, 28};
    fi.LeftBottomPoint = {8, 131};
    fi.RightBottomPoint = {151, 131};
    fi.ButtonsRect = {92, 5, 154, 21};
    fi.MaskRectArea = {4, 3, 159, 137};
    std::vector<TFrameObjectEntry> objects(6);
    objects[0].Role = TFrameObjectRole::Caption;
    objects[0].SkinRect = {24, 3, 89, 21};
    for (size_t i = 1; i < objects.size(); ++i) {
        objects[i].Role = TFrameObjectRole::CaptionButton;
        objects[i].SkinRect = {35, 57, 49, 71};
        objects[i].ButtonSize = {14, 14};
        objects[i].SkinRectInAPicture = true;
    }
    objects[1].Command = TStdCommand::cmClose;
    TFrameLayout layout = CalcFrameLayout(fi, {162, 140}, 421, 271, 19);
    PlaceFrameObjects(layout, fi, objects);
    const TFrameStripSizes& sizes = layout.Strips;
    // The bitmaps a paint makes.
    TPixelBuffer top(sizes.Top.cx, sizes.Top.cy), bottom(sizes.Bottom.cx, sizes.Bottom.cy);
    TPixelBuffer left(sizes.Left.cx, sizes.Left.cy), right(sizes.Right.cx, sizes.Right.cy);
    TPixelBuffer screen[4];
    for (auto _ : state) {
        if (state.range(0) == 0) {
            TFrameLayout inPaint = CalcFrameLayout(fi, {162, 140}, 421, 271, 19);
            PlaceFrameObjects(inPaint, fi, objects);
            TFrameStrips strips;
            ComposeFrameStrips(pic.View(), inPaint.Source, inPaint.Target, 421, 271, {}, strips);
            CopyPixels(top, strips.Top);
            CopyPixels(bottom, strips.Bottom);
            CopyPixels(strips.Top, top);
            CopyPixels(strips.Bottom, bottom);
            CopyPixels(screen[0], strips.Top);
            CopyPixels(screen[1], strips.Bottom);
            CopyPixels(screen[2], strips.Left);
            CopyPixels(screen[3], strips.Right);
            benchmark::DoNotOptimize(screen[3].View().Bits);
        } else {
            ComposeFrameStrips(pic.View(), layout.Source, layout.Target, {},
                               {top.View(), bottom.View(), left.View(), right.View()});
            benchmark::DoNotOptimize(right.View().Bits);
        }
    }
}
BENCHMARK(BM_FramePaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

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
