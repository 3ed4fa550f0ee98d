// The skinned control bases: TksSkinControl (look-up, paint pipeline,
// translucency over the parent's background), TksSkinCustomControl (element
// geometry, size rules, composition, window region).
#include "skinui/SkinControlBase.h"

#include <algorithm>

#include "skinui/SkinEffects.h"
#include "skinui/SkinRegions.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/Glyphs.h"

namespace zv {

namespace {

TPixel SysPixel(TColor c) {
    return ColorToPixel(ColorToRGB(c));
}

}  // namespace

// ---- TksSkinControl --------------------------------------------------------------

TksSkinControl::TksSkinControl(TComponent* owner) : TCustomControl(owner) {}

void TksSkinControl::SetSkinData(TksSkinData* value) {
    if (m_skinData) m_skinData->RemoveFreeNotification(this);
    m_skinData = value;
    if (value) {
        value->FreeNotification(this);
        if (!value->Empty()) ApplySkinChange();
    }
}

void TksSkinControl::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == m_skinData) {
        m_skinData = nullptr;
        ClearSkinIndex();
    }
}

void TksSkinControl::SetAlphaBlend(bool value) {
    if (value == m_alphaBlend) return;
    m_alphaBlend = value;
    Invalidate();
}

void TksSkinControl::SetAlphaBlendValue(int value) {
    value = std::clamp(value, 0, 255);
    if (value == m_alphaBlendValue) return;
    m_alphaBlendValue = value;
    if (m_alphaBlend) Invalidate();
}

void TksSkinControl::LookUpSkinData() {
    m_dataIndex = (!m_skinData || m_skinData->Empty()) ? -1 : m_skinData->IndexOfControl(m_skinDataName);
}

void TksSkinControl::ApplySkinChange() {
    LookUpSkinData();
    Invalidate();
}

TSize TksSkinControl::SkinSize() const {
    const TDeviceScale s = Scale();
    return {s.Unmap(Width()), s.Unmap(Height())};
}

TDeviceMap TksSkinControl::SkinMap() const {
    return TDeviceMap::ForDeviceSize(Width(), Height(), Scale());
}

TScaledPictures* TksSkinControl::ScaledPictures() const {
    return ScaledPicturesOf((m_skinData && !m_skinData->Empty()) ? m_skinData : nullptr, Scale());
}

void TksSkinControl::PrepareBitmap(TBitmap& bitmap, int width, int height) const {
    bitmap.SetSize(width, height);
    bitmap.Canvas().SetPixelsPerInch(CurrentPPI());
}

TSkinSurface TksSkinControl::SurfaceOf(const TBitmap& bitmap, const TDeviceMap& map) const {
    return {bitmap.Pixels(), map, ScaledPictures()};
}

void TksSkinControl::ScaleChanged() {
    TCustomControl::ScaleChanged();
    if (m_skinData && !m_skinData->Empty())
        ApplySkinChange();
    else
        Invalidate();
}

void TksSkinControl::PaintWindow(HDC dc) {
    if (Width() <= 0 || Height() <= 0) return;
    m_inPaint = true;
    try {
        LookUpSkinData();
        TBitmap bitmap;
        PrepareBitmap(bitmap, Width(), Height());
        if (m_dataIndex != -1)
            DrawFromSkin(bitmap);
        else if (DrawDefault)
            DrawWithoutSkin(bitmap);
        PutOnControl(dc, bitmap);
    } catch (...) {
        m_inPaint = false;
        throw;
    }
    m_inPaint = false;
}

void TksSkinControl::PutOnControl(HDC dc, const TBitmap& bitmap) {
    if (!m_alphaBlend || bitmap.Empty()) {
        bitmap.DrawTo(dc, 0, 0);
        return;
    }
    TBitmap background;
    CaptureBackground(background);
    TBitmap out(bitmap.Width(), bitmap.Height());
    CopyBlock(out.Pixels(), 0, 0, bitmap.Pixels(), bitmap.Pixels().Bounds());
    BlendPixels(out.Pixels(), background.Pixels(), m_alphaBlendValue);
    out.DrawTo(dc, 0, 0);
}

void TksSkinControl::PaintControlInto(HDC dc, TControl* control) {
    if (!control->Visible() || control->Width() <= 0 || control->Height() <= 0) return;
    const int saved = SaveDC(dc);
    OffsetViewportOrgEx(dc, control->Left(), control->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, control->Width(), control->Height());
    if (auto* g = dynamic_cast<TGraphicControl*>(control)) {
        g->PaintTo(dc);
    } else if (auto* s = dynamic_cast<TksSkinControl*>(control)) {
        s->PaintWindow(dc);
        for (int i = 0; i < s->ControlCount(); ++i) PaintControlInto(dc, s->Controls(i));
    }
    RestoreDC(dc, saved);
}

void TksSkinControl::CaptureBackground(TBitmap& background) {
    background.SetSize(Width(), Height());
    TWinControl* parent = Parent();
    // A parent that is not one of ours shows its plain colour; our own
    // controls paint through their pipeline (the parent's bitmap moved so
    // that this control's top-left lands on (0, 0)).
    FillRectClipped(background.Pixels(), background.Pixels().Bounds(),
                    SysPixel(parent ? parent->Color() : clBtnFace));
    if (!parent) return;
    HDC dc = background.Canvas().Handle();
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, -Left(), -Top(), nullptr);
    if (auto* skinned = dynamic_cast<TksSkinControl*>(parent)) {
        const int inner = SaveDC(dc);
        skinned->PaintWindow(dc);
        RestoreDC(dc, inner);
    }
    // The siblings below this control, with their children.
    const TRect mine = BoundsRect();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (c == this) break;
        if (!IntersectRect(mine, c->BoundsRect()).IsEmpty()) PaintControlInto(dc, c);
    }
    RestoreDC(dc, saved);
}

void TksSkinControl::WndProc(TMessage& msg) {
    TCustomControl::WndProc(msg);
    // A translucent control shows what lies under it, which changes with
    // its place.
    if (msg.Msg == WM_MOVE && m_alphaBlend) Invalidate();
}

void TksSkinControl::MouseEnter() {
    TCustomControl::MouseEnter();
}
void TksSkinControl::MouseLeave() {
    TCustomControl::MouseLeave();
}

// ---- TksSkinCustomControl ------------------------------------------------------

TksSkinCustomControl::TksSkinCustomControl(TComponent* owner) : TksSkinControl(owner) {
    m_defaultFont.SetName("Arial");
    m_defaultFont.SetHeight(14);
    m_defaultFont.SetStyle(0);
    m_defaultFont.OnChange = [this] {
        DefaultFontChanged();
        if (m_dataIndex == -1) Invalidate();
    };
}

void TksSkinCustomControl::SetUseSkinFont(bool value) {
    if (value == m_useSkinFont) return;
    m_useSkinFont = value;
    Invalidate();
}

void TksSkinCustomControl::SetDefaultWidth(int value) {
    m_defaultWidth = value;
    if (m_dataIndex == -1 && value > 0) SetWidth(value);
}

void TksSkinCustomControl::SetDefaultHeight(int value) {
    m_defaultHeight = value;
    if (m_dataIndex == -1 && value > 0) SetHeight(value);
}

void TksSkinCustomControl::LookUpSkinData() {
    TksSkinControl::LookUpSkinData();
    m_isSkinElement = false;
    m_layout = TSkinLayout::Fixed;
    m_picture = nullptr;
    m_mask = nullptr;
    m_cursorIndex = -1;
    if (m_dataIndex == -1) return;
    const auto* d = dynamic_cast<const TksDataSkinCustomControl*>(m_skinData->SkinControls(m_dataIndex));
    if (!d) return;
    m_isSkinElement = true;
    m_element.SkinRect = d->SkinRect;
    m_element.Geometry = {d->ClientRect, d->LeftTopPoint, d->RightTopPoint, d->LeftBottomPoint,
                          d->RightBottomPoint};
    m_element.StretchEffect = d->StretchEffect;
    m_cursorIndex = d->CursorIndex;
    m_picture = UsablePicture(m_skinData->ActivePicture(d->PictureIndex));
    m_mask = UsablePicture(m_skinData->ActivePicture(d->MaskPictureIndex));
    m_layout = GetSkinLayout(m_element);
    const TSize size = SkinSize();
    m_target = CalcSkinTarget(m_element, size.cx, size.cy).Geometry;
}

void TksSkinCustomControl::AdjustSizeToSkin(int& width, int& height) {
    // A data object without element geometry dictates no size.
    if (m_dataIndex == -1 || !m_isSkinElement || m_layout == TSkinLayout::None) return;
    // The rules in skin pixels; what they force comes back at the device
    // length of the forced skin length, what they leave free stays.
    const TDeviceScale scale = Scale();
    const int sw = scale.Unmap(width);
    const int sh = scale.Unmap(height);
    const TSkinTarget t = CalcSkinTarget(m_element, sw, sh);
    if (t.Width != sw) width = scale.Map(t.Width);
    if (t.Height != sh) height = scale.Map(t.Height);
    m_target = t.Geometry;
}

void TksSkinCustomControl::SetBounds(int left, int top, int width, int height) {
    LookUpSkinData();
    bool adjusted = false;
    if (m_dataIndex != -1 && (width != Width() || height != Height())) {
        AdjustSizeToSkin(width, height);
        if (m_layout == TSkinLayout::Fixed) m_target.ClientRect = m_element.Geometry.ClientRect;
        adjusted = true;
    }
    TksSkinControl::SetBounds(left, top, width, height);
    if (adjusted) {
        UpdateSkinRegion();
        Invalidate();
    }
}

void TksSkinCustomControl::ApplySkinChange() {
    LookUpSkinData();
    if (UseSkinCursor) SetCursor(m_cursorIndex == -1 ? crDefault : SkinFirstCursor + m_cursorIndex);
    if (m_dataIndex == -1) {
        if (m_defaultWidth > 0) SetWidth(m_defaultWidth);
        if (m_defaultHeight > 0) SetHeight(m_defaultHeight);
    } else {
        int w = Width();
        int h = Height();
        AdjustSizeToSkin(w, h);
        if (w != Width() || h != Height()) {
            // Setting the bounds applies the region and repaints.
            SetBounds(Left(), Top(), w, h);
            return;
        }
    }
    UpdateSkinRegion();
    Invalidate();
}

void TksSkinCustomControl::UpdateSkinRegion() {
    // The window takes its region when it is made (CreateWnd).
    if (!HandleAllocated()) return;
    if (!m_mask || m_dataIndex == -1 || !m_isSkinElement) {
        if (m_hasRegion) {
            SetWindowRegion(TRegionHandle{}, true);
            m_hasRegion = false;
        }
        return;
    }
    const TPixelView mask = m_mask->View();
    const TSkinGeometry& g = m_element.Geometry;
    // Shaped in skin pixels, the shape then moved onto the device pixels.
    const TDeviceMap map = SkinMap();
    const int w = map.Width;
    const int h = map.Height;
    const int dW = w - m_element.SkinRect.Width();
    const int dH = h - m_element.SkinRect.Height();
    const TSkinGeometry target = CalcSkinTarget(m_element, w, h).Geometry;
    TRegionHandle region;
    switch (m_layout) {
        case TSkinLayout::None: break;
        case TSkinLayout::Fixed: region = CreateMaskRegion(mask, 0, 0, map); break;
        case TSkinLayout::NinePart: region = CreateComposedMaskRegion(mask, g, target, w, map); break;
        case TSkinLayout::Horizontal: {
            // A three-part element has only the top points: they stand for
            // the bottom ones too.
            TSkinGeometry source = g;
            source.LeftBottom = g.LeftTop;
            source.RightBottom = g.RightTop;
            const TPoint right{g.RightTop.X + dW, g.RightTop.Y};
            const TSkinGeometry dest{target.ClientRect, g.LeftTop, right, g.LeftTop, right};
            region = CreateComposedMaskRegion(mask, source, dest, w, map);
            break;
        }
        case TSkinLayout::Vertical: {
            TSkinGeometry source = g;
            source.RightTop = g.LeftTop;
            source.RightBottom = g.LeftBottom;
            const TPoint bottom{g.LeftBottom.X, g.LeftBottom.Y + dH};
            const TSkinGeometry dest{target.ClientRect, g.LeftTop, g.LeftTop, bottom, bottom};
            region = CreateComposedMaskRegion(mask, source, dest, w, map);
            break;
        }
    }
    // A mask that gives no region (element smaller than its fixed parts,
    // no black pixel) leaves the window unshaped.
    m_hasRegion = static_cast<bool>(region);
    SetWindowRegion(std::move(region), true);
}

void TksSkinCustomControl::CreateWnd() {
    TksSkinControl::CreateWnd();
    m_hasRegion = false;
    LookUpSkinData();
    if (m_mask) UpdateSkinRegion();
}

void TksSkinCustomControl::ClearSkinIndex() {
    // The pictures belong to the skin data, which is about to change or go.
    TksSkinControl::ClearSkinIndex();
    m_picture = nullptr;
    m_mask = nullptr;
    m_isSkinElement = false;
}

TPixelView TksSkinCustomControl::PictureView() const {
    return m_picture ? m_picture->View() : TPixelView{};
}

void TksSkinCustomControl::PutPixels(TBitmap& bitmap, const TPixelBuffer& pixels) {
    bitmap.SetSize(pixels.Width(), pixels.Height());
    bitmap.Assign(pixels);
}

TSize TksSkinCustomControl::LayoutSize() const {
    const TSize size = SkinSize();
    const TSkinTarget t = CalcSkinTarget(m_element, size.cx, size.cy);
    return {t.Width, t.Height};
}

void TksSkinCustomControl::ComposeSkinElement(const TRect& rect, const TSkinSurface& out) const {
    if (m_layout == TSkinLayout::None) return;
    TSkinElementGeometry element = m_element;
    element.SkinRect = rect;
    DrawSkinElement(PictureView(), element, out);
}

void TksSkinCustomControl::DrawFromSkin(TBitmap& bitmap) {
    // A data object of another kind has no element to draw: the control
    // looks as it does without skin.
    if (!m_isSkinElement) {
        if (DrawDefault) DrawWithoutSkin(bitmap);
        return;
    }
    if (m_layout == TSkinLayout::None) return;
    // The bitmap takes the size the layout gives (the control's own, once
    // its size rules have run).
    const TSize t = LayoutSize();
    TDeviceMap map = SkinMap();
    if (t.cx != map.Width || t.cy != map.Height) {
        map = TDeviceMap::ForSkinSize(t.cx, t.cy, Scale());
        bitmap.SetSize(map.DeviceWidth(), map.DeviceHeight());
    }
    ComposeSkinElement(m_element.SkinRect, SurfaceOf(bitmap, map));
}

void TksSkinCustomControl::DrawWithoutSkin(TBitmap& bitmap) {
    const TPixelView v = bitmap.Pixels();
    FillRectClipped(v, v.Bounds(), SysPixel(clBtnFace));
}

}  // namespace zv
