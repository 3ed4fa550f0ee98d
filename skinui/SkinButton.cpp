// The skinned push button: looks, drawing of a state, morph and frame
// animation timers, mouse, keyboard, dialog keys, accelerators and focus.
#include "skinui/SkinButton.h"

#include <algorithm>

#include "skinui/SkinEffects.h"
#include "skinui/SkinFont.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/Glyphs.h"
#include "vcl/Forms.h"

namespace zv {

namespace {

enum : UINT_PTR { kMorphTimer = 1, kRepeatTimer = 2, kAnimateTimer = 3 };

TPixel SysPixel(TColor c) {
    return ColorToPixel(ColorToRGB(c));
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

void TksSkinButton::DrawCaptionAndGlyph(TBitmap& bitmap, const TDeviceMap& map, const TRect& area, int frame,
                                        bool shifted) {
    // Text is measured and placed on device pixels; the glyph is drawn from
    // its skin pixels where that places it.
    TCanvas& c = bitmap.Canvas();
    const TDeviceScale scale = map.Scale;
    TSize ts{0, 0};
    if (!Caption().empty()) {
        // Measured as drawn: an "&" prefix takes no room.
        TRect calc{0, 0, 0, 0};
        c.DrawText(Caption(), calc, DT_CALCRECT | DT_SINGLELINE);
        ts = {calc.Width(), calc.Height()};
    }
    const int count = std::max(NumGlyphs, 1);
    const TSize gs = Glyph.Empty() ? TSize{0, 0} : TSize{Glyph.Width() / count, Glyph.Height()};
    TksButtonPlacement p =
        CalcButtonLayout(map.ToDevice(area), Layout, Margin < 0 ? Margin : scale.Map(Margin),
                         scale.Map(Spacing), scale.Map(gs), ts);
    if (shifted) {
        const int one = scale.Map(1);
        p.Glyph = {p.Glyph.X + one, p.Glyph.Y + one};
        p.Text = {p.Text.X + one, p.Text.Y + one};
    }
    if (!Caption().empty()) {
        c.Brush().SetStyle(TBrushStyle::bsClear);
        TRect tr{p.Text.X, p.Text.Y, p.Text.X + ts.cx + 2, p.Text.Y + ts.cy};
        c.DrawText(Caption(), tr, DT_CENTER | DT_SINGLELINE);
    }
    if (!Glyph.Empty()) {
        const TPoint at = map.ToSkin(p.Glyph);
        DrawGlyphFrame(SurfaceOf(bitmap, map), at.X, at.Y, frame, count, Glyph.View());
    }
}

void TksSkinButton::DrawFocusCue(TBitmap& bitmap, const TRect& area, TColor colour) {
    if (!FocusedForLook() || !KeyboardCuesShown() || !Enabled()) return;
    // One pixel inside the caption area, never on the face's border.
    TRect r{std::max(area.Left, 2), std::max(area.Top, 2), std::min(area.Right, bitmap.Width() - 2),
            std::min(area.Bottom, bitmap.Height() - 2)};
    if (r.Width() < 4 || r.Height() < 4) return;
    GdiFlush();
    DrawFocusFrame(bitmap.Pixels(), r, ColorToPixel(ColorToRGB(colour)));
}

void TksSkinButton::AccDescribeSelf(TAccInfo& info) {
    TksSkinCustomControl::AccDescribeSelf(info);
    info.Role = accRolePushButton;
    info.Name = AccCaptionText(Caption());
    if (Enabled()) info.DefaultAction = "Press";
    info.KeyboardShortcut = AccAccessKey(Caption());
    if (!m_canFocused) info.State &= ~accStateFocusable;
    if (m_default || m_active) info.State |= accStateDefault;
    if (IsPressedLook()) info.State |= accStatePressed;
    if (m_mouseIn) info.State |= accStateHotTracked;
}

void TksSkinButton::AccPerformDefaultAction(int item) {
    if (item >= 0 || !Enabled() || !Visible()) return;
    ButtonClick();
}

void TksSkinButton::DrawWithoutSkin(TBitmap& bitmap) {
    const TDeviceMap map = SkinMap();
    const TSkinSurface v = SurfaceOf(bitmap, map);
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
    DrawCaptionAndGlyph(bitmap, map, all, 1, pressed);
    DrawFocusCue(bitmap, {3, 3, Width() - 3, Height() - 3}, c.Font().Color());
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
    TDeviceMap map = TDeviceMap::ForDeviceSize(bitmap.Width(), bitmap.Height(), Scale());
    const int w = map.Width;
    const int h = map.Height;
    TRect area;
    if (UseSkinSize || m_layout == TSkinLayout::NinePart) {
        TSkinElementGeometry e = m_element;
        e.SkinRect = r;
        if (m_layout != TSkinLayout::None) {
            // The bitmap takes the size the layout gives.
            const TSkinTarget t = CalcSkinTarget(e, w, h);
            if (t.Width != w || t.Height != h) {
                map = TDeviceMap::ForSkinSize(t.Width, t.Height, Scale());
                bitmap.SetSize(map.DeviceWidth(), map.DeviceHeight());
            }
            ComposeSkinElement(r, SurfaceOf(bitmap, map));
        }
        area = CalcSkinTarget(e, map.Width, map.Height).Geometry.ClientRect;
    } else {
        const TSkinSurface target = SurfaceOf(bitmap, map);
        if (m_layout == TSkinLayout::Fixed)
            target.Stretch(target.Bounds(), PictureView(), r);
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
    DrawCaptionAndGlyph(bitmap, map, area, frame, pressed && highlighted);
    DrawFocusCue(bitmap, area, font.Color());
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
        TBitmap bitmap;
        PrepareBitmap(bitmap, Width(), Height());
        if (MorphActive() && m_kf != 0.0 && m_kf != 1.0 && Enabled()) {
            TBitmap highlighted;
            PrepareBitmap(highlighted, Width(), Height());
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
    const bool changed = m_down != value;
    m_down = value;
    if (changed) NotifyAccEvent(accEventStateChange);
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
    if (m_default != value) NotifyAccEvent(accEventStateChange);
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
    NotifyAccEvent(accEventStateChange);
    m_morphTimer.Reset();
    m_kf = 0.0;
    m_mouseIn = false;
    Invalidate();
}

}  // namespace zv
