#include "skinui/paint/Glyphs.h"

#include <cstdlib>

namespace zv {

namespace {

// The two kinds of target the glyphs are drawn on: plain pixels, and a
// surface whose skin pixels are blocks of device pixels.
struct TViewTarget {
    const TPixelView& View;
    void Fill(const TRect& r, TPixel colour) const {
        const TRect c = IntersectRect(r, View.Bounds());
        if (View.Empty() || c.IsEmpty()) return;
        for (int y = c.Top; y < c.Bottom; ++y) {
            TPixel* row = View.Row(y);
            for (int x = c.Left; x < c.Right; ++x) row[x] = colour;
        }
    }
    void Plot(int x, int y, TPixel colour) const {
        if (View.Contains(x, y)) View.At(x, y) = colour;
    }
    [[nodiscard]] bool Empty() const { return View.Empty(); }
};

struct TSurfaceTarget {
    const TSkinSurface& Surface;
    void Fill(const TRect& r, TPixel colour) const { Surface.Fill(r, colour); }
    void Plot(int x, int y, TPixel colour) const { Surface.Fill({x, y, x + 1, y + 1}, colour); }
    [[nodiscard]] bool Empty() const { return Surface.Device().Empty(); }
};

template <class T>
void LineOn(const T& target, int x0, int y0, int x1, int y1, TPixel colour) {
    if (target.Empty()) return;
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    // The end point belongs to the next segment, as with the platform's pen.
    while (x != x1 || y != y1) {
        target.Plot(x, y, colour);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

template <class T>
void OutlineOn(const T& target, const TRect& r, TPixel colour) {
    if (r.IsEmpty()) return;
    target.Fill({r.Left, r.Top, r.Right, r.Top + 1}, colour);
    target.Fill({r.Left, r.Bottom - 1, r.Right, r.Bottom}, colour);
    target.Fill({r.Left, r.Top, r.Left + 1, r.Bottom}, colour);
    target.Fill({r.Right - 1, r.Top, r.Right, r.Bottom}, colour);
}

template <class T>
void ArrowOn(const T& target, const TRect& r, TPixel colour, int direction) {
    const int cx = r.Left + r.Width() / 2;
    const int cy = r.Top + r.Height() / 2;
    switch (direction) {
        case 1:
            for (int i = 0; i <= 3; ++i) LineOn(target, cx - 2 + i, cy - i, cx - 2 + i, cy + i + 1, colour);
            break;
        case 2:
            for (int n = 3; n >= 0; --n) LineOn(target, cx + 2 - n, cy + n, cx + 2 - n, cy - n - 1, colour);
            break;
        case 3:
            for (int i = 0; i <= 3; ++i) LineOn(target, cx - i, cy - 2 + i, cx + i + 1, cy - 2 + i, colour);
            break;
        case 4:
            for (int n = 3; n >= 0; --n) LineOn(target, cx - n, cy + 2 - n, cx + n + 1, cy + 2 - n, colour);
            break;
        default: break;
    }
}

template <class T>
void CheckMarkOn(const T& target, int x, int y, TPixel colour) {
    for (int i = 0; i <= 2; ++i) {
        LineOn(target, x, y + 5 - i, x + 2, y + 7 - i, colour);
        LineOn(target, x + 2, y + 7 - i, x + 7, y + 2 - i, colour);
    }
}

template <class T>
void CaptionGlyphOn(const T& target, TCaptionGlyph glyph, int x, int y, TPixel colour) {
    switch (glyph) {
        case TCaptionGlyph::Cross:
            LineOn(target, x + 1, y + 1, x + 9, y + 9, colour);
            LineOn(target, x + 9, y + 1, x + 1, y + 9, colour);
            LineOn(target, x + 2, y + 1, x + 10, y + 9, colour);
            LineOn(target, x + 8, y + 1, x, y + 9, colour);
            break;
        case TCaptionGlyph::Bar: OutlineOn(target, {x + 1, y + 3, x + 9, y + 6}, colour); break;
        case TCaptionGlyph::Underline:
            LineOn(target, x + 1, y + 8, x + 9, y + 8, colour);
            LineOn(target, x + 1, y + 9, x + 9, y + 9, colour);
            break;
        case TCaptionGlyph::Box:
            OutlineOn(target, {x, y, x + 11, y + 10}, colour);
            OutlineOn(target, {x, y, x + 11, y + 2}, colour);
            break;
        case TCaptionGlyph::TwoBoxes:
            OutlineOn(target, {x + 2, y, x + 10, y + 6}, colour);
            OutlineOn(target, {x + 2, y, x + 10, y + 2}, colour);
            OutlineOn(target, {x, y + 4, x + 7, y + 10}, colour);
            OutlineOn(target, {x, y + 4, x + 7, y + 6}, colour);
            break;
        case TCaptionGlyph::DownTriangle:
            for (int i = 0; i <= 4; ++i) LineOn(target, x + 5 - i, y + 6 - i, x + 5 + i, y + 6 - i, colour);
            break;
        case TCaptionGlyph::UpTriangle:
            for (int i = 0; i <= 4; ++i) LineOn(target, x + 5 - i, y + 2 + i, x + 5 + i, y + 2 + i, colour);
            break;
        case TCaptionGlyph::Square: target.Fill({x + 2, y + 2, x + 7, y + 7}, colour); break;
    }
}

}  // namespace

void DrawLine(const TPixelView& target, int x0, int y0, int x1, int y1, TPixel colour) {
    LineOn(TViewTarget{target}, x0, y0, x1, y1, colour);
}

void FillRectClipped(const TPixelView& target, const TRect& r, TPixel colour) {
    TViewTarget{target}.Fill(r, colour);
}

void DrawRectOutline(const TPixelView& target, const TRect& r, TPixel colour) {
    OutlineOn(TViewTarget{target}, r, colour);
}

void DrawGlyphFrame(const TPixelView& target, int x, int y, int frame, int count, const TPixelView& glyph) {
    if (glyph.Empty() || target.Empty() || count < 1 || frame < 1 || frame > count) return;
    const int fw = glyph.Width / count;
    if (fw < 1) return;
    const int left = fw * (frame - 1);
    const TPixel transparent = PixelRGB(glyph.At(left, glyph.Height - 1));
    const TViewTarget t{target};
    for (int gy = 0; gy < glyph.Height; ++gy) {
        const TPixel* row = glyph.Row(gy);
        for (int gx = 0; gx < fw; ++gx) {
            const TPixel p = row[left + gx];
            if (PixelRGB(p) != transparent) t.Plot(x + gx, y + gy, p);
        }
    }
}

void DrawArrow(const TPixelView& target, const TRect& r, TPixel colour, int direction) {
    ArrowOn(TViewTarget{target}, r, colour, direction);
}

void DrawCheckMark(const TPixelView& target, int x, int y, TPixel colour) {
    CheckMarkOn(TViewTarget{target}, x, y, colour);
}

void DrawCaptionGlyph(const TPixelView& target, TCaptionGlyph glyph, int x, int y, TPixel colour) {
    CaptionGlyphOn(TViewTarget{target}, glyph, x, y, colour);
}

// ---- on surfaces: the plain drawing at the skin's own density

void DrawLine(const TSkinSurface& target, int x0, int y0, int x1, int y1, TPixel colour) {
    if (target.Identity()) return DrawLine(target.Device(), x0, y0, x1, y1, colour);
    LineOn(TSurfaceTarget{target}, x0, y0, x1, y1, colour);
}

void FillRectClipped(const TSkinSurface& target, const TRect& r, TPixel colour) {
    target.Fill(r, colour);
}

void DrawRectOutline(const TSkinSurface& target, const TRect& r, TPixel colour) {
    if (target.Identity()) return DrawRectOutline(target.Device(), r, colour);
    OutlineOn(TSurfaceTarget{target}, r, colour);
}

void DrawGlyphFrame(const TSkinSurface& target, int x, int y, int frame, int count, const TPixelView& glyph) {
    if (target.Identity()) return DrawGlyphFrame(target.Device(), x, y, frame, count, glyph);
    if (glyph.Empty() || target.Device().Empty() || count < 1 || frame < 1 || frame > count) return;
    const int fw = glyph.Width / count;
    if (fw < 1) return;
    const int left = fw * (frame - 1);
    target.CopyTransparent(x, y, glyph, {left, 0, left + fw, glyph.Height}, glyph.At(left, glyph.Height - 1));
}

void DrawArrow(const TSkinSurface& target, const TRect& r, TPixel colour, int direction) {
    if (target.Identity()) return DrawArrow(target.Device(), r, colour, direction);
    ArrowOn(TSurfaceTarget{target}, r, colour, direction);
}

void DrawCheckMark(const TSkinSurface& target, int x, int y, TPixel colour) {
    if (target.Identity()) return DrawCheckMark(target.Device(), x, y, colour);
    CheckMarkOn(TSurfaceTarget{target}, x, y, colour);
}

void DrawCaptionGlyph(const TSkinSurface& target, TCaptionGlyph glyph, int x, int y, TPixel colour) {
    if (target.Identity()) return DrawCaptionGlyph(target.Device(), glyph, x, y, colour);
    CaptionGlyphOn(TSurfaceTarget{target}, glyph, x, y, colour);
}

void DrawFocusFrame(const TPixelView& target, const TRect& r, TPixel colour) {
    if (r.IsEmpty()) return;
    auto dot = [&](int x, int y) {
        if (((x - r.Left) + (y - r.Top)) % 2 == 0 && target.Contains(x, y)) target.At(x, y) = colour;
    };
    for (int x = r.Left; x < r.Right; ++x) {
        dot(x, r.Top);
        dot(x, r.Bottom - 1);
    }
    for (int y = r.Top; y < r.Bottom; ++y) {
        dot(r.Left, y);
        dot(r.Right - 1, y);
    }
}

}  // namespace zv
