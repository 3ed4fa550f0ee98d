// Window regions from mask pictures, as lists of rectangles (the platform
// region is built from them in one call by the Win32 side).
//
//   TMaskRegion          the run rectangles of one mask and its bounds
//   MaskToRegion         black pixels of a mask as maximal horizontal runs
//   CoalesceRuns         the same area with identical neighbouring rows merged
//   TComposedMaskRegion  client rectangle plus the four strip regions
//   ComposeMaskRegion    the region of a masked element fitted to a new size
//   RegionToDevice       a region of skin pixels on the device pixels of a
//                        target: the mask scaled at the target's factor
#pragma once

#include <optional>
#include <vector>

#include "base/PixelBuffer.h"
#include "base/Types.h"
#include "skinui/paint/DeviceScale.h"
#include "skinui/paint/SkinPaint.h"

namespace zv {

struct TMaskRegion {
    // (x, y, x + mask width, y + mask height).
    TRect Bounds;
    // One rectangle per maximal run of black pixels in a row, one pixel high,
    // rows top to bottom and runs left to right within a row. The list holds
    // every run, however many there are.
    std::vector<TRect> Runs;

    [[nodiscard]] bool Contains(int x, int y) const;
};

// A pixel belongs to the region when its red + green + blue is 0. The runs
// are moved by (x, y). An empty mask gives no region.
std::optional<TMaskRegion> MaskToRegion(const TPixelView& mask, int x, int y);

// The runs of `region` with every stretch of consecutive rows that have
// identical runs merged into one band of taller rectangles: the same area
// in the banded form platform regions keep, so building the region costs
// one rectangle per band instead of one per row.
std::vector<TRect> CoalesceRuns(const TMaskRegion& region);

// The union of ClientRect (when not empty) and the strip regions that exist.
struct TComposedMaskRegion {
    TRect ClientRect;
    std::optional<TMaskRegion> Top;
    std::optional<TMaskRegion> Bottom;
    std::optional<TMaskRegion> Left;
    std::optional<TMaskRegion> Right;

    [[nodiscard]] bool Contains(int x, int y) const;
};

// The region of a w-wide masked element: no region when RT'.x < LT'.x or
// LB'.y < LT'.y; otherwise the rectangle CL' united with the black pixels of
// the mask's four tiled strips (ComposeTiledStrips), placed at top (0, 0),
// bottom (0, CL'.bottom), left (0, CL'.top) and right (CL'.right, CL'.top).
std::optional<TComposedMaskRegion> ComposeMaskRegion(const TPixelView& mask, const TSkinGeometry& source,
                                                     const TSkinGeometry& dest, int w);

// Every rectangle of a region (skin pixels of a target) moved onto the
// target's device pixels: a skin pixel of the mask becomes the block of
// device pixels it is drawn on, so the shape follows the drawing exactly.
// The runs of the result are device rectangles, rows of a skin pixel's
// height; its Contains answers for skin points of the original only.
TMaskRegion RegionToDevice(const TMaskRegion& region, const TDeviceMap& map);
TComposedMaskRegion RegionToDevice(const TComposedMaskRegion& region, const TDeviceMap& map);

}  // namespace zv
