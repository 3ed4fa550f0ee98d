// The skinned scroll bar: range rules, geometry with the program's
// [vscrollbar] (the rules alone are tested natively, tests/host/paint),
// drawing from the skin checked pixel by
// pixel against pictures cut from the skin by hand, and real mouse input
// (steps, auto-repeat, paging, thumb drag).
#include <gtest/gtest.h>

#include "skinui/SkinScrollBar.h"
#include "tests/win/skinlist/SkinListTestSupport.h"

using namespace zv;
using namespace zvtest;

// ---- range rules -----------------------------------------------------------------

TEST(TksSkinScrollBar, SetRangeClampsWithoutRaisingOnChange) {
    TksSkinScrollBar bar(nullptr);
    int changes = 0;
    bar.OnChange = [&](TObject*) { ++changes; };
    EXPECT_EQ(bar.Kind(), TScrollBarKind::sbHorizontal);
    EXPECT_EQ(bar.SkinDataName(), "hscrollbar");
    EXPECT_EQ(bar.Width(), 200);
    EXPECT_EQ(bar.Height(), 19);
    EXPECT_FALSE(bar.TabStop());

    bar.SetRange(0, 20, 7, 30);
    EXPECT_EQ(bar.Position(), 14);  // max - page + 1
    bar.SetRange(0, 20, 0, -5);
    EXPECT_EQ(bar.Position(), 0);
    bar.SetRange(0, 20, 0, 25);
    EXPECT_EQ(bar.Position(), 20);
    bar.SetRange(10, 20, 3, 12);
    EXPECT_EQ(bar.Position(), 12);
    // A page larger than the whole range: the position stays at min.
    bar.SetRange(5, 8, 10, 7);
    EXPECT_EQ(bar.Position(), 5);
    EXPECT_EQ(changes, 0);
}

TEST(TksSkinScrollBar, SetPositionClampsAndRaisesOnChangeOnlyOnChange) {
    TksSkinScrollBar bar(nullptr);
    int changes = 0;
    bar.OnChange = [&](TObject*) { ++changes; };
    bar.SetRange(0, 20, 7, 0);
    bar.SetPosition(5);
    EXPECT_EQ(bar.Position(), 5);
    EXPECT_EQ(changes, 1);
    bar.SetPosition(5);
    EXPECT_EQ(changes, 1);
    bar.SetPosition(100);
    EXPECT_EQ(bar.Position(), 14);
    EXPECT_EQ(changes, 2);
    bar.SetPosition(100);  // clamps to the same value: no event
    EXPECT_EQ(changes, 2);
    bar.SetPosition(-3);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(changes, 3);
}

TEST(TksSkinScrollBar, MinMaxAndPageSetters) {
    TksSkinScrollBar bar(nullptr);
    bar.SetRange(0, 100, 0, 50);
    bar.SetMin(60);
    EXPECT_EQ(bar.Position(), 60);
    bar.SetMax(55);                 // below the position, no page: position follows max
    EXPECT_EQ(bar.Position(), 60);  // never below min
    bar.SetRange(10, 50, 5, 40);
    // The page end stays inside the range when max shrinks; measured from
    // min, so a range starting at 10 keeps 40 .. 44 visible.
    bar.SetMax(44);
    EXPECT_EQ(bar.Position(), 40);
    bar.SetMax(42);
    EXPECT_EQ(bar.Position(), 38);
    bar.SetMax(12);
    EXPECT_EQ(bar.Position(), 10);

    bar.SetRange(10, 50, 0, 40);
    bar.SetPageSize(11);  // 40 .. 50 fits
    EXPECT_EQ(bar.PageSize(), 11);
    bar.SetPageSize(12);  // would end at 51: refused
    EXPECT_EQ(bar.PageSize(), 11);
    bar.SetPageSize(-1);
    EXPECT_EQ(bar.PageSize(), 11);
    bar.SetPageSize(0);
    EXPECT_EQ(bar.PageSize(), 0);
}

TEST(TksSkinScrollBar, KindTurnsTheBarAndItsDefaultSection) {
    TksSkinScrollBar bar(nullptr);
    bar.SetKind(TScrollBarKind::sbVertical);
    EXPECT_EQ(bar.SkinDataName(), "vscrollbar");
    EXPECT_EQ(bar.Width(), 19);
    EXPECT_EQ(bar.Height(), 200);
    bar.SetSkinDataName("custombar");
    bar.SetKind(TScrollBarKind::sbHorizontal);
    EXPECT_EQ(bar.SkinDataName(), "custombar");  // a name of its own stays
    EXPECT_EQ(bar.Width(), 200);
    bar.SetBoth(true);
    EXPECT_EQ(bar.SkinDataName(), "bothhscrollbar");
    bar.SetBoth(false);
    EXPECT_EQ(bar.SkinDataName(), "custombar");
}

// ---- geometry ------------------------------------------------------------------------

TEST(CalcScrollBarGeometry, ProgramSkinVerticalBar) {
    TSkinFixture skin;
    TksSkinScrollBar bar(nullptr);
    bar.SetKind(TScrollBarKind::sbVertical);
    bar.SetSkinData(&skin.Data);
    ASSERT_NE(bar.ScrollBarData(), nullptr);
    bar.SetBounds(0, 0, 17, 120);  // skin height 68: dH = 52
    bar.SetRange(0, 100, 0, 50);
    auto g = bar.CalcGeometry();
    EXPECT_EQ(g.Track, Rect(0, 17, 16, 103));
    EXPECT_EQ(g.IncButton, Rect(0, 103, 17, 120));  // below LB.y: moves with the height
    EXPECT_EQ(g.DecButton, Rect(0, 0, 17, 17));
    // Thumb picture 17 x 18: half 9, travel 26 .. 94.
    EXPECT_EQ(g.Offset1, 26);
    EXPECT_EQ(g.Offset2, 94);
    EXPECT_EQ(g.ThumbOffset, 34);
    EXPECT_EQ(g.Thumb, Rect(0, 51, 17, 69));  // centred across: 16/2 - 17/2 = 0
    bar.SetPosition(0);
    EXPECT_EQ(bar.CalcGeometry().Thumb, Rect(0, 17, 17, 35));
    bar.SetPosition(100);
    EXPECT_EQ(bar.CalcGeometry().Thumb, Rect(0, 85, 17, 103));

    // With a page: L = 86 * 7 / 15 = 40.13 -> 40, half 20, travel 37 .. 83.
    bar.SetRange(0, 14, 7, 4);
    g = bar.CalcGeometry();
    EXPECT_EQ(g.Offset1, 37);
    EXPECT_EQ(g.Offset2, 83);
    EXPECT_EQ(g.ThumbOffset, 23);  // 4/8 of 46
    EXPECT_EQ(g.Thumb, Rect(0, 40, 17, 80));
    bar.SetPosition(8);
    EXPECT_EQ(bar.CalcGeometry().Thumb, Rect(0, 63, 17, 103));
    // A small page keeps the picture's length.
    bar.SetRange(0, 1000, 2, 0);
    EXPECT_EQ(bar.CalcGeometry().Thumb, Rect(0, 17, 17, 35));
}

TEST(CalcScrollBarGeometry, ProgramSkinHorizontalBar) {
    TSkinFixture skin;
    TksSkinScrollBar bar(nullptr);
    bar.SetSkinData(&skin.Data);
    bar.SetBounds(0, 0, 100, 17);  // skin 68 x 17, RT.x = 48
    bar.SetRange(0, 10, 0, 5);
    auto g = bar.CalcGeometry();
    EXPECT_EQ(g.Track, Rect(17, 0, 51 + 32, 16));
    EXPECT_EQ(g.IncButton, Rect(51 + 32, 0, 68 + 32, 17));
    EXPECT_EQ(g.DecButton, Rect(0, 0, 17, 17));
    // Thumb 18 long, 17 across: travel 26 .. 74, half way 24.
    EXPECT_EQ(g.Thumb, Rect(26 + 24 - 9, 0, 26 + 24 + 9, 17));
}

// ---- drawing ----------------------------------------------------------------------------

namespace {

// The program's vertical bar at height h, cut from the skin picture by the
// rules of the element: 18 fixed rows at the top, 20 at the bottom, rows
// 18 .. 47 repeated in between.
TPixelBuffer ExpectedBarElement(const TPixelView& pic, int h) {
    const TRect s{224, 25, 241, 93};
    TPixelBuffer out(17, h);
    for (int y = 0; y < h; ++y) {
        int sy;
        if (y < 18)
            sy = y;
        else if (y >= h - 20)
            sy = 68 - (h - y);
        else
            sy = 18 + (y - 18) % 30;
        for (int x = 0; x < 17; ++x) out.At(x, y) = PixelRGB(pic.At(s.Left + x, s.Top + sy));
    }
    return out;
}

class ScrollBarDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        bar = new TksSkinScrollBar(&form);
        bar->SetKind(TScrollBarKind::sbVertical);
        bar->SetParent(&form);
        bar->SetSkinData(&skin.Data);
        bar->SetBounds(10, 10, 17, 120);
        bar->SetRange(0, 100, 0, 50);
        form.ShowActive();
    }
    [[nodiscard]] TPixelView Pic() const { return skin.Data.ActivePicture(4)->View(); }
    [[nodiscard]] TPoint ScreenOf(int x, int y) const { return bar->ClientToScreen({x, y}); }
    // The 120-high element with the thumb picture (and its glyph) from row
    // `top`.
    [[nodiscard]] TPixelBuffer WithThumb(int top) const {
        TPixelBuffer want = ExpectedBarElement(Pic(), 120);
        Paste(want, 0, top, Pic(), {242, 4, 259, 22});
        Paste(want, 5, top + 5, Pic(), {279, 76, 286, 84});
        return want;
    }

    TSkinFixture skin;
    TTestForm form;
    TksSkinScrollBar* bar = nullptr;
};

}  // namespace

TEST_F(ScrollBarDrawing, ElementArrowsAndThumbFromTheSkin) {
    ASSERT_EQ(bar->Width(), 17);  // a vertical element keeps the skin's width
    // Thumb at (0, 51) 17 x 18, the picture copied 1:1; the glyph 7 x 8 in
    // its middle.
    ExpectPixels(CaptureClient(bar->Handle()), WithThumb(51), "vbar");
}

TEST_F(ScrollBarDrawing, DisabledBarShowsNoThumb) {
    bar->SetEnabled(false);
    Pump(100);
    ExpectPixels(CaptureClient(bar->Handle()), ExpectedBarElement(Pic(), 120), "vbar-disabled");
}

TEST_F(ScrollBarDrawing, PressedArrowShowsItsPressedPicture) {
    const TPoint p = ScreenOf(8, 110);  // the increasing arrow (0, 103, 17, 120)
    MouseMoveTo(p.X, p.Y);
    Pump(50);
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return bar->PartDown(TksSkinScrollBar::ptIncButton); }, 2000));
    Pump(50);
    // The step moved the thumb: 51 of 100 -> offset Nearest(0.51 * 68) = 35.
    TPixelBuffer pressed = WithThumb(52);
    Paste(pressed, 0, 103, Pic(), {242, 45, 259, 62});
    ExpectPixels(CaptureClient(bar->Handle()), pressed, "vbar-pressed");
    MouseButton(false);
    ASSERT_TRUE(PumpUntil([&] { return !bar->PartDown(TksSkinScrollBar::ptIncButton); }, 2000));
    Pump(50);
    // No highlighted picture in this skin: released, the arrow is the element's.
    ExpectPixels(CaptureClient(bar->Handle()), WithThumb(52), "vbar-released");
}

TEST_F(ScrollBarDrawing, DraggedThumbWithPageIsComposedFromItsPressedPicture) {
    bar->SetRange(0, 14, 7, 4);  // thumb (0, 40, 17, 80)
    const TPoint p = ScreenOf(8, 60);
    MouseMoveTo(p.X, p.Y);
    Pump(50);
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return bar->Dragging(); }, 2000));
    Pump(50);
    // The pressed thumb picture (221, 4, 238, 22) fitted to 40 rows: 5 fixed
    // rows at each end, rows 5 .. 12 repeated.
    TPixelBuffer want = ExpectedBarElement(Pic(), 120);
    for (int y = 0; y < 40; ++y) {
        const int sy = y < 5 ? y : (y >= 35 ? 18 - (40 - y) : 5 + (y - 5) % 8);
        for (int x = 0; x < 17; ++x) want.At(x, 40 + y) = PixelRGB(Pic().At(221 + x, 4 + sy));
    }
    Paste(want, 5, 56, Pic(), {279, 76, 286, 84});
    ExpectPixels(CaptureClient(bar->Handle()), want, "vbar-drag");
    MouseButton(false);
    Pump(50);
}

TEST(TksSkinScrollBarPlain, LooksWithoutSkin) {
    TTestForm form;
    auto* bar = new TksSkinScrollBar(&form);
    bar->SetKind(TScrollBarKind::sbVertical);
    bar->SetParent(&form);
    bar->SetBounds(10, 10, 19, 150);
    bar->SetRange(0, 100, 0, 0);
    form.ShowActive();
    HWND h = bar->Handle();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(WindowPixel(h, 0, 0), face);
    // Decreasing arrow (1, 1, 18, 17): shadow frame, face inside, a black
    // arrow pointing up centred at (9, 9).
    EXPECT_EQ(WindowPixel(h, 1, 1), shadow);
    EXPECT_EQ(WindowPixel(h, 17, 16), shadow);
    EXPECT_EQ(WindowPixel(h, 9, 7), RGB(0, 0, 0));   // tip
    EXPECT_EQ(WindowPixel(h, 6, 10), RGB(0, 0, 0));  // base row y = 10, x 6 .. 12
    EXPECT_EQ(WindowPixel(h, 12, 10), RGB(0, 0, 0));
    EXPECT_EQ(WindowPixel(h, 5, 10), face);
    EXPECT_EQ(WindowPixel(h, 9, 6), face);
    // Increasing arrow (1, 133, 18, 149): pointing down, centre (9, 141):
    // the base row at y = 140, the tip at (9, 143).
    EXPECT_EQ(WindowPixel(h, 6, 140), RGB(0, 0, 0));
    EXPECT_EQ(WindowPixel(h, 12, 140), RGB(0, 0, 0));
    EXPECT_EQ(WindowPixel(h, 6, 139), face);
    EXPECT_EQ(WindowPixel(h, 9, 143), RGB(0, 0, 0));
    EXPECT_EQ(WindowPixel(h, 9, 144), face);
    // Thumb (1, 17, 18, 33) framed in shadow; the track is face.
    EXPECT_EQ(WindowPixel(h, 1, 17), shadow);
    EXPECT_EQ(WindowPixel(h, 17, 32), shadow);
    EXPECT_EQ(WindowPixel(h, 9, 25), face);
    EXPECT_EQ(WindowPixel(h, 9, 60), face);

    // The mouse over the thumb: navy frame, light blue inside.
    const TPoint p = bar->ClientToScreen({9, 25});
    MouseMoveTo(p.X, p.Y);
    ASSERT_TRUE(PumpUntil([&] { return bar->PartMouseIn(TksSkinScrollBar::ptThumb); }, 2000));
    Pump(50);
    EXPECT_EQ(WindowPixel(h, 1, 17), RGB(0, 0, 128));
    EXPECT_EQ(WindowPixel(h, 9, 25), RGB(182, 189, 210));
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return bar->Dragging(); }, 2000));
    Pump(50);
    EXPECT_EQ(WindowPixel(h, 9, 25), RGB(133, 147, 181));
    MouseButton(false);
    Pump(50);
    bar->SetEnabled(false);
    Pump(50);
    EXPECT_EQ(WindowPixel(h, 1, 17), face);  // no thumb while disabled
}

// ---- mouse ---------------------------------------------------------------------------------

TEST_F(ScrollBarDrawing, ArrowClickStepsAndHoldRepeats) {
    bar->SetRange(0, 1000, 0, 0);
    bar->SetSmallChange(1);
    int changes = 0;
    bar->OnChange = [&](TObject*) { ++changes; };
    const TPoint inc = ScreenOf(8, 110);
    Click(inc.X, inc.Y);
    EXPECT_TRUE(PumpUntil([&] { return bar->Position() == 1; }, 2000));
    Pump(100);
    EXPECT_EQ(bar->Position(), 1);  // one click, one step
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(bar->TimerRunning());
    const TPoint dec = ScreenOf(8, 8);
    Click(dec.X, dec.Y);
    EXPECT_TRUE(PumpUntil([&] { return bar->Position() == 0; }, 2000));

    // Held: one step at once, nothing more during the first 500 ms, then
    // steps follow quickly.
    MouseMoveTo(inc.X, inc.Y);
    Pump(30);
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return bar->Position() == 1; }, 2000));
    Pump(250);
    EXPECT_EQ(bar->Position(), 1);
    EXPECT_EQ(bar->TimerMode(), TksSkinScrollBar::tmIncrease);
    EXPECT_TRUE(PumpUntil([&] { return bar->Position() >= 6; }, 3000));
    // Moving off the arrow pauses the repetition ...
    const TPoint off = ScreenOf(8, 60);
    MouseMoveTo(off.X, off.Y);
    ASSERT_TRUE(PumpUntil([&] { return !bar->PartMouseIn(TksSkinScrollBar::ptIncButton); }, 2000));
    EXPECT_FALSE(bar->TimerRunning());
    const int paused = bar->Position();
    Pump(300);
    EXPECT_EQ(bar->Position(), paused);
    // ... and moving back resumes it.
    MouseMoveTo(inc.X, inc.Y);
    EXPECT_TRUE(PumpUntil([&] { return bar->Position() >= paused + 3; }, 3000));
    MouseButton(false);
    ASSERT_TRUE(PumpUntil([&] { return !bar->PartDown(TksSkinScrollBar::ptIncButton); }, 2000));
    const int released = bar->Position();
    Pump(300);
    EXPECT_EQ(bar->Position(), released);
    EXPECT_FALSE(bar->TimerRunning());
}

TEST_F(ScrollBarDrawing, ArrowEventsReplaceTheStep) {
    int ups = 0, downs = 0;
    bar->OnUpButtonClick = [&](TObject*) { ++ups; };
    bar->OnDownButtonClick = [&](TObject*) { ++downs; };
    const TPoint inc = ScreenOf(8, 110);
    const TPoint dec = ScreenOf(8, 8);
    Click(inc.X, inc.Y);
    Click(dec.X, dec.Y);
    EXPECT_TRUE(PumpUntil([&] { return ups == 1 && downs == 1; }, 2000));
    EXPECT_EQ(bar->Position(), 50);
}

TEST_F(ScrollBarDrawing, TrackClickPagesAndHeldTrackStopsAtTheThumb) {
    bar->SetRange(0, 100, 0, 0);  // thumb (0, 17, 17, 35)
    bar->SetLargeChange(10);
    int pageDowns = 0, pageUps = 0;
    bar->OnPageDown = [&](TObject*) { ++pageDowns; };
    bar->OnPageUp = [&](TObject*) { ++pageUps; };
    const TPoint below = ScreenOf(8, 90);
    Click(below.X, below.Y);
    EXPECT_TRUE(PumpUntil([&] { return bar->Position() == 10; }, 2000));
    EXPECT_EQ(pageDowns, 1);
    const TPoint above = ScreenOf(8, 20);  // thumb now at 17 + 7 .. : above it
    Click(above.X, above.Y);
    EXPECT_TRUE(PumpUntil([&] { return bar->Position() == 0; }, 2000));
    EXPECT_EQ(pageUps, 1);

    // Held below the thumb: pages until the thumb reaches the pointer, then
    // stops. Thumb offset for position p is Nearest(p * 0.68); the thumb
    // covers y = 70 once its top is above 70 and its bottom below it.
    const TPoint held = ScreenOf(8, 70);
    MouseMoveTo(held.X, held.Y);
    Pump(30);
    MouseButton(true);
    EXPECT_TRUE(PumpUntil([&] { return !bar->TimerRunning() && bar->Position() > 0; }, 5000));
    const int stopped = bar->Position();
    const TRect thumb = bar->CalcGeometry().Thumb;
    EXPECT_TRUE(thumb.Top <= 70 && thumb.Bottom > 70) << stopped;
    Pump(200);
    EXPECT_EQ(bar->Position(), stopped);
    MouseButton(false);
    Pump(50);
}

TEST_F(ScrollBarDrawing, ThumbDragToTheEndGivesMaxMinusPagePlusOne) {
    bar->SetRange(0, 20, 7, 0);
    int last = 0;
    bar->OnLastChange = [&](TObject*) { ++last; };
    const TRect thumb = bar->CalcGeometry().Thumb;
    const TPoint start = ScreenOf(8, (thumb.Top + thumb.Bottom) / 2);
    MouseMoveTo(start.X, start.Y);
    Pump(30);
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return bar->Dragging(); }, 2000));
    const TPoint mid = ScreenOf(8, 60);
    MouseMoveTo(mid.X, mid.Y);
    Pump(50);
    const TPoint end = ScreenOf(8, 400);  // far past the track: clamped
    MouseMoveTo(end.X, end.Y);
    EXPECT_TRUE(PumpUntil([&] { return bar->Position() == 14; }, 2000));
    MouseButton(false);
    EXPECT_TRUE(PumpUntil([&] { return last == 1; }, 2000));
    EXPECT_FALSE(bar->Dragging());
    EXPECT_EQ(bar->Position(), 14);
    // Dragged back past the start: min.
    const TRect t2 = bar->CalcGeometry().Thumb;
    const TPoint s2 = ScreenOf(8, (t2.Top + t2.Bottom) / 2);
    MouseMoveTo(s2.X, s2.Y);
    Pump(30);
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return bar->Dragging(); }, 2000));
    const TPoint top = ScreenOf(8, -200);
    MouseMoveTo(top.X, top.Y);
    EXPECT_TRUE(PumpUntil([&] { return bar->Position() == 0; }, 2000));
    MouseButton(false);
    EXPECT_TRUE(PumpUntil([&] { return last == 2; }, 2000));
}

TEST_F(ScrollBarDrawing, KeyboardAndWheelOnlyWhenItTakesTheFocus) {
    bar->SetFocus();
    Pump(50);
    PressKey(VK_DOWN);
    Pump(100);
    EXPECT_EQ(bar->Position(), 50);  // CanFocused is off: no keys
    bar->SetCanFocused(true);
    EXPECT_TRUE(bar->TabStop());
    ::SetFocus(form.Handle());
    Pump(50);
    // A press takes the focus first, then steps.
    const TPoint dec = ScreenOf(8, 8);
    Click(dec.X, dec.Y);
    ASSERT_TRUE(PumpUntil([&] { return bar->Focused(); }, 2000));
    EXPECT_TRUE(PumpUntil([&] { return bar->Position() == 49; }, 2000));
    bar->SetPosition(50);
    PressKey(VK_DOWN);
    EXPECT_TRUE(PumpUntil([&] { return bar->Position() == 51; }, 2000));
    PressKey(VK_LEFT);
    EXPECT_TRUE(PumpUntil([&] { return bar->Position() == 50; }, 2000));
    SendMessageA(bar->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(bar->Position(), 49);
    SendMessageA(bar->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(bar->Position(), 50);
}

TEST_F(ScrollBarDrawing, PagingStopsWhenThePointerLeavesTheBarInEitherDirection) {
    bar->SetRange(0, 1000, 0, 1000);  // thumb at the bottom
    bar->SetLargeChange(1);
    const TPoint held = ScreenOf(8, 30);  // above the thumb: pages back
    MouseMoveTo(held.X, held.Y);
    Pump(30);
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return bar->TimerMode() == TksSkinScrollBar::tmPageBack; }, 2000));
    EXPECT_TRUE(PumpUntil([&] { return bar->Position() <= 995; }, 3000));  // repeating
    const TPoint outside = ScreenOf(60, 30);
    MouseMoveTo(outside.X, outside.Y);
    EXPECT_TRUE(PumpUntil([&] { return !bar->TimerRunning(); }, 2000));
    const int stopped = bar->Position();
    Pump(300);
    EXPECT_EQ(bar->Position(), stopped);
    // The release outside still reaches the bar.
    MouseButton(false);
    Pump(50);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScrollBarDrawing, LosingTheCaptureEndsAHeldArrow) {
    bar->SetRange(0, 1000, 0, 0);
    const TPoint inc = ScreenOf(8, 110);
    MouseMoveTo(inc.X, inc.Y);
    Pump(30);
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return bar->PartDown(TksSkinScrollBar::ptIncButton); }, 2000));
    SetCapture(form.Handle());  // another window takes the mouse
    Pump(50);
    EXPECT_FALSE(bar->PartDown(TksSkinScrollBar::ptIncButton));
    EXPECT_FALSE(bar->TimerRunning());
    const int pos = bar->Position();
    Pump(700);
    EXPECT_EQ(bar->Position(), pos);
    ReleaseCapture();
    MouseButton(false);
    Pump(50);
}

TEST(TksSkinScrollBarSkin, SectionOfAnotherKindGivesThePlainLook) {
    TSkinFixture skin;
    TTestForm form;
    auto* bar = new TksSkinScrollBar(&form);
    bar->SetKind(TScrollBarKind::sbVertical);
    bar->SetParent(&form);
    bar->SetSkinDataName("checklistbox");
    bar->SetSkinData(&skin.Data);
    bar->SetBounds(0, 0, 19, 100);
    form.ShowActive();
    EXPECT_EQ(bar->DataIndex(), -1);
    EXPECT_EQ(bar->ScrollBarData(), nullptr);
    EXPECT_EQ(bar->CalcGeometry().DecButton, Rect(1, 1, 18, 17));
    EXPECT_EQ(WindowPixel(bar->Handle(), 1, 1), GetSysColor(COLOR_BTNSHADOW));
}

TEST(CalcScrollBarGeometry, PageLargerThanTheRangeKeepsTheThumbOnTheTrack) {
    TSkinFixture skin;
    for (TScrollBarKind kind : {TScrollBarKind::sbVertical, TScrollBarKind::sbHorizontal}) {
        TksSkinScrollBar bar(nullptr);
        bar.SetKind(kind);
        bar.SetSkinData(&skin.Data);
        if (kind == TScrollBarKind::sbVertical)
            bar.SetBounds(0, 0, 17, 120);
        else
            bar.SetBounds(0, 0, 120, 17);
        bar.SetRange(0, 5, 10, 3);
        EXPECT_EQ(bar.Position(), 0);
        const auto g = bar.CalcGeometry();
        const bool vertical = kind == TScrollBarKind::sbVertical;
        // The whole track is the page: the thumb covers it from its start.
        EXPECT_EQ(vertical ? g.Thumb.Top : g.Thumb.Left, vertical ? g.Track.Top : g.Track.Left);
        EXPECT_LE(vertical ? g.Thumb.Bottom : g.Thumb.Right, vertical ? g.Track.Bottom : g.Track.Right);
    }
}

TEST(TksSkinScrollBarSkin, DamagedSectionPaintsAndScrollsWithoutReadingOutside) {
    TSkinFixture skin;
    auto* d = dynamic_cast<TksDataSkinScrollBarControl*>(
        skin.Data.SkinControls(skin.Data.IndexOfControl("vscrollbar")));
    ASSERT_NE(d, nullptr);
    // Pieces past the picture's edges, an inverted track, fixed thumb parts
    // longer than any thumb.
    d->ThumbRect = {-40, -40, 300, 900};
    d->DownThumbRect = {5000, 5000, 5017, 5018};
    d->GlyphRect = {-10, 250, 400, 260};
    d->DownUpButtonRect = {250, 250, 9000, 9000};
    d->TrackArea = {0, 40, 16, 10};
    d->ThumbOffset1 = 1000;
    d->ThumbOffset2 = -7;
    TTestForm form;
    auto* bar = new TksSkinScrollBar(&form);
    bar->SetKind(TScrollBarKind::sbVertical);
    bar->SetParent(&form);
    bar->SetSkinData(&skin.Data);
    bar->SetRange(0, 2147483647, 1073741824, 5);
    form.ShowActive();
    for (int h : {0, 5, 68, 240}) {
        bar->SetBounds(10, 10, 17, h);
        bar->Repaint();
        Pump(30);
        EXPECT_EQ(bar->Height(), h);
    }
    const TPoint inc = bar->ClientToScreen({8, 235});
    Click(inc.X, inc.Y);
    const TPoint thumb = bar->ClientToScreen({8, 100});
    MouseMoveTo(thumb.X, thumb.Y);
    Pump(30);
    MouseButton(true);
    Pump(30);
    const TPoint away = bar->ClientToScreen({8, 600});
    MouseMoveTo(away.X, away.Y);
    Pump(50);
    MouseButton(false);
    Pump(50);
    EXPECT_GE(bar->Position(), 0);
    EXPECT_LE(bar->Position(), 2147483647 - 1073741824 + 1);
    EXPECT_TRUE(IsWindow(bar->Handle()));
}

TEST_F(ScrollBarDrawing, TransparentThumbLetsTheElementShowThrough) {
    auto* d = const_cast<TksDataSkinScrollBarControl*>(bar->ScrollBarData());
    ASSERT_NE(d, nullptr);
    // The colour of the thumb picture's top-left pixel becomes see-through.
    const TPixel key = PixelRGB(Pic().At(242, 4));
    d->ThumbTransparent = true;
    d->ThumbTransparentColor = PixelToColor(key);
    bar->Repaint();
    Pump(50);
    TPixelBuffer want = ExpectedBarElement(Pic(), 120);
    int shown = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 17; ++x) {
            const TPixel p = PixelRGB(Pic().At(242 + x, 4 + y));
            if (p != key) want.At(x, 51 + y) = p;
            shown += p == key;
        }
    ASSERT_GT(shown, 0);
    Paste(want, 5, 56, Pic(), {279, 76, 286, 84});
    ExpectPixels(CaptureClient(bar->Handle()), want, "vbar-transparent");
}
