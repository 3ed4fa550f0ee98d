// Composition rules: layout choice, target geometry, nine-part, three-part,
// client-rect stretch and the frame strips.
#include "skinui/paint/SkinPaint.h"

#include <algorithm>
#include <cstdint>

#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/SkinSurface.h"

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
                     TStretchFlags stretch, const TFrameStripSurfaces& strips) {
    if (!Sane(source) || !Sane(dest)) return;
    const int sw = picture.Width, sh = picture.Height;
    const TPoint lt = source.LeftTop, rt = source.RightTop, lb = source.LeftBottom, rb = source.RightBottom;
    const TRect cl = source.ClientRect;
    const TPoint lt2 = dest.LeftTop, rt2 = dest.RightTop, lb2 = dest.LeftBottom, rb2 = dest.RightBottom;

    // Top strip.
    if (const TSkinSurface& out = strips.Top; !out.Device().Empty()) {
        const int w = out.Width(), ht = out.Height();
        if (stretch.Top) {
            out.Stretch({lt2.X, 0, rt2.X, ht}, picture, {lt.X, 0, rt.X, ht});
        } else {
            out.Tile(picture, {lt.X, 0, rt.X, ht}, true, 0, w, 0);
        }
        out.Stretch({0, 0, lt2.X, ht}, picture, {0, 0, lt.X, ht});
        out.Stretch({rt2.X, 0, w, ht}, picture, {rt.X, 0, sw, ht});
    }

    // Bottom strip: the picture's last hb rows.
    if (const TSkinSurface& out = strips.Bottom; !out.Device().Empty()) {
        const int w = out.Width(), hb = out.Height();
        const int y0 = sh - hb;
        if (stretch.Bottom) {
            out.Stretch({lb2.X, 0, rb2.X, hb}, picture, {lb.X, y0, rb.X, sh});
        } else {
            out.Tile(picture, {lb.X, y0, rb.X, sh}, true, 0, w, 0);
        }
        out.Stretch({0, 0, lb2.X, hb}, picture, {0, y0, lb.X, sh});
        out.Stretch({rb2.X, 0, w, hb}, picture, {rb.X, y0, sw, sh});
    }

    // Side strips: their row 0 is the picture's row CL.top.
    if (const TSkinSurface& out = strips.Left; !out.Device().Empty()) {
        const int wl = out.Width(), hs = out.Height();
        if (stretch.Left) {
            out.Stretch({0, lt.Y - cl.Top, wl, hs - (cl.Bottom - lb.Y)}, picture, {0, lt.Y, wl, lb.Y});
        } else {
            out.Tile(picture, {0, lt.Y, wl, lb.Y}, false, 0, hs, 0);
        }
        if (lt.Y - cl.Top > 0) out.Stretch({0, 0, wl, lt.Y - cl.Top}, picture, {0, cl.Top, wl, lt.Y});
        if (cl.Bottom - lb.Y > 0) {
            out.Stretch({0, hs - (cl.Bottom - lb.Y), wl, hs}, picture, {0, lb.Y, wl, cl.Bottom});
        }
    }

    if (const TSkinSurface& out = strips.Right; !out.Device().Empty()) {
        const int wr = out.Width(), hs = out.Height();
        if (stretch.Right) {
            out.Stretch({0, rt.Y - cl.Top, wr, hs - (cl.Bottom - rb.Y)}, picture, {cl.Right, rt.Y, sw, rb.Y});
        } else {
            out.Tile(picture, {cl.Right, rt.Y, sw, rb.Y}, false, 0, hs, 0);
        }
        if (rt.Y - cl.Top > 0) {
            out.Stretch({0, 0, wr, rt.Y - cl.Top}, picture, {cl.Right, cl.Top, sw, rt.Y});
        }
        if (cl.Bottom - rb.Y >= 1) {
            out.Stretch({0, hs - (cl.Bottom - rb.Y), wr, hs}, picture, {cl.Right, rb.Y, sw, cl.Bottom});
        }
    }
}

void FillBlank(const TSkinSurface& target) {
    FillBlank(target.Device());
}

// One block of the client area's tiling: the client rectangle `tile`, cut
// by (cutx, cuty) at its far ends.
void ClientTile(const TSkinSurface& out, int x, int y, const TPixelView& picture, const TRect& tile, int cutx,
                int cuty) {
    out.CopyPart(x, y, picture, tile, tile.Width() - cutx, tile.Height() - cuty);
}

// The bodies of the compositions, drawing over what the target holds.
void NinePartInto(const TPixelView& picture, const TRect& skinRect, const TSkinGeometry& source,
                  const TSkinSurface& out, const TSkinGeometry& dest, bool drawClient,
                  TStretchFlags stretch) {
    const int w = out.Width(), h = out.Height();
    if (!Sane(skinRect) || !Sane(source) || !Sane(dest) || !Sane(w) || !Sane(h)) return;
    const TPoint lt = source.LeftTop, rt = source.RightTop, lb = source.LeftBottom, rb = source.RightBottom;
    const TRect cl = source.ClientRect;
    if (rb.X == lt.X || rb.Y == lt.Y || picture.Empty()) return;
    const TPoint lt2 = dest.LeftTop, rt2 = dest.RightTop, lb2 = dest.LeftBottom, rb2 = dest.RightBottom;
    const TRect cl2 = dest.ClientRect;
    const int sw = skinRect.Width(), sh = skinRect.Height();
    const TSourceOrigin src{skinRect.Left, skinRect.Top};

    // Bands.
    if (stretch.Top) {
        out.Stretch({lt2.X, 0, rt2.X, cl2.Top}, picture, src(lt.X, 0, rt.X, cl.Top));
    } else {
        out.Tile(picture, src(lt.X, 0, rt.X, cl.Top), true, lt2.X, rt2.X, 0);
    }
    if (stretch.Bottom) {
        out.Stretch({lb2.X, cl2.Bottom, rb2.X, h}, picture, src(lb.X, cl.Bottom, rb.X, sh));
    } else {
        out.Tile(picture, src(lb.X, cl.Bottom, rb.X, sh), true, lb2.X, rb2.X, cl2.Bottom);
    }
    if (stretch.Left) {
        out.Stretch({0, lt2.Y, cl2.Left, lb2.Y}, picture, src(0, lt.Y, cl.Left, lb.Y));
    } else {
        out.Tile(picture, src(0, lt.Y, cl.Left, lb.Y), false, lt2.Y, lb2.Y, 0);
    }
    if (stretch.Right) {
        out.Stretch({cl2.Right, rt2.Y, w, rb2.Y}, picture, src(cl.Right, rt.Y, sw, rb.Y));
    } else {
        out.Tile(picture, src(cl.Right, rt.Y, sw, rb.Y), false, rt2.Y, rb2.Y, cl2.Right);
    }

    // Fixed pieces, over the bands.
    out.Stretch({0, 0, lt2.X, cl2.Top}, picture, src(0, 0, lt.X, cl.Top));
    out.Stretch({0, cl2.Top, cl2.Left, lt2.Y}, picture, src(0, cl.Top, cl.Left, lt.Y));
    out.Stretch({rt2.X, 0, w, cl2.Top}, picture, src(rt.X, 0, sw, cl.Top));
    out.Stretch({cl2.Right, cl2.Top, w, rt2.Y}, picture, src(cl.Right, cl.Top, sw, rt.Y));
    out.Stretch({0, lb2.Y, cl2.Left, h}, picture, src(0, lb.Y, cl.Left, sh));
    out.Stretch({cl2.Left, cl2.Bottom, lb2.X, h}, picture, src(cl.Left, cl.Bottom, lb.X, sh));
    out.Stretch({rb2.X, cl2.Bottom, w, h}, picture, src(rb.X, cl.Bottom, sw, sh));
    out.Stretch({cl2.Right, rb2.Y, w, cl2.Bottom}, picture, src(cl.Right, rb.Y, sw, cl.Bottom));

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
            ClientTile(out, cl2.Left + cw * i, cl2.Top + ch * j, picture,
                       src(cl.Left, cl.Top, cl.Right, cl.Bottom), cutx, cuty);
        }
    }
}

void HorizontalInto(const TPixelView& picture, const TRect& r, int left, int right, const TSkinSurface& out,
                    bool stretch) {
    const int w = out.Width();
    const int h = r.Height();
    if (left != 0) out.Stretch({0, 0, left, h}, picture, {r.Left, r.Top, r.Left + left, r.Bottom});
    if (right != 0) out.Stretch({w - right, 0, w, h}, picture, {r.Right - right, r.Top, r.Right, r.Bottom});
    const TRect middle{r.Left + left, r.Top, r.Right - right, r.Bottom};
    if (middle.Width() < 1) return;  // a middle of width 0 draws nothing
    if (stretch) {
        out.Stretch({left, 0, w - right, h}, picture, middle);
    } else {
        out.Tile(picture, middle, true, left, w - right, 0);
    }
}

void VerticalInto(const TPixelView& picture, const TRect& r, int top, int bottom, const TSkinSurface& out,
                  bool stretch) {
    const int w = r.Width();
    const int h = out.Height();
    if (top != 0) out.Stretch({0, 0, w, top}, picture, {r.Left, r.Top, r.Right, r.Top + top});
    if (bottom != 0)
        out.Stretch({0, h - bottom, w, h}, picture, {r.Left, r.Bottom - bottom, r.Right, r.Bottom});
    const TRect middle{r.Left, r.Top + top, r.Right, r.Bottom - bottom};
    if (middle.Height() < 1) return;
    if (stretch) {
        out.Stretch({0, top, w, h - bottom}, picture, middle);
    } else {
        out.Tile(picture, middle, false, top, h - bottom, 0);
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
    NinePartInto(picture, skinRect, source, TSkinSurface(target.View()), dest, drawClient, stretch);
}

void ComposeNinePart(const TPixelView& picture, const TRect& skinRect, const TSkinGeometry& source,
                     const TSkinSurface& out, const TSkinGeometry& dest, bool drawClient,
                     TStretchFlags stretch) {
    FillBlank(out);
    NinePartInto(picture, skinRect, source, out, dest, drawClient, stretch);
}

void ComposeHorizontal(const TPixelView& picture, const TRect& r, int left, int right, TPixelBuffer& target,
                       int w, bool stretch) {
    if (!Sane(r) || !Sane(left) || !Sane(right) || !Sane(w)) {
        ResetTarget(target, 0, 0);
        return;
    }
    ResetTarget(target, w, r.Height());
    HorizontalInto(picture, r, left, right, TSkinSurface(target.View()), stretch);
}

void ComposeHorizontal(const TPixelView& picture, const TRect& r, int left, int right,
                       const TSkinSurface& out, bool stretch) {
    FillBlank(out);
    if (!Sane(r) || !Sane(left) || !Sane(right) || !Sane(out.Width())) return;
    HorizontalInto(picture, r, left, right, out, stretch);
}

void ComposeVertical(const TPixelView& picture, const TRect& r, int top, int bottom, TPixelBuffer& target,
                     int h, bool stretch) {
    if (!Sane(r) || !Sane(top) || !Sane(bottom) || !Sane(h)) {
        ResetTarget(target, 0, 0);
        return;
    }
    ResetTarget(target, r.Width(), h);
    VerticalInto(picture, r, top, bottom, TSkinSurface(target.View()), stretch);
}

void ComposeVertical(const TPixelView& picture, const TRect& r, int top, int bottom, const TSkinSurface& out,
                     bool stretch) {
    FillBlank(out);
    if (!Sane(r) || !Sane(top) || !Sane(bottom) || !Sane(out.Height())) return;
    VerticalInto(picture, r, top, bottom, out, stretch);
}

void ComposeByClientRect(const TPixelView& picture, const TRect& r, const TRect& clientRect,
                         const TPixelView& target) {
    ComposeByClientRect(picture, r, clientRect, TSkinSurface(target));
}

void ComposeByClientRect(const TPixelView& picture, const TRect& r, const TRect& clientRect,
                         const TSkinSurface& target) {
    if (!Sane(r) || !Sane(clientRect)) return;
    const int sw = r.Width(), sh = r.Height();
    const int w = target.Width(), h = target.Height();
    const TRect& cl = clientRect;
    const int nR = w - (sw - cl.Right);
    const int nB = h - (sh - cl.Bottom);
    const TSourceOrigin src{r.Left, r.Top};
    target.Stretch({0, 0, cl.Left, cl.Top}, picture, src(0, 0, cl.Left, cl.Top));
    target.Stretch({cl.Left, 0, nR, cl.Top}, picture, src(cl.Left, 0, cl.Right, cl.Top));
    target.Stretch({nR, 0, w, cl.Top}, picture, src(cl.Right, 0, sw, cl.Top));
    target.Stretch({nR, cl.Top, w, nB}, picture, src(cl.Right, cl.Top, sw, cl.Bottom));
    target.Stretch({nR, nB, w, h}, picture, src(cl.Right, cl.Bottom, sw, sh));
    target.Stretch({cl.Left, nB, nR, h}, picture, src(cl.Left, cl.Bottom, cl.Right, sh));
    target.Stretch({0, nB, cl.Left, h}, picture, src(0, cl.Bottom, cl.Left, sh));
    target.Stretch({0, cl.Top, cl.Left, nB}, picture, src(0, cl.Top, cl.Left, cl.Bottom));
    target.Stretch({cl.Left, cl.Top, nR, nB}, picture, src(cl.Left, cl.Top, cl.Right, cl.Bottom));
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
                    {TSkinSurface(strips.Top.View()), TSkinSurface(strips.Bottom.View()),
                     TSkinSurface(strips.Left.View()), TSkinSurface(strips.Right.View())});
}

void ComposeFrameStrips(const TPixelView& picture, const TSkinGeometry& source, const TSkinGeometry& dest,
                        TStretchFlags stretch, const TFrameStripViews& strips) {
    ComposeFrameStrips(picture, source, dest, stretch,
                       {TSkinSurface(strips.Top), TSkinSurface(strips.Bottom), TSkinSurface(strips.Left),
                        TSkinSurface(strips.Right)});
}

void ComposeFrameStrips(const TPixelView& picture, const TSkinGeometry& source, const TSkinGeometry& dest,
                        TStretchFlags stretch, const TFrameStripSurfaces& strips) {
    // Every strip starts white, like every target the rules size.
    for (const TSkinSurface* v : {&strips.Top, &strips.Bottom, &strips.Left, &strips.Right})
        if (!v->Device().Empty()) FillBlank(*v);
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
    switch (GetSkinLayout(element)) {
        case TSkinLayout::None: ResetTarget(target, t.Width, t.Height); break;
        case TSkinLayout::Fixed:
            ResetTarget(target, t.Width, t.Height);
            CopyBlock(target.View(), 0, 0, picture, element.SkinRect);
            break;
        case TSkinLayout::NinePart:
            ComposeNinePart(picture, element.SkinRect, element.Geometry, target, t.Width, t.Height,
                            t.Geometry, true, {});
            break;
        case TSkinLayout::Horizontal:
            ComposeHorizontal(picture, element.SkinRect, element.Geometry.LeftTop.X,
                              element.SkinRect.Width() - element.Geometry.RightTop.X, target, t.Width,
                              element.StretchEffect);
            break;
        case TSkinLayout::Vertical:
            ComposeVertical(picture, element.SkinRect, element.Geometry.LeftTop.Y,
                            element.SkinRect.Height() - element.Geometry.LeftBottom.Y, target, t.Height,
                            element.StretchEffect);
            break;
    }
}

void DrawSkinElement(const TPixelView& picture, const TSkinElementGeometry& element,
                     const TSkinSurface& out) {
    const TSkinTarget t = CalcSkinTarget(element, out.Width(), out.Height());
    const TRect& sr = element.SkinRect;
    const TSkinGeometry& g = element.Geometry;
    FillBlank(out);
    switch (GetSkinLayout(element)) {
        case TSkinLayout::None: break;
        case TSkinLayout::Fixed: out.Copy(0, 0, picture, sr); break;
        case TSkinLayout::NinePart: NinePartInto(picture, sr, g, out, t.Geometry, true, {}); break;
        case TSkinLayout::Horizontal:
            if (Sane(sr) && Sane(out.Width()))
                HorizontalInto(picture, sr, g.LeftTop.X, sr.Width() - g.RightTop.X, out,
                               element.StretchEffect);
            break;
        case TSkinLayout::Vertical:
            if (Sane(sr) && Sane(out.Height()))
                VerticalInto(picture, sr, g.LeftTop.Y, sr.Height() - g.LeftBottom.Y, out,
                             element.StretchEffect);
            break;
    }
}

}  // namespace zv
