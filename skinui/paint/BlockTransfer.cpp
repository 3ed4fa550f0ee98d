#include "skinui/paint/BlockTransfer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zv {

namespace {

// Source index of target pixel i of a span of length dw mapped from a span
// of length sw (both positive).
inline int MapIndex(std::int64_t i, std::int64_t sw, std::int64_t dw) {
    return static_cast<int>(((2 * i + 1) * sw) / (2 * dw));
}

}  // namespace

TPixelView SubView(const TPixelView& view, const TRect& r) {
    const TRect c = IntersectRect(r, view.Bounds());
    if (view.Empty() || c.IsEmpty()) return {};
    return {view.Row(c.Top) + c.Left, c.Width(), c.Height(), view.Stride};
}

void CopyBlock(const TPixelView& target, int x, int y, const TPixelView& source, const TRect& src) {
    if (target.Empty() || source.Empty() || src.IsEmpty()) return;
    // Clip in 64 bits: callers pass positions derived from window sizes and
    // skin values, which must not be able to overflow here.
    const std::int64_t dx = static_cast<std::int64_t>(x) - src.Left;
    const std::int64_t dy = static_cast<std::int64_t>(y) - src.Top;
    const std::int64_t sl = std::max<std::int64_t>({src.Left, 0, -dx});
    const std::int64_t st = std::max<std::int64_t>({src.Top, 0, -dy});
    const std::int64_t sr = std::min<std::int64_t>({src.Right, source.Width, target.Width - dx});
    const std::int64_t sb = std::min<std::int64_t>({src.Bottom, source.Height, target.Height - dy});
    if (sr <= sl || sb <= st) return;
    const auto count = static_cast<size_t>(sr - sl);
    for (std::int64_t sy = st; sy < sb; ++sy) {
        const TPixel* from = source.Row(static_cast<int>(sy)) + sl;
        TPixel* to = target.Row(static_cast<int>(sy + dy)) + (sl + dx);
        std::memmove(to, from, count * sizeof(TPixel));
    }
}

void StretchBlock(const TPixelView& target, const TRect& dst, const TPixelView& source, const TRect& src) {
    if (dst.IsEmpty() || src.IsEmpty()) return;
    if (dst.Width() == src.Width() && dst.Height() == src.Height()) {
        CopyBlock(target, dst.Left, dst.Top, source, src);
        return;
    }
    if (target.Empty() || source.Empty()) return;
    const TRect vis = IntersectRect(dst, target.Bounds());
    if (vis.IsEmpty()) return;
    const std::int64_t sw = src.Width(), sh = src.Height(), dw = dst.Width(), dh = dst.Height();

    // Column table for the visible part; -1 marks a source column outside
    // the source picture.
    std::vector<int> columns(static_cast<size_t>(vis.Width()));
    for (int x = vis.Left; x < vis.Right; ++x) {
        const std::int64_t sx = src.Left + static_cast<std::int64_t>(MapIndex(x - dst.Left, sw, dw));
        columns[static_cast<size_t>(x - vis.Left)] =
            (sx >= 0 && sx < source.Width) ? static_cast<int>(sx) : -1;
    }
    for (int y = vis.Top; y < vis.Bottom; ++y) {
        const std::int64_t sy = src.Top + static_cast<std::int64_t>(MapIndex(y - dst.Top, sh, dh));
        if (sy < 0 || sy >= source.Height) continue;
        const TPixel* from = source.Row(static_cast<int>(sy));
        TPixel* to = target.Row(y) + vis.Left;
        for (size_t i = 0; i < columns.size(); ++i) {
            if (columns[i] >= 0) to[i] = from[columns[i]];
        }
    }
}

void TileBand(const TPixelView& target, const TPixelView& source, const TRect& src, bool horizontal, int a,
              int b, int cross) {
    const std::int64_t n = horizontal ? src.Width() : src.Height();
    if (n < 1 || src.IsEmpty()) return;
    const std::int64_t count = (static_cast<std::int64_t>(b) - a) / n;
    if (count < 0) return;
    const std::int64_t limit = horizontal ? target.Width : target.Height;
    // Tiles wholly before the target's origin draw nothing; skip them.
    const std::int64_t first = a < 0 ? std::max<std::int64_t>(-static_cast<std::int64_t>(a) / n - 1, 0) : 0;
    for (std::int64_t k = first; k <= count; ++k) {
        const std::int64_t s = a + k * n;
        // Tiles only move further away from the target from here on.
        if (s >= limit) break;
        const std::int64_t cut = std::max<std::int64_t>(s + n - b, 0);
        if (n - cut < 1) continue;
        if (s + n <= 0) continue;
        const int pos = static_cast<int>(s);
        if (horizontal) {
            CopyBlock(target, pos, cross, source,
                      {src.Left, src.Top, static_cast<int>(src.Right - cut), src.Bottom});
        } else {
            CopyBlock(target, cross, pos, source,
                      {src.Left, src.Top, src.Right, static_cast<int>(src.Bottom - cut)});
        }
    }
}

}  // namespace zv
