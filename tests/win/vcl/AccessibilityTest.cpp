// The framework's accessibility: what AccessibleObjectFromWindow gives for
// our windows (the window object, the client object, graphic children that
// describe themselves, simple items), the answers of IAccessible and
// IEnumVARIANT, default actions run from the queue, events, a control that
// went away, and the keyboard cues.
#include <gtest/gtest.h>

#include "tests/win/support/AccTestSupport.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/Forms.h"

using namespace zv;
using namespace zvtest;

namespace {

class TTestForm : public TForm {
public:
    TTestForm() : TForm(nullptr) {
        SetBorderStyle(TFormBorderStyle::bsNone);
        SetBounds(100, 100, 300, 200);
        SetCaption("Accessible form");
    }
};

// A text without a window: a static text child of its parent's object.
class TText : public TGraphicControl {
public:
    explicit TText(TComponent* owner) : TGraphicControl(owner) {}
    void AccDescribeSelf(TAccInfo& info) override {
        info.Role = accRoleStaticText;
        info.Name = Caption();
    }
};

// A focusable window with three items 20 pixels high; item 1 is the
// focused and selected one; each item's default action counts.
class TItems : public TCustomControl {
public:
    explicit TItems(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
    int actions[3] = {};
    int selfActions = 0;
    int selected = 1;
    int AccItemCount() override { return 3; }
    void AccDescribeItem(int index, TAccInfo& info) override {
        info.Role = accRoleListItem;
        info.Name = "item " + std::to_string(index);
        info.DefaultAction = "Run";
        info.Bounds = {0, index * 20, Width(), index * 20 + 20};
        if (index == selected) info.State |= accStateSelected;
    }
    int AccItemAt(TPoint p) override { return p.Y / 20; }
    int AccFocusedItem() override { return selected; }
    int AccSelectedItem() override { return selected; }
    bool AccSelectItem(int index, long flags) override {
        if (!(flags & accSelTakeSelection)) return false;
        selected = index;
        return true;
    }
    void AccDescribeSelf(TAccInfo& info) override {
        TCustomControl::AccDescribeSelf(info);
        info.Role = accRoleList;
        info.DefaultAction = "Open";
    }
    void AccPerformDefaultAction(int item) override {
        if (item < 0)
            ++selfActions;
        else
            ++actions[item];
    }
};

struct TScene {
    TTestForm form;
    TWinControl* panel;
    TText* text;
    TGraphicControl* silent;
    TItems* items;
    TScene() {
        panel = new TCustomControl(&form);
        panel->SetBounds(10, 10, 200, 150);
        panel->SetCaption("Panel");
        panel->SetParent(&form);
        text = new TText(&form);
        text->SetBounds(5, 5, 100, 20);
        text->SetCaption("Hello, reader");
        text->SetParent(panel);
        silent = new TGraphicControl(&form);  // describes nothing: left out
        silent->SetBounds(5, 30, 10, 10);
        silent->SetParent(panel);
        items = new TItems(&form);
        items->SetBounds(5, 50, 150, 60);
        items->SetParent(panel);
        form.Show();
        SetForegroundWindow(form.Handle());
        Pump(100);
    }
};

}  // namespace

TEST(Accessibility, WindowsClientsGraphicChildrenAndItemsFormOneTree) {
    TScene s;
    // The form's client: named by the caption; its one child is the panel's
    // window object.
    TAccRef client = ClientObject(s.form.Handle());
    ASSERT_TRUE(client);
    TAccProps p = Props(client);
    EXPECT_EQ(p.Role, ROLE_SYSTEM_CLIENT);
    EXPECT_EQ(p.Name, "Accessible form");
    ASSERT_EQ(ChildCount(client), 1);
    TAccRef panelWindow = ChildObject(client, 1);
    ASSERT_TRUE(panelWindow);
    p = Props(panelWindow);
    EXPECT_EQ(p.Role, ROLE_SYSTEM_WINDOW);
    EXPECT_EQ(p.Name, "") << "a container is not named by its template caption";
    RECT wr;
    GetWindowRect(s.panel->Handle(), &wr);
    EXPECT_EQ(p.Place.left, wr.left);
    EXPECT_EQ(p.Place.bottom, wr.bottom);
    // Window -> its client -> the text (an object) and the items' window.
    ASSERT_EQ(ChildCount(panelWindow), 1);
    TAccRef panelClient = ChildObject(panelWindow, 1);
    ASSERT_TRUE(panelClient);
    EXPECT_EQ(Props(panelClient).Role, ROLE_SYSTEM_CLIENT);
    const std::vector<TAccKid> kids = Children(panelClient);
    ASSERT_EQ(kids.size(), 2u) << "the silent graphic control is left out";
    ASSERT_TRUE(kids[0].Object);
    p = Props(kids[0].Object);
    EXPECT_EQ(p.Role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(p.Name, "Hello, reader");
    const TPoint textAt = s.text->ClientOrigin();
    EXPECT_EQ(p.Place.left, textAt.X);
    EXPECT_EQ(p.Place.top, textAt.Y);
    EXPECT_EQ(p.Place.right - p.Place.left, 100);
    // The text's parent is the panel's client; the client's parent the
    // panel's window, whose parent is the form's client.
    EXPECT_EQ(Props(ParentObject(kids[0].Object)).Role, ROLE_SYSTEM_CLIENT);
    EXPECT_EQ(Props(ParentObject(panelClient)).Role, ROLE_SYSTEM_WINDOW);
    EXPECT_EQ(Props(ParentObject(panelWindow)).Name, "Accessible form");

    // The items: simple children of the list's client object.
    ASSERT_TRUE(kids[1].Object);
    EXPECT_EQ(Props(kids[1].Object).Role, ROLE_SYSTEM_WINDOW);
    TAccRef list = ClientObject(s.items->Handle());
    ASSERT_TRUE(list);
    p = Props(list);
    EXPECT_EQ(p.Role, ROLE_SYSTEM_LIST);
    EXPECT_TRUE(p.State & STATE_SYSTEM_FOCUSABLE);
    const std::vector<TAccKid> lines = Children(list);
    ASSERT_EQ(lines.size(), 3u);
    for (long i = 0; i < 3; ++i) {
        EXPECT_EQ(lines[static_cast<size_t>(i)].Id, i + 1);
        p = Props(list, i + 1);
        EXPECT_EQ(p.Role, ROLE_SYSTEM_LISTITEM);
        EXPECT_EQ(p.Name, "item " + std::to_string(i));
        EXPECT_EQ((p.State & STATE_SYSTEM_SELECTED) != 0, i == 1);
        const TPoint o = s.items->ClientOrigin();
        EXPECT_EQ(p.Place.top, o.Y + 20 * i);
        EXPECT_EQ(p.Place.bottom - p.Place.top, 20);
    }
    EXPECT_FALSE(ChildObject(list, 2)) << "an item is no object of its own";
    // Out of range, and a wrong kind of id.
    BSTR b = nullptr;
    EXPECT_EQ(list->get_accName(ChildId(4), &b), E_INVALIDARG);
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = nullptr;
    EXPECT_EQ(list->get_accName(text, &b), E_INVALIDARG);
}

TEST(Accessibility, NavigationHitTestFocusSelectionAndDefaultActions) {
    TScene s;
    TAccRef list = ClientObject(s.items->Handle());
    ASSERT_TRUE(list);
    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(list->accNavigate(NAVDIR_FIRSTCHILD, ChildId(CHILDID_SELF), &v), S_OK);
    EXPECT_EQ(ChildAnswer(v), 1);
    ASSERT_EQ(list->accNavigate(NAVDIR_NEXT, ChildId(1), &v), S_OK);
    EXPECT_EQ(ChildAnswer(v), 2);
    EXPECT_EQ(list->accNavigate(NAVDIR_NEXT, ChildId(3), &v), S_FALSE);
    ASSERT_EQ(list->accNavigate(NAVDIR_LASTCHILD, ChildId(CHILDID_SELF), &v), S_OK);
    EXPECT_EQ(ChildAnswer(v), 3);

    const TPoint o = s.items->ClientOrigin();
    ASSERT_EQ(list->accHitTest(o.X + 10, o.Y + 45, &v), S_OK);
    EXPECT_EQ(ChildAnswer(v), 3);
    EXPECT_EQ(list->accHitTest(o.X - 3, o.Y, &v), S_FALSE);
    // On the panel the hit finds the text as an object.
    TAccRef panel = ClientObject(s.panel->Handle());
    const TPoint t = s.text->ClientOrigin();
    ASSERT_EQ(panel->accHitTest(t.X + 2, t.Y + 2, &v), S_OK);
    TAccRef hit;
    EXPECT_EQ(ChildAnswer(v, &hit), -2);
    EXPECT_EQ(Props(hit).Name, "Hello, reader");

    // The focus is on the list window: its focused item; the panel points
    // at the list's window; the form's focus is in the panel.
    s.items->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return s.items->Focused(); }));
    ASSERT_EQ(list->get_accFocus(&v), S_OK);
    EXPECT_EQ(ChildAnswer(v), 2);
    ASSERT_EQ(panel->get_accFocus(&v), S_OK);
    TAccRef focusedWindow;
    EXPECT_EQ(ChildAnswer(v, &focusedWindow), -2);
    EXPECT_EQ(Props(focusedWindow).Role, ROLE_SYSTEM_WINDOW);
    TAccRef form = ClientObject(s.form.Handle());
    ASSERT_EQ(form->get_accFocus(&v), S_OK);
    EXPECT_EQ(ChildAnswer(v), -2);
    ASSERT_EQ(list->get_accSelection(&v), S_OK);
    EXPECT_EQ(ChildAnswer(v), 2);
    EXPECT_EQ(list->accSelect(SELFLAG_TAKESELECTION, ChildId(3)), S_OK);
    EXPECT_EQ(s.items->selected, 2);

    // Default actions run later, from the queue, never inside the call.
    EXPECT_EQ(Props(list, 2).DefaultAction, "Run");
    EXPECT_EQ(list->accDoDefaultAction(ChildId(2)), S_OK);
    EXPECT_EQ(list->accDoDefaultAction(ChildId(CHILDID_SELF)), S_OK);
    EXPECT_EQ(s.items->actions[1], 0);
    EXPECT_TRUE(PumpUntil([&] { return s.items->actions[1] == 1 && s.items->selfActions == 1; }));
    // The text has no default action.
    EXPECT_EQ(Props(panel, 1).DefaultAction, "");
    TAccRef textObject = ChildObject(panel, 1);
    EXPECT_EQ(textObject->accDoDefaultAction(ChildId(CHILDID_SELF)), DISP_E_MEMBERNOTFOUND);
}

TEST(Accessibility, EventsNameTheObjectAndTheChild) {
    TAccEvents events;
    ASSERT_TRUE(events.Hooked());
    TScene s;
    ::SetFocus(s.form.Handle());
    Pump(50);
    events.Clear();
    s.items->SetFocus();
    // The focus goes to the focused item of the list.
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_FOCUS, s.items->Handle(), OBJID_CLIENT, 2));
    // A graphic control's change is reported as a child of its parent; the
    // event leads a reader to it.
    s.text->SetCaption("Changed text");
    ASSERT_TRUE(events.WaitFor(EVENT_OBJECT_NAMECHANGE, s.panel->Handle(), OBJID_CLIENT, 1));
    IAccessible* found = nullptr;
    VARIANT child;
    VariantInit(&child);
    ASSERT_EQ(
        AccessibleObjectFromEvent(s.panel->Handle(), static_cast<DWORD>(OBJID_CLIENT), 1, &found, &child),
        S_OK);
    TAccRef object(found);
    TAccProps p = Props(object, child.vt == VT_I4 ? child.lVal : 0);
    EXPECT_EQ(p.Name, "Changed text");
}

TEST(Accessibility, AnObjectWhoseControlIsGoneAnswersDisconnected) {
    TAccRef list;
    {
        TScene s;
        list = ClientObject(s.items->Handle());
        ASSERT_TRUE(list);
        EXPECT_EQ(Props(list).Role, ROLE_SYSTEM_LIST);
    }
    LONG n = 0;
    EXPECT_EQ(list->get_accChildCount(&n), RPC_E_DISCONNECTED);
    BSTR b = nullptr;
    EXPECT_EQ(list->get_accName(ChildId(1), &b), RPC_E_DISCONNECTED);
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(list->accHitTest(0, 0, &v), RPC_E_DISCONNECTED);
}

TEST(Accessibility, KeyboardNavigationShowsTheCuesAndTheMouseHidesThem) {
    TScene s;
    s.items->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return s.items->Focused(); }));
    ClickClient(s.form.Handle(), 250, 180);
    ASSERT_TRUE(PumpUntil([] { return !KeyboardCuesShown(); }));
    PressKey(VK_TAB);
    EXPECT_TRUE(PumpUntil([] { return KeyboardCuesShown(); }));
    ClickClient(s.form.Handle(), 250, 180);
    EXPECT_TRUE(PumpUntil([] { return !KeyboardCuesShown(); }));
    PressKey(VK_DOWN);
    EXPECT_TRUE(PumpUntil([] { return KeyboardCuesShown(); }));
    PressKey('A');  // typing is not moving
    ClickClient(s.form.Handle(), 250, 180);
    PressKey('A');
    Pump(100);
    EXPECT_FALSE(KeyboardCuesShown());
}
