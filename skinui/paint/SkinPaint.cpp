// Composition rules: layout choice, target geometry, nine-part, three-part,
// client-rect stretch and the frame strips.
#include "skinui/paint/SkinPaint.h"

#include <algorithm>
#include <cstdint>

#include "skinui/paint/BlockTransfer.h"

namespace zv {

namespace {

// Targets start white: pixels that no rule reaches must never read as black,
// because the strips of a mask turn black pixels into window region.
constexpr TPixel kBlank = MakePixel(255, 255, 255);

void ResetTarget(TPixelBuffer& target, int w, int h) {
    target.SetSize(std::max(w, 0), std::max(h, 0), kBlank);
}

void FillBlank(const TPixelView& target) {
    for (int y = 0; y < target.Height; ++y) std::fill_n(target.Row(y), target.Width, kBlank);
}

// Skin values come from a description that may be damaged: anything beyond
// this magnitude draws nothing, which keeps every sum below in range.
constexpr int kCoordinateLimit = 1 << 28;

bool Sane(int v) {
    return v > -kCoordinateLimit && v < kCoordinateLimit;
}
bool Sane(const TPoint& p) {
    return Sane(p.X) && Sane(p.Y);
}
bool Sane(const TRect& r) {
    return Sane(r.Left) && Sane(r.Top) && Sane(r.Right) && Sane(r.Bottom);
}
bool Sane(const TSkinGeometry& g) {
    return Sane(g.ClientRect) && Sane(g.LeftTop) && Sane(g.RightTop) && Sane(g.LeftBottom) &&
           Sane(g.RightBottom);
}

// Sums of skin values and size changes saturate (far beyond what Sane
// accepts) instead of overflowing.
int AddClamped(int a, int b) {
    const std::int64_t v = static_cast<std::int64_t>(a) + b;
    return static_cast<int>(std::clamp<std::int64_t>(v, -(std::int64_t{1} << 30), std::int64_t{1} << 30));
}

// Source rectangles are written in skin-rectangle coordinates and moved by
// the skin rectangle's origin here.
struct TSourceOrigin {
    int X;
    int Y;
    [[nodiscard]] TRect operator()(int l, int t, int r, int b) const { return {l + X, t + Y, r + X, b + Y}; }
};

// The strips' pictures over the white targets.
void DrawFrameStrips(const TPixelView& picture, const TSkinGeometry& source, const TSkinGeometry& dest,
                     TStretchFlags stretch, const TFrameStripViews& strips) {
    if (!Sane(source) || !Sane(dest)) return;
    const int sw = picture.Width, sh = picture.Height;
    const TPoint lt = source.LeftTop, rt = source.RightTop, lb = source.LeftBottom, rb = source.RightBottom;
    const TRect cl = source.ClientRect;
    const TPoint lt2 = dest.LeftTop, rt2 = dest.RightTop, lb2 = dest.LeftBottom, rb2 = dest.RightBottom;

    // Top strip.
    if (const TPixelView& out = strips.Top; !out.Empty()) {
        const int w = out.Width, ht = out.Height;
        if (stretch.Top) {
            StretchBlock(out, {lt2.X, 0, rt2.X, ht}, picture, {lt.X, 0, rt.X, ht});
        } else {
            TileBand(out, picture, {lt.X, 0, rt.X, ht}, true, 0, w, 0);
        }
        StretchBlock(out, {0, 0, lt2.X, ht}, picture, {0, 0, lt.X, ht});
        StretchBlock(out, {rt2.X, 0, w, ht}, picture, {rt.X, 0, sw, ht});
    }

    // Bottom strip: the picture's last hb rows.
    if (const TPixelView& out = strips.Bottom; !out.Empty()) {
        const int w = out.Width, hb = out.Height;
        const int y0 = sh - hb;
        if (stretch.Bottom) {
            StretchBlock(out, {lb2.X, 0, rb2.X, hb}, picture, {lb.X, y0, rb.X, sh});
        } else {
            TileBand(out, picture, {lb.X, y0, rb.X, sh}, true, 0, w, 0);
        }
        StretchBlock(out, {0, 0, lb2.X, hb}, picture, {0, y0, lb.X, sh});
        StretchBlock(out, {rb2.X, 0, w, hb}, picture, {rb.X, y0, sw, sh});
    }

    // Side strips: their row 0 is the picture's row CL.top.
    if (const TPixelView& out = strips.Left; !out.Empty()) {
        const int wl = out.Width, hs = out.Height;
        if (stretch.Left) {
            StretchBlock(out, {0, lt.Y - cl.Top, wl, hs - (cl.Bottom - lb.Y)}, picture, {0, lt.Y, wl, lb.Y});
        } else {
            TileBand(out, picture, {0, lt.Y, wl, lb.Y}, false, 0, hs, 0);
        }
        if (lt.Y - cl.Top > 0) StretchBlock(out, {0, 0, wl, lt.Y - cl.Top}, picture, {0, cl.Top, wl, lt.Y});
        if (cl.Bottom - lb.Y > 0) {
            StretchBlock(out, {0, hs - (cl.Bottom - lb.Y), wl, hs}, picture, {0, lb.Y, wl, cl.Bottom});
        }
    }

    if (const TPixelView& out = strips.Right; !out.Empty()) {
        const int wr = out.Width, hs = out.Height;
        if (stretch.Right) {
            StretchBlock(out, {0, rt.Y - cl.Top, wr, hs - (cl.Bottom - rb.Y)}, picture,
                         {cl.Right, rt.Y, sw, rb.Y});
        } else {
            TileBand(out, picture, {cl.Right, rt.Y, sw, rb.Y}, false, 0, hs, 0);
        }
        if (rt.Y - cl.Top > 0) {
            StretchBlock(out, {0, 0, wr, rt.Y - cl.Top}, picture, {cl.Right, cl.Top, sw, rt.Y});
        }
        if (cl.Bottom - rb.Y >= 1) {
            StretchBlock(out, {0, hs - (cl.Bottom - rb.Y), wr, hs}, picture, {cl.Right, rb.Y, sw, cl.Bottom});
        }
    }
}

}  // namespace

TSkinLayout GetSkinLayout(const TSkinElementGeometry& element) {
    const TSkinGeometry& g = element.Geometry;
    if (element.SkinRect.IsEmpty()) return TSkinLayout::None;
    if (g.RightBottom.X != 0 && g.RightBottom.Y != 0) return TSkinLayout::NinePart;
    if (g.RightTop.X != 0 || g.RightTop.Y != 0) return TSkinLayout::Horizontal;
    if (g.LeftBottom.X != 0 || g.LeftBottom.Y != 0) return TSkinLayout::Vertical;
    return TSkinLayout::Fixed;
}

TSkinGeometry ResizeSkinGeometry(const TSkinGeometry& g, int dW, int dH) {
    TSkinGeometry r = g;
    r.RightTop.X = AddClamped(r.RightTop.X, dW);
    r.LeftBottom.Y = AddClamped(r.LeftBottom.Y, dH);
    r.RightBottom.X = AddClamped(r.RightBottom.X, dW);
    r.RightBottom.Y = AddClamped(r.RightBottom.Y, dH);
    r.ClientRect.Right = AddClamped(r.ClientRect.Right, dW);
    r.ClientRect.Bottom = AddClamped(r.ClientRect.Bottom, dH);
    return r;
}

TRect MapSkinRect(const TRect& r, const TSkinGeometry& g, int sw, int sh, int dW, int dH,
                  TZoneEdges spanEdges) {
    enum { TL, TR, BL, BR };
    const TRect zones[4] = {{0, 0, g.LeftTop.X, g.LeftTop.Y},
                            {g.RightTop.X, 0, sw, g.RightTop.Y},
                            {0, g.LeftBottom.Y, g.LeftBottom.X, sh},
                            {g.RightBottom.X, g.RightBottom.Y, sw, sh}};
    const TPoint a = r.TopLeft();
    const TPoint b = r.BottomRight();
    auto moved = [&r](int x, int y) {
        return TRect{AddClamped(r.Left, x), AddClamped(r.Top, y), AddClamped(r.Right, x),
                     AddClamped(r.Bottom, y)};
    };
    const TPoint moves[4] = {{0, 0}, {dW, 0}, {0, dH}, {dW, dH}};
    for (int i = 0; i < 4; ++i)
        if (zones[i].Contains(a) && zones[i].Contains(b)) return moved(moves[i].X, moves[i].Y);
    auto in = [&](int zone, TPoint p) {
        const TRect& z = zones[zone];
        if (spanEdges == TZoneEdges::Excluded) return z.Contains(p);
        return p.X >= z.Left && p.X <= z.Right && p.Y >= z.Top && p.Y <= z.Bottom;
    };
    if (in(TL, a) && in(BR, b)) return {r.Left, r.Top, AddClamped(r.Right, dW), AddClamped(r.Bottom, dH)};
    if (in(TL, a) && in(TR, b)) return {r.Left, r.Top, AddClamped(r.Right, dW), r.Bottom};
    if (in(BL, a) && in(BR, b))
        return {r.Left, AddClamped(r.Top, dH), AddClamped(r.Right, dW), AddClamped(r.Bottom, dH)};
    if (in(TL, a) && in(BL, b)) return {r.Left, r.Top, r.Right, AddClamped(r.Bottom, dH)};
    if (in(TR, a) && in(BR, b))
        return {AddClamped(r.Left, dW), r.Top, AddClamped(r.Right, dW), AddClamped(r.Bottom, dH)};
    return r;
}

TSkinTarget CalcSkinTarget(const TSkinElementGeometry& element, int width, int height) {
    const int sw = element.SkinRect.Width();
    const int sh = element.SkinRect.Height();
    TSkinTarget t{std::max(width, 0), std::max(height, 0), element.Geometry};
    switch (GetSkinLayout(element)) {
        case TSkinLayout::None: break;
        case TSkinLayout::Fixed:
            t.Width = sw;
            t.Height = sh;
            break;
        case TSkinLayout::NinePart:
            t.Geometry = ResizeSkinGeometry(element.Geometry, t.Width - sw, t.Height - sh);
            break;
        case TSkinLayout::Horizontal: {
            t.Height = sh;
            const int dW = t.Width - sw;
            t.Geometry.RightTop.X = AddClamped(t.Geometry.RightTop.X, dW);
            t.Geometry.ClientRect.Right = AddClamped(t.Geometry.ClientRect.Right, dW);
            break;
        }
        case TSkinLayout::Vertical: {
            t.Width = sw;
            const int dH = t.Height - sh;
            t.Geometry.LeftBottom.Y = AddClamped(t.Geometry.LeftBottom.Y, dH);
            t.Geometry.ClientRect.Bottom = AddClamped(t.Geometry.ClientRect.Bottom, dH);
            break;
        }
    }
    return t;
}

void ComposeNinePart(const TPixelView& picture, const TRect& skinRect, const TSkinGeometry& source,
                     TPixelBuffer& target, int w, int h, const TSkinGeometry& dest, bool drawClient,
                     TStretchFlags stretch) {
    ResetTarget(target, w, h);
    if (!Sane(skinRect) || !Sane(source) || !Sane(dest) || !Sane(w) || !Sane(h)) return;
    const TPoint lt = source.LeftTop, rt = source.RightTop, lb = source.LeftBottom, rb = source.RightBottom;
    const TRect cl = source.ClientRect;
    if (rb.X == lt.X || rb.Y == lt.Y || picture.Empty()) return;
    const TPoint lt2 = dest.LeftTop, rt2 = dest.RightTop, lb2 = dest.LeftBottom, rb2 = dest.RightBottom;
    const TRect cl2 = dest.ClientRect;
    const int sw = skinRect.Width(), sh = skinRect.Height();
    const TSourceOrigin src{skinRect.Left, skinRect.Top};
    TPixelView out = target.View();

    // Bands.
    if (stretch.Top) {
        StretchBlock(out, {lt2.X, 0, rt2.X, cl2.Top}, picture, src(lt.X, 0, rt.X, cl.Top));
    } else {
        TileBand(out, picture, src(lt.X, 0, rt.X, cl.Top), true, lt2.X, rt2.X, 0);
    }
    if (stretch.Bottom) {
        StretchBlock(out, {lb2.X, cl2.Bottom, rb2.X, h}, picture, src(lb.X, cl.Bottom, rb.X, sh));
    } else {
        TileBand(out, picture, src(lb.X, cl.Bottom, rb.X, sh), true, lb2.X, rb2.X, cl2.Bottom);
    }
    if (stretch.Left) {
        StretchBlock(out, {0, lt2.Y, cl2.Left, lb2.Y}, picture, src(0, lt.Y, cl.Left, lb.Y));
    } else {
        TileBand(out, picture, src(0, lt.Y, cl.Left, lb.Y), false, lt2.Y, lb2.Y, 0);
    }
    if (stretch.Right) {
        StretchBlock(out, {cl2.Right, rt2.Y, w, rb2.Y}, picture, src(cl.Right, rt.Y, sw, rb.Y));
    } else {
        TileBand(out, picture, src(cl.Right, rt.Y, sw, rb.Y), false, rt2.Y, rb2.Y, cl2.Right);
    }

    // Fixed pieces, over the bands.
    StretchBlock(out, {0, 0, lt2.X, cl2.Top}, picture, src(0, 0, lt.X, cl.Top));
    StretchBlock(out, {0, cl2.Top, cl2.Left, lt2.Y}, picture, src(0, cl.Top, cl.Left, lt.Y));
    StretchBlock(out, {rt2.X, 0, w, cl2.Top}, picture, src(rt.X, 0, sw, cl.Top));
    StretchBlock(out, {cl2.Right, cl2.Top, w, rt2.Y}, picture, src(cl.Right, cl.Top, sw, rt.Y));
    StretchBlock(out, {0, lb2.Y, cl2.Left, h}, picture, src(0, lb.Y, cl.Left, sh));
    StretchBlock(out, {cl2.Left, cl2.Bottom, lb2.X, h}, picture, src(cl.Left, cl.Bottom, lb.X, sh));
    StretchBlock(out, {rb2.X, cl2.Bottom, w, h}, picture, src(rb.X, cl.Bottom, sw, sh));
    StretchBlock(out, {cl2.Right, rb2.Y, w, cl2.Bottom}, picture, src(cl.Right, rb.Y, sw, cl.Bottom));

    if (!drawClient) return;
    // The client area is tiled as a block from CL''s top-left corner.
    const int cw = cl.Width(), ch = cl.Height(), cw2 = cl2.Width(), ch2 = cl2.Height();
    if (cw < 1 || ch < 1) return;
    const int columns = cw2 / cw, rows = ch2 / ch;
    if (columns < 0 || rows < 0) return;
    // Tiles past the target's right or bottom edge would draw nothing.
    for (int i = 0; i <= columns && cl2.Left + cw * i < w; ++i) {
        const int cutx = std::max(cw * (i + 1) - cw2, 0);
        for (int j = 0; j <= rows && cl2.Top + ch * j < h; ++j) {
            const int cuty = std::max(ch * (j + 1) - ch2, 0);
            CopyBlock(out, cl2.Left + cw * i, cl2.Top + ch * j, picture,
                      src(cl.Left, cl.Top, cl.Right - cutx, cl.Bottom - cuty));
        }
    }
}

void ComposeHorizontal(const TPixelView& picture, const TRect& r, int left, int right, TPixelBuffer& target,
                       int w, bool stretch) {
    if (!Sane(r) || !Sane(left) || !Sane(right) || !Sane(w)) {
        ResetTarget(target, 0, 0);
        return;
    }
    const int h = r.Height();
    ResetTarget(target, w, h);
    TPixelView out = target.View();
    if (left != 0) StretchBlock(out, {0, 0, left, h}, picture, {r.Left, r.Top, r.Left + left, r.Bottom});
    if (right != 0)
        StretchBlock(out, {w - right, 0, w, h}, picture, {r.Right - right, r.Top, r.Right, r.Bottom});
    const TRect middle{r.Left + left, r.Top, r.Right - right, r.Bottom};
    if (middle.Width() < 1) return;  // a middle of width 0 draws nothing
    if (stretch) {
        StretchBlock(out, {left, 0, w - right, h}, picture, middle);
    } else {
        TileBand(out, picture, middle, true, left, w - right, 0);
    }
}

void ComposeVertical(const TPixelView& picture, const TRect& r, int top, int bottom, TPixelBuffer& target,
                     int h, bool stretch) {
    if (!Sane(r) || !Sane(top) || !Sane(bottom) || !Sane(h)) {
        ResetTarget(target, 0, 0);
        return;
    }
    const int w = r.Width();
    ResetTarget(target, w, h);
    TPixelView out = target.View();
    if (top != 0) StretchBlock(out, {0, 0, w, top}, picture, {r.Left, r.Top, r.Right, r.Top + top});
    if (bottom != 0)
        StretchBlock(out, {0, h - bottom, w, h}, picture, {r.Left, r.Bottom - bottom, r.Right, r.Bottom});
    const TRect middle{r.Left, r.Top + top, r.Right, r.Bottom - bottom};
    if (middle.Height() < 1) return;
    if (stretch) {
        StretchBlock(out, {0, top, w, h - bottom}, picture, middle);
    } else {
        TileBand(out, picture, middle, false, top, h - bottom, 0);
    }
}

void ComposeByClientRect(const TPixelView& picture, const TRect& r, const TRect& clientRect,
                         const TPixelView& target) {
    if (!Sane(r) || !Sane(clientRect)) return;
    const int sw = r.Width(), sh = r.Height();
    const int w = target.Width, h = target.Height;
    const TRect& cl = clientRect;
    const int nR = w - (sw - cl.Right);
    const int nB = h - (sh - cl.Bottom);
    const TSourceOrigin src{r.Left, r.Top};
    StretchBlock(target, {0, 0, cl.Left, cl.Top}, picture, src(0, 0, cl.Left, cl.Top));
    StretchBlock(target, {cl.Left, 0, nR, cl.Top}, picture, src(cl.Left, 0, cl.Right, cl.Top));
    StretchBlock(target, {nR, 0, w, cl.Top}, picture, src(cl.Right, 0, sw, cl.Top));
    StretchBlock(target, {nR, cl.Top, w, nB}, picture, src(cl.Right, cl.Top, sw, cl.Bottom));
    StretchBlock(target, {nR, nB, w, h}, picture, src(cl.Right, cl.Bottom, sw, sh));
    StretchBlock(target, {cl.Left, nB, nR, h}, picture, src(cl.Left, cl.Bottom, cl.Right, sh));
    StretchBlock(target, {0, nB, cl.Left, h}, picture, src(0, cl.Bottom, cl.Left, sh));
    StretchBlock(target, {0, cl.Top, cl.Left, nB}, picture, src(0, cl.Top, cl.Left, cl.Bottom));
    StretchBlock(target, {cl.Left, cl.Top, nR, nB}, picture, src(cl.Left, cl.Top, cl.Right, cl.Bottom));
}

TFrameStripSizes FrameStripSizes(const TSkinGeometry& source, const TSkinGeometry& dest, int w, int h) {
    TFrameStripSizes sizes;
    if (!Sane(source) || !Sane(dest) || !Sane(w) || !Sane(h)) return sizes;
    const TPoint lt = source.LeftTop, rt = source.RightTop, lb = source.LeftBottom, rb = source.RightBottom;
    const TRect cl2 = dest.ClientRect;
    if (w > 0 && cl2.Top > 0 && rt.X - lt.X > 0) sizes.Top = {w, cl2.Top};
    const int hb = h - cl2.Bottom;
    if (w > 0 && hb > 0 && rb.X - lb.X > 0) sizes.Bottom = {w, hb};
    // Side strips span the height between the top and bottom strips.
    const int hs = h - sizes.Bottom.cy - sizes.Top.cy;
    if (cl2.Left > 0 && hs > 0 && lb.Y - lt.Y > 0) sizes.Left = {cl2.Left, hs};
    const int wr = w - cl2.Right;
    if (wr >= 1 && hs >= 1 && rb.Y - rt.Y >= 1) sizes.Right = {wr, hs};
    return sizes;
}

void ComposeFrameStrips(const TPixelView& picture, const TSkinGeometry& source, const TSkinGeometry& dest,
                        int w, int h, TStretchFlags stretch, TFrameStrips& strips) {
    const TFrameStripSizes sizes = FrameStripSizes(source, dest, w, h);
    ResetTarget(strips.Top, sizes.Top.cx, sizes.Top.cy);
    ResetTarget(strips.Bottom, sizes.Bottom.cx, sizes.Bottom.cy);
    ResetTarget(strips.Left, sizes.Left.cx, sizes.Left.cy);
    ResetTarget(strips.Right, sizes.Right.cx, sizes.Right.cy);
    DrawFrameStrips(picture, source, dest, stretch,
                    {strips.Top.View(), strips.Bottom.View(), strips.Left.View(), strips.Right.View()});
}

void ComposeFrameStrips(const TPixelView& picture, const TSkinGeometry& source, const TSkinGeometry& dest,
                        TStretchFlags stretch, const TFrameStripViews& strips) {
    // Every strip starts white, like every target the rules size.
    for (const TPixelView* v : {&strips.Top, &strips.Bottom, &strips.Left, &strips.Right})
        if (!v->Empty()) FillBlank(*v);
    DrawFrameStrips(picture, source, dest, stretch, strips);
}


void ComposeTiledStrips(const TPixelView& picture, const TSkinGeometry& source, const TSkinGeometry& dest,
                        int w, TFrameStrips& strips) {
    if (!Sane(source) || !Sane(dest) || !Sane(w)) {
        strips = TFrameStrips{};
        return;
    }
    const int pw = picture.Width, ph = picture.Height;
    const TPoint lt = source.LeftTop, rt = source.RightTop, lb = source.LeftBottom, rb = source.RightBottom;
    const TRect cl = source.ClientRect;
    const TPoint lt2 = dest.LeftTop, rt2 = dest.RightTop, lb2 = dest.LeftBottom, rb2 = dest.RightBottom;
    const int h = dest.ClientRect.Height();

    if (cl.Left > 0 && h > 0) {
        ResetTarget(strips.Left, cl.Left, h);
        TPixelView out = strips.Left.View();
        if (lb.Y != lt.Y) TileBand(out, picture, {0, lt.Y, cl.Left, lb.Y}, false, 0, h, 0);
        if (lt.Y - cl.Top > 0) CopyBlock(out, 0, 0, picture, {0, cl.Top, cl.Left, lt.Y});
        if (cl.Bottom - lb.Y > 0)
            CopyBlock(out, 0, h - (cl.Bottom - lb.Y), picture, {0, lb.Y, cl.Left, cl.Bottom});
    } else {
        ResetTarget(strips.Left, 0, 0);
    }

    const int wr = pw - cl.Right;
    if (wr > 0 && h > 0) {
        ResetTarget(strips.Right, wr, h);
        TPixelView out = strips.Right.View();
        if (rb.Y != rt.Y) TileBand(out, picture, {cl.Right, rt.Y, pw, rb.Y}, false, 0, h, 0);
        if (rt.Y - cl.Top > 0) CopyBlock(out, 0, 0, picture, {cl.Right, cl.Top, pw, rt.Y});
        if (cl.Bottom - rb.Y > 0)
            CopyBlock(out, 0, h - (cl.Bottom - rb.Y), picture, {cl.Right, rb.Y, pw, cl.Bottom});
    } else {
        ResetTarget(strips.Right, 0, 0);
    }

    if (w > 0 && cl.Top > 0) {
        ResetTarget(strips.Top, w, cl.Top);
        TPixelView out = strips.Top.View();
        if (rt.X != lt.X) TileBand(out, picture, {lt.X, 0, rt.X, cl.Top}, true, lt2.X, rt2.X, 0);
        CopyBlock(out, 0, 0, picture, {0, 0, lt.X, cl.Top});
        StretchBlock(out, {rt2.X, 0, w, cl.Top}, picture, {rt.X, 0, pw, cl.Top});
    } else {
        ResetTarget(strips.Top, 0, 0);
    }

    const int hb = ph - cl.Bottom;
    if (w >= 1 && hb >= 1) {
        ResetTarget(strips.Bottom, w, hb);
        TPixelView out = strips.Bottom.View();
        if (rb.X != lb.X) TileBand(out, picture, {lb.X, cl.Bottom, rb.X, ph}, true, lb2.X, rb2.X, 0);
        CopyBlock(out, 0, 0, picture, {0, cl.Bottom, lb.X, ph});
        StretchBlock(out, {rb2.X, 0, w, hb}, picture, {rb.X, cl.Bottom, pw, ph});
    } else {
        ResetTarget(strips.Bottom, 0, 0);
    }
}

void DrawSkinElement(const TPixelView& picture, const TSkinElementGeometry& element, TPixelBuffer& target,
                     int w, int h) {
    const TSkinTarget t = CalcSkinTarget(element, w, h);
    const TRect& sr = element.SkinRect;
    const TSkinGeometry& g = element.Geometry;
    switch (GetSkinLayout(element)) {
        case TSkinLayout::None: ResetTarget(target, t.Width, t.Height); break;
        case TSkinLayout::Fixed:
            ResetTarget(target, t.Width, t.Height);
            CopyBlock(target.View(), 0, 0, picture, sr);
            break;
        case TSkinLayout::NinePart:
            ComposeNinePart(picture, sr, g, target, t.Width, t.Height, t.Geometry, true, {});
            break;
        case TSkinLayout::Horizontal:
            ComposeHorizontal(picture, sr, g.LeftTop.X, sr.Width() - g.RightTop.X, target, t.Width,
                              element.StretchEffect);
            break;
        case TSkinLayout::Vertical:
            ComposeVertical(picture, sr, g.LeftTop.Y, sr.Height() - g.LeftBottom.Y, target, t.Height,
                            element.StretchEffect);
            break;
    }
}

}  // namespace zv
