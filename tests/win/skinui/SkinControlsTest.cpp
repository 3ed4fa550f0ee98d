// The skinned controls in their look without skin data, checked pixel by
// pixel, and their input behaviour through real mouse and keyboard input.
#include <gtest/gtest.h>

#include "base/Exceptions.h"
#include "skinui/SkinControls.h"
#include "skinui/SkinListControls.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;

namespace {

COLORREF Sys(int index) {
    return GetSysColor(index);
}

class TTestForm : public TForm {
public:
    TTestForm() : TForm(nullptr) {
        SetBorderStyle(TFormBorderStyle::bsNone);
        SetBounds(200, 200, 300, 200);
        SetColor(clWhite);
    }
    void ShowActive() {
        Show();
        SetForegroundWindow(Handle());
        zvtest::Pump(100);
    }
};

}  // namespace

TEST(TksSkinPanel, FallbackFramesAndInsetClientArea) {
    TTestForm form;
    auto* raised = new TksSkinPanel(&form);
    raised->SetBorderStyle(TksSkinBorderStyle::bvRaised);
    raised->SetBounds(0, 0, 150, 58);
    raised->SetParent(&form);
    auto* child = new TksSkinPanel(&form);
    child->SetAlign(TAlign::alClient);
    child->SetBorderStyle(TksSkinBorderStyle::bvLowered);
    child->SetParent(raised);
    auto* framed = new TksSkinPanel(&form);
    framed->SetBounds(160, 0, 100, 50);
    framed->SetParent(&form);
    form.ShowActive();
    HWND h = raised->Handle();
    EXPECT_EQ(zvtest::WindowPixel(h, 0, 0), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(zvtest::WindowPixel(h, 0, 30), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(zvtest::WindowPixel(h, 149, 30), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(zvtest::WindowPixel(h, 40, 57), Sys(COLOR_BTNSHADOW));
    // Children are inset by one pixel; the lowered child's frame is reversed.
    EXPECT_EQ(child->BoundsRect(), Rect(1, 1, 149, 57));
    EXPECT_EQ(zvtest::WindowPixel(child->Handle(), 0, 0), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(zvtest::WindowPixel(child->Handle(), 147, 55), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(zvtest::WindowPixel(child->Handle(), 10, 10), Sys(COLOR_BTNFACE));
    EXPECT_EQ(zvtest::WindowPixel(framed->Handle(), 0, 0), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(zvtest::WindowPixel(framed->Handle(), 99, 49), Sys(COLOR_BTNSHADOW));
}

TEST(TksSkinPanel, RollUpStateNeedsRollUpMode) {
    TTestForm form;
    TksSkinPanel p(&form);
    p.SetRollUpState(true);
    EXPECT_FALSE(p.RollUpState());
    p.SetRollUpMode(true);
    p.SetBounds(0, 0, 100, 80);
    p.SetRollUpState(true);
    EXPECT_EQ(p.Height(), 23);  // default caption height + 1
    EXPECT_EQ(p.RealHeight(), 80);
    p.SetRollUpState(false);
    EXPECT_EQ(p.Height(), 80);
    EXPECT_EQ(p.RealHeight(), -1);
}

TEST(TksSkinStdLabel, UsesDefaultFontWithoutSkinAndDrawsDisabledTextTwice) {
    TTestForm form;
    auto* label = new TksSkinStdLabel(&form);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 200, 40);
    label->SetParent(&form);
    label->DefaultFont().SetColor(clBlue);
    label->Font().SetColor(clRed);  // not used: UseSkinFont takes the default font
    label->SetCaption("WWWW");
    form.ShowActive();
    auto px = zvtest::CaptureClient(form.Handle());
    int blue = 0, red = 0;
    for (int y = 10; y < 50; ++y)
        for (int x = 10; x < 210; ++x) {
            blue += px.At(x, y) == MakePixel(0, 0, 255);
            red += px.At(x, y) == MakePixel(255, 0, 0);
        }
    EXPECT_GT(blue, 10);
    EXPECT_EQ(red, 0);
    // Transparent: the form's white shows around the text.
    EXPECT_EQ(px.At(205, 45), MakePixel(255, 255, 255));

    label->UseSkinFont = false;
    label->SetEnabled(false);
    label->Invalidate();
    zvtest::Pump(100);
    px = zvtest::CaptureClient(form.Handle());
    const TPixel hi = ColorToPixel(static_cast<TColor>(Sys(COLOR_BTNHIGHLIGHT)));
    const TPixel sh = ColorToPixel(static_cast<TColor>(Sys(COLOR_BTNSHADOW)));
    int his = 0, shs = 0;
    for (int y = 10; y < 50; ++y)
        for (int x = 10; x < 210; ++x) {
            his += px.At(x, y) == hi;
            shs += px.At(x, y) == sh;
        }
    EXPECT_GT(shs, 10);
    if (hi != MakePixel(255, 255, 255)) {
        EXPECT_GT(his, 10);
    }
}

TEST(TksSkinButton, FallbackLooksNormalHighlightedPressed) {
    TTestForm form;
    auto* b = new TksSkinButton(&form);
    b->SetBounds(20, 20, 97, 25);
    b->SetCaption("Install");
    b->SetParent(&form);
    auto* other = new TksSkinButton(&form);
    other->SetBounds(150, 20, 60, 25);
    other->SetParent(&form);
    form.ShowActive();
    other->SetFocus();
    zvtest::Pump(50);
    HWND h = b->Handle();
    const TPoint away = form.ClientToScreen({280, 180});
    zvtest::MouseMoveTo(away.X, away.Y);
    zvtest::Pump(50);
    EXPECT_EQ(zvtest::WindowPixel(h, 0, 0), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(zvtest::WindowPixel(h, 3, 3), Sys(COLOR_BTNFACE));
    const TPoint inside = b->ClientToScreen({5, 5});
    zvtest::MouseMoveTo(inside.X, inside.Y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return b->IsHighlightedLook(); }, 2000));
    zvtest::Pump(50);
    EXPECT_EQ(zvtest::WindowPixel(h, 0, 0), RGB(0, 0, 128));
    EXPECT_EQ(zvtest::WindowPixel(h, 3, 3), RGB(182, 189, 210));
    zvtest::MouseButton(true);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return b->IsPressedLook(); }, 2000));
    zvtest::Pump(50);
    EXPECT_EQ(zvtest::WindowPixel(h, 96, 24), RGB(0, 0, 128));
    EXPECT_EQ(zvtest::WindowPixel(h, 3, 3), RGB(133, 147, 181));
    zvtest::MouseButton(false);
    zvtest::Pump(50);
}

TEST(TksSkinButton, PressAndReleaseInsideClicksOnceReleaseOutsideDoesNot) {
    TTestForm form;
    auto* b = new TksSkinButton(&form);
    b->SetBounds(20, 20, 97, 25);
    b->SetParent(&form);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    form.ShowActive();
    const TPoint inside = b->ClientToScreen({40, 12});
    zvtest::Click(inside.X, inside.Y);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return clicks == 1; }, 2000));
    EXPECT_TRUE(b->Focused());  // the press took the focus

    zvtest::MouseMoveTo(inside.X, inside.Y);
    zvtest::MouseButton(true);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return b->Down(); }, 2000));
    const TPoint outside = form.ClientToScreen({250, 150});
    zvtest::MouseMoveTo(outside.X, outside.Y);
    zvtest::Pump(50);
    zvtest::MouseButton(false);
    zvtest::Pump(100);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b->Down());
}

TEST(TksSkinButton, SpaceClicksOnReleaseEnterOnPressNeitherWithoutCanFocused) {
    TTestForm form;
    auto* b = new TksSkinButton(&form);
    b->SetBounds(20, 20, 97, 25);
    b->SetParent(&form);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    form.ShowActive();
    b->SetFocus();
    zvtest::Pump(50);
    ASSERT_TRUE(b->Focused());
    zvtest::KeyDown(VK_SPACE);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return b->Down(); }, 2000));
    EXPECT_EQ(clicks, 0);
    zvtest::KeyUp(VK_SPACE);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return clicks == 1; }, 2000));
    zvtest::KeyDown(VK_RETURN);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return clicks == 2; }, 2000));
    zvtest::KeyUp(VK_RETURN);
    zvtest::Pump(50);
    EXPECT_EQ(clicks, 2);

    b->SetCanFocused(false);
    zvtest::PressKey(VK_SPACE);
    zvtest::PressKey(VK_RETURN);
    zvtest::Pump(50);
    EXPECT_EQ(clicks, 2);
}

TEST(TksSkinButton, ModalResultGoesToTheParentFormOnlyWhenSet) {
    TTestForm form;
    auto* panel = new TksSkinPanel(&form);
    panel->SetBounds(0, 0, 200, 100);
    panel->SetParent(&form);
    auto* b = new TksSkinButton(&form);
    b->SetParent(panel);
    b->ButtonClick();
    EXPECT_EQ(form.ModalResult(), mrNone);
    b->ModalResult = mrOk;
    b->ButtonClick();
    EXPECT_EQ(form.ModalResult(), mrOk);
}

TEST(TksSkinButton, GroupButtonsReleaseEachOther) {
    TTestForm form;
    auto* a = new TksSkinButton(&form);
    auto* b = new TksSkinButton(&form);
    a->SetParent(&form);
    b->SetParent(&form);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    EXPECT_FALSE(a->CanFocused());
    a->SetDown(true);
    b->SetDown(true);
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());
}

TEST(TksSkinButton, EnterClicksTheDefaultButtonWhileTheFocusIsElsewhere) {
    TTestForm form;
    auto* list = new TksSkinCheckListBox(&form);
    list->SetBounds(0, 0, 150, 100);
    list->SetParent(&form);
    list->Items().Add("a");
    auto* b = new TksSkinButton(&form);
    b->SetBounds(160, 20, 97, 25);
    b->SetParent(&form);
    b->SetDefault(true);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    form.ShowActive();
    list->ListBox().SetFocus();
    zvtest::Pump(50);
    EXPECT_TRUE(b->Active());
    EXPECT_TRUE(b->IsHighlightedLook());  // the active default button stays highlighted
    zvtest::PressKey(VK_RETURN);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return clicks == 1; }, 2000));
}

TEST(TksSkinCheckListBox, ItemLookWithoutSkin) {
    TTestForm form;
    auto* box = new TksSkinCheckListBox(&form);
    box->SetBounds(0, 0, 200, 120);
    box->SetParent(&form);
    box->Items().Add("checked");
    box->Items().Add("unchecked");
    box->SetChecked(0, true);
    form.ShowActive();
    HWND list = box->ListBox().Handle();
    EXPECT_EQ(box->ListBox().BoundsRect(), Rect(2, 2, 198, 118));
    EXPECT_EQ(zvtest::WindowPixel(box->Handle(), 0, 0), Sys(COLOR_BTNSHADOW));
    const int h = 20;  // default item height
    // The 13 x 13 box (3, h/2 - 6, 16, h/2 + 7) framed in button shadow.
    EXPECT_EQ(zvtest::WindowPixel(list, 3, h / 2 - 6), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(zvtest::WindowPixel(list, 15, h / 2 + 6), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(zvtest::WindowPixel(list, h + 3 + 0, h + h / 2 - 6), Sys(COLOR_WINDOW));
    // A check mark in the first box only.
    auto hasMark = [&](int top) {
        for (int y = top + 4; y < top + 16; ++y)
            for (int x = 5; x < 15; ++x)
                if (zvtest::WindowPixel(list, x, y) == Sys(COLOR_WINDOWTEXT)) return true;
        return false;
    };
    EXPECT_TRUE(hasMark(0));
    EXPECT_FALSE(hasMark(h));
}

TEST(TksSkinCheckListBox, ToggledByPressNearTheLeftEdgeAndBySpace) {
    TTestForm form;
    auto* box = new TksSkinCheckListBox(&form);
    box->SetBounds(0, 0, 200, 120);
    box->SetParent(&form);
    box->Items().Add("one");
    box->Items().Add("two");
    form.ShowActive();
    HWND list = box->ListBox().Handle();
    EXPECT_FALSE(box->IsChecked(0));    // new items read unchecked
    zvtest::ClickClient(list, 25, 10);  // on the text: selects, no toggle
    zvtest::Pump(50);
    EXPECT_FALSE(box->IsChecked(0));
    EXPECT_EQ(box->ItemIndex(), 0);
    zvtest::ClickClient(list, 5, 30);  // in the box of the second line
    EXPECT_TRUE(zvtest::PumpUntil([&] { return box->IsChecked(1); }, 2000));
    EXPECT_EQ(box->ItemIndex(), 1);
    zvtest::PressKey(VK_SPACE);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return !box->IsChecked(1); }, 2000));
    // Out of range indices are ignored by toggling; reading raises.
    box->ListBox().ToggleChecked(7);
    EXPECT_THROW((void)box->IsChecked(7), EListError);
}

TEST(TksSkinCheckListBox, StatesSurviveRecreationOfTheListWindow) {
    TTestForm form;
    auto* box = new TksSkinCheckListBox(&form);
    box->SetParent(&form);
    box->Items().Add("a");
    box->Items().Add("b");
    box->SetChecked(1, true);
    box->ListBox().SetItemData(0, 42);
    box->ListBox().DestroyHandle();
    EXPECT_EQ(box->Items().Count(), 2);  // makes the window again
    EXPECT_FALSE(box->IsChecked(0));
    EXPECT_TRUE(box->IsChecked(1));
    EXPECT_EQ(box->ListBox().ItemData(0), 42);
    box->Items().Delete(0);
    EXPECT_TRUE(box->IsChecked(0));
}
