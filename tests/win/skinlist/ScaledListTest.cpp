// The check list and its scroll bar on forms of another display density:
// at 192 the lines, their check pictures, the selection, the bar and the
// hint's pictures are the 96 drawing replicated 2 x 2, with the skin and in
// the plain look; at 144
// the sizes are 1.5 times, the mouse lands on the same lines, check boxes
// and bar parts at the scaled points, a long path is shortened for the
// taller font and the hint shows it whole at that font.
#include <gtest/gtest.h>

#include <string>

#include "skinui/SkinListControls.h"
#include "tests/win/skinlist/SkinListTestSupport.h"
#include "tests/win/support/MonitorAt.h"

using namespace zv;
using namespace zvtest;

namespace {

// A skinned box and a plain one, fifteen lines each (so both show their
// bar), lines 0 and 2 checked, line 1 selected, the focus on the form.
// The lines have no text: every pixel is a skin or plain-look pixel.
struct TScaledLists {
    TSkinFixture skin;
    TTestForm form;
    TksSkinCheckListBox* skinned;
    TksSkinCheckListBox* plain;

    explicit TScaledLists(int ppi, const std::string& text = std::string()) {
        form.SetBounds(100, 60, 350, 180);
        skinned = new TksSkinCheckListBox(&form);
        skinned->SetParent(&form);
        skinned->SetBounds(10, 10, 200, 160);
        skinned->SetSkinData(&skin.Data);
        plain = new TksSkinCheckListBox(&form);
        plain->SetParent(&form);
        plain->SetBounds(220, 10, 120, 160);
        MouseMoveTo(5, 5);
        {
            const TMonitorAt monitor(ppi);
            form.ShowActive();
        }
        for (TksSkinCheckListBox* box : {skinned, plain}) {
            for (int i = 0; i < 15; ++i) box->Items().Add(text);
            box->SetChecked(0, true);
            box->SetChecked(2, true);
            box->SetItemIndex(1);
        }
        ::SetFocus(form.Handle());
        Pump(150);
    }
};

// The device width a line's text takes in Arial 14 at `ppi`.
int TextWidthAt(int ppi, const std::string& text) {
    TBitmap measure(1, 1);
    measure.Canvas().SetPixelsPerInch(ppi);
    measure.Canvas().Font().SetName("Arial");
    measure.Canvas().Font().SetHeight(14);
    return measure.Canvas().TextExtent(text).cx;
}

TPoint Centre(const TRect& r) {
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

}  // namespace

TEST(ScaledCheckList, At192LinesChecksSelectionAndBarAreThe96DrawingReplicated) {
    TScaledLists one(96);
    TScaledLists two(192);
    ASSERT_EQ(two.form.PixelsPerInch(), 192);
    EXPECT_EQ(two.skinned->BoundsRect(), Rect(20, 20, 420, 340));
    EXPECT_EQ(two.skinned->ListBox().ItemHeight(), 42);
    EXPECT_EQ(two.plain->ListBox().ItemHeight(), 40);
    for (auto [a, b, name] :
         {std::tuple{one.skinned, two.skinned, "skinned"}, {one.plain, two.plain, "plain"}}) {
        ASSERT_NE(a->ScrollBar(), nullptr) << name;
        ASSERT_NE(b->ScrollBar(), nullptr) << name;
        EXPECT_EQ(b->ScrollBar()->BoundsRect(),
                  Rect(2 * a->ScrollBar()->Left(), 2 * a->ScrollBar()->Top(),
                       2 * a->ScrollBar()->BoundsRect().Right, 2 * a->ScrollBar()->BoundsRect().Bottom))
            << name;
        EXPECT_EQ(b->ScrollBar()->PageSize(), a->ScrollBar()->PageSize()) << name;
        const TPixelBuffer list1 = CaptureClient(a->ListBox().Handle());
        const TPixelBuffer list2 = CaptureClient(b->ListBox().Handle());
        const TPixelBuffer bar1 = CaptureClient(a->ScrollBar()->Handle());
        const TPixelBuffer bar2 = CaptureClient(b->ScrollBar()->Handle());
        const TPixelBuffer box1 = CaptureClient(a->Handle());
        const TPixelBuffer box2 = CaptureClient(b->Handle());
        EXPECT_EQ(ReplicationMismatches(list1, list2, 2), 0) << name << " lines";
        EXPECT_EQ(ReplicationMismatches(bar1, bar2, 2), 0) << name << " bar";
        EXPECT_EQ(ReplicationMismatches(box1, box2, 2), 0) << name << " box";
        if (::testing::Test::HasFailure()) {
            SaveBmp(list2, std::string(name) + "-lines-192.bmp");
            SaveBmp(list1, std::string(name) + "-lines-96.bmp");
        }
    }
    // The hint's pictures (with the skin and in the plain look) likewise.
    const TksSkinData* none = nullptr;
    for (const TksSkinData* data : {static_cast<const TksSkinData*>(&one.skin.Data), none}) {
        TksSkinHintWindow hint(nullptr);
        hint.SetSkinData(data);
        TBitmap small, big;
        hint.PaintHint(small, 90, 22, "");
        hint.SetPixelsPerInch(192);
        hint.PaintHint(big, 180, 44, "");
        EXPECT_EQ(ReplicationMismatches(small.ToBuffer(), big.ToBuffer(), 2), 0)
            << (data ? "skinned" : "plain");
    }
    // The drawing is not blank: the checked and unchecked pictures differ.
    const TPixelBuffer lines = CaptureClient(one.skinned->ListBox().Handle());
    int differ = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 20; ++x) differ += PixelRGB(lines.At(x, y)) != PixelRGB(lines.At(x, y + 21));
    EXPECT_GT(differ, 10);
}

TEST(ScaledCheckList, At144SizesAreOneAndAHalfAndTheMouseLandsOnTheSameParts) {
    const std::string path = "C:\\Program Files\\Mozilla Firefox\\browser\\plugins\\extensions\\zorvane";
    TScaledLists lists(144, path);
    TksSkinCheckListBox& box = *lists.skinned;
    ASSERT_EQ(lists.form.PixelsPerInch(), 144);
    EXPECT_EQ(box.BoundsRect(), Rect(15, 15, 315, 255));
    // 21 skin rows are 31.5 device rows: 32. The client part 2 .. 198 x
    // 2 .. 158 lies at 3 .. 297 x 3 .. 237; the bar, 17 skin pixels wide,
    // takes the nearest 26 at its right.
    EXPECT_EQ(box.ListBox().ItemHeight(), 32);
    ASSERT_NE(box.ScrollBar(), nullptr);
    EXPECT_EQ(box.ScrollBar()->BoundsRect(), Rect(271, 3, 297, 237));
    EXPECT_EQ(box.ListBox().BoundsRect(), Rect(3, 3, 271, 237));
    EXPECT_EQ(box.ScrollBar()->PageSize(), 7);
    EXPECT_EQ(lists.plain->ListBox().ItemHeight(), 30);
    EXPECT_EQ(lists.plain->ScrollBar()->Width(), 29);  // 19 skin pixels

    // A press on line 4's check box (skin x 8) toggles it; one on its text
    // selects it without toggling.
    const HWND list = box.ListBox().Handle();
    ASSERT_FALSE(box.IsChecked(4));
    ClickClient(list, 12, 4 * 32 + 16);
    EXPECT_TRUE(PumpUntil([&] { return box.IsChecked(4); }, 2000));
    ClickClient(list, 60, 5 * 32 + 16);
    EXPECT_TRUE(PumpUntil([&] { return box.ItemIndex() == 5; }, 2000));
    EXPECT_FALSE(box.IsChecked(5));
    // (The line's 268 device columns show 179 skin columns: 16 of them are
    // 23 or 24 device columns.)
    const TRect spot = box.ListBox().CheckHotSpot(268);
    EXPECT_EQ(spot.Left, 0);
    EXPECT_EQ(spot.Top, 0);
    EXPECT_NEAR(spot.Right, 24, 1);
    EXPECT_EQ(spot.Bottom, 32);

    // The bar's parts at their device places: the arrow scrolls one line,
    // the thumb dragged to the end shows the last page.
    TksSkinScrollBar& bar = *box.ScrollBar();
    const TksScrollBarGeometry g = bar.DeviceGeometry();
    EXPECT_EQ(g.IncButton.Width(), 26);
    EXPECT_GE(g.IncButton.Height(), 24);
    EXPECT_LE(g.IncButton.Bottom, 234);
    const TPoint inc = bar.ClientToScreen(Centre(g.IncButton));
    Click(inc.X, inc.Y);
    EXPECT_TRUE(PumpUntil([&] { return box.ListBox().TopIndex() == 1; }, 2000));
    const TPoint thumb = bar.ClientToScreen(Centre(bar.DeviceGeometry().Thumb));
    MouseMoveTo(thumb.X, thumb.Y);
    Pump(30);
    MouseButton(true);
    ASSERT_TRUE(PumpUntil([&] { return bar.Dragging(); }, 2000));
    const TPoint end = bar.ClientToScreen({13, 600});
    MouseMoveTo(end.X, end.Y);
    EXPECT_TRUE(PumpUntil([&] { return box.ListBox().TopIndex() == 8; }, 2000));
    MouseButton(false);
    Pump(50);
    EXPECT_EQ(bar.Position(), 8);

    // The path is shortened for the 21-pixel font, to what fits between the
    // text's left (skin 20: device 30) and the line's end less 2 skin pixels.
    const std::string shown = box.ListBox().ShownText(3);
    EXPECT_NE(shown, path);
    const int area = 268 - 3 - 30 + 2;
    EXPECT_LE(TextWidthAt(144, shown), area);
    EXPECT_GT(TextWidthAt(144, shown), area * 3 / 4);
    EXPECT_GT(TextWidthAt(144, shown), TextWidthAt(96, shown) * 4 / 3);

    // The hint shows the whole path at the taller font, inside its window.
    ASSERT_TRUE(box.ListBox().ShowHintFor(10));
    TksSkinHintWindow* hint = box.ListBox().Hint();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->Scale().PixelsPerInch(), 144);
    const TSize skinSize = hint->SkinHintSize(path);
    EXPECT_EQ(hint->Width(), TDeviceScale(144).Map(skinSize.cx));
    EXPECT_EQ(hint->Height(), TDeviceScale(144).Map(skinSize.cy));
    const TPoint origin = hint->TextOrigin(path);
    EXPECT_LE(origin.X + TextWidthAt(144, path), hint->Width());
    EXPECT_GE(hint->Height(), 21 + 2);
    box.ListBox().HideHint();
}
