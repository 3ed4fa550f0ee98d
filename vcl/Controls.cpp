#include "vcl/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <map>

#include "base/Exceptions.h"
#include "vcl/Forms.h"
#include "vcl/WideText.h"

namespace zv {

namespace {

// The control whose window is being created: messages that arrive before
// WM_NCCREATE (WM_GETMINMAXINFO) and WM_NCCREATE itself find it here.
thread_local TWinControl* g_creating = nullptr;
// The control under the mouse pointer, for MouseEnter / MouseLeave.
TControl* g_mouseControl = nullptr;
int g_nextChildId = 100;

bool IsMouseMessage(UINT msg) {
    return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL;
}

TPoint PointFromLParam(LPARAM lp) {
    return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
}
LPARAM LParamFromPoint(TPoint p) {
    return MAKELPARAM(static_cast<WORD>(p.X), static_cast<WORD>(p.Y));
}

bool g_keyboardCues = false;

// The controls that are the accessible children of `control`, in order.
std::vector<TControl*> ExposedChildren(TControl& control) {
    std::vector<TControl*> out;
    auto* wc = dynamic_cast<TWinControl*>(&control);
    if (wc == nullptr) return out;
    for (int i = 0; i < wc->ControlCount(); ++i)
        if (TControl* c = wc->Controls(i); c->AccExposed()) out.push_back(c);
    return out;
}

void SetMouseControl(TControl* control) {
    if (control == g_mouseControl) return;
    TControl* old = g_mouseControl;
    g_mouseControl = control;
    if (old) old->Perform(CM_MOUSELEAVE);
    if (control && g_mouseControl == control) control->Perform(CM_MOUSEENTER);
}

}  // namespace

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

TShiftState KeyboardShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

bool KeyboardCuesShown() {
    return g_keyboardCues;
}

void SetKeyboardCuesShown(bool shown) {
    if (shown == g_keyboardCues) return;
    g_keyboardCues = shown;
    if (TWinControl* focused = TWinControl::FindControl(GetFocus())) focused->Invalidate();
}

// ---- TControl ------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    m_font.OnChange = [this] { FontChanged(); };
}

TControl::~TControl() {
    AccDisconnect();
    if (g_mouseControl == this) g_mouseControl = nullptr;
    if (m_parent) {
        if (m_parent->m_captureControl == this) m_parent->m_captureControl = nullptr;
        m_parent->RemoveControl(this);
        m_parent = nullptr;
    }
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == m_parent) return;
    if (m_parent) m_parent->RemoveControl(this);
    m_parent = nullptr;
    if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == m_left && top == m_top && width == m_width && height == m_height) return;
    const bool resized = width != m_width || height != m_height;
    Invalidate();
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    UpdateBounds();
    Invalidate();
    if (resized) Resize();
    RequestAlign();
}

void TControl::SetClientSize(int width, int height) {
    const TRect c = ClientRect();
    SetBounds(m_left, m_top, m_width - c.Width() + width, m_height - c.Height() + height);
}

void TControl::SetAlign(TAlign align) {
    if (align == m_align) return;
    m_align = align;
    RequestAlign();
}

void TControl::RequestAlign() {
    if (m_parent && m_align != TAlign::alNone) m_parent->AlignControls();
}

void TControl::SetVisible(bool visible) {
    if (visible == m_visible) return;
    if (!visible) Invalidate();
    m_visible = visible;
    if (visible) Invalidate();
    VisibleChanged();
    RequestAlign();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    EnabledChanged();
}

bool TControl::Showing() const {
    return m_visible && (!m_parent || m_parent->Showing());
}

void TControl::SetCaption(const std::string& text) {
    if (text == m_caption) return;
    m_caption = text;
    TextChanged();
    NotifyAccEvent(accEventNameChange);
}

void TControl::SetColor(TColor color) {
    if (color == m_color) return;
    m_color = color;
    ColorChanged();
}

TCustomForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->m_parent) c = c->m_parent;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

int TControl::CurrentPPI() const {
    return m_parent ? m_parent->CurrentPPI() : 96;
}

void TControl::ChangeScale(int m, int d) {
    if (m == d || d == 0) return;
    SetBounds(MulDiv(m_left, m, d), MulDiv(m_top, m, d), MulDiv(m_width, m, d), MulDiv(m_height, m, d));
}

TPoint TControl::ClientOrigin() const {
    if (!m_parent) return {m_left, m_top};
    const TPoint p = m_parent->ClientOrigin();
    return {p.X + m_left, p.Y + m_top};
}

TPoint TControl::ClientToScreen(TPoint p) const {
    const TPoint o = ClientOrigin();
    return {p.X + o.X, p.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint p) const {
    const TPoint o = ClientOrigin();
    return {p.X - o.X, p.Y - o.Y};
}

void TControl::Invalidate() {
    if (m_parent && m_parent->HandleAllocated() && m_width > 0 && m_height > 0)
        m_parent->InvalidateRect(BoundsRect());
}

void TControl::InvalidateRect(const TRect& r) {
    if (auto* wc = dynamic_cast<TWinControl*>(this)) {
        if (!wc->HandleAllocated()) return;
        RECT rc{r.Left, r.Top, r.Right, r.Bottom};
        ::InvalidateRect(wc->HandleOrNull(), &rc, FALSE);
    } else if (m_parent) {
        m_parent->InvalidateRect(OffsetRect(r, m_left, m_top));
    }
}

void TControl::Update() {
    if (m_parent) m_parent->Update();
}

void TControl::MouseCapture(bool capture) {
    if (auto* wc = dynamic_cast<TWinControl*>(this)) {
        if (capture)
            ::SetCapture(wc->Handle());
        else if (GetCapture() == wc->HandleOrNull())
            ReleaseCapture();
        return;
    }
    if (!m_parent) return;
    if (capture) {
        m_parent->m_captureControl = this;
        ::SetCapture(m_parent->Handle());
    } else if (m_parent->m_captureControl == this) {
        m_parent->m_captureControl = nullptr;
        if (GetCapture() == m_parent->HandleOrNull()) ReleaseCapture();
    }
}

bool TControl::HasMouseCapture() const {
    if (auto* wc = dynamic_cast<const TWinControl*>(this))
        return wc->HandleAllocated() && GetCapture() == wc->HandleOrNull();
    return m_parent && m_parent->m_captureControl == this && GetCapture() == m_parent->HandleOrNull();
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::DispatchMouse(TMessage& msg) {
    const TPoint p = PointFromLParam(msg.LParam);
    const TShiftState shift = KeysToShiftState(msg.WParam);
    switch (msg.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: MouseDown(TMouseButton::mbLeft, shift, p.X, p.Y); break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK: MouseDown(TMouseButton::mbRight, shift, p.X, p.Y); break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: MouseDown(TMouseButton::mbMiddle, shift, p.X, p.Y); break;
        case WM_LBUTTONUP: MouseUp(TMouseButton::mbLeft, shift, p.X, p.Y); break;
        case WM_RBUTTONUP: MouseUp(TMouseButton::mbRight, shift, p.X, p.Y); break;
        case WM_MBUTTONUP: MouseUp(TMouseButton::mbMiddle, shift, p.X, p.Y); break;
        case WM_MOUSEMOVE: MouseMove(shift, p.X, p.Y); break;
        default: break;
    }
}

void TControl::WndProc(TMessage& msg) {
    if (IsMouseMessage(msg.Msg)) {
        if (m_enabled || msg.Msg == WM_MOUSEMOVE) DispatchMouse(msg);
        return;
    }
    switch (msg.Msg) {
        case CM_MOUSEENTER: SetMouseInControl(true); break;
        case CM_MOUSELEAVE: SetMouseInControl(false); break;
        default: break;
    }
}

void TControl::SetMouseInControl(bool inside) {
    if (inside == m_mouseInControl) return;
    m_mouseInControl = inside;
    if (inside)
        MouseEnter();
    else
        MouseLeave();
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

// ---- TControl: accessibility -------------------------------------------------------

void TControl::AccDescribeSelf(TAccInfo& info) {
    // A graphic control says nothing unless it describes itself.
    (void)info;
}

bool TControl::AccExposed() {
    if (!Visible()) return false;
    if (auto* wc = dynamic_cast<TWinControl*>(this)) return wc->HandleAllocated();
    TAccInfo info;
    AccDescribeSelf(info);
    return info.Role != 0;
}

int TControl::AccChildCount() {
    return AccItemCount() + static_cast<int>(ExposedChildren(*this).size());
}

TAccChild TControl::AccChild(int child) {
    const int items = AccItemCount();
    if (child <= items) return {};
    const auto kids = ExposedChildren(*this);
    const auto k = static_cast<size_t>(child - items - 1);
    if (k >= kids.size()) return {};
    if (auto* wc = dynamic_cast<TWinControl*>(kids[k])) return {nullptr, wc->HandleOrNull(), accObjWindow};
    return {kids[k], nullptr};
}

TAccInfo TControl::AccDescribe(int child) {
    TAccInfo info;
    const TPoint origin = ClientOrigin();
    const int items = AccItemCount();
    if (child >= 1 && child <= items) {
        AccDescribeItem(child - 1, info);
        info.Bounds = OffsetRect(info.Bounds, origin.X, origin.Y);
        return info;
    }
    if (child > items) {
        // An object child answers for itself.
        const auto kids = ExposedChildren(*this);
        const auto k = static_cast<size_t>(child - items - 1);
        if (k < kids.size()) return kids[k]->AccDescribe(0);
        return info;
    }
    AccDescribeSelf(info);
    if (!Showing()) info.State |= accStateInvisible;
    if (!Enabled()) info.State |= accStateUnavailable;
    info.Bounds = OffsetRect(ClientRect(), origin.X, origin.Y);
    return info;
}

int TControl::AccHitTest(TPoint screen) {
    const TPoint p = ScreenToClient(screen);
    if (!ClientRect().Contains(p)) return -1;
    const int items = AccItemCount();
    if (const int item = AccItemAt(p); item >= 0 && item < items) return item + 1;
    const auto kids = ExposedChildren(*this);
    for (size_t i = kids.size(); i-- > 0;)
        if (kids[i]->BoundsRect().Contains(p)) return items + 1 + static_cast<int>(i);
    return 0;
}

int TControl::AccFocus() {
    auto* wc = dynamic_cast<TWinControl*>(this);
    HWND focus = GetFocus();
    if (wc == nullptr || !wc->HandleAllocated() || focus == nullptr) return -1;
    if (focus == wc->HandleOrNull()) {
        const int item = AccFocusedItem();
        return item >= 0 && item < AccItemCount() ? item + 1 : 0;
    }
    if (!IsChild(wc->HandleOrNull(), focus)) return -1;
    const int items = AccItemCount();
    const auto kids = ExposedChildren(*this);
    for (size_t i = 0; i < kids.size(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(kids[i]);
        if (child != nullptr && (child->HandleOrNull() == focus || IsChild(child->HandleOrNull(), focus)))
            return items + 1 + static_cast<int>(i);
    }
    return -1;
}

int TControl::AccSelection() {
    const int item = AccSelectedItem();
    return item >= 0 && item < AccItemCount() ? item + 1 : -1;
}

TAccChild TControl::AccParent() {
    // A window's client area is a child of the window's own object.
    if (auto* wc = dynamic_cast<TWinControl*>(this); wc != nullptr && wc->HandleAllocated())
        return {nullptr, wc->HandleOrNull(), accObjWindow};
    if (m_parent != nullptr) return {m_parent, nullptr};
    return {};
}

bool TControl::AccDoDefaultAction(int child) {
    if (child > AccItemCount() || AccDescribe(child).DefaultAction.empty()) return false;
    auto* wc = dynamic_cast<TWinControl*>(this);
    if (wc == nullptr || !wc->HandleAllocated()) return false;
    return PostMessageA(wc->HandleOrNull(), CM_ACCACTION, static_cast<WPARAM>(child), 0) != FALSE;
}

bool TControl::AccSelect(int child, long flags) {
    if (child == 0) {
        auto* wc = dynamic_cast<TWinControl*>(this);
        if (wc == nullptr || !(flags & accSelTakeFocus) || !wc->CanFocus()) return false;
        wc->SetFocus();
        return true;
    }
    if (child <= AccItemCount()) return AccSelectItem(child - 1, flags);
    return false;
}

void TControl::NotifyAccEvent(DWORD event, int item) {
    if (auto* wc = dynamic_cast<TWinControl*>(this)) {
        if (wc->HandleAllocated())
            ::zv::NotifyAccEvent(event, wc->HandleOrNull(), accObjClient, item >= 0 ? item + 1 : 0);
        return;
    }
    // A graphic control is a child of its parent's object.
    if (m_parent == nullptr || !m_parent->HandleAllocated() || !AccExposed()) return;
    const auto kids = ExposedChildren(*m_parent);
    const auto it = std::find(kids.begin(), kids.end(), this);
    if (it == kids.end()) return;
    ::zv::NotifyAccEvent(event, m_parent->HandleOrNull(), accObjClient,
                         m_parent->AccItemCount() + 1 + static_cast<long>(it - kids.begin()));
}

// ---- TGraphicControl -----------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

void TGraphicControl::PaintTo(HDC dc) {
    m_canvas.SetHandle(dc);
    m_canvas.SetPixelsPerInch(CurrentPPI());
    try {
        Paint();
    } catch (...) {
        m_canvas.SetHandle(nullptr);
        throw;
    }
    m_canvas.SetHandle(nullptr);
}

// ---- TWinControl ---------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    AccDisconnect();
    if (m_accWindow) m_accWindow->AccDisconnect();
    // Children that this control does not own must not keep a dangling parent.
    while (!m_controls.empty()) m_controls.back()->SetParent(nullptr);
    DestroyHandle();
}

TWinControl* TWinControl::FindControl(HWND hwnd) {
    if (!hwnd) return nullptr;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId()) return nullptr;
    // Our windows carry the object in the user data and a marker property.
    if (!GetPropA(hwnd, "ZvControl")) return nullptr;
    return reinterpret_cast<TWinControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

HWND TWinControl::Handle() {
    if (!m_handle) CreateWnd();
    return m_handle.Get();
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = Caption();
    params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (Visible()) params.Style |= WS_VISIBLE;
    if (!Enabled()) params.Style |= WS_DISABLED;
    if (m_tabStop) params.Style |= WS_TABSTOP;
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.WndParent = Parent() ? Parent()->Handle() : nullptr;
}

namespace {

// The ANSI and the wide window-class calls. The system makes a window Unicode
// when its class's procedure was registered through the wide call, and a
// superclass's default procedure must be asked for in the same kind.
template <typename TClass, typename TChar>
struct TClassCalls {
    BOOL(WINAPI* getClassInfo)(HINSTANCE, const TChar*, TClass*);
    ATOM(WINAPI* registerClass)(const TClass*);
    WNDPROC defWindowProc;
};

template <typename TClass, typename TChar>
ATOM RegisterClassOfKind(const TClassCalls<TClass, TChar>& calls, const std::basic_string<TChar>& name,
                         const std::basic_string<TChar>& base, const TCreateParams& params, WNDPROC ownProc,
                         WNDPROC& defaultProc) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    TClass wc{};
    if (!base.empty()) {
        // A superclass of a standard control: its look and behaviour, our
        // procedure in front.
        if (!calls.getClassInfo(nullptr, base.c_str(), &wc))
            throw EOSError("Cannot find window class " + params.SubClassOf);
        defaultProc = wc.lpfnWndProc;
    } else {
        wc.style = params.ClassStyle;
        wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        wc.hbrBackground = params.Background;
        wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
        defaultProc = calls.defWindowProc;
    }
    wc.lpfnWndProc = ownProc;
    wc.hInstance = instance;
    wc.lpszClassName = name.c_str();
    return calls.registerClass(&wc);
}

}  // namespace

ATOM TWinControl::RegisterWindowClass(TCreateParams& params, WNDPROC& defaultProc) {
    static std::map<std::string, std::pair<ATOM, WNDPROC>> registered;
    auto it = registered.find(params.WinClassName);
    if (it != registered.end()) {
        defaultProc = it->second.second;
        return it->second.first;
    }
    static const TClassCalls<WNDCLASSA, char> ansi{GetClassInfoA, RegisterClassA, DefWindowProcA};
    static const TClassCalls<WNDCLASSW, wchar_t> wide{GetClassInfoW, RegisterClassW, DefWindowProcW};
    const ATOM atom = params.Unicode
                          ? RegisterClassOfKind(wide, ToWide(params.WinClassName), ToWide(params.SubClassOf),
                                                params, &TWinControl::StaticWndProc, defaultProc)
                          : RegisterClassOfKind(ansi, params.WinClassName, params.SubClassOf, params,
                                                &TWinControl::StaticWndProc, defaultProc);
    if (!atom) throw EOSError("Cannot register window class " + params.WinClassName);
    registered[params.WinClassName] = {atom, defaultProc};
    return atom;
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    CreateParams(params);
    RegisterWindowClass(params, m_defWndProc);
    CreateWindowHandle(params);
    if (!m_handle) throw EOSError("Error creating window");
    SendMessageA(m_handle.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle(CurrentPPI())), 0);
    CreateChildHandles();
    AlignControls();
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
    TWinControl* const saved = g_creating;
    g_creating = this;
    HMENU id = nullptr;
    if (params.Style & WS_CHILD) id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(g_nextChildId++));
    // Created through the wide call whatever the class: the caption reaches
    // an ANSI window converted to its code page, a Unicode one as it is.
    HWND hwnd =
        CreateWindowExW(params.ExStyle, ToWide(params.WinClassName).c_str(), ToWide(params.Caption).c_str(),
                        params.Style, params.X, params.Y, params.Width, params.Height, params.WndParent, id,
                        GetModuleHandleA(nullptr), this);
    g_creating = saved;
    if (hwnd && !m_handle) m_handle.Reset(hwnd);
}

void TWinControl::CreateChildHandles() {
    for (TControl* c : m_controls)
        if (auto* wc = dynamic_cast<TWinControl*>(c)) wc->HandleNeeded();
}

void TWinControl::DestroyWnd() {
    HWND h = m_handle.Release();
    if (h) {
        DestroyWindow(h);
    }
}

void TWinControl::DestroyHandle() {
    if (!m_handle) return;
    for (TControl* c : m_controls)
        if (auto* wc = dynamic_cast<TWinControl*>(c)) wc->DestroyHandle();
    DestroyWnd();
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || !GetPropA(hwnd, "ZvControl")) {
        self = g_creating;
        if (!self)
            return IsWindowUnicode(hwnd) ? DefWindowProcW(hwnd, msg, wParam, lParam)
                                         : DefWindowProcA(hwnd, msg, wParam, lParam);
        // First message of a window we are creating: bind it to its object.
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        SetPropA(hwnd, "ZvControl", reinterpret_cast<HANDLE>(1));
        self->m_handle.Reset(hwnd);
        g_creating = nullptr;
    }
    TMessage m{msg, wParam, lParam, 0};
    try {
        self->WindowProc(m);
    } catch (const std::exception& e) {
        if (Application) Application->HandleException(e);
        m.Result = 0;
    } catch (...) {
        if (Application) Application->HandleException(Exception("Unknown error"));
        m.Result = 0;
    }
    if (msg == WM_NCDESTROY) {
        // The window is gone; the object lives on without it.
        RemovePropA(hwnd, "ZvControl");
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        if (self->m_handle.Get() == hwnd) self->m_handle.Release();
        if (g_mouseControl == self) g_mouseControl = nullptr;
    }
    return m.Result;
}

LRESULT TWinControl::DefaultHandler(TMessage& msg) {
    HWND h = m_handle.Get();
    if (!h) return 0;
    // The default procedure takes messages in the form its window gets them.
    if (IsWindowUnicode(h))
        msg.Result =
            CallWindowProcW(m_defWndProc ? m_defWndProc : DefWindowProcW, h, msg.Msg, msg.WParam, msg.LParam);
    else
        msg.Result =
            CallWindowProcA(m_defWndProc ? m_defWndProc : DefWindowProcA, h, msg.Msg, msg.WParam, msg.LParam);
    return msg.Result;
}

bool TWinControl::RouteMouseToGraphicChild(TMessage& msg) {
    const TPoint p = PointFromLParam(msg.LParam);
    TControl* target = m_captureControl;
    if (target && GetCapture() != m_handle.Get()) {
        m_captureControl = nullptr;
        target = nullptr;
    }
    if (!target) {
        TControl* c = ControlAtPos(p, false);
        if (c && !dynamic_cast<TWinControl*>(c)) target = c;
    }
    if (msg.Msg == WM_MOUSEMOVE) {
        if (!m_trackingLeave) {
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, m_handle.Get(), 0};
            m_trackingLeave = TrackMouseEvent(&tme) != FALSE;
        }
        // The pointer is over the graphic child under it, or over us.
        TControl* under = nullptr;
        if (TControl* c = ControlAtPos(p, true); c && !dynamic_cast<TWinControl*>(c)) under = c;
        SetMouseControl(under ? under : this);
    }
    if (!target) return false;
    TMessage m = msg;
    m.LParam = LParamFromPoint({p.X - target->Left(), p.Y - target->Top()});
    target->WindowProc(m);
    msg.Result = m.Result;
    return true;
}

void TWinControl::WndProc(TMessage& msg) {
    if (IsMouseMessage(msg.Msg)) {
        if (RouteMouseToGraphicChild(msg)) return;
        if (Enabled() || msg.Msg == WM_MOUSEMOVE) DispatchMouse(msg);
        DefaultHandler(msg);
        return;
    }
    switch (msg.Msg) {
        case WM_PAINT: WMPaint(msg); return;
        case WM_ERASEBKGND: WMEraseBkgnd(msg); return;
        case WM_SIZE: WMSize(msg); return;
        case WM_MOVE: WMMove(msg); return;
        case WM_SETFOCUS: WMSetFocus(msg); return;
        case WM_KILLFOCUS: WMKillFocus(msg); return;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: WMKeyDown(msg); return;
        case WM_KEYUP:
        case WM_SYSKEYUP: WMKeyUp(msg); return;
        case WM_CHAR: WMChar(msg); return;
        case WM_SETCURSOR: WMSetCursor(msg); return;
        case WM_MOUSELEAVE: WMMouseLeave(msg); return;
        case WM_CAPTURECHANGED:
            m_captureControl = nullptr;
            DefaultHandler(msg);
            return;
        case WM_COMMAND: WMCommand(msg); return;
        case WM_DRAWITEM: WMDrawItem(msg); return;
        case WM_MEASUREITEM: WMMeasureItem(msg); return;
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN: WMCtlColor(msg); return;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE: TControl::WndProc(msg); return;
        case WM_GETOBJECT:
            if (AsksForObject(msg.LParam, accObjClient))
                msg.Result = AnswerGetObject(*this, msg.WParam);
            else if (AsksForObject(msg.LParam, accObjWindow))
                msg.Result = AnswerGetObject(AccWindowNode(), msg.WParam);
            if (msg.Result == 0) DefaultHandler(msg);
            return;
        case CM_ACCACTION: AccPerformDefaultAction(static_cast<int>(msg.WParam) - 1); return;
        default: break;
    }
    if (msg.Msg >= CN_BASE && msg.Msg < CN_BASE + 0x400) return;  // reflected, not handled
    DefaultHandler(msg);
}

void TWinControl::WMPaint(TMessage& msg) {
    if (!m_defWndProc || m_defWndProc != DefWindowProcA) {
        // A standard control paints itself.
        DefaultHandler(msg);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_handle.Get(), &ps);
    try {
        if (DoubleBuffered) {
            const TRect cr = ClientRect();
            if (!m_paintBuffer) m_paintBuffer = std::make_unique<TBitmap>();
            if (m_paintBuffer->Width() != cr.Width() || m_paintBuffer->Height() != cr.Height())
                m_paintBuffer->SetSize(cr.Width(), cr.Height());
            HDC mem = m_paintBuffer->Canvas().Handle();
            PaintWindow(mem);
            PaintControls(mem);
            m_paintBuffer->DrawTo(dc, 0, 0);
        } else {
            PaintWindow(dc);
            PaintControls(dc);
        }
    } catch (...) {
        EndPaint(m_handle.Get(), &ps);
        throw;
    }
    EndPaint(m_handle.Get(), &ps);
    msg.Result = 0;
}

void TWinControl::WMEraseBkgnd(TMessage& msg) {
    if (!m_defWndProc || m_defWndProc != DefWindowProcA) {
        DefaultHandler(msg);
        return;
    }
    // Our own windows paint every pixel in WM_PAINT; erasing first would
    // only flicker.
    msg.Result = 1;
}

void TWinControl::PaintWindow(HDC dc) {
    TCanvas c;
    c.SetHandle(dc);
    c.Brush().SetColor(Color());
    c.FillRect(ClientRect());
    c.SetHandle(nullptr);
}

void TWinControl::PaintControls(HDC dc) {
    for (TControl* c : m_controls) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->Visible() || g->Width() <= 0 || g->Height() <= 0) continue;
        const int saved = SaveDC(dc);
        POINT org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + g->Left(), org.y + g->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, g->Width(), g->Height());
        try {
            g->PaintTo(dc);
        } catch (...) {
            RestoreDC(dc, saved);
            throw;
        }
        RestoreDC(dc, saved);
    }
}

void TWinControl::ReadBoundsFromWindow() {
    RECT r;
    GetWindowRect(m_handle.Get(), &r);
    HWND parent = GetParent(m_handle.Get());
    if (parent && (GetWindowLongA(m_handle.Get(), GWL_STYLE) & WS_CHILD)) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    const bool resized = (r.right - r.left) != Width() || (r.bottom - r.top) != Height();
    m_left = r.left;
    m_top = r.top;
    m_width = r.right - r.left;
    m_height = r.bottom - r.top;
    if (resized) {
        Resize();
        RequestAlign();
    }
}

void TWinControl::WMSize(TMessage& msg) {
    DefaultHandler(msg);
    if (!IsIconic(m_handle.Get())) ReadBoundsFromWindow();
}

void TWinControl::WMMove(TMessage& msg) {
    DefaultHandler(msg);
    if (!IsIconic(m_handle.Get())) ReadBoundsFromWindow();
}

void TWinControl::Resize() {
    AlignControls();
}

void TWinControl::UpdateBounds() {
    if (m_handle) {
        SetWindowPos(m_handle.Get(), nullptr, Left(), Top(), Width(), Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
}

void TWinControl::SetVisible(bool visible) {
    if (visible == Visible()) return;
    TControl::SetVisible(visible);
    UpdateShowing();
}

void TWinControl::UpdateShowing() {
    if (!m_handle) {
        if (Visible() && Parent() && Parent()->HandleAllocated())
            HandleNeeded();
        else
            return;
    }
    ShowWindow(m_handle.Get(), Visible() ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled) {
    if (enabled == Enabled()) return;
    TControl::SetEnabled(enabled);
    if (m_handle) EnableWindow(m_handle.Get(), enabled ? TRUE : FALSE);
}

void TWinControl::TextChanged() {
    if (m_handle) SetWindowTextW(m_handle.Get(), ToWide(Caption()).c_str());
    Invalidate();
}

void TWinControl::FontChanged() {
    if (m_handle)
        SendMessageA(m_handle.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle(CurrentPPI())), TRUE);
    Invalidate();
}

void TWinControl::ScaleChanged() {
    if (m_handle)
        SendMessageA(m_handle.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle(CurrentPPI())), TRUE);
}

void TWinControl::ChangeScale(int m, int d) {
    if (m == d || d == 0) return;
    // The children first, with their parent's alignment held back until
    // every bound has its new value.
    DisableAlign();
    try {
        for (TControl* c : m_controls) c->ChangeScale(m, d);
        TControl::ChangeScale(m, d);
    } catch (...) {
        --m_alignLock;
        throw;
    }
    EnableAlign();
}

void TWinControl::EnableAlign() {
    if (m_alignLock > 0 && --m_alignLock == 0) AlignControls();
}

void TWinControl::Invalidate() {
    if (m_handle) ::InvalidateRect(m_handle.Get(), nullptr, FALSE);
}

void TWinControl::Update() {
    if (m_handle) UpdateWindow(m_handle.Get());
}

TRect TWinControl::ClientRect() const {
    if (m_handle) {
        RECT r;
        GetClientRect(m_handle.Get(), &r);
        return {r.left, r.top, r.right, r.bottom};
    }
    return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() const {
    if (m_handle) {
        POINT p{0, 0};
        ::ClientToScreen(m_handle.Get(), &p);
        return {p.x, p.y};
    }
    return TControl::ClientOrigin();
}

void TWinControl::InsertControl(TControl* control) {
    m_controls.push_back(control);
    control->m_parent = this;
    if (auto* wc = dynamic_cast<TWinControl*>(control)) {
        m_tabList.push_back(wc);
        if (m_handle && wc->Visible()) wc->HandleNeeded();
    }
    control->Invalidate();
    if (control->Align() != TAlign::alNone) AlignControls();
}

void TWinControl::RemoveControl(TControl* control) {
    control->Invalidate();
    if (m_captureControl == control) m_captureControl = nullptr;
    std::erase(m_controls, control);
    // Compared as controls: from a child's destructor the child is no longer
    // a windowed control for dynamic_cast, but it must still leave the tab
    // order.
    std::erase_if(m_tabList, [control](TWinControl* w) { return static_cast<TControl*>(w) == control; });
    if (auto* wc = dynamic_cast<TWinControl*>(control)) {
        // A child window cannot outlive its parent window.
        wc->DestroyHandle();
    }
    control->m_parent = nullptr;
    if (control->Align() != TAlign::alNone) AlignControls();
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) const {
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        TControl* c = *it;
        if (!allowWinControls && dynamic_cast<TWinControl*>(c)) continue;
        if (!c->Visible() || (!allowDisabled && !c->Enabled())) continue;
        if (c->BoundsRect().Contains(p)) return c;
    }
    return nullptr;
}

void TWinControl::AlignControls() {
    if (m_aligning || m_alignLock > 0) return;
    m_aligning = true;
    try {
        TRect r = ClientRect();
        AdjustClientRect(r);
        // Top and bottom first, then left and right, then the client control:
        // each in the order the children were added.
        for (TAlign pass :
             {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
            for (TControl* c : m_controls) {
                if (c->Align() != pass || !c->Visible()) continue;
                switch (pass) {
                    case TAlign::alTop:
                        c->SetBounds(r.Left, r.Top, r.Width(), c->Height());
                        r.Top += c->Height();
                        break;
                    case TAlign::alBottom:
                        c->SetBounds(r.Left, r.Bottom - c->Height(), r.Width(), c->Height());
                        r.Bottom -= c->Height();
                        break;
                    case TAlign::alLeft:
                        c->SetBounds(r.Left, r.Top, c->Width(), r.Height());
                        r.Left += c->Width();
                        break;
                    case TAlign::alRight:
                        c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), r.Height());
                        r.Right -= c->Width();
                        break;
                    case TAlign::alClient:
                        c->SetBounds(r.Left, r.Top, std::max(r.Width(), 0), std::max(r.Height(), 0));
                        break;
                    case TAlign::alNone: break;
                }
            }
        }
    } catch (...) {
        m_aligning = false;
        throw;
    }
    m_aligning = false;
}

int TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& l = Parent()->m_tabList;
    const auto it = std::find(l.begin(), l.end(), this);
    return it == l.end() ? -1 : static_cast<int>(it - l.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (!Parent()) return;
    auto& l = Parent()->m_tabList;
    std::erase(l, this);
    order = std::clamp(order, 0, static_cast<int>(l.size()));
    l.insert(l.begin() + order, this);
}

std::vector<TWinControl*> TWinControl::TabList() const {
    return m_tabList;
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

bool TWinControl::Focused() const {
    return m_handle && GetFocus() == m_handle.Get();
}

void TWinControl::SetFocus() {
    if (TCustomForm* form = ParentForm(); form && form != this) form->SetActiveControl(this);
    if (CanFocus()) ::SetFocus(Handle());
}

void TWinControl::WMSetFocus(TMessage& msg) {
    DefaultHandler(msg);
    if (TCustomForm* form = ParentForm(); form && form != this) form->FocusChanged(this);
    DoEnter();
    // A reader follows the focus: to the control, or to its focused item.
    NotifyAccEvent(accEventFocus, AccFocusedItem());
}

void TWinControl::WMKillFocus(TMessage& msg) {
    DefaultHandler(msg);
    DoExit();
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::WMKeyDown(TMessage& msg) {
    WORD key = static_cast<WORD>(msg.WParam);
    KeyDown(key, KeyboardShiftState());
    if (key == 0) return;
    msg.WParam = key;
    DefaultHandler(msg);
}

void TWinControl::WMKeyUp(TMessage& msg) {
    WORD key = static_cast<WORD>(msg.WParam);
    KeyUp(key, KeyboardShiftState());
    if (key == 0) return;
    msg.WParam = key;
    DefaultHandler(msg);
}

void TWinControl::WMChar(TMessage& msg) {
    char ch = static_cast<char>(msg.WParam);
    KeyPress(ch);
    if (ch == 0) return;
    msg.WParam = static_cast<unsigned char>(ch);
    DefaultHandler(msg);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
}

bool TWinControl::WantsKey(WORD) const {
    return false;
}

bool TWinControl::DialogChar(char ch) {
    for (TControl* c : m_controls) {
        if (!c->Visible() || !c->Enabled()) continue;
        if (auto* wc = dynamic_cast<TWinControl*>(c)) {
            if (wc->DialogChar(ch)) return true;
        }
    }
    return false;
}

bool TWinControl::DialogKey(WORD key, TShiftState shift) {
    for (TControl* c : m_controls) {
        if (!c->Visible()) continue;
        if (c->DialogKey(key, shift)) return true;
    }
    return false;
}

void TWinControl::FocusChanged(TWinControl* focused) {
    for (TControl* c : m_controls) c->FocusChanged(focused);
}

void TWinControl::WMSetCursor(TMessage& msg) {
    if (Screen && Screen->Cursor() != crDefault && LOWORD(msg.LParam) == HTCLIENT) {
        ::SetCursor(Screen->CursorHandle(Screen->Cursor()));
        msg.Result = TRUE;
        return;
    }
    if (Cursor() != crDefault && LOWORD(msg.LParam) == HTCLIENT && Screen) {
        ::SetCursor(Screen->CursorHandle(Cursor()));
        msg.Result = TRUE;
        return;
    }
    DefaultHandler(msg);
}

void TWinControl::WMMouseLeave(TMessage& msg) {
    m_trackingLeave = false;
    // Leaving our window: whatever of ours was under the pointer is left.
    if (g_mouseControl == this ||
        (g_mouseControl && g_mouseControl->Parent() == this && !dynamic_cast<TWinControl*>(g_mouseControl))) {
        POINT pt;
        GetCursorPos(&pt);
        HWND under = WindowFromPoint(pt);
        if (under != m_handle.Get()) SetMouseControl(nullptr);
    }
    DefaultHandler(msg);
}

void TWinControl::WMCommand(TMessage& msg) {
    // Notifications from child windows go back to the child as CN_COMMAND.
    if (msg.LParam) {
        if (TWinControl* child = FindControl(reinterpret_cast<HWND>(msg.LParam)); child && child != this) {
            msg.Result = child->Perform(CN_BASE + WM_COMMAND, msg.WParam, msg.LParam);
            return;
        }
    }
    DefaultHandler(msg);
}

void TWinControl::WMDrawItem(TMessage& msg) {
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(msg.LParam);
    if (dis && dis->CtlType != ODT_MENU) {
        if (TWinControl* child = FindControl(dis->hwndItem); child && child != this) {
            msg.Result = child->Perform(CN_BASE + WM_DRAWITEM, msg.WParam, msg.LParam);
            return;
        }
    }
    DefaultHandler(msg);
}

void TWinControl::WMMeasureItem(TMessage& msg) {
    const auto* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(msg.LParam);
    if (mis && mis->CtlType != ODT_MENU) {
        // Sent while the child is still being created: find it by its id.
        TWinControl* child = FindControl(GetDlgItem(m_handle.Get(), static_cast<int>(mis->CtlID)));
        if (!child) child = g_creating;
        if (child && child != this) {
            msg.Result = child->Perform(CN_BASE + WM_MEASUREITEM, msg.WParam, msg.LParam);
            return;
        }
    }
    DefaultHandler(msg);
}

void TWinControl::WMCtlColor(TMessage& msg) {
    if (TWinControl* child = FindControl(reinterpret_cast<HWND>(msg.LParam)); child && child != this) {
        msg.Result = child->Perform(CN_BASE + msg.Msg, msg.WParam, msg.LParam);
        if (msg.Result) return;
    }
    DefaultHandler(msg);
}

void TWinControl::SetWindowRegion(TRegionHandle region, bool redraw) {
    // The system owns a region once it is set on a window.
    SetWindowRgn(Handle(), region.Release(), redraw ? TRUE : FALSE);
}

TAccWindowNode& TWinControl::AccWindowNode() {
    if (!m_accWindow) m_accWindow = std::make_unique<TAccWindowNode>(*this);
    return *m_accWindow;
}

void TWinControl::AccDescribeSelf(TAccInfo& info) {
    // A container: its name, if any, comes from what it shows, never from a
    // template's caption.
    info.Role = accRoleClient;
    if (TabStop()) info.State |= accStateFocusable;
    if (Focused()) info.State |= accStateFocused;
}

// ---- TCustomControl --------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

void TCustomControl::PaintWindow(HDC dc) {
    m_canvas.SetHandle(dc);
    m_canvas.SetPixelsPerInch(CurrentPPI());
    try {
        m_canvas.Brush().SetColor(Color());
        m_canvas.FillRect(ClientRect());
        Paint();
    } catch (...) {
        m_canvas.SetHandle(nullptr);
        throw;
    }
    m_canvas.SetHandle(nullptr);
}

// ---- TPopupWindow ------------------------------------------------------------------

TPopupWindow::TPopupWindow(TComponent* owner) : TCustomControl(owner) {
    SetVisible(false);
}

void TPopupWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style = WS_POPUP | WS_CLIPCHILDREN;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.WinClassName = "ZvPopupWindow";
    params.ClassStyle = CS_DBLCLKS | CS_SAVEBITS;
    // Owned by the application's main window so it goes with it.
    params.WndParent =
        (Application && Application->MainForm()) ? Application->MainForm()->HandleOrNull() : nullptr;
}

void TPopupWindow::WndProc(TMessage& msg) {
    if (msg.Msg == WM_MOUSEACTIVATE) {
        msg.Result = MA_NOACTIVATE;
        return;
    }
    TCustomControl::WndProc(msg);
}

void TPopupWindow::Popup(int x, int y) {
    HWND h = Handle();
    SetBounds(x, y, Width(), Height());
    SetWindowPos(h, HWND_TOPMOST, x, y, Width(), Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    TControl::SetVisible(true);
}

void TPopupWindow::ClosePopup() {
    if (HandleAllocated()) ShowWindow(HandleOrNull(), SW_HIDE);
    TControl::SetVisible(false);
}

}  // namespace zv
