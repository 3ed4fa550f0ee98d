// The skinned popup menu of a form at another display density: at 192 a
// level with a glyph entry, a divider, a checked entry and one with a
// submenu is its 96 drawing replicated 2 x 2 (with the skin and in the
// plain look); at 144 the sizes are 1.5 times, the mouse lands on the same
// entries at the scaled points, the submenu opens beside its entry and the
// caption's taller text fits its level.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skinui/SkinPopupMenu.h"
#include "tests/win/support/MonitorAt.h"
#include "tests/win/support/SkinTestSupport.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;
using namespace zvtest;

namespace {

struct TScaledMenu {
    TksCompressedStoredSkin stored{nullptr};
    TksSkinData skin{nullptr};
    TForm form{nullptr};
    TksSkinMenu* menu = nullptr;
    TMenuItem items;
    std::string clicked;

    TScaledMenu(int ppi, const std::string& caption) {
        LoadProgramSkin(stored, skin);
        form.SetBorderStyle(TFormBorderStyle::bsNone);
        form.SetBounds(40, 40, 200, 120);
        MouseMoveTo(5, 5);
        {
            const TMonitorAt monitor(ppi);
            form.Show();
        }
        SetForegroundWindow(form.Handle());
        Pump(50);
        menu = new TksSkinMenu(&form, &form);
        auto click = [this](const std::string& name) { return [this, name](TObject*) { clicked = name; }; };
        items.Add("SF_CLOSE", caption, scNone, click("close"));
        items.Add("line", "-", scNone, nullptr);
        items.Add("checked", "", scNone, click("checked"))->Checked = true;
        TMenuItem* more = items.Add("more", "", scNone, nullptr);
        more->Add("inner", "", scNone, click("inner"));
        more->Add("inner2", "", scNone, click("inner2"));
    }
    ~TScaledMenu() {
        menu->CloseLevelsFrom(0);
        Pump(20);
    }
    TksSkinPopupWindow& Open(TksSkinData* data) {
        menu->PopupMenuItems(nullptr, data, false, &items, Rect(300, 200, 320, 216), 0);
        Pump(60);
        return *menu->Level(0);
    }
};

}  // namespace

TEST(ScaledMenu, At192ALevelIsIts96DrawingReplicated) {
    for (bool skinned : {true, false}) {
        TScaledMenu one(96, "");
        TScaledMenu two(192, "");
        TksSkinPopupWindow& a = one.Open(skinned ? &one.skin : nullptr);
        TksSkinPopupWindow& b = two.Open(skinned ? &two.skin : nullptr);
        ASSERT_EQ(b.Scale().PixelsPerInch(), 192);
        EXPECT_EQ(b.SkinSize(), a.SkinSize()) << skinned;
        EXPECT_EQ(b.Width(), 2 * a.Width()) << skinned;
        EXPECT_EQ(b.Height(), 2 * a.Height()) << skinned;
        const TPixelBuffer small = CaptureClient(a.Handle());
        const TPixelBuffer big = CaptureClient(b.Handle());
        EXPECT_EQ(ReplicationMismatches(small, big, 2), 0) << (skinned ? "skinned" : "plain");
        if (::testing::Test::HasFailure()) {
            SaveBmp(small, skinned ? "menu-96.bmp" : "menu-plain-96.bmp");
            SaveBmp(big, skinned ? "menu-192.bmp" : "menu-plain-192.bmp");
        }
        // Not blank: the cross, the divider and the check mark are drawn.
        int dark = 0;
        for (int y = 0; y < small.Height(); ++y)
            for (int x = 0; x < small.Width(); ++x)
                dark += PixelR(small.At(x, y)) + PixelG(small.At(x, y)) < 100;
        EXPECT_GT(dark, 20) << skinned;
    }
}

TEST(ScaledMenu, At144SizesAreOneAndAHalfAndTheMouseFindsTheEntries) {
    TScaledMenu one(96, "&Close the window");
    TScaledMenu f(144, "&Close the window");
    TksSkinPopupWindow& a = one.Open(&one.skin);
    TksSkinPopupWindow& level = f.Open(&f.skin);
    ASSERT_EQ(level.Scale().PixelsPerInch(), 144);
    // Heights from the skin: 1.5 times to the nearest pixel; the width
    // follows the caption measured at the taller font.
    EXPECT_EQ(level.Height(), TDeviceScale(144).Map(a.Height()));
    // (Text widths follow the font's own hinting at each size.)
    EXPECT_GE(level.Width(), a.Width() * 3 / 2 - 2);
    EXPECT_LE(level.Width(), a.Width() * 3 / 2 + a.Width() / 10);
    // Each entry 1.5 times as high within a pixel, in the same order.
    for (int i = 0; i < level.EntryCount(); ++i) {
        const TRect r = level.DeviceRect(level.Entries(i)->EntryRect);
        EXPECT_NEAR(r.Height(), a.Entries(i)->EntryRect.Height() * 1.5, 1.0) << i;
        EXPECT_NEAR(r.Top, a.Entries(i)->EntryRect.Top * 3 / 2, 1) << i;
    }
    // The caption at the 21-pixel font fits between the glyph column and
    // the level's right border.
    TBitmap measure(1, 1);
    measure.Canvas().SetPixelsPerInch(144);
    measure.Canvas().Font().SetName("Arial");
    measure.Canvas().Font().SetHeight(14);
    TRect calc{0, 0, 0, 0};
    measure.Canvas().DrawText("&Close the window", calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_LE(level.DeviceRect(level.Entries(0)->EntryRect).Left + 24 + calc.Width(), level.Width() - 3);
    // The system-menu region keeps the level's device size.
    RECT box{};
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(level.Handle(), rgn) != ERROR) {
        GetRgnBox(rgn, &box);
        EXPECT_EQ(box.right, level.Width());
        EXPECT_EQ(box.bottom, level.Height());
    }
    DeleteObject(rgn);

    // Moving over the checked entry's device centre selects it; the entry
    // with the submenu opens its level beside it, at the entry's top.
    auto centre = [&](int i) {
        const TRect r = level.DeviceRect(level.Entries(i)->EntryRect);
        return TPoint{level.ShowPosition().X + (r.Left + r.Right) / 2,
                      level.ShowPosition().Y + (r.Top + r.Bottom) / 2};
    };
    const TPoint checked = centre(2);
    MouseMoveTo(checked.X, checked.Y);
    EXPECT_TRUE(PumpUntil([&] { return level.SelectedEntry() == 2; }, 2000));
    const TPoint more = centre(3);
    MouseMoveTo(more.X, more.Y);
    ASSERT_TRUE(PumpUntil([&] { return f.menu->LevelCount() == 2; }, 3000));
    const TksSkinPopupWindow& sub = *f.menu->Level(1);
    EXPECT_EQ(sub.Scale().PixelsPerInch(), 144);
    EXPECT_GE(sub.ShowPosition().X, level.ShowPosition().X + level.Width() - 12);
    EXPECT_NEAR(sub.ShowPosition().Y + sub.DeviceRect(sub.TargetItemsRect()).Top,
                level.ShowPosition().Y + level.DeviceRect(level.Entries(3)->EntryRect).Top, 2);
    // A click on the submenu's second entry runs it.
    const TRect inner = sub.DeviceRect(sub.Entries(1)->EntryRect);
    Click(sub.ShowPosition().X + (inner.Left + inner.Right) / 2,
          sub.ShowPosition().Y + (inner.Top + inner.Bottom) / 2);
    EXPECT_TRUE(PumpUntil([&] { return f.clicked == "inner2"; }, 2000));
}
