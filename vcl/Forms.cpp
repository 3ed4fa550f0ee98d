#include "vcl/Forms.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "base/SysUtils.h"
#include "vcl/PixelsPerInch.h"
#include "vcl/WideText.h"

namespace zv {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {

LRESULT CALLBACK AppWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        if (Application && Application->MainForm()) Application->MainForm()->Close();
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

struct DisabledWindows {
    std::vector<HWND> windows;
    HWND self;
};

BOOL CALLBACK DisableOtherWindow(HWND w, LPARAM lp) {
    auto* d = reinterpret_cast<DisabledWindows*>(lp);
    if (w != d->self && IsWindowVisible(w) && IsWindowEnabled(w)) {
        EnableWindow(w, FALSE);
        d->windows.push_back(w);
    }
    return TRUE;
}

}  // namespace

void InitApplication() {
    if (!Application) {
        Screen = new TScreen();
        Application = new TApplication();
    }
}

void DoneApplication() {
    delete Application;
    Application = nullptr;
    delete Screen;
    Screen = nullptr;
}

// ---- TCustomForm ---------------------------------------------------------------

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
    TControl::SetVisible(false);
    if (Screen) Screen->m_forms.push_back(this);
}

TCustomForm::~TCustomForm() {
    BeforeDestruction();
    if (Screen) std::erase(Screen->m_forms, this);
    if (Application && Application->MainForm() == this) Application->Terminate();
    // Our window goes before the controls that live in it.
    DestroyHandle();
    DestroyComponents();
}

void TCustomForm::AfterConstruction() {
    if (m_created) return;
    m_created = true;
    if (!OnCreate) return;
    try {
        OnCreate(this);
    } catch (const std::exception& e) {
        if (!Application) throw;
        Application->HandleException(e);
    }
}

void TCustomForm::BeforeDestruction() {
    if (m_destroyed) return;
    m_destroyed = true;
    if (!OnDestroy) return;
    try {
        OnDestroy(this);
    } catch (const std::exception& e) {
        if (Application) Application->HandleException(e);
    }
}

void TCustomForm::GetStyles(DWORD& style, DWORD& exStyle) const {
    style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    exStyle = 0;
    switch (m_borderStyle) {
        case TFormBorderStyle::bsNone: style |= WS_POPUP; break;
        case TFormBorderStyle::bsSingle: style |= WS_CAPTION; break;
        case TFormBorderStyle::bsSizeable: style |= WS_CAPTION | WS_THICKFRAME; break;
        case TFormBorderStyle::bsDialog:
            style |= WS_POPUP | WS_CAPTION;
            exStyle |= WS_EX_DLGMODALFRAME;
            break;
        case TFormBorderStyle::bsToolWindow:
            style |= WS_CAPTION;
            exStyle |= WS_EX_TOOLWINDOW;
            break;
    }
    if (m_borderStyle != TFormBorderStyle::bsNone) {
        if (m_borderIcons & biSystemMenu) style |= WS_SYSMENU;
        if (m_borderStyle != TFormBorderStyle::bsDialog && m_borderStyle != TFormBorderStyle::bsToolWindow) {
            if (m_borderIcons & biMinimize) style |= WS_MINIMIZEBOX;
            if (m_borderIcons & biMaximize) style |= WS_MAXIMIZEBOX;
        }
    }
}

void TCustomForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    GetStyles(params.Style, params.ExStyle);
    if (!Enabled()) params.Style |= WS_DISABLED;
    params.WinClassName = "ZvForm";
    params.WndParent = (Application && Application->Handle() && Application->MainForm() != this)
                           ? (Application->MainForm() && Application->MainForm()->HandleAllocated()
                                  ? Application->MainForm()->HandleOrNull()
                                  : Application->Handle())
                           : (Application ? Application->Handle() : nullptr);
    if (m_clientWidth >= 0) {
        RECT r{0, 0, m_clientWidth, m_clientHeight};
        AdjustWindowRectEx(&r, params.Style, FALSE, params.ExStyle);
        params.Width = r.right - r.left;
        params.Height = r.bottom - r.top;
    }
}

void TCustomForm::SetClientSize(int width, int height) {
    if (HandleAllocated()) {
        m_clientWidth = m_clientHeight = -1;
        TWinControl::SetClientSize(width, height);
        return;
    }
    // Without a window yet: the outer size follows from the border style.
    m_clientWidth = width;
    m_clientHeight = height;
    DWORD style;
    DWORD exStyle;
    GetStyles(style, exStyle);
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

TRect TCustomForm::ClientRect() const {
    if (HandleAllocated()) return TWinControl::ClientRect();
    if (m_clientWidth >= 0) return {0, 0, m_clientWidth, m_clientHeight};
    return TWinControl::ClientRect();
}

void TCustomForm::ApplyPosition() {
    if (m_positioned) return;
    m_positioned = true;
    if (m_position == TPosition::poScreenCenter) {
        SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(), Height());
    }
}

void TCustomForm::SetVisible(bool visible) {
    if (visible == Visible() && (!visible || (HandleAllocated() && IsWindowVisible(HandleOrNull())))) return;
    if (visible) {
        HandleNeeded();
        ScaleForMonitor();
        ApplyPosition();
        TControl::SetVisible(true);
        DoShow();
        ShowWindow(HandleOrNull(), SW_SHOWNORMAL);
        if (m_activeControl && m_activeControl->CanFocus())
            ::SetFocus(m_activeControl->Handle());
        else if (auto order = FocusOrder(); !order.empty())
            SetActiveControl(order.front()), ::SetFocus(order.front()->Handle());
    } else {
        DoHide();
        TControl::SetVisible(false);
        if (HandleAllocated()) ShowWindow(HandleOrNull(), SW_HIDE);
    }
}

// ---- display density

namespace {

// Depth first: every control of the form after its children.
void TellScaleChanged(TWinControl* parent) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        if (auto* wc = dynamic_cast<TWinControl*>(c)) TellScaleChanged(wc);
        c->ScaleChanged();
    }
}

}  // namespace

void TCustomForm::ScaleForPPI(int ppi) {
    ppi = std::max(ppi, 96);
    if (ppi == m_pixelsPerInch) return;
    const int old = m_pixelsPerInch;
    // The new density first: the frame and the controls lay out for it as
    // the bounds change.
    m_pixelsPerInch = ppi;
    DisableAlign();
    try {
        for (int i = 0; i < ControlCount(); ++i) Controls(i)->ChangeScale(ppi, old);
        if (m_clientWidth >= 0) {
            m_clientWidth = MulDiv(m_clientWidth, ppi, old);
            m_clientHeight = MulDiv(m_clientHeight, ppi, old);
        }
        SetBounds(Left(), Top(), MulDiv(Width(), ppi, old), MulDiv(Height(), ppi, old));
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
    TellScaleChanged(this);
    ScaleChanged();
    AlignControls();
    Perform(CM_SCALECHANGED, static_cast<WPARAM>(ppi), static_cast<LPARAM>(old));
    if (HandleAllocated())
        RedrawWindow(HandleOrNull(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
}

void TCustomForm::ScaleForMonitor() {
    if (m_monitorScaled) return;
    m_monitorScaled = true;
    ScaleForPPI(WindowPixelsPerInch(Handle()));
}

void TCustomForm::WMDpiChanged(TMessage& msg) {
    // The window went to a monitor of another density: laid out for it at
    // the place the system suggests.
    m_monitorScaled = true;
    ScaleForPPI(HIWORD(msg.WParam));
    if (const auto* r = reinterpret_cast<const RECT*>(msg.LParam); r != nullptr && HandleAllocated())
        SetWindowPos(HandleOrNull(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    msg.Result = 0;
}

void TCustomForm::WMGetDpiScaledSize(TMessage& msg) {
    // The size the form will take there, so that the system suggests it.
    auto* size = reinterpret_cast<SIZE*>(msg.LParam);
    const int ppi = std::max(static_cast<int>(msg.WParam), 96);
    if (size == nullptr) return;
    size->cx = MulDiv(Width(), ppi, m_pixelsPerInch);
    size->cy = MulDiv(Height(), ppi, m_pixelsPerInch);
    msg.Result = TRUE;
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (m_modal) {
        m_modalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action =
        (Application && Application->MainForm() == this) ? TCloseAction::caFree : TCloseAction::caHide;
    if (OnClose) OnClose(this, action);
    if (action == TCloseAction::caNone) return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    if (action == TCloseAction::caMinimize) {
        if (HandleAllocated()) ShowWindow(HandleOrNull(), SW_MINIMIZE);
        return;
    }
    SetVisible(false);
}

int TCustomForm::ShowModal() {
    if (Visible() || m_modal) throw EInvalidOperation("Cannot make a visible window modal");
    if (GetCapture()) ReleaseCapture();
    HWND previous = GetActiveWindow();
    m_modal = true;
    m_modalResult = mrNone;

    // Every other enabled window of the thread is disabled while we run.
    DisabledWindows disabled{{}, HandleOrNull() ? HandleOrNull() : Handle()};
    EnumThreadWindows(GetCurrentThreadId(), &DisableOtherWindow, reinterpret_cast<LPARAM>(&disabled));

    auto restore = [&] {
        for (HWND w : disabled.windows)
            if (IsWindow(w)) EnableWindow(w, TRUE);
        if (HandleAllocated()) {
            // Give the activation back before hiding, so that the system does
            // not hand it to some other application.
            if (previous && IsWindow(previous)) SetActiveWindow(previous);
        }
        SetVisible(false);
        m_modal = false;
    };
    try {
        SetVisible(true);
        SetActiveWindow(HandleOrNull());
        while (m_modalResult == mrNone) {
            Application->HandleMessage();
            if (Application->Terminated()) {
                m_modalResult = mrCancel;
            } else if (m_modalResult != mrNone) {
                // A close that the handlers refuse keeps the dialog up.
                TCloseAction action = TCloseAction::caHide;
                if (!CloseQuery()) {
                    m_modalResult = mrNone;
                } else if (OnClose) {
                    OnClose(this, action);
                    if (action == TCloseAction::caNone) m_modalResult = mrNone;
                }
            }
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
    return m_modalResult;
}

void TCustomForm::WndProc(TMessage& msg) {
    switch (msg.Msg) {
        case WM_CLOSE: Close(); return;
        case WM_DPICHANGED_MSG: WMDpiChanged(msg); return;
        case WM_GETDPISCALEDSIZE_MSG: WMGetDpiScaledSize(msg); return;
        case WM_ACTIVATE:
            DefaultHandler(msg);
            if (LOWORD(msg.WParam) != WA_INACTIVE && m_activeControl && m_activeControl->HandleAllocated() &&
                m_activeControl->CanFocus())
                ::SetFocus(m_activeControl->HandleOrNull());
            return;
        default: break;
    }
    TWinControl::WndProc(msg);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == m_activeControl) m_activeControl = nullptr;
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (control == this) control = nullptr;
    m_activeControl = control;
}

void TCustomForm::FocusChanged(TWinControl* control) {
    m_activeControl = control;
    TWinControl::FocusChanged(control);
}

std::vector<TWinControl*> TCustomForm::FocusOrder() const {
    std::vector<TWinControl*> out;
    std::function<void(const TWinControl*)> walk = [&](const TWinControl* parent) {
        for (TWinControl* c : parent->TabList()) {
            if (c->TabStop() && c->CanFocus()) out.push_back(c);
            walk(c);
        }
    };
    walk(this);
    return out;
}

void TCustomForm::SelectNext(TWinControl* current, bool forward) {
    const auto order = FocusOrder();
    if (order.empty()) return;
    auto it = std::find(order.begin(), order.end(), current);
    TWinControl* next;
    if (it == order.end()) {
        next = forward ? order.front() : order.back();
    } else if (forward) {
        next = (it + 1 == order.end()) ? order.front() : *(it + 1);
    } else {
        next = (it == order.begin()) ? order.back() : *(it - 1);
    }
    next->SetFocus();
}

bool TCustomForm::DialogKey(WORD key, TShiftState shift) {
    switch (key) {
        case VK_TAB:
            if (shift & (ssCtrl | ssAlt)) return false;
            SelectNext(m_activeControl, !(shift & ssShift));
            return true;
        case VK_LEFT:
        case VK_UP: SelectNext(m_activeControl, false); return true;
        case VK_RIGHT:
        case VK_DOWN: SelectNext(m_activeControl, true); return true;
        default: return TWinControl::DialogKey(key, shift);
    }
}

void TCustomForm::AccDescribeSelf(TAccInfo& info) {
    TWinControl::AccDescribeSelf(info);
    info.Name = Caption();
}

// ---- TApplication ----------------------------------------------------------------

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
    DestroyForms();
    m_handle.Reset();
}

void TApplication::Initialize() {
    if (m_handle) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = &AppWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZvApplication";
    wc.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    RegisterClassA(&wc);
    // The hidden application window owns the forms and carries the title.
    m_handle.Reset(CreateWindowExA(0, "ZvApplication", m_title.c_str(),
                                   WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                                   0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
}

void TApplication::SetTitle(const std::string& title) {
    m_title = title;
    if (m_handle) SetWindowTextW(m_handle.Get(), ToWide(title).c_str());
}

void TApplication::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == m_mainForm) m_mainForm = nullptr;
}

void TApplication::Run() {
    if (m_mainForm && !m_terminated) m_mainForm->SetVisible(true);
    while (!m_terminated) HandleMessage();
}

void TApplication::Terminate() {
    if (!m_terminated) PostQuitMessage(0);
    m_terminated = true;
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg) && !m_terminated) WaitMessage();
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

bool TApplication::ProcessMessage(MSG& msg) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        m_terminated = true;
        return true;
    }
    NoteInput(msg);
    bool handled = false;
    if (OnMessage) {
        try {
            OnMessage(msg, handled);
        } catch (const std::exception& e) {
            HandleException(e);
            handled = true;
        }
    }
    if (!handled && !IsKeyMsg(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void TApplication::NoteInput(const MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            switch (msg.wParam) {
                case VK_TAB:
                case VK_LEFT:
                case VK_RIGHT:
                case VK_UP:
                case VK_DOWN:
                case VK_MENU: SetKeyboardCuesShown(true); break;
                default: break;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_NCMBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK: SetKeyboardCuesShown(false); break;
        default: break;
    }
}

bool TApplication::IsKeyMsg(MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_SYSCHAR) return false;
    // The key goes to the focused window; find our control for it.
    TWinControl* control = nullptr;
    for (HWND w = msg.hwnd; w && !control; w = GetParent(w)) control = TWinControl::FindControl(w);
    if (!control) return false;
    TCustomForm* form = control->ParentForm();
    if (!form || !form->Enabled()) return false;
    try {
        if (msg.message == WM_SYSCHAR) {
            // Alt + letter: the accelerator of a caption.
            return form->DialogChar(static_cast<char>(msg.wParam));
        }
        const auto key = static_cast<WORD>(msg.wParam);
        switch (key) {
            case VK_TAB:
            case VK_LEFT:
            case VK_RIGHT:
            case VK_UP:
            case VK_DOWN:
            case VK_RETURN:
            case VK_ESCAPE:
                if (control->WantsKey(key)) return false;
                return form->DialogKey(key, KeyboardShiftState());
            default: return false;
        }
    } catch (const std::exception& e) {
        HandleException(e);
        return true;
    }
}

void TApplication::HandleException(const std::exception& e) {
    if (OnException) {
        OnException(e);
        return;
    }
    ShowException(e);
}

void TApplication::ShowException(const std::exception& e) {
    if (m_handlingException) return;  // an error inside the report itself
    m_handlingException = true;
    HWND owner = GetActiveWindow();
    // Messages may name paths and keys in any script (they are UTF-8).
    MessageBoxW(owner, ToWide(e.what()).c_str(), ToWide(m_title).c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
    m_handlingException = false;
}

void TApplication::DestroyForms() {
    // OnDestroy of each form runs while every form is still whole.
    for (int i = ComponentCount() - 1; i >= 0; --i)
        if (auto* f = dynamic_cast<TCustomForm*>(Components(i))) f->BeforeDestruction();
    DestroyComponents();
    m_mainForm = nullptr;
}

// ---- TScreen -----------------------------------------------------------------------

TScreen::TScreen() : TComponent(nullptr) {}

HCURSOR TScreen::CursorHandle(TCursor cursor) const {
    LPCSTR id;
    switch (cursor) {
        case crHourGlass: id = MAKEINTRESOURCEA(32514); break;  // IDC_WAIT
        case -4: id = MAKEINTRESOURCEA(32513); break;           // crIBeam
        case -21: id = MAKEINTRESOURCEA(32649); break;          // crHandPoint
        default: id = MAKEINTRESOURCEA(32512); break;           // IDC_ARROW
    }
    return LoadCursorA(nullptr, id);
}

void TScreen::SetCursor(TCursor cursor) {
    if (cursor == m_cursor) return;
    m_cursor = cursor;
    if (cursor == crDefault) {
        // Let the window under the pointer choose its own cursor again.
        POINT p;
        GetCursorPos(&p);
        HWND w = WindowFromPoint(p);
        if (w && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId())
            SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w),
                         MAKELPARAM(static_cast<WORD>(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y))),
                                    WM_MOUSEMOVE));
        else
            ::SetCursor(CursorHandle(crArrow));
    } else {
        ::SetCursor(CursorHandle(cursor));
    }
}

TCustomForm* TScreen::ActiveForm() const {
    HWND active = GetActiveWindow();
    for (TCustomForm* f : m_forms)
        if (f->HandleOrNull() == active) return f;
    return nullptr;
}

}  // namespace zv
