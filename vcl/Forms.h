// Forms, the application object and the screen.
//
//   TCustomForm   a top-level window: caption, client size, position,
//                 border, modal result and ShowModal, Close/Show/Hide,
//                 OnCreate/OnDestroy/OnShow/OnClose, active control and
//                 dialog keys (Tab, Enter, Escape, arrows, accelerators),
//                 the display density it is laid out for (templates are
//                 made for 96 pixels per inch; a form takes its monitor's
//                 density when it first shows and follows it when moved)
//   TApplication  title, forms, message loop with a message filter,
//                 ProcessMessages, Terminate, the standard error report
//   TScreen       the screen cursor (hourglass -11, default 0), forms, size
//   TCursorGuard  sets the screen cursor for a scope and restores crDefault
//
// Application and Screen are the two globals, made by InitApplication().
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "vcl/Controls.h"

namespace zv {

enum TModalResult : int {
    mrNone = 0,
    mrOk = IDOK,
    mrCancel = IDCANCEL,
    mrAbort = IDABORT,
    mrRetry = IDRETRY,
    mrIgnore = IDIGNORE,
    mrYes = IDYES,
    mrNo = IDNO,
};

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TBorderIcons = unsigned;
enum class TPosition { poDesigned, poScreenCenter };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    // Runs OnCreate once the template (the constructor) has built the form.
    // An error raised there goes to the standard error report and the form
    // goes on being created, as the framework does.
    virtual void AfterConstruction();
    // Runs OnDestroy; called by whoever frees the form, before the destructor.
    virtual void BeforeDestruction();

    [[nodiscard]] TFormBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TFormBorderStyle s) { m_borderStyle = s; }
    [[nodiscard]] TBorderIcons BorderIcons() const { return m_borderIcons; }
    void SetBorderIcons(TBorderIcons icons) { m_borderIcons = icons; }
    [[nodiscard]] TPosition Position() const { return m_position; }
    void SetPosition(TPosition p) { m_position = p; }
    void SetClientSize(int width, int height) override;
    [[nodiscard]] TRect ClientRect() const override;

    [[nodiscard]] int ModalResult() const { return m_modalResult; }
    void SetModalResult(int r) { m_modalResult = r; }
    [[nodiscard]] bool Modal() const { return m_modal; }
    int ShowModal();
    void Close();
    void SetVisible(bool visible) override;

    // The pixels per inch the form and its controls are laid out for.
    [[nodiscard]] int PixelsPerInch() const { return m_pixelsPerInch; }
    [[nodiscard]] int CurrentPPI() const override { return m_pixelsPerInch; }
    // Lays the form out for another density: every bound scaled by ppi /
    // PixelsPerInch (the window keeps its top-left corner), then every
    // control is told (ScaleChanged) and the form performs CM_SCALECHANGED.
    // Densities below 96 count as 96.
    void ScaleForPPI(int ppi);

    [[nodiscard]] TWinControl* ActiveControl() const { return m_activeControl; }
    void SetActiveControl(TWinControl* control);
    // Records the new active control and tells every control of the form.
    void FocusChanged(TWinControl* control) override;
    // Moves the focus to the next (or previous) focusable control in tab order.
    void SelectNext(TWinControl* current, bool forward);
    // Handles a navigation key the focused control does not want; true when used.
    bool DialogKey(WORD key, TShiftState shift) override;
    // The client area of a window is named by its caption.
    void AccDescribeSelf(TAccInfo& info) override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    std::function<void(TObject*, TCloseAction&)> OnClose;
    std::function<void(TObject*, bool&)> OnCloseQuery;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& msg) override;
    void Notification(TComponent* component, TOperation operation) override;
    virtual void DoShow();
    virtual void DoHide();
    [[nodiscard]] bool CloseQuery();

private:
    void ApplyPosition();
    // The first showing takes the density of the window's monitor.
    void ScaleForMonitor();
    void WMDpiChanged(TMessage& msg);
    void WMGetDpiScaledSize(TMessage& msg);
    void GetStyles(DWORD& style, DWORD& exStyle) const;
    [[nodiscard]] std::vector<TWinControl*> FocusOrder() const;

    TFormBorderStyle m_borderStyle = TFormBorderStyle::bsSizeable;
    TBorderIcons m_borderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition m_position = TPosition::poDesigned;
    int m_modalResult = mrNone;
    bool m_modal = false;
    bool m_positioned = false;
    bool m_created = false;
    bool m_destroyed = false;
    TWinControl* m_activeControl = nullptr;
    int m_clientWidth = -1;
    int m_clientHeight = -1;
    int m_pixelsPerInch = 96;
    bool m_monitorScaled = false;
};

using TForm = TCustomForm;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    void Initialize();
    [[nodiscard]] const std::string& Title() const { return m_title; }
    void SetTitle(const std::string& title);
    [[nodiscard]] HWND Handle() const { return m_handle.Get(); }

    // Creates a form owned by the application; the first one becomes the
    // main form. `ref` is set before the form's OnCreate runs.
    template <typename T>
    T* CreateForm(T*& ref) {
        T* form = new T(this);
        ref = form;
        if (!m_mainForm) m_mainForm = form;
        form->AfterConstruction();
        return form;
    }
    [[nodiscard]] TCustomForm* MainForm() const { return m_mainForm; }

    // Shows the main form and runs the message loop until it closes.
    void Run();
    void ProcessMessages();
    // Processes one message, or waits for one when none is queued.
    void HandleMessage();
    void Terminate();
    [[nodiscard]] bool Terminated() const { return m_terminated; }

    // The message filter: sees every message taken from the queue before it
    // is dispatched; setting handled stops it there.
    std::function<void(MSG&, bool& handled)> OnMessage;
    // Replaces the standard error report when set (tests, embedding).
    std::function<void(const std::exception&)> OnException;

    // The standard error report: a message box with the error icon, titled
    // with the application's title, showing the error's message.
    void HandleException(const std::exception& e);
    void ShowException(const std::exception& e);

    // Frees every form (running OnDestroy first); used at the end of Run.
    void DestroyForms();

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool ProcessMessage(MSG& msg);
    bool IsKeyMsg(MSG& msg);
    // Keyboard navigation shows the keyboard cues, a mouse press hides them.
    static void NoteInput(const MSG& msg);

    std::string m_title;
    TWindowHandle m_handle;
    TCustomForm* m_mainForm = nullptr;
    bool m_terminated = false;
    bool m_handlingException = false;
};

class TScreen : public TComponent {
public:
    TScreen();
    [[nodiscard]] TCursor Cursor() const { return m_cursor; }
    void SetCursor(TCursor cursor);
    [[nodiscard]] HCURSOR CursorHandle(TCursor cursor) const;
    [[nodiscard]] int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    [[nodiscard]] int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    [[nodiscard]] int FormCount() const { return static_cast<int>(m_forms.size()); }
    [[nodiscard]] TCustomForm* Forms(int i) const { return m_forms.at(static_cast<size_t>(i)); }
    [[nodiscard]] TCustomForm* ActiveForm() const;

private:
    friend class TCustomForm;
    std::vector<TCustomForm*> m_forms;
    TCursor m_cursor = crDefault;
};

extern TApplication* Application;
extern TScreen* Screen;

// Creates the application object and the screen (once per process).
void InitApplication();
// Frees both; the forms go first.
void DoneApplication();

// Sets the screen cursor for a scope; restores the default cursor (0)
// however the scope ends.
class TCursorGuard {
public:
    explicit TCursorGuard(TCursor cursor) { Screen->SetCursor(cursor); }
    ~TCursorGuard() { Screen->SetCursor(crDefault); }
    TCursorGuard(const TCursorGuard&) = delete;
    TCursorGuard& operator=(const TCursorGuard&) = delete;
};

}  // namespace zv
