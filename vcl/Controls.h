// Controls: the visual component tree over Win32 windows.
//
//   TMessage, TWndMethod   a window message as the object tree sees it; every
//                          windowed control has a replaceable WindowProc
//                          (components take it over and give it back)
//   TControl               position, alignment, visibility, enabled state,
//                          font, colour, caption, mouse events, mouse
//                          enter/leave, capture, the display density it is
//                          laid out for; graphic controls are painted by
//                          their parent
//   TGraphicControl        a control without a window, with a canvas
//   TWinControl            a control with its own HWND: children, Align,
//                          focus and tab order, dialog keys and accelerators,
//                          typed message handlers, off-screen painting,
//                          window regions
//   TCustomControl         a windowed control that paints itself on a canvas
//   TPopupWindow           a non-activating topmost tool window
//   KeyboardCuesShown      whether focus rectangles show (keyboard in use)
//
// Every control is also the accessibility node screen readers see
// (vcl/Accessibility.h): windows answer WM_GETOBJECT with it, graphic
// controls that describe a role are children of their parent's node.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Types.h"
#include "vcl/Accessibility.h"
#include "vcl/Graphics.h"
#include "vcl/Win32Handles.h"

namespace zv {

class TWinControl;
class TCustomForm;

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};
using TWndMethod = std::function<void(TMessage&)>;

// Framework-internal messages sent between controls.
enum : UINT {
    CM_BASE = 0xB000,
    CM_MOUSEENTER = CM_BASE + 19,
    CM_MOUSELEAVE = CM_BASE + 20,
    // Performed on a form after it moved to another display density (wParam
    // the new pixels per inch, lParam the old), once every control has its
    // new bounds; whoever took over the form's window procedure sees it.
    CM_SCALECHANGED = CM_BASE + 60,
    // A default action asked for by an accessibility client, run from the
    // queue: wParam the item + 1 (0 the control itself).
    CM_ACCACTION = CM_BASE + 62,
    // Notifications a parent reflects back to the child they concern:
    // CN_BASE + WM_COMMAND, + WM_DRAWITEM, + WM_MEASUREITEM, + WM_CTLCOLOR*.
    CN_BASE = 0xBC00,
};

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
using TShiftState = unsigned;

using TNotifyEvent = std::function<void(TObject* sender)>;
using TMouseEvent = std::function<void(TObject* sender, TMouseButton, TShiftState, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyboardShiftState();

// Windows' keyboard cues: focus rectangles show once the user moves with the
// keyboard (Tab, arrows, Alt) and go again when a mouse button is pressed.
// A change repaints the focused control.
[[nodiscard]] bool KeyboardCuesShown();
void SetKeyboardCuesShown(bool shown);

class TControl : public TComponent, public TAccNode {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    [[nodiscard]] TWinControl* Parent() const { return m_parent; }
    virtual void SetParent(TWinControl* parent);

    [[nodiscard]] int Left() const { return m_left; }
    [[nodiscard]] int Top() const { return m_top; }
    [[nodiscard]] int Width() const { return m_width; }
    [[nodiscard]] int Height() const { return m_height; }
    [[nodiscard]] TRect BoundsRect() const { return {m_left, m_top, m_left + m_width, m_top + m_height}; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, m_top, m_width, m_height); }
    void SetTop(int v) { SetBounds(m_left, v, m_width, m_height); }
    void SetWidth(int v) { SetBounds(m_left, m_top, v, m_height); }
    void SetHeight(int v) { SetBounds(m_left, m_top, m_width, v); }
    [[nodiscard]] virtual TRect ClientRect() const { return {0, 0, m_width, m_height}; }
    [[nodiscard]] int ClientWidth() const { return ClientRect().Width(); }
    [[nodiscard]] int ClientHeight() const { return ClientRect().Height(); }
    virtual void SetClientSize(int width, int height);

    [[nodiscard]] TAlign Align() const { return m_align; }
    void SetAlign(TAlign align);
    [[nodiscard]] bool Visible() const { return m_visible; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    [[nodiscard]] bool Enabled() const { return m_enabled; }
    virtual void SetEnabled(bool enabled);
    // Visible, and every parent visible too.
    [[nodiscard]] bool Showing() const;

    [[nodiscard]] const std::string& Caption() const { return m_caption; }
    void SetCaption(const std::string& text);
    [[nodiscard]] TColor Color() const { return m_color; }
    void SetColor(TColor color);
    TFont& Font() { return m_font; }
    [[nodiscard]] const TFont& Font() const { return m_font; }
    [[nodiscard]] TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor c) { m_cursor = c; }
    int Tag = 0;

    // The form this control is on (nullptr when it is on none).
    [[nodiscard]] TCustomForm* ParentForm() const;
    // The pixels per inch of the display the control is laid out for: its
    // form's (96 without one). Bounds and fonts are device pixels of it.
    [[nodiscard]] virtual int CurrentPPI() const;
    // Scales the bounds by m / d (a change of density); windowed controls
    // scale their children too.
    virtual void ChangeScale(int m, int d);
    // Told to every control of a form after the form moved to another
    // density and every bound was scaled.
    virtual void ScaleChanged() {}
    [[nodiscard]] TPoint ClientToScreen(TPoint p) const;
    [[nodiscard]] TPoint ScreenToClient(TPoint p) const;
    // Offset of this control's client origin in its nearest window.
    [[nodiscard]] virtual TPoint ClientOrigin() const;

    virtual void Invalidate();
    void InvalidateRect(const TRect& r);
    virtual void Update();
    void Repaint() {
        Invalidate();
        Update();
    }

    // The mouse: a control that is pressed keeps the mouse (capture) until
    // release; MouseEnter/MouseLeave tell when the pointer crosses its edge.
    void MouseCapture(bool capture);
    [[nodiscard]] bool HasMouseCapture() const;
    [[nodiscard]] bool MouseInControl() const { return m_mouseInControl; }

    // Dispatch of a message to this control (both kinds): WindowProc is what
    // the framework calls; it starts as WndProc and may be replaced.
    TWndMethod WindowProc;
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    std::function<void(TObject*, TShiftState, int, int)> OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    virtual void Click();

    // Told to every control of a form when the focus moved to `focused`.
    virtual void FocusChanged(TWinControl* focused) { (void)focused; }
    // Enter and Escape the focused control did not take are offered to every
    // control of the form; true when one used it.
    virtual bool DialogKey(WORD key, TShiftState shift) {
        (void)key;
        (void)shift;
        return false;
    }

    // ---- what a screen reader gets
    // The control itself: role (0 leaves a graphic control out), name,
    // state beyond the framework's own (visible, enabled, focus), value,
    // default action and shortcut; the framework adds the place.
    virtual void AccDescribeSelf(TAccInfo& info);
    // Simple children of the control (a list's lines): their number, each
    // one (Bounds in client coordinates), the one at a client point, the
    // one with the focus and the selected one (-1 for none).
    [[nodiscard]] virtual int AccItemCount() { return 0; }
    virtual void AccDescribeItem(int index, TAccInfo& info) {
        (void)index;
        (void)info;
    }
    [[nodiscard]] virtual int AccItemAt(TPoint client) {
        (void)client;
        return -1;
    }
    [[nodiscard]] virtual int AccFocusedItem() { return -1; }
    [[nodiscard]] virtual int AccSelectedItem() { return -1; }
    virtual bool AccSelectItem(int index, long flags) {
        (void)index;
        (void)flags;
        return false;
    }
    // Runs the default action of the control (item -1) or an item; reached
    // through the message queue (CM_ACCACTION).
    virtual void AccPerformDefaultAction(int item) { (void)item; }
    // Tells accessibility clients about a change of the control (item -1)
    // or one of its items.
    void NotifyAccEvent(DWORD event, int item = -1);
    // Whether the control is one of its parent's accessible children.
    [[nodiscard]] bool AccExposed();

    [[nodiscard]] int AccChildCount() override;
    [[nodiscard]] TAccChild AccChild(int child) override;
    [[nodiscard]] TAccInfo AccDescribe(int child) override;
    [[nodiscard]] int AccHitTest(TPoint screen) override;
    [[nodiscard]] int AccFocus() override;
    [[nodiscard]] int AccSelection() override;
    [[nodiscard]] TAccChild AccParent() override;
    bool AccDoDefaultAction(int child) override;
    bool AccSelect(int child, long flags) override;

protected:
    virtual void WndProc(TMessage& msg);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void EnabledChanged() { Invalidate(); }
    virtual void VisibleChanged() {}
    virtual void TextChanged() { Invalidate(); }
    virtual void FontChanged() { Invalidate(); }
    virtual void ColorChanged() { Invalidate(); }
    virtual void Resize() {}
    virtual void UpdateBounds() {}  // windowed controls move their window
    void RequestAlign();
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TWinControl;
    friend class TApplication;
    void DispatchMouse(TMessage& msg);
    void SetMouseInControl(bool inside);

    TWinControl* m_parent = nullptr;
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    TAlign m_align = TAlign::alNone;
    bool m_visible = true;
    bool m_enabled = true;
    bool m_mouseInControl = false;
    std::string m_caption;
    TColor m_color = clBtnFace;
    TFont m_font;
    TCursor m_cursor = crDefault;
};

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    TCanvas& Canvas() { return m_canvas; }
    // Paints into dc, whose origin is the control's top-left corner.
    void PaintTo(HDC dc);

protected:
    virtual void Paint() {}

private:
    TCanvas m_canvas;
};

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    HWND WndParent = nullptr;
    // The window class; a standard class name in SubClassOf makes a
    // superclass of it whose default procedure is the standard one.
    std::string WinClassName = "ZvWindow";
    std::string SubClassOf;
    UINT ClassStyle = CS_DBLCLKS;
    HBRUSH Background = nullptr;
    // A window that keeps texts of the program inside it (a list box its
    // lines) is a Unicode window, so that they hold characters the ANSI code
    // page lacks. The others keep ANSI procedures.
    bool Unicode = false;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    [[nodiscard]] HWND Handle();
    [[nodiscard]] HWND HandleOrNull() const { return m_handle.Get(); }
    [[nodiscard]] bool HandleAllocated() const { return static_cast<bool>(m_handle); }
    void HandleNeeded() { (void)Handle(); }
    void DestroyHandle();
    // Finds the control that owns hwnd (nullptr when none of ours).
    static TWinControl* FindControl(HWND hwnd);

    [[nodiscard]] int ControlCount() const { return static_cast<int>(m_controls.size()); }
    [[nodiscard]] TControl* Controls(int i) const { return m_controls.at(static_cast<size_t>(i)); }
    // The child (graphic or windowed) at client point p, topmost first.
    [[nodiscard]] TControl* ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls = false) const;

    [[nodiscard]] TRect ClientRect() const override;
    [[nodiscard]] TPoint ClientOrigin() const override;
    void AlignControls();
    // The rectangle children are aligned in; controls with an inner border
    // shrink it.
    virtual void AdjustClientRect(TRect& r) const { (void)r; }

    [[nodiscard]] bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool v) { m_tabStop = v; }
    [[nodiscard]] int TabOrder() const;
    void SetTabOrder(int order);
    [[nodiscard]] virtual bool CanFocus() const;
    [[nodiscard]] bool Focused() const;
    virtual void SetFocus();
    // The windowed children in tab order.
    [[nodiscard]] std::vector<TWinControl*> TabList() const;

    // Off-screen painting: the window and its graphic children are drawn
    // into a bitmap of the client size and copied to the screen in one step.
    bool DoubleBuffered = false;

    // A window region (takes ownership; nullptr removes it).
    void SetWindowRegion(TRegionHandle region, bool redraw = true);

    void Invalidate() override;
    void Update() override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;

    // Keyboard: a control says which navigation keys it handles itself
    // (otherwise the form uses them: Tab, Enter, Escape, arrows).
    [[nodiscard]] virtual bool WantsKey(WORD key) const;
    // An accelerator character (the letter after "&" in a caption): return
    // true when the control took it.
    virtual bool DialogChar(char ch);
    bool DialogKey(WORD key, TShiftState shift) override;
    void FocusChanged(TWinControl* focused) override;

    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

    // Calls the window's default procedure (the standard class's for
    // subclassed controls).
    LRESULT DefaultHandler(TMessage& msg);

    // Alignment of the children waits while disabled (counted).
    void DisableAlign() { ++m_alignLock; }
    void EnableAlign();
    void ChangeScale(int m, int d) override;
    // The window's font follows the density.
    void ScaleChanged() override;
    // The window as a whole for accessibility clients (OBJID_WINDOW); a
    // skinned frame puts its title bar in front of the client area.
    TAccWindowNode& AccWindowNode();
    [[nodiscard]] HWND AccWindowHandle() override { return HandleOrNull(); }
    void AccDescribeSelf(TAccInfo& info) override;

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    virtual void CreateWindowHandle(const TCreateParams& params);
    void WndProc(TMessage& msg) override;

    // Typed handlers; each default passes the message on as Windows would.
    virtual void WMPaint(TMessage& msg);
    virtual void WMEraseBkgnd(TMessage& msg);
    virtual void WMSize(TMessage& msg);
    virtual void WMMove(TMessage& msg);
    virtual void WMSetFocus(TMessage& msg);
    virtual void WMKillFocus(TMessage& msg);
    virtual void WMKeyDown(TMessage& msg);
    virtual void WMKeyUp(TMessage& msg);
    virtual void WMChar(TMessage& msg);
    virtual void WMSetCursor(TMessage& msg);
    virtual void WMMouseLeave(TMessage& msg);
    virtual void WMCommand(TMessage& msg);
    virtual void WMDrawItem(TMessage& msg);
    virtual void WMMeasureItem(TMessage& msg);
    virtual void WMCtlColor(TMessage& msg);

    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void DoEnter();
    virtual void DoExit();

    // Paints the window's own surface into dc (client coordinates).
    virtual void PaintWindow(HDC dc);
    // Paints the graphic children into dc.
    void PaintControls(HDC dc);
    void UpdateBounds() override;
    void TextChanged() override;
    void FontChanged() override;
    void Resize() override;

    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);

private:
    friend class TControl;
    friend class TApplication;
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static ATOM RegisterWindowClass(TCreateParams& params, WNDPROC& defaultProc);
    void CreateChildHandles();
    void UpdateShowing();
    void ReadBoundsFromWindow();
    bool RouteMouseToGraphicChild(TMessage& msg);

    TWindowHandle m_handle;
    WNDPROC m_defWndProc = nullptr;
    std::vector<TControl*> m_controls;
    std::vector<TWinControl*> m_tabList;
    bool m_tabStop = false;
    bool m_aligning = false;
    int m_alignLock = 0;
    bool m_trackingLeave = false;
    TControl* m_captureControl = nullptr;
    std::unique_ptr<TBitmap> m_paintBuffer;
    std::unique_ptr<TAccWindowNode> m_accWindow;
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    TCanvas& Canvas() { return m_canvas; }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

private:
    TCanvas m_canvas;
};

// A top-level popup that never takes the activation from the window it
// belongs to: tool-window style, topmost, and "no activate" on mouse clicks.
class TPopupWindow : public TCustomControl {
public:
    explicit TPopupWindow(TComponent* owner);
    // Shows at screen position (x, y) without activating.
    void Popup(int x, int y);
    void ClosePopup();

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& msg) override;
};

}  // namespace zv
