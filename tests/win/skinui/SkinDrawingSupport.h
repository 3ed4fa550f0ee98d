// Support for the tests of the skinned drawing.
//
//   TTestForm                   a borderless white form to put controls on
//   ProgramSkin                 the program's own skin, loaded once
//   TMaskSkin                   a small skin with masked elements, written
//                               to a scratch directory and loaded
//   SourcePixel, Expected*      which skin pixel a layout puts at (x, y),
//                               restated from the composition rules
//   ExpectPixels, InWindowRegion, DumpWindow   reading back a control
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

#include "skin/BmpDecoder.h"
#include "skin/SkinData.h"
#include "tests/win/support/SkinTestSupport.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/Forms.h"
#include "vcl/Win32Handles.h"

namespace zvskintest {

using zv::TPixel;
using zv::TPoint;
using zv::TRect;

class TTestForm : public zv::TForm {
public:
    TTestForm() : zv::TForm(nullptr) {
        SetBorderStyle(zv::TFormBorderStyle::bsNone);
        SetBounds(100, 100, 500, 300);
        SetColor(zv::clWhite);
    }
    void ShowActive() {
        Show();
        SetForegroundWindow(Handle());
        zvtest::Pump(100);
    }
};

inline zv::TksSkinData& ProgramSkin() {
    static zv::TksCompressedStoredSkin stored(nullptr);
    static zv::TksSkinData data(nullptr);
    if (data.Empty()) zvtest::LoadProgramSkin(stored, data);
    return data;
}

// The colour of pixel (x, y) of the skin rectangle sr of a picture.
inline TPixel SourcePixel(const zv::TksBitmap& pic, const TRect& sr, int x, int y) {
    return pic.Pixels().At(sr.Left + x, sr.Top + y) & 0xFFFFFFu;
}

struct TNinePartElement {
    TRect SkinRect;
    TRect Client;
    TPoint LT, RT, LB, RB;
};

// [panel] of the program's skin.
inline TNinePartElement ProgramPanelElement() {
    return {zv::Rect(141, 4, 200, 56), zv::Rect(2, 2, 57, 50), {5, 4}, {53, 6}, {6, 45}, {53, 46}};
}

inline int Mod(int a, int n) {
    return ((a % n) + n) % n;
}

// Nine-part composition restated per target pixel: the client rectangle is
// tiled last, before it the eight fixed pieces (the later one wins), before
// them the four tiled bands; untouched pixels stay white.
inline TPixel ExpectedNinePart(const zv::TksBitmap& pic, const TNinePartElement& e, int w, int h, int x,
                               int y) {
    const int sw = e.SkinRect.Width(), sh = e.SkinRect.Height();
    const int dW = w - sw, dH = h - sh;
    const TRect& cl = e.Client;
    const TRect cl2{cl.Left, cl.Top, cl.Right + dW, cl.Bottom + dH};
    auto src = [&](int sx, int sy) { return SourcePixel(pic, e.SkinRect, sx, sy); };
    if (cl2.Contains({x, y}))
        return src(cl.Left + Mod(x - cl.Left, cl.Width()), cl.Top + Mod(y - cl.Top, cl.Height()));
    const TPoint lt = e.LT, rt = e.RT, lb = e.LB, rb = e.RB;
    const TPoint rt2{rt.X + dW, rt.Y}, lb2{lb.X, lb.Y + dH}, rb2{rb.X + dW, rb.Y + dH};
    struct TPiece {
        TRect s, d;
    };
    const TPiece pieces[8] = {
        {{0, 0, lt.X, cl.Top}, {0, 0, lt.X, cl.Top}},
        {{0, cl.Top, cl.Left, lt.Y}, {0, cl.Top, cl.Left, lt.Y}},
        {{rt.X, 0, sw, cl.Top}, {rt2.X, 0, w, cl.Top}},
        {{cl.Right, cl.Top, sw, rt.Y}, {cl2.Right, cl.Top, w, rt.Y}},
        {{0, lb.Y, cl.Left, sh}, {0, lb2.Y, cl.Left, h}},
        {{cl.Left, cl.Bottom, lb.X, sh}, {cl.Left, cl2.Bottom, lb.X, h}},
        {{rb.X, cl.Bottom, sw, sh}, {rb2.X, cl2.Bottom, w, h}},
        {{cl.Right, rb.Y, sw, cl.Bottom}, {cl2.Right, rb2.Y, w, cl2.Bottom}},
    };
    for (int i = 7; i >= 0; --i)
        if (pieces[i].d.Contains({x, y}))
            return src(pieces[i].s.Left + x - pieces[i].d.Left, pieces[i].s.Top + y - pieces[i].d.Top);
    if (y < cl.Top && x >= lt.X && x < rt2.X) return src(lt.X + Mod(x - lt.X, rt.X - lt.X), y);
    if (y >= cl2.Bottom && x >= lb.X && x < rb2.X)
        return src(lb.X + Mod(x - lb.X, rb.X - lb.X), cl.Bottom + y - cl2.Bottom);
    if (x < cl.Left && y >= lt.Y && y < lb2.Y) return src(x, lt.Y + Mod(y - lt.Y, lb.Y - lt.Y));
    if (x >= cl2.Right && y >= rt.Y && y < rb2.Y)
        return src(cl.Right + x - cl2.Right, rt.Y + Mod(y - rt.Y, rb.Y - rt.Y));
    return 0xFFFFFFu;
}

// Three-part along x: fixed left LT.x, fixed right SW - RT.x (drawn last),
// the middle tiled from LT.x.
inline TPixel ExpectedHorizontal(const zv::TksBitmap& pic, const TRect& sr, int ltx, int rtx, int w, int x,
                                 int y) {
    const int sw = sr.Width();
    const int right = sw - rtx;
    if (x >= w - right) return SourcePixel(pic, sr, sw - (w - x), y);
    if (x < ltx) return SourcePixel(pic, sr, x, y);
    return SourcePixel(pic, sr, ltx + Mod(x - ltx, rtx - ltx), y);
}

inline TPixel ExpectedVertical(const zv::TksBitmap& pic, const TRect& sr, int lty, int lby, int h, int x,
                               int y) {
    const int sh = sr.Height();
    const int bottom = sh - lby;
    if (y >= h - bottom) return SourcePixel(pic, sr, x, sh - (h - y));
    if (y < lty) return SourcePixel(pic, sr, x, y);
    return SourcePixel(pic, sr, x, lty + Mod(y - lty, lby - lty));
}

// Saves what a window shows as BMP into ZV_DUMP_DIR when that is set (to
// look at a drawing; convert it to PNG to view).
inline void DumpWindow(HWND hwnd, const std::string& name) {
    const char* dir = std::getenv("ZV_DUMP_DIR");
    if (dir == nullptr) return;
    zvtest::SaveBmp(zvtest::CaptureClient(hwnd), std::string(dir) + "\\" + name + ".bmp");
}

// Every pixel of the control's window against expected(x, y) (RGB only).
template <class F>
void ExpectPixels(zv::TWinControl& c, F expected, const char* what = "") {
    const zv::TPixelBuffer px = zvtest::CaptureClient(c.Handle());
    ASSERT_EQ(px.Width(), c.Width());
    ASSERT_EQ(px.Height(), c.Height());
    int bad = 0;
    for (int y = 0; y < px.Height(); ++y)
        for (int x = 0; x < px.Width(); ++x) {
            const TPixel want = expected(x, y) & 0xFFFFFFu;
            const TPixel got = px.At(x, y) & 0xFFFFFFu;
            if (want == got) continue;
            if (bad < 5)
                ADD_FAILURE() << what << " pixel " << x << "," << y << ": got " << std::hex << got << " want "
                              << want << std::dec;
            ++bad;
        }
    EXPECT_EQ(bad, 0) << what << ": wrong pixels of " << px.Width() * px.Height();
}

// Whether the points lie inside / outside the control's window region.
inline testing::AssertionResult InWindowRegion(zv::TWinControl& c, std::initializer_list<TPoint> inside,
                                               std::initializer_list<TPoint> outside) {
    zv::TRegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(c.Handle(), rgn.Get()) == ERROR)
        return testing::AssertionFailure() << "no window region";
    for (const TPoint& p : inside)
        if (!PtInRegion(rgn.Get(), p.X, p.Y))
            return testing::AssertionFailure() << p.X << "," << p.Y << " is outside";
    for (const TPoint& p : outside)
        if (PtInRegion(rgn.Get(), p.X, p.Y))
            return testing::AssertionFailure() << p.X << "," << p.Y << " is inside";
    return testing::AssertionSuccess();
}

// A hand-made skin: picture 0 (60 x 40) holds a 20 x 10 element at (0, 0),
// a 60 x 30 element at (0, 10) (also three 20 x 10 animation frames of a
// button, whose highlighted picture is at (0, 20)) and two 7 x 7 check
// pieces at (30, 0) and (40, 0) whose bottom-left colour (magenta) is
// transparent; picture 1 is
// the 20 x 10 mask whose white pixels are the three at each of the top-left
// and bottom-right corners; picture 2 is a 7 x 5 background.
class TMaskSkin {
public:
    static constexpr TPixel Magenta = 0xFF00FFu;

    TMaskSkin() {
        zv::TPixelBuffer pic(60, 40), mask(20, 10), bg(7, 5);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                pic.At(x, y) =
                    zv::MakePixel(static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 6), 90);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x) {
                pic.At(30 + x, y) = (x + y) % 3 == 0 ? Magenta : zv::MakePixel(150, 0, 0);
                pic.At(40 + x, y) = (x + y) % 3 == 0 ? Magenta : zv::MakePixel(0, 150, 0);
            }
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x) {
                const bool cut = x + y < 2 || (19 - x) + (9 - y) < 2;
                mask.At(x, y) = cut ? zv::MakePixel(255, 255, 255) : zv::MakePixel(0, 0, 0);
            }
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                bg.At(x, y) =
                    zv::MakePixel(static_cast<std::uint8_t>(30 * x), 200, static_cast<std::uint8_t>(50 * y));
        zv::TksBitmap b;
        b.Assign(pic);
        b.SaveToFile(m_dir / "pic.bmp");
        b.Assign(mask);
        b.SaveToFile(m_dir / "mask.bmp");
        b.Assign(bg);
        b.SaveToFile(m_dir / "bg.bmp");
        const char* const top[] = {"pictureindex=0", "skinrect=0,0,20,10", "lefttoppoint=4,3",
                                   "righttoppoint=16,3", "clientrect=3,3,17,7"};
        const char* const bottom[] = {"leftbottompoint=4,7", "rightbottompoint=16,7"};
        std::string ini;
        auto add = [&](std::initializer_list<const char*> lines) {
            for (const char* l : lines) ini += std::string(l) + "\r\n";
        };
        auto addTop = [&] {
            for (const char* l : top) ini += std::string(l) + "\r\n";
        };
        auto addNine = [&] {
            addTop();
            for (const char* l : bottom) ini += std::string(l) + "\r\n";
        };
        add({"[VERSION]",
             "ver=2",
             "[PICTURES]",
             "picture=",
             "mask=",
             "activepicturescount=3",
             "0=pic.bmp",
             "1=mask.bmp",
             "2=bg.bmp",
             "[FORMINFO]",
             "buttonsoffset=0",
             "[SKINOBJECTS]",
             "count=0",
             "[SKINCONTROLS]",
             "count=10",
             "0=fixedmask:checkradio",
             "1=ninemask:panel",
             "2=hmask:panel",
             "3=plain:panel",
             "4=bgpanel:panel",
             "5=captionpanel:panel",
             "6=badpictures:panel",
             "7=maskbutton:button",
             "8=animbutton:button",
             "9=framepanel:panel"});
        add({"[fixedmask]", "pictureindex=0", "maskpictureindex=1", "skinrect=0,0,20,10"});
        add({"[ninemask]", "maskpictureindex=1"});
        addNine();
        add({"[hmask]", "maskpictureindex=1"});
        addTop();
        add({"[maskbutton]", "maskpictureindex=1"});
        addTop();
        add({"[animbutton]", "activeskinrect=0,20,20,30", "animateskinrect=0,10,60,20", "framecount=3",
             "animateinterval=40"});
        addTop();
        add({"[plain]", "cursorindex=2"});
        addNine();
        add({"[bgpanel]", "bgpictureindex=2"});
        addNine();
        add({"[captionpanel]", "pictureindex=0", "skinrect=0,10,60,40", "lefttoppoint=10,14",
             "righttoppoint=50,14", "leftbottompoint=10,26", "rightbottompoint=50,26",
             "clientrect=2,14,58,28", "captionrect=2,1,58,13", "checkimagerect=30,0,37,7",
             "uncheckimagerect=40,0,47,7", "alignment=taleftjustify", "fontcolor=255"});
        add({"[framepanel]", "pictureindex=0", "skinrect=0,10,60,40", "lefttoppoint=10,14",
             "righttoppoint=50,14", "leftbottompoint=10,26", "rightbottompoint=50,26",
             "clientrect=2,14,58,28", "captionrect=2,1,58,13", "alignment=tacenter", "fontcolor=255",
             "framerect=0,30,20,40", "frametextrect=4,0,16,10", "frameleftoffset=4", "framerightoffset=4",
             "markframerect=50,0,58,8"});
        add({"[badpictures]", "pictureindex=7", "maskpictureindex=9", "bgpictureindex=5",
             "skinrect=0,0,20,10", "lefttoppoint=4,3", "righttoppoint=16,3", "leftbottompoint=4,7",
             "rightbottompoint=16,7", "clientrect=3,3,17,7"});
        zvtest::WriteFile(m_dir / "skin.ini", ini);
        if (!Stored.LoadFromSkinFile(m_dir / "skin.ini"))
            throw std::runtime_error("hand-made skin not packed");
        Data.SetCompressedStoredSkin(&Stored);
        if (Data.Empty()) throw std::runtime_error("hand-made skin not loaded");
    }

    // The "ninemask" / "plain" / "bgpanel" element and the "captionpanel" one.
    static TNinePartElement Small() {
        return {zv::Rect(0, 0, 20, 10), zv::Rect(3, 3, 17, 7), {4, 3}, {16, 3}, {4, 7}, {16, 7}};
    }
    static TNinePartElement Caption() {
        return {zv::Rect(0, 10, 60, 40), zv::Rect(2, 14, 58, 28), {10, 14}, {50, 14}, {10, 26}, {50, 26}};
    }
    [[nodiscard]] const zv::TksBitmap& Picture() const { return *Data.ActivePicture(0); }

private:
    zvtest::TTempDir m_dir;

public:
    zv::TksCompressedStoredSkin Stored{nullptr};
    zv::TksSkinData Data{nullptr};
};

}  // namespace zvskintest
