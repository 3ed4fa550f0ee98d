// Geometry of the skinned controls and popup menu levels.
//
//   MapSkinRectToTarget   element rectangles
//   CalcButtonLayout      glyph and caption of a button
//   scroll bar            CalcScrollBarGeometry (computed once for the
//                         vertical form; the horizontal form is its
//                         transpose), ClampScrollPosition,
//                         ScrollPositionFromOffset
//   PlaceMenuLevel        placement of a level against its anchor
#include "skinui/paint/ControlLayout.h"

#include <algorithm>
#include <cstdint>

#include "base/SysUtils.h"

namespace zv {

TRect MapSkinRectToTarget(const TRect& r, const TSkinElementGeometry& element, TSkinLayout layout, int w,
                          int h) {
    const int sw = element.SkinRect.Width();
    const int sh = element.SkinRect.Height();
    const int dW = w - sw;
    const int dH = h - sh;
    const TSkinGeometry& g = element.Geometry;
    switch (layout) {
        case TSkinLayout::NinePart: return MapSkinRect(r, g, sw, sh, dW, dH, TZoneEdges::Included);
        case TSkinLayout::Horizontal:
            if (r.Left <= g.LeftTop.X && r.Right >= g.RightTop.X)
                return {r.Left, r.Top, r.Right + dW, r.Bottom};
            if (r.Left >= g.RightTop.X && r.Right > g.RightTop.X) return OffsetRect(r, dW, 0);
            return r;
        case TSkinLayout::Vertical:
            if (r.Top <= g.LeftTop.Y && r.Bottom >= g.LeftBottom.Y)
                return {r.Left, r.Top, r.Right, r.Bottom + dH};
            if (r.Top >= g.LeftBottom.Y && r.Bottom > g.LeftBottom.Y) return OffsetRect(r, 0, dH);
            return r;
        case TSkinLayout::Fixed:
        case TSkinLayout::None: return r;
    }
    return r;
}

TksButtonPlacement CalcButtonLayout(const TRect& a, TksButtonLayout layout, int m, int s, TSize glyph,
                                    TSize text) {
    const int gw = glyph.cx, gh = glyph.cy, tw = text.cx, th = text.cy;
    const int cx = a.Left + a.Width() / 2;
    const int cy = a.Top + a.Height() / 2;
    TksButtonPlacement p{{cx - gw / 2, cy - gh / 2}, {cx - tw / 2, cy - th / 2}};
    switch (layout) {
        case TksButtonLayout::blGlyphLeft:
            if (m == -1) {
                p.Glyph.X = cx - (gw + tw + s) / 2;
                p.Text.X = cx + (gw + tw + s) / 2 - tw;
            } else {
                p.Glyph.X = a.Left + m;
                p.Text.X = a.Left + m + gw + s;
            }
            break;
        case TksButtonLayout::blGlyphRight:
            if (m == -1) {
                p.Text.X = cx - (gw + tw + s) / 2;
                p.Glyph.X = cx + (gw + tw + s) / 2 - gw;
            } else {
                p.Glyph.X = a.Right - gw - m;
                p.Text.X = p.Glyph.X - s - tw;
            }
            break;
        case TksButtonLayout::blGlyphTop:
            if (m == -1) {
                p.Glyph.Y = cy - (th + gh + s) / 2;
                p.Text.Y = cy + (th + gh + s) / 2 - th;
            } else {
                p.Glyph.Y = a.Top + m;
                p.Text.Y = p.Glyph.Y + s + gh;
            }
            break;
        case TksButtonLayout::blGlyphBottom:
            if (m == -1) {
                p.Text.Y = cy - (th + gh + s) / 2;
                p.Glyph.Y = cy + (th + gh + s) / 2 - gh;
            } else {
                p.Glyph.Y = a.Bottom - gh - m;
                p.Text.Y = p.Glyph.Y - s - th;
            }
            break;
    }
    return p;
}

// ---- scroll bar ------------------------------------------------------------------

namespace {

TRect Transpose(const TRect& r) {
    return {r.Top, r.Left, r.Bottom, r.Right};
}

// Nearest(num / den) with halves to even; 0 for a denominator that is not
// positive, and the fraction held in 0 .. 1 of `scale`.
int ScaledFraction(std::int64_t part, std::int64_t whole, std::int64_t scale) {
    if (whole <= 0) return 0;
    part = std::clamp<std::int64_t>(part, 0, whole);
    return static_cast<int>(DivRoundHalfEven(part * scale, whole));
}

// Nearest(len * page / count), 0 without a count, never longer than the
// track.
int PageLength(int len, int page, std::int64_t count) {
    if (count <= 0) return 0;
    const std::int64_t l = DivRoundHalfEven(static_cast<std::int64_t>(len) * page, count);
    return static_cast<int>(std::min<std::int64_t>(l, std::max(len, 0)));
}

// The vertical form of every rule; for a horizontal bar the caller passes
// the transposed values and transposes the result back.
TksScrollBarGeometry VerticalGeometry(int w, int h, const TksScrollBarMetrics& m, int keyY,
                                      const TRect& trackArea, const TRect& upRect, const TRect& downRect,
                                      int thumbAcross, int thumbAlong, int skinHeight) {
    TksScrollBarGeometry g;
    const std::int64_t count = static_cast<std::int64_t>(m.Max) - m.Min + 1;
    const std::int64_t pageDen = static_cast<std::int64_t>(m.Max) + 1 - m.PageSize - m.Min;
    const std::int64_t span = static_cast<std::int64_t>(m.Max) - m.Min;
    const std::int64_t pos = static_cast<std::int64_t>(m.Position) - m.Min;
    if (!m.Skinned) {
        g.DecButton = {1, 1, w - 1, 17};
        g.IncButton = {1, h - 17, w - 1, h - 1};
        g.Track = {1, 17, w - 1, h - 17};
        const int len = g.Track.Height();
        if (m.PageSize == 0) {
            g.Offset1 = g.Track.Top + 8;
            g.Offset2 = g.Track.Bottom - 8;
            g.ThumbOffset = ScaledFraction(pos, span, len - 16);
            g.Thumb = {g.Track.Left, g.Track.Top + g.ThumbOffset, g.Track.Right,
                       g.Track.Top + g.ThumbOffset + 16};
        } else {
            // A page larger than the range (SetRange takes any page) would
            // make the thumb longer than its track.
            const int l = std::max(PageLength(len, m.PageSize, count), 16);
            const int half = l / 2;
            g.Offset1 = g.Track.Top + half;
            g.Offset2 = g.Track.Bottom - half;
            // Without a page that fits (the whole range shows) the thumb
            // sits at the end, as the plain look always did.
            g.ThumbOffset = pageDen > 0 ? ScaledFraction(pos, pageDen, len - 2 * half) : len - 2 * half;
            g.Thumb = {g.Track.Left, g.Track.Top + g.ThumbOffset, g.Track.Right,
                       g.Track.Top + g.ThumbOffset + 2 * half};
        }
        return g;
    }
    const int dh = h - skinHeight;
    g.Track = {trackArea.Left, trackArea.Top, trackArea.Right, trackArea.Bottom + dh};
    g.IncButton = keyY < upRect.Top ? OffsetRect(upRect, 0, dh) : upRect;
    g.DecButton = keyY < downRect.Top ? OffsetRect(downRect, 0, dh) : downRect;
    const int len = g.Track.Height();
    int l = thumbAlong;
    std::int64_t qPart = pos;
    std::int64_t qWhole = span;
    if (m.PageSize != 0) {
        l = std::max(PageLength(len, m.PageSize, count), thumbAlong);
        qPart = pos;
        qWhole = pageDen;  // not positive: q = 0
    }
    const int half = l / 2;
    g.Offset1 = g.Track.Top + half;
    g.Offset2 = g.Track.Bottom - half;
    g.ThumbOffset = ScaledFraction(qPart, qWhole, g.Offset2 - g.Offset1);
    const int left = g.Track.Left + g.Track.Width() / 2 - thumbAcross / 2;
    g.Thumb = {left, g.Offset1 + g.ThumbOffset - half, left + thumbAcross, g.Offset1 + g.ThumbOffset + half};
    return g;
}

}  // namespace

TksScrollBarGeometry CalcScrollBarGeometry(const TksScrollBarMetrics& m) {
    if (m.Vertical)
        return VerticalGeometry(m.Width, m.Height, m, m.LeftBottom.Y, m.TrackArea, m.UpButtonRect,
                                m.DownButtonRect, m.ThumbSize.cx, m.ThumbSize.cy, m.SkinSize.cy);
    const int w = m.Skinned ? m.Width : m.Width - m.BothMarkerWidth;
    TksScrollBarGeometry g =
        VerticalGeometry(m.Height, w, m, m.RightTop.X, Transpose(m.TrackArea), Transpose(m.UpButtonRect),
                         Transpose(m.DownButtonRect), m.ThumbSize.cy, m.ThumbSize.cx, m.SkinSize.cx);
    g.Track = Transpose(g.Track);
    g.Thumb = Transpose(g.Thumb);
    g.IncButton = Transpose(g.IncButton);
    g.DecButton = Transpose(g.DecButton);
    return g;
}

int ClampScrollPosition(int value, int min, int max, int page) {
    const std::int64_t high = page > 0 ? static_cast<std::int64_t>(max) - page + 1 : max;
    std::int64_t v = std::min<std::int64_t>(value, high);
    // A page larger than the range would put the end below the start; the
    // start wins so that a position never leaves the range.
    v = std::max<std::int64_t>(v, min);
    return static_cast<int>(v);
}

int ScrollPositionFromOffset(int offset, int offset1, int offset2, int min, int max, int page) {
    const std::int64_t travel = static_cast<std::int64_t>(offset2) - offset1;
    const std::int64_t steps =
        page > 0 ? static_cast<std::int64_t>(max) - min - page + 1 : static_cast<std::int64_t>(max) - min;
    if (travel <= 0 || steps <= 0) return min;
    const std::int64_t t = std::clamp<std::int64_t>(offset, 0, travel);
    return static_cast<int>(min + DivRoundHalfEven(steps * t, travel));
}

// ---- popup menu levels ---------------------------------------------------------

TPoint PlaceMenuLevel(const TksMenuPlacement& p) {
    const TRect& a = p.Anchor;
    const TRect& m = p.WorkArea;
    const int middle = m.Top + m.Height() / 2;
    const bool fullHeight = p.Scrolling && !p.ScrollingByLimit;
    bool overlaps = false;
    int y = 0;
    if (fullHeight) {
        y = m.Top;
    } else if (p.Submenu) {
        if (a.Top + p.Height - p.ItemsTop <= m.Bottom)
            y = a.Top - p.ItemsTop;  // first entry level with the parent entry
        else if (a.Top < middle)
            y = m.Bottom - p.Height;
        else
            y = std::max(a.Bottom - p.Height + p.ItemsTop, m.Top);
    } else if (p.PopupUp) {
        if (a.Top - p.Height >= m.Top) {
            y = a.Top - p.Height;
        } else if (a.Top >= middle) {
            y = m.Top;
            overlaps = true;
        } else if (a.Bottom + p.Height <= m.Bottom) {
            y = a.Bottom;
        } else {
            y = m.Bottom - p.Height;
            overlaps = true;
        }
    } else {
        if (a.Bottom + p.Height <= m.Bottom) {
            y = a.Bottom;
        } else if (a.Top < middle) {
            y = m.Bottom - p.Height;
            overlaps = true;
        } else if (a.Top - p.Height >= m.Top) {
            y = a.Top - p.Height;
        } else {
            y = m.Top;
            overlaps = true;
        }
    }
    int x = 0;
    if (p.Submenu || fullHeight || overlaps) {
        // Beside the anchor, so the level does not cover it.
        x = (a.Right + p.Width + 1 <= m.Right) ? a.Right + 1 : a.Left - p.Width - 1;
    } else {
        x = a.Left;
        if (x + p.Width > m.Right)
            x = m.Right - p.Width;
        else if (a.Left < m.Left)
            x = m.Left;
    }
    return {x, y};
}

}  // namespace zv
