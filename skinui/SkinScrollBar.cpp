// Skinned scroll bar: range rules, drawing and input (the geometry rules
// are in skinui/paint/ControlLayout).
//
//   range rules     the setters of TksSkinScrollBar
//   skin values     LookUpSkinData / TakeBarData
//   drawing         DrawFromSkin, DrawWithoutSkin
//   input           mouse (parts, capture, drag, repeat timer), keyboard,
//                   wheel
#include "skinui/SkinScrollBar.h"

#include <algorithm>
#include <cstdint>

#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/Glyphs.h"
#include "skinui/paint/SkinPaint.h"

namespace zv {

namespace {

enum : UINT_PTR { kRepeatTimer = 1 };
constexpr UINT kFirstDelay = 500;
constexpr UINT kRepeatDelay = 50;

TPixel SysPixel(TColor c) {
    return ColorToPixel(ColorToRGB(c));
}

// Copies `src` onto `target` at (x, y), leaving out pixels of `transparent`
// when `useTransparent` is set.
void CopyPixels(const TPixelView& target, int x, int y, const TPixelView& src, bool useTransparent,
                TPixel transparent) {
    for (int sy = 0; sy < src.Height; ++sy) {
        const int ty = y + sy;
        if (ty < 0 || ty >= target.Height) continue;
        for (int sx = 0; sx < src.Width; ++sx) {
            const int tx = x + sx;
            if (tx < 0 || tx >= target.Width) continue;
            const TPixel p = src.At(sx, sy);
            if (useTransparent && PixelRGB(p) == PixelRGB(transparent)) continue;
            target.At(tx, ty) = p;
        }
    }
}

void DrawPlainPart(const TPixelView& v, const TRect& r, bool pressed, bool hot) {
    if (r.IsEmpty()) return;
    if (pressed || hot) {
        FillRectClipped(v, r, pressed ? MakePixel(133, 147, 181) : MakePixel(182, 189, 210));
        DrawRectOutline(v, r, ColorToPixel(clNavy));
    } else {
        FillRectClipped(v, r, SysPixel(clBtnFace));
        DrawRectOutline(v, r, SysPixel(clBtnShadow));
    }
}

TRect OrIfEmpty(const TRect& r, const TRect& fallback) {
    return r.IsEmpty() ? fallback : r;
}

}  // namespace

// ---- TksSkinScrollBar: properties ------------------------------------------------

TksSkinScrollBar::TksSkinScrollBar(TComponent* owner) : TksSkinCustomControl(owner) {
    m_skinDataName = "hscrollbar";
    SetTabStop(false);
    SetBounds(0, 0, 200, 19);
}

TksSkinScrollBar::~TksSkinScrollBar() {
    m_timer.Reset();
}

void TksSkinScrollBar::SetKind(TScrollBarKind value) {
    if (value == m_kind) return;
    m_kind = value;
    // There is no separate design state: whenever the bar is not being
    // loaded from a template it turns with its kind, taking the other
    // default section name and swapping its sides.
    if (!IsLoading()) {
        const bool vertical = value == TScrollBarKind::sbVertical;
        if (m_skinDataName == (vertical ? "hscrollbar" : "vscrollbar"))
            m_skinDataName = vertical ? "vscrollbar" : "hscrollbar";
        if (vertical) {
            if (DefaultHeight() > 0 && DefaultWidth() == 0) {
                const int d = DefaultHeight();
                m_defaultHeight = 0;
                m_defaultWidth = d;
            }
        } else if (DefaultWidth() > 0 && DefaultHeight() == 0) {
            const int d = DefaultWidth();
            m_defaultWidth = 0;
            m_defaultHeight = d;
        }
        if ((vertical && Width() > Height()) || (!vertical && Height() > Width()))
            SetBounds(Left(), Top(), Height(), Width());
    }
    Invalidate();
}

void TksSkinScrollBar::SetMin(int value) {
    m_min = value;
    if (m_position < value) m_position = value;
    Invalidate();
}

void TksSkinScrollBar::SetMax(int value) {
    m_max = value;
    // The end of the page (or the position) is held inside the new range;
    // measured from min so that a range not starting at 0 keeps its place.
    m_position = ClampScrollPosition(m_position, m_min, m_max, m_pageSize);
    Invalidate();
}

void TksSkinScrollBar::SetPosition(int value) {
    value = ClampScrollPosition(value, m_min, m_max, m_pageSize);
    if (value == m_position) return;
    m_position = value;
    Invalidate();
    if (OnChange) OnChange(this);
}

void TksSkinScrollBar::SetPageSize(int value) {
    // The page must fit between the current position and max.
    if (value >= 0 && static_cast<std::int64_t>(m_max) - m_min + 1 >=
                          static_cast<std::int64_t>(value) + (static_cast<std::int64_t>(m_position) - m_min))
        m_pageSize = value;
    Invalidate();
}

void TksSkinScrollBar::SetSmallChange(int value) {
    m_smallChange = value;
    Invalidate();
}

void TksSkinScrollBar::SetLargeChange(int value) {
    m_largeChange = value;
    Invalidate();
}

void TksSkinScrollBar::SetRange(int min, int max, int page, int position) {
    m_min = min;
    m_max = max;
    m_pageSize = std::max(page, 0);
    m_position = ClampScrollPosition(position, min, max, m_pageSize);
    Invalidate();
}

void TksSkinScrollBar::SetCanFocused(bool value) {
    m_canFocused = value;
    SetTabStop(value);
}

void TksSkinScrollBar::SetBoth(bool value) {
    if (value == m_both) return;
    m_both = value;
    if (value) {
        m_savedSkinDataName = m_skinDataName;
        m_skinDataName = BothSkinDataName;
    } else {
        m_skinDataName = m_savedSkinDataName;
    }
    if (m_skinData && !m_skinData->Empty()) ApplySkinChange();
    Invalidate();
}

// ---- skin values ------------------------------------------------------------------

void TksSkinScrollBar::LookUpSkinData() {
    TksSkinCustomControl::LookUpSkinData();
    m_barData = nullptr;
    m_barPicture = nullptr;
    if (m_dataIndex == -1) return;
    const auto* d = dynamic_cast<const TksDataSkinScrollBarControl*>(m_skinData->SkinControls(m_dataIndex));
    if (!d) {
        // A section of another kind has none of the bar's pieces: the plain
        // look is the only sound drawing.
        m_dataIndex = -1;
        return;
    }
    TakeBarData(*d);
}

void TksSkinScrollBar::TakeBarData(const TksDataSkinScrollBarControl& d) {
    m_barData = &d;
    m_barPicture = m_skinData->ActivePicture(d.PictureIndex);
    m_activeUpButtonRect = d.ActiveUpButtonRect;
    m_downUpButtonRect = OrIfEmpty(d.DownUpButtonRect, d.ActiveUpButtonRect);
    m_activeDownButtonRect = d.ActiveDownButtonRect;
    m_downDownButtonRect = OrIfEmpty(d.DownDownButtonRect, d.ActiveDownButtonRect);
    m_thumbRect = d.ThumbRect;
    m_activeThumbRect = OrIfEmpty(d.ActiveThumbRect, d.ThumbRect);
    m_downThumbRect = OrIfEmpty(d.DownThumbRect, m_activeThumbRect);
    m_glyphRect = d.GlyphRect;
    m_activeGlyphRect = OrIfEmpty(d.ActiveGlyphRect, d.GlyphRect);
    m_downGlyphRect = OrIfEmpty(d.DownGlyphRect, m_activeGlyphRect);
}

TksScrollBarMetrics TksSkinScrollBar::Metrics() const {
    TksScrollBarMetrics m;
    m.Vertical = m_kind == TScrollBarKind::sbVertical;
    const TSize size = SkinSize();
    m.Width = size.cx;
    m.Height = size.cy;
    m.Min = m_min;
    m.Max = m_max;
    m.Position = m_position;
    m.PageSize = m_pageSize;
    m.BothMarkerWidth = m_both ? BothMarkerWidth : 0;
    if (m_dataIndex != -1 && m_barData) {
        const TksDataSkinScrollBarControl& d = *m_barData;
        m.Skinned = true;
        m.SkinSize = {d.SkinRect.Width(), d.SkinRect.Height()};
        m.LeftBottom = d.LeftBottomPoint;
        m.RightTop = d.RightTopPoint;
        m.TrackArea = d.TrackArea;
        m.UpButtonRect = d.UpButtonRect;
        m.DownButtonRect = d.DownButtonRect;
        m.ThumbSize = {m_thumbRect.Width(), m_thumbRect.Height()};
    }
    return m;
}

TksScrollBarGeometry TksSkinScrollBar::CalcGeometry() {
    LookUpSkinData();
    return CalcScrollBarGeometry(Metrics());
}

TksScrollBarGeometry TksSkinScrollBar::DeviceGeometry() {
    TksScrollBarGeometry g = CalcGeometry();
    const TDeviceMap map = SkinMap();
    for (TRect* r : {&g.Track, &g.Thumb, &g.IncButton, &g.DecButton})
        if (!r->IsEmpty()) *r = map.ToDevice(*r);
    return g;
}

TDeviceMap TksSkinScrollBar::DrawingMap(const TBitmap& bitmap) const {
    const TDeviceMap map = SkinMap();
    if (bitmap.Width() == map.DeviceWidth() && bitmap.Height() == map.DeviceHeight()) return map;
    const TSize t = LayoutSize();
    return TDeviceMap::ForSkinSize(t.cx, t.cy, Scale());
}

void TksSkinScrollBar::UpdateGeometry() {
    m_geometry = CalcGeometry();
    m_parts[ptThumb].R = m_geometry.Thumb;
    m_parts[ptIncButton].R = m_geometry.IncButton;
    m_parts[ptDecButton].R = m_geometry.DecButton;
}

void TksSkinScrollBar::Resize() {
    TksSkinCustomControl::Resize();
    UpdateGeometry();
}

// ---- drawing ------------------------------------------------------------------------

bool TksSkinScrollBar::FocusedForLook() const {
    return m_canFocused && Focused();
}

void TksSkinScrollBar::DrawFromSkin(TBitmap& bitmap) {
    UpdateGeometry();
    // The element first (the bitmap may take the layout's size).
    TksSkinCustomControl::DrawFromSkin(bitmap);
    if (!m_barData || !m_barPicture || m_barPicture->Empty()) return;
    const TksDataSkinScrollBarControl& d = *m_barData;
    const TPixelView pic = m_barPicture->View();
    const TDeviceMap map = DrawingMap(bitmap);
    const TSkinSurface surface = SurfaceOf(bitmap, map);

    auto drawArrow = [&](int part, const TRect& active, const TRect& down) {
        const TPart& p = m_parts[part];
        TRect piece{};
        if (p.Down && p.MouseIn)
            piece = down;
        else if (p.MouseIn)
            piece = active;
        if (!piece.IsEmpty()) surface.Stretch(p.R, pic, piece);
    };
    drawArrow(ptIncButton, m_activeUpButtonRect, m_downUpButtonRect);
    drawArrow(ptDecButton, m_activeDownButtonRect, m_downDownButtonRect);

    if (!Enabled()) return;
    const TPart& thumb = m_parts[ptThumb];
    if (thumb.R.IsEmpty()) return;
    const bool pressedLook = m_dragging || FocusedForLook();
    const bool hot = thumb.MouseIn;
    const TRect piece = pressedLook ? m_downThumbRect : (hot ? m_activeThumbRect : m_thumbRect);
    const TRect glyph = pressedLook ? m_downGlyphRect : (hot ? m_activeGlyphRect : m_glyphRect);
    // The thumb is composed in skin pixels for its length, then scaled as
    // one piece (it is made anew for each drawing: nothing of it is kept).
    TPixelBuffer tb;
    if (m_pageSize != 0) {
        if (m_kind == TScrollBarKind::sbVertical)
            ComposeVertical(pic, piece, d.ThumbOffset1, d.ThumbOffset2, tb, thumb.R.Height(), false);
        else
            ComposeHorizontal(pic, piece, d.ThumbOffset1, d.ThumbOffset2, tb, thumb.R.Width(), false);
    } else {
        tb.SetSize(thumb.R.Width(), thumb.R.Height());
        StretchBlock(tb.View(), tb.View().Bounds(), pic, piece);
    }
    if (surface.Identity()) {
        CopyPixels(bitmap.Pixels(), thumb.R.Left, thumb.R.Top, tb.View(), d.ThumbTransparent,
                   ColorToPixel(ColorToRGB(d.ThumbTransparentColor)));
    } else {
        const TSkinSurface once(bitmap.Pixels(), map, nullptr);
        if (d.ThumbTransparent)
            once.CopyTransparent(thumb.R.Left, thumb.R.Top, tb.View(), tb.View().Bounds(),
                                 ColorToPixel(ColorToRGB(d.ThumbTransparentColor)));
        else
            once.Copy(thumb.R.Left, thumb.R.Top, tb.View(), tb.View().Bounds());
    }
    if (!glyph.IsEmpty()) {
        const int gx = thumb.R.Left + (thumb.R.Width() - glyph.Width()) / 2;
        const int gy = thumb.R.Top + (thumb.R.Height() - glyph.Height()) / 2;
        surface.Copy(gx, gy, pic, glyph);
    }
}

void TksSkinScrollBar::DrawWithoutSkin(TBitmap& bitmap) {
    UpdateGeometry();
    // Drawn in skin pixels, then put on the device pixels.
    const TDeviceMap map = SkinMap();
    TPixelBuffer skin;
    const bool identity = map.IsIdentity();
    if (!identity) skin.SetSize(map.Width, map.Height);
    const TPixelView v = identity ? bitmap.Pixels() : skin.View();
    FillRectClipped(v, v.Bounds(), SysPixel(clBtnFace));
    DrawRectOutline(v, v.Bounds(), SysPixel(clBtnFace));
    const TPart& thumb = m_parts[ptThumb];
    if (Enabled())
        DrawPlainPart(v, thumb.R, (thumb.Down && thumb.MouseIn) || m_dragging || FocusedForLook(),
                      thumb.MouseIn);
    const bool vertical = m_kind == TScrollBarKind::sbVertical;
    const TPart& inc = m_parts[ptIncButton];
    const TPart& dec = m_parts[ptDecButton];
    DrawPlainPart(v, inc.R, inc.Down && inc.MouseIn, inc.MouseIn);
    DrawArrow(v, inc.R, ColorToPixel(clBlack), vertical ? 4 : 2);
    DrawPlainPart(v, dec.R, dec.Down && dec.MouseIn, dec.MouseIn);
    DrawArrow(v, dec.R, ColorToPixel(clBlack), vertical ? 3 : 1);
    if (!identity) TSkinSurface(bitmap.Pixels(), map, nullptr).Copy(0, 0, skin.View(), skin.View().Bounds());
}

// ---- input ----------------------------------------------------------------------------

int TksSkinScrollBar::PartAt(TPoint p) const {
    for (int i = 0; i < 3; ++i)
        if (m_parts[i].R.Contains(p)) return i;
    return -1;
}

void TksSkinScrollBar::SetActivePart(int part) {
    if (part == m_activePart) return;
    if (m_activePart != -1) {
        TPart& old = m_parts[m_activePart];
        old.MouseIn = false;
        if (old.Down && m_activePart != ptThumb) StopTimer();
    }
    m_activePart = part;
    if (part != -1) {
        TPart& now = m_parts[part];
        now.MouseIn = true;
        if (now.Down && part != ptThumb) StartTimer(kRepeatDelay);
    }
    Invalidate();
}

void TksSkinScrollBar::IncStep() {
    if (OnUpButtonClick)
        OnUpButtonClick(this);
    else
        SetPosition(m_position + m_smallChange);
}

void TksSkinScrollBar::DecStep() {
    if (OnDownButtonClick)
        OnDownButtonClick(this);
    else
        SetPosition(m_position - m_smallChange);
}

void TksSkinScrollBar::PageBack() {
    SetPosition(m_position - m_largeChange);
    if (OnPageUp) OnPageUp(this);
}

void TksSkinScrollBar::PageForward() {
    SetPosition(m_position + m_largeChange);
    if (OnPageDown) OnPageDown(this);
}

void TksSkinScrollBar::StartTimer(UINT ms) {
    // Killed before it is set again: a timer of the same id set first and
    // killed by the old owner's release would be lost.
    m_timer.Reset();
    if (HandleAllocated()) m_timer = TTimerId(HandleOrNull(), kRepeatTimer, ms);
}

void TksSkinScrollBar::StopTimer() {
    m_timer.Reset();
}

void TksSkinScrollBar::StopPaging() {
    if (m_timerMode == tmPageBack || m_timerMode == tmPageForward) {
        StopTimer();
        m_timerMode = tmNone;
    }
}

void TksSkinScrollBar::TimerTick() {
    if (m_waiting) {
        m_waiting = false;
        StartTimer(kRepeatDelay);
        return;
    }
    switch (m_timerMode) {
        case tmDecrease: DecStep(); break;
        case tmIncrease: IncStep(); break;
        case tmPageBack:
        case tmPageForward: {
            UpdateGeometry();
            if (m_capturedPart == -1) SetActivePart(PartAt(m_mousePos));
            const bool onTrack = m_activePart == -1 && m_geometry.Track.Contains(m_mousePos);
            const int along = Along(m_mousePos);
            const TRect& t = m_geometry.Thumb;
            const bool vertical = m_kind == TScrollBarKind::sbVertical;
            const int thumbStart = vertical ? t.Top : t.Left;
            const int thumbEnd = vertical ? t.Bottom : t.Right;
            if (onTrack && m_timerMode == tmPageBack && along < thumbStart)
                PageBack();
            else if (onTrack && m_timerMode == tmPageForward && along >= thumbEnd)
                PageForward();
            else
                StopPaging();
            break;
        }
        default: StopTimer(); break;
    }
}

void TksSkinScrollBar::MouseDown(TMouseButton button, TShiftState shift, int dx, int dy) {
    const TPoint sp = SkinPoint(dx, dy);
    const int x = sp.X;
    const int y = sp.Y;
    if (button == TMouseButton::mbLeft) {
        m_mouseButtonHeld = true;
        m_mousePos = {x, y};
        UpdateGeometry();
        StopTimer();
        m_timerMode = tmNone;
        m_waiting = true;
        // The bar keeps the mouse until the button is released, so that the
        // release always arrives and ends any repetition.
        MouseCapture(true);
        const int part = PartAt({x, y});
        if (part != -1) {
            m_capturedPart = part;
            m_activePart = part;
            m_parts[part].Down = true;
            m_parts[part].MouseIn = true;
            Invalidate();
            if (part == ptThumb) {
                m_dragging = true;
                m_dragStartCoord = Along({x, y});
                m_dragStartOffset = m_geometry.ThumbOffset;
                m_dragStartPosition = m_position;
            } else if (part == ptIncButton) {
                IncStep();
                m_timerMode = tmIncrease;
                StartTimer(kFirstDelay);
            } else {
                DecStep();
                m_timerMode = tmDecrease;
                StartTimer(kFirstDelay);
            }
        } else if (m_geometry.Track.Contains({x, y})) {
            const bool vertical = m_kind == TScrollBarKind::sbVertical;
            const TRect& t = m_geometry.Thumb;
            const int along = Along({x, y});
            if (along < (vertical ? t.Top : t.Left)) {
                m_timerMode = tmPageBack;
                StartTimer(kFirstDelay);
                PageBack();
            } else if (along >= (vertical ? t.Bottom : t.Right)) {
                m_timerMode = tmPageForward;
                StartTimer(kFirstDelay);
                PageForward();
            }
        }
    }
    TksSkinCustomControl::MouseDown(button, shift, dx, dy);
}

void TksSkinScrollBar::MouseMove(TShiftState shift, int x, int y) {
    m_mousePos = SkinPoint(x, y);
    UpdateGeometry();
    if (m_capturedPart != -1)
        SetActivePart(m_parts[m_capturedPart].R.Contains(m_mousePos) ? m_capturedPart : -1);
    else
        SetActivePart(PartAt(m_mousePos));
    if (m_dragging) {
        const int d = Along(m_mousePos) - m_dragStartCoord;
        // With a page the travel limits follow the thumb's current length.
        SetPosition(ScrollPositionFromOffset(d + m_dragStartOffset, m_geometry.Offset1, m_geometry.Offset2,
                                             m_min, m_max, m_pageSize));
    }
    TksSkinCustomControl::MouseMove(shift, x, y);
}

void TksSkinScrollBar::ReleaseParts(TPoint p) {
    if (m_capturedPart != -1) {
        TPart& part = m_parts[m_capturedPart];
        part.Down = false;
        part.MouseIn = part.R.Contains(p);
        if (!part.MouseIn && m_activePart == m_capturedPart) m_activePart = -1;
        if (m_capturedPart != ptThumb) {
            StopTimer();
            m_timerMode = tmNone;
        }
        Invalidate();
    }
    m_capturedPart = -1;
}

void TksSkinScrollBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft) {
        m_mouseButtonHeld = false;
        StopPaging();
        const bool wasDragging = m_dragging;
        m_dragging = false;
        ReleaseParts(SkinPoint(x, y));
        MouseCapture(false);
        if (wasDragging && OnLastChange) OnLastChange(this);
    }
    TksSkinCustomControl::MouseUp(button, shift, x, y);
}

void TksSkinScrollBar::MouseLeave() {
    if (m_capturedPart == -1 && !m_dragging && m_activePart != -1) {
        m_parts[m_activePart].MouseIn = false;
        m_activePart = -1;
        Invalidate();
    }
    // Paging in either direction stops when the pointer leaves the bar: a
    // page-back repeat left running would scroll to the start on its own.
    if (m_mouseButtonHeld) StopPaging();
    TksSkinCustomControl::MouseLeave();
}

bool TksSkinScrollBar::WantsKey(WORD key) const {
    return m_canFocused && (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN);
}

void TksSkinScrollBar::KeyDown(WORD& key, TShiftState shift) {
    if (m_canFocused) {
        if (key == VK_LEFT || key == VK_UP)
            SetPosition(m_position - m_smallChange);
        else if (key == VK_RIGHT || key == VK_DOWN)
            SetPosition(m_position + m_smallChange);
    }
    TksSkinCustomControl::KeyDown(key, shift);
}

void TksSkinScrollBar::DoEnter() {
    if (m_canFocused) Invalidate();
    TksSkinCustomControl::DoEnter();
}

void TksSkinScrollBar::DoExit() {
    if (m_canFocused) Invalidate();
    TksSkinCustomControl::DoExit();
}

void TksSkinScrollBar::WndProc(TMessage& msg) {
    switch (msg.Msg) {
        case WM_TIMER:
            if (msg.WParam == kRepeatTimer) {
                TimerTick();
                return;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // A bar that takes the focus takes it before the press acts;
            // a press it cannot take the focus with is swallowed, as the
            // skinned button does.
            if (m_canFocused && Enabled() && !Focused()) {
                if (CanFocus()) SetFocus();
                if (!Focused()) return;
            }
            break;
        case WM_MOUSEWHEEL:
            if (m_canFocused && Focused()) {
                const int delta = GET_WHEEL_DELTA_WPARAM(msg.WParam);
                SetPosition(delta > 0 ? m_position - m_smallChange : m_position + m_smallChange);
                msg.Result = 0;
                return;
            }
            break;
        case WM_ERASEBKGND:
            // Outside its own paint the bar paints itself into the given
            // context, so an erase never leaves a hole.
            if (!m_inPaint && msg.WParam != 0) PaintWindow(reinterpret_cast<HDC>(msg.WParam));
            msg.Result = 1;
            return;
        case WM_CAPTURECHANGED:
            // Capture taken away (another window, a menu): the press ends
            // as if the button had been released where the mouse is.
            if (m_mouseButtonHeld && reinterpret_cast<HWND>(msg.LParam) != HandleOrNull()) {
                m_mouseButtonHeld = false;
                StopPaging();
                const bool wasDragging = m_dragging;
                m_dragging = false;
                ReleaseParts(m_mousePos);
                if (wasDragging && OnLastChange) OnLastChange(this);
            }
            break;
        default: break;
    }
    TksSkinCustomControl::WndProc(msg);
}

}  // namespace zv
