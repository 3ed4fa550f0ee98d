#include "skinui/SkinControls.h"

#include <algorithm>

#include "skinui/SkinEffects.h"
#include "skinui/SkinFont.h"
#include "skinui/SkinRegions.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/Glyphs.h"

namespace zv {

namespace {

enum : UINT_PTR { kMorphTimer = 1, kRepeatTimer = 2, kAnimateTimer = 3 };

TPixel SysPixel(TColor c) {
    return ColorToPixel(ColorToRGB(c));
}

// Empty pictures count as none.
const TksBitmap* UsablePicture(const TksBitmap* p) {
    return (p && !p->Empty()) ? p : nullptr;
}

// A one-pixel 3-D frame: `topLeft` on the top and left edges, `bottomRight`
// on the bottom and right ones.
void Frame3D(const TPixelView& v, const TRect& r, TColor topLeft, TColor bottomRight) {
    if (r.IsEmpty()) return;
    const TPixel tl = SysPixel(topLeft);
    const TPixel br = SysPixel(bottomRight);
    DrawLine(v, r.Left, r.Top, r.Right, r.Top, tl);
    DrawLine(v, r.Left, r.Top, r.Left, r.Bottom, tl);
    DrawLine(v, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1, br);
    DrawLine(v, r.Right - 1, r.Top, r.Right - 1, r.Bottom, br);
}

// The accelerator of a caption: the character after a single "&".
bool IsAccel(char ch, const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<unsigned char>(ch)))) ==
               CharUpperA(reinterpret_cast<LPSTR>(
                   static_cast<ULONG_PTR>(static_cast<unsigned char>(caption[i + 1]))));
    }
    return false;
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

void TksSkinControl::PaintWindow(HDC dc) {
    if (Width() <= 0 || Height() <= 0) return;
    m_inPaint = true;
    try {
        LookUpSkinData();
        TBitmap bitmap(Width(), Height());
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
    m_target = CalcSkinTarget(m_element, Width(), Height()).Geometry;
}

void TksSkinCustomControl::AdjustSizeToSkin(int& width, int& height) {
    // A data object without element geometry dictates no size.
    if (m_dataIndex == -1 || !m_isSkinElement || m_layout == TSkinLayout::None) return;
    const TSkinTarget t = CalcSkinTarget(m_element, width, height);
    width = t.Width;
    height = t.Height;
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
    const int w = Width();
    const int h = Height();
    const int dW = w - m_element.SkinRect.Width();
    const int dH = h - m_element.SkinRect.Height();
    const TSkinGeometry target = CalcSkinTarget(m_element, w, h).Geometry;
    TRegionHandle region;
    switch (m_layout) {
        case TSkinLayout::None: break;
        case TSkinLayout::Fixed: region = CreateMaskRegion(mask, 0, 0); break;
        case TSkinLayout::NinePart: region = CreateComposedMaskRegion(mask, g, target, w); break;
        case TSkinLayout::Horizontal: {
            // A three-part element has only the top points: they stand for
            // the bottom ones too.
            TSkinGeometry source = g;
            source.LeftBottom = g.LeftTop;
            source.RightBottom = g.RightTop;
            const TPoint right{g.RightTop.X + dW, g.RightTop.Y};
            const TSkinGeometry dest{target.ClientRect, g.LeftTop, right, g.LeftTop, right};
            region = CreateComposedMaskRegion(mask, source, dest, w);
            break;
        }
        case TSkinLayout::Vertical: {
            TSkinGeometry source = g;
            source.RightTop = g.LeftTop;
            source.RightBottom = g.LeftBottom;
            const TPoint bottom{g.LeftBottom.X, g.LeftBottom.Y + dH};
            const TSkinGeometry dest{target.ClientRect, g.LeftTop, g.LeftTop, bottom, bottom};
            region = CreateComposedMaskRegion(mask, source, dest, w);
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

void TksSkinCustomControl::ComposeSkinElement(const TRect& rect, int w, int h, TPixelBuffer& out) const {
    if (m_layout == TSkinLayout::None) {
        out = TPixelBuffer();
        return;
    }
    TSkinElementGeometry element = m_element;
    element.SkinRect = rect;
    DrawSkinElement(PictureView(), element, out, w, h);
}

void TksSkinCustomControl::DrawFromSkin(TBitmap& bitmap) {
    // A data object of another kind has no element to draw: the control
    // looks as it does without skin.
    if (!m_isSkinElement) {
        if (DrawDefault) DrawWithoutSkin(bitmap);
        return;
    }
    if (m_layout == TSkinLayout::None) return;
    TPixelBuffer out;
    ComposeSkinElement(m_element.SkinRect, bitmap.Width(), bitmap.Height(), out);
    PutPixels(bitmap, out);
}

void TksSkinCustomControl::DrawWithoutSkin(TBitmap& bitmap) {
    const TPixelView v = bitmap.Pixels();
    FillRectClipped(v, v.Bounds(), SysPixel(clBtnFace));
}

// ---- TksSkinPanel ------------------------------------------------------------------

TksSkinPanel::TksSkinPanel(TComponent* owner) : TksSkinCustomControl(owner) {
    m_skinDataName = "panel";
    SetBounds(0, 0, 150, 150);
}

void TksSkinPanel::SetBorderStyle(TksSkinBorderStyle value) {
    if (value == m_borderStyle) return;
    m_borderStyle = value;
    // With skin data too: bvNone turns a nine-part panel into its
    // background-only drawing, whose children use the whole panel.
    Invalidate();
    AlignControls();
}

void TksSkinPanel::SetCaptionMode(bool value) {
    if (value == m_captionMode) return;
    m_captionMode = value;
    Invalidate();
    AlignControls();
}

void TksSkinPanel::SetDefaultCaptionHeight(int value) {
    if (value == m_defaultCaptionHeight) return;
    m_defaultCaptionHeight = value;
    if (m_dataIndex == -1 && m_captionMode) {
        Invalidate();
        AlignControls();
    }
}

void TksSkinPanel::SetDefaultAlignment(TAlignment value) {
    m_defaultAlignment = value;
    if (m_dataIndex == -1 && m_captionMode) Invalidate();
}

void TksSkinPanel::SetCheckedMode(bool value) {
    m_checkedMode = value;
    Invalidate();
}

void TksSkinPanel::SetChecked(bool value) {
    m_checked = value;
    if (m_checkedMode) Invalidate();
    if (AutoEnabledControls && m_checkedMode)
        for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetEnabled(value);
    if (OnChecked) OnChecked(this);
}

void TksSkinPanel::SetRollUpMode(bool value) {
    m_rollUpMode = value;
    if (m_dataIndex == -1 && m_captionMode) Invalidate();
}

void TksSkinPanel::SetRollUpState(bool value) {
    if (value == m_rollUpState) return;
    if (!m_rollUpMode) {
        m_rollUpState = false;
        return;
    }
    m_rollUpState = value;
    if (value)
        RollUp();
    else
        RollDown();
    if (OnChangeRollUpState) OnChangeRollUpState(this);
}

int TksSkinPanel::RolledUpHeight(int height) const {
    // With skin data the client part of the element goes; without it the
    // caption band and one pixel stay.
    if (HasSkinElement())
        return height - CalcSkinTarget(m_element, Width(), height).Geometry.ClientRect.Height();
    return m_defaultCaptionHeight + 1;
}

void TksSkinPanel::RollUp() {
    if (m_realHeight != -1) return;
    m_realHeight = Height();
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetVisible(false);
    SetHeight(RolledUpHeight(m_realHeight));
}

void TksSkinPanel::RollDown() {
    if (m_realHeight == -1) return;
    const int h = m_realHeight;
    m_realHeight = -1;
    SetHeight(h);
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetVisible(true);
    AlignControls();
}

void TksSkinPanel::AdjustClientRect(TRect& r) const {
    if (HasSkinElement()) {
        // A tiled background, or the background-only drawing, covers the
        // whole panel; otherwise children sit in the element's client part.
        if (m_skin.BGPictureIndex != -1 || (m_borderStyle == TksSkinBorderStyle::bvNone && !m_captionMode &&
                                            m_layout == TSkinLayout::NinePart))
            return;
        r = CalcSkinTarget(m_element, Width(), Height()).Geometry.ClientRect;
        return;
    }
    // Without skin data: a one-pixel border unless there is none, and the
    // caption band on top.
    if (m_borderStyle != TksSkinBorderStyle::bvNone) r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    if (m_captionMode) r.Top += m_defaultCaptionHeight;
}

void TksSkinPanel::LookUpSkinData() {
    m_skin.BGPictureIndex = -1;
    TksSkinCustomControl::LookUpSkinData();
    if (m_dataIndex == -1) return;
    const auto* d = dynamic_cast<const TksDataSkinPanelControl*>(m_skinData->SkinControls(m_dataIndex));
    if (!d) return;
    m_skin = *d;
    if (!UsablePicture(m_skinData->ActivePicture(d->BGPictureIndex))) m_skin.BGPictureIndex = -1;
}

void TksSkinPanel::ApplySkinChange() {
    TksSkinCustomControl::ApplySkinChange();
    if (m_rollUpState && m_realHeight != -1)
        SetHeight(RolledUpHeight(m_realHeight));
    else
        AlignControls();
}

TRect TksSkinPanel::SkinCaptionRect() const {
    return MapSkinRectToTarget(m_skin.CaptionRect, m_element, m_layout, Width(), Height());
}

void TksSkinPanel::PaintWindow(HDC dc) {
    LookUpSkinData();
    if (!HasSkinElement() || m_skin.BGPictureIndex == -1) {
        TksSkinCustomControl::PaintWindow(dc);
        return;
    }
    if (Width() < 1 || Height() < 1) return;
    // The background picture whole at every multiple of its size; the
    // panel's edge cuts the last ones.
    const TPixelView bg = m_skinData->ActivePicture(m_skin.BGPictureIndex)->View();
    TBitmap bitmap(Width(), Height());
    const TPixelView target = bitmap.Pixels();
    for (int i = 0; i <= Width() / bg.Width; ++i)
        for (int j = 0; j <= Height() / bg.Height; ++j)
            CopyBlock(target, i * bg.Width, j * bg.Height, bg, bg.Bounds());
    PutOnControl(dc, bitmap);
}

void TksSkinPanel::DrawFromSkin(TBitmap& bitmap) {
    if (!m_isSkinElement) {
        TksSkinCustomControl::DrawFromSkin(bitmap);
        return;
    }
    if (m_borderStyle == TksSkinBorderStyle::bvNone && m_layout == TSkinLayout::NinePart && !m_captionMode) {
        // Only the element's client part, tiled from (0, 0): columns outer,
        // rows inner, cut on the right and bottom.
        const TRect cl =
            OffsetRect(m_element.Geometry.ClientRect, m_element.SkinRect.Left, m_element.SkinRect.Top);
        const TPixelView target = bitmap.Pixels();
        const TPixelView pic = PictureView();
        if (cl.IsEmpty() || pic.Empty()) return;
        for (int x = 0; x < target.Width; x += cl.Width())
            for (int y = 0; y < target.Height; y += cl.Height()) CopyBlock(target, x, y, pic, cl);
        return;
    }
    TksSkinCustomControl::DrawFromSkin(bitmap);
    const TRect band = SkinCaptionRect();
    if (!Caption().empty() && !band.IsEmpty()) DrawSkinCaption(bitmap, band);
}

void TksSkinPanel::DrawGlyph(const TPixelView& target, int x, int y) const {
    const int count = std::max(NumGlyphs, 1);
    const int frame = (!Enabled() && count == 2) ? 2 : 1;
    DrawGlyphFrame(target, x, y, frame, count, Glyph.View());
}

void TksSkinPanel::DrawSkinCaption(TBitmap& bitmap, const TRect& band) {
    TRect b = band;
    if (m_rollUpMode) b.Right -= 12;
    const TPixelView pic = PictureView();
    if (m_checkedMode) {
        const TRect piece = m_checked ? m_skin.CheckImageRect : m_skin.UnCheckImageRect;
        if (!piece.IsEmpty())
            DrawGlyphFrame(bitmap.Pixels(), b.Left, b.Top + b.Height() / 2 - piece.Height() / 2, 1, 1,
                           SubView(pic, piece));
        b.Left += piece.Width() + 2;
    }
    if (m_rollUpMode) {
        const TRect box{b.Right + 1, b.Top, b.Right + 11, b.Bottom};
        const TRect& mark = m_skin.MarkFrameRect;
        if (!mark.IsEmpty()) CopyBlock(bitmap.Pixels(), box.Left, band.Top, pic, mark);
        DrawArrow(bitmap.Pixels(), box, ColorToPixel(m_skin.FontColor), m_rollUpState ? 4 : 3);
    }

    TCanvas& c = bitmap.Canvas();
    AssignSkinFont(c.Font(), m_useSkinFont ? &m_skin : nullptr, m_defaultFont);
    c.Font().SetColor(m_skin.FontColor);
    const TSize ts = c.TextExtent(Caption());
    const bool glyph = !Glyph.Empty();
    const int gw = glyph ? Glyph.Width() / std::max(NumGlyphs, 1) : 0;
    const int gap = glyph ? gw + Spacing : 0;
    const int w = ts.cx + gap;
    int x = b.Left;
    if (m_skin.Alignment == TAlignment::taRightJustify)
        x = b.Right - w;
    else if (m_skin.Alignment == TAlignment::taCenter)
        x = b.Left + b.Width() / 2 - w / 2;
    int glyphX = x;
    int textX = x + gap;
    const int textY = b.Top + b.Height() / 2 - ts.cy / 2;

    const TRect& frame = m_skin.FrameRect;
    if (!frame.IsEmpty()) {
        const int extra = frame.Width() - m_skin.FrameTextRect.Width();
        TPixelBuffer back;
        ComposeHorizontal(pic, frame, m_skin.FrameLeftOffset, m_skin.FrameRightOffset, back, ts.cx + extra,
                          false);
        if (m_skin.Alignment == TAlignment::taLeftJustify) {
            CopyBlock(bitmap.Pixels(), x, band.Top, back.View(), back.View().Bounds());
            textX += m_skin.FrameTextRect.Left;
        } else {
            CopyBlock(bitmap.Pixels(), x - extra, band.Top, back.View(), back.View().Bounds());
            glyphX -= extra;
            textX += m_skin.FrameTextRect.Left - extra;
        }
    }
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.TextRect(b, textX, textY, Caption());
    if (glyph) DrawGlyph(bitmap.Pixels(), glyphX, b.Top + b.Height() / 2 - Glyph.Height() / 2);
}

TRect TksSkinPanel::DefaultCaptionRect() const {
    return {1, 1, Width() - 1, m_defaultCaptionHeight};
}

void TksSkinPanel::DrawWithoutSkin(TBitmap& bitmap) {
    const TPixelView v = bitmap.Pixels();
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    FillRectClipped(v, v.Bounds(), SysPixel(clBtnFace));
    const TRect all{0, 0, w, h};
    switch (m_borderStyle) {
        case TksSkinBorderStyle::bvFrame: Frame3D(v, all, clBtnShadow, clBtnShadow); break;
        case TksSkinBorderStyle::bvRaised: Frame3D(v, all, clBtnHighlight, clBtnShadow); break;
        case TksSkinBorderStyle::bvLowered: Frame3D(v, all, clBtnShadow, clBtnHighlight); break;
        case TksSkinBorderStyle::bvNone: break;
    }
    if (!m_captionMode) return;
    TRect band;
    if (m_borderStyle != TksSkinBorderStyle::bvFrame) {
        band = {1, 1, w - 1, m_defaultCaptionHeight};
        Frame3D(v, band, clBtnShadow, clBtnHighlight);
        Frame3D(v, {band.Left + 1, band.Top + 1, band.Right - 1, band.Bottom - 1}, clBtnHighlight,
                clBtnShadow);
    } else {
        band = {0, 0, w, m_defaultCaptionHeight};
        Frame3D(v, band, clBtnShadow, clBtnShadow);
        Frame3D(v, {band.Left + 1, band.Top + 1, band.Right - 1, band.Bottom - 1}, clBtnHighlight, clBtnFace);
    }
    TRect text{band.Left + 2, band.Top + 2, band.Right - 2, band.Bottom - 2};
    if (m_checkedMode) {
        const int top = text.Top + text.Height() / 2 - 7;
        const TRect box{5, top, 19, top + 14};
        Frame3D(v, box, clBtnShadow, clBtnShadow);
        if (m_checked) DrawCheckMark(v, box.Left + 3, box.Top + 2, SysPixel(clBtnText));
        text.Left += 20;
    }
    if (m_rollUpMode) {
        DrawArrow(v, {text.Right - 10, text.Top, text.Right, text.Bottom}, SysPixel(clBtnText),
                  m_rollUpState ? 4 : 3);
        text.Right -= 10;
    }
    if (Caption().empty()) return;
    TCanvas& c = bitmap.Canvas();
    c.Font().Assign(m_defaultFont);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    const TSize ts = c.TextExtent(Caption());
    const bool glyph = !Glyph.Empty();
    const int gap = glyph ? Glyph.Width() / std::max(NumGlyphs, 1) + Spacing : 0;
    const int tw = ts.cx + gap;
    int x = text.Left;
    if (m_defaultAlignment == TAlignment::taRightJustify)
        x = band.Right - tw;
    else if (m_defaultAlignment == TAlignment::taCenter)
        x = band.Left + 2 + band.Width() / 2 - tw / 2;
    c.TextRect(text, x + gap, text.Top + text.Height() / 2 - ts.cy / 2, Caption());
    if (glyph) DrawGlyph(bitmap.Pixels(), x, text.Top + text.Height() / 2 - Glyph.Height() / 2);
}

void TksSkinPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    const TRect band = HasSkinElement() ? SkinCaptionRect() : DefaultCaptionRect();
    if (button == TMouseButton::mbLeft && m_captionMode && (m_checkedMode || m_rollUpMode) &&
        band.Contains({x, y})) {
        if (m_checkedMode) SetChecked(!m_checked);
        if (m_rollUpMode) SetRollUpState(!m_rollUpState);
    }
    TksSkinCustomControl::MouseUp(button, shift, x, y);
}

void TksSkinPanel::TextChanged() {
    if (m_captionMode) Invalidate();
}

void TksSkinPanel::Resize() {
    TksSkinCustomControl::Resize();
    if (m_dataIndex == -1) Invalidate();
}

// ---- TksSkinStdLabel --------------------------------------------------------------

TksSkinStdLabel::TksSkinStdLabel(TComponent* owner) : TGraphicControl(owner) {
    // The framework's default font.
    m_defaultFont.SetName("MS Sans Serif");
    m_defaultFont.SetHeight(-11);
    m_defaultFont.OnChange = [this] { Invalidate(); };
    SetBounds(0, 0, 65, 17);
}

void TksSkinStdLabel::SetSkinData(TksSkinData* value) {
    if (m_skinData) m_skinData->RemoveFreeNotification(this);
    m_skinData = value;
    if (value) {
        value->FreeNotification(this);
        ApplySkinChange();
    }
}

void TksSkinStdLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == m_skinData) m_skinData = nullptr;
}

void TksSkinStdLabel::SetAlignment(TAlignment a) {
    m_alignment = a;
    Invalidate();
}

void TksSkinStdLabel::SetLayout(TTextLayout l) {
    m_layout = l;
    Invalidate();
}

void TksSkinStdLabel::SetWordWrap(bool w) {
    m_wordWrap = w;
    AdjustBounds();
    Invalidate();
}

void TksSkinStdLabel::SetAutoSize(bool a) {
    m_autoSize = a;
    AdjustBounds();
}

void TksSkinStdLabel::TextChanged() {
    AdjustBounds();
    Invalidate();
}

void TksSkinStdLabel::ApplySkinChange() {
    AdjustBounds();
    Invalidate();
}

UINT TksSkinStdLabel::TextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (m_wordWrap) flags |= DT_WORDBREAK;
    switch (m_alignment) {
        case TAlignment::taLeftJustify: flags |= DT_LEFT; break;
        case TAlignment::taRightJustify: flags |= DT_RIGHT; break;
        case TAlignment::taCenter: flags |= DT_CENTER; break;
    }
    if (!ShowAccelChar) flags |= DT_NOPREFIX;
    return flags;
}

void TksSkinStdLabel::DoDrawText(TRect& rect, UINT flags) {
    // The skin's font, when the skin has a std-label section.
    const TksDataSkinStdLabelControl* skin = nullptr;
    if (m_skinData && !m_skinData->Empty()) {
        const int index = m_skinData->IndexOfControl(m_skinDataName);
        if (index >= 0)
            skin = dynamic_cast<const TksDataSkinStdLabelControl*>(m_skinData->SkinControls(index));
    }
    std::string text = Caption();
    if ((flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar && text == "&"))) text += " ";
    if (!ShowAccelChar) flags |= DT_NOPREFIX;

    // Without a std-label section UseSkinFont means the default font; with
    // one, the skin's face over the label's own font, in the skin's colour.
    TCanvas& c = Canvas();
    TFont font;
    AssignSkinFont(font, UseSkinFont ? skin : nullptr, (UseSkinFont && !skin) ? m_defaultFont : Font());
    if (skin) font.SetColor(skin->FontColor);
    font.SetCharset(m_defaultFont.Charset());
    c.Font().Assign(font);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    if (flags & DT_CALCRECT) {
        c.DrawText(text, rect, flags);
        return;
    }
    if (Enabled()) {
        c.DrawText(text, rect, flags);
    } else {
        TRect shifted = OffsetRect(rect, 1, 1);
        c.Font().SetColor(clBtnHighlight);
        c.DrawText(text, shifted, flags);
        c.Font().SetColor(clBtnShadow);
        c.DrawText(text, rect, flags);
    }
}

void TksSkinStdLabel::Paint() {
    TRect r = ClientRect();
    UINT flags = TextFlags();
    if (m_layout != TTextLayout::tlTop) {
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        const int dy =
            m_layout == TTextLayout::tlBottom ? r.Height() - calc.Height() : (r.Height() - calc.Height()) / 2;
        r.Top += dy;
    }
    DoDrawText(r, flags);
}

void TksSkinStdLabel::AdjustBounds() {
    if (!m_autoSize || IsLoading() || !Parent()) return;
    HDC screen = GetDC(nullptr);
    TCanvas& c = Canvas();
    c.SetHandle(screen);
    TRect r{0, 0, m_wordWrap ? Width() : 0, 0};
    DoDrawText(r, TextFlags() | DT_CALCRECT);
    c.SetHandle(nullptr);
    ReleaseDC(nullptr, screen);
    SetBounds(Left(), Top(), r.Width(), r.Height());
}

// ---- TksSkinButton ----------------------------------------------------------------

TksSkinButton::TksSkinButton(TComponent* owner) : TksSkinCustomControl(owner) {
    m_skinDataName = "button";
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TksSkinButton::CreateParams(TCreateParams& params) {
    TksSkinCustomControl::CreateParams(params);
    params.WinClassName = "ZvSkinButton";
    m_active = m_default;
}

bool TksSkinButton::MorphActive() const {
    return m_skin.Morphing && m_dataIndex != -1 && m_skinData && !m_skinData->Empty() &&
           m_skinData->EnableSkinEffects();
}

bool TksSkinButton::IsPressedLook() const {
    return m_down && (m_groupIndex != 0 || m_mouseIn || (FocusedForLook() && !m_mouseDown));
}

bool TksSkinButton::IsHighlightedLook() const {
    return !IsPressedLook() && (m_mouseIn || FocusedForLook());
}

void TksSkinButton::DrawCaptionAndGlyph(TBitmap& bitmap, const TRect& area, int frame, bool shifted) {
    TCanvas& c = bitmap.Canvas();
    TSize ts{0, 0};
    if (!Caption().empty()) {
        // Measured as drawn: an "&" prefix takes no room.
        TRect calc{0, 0, 0, 0};
        c.DrawText(Caption(), calc, DT_CALCRECT | DT_SINGLELINE);
        ts = {calc.Width(), calc.Height()};
    }
    const int count = std::max(NumGlyphs, 1);
    const TSize gs = Glyph.Empty() ? TSize{0, 0} : TSize{Glyph.Width() / count, Glyph.Height()};
    TksButtonPlacement p = CalcButtonLayout(area, Layout, Margin, Spacing, gs, ts);
    if (shifted) {
        p.Glyph = {p.Glyph.X + 1, p.Glyph.Y + 1};
        p.Text = {p.Text.X + 1, p.Text.Y + 1};
    }
    if (!Caption().empty()) {
        c.Brush().SetStyle(TBrushStyle::bsClear);
        TRect tr{p.Text.X, p.Text.Y, p.Text.X + ts.cx + 2, p.Text.Y + ts.cy};
        c.DrawText(Caption(), tr, DT_CENTER | DT_SINGLELINE);
    }
    if (!Glyph.Empty()) DrawGlyphFrame(bitmap.Pixels(), p.Glyph.X, p.Glyph.Y, frame, count, Glyph.View());
}

void TksSkinButton::DrawWithoutSkin(TBitmap& bitmap) {
    const TPixelView v = bitmap.Pixels();
    const TRect all = v.Bounds();
    const bool pressed = IsPressedLook();
    const TPixel navy = MakePixel(0, 0, 128);
    if (pressed) {
        FillRectClipped(v, all, MakePixel(133, 147, 181));
        DrawRectOutline(v, all, navy);
    } else if (IsHighlightedLook()) {
        FillRectClipped(v, all, MakePixel(182, 189, 210));
        DrawRectOutline(v, all, navy);
    } else {
        FillRectClipped(v, all, SysPixel(clBtnFace));
        DrawRectOutline(v, all, SysPixel(clBtnShadow));
    }
    TCanvas& c = bitmap.Canvas();
    c.Font().Assign(m_defaultFont);
    if (!Enabled()) c.Font().SetColor(clBtnShadow);
    DrawCaptionAndGlyph(bitmap, ClientRect(), 1, pressed);
}

void TksSkinButton::LookUpSkinData() {
    TksSkinCustomControl::LookUpSkinData();
    // Without button data: no morph, no animation, no disabled picture.
    m_skin = TksDataSkinButtonControl{};
    m_normalRect = m_activeRect = m_downRect = m_element.SkinRect;
    if (m_dataIndex == -1) return;
    const auto* d = dynamic_cast<const TksDataSkinButtonControl*>(m_skinData->SkinControls(m_dataIndex));
    if (!d) return;
    // A button that may take any size cannot follow a mask.
    if (!UseSkinSize) m_mask = nullptr;
    m_skin = *d;
    m_activeRect = d->ActiveSkinRect.IsEmpty() ? m_element.SkinRect : d->ActiveSkinRect;
    m_downRect = d->DownSkinRect.IsEmpty() ? m_activeRect : d->DownSkinRect;
    if (m_animateTimer.Active() && m_skinData->EnableSkinEffects() && m_skin.FrameCount > 0 &&
        m_animateFrame > 0 && m_animateFrame <= m_skin.FrameCount) {
        const TRect& a = m_skin.AnimateSkinRect;
        const int fw = a.Width() / m_skin.FrameCount;
        const TRect frame{a.Left + fw * (m_animateFrame - 1), a.Top, a.Left + fw * m_animateFrame, a.Bottom};
        (m_animateForward ? m_activeRect : m_normalRect) = frame;
    }
}

void TksSkinButton::AdjustSizeToSkin(int& width, int& height) {
    // Without UseSkinSize only a nine-part element keeps its rules; the
    // others stretch to any size.
    if (UseSkinSize || m_layout == TSkinLayout::NinePart)
        TksSkinCustomControl::AdjustSizeToSkin(width, height);
}

void TksSkinButton::ApplySkinChange() {
    StopAnimation();
    m_morphTimer.Reset();
    TksSkinCustomControl::ApplySkinChange();
    m_kf = (FocusedForLook() || m_mouseIn) ? 1.0 : 0.0;
}

void TksSkinButton::DrawState(TBitmap& bitmap, const TRect& r, bool highlighted, bool pressed) {
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    TRect area;
    if (UseSkinSize || m_layout == TSkinLayout::NinePart) {
        TPixelBuffer out;
        ComposeSkinElement(r, w, h, out);
        if (!out.Empty()) PutPixels(bitmap, out);
        TSkinElementGeometry e = m_element;
        e.SkinRect = r;
        area = CalcSkinTarget(e, bitmap.Width(), bitmap.Height()).Geometry.ClientRect;
    } else {
        const TPixelView target = bitmap.Pixels();
        if (m_layout == TSkinLayout::Fixed)
            StretchBlock(target, target.Bounds(), PictureView(), r);
        else if (m_layout != TSkinLayout::None)
            ComposeByClientRect(PictureView(), r, m_element.Geometry.ClientRect, target);
        area = m_element.Geometry.ClientRect;
        area.Right += w - r.Width();
        area.Bottom += h - r.Height();
    }
    TFont font;
    AssignSkinFont(font, m_useSkinFont ? &m_skin : nullptr, m_defaultFont);
    if (!Enabled())
        font.SetColor(m_skin.DisabledFontColor);
    else if (highlighted && pressed)
        font.SetColor(m_skin.DownFontColor);
    else if (highlighted)
        font.SetColor(m_skin.ActiveFontColor);
    else
        font.SetColor(m_skin.FontColor);
    bitmap.Canvas().Font().Assign(font);
    int frame = 1;
    if (pressed && highlighted && NumGlyphs > 2)
        frame = 3;
    else if (highlighted && NumGlyphs > 3)
        frame = 4;
    else if (Enabled() || NumGlyphs < 2)
        frame = 1;
    else
        frame = 2;
    DrawCaptionAndGlyph(bitmap, area, frame, pressed && highlighted);
}

void TksSkinButton::PaintWindow(HDC dc) {
    if (Width() <= 0 || Height() <= 0) return;
    LookUpSkinData();
    if (m_dataIndex == -1 || !m_isSkinElement) {
        TksSkinCustomControl::PaintWindow(dc);
        return;
    }
    m_inPaint = true;
    try {
        TBitmap bitmap(Width(), Height());
        if (MorphActive() && m_kf != 0.0 && m_kf != 1.0 && Enabled()) {
            TBitmap highlighted(Width(), Height());
            DrawState(bitmap, m_normalRect, false, false);
            DrawState(highlighted, m_activeRect, true, false);
            MorphPixels(bitmap.Pixels(), highlighted.Pixels(), static_cast<int>(m_skin.MorphKind), m_kf);
        } else if (!Enabled() && !m_skin.DisabledSkinRect.IsEmpty()) {
            DrawState(bitmap, m_skin.DisabledSkinRect, false, false);
        } else if (IsPressedLook()) {
            DrawState(bitmap, m_downRect, true, true);
        } else if (FocusedForLook() || m_mouseIn) {
            DrawState(bitmap, m_activeRect, true, false);
        } else if (!MorphActive() || m_kf != 1.0) {
            DrawState(bitmap, m_normalRect, false, false);
        } else {
            DrawState(bitmap, m_activeRect, true, false);
        }
        PutOnControl(dc, bitmap);
    } catch (...) {
        m_inPaint = false;
        throw;
    }
    m_inPaint = false;
}

void TksSkinButton::StartAnimation(bool forward) {
    if (m_dataIndex == -1 || !m_skinData || !m_skinData->EnableSkinEffects() ||
        m_skin.AnimateSkinRect.IsEmpty() || m_skin.FrameCount < 1 || !HandleAllocated())
        return;
    m_animateForward = forward;
    m_animateFrame = forward ? 1 : m_skin.FrameCount;
    // Killed first: a running timer of the same id would otherwise be killed
    // after SetTimer renewed it, leaving a dead timer that looks alive.
    m_animateTimer.Reset();
    m_animateTimer =
        TTimerId(HandleOrNull(), kAnimateTimer, static_cast<UINT>(std::max(m_skin.AnimateInterval, 1)));
    Invalidate();
}

void TksSkinButton::StopAnimation() {
    m_animateTimer.Reset();
    m_animateFrame = 0;
}

void TksSkinButton::AnimationTick() {
    m_animateFrame += m_animateForward ? 1 : -1;
    if (m_animateFrame > m_skin.FrameCount || m_animateFrame < 0) StopAnimation();
    Invalidate();
}

void TksSkinButton::SetDown(bool value) {
    m_down = value;
    if (MorphActive()) {
        m_kf = 1.0;
        if (value)
            m_morphTimer.Reset();
        else
            StartMorph();
    }
    Invalidate();
    if (m_groupIndex != 0 && value && !AllowAllUp && Parent()) {
        for (int i = 0; i < Parent()->ControlCount(); ++i) {
            auto* other = dynamic_cast<TksSkinButton*>(Parent()->Controls(i));
            if (other && other != this && other->m_groupIndex == m_groupIndex && other->m_down)
                other->SetDown(false);
        }
    }
}

void TksSkinButton::SetGroupIndex(int value) {
    m_groupIndex = value;
    if (value != 0) SetCanFocused(false);
}

void TksSkinButton::SetCanFocused(bool value) {
    m_canFocused = value;
    SetTabStop(value);
}

void TksSkinButton::SetDefault(bool value) {
    m_default = value;
    if (HandleAllocated())
        if (TCustomForm* form = ParentForm()) form->FocusChanged(form->ActiveControl());
}

void TksSkinButton::ButtonClick() {
    if (m_canFocused)
        if (TCustomForm* form = ParentForm()) form->SetModalResult(ModalResult);
    if (OnClick) OnClick(this);
}

void TksSkinButton::StartMorph() {
    if (!MorphActive() || !HandleAllocated()) {
        Invalidate();
        return;
    }
    if (!m_morphTimer.Active()) m_morphTimer = TTimerId(HandleOrNull(), kMorphTimer, 20);
}

void TksSkinButton::MorphTick() {
    const bool hot = m_mouseIn || FocusedForLook();
    if (!MorphActive()) {
        m_kf = hot ? 1.0 : 0.0;
        m_morphTimer.Reset();
    } else if (hot && m_kf < 1.0) {
        m_kf += 0.2;
    } else if (!hot && m_kf > 0.0) {
        m_kf -= 0.2;
    } else {
        m_kf = hot ? 1.0 : 0.0;
        m_morphTimer.Reset();
    }
    Invalidate();
}

void TksSkinButton::StartRepeat() {
    if (!HandleAllocated()) return;
    m_repeatTimer.Reset();  // see StartAnimation
    m_repeatTimer = TTimerId(HandleOrNull(), kRepeatTimer, static_cast<UINT>(std::max(RepeatInterval, 1)));
}

void TksSkinButton::StopRepeat() {
    m_repeatTimer.Reset();
}

void TksSkinButton::WndProc(TMessage& msg) {
    switch (msg.Msg) {
        case WM_ERASEBKGND:
            // Asked to erase from outside its own paint (a parent drawing its
            // children, a window shown), the button draws its whole look.
            if (!m_inPaint && msg.WParam) PaintWindow(reinterpret_cast<HDC>(msg.WParam));
            msg.Result = 1;
            return;
        case WM_TIMER:
            if (msg.WParam == kMorphTimer) {
                MorphTick();
                return;
            }
            if (msg.WParam == kAnimateTimer) {
                AnimationTick();
                return;
            }
            if (msg.WParam == kRepeatTimer) {
                if (m_down && m_mouseIn) ButtonClick();
                return;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // A press on a button without the focus first takes the focus,
            // with clicks held back during the change; when the focus cannot
            // be taken the press is swallowed.
            if (m_canFocused && !Focused()) {
                m_suppressClicks = true;
                if (CanFocus()) SetFocus();
                m_suppressClicks = false;
                if (!Focused()) return;
            }
            break;
        default: break;
    }
    TksSkinCustomControl::WndProc(msg);
}

void TksSkinButton::MouseEnter() {
    m_mouseIn = true;
    const bool proceed = m_groupIndex != 0 ? !m_down : (!Focused() || m_down);
    if (proceed) {
        if (m_down) {
            if (MorphActive()) m_kf = 1.0;
            Invalidate();
        } else {
            StartAnimation(true);
            StartMorph();
        }
        if (m_down && RepeatMode && m_groupIndex == 0) StartRepeat();
    }
    TksSkinCustomControl::MouseEnter();
}

void TksSkinButton::MouseLeave() {
    // The active default button keeps its highlight while the focus is on a
    // control that is not a button.
    if (!(m_default && m_canFocused && m_active && !Focused())) m_mouseIn = false;
    const bool proceed = m_groupIndex != 0 ? !m_down : (!Focused() || m_down);
    if (proceed) {
        StartAnimation(false);
        StartMorph();
    }
    if (m_down && RepeatMode && m_groupIndex == 0) StopRepeat();
    Invalidate();
    TksSkinCustomControl::MouseLeave();
}

void TksSkinButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && Enabled()) {
        StopAnimation();
        m_mouseDown = true;
        MouseCapture(true);
        if (!m_down) {
            m_mouseIn = true;
            SetDown(true);
            if (RepeatMode && m_groupIndex == 0)
                StartRepeat();
            else if (m_groupIndex != 0)
                ButtonClick();
            m_releaseCheck = false;
        } else if (m_groupIndex != 0) {
            m_releaseCheck = true;
        }
    }
    TksSkinCustomControl::MouseDown(button, shift, x, y);
}

void TksSkinButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && m_mouseDown) {
        m_mouseDown = false;
        MouseCapture(false);
        const bool inside = ClientRect().Contains({x, y});
        if (m_groupIndex == 0) {
            StopRepeat();
            if (inside) {
                m_mouseIn = true;
                SetDown(false);
                if (!RepeatMode) ButtonClick();
            } else {
                m_down = false;
                Invalidate();
            }
        } else if (m_down && AllowAllUp && m_releaseCheck && inside) {
            SetDown(false);
            ButtonClick();
        }
    }
    if (HandleAllocated() && IsWindowVisible(HandleOrNull()))
        TksSkinCustomControl::MouseUp(button, shift, x, y);
}

void TksSkinButton::KeyDown(WORD& key, TShiftState shift) {
    if (m_canFocused) {
        if (key == VK_SPACE && !m_down) {
            SetDown(true);
            if (RepeatMode) ButtonClick();
        } else if (key == VK_RETURN) {
            ButtonClick();
        }
    }
    TksSkinCustomControl::KeyDown(key, shift);
}

void TksSkinButton::KeyUp(WORD& key, TShiftState shift) {
    if (m_canFocused && key == VK_SPACE && m_down) {
        SetDown(false);
        ButtonClick();
    }
    TksSkinCustomControl::KeyUp(key, shift);
}

bool TksSkinButton::DialogKey(WORD key, TShiftState shift) {
    if (!Visible()) return false;
    if (!m_canFocused) return false;  // keyboard input needs CanFocused
    if (key == VK_RETURN && m_active && Enabled()) {
        ButtonClick();
        return true;
    }
    if (key == VK_ESCAPE && Cancel && CanFocus() && !(shift & ssShift)) {
        ButtonClick();
        return true;
    }
    return false;
}

bool TksSkinButton::DialogChar(char ch) {
    if (IsAccel(ch, Caption()) && m_canFocused && CanFocus()) {
        SetFocus();
        ButtonClick();
        return true;
    }
    return false;
}

void TksSkinButton::FocusChanged(TWinControl* focused) {
    auto* button = dynamic_cast<TksSkinButton*>(focused);
    m_active = button ? (button == this) : m_default;
    if (m_default && m_canFocused) {
        if (button && button != this) {
            m_mouseIn = false;
            StartMorph();
        } else if (!button) {
            m_mouseIn = true;
            if (MorphActive()) m_kf = 1.0;
            Invalidate();
        }
    }
    TksSkinCustomControl::FocusChanged(focused);
}

void TksSkinButton::DoEnter() {
    StartAnimation(true);
    StartMorph();
    TksSkinCustomControl::DoEnter();
}

void TksSkinButton::DoExit() {
    StopRepeat();
    if (m_groupIndex == 0 && m_down) m_down = false;
    StartAnimation(false);
    StartMorph();
    TksSkinCustomControl::DoExit();
}

void TksSkinButton::EnabledChanged() {
    m_morphTimer.Reset();
    m_kf = 0.0;
    m_mouseIn = false;
    Invalidate();
}

}  // namespace zv
