#include "skinui/paint/MaskRegion.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

namespace zv {

bool TMaskRegion::Contains(int x, int y) const {
    // Runs are sorted by row, then by column.
    auto it =
        std::lower_bound(Runs.begin(), Runs.end(), y, [](const TRect& r, int row) { return r.Top < row; });
    for (; it != Runs.end() && it->Top == y; ++it) {
        if (x >= it->Left && x < it->Right) return true;
    }
    return false;
}

std::optional<TMaskRegion> MaskToRegion(const TPixelView& mask, int x, int y) {
    if (mask.Empty()) return std::nullopt;
    // Offsets that would push the bounds out of the integer range are refused.
    constexpr std::int64_t kMax = std::numeric_limits<int>::max();
    if (static_cast<std::int64_t>(x) + mask.Width > kMax ||
        static_cast<std::int64_t>(y) + mask.Height > kMax) {
        return std::nullopt;
    }
    TMaskRegion region;
    region.Bounds = {x, y, x + mask.Width, y + mask.Height};
    // Each row is scanned once for the columns where black starts or stops;
    // the edge is stored unconditionally and only the count depends on the
    // pixel, so masks that change colour at every pixel cost no more than
    // plain ones.
    std::vector<int> edges(static_cast<size_t>(mask.Width) + 1);
    // A first pass counts the runs, so the list is allocated once.
    size_t total = 0;
    for (int row = 0; row < mask.Height; ++row) {
        const TPixel* p = mask.Row(row);
        // No state carried from pixel to pixel, so the compiler can run this
        // on several pixels at once.
        unsigned starts = PixelRGB(p[0]) == 0 ? 1u : 0u;
        for (int c = 1; c < mask.Width; ++c) {
            starts +=
                static_cast<unsigned>(PixelRGB(p[c]) == 0) & static_cast<unsigned>(PixelRGB(p[c - 1]) != 0);
        }
        total += starts;
    }
    region.Runs.reserve(total);
    for (int row = 0; row < mask.Height; ++row) {
        const TPixel* p = mask.Row(row);
        size_t count = 0;
        bool inside = false;
        for (int c = 0; c < mask.Width; ++c) {
            const bool black = PixelRGB(p[c]) == 0;
            edges[count] = c;
            count += static_cast<size_t>(black != inside);
            inside = black;
        }
        if (inside) edges[count++] = mask.Width;
        const size_t first = region.Runs.size();
        region.Runs.resize(first + count / 2);
        for (size_t k = 0; k < count / 2; ++k) {
            region.Runs[first + k] = {x + edges[2 * k], y + row, x + edges[2 * k + 1], y + row + 1};
        }
    }
    return region;
}

std::vector<TRect> CoalesceRuns(const TMaskRegion& region) {
    std::vector<TRect> bands;
    bands.reserve(region.Runs.size());
    size_t bandStart = 0;  // first rectangle of the last band in `bands`
    const auto& runs = region.Runs;
    for (size_t i = 0; i < runs.size();) {
        size_t j = i;
        while (j < runs.size() && runs[j].Top == runs[i].Top) ++j;
        const size_t count = j - i;
        bool same = !bands.empty() && bands.size() - bandStart == count && bands.back().Bottom == runs[i].Top;
        for (size_t k = 0; same && k < count; ++k) {
            same = bands[bandStart + k].Left == runs[i + k].Left &&
                   bands[bandStart + k].Right == runs[i + k].Right;
        }
        if (same) {
            for (size_t k = 0; k < count; ++k) bands[bandStart + k].Bottom = runs[i + k].Bottom;
        } else {
            bandStart = bands.size();
            bands.insert(bands.end(), runs.begin() + static_cast<std::ptrdiff_t>(i),
                         runs.begin() + static_cast<std::ptrdiff_t>(j));
        }
        i = j;
    }
    return bands;
}

bool TComposedMaskRegion::Contains(int x, int y) const {
    if (ClientRect.Contains({x, y})) return true;
    for (const auto* part : {&Top, &Bottom, &Left, &Right}) {
        if (*part && (*part)->Contains(x, y)) return true;
    }
    return false;
}

std::optional<TComposedMaskRegion> ComposeMaskRegion(const TPixelView& mask, const TSkinGeometry& source,
                                                     const TSkinGeometry& dest, int w) {
    if (dest.RightTop.X < dest.LeftTop.X || dest.LeftBottom.Y < dest.LeftTop.Y) return std::nullopt;
    TFrameStrips strips;
    ComposeTiledStrips(mask, source, dest, w, strips);
    const TRect& cl2 = dest.ClientRect;
    TComposedMaskRegion result;
    if (!cl2.IsEmpty()) result.ClientRect = cl2;
    // MaskToRegion gives no region for a strip that was not made (0 x 0).
    result.Top = MaskToRegion(strips.Top.View(), 0, 0);
    result.Bottom = MaskToRegion(strips.Bottom.View(), 0, cl2.Bottom);
    result.Left = MaskToRegion(strips.Left.View(), 0, cl2.Top);
    result.Right = MaskToRegion(strips.Right.View(), cl2.Right, cl2.Top);
    return result;
}

TMaskRegion RegionToDevice(const TMaskRegion& region, const TDeviceMap& map) {
    TMaskRegion out;
    out.Bounds = map.ToDevice(region.Bounds);
    out.Runs.reserve(region.Runs.size());
    for (const TRect& r : region.Runs) {
        const TRect d = map.ToDevice(r);
        if (!d.IsEmpty()) out.Runs.push_back(d);
    }
    return out;
}

TComposedMaskRegion RegionToDevice(const TComposedMaskRegion& region, const TDeviceMap& map) {
    TComposedMaskRegion out;
    if (!region.ClientRect.IsEmpty()) out.ClientRect = map.ToDevice(region.ClientRect);
    for (auto [from, to] : {std::pair{&region.Top, &out.Top}, std::pair{&region.Bottom, &out.Bottom},
                            std::pair{&region.Left, &out.Left}, std::pair{&region.Right, &out.Right}})
        if (*from) *to = RegionToDevice(**from, map);
    return out;
}

}  // namespace zv
