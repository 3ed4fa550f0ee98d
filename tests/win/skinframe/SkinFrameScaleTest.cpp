// The skinned frame on a form laid out for another display density (the
// form reads its monitor's pixels per inch from a test source when it first
// shows). At 192 every pixel of the frame but the caption's text is the 96
// frame replicated 2 x 2 in each of its looks (active, a button hovered,
// halfway through the fades, inactive), the window's region is the 96
// region doubled and the hit test finds the same parts at doubled points;
// at 144 the window and its borders are 1.5 times as large within a pixel,
// the region follows the mask, the caption's taller text stays in its
// rectangle and the strips join without seams.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "skinui/SkinControls.h"
#include "skinui/SkinFrame.h"
#include "skinui/SkinMessageHook.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/SkinPaint.h"
#include "tests/win/support/MonitorAt.h"
#include "tests/win/support/SkinTestSupport.h"
#include "tests/win/support/WinTestSupport.h"

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
            const zvtest::TMonitorAt monitor(ppi);
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
    [[nodiscard]] TSize WindowSize() {
        const RECT r = WindowRect();
        return {r.right - r.left, r.bottom - r.top};
    }
    // The window's region.
    [[nodiscard]] TRegionHandle Region() {
        TRegionHandle rgn(CreateRectRgn(0, 0, 0, 0));
        if (GetWindowRgn(Handle(), rgn.Get()) == ERROR) return {};
        return rgn;
    }
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

bool InRegion(const TRegionHandle& rgn, int x, int y) {
    return PtInRegion(rgn.Get(), x, y) != FALSE;
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

// The looks of a frame one after the other: active; the close button
// hovered (the mouse on its last device pixel); the caption halfway in its
// fade to the active look and the close button in its morph toward the
// highlight; inactive (the caption faded back, the inactive text colour).
struct TFrameLooks {
    TPixelBuffer Looks[4];
    TRegionHandle Region;
    // The caption's text columns over the caption's height (window pixels).
    TRect Text;
};

TFrameLooks CaptureLooks(TScaledFrameForm& f) {
    TFrameLooks l;
    l.Region = f.Region();
    TksActiveSkinObject* caption = f.Object("caption");
    TksActiveSkinObject* close = f.Object("closebutton");
    const TRect tr = SkinTextRect(f);
    l.Text = f.Frame->Map().ToDevice(
        {tr.Left - 1, caption->SkinPlace.Top, tr.Right + 2, caption->SkinPlace.Bottom});
    l.Looks[0] = f.Capture();
    const RECT w = f.WindowRect();
    const TRect c = close->ObjectRect;
    const int index = f.Frame->IndexOfObject("closebutton");
    zvtest::MouseMoveTo(w.left + c.Right - 1, w.top + c.Bottom - 1);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return f.Frame->HoverIndex() == index; }, 2000));
    zvtest::PumpUntil([&] { return !f.Frame->MorphTimerActive(); }, 2000);
    zvtest::Pump(100);
    l.Looks[1] = f.Capture();
    // The pixel past the button's corner is off it.
    zvtest::MouseMoveTo(w.left + c.Right, w.top + c.Bottom);
    EXPECT_TRUE(
        zvtest::PumpUntil([&] { return f.Frame->HoverIndex() == -1 && !f.Frame->MorphTimerActive(); }, 2000));
    caption->MorphFactor = 0.4;
    close->Active = true;
    close->MorphFactor = 0.6;
    f.Frame->RedrawObject(caption);
    f.Frame->RedrawObject(close);
    // What the objects drew reaches the screen with the next messages.
    zvtest::Pump(100);
    l.Looks[2] = f.Capture();
    close->Active = false;
    close->MorphFactor = 0.0;
    TOtherForm other;
    other.Activate();
    zvtest::PumpUntil([&] { return !f.Frame->MorphTimerActive(); }, 3000);
    zvtest::Pump(100);
    l.Looks[3] = f.Capture();
    return l;
}

// Pixels of `big` in its region, outside `skip` and `client`, that differ
// from the pixel of `small` they stand for at factor 2 (-1 for other sizes).
int Unreplicated(const TPixelBuffer& small, const TPixelBuffer& big, const TRect& skip, const TRect& client,
                 const TRegionHandle& region) {
    if (big.Width() != 2 * small.Width() || big.Height() != 2 * small.Height()) return -1;
    int bad = 0;
    for (int y = 0; y < big.Height(); ++y)
        for (int x = 0; x < big.Width(); ++x) {
            if (skip.Contains({x, y}) || client.Contains({x, y}) || !InRegion(region, x, y)) continue;
            bad += PixelRGB(big.At(x, y)) != PixelRGB(small.At(x / 2, y / 2));
        }
    return bad;
}

// Pixels of r that differ between two captures.
int Changed(const TPixelBuffer& a, const TPixelBuffer& b, const TRect& r) {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) n += PixelRGB(a.At(x, y)) != PixelRGB(b.At(x, y));
    return n;
}

TPoint ClientOrigin(TScaledFrameForm& f) {
    POINT origin{0, 0};
    ClientToScreen(f.Handle(), &origin);
    const RECT r = f.WindowRect();
    return {origin.x - r.left, origin.y - r.top};
}

TRect Doubled(const TRect& r) {
    return {2 * r.Left, 2 * r.Top, 2 * r.Right, 2 * r.Bottom};
}

}  // namespace

TEST(SkinFrameScale, At192EveryLookOfTheFrameIsThe96OneReplicated2x2ExceptTheCaptionText) {
    TScaledFrameForm one(96);
    const TFrameLooks small = CaptureLooks(one);
    ASSERT_TRUE(small.Region);
    const int smallInk = [&] {
        int first = -1, last = -1;
        for (int y = small.Text.Top; y < small.Text.Bottom; ++y)
            for (int x = small.Text.Left; x < small.Text.Right; ++x)
                if (PixelRGB(small.Looks[0].At(x, y)) == MakePixel(255, 255, 255)) {
                    if (first == -1) first = y;
                    last = y;
                }
        return first == -1 ? 0 : last - first + 1;
    }();
    one.Hide();

    TScaledFrameForm two(192);
    ASSERT_EQ(two.PixelsPerInch(), 192);
    // The window, its client area and every object's place doubled; the
    // layout itself stays in skin pixels.
    EXPECT_EQ(two.WindowSize().cx, 842);
    EXPECT_EQ(two.WindowSize().cy, 542);
    EXPECT_EQ(ClientOrigin(two).X, 10);
    EXPECT_EQ(ClientOrigin(two).Y, 48);
    EXPECT_EQ(two.ClientWidth(), 2 * one.ClientWidth());
    EXPECT_EQ(two.ClientHeight(), 2 * one.ClientHeight());
    EXPECT_EQ(two.Frame->TargetClientRect(), Doubled(one.Frame->TargetClientRect()));
    EXPECT_EQ(two.Frame->Layout().ClientRect, one.Frame->Layout().ClientRect);
    for (const char* n : {"caption", "closebutton", "sysmenubutton"}) {
        EXPECT_EQ(two.Object(n)->ObjectRect, Doubled(one.Object(n)->ObjectRect)) << n;
        EXPECT_EQ(two.Object(n)->SkinPlace, one.Object(n)->ObjectRect) << n;
    }
    const TFrameLooks big = CaptureLooks(two);
    ASSERT_TRUE(big.Region);
    EXPECT_EQ(big.Text, Doubled(small.Text));

    // Every look: each pixel outside the client area and the caption's text
    // is the 96 pixel it stands for. The looks differ from each other where
    // the close button and the caption are, so each comparison saw its own.
    const TRect client = two.Frame->TargetClientRect();
    const char* names[4] = {"active", "hovered", "fading", "inactive"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Unreplicated(small.Looks[i], big.Looks[i], big.Text, client, big.Region), 0) << names[i];
    const TRect close = two.Object("closebutton")->ObjectRect;
    EXPECT_GT(Changed(big.Looks[0], big.Looks[1], close), 40);
    EXPECT_GT(Changed(big.Looks[1], big.Looks[2], close), 40);
    EXPECT_GT(Changed(big.Looks[2], big.Looks[3], close), 40);
    const TRect cap = two.Object("caption")->ObjectRect;
    EXPECT_GT(Changed(big.Looks[0], big.Looks[2], {cap.Left, cap.Top, big.Text.Left, cap.Bottom}), 40);

    // The region is the 96 region doubled; the hit test answers for device
    // points what it answers at 96 for the skin point they lie on.
    int regionBad = 0, hitBad = 0;
    for (int y = 0; y < 542; ++y)
        for (int x = 0; x < 842; ++x) {
            regionBad += InRegion(big.Region, x, y) != InRegion(small.Region, x / 2, y / 2);
            if ((x + y) % 2 == 0) hitBad += two.Frame->HitTest(x, y) != one.Frame->HitTest(x / 2, y / 2);
        }
    EXPECT_EQ(regionBad, 0);
    EXPECT_EQ(hitBad, 0);
    EXPECT_EQ(two.Frame->HitTest(2 * 406, 2 * 12), HTOBJECT_CODE);  // the close button

    // The caption's text: the platform's font at twice the height (not the
    // small text stretched), in the active colour.
    int first = -1, last = -1;
    for (int y = big.Text.Top; y < big.Text.Bottom; ++y)
        for (int x = big.Text.Left; x < big.Text.Right; ++x)
            if (PixelRGB(big.Looks[0].At(x, y)) == MakePixel(255, 255, 255)) {
                if (first == -1) first = y;
                last = y;
            }
    EXPECT_GT(smallInk, 6);
    EXPECT_NEAR(last - first + 1, 2 * smallInk, 4);

    // A press on the close button dragged off before the release keeps the
    // window: press and release find the object through the same map.
    const RECT w = two.WindowRect();
    const int index = two.Frame->IndexOfObject("closebutton");
    SetForegroundWindow(two.Handle());
    SetActiveWindow(two.Handle());
    zvtest::MouseMoveTo(w.left + close.Left + 1, w.top + close.Top + 1);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return two.Frame->HoverIndex() == index; }, 2000));
    zvtest::MouseButton(true);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return two.Frame->PressedIndex() == index; }, 2000));
    zvtest::MouseMoveTo(w.left + 400, w.top + 300);
    zvtest::Pump(150);
    zvtest::MouseButton(false);
    zvtest::Pump(200);
    EXPECT_EQ(two.Frame->PressedIndex(), -1);
    EXPECT_TRUE(IsWindowVisible(two.Handle()));
}

TEST(SkinFrameScale, At144SizesAreOneAndAHalfTheRegionFollowsTheMaskAndTheTextFits) {
    TScaledFrameForm plain(96);
    const TPixelBuffer small = plain.Capture();
    const TRegionHandle smallRgn = plain.Region();
    ASSERT_TRUE(smallRgn);
    // The text's own box at 96: what changes when the caption goes.
    plain.SetCaption("");
    zvtest::Pump(200);
    const TRect smallInk = ChangedBox(plain.Capture(), small);
    ASSERT_GT(smallInk.Width(), 50);
    plain.Hide();

    TScaledFrameForm f(144);
    ASSERT_EQ(f.PixelsPerInch(), 144);
    const TSize size = f.WindowSize();
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
    const TRegionHandle rgn = f.Region();
    ASSERT_TRUE(rgn);
    int checked = 0, regionBad = 0;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x) {
            const int sx = x * 421 / size.cx, sy = y * 271 / size.cy;
            const bool in = InRegion(smallRgn, sx, sy);
            bool same = true;
            for (int dy = -1; dy <= 1 && same; ++dy)
                for (int dx = -1; dx <= 1 && same; ++dx) same = InRegion(smallRgn, sx + dx, sy + dy) == in;
            if (!same) continue;
            ++checked;
            if (InRegion(rgn, x, y) != in) ++regionBad;
        }
    EXPECT_GT(checked, size.cx * size.cy * 9 / 10);
    EXPECT_EQ(regionBad, 0);
    // The cut corners are there: the window's corner pixels are out.
    EXPECT_FALSE(InRegion(rgn, 0, 0));
    EXPECT_FALSE(InRegion(rgn, size.cx - 1, size.cy - 1));

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
            if (client.Contains({x, y}) || caption.Contains({x, y}) || !InRegion(rgn, x, y)) continue;
            const int x0 = std::max(x * 421 / size.cx - 1, 0),
                      x1 = std::min((x + 1) * 421 / size.cx + 1, 420);
            const int y0 = std::max(y * 271 / size.cy - 1, 0),
                      y1 = std::min((y + 1) * 271 / size.cy + 1, 270);
            int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
            bool inside = true;
            for (int sy = y0; sy <= y1 && inside; ++sy)
                for (int sx = x0; sx <= x1 && inside; ++sx) {
                    inside = InRegion(smallRgn, sx, sy);
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
    // (against the same frame without a caption) lie within the text
    // rectangle's columns on the device, placed against it as at 96, and
    // 1.5 times as large as at 96 within two pixels.
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
}
