#include "skinui/SkinHintWindow.h"

#include <algorithm>

#include "skinui/CanvasText.h"
#include "skinui/SkinFont.h"
#include "skinui/SkinRegions.h"
#include "skinui/SkinWin32.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/Glyphs.h"
#include "skinui/paint/SkinSurface.h"
#include "skinui/paint/TextLayout.h"

namespace zv {

namespace {

TPixelView ViewOf(const TksBitmap* picture) {
    return picture ? picture->View() : TPixelView{};
}

TPixel Px(TColor c) {
    return ColorToPixel(ColorToRGB(c));
}

}  // namespace

TksSkinHintWindow::TksSkinHintWindow(TComponent* owner) : TPopupWindow(owner) {}

TksSkinHintWindow::~TksSkinHintWindow() = default;

void TksSkinHintWindow::SetSkinData(const TksSkinData* skinData) {
    m_data = nullptr;
    m_picture = nullptr;
    m_mask = nullptr;
    if (!skinData || skinData->Empty()) return;
    const TksDataSkinHintWindow& d = skinData->HintWindow();
    const TksBitmap* picture = skinData->ActivePicture(d.WindowPictureIndex);
    if (!picture || picture->Empty() || d.ClientRect.IsEmpty()) return;
    m_data = &d;
    m_picture = picture;
    const TksBitmap* mask = skinData->ActivePicture(d.MaskPictureIndex);
    if (mask && !mask->Empty() && mask->Width() == picture->Width() && mask->Height() == picture->Height())
        m_mask = mask;
}

void TksSkinHintWindow::CreateParams(TCreateParams& params) {
    TPopupWindow::CreateParams(params);
    params.WinClassName = "ZvSkinHint";
    params.ClassStyle = CS_SAVEBITS;
    // Layered and transparent: the system looks through it for the window
    // under the mouse (it may lie over the next line or the button below the
    // list), and it never takes the activation.
    params.ExStyle |= WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT;
}

void TksSkinHintWindow::WndProc(TMessage& msg) {
    if (msg.Msg == WM_NCHITTEST) {
        // The mouse goes through to whatever lies below: the hint must never
        // take it from the line it describes.
        msg.Result = HTTRANSPARENT;
        return;
    }
    TPopupWindow::WndProc(msg);
}

void TksSkinHintWindow::SetFontOf(TCanvas& canvas) {
    TFont fallback;
    fallback.SetName("Arial");
    fallback.SetHeight(14);
    AssignSkinFont(canvas.Font(), m_data, fallback);
    canvas.Font().SetColor(m_data ? m_data->FontColor : clInfoText);
}

TSize TksSkinHintWindow::MeasureText(const std::string& text) {
    TBitmap measure(1, 1);
    measure.Canvas().SetPixelsPerInch(m_scale.PixelsPerInch());
    SetFontOf(measure.Canvas());
    return measure.Canvas().TextExtent(text);
}

TSize TksSkinHintWindow::SkinTextSize(const std::string& text) {
    const TSize t = MeasureText(text);
    if (m_scale.Identity()) return t;
    // Up to whole skin pixels: the text never ends past its client part.
    const int ppi = m_scale.PixelsPerInch();
    auto up = [ppi](int device) { return (device * SkinPixelsPerInch + ppi - 1) / ppi; };
    return {up(t.cx), up(t.cy)};
}

TSkinGeometry TksSkinHintWindow::TargetGeometry(int w, int h) const {
    const TksDataSkinHintWindow& d = *m_data;
    const TSkinGeometry source{d.ClientRect, d.LeftTopPoint, d.RightTopPoint, d.LeftBottomPoint,
                               d.RightBottomPoint};
    return ResizeSkinGeometry(source, w - m_picture->Width(), h - m_picture->Height());
}

TSize TksSkinHintWindow::SkinHintSize(const std::string& text) {
    const TSize t = SkinTextSize(text);
    if (!m_data) return {t.cx + 8, t.cy + 4};
    const TRect& c = m_data->ClientRect;
    return {t.cx + 4 + m_picture->Width() - c.Width(), t.cy + m_picture->Height() - c.Height()};
}

TSize TksSkinHintWindow::CalcHintSize(const std::string& text) {
    return m_scale.Map(SkinHintSize(text));
}

TPoint TksSkinHintWindow::TextOrigin(const std::string& text) {
    const TSize size = SkinHintSize(text);
    const TDeviceMap map = TDeviceMap::ForSkinSize(size.cx, size.cy, m_scale);
    if (!m_data) return map.ToDevice(TPoint{4, 2});
    const TSize t = MeasureText(text);
    const TRect client = map.ToDevice(TargetGeometry(size.cx, size.cy).ClientRect);
    return {client.Left + map.X.ToDevice(2) - map.X.ToDevice(0), client.Top + (client.Height() - t.cy) / 2};
}

void TksSkinHintWindow::PaintHint(TBitmap& bitmap, int w, int h, const std::string& text) {
    bitmap.SetSize(w, h);
    if (bitmap.Empty()) return;
    // The pictures in skin pixels, scaled as one onto the device pixels.
    const TDeviceMap map = TDeviceMap::ForDeviceSize(w, h, m_scale);
    const int sw = map.Width;
    const int sh = map.Height;
    TPoint origin = map.ToDevice(TPoint{4, 2});
    TPixelBuffer skin;
    if (m_data) {
        const TksDataSkinHintWindow& d = *m_data;
        const TPixelView picture = ViewOf(m_picture);
        const TSkinGeometry source{d.ClientRect, d.LeftTopPoint, d.RightTopPoint, d.LeftBottomPoint,
                                   d.RightBottomPoint};
        const TSkinGeometry target = TargetGeometry(sw, sh);
        ComposeNinePart(picture, {0, 0, picture.Width, picture.Height}, source, skin, sw, sh, target, true,
                        {d.TopStretch, d.BottomStretch, d.LeftStretch, d.RightStretch});
        const int th = MeasureText(text).cy;
        const TRect client = map.ToDevice(target.ClientRect);
        origin = {client.Left + map.X.ToDevice(2) - map.X.ToDevice(0),
                  client.Top + (client.Height() - th) / 2};
    } else {
        skin.SetSize(sw, sh);
        const TPixelView view = skin.View();
        FillRectClipped(view, view.Bounds(), Px(clInfoBk));
        DrawRectOutline(view, view.Bounds(), Px(clInfoText));
    }
    if (map.IsIdentity())
        bitmap.Assign(skin);
    else
        TSkinSurface(bitmap.Pixels(), map, nullptr).Copy(0, 0, skin.View(), skin.View().Bounds());
    TCanvas& canvas = bitmap.Canvas();
    canvas.SetPixelsPerInch(m_scale.PixelsPerInch());
    SetFontOf(canvas);
    TksCanvasText out(canvas);
    out.TextOutClipped({0, 0, w, h}, origin.X, origin.Y, text);
}

void TksSkinHintWindow::PaintWindow(HDC dc) {
    TBitmap bitmap;
    PaintHint(bitmap, Width(), Height(), m_text);
    bitmap.DrawTo(dc, 0, 0);
}

void TksSkinHintWindow::ActivateHint(HWND nearWindow, int x, int y, const std::string& text) {
    m_text = text;
    const TSize size = CalcHintSize(text);
    const TRect area = GetMonitorWorkArea(nearWindow, true);
    // Inside the work area: pushed left and up as far as it sticks out, but
    // never past its left or top edge.
    x = std::max(std::min(x, area.Right - size.cx), area.Left);
    y = std::max(std::min(y, area.Bottom - size.cy), area.Top);
    SetBounds(x, y, size.cx, size.cy);
    HWND h = Handle();
    if (m_mask) {
        const TksDataSkinHintWindow& d = *m_data;
        const TSkinGeometry source{d.ClientRect, d.LeftTopPoint, d.RightTopPoint, d.LeftBottomPoint,
                                   d.RightBottomPoint};
        const TSize skin = SkinHintSize(text);
        SetWindowRegion(CreateComposedMaskRegion(m_mask->View(), source, TargetGeometry(skin.cx, skin.cy),
                                                 skin.cx, TDeviceMap::ForSkinSize(skin.cx, skin.cy, m_scale)),
                        false);
    }
    SetWindowAlpha(h, 255);  // a layered window shows once it has its alpha
    Popup(x, y);
    m_showing = true;
    ::InvalidateRect(h, nullptr, FALSE);
    UpdateWindow(h);
}

void TksSkinHintWindow::ReleaseHint() {
    if (!m_showing) return;
    m_showing = false;
    ClosePopup();
}

}  // namespace zv
