// What screen readers get of the program's windows (Microsoft Active
// Accessibility, the interface every Windows since 98 reads): each of our
// windows answers WM_GETOBJECT with an IAccessible of its own, a
// hand-written COM object over a TAccNode that the control describes.
//
//   TAccInfo        what one element says: role, name, state, value,
//                   default action, keyboard shortcut, place on the screen
//   TAccChild       what a child is beyond a simple element: a node of the
//                   program or an object of another window
//   TAccNode        an element with its children; simple children (a list's
//                   lines, a menu's entries) it describes itself
//   TAccWindowNode  the window as a whole (OBJID_WINDOW): the nodes of its
//                   frame (the skinned title bar) and its client area
//   AnswerGetObject, NotifyAccEvent   WM_GETOBJECT and NotifyWinEvent
//   AccCaptionText, AccAccessKey      captions as read aloud
//   accRole*, accState*, accObj*, accEvent*   the values of oleacc.h
//
// A node's COM object is made on first use and lives as long as clients hold
// it; when the node goes first, the object is disconnected and answers
// RPC_E_DISCONNECTED from then on. Default actions never run inside the
// caller's request: they are posted to the node's window, so that a client
// is not held while the action runs (a button that opens a modal dialog).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/Types.h"

struct IAccessible;

namespace zv {

// The oleacc.h values, spelled out: the platform headers differ between
// toolchains, and the interface's numbers never change.
enum : long {
    accRoleTitleBar = 0x01,
    accRoleMenuPopup = 0x0B,
    accRoleMenuItem = 0x0C,
    accRoleToolTip = 0x0D,
    accRoleDocument = 0x0F,
    accRolePane = 0x10,
    accRoleDialog = 0x12,
    accRoleGrouping = 0x14,
    accRoleSeparator = 0x15,
    accRoleWindow = 0x09,
    accRoleClient = 0x0A,
    accRoleScrollBar = 0x03,
    accRoleList = 0x21,
    accRoleListItem = 0x22,
    accRoleStaticText = 0x29,
    accRolePushButton = 0x2B,
    accRoleCheckButton = 0x2C,
    accRoleGraphic = 0x28,
};

enum : long {
    accStateUnavailable = 0x1,
    accStateSelected = 0x2,
    accStateFocused = 0x4,
    accStatePressed = 0x8,
    accStateChecked = 0x10,
    accStateMixed = 0x20,
    accStateReadOnly = 0x40,
    accStateHotTracked = 0x80,
    accStateDefault = 0x100,
    accStateInvisible = 0x8000,
    accStateOffscreen = 0x10000,
    accStateFocusable = 0x100000,
    accStateSelectable = 0x200000,
    accStateHasPopup = 0x40000000,
};

enum : long {
    accObjWindow = 0,
    accObjTitleBar = -2,
    accObjClient = -4,
};

enum : DWORD {
    accEventMenuPopupStart = 0x0006,
    accEventMenuPopupEnd = 0x0007,
    accEventShow = 0x8002,
    accEventHide = 0x8003,
    accEventReorder = 0x8004,
    accEventFocus = 0x8005,
    accEventSelection = 0x8006,
    accEventStateChange = 0x800A,
    accEventNameChange = 0x800C,
    accEventValueChange = 0x800E,
};

// accSelect's flags.
enum : long { accSelTakeFocus = 0x1, accSelTakeSelection = 0x2 };

struct TAccInfo {
    long Role = 0;
    std::string Name;
    long State = 0;
    std::string Value;
    std::string DefaultAction;
    std::string KeyboardShortcut;
    // Screen coordinates.
    TRect Bounds{};
};

class TAccNode;

// A child that is more than a simple element: a node of the program, or the
// object of a window (ObjectId accObjWindow or accObjClient).
struct TAccChild {
    TAccNode* Node = nullptr;
    HWND Window = nullptr;
    long ObjectId = accObjWindow;
    [[nodiscard]] bool Simple() const { return Node == nullptr && Window == nullptr; }
};

class TAccessibleObject;

class TAccNode {
public:
    TAccNode() = default;
    virtual ~TAccNode();
    TAccNode(const TAccNode&) = delete;
    TAccNode& operator=(const TAccNode&) = delete;

    // Child 0 is the node itself, 1 .. AccChildCount() its children.
    [[nodiscard]] virtual int AccChildCount() = 0;
    // Child 1 .. count: a simple element (TAccChild{}) or an object.
    [[nodiscard]] virtual TAccChild AccChild(int child) = 0;
    // The node (0) or one of its simple children.
    [[nodiscard]] virtual TAccInfo AccDescribe(int child) = 0;
    // -1: the point (screen) is outside; 0 the node; k a child.
    [[nodiscard]] virtual int AccHitTest(TPoint screen) = 0;
    // -1: the focus is elsewhere; 0 the node; k the child that has it or
    // holds the window that has it.
    [[nodiscard]] virtual int AccFocus() = 0;
    // The selected child, -1 for none.
    [[nodiscard]] virtual int AccSelection() { return -1; }
    [[nodiscard]] virtual TAccChild AccParent() = 0;
    // Asks for the default action of the node or a simple child; false when
    // it has none. The action itself runs later (see above).
    virtual bool AccDoDefaultAction(int child) {
        (void)child;
        return false;
    }
    virtual bool AccSelect(int child, long flags) {
        (void)child;
        (void)flags;
        return false;
    }
    // The window the node is the client area of (null for none).
    [[nodiscard]] virtual HWND AccWindowHandle() { return nullptr; }

    // The node's COM object (IAccessible), made on first use; the reference
    // stays the node's (AddRef for a caller that keeps it).
    IAccessible* AccObject();
    // Lets go of the COM object: clients still holding it get
    // RPC_E_DISCONNECTED. Called by the destructor; a node whose answers
    // need the whole derived object calls it in its own destructor.
    void AccDisconnect();

private:
    TAccessibleObject* m_accObject = nullptr;
};

// The window of a control as a whole: its frame's nodes (NonClient, in this
// order) followed by the client area (the control's node).
class TAccWindowNode : public TAccNode {
public:
    explicit TAccWindowNode(TAccNode& client) : m_client(client) {}
    ~TAccWindowNode() override { AccDisconnect(); }
    std::vector<TAccNode*> NonClient;

    [[nodiscard]] int AccChildCount() override;
    [[nodiscard]] TAccChild AccChild(int child) override;
    [[nodiscard]] TAccInfo AccDescribe(int child) override;
    [[nodiscard]] int AccHitTest(TPoint screen) override;
    [[nodiscard]] int AccFocus() override;
    [[nodiscard]] TAccChild AccParent() override;

private:
    TAccNode& m_client;
};

// A caption as a reader should say it: a single "&" (the accelerator's
// mark) dropped, "&&" said as "&".
[[nodiscard]] std::string AccCaptionText(const std::string& caption);
// The caption's accelerator as a shortcut ("Alt+I"), empty for none.
[[nodiscard]] std::string AccAccessKey(const std::string& caption);

// The answer to WM_GETOBJECT for `node` (LresultFromObject); 0 when it
// cannot be given (the platform then answers for the window itself).
LRESULT AnswerGetObject(TAccNode& node, WPARAM wParam);
// Whether lParam of WM_GETOBJECT asks for this object id.
[[nodiscard]] inline bool AsksForObject(LPARAM lParam, long objectId) {
    return static_cast<long>(static_cast<DWORD>(lParam)) == objectId;
}
// Tells accessibility clients about a change of `child` (0: the object
// itself) of the object `objectId` of `window`.
void NotifyAccEvent(DWORD event, HWND window, long objectId, long child);

}  // namespace zv
