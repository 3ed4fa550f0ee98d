// Speed of the paint core on the program's sizes: the four frame strips of
// the main window, the frame's share of a non-client paint (at 100% and at
// 200%), a whole frame repaint with its objects at 100%, 150% and 200%,
// scaling the program's skin for one display density, one morph step
// of the install button, and the runs of a large mask.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "skinui/paint/EffectBitmap.h"
#include "skinui/paint/FrameLayout.h"
#include "skinui/paint/MaskRegion.h"
#include "skinui/paint/SkinPaint.h"
#include "skinui/paint/SkinSurface.h"

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

// The same paint on a display of arg pixels per inch (96: the plain views of
// BM_FramePaint arg 1; 192: every skin pixel 2 x 2 device pixels from the
// picture scaled once; 144: pieces resampled once and then copied). The
// strips are parts of one window-sized surface, as the frame draws them.
void BM_FramePaintScaled(benchmark::State& state) {
    const TPixelBuffer pic = Picture(162, 140, 1);
    TksDataSkinFormInfo fi;
    fi.ClientRect = {5, 24, 157, 135};
    fi.LeftTopPoint = {34, 26};
    fi.RightTopPoint = {80, 28};
    fi.LeftBottomPoint = {8, 131};
    fi.RightBottomPoint = {151, 131};
    fi.ButtonsRect = {92, 5, 154, 21};
    fi.MaskRectArea = {4, 3, 159, 137};
    const TFrameLayout layout = CalcFrameLayout(fi, {162, 140}, 421, 271, 19);
    const TFrameStripSizes& sizes = layout.Strips;
    const TDeviceScale scale(static_cast<int>(state.range(0)));
    TScaledPictures pictures(scale);
    const TDeviceMap window = TDeviceMap::ForSkinSize(421, 271, scale);
    TPixelBuffer device(window.DeviceWidth(), window.DeviceHeight());
    const TSkinSurface all(device.View(), window, scale.Identity() ? nullptr : &pictures);
    const int bottomTop = 271 - sizes.Bottom.cy;
    const int rightLeft = 421 - sizes.Right.cx;
    const TFrameStripSurfaces strips{
        all.Part({0, 0, sizes.Top.cx, sizes.Top.cy}),
        all.Part({0, bottomTop, sizes.Bottom.cx, 271}),
        all.Part({0, sizes.Top.cy, sizes.Left.cx, sizes.Top.cy + sizes.Left.cy}),
        all.Part({rightLeft, sizes.Top.cy, 421, sizes.Top.cy + sizes.Right.cy}),
    };
    for (auto _ : state) {
        ComposeFrameStrips(pic.View(), layout.Source, layout.Target, {}, strips);
        benchmark::DoNotOptimize(device.View().Bits);
    }
    state.counters["device_pixels"] = static_cast<double>(device.Width()) * device.Height();
}
BENCHMARK(BM_FramePaintScaled)->Arg(96)->Arg(144)->Arg(192)->Unit(benchmark::kMicrosecond);

// A whole repaint of the main window's frame at arg pixels per inch, the
// pixel work the frame does for one WM_NCPAINT: the layout in skin pixels
// and its map onto the window's device size, the four strips each in its
// own bitmap (parts of the one window map), the caption's look fitted to
// its place and the close and system-menu buttons' looks from the active
// picture, each through the part of the map at its place. The caption's
// text (drawn by the platform) and the copy to the screen are not counted.
void BM_FrameRepaint(benchmark::State& state) {
    const TPixelBuffer pic = Picture(162, 140, 1);
    const TPixelBuffer active = Picture(100, 80, 7);
    TksDataSkinFormInfo fi;
    fi.ClientRect = {5, 24, 157, 135};
    fi.LeftTopPoint = {34, 26};
    fi.RightTopPoint = {80, 28};
    fi.LeftBottomPoint = {8, 131};
    fi.RightBottomPoint = {151, 131};
    fi.ButtonsRect = {92, 5, 154, 21};
    fi.MaskRectArea = {4, 3, 159, 137};
    std::vector<TFrameObjectEntry> objects(3);
    objects[0].Role = TFrameObjectRole::Caption;
    objects[0].SkinRect = {24, 3, 89, 21};
    objects[1].Role = TFrameObjectRole::CaptionButton;
    objects[1].Command = TStdCommand::cmClose;
    objects[2].Role = TFrameObjectRole::CaptionButton;
    objects[2].Command = TStdCommand::cmSysMenu;
    for (size_t i = 1; i < objects.size(); ++i) {
        objects[i].SkinRect = {35, 57, 49, 71};
        objects[i].ButtonSize = {14, 14};
        objects[i].SkinRectInAPicture = true;
    }
    const TDeviceScale scale(static_cast<int>(state.range(0)));
    TScaledPictures pictures(scale);
    TScaledPictures* kept = scale.Identity() ? nullptr : &pictures;
    const int deviceW = scale.Map(421), deviceH = scale.Map(271);
    const TSkinGeometry corners{fi.ClientRect, fi.LeftTopPoint, fi.RightTopPoint, fi.LeftBottomPoint,
                                fi.RightBottomPoint};
    for (auto _ : state) {
        const TDeviceMap window = TDeviceMap::ForDeviceSize(deviceW, deviceH, scale);
        TFrameLayout layout = CalcFrameLayout(fi, {162, 140}, window.Width, window.Height, 19);
        PlaceFrameObjects(layout, fi, objects);
        const TFrameStripSizes& sizes = layout.Strips;
        const int w = window.Width, h = window.Height;
        const TRect areas[4] = {{0, 0, sizes.Top.cx, sizes.Top.cy},
                                {0, h - sizes.Bottom.cy, sizes.Bottom.cx, h},
                                {0, sizes.Top.cy, sizes.Left.cx, sizes.Top.cy + sizes.Left.cy},
                                {w - sizes.Right.cx, sizes.Top.cy, w, sizes.Top.cy + sizes.Right.cy}};
        TPixelBuffer bitmaps[4];
        TSkinSurface surfaces[4];
        for (int i = 0; i < 4; ++i) {
            const TRect d = window.ToDevice(areas[i]);
            bitmaps[i].SetSize(d.Width(), d.Height());
            surfaces[i] = TSkinSurface(bitmaps[i].View(), window.Part(areas[i]), kept);
        }
        ComposeFrameStrips(pic.View(), layout.Source, layout.Target, {},
                           {surfaces[0], surfaces[1], surfaces[2], surfaces[3]});
        // The objects on the top strip, at their places.
        const TRect cap = layout.Objects[0].Rect;
        ComposeCaptionLook(surfaces[0].Part(cap), active.View(), {4, 3, 69, 21},
                           CalcCaptionLayout({24, 3, 89, 21}, {cap.Width(), cap.Height()}, corners));
        for (size_t i = 1; i < objects.size(); ++i) {
            const TRect r = layout.Objects[i].Rect;
            surfaces[0].Stretch(r, active.View(), {1, 57, 15, 71});
        }
        benchmark::DoNotOptimize(bitmaps[0].View().Bits);
    }
    state.counters["device_pixels"] = static_cast<double>(deviceW) * deviceH;
}
BENCHMARK(BM_FrameRepaint)->Arg(96)->Arg(144)->Arg(192)->Unit(benchmark::kMicrosecond);

// Scaling the program's own skin (resources/skin, or ZV_SOURCE_DIR's) for
// one display density at start: every picture the windows draw from,
// replicated whole (whole factors; at fractional ones the pieces are
// resampled as the first paint asks for them, which BM_FramePaintScaled's
// first iteration includes). A fresh skin each time, since the scaled pictures are
// kept with the skin data.
void BM_ScaleProgramSkin(benchmark::State& state) {
    const char* root = std::getenv("ZV_SOURCE_DIR");
    TksCompressedStoredSkin stored(nullptr);
    if (!stored.LoadFromSkinFile(std::string(root ? root : ".") + "/resources/skin/skin.ini")) {
        state.SkipWithError(
            "the program's skin was not found (run from the source tree or set ZV_SOURCE_DIR)");
        return;
    }
    const TDeviceScale scale(static_cast<int>(state.range(0)));
    std::unique_ptr<TksSkinData> data;
    for (auto _ : state) {
        state.PauseTiming();  // the last skin goes and the next is loaded untimed
        data = std::make_unique<TksSkinData>(nullptr);
        data->LoadCompressedSkin(stored);
        state.ResumeTiming();
        TksScaledSkin::ScaleAll(*data, scale);
        benchmark::DoNotOptimize(ScaledPicturesOf(data.get(), scale));
    }
}
BENCHMARK(BM_ScaleProgramSkin)->Arg(192)->Arg(288)->Unit(benchmark::kMillisecond);

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
