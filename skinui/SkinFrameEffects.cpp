#include "skinui/SkinFrameEffects.h"

#include "skinui/paint/EffectBitmap.h"

namespace zv {

namespace {

void CopyBack(const TksEffectBmp& from, const TPixelView& to) {
    for (int y = 0; y < to.Height && y < from.Height(); ++y)
        for (int x = 0; x < to.Width && x < from.Width(); ++x) to.At(x, y) = from.Pixel(x, y);
}

}  // namespace

void FrameInActiveEffect(const TPixelView& picture, int effect) {
    if (picture.Empty()) return;
    TksEffectBmp a(picture);
    switch (effect) {
        case 0: a.ChangeBrightness(0.5); break;
        case 1: a.ChangeDarkness(0.3); break;
        case 2: a.GrayScale(); break;
        case 3: {
            // A fixed start value: the same noise on every repaint, so the
            // frame does not shimmer while it is inactive.
            TRandomSource source(0x2545F491ULL);
            a.AddNoise(50, source);
            break;
        }
        case 4: a.SplitBlur(1); break;
        case 5: a.Invert(); break;
        default: return;
    }
    CopyBack(a, picture);
}

}  // namespace zv
