#include <gtest/gtest.h>

#include "tests/win/support/WinTestSupport.h"
#include "vcl/Forms.h"

using namespace zv;

namespace {

class TTestForm : public TForm {
public:
    TTestForm() : TForm(nullptr) {
        SetBorderStyle(TFormBorderStyle::bsNone);
        SetBounds(100, 100, 300, 200);
        SetColor(clWhite);
    }
};

class TBox : public TGraphicControl {
public:
    TBox(TComponent* owner, TColor c) : TGraphicControl(owner), fill(c) {}
    TColor fill;
    int enters = 0;
    int leaves = 0;
    int moves = 0;
    bool capture = false;

protected:
    void Paint() override {
        Canvas().Brush().SetColor(MouseInControl() ? clRed : fill);
        Canvas().FillRect(ClientRect());
    }
    void MouseEnter() override {
        ++enters;
        Invalidate();
    }
    void MouseLeave() override {
        ++leaves;
        Invalidate();
    }
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        if (capture) MouseCapture(true);
        TGraphicControl::MouseDown(b, s, x, y);
    }
    void MouseMove(TShiftState, int, int) override { ++moves; }
    void MouseUp(TMouseButton, TShiftState, int x, int y) override {
        MouseCapture(false);
        if (ClientRect().Contains({x, y})) Click();
    }
};

class TFocusable : public TCustomControl {
public:
    explicit TFocusable(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }
    bool wantArrows = false;
    int arrows = 0;
    [[nodiscard]] bool WantsKey(WORD key) const override {
        return wantArrows && (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN);
    }

protected:
    void KeyDown(WORD& key, TShiftState s) override {
        if (key == VK_DOWN) ++arrows;
        TCustomControl::KeyDown(key, s);
    }
};

}  // namespace

TEST(TWinControl, AlignTopBottomClientFillTheClientArea) {
    TTestForm form;
    auto* top = new TCustomControl(&form);
    top->SetHeight(58);
    top->SetAlign(TAlign::alTop);
    top->SetParent(&form);
    auto* bottom = new TCustomControl(&form);
    bottom->SetHeight(33);
    bottom->SetAlign(TAlign::alBottom);
    bottom->SetParent(&form);
    auto* client = new TCustomControl(&form);
    client->SetAlign(TAlign::alClient);
    client->SetParent(&form);
    form.Show();
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 300, 58));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 167, 300, 200));
    EXPECT_EQ(client->BoundsRect(), Rect(0, 58, 300, 167));
    // The windows follow.
    RECT r;
    GetWindowRect(client->Handle(), &r);
    MapWindowPoints(HWND_DESKTOP, form.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.top, 58);
    EXPECT_EQ(r.bottom, 167);
    // Resizing the form realigns.
    form.SetBounds(100, 100, 300, 250);
    zvtest::Pump(50);
    EXPECT_EQ(client->BoundsRect(), Rect(0, 58, 300, 217));
    // Hiding a band gives its room to the client.
    top->Hide();
    EXPECT_EQ(client->BoundsRect(), Rect(0, 0, 300, 217));
}

TEST(TWinControl, GraphicChildrenArePaintedByTheParentWithAndWithoutBuffer) {
    for (bool buffered : {false, true}) {
        TTestForm form;
        form.DoubleBuffered = buffered;
        auto* box = new TBox(&form, clBlue);
        box->SetBounds(10, 20, 50, 30);
        box->SetParent(&form);
        form.Show();
        zvtest::Pump(100);
        EXPECT_EQ(zvtest::WindowPixel(form.Handle(), 10, 20), RGB(0, 0, 255)) << buffered;
        EXPECT_EQ(zvtest::WindowPixel(form.Handle(), 59, 49), RGB(0, 0, 255));
        EXPECT_EQ(zvtest::WindowPixel(form.Handle(), 60, 50), RGB(255, 255, 255));
        EXPECT_EQ(zvtest::WindowPixel(form.Handle(), 9, 19), RGB(255, 255, 255));
    }
}

TEST(TControl, MouseEnterLeaveAndClickThroughRealInput) {
    TTestForm form;
    auto* box = new TBox(&form, clBlue);
    box->SetBounds(10, 10, 50, 30);
    box->SetParent(&form);
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    form.Show();
    SetForegroundWindow(form.Handle());
    zvtest::Pump(100);
    const TPoint inside = box->ClientToScreen({20, 15});
    const TPoint outside = form.ClientToScreen({200, 150});
    zvtest::MouseMoveTo(outside.X, outside.Y);
    zvtest::Pump(50);
    zvtest::MouseMoveTo(inside.X, inside.Y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return box->MouseInControl(); }, 2000));
    EXPECT_EQ(box->enters, 1);
    zvtest::Pump(50);
    EXPECT_EQ(zvtest::WindowPixel(form.Handle(), 11, 11), RGB(255, 0, 0));  // hover look
    zvtest::MouseMoveTo(outside.X, outside.Y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return !box->MouseInControl(); }, 2000));
    EXPECT_EQ(box->leaves, 1);
    zvtest::Click(inside.X, inside.Y);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return clicks == 1; }, 2000));
}

TEST(TControl, CapturedGraphicControlKeepsTheMouseUntilRelease) {
    TTestForm form;
    auto* box = new TBox(&form, clBlue);
    box->capture = true;
    box->SetBounds(10, 10, 50, 30);
    box->SetParent(&form);
    int clicks = 0;
    box->OnClick = [&](TObject*) { ++clicks; };
    form.Show();
    SetForegroundWindow(form.Handle());
    zvtest::Pump(50);
    const TPoint inside = box->ClientToScreen({20, 15});
    zvtest::MouseMoveTo(inside.X, inside.Y);
    zvtest::Pump(30);
    zvtest::MouseButton(true);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return box->HasMouseCapture(); }, 2000));
    const int moves = box->moves;
    const TPoint away = form.ClientToScreen({250, 150});
    zvtest::MouseMoveTo(away.X, away.Y);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return box->moves > moves; }, 2000));
    zvtest::MouseButton(false);  // released outside: no click
    zvtest::Pump(50);
    EXPECT_FALSE(box->HasMouseCapture());
    EXPECT_EQ(clicks, 0);
}

TEST(TWinControl, TabMovesFocusInTabOrderAndArrowsGoToControlsThatWantThem) {
    TTestForm form;
    auto* a = new TFocusable(&form);
    a->SetBounds(0, 0, 50, 20);
    a->SetParent(&form);
    auto* b = new TFocusable(&form);
    b->SetBounds(60, 0, 50, 20);
    b->SetParent(&form);
    auto* c = new TFocusable(&form);
    c->SetBounds(120, 0, 50, 20);
    c->SetParent(&form);
    c->SetTabOrder(0);  // c, a, b
    c->wantArrows = true;
    form.Show();
    SetForegroundWindow(form.Handle());
    zvtest::Pump(50);
    EXPECT_TRUE(c->Focused());
    zvtest::PressKey(VK_TAB);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return a->Focused(); }, 2000));
    zvtest::PressKey(VK_TAB);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return b->Focused(); }, 2000));
    zvtest::PressKey(VK_TAB);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return c->Focused(); }, 2000));
    zvtest::PressKey(VK_DOWN);  // c wants it
    zvtest::Pump(50);
    EXPECT_EQ(c->arrows, 1);
    EXPECT_TRUE(c->Focused());
    b->SetEnabled(false);
    a->SetFocus();
    zvtest::PressKey(VK_TAB);  // the disabled one is skipped
    EXPECT_TRUE(zvtest::PumpUntil([&] { return c->Focused(); }, 2000));
}

TEST(TWinControl, WindowRegionIsSet) {
    TTestForm form;
    form.Show();
    form.SetWindowRegion(TRegionHandle(CreateRectRgn(0, 0, 100, 50)));
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(form.Handle(), probe), SIMPLEREGION);
    RECT box;
    GetRgnBox(probe, &box);
    EXPECT_EQ(box.right, 100);
    EXPECT_EQ(box.bottom, 50);
    DeleteObject(probe);
}

TEST(TPopupWindow, IsATopmostToolWindowThatNeverTakesActivation) {
    TTestForm form;
    form.Show();
    SetForegroundWindow(form.Handle());
    SetActiveWindow(form.Handle());
    zvtest::Pump(50);
    TPopupWindow popup(nullptr);
    popup.SetBounds(0, 0, 80, 60);
    popup.Popup(500, 400);
    zvtest::Pump(50);
    const LONG ex = GetWindowLongA(popup.Handle(), GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(popup.Handle()));
    EXPECT_EQ(SendMessageA(popup.Handle(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(form.Handle()),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    zvtest::Click(520, 420);
    zvtest::Pump(50);
    EXPECT_EQ(GetActiveWindow(), form.Handle());
    popup.ClosePopup();
    EXPECT_FALSE(IsWindowVisible(popup.Handle()));
}

// A windowed child freed while its parent lives leaves the tab order too:
// walking the focus order afterwards must not meet it.
TEST(TWinControl, FreedChildLeavesTheTabOrder) {
    TTestForm form;
    auto* a = new TFocusable(&form);
    a->SetBounds(0, 0, 50, 20);
    a->SetParent(&form);
    auto* b = new TFocusable(&form);
    b->SetBounds(60, 0, 50, 20);
    b->SetParent(&form);
    form.Show();
    ASSERT_EQ(form.TabList().size(), 2u);
    delete b;
    ASSERT_EQ(form.TabList().size(), 1u);
    EXPECT_EQ(form.TabList()[0], a);
    form.SelectNext(a, true);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return a->Focused(); }, 2000));
}
