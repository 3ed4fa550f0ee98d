// The inactive-frame effect of a skinned window and its caption, applied to
// a pixel view through the effect buffer.
#pragma once

#include "base/PixelBuffer.h"

namespace zv {

// The effect of [FORMINFO] "inactiveeffect" (0 brightness 0.5, 1 darkness
// 0.3, 2 grey scale, 3 noise 50, 4 split blur 1, 5 invert), in place.
void FrameInActiveEffect(const TPixelView& picture, int effect);

}  // namespace zv
