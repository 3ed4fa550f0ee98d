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

}  // namespace zv
