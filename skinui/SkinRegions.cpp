#include "skinui/SkinRegions.h"

#include <cstring>
#include <limits>
#include <vector>

namespace zv {

namespace {

TRegionHandle EmptyRegion() {
    return TRegionHandle(CreateRectRgn(0, 0, 0, 0));
}

// dest := a united with b; either may be missing.
TRegionHandle Unite(TRegionHandle a, TRegionHandle b) {
    if (!a) return b;
    if (!b) return a;
    TRegionHandle r = EmptyRegion();
    if (!r || CombineRgn(r.Get(), a.Get(), b.Get(), RGN_OR) == ERROR) return TRegionHandle();
    return r;
}

TRegionHandle FromOptional(const std::optional<TMaskRegion>& part) {
    return part ? CreateRegionFromRuns(*part) : TRegionHandle();
}

}  // namespace

TRegionHandle CreateRegionFromRuns(const TMaskRegion& region) {
    // Identical neighbouring rows become one band: the same area, and far
    // fewer rectangles for the system to merge (tiled mask strips repeat
    // their rows a lot).
    const std::vector<TRect> rects = CoalesceRuns(region);
    const size_t count = rects.size();
    if (count == 0) return EmptyRegion();
    // The header is followed by the rectangles; all sizes must fit a DWORD.
    const size_t maxCount = (std::numeric_limits<DWORD>::max() - sizeof(RGNDATAHEADER)) / sizeof(RECT);
    if (count > maxCount) return TRegionHandle();
    const size_t bytes = sizeof(RGNDATAHEADER) + count * sizeof(RECT);
    std::vector<unsigned char> buffer(bytes);

    RGNDATAHEADER header{};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(count);
    header.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
    header.rcBound = {region.Bounds.Left, region.Bounds.Top, region.Bounds.Right, region.Bounds.Bottom};
    std::memcpy(buffer.data(), &header, sizeof header);
    unsigned char* out = buffer.data() + sizeof(RGNDATAHEADER);
    for (const TRect& r : rects) {
        const RECT rc{r.Left, r.Top, r.Right, r.Bottom};
        std::memcpy(out, &rc, sizeof rc);
        out += sizeof rc;
    }
    return TRegionHandle(
        ExtCreateRegion(nullptr, static_cast<DWORD>(bytes), reinterpret_cast<const RGNDATA*>(buffer.data())));
}

TRegionHandle CreateMaskRegion(const TPixelView& mask, int x, int y) {
    const std::optional<TMaskRegion> runs = MaskToRegion(mask, x, y);
    return runs ? CreateRegionFromRuns(*runs) : TRegionHandle();
}

TRegionHandle CreateMaskRegion(const TPixelView& mask, int x, int y, const TDeviceMap& map) {
    const std::optional<TMaskRegion> runs = MaskToRegion(mask, x, y);
    return runs ? CreateRegionFromRuns(RegionToDevice(*runs, map)) : TRegionHandle();
}

TRegionHandle CreateComposedRegion(const TComposedMaskRegion& parts) {
    TRegionHandle client;
    if (!parts.ClientRect.IsEmpty()) {
        const TRect& c = parts.ClientRect;
        client.Reset(CreateRectRgn(c.Left, c.Top, c.Right, c.Bottom));
    }
    TRegionHandle vertical = Unite(FromOptional(parts.Top), FromOptional(parts.Bottom));
    TRegionHandle sides = Unite(FromOptional(parts.Left), FromOptional(parts.Right));
    TRegionHandle strips = Unite(std::move(vertical), std::move(sides));
    TRegionHandle all = Unite(std::move(client), std::move(strips));
    return all ? std::move(all) : EmptyRegion();
}

TRegionHandle CreateComposedMaskRegion(const TPixelView& mask, const TSkinGeometry& source,
                                       const TSkinGeometry& dest, int w) {
    const std::optional<TComposedMaskRegion> parts = ComposeMaskRegion(mask, source, dest, w);
    return parts ? CreateComposedRegion(*parts) : TRegionHandle();
}

TRegionHandle CreateComposedMaskRegion(const TPixelView& mask, const TSkinGeometry& source,
                                       const TSkinGeometry& dest, int w, const TDeviceMap& map) {
    const std::optional<TComposedMaskRegion> parts = ComposeMaskRegion(mask, source, dest, w);
    return parts ? CreateComposedRegion(RegionToDevice(*parts, map)) : TRegionHandle();
}

}  // namespace zv
