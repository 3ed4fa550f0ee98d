// The skinned window frame (unit SkinFrame).
//
//   TksSkinFrame   a component of a form that takes over the form's window
//                  procedure and its non-client area:
//     attaching        caption style off, own window procedure, give back
//     skin             ApplyFrameSkin, CreateFrameObjects, ArrangeFrameObjects
//     sizes            minimum/maximum, WM_GETMINMAXINFO, WM_NCCALCSIZE
//     layout           UpdateLayout (one TFrameLayout for size, skin and
//                      objects), UpdateFrame, UpdateFrameRegion (mask)
//     painting         PaintSkinFrame (WM_NCPAINT), RedrawObject, client
//                      background, the default frame while unskinned
//     input            hit test, hover polling, non-client mouse, move loop,
//                      activation, the keyboard-menu command
//     menus            the system menu, menu mode (message filter), the
//                      messages that end a menu
//     skin messages    passed on to the form's skinned controls
//     accessibility    the title bar and its buttons for screen readers
//                      (TksFrameTitleBar, in front of the form's client)
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "skin/SkinData.h"
#include "skinui/SkinFrameObjects.h"
#include "skinui/paint/FrameLayout.h"
#include "skinui/paint/MaskRegion.h"
#include "skinui/paint/SkinPaint.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/Menus.h"

namespace zv {

class TksSkinMenu;

// Border icons of the frame beyond the form's own three.
constexpr TBorderIcons biRollUp = 8;
constexpr TBorderIcons biMinimizeToTray = 16;

// Hit-test code the frame answers for its own parts (the platform leaves
// them to the frame).
constexpr LRESULT HTOBJECT_CODE = htObject;

using TksObjectEvent = std::function<void(const std::string& idName)>;
using TksObjectMouseEvent = std::function<void(const std::string& idName, int x, int y, TMouseButton button,
                                               const TRect& objectRect)>;
using TksObjectMoveEvent =
    std::function<void(const std::string& idName, int x, int y, const TRect& objectRect)>;

class TksSkinFrame;

// The skinned title bar as screen readers get it: a title bar named by the
// caption whose children are the visible caption buttons, push buttons
// named by their command ("Close", "System menu" ...). Their default
// action is a click, run from the form's queue.
class TksFrameTitleBar : public TAccNode {
public:
    explicit TksFrameTitleBar(TksSkinFrame& frame) : m_frame(frame) {}
    ~TksFrameTitleBar() override { AccDisconnect(); }

    [[nodiscard]] int AccChildCount() override;
    [[nodiscard]] TAccChild AccChild(int child) override;
    [[nodiscard]] TAccInfo AccDescribe(int child) override;
    [[nodiscard]] int AccHitTest(TPoint screen) override;
    [[nodiscard]] int AccFocus() override { return -1; }
    [[nodiscard]] TAccChild AccParent() override;
    bool AccDoDefaultAction(int child) override;
    // The caption buttons that show, in the frame's order.
    [[nodiscard]] std::vector<TksSkinStdButtonObject*> Buttons() const;

private:
    TksSkinFrame& m_frame;
};

// A caption button's default action asked for by a reader: wParam the
// button's child id in the title bar.
constexpr UINT CM_ACCFRAMEACTION = CM_BASE + 61;

class TksSkinFrame : public TComponent, private TksFrameObjectOwner {
public:
    explicit TksSkinFrame(TComponent* owner);
    ~TksSkinFrame() override;

    [[nodiscard]] TCustomForm* Form() const { return m_form; }

    // ---- published properties
    [[nodiscard]] TksSkinData* SkinData() const { return m_skinData; }
    void SetSkinData(TksSkinData* value);
    [[nodiscard]] TksSkinData* MenusSkinData() const { return m_menusSkinData; }
    void SetMenusSkinData(TksSkinData* value);
    [[nodiscard]] TBorderIcons BorderIcons() const { return m_borderIcons; }
    void SetBorderIcons(TBorderIcons value);
    bool SupportNCArea = true;
    bool Sizeable = false;
    bool DraggAble = false;
    bool ShowIcon = false;
    bool HideCaptionButtons = false;
    int ClientWidth = 0;
    int ClientHeight = 0;
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0;
    int MaxHeight = 0;
    bool MaximizeOnFullScreen = false;
    bool UseDefaultSysMenu = true;
    TMenuItem* SystemMenu = nullptr;  // a caller's own system menu (not owned)
    bool UseDefaultObjectHint = true;
    bool ShowObjectHint = false;
    bool UseSkinCursors = false;
    bool UseFormCursorInNCArea = false;
    TFont& DefCaptionFont() { return m_defCaptionFont; }
    TFont& DefInActiveCaptionFont() { return m_defInActiveCaptionFont; }
    bool Magnetic = false;
    int MagneticSize = 10;
    // Window translucency, applied with the skin (ApplyFrameSkin).
    bool AlphaBlend = false;
    int AlphaBlendValue = 200;
    bool AlphaBlendAnimation = false;
    bool AlwaysMinimizeToTray = false;
    bool MenusAlphaBlend = false;
    int MenusAlphaBlendValue = 200;
    bool MenusAlphaBlendAnimation = false;
    int MaxMenuItemsInWindow = 0;
    int DefMenuItemHeight = 20;
    TFont& DefMenuItemFont() { return m_defMenuItemFont; }
    bool UseSkinFontInMenu = true;

    // ---- events
    TNotifyEvent OnChangeSkinData;
    std::function<void(const TRect& clientRect)> OnChangeClientRect;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeActivate;
    TksObjectEvent OnMouseEnterEvent;
    TksObjectEvent OnMouseLeaveEvent;
    TksObjectMouseEvent OnMouseDownEvent;
    TksObjectMouseEvent OnMouseUpEvent;
    TksObjectMoveEvent OnMouseMoveEvent;
    // Asked for a "cmdefault" button: the answer is its visibility.
    std::function<void(const std::string& idName, bool& visible)> OnActivateCustomObject;
    TNotifyEvent OnSkinMenuOpen;
    TNotifyEvent OnSkinMenuClose;

    // ---- state
    [[nodiscard]] bool Skinned() const { return m_skinned; }
    [[nodiscard]] int HoverIndex() const { return m_hoverIndex; }
    [[nodiscard]] int PressedIndex() const { return m_pressedIndex; }
    [[nodiscard]] bool MovingOrSizing() const { return m_movingOrSizing; }
    [[nodiscard]] bool WindowActive() const override { return m_windowActive; }
    [[nodiscard]] bool InMenuMode() const { return m_menuMode; }
    [[nodiscard]] bool RolledUp() const { return m_rolledUp; }
    [[nodiscard]] int FrameObjectCount() const { return static_cast<int>(m_objects.size()); }
    [[nodiscard]] TksActiveSkinObject* FrameObjects(int index) const;
    [[nodiscard]] int IndexOfObject(const std::string& idName) const;
    [[nodiscard]] TksSkinMenu* SkinMenu() const { return m_skinMenu; }
    [[nodiscard]] bool MorphTimerActive() const { return m_morphTimer.Active(); }
    [[nodiscard]] bool PollTimerActive() const { return m_pollTimer.Active(); }

    // ---- skin
    void ApplyFrameSkin();
    void CreateFrameObjects();
    void ArrangeFrameObjects();

    // ---- sizes and layout (window coordinates)
    [[nodiscard]] int MinimumWidth() const;
    [[nodiscard]] int MinimumHeight() const;
    [[nodiscard]] TRect MaximumArea() const;
    // The layout for the window's current size, skin and objects: the
    // frame's own (skinned or default), every object's place.
    void UpdateLayout();
    [[nodiscard]] const TFrameLayout& Layout() const { return m_layout; }
    [[nodiscard]] TRect MapSkinRect(const TRect& r) const { return m_layout.MapSkinRect(r); }
    void UpdateFrame();
    void UpdateFrameRegion();
    [[nodiscard]] const TRect& TargetClientRect() const { return m_layout.ClientRect; }
    [[nodiscard]] const TRect& TargetCaptionRect() const { return m_layout.CaptionRect; }
    [[nodiscard]] const TRect& TargetButtonsRect() const { return m_layout.ButtonsRect; }
    [[nodiscard]] const TRect& TargetMaskRect() const { return m_layout.MaskRect; }
    [[nodiscard]] int FrameWidth() const { return m_frameWidth; }
    [[nodiscard]] int FrameHeight() const { return m_frameHeight; }
    // The default frame's caption height (19, 15 for tool windows).
    [[nodiscard]] int DefaultCaptionHeight() const;

    // ---- painting
    void PaintSkinFrame();
    void RedrawObject(TksActiveSkinObject* object) override;
    void RepaintFrame();

    // ---- input
    // The hit-test code for a point in window coordinates.
    [[nodiscard]] LRESULT HitTest(int x, int y);
    void TestHover(int x, int y, bool allow);
    [[nodiscard]] bool IsFormActive() const override;
    [[nodiscard]] std::string FormCaption() const override;

    // ---- system menu and menu mode
    // The rebuilt system menu (or the caller's SystemMenu).
    TMenuItem* BuildSystemMenu() override;
    void ShowSystemMenuAt(int screenX, int screenY);
    // The system menu as Alt+Space opens it: from the system-menu button
    // when there is one (else below the caption's left end), with its first
    // entry selected (as every level opens).
    void ShowSystemMenuFromKeyboard();
    // Runs a caption button as its click would.
    void ExecuteButton(TksSkinStdButtonObject* button);
    [[nodiscard]] TksFrameTitleBar& TitleBar() { return m_titleBar; }
    void EnterMenuMode();
    void LeaveMenuMode();

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    // ---- what the frame objects ask for (TksFrameObjectOwner)
    [[nodiscard]] TksFrameWindowState WindowState() const override;
    [[nodiscard]] const TFont& DefaultCaptionFont() const override { return m_defCaptionFont; }
    [[nodiscard]] bool ShowsFormIcon() const override { return ShowIcon; }
    [[nodiscard]] HICON FormIcon() const override;
    void StartMorphTimer() override;
    void RunCommand(TStdCommand command) override;
    // Shows a button's popup items below it (menu mode first).
    void PopupObjectItems(TksSkinButtonObject* button) override;
    void ReleaseGroup(TksSkinButtonObject* button) override;
    void NotifyObjectEvent(TksObjectEventKind kind, const TksActiveSkinObject& object, int x, int y,
                           TMouseButton button) override;
    [[nodiscard]] TksFrameObjectOwner* Owner() { return this; }

    void CloseForm();
    void MaximizeForm();
    void MinimizeForm();
    void RollUpForm();
    void MinimizeToTray();
    [[nodiscard]] bool FormMaximized() const;
    [[nodiscard]] bool FormMinimized() const;

    void Attach();
    void Detach();
    void FrameWndProc(TMessage& msg);
    void PassOn(TMessage& msg);
    void MenuMessageFilter(MSG& msg, bool& handled);
    // The frame's popup menu settings, handed to its menu manager.
    void PassMenuSettings();
    bool EndMenuMessage(UINT msg) const;

    void WMNCCalcSize(TMessage& msg);
    void WMNCHitTest(TMessage& msg);
    void WMEraseBkgnd(TMessage& msg);
    void WMTimer(TMessage& msg);
    void NCMouse(TMessage& msg);
    void PressObject(TMouseButton button, int x, int y, LRESULT hit);
    void ReleaseObject(TMouseButton button, int x, int y);
    void Activation();
    void UpdateCaptionObjects();
    void ResetButtonStates();
    void StartMoving();
    void EndMoving();
    void PollMouse();
    void MorphTick();
    void StopTimers();
    void ForceFrameRecalc();
    // AlphaBlend and AlphaBlendValue to the window (layered style).
    void UpdateAlphaBlend();
    void EnforceMinimumSize();
    void ApplyObjectHints();
    void SkinChanging(TksSkinData* data);
    void SkinChanged(TksSkinData* data);
    void PaintDefaultFrame();
    void CreateDefaultObjects();
    [[nodiscard]] std::vector<TFrameObjectEntry> ObjectEntries() const;
    [[nodiscard]] TPoint ScreenToWindow(LPARAM lp) const;
    [[nodiscard]] HWND FormHandle() const;
    [[nodiscard]] bool BorderStyleNone() const;

    TCustomForm* m_form = nullptr;
    TWndMethod m_savedWndProc;
    TksSkinData* m_skinData = nullptr;
    TksSkinData* m_menusSkinData = nullptr;
    TBorderIcons m_borderIcons = biSystemMenu | biMinimize | biMaximize | biRollUp;
    TFont m_defCaptionFont;
    TFont m_defInActiveCaptionFont;
    TFont m_defMenuItemFont;

    bool m_skinned = false;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    // Inside ForceFrameRecalc's step away from the size and back.
    bool m_passingSize = false;
    TFrameLayout m_layout;
    std::optional<TComposedMaskRegion> m_maskRegion;

    std::vector<std::unique_ptr<TksActiveSkinObject>> m_objects;
    int m_hoverIndex = -1;
    int m_pressedIndex = -1;
    int m_oldHoverIndex = -1;
    bool m_movingOrSizing = false;
    bool m_windowActive = false;
    bool m_rolledUp = false;
    int m_rollUpHeight = 0;
    bool m_captured = false;
    bool m_layered = false;

    TTimerId m_morphTimer;
    TTimerId m_pollTimer;

    std::unique_ptr<TMenuItem> m_systemMenu;
    TksSkinMenu* m_skinMenu = nullptr;
    bool m_menuMode = false;
    std::function<void(MSG&, bool&)> m_previousFilter;
    TksFrameTitleBar m_titleBar{*this};
};

}  // namespace zv
