// Frame layout: [FORMINFO] targets, object places, the default frame, hit
// test, and the caption's fitting and text rectangle.
#include "skinui/paint/FrameLayout.h"

#include <algorithm>

#include "skinui/paint/BlockTransfer.h"

namespace zv {

namespace {

TPoint Moved(TPoint p, int dx, int dy) {
    return {p.X + dx, p.Y + dy};
}

// The order in which caption buttons fill their row, before the custom
// ("cmdefault") buttons.
constexpr TStdCommand kRowOrder[] = {TStdCommand::cmClose, TStdCommand::cmMaximize, TStdCommand::cmMinimize,
                                     TStdCommand::cmRollUp, TStdCommand::cmMinimizeToTray};

bool IsButton(const TFrameObjectEntry& o, TStdCommand command) {
    return o.Role == TFrameObjectRole::CaptionButton && o.Command == command;
}

// A caption button that takes a place in a row: visible, its look part of
// a picture (a button whose normal look is drawn by the frame picture keeps
// the place the picture gives it).
bool InRow(const TFrameObjectEntry& o, TStdCommand command) {
    return IsButton(o, command) && o.Visible && o.SkinRectInAPicture;
}

std::vector<TFrameObjectPlace> PlacesOf(const std::vector<TFrameObjectEntry>& objects) {
    std::vector<TFrameObjectPlace> places(objects.size());
    std::transform(objects.begin(), objects.end(), places.begin(), [](const TFrameObjectEntry& o) {
        return TFrameObjectPlace{o.SkinRect, o.Role == TFrameObjectRole::Caption, o.RollUp, o.Enabled,
                                 o.Visible};
    });
    return places;
}

}  // namespace

TRect TFrameLayout::MapSkinRect(const TRect& r) const {
    if (!Skinned) return r;
    return zv::MapSkinRect(r, Source, Picture.cx, Picture.cy, Width - Picture.cx, Height - Picture.cy,
                           TZoneEdges::Excluded);
}

TFrameLayout CalcFrameLayout(const TksDataSkinFormInfo& fi, TSize picture, int w, int h,
                             int defaultCaptionHeight) {
    TFrameLayout l;
    l.Skinned = true;
    l.Width = w;
    l.Height = h;
    l.Picture = picture;
    const int dx = w - picture.cx;
    const int dy = h - picture.cy;
    l.Source = {fi.ClientRect, fi.LeftTopPoint, fi.RightTopPoint, fi.LeftBottomPoint, fi.RightBottomPoint};
    l.Target = ResizeSkinGeometry(l.Source, dx, dy);
    l.ClientRect = l.Target.ClientRect;
    // Without a client rectangle the window keeps the default frame's
    // non-client sizes, and so does everything that asks where the client is.
    if (fi.ClientRect.IsEmpty())
        l.ClientRect = {3, defaultCaptionHeight + 3, std::max(3, w - 3),
                        std::max(defaultCaptionHeight + 3, h - 3)};
    l.CaptionRect = fi.CaptionRect;
    if (!l.CaptionRect.IsEmpty()) l.CaptionRect.Right += dx;
    l.ButtonsRect = fi.ButtonsRect;
    // Only a row in the picture's right half follows the right edge.
    if (!l.ButtonsRect.IsEmpty() && l.ButtonsRect.Left > picture.cx / 2)
        l.ButtonsRect = OffsetRect(l.ButtonsRect, dx, 0);
    l.HitTestLeftTop = fi.HitTestLeftTopPoint;
    l.HitTestRightTop = Moved(fi.HitTestRightTopPoint, dx, 0);
    l.HitTestLeftBottom = Moved(fi.HitTestLeftBottomPoint, 0, dy);
    l.HitTestRightBottom = Moved(fi.HitTestRightBottomPoint, dx, dy);
    l.MaskRect = fi.MaskRectArea;
    l.MaskRect.Right += dx;
    l.MaskRect.Bottom += dy;
    l.Strips = FrameStripSizes(l.Source, l.Target, w, h);
    return l;
}

void PlaceFrameObjects(TFrameLayout& layout, const TksDataSkinFormInfo& fi,
                       const std::vector<TFrameObjectEntry>& objects) {
    layout.Objects = PlacesOf(objects);
    if (!layout.Skinned) return;
    std::vector<TFrameObjectPlace>& places = layout.Objects;
    for (TFrameObjectPlace& p : places) p.Rect = layout.MapSkinRect(p.Rect);
    TRect row;
    if (!layout.ButtonsRect.IsEmpty())
        row = layout.ButtonsRect;
    else if (!layout.CaptionRect.IsEmpty())
        row = layout.CaptionRect;
    else
        return;
    const int n = static_cast<int>(objects.size());
    auto first = [&](auto&& test) {
        for (int i = 0; i < n; ++i)
            if (test(objects[static_cast<size_t>(i)])) return i;
        return -1;
    };
    std::vector<int> order;
    for (TStdCommand c : kRowOrder)
        if (const int i = first([c](const TFrameObjectEntry& o) { return InRow(o, c); }); i != -1)
            order.push_back(i);
    for (int i = 0; i < n; ++i)
        if (InRow(objects[static_cast<size_t>(i)], TStdCommand::cmDefault)) order.push_back(i);
    const int caption = first([](const TFrameObjectEntry& o) { return o.Role == TFrameObjectRole::Caption; });
    const int sysMenu = first([](const TFrameObjectEntry& o) { return InRow(o, TStdCommand::cmSysMenu); });
    auto place = [&](int i) -> TRect& { return places[static_cast<size_t>(i)].Rect; };
    auto size = [&](int i) { return objects[static_cast<size_t>(i)].ButtonSize; };
    const int offset = fi.ButtonsOffset;
    const int top = row.Top;

    if (!fi.ButtonsInLeft) {
        int x = row.Right;
        for (int i : order) {
            const TSize s = size(i);
            place(i) = {x - s.cx, top, x, top + s.cy};
            x -= s.cx + offset;
        }
        if (layout.ButtonsRect.IsEmpty() && caption != -1) place(caption).Right = x + offset;
        if (sysMenu != -1) {
            const TSize s = size(sysMenu);
            const TRect& c = layout.CaptionRect;
            const int st = c.Top + c.Height() / 2 - s.cy / 2;
            place(sysMenu) = {c.Left, st, c.Left + s.cx, st + s.cy};
            if (caption != -1) place(caption).Left = c.Left + s.cx;
        }
        return;
    }
    int x = row.Left;
    for (int i : order) {
        const TSize s = size(i);
        place(i) = {x, top, x + s.cx, top + s.cy};
        x += s.cx + offset;
    }
    if (!layout.ButtonsRect.IsEmpty()) return;
    if (sysMenu != -1) {
        const TSize s = size(sysMenu);
        place(sysMenu) = {x, top, x + s.cx, top + s.cy};
        x += s.cx + offset;
    }
    if (caption != -1) place(caption).Left = x + offset;
}

TFrameLayout CalcDefaultFrameLayout(int w, int h, int captionHeight, int buttonSize,
                                    const std::vector<TFrameObjectEntry>& objects) {
    TFrameLayout l;
    l.Width = w;
    l.Height = h;
    const int ch = captionHeight;
    const int bs = buttonSize;
    l.ClientRect = {3, ch + 3, std::max(3, w - 3), std::max(ch + 3, h - 3)};
    l.CaptionRect = {3, 3, std::max(3, w - 3), 3 + ch};
    l.Objects = PlacesOf(objects);
    const int top = 3 + (ch - bs) / 2;
    int x = w - 4;
    for (TStdCommand c : kRowOrder)
        for (size_t i = 0; i < objects.size(); ++i) {
            if (!IsButton(objects[i], c) || !objects[i].Visible) continue;
            l.Objects[i].Rect = {x - bs, top, x, top + bs};
            x -= bs + 1;
        }
    for (size_t i = 0; i < objects.size(); ++i)
        if (IsButton(objects[i], TStdCommand::cmSysMenu)) l.Objects[i].Rect = {4, top, 4 + bs, top + bs};
    return l;
}

int FindFrameObject(const TFrameLayout& layout, TPoint p) {
    for (size_t i = 0; i < layout.Objects.size(); ++i) {
        const TFrameObjectPlace& o = layout.Objects[i];
        if (!o.RollUp && o.Enabled && o.Visible && o.Rect.Contains(p)) return static_cast<int>(i);
    }
    return -1;
}

int HitTestFrame(const TFrameLayout& layout, const TFrameHitState& state, TPoint p) {
    const std::vector<TFrameObjectPlace>& objects = layout.Objects;
    const TRect& client = layout.ClientRect;
    if (!layout.Skinned) {
        if (std::any_of(objects.begin(), objects.end(), [p](const TFrameObjectPlace& o) {
                return o.Visible && o.Enabled && o.Rect.Contains(p);
            }))
            return htObject;
        if (layout.CaptionRect.Contains(p)) return htCaption;
        if (client.Contains(p)) return htClient;
        return htObject;
    }
    const bool onCaption = std::any_of(objects.begin(), objects.end(), [p](const TFrameObjectPlace& o) {
        return o.Caption && !o.RollUp && o.Rect.Contains(p);
    });
    if (state.RolledUpOrMinimized) return onCaption ? htCaption : htObject;
    if (state.ObjectHovered && !onCaption && !client.Contains(p) && !state.MovingOrSizing) return htObject;
    if (state.SizingBorder) {
        const int b = state.BorderWidth;
        const TPoint probes[4] = {{p.X - b, p.Y}, {p.X, p.Y - b}, {p.X + b, p.Y}, {p.X, p.Y + b}};
        const TRect window{0, 0, layout.Width, layout.Height};
        bool nearEdge = false;
        if (state.Mask == nullptr) {
            for (const TPoint& q : probes) nearEdge = nearEdge || !window.Contains(q);
        } else if (!layout.MaskRect.Contains(p)) {
            for (const TPoint& q : probes) nearEdge = nearEdge || !state.Mask->Contains(q.X, q.Y);
        }
        if (!nearEdge) {
            if (client.Contains(p)) return htClient;
        } else {
            const TPoint lt = layout.HitTestLeftTop, rt = layout.HitTestRightTop,
                         lb = layout.HitTestLeftBottom, rb = layout.HitTestRightBottom;
            if (p.X <= lt.X && p.Y <= lt.Y) return htTopLeft;
            if (p.X >= rt.X && p.Y <= rt.Y) return htTopRight;
            if (p.X <= lb.X && p.Y >= lb.Y) return htBottomLeft;
            if (p.X >= rb.X && p.Y >= rb.Y) return htBottomRight;
            if (TRect{lt.X, 0, rt.X, client.Top}.Contains(p)) return htTop;
            if (TRect{lb.X, client.Bottom, rb.X, layout.Height}.Contains(p)) return htBottom;
            if (TRect{0, lt.Y, client.Left, lb.Y}.Contains(p)) return htLeft;
            if (TRect{client.Right, rt.Y, layout.Width, rb.Y}.Contains(p)) return htRight;
        }
    }
    if (client.Contains(p)) return htClient;
    return onCaption ? htCaption : htObject;
}

TCaptionLayout CalcCaptionLayout(const TRect& skinRect, TSize place, const TSkinGeometry& corners) {
    TCaptionLayout l;
    const bool noFrame =
        corners.RightBottom.X == corners.LeftTop.X || corners.RightBottom.Y == corners.LeftTop.Y;
    if (place.cx == skinRect.Width() && place.cy == skinRect.Height()) {
        l.Stretched = true;
        return l;
    }
    const TPoint lt = corners.LeftTop, rt = corners.RightTop, lb = corners.LeftBottom,
                 rb = corners.RightBottom;
    const TRect& s = skinRect;
    if (s.Top <= lt.Y && s.Bottom < rt.Y) {
        l = {TCaptionLayoutKind::TopBand, lt.X - s.Left, s.Right - rt.X};
    } else if (s.Top >= lb.Y && rb.Y < s.Bottom) {
        l = {TCaptionLayoutKind::BottomBand, lb.X - s.Left, s.Right - rb.X};
    } else if (s.Top > lt.Y || lb.Y >= s.Bottom) {
        l = {TCaptionLayoutKind::RightBand, rt.Y - s.Top, s.Bottom - rb.Y};
    } else {
        l = {TCaptionLayoutKind::LeftBand, lt.Y - s.Top, s.Bottom - lb.Y};
    }
    l.Stretched = noFrame || (l.Fixed1 == 0 && l.Fixed2 == 0);
    return l;
}

TRect CaptionTextRect(const TksDataSkinCaption& caption, int placeWidth) {
    TRect tr = caption.TextRect;
    tr.Right = placeWidth + caption.TextRect.Right - caption.SkinRect.Width();
    if (!caption.FrameRect.IsEmpty()) {
        tr.Left += caption.FrameTextRect.Left;
        tr.Top += caption.FrameTextRect.Top;
        tr.Right += caption.FrameTextRect.Right - caption.FrameRect.Width();
    }
    return tr;
}

void ComposeCaptionLook(const TPixelView& target, const TPixelView& picture, const TRect& src,
                        const TCaptionLayout& layout) {
    if (picture.Empty() || src.IsEmpty() || target.Empty()) return;
    const int w = target.Width;
    const int h = target.Height;
    const int f1 = layout.Fixed1;
    const int f2 = layout.Fixed2;
    if (layout.Stretched) {
        StretchBlock(target, target.Bounds(), picture, src);
        return;
    }
    if (layout.Kind == TCaptionLayoutKind::TopBand || layout.Kind == TCaptionLayoutKind::BottomBand) {
        TileBand(target, picture, {src.Left + f1, src.Top, src.Right - f2, src.Bottom}, true, 0, w, 0);
        StretchBlock(target, {0, 0, f1, h}, picture, {src.Left, src.Top, src.Left + f1, src.Bottom});
        StretchBlock(target, {w - f2, 0, w, h}, picture, {src.Right - f2, src.Top, src.Right, src.Bottom});
    } else {
        TileBand(target, picture, {src.Left, src.Top + f1, src.Right, src.Bottom - f2}, false, 0, h, 0);
        StretchBlock(target, {0, 0, w, f1}, picture, {src.Left, src.Top, src.Right, src.Top + f1});
        StretchBlock(target, {0, h - f2, w, h}, picture, {src.Left, src.Bottom - f2, src.Right, src.Bottom});
    }
}

}  // namespace zv
