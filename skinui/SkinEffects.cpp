#include "skinui/SkinEffects.h"

#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/EffectBitmap.h"

namespace zv {

namespace {

bool SameSize(const TPixelView& a, const TPixelView& b) {
    return a.Width == b.Width && a.Height == b.Height;
}

}  // namespace

void MorphPixels(const TPixelView& picture, const TPixelView& other, int kind, double kf) {
    if (picture.Empty() || !SameSize(picture, other)) return;
    if (kind < 0 || kind > static_cast<int>(TMorphKind::mkPush)) kind = 0;
    TksEffectBmp a(picture);
    const TksEffectBmp b(other);
    ApplyMorph(a, b, static_cast<TMorphKind>(kind), kf);
    CopyBlock(picture, 0, 0, a.View(), a.View().Bounds());
}

void BlendPixels(const TPixelView& picture, const TPixelView& background, int alphaBlendValue) {
    if (picture.Empty() || !SameSize(picture, background)) return;
    TksEffectBmp a(picture);
    const TksEffectBmp b(background);
    BlendTranslucent(a, b, alphaBlendValue);
    CopyBlock(picture, 0, 0, a.View(), a.View().Bounds());
}

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
    CopyBlock(picture, 0, 0, a.View(), a.View().Bounds());
}

}  // namespace zv
