// Block transfers between pixel buffers: the only way the composition rules
// move pixels.
//
//   SubView        a view of a rectangle of another view (shares the pixels)
//   CopyBlock      1:1 copy of a rectangle, clipped to both buffers
//   StretchBlock   copy that scales a rectangle to another size
//   TileBand       repeats a segment along one axis with the remainder rule
//
// Stretching never interpolates. The mapping is nearest neighbour with centre
// sampling and is the same everywhere in the paint core: target pixel i of a
// span of length dw shows source pixel
//
//     s0 + floor((2 * i + 1) * sw / (2 * dw))
//
// of a source span s0 .. s0 + sw, i.e. the source pixel under the centre of
// the target pixel. When sw equals dw this is a plain copy. Enlarging by k
// repeats each source pixel k times; shrinking by k keeps the pixel in the
// middle of each group (the second of two, the second of three, ...).
//
// A rectangle whose width or height is below 1, on either side, transfers
// nothing (the platform's mirroring for negative extents is never wanted by
// the skins). Target pixels outside the target, and target pixels whose
// source pixel lies outside the source, are left untouched; the mapping is
// always computed from the full rectangles, so clipping never shifts it.
#pragma once

#include "base/PixelBuffer.h"
#include "base/Types.h"

namespace zv {

// The part of `view` inside `r` (clipped to the view); empty when they do
// not overlap.
TPixelView SubView(const TPixelView& view, const TRect& r);

// Copies `src` of `source` to `target` with its top-left corner at (x, y).
void CopyBlock(const TPixelView& target, int x, int y, const TPixelView& source, const TRect& src);

// Copies `src` of `source` to `dst` of `target`: 1:1 when both have the same
// size, otherwise stretched with the mapping described above.
void StretchBlock(const TPixelView& target, const TRect& dst, const TPixelView& source, const TRect& src);

// Tiles the segment `src` of `source` over the span a .. b of the target
// along x (horizontal) or y (vertical). The other axis is copied 1:1 with the
// segment's top (or left) edge at `cross`. With n the segment's length
// along the axis, count = (b - a) / n (truncated toward zero); nothing is
// drawn when count is negative or n is below 1; otherwise tiles k = 0 ..
// count start at a + k * n and the last one is cut at its far end so that no
// tile reaches past b.
void TileBand(const TPixelView& target, const TPixelView& source, const TRect& src, bool horizontal, int a,
              int b, int cross);

}  // namespace zv
