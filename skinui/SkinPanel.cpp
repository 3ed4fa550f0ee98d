// The skinned panel: size and caption properties, rolling up, the client
// area for its children, skinned and plain drawing, caption clicks.
#include "skinui/SkinPanel.h"

#include <algorithm>

#include "skinui/SkinFont.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/ControlLayout.h"
#include "skinui/paint/Glyphs.h"

namespace zv {

namespace {

TPixel SysPixel(TColor c) {
    return ColorToPixel(ColorToRGB(c));
}

// A one-pixel 3-D frame: `topLeft` on the top and left edges, `bottomRight`
// on the bottom and right ones.
void Frame3D(const TSkinSurface& v, const TRect& r, TColor topLeft, TColor bottomRight) {
    if (r.IsEmpty()) return;
    const TPixel tl = SysPixel(topLeft);
    const TPixel br = SysPixel(bottomRight);
    DrawLine(v, r.Left, r.Top, r.Right, r.Top, tl);
    DrawLine(v, r.Left, r.Top, r.Left, r.Bottom, tl);
    DrawLine(v, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1, br);
    DrawLine(v, r.Right - 1, r.Top, r.Right - 1, r.Bottom, br);
}

}  // namespace

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
    const TDeviceScale scale = Scale();
    const int h = scale.Unmap(height);
    if (HasSkinElement())
        return scale.Map(h - CalcSkinTarget(m_element, SkinSize().cx, h).Geometry.ClientRect.Height());
    return scale.Map(m_defaultCaptionHeight + 1);
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
    // Worked out in skin pixels, given to the children in device pixels.
    const TDeviceMap map = SkinMap();
    if (HasSkinElement()) {
        // A tiled background, or the background-only drawing, covers the
        // whole panel; otherwise children sit in the element's client part.
        if (m_skin.BGPictureIndex != -1 || (m_borderStyle == TksSkinBorderStyle::bvNone && !m_captionMode &&
                                            m_layout == TSkinLayout::NinePart))
            return;
        r = map.ToDevice(CalcSkinTarget(m_element, map.Width, map.Height).Geometry.ClientRect);
        return;
    }
    // Without skin data: a one-pixel border unless there is none, and the
    // caption band on top.
    TRect c{0, 0, map.Width, map.Height};
    if (m_borderStyle != TksSkinBorderStyle::bvNone) c = {c.Left + 1, c.Top + 1, c.Right - 1, c.Bottom - 1};
    if (m_captionMode) c.Top += m_defaultCaptionHeight;
    const TRect d = map.ToDevice(c);
    r = {r.Left + d.Left, r.Top + d.Top, r.Right - (map.DeviceWidth() - d.Right),
         r.Bottom - (map.DeviceHeight() - d.Bottom)};
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
    const TSize size = SkinSize();
    return MapSkinRectToTarget(m_skin.CaptionRect, m_element, m_layout, size.cx, size.cy);
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
    TBitmap bitmap;
    PrepareBitmap(bitmap, Width(), Height());
    const TSkinSurface target = SurfaceOf(bitmap, SkinMap());
    for (int i = 0; i <= target.Width() / bg.Width; ++i)
        for (int j = 0; j <= target.Height() / bg.Height; ++j)
            target.Copy(i * bg.Width, j * bg.Height, bg, bg.Bounds());
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
        const TSkinSurface target = SurfaceOf(bitmap, SkinMap());
        const TPixelView pic = PictureView();
        if (cl.IsEmpty() || pic.Empty()) return;
        for (int x = 0; x < target.Width(); x += cl.Width())
            for (int y = 0; y < target.Height(); y += cl.Height()) target.Copy(x, y, pic, cl);
        return;
    }
    TksSkinCustomControl::DrawFromSkin(bitmap);
    const TRect band = SkinCaptionRect();
    if (!Caption().empty() && !band.IsEmpty()) DrawSkinCaption(bitmap, band);
}

void TksSkinPanel::DrawGlyph(const TSkinSurface& target, int x, int y) const {
    const int count = std::max(NumGlyphs, 1);
    const int frame = (!Enabled() && count == 2) ? 2 : 1;
    DrawGlyphFrame(target, x, y, frame, count, Glyph.View());
}

void TksSkinPanel::DrawSkinCaption(TBitmap& bitmap, const TRect& band) {
    // Pictures in skin pixels; the text measured and placed on device
    // pixels, its box and frame piece following it.
    const TDeviceMap map = SkinMap();
    const TSkinSurface surface = SurfaceOf(bitmap, map);
    const TDeviceScale scale = Scale();
    TRect b = band;
    if (m_rollUpMode) b.Right -= 12;
    const TPixelView pic = PictureView();
    if (m_checkedMode) {
        const TRect piece = m_checked ? m_skin.CheckImageRect : m_skin.UnCheckImageRect;
        if (!piece.IsEmpty())
            DrawGlyphFrame(surface, b.Left, b.Top + b.Height() / 2 - piece.Height() / 2, 1, 1,
                           SubView(pic, piece));
        b.Left += piece.Width() + 2;
    }
    if (m_rollUpMode) {
        const TRect box{b.Right + 1, b.Top, b.Right + 11, b.Bottom};
        const TRect& mark = m_skin.MarkFrameRect;
        if (!mark.IsEmpty()) surface.Copy(box.Left, band.Top, pic, mark);
        DrawArrow(surface, box, ColorToPixel(m_skin.FontColor), m_rollUpState ? 4 : 3);
    }

    TCanvas& c = bitmap.Canvas();
    AssignSkinFont(c.Font(), m_useSkinFont ? &m_skin : nullptr, m_defaultFont);
    c.Font().SetColor(m_skin.FontColor);
    const TRect db = map.ToDevice(b);
    const TSize ts = c.TextExtent(Caption());
    const bool glyph = !Glyph.Empty();
    const int gw = glyph ? scale.Map(Glyph.Width() / std::max(NumGlyphs, 1)) : 0;
    const int gap = glyph ? gw + scale.Map(Spacing) : 0;
    const int w = ts.cx + gap;
    int x = db.Left;
    if (m_skin.Alignment == TAlignment::taRightJustify)
        x = db.Right - w;
    else if (m_skin.Alignment == TAlignment::taCenter)
        x = db.Left + db.Width() / 2 - w / 2;
    int glyphX = x;
    int textX = x + gap;
    const int textY = db.Top + db.Height() / 2 - ts.cy / 2;

    const TRect& frame = m_skin.FrameRect;
    if (!frame.IsEmpty()) {
        // The frame piece is as wide as the text (in skin pixels) plus its
        // margins.
        const int extra = frame.Width() - m_skin.FrameTextRect.Width();
        const int textWidth = scale.Unmap(ts.cx);
        const TPoint at = map.ToSkin({x, 0});
        const int left = m_skin.Alignment == TAlignment::taLeftJustify ? at.X : at.X - extra;
        TSkinBuffer back(map.Part({left, band.Top, left + textWidth + extra, band.Top + frame.Height()}),
                         ScaledPictures());
        ComposeHorizontal(pic, frame, m_skin.FrameLeftOffset, m_skin.FrameRightOffset, back.Surface(), false);
        surface.Put(left, band.Top, back.Pixels().View());
        if (m_skin.Alignment == TAlignment::taLeftJustify) {
            textX += scale.Map(m_skin.FrameTextRect.Left);
        } else {
            glyphX -= scale.Map(extra);
            textX += scale.Map(m_skin.FrameTextRect.Left - extra);
        }
    }
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.TextRect(db, textX, textY, Caption());
    if (glyph) {
        const TPoint at = map.ToSkin({glyphX, 0});
        DrawGlyph(surface, at.X, b.Top + b.Height() / 2 - Glyph.Height() / 2);
    }
}

TRect TksSkinPanel::DefaultCaptionRect() const {
    return {1, 1, SkinSize().cx - 1, m_defaultCaptionHeight};
}

void TksSkinPanel::DrawWithoutSkin(TBitmap& bitmap) {
    // Drawn in skin pixels, so the frames grow with the display; the text on
    // device pixels.
    const TDeviceMap map = SkinMap();
    const TSkinSurface v = SurfaceOf(bitmap, map);
    const int w = map.Width;
    const int h = map.Height;
    FillRectClipped(bitmap.Pixels(), bitmap.Pixels().Bounds(), SysPixel(clBtnFace));
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
    const TDeviceScale scale = Scale();
    const TRect dText = map.ToDevice(text);
    const TRect dBand = map.ToDevice(band);
    const TSize ts = c.TextExtent(Caption());
    const bool glyph = !Glyph.Empty();
    const int gap = glyph ? scale.Map(Glyph.Width() / std::max(NumGlyphs, 1) + Spacing) : 0;
    const int tw = ts.cx + gap;
    int x = dText.Left;
    if (m_defaultAlignment == TAlignment::taRightJustify)
        x = dBand.Right - tw;
    else if (m_defaultAlignment == TAlignment::taCenter)
        x = dBand.Left + scale.Map(2) + dBand.Width() / 2 - tw / 2;
    c.TextRect(dText, x + gap, dText.Top + dText.Height() / 2 - ts.cy / 2, Caption());
    if (glyph) {
        const TPoint at = map.ToSkin({x, 0});
        DrawGlyph(v, at.X, text.Top + text.Height() / 2 - Glyph.Height() / 2);
    }
}

void TksSkinPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    const TRect band = HasSkinElement() ? SkinCaptionRect() : DefaultCaptionRect();
    if (button == TMouseButton::mbLeft && m_captionMode && (m_checkedMode || m_rollUpMode) &&
        band.Contains(SkinMap().ToSkin({x, y}))) {
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

}  // namespace zv
