// The inactive-frame effect of a skinned window, behind a plain integer:
// the effect buffer and the skin description each name their own morph
// kind, so only this unit sees the effect buffer (the morphs themselves go
// through SkinEffects.h).
#pragma once

#include "base/PixelBuffer.h"

namespace zv {

// The effect of [FORMINFO] "inactiveeffect" (0 brightness 0.5, 1 darkness
// 0.3, 2 grey scale, 3 noise 50, 4 split blur 1, 5 invert), in place.
void FrameInActiveEffect(const TPixelView& picture, int effect);

}  // namespace zv
