// The skinned frame on a form laid out for another display density (the
// form reads its monitor's pixels per inch from a test source when it first
// shows). At 192 every pixel of the frame but the caption's text is the 96
// frame replicated 2 x 2, the window's region is the 96 region doubled and
// the hit test finds the same parts at doubled points; at 144 the window
// and its borders are 1.5 times as large within a pixel, the region follows
// the mask, the caption's taller text stays in its rectangle and the
// strips join without seams.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "skinui/SkinControls.h"
#include "skinui/SkinFrame.h"
#include "skinui/SkinMessageHook.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/SkinPaint.h"
#include "tests/win/support/SkinTestSupport.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/PixelsPerInch.h"

using namespace zv;

namespace {

TksSkinData& ProgramSkin() {
    // Never freed: the skin outlives every window of the run.
    [[maybe_unused]] static TksCompressedStoredSkin* stored = nullptr;
    static TksSkinData* data = nullptr;
    if (data == nullptr) {
        InstallFormSkinMessageHook();
        auto s = std::make_unique<TksCompressedStoredSkin>(nullptr);
        auto d = std::make_unique<TksSkinData>(nullptr);
        zvtest::LoadProgramSkin(*s, *d);
        stored = s.release();
        data = d.release();
    }
    return *data;
}

int g_testPpi = 96;

int TestPixelsPerInch(HWND) {
    return g_testPpi;
}

// Every form shown in its scope reads `ppi` as its monitor's density.
class TMonitorAt {
public:
    explicit TMonitorAt(int ppi) : m_previous(SetPixelsPerInchSource(&TestPixelsPerInch)) { g_testPpi = ppi; }
    ~TMonitorAt() {
        SetPixelsPerInchSource(m_previous);
        g_testPpi = 96;
    }
    TMonitorAt(const TMonitorAt&) = delete;
    TMonitorAt& operator=(const TMonitorAt&) = delete;

private:
    TPixelsPerInchSource m_previous;
};

// The program's main window frame (415 x 246 client at 96), skinned, shown
// active at `ppi` with the mouse off it and the caption's fade over.
class TScaledFrameForm : public TForm {
public:
    explicit TScaledFrameForm(int ppi, const char* caption = "Zorvane Player Installation") : TForm(nullptr) {
        SetCaption(caption);
        SetBorderStyle(TFormBorderStyle::bsSingle);
        SetBorderIcons(biSystemMenu);
        Frame = new TksSkinFrame(this);
        Frame->SetBorderIcons(biSystemMenu);
        SetClientSize(415, 246);
        SetColor(2960685);
        SetBounds(60, 40, Width(), Height());
        Frame->SetSkinData(&ProgramSkin());
        zvtest::MouseMoveTo(1270, 1010);
        {
            const TMonitorAt monitor(ppi);
            Show();
        }
        SetForegroundWindow(Handle());
        SetActiveWindow(Handle());
        zvtest::Pump(200);
        zvtest::PumpUntil([this] { return !Frame->MorphTimerActive(); }, 3000);
        zvtest::Pump(100);
    }
    [[nodiscard]] RECT WindowRect() {
        RECT r;
        GetWindowRect(Handle(), &r);
        return r;
    }
    [[nodiscard]] TPixelBuffer Capture() { return zvtest::CaptureScreenRect(WindowRect()); }
    [[nodiscard]] TksActiveSkinObject* Object(const std::string& name) {
        return Frame->FrameObjects(Frame->IndexOfObject(name));
    }
    [[nodiscard]] bool InRegion(HRGN rgn, int x, int y) const { return PtInRegion(rgn, x, y) != FALSE; }
    TksSkinFrame* Frame;
};

// Another window of the program, to take the activation away.
class TOtherForm : public TForm {
public:
    TOtherForm() : TForm(nullptr) {
        SetBorderStyle(TFormBorderStyle::bsNone);
        SetBounds(1100, 900, 120, 80);
    }
    void Activate() {
        Show();
        SetForegroundWindow(Handle());
        SetActiveWindow(Handle());
        zvtest::Pump(300);
    }
};

// The window's region (the caller deletes it).
HRGN RegionOf(HWND h) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(h, rgn) == ERROR) {
        DeleteObject(rgn);
        return nullptr;
    }
    return rgn;
}

// The box of the pixels that differ between two captures of a window.
TRect ChangedBox(const TPixelBuffer& a, const TPixelBuffer& b) {
    TRect box{b.Width(), b.Height(), -1, -1};
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            if (PixelRGB(a.At(x, y)) == PixelRGB(b.At(x, y))) continue;
            box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                   std::max(box.Bottom, y + 1)};
        }
    return box;
}

// The caption's text rectangle in the window's skin pixels.
TRect SkinTextRect(TScaledFrameForm& f) {
    auto* caption = dynamic_cast<TksSkinCaptionObject*>(f.Object("caption"));
    if (caption == nullptr) return {};
    return OffsetRect(caption->TextRectangle(), caption->SkinPlace.Left, caption->SkinPlace.Top);
}

// The frame's four strips for a w x h window at 96, as the skin's rules
// compose them from the main picture (no objects).
TPixelBuffer FrameStrips96(int w, int h) {
    const TksSkinData& s = ProgramSkin();
    const TksDataSkinFormInfo& fi = s.FormInfo();
    const TSkinGeometry src{fi.ClientRect, fi.LeftTopPoint, fi.RightTopPoint, fi.LeftBottomPoint,
                            fi.RightBottomPoint};
    const TSkinGeometry dst = ResizeSkinGeometry(src, w - s.Picture().Width(), h - s.Picture().Height());
    TFrameStrips strips;
    ComposeFrameStrips(s.Picture().View(), src, dst, w, h, {}, strips);
    TPixelBuffer out(w, h, 0);
    CopyBlock(out.View(), 0, 0, strips.Top.View(), strips.Top.View().Bounds());
    CopyBlock(out.View(), 0, strips.Top.Height(), strips.Left.View(), strips.Left.View().Bounds());
    CopyBlock(out.View(), w - strips.Right.Width(), strips.Top.Height(), strips.Right.View(),
              strips.Right.View().Bounds());
    CopyBlock(out.View(), 0, h - strips.Bottom.Height(), strips.Bottom.View(), strips.Bottom.View().Bounds());
    return out;
}

TSize WindowSizeOf(TScaledFrameForm& f) {
    const RECT r = f.WindowRect();
    return {r.right - r.left, r.bottom - r.top};
}

// The client area's origin in window pixels.
TPoint ClientOrigin(TScaledFrameForm& f) {
    POINT origin{0, 0};
    ClientToScreen(f.Handle(), &origin);
    const RECT r = f.WindowRect();
    return {origin.x - r.left, origin.y - r.top};
}

}  // namespace

TEST(SkinFrameScale, At192TheFrameIsThe96FrameReplicated2x2ExceptTheCaptionText) {
    TScaledFrameForm one(96);
    const TPixelBuffer small = one.Capture();
    HRGN smallRgn = RegionOf(one.Handle());
    ASSERT_NE(smallRgn, nullptr);
    const TRect smallText = SkinTextRect(one);
    const TRect smallCaption = one.Object("caption")->ObjectRect;
    one.Hide();

    TScaledFrameForm two(192);
    ASSERT_EQ(two.PixelsPerInch(), 192);
    const TPixelBuffer big = two.Capture();
    HRGN bigRgn = RegionOf(two.Handle());
    ASSERT_NE(bigRgn, nullptr);

    // The window, its client area and every object's place doubled; the
    // layout itself stays in skin pixels.
    EXPECT_EQ(WindowSizeOf(two).cx, 842);
    EXPECT_EQ(WindowSizeOf(two).cy, 542);
    EXPECT_EQ(two.ClientWidth(), 2 * one.ClientWidth());
    EXPECT_EQ(two.ClientHeight(), 2 * one.ClientHeight());
    EXPECT_EQ(ClientOrigin(two).X, 10);
    EXPECT_EQ(ClientOrigin(two).Y, 48);
    EXPECT_EQ(two.Frame->TargetClientRect(), Rect(10, 48, 832, 532));
    EXPECT_EQ(two.Frame->Layout().ClientRect, one.Frame->Layout().ClientRect);
    for (const char* n : {"caption", "closebutton", "sysmenubutton"}) {
        const TRect a = one.Object(n)->ObjectRect;
        EXPECT_EQ(two.Object(n)->ObjectRect, Rect(2 * a.Left, 2 * a.Top, 2 * a.Right, 2 * a.Bottom)) << n;
        EXPECT_EQ(two.Object(n)->SkinPlace, a) << n;
    }

    // Every pixel outside the client area and the caption's text is the 96
    // pixel it stands for; inside the region and outside it alike.
    const TRect client = two.Frame->TargetClientRect();
    // The text with its shadow: the text rectangle's columns (and a skin
    // pixel more on each side) over the caption's height.
    const TRect text{2 * (smallText.Left - 1), 2 * smallCaption.Top, 2 * (smallText.Right + 2),
                     2 * smallCaption.Bottom};
    int compared = 0, bad = 0, regionBad = 0;
    for (int y = 0; y < 542; ++y)
        for (int x = 0; x < 842; ++x) {
            const bool inBig = two.InRegion(bigRgn, x, y);
            if (inBig != one.InRegion(smallRgn, x / 2, y / 2)) {
                if (regionBad < 5) ADD_FAILURE() << "region differs at " << x << "," << y;
                ++regionBad;
            }
            if (!inBig || client.Contains({x, y}) || text.Contains({x, y})) continue;
            ++compared;
            if (PixelRGB(big.At(x, y)) != PixelRGB(small.At(x / 2, y / 2))) {
                if (bad < 5) ADD_FAILURE() << "frame pixel " << x << "," << y;
                ++bad;
            }
        }
    EXPECT_GT(compared, 4 * 8000);
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(regionBad, 0);

    // The caption's text: drawn, in the active colour, within its doubled
    // rectangle, and taller than at 96 (the platform's font at twice the
    // height, not the small text stretched).
    auto whiteRows = [](const TPixelBuffer& px, const TRect& r) {
        int first = -1, last = -1;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                if (PixelRGB(px.At(x, y)) == MakePixel(255, 255, 255)) {
                    if (first == -1) first = y;
                    last = y;
                }
        return first == -1 ? 0 : last - first + 1;
    };
    const int smallInk = whiteRows(small, {text.Left / 2, text.Top / 2, text.Right / 2, text.Bottom / 2});
    const int bigInk = whiteRows(big, text);
    EXPECT_GT(smallInk, 6);
    EXPECT_GE(bigInk, 2 * smallInk - 4);
    EXPECT_LE(bigInk, 2 * smallInk + 4);

    // The hit test answers for device points what it answers at 96 for the
    // skin point they lie on: the same object at doubled points.
    int hitBad = 0;
    for (int y = 0; y < 271; ++y)
        for (int x = 0; x < 421; ++x) {
            const LRESULT want = one.Frame->HitTest(x, y);
            for (const TPoint p : {TPoint{2 * x, 2 * y}, TPoint{2 * x + 1, 2 * y + 1}}) {
                if (two.Frame->HitTest(p.X, p.Y) != want) {
                    if (hitBad < 5) ADD_FAILURE() << "hit test at " << p.X << "," << p.Y;
                    ++hitBad;
                }
            }
        }
    EXPECT_EQ(hitBad, 0);
    EXPECT_EQ(one.Frame->HitTest(406, 12), HTOBJECT_CODE);  // the close button
    DeleteObject(smallRgn);
    DeleteObject(bigRgn);
}

// The looks between two states and the inactive look: the caption halfway
// in its fade to the active look and the close button in its morph toward
// the highlight, then the window deactivated (the caption fades back to
// its normal look with the inactive text colour).
struct TFadeLooks {
    TPixelBuffer Fading;
    TPixelBuffer Inactive;
    TRect Text;  // the caption's text columns over the caption's height
};

TFadeLooks CaptureFadeLooks(TScaledFrameForm& f) {
    TFadeLooks looks;
    TksActiveSkinObject* caption = f.Object("caption");
    TksActiveSkinObject* close = f.Object("closebutton");
    const TRect tr = SkinTextRect(f);
    looks.Text = f.Frame->Map().ToDevice(
        {tr.Left - 1, caption->SkinPlace.Top, tr.Right + 2, caption->SkinPlace.Bottom});
    caption->MorphFactor = 0.4;
    close->Active = true;
    close->MorphFactor = 0.6;
    f.Frame->RedrawObject(caption);
    f.Frame->RedrawObject(close);
    // What the objects drew reaches the screen with the next messages.
    zvtest::Pump(100);
    looks.Fading = f.Capture();
    close->Active = false;
    close->MorphFactor = 0.0;
    TOtherForm other;
    other.Activate();
    zvtest::PumpUntil([&] { return !f.Frame->MorphTimerActive(); }, 3000);
    zvtest::Pump(100);
    looks.Inactive = f.Capture();
    return looks;
}

// Pixels of `big` outside `skip` and the client area that differ from the
// pixel of `small` they stand for at factor 2; -1 for other sizes.
int Unreplicated(const TPixelBuffer& small, const TPixelBuffer& big, const TRect& skip, const TRect& client,
                 HRGN region) {
    if (big.Width() != 2 * small.Width() || big.Height() != 2 * small.Height()) return -1;
    int bad = 0;
    for (int y = 0; y < big.Height(); ++y)
        for (int x = 0; x < big.Width(); ++x) {
            if (skip.Contains({x, y}) || client.Contains({x, y}) || !PtInRegion(region, x, y)) continue;
            bad += PixelRGB(big.At(x, y)) != PixelRGB(small.At(x / 2, y / 2));
        }
    return bad;
}

TEST(SkinFrameScale, At192TheFadesAndTheInactiveLookAreThe96OnesReplicated) {
    TScaledFrameForm one(96);
    const TFadeLooks small = CaptureFadeLooks(one);
    one.Hide();
    TScaledFrameForm two(192);
    const TFadeLooks big = CaptureFadeLooks(two);
    HRGN rgn = RegionOf(two.Handle());
    ASSERT_NE(rgn, nullptr);
    EXPECT_EQ(big.Text,
              Rect(2 * small.Text.Left, 2 * small.Text.Top, 2 * small.Text.Right, 2 * small.Text.Bottom));
    const TRect client = two.Frame->TargetClientRect();
    EXPECT_EQ(Unreplicated(small.Fading, big.Fading, big.Text, client, rgn), 0) << "fading";
    EXPECT_EQ(Unreplicated(small.Inactive, big.Inactive, big.Text, client, rgn), 0) << "inactive";
    // The three looks differ where the caption and the button are: the
    // comparisons above saw the fades, not one look three times.
    const TRect closeRect = two.Object("closebutton")->ObjectRect;
    int fadeVsInactive = 0;
    for (int y = closeRect.Top; y < closeRect.Bottom; ++y)
        for (int x = closeRect.Left; x < closeRect.Right; ++x)
            fadeVsInactive += PixelRGB(big.Fading.At(x, y)) != PixelRGB(big.Inactive.At(x, y));
    EXPECT_GT(fadeVsInactive, 40);
    const TRect cap = two.Object("caption")->ObjectRect;
    int captionChanged = 0;
    for (int y = cap.Top; y < cap.Bottom; ++y)
        for (int x = cap.Left; x < big.Text.Left; ++x)
            captionChanged += PixelRGB(big.Fading.At(x, y)) != PixelRGB(big.Inactive.At(x, y));
    EXPECT_GT(captionChanged, 40);
    DeleteObject(rgn);
}

TEST(SkinFrameScale, At192TheCloseButtonHoversAndPressesAtItsDoubledPlace) {
    // The hovered close button at 96, to compare with.
    TScaledFrameForm one(96);
    const TRect smallClose = one.Object("closebutton")->ObjectRect;
    const RECT w1 = one.WindowRect();
    zvtest::MouseMoveTo(w1.left + smallClose.Left + 7, w1.top + smallClose.Top + 7);
    ASSERT_TRUE(zvtest::PumpUntil(
        [&] { return one.Frame->HoverIndex() == one.Frame->IndexOfObject("closebutton"); }, 2000));
    zvtest::PumpUntil([&] { return !one.Frame->MorphTimerActive(); }, 2000);
    zvtest::Pump(100);
    const TPixelBuffer smallHover = one.Capture();
    zvtest::MouseMoveTo(1270, 1010);
    zvtest::Pump(200);
    one.Hide();

    TScaledFrameForm two(192);
    const int close = two.Frame->IndexOfObject("closebutton");
    const TRect bigClose = two.Object("closebutton")->ObjectRect;
    ASSERT_EQ(bigClose,
              Rect(2 * smallClose.Left, 2 * smallClose.Top, 2 * smallClose.Right, 2 * smallClose.Bottom));
    const RECT w2 = two.WindowRect();
    // The last device pixel of the button still finds it; the one past it
    // does not.
    zvtest::MouseMoveTo(w2.left + bigClose.Right - 1, w2.top + bigClose.Bottom - 1);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return two.Frame->HoverIndex() == close; }, 2000));
    zvtest::PumpUntil([&] { return !two.Frame->MorphTimerActive(); }, 2000);
    zvtest::Pump(100);
    const TPixelBuffer bigHover = two.Capture();
    int bad = 0;
    for (int y = bigClose.Top; y < bigClose.Bottom; ++y)
        for (int x = bigClose.Left; x < bigClose.Right; ++x)
            bad += PixelRGB(bigHover.At(x, y)) != PixelRGB(smallHover.At(x / 2, y / 2));
    EXPECT_EQ(bad, 0) << "the hover look replicated";
    // And it differs from the normal look there (the hover shows).
    const TPixelBuffer normal = [&] {
        zvtest::MouseMoveTo(w2.left + bigClose.Right, w2.top + bigClose.Bottom);
        zvtest::PumpUntil([&] { return two.Frame->HoverIndex() == -1 && !two.Frame->MorphTimerActive(); },
                          2000);
        zvtest::Pump(100);
        return two.Capture();
    }();
    EXPECT_EQ(two.Frame->HoverIndex(), -1);
    int changed = 0;
    for (int y = bigClose.Top; y < bigClose.Bottom; ++y)
        for (int x = bigClose.Left; x < bigClose.Right; ++x)
            changed += PixelRGB(normal.At(x, y)) != PixelRGB(bigHover.At(x, y));
    EXPECT_GT(changed, 40);

    // A press on the button, dragged off before the release, keeps the
    // window (the press and release find the object in skin pixels).
    zvtest::MouseMoveTo(w2.left + bigClose.Left + 1, w2.top + bigClose.Top + 1);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return two.Frame->HoverIndex() == close; }, 2000));
    zvtest::MouseButton(true);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return two.Frame->PressedIndex() == close; }, 2000));
    zvtest::MouseMoveTo(w2.left + 400, w2.top + 300);
    zvtest::Pump(150);
    zvtest::MouseButton(false);
    zvtest::Pump(200);
    EXPECT_EQ(two.Frame->PressedIndex(), -1);
    EXPECT_TRUE(IsWindowVisible(two.Handle()));
}

TEST(SkinFrameScale, At144SizesAreOneAndAHalfTheRegionFollowsTheMaskAndTheTextFits) {
    TScaledFrameForm plain(96);
    const TPixelBuffer small = plain.Capture();
    HRGN smallRgn = RegionOf(plain.Handle());
    ASSERT_NE(smallRgn, nullptr);
    // The text's own box at 96: what changes when the caption goes.
    plain.SetCaption("");
    zvtest::Pump(200);
    const TRect smallInk = ChangedBox(plain.Capture(), small);
    ASSERT_GT(smallInk.Width(), 50);
    plain.Hide();

    TScaledFrameForm f(144);
    ASSERT_EQ(f.PixelsPerInch(), 144);
    const TSize size = WindowSizeOf(f);
    EXPECT_NEAR(size.cx, 421 * 3 / 2, 1);
    EXPECT_NEAR(size.cy, 271 * 3 / 2, 1);
    // The borders (5, 24 on the left and top, 5 and 5 on the right and
    // bottom at 96) 1.5 times within a pixel; the client area is the window
    // less them.
    const TPoint origin = ClientOrigin(f);
    EXPECT_NEAR(origin.X, 7.5, 1);
    EXPECT_NEAR(origin.Y, 36, 1);
    const TRect client = f.Frame->TargetClientRect();
    EXPECT_EQ(client.Left, origin.X);
    EXPECT_EQ(client.Top, origin.Y);
    EXPECT_EQ(client.Width(), f.ClientWidth());
    EXPECT_EQ(client.Height(), f.ClientHeight());
    EXPECT_NEAR(size.cx - client.Right, 7.5, 1);
    EXPECT_NEAR(size.cy - client.Bottom, 7.5, 1);
    const TRect close = f.Object("closebutton")->ObjectRect;
    EXPECT_NEAR(close.Width(), 21, 1);
    EXPECT_NEAR(close.Left, 399 * 1.5, 1);

    // The region follows the mask: wherever the 96 region is the same all
    // around the skin pixel a device pixel shows, the 144 region agrees.
    HRGN rgn = RegionOf(f.Handle());
    ASSERT_NE(rgn, nullptr);
    int checked = 0, regionBad = 0;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            const int sx = x * 421 / size.cx, sy = y * 271 / size.cy;
            const bool in = f.InRegion(smallRgn, sx, sy);
            bool same = true;
            for (int dy = -1; dy <= 1 && same; ++dy)
                for (int dx = -1; dx <= 1 && same; ++dx) same = f.InRegion(smallRgn, sx + dx, sy + dy) == in;
            if (!same) continue;
            ++checked;
            if (f.InRegion(rgn, x, y) != in) ++regionBad;
        }
    EXPECT_GT(checked, size.cx * size.cy * 9 / 10);
    EXPECT_EQ(regionBad, 0);
    // The cut corners are there: the window's corner pixels are out.
    EXPECT_FALSE(f.InRegion(rgn, 0, 0));
    EXPECT_FALSE(f.InRegion(rgn, size.cx - 1, size.cy - 1));

    // No seams: the frame's pictures are textured, so few areas are flat;
    // instead every device pixel must take its colour from the skin pixels
    // it covers (a filtered pixel lies between their colours, channel by
    // channel): those the 96 window shows, or the frame strips' own below
    // an object (a device row an object's edge leaves may show a third of
    // the strip's row under it). A gap between strips, a row drawn twice
    // from the wrong piece or a tile's edge blended with its neighbour in
    // the picture would not. The caption object, which holds the text, is
    // left aside.
    const TPixelBuffer strips = FrameStrips96(421, 271);
    const TPixelBuffer big = f.Capture();
    const TRect caption = f.Object("caption")->ObjectRect;
    int covered = 0, bad = 0;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            if (client.Contains({x, y}) || caption.Contains({x, y}) || !f.InRegion(rgn, x, y)) continue;
            const int x0 = std::max(x * 421 / size.cx - 1, 0),
                      x1 = std::min((x + 1) * 421 / size.cx + 1, 420);
            const int y0 = std::max(y * 271 / size.cy - 1, 0),
                      y1 = std::min((y + 1) * 271 / size.cy + 1, 270);
            int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
            bool inside = true;
            for (int sy = y0; sy <= y1 && inside; ++sy)
                for (int sx = x0; sx <= x1 && inside; ++sx) {
                    inside = f.InRegion(smallRgn, sx, sy);
                    for (const TPixel p : {small.At(sx, sy), strips.At(sx, sy)}) {
                        const int ch[3] = {PixelR(p), PixelG(p), PixelB(p)};
                        for (int k = 0; k < 3; ++k) {
                            lo[k] = std::min(lo[k], ch[k]);
                            hi[k] = std::max(hi[k], ch[k]);
                        }
                    }
                }
            if (!inside) continue;
            ++covered;
            const TPixel p = big.At(x, y);
            const int ch[3] = {PixelR(p), PixelG(p), PixelB(p)};
            bool ok = true;
            for (int k = 0; k < 3; ++k) ok = ok && ch[k] >= lo[k] - 1 && ch[k] <= hi[k] + 1;
            if (!ok) {
                if (bad < 5) ADD_FAILURE() << "seam at " << x << "," << y;
                ++bad;
            }
        }
    EXPECT_GT(covered, 15000);
    EXPECT_EQ(bad, 0);

    // The caption's text fits its rectangle: the pixels the text changes
    // (against the same frame without a caption) lie across the text
    // rectangle's columns on the device, whole (not cut by the caption's
    // edges), 1.5 times as tall as at 96 within two pixels.
    const TRect textRect = f.Frame->Map().ToDevice(SkinTextRect(f));
    f.SetCaption("");
    zvtest::Pump(200);
    const TRect ink = ChangedBox(f.Capture(), big);
    ASSERT_GT(ink.Width(), 50);
    EXPECT_GE(ink.Left, textRect.Left - 2);
    EXPECT_LE(ink.Right, textRect.Right + 2);
    // Centred on the text rectangle as at 96, at 1.5 times the offset.
    const TRect smallTextRect = plain.Frame->Map().ToDevice(SkinTextRect(plain));
    const int smallOffset = smallInk.Top + smallInk.Bottom - smallTextRect.Top - smallTextRect.Bottom;
    const int offset = ink.Top + ink.Bottom - textRect.Top - textRect.Bottom;
    EXPECT_NEAR(offset, smallOffset * 1.5, 3) << smallOffset;
    EXPECT_GE(ink.Top, caption.Top);
    EXPECT_LE(ink.Bottom, caption.Bottom);
    EXPECT_NEAR(ink.Height(), smallInk.Height() * 1.5, 2);
    EXPECT_NEAR(ink.Width(), smallInk.Width() * 1.5, smallInk.Width() / 10 + 2);
    DeleteObject(smallRgn);
    DeleteObject(rgn);
}
