// The pixel effects the skinned controls apply to their finished bitmaps:
// the button's fade between two pictures and the blend of a translucent
// control over its background.
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

}  // namespace zv
