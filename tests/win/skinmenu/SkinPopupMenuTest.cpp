// The skinned popup menu under Wine with the program's own skin: the system
// menu's size, placement and highlighted look read back pixel by pixel, the
// plain look without entry data, and the interaction (keys, accelerators,
// clicks, mouse tracking, submenu delay, scrolling) through real input where
// the level's window is involved.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "skinui/SkinControls.h"
#include "skinui/SkinPopupMenu.h"
#include "tests/win/support/SkinTestSupport.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;

namespace {

constexpr TPixel Rgb(TPixel p) {
    return p & 0xFFFFFFu;
}

class TMenuForm : public TForm {
public:
    TMenuForm() : TForm(nullptr) {
        SetBorderStyle(TFormBorderStyle::bsNone);
        SetBounds(60, 60, 200, 120);
    }
    int MenuClosed = 0;
    int MenuCommands = 0;

protected:
    void WndProc(TMessage& msg) override {
        if (msg.Msg == WM_SKINMENUCLOSED) ++MenuClosed;
        if (msg.Msg == WM_SKINMENUCOMMAND) ++MenuCommands;
        TForm::WndProc(msg);
    }
};

// The program's skin, a form that owns the menu manager, and a menu.
struct TMenuFixture {
    TMenuFixture() {
        zvtest::LoadProgramSkin(stored, skin);
        form.Show();
        SetForegroundWindow(form.Handle());
        zvtest::Pump(50);
        menu = new TksSkinMenu(&form, &form);
    }
    ~TMenuFixture() {
        menu->CloseLevelsFrom(0);
        zvtest::Pump(20);
    }
    TMenuItem* Add(const std::string& name, const std::string& caption, TShortCut shortCut = scNone) {
        return items.Add(name, caption, shortCut, [this, caption](TObject*) { clicked.push_back(caption); });
    }
    void Open(TksSkinData* data, const TRect& anchor) {
        menu->PopupMenuItems(nullptr, data, false, &items, anchor, 0);
        zvtest::Pump(60);
    }
    TksSkinPopupWindow* Level(int i) const { return menu->Level(i); }
    TPoint EntryCentre(int level, int entry) const {
        const TksSkinPopupWindow* l = Level(level);
        const TRect r = l->Entries(entry)->EntryRect;
        return {l->ShowPosition().X + (r.Left + r.Right) / 2, l->ShowPosition().Y + (r.Top + r.Bottom) / 2};
    }

    TksCompressedStoredSkin stored{nullptr};
    TksSkinData skin{nullptr};
    TMenuForm form;
    TksSkinMenu* menu = nullptr;
    TMenuItem items;
    std::vector<std::string> clicked;
};

// Width of a single line as the platform draws it in "Arial" 14.
int MeasuredWidth(const std::string& text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontA(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    return r.right - r.left;
}

// Source column of a three-part look with 20 + 20 fixed pixels and a tiled
// middle, for entry column x of an entry w wide (skin rect 1 .. 68).
int ThreePartColumn(int x, int w) {
    if (x < 20) return 1 + x;
    if (x >= w - 20) return 68 - (w - x);
    return 21 + (x - 20) % 27;
}

bool IsDark(TPixel p) {
    return PixelR(p) + PixelG(p) + PixelB(p) < 3 * 128;
}

}  // namespace

TEST(TksSkinMenu, SystemMenuSizePlacementAndHighlightedLook) {
    TMenuFixture f;
    f.Add("SF_CLOSE", "&Close", ShortCut(VK_F4, scAlt));
    f.Open(&f.skin, Rect(150, 150, 170, 166));
    ASSERT_EQ(f.menu->LevelCount(), 1);
    TksSkinPopupWindow* level = f.Level(0);
    const int w = MeasuredWidth("&Close  Alt+F4") + 41;
    ASSERT_EQ(level->Width(), w);
    ASSERT_EQ(level->Height(), 24);
    // Right below the anchor, left-aligned with it.
    RECT wr;
    GetWindowRect(level->Handle(), &wr);
    EXPECT_EQ(wr.left, 150);
    EXPECT_EQ(wr.top, 166);
    EXPECT_EQ(level->SelectedEntry(), 0);
    EXPECT_TRUE(level->Entries(0)->Active);
    EXPECT_EQ(level->Entries(0)->EntryRect, Rect(2, 2, w - 2, 22));
    EXPECT_EQ(level->Cursor(), crDefault);  // the skin names no popup cursor

    const TPixelBuffer shot = zvtest::CaptureClient(level->Handle());
    zvtest::SaveBmp(shot, "skinmenu-close.bmp");
    const TPixelView frame = f.skin.ActivePicture(1)->View();
    const TPixelView entries = f.skin.ActivePicture(2)->View();
    // The window's border: nine-part of the 88 x 80 popup picture.
    for (int x = 0; x < w; ++x) {
        const int top = x < 38 ? x : (x < w - 7 ? 38 + (x - 38) % 43 : x + 88 - w);
        const int bottom = x < 39 ? x : (x < w - 6 ? 39 + (x - 39) % 43 : x + 88 - w);
        for (int y = 0; y < 2; ++y) ASSERT_EQ(Rgb(shot.At(x, y)), Rgb(frame.At(top, y))) << x << "," << y;
        for (int y = 22; y < 24; ++y)
            ASSERT_EQ(Rgb(shot.At(x, y)), Rgb(frame.At(bottom, y + 56))) << x << "," << y;
    }
    for (int y = 2; y < 22; ++y) {
        for (int x = 0; x < 2; ++x)
            ASSERT_EQ(Rgb(shot.At(x, y)), Rgb(frame.At(x, y < 17 ? y : y + 56))) << x << "," << y;
        for (int x = w - 2; x < w; ++x)
            ASSERT_EQ(Rgb(shot.At(x, y)), Rgb(frame.At(x + 88 - w, y < 18 ? y : y + 56))) << x << "," << y;
    }
    // The entry: the highlighted look (1,1,68,21), the cross at (4, 6) in
    // black, "Close" from the glyph column on and "Alt+F4" ending 16 pixels
    // before the text area's end (text rect right = entry width - 1).
    const int ew = w - 4;
    const int trRight = ew - 1;
    const int shortcutRight = trRight - 16;
    const int shortcutLeft = shortcutRight - MeasuredWidth("Alt+F4");
    const int captionLeft = 2 + 16;
    const int captionRight = captionLeft + MeasuredWidth("&Close") + 2;
    std::vector<TPoint> cross;
    for (int i = 0; i < 8; ++i) {
        cross.push_back({4 + 1 + i, 6 + 1 + i});
        cross.push_back({4 + 9 - i, 6 + 1 + i});
        cross.push_back({4 + 2 + i, 6 + 1 + i});
        cross.push_back({4 + 8 - i, 6 + 1 + i});
    }
    int captionInk = 0;
    int shortcutInk = 0;
    int rightmostInk = -1;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < ew; ++x) {
            const TPixel got = Rgb(shot.At(x + 2, y + 2));
            const bool inCaption = x >= captionLeft && x < captionRight;
            const bool inShortcut = x >= shortcutLeft && x < shortcutRight;
            if (inCaption || inShortcut) {
                if (IsDark(got)) {
                    (inCaption ? captionInk : shortcutInk)++;
                    if (inShortcut) rightmostInk = std::max(rightmostInk, x);
                }
                continue;
            }
            bool onCross = false;
            for (const TPoint& p : cross) onCross = onCross || (p.X == x && p.Y == y);
            const TPixel want = onCross ? 0u : Rgb(entries.At(ThreePartColumn(x, ew), y + 1));
            ASSERT_EQ(got, want) << "entry pixel " << x << "," << y;
        }
    }
    EXPECT_GT(captionInk, 20);
    EXPECT_GT(shortcutInk, 20);
    EXPECT_GE(rightmostInk, shortcutRight - 3);
    // The C is underlined: a dark run of at least 5 pixels low in the
    // caption under its first letter only.
    bool underline = false;
    for (int y = 12; y < 20 && !underline; ++y) {
        int run = 0;
        for (int x = captionLeft; x < captionLeft + 12; ++x) {
            run = IsDark(Rgb(shot.At(x + 2, y + 2))) ? run + 1 : 0;
            underline = underline || run >= 5;
        }
    }
    EXPECT_TRUE(underline);
}

TEST(TksSkinMenu, SkinCursorOfThePopupWindow) {
    TMenuFixture f;
    f.Add("SF_CLOSE", "&Close");
    const_cast<TksDataSkinPopupWindow&>(f.skin.PopupWindow()).CursorIndex = 2;
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    EXPECT_EQ(f.Level(0)->Cursor(), SkinFirstCursor + 2);
}

TEST(TksSkinMenu, PlacesAtZeroAnchorAndFlipsAboveNearTheBottom) {
    TMenuFixture f;
    f.Add("SF_CLOSE", "&Close", ShortCut(VK_F4, scAlt));
    f.Open(&f.skin, Rect(300, 200, 300, 200));
    EXPECT_EQ(f.Level(0)->ShowPosition(), Point(300, 200));
    const TRect wa = f.menu->MenuWorkArea();
    const int y = wa.Bottom - 10;
    f.Open(&f.skin, Rect(300, y, 300, y));
    ASSERT_EQ(f.menu->LevelCount(), 1);
    EXPECT_EQ(f.Level(0)->ShowPosition(), Point(300, y - 24));
    // Against the right edge of the work area it moves left to fit.
    f.Open(&f.skin, Rect(wa.Right - 5, 100, wa.Right, 116));
    EXPECT_EQ(f.Level(0)->ShowPosition(), Point(wa.Right - f.Level(0)->Width(), 116));
}

TEST(TksSkinMenu, EnterAcceleratorAndClickChooseTheEntryOnce) {
    TMenuForm notify;
    notify.HandleNeeded();
    for (int way = 0; way < 3; ++way) {
        TMenuFixture f;
        f.Add("SF_CLOSE", "&Close", ShortCut(VK_F4, scAlt));
        f.menu->PopupMenuItems(&notify, &f.skin, false, &f.items, Rect(150, 150, 150, 150), 0);
        zvtest::Pump(60);
        notify.MenuClosed = notify.MenuCommands = 0;
        if (way == 0) f.Level(0)->KeyDown(VK_RETURN);
        if (way == 1) f.Level(0)->KeyDown('C');
        if (way == 2) {
            const TPoint c = f.EntryCentre(0, 0);
            zvtest::Click(c.X, c.Y);
        }
        zvtest::Pump(60);
        EXPECT_EQ(f.clicked, std::vector<std::string>{"&Close"}) << way;
        EXPECT_EQ(FindWindowA("ZvSkinMenuLevel", nullptr), nullptr) << way;
        EXPECT_FALSE(f.menu->MenuOpen());
        EXPECT_EQ(f.menu->LevelCount(), 0);
        EXPECT_EQ(f.form.MenuClosed, 1) << way;
        EXPECT_EQ(notify.MenuClosed, 1) << way;
        EXPECT_EQ(notify.MenuCommands, 1) << way;
    }
}

TEST(TksSkinMenu, EscClosesOnlyTheLevel) {
    TMenuFixture f;
    f.Add("SF_CLOSE", "&Close", ShortCut(VK_F4, scAlt));
    int closeEvents = 0;
    f.menu->OnMenuClose = [&](TObject*) { ++closeEvents; };
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    HWND levelWnd = f.Level(0)->Handle();
    f.Level(0)->KeyDown(VK_ESCAPE);
    zvtest::Pump(60);
    EXPECT_EQ(f.menu->LevelCount(), 0);
    EXPECT_FALSE(f.menu->MenuOpen());
    EXPECT_TRUE(f.clicked.empty());
    EXPECT_EQ(f.form.MenuClosed, 0);  // the frame leaves menu mode itself
    EXPECT_EQ(closeEvents, 1);
    EXPECT_FALSE(IsWindow(levelWnd));  // freed once nothing ran inside it
    // The close event fires once: a second menu closes without it.
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    f.menu->CloseMenu();
    EXPECT_EQ(closeEvents, 1);
    EXPECT_EQ(f.form.MenuClosed, 1);
}

TEST(TksSkinMenu, ReleaseOutsideEntriesRunsNothingAndHighlightStaysWhenMouseLeaves) {
    TMenuFixture f;
    f.Add("A", "&Apple");
    f.Add("B", "&Banana");
    f.Add("C", "C&herry");
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    TksSkinPopupWindow* level = f.Level(0);
    // On the border of the window, outside every entry.
    zvtest::Click(level->ShowPosition().X + 1, level->ShowPosition().Y + 1);
    zvtest::Pump(100);
    EXPECT_TRUE(f.clicked.empty());
    ASSERT_EQ(f.menu->LevelCount(), 1);
    const TPoint b = f.EntryCentre(0, 1);
    zvtest::MouseMoveTo(b.X, b.Y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return level->SelectedEntry() == 1; }, 2000));
    EXPECT_FALSE(level->Entries(0)->Active);
    EXPECT_TRUE(level->Entries(1)->Active);
    zvtest::MouseMoveTo(10, 10);
    zvtest::Pump(200);
    EXPECT_EQ(level->SelectedEntry(), 1);
    EXPECT_TRUE(level->Entries(1)->Active);
    // On screen: entry 1 in the highlighted look, entry 0 in the normal one
    // (their top rows carry no text).
    const TPixelBuffer shot = zvtest::CaptureClient(level->Handle());
    const TPixelView entries = f.skin.ActivePicture(2)->View();
    const int ew = level->Entries(0)->EntryRect.Width();
    int differ = 0;
    for (int x = 0; x < ew; ++x) {
        const TPixel highlighted = Rgb(entries.At(ThreePartColumn(x, ew), 1));
        const TPixel normal = Rgb(entries.At(ThreePartColumn(x, ew), 22));
        differ += highlighted != normal ? 1 : 0;
        ASSERT_EQ(Rgb(shot.At(2 + x, level->Entries(1)->EntryRect.Top)), highlighted) << x;
        ASSERT_EQ(Rgb(shot.At(2 + x, level->Entries(0)->EntryRect.Top)), normal) << x;
    }
    EXPECT_GT(differ, ew / 2);
}

TEST(TksSkinMenu, DisabledItemIsHighlightedButNeverRuns) {
    TMenuFixture f;
    f.Add("A", "&Apple")->Enabled = false;
    f.Add("B", "&Banana");
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    TksSkinPopupWindow* level = f.Level(0);
    EXPECT_EQ(level->SelectedEntry(), 1);  // the first selectable one
    level->KeyDown('A');
    EXPECT_EQ(level->SelectedEntry(), 0);
    EXPECT_TRUE(level->Entries(0)->Active);
    EXPECT_FALSE(level->Entries(1)->Active);
    level->KeyDown(VK_RETURN);
    const TPoint a = f.EntryCentre(0, 0);
    zvtest::Click(a.X, a.Y);
    zvtest::Pump(100);
    EXPECT_TRUE(f.clicked.empty());
    EXPECT_EQ(f.menu->LevelCount(), 1);
    // Its accelerator again: it stays the highlighted entry.
    level->KeyDown('A');
    EXPECT_EQ(level->SelectedEntry(), 0);
    EXPECT_TRUE(level->Entries(0)->Active);
    level->KeyDown('B');
    EXPECT_EQ(f.clicked, std::vector<std::string>{"&Banana"});
}

TEST(TksSkinMenu, UpAndDownSkipDividersAndWrapFromTheLastEntry) {
    TMenuFixture f;
    f.Add("A", "&Apple");
    f.Add("D", "-");
    f.Add("B", "&Banana");
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    TksSkinPopupWindow* level = f.Level(0);
    // A divider is as high as "dividerrect" (5).
    EXPECT_EQ(level->Height(), 20 + 5 + 20 + 4);
    EXPECT_EQ(level->SelectedEntry(), 0);
    level->KeyDown(VK_DOWN);
    EXPECT_EQ(level->SelectedEntry(), 2);
    EXPECT_TRUE(level->Entries(2)->Active);
    EXPECT_FALSE(level->Entries(0)->Active);
    level->KeyDown(VK_DOWN);
    EXPECT_EQ(level->SelectedEntry(), 0);
    level->KeyDown(VK_UP);
    EXPECT_EQ(level->SelectedEntry(), 2);
    level->KeyDown(VK_UP);
    EXPECT_EQ(level->SelectedEntry(), 0);
    EXPECT_FALSE(level->Entries(1)->Active);
    // The mouse on the divider makes it the selected entry without a
    // highlight; neither Enter nor a release there runs anything.
    const TPoint d = f.EntryCentre(0, 1);
    zvtest::MouseMoveTo(d.X, d.Y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return level->SelectedEntry() == 1; }, 2000));
    EXPECT_FALSE(level->Entries(1)->Active);
    EXPECT_FALSE(level->Entries(0)->Active);
    level->KeyDown(VK_RETURN);
    zvtest::Click(d.X, d.Y);
    zvtest::Pump(60);
    EXPECT_TRUE(f.clicked.empty());
    EXPECT_EQ(f.menu->LevelCount(), 1);
    zvtest::MouseMoveTo(10, 10);
    zvtest::Pump(60);
}

TEST(TksSkinMenu, SubmenuOpensAfterTheDelayAndWithRight) {
    TMenuFixture f;
    f.Add("X", "E&xit");
    TMenuItem* file = f.Add("F", "&File");
    int opened = 0;
    file->OnClick = [&](TObject*) { ++opened; };
    file->Add("O", "&Open", scNone, [&](TObject*) { f.clicked.push_back("open"); });
    file->Add("S", "&Save");
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    TksSkinPopupWindow* level = f.Level(0);
    const TPoint c = f.EntryCentre(0, 1);
    zvtest::MouseMoveTo(c.X, c.Y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f.menu->PendingEntry() != nullptr; }, 2000));
    EXPECT_EQ(f.menu->LevelCount(), 1);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f.menu->LevelCount() == 2; }, 2000));
    EXPECT_EQ(opened, 1);  // the parent item's command runs when it opens
    EXPECT_TRUE(level->Entries(1)->Down);
    TksSkinPopupWindow* sub = f.Level(1);
    // Beside the parent, its first entry level with the parent entry.
    EXPECT_EQ(sub->ShowPosition().X, level->ShowPosition().X + level->Width() - 2 + 1);
    EXPECT_EQ(sub->ShowPosition().Y + sub->Entries(0)->EntryRect.Top,
              level->ShowPosition().Y + level->Entries(1)->EntryRect.Top);
    // A pending submenu whose level closes first never opens.
    sub->KeyDown(VK_ESCAPE);
    ASSERT_EQ(f.menu->LevelCount(), 1);
    const TPoint x = f.EntryCentre(0, 0);
    zvtest::MouseMoveTo(x.X, x.Y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return level->SelectedEntry() == 0; }, 2000));
    zvtest::MouseMoveTo(c.X, c.Y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f.menu->PendingEntry() != nullptr; }, 2000));
    level->KeyDown(VK_ESCAPE);
    EXPECT_EQ(f.menu->PendingEntry(), nullptr);
    zvtest::Pump(700);
    EXPECT_EQ(f.menu->LevelCount(), 0);
    EXPECT_EQ(opened, 1);
    zvtest::MouseMoveTo(10, 10);
    zvtest::Pump(60);
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    level = f.Level(0);
    level->KeyDown(VK_DOWN);
    level->KeyDown(VK_RIGHT);
    ASSERT_EQ(f.menu->LevelCount(), 2);
    sub = f.Level(1);
    // Left closes it again; the parent entry is no longer down.
    sub->KeyDown(VK_LEFT);
    EXPECT_EQ(f.menu->LevelCount(), 1);
    EXPECT_FALSE(level->Entries(1)->Down);
    // Right opens it at once; Enter there runs the sub-item and closes all.
    zvtest::MouseMoveTo(10, 10);
    zvtest::Pump(100);
    level->KeyDown(VK_RIGHT);
    ASSERT_EQ(f.menu->LevelCount(), 2);
    EXPECT_EQ(f.Level(1)->SelectedEntry(), 0);
    f.Level(1)->KeyDown(VK_RETURN);
    EXPECT_EQ(f.clicked, std::vector<std::string>{"open"});
    EXPECT_EQ(f.menu->LevelCount(), 0);
    EXPECT_EQ(f.form.MenuClosed, 1);
}

TEST(TksSkinMenu, LongMenuScrollsWithMarkers) {
    TMenuFixture f;
    for (int i = 0; i < 8; ++i) {
        const std::string n(1, static_cast<char>('0' + i));
        f.Add(std::string("I").append(n), std::string("Item &").append(n));
    }
    f.menu->MaxMenuItemsInWindow = 3;
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    TksSkinPopupWindow* level = f.Level(0);
    ASSERT_TRUE(level->Scrolling());
    EXPECT_TRUE(level->ScrollingByLimit());
    EXPECT_EQ(level->Height(), 20 * 3 + 4 + 20);
    EXPECT_EQ(level->VisibleEntryCount(), 3);
    EXPECT_EQ(level->Entries(0)->EntryRect.Top, 12);
    EXPECT_FALSE(level->Entries(3)->Shown);
    const int w = level->Width();
    const int cx = 2 + (w - 4) / 2;
    auto marker = [&](int y) { return Rgb(zvtest::CaptureClient(level->Handle()).At(cx, y)); };
    const TPixel normal = Rgb(ColorToPixel(8404992));
    const TPixel active = Rgb(ColorToPixel(12615680));
    EXPECT_EQ(marker(5), normal);   // up arrow's tip row in (2, 2, w-2, 12)
    EXPECT_EQ(marker(79), normal);  // down arrow's tip row in (2, 72, w-2, 82)
    // The keyboard scrolls one entry when it reaches the edge.
    level->KeyDown(VK_DOWN);
    level->KeyDown(VK_DOWN);
    EXPECT_EQ(level->FirstVisibleEntry(), 0);
    level->KeyDown(VK_DOWN);
    EXPECT_EQ(level->SelectedEntry(), 3);
    EXPECT_EQ(level->FirstVisibleEntry(), 1);
    EXPECT_TRUE(level->Entries(3)->Shown);
    EXPECT_FALSE(level->Entries(0)->Shown);
    // Up from the first entry wraps to the last page.
    for (int i = 0; i < 3; ++i) level->KeyDown(VK_UP);
    EXPECT_EQ(level->SelectedEntry(), 0);
    EXPECT_EQ(level->FirstVisibleEntry(), 0);
    level->KeyDown(VK_UP);
    EXPECT_EQ(level->SelectedEntry(), 7);
    EXPECT_EQ(level->FirstVisibleEntry(), 5);
    level->KeyDown(VK_DOWN);
    EXPECT_EQ(level->FirstVisibleEntry(), 0);
    // The mouse in the lower marker zone scrolls down to the end and stops.
    zvtest::MouseMoveTo(level->ShowPosition().X + cx, level->ShowPosition().Y + 77);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return level->ScrollDirection() == 2; }, 2000));
    EXPECT_EQ(marker(79), active);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return level->FirstVisibleEntry() == 5; }, 3000));
    ASSERT_TRUE(zvtest::PumpUntil([&] { return level->ScrollDirection() == 0; }, 2000));
    EXPECT_EQ(marker(79), normal);
    EXPECT_TRUE(level->Entries(7)->Shown);
    // Up again, and the mouse leaving the level stops the scrolling there.
    zvtest::MouseMoveTo(level->ShowPosition().X + cx, level->ShowPosition().Y + 6);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return level->FirstVisibleEntry() < 5; }, 2000));
    zvtest::MouseMoveTo(10, 10);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return level->ScrollDirection() == 0; }, 2000));
    const int stopped = level->FirstVisibleEntry();
    zvtest::Pump(300);
    EXPECT_EQ(level->FirstVisibleEntry(), stopped);
    EXPECT_GT(stopped, 0);
    EXPECT_EQ(marker(5), normal);
}

TEST(TksSkinMenu, DefaultLookWithoutSkinData) {
    TMenuFixture f;
    f.Add("SF_CLOSE", "&Close", ShortCut(VK_F4, scAlt));
    f.Open(nullptr, Rect(150, 150, 150, 150));
    TksSkinPopupWindow* level = f.Level(0);
    const int w = MeasuredWidth("&Close  Alt+F4") + 2 + 16 + 16 + 10;
    ASSERT_EQ(level->Width(), w);
    ASSERT_EQ(level->Height(), 26);
    const TPixelBuffer shot = zvtest::CaptureClient(level->Handle());
    zvtest::SaveBmp(shot, "skinmenu-default.bmp");
    auto sys = [](int index) { return Rgb(ColorToPixel(GetSysColor(index))); };
    EXPECT_EQ(Rgb(shot.At(0, 0)), sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Rgb(shot.At(w - 1, 25)), sys(COLOR_BTNSHADOW));
    EXPECT_EQ(Rgb(shot.At(1, 1)), sys(COLOR_WINDOW));
    EXPECT_EQ(Rgb(shot.At(2, 10)), sys(COLOR_BTNFACE));  // left column, beside the entry
    // The highlighted entry (3, 3, w-3, 23): dark blue border, light fill,
    // the cross in the window-text colour at (2 + 2, 10 - 4) of the entry.
    EXPECT_EQ(Rgb(shot.At(3, 3)), Rgb(ColorToPixel(8388608)));
    EXPECT_EQ(Rgb(shot.At(w - 4, 22)), Rgb(ColorToPixel(8388608)));
    EXPECT_EQ(Rgb(shot.At(3 + 1, 3 + 1)), Rgb(ColorToPixel(13811126)));
    EXPECT_EQ(Rgb(shot.At(3 + 4 + 1, 3 + 6 + 1)), sys(COLOR_WINDOWTEXT));
    EXPECT_EQ(Rgb(shot.At(3 + 4, 3 + 6 + 1)), Rgb(ColorToPixel(13811126)));
}

TEST(TksSkinMenu, PopupPictureWithoutEntryDataStillOpens) {
    TMenuFixture f;
    f.Add("SF_CLOSE", "&Close", ShortCut(VK_F4, scAlt));
    f.skin.SkinObjects(f.skin.IndexOfObject("menuitem"))->IDName = "renamed";
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    TksSkinPopupWindow* level = f.Level(0);
    ASSERT_NE(level->WindowData(), nullptr);
    EXPECT_EQ(level->EntryData(), nullptr);
    EXPECT_EQ(level->Height(), 20 + 4);
    EXPECT_EQ(level->Width(), MeasuredWidth("&Close  Alt+F4") + 2 + 16 + 16 + 4 + 4);
    level->KeyDown(VK_RETURN);
    EXPECT_EQ(f.clicked.size(), 1u);
}

TEST(TksSkinMenu, BadStartIndexOrEntryPictureOpensSafely) {
    TMenuFixture f;
    f.Add("SF_CLOSE", "&Close");
    f.menu->PopupMenuItems(nullptr, &f.skin, false, &f.items, Rect(10, 10, 10, 10), 1);
    EXPECT_FALSE(f.menu->MenuOpen());
    f.menu->PopupMenuItems(nullptr, &f.skin, false, &f.items, Rect(10, 10, 10, 10), -1);
    EXPECT_FALSE(f.menu->MenuOpen());
    // Entry data whose picture index is past the end: entries take no room.
    auto* data = dynamic_cast<TksDataSkinMenuItem*>(f.skin.SkinObjects(f.skin.IndexOfObject("menuitem")));
    ASSERT_NE(data, nullptr);
    data->ActivePictureIndex = 99;
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    ASSERT_EQ(f.menu->LevelCount(), 1);
    EXPECT_EQ(f.Level(0)->Height(), 4);
    EXPECT_EQ(f.Level(0)->Entries(0)->Picture(), nullptr);
    EXPECT_EQ(data->SkinRect, Rect(1, 22, 68, 42));  // the shared record is not changed
    f.Level(0)->KeyDown(VK_RETURN);
    EXPECT_EQ(f.clicked.size(), 1u);
}

TEST(TksSkinMenu, SkinDataFreedWhileOpenClosesTheMenu) {
    TMenuFixture f;
    f.Add("SF_CLOSE", "&Close");
    auto stored = std::make_unique<TksCompressedStoredSkin>(nullptr);
    auto data = std::make_unique<TksSkinData>(nullptr);
    zvtest::LoadProgramSkin(*stored, *data);
    f.Open(data.get(), Rect(150, 150, 150, 150));
    ASSERT_EQ(f.menu->LevelCount(), 1);
    data.reset();
    EXPECT_EQ(f.menu->LevelCount(), 0);
    EXPECT_FALSE(f.menu->MenuOpen());
    EXPECT_EQ(f.menu->MenuSkinData(), nullptr);
    zvtest::Pump(100);  // no timer of the freed level may fire
    EXPECT_TRUE(f.clicked.empty());
}

TEST(TksSkinMenu, MarksAndSubmenuArrowInThePlainLook) {
    TMenuFixture f;
    f.Add("K", "&Checked")->Checked = true;
    TMenuItem* radio = f.Add("R", "&Radio");
    radio->Checked = true;
    radio->RadioItem = true;
    f.Add("S", "&Sub")->Add("T", "&Two");
    f.Open(nullptr, Rect(150, 150, 150, 150));
    TksSkinPopupWindow* level = f.Level(0);
    const TPixelBuffer shot = zvtest::CaptureClient(level->Handle());
    zvtest::SaveBmp(shot, "skinmenu-marks.bmp");
    const TPixel ink = Rgb(ColorToPixel(GetSysColor(COLOR_WINDOWTEXT)));
    const TPixel window = Rgb(ColorToPixel(GetSysColor(COLOR_WINDOW)));
    const int ew = level->Width() - 6;
    // Entry i lies at (3, 3 + 20 i); its text rect is (2, 2, ew - 2, 18) and
    // c = 10. The check mark (one pixel right in this look) at (5, 6).
    auto at = [&](int entry, int x, int y) { return Rgb(shot.At(3 + x, 3 + 20 * entry + y)); };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(at(0, 5, 11 - i), ink) << i;
        EXPECT_EQ(at(0, 7, 13 - i), ink) << i;
        EXPECT_EQ(at(0, 11, 9 - i), ink) << i;
    }
    EXPECT_NE(at(0, 5, 12), ink);
    // The radio mark: a filled 6 x 6 circle at (5, 7).
    EXPECT_EQ(at(1, 7, 9), ink);
    EXPECT_EQ(at(1, 8, 10), ink);
    EXPECT_EQ(at(1, 5, 7), Rgb(ColorToPixel(GetSysColor(COLOR_BTNFACE))));  // outside, in the column
    EXPECT_NE(at(1, 11, 10), ink);
    // The submenu arrow at (ew - 9, 6): four vertical lines narrowing to the right.
    for (int y = 6; y < 13; ++y) EXPECT_EQ(at(2, ew - 9, y), ink) << y;
    EXPECT_EQ(at(2, ew - 9, 13), window);
    EXPECT_EQ(at(2, ew - 6, 9), ink);
    EXPECT_EQ(at(2, ew - 6, 8), window);
    EXPECT_EQ(at(2, ew - 5, 9), window);
}

TEST(TksSkinMenu, MorphingEntryFadesToTheHighlightedLook) {
    TMenuFixture f;
    f.Add("A", "&Apple");
    f.Add("B", "&Banana");
    auto* data = dynamic_cast<TksDataSkinMenuItem*>(f.skin.SkinObjects(f.skin.IndexOfObject("menuitem")));
    data->Morphing = true;
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    TksSkinPopupWindow* level = f.Level(0);
    EXPECT_EQ(level->Entries(0)->MorphFactor, 1.0);  // opens highlighted
    level->KeyDown(VK_DOWN);
    EXPECT_EQ(level->Entries(1)->MorphFactor, 0.0);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return level->Entries(1)->MorphFactor == 1.0; }, 2000));
    ASSERT_TRUE(zvtest::PumpUntil([&] { return level->Entries(0)->MorphFactor == 0.0; }, 2000));
    zvtest::Pump(60);
    const TPixelView entries = f.skin.ActivePicture(2)->View();
    const TPixelBuffer shot = zvtest::CaptureClient(level->Handle());
    EXPECT_EQ(Rgb(shot.At(2, 22)), Rgb(entries.At(1, 1)));  // highlighted
    EXPECT_EQ(Rgb(shot.At(2, 2)), Rgb(entries.At(1, 22)));  // normal
}

TEST(TksSkinMenu, RealKeysReachTheLastLevelThroughTheFormsFilter) {
    TMenuFixture f;
    f.Add("A", "&Apple");
    f.Add("B", "&Banana");
    // What the frame does in menu mode: key-downs go to the last level.
    auto previous = Application->OnMessage;
    Application->OnMessage = [&](MSG& msg, bool& handled) {
        if (msg.message == WM_KEYDOWN && f.menu->MenuOpen()) {
            f.menu->Level(f.menu->LevelCount() - 1)->KeyDown(static_cast<WORD>(msg.wParam));
            handled = true;
        }
    };
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    EXPECT_EQ(GetForegroundWindow(), f.form.Handle());  // the level never takes the activation
    zvtest::PressKey(VK_DOWN);
    zvtest::Pump(100);
    EXPECT_EQ(f.Level(0)->SelectedEntry(), 1);
    zvtest::PressKey(VK_RETURN);
    zvtest::Pump(100);
    Application->OnMessage = previous;
    EXPECT_EQ(f.clicked, std::vector<std::string>{"&Banana"});
    EXPECT_EQ(f.form.MenuClosed, 1);
}

TEST(TksSkinMenu, TallerThanTheWorkAreaScrollsFromItsTop) {
    TMenuFixture f;
    for (int i = 0; i < 80; ++i) f.Add("N", "Entry");
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    TksSkinPopupWindow* level = f.Level(0);
    const TRect wa = f.menu->MenuWorkArea();
    ASSERT_TRUE(level->Scrolling());
    EXPECT_FALSE(level->ScrollingByLimit());
    EXPECT_EQ(level->Height(), wa.Height());
    EXPECT_EQ(level->ShowPosition(), Point(151, wa.Top));  // beside the anchor
    // As many entries as fit between the two marker zones.
    EXPECT_EQ(level->VisibleEntryCount(), (wa.Height() - 4 - 20) / 20);
    EXPECT_FALSE(level->Entries(level->VisibleEntryCount())->Shown);
}

TEST(TksSkinMenu, OwnerDrawnItemIsDrawnByItsHandler) {
    TMenuFixture f;
    struct TCall {
        TRect Rect;
        bool Selected;
    };
    std::vector<TCall> calls;
    TMenuItem* item = f.Add("O", "&Owner");
    item->OnDrawItem = [&](TMenuItem*, TCanvas& canvas, const TRect& r, bool selected) {
        calls.push_back({r, selected});
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        canvas.Brush().SetColor(0x0000FF);
        canvas.FillRect(r);
    };
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    TksSkinPopupWindow* level = f.Level(0);
    ASSERT_FALSE(calls.empty());
    const int ew = level->Entries(0)->EntryRect.Width();
    EXPECT_EQ(calls.back().Rect, Rect(2, 2, ew - 1, 18));  // the text rect, grown with the entry
    EXPECT_TRUE(calls.back().Selected);
    const TPixelBuffer shot = zvtest::CaptureClient(level->Handle());
    EXPECT_EQ(Rgb(shot.At(2 + 2, 2 + 2)), Rgb(ColorToPixel(0x0000FF)));
    EXPECT_EQ(Rgb(shot.At(2 + ew - 2, 2 + 17)), Rgb(ColorToPixel(0x0000FF)));
    // Outside the text rect the skin's highlighted look stays.
    EXPECT_EQ(Rgb(shot.At(2, 2)), Rgb(f.skin.ActivePicture(2)->View().At(1, 1)));
}

TEST(TksSkinMenu, TranslucentLevelsUseLayeredWindows) {
    TMenuFixture f;
    f.Add("SF_CLOSE", "&Close");
    f.menu->MenusAlphaBlend = true;
    f.menu->MenusAlphaBlendValue = 150;
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    HWND h = f.Level(0)->Handle();
    EXPECT_NE(GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(h, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 150);
    EXPECT_NE(flags & LWA_ALPHA, 0u);
    // With the animation the first level starts invisible and rises in
    // steps of 2 to the value.
    f.menu->MenusAlphaBlendAnimation = true;
    f.Open(&f.skin, Rect(150, 150, 150, 150));
    h = f.Level(0)->Handle();
    ASSERT_TRUE(GetLayeredWindowAttributes(h, nullptr, &alpha, &flags));
    EXPECT_LT(alpha, 150);
    ASSERT_TRUE(zvtest::PumpUntil(
        [&] { return GetLayeredWindowAttributes(h, nullptr, &alpha, &flags) && alpha == 150; }, 5000));
}

TEST(TksSkinMenu, CommandMayFreeTheFormThatOwnsTheMenu) {
    TksCompressedStoredSkin stored(nullptr);
    TksSkinData skin(nullptr);
    zvtest::LoadProgramSkin(stored, skin);
    for (int way = 0; way < 2; ++way) {
        auto* form = new TMenuForm;
        form->Show();
        auto* menu = new TksSkinMenu(form, form);
        TMenuItem items;
        items.Add("SF_CLOSE", "&Close", scNone, [&](TObject*) {
            delete form;
            form = nullptr;
        });
        menu->PopupMenuItems(nullptr, &skin, false, &items, Rect(150, 150, 150, 150), 0);
        zvtest::Pump(60);
        TksSkinPopupWindow* level = menu->Level(0);
        if (way == 0) {
            level->KeyDown(VK_RETURN);
        } else {
            const TRect r = level->Entries(0)->EntryRect;
            zvtest::Click(level->ShowPosition().X + r.Left + 10, level->ShowPosition().Y + r.Top + 10);
        }
        zvtest::Pump(100);
        EXPECT_EQ(form, nullptr) << way;
        EXPECT_EQ(FindWindowA("ZvSkinMenuLevel", nullptr), nullptr) << way;
    }
}

TEST(TksSkinMenu, FormFreedWhileTheMenuIsOpen) {
    TksCompressedStoredSkin stored(nullptr);
    TksSkinData skin(nullptr);
    zvtest::LoadProgramSkin(stored, skin);
    auto* form = new TMenuForm;
    form->Show();
    auto* menu = new TksSkinMenu(form, form);
    TMenuItem items;
    items.Add("A", "&Apple");
    items.Add("F", "&File")->Add("O", "&Open");
    menu->PopupMenuItems(nullptr, &skin, false, &items, Rect(150, 150, 150, 150), 0);
    menu->Level(0)->KeyDown(VK_DOWN);
    menu->Level(0)->KeyDown(VK_RIGHT);
    ASSERT_EQ(menu->LevelCount(), 2);
    delete form;
    zvtest::Pump(100);
    EXPECT_EQ(FindWindowA("ZvSkinMenuLevel", nullptr), nullptr);
}

TEST(TksSkinMenu, PopupMaskShapesTheLevelWindow) {
    // The program's skin with a popup mask added: black everywhere but the
    // 2 x 2 corners of the 88 x 80 popup picture.
    zvtest::TTempDir dir;
    for (const char* name :
         {"active.bmp", "controls.bmp", "hw.bmp", "main.bmp", "mask.bmp", "menuitems.bmp", "pw.bmp"})
        ASSERT_TRUE(CopyFileA(zvtest::SourcePath(std::string("resources/skin/") + name).c_str(),
                              (dir / name).c_str(), FALSE));
    TPixelBuffer mask(88, 80, MakePixel(0, 0, 0));
    for (int y : {0, 1, 78, 79})
        for (int x : {0, 1, 86, 87}) mask.At(x, y) = MakePixel(255, 255, 255);
    zvtest::SaveBmp(mask, dir / "popupmask.bmp");
    HANDLE in = CreateFileA(zvtest::SourcePath("resources/skin/skin.ini").c_str(), GENERIC_READ,
                            FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(in, INVALID_HANDLE_VALUE);
    std::string ini(GetFileSize(in, nullptr), '\0');
    DWORD got = 0;
    ReadFile(in, ini.data(), static_cast<DWORD>(ini.size()), &got, nullptr);
    CloseHandle(in);
    auto replaceAfter = [&](const std::string& anchor, const std::string& from, const std::string& to) {
        const size_t at = ini.find(from, ini.find(anchor));
        ASSERT_NE(at, std::string::npos) << from;
        ini.replace(at, from.size(), to);
    };
    replaceAfter("[PICTURES]", "activepicturescount=5", "activepicturescount=6");
    replaceAfter("[PICTURES]", "4=controls.bmp", "4=controls.bmp\r\n5=popupmask.bmp");
    replaceAfter("[POPUPWINDOW]", "maskpictureindex=-1", "maskpictureindex=5");
    zvtest::WriteFile(dir / "skin.ini", ini);
    TksCompressedStoredSkin stored(nullptr);
    ASSERT_TRUE(stored.LoadFromSkinFile(dir / "skin.ini"));
    TksSkinData skin(nullptr);
    skin.SetCompressedStoredSkin(&stored);
    ASSERT_EQ(skin.ActivePictureCount(), 6);

    TMenuFixture f;
    f.Add("A", "&Apple");
    f.Add("B", "&Banana");
    f.Open(&skin, Rect(150, 150, 150, 150));
    TksSkinPopupWindow* level = f.Level(0);
    ASSERT_NE(level->WindowMask(), nullptr);
    const int w = level->Width();
    const int h = level->Height();
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(level->Handle(), rgn), ERROR);
    for (int x : {0, 1, w - 2, w - 1})
        for (int y : {0, 1, h - 2, h - 1}) EXPECT_FALSE(PtInRegion(rgn, x, y)) << x << "," << y;
    for (const TPoint p :
         {Point(2, 0), Point(0, 2), Point(w - 3, 1), Point(w / 2, h / 2), Point(w - 1, h - 3)})
        EXPECT_TRUE(PtInRegion(rgn, p.X, p.Y)) << p.X << "," << p.Y;
    DeleteObject(rgn);
}
