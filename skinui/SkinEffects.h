// The pixel effects the skinned controls and the frame apply to their
// finished bitmaps: the fade between two looks, the blend of a translucent
// control over its background, and the look of an inactive frame.
// The kinds are the numbers of the skin's "morphkind" words (TMorphKind),
// passed as plain integers so that a damaged value can be checked here.
#pragma once

#include "base/PixelBuffer.h"

namespace zv {

// `picture` changed toward `other` by the morph kind with this number (0
// mkdefault ... 6 mkpush; other numbers count as 0) at kf. Nothing happens
// when the sizes differ.
void MorphPixels(const TPixelView& picture, const TPixelView& other, int kind, double kf);

// `picture` drawn with opacity alphaBlendValue / 255 over `background`.
// Nothing happens when the sizes differ.
void BlendPixels(const TPixelView& picture, const TPixelView& background, int alphaBlendValue);

// The effect of [FORMINFO] "inactiveeffect" (0 brightness 0.5, 1 darkness
// 0.3, 2 grey scale, 3 noise 50, 4 split blur 1, 5 invert), in place; other
// numbers change nothing.
void FrameInActiveEffect(const TPixelView& picture, int effect);

}  // namespace zv
