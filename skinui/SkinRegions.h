// Platform regions of skinned windows, built from the portable run lists of
// skinui/paint/MaskRegion.h.
//
//   CreateRegionFromRuns      one ExtCreateRegion call for all runs of a mask
//   CreateMaskRegion          MaskToRegion of a mask picture as a region
//   CreateComposedMaskRegion  the region of a masked element fitted to a size
//
// Masks are read in skin pixels; the regions go to windows in device pixels
// through the window's map (the identity at the skin's own density).
#pragma once

#include <windows.h>

#include "base/PixelBuffer.h"
#include "skinui/paint/MaskRegion.h"
#include "skinui/paint/SkinPaint.h"
#include "vcl/Win32Handles.h"

namespace zv {

// The union of all run rectangles (passed coalesced into bands, in one
// ExtCreateRegion call), with the mask's bounds as the region's bounding
// rectangle. No handle when the system refuses the region.
TRegionHandle CreateRegionFromRuns(const TMaskRegion& region);

// The black pixels of `mask` moved by (x, y); no handle for an empty mask.
TRegionHandle CreateMaskRegion(const TPixelView& mask, int x, int y);
TRegionHandle CreateMaskRegion(const TPixelView& mask, int x, int y, const TDeviceMap& map);

// The client rectangle united with the strip regions that exist (top with
// bottom, left with right, then both pairs).
TRegionHandle CreateComposedRegion(const TComposedMaskRegion& parts);

// ComposeMaskRegion as a platform region; no handle when the element is
// smaller than its fixed parts.
TRegionHandle CreateComposedMaskRegion(const TPixelView& mask, const TSkinGeometry& source,
                                       const TSkinGeometry& dest, int w);
TRegionHandle CreateComposedMaskRegion(const TPixelView& mask, const TSkinGeometry& source,
                                       const TSkinGeometry& dest, int w, const TDeviceMap& map);

}  // namespace zv
