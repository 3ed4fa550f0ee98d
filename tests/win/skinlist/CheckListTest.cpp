// The check list box drawn from the program's skin: item rows checked pixel
// by pixel against pictures cut from the skin by hand, toggling by mouse and
// keyboard with the skin's hot spot, and the skinned scroll bar that comes
// and goes with the items and scrolls the list.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "skinui/CanvasText.h"
#include "skinui/SkinListControls.h"
#include "skinui/paint/Glyphs.h"
#include "skinui/paint/TextLayout.h"
#include "tests/win/skinlist/SkinListTestSupport.h"
#include "tests/win/support/AccTestSupport.h"
#include "vcl/WideText.h"

using namespace zv;
using namespace zvtest;

namespace {

// The [checklistbox] pictures in picture 4.
constexpr TRect kItemRect{290, 75, 344, 96};
constexpr TRect kActiveItemRect{290, 98, 344, 119};
constexpr TRect kFocusItemRect{290, 121, 344, 142};
constexpr TRect kCheck{14, 76, 29, 91};
constexpr TRect kUncheck{0, 76, 15, 91};
constexpr TRect kClientTile{67 + 2, 130 + 2, 67 + 57, 130 + 50};

class CheckListFromSkin : public ::testing::Test {
protected:
    void SetUp() override {
        // Focus cues show only after keyboard use; each test starts without.
        SetKeyboardCuesShown(false);
        box = new TksSkinCheckListBox(&form);
        box->SetParent(&form);
        box->SetBounds(10, 10, 200, 160);
        box->SetSkinData(&skin.Data);
    }
    [[nodiscard]] TPixelView Pic() const { return skin.Data.ActivePicture(4)->View(); }
    [[nodiscard]] HWND List() { return box->ListBox().Handle(); }
    // Shows the form with the focus on the form itself, so that no item
    // carries the focus look.
    void ShowUnfocused() {
        form.ShowActive();
        ::SetFocus(form.Handle());
        Pump(150);
    }

    // The item picture `piece` composed w wide (left 25 and right 2 columns
    // fixed, the 27 between repeated) and stretched to h rows (row y shows
    // picture row (2y + 1) * 21 / 2h).
    [[nodiscard]] TPixelBuffer ItemBackground(int w, int h, const TRect& piece) const {
        TPixelBuffer row(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int sx = x < 25 ? x : (x >= w - 2 ? 54 - (w - x) : 25 + (x - 25) % 27);
                row.At(x, y) = PixelRGB(Pic().At(piece.Left + sx, piece.Top + (2 * y + 1) * 21 / (2 * h)));
            }
        return row;
    }
    // The check or uncheck picture at (x, y) without its bottom-left colour.
    void PutCheck(TPixelBuffer& row, int x, int y, bool checked) const {
        const TRect c = checked ? kCheck : kUncheck;
        const TPixel key = PixelRGB(Pic().At(c.Left, c.Bottom - 1));
        for (int j = 0; j < 15; ++j)
            for (int i = 0; i < 15; ++i) {
                const TPixel p = PixelRGB(Pic().At(c.Left + i, c.Top + j));
                if (p != key) row.At(x + i, y + j) = p;
            }
    }
    // Arial 14 in black at (x, y) clipped to `clip`, drawn by the platform.
    static TPixelBuffer PutText(const TPixelBuffer& row, const TRect& clip, int x,
                                const std::function<int(int)>& centreY, const std::string& text) {
        TBitmap bmp(row.Width(), row.Height());
        bmp.Assign(row);
        TCanvas& canvas = bmp.Canvas();
        canvas.Font().SetName("Arial");
        canvas.Font().SetHeight(14);
        canvas.Font().SetColor(clBlack);
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
        canvas.TextRect(clip, x, centreY(canvas.TextExtent(text).cy), text);
        return bmp.ToBuffer();
    }
    // One 21-pixel row of width w: the check picture at (1, 3), the text at
    // x = 20 centred in rows 2 .. 19.
    [[nodiscard]] TPixelBuffer ExpectedRow(int w, const TRect& piece, bool checked,
                                           const std::string& text) const {
        TPixelBuffer row = ItemBackground(w, 21, piece);
        PutCheck(row, 1, 3, checked);
        return PutText(
            row, {20, 2, w - 2, 19}, 20, [](int th) { return 2 + (17 - th) / 2; }, text);
    }

    TSkinFixture skin;
    TTestForm form;
    TksSkinCheckListBox* box = nullptr;
};

// A line as a text area `width` pixels wide shows it in Arial 14.
std::string Shown(const std::string& line, int width) {
    TBitmap measure(1, 1);
    measure.Canvas().Font().SetName("Arial");
    measure.Canvas().Font().SetHeight(14);
    TksCanvasText text(measure.Canvas());
    return ShortenPath(text, line, width);
}

TPixelBuffer Crop(const TPixelBuffer& src, int x, int y, int w, int h) {
    TPixelBuffer out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) out.At(i, j) = src.At(x + i, y + j);
    return out;
}

}  // namespace

TEST_F(CheckListFromSkin, ThreeCheckedDirectoriesShowThreeRowsAndNoBar) {
    const char* dirs[] = {"C:\\Program Files\\Mozilla Firefox\\plugins", "C:\\Opera\\Program\\Plugins",
                          "C:\\Netscape\\Plugins"};
    for (const char* d : dirs) box->Items().Add(d);
    for (int i = 0; i < 3; ++i) box->SetChecked(i, true);
    ShowUnfocused();
    // The list fills CL': the client rectangle (2, 2, 57, 50) grown with the
    // box's size; items 21 high from the skin.
    EXPECT_EQ(box->ListBox().BoundsRect(), Rect(2, 2, 198, 158));
    EXPECT_EQ(box->ListBox().ItemHeight(), 21);
    EXPECT_EQ(box->ScrollBar(), nullptr);
    const TPixelBuffer got = CaptureClient(List());
    // The first line is wider than its 174 pixels and shows shortened.
    for (int i = 0; i < 3; ++i)
        ExpectPixels(Crop(got, 0, 21 * i, 196, 21), ExpectedRow(196, kItemRect, true, Shown(dirs[i], 174)),
                     "row" + std::to_string(i));
    EXPECT_NE(Shown(dirs[0], 174), dirs[0]);
    EXPECT_EQ(Shown(dirs[1], 174), dirs[1]);
    // Below the last item the box's client picture, tiled from (0, 63).
    TPixelBuffer below(196, 156 - 63);
    for (int y = 0; y < below.Height(); ++y)
        for (int x = 0; x < 196; ++x)
            below.At(x, y) = PixelRGB(Pic().At(kClientTile.Left + x % 55, kClientTile.Top + y % 48));
    ExpectPixels(Crop(got, 0, 63, 196, 156 - 63), below, "below");
}

TEST_F(CheckListFromSkin, SelectedAndFocusedItemPictures) {
    box->Items().Add("one");
    box->Items().Add("two");
    box->SetChecked(0, true);
    box->SetItemIndex(1);
    ShowUnfocused();
    TPixelBuffer got = CaptureClient(List());
    ExpectPixels(Crop(got, 0, 0, 196, 21), ExpectedRow(196, kItemRect, true, "one"), "plain");
    ExpectPixels(Crop(got, 0, 21, 196, 21), ExpectedRow(196, kActiveItemRect, false, "two"), "selected");
    box->ListBox().SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return box->ListBox().Focused(); }, 2000));
    Pump(100);
    got = CaptureClient(List());
    ExpectPixels(Crop(got, 0, 21, 196, 21), ExpectedRow(196, kFocusItemRect, false, "two"), "focused");
}

TEST_F(CheckListFromSkin, FocusedItemWithoutSelectionGetsAFocusRectangle) {
    box->Items().Add("one");
    form.ShowActive();
    box->ListBox().SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return box->ListBox().Focused(); }, 2000));
    Pump(100);
    ASSERT_EQ(box->ItemIndex(), -1);
    const TPixelBuffer got = Crop(CaptureClient(List()), 0, 0, 196, 21);
    const TPixelBuffer want = ExpectedRow(196, kItemRect, false, "one");
    // Inside the frame the plain item; on the frame's dotted line pixels
    // changed (the platform's focus rectangle).
    ExpectPixels(Crop(got, 1, 1, 194, 19), Crop(want, 1, 1, 194, 19), "focus-inside");
    int changed = 0;
    for (int x = 0; x < 196; ++x) changed += PixelRGB(got.At(x, 0)) != PixelRGB(want.At(x, 0));
    for (int y = 0; y < 21; ++y) changed += PixelRGB(got.At(195, y)) != PixelRGB(want.At(195, y));
    EXPECT_GT(changed, 50);
}

TEST_F(CheckListFromSkin, HotSpotIsTheFirst16ColumnsAndSpaceToggles) {
    box->Items().Add("one");
    box->Items().Add("two");
    form.ShowActive();
    EXPECT_FALSE(box->IsChecked(0));
    ClickClient(List(), 17, 10);  // selects, no toggle
    Pump(100);
    EXPECT_FALSE(box->IsChecked(0));
    EXPECT_EQ(box->ItemIndex(), 0);
    ClickClient(List(), 15, 10);  // last column of the hot spot
    EXPECT_TRUE(PumpUntil([&] { return box->IsChecked(0); }, 2000));
    ClickClient(List(), 5, 21 + 20);  // last row of the second item
    EXPECT_TRUE(PumpUntil([&] { return box->IsChecked(1); }, 2000));
    EXPECT_EQ(box->ItemIndex(), 1);
    PressKey(VK_SPACE);
    EXPECT_TRUE(PumpUntil([&] { return !box->IsChecked(1); }, 2000));
    EXPECT_TRUE(box->IsChecked(0));
    // The row shows the state it has now.
    const TPixelBuffer got = CaptureClient(List());
    const TPixelBuffer row0 = ExpectedRow(196, kItemRect, true, "one");
    EXPECT_EQ(PixelRGB(got.At(5, 8)), PixelRGB(row0.At(5, 8)));
}

TEST_F(CheckListFromSkin, SetCheckedRepaintsOnlyAChangedItem) {
    for (int i = 0; i < 4; ++i) box->Items().Add("item" + std::to_string(i));
    box->SetChecked(1, true);
    ShowUnfocused();
    Pump(100);
    // Every paint of the list and the region it was asked to repaint.
    std::vector<RECT> paints;
    TksCheckListBox& list = box->ListBox();
    const TWndMethod inner = list.WindowProc;
    list.WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_PAINT) {
            RECT r{};
            GetUpdateRect(list.HandleOrNull(), &r, FALSE);
            paints.push_back(r);
        }
        inner(m);
    };
    box->SetChecked(1, true);  // already checked
    EXPECT_TRUE(paints.empty());
    box->SetChecked(2, true);  // painted at once, only its row
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(Rect(paints[0].left, paints[0].top, paints[0].right, paints[0].bottom), Rect(0, 42, 196, 63));
    list.WindowProc = inner;
    EXPECT_TRUE(box->IsChecked(2));
    const TPixelBuffer got = CaptureClient(List());
    ExpectPixels(Crop(got, 0, 42, 196, 21), ExpectedRow(196, kItemRect, true, "item2"), "set-checked");
    // A new item reads unchecked until set.
    box->Items().Add("new");
    EXPECT_FALSE(box->IsChecked(4));
}

TEST_F(CheckListFromSkin, FifteenItemsBringTheBarThatScrollsTheList) {
    form.ShowActive();
    for (int i = 1; i <= 15; ++i) box->Items().Add("item" + std::to_string(i));
    Pump(100);
    TksSkinScrollBar* bar = box->ScrollBar();
    ASSERT_NE(bar, nullptr);
    // At the right edge of CL', as high as CL', the skin's 17 wide; the
    // list narrowed by it.
    EXPECT_EQ(bar->BoundsRect(), Rect(198 - 17, 2, 198, 158));
    EXPECT_EQ(box->ListBox().BoundsRect(), Rect(2, 2, 198 - 17, 158));
    EXPECT_EQ(bar->Kind(), TScrollBarKind::sbVertical);
    EXPECT_EQ(bar->SkinDataName(), "vscrollbar");
    EXPECT_NE(bar->ScrollBarData(), nullptr);
    // 156 / 21 = 7 rows visible: range 0 .. 14, page 7.
    EXPECT_EQ(bar->Min(), 0);
    EXPECT_EQ(bar->Max(), 14);
    EXPECT_EQ(bar->PageSize(), 7);
    EXPECT_EQ(bar->LargeChange(), 7);
    EXPECT_EQ(bar->Position(), 0);
    Pump(100);
    DumpIfAsked(CaptureClient(box->Handle()), "box-15-items");

    // The increasing arrow scrolls one line.
    const TRect inc = bar->CalcGeometry().IncButton;
    const TPoint p = bar->ClientToScreen({(inc.Left + inc.Right) / 2, (inc.Top + inc.Bottom) / 2});
    Click(p.X, p.Y);
    EXPECT_TRUE(PumpUntil([&] { return box->ListBox().TopIndex() == 1; }, 2000));
    EXPECT_EQ(bar->Position(), 1);
    // The thumb dragged to the end shows the last page.
    const TRect thumb = bar->CalcGeometry().Thumb;
    const TPoint t = bar->ClientToScreen({8, (thumb.Top + thumb.Bottom) / 2});
    MouseMoveTo(t.X, t.Y);
    Pump(30);
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return bar->Dragging(); }, 2000));
    const TPoint end = bar->ClientToScreen({8, 400});
    MouseMoveTo(end.X, end.Y);
    EXPECT_TRUE(PumpUntil([&] { return box->ListBox().TopIndex() == 8; }, 2000));
    MouseButton(false);
    Pump(50);
    EXPECT_EQ(bar->Position(), 8);

    // Keyboard scrolling of the list moves the bar with it.
    box->ListBox().SetFocus();
    PressKey(VK_HOME);
    EXPECT_TRUE(PumpUntil([&] { return box->ListBox().TopIndex() == 0; }, 2000));
    EXPECT_EQ(bar->Position(), 0);
    PressKey(VK_END);
    EXPECT_TRUE(PumpUntil([&] { return bar->Position() == 8; }, 2000));
    // A wheel turn scrolls one line.
    SendMessageA(List(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(box->ListBox().TopIndex(), 7);
    EXPECT_EQ(bar->Position(), 7);
    SendMessageA(List(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(box->ListBox().TopIndex(), 8);

    // Removing items until they fit removes the bar and widens the list.
    while (box->Items().Count() > 7) box->Items().Delete(0);
    EXPECT_EQ(box->ScrollBar(), nullptr);
    EXPECT_EQ(box->ListBox().BoundsRect(), Rect(2, 2, 198, 158));
    box->Items().Add("eighth");
    EXPECT_NE(box->ScrollBar(), nullptr);
}

TEST(TksSkinCheckListBoxPlain, BarLayoutWithoutSkin) {
    TTestForm form;
    auto* box = new TksSkinCheckListBox(&form);
    box->SetParent(&form);
    box->SetBounds(0, 0, 200, 104);  // list 2 .. 102: 100 / 20 = 5 rows
    form.ShowActive();
    for (int i = 0; i < 5; ++i) box->Items().Add("x");
    EXPECT_EQ(box->ScrollBar(), nullptr);
    box->Items().Add("x");
    TksSkinScrollBar* bar = box->ScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->BoundsRect(), Rect(180, 1, 199, 103));  // x = W - 20, y = 1, 19 x (H - 2)
    EXPECT_EQ(box->ListBox().BoundsRect(), Rect(2, 2, 180, 102));
    EXPECT_EQ(bar->SkinDataName(), "");
    EXPECT_EQ(bar->DataIndex(), -1);
    EXPECT_EQ(bar->Max(), 5);
    EXPECT_EQ(bar->PageSize(), 5);
    // Growing the box until everything fits frees the bar.
    box->SetHeight(130);
    Pump(50);
    EXPECT_EQ(box->ScrollBar(), nullptr);
    EXPECT_EQ(box->ListBox().BoundsRect(), Rect(2, 2, 198, 128));
}

TEST_F(CheckListFromSkin, CheckPictureOutsideThePictureIsLeftOut) {
    // A damaged description: the uncheck picture lies past the picture's
    // edge. The row draws without it and nothing outside is read.
    auto* data = dynamic_cast<TksDataSkinCheckListBox*>(
        skin.Data.SkinControls(skin.Data.IndexOfControl("checklistbox")));
    ASSERT_NE(data, nullptr);
    const int pw = Pic().Width;
    data->UnCheckImageRect = {pw - 5, 76, pw + 10, 91};
    box->Items().Add("one");
    ShowUnfocused();
    TPixelBuffer want = ExpectedRow(196, kItemRect, false, "one");
    // Expected: the item picture with the text, no check picture at all.
    const TPixelBuffer plain = ItemBackground(196, 21, kItemRect);
    const TPixelBuffer got = Crop(CaptureClient(List()), 0, 0, 196, 21);
    ExpectPixels(Crop(got, 0, 0, 20, 21), Crop(plain, 0, 0, 20, 21), "damaged-check");
    ExpectPixels(Crop(got, 20, 0, 176, 21), Crop(want, 20, 0, 176, 21), "damaged-text");
}

TEST_F(CheckListFromSkin, ItemsOfTheirOwnHeightStretchTheSkinPicture) {
    box->UseSkinItemHeight = false;
    box->SetDefaultItemHeight(30);
    EXPECT_EQ(box->ListBox().ItemHeight(), 30);
    box->Items().Add("tall");
    box->SetChecked(0, true);
    ShowUnfocused();
    // The item picture composed 21 high, stretched to 30 rows (row y shows
    // picture row (2y + 1) * 21 / 60); the check rectangle grows to
    // (0, 0, 16, 30), so the picture sits at (1, 8); the text 2 pixels into
    // the text rectangle (20, 2, 194, 28), centred.
    TPixelBuffer row = ItemBackground(196, 30, kItemRect);
    PutCheck(row, 1, 8, true);
    const TPixelBuffer want = PutText(
        row, {20, 2, 194, 28}, 22, [](int th) { return 2 + 13 - th / 2; }, "tall");
    ExpectPixels(Crop(CaptureClient(List()), 0, 0, 196, 30), want, "tall-row");
}

TEST_F(CheckListFromSkin, RowCountSizesTheBoxAndOnDrawItemReplacesTheText) {
    box->RowCount = 3;
    box->ApplySkinChange();
    // The skin's 52 rows less its 48 client rows plus three 21-pixel rows.
    EXPECT_EQ(box->Height(), 52 + 3 * 21 - 48);
    for (int i = 0; i < 3; ++i) box->Items().Add("row");
    EXPECT_EQ(box->ScrollBar(), nullptr);
    int calls = 0;
    box->OnDrawItem = [&](TObject*, TCanvas& c, int index, UINT, TRect text, int height, int width) {
        ++calls;
        EXPECT_EQ(height, 21);
        EXPECT_EQ(width, 196);
        EXPECT_EQ(text, Rect(20, 2, 194, 19));
        if (index == 1) {
            c.Brush().SetColor(clRed);
            c.FillRect(text);
        }
    };
    ShowUnfocused();
    EXPECT_GT(calls, 0);
    const TPixelBuffer got = CaptureClient(List());
    EXPECT_EQ(PixelRGB(got.At(20, 21 + 2)), MakePixel(255, 0, 0));
    EXPECT_EQ(PixelRGB(got.At(193, 21 + 18)), MakePixel(255, 0, 0));
    // Item 0 has no text of its own drawn: the row is the bare picture
    // right of the check box.
    const TPixelBuffer bare = ExpectedRow(196, kItemRect, false, "");
    ExpectPixels(Crop(got, 0, 0, 196, 21), bare, "drawitem-row0");

    TTestForm plainForm;
    auto* plain = new TksSkinCheckListBox(&plainForm);
    plain->RowCount = 4;
    plain->ApplySkinChange();
    EXPECT_EQ(plain->Height(), 4 * 20 + 4);
}

TEST(TksSkinCheckListBoxSkin, SectionOfAnotherKindGivesThePlainLook) {
    TSkinFixture skin;
    TTestForm form;
    auto* box = new TksSkinCheckListBox(&form);
    box->SetParent(&form);
    box->SetSkinDataName("vscrollbar");
    box->SetBounds(0, 0, 200, 120);
    box->SetSkinData(&skin.Data);
    box->Items().Add("one");
    form.ShowActive();
    EXPECT_EQ(box->DataIndex(), -1);
    EXPECT_EQ(box->CheckListData(), nullptr);
    EXPECT_EQ(box->ListBox().ItemHeight(), 20);
    EXPECT_EQ(box->ListBox().BoundsRect(), Rect(2, 2, 198, 118));
    EXPECT_EQ(WindowPixel(box->ListBox().Handle(), 3, 4), GetSysColor(COLOR_BTNSHADOW));  // the plain box
}

TEST_F(CheckListFromSkin, ReadersGetEachLineAsACheckButtonWithItsWholePathAndState) {
    const std::string dirs[] = {"C:\\Program Files\\Mozilla Firefox\\plugins",
                                "C:\\Program Files (x86)\\Opera\\Program\\Plugins", "D:\\Netscape\\Plugins"};
    for (const auto& d : dirs) box->Items().Add(d);
    box->SetChecked(0, true);
    box->SetChecked(2, true);
    box->SetItemIndex(1);
    box->SetCaption("Plug-in directories");
    TAccEvents events;
    form.ShowActive();
    box->ListBox().SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return box->ListBox().Focused(); }, 2000));
    TAccRef list = ClientObject(List());
    ASSERT_TRUE(list);
    TAccProps p = Props(list);
    EXPECT_EQ(p.Role, ROLE_SYSTEM_LIST);
    EXPECT_EQ(p.Name, "Plug-in directories");
    ASSERT_EQ(ChildCount(list), 3);
    RECT lr;
    GetWindowRect(List(), &lr);
    for (long i = 0; i < 3; ++i) {
        p = Props(list, i + 1);
        EXPECT_EQ(p.Role, ROLE_SYSTEM_CHECKBUTTON);
        EXPECT_EQ(p.Name, dirs[i]);
        EXPECT_EQ((p.State & STATE_SYSTEM_CHECKED) != 0, i != 1) << i;
        EXPECT_EQ((p.State & STATE_SYSTEM_SELECTED) != 0, i == 1) << i;
        EXPECT_EQ((p.State & STATE_SYSTEM_FOCUSED) != 0, i == 1) << i;
        EXPECT_EQ(p.DefaultAction, i == 1 ? "Check" : "Uncheck");
        EXPECT_EQ(p.Place.top, lr.top + 21 * i);
        EXPECT_EQ(p.Place.bottom - p.Place.top, 21);
    }
    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(list->get_accFocus(&v), S_OK);
    EXPECT_EQ(ChildAnswer(v), 2);
    ASSERT_EQ(list->accHitTest(lr.left + 50, lr.top + 21 * 2 + 5, &v), S_OK);
    EXPECT_EQ(ChildAnswer(v), 3);

    // The default action toggles the line (later, from the queue) and tells
    // readers of the new state.
    events.Clear();
    EXPECT_EQ(list->accDoDefaultAction(ChildId(2)), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return box->IsChecked(1); }, 2000));
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_STATECHANGE, List(), OBJID_CLIENT, 2));
    EXPECT_TRUE(Props(list, 2).State & STATE_SYSTEM_CHECKED);
    EXPECT_EQ(Props(list, 2).DefaultAction, "Uncheck");
    box->SetChecked(0, false);
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_STATECHANGE, List(), OBJID_CLIENT, 1));
    EXPECT_FALSE(Props(list, 1).State & STATE_SYSTEM_CHECKED);

    // The arrow keys move focus and selection; a reader follows.
    events.Clear();
    PressKey(VK_DOWN);
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_FOCUS, List(), OBJID_CLIENT, 3));
    EXPECT_TRUE(events.Has(EVENT_OBJECT_SELECTION, List(), OBJID_CLIENT, 3));
    p = Props(list, 3);
    EXPECT_EQ(p.State & (STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED),
              STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED);
    // A reader can move the selection itself.
    EXPECT_EQ(list->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, ChildId(1)), S_OK);
    EXPECT_EQ(box->ItemIndex(), 0);
    EXPECT_EQ(list->accSelect(SELFLAG_TAKESELECTION, ChildId(4)), E_INVALIDARG);

    // The box around the list leads to it.
    const auto all = Flatten(ClientObject(box->Handle()));
    EXPECT_TRUE(FindEntry(all, ROLE_SYSTEM_CHECKBUTTON, dirs[2]));
}

TEST_F(CheckListFromSkin, KeyboardCueFramesTheFocusedLineInItsTextColour) {
    box->Items().Add("one");
    box->Items().Add("two");
    box->SetItemIndex(1);
    form.ShowActive();
    box->ListBox().SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return box->ListBox().Focused(); }, 2000));
    SetKeyboardCuesShown(true);
    Pump(150);
    TPixelBuffer want = ExpectedRow(196, kFocusItemRect, false, "two");
    const TPixel ink = ColorToPixel(ColorToRGB(box->CheckListData()->FocusFontColor));
    DrawFocusFrame(want.View(), {1, 1, 195, 20}, PixelRGB(ink));
    ExpectPixels(Crop(CaptureClient(List()), 0, 21, 196, 21), want, "focus-cue");
    // The other line and, without the cues, the focused one keep the skin's look.
    ExpectPixels(Crop(CaptureClient(List()), 0, 0, 196, 21), ExpectedRow(196, kItemRect, false, "one"),
                 "other");
    SetKeyboardCuesShown(false);
    Pump(150);
    ExpectPixels(Crop(CaptureClient(List()), 0, 21, 196, 21), ExpectedRow(196, kFocusItemRect, false, "two"),
                 "no-cue");
}

TEST_F(CheckListFromSkin, AnEmptyListPaintsOnlyTheBoxBackgroundEvenFocused) {
    form.ShowActive();
    // The focus comes after the first paint, as the user tabs in.
    box->ListBox().SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return box->ListBox().Focused(); }, 2000));
    Pump(150);
    TPixelBuffer want(196, 156);
    for (int y = 0; y < want.Height(); ++y)
        for (int x = 0; x < 196; ++x)
            want.At(x, y) = PixelRGB(Pic().At(kClientTile.Left + x % 55, kClientTile.Top + y % 48));
    ExpectPixels(CaptureClient(List()), want, "empty");
    // Nor after a whole repaint with the keyboard cues on.
    SetKeyboardCuesShown(true);
    InvalidateRect(List(), nullptr, TRUE);
    Pump(150);
    ExpectPixels(CaptureClient(List()), want, "empty, repainted");
    TAccRef list = ClientObject(List());
    EXPECT_EQ(ChildCount(list), 0);
    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(list->get_accFocus(&v), S_OK);
    EXPECT_EQ(ChildAnswer(v), 0) << "the list itself has the focus";
}

// ---- lines in any script, lines wider than the list -----------------------------------

namespace {

std::string Questions(const std::string& utf8) {
    return std::string(ToWide(utf8).size(), '?');
}

int Differing(const TPixelBuffer& a, const TPixelBuffer& b) {
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) n += PixelRGB(a.At(x, y)) != PixelRGB(b.At(x, y));
    return n;
}

TSize ArialExtent(const std::string& text) {
    TBitmap measure(1, 1);
    measure.Canvas().Font().SetName("Arial");
    measure.Canvas().Font().SetHeight(14);
    return measure.Canvas().TextExtent(text);
}

}  // namespace

// Lines keep every character whatever the ANSI code page, and are drawn as
// the platform draws that text, not as the "?" the ANSI calls would make.
TEST_F(CheckListFromSkin, LinesInAnyScriptKeepAndShowTheirOwnLetters) {
    const std::string lines[] = {"C:\\" + kGreek + "\\" + kCyrillic, "D:\\" + kJapanese + "\\Plugins"};
    for (const std::string& l : lines) box->Items().Add(l);
    box->SetChecked(0, true);
    EXPECT_EQ(box->Items().ToVector(), (std::vector<std::string>{lines[0], lines[1]}));
    ShowUnfocused();
    const TPixelBuffer got = CaptureClient(List());
    for (int i = 0; i < 2; ++i) {
        const TPixelBuffer row = Crop(got, 0, 21 * i, 196, 21);
        ExpectPixels(row, ExpectedRow(196, kItemRect, i == 0, lines[i]), "script" + std::to_string(i));
        EXPECT_GT(Differing(row, ExpectedRow(196, kItemRect, i == 0, Questions(lines[i]))), 20) << i;
    }
    // A reader gets each line's own letters too.
    TAccRef list = ClientObject(List());
    ASSERT_TRUE(list);
    for (long i = 0; i < 2; ++i) EXPECT_EQ(Props(list, i + 1).Name, lines[i]) << i;
}

// A line wider than its text area (174 pixels in a 196-pixel list) shows its
// path shortened in the middle, drive and last folders kept; the line itself
// stays whole.
TEST_F(CheckListFromSkin, LineWiderThanTheListShowsItsPathShortenedInTheMiddle) {
    const std::string whole =
        "C:\\Documents and Settings\\All Users\\Application Data\\Mozilla Firefox\\browser\\plugins";
    const std::string fits = "C:\\Opera\\Program\\Plugins";
    box->Items().Add(whole);
    box->Items().Add(fits);
    ShowUnfocused();
    ASSERT_GT(ArialExtent(whole).cx, 174);
    const std::string shown = box->ListBox().ShownText(0);
    EXPECT_EQ(box->Items()[0], whole);
    EXPECT_EQ(box->ListBox().ShownText(1), fits);
    EXPECT_EQ(shown.rfind("C:\\", 0), 0u) << shown;
    EXPECT_NE(shown.find("\\...\\"), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 16), "\\browser\\plugins") << shown;
    EXPECT_LE(ArialExtent(shown).cx, 174) << shown;
    // One more folder would not have fitted.
    const std::string tail = shown.substr(shown.find("\\...\\") + 4);
    const std::size_t cut = whole.size() - tail.size();
    const std::string oneMore = "C:\\..." + whole.substr(whole.rfind('\\', cut - 1));
    EXPECT_GT(ArialExtent(oneMore).cx, 174) << oneMore;
    const TPixelBuffer got = CaptureClient(List());
    ExpectPixels(Crop(got, 0, 0, 196, 21), ExpectedRow(196, kItemRect, false, shown), "shortened");
    ExpectPixels(Crop(got, 0, 21, 196, 21), ExpectedRow(196, kItemRect, false, fits), "whole");
}

// Resting the mouse on a shortened line shows the whole line in the hint
// drawn from the skin's [HINTWINDOW] (picture 3, 42 x 22, corner points
// 4,4 / 38,4 / 4,18 / 38,18, client 3,3,39,19, Arial 14 black), just below
// the line with its text under the line's text; leaving the line hides it,
// and a line shown whole gets none.
TEST_F(CheckListFromSkin, RestingOnAShortenedLineShowsItWholeInTheSkinnedHint) {
    const std::string whole =
        "C:\\Documents and Settings\\All Users\\Application Data\\Mozilla Firefox\\browser\\plugins";
    box->Items().Add(whole);
    box->Items().Add("C:\\Opera\\Program\\Plugins");
    ShowUnfocused();
    POINT row{60, 10};
    ClientToScreen(List(), &row);
    MouseMoveTo(row.x, row.y);
    MouseMoveTo(row.x + 3, row.y);
    ASSERT_TRUE(PumpUntil([&] { return box->ListBox().HintIndex() == 0; }, 4000));
    Pump(100);
    TksSkinHintWindow* hint = box->ListBox().Hint();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->Skinned());
    EXPECT_EQ(hint->Text(), whole);
    const HWND h = hint->Handle();
    EXPECT_TRUE(IsWindowVisible(h));
    const TSize t = ArialExtent(whole);
    RECT wr;
    GetWindowRect(h, &wr);
    POINT below{20 - 5, 21 + 1};  // the text 5 pixels into the hint
    ClientToScreen(List(), &below);
    EXPECT_EQ(wr.left, below.x);
    EXPECT_EQ(wr.top, below.y);
    const int w = t.cx + 4 + 6;
    const int hh = t.cy + 6;
    ASSERT_EQ(wr.right - wr.left, w);
    ASSERT_EQ(wr.bottom - wr.top, hh);

    // The picture composed by hand: corners fixed, bands and client tiled.
    const TPixelView pic = skin.Data.ActivePicture(3)->View();
    ASSERT_EQ(pic.Width, 42);
    ASSERT_EQ(pic.Height, 22);
    TPixelBuffer want(w, hh);
    for (int y = 0; y < hh; ++y)
        for (int x = 0; x < w; ++x) {
            int sx;
            int sy;
            if (x >= 3 && x < w - 3 && y >= 3 && y < hh - 3) {
                sx = 3 + (x - 3) % 36;
                sy = 3 + (y - 3) % 16;
            } else {
                sx = x < 4 ? x : (x >= w - 4 ? 42 - (w - x) : 4 + (x - 4) % 34);
                sy = y < 4 ? y : (y >= hh - 4 ? 22 - (hh - y) : 4 + (y - 4) % 14);
            }
            want.At(x, y) = PixelRGB(pic.At(sx, sy));
        }
    want = PutText(
        want, {0, 0, w, hh}, 5, [&](int th) { return 3 + (hh - 6 - th) / 2; }, whole);
    ExpectPixels(CaptureClient(h), want, "hint");

    // Onto the line shown whole: the hint goes and does not come back.
    MouseMoveTo(row.x, row.y + 21);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(h); }, 2000));
    Pump(1200);
    EXPECT_EQ(box->ListBox().HintIndex(), -1);
    EXPECT_FALSE(IsWindowVisible(h));
    // Back: shown again. While the program is at work (the hourglass) it
    // goes, and resting brings it up only once the work is done.
    MouseMoveTo(row.x, row.y);
    ASSERT_TRUE(PumpUntil([&] { return box->ListBox().HintIndex() == 0; }, 4000));
    Screen->SetCursor(crHourGlass);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(h); }, 2000));
    MouseMoveTo(row.x + 5, row.y);
    Pump(1200);
    EXPECT_FALSE(IsWindowVisible(h));
    Screen->SetCursor(crDefault);
    MouseMoveTo(row.x, row.y);
    ASSERT_TRUE(PumpUntil([&] { return box->ListBox().HintIndex() == 0; }, 4000));
    // Out of the list: gone.
    MouseMoveTo(row.x, row.y + 200);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(h); }, 2000));
    EXPECT_EQ(box->ListBox().HintIndex(), -1);
    MouseMoveTo(0, 0);
}

// Without a skin the hint takes the look of the system's tooltips: the info
// background, a one-pixel frame in the info text colour, the text at (4, 2).
TEST(TksSkinCheckListBoxPlain, HintWithoutSkinHasTheTooltipLook) {
    TTestForm form;
    auto* box = new TksSkinCheckListBox(&form);
    box->SetParent(&form);
    box->SetBounds(10, 10, 120, 100);
    const std::string whole = "C:\\Program Files\\Mozilla Firefox\\plugins";
    box->Items().Add(whole);
    box->Items().Add("C:\\x");
    form.ShowActive();
    // The mouse on the line, where the hint stays while it shows.
    POINT row{40, 10};
    ClientToScreen(box->ListBox().Handle(), &row);
    MouseMoveTo(row.x, row.y);
    EXPECT_FALSE(box->ListBox().ShowHintFor(1));  // shown whole
    ASSERT_TRUE(box->ListBox().ShowHintFor(0));
    Pump(300);
    ASSERT_EQ(box->ListBox().HintIndex(), 0);
    TksSkinHintWindow* hint = box->ListBox().Hint();
    EXPECT_FALSE(hint->Skinned());
    const TSize t = ArialExtent(whole);
    const TPixelBuffer got = CaptureClient(hint->Handle());
    ASSERT_EQ(got.Width(), t.cx + 8);
    ASSERT_EQ(got.Height(), t.cy + 4);
    TPixelBuffer want(t.cx + 8, t.cy + 4);
    const TPixel frame = PixelRGB(ColorToPixel(ColorToRGB(clInfoText)));
    const TPixel fill = PixelRGB(ColorToPixel(ColorToRGB(clInfoBk)));
    for (int y = 0; y < want.Height(); ++y)
        for (int x = 0; x < want.Width(); ++x)
            want.At(x, y) =
                (x == 0 || y == 0 || x == want.Width() - 1 || y == want.Height() - 1) ? frame : fill;
    TBitmap bmp(want.Width(), want.Height());
    bmp.Assign(want);
    bmp.Canvas().Font().SetName("Arial");
    bmp.Canvas().Font().SetHeight(14);
    bmp.Canvas().Font().SetColor(clInfoText);
    bmp.Canvas().Brush().SetStyle(TBrushStyle::bsClear);
    bmp.Canvas().TextRect({0, 0, want.Width(), want.Height()}, 4, 2, whole);
    ExpectPixels(got, bmp.ToBuffer(), "plainhint");
    box->ListBox().HideHint();
    EXPECT_FALSE(IsWindowVisible(hint->Handle()));
    MouseMoveTo(0, 0);
}
