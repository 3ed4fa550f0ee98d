// The skinned window frame.
//
//   construction      attaching to the form, giving it back
//   properties        SkinData, BorderIcons, the skin's frame objects
//   sizes, layout     minimum/maximum, UpdateLayout, UpdateFrame,
//                     UpdateFrameRegion
//   painting          PaintSkinFrame, RedrawObject, client background,
//                     the default frame and its buttons
//   window procedure  the messages that end a menu, then every message the
//                     frame handles, the rest passed on to the form
//   input             hit test, TestHover, polling, non-client mouse, move
//                     loop, activation
//   menus             system menu, menu mode and its message filter
#include "skinui/SkinFrame.h"

#include <windowsx.h>

#include <algorithm>

#include "skinui/CanvasText.h"
#include "skinui/SkinControlBase.h"
#include "skinui/SkinEffects.h"
#include "skinui/SkinPopupMenu.h"
#include "skinui/SkinRegions.h"
#include "skinui/SkinStdLabel.h"
#include "skinui/SkinWin32.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/Glyphs.h"
#include "skinui/paint/TextLayout.h"
#include "vcl/WideText.h"

namespace zv {

static_assert(htClient == HTCLIENT && htCaption == HTCAPTION && htLeft == HTLEFT && htRight == HTRIGHT &&
              htTop == HTTOP && htTopLeft == HTTOPLEFT && htTopRight == HTTOPRIGHT && htBottom == HTBOTTOM &&
              htBottomLeft == HTBOTTOMLEFT && htBottomRight == HTBOTTOMRIGHT);

namespace {

constexpr UINT_PTR kMorphTimerId = 0x4B5A;
constexpr UINT_PTR kPollTimerId = 0x4B5B;
constexpr WPARAM kKeyMenuCommand = 0xF100;
// Undocumented messages of themed systems that paint the non-client area.
constexpr UINT kNCUAHDrawCaption = 0x00AE;
constexpr UINT kNCUAHDrawFrame = 0x00AF;

// The messages that end an open skinned menu before the frame handles them.
constexpr UINT kEndMenuMessages[] = {WM_MOVE,          WM_SIZE,          WM_ACTIVATE,      WM_KILLFOCUS,
                                     WM_CANCELMODE,    WM_MOUSEACTIVATE, WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN,
                                     WM_NCMBUTTONDOWN, WM_LBUTTONDOWN,   WM_RBUTTONDOWN,   WM_MBUTTONDOWN,
                                     WM_PARENTNOTIFY};

TSize WindowSize(HWND h) {
    RECT r{};
    if (h != nullptr) GetWindowRect(h, &r);
    return {r.right - r.left, r.bottom - r.top};
}

// Depth first through the controls of parent: every skinned control whose
// skin data is data (every one when data is null) is told.
void TellSkinControls(TWinControl* parent, TksSkinData* data, bool clear) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (auto* sc = dynamic_cast<TksSkinControl*>(c)) {
            if (data == nullptr || sc->SkinData() == data) {
                if (clear)
                    sc->ClearSkinIndex();
                else
                    sc->ApplySkinChange();
            }
        } else if (auto* label = dynamic_cast<TksSkinStdLabel*>(c)) {
            if (!clear && (data == nullptr || label->SkinData() == data)) label->ApplySkinChange();
        }
        if (auto* wc = dynamic_cast<TWinControl*>(c)) TellSkinControls(wc, data, clear);
    }
}

}  // namespace

// ---- construction ----------------------------------------------------------------

TksSkinFrame::TksSkinFrame(TComponent* owner) : TComponent(owner) {
    m_defCaptionFont.SetName("Arial");
    m_defCaptionFont.SetHeight(14);
    m_defCaptionFont.SetStyle(fsBold);
    m_defCaptionFont.SetColor(clBtnText);
    m_defInActiveCaptionFont.Assign(m_defCaptionFont);
    m_defInActiveCaptionFont.SetColor(clBtnShadow);
    m_defMenuItemFont.SetName("Arial");
    m_defMenuItemFont.SetHeight(14);
    m_form = dynamic_cast<TCustomForm*>(owner);
    if (m_form != nullptr) Attach();
}

TksSkinFrame::~TksSkinFrame() {
    Detach();
}

void TksSkinFrame::Attach() {
    m_form->SetBorderIcons(0);
    m_skinMenu = new TksSkinMenu(this, m_form);
    m_systemMenu = std::make_unique<TMenuItem>();

    // A client size the form was given before it had a window was measured
    // against the platform's caption; it is measured again against ours.
    const bool hadHandle = m_form->HandleAllocated();
    const TRect wanted = m_form->ClientRect();
    const bool clientSet =
        !hadHandle && (wanted.Width() != m_form->Width() || wanted.Height() != m_form->Height());

    m_savedWndProc = m_form->WindowProc;
    m_form->WindowProc = [this](TMessage& m) { FrameWndProc(m); };
    if (hadHandle) m_form->DestroyHandle();
    HWND h = m_form->Handle();
    const LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
    SetWindowLongPtrA(h, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
    SetWindowPos(h, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_windowActive = GetActiveWindow() == h;
    CreateDefaultObjects();
    // The default frame needs room for its border and caption; below that the
    // client area would be measured as empty.
    const TSize size = WindowSize(h);
    if (size.cx < MinimumWidth() || size.cy < MinimumHeight())
        SetWindowPos(h, nullptr, 0, 0, std::max<int>(size.cx, MinimumWidth()),
                     std::max<int>(size.cy, MinimumHeight()), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The platform may already have grown the window to the minimum tracking
    // size while creating it; the form's own bounds follow the window.
    const TSize made = WindowSize(h);
    if (made.cx != m_form->Width() || made.cy != m_form->Height())
        m_form->SetBounds(m_form->Left(), m_form->Top(), made.cx, made.cy);
    UpdateLayout();
    if (clientSet) m_form->SetClientSize(wanted.Width(), wanted.Height());
    m_form->AccWindowNode().NonClient.push_back(&m_titleBar);
}

void TksSkinFrame::Detach() {
    if (m_form == nullptr) return;
    // The menu goes first: its open levels show the frame's system menu
    // items, which die with the frame.
    if (TksSkinMenu* menu = m_skinMenu) {
        m_skinMenu = nullptr;
        delete menu;
    }
    if (m_menuMode) LeaveMenuMode();
    StopTimers();
    m_objects.clear();
    auto& nonClient = m_form->AccWindowNode().NonClient;
    nonClient.erase(std::remove(nonClient.begin(), nonClient.end(), &m_titleBar), nonClient.end());
    m_titleBar.AccDisconnect();
    m_form->WindowProc = m_savedWndProc;
    m_form = nullptr;
}

void TksSkinFrame::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == m_skinMenu) m_skinMenu = nullptr;
    if (component == m_menusSkinData) m_menusSkinData = nullptr;
    if (component == m_skinData) {
        // The objects point into the skin's pictures.
        m_skinData = nullptr;
        m_skinned = false;
        StopTimers();
        m_objects.clear();
        m_hoverIndex = m_pressedIndex = m_oldHoverIndex = -1;
        UpdateLayout();
    }
}

HWND TksSkinFrame::FormHandle() const {
    return (m_form != nullptr) ? m_form->HandleOrNull() : nullptr;
}

bool TksSkinFrame::BorderStyleNone() const {
    return m_form == nullptr || m_form->BorderStyle() == TFormBorderStyle::bsNone;
}

// ---- properties ------------------------------------------------------------------

void TksSkinFrame::SetSkinData(TksSkinData* value) {
    if (m_skinData != nullptr && m_skinData != value) m_skinData->RemoveFreeNotification(this);
    m_skinData = value;
    if (value != nullptr) value->FreeNotification(this);
    ApplyFrameSkin();
}

void TksSkinFrame::SetMenusSkinData(TksSkinData* value) {
    if (m_menusSkinData != nullptr && m_menusSkinData != value) m_menusSkinData->RemoveFreeNotification(this);
    m_menusSkinData = value;
    if (value != nullptr) value->FreeNotification(this);
}

void TksSkinFrame::SetBorderIcons(TBorderIcons value) {
    m_borderIcons = value;
    if (m_form == nullptr) return;
    // The objects of the state the frame is in are rebuilt for the new set.
    m_hoverIndex = m_pressedIndex = -1;
    if (m_skinned) {
        CreateFrameObjects();
        ArrangeFrameObjects();
        UpdateFrame();
    } else {
        CreateDefaultObjects();
        UpdateLayout();
    }
    RepaintFrame();
}

TksActiveSkinObject* TksSkinFrame::FrameObjects(int index) const {
    if (index < 0 || index >= static_cast<int>(m_objects.size())) return nullptr;
    return m_objects[static_cast<size_t>(index)].get();
}

int TksSkinFrame::IndexOfObject(const std::string& idName) const {
    for (size_t i = 0; i < m_objects.size(); ++i)
        if (m_objects[i]->Data().IDName == idName) return static_cast<int>(i);
    return -1;
}

// ---- skin ------------------------------------------------------------------------

void TksSkinFrame::ApplyFrameSkin() {
    if (m_form == nullptr) return;
    m_hoverIndex = m_pressedIndex = m_oldHoverIndex = -1;
    m_skinned = m_skinData != nullptr && !m_skinData->Empty();
    HWND h = m_form->Handle();
    if (m_skinned) {
        CreateFrameObjects();
        ArrangeFrameObjects();
    } else {
        m_objects.clear();
        m_maskRegion.reset();
        SetWindowRgn(h, nullptr, TRUE);
        CreateDefaultObjects();
    }
    // Laid out at once: the size enforcement below already repaints.
    UpdateLayout();
    EnforceMinimumSize();
    const TSize size = WindowSize(h);
    m_frameWidth = size.cx;
    m_frameHeight = size.cy;
    if (m_skinned)
        UpdateFrame();
    else
        UpdateLayout();
    UpdateAlphaBlend();
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
    UpdateCaptionObjects();
    if (OnChangeSkinData) OnChangeSkinData(this);
    if (ClientWidth > 0) m_form->SetClientSize(ClientWidth, m_form->ClientHeight());
    if (ClientHeight > 0) m_form->SetClientSize(m_form->ClientWidth(), ClientHeight);
}

void TksSkinFrame::CreateFrameObjects() {
    m_objects.clear();
    if (m_skinData == nullptr) return;
    for (int i = 0; i < m_skinData->SkinObjectCount(); ++i) {
        TksDataSkinObject* d = m_skinData->SkinObjects(i);
        if (dynamic_cast<TksDataSkinMenuItem*>(d) || dynamic_cast<TksDataSkinMainMenuItem*>(d) ||
            dynamic_cast<TksDataSkinMainMenuBarButton*>(d))
            continue;
        if (dynamic_cast<TksDataSkinStdButton*>(d))
            m_objects.push_back(std::make_unique<TksSkinStdButtonObject>(Owner(), m_skinData, d));
        else if (dynamic_cast<TksDataSkinButton*>(d))
            m_objects.push_back(std::make_unique<TksSkinButtonObject>(Owner(), m_skinData, d));
        else if (dynamic_cast<TksDataSkinCaption*>(d))
            m_objects.push_back(std::make_unique<TksSkinCaptionObject>(Owner(), m_skinData, d));
        // Gauges, switches, track bars, labels and animations are not made:
        // no window of the program has them.
    }
}

void TksSkinFrame::ArrangeFrameObjects() {
    for (const auto& o : m_objects) {
        auto* b = dynamic_cast<TksSkinStdButtonObject*>(o.get());
        if (b == nullptr) continue;
        auto hide = [b] {
            b->Enabled = false;
            b->Visible = !b->Data().SkinRectInAPicture;
        };
        if (HideCaptionButtons) {
            hide();
            continue;
        }
        TBorderIcons needed = 0;
        switch (b->Data().Command) {
            case TStdCommand::cmDefault: {
                bool visible = false;
                if (OnActivateCustomObject) OnActivateCustomObject(b->Data().IDName, visible);
                b->Visible = visible;
                continue;
            }
            case TStdCommand::cmMinimizeToTray: needed = biMinimizeToTray; break;
            case TStdCommand::cmRollUp: needed = biRollUp; break;
            case TStdCommand::cmMaximize: needed = biMaximize; break;
            case TStdCommand::cmMinimize: needed = biMinimize; break;
            case TStdCommand::cmSysMenu: needed = biSystemMenu; break;
            case TStdCommand::cmClose: needed = 0; break;
        }
        if (needed != 0 && (m_borderIcons & needed) == 0) hide();
    }
    // The caption objects draw the form's caption; without one that says
    // so in the skin, the first one does.
    TksSkinCaptionObject* first = nullptr;
    bool anyDefault = false;
    for (const auto& o : m_objects) {
        auto* c = dynamic_cast<TksSkinCaptionObject*>(o.get());
        if (c == nullptr) continue;
        if (first == nullptr) first = c;
        anyDefault = anyDefault || c->Data().DefaultCaption;
    }
    if (!anyDefault && first != nullptr) first->Data().DefaultCaption = true;
    if (UseDefaultObjectHint) ApplyObjectHints();
}

void TksSkinFrame::ApplyObjectHints() {
    for (const auto& o : m_objects) {
        auto* b = dynamic_cast<TksSkinStdButtonObject*>(o.get());
        if (b == nullptr) continue;
        switch (b->Data().Command) {
            case TStdCommand::cmClose: b->Data().Hint = "Close"; break;
            case TStdCommand::cmMaximize: b->Data().Hint = "Maximize"; break;
            case TStdCommand::cmMinimize: b->Data().Hint = "Minimize"; break;
            case TStdCommand::cmSysMenu: b->Data().Hint = "System menu"; break;
            case TStdCommand::cmRollUp: b->Data().Hint = "Roll Up"; break;
            case TStdCommand::cmMinimizeToTray: b->Data().Hint = "Minimize to Tray"; break;
            case TStdCommand::cmDefault: break;
        }
    }
}

void TksSkinFrame::CreateDefaultObjects() {
    m_objects.clear();
    auto add = [this](TStdCommand c) {
        m_objects.push_back(std::make_unique<TksSkinStdButtonObject>(Owner(), c, TRect{}));
    };
    if (m_borderIcons & biSystemMenu) add(TStdCommand::cmSysMenu);
    add(TStdCommand::cmClose);
    if (m_borderIcons & biMaximize) add(TStdCommand::cmMaximize);
    if (m_borderIcons & biMinimize) add(TStdCommand::cmMinimize);
    if (m_borderIcons & biRollUp) add(TStdCommand::cmRollUp);
    if (m_borderIcons & biMinimizeToTray) add(TStdCommand::cmMinimizeToTray);
    if (HideCaptionButtons)
        for (const auto& o : m_objects) o->Enabled = o->Visible = false;
}

std::vector<TFrameObjectEntry> TksSkinFrame::ObjectEntries() const {
    std::vector<TFrameObjectEntry> entries;
    entries.reserve(m_objects.size());
    for (const auto& o : m_objects) {
        TFrameObjectEntry entry;
        entry.SkinRect = o->Data().SkinRect;
        entry.ButtonSize = {o->Data().SkinRect.Width(), o->Data().SkinRect.Height()};
        entry.SkinRectInAPicture = o->Data().SkinRectInAPicture;
        entry.RollUp = o->Data().RollUp;
        entry.Enabled = o->Enabled;
        entry.Visible = o->Visible;
        if (o->Kind() == TksObjectKind::Caption) entry.Role = TFrameObjectRole::Caption;
        if (const auto* b = dynamic_cast<const TksSkinStdButtonObject*>(o.get())) {
            entry.Role = TFrameObjectRole::CaptionButton;
            entry.Command = b->Data().Command;
            if (b->ShowsIcon())
                entry.ButtonSize = {GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
        }
        entries.push_back(entry);
    }
    return entries;
}

void TksSkinFrame::UpdateLayout() {
    const TSize s = WindowSize(FormHandle());
    const std::vector<TFrameObjectEntry> entries = ObjectEntries();
    if (m_skinned) {
        const TksDataSkinFormInfo& fi = m_skinData->FormInfo();
        m_layout = CalcFrameLayout(fi, {m_skinData->Picture().Width(), m_skinData->Picture().Height()}, s.cx,
                                   s.cy, DefaultCaptionHeight());
        PlaceFrameObjects(m_layout, fi, entries);
    } else {
        const bool tool = m_form != nullptr && m_form->BorderStyle() == TFormBorderStyle::bsToolWindow;
        m_layout = CalcDefaultFrameLayout(s.cx, s.cy, DefaultCaptionHeight(), tool ? 13 : 17, entries);
    }
    m_frameWidth = s.cx;
    m_frameHeight = s.cy;
    for (size_t i = 0; i < m_objects.size() && i < m_layout.Objects.size(); ++i)
        m_objects[i]->ObjectRect = m_layout.Objects[i].Rect;
}

// ---- sizes -----------------------------------------------------------------------

int TksSkinFrame::DefaultCaptionHeight() const {
    return (m_form != nullptr && m_form->BorderStyle() == TFormBorderStyle::bsToolWindow) ? 15 : 19;
}

bool TksSkinFrame::FormMaximized() const {
    return FormHandle() != nullptr && IsZoomed(FormHandle());
}

bool TksSkinFrame::FormMinimized() const {
    return FormHandle() != nullptr && IsIconic(FormHandle());
}

int TksSkinFrame::MinimumWidth() const {
    if (m_skinned) {
        const int pw = m_skinData->Picture().Width();
        return (MinWidth > pw && !FormMinimized()) ? MinWidth : pw;
    }
    return MinWidth != 0 ? MinWidth : 130;
}

int TksSkinFrame::MinimumHeight() const {
    if (m_skinned) {
        const int h = m_skinData->Picture().Height() - m_skinData->FormInfo().ClientRect.Height();
        return (MinHeight > h && !m_rolledUp && !FormMinimized()) ? MinHeight : h;
    }
    return std::max(DefaultCaptionHeight() + 6, MinHeight);
}

TRect TksSkinFrame::MaximumArea() const {
    TRect area = GetMonitorWorkArea(FormHandle(), !MaximizeOnFullScreen);
    if (MaxWidth > 0 && area.Width() > MaxWidth) area.Right = area.Left + MaxWidth;
    if (MaxHeight > 0 && area.Height() > MaxHeight) area.Bottom = area.Top + MaxHeight;
    return area;
}

void TksSkinFrame::EnforceMinimumSize() {
    HWND h = FormHandle();
    if (h == nullptr) return;
    const TSize s = WindowSize(h);
    const int mw = MinimumWidth();
    const int mh = MinimumHeight();
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (s.cx < mw && s.cy < mh)
        SetWindowPos(h, nullptr, 0, 0, mw, mh, flags);
    else if (s.cy < mh)
        SetWindowPos(h, nullptr, 0, 0, s.cx, mh, flags);
    else if (s.cx < mw)
        SetWindowPos(h, nullptr, 0, 0, mw, s.cy, flags);
    else
        ForceFrameRecalc();
}

void TksSkinFrame::UpdateAlphaBlend() {
    HWND h = FormHandle();
    if (h == nullptr) return;
    const LONG_PTR ex = GetWindowLongPtrA(h, GWL_EXSTYLE);
    if (AlphaBlend) {
        if ((ex & WS_EX_LAYERED) == 0) SetWindowLongPtrA(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        SetWindowAlpha(h, static_cast<BYTE>(std::clamp(AlphaBlendValue, 0, 255)));
        m_layered = true;
    } else if (m_layered) {
        // Only a translucency the frame gave is taken away again.
        SetWindowLongPtrA(h, GWL_EXSTYLE, ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        m_layered = false;
    }
}

void TksSkinFrame::ForceFrameRecalc() {
    HWND h = FormHandle();
    if (h == nullptr || IsIconic(h) || IsZoomed(h)) return;
    const TSize s = WindowSize(h);
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    const int step = (s.cx <= MinimumWidth()) ? 1 : -1;
    // The passing size only makes the platform measure the frame again: it
    // is never laid out, neither the frame (its region) nor the controls,
    // which would be moved there and back for nothing.
    m_form->DisableAlign();
    m_passingSize = true;
    SetWindowPos(h, nullptr, 0, 0, s.cx + step, s.cy, flags);
    m_passingSize = false;
    SetWindowPos(h, nullptr, 0, 0, s.cx, s.cy, flags);
    m_form->EnableAlign();
}

// ---- layout ----------------------------------------------------------------------

void TksSkinFrame::UpdateFrame() {
    if (!m_skinned) return;
    UpdateLayout();
    UpdateFrameRegion();
    if (OnChangeClientRect) OnChangeClientRect(m_layout.ClientRect);
    if (!m_maskRegion) RepaintFrame();
}

void TksSkinFrame::UpdateFrameRegion() {
    HWND h = FormHandle();
    if (h == nullptr) return;
    if (BorderStyleNone() || m_skinData == nullptr || m_skinData->Mask().Empty()) {
        m_maskRegion.reset();
        SetWindowRgn(h, nullptr, TRUE);
        return;
    }
    const TksDataSkinFormInfo& fi = m_skinData->FormInfo();
    TSkinGeometry source = m_layout.Source;
    source.ClientRect = fi.MaskRectArea;
    TSkinGeometry dest = m_layout.Target;
    dest.ClientRect = m_layout.MaskRect;
    m_maskRegion = ComposeMaskRegion(m_skinData->Mask().View(), source, dest, m_frameWidth);
    TRegionHandle region;
    if (m_maskRegion) region = CreateComposedRegion(*m_maskRegion);
    if (!region) m_maskRegion.reset();
    // The system owns the region from here on.
    SetWindowRgn(h, region.Release(), TRUE);
}

// ---- painting --------------------------------------------------------------------

void TksSkinFrame::RepaintFrame() {
    if (FormHandle() == nullptr || BorderStyleNone()) return;
    if (m_skinned)
        PaintSkinFrame();
    else
        PaintDefaultFrame();
}

void TksSkinFrame::PaintSkinFrame() {
    HWND h = FormHandle();
    if (!m_skinned || !m_layout.Skinned || h == nullptr) return;
    const TksDataSkinFormInfo& fi = m_skinData->FormInfo();
    if (fi.ClientRect.IsEmpty()) return;
    const TSize size = WindowSize(h);
    if (size.cx < MinimumWidth() || size.cy < MinimumHeight()) return;
    // Painted as laid out for the size: the layout follows every size change.
    const TSize s{m_layout.Width, m_layout.Height};
    const TRect& client = m_layout.ClientRect;
    const bool active = IsFormActive();
    const TksBitmap& picture = (active || m_skinData->InActivePicture().Empty())
                                   ? m_skinData->Picture()
                                   : m_skinData->InActivePicture();
    // The strips are composed straight into the bitmaps that go to the
    // screen; the objects and the inactive effect work on the same pixels.
    const TFrameStripSizes& sizes = m_layout.Strips;
    TBitmap top(sizes.Top.cx, sizes.Top.cy);
    TBitmap bottom(sizes.Bottom.cx, sizes.Bottom.cy);
    TBitmap left(sizes.Left.cx, sizes.Left.cy);
    TBitmap right(sizes.Right.cx, sizes.Right.cy);
    ComposeFrameStrips(picture.View(), m_layout.Source, m_layout.Target,
                       {fi.TopStretch, fi.BottomStretch, fi.LeftStretch, fi.RightStretch},
                       {top.Pixels(), bottom.Pixels(), left.Pixels(), right.Pixels()});
    TksFrameCanvas topCanvas{&top, {0, 0}};
    TksFrameCanvas bottomCanvas{&bottom, {0, client.Bottom}};
    for (const auto& o : m_objects) {
        if (!o->Visible || o->Data().RollUp) continue;
        if (o->ObjectRect.Bottom <= client.Top) {
            if (!top.Empty()) o->PaintObject(topCanvas, false);
        } else if (!bottom.Empty()) {
            o->PaintObject(bottomCanvas, false);
        }
    }
    if (!active && fi.AutoRenderingInActiveImage) {
        const int effect = static_cast<int>(fi.InActiveEffect);
        for (const TBitmap* b : {&top, &bottom, &left, &right}) FrameInActiveEffect(b->Pixels(), effect);
    }
    TWindowDC dc = TWindowDC::Window(h);
    if (!dc) return;
    ExcludeClipRect(dc.Get(), client.Left, client.Top, client.Right, client.Bottom);
    const int topHeight = top.Height();
    top.DrawTo(dc.Get(), 0, 0);
    left.DrawTo(dc.Get(), 0, topHeight);
    right.DrawTo(dc.Get(), s.cx - right.Width(), topHeight);
    bottom.DrawTo(dc.Get(), 0, s.cy - bottom.Height());
}

void TksSkinFrame::PaintDefaultFrame() {
    HWND h = FormHandle();
    if (h == nullptr) return;
    const TSize s = WindowSize(h);
    if (s.cx <= 0 || s.cy <= 0) return;
    TBitmap b(s.cx, s.cy);
    const TPixelView v = b.Pixels();
    auto px = [](TColor c) { return ColorToPixel(ColorToRGB(c)); };
    FillRectClipped(v, v.Bounds(), px(clBtnFace));
    const TColor pairs[2][2] = {{cl3DLight, cl3DDkShadow}, {clBtnHighlight, clBtnShadow}};
    for (int i = 0; i < 2; ++i) {
        const int r = s.cx - 1 - i;
        const int btm = s.cy - 1 - i;
        DrawLine(v, i, i, r, i, px(pairs[i][0]));
        DrawLine(v, i, i, i, btm, px(pairs[i][0]));
        DrawLine(v, i, btm, r + 1, btm, px(pairs[i][1]));
        DrawLine(v, r, i, r, btm + 1, px(pairs[i][1]));
    }
    // The caption bar: face colour striped with shadow and highlight lines.
    const TRect bar = m_layout.CaptionRect;
    for (int y = bar.Top + 3, k = 0; y < bar.Bottom - 3; y += 2, ++k)
        DrawLine(v, bar.Left + 2, y, bar.Right - 2, y, px(k % 2 == 0 ? clBtnShadow : clBtnHighlight));
    const bool active = IsFormActive();
    std::string text = FormCaption();
    int left = bar.Left + 2;
    int right = bar.Right - 2;
    for (const auto& o : m_objects) {
        if (!o->Visible || o->ObjectRect.IsEmpty()) continue;
        if (o->ObjectRect.Left < s.cx / 2)
            left = std::max(left, o->ObjectRect.Right + 2);
        else
            right = std::min(right, o->ObjectRect.Left - 2);
    }
    if (!text.empty() && right > left) {
        TCanvas& c = b.Canvas();
        c.Font().Assign(active ? m_defCaptionFont : m_defInActiveCaptionFont);
        TksCanvasText t(c);
        FitTextToWidth(t, text, right - left - 8);
        const TSize ts = c.TextExtent(text);
        const int x = left + (right - left) / 2 - ts.cx / 2;
        const int y = bar.Top + bar.Height() / 2 - ts.cy / 2;
        // The text sits on a plain patch of the bar.
        FillRectClipped(b.Pixels(), {x - 4, bar.Top + 1, x + ts.cx + 4, bar.Bottom - 1}, px(clBtnFace));
        t.TextOutClipped({left, bar.Top, right, bar.Bottom}, x, y, text);
        GdiFlush();
    }
    TksFrameCanvas canvas{&b, {0, 0}};
    for (auto& o : m_objects)
        if (o->Visible) o->PaintObject(canvas, true);
    TWindowDC dc = TWindowDC::Window(h);
    if (!dc) return;
    const TRect& client = m_layout.ClientRect;
    ExcludeClipRect(dc.Get(), client.Left, client.Top, client.Right, client.Bottom);
    b.DrawTo(dc.Get(), 0, 0);
}

void TksSkinFrame::RedrawObject(TksActiveSkinObject* object) {
    HWND h = FormHandle();
    if (object == nullptr || object->Data().RollUp || BorderStyleNone() || h == nullptr ||
        !IsWindowVisible(h))
        return;
    const TRect r = object->ObjectRect;
    if (r.IsEmpty()) return;
    TWindowDC dc = TWindowDC::Window(h);
    if (!dc) return;
    // Start from what the window shows there, so that a look that leaves
    // pixels out keeps the frame below.
    TBitmap b(r.Width(), r.Height());
    BitBlt(b.Canvas().Handle(), 0, 0, r.Width(), r.Height(), dc.Get(), r.Left, r.Top, SRCCOPY);
    TksFrameCanvas canvas{&b, r.TopLeft()};
    object->PaintObject(canvas, true);
    const TRect& client = m_layout.ClientRect;
    ExcludeClipRect(dc.Get(), client.Left, client.Top, client.Right, client.Bottom);
    b.DrawTo(dc.Get(), r.Left, r.Top);
}

void TksSkinFrame::WMEraseBkgnd(TMessage& msg) {
    HWND h = FormHandle();
    auto dc = reinterpret_cast<HDC>(msg.WParam);
    msg.Result = 1;
    if (h == nullptr || dc == nullptr) return;
    RECT cr;
    GetClientRect(h, &cr);
    if (cr.right <= 0 || cr.bottom <= 0) return;
    TBitmap b(cr.right, cr.bottom);
    const TPixelView v = b.Pixels();
    const TksDataSkinFormInfo& fi = m_skinData->FormInfo();
    const TksBitmap* pic = nullptr;
    TRect tile;
    if (fi.BGPictureIndex == -1) {
        if (!fi.ClientRect.IsEmpty()) {
            pic = &m_skinData->Picture();
            tile = fi.ClientRect;
        }
    } else if ((pic = m_skinData->ActivePicture(fi.BGPictureIndex)) != nullptr) {
        tile = {0, 0, pic->Width(), pic->Height()};
    }
    if (pic == nullptr || pic->Empty() || tile.IsEmpty()) {
        FillRectClipped(v, v.Bounds(), ColorToPixel(ColorToRGB(clBtnFace)));
    } else {
        const int columns = cr.right / tile.Width() + 1;
        const int rows = cr.bottom / tile.Height() + 1;
        for (int i = 0; i < columns; ++i)
            for (int j = 0; j < rows; ++j)
                CopyBlock(v, i * tile.Width(), j * tile.Height(), pic->View(), tile);
    }
    b.DrawTo(dc, 0, 0);
}

// ---- window procedure --------------------------------------------------------------

void TksSkinFrame::PassOn(TMessage& msg) {
    if (m_savedWndProc) m_savedWndProc(msg);
}

bool TksSkinFrame::EndMenuMessage(UINT msg) const {
    return std::find(std::begin(kEndMenuMessages), std::end(kEndMenuMessages), msg) !=
           std::end(kEndMenuMessages);
}

TPoint TksSkinFrame::ScreenToWindow(LPARAM lp) const {
    RECT r{};
    GetWindowRect(FormHandle(), &r);
    return {GET_X_LPARAM(lp) - r.left, GET_Y_LPARAM(lp) - r.top};
}

void TksSkinFrame::FrameWndProc(TMessage& msg) {
    if (EndMenuMessage(msg.Msg)) {
        if (m_skinMenu != nullptr && m_skinMenu->MenuOpen())
            m_skinMenu->CloseMenu();
        else if (m_menuMode)
            LeaveMenuMode();
    }
    const bool none = BorderStyleNone();
    switch (msg.Msg) {
        case WM_NCCALCSIZE:
            if (none) break;
            WMNCCalcSize(msg);
            return;
        case WM_NCPAINT:
            if (none) break;
            RepaintFrame();
            msg.Result = 0;
            return;
        case kNCUAHDrawCaption:
        case kNCUAHDrawFrame:
            // Themed systems draw their own caption and border through these
            // from the default procedure; the frame paints every pixel itself.
            if (none) break;
            msg.Result = 0;
            return;
        case WM_ERASEBKGND:
            if (!m_skinned) break;
            WMEraseBkgnd(msg);
            return;
        case WM_NCHITTEST:
            if (none) break;
            WMNCHitTest(msg);
            return;
        case WM_NCACTIVATE:
            m_windowActive = msg.WParam != 0;
            msg.Result = TRUE;
            RepaintFrame();
            UpdateCaptionObjects();
            return;
        case WM_ACTIVATE:
            // Passed on first: the form moves the focus.
            PassOn(msg);
            Activation();
            return;
        case WM_GETMINMAXINFO: {
            PassOn(msg);
            auto* mmi = reinterpret_cast<MINMAXINFO*>(msg.LParam);
            if (mmi == nullptr) return;
            const TRect area = MaximumArea();
            mmi->ptMinTrackSize = {MinimumWidth(), MinimumHeight()};
            mmi->ptMaxTrackSize = {area.Width(), area.Height()};
            return;
        }
        case WM_SIZE: {
            PassOn(msg);
            if (m_passingSize) return;
            const TSize s = WindowSize(FormHandle());
            // A WM_SIZE that leaves the window at the size the frame is laid
            // out for (the one that comes with showing the window) changes
            // nothing the frame shows; laying out again would set the same
            // region once more, and that repaints every window a second time.
            if (s.cx == m_frameWidth && s.cy == m_frameHeight) return;
            m_frameWidth = s.cx;
            m_frameHeight = s.cy;
            if (m_skinned && s.cx >= MinimumWidth() && s.cy >= MinimumHeight())
                UpdateFrame();
            else if (!m_skinned)
                UpdateLayout();
            return;
        }
        case WM_SETTEXT:
            // The caption objects draw the form's caption as it is now.
            PassOn(msg);
            if (!none) RepaintFrame();
            return;
        case WM_SHOWWINDOW:
            PassOn(msg);
            if (msg.WParam != 0) {
                ForceFrameRecalc();
                if (GetMenu(FormHandle()) != nullptr) SetMenu(FormHandle(), nullptr);
            }
            return;
        case WM_DESTROY:
            StopTimers();
            if (m_menuMode) LeaveMenuMode();
            PassOn(msg);
            return;
        case WM_TIMER:
            if (msg.WParam == kMorphTimerId || msg.WParam == kPollTimerId) {
                WMTimer(msg);
                return;
            }
            break;
        case WM_NCRBUTTONDOWN:
            // The frame shows its own system menu on the caption; the
            // platform would hold the mouse until the release first.
            if (msg.WParam != HTCAPTION) PassOn(msg);
            NCMouse(msg);
            return;
        case WM_CONTEXTMENU:
            if (msg.LParam != -1 && !none) {
                const TPoint p = ScreenToWindow(msg.LParam);
                if (HitTest(p.X, p.Y) != HTCLIENT) return;
            }
            break;
        case WM_NCMOUSEMOVE:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONUP:
            PassOn(msg);
            NCMouse(msg);
            return;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            PassOn(msg);
            // The release of a press on a caption button arrives here while
            // the button holds the mouse.
            if (m_captured && m_pressedIndex != -1) {
                POINT p{GET_X_LPARAM(msg.LParam), GET_Y_LPARAM(msg.LParam)};
                ClientToScreen(FormHandle(), &p);
                const TPoint w = ScreenToWindow(MAKELPARAM(p.x, p.y));
                ReleaseObject(msg.Msg == WM_LBUTTONUP ? TMouseButton::mbLeft : TMouseButton::mbRight, w.X,
                              w.Y);
            }
            return;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(msg.LParam) != FormHandle()) m_captured = false;
            break;
        case WM_ENTERSIZEMOVE:
            PassOn(msg);
            StartMoving();
            return;
        case WM_EXITSIZEMOVE:
            PassOn(msg);
            EndMoving();
            return;
        case WM_SETCURSOR:
            if (UseFormCursorInNCArea && LOWORD(msg.LParam) != HTCLIENT && m_form->Cursor() != crDefault) {
                SetCursor(Screen->CursorHandle(m_form->Cursor()));
                msg.Result = TRUE;
                return;
            }
            break;
        case CM_ACCFRAMEACTION: {
            const auto buttons = m_titleBar.Buttons();
            const auto k = static_cast<size_t>(msg.WParam) - 1;
            if (k < buttons.size()) ExecuteButton(buttons[k]);
            msg.Result = 0;
            return;
        }
        case WM_SYSCOMMAND:
            if ((msg.WParam & 0xFFF0) == kKeyMenuCommand && msg.LParam == ' ') {
                // Alt+Space: the skinned system menu stands for the platform's.
                ShowSystemMenuFromKeyboard();
                msg.Result = 0;
                return;
            }
            if (msg.WParam == kKeyMenuCommand) {
                // No menu bar: the platform's system menu must never open.
                if (m_skinMenu != nullptr && m_skinMenu->MenuOpen()) LeaveMenuMode();
                msg.Result = 0;
                return;
            }
            break;
        case WM_SKINMENUCLOSED:
            LeaveMenuMode();
            msg.Result = 0;
            return;
        case WM_SKINCHANGING: SkinChanging(reinterpret_cast<TksSkinData*>(msg.WParam)); break;
        case WM_SKINCHANGED: SkinChanged(reinterpret_cast<TksSkinData*>(msg.WParam)); break;
        case WM_SKINSTRINGSCHANGED:
            if (UseDefaultObjectHint) ApplyObjectHints();
            break;
        default: break;
    }
    PassOn(msg);
}

void TksSkinFrame::WMNCCalcSize(TMessage& msg) {
    RECT* r = (msg.WParam != 0) ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(msg.LParam)->rgrc[0]
                                : reinterpret_cast<RECT*>(msg.LParam);
    msg.Result = 0;
    if (r == nullptr) return;
    HWND h = FormHandle();
    if (h != nullptr && IsZoomed(h) && (GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD)) return;
    int left, top, right, bottom;
    const TksDataSkinFormInfo* fi = m_skinned ? &m_skinData->FormInfo() : nullptr;
    if (fi != nullptr && !fi->ClientRect.IsEmpty()) {
        left = fi->ClientRect.Left;
        top = fi->ClientRect.Top;
        right = m_skinData->Picture().Width() - fi->ClientRect.Right;
        bottom = m_skinData->Picture().Height() - fi->ClientRect.Bottom;
    } else {
        left = right = bottom = 3;
        top = DefaultCaptionHeight() + 3;
    }
    r->left += left;
    r->top += top;
    r->right -= right;
    r->bottom -= bottom;
    if (r->right < r->left) r->right = r->left;
    if (r->bottom < r->top) r->bottom = r->top;
}

void TksSkinFrame::SkinChanging(TksSkinData* data) {
    if (data != nullptr && data == m_skinData) {
        m_skinned = false;
        StopTimers();
        m_objects.clear();
        m_hoverIndex = m_pressedIndex = m_oldHoverIndex = -1;
        UpdateLayout();
    }
    if (m_form != nullptr) TellSkinControls(m_form, data, true);
}

void TksSkinFrame::SkinChanged(TksSkinData* data) {
    if (data != nullptr && data == m_skinData) ApplyFrameSkin();
    if (m_form != nullptr) TellSkinControls(m_form, data, false);
}

// ---- input ---------------------------------------------------------------------------

bool TksSkinFrame::IsFormActive() const {
    HWND h = FormHandle();
    // The platform reports the change to the frame before the active window
    // moves on, so the last report counts as much as the active window.
    return h != nullptr && m_windowActive && GetActiveWindow() == h;
}

LRESULT TksSkinFrame::HitTest(int x, int y) {
    TFrameHitState state;
    if (m_skinned) {
        state.RolledUpOrMinimized = m_rolledUp || FormMinimized();
        state.ObjectHovered = m_hoverIndex != -1;
        state.MovingOrSizing = m_movingOrSizing;
        state.SizingBorder = Sizeable && !FormMaximized();
        state.BorderWidth = m_skinData->FormInfo().BorderWidth;
        state.Mask = m_maskRegion ? &*m_maskRegion : nullptr;
    }
    return HitTestFrame(m_layout, state, {x, y});
}

void TksSkinFrame::WMNCHitTest(TMessage& msg) {
    const TPoint p = ScreenToWindow(msg.LParam);
    msg.Result = HitTest(p.X, p.Y);
    if (msg.Result == HTOBJECT_CODE && !m_pollTimer.Active()) {
        TestHover(p.X, p.Y, true);
        m_pollTimer = TTimerId(FormHandle(), kPollTimerId, 50);
    }
}

void TksSkinFrame::TestHover(int x, int y, bool allow) {
    if (!IsFormActive()) return;
    const int old = m_hoverIndex;
    const int found = FindFrameObject(m_layout, {x, y});
    m_hoverIndex = (found != -1 && allow) ? found : -1;
    if (m_pressedIndex != -1 && m_hoverIndex != m_pressedIndex) m_hoverIndex = -1;
    if (m_hoverIndex == old) return;
    m_oldHoverIndex = old;
    if (TksActiveSkinObject* o = FrameObjects(old); o != nullptr && o->Enabled && o->Visible) o->MouseLeave();
    if (TksActiveSkinObject* o = FrameObjects(m_hoverIndex); o != nullptr && o->Enabled && o->Visible)
        o->MouseEnter();
}

void TksSkinFrame::PollMouse() {
    if (m_movingOrSizing) {
        m_pollTimer.Reset();
        return;
    }
    HWND h = FormHandle();
    POINT c;
    if (h == nullptr || !GetCursorPos(&c)) return;
    const bool allow = WindowFromPoint(c) == h;
    const TPoint p = ScreenToWindow(MAKELPARAM(c.x, c.y));
    if (!m_layout.ClientRect.Contains(p))
        TestHover(p.X, p.Y, allow);
    else if (m_hoverIndex != -1)
        TestHover(-1, -1, allow);
    // The mouse off every frame object, nothing hovered or held: the poll
    // stops until the mouse comes over an object again (the hit test there
    // starts it), so a window left alone costs nothing.
    const bool overObject = allow && !m_layout.ClientRect.Contains(p) && FindFrameObject(m_layout, p) != -1;
    if (!overObject && m_hoverIndex == -1 && m_pressedIndex == -1 && !m_captured) m_pollTimer.Reset();
}

void TksSkinFrame::NCMouse(TMessage& msg) {
    const TPoint p = ScreenToWindow(msg.LParam);
    const auto hit = static_cast<LRESULT>(msg.WParam);
    switch (msg.Msg) {
        case WM_NCMOUSEMOVE:
            if (TksActiveSkinObject* o = FrameObjects(m_pressedIndex))
                o->MouseMove(p.X, p.Y);
            else if (TksActiveSkinObject* o2 = FrameObjects(m_hoverIndex))
                o2->MouseMove(p.X, p.Y);
            break;
        case WM_NCLBUTTONDOWN:
            if (m_movingOrSizing) {
                // The platform's move loop from the caption has just ended.
                m_movingOrSizing = false;
                break;
            }
            PressObject(TMouseButton::mbLeft, p.X, p.Y, hit);
            break;
        case WM_NCLBUTTONUP: ReleaseObject(TMouseButton::mbLeft, p.X, p.Y); break;
        case WM_NCLBUTTONDBLCLK:
            PressObject(TMouseButton::mbLeft, p.X, p.Y, hit);
            if (TksActiveSkinObject* o = FrameObjects(m_hoverIndex)) o->DblClick();
            if (hit == HTCAPTION) {
                HWND h = FormHandle();
                // A sizeable window restores from minimised or maximised and
                // otherwise maximises when it may; the rest roll up, when they may.
                if (Sizeable && (FormMinimized() || FormMaximized()))
                    ShowWindow(h, SW_RESTORE);
                else if (Sizeable && (m_borderIcons & biMaximize))
                    ShowWindow(h, SW_MAXIMIZE);
                else if (m_borderIcons & biRollUp)
                    RollUpForm();
            }
            break;
        case WM_NCRBUTTONDOWN:
            PressObject(TMouseButton::mbRight, p.X, p.Y, hit);
            if (hit == HTCAPTION) {
                m_pressedIndex = -1;
                POINT c;
                GetCursorPos(&c);
                ShowSystemMenuAt(c.x, c.y);
            }
            break;
        case WM_NCRBUTTONUP: ReleaseObject(TMouseButton::mbRight, p.X, p.Y); break;
        default: break;
    }
}

void TksSkinFrame::PressObject(TMouseButton button, int x, int y, LRESULT hit) {
    TestHover(x, y, true);
    if (TksActiveSkinObject* o = FrameObjects(m_hoverIndex)) {
        if (o->Kind() != TksObjectKind::Caption) {
            SetCapture(FormHandle());
            m_captured = true;
        }
        m_pressedIndex = m_hoverIndex;
        o->MouseDown(x, y, button);
    }
    if (hit == HTCAPTION) m_pressedIndex = -1;
}

void TksSkinFrame::ReleaseObject(TMouseButton button, int x, int y) {
    TksActiveSkinObject* o = FrameObjects(m_pressedIndex);
    if (o == nullptr) return;
    if (o->Kind() != TksObjectKind::Caption && m_captured) {
        m_captured = false;
        if (GetCapture() == FormHandle()) ReleaseCapture();
    }
    // The hover follows the mouse only every 50 ms: a release right after
    // the mouse left the button must still find it left, or a press
    // dragged off the close button would close the window.
    TestHover(x, y, true);
    m_pressedIndex = -1;
    o->MouseUp(x, y, button);
}

void TksSkinFrame::ResetButtonStates() {
    for (const auto& o : m_objects) {
        if (o->Kind() == TksObjectKind::Caption) continue;
        o->MouseInside = false;
        o->Active = false;
        o->MorphFactor = 0.0;
    }
}

void TksSkinFrame::StartMoving() {
    ResetButtonStates();
    m_pollTimer.Reset();
    m_hoverIndex = m_pressedIndex = -1;
    m_movingOrSizing = true;
}

void TksSkinFrame::EndMoving() {
    m_pollTimer.Reset();
    m_hoverIndex = m_pressedIndex = -1;
    if (m_skinned) RepaintFrame();
}

void TksSkinFrame::Activation() {
    TestHover(-1, -1, false);
    // The buttons lose their highlight before the frame is painted again, so
    // that no button keeps a hover look after the window lost the activation.
    ResetButtonStates();
    m_hoverIndex = -1;
    if (!IsFormActive()) {
        // A press that lost the window's activation (the window hid or
        // another took over) never sees its release.
        m_pressedIndex = -1;
        m_captured = false;
    }
    RepaintFrame();
    UpdateCaptionObjects();
}

void TksSkinFrame::UpdateCaptionObjects() {
    const bool active = IsFormActive();
    for (const auto& o : m_objects) {
        if (o->Kind() != TksObjectKind::Caption || o->Data().RollUp || o->Data().ActiveSkinRect.IsEmpty())
            continue;
        o->Active = active;
        o->StartMorphOrRedraw();
    }
    const TNotifyEvent& event = active ? OnActivate : OnDeActivate;
    if (event) event(this);
}

// ---- timers ----------------------------------------------------------------------------

void TksSkinFrame::StartMorphTimer() {
    if (!m_morphTimer.Active() && FormHandle() != nullptr)
        m_morphTimer = TTimerId(FormHandle(), kMorphTimerId, 20);
}

void TksSkinFrame::StopTimers() {
    m_morphTimer.Reset();
    m_pollTimer.Reset();
}

void TksSkinFrame::WMTimer(TMessage& msg) {
    msg.Result = 0;
    if (msg.WParam == kMorphTimerId)
        MorphTick();
    else
        PollMouse();
}

void TksSkinFrame::MorphTick() {
    for (size_t i = 0; i < m_objects.size(); ++i) {
        TksActiveSkinObject* o = m_objects[i].get();
        if (o->MorphAllowed() && o->MorphPending()) o->MorphStep();
    }
    if (std::none_of(m_objects.begin(), m_objects.end(),
                     [](const auto& o) { return o->MorphAllowed() && o->MorphPending(); }))
        m_morphTimer.Reset();
}

// ---- what the objects ask for --------------------------------------------------------

std::string TksSkinFrame::FormCaption() const {
    HWND h = FormHandle();
    if (h == nullptr) return m_form != nullptr ? m_form->Caption() : std::string();
    // Read wide: the canvas takes UTF-8, whatever the ANSI code page.
    const int n = GetWindowTextLengthW(h);
    std::wstring text(static_cast<size_t>(std::max(n, 0)) + 1, L'\0');
    const int got = GetWindowTextW(h, text.data(), n + 1);
    text.resize(static_cast<size_t>(std::clamp(got, 0, std::max(n, 0))));
    return FromWide(text);
}

void TksSkinFrame::CloseForm() {
    if (m_form != nullptr) m_form->Close();
}

void TksSkinFrame::MaximizeForm() {
    if (HWND h = FormHandle()) ShowWindow(h, IsZoomed(h) ? SW_RESTORE : SW_MAXIMIZE);
}

void TksSkinFrame::MinimizeForm() {
    if (HWND h = FormHandle()) ShowWindow(h, SW_MINIMIZE);
}

void TksSkinFrame::MinimizeToTray() {
    // No tray icon in this program: the window is minimised.
    MinimizeForm();
}

TksFrameWindowState TksSkinFrame::WindowState() const {
    return {FormMaximized(), FormMinimized(), m_rolledUp};
}

HICON TksSkinFrame::FormIcon() const {
    HWND h = FormHandle();
    auto icon = h != nullptr ? reinterpret_cast<HICON>(SendMessageA(h, WM_GETICON, ICON_SMALL, 0)) : nullptr;
    if (icon == nullptr) icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    return icon;
}

void TksSkinFrame::RunCommand(TStdCommand command) {
    switch (command) {
        case TStdCommand::cmClose: CloseForm(); break;
        case TStdCommand::cmMaximize: MaximizeForm(); break;
        case TStdCommand::cmMinimize:
            if (AlwaysMinimizeToTray)
                MinimizeToTray();
            else
                MinimizeForm();
            break;
        case TStdCommand::cmRollUp: RollUpForm(); break;
        case TStdCommand::cmMinimizeToTray: MinimizeToTray(); break;
        case TStdCommand::cmSysMenu:
        case TStdCommand::cmDefault: break;
    }
}

void TksSkinFrame::ReleaseGroup(TksSkinButtonObject* button) {
    for (const auto& o : m_objects) {
        if (o.get() == button) continue;
        auto* b = dynamic_cast<TksSkinButtonObject*>(o.get());
        if (b != nullptr && b->Data().GroupIndex == button->Data().GroupIndex && b->Down) {
            b->SetDown(false);
            break;
        }
    }
}

void TksSkinFrame::NotifyObjectEvent(TksObjectEventKind kind, const TksActiveSkinObject& object, int x, int y,
                                     TMouseButton button) {
    switch (kind) {
        case TksObjectEventKind::MouseEnter:
            if (OnMouseEnterEvent) OnMouseEnterEvent(object.Data().IDName);
            break;
        case TksObjectEventKind::MouseLeave:
            if (OnMouseLeaveEvent) OnMouseLeaveEvent(object.Data().IDName);
            break;
        case TksObjectEventKind::MouseDown:
            if (OnMouseDownEvent) OnMouseDownEvent(object.Data().IDName, x, y, button, object.ObjectRect);
            break;
        case TksObjectEventKind::MouseUp:
            if (OnMouseUpEvent) OnMouseUpEvent(object.Data().IDName, x, y, button, object.ObjectRect);
            break;
        case TksObjectEventKind::MouseMove:
            if (OnMouseMoveEvent) OnMouseMoveEvent(object.Data().IDName, x, y, object.ObjectRect);
            break;
    }
}

void TksSkinFrame::RollUpForm() {
    HWND h = FormHandle();
    if (h == nullptr) return;
    const TSize s = WindowSize(h);
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (!m_rolledUp) {
        m_rollUpHeight = s.cy;
        m_rolledUp = true;
        SetWindowPos(h, nullptr, 0, 0, s.cx, MinimumHeight(), flags);
    } else {
        m_rolledUp = false;
        SetWindowPos(h, nullptr, 0, 0, s.cx, std::max(m_rollUpHeight, MinimumHeight()), flags);
    }
    RepaintFrame();
}

void TksSkinFrame::PopupObjectItems(TksSkinButtonObject* button) {
    HWND h = FormHandle();
    if (button == nullptr || button->PopupItems == nullptr || m_skinMenu == nullptr || h == nullptr) return;
    RECT wr;
    GetWindowRect(h, &wr);
    EnterMenuMode();
    PassMenuSettings();
    m_skinMenu->PopupMenuItems(nullptr, m_menusSkinData != nullptr ? m_menusSkinData : m_skinData,
                               button->PopupUp, button->PopupItems,
                               OffsetRect(button->ObjectRect, wr.left, wr.top), 0);
}

// ---- system menu and menu mode -------------------------------------------------------

TMenuItem* TksSkinFrame::BuildSystemMenu() {
    // A caller's own system menu is shown as it is.
    if (SystemMenu != nullptr) return SystemMenu;
    // Items on screen are never rebuilt under the open menu.
    if (m_skinMenu != nullptr && m_skinMenu->MenuOpen()) return m_systemMenu.get();
    m_systemMenu->Clear();
    TksResourceStrData* strings = (m_skinData != nullptr) ? m_skinData->ResourceStrData() : nullptr;
    auto text = [strings](const char* key, const char* def) {
        return strings != nullptr ? strings->GetResStr(key, def) : std::string(def);
    };
    const bool minimized = FormMinimized();
    const bool maximized = FormMaximized();
    bool any = false;
    auto add = [&](const char* name, const std::string& caption, std::function<void()> run) {
        m_systemMenu->Add(name, caption, scNone, [run = std::move(run)](TObject*) { run(); });
        any = true;
    };
    if ((m_borderIcons & biMinimize) && !minimized)
        add("SF_MINITEM", text("MI_MINCAPTION", "Mi&nimize"), [this] { MinimizeForm(); });
    if ((m_borderIcons & biMaximize) && !maximized)
        add("SF_MAXITEM", text("MI_MAXCAPTION", "Ma&ximize"), [this] { MaximizeForm(); });
    if (minimized || maximized || m_rolledUp)
        add("SF_RESTORE", text("MI_RESTORECAPTION", "&Restore"), [this] {
            if (m_rolledUp)
                RollUpForm();
            else if (HWND h = FormHandle())
                ShowWindow(h, SW_RESTORE);
        });
    if ((m_borderIcons & biRollUp) && !m_rolledUp && !minimized)
        add("SF_ROLLUP", text("MI_ROLLUPCAPTION", "Ro&llUp"), [this] { RollUpForm(); });
    if (m_borderIcons & biMinimizeToTray)
        add("SF_MINTOTRAY", text("MI_MINTOTRAYCAPTION", "Minimize to &Tray"), [this] { MinimizeToTray(); });
    if (any) m_systemMenu->Add("", "-");
    m_systemMenu->Add("SF_CLOSE", text("MI_CLOSECAPTION", "&Close"), ShortCut(VK_F4, scAlt),
                      [this](TObject*) { CloseForm(); });
    return m_systemMenu.get();
}

void TksSkinFrame::ShowSystemMenuAt(int screenX, int screenY) {
    if (m_skinMenu == nullptr) return;
    TMenuItem* items = BuildSystemMenu();
    EnterMenuMode();
    PassMenuSettings();
    m_skinMenu->PopupMenuItems(nullptr, m_menusSkinData != nullptr ? m_menusSkinData : m_skinData, false,
                               items, {screenX, screenY, screenX, screenY}, 0);
}

void TksSkinFrame::ShowSystemMenuFromKeyboard() {
    HWND h = FormHandle();
    if (m_skinMenu == nullptr || h == nullptr) return;
    if (m_skinMenu->MenuOpen()) return;
    TksSkinStdButtonObject* sysButton = nullptr;
    for (TksSkinStdButtonObject* b : m_titleBar.Buttons())
        if (b->Data().Command == TStdCommand::cmSysMenu && b->Enabled) sysButton = b;
    if (sysButton != nullptr) {
        // As a press on the button: it shows down while its menu is open.
        sysButton->SetDown(true);
        sysButton->PopupItems = BuildSystemMenu();
        PopupObjectItems(sysButton);
    } else {
        RECT wr;
        GetWindowRect(h, &wr);
        ShowSystemMenuAt(wr.left + m_layout.ClientRect.Left, wr.top + m_layout.ClientRect.Top);
    }
}

void TksSkinFrame::ExecuteButton(TksSkinStdButtonObject* button) {
    if (button == nullptr || !button->Enabled || !button->Visible) return;
    if (button->Data().Command == TStdCommand::cmSysMenu)
        ShowSystemMenuFromKeyboard();
    else
        button->Execute();
}

// ---- accessibility --------------------------------------------------------------------

std::vector<TksSkinStdButtonObject*> TksFrameTitleBar::Buttons() const {
    std::vector<TksSkinStdButtonObject*> out;
    for (int i = 0; i < m_frame.FrameObjectCount(); ++i) {
        auto* b = dynamic_cast<TksSkinStdButtonObject*>(m_frame.FrameObjects(i));
        if (b != nullptr && b->Visible && !b->ObjectRect.IsEmpty()) out.push_back(b);
    }
    return out;
}

int TksFrameTitleBar::AccChildCount() {
    return static_cast<int>(Buttons().size());
}

TAccChild TksFrameTitleBar::AccChild(int child) {
    (void)child;  // the buttons are simple elements
    return {};
}

namespace {

std::string ButtonName(const TksSkinStdButtonObject& b) {
    const bool restore = b.InRestoreState();
    switch (b.Data().Command) {
        case TStdCommand::cmClose: return "Close";
        case TStdCommand::cmSysMenu: return "System menu";
        case TStdCommand::cmMaximize: return restore ? "Restore" : "Maximize";
        case TStdCommand::cmMinimize: return restore ? "Restore" : "Minimize";
        case TStdCommand::cmRollUp: return restore ? "Roll Down" : "Roll Up";
        case TStdCommand::cmMinimizeToTray: return "Minimize to Tray";
        case TStdCommand::cmDefault: break;
    }
    return b.Data().Hint.empty() ? b.Data().IDName : b.Data().Hint;
}

}  // namespace

TAccInfo TksFrameTitleBar::AccDescribe(int child) {
    TAccInfo info;
    HWND h = m_frame.Form() != nullptr ? m_frame.Form()->HandleOrNull() : nullptr;
    RECT wr{};
    if (h != nullptr) GetWindowRect(h, &wr);
    const auto buttons = Buttons();
    if (child >= 1 && child <= static_cast<int>(buttons.size())) {
        const TksSkinStdButtonObject& b = *buttons[static_cast<size_t>(child - 1)];
        info.Role = accRolePushButton;
        info.Name = ButtonName(b);
        info.DefaultAction = "Press";
        if (b.Data().Command == TStdCommand::cmSysMenu) {
            info.State |= accStateHasPopup;
            info.KeyboardShortcut = "Alt+Space";
        }
        if (b.Data().Command == TStdCommand::cmClose) info.KeyboardShortcut = "Alt+F4";
        if (!b.Enabled) info.State |= accStateUnavailable;
        if (b.Down) info.State |= accStatePressed;
        if (b.MouseInside) info.State |= accStateHotTracked;
        info.Bounds = OffsetRect(b.ObjectRect, wr.left, wr.top);
        return info;
    }
    info.Role = accRoleTitleBar;
    info.Name = m_frame.FormCaption();
    // The strip above the client area.
    info.Bounds = {wr.left, wr.top, wr.right, wr.top + std::max(m_frame.TargetClientRect().Top, 0)};
    if (h == nullptr || !IsWindowVisible(h)) info.State |= accStateInvisible;
    return info;
}

int TksFrameTitleBar::AccHitTest(TPoint screen) {
    const auto buttons = Buttons();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (AccDescribe(static_cast<int>(i) + 1).Bounds.Contains(screen)) return static_cast<int>(i) + 1;
    return AccDescribe(0).Bounds.Contains(screen) ? 0 : -1;
}

TAccChild TksFrameTitleBar::AccParent() {
    if (m_frame.Form() == nullptr) return {};
    return {nullptr, m_frame.Form()->HandleOrNull(), accObjWindow};
}

bool TksFrameTitleBar::AccDoDefaultAction(int child) {
    if (child < 1 || child > AccChildCount() || m_frame.Form() == nullptr) return false;
    HWND h = m_frame.Form()->HandleOrNull();
    return h != nullptr && PostMessageA(h, CM_ACCFRAMEACTION, static_cast<WPARAM>(child), 0) != FALSE;
}

void TksSkinFrame::PassMenuSettings() {
    m_skinMenu->MaxMenuItemsInWindow = MaxMenuItemsInWindow;
    m_skinMenu->DefMenuItemHeight = DefMenuItemHeight;
    m_skinMenu->DefMenuItemFont.Assign(m_defMenuItemFont);
    m_skinMenu->UseSkinFontInMenu = UseSkinFontInMenu;
    m_skinMenu->MenusAlphaBlend = MenusAlphaBlend;
    m_skinMenu->MenusAlphaBlendValue = MenusAlphaBlendValue;
    m_skinMenu->MenusAlphaBlendAnimation = MenusAlphaBlendAnimation;
}

void TksSkinFrame::EnterMenuMode() {
    if (m_menuMode || Application == nullptr) return;
    m_previousFilter = Application->OnMessage;
    Application->OnMessage = [this](MSG& m, bool& handled) { MenuMessageFilter(m, handled); };
    m_menuMode = true;
    if (OnSkinMenuOpen) OnSkinMenuOpen(this);
}

void TksSkinFrame::LeaveMenuMode() {
    for (const auto& o : m_objects) {
        auto* b = dynamic_cast<TksSkinButtonObject*>(o.get());
        if (b != nullptr && b->Down && b->PopupItems != nullptr && b->PopupItems->Count() > 0) {
            b->SetDown(false);
            break;
        }
    }
    if (!m_menuMode) return;
    m_menuMode = false;
    if (Application != nullptr) Application->OnMessage = std::move(m_previousFilter);
    m_previousFilter = nullptr;
    if (OnSkinMenuClose) OnSkinMenuClose(this);
}

void TksSkinFrame::MenuMessageFilter(MSG& msg, bool& handled) {
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        const auto key = static_cast<WORD>(msg.wParam);
        if (m_skinMenu != nullptr && m_skinMenu->MenuOpen() && m_skinMenu->LevelCount() > 0)
            m_skinMenu->Level(m_skinMenu->LevelCount() - 1)->KeyDown(key);
        if (key == VK_ESCAPE && m_menuMode && (m_skinMenu == nullptr || m_skinMenu->LevelCount() == 0))
            LeaveMenuMode();
        handled = true;
        return;
    }
    if (msg.message == WM_MOUSEWHEEL) {
        handled = true;
        return;
    }
    if (m_previousFilter) m_previousFilter(msg, handled);
}

}  // namespace zv
