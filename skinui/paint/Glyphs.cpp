#include "skinui/paint/Glyphs.h"

#include <cstdlib>

namespace zv {

namespace {

void Plot(const TPixelView& target, int x, int y, TPixel colour) {
    if (target.Contains(x, y)) target.At(x, y) = colour;
}

}  // namespace

void DrawLine(const TPixelView& target, int x0, int y0, int x1, int y1, TPixel colour) {
    if (target.Empty()) return;
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0, y = y0;
    // The end point belongs to the next segment, as with the platform's pen.
    while (x != x1 || y != y1) {
        Plot(target, x, y, colour);
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

void FillRectClipped(const TPixelView& target, const TRect& r, TPixel colour) {
    const TRect c = IntersectRect(r, target.Bounds());
    if (target.Empty() || c.IsEmpty()) return;
    for (int y = c.Top; y < c.Bottom; ++y) {
        TPixel* row = target.Row(y);
        for (int x = c.Left; x < c.Right; ++x) row[x] = colour;
    }
}

void DrawRectOutline(const TPixelView& target, const TRect& r, TPixel colour) {
    if (r.IsEmpty()) return;
    FillRectClipped(target, {r.Left, r.Top, r.Right, r.Top + 1}, colour);
    FillRectClipped(target, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, colour);
    FillRectClipped(target, {r.Left, r.Top, r.Left + 1, r.Bottom}, colour);
    FillRectClipped(target, {r.Right - 1, r.Top, r.Right, r.Bottom}, colour);
}

void DrawGlyphFrame(const TPixelView& target, int x, int y, int frame, int count, const TPixelView& glyph) {
    if (glyph.Empty() || target.Empty() || count < 1 || frame < 1 || frame > count) return;
    const int fw = glyph.Width / count;
    if (fw < 1) return;
    const int left = fw * (frame - 1);
    const TPixel transparent = PixelRGB(glyph.At(left, glyph.Height - 1));
    for (int gy = 0; gy < glyph.Height; ++gy) {
        const TPixel* row = glyph.Row(gy);
        for (int gx = 0; gx < fw; ++gx) {
            const TPixel p = row[left + gx];
            if (PixelRGB(p) != transparent) Plot(target, x + gx, y + gy, p);
        }
    }
}

void DrawArrow(const TPixelView& target, const TRect& r, TPixel colour, int direction) {
    const int cx = r.Left + r.Width() / 2;
    const int cy = r.Top + r.Height() / 2;
    switch (direction) {
        case 1:
            for (int i = 0; i <= 3; ++i) DrawLine(target, cx - 2 + i, cy - i, cx - 2 + i, cy + i + 1, colour);
            break;
        case 2:
            for (int n = 3; n >= 0; --n) DrawLine(target, cx + 2 - n, cy + n, cx + 2 - n, cy - n - 1, colour);
            break;
        case 3:
            for (int i = 0; i <= 3; ++i) DrawLine(target, cx - i, cy - 2 + i, cx + i + 1, cy - 2 + i, colour);
            break;
        case 4:
            for (int n = 3; n >= 0; --n) DrawLine(target, cx - n, cy + 2 - n, cx + n + 1, cy + 2 - n, colour);
            break;
        default: break;
    }
}

void DrawCheckMark(const TPixelView& target, int x, int y, TPixel colour) {
    for (int i = 0; i <= 2; ++i) {
        DrawLine(target, x, y + 5 - i, x + 2, y + 7 - i, colour);
        DrawLine(target, x + 2, y + 7 - i, x + 7, y + 2 - i, colour);
    }
}

void DrawCaptionGlyph(const TPixelView& target, TCaptionGlyph glyph, int x, int y, TPixel colour) {
    switch (glyph) {
        case TCaptionGlyph::Cross:
            DrawLine(target, x + 1, y + 1, x + 9, y + 9, colour);
            DrawLine(target, x + 9, y + 1, x + 1, y + 9, colour);
            DrawLine(target, x + 2, y + 1, x + 10, y + 9, colour);
            DrawLine(target, x + 8, y + 1, x, y + 9, colour);
            break;
        case TCaptionGlyph::Bar: DrawRectOutline(target, {x + 1, y + 3, x + 9, y + 6}, colour); break;
        case TCaptionGlyph::Underline:
            DrawLine(target, x + 1, y + 8, x + 9, y + 8, colour);
            DrawLine(target, x + 1, y + 9, x + 9, y + 9, colour);
            break;
        case TCaptionGlyph::Box:
            DrawRectOutline(target, {x, y, x + 11, y + 10}, colour);
            DrawRectOutline(target, {x, y, x + 11, y + 2}, colour);
            break;
        case TCaptionGlyph::TwoBoxes:
            DrawRectOutline(target, {x + 2, y, x + 10, y + 6}, colour);
            DrawRectOutline(target, {x + 2, y, x + 10, y + 2}, colour);
            DrawRectOutline(target, {x, y + 4, x + 7, y + 10}, colour);
            DrawRectOutline(target, {x, y + 4, x + 7, y + 6}, colour);
            break;
        case TCaptionGlyph::DownTriangle:
            for (int i = 0; i <= 4; ++i) DrawLine(target, x + 5 - i, y + 6 - i, x + 5 + i, y + 6 - i, colour);
            break;
        case TCaptionGlyph::UpTriangle:
            for (int i = 0; i <= 4; ++i) DrawLine(target, x + 5 - i, y + 2 + i, x + 5 + i, y + 2 + i, colour);
            break;
        case TCaptionGlyph::Square: FillRectClipped(target, {x + 2, y + 2, x + 7, y + 7}, colour); break;
    }
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
