// The skinned window frame with the program's own skin: sizes, object
// places, the frame's pixels read back from the screen, the caption's looks,
// the window region, hit tests, the close button, hover, activation, keys,
// the caption drag and the system menu, driven by real input.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "base/Streams.h"
#include "base/Strings.h"
#include "skinui/SkinControls.h"
#include "skinui/SkinFrame.h"
#include "skinui/SkinMessageHook.h"
#include "skinui/SkinPopupMenu.h"
#include "skinui/SkinWin32.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/SkinPaint.h"
#include "tests/win/support/SkinTestSupport.h"
#include "tests/win/support/WinTestSupport.h"

using namespace zv;

namespace {

constexpr TRect kClose{399, 5, 413, 19};
constexpr TRect kSysMenu{6, 5, 20, 19};
constexpr TRect kCaption{24, 3, 348, 21};

// One skin for the whole run, as the program has one.
TksSkinData& ProgramSkin() {
    // Never freed: the skin outlives every window of the run.
    [[maybe_unused]] static TksCompressedStoredSkin* stored = nullptr;
    static TksSkinData* data = nullptr;
    if (data == nullptr) {
        InstallFormSkinMessageHook();
        // Kept only once loaded: a failed load is reported by every test
        // that needs the skin, not hidden behind an empty one.
        auto s = std::make_unique<TksCompressedStoredSkin>(nullptr);
        auto d = std::make_unique<TksSkinData>(nullptr);
        zvtest::LoadProgramSkin(*s, *d);
        stored = s.release();
        data = d.release();
    }
    return *data;
}

class TFrameForm : public TForm {
public:
    explicit TFrameForm(int clientWidth = 415, int clientHeight = 246,
                        TFormBorderStyle style = TFormBorderStyle::bsSingle)
        : TForm(nullptr) {
        SetCaption("Zorvane Player Installation");
        SetBorderStyle(style);
        SetBorderIcons(biSystemMenu);
        Frame = new TksSkinFrame(this);
        Frame->SetBorderIcons(biSystemMenu);
        SetClientSize(clientWidth, clientHeight);
        SetColor(2960685);
        SetBounds(120, 100, Width(), Height());
    }
    void Skin() { Frame->SetSkinData(&ProgramSkin()); }
    void ShowActive() {
        Show();
        SetForegroundWindow(Handle());
        SetActiveWindow(Handle());
        zvtest::Pump(300);
    }
    [[nodiscard]] RECT WindowRect() {
        RECT r;
        GetWindowRect(Handle(), &r);
        return r;
    }
    [[nodiscard]] POINT ScreenPoint(int x, int y) {
        const RECT r = WindowRect();
        return {r.left + x, r.top + y};
    }
    [[nodiscard]] TksActiveSkinObject* Object(const std::string& name) {
        return Frame->FrameObjects(Frame->IndexOfObject(name));
    }
    TksSkinFrame* Frame;
};

// Another window of the program, to take the activation away.
class TOtherForm : public TForm {
public:
    TOtherForm() : TForm(nullptr) {
        SetBorderStyle(TFormBorderStyle::bsNone);
        SetBounds(700, 500, 120, 80);
    }
    void Activate() {
        Show();
        SetForegroundWindow(Handle());
        SetActiveWindow(Handle());
        zvtest::Pump(300);
    }
};

// The frame as the skin's rules build it for a w x h window: the four
// border strips of the main picture drawn into a window-sized buffer.
TPixelBuffer ExpectedFrame(int w, int h) {
    const TksSkinData& s = ProgramSkin();
    const TksDataSkinFormInfo& fi = s.FormInfo();
    const TSkinGeometry src{fi.ClientRect, fi.LeftTopPoint, fi.RightTopPoint, fi.LeftBottomPoint,
                            fi.RightBottomPoint};
    const TSkinGeometry dst = ResizeSkinGeometry(src, w - s.Picture().Width(), h - s.Picture().Height());
    TFrameStrips strips;
    ComposeFrameStrips(s.Picture().View(), src, dst, w, h, {}, strips);
    TPixelBuffer out(w, h, 0x00FF00FF);
    CopyBlock(out.View(), 0, 0, strips.Top.View(), strips.Top.View().Bounds());
    CopyBlock(out.View(), 0, strips.Top.Height(), strips.Left.View(), strips.Left.View().Bounds());
    CopyBlock(out.View(), w - strips.Right.Width(), strips.Top.Height(), strips.Right.View(),
              strips.Right.View().Bounds());
    CopyBlock(out.View(), 0, h - strips.Bottom.Height(), strips.Bottom.View(), strips.Bottom.View().Bounds());
    return out;
}

TPixel ActivePixel(int x, int y) {
    return PixelRGB(ProgramSkin().ActivePicture(0)->View().At(x, y));
}

// The caption's active look at object coordinates: 10 pixels fixed on the
// left, 9 on the right, the 46-pixel middle of 4,3,69,21 tiled from x = 0.
TPixel ActiveCaptionPixel(int x, int y, int width) {
    if (x < 10) return ActivePixel(4 + x, 3 + y);
    if (x >= width - 9) return ActivePixel(69 - (width - x), 3 + y);
    return ActivePixel(14 + x % 46, 3 + y);
}

TPixelBuffer CaptureWindow(TFrameForm& f) {
    return zvtest::CaptureScreenRect(f.WindowRect());
}

void SaveLook(const TPixelBuffer& px, const char* name) {
    const char* dir = std::getenv("ZV_BINARY_DIR");
    if (dir == nullptr) return;
    std::string path = std::string("Z:") + dir + "/" + name;
    for (char& c : path)
        if (c == '/') c = '\\';
    zvtest::SaveBmp(px, path);
}

// Pixels of rect r of the capture equal to src of the active picture.
int CountMismatches(const TPixelBuffer& px, const TRect& r, const TRect& src) {
    int bad = 0;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x)
            bad += PixelRGB(px.At(r.Left + x, r.Top + y)) != ActivePixel(src.Left + x, src.Top + y);
    return bad;
}

bool PlatformMenuOpen() {
    HWND m = FindWindowA("#32768", nullptr);
    return m != nullptr && IsWindowVisible(m);
}

}  // namespace

// ---- sizes and places ----------------------------------------------------------------

TEST(TksSkinFrame, KeepsTheOuterSizeOfTheDefaultFrameWhenSkinned) {
    TFrameForm f;
    EXPECT_EQ(f.Width(), 421);
    EXPECT_EQ(f.Height(), 271);
    EXPECT_EQ(f.ClientWidth(), 415);
    EXPECT_EQ(f.ClientHeight(), 246);
    EXPECT_EQ(GetWindowLongPtrA(f.Handle(), GWL_STYLE) & WS_CAPTION, 0);
    f.Skin();
    EXPECT_TRUE(f.Frame->Skinned());
    const RECT r = f.WindowRect();
    EXPECT_EQ(r.right - r.left, 421);
    EXPECT_EQ(r.bottom - r.top, 271);
    EXPECT_EQ(f.ClientWidth(), 411);
    EXPECT_EQ(f.ClientHeight(), 242);
    // The client area starts 5 pixels in and 24 down.
    POINT origin{0, 0};
    ClientToScreen(f.Handle(), &origin);
    EXPECT_EQ(origin.x - r.left, 5);
    EXPECT_EQ(origin.y - r.top, 24);
}

TEST(TksSkinFrame, DialogSizes) {
    TFrameForm f(327, 143, TFormBorderStyle::bsDialog);
    EXPECT_EQ(f.Width(), 333);
    EXPECT_EQ(f.Height(), 168);
    f.Skin();
    EXPECT_EQ(f.Width(), 333);
    EXPECT_EQ(f.Height(), 168);
    EXPECT_EQ(f.ClientWidth(), 323);
    EXPECT_EQ(f.ClientHeight(), 139);
    EXPECT_EQ(f.Frame->IndexOfObject("closebutton"), 1);
    EXPECT_EQ(f.Object("closebutton")->ObjectRect, Rect(311, 5, 325, 19));
}

TEST(TksSkinFrame, MinimumTrackingSizeComesFromTheSkin) {
    TFrameForm f;
    MINMAXINFO mmi{};
    SendMessageA(f.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, 130);
    EXPECT_EQ(mmi.ptMinTrackSize.y, 25);
    f.Skin();
    mmi = {};
    SendMessageA(f.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, 162);
    EXPECT_EQ(mmi.ptMinTrackSize.y, 29);
    const TRect work = GetMonitorWorkArea(f.Handle(), true);
    EXPECT_EQ(mmi.ptMaxTrackSize.x, work.Width());
    EXPECT_EQ(mmi.ptMaxTrackSize.y, work.Height());
    // A window made smaller than the minimum is grown back when the skin is
    // applied again.
    SetWindowPos(f.Handle(), nullptr, 0, 0, 100, 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    f.Frame->ApplyFrameSkin();
    const RECT r = f.WindowRect();
    EXPECT_EQ(r.right - r.left, 162);
    EXPECT_EQ(r.bottom - r.top, 29);
}

TEST(TksSkinFrame, ObjectsLayoutAndTheirFlags) {
    TFrameForm f;
    f.Skin();
    TksSkinFrame& fr = *f.Frame;
    ASSERT_EQ(fr.FrameObjectCount(), 6);
    const char* names[] = {"caption",        "closebutton",  "minimizebutton",
                           "maximizebutton", "rollupbutton", "sysmenubutton"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(fr.FrameObjects(i)->Data().IDName, names[i]);
    EXPECT_EQ(f.Object("closebutton")->ObjectRect, kClose);
    EXPECT_EQ(f.Object("sysmenubutton")->ObjectRect, kSysMenu);
    EXPECT_EQ(f.Object("caption")->ObjectRect, kCaption);
    EXPECT_EQ(fr.TargetClientRect(), Rect(5, 24, 416, 266));
    EXPECT_EQ(fr.TargetButtonsRect(), Rect(351, 5, 413, 21));
    EXPECT_EQ(fr.TargetMaskRect(), Rect(4, 3, 418, 268));
    for (const char* n : {"closebutton", "sysmenubutton"}) {
        EXPECT_TRUE(f.Object(n)->Enabled) << n;
        EXPECT_TRUE(f.Object(n)->Visible) << n;
    }
    for (const char* n : {"minimizebutton", "maximizebutton", "rollupbutton"}) {
        EXPECT_FALSE(f.Object(n)->Enabled) << n;
        EXPECT_FALSE(f.Object(n)->Visible) << n;
    }
    EXPECT_EQ(f.Object("closebutton")->Data().Hint, "Close");
    EXPECT_EQ(f.Object("sysmenubutton")->Data().Hint, "System menu");
    auto* caption = dynamic_cast<TksSkinCaptionObject*>(f.Object("caption"));
    ASSERT_NE(caption, nullptr);
    // The caption object draws the form's caption.
    EXPECT_TRUE(caption->Data().DefaultCaption);
    EXPECT_EQ(fr.FormCaption(), "Zorvane Player Installation");
    EXPECT_EQ(caption->TextRectangle(), Rect(5, 3, 320, 15));
    TksSkinCaptionObject::TLayoutKind kind;
    int left = 0;
    int right = 0;
    caption->GetLayoutKind(kind, left, right);
    EXPECT_EQ(kind, TksSkinCaptionObject::TLayoutKind::TopBand);
    EXPECT_EQ(left, 10);
    EXPECT_EQ(right, 9);

    // Every button of the border icons: the minimise, maximise and roll-up
    // buttons move into the row left of the close button.
    fr.SetBorderIcons(biSystemMenu | biMinimize | biMaximize | biRollUp);
    EXPECT_TRUE(f.Object("minimizebutton")->Enabled);
    EXPECT_EQ(f.Object("closebutton")->ObjectRect, kClose);
    EXPECT_EQ(f.Object("maximizebutton")->ObjectRect, Rect(384, 5, 398, 19));
    EXPECT_EQ(f.Object("minimizebutton")->ObjectRect, Rect(369, 5, 383, 19));
    EXPECT_EQ(f.Object("rollupbutton")->ObjectRect, Rect(354, 5, 368, 19));
}

TEST(TksSkinFrame, MapSkinRectMovesRectsWithTheirCornerZones) {
    TFrameForm f;
    f.Skin();
    TksSkinFrame& fr = *f.Frame;
    // dx = 421 - 162 = 259, dy = 271 - 140 = 131.
    EXPECT_EQ(fr.MapSkinRect(Rect(6, 5, 20, 19)), Rect(6, 5, 20, 19));              // top-left
    EXPECT_EQ(fr.MapSkinRect(Rect(90, 2, 100, 10)), Rect(349, 2, 359, 10));         // top-right
    EXPECT_EQ(fr.MapSkinRect(Rect(1, 132, 5, 136)), Rect(1, 263, 5, 267));          // bottom-left
    EXPECT_EQ(fr.MapSkinRect(Rect(152, 132, 160, 139)), Rect(411, 263, 419, 270));  // bottom-right
    EXPECT_EQ(fr.MapSkinRect(Rect(2, 2, 155, 135)), Rect(2, 2, 414, 266));      // top-left to bottom-right
    EXPECT_EQ(fr.MapSkinRect(Rect(24, 3, 89, 21)), Rect(24, 3, 348, 21));       // top-left to top-right
    EXPECT_EQ(fr.MapSkinRect(Rect(2, 132, 155, 136)), Rect(2, 263, 414, 267));  // bottom-left to bottom-right
    EXPECT_EQ(fr.MapSkinRect(Rect(1, 10, 4, 135)), Rect(1, 10, 4, 266));        // top-left to bottom-left
    EXPECT_EQ(fr.MapSkinRect(Rect(155, 10, 160, 135)), Rect(414, 10, 419, 266));  // top-right to bottom-right
    EXPECT_EQ(fr.MapSkinRect(Rect(40, 60, 50, 70)), Rect(40, 60, 50, 70));        // in no zone
}

// ---- pixels ----------------------------------------------------------------------------

TEST(TksSkinFrame, PaintsTheFrameFromTheMainPictureStrips) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    ASSERT_TRUE(f.Frame->IsFormActive());
    ASSERT_TRUE(zvtest::PumpUntil([&] { return !f.Frame->MorphTimerActive(); }, 2000));
    zvtest::MouseMoveTo(5, 5);
    zvtest::Pump(150);
    const TPixelBuffer px = CaptureWindow(f);
    SaveLook(px, "skinframe-active.bmp");
    const TPixelBuffer want = ExpectedFrame(421, 271);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(f.Handle(), rgn), ERROR);
    const TRect client = f.Frame->TargetClientRect();
    int compared = 0;
    int bad = 0;
    for (int y = 0; y < 271; ++y)
        for (int x = 0; x < 421; ++x) {
            const TPoint p{x, y};
            if (client.Contains(p) || kCaption.Contains(p) || kClose.Contains(p)) continue;
            if (!PtInRegion(rgn, x, y)) continue;
            ++compared;
            if (PixelRGB(px.At(x, y)) != PixelRGB(want.At(x, y))) {
                if (bad < 5) ADD_FAILURE() << "frame pixel " << x << "," << y;
                ++bad;
            }
        }
    DeleteObject(rgn);
    EXPECT_GT(compared, 8000);
    EXPECT_EQ(bad, 0);
    // The close button shows its normal look from the active picture, the
    // system-menu button the frame picture's own pixels (checked above).
    EXPECT_EQ(CountMismatches(px, kClose, Rect(35, 57, 49, 71)), 0);
}

TEST(TksSkinFrame, ActiveCaptionShowsItsLookAndTheTextInWhiteWithAShadow) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    ASSERT_TRUE(zvtest::PumpUntil([&] { return !f.Frame->MorphTimerActive(); }, 2000));
    EXPECT_EQ(f.Object("caption")->MorphFactor, 1.0);
    const TPixelBuffer px = CaptureWindow(f);
    const int w = kCaption.Width();
    int white = 0;
    int shadowed = 0;
    int outside = 0;
    int minX = 9999;
    int maxX = -1;
    for (int y = 0; y < kCaption.Height(); ++y)
        for (int x = 0; x < w; ++x) {
            const TPixel p = PixelRGB(px.At(kCaption.Left + x, kCaption.Top + y));
            if (p == ActiveCaptionPixel(x, y, w)) continue;
            // Text (smoothed at its edges) only inside the text rectangle
            // 5 .. 320, and its shadow one pixel further.
            if (x < 5 || x > 321) ++outside;
            if (p != 0xFFFFFF) continue;
            ++white;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            shadowed += PixelRGB(px.At(kCaption.Left + x + 1, kCaption.Top + y + 1)) == 0;
        }
    EXPECT_GT(white, 100);
    EXPECT_GT(shadowed, 30);
    EXPECT_EQ(outside, 0);
    // Centred in the text rectangle 5 .. 320 of the caption.
    EXPECT_NEAR((minX + maxX) / 2.0, 162.0, 2.0);
}

TEST(TksSkinFrame, InactiveCaptionShowsTheFramePictureWithLightGreyText) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    TOtherForm other;
    other.Activate();
    ASSERT_FALSE(f.Frame->IsFormActive());
    ASSERT_TRUE(zvtest::PumpUntil([&] { return !f.Frame->MorphTimerActive(); }, 2000));
    EXPECT_EQ(f.Object("caption")->MorphFactor, 0.0);
    f.Frame->RepaintFrame();
    const TPixelBuffer px = CaptureWindow(f);
    SaveLook(px, "skinframe-inactive.bmp");
    const TPixelBuffer want = ExpectedFrame(421, 271);
    int grey = 0;
    int white = 0;
    int black = 0;
    for (int y = kCaption.Top; y < kCaption.Bottom; ++y)
        for (int x = kCaption.Left; x < kCaption.Right; ++x) {
            const TPixel p = PixelRGB(px.At(x, y));
            if (p == PixelRGB(want.At(x, y))) continue;
            grey += p == 0xC0C0C0;
            white += p == 0xFFFFFF;
            black += p == 0;
        }
    EXPECT_GT(grey, 100);
    EXPECT_GT(black, 30);
    EXPECT_EQ(white, 0);
}

TEST(TksSkinFrame, WindowRegionLeavesTheMaskCornersOut) {
    TFrameForm f;
    f.Skin();
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(f.Handle(), rgn), COMPLEXREGION);
    const TksBitmap& mask = ProgramSkin().Mask();
    // The corners of the skin's mask are not black: they are cut away.
    ASSERT_NE(PixelRGB(mask.View().At(0, 0)), 0u);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, 420, 0));
    EXPECT_FALSE(PtInRegion(rgn, 0, 270));
    EXPECT_FALSE(PtInRegion(rgn, 420, 270));
    // The mask rect and the frame's black pixels stay.
    EXPECT_TRUE(PtInRegion(rgn, 4, 3));
    EXPECT_TRUE(PtInRegion(rgn, 210, 135));
    EXPECT_TRUE(PtInRegion(rgn, 417, 267));
    const int cornerBlack = PixelRGB(mask.View().At(2, 20)) == 0;
    EXPECT_EQ(PtInRegion(rgn, 2, 20) != FALSE, cornerBlack != 0);
    DeleteObject(rgn);
}

// ---- input -----------------------------------------------------------------------------

TEST(TksSkinFrame, HitTestCodes) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    auto hit = [&](int x, int y) {
        const POINT p = f.ScreenPoint(x, y);
        return SendMessageA(f.Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    };
    EXPECT_EQ(hit(100, 10), HTCAPTION);
    EXPECT_EQ(hit(347, 20), HTCAPTION);
    EXPECT_EQ(hit(405, 10), HTOBJECT_CODE);
    EXPECT_EQ(hit(12, 12), HTOBJECT_CODE);
    EXPECT_EQ(hit(2, 150), HTOBJECT_CODE);
    EXPECT_EQ(hit(200, 268), HTOBJECT_CODE);
    EXPECT_EQ(hit(200, 150), HTCLIENT);
    EXPECT_EQ(hit(5, 24), HTCLIENT);
}

TEST(TksSkinFrame, SizeableFrameAnswersTheEdgesOutsideTheMask) {
    TFrameForm f;
    f.Skin();
    f.Frame->Sizeable = true;
    auto hit = [&](int x, int y) { return f.Frame->HitTest(x, y); };
    // Outside the mask rect 4,3,418,268 a probe 3 pixels further is off the
    // mask: the edge, by the hit-test points 9,9 / 412,8 / 6,264 / 413,263.
    EXPECT_EQ(hit(2, 2), HTTOPLEFT);
    EXPECT_EQ(hit(419, 2), HTTOPRIGHT);
    EXPECT_EQ(hit(2, 269), HTBOTTOMLEFT);
    EXPECT_EQ(hit(419, 269), HTBOTTOMRIGHT);
    EXPECT_EQ(hit(200, 1), HTTOP);
    EXPECT_EQ(hit(200, 269), HTBOTTOM);
    EXPECT_EQ(hit(1, 150), HTLEFT);
    EXPECT_EQ(hit(419, 150), HTRIGHT);
    // Inside the mask rect nothing is an edge.
    EXPECT_EQ(hit(100, 10), HTCAPTION);
    EXPECT_EQ(hit(200, 150), HTCLIENT);
    EXPECT_EQ(hit(4, 150), HTOBJECT_CODE);
    f.Frame->Sizeable = false;
    EXPECT_EQ(hit(1, 150), HTOBJECT_CODE);
}

TEST(TksSkinFrame, CloseButtonClosesOnlyWhenReleasedOverIt) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    const POINT c = f.ScreenPoint(406, 12);
    // Pressed, dragged off, released elsewhere: nothing happens.
    zvtest::MouseMoveTo(c.x, c.y);
    zvtest::Pump(200);
    zvtest::MouseButton(true);
    zvtest::Pump(200);
    EXPECT_EQ(f.Frame->PressedIndex(), 1);
    TPixelBuffer px = CaptureWindow(f);
    EXPECT_EQ(CountMismatches(px, kClose, Rect(18, 57, 32, 71)), 0) << "pressed look";
    const POINT away = f.ScreenPoint(200, 150);
    zvtest::MouseMoveTo(away.x, away.y);
    zvtest::Pump(400);
    px = CaptureWindow(f);
    EXPECT_EQ(CountMismatches(px, kClose, Rect(35, 57, 49, 71)), 0) << "normal look while dragged off";
    zvtest::MouseButton(false);
    zvtest::Pump(200);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_EQ(f.Frame->PressedIndex(), -1);
    EXPECT_NE(GetCapture(), f.Handle());

    // Dragged off and released at once, before the hover polling has seen
    // the mouse leave: still nothing happens.
    zvtest::MouseMoveTo(c.x, c.y);
    zvtest::Pump(200);
    zvtest::MouseButton(true);
    zvtest::Pump(100);
    zvtest::MouseMoveTo(away.x, away.y);
    zvtest::MouseButton(false);
    zvtest::Pump(300);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_EQ(f.Frame->PressedIndex(), -1);

    // Pressed and released over it: the window closes.
    zvtest::MouseMoveTo(c.x, c.y);
    zvtest::Pump(200);
    zvtest::MouseButton(true);
    zvtest::Pump(100);
    zvtest::MouseButton(false);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return !IsWindowVisible(f.Handle()); }, 2000));
}

TEST(TksSkinFrame, HoverFadesTheCloseButtonInSixStepsOnlyWhileActive) {
    TFrameForm f;
    f.Skin();
    zvtest::MouseMoveTo(f.ScreenPoint(200, 150).x, f.ScreenPoint(200, 150).y);
    f.ShowActive();
    // Nothing polls the mouse until it comes over a frame object.
    zvtest::Pump(200);
    EXPECT_FALSE(f.Frame->PollTimerActive());
    TksActiveSkinObject* close = f.Object("closebutton");
    std::vector<double> steps;
    f.Frame->OnMouseEnterEvent = [&](const std::string& id) { steps.push_back(id == "closebutton" ? 1 : 0); };
    const POINT c = f.ScreenPoint(406, 12);
    zvtest::MouseMoveTo(c.x, c.y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return close->MouseInside; }, 2000));
    EXPECT_EQ(steps, std::vector<double>{1});
    // Every step is seen: the fifth stops just short of the end, the sixth
    // reaches it.
    std::vector<double> factors;
    ASSERT_TRUE(zvtest::PumpUntil(
        [&] {
            if (factors.empty() || factors.back() != close->MorphFactor)
                factors.push_back(close->MorphFactor);
            return close->MorphFactor == 1.0;
        },
        2000));
    ASSERT_GE(factors.size(), 2u);
    EXPECT_EQ(factors[factors.size() - 2], 0.9999999999999999);
    zvtest::Pump(100);
    TPixelBuffer px = CaptureWindow(f);
    EXPECT_EQ(CountMismatches(px, kClose, Rect(1, 57, 15, 71)), 0) << "active look";
    // Leaving fades back to the normal look.
    zvtest::MouseMoveTo(f.ScreenPoint(200, 150).x, f.ScreenPoint(200, 150).y);
    ASSERT_TRUE(
        zvtest::PumpUntil([&] { return close->MorphFactor == 0.0 && !f.Frame->MorphTimerActive(); }, 2000));
    px = CaptureWindow(f);
    EXPECT_EQ(CountMismatches(px, kClose, Rect(35, 57, 49, 71)), 0) << "normal look";
    // and the poll stops again once the mouse is off every object: a window
    // left alone costs nothing.
    EXPECT_TRUE(zvtest::PumpUntil([&] { return !f.Frame->PollTimerActive(); }, 1000));

    // Not while another window is active.
    TOtherForm other;
    other.Activate();
    ASSERT_FALSE(f.Frame->IsFormActive());
    zvtest::MouseMoveTo(c.x, c.y);
    zvtest::Pump(400);
    EXPECT_EQ(f.Frame->HoverIndex(), -1);
    EXPECT_FALSE(close->Active);
    px = CaptureWindow(f);
    EXPECT_EQ(CountMismatches(px, kClose, Rect(35, 57, 49, 71)), 0);
}

TEST(TksSkinFrame, LosingTheActivationDropsTheHoverLookAtOnce) {
    TFrameForm f;
    f.Skin();
    zvtest::MouseMoveTo(f.ScreenPoint(200, 150).x, f.ScreenPoint(200, 150).y);
    f.ShowActive();
    TksActiveSkinObject* close = f.Object("closebutton");
    zvtest::MouseMoveTo(f.ScreenPoint(406, 12).x, f.ScreenPoint(406, 12).y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return close->MorphFactor == 1.0; }, 2000));
    // Another window takes the activation while the mouse rests on the button.
    HWND other = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 700, 500, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    SetActiveWindow(other);
    zvtest::Pump(50);
    EXPECT_FALSE(f.Frame->IsFormActive());
    EXPECT_FALSE(close->Active);
    EXPECT_EQ(close->MorphFactor, 0.0);
    EXPECT_EQ(CountMismatches(CaptureWindow(f), kClose, Rect(35, 57, 49, 71)), 0);
    DestroyWindow(other);
}

TEST(TksSkinFrame, RightPressOnAButtonRunsNothingAndGivesTheMouseBack) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    const POINT c = f.ScreenPoint(406, 12);
    zvtest::MouseMoveTo(c.x, c.y);
    zvtest::Pump(150);
    zvtest::MouseButton(true, true);
    zvtest::Pump(100);
    EXPECT_EQ(f.Frame->PressedIndex(), 1);
    EXPECT_EQ(GetCapture(), f.Handle());
    zvtest::MouseButton(false, true);
    zvtest::Pump(150);
    EXPECT_EQ(f.Frame->PressedIndex(), -1);
    EXPECT_NE(GetCapture(), f.Handle());
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_FALSE(f.Frame->SkinMenu()->MenuOpen());
}

TEST(TksSkinFrame, WithoutSkinEffectsTheLooksSwitchAtOnce) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    ProgramSkin().SetEnableSkinEffects(false);
    TksActiveSkinObject* sys = f.Object("sysmenubutton");
    const POINT s = f.ScreenPoint(12, 12);
    zvtest::MouseMoveTo(s.x, s.y);
    const bool entered = zvtest::PumpUntil([&] { return sys->Active; }, 2000);
    zvtest::Pump(60);
    const TPixelBuffer px = CaptureWindow(f);
    const bool timer = f.Frame->MorphTimerActive();
    ProgramSkin().SetEnableSkinEffects(true);
    ASSERT_TRUE(entered);
    EXPECT_FALSE(timer);
    EXPECT_EQ(sys->MorphFactor, 0.0);
    // The system-menu button's hover look comes from the active picture.
    EXPECT_EQ(CountMismatches(px, kSysMenu, Rect(1, 121, 15, 135)), 0);
}

TEST(TksSkinFrame, MorphStepsTakeSixTicksEitherWay) {
    double up = 0.0;
    std::vector<double> ups;
    while (up < 1.0) ups.push_back(up = MorphStepValue(up, true));
    ASSERT_EQ(ups.size(), 6u);
    EXPECT_EQ(ups[4], 0.9999999999999999);
    double down = 1.0;
    std::vector<double> downs;
    while (down > 0.0) downs.push_back(down = MorphStepValue(down, false));
    ASSERT_EQ(downs.size(), 6u);
    EXPECT_DOUBLE_EQ(downs[4], 6.661067097207818e-17);
    EXPECT_GT(downs[4], 0.0);
}

namespace {

// Drives the mouse from a second thread: the platform's move loop is modal
// on the window's thread.
void DragOnOtherThread(POINT from, int dx, int dy, std::atomic<bool>& done) {
    zvtest::MouseMoveTo(from.x, from.y);
    Sleep(100);
    zvtest::MouseButton(true);
    Sleep(100);
    for (int i = 1; i <= 10; ++i) {
        zvtest::MouseMoveTo(from.x + dx * i / 10, from.y + dy * i / 10);
        Sleep(30);
    }
    Sleep(100);
    zvtest::MouseButton(false);
    Sleep(100);
    done = true;
}

void DoubleClickOnOtherThread(POINT at, std::atomic<bool>& done) {
    zvtest::MouseMoveTo(at.x, at.y);
    Sleep(100);
    for (int i = 0; i < 2; ++i) {
        zvtest::MouseButton(true);
        Sleep(30);
        zvtest::MouseButton(false);
        Sleep(30);
    }
    Sleep(200);
    done = true;
}

}  // namespace

TEST(TksSkinFrame, DoubleClickOnTheCaptionDoesNothing) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    const RECT before = f.WindowRect();
    std::atomic<bool> done{false};
    std::thread t(DoubleClickOnOtherThread, f.ScreenPoint(150, 10), std::ref(done));
    zvtest::PumpUntil([&] { return done.load(); }, 5000);
    t.join();
    zvtest::Pump(300);
    const RECT after = f.WindowRect();
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_FALSE(IsZoomed(f.Handle()));
    EXPECT_FALSE(f.Frame->RolledUp());
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST(TksSkinFrame, DoubleClickOnTheCaptionRollsUpWhenTheFrameMay) {
    TFrameForm f;
    f.Skin();
    f.Frame->SetBorderIcons(biSystemMenu | biRollUp);
    f.ShowActive();
    auto doubleClick = [&] {
        std::atomic<bool> done{false};
        std::thread t(DoubleClickOnOtherThread, f.ScreenPoint(150, 10), std::ref(done));
        zvtest::PumpUntil([&] { return done.load(); }, 5000);
        t.join();
        zvtest::Pump(200);
    };
    doubleClick();
    EXPECT_TRUE(f.Frame->RolledUp());
    RECT r = f.WindowRect();
    EXPECT_EQ(r.bottom - r.top, 29);
    EXPECT_EQ(r.right - r.left, 421);
    doubleClick();
    EXPECT_FALSE(f.Frame->RolledUp());
    r = f.WindowRect();
    EXPECT_EQ(r.bottom - r.top, 271);
}

TEST(TksSkinFrame, KeyboardMenuKeysOpenNoMenu) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    zvtest::PressKey(VK_MENU);
    zvtest::Pump(200);
    EXPECT_FALSE(PlatformMenuOpen());
    zvtest::PressKey(VK_F10);
    zvtest::Pump(200);
    EXPECT_FALSE(PlatformMenuOpen());
    zvtest::KeyDown(VK_MENU);
    zvtest::PressKey(VK_SPACE);
    zvtest::KeyUp(VK_MENU);
    zvtest::Pump(300);
    EXPECT_FALSE(PlatformMenuOpen());
    EXPECT_FALSE(f.Frame->SkinMenu()->MenuOpen());
    EXPECT_EQ(SendMessageA(f.Handle(), WM_SYSCOMMAND, 0xF100, 0), 0);
    EXPECT_FALSE(PlatformMenuOpen());
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_EQ(GetActiveWindow(), f.Handle());
}

TEST(TksSkinFrame, DraggingTheCaptionMovesTheWindowAndTheBorderDoesNot) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    RECT before = f.WindowRect();
    std::atomic<bool> done{false};
    std::thread t(DragOnOtherThread, f.ScreenPoint(150, 10), 40, 30, std::ref(done));
    zvtest::PumpUntil([&] { return done.load(); }, 5000);
    t.join();
    zvtest::Pump(200);
    RECT after = f.WindowRect();
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 30);
    EXPECT_FALSE(f.Frame->MovingOrSizing() && f.Frame->PollTimerActive());

    before = after;
    done = false;
    std::thread t2(DragOnOtherThread, f.ScreenPoint(2, 150), 40, 30, std::ref(done));
    zvtest::PumpUntil([&] { return done.load(); }, 5000);
    t2.join();
    zvtest::Pump(200);
    after = f.WindowRect();
    EXPECT_TRUE(EqualRect(&before, &after));
}

// ---- system menu ----------------------------------------------------------------------------

TEST(TksSkinFrame, SystemMenuButtonOpensCloseAndEscClosesOnlyTheMenu) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    auto* sys = dynamic_cast<TksSkinButtonObject*>(f.Object("sysmenubutton"));
    ASSERT_NE(sys, nullptr);
    zvtest::Click(f.ScreenPoint(12, 12).x, f.ScreenPoint(12, 12).y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f.Frame->SkinMenu()->MenuOpen(); }, 2000));
    TksSkinMenu& menu = *f.Frame->SkinMenu();
    ASSERT_EQ(menu.LevelCount(), 1);
    TksSkinPopupWindow* level = menu.Level(0);
    ASSERT_EQ(level->EntryCount(), 1);
    EXPECT_EQ(level->Entries(0)->MenuItem()->Caption, "&Close");
    EXPECT_EQ(level->Entries(0)->MenuItem()->Name, "SF_CLOSE");
    EXPECT_EQ(ShortCutToText(level->Entries(0)->MenuItem()->ShortCut), "Alt+F4");
    EXPECT_TRUE(f.Frame->InMenuMode());
    EXPECT_TRUE(sys->Down);
    // The button shows its down look while its menu is open.
    zvtest::Pump(100);
    RECT shot = f.WindowRect();
    shot.bottom += 60;
    SaveLook(zvtest::CaptureScreenRect(shot), "skinframe-sysmenu.bmp");
    EXPECT_EQ(CountMismatches(CaptureWindow(f), kSysMenu, Rect(18, 121, 32, 135)), 0);
    // Right below the button, left-aligned with it.
    RECT lr;
    GetWindowRect(level->Handle(), &lr);
    EXPECT_EQ(lr.left, f.ScreenPoint(6, 19).x);
    EXPECT_EQ(lr.top, f.ScreenPoint(6, 19).y);
    // Keys other than the menu's own do nothing while it is open.
    zvtest::PressKey(VK_TAB);
    zvtest::Pump(100);
    EXPECT_TRUE(menu.MenuOpen());
    zvtest::PressKey(VK_ESCAPE);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return !menu.MenuOpen(); }, 2000));
    zvtest::Pump(100);
    EXPECT_FALSE(f.Frame->InMenuMode());
    EXPECT_FALSE(sys->Down);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
}

TEST(TksSkinFrame, RightClickOnTheCaptionOpensTheMenuAtTheCursorAndCloseEndsTheWindow) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    const POINT c = f.ScreenPoint(150, 10);
    zvtest::MouseMoveTo(c.x, c.y);
    zvtest::Pump(100);
    zvtest::MouseButton(true, true);
    zvtest::Pump(50);
    zvtest::MouseButton(false, true);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f.Frame->SkinMenu()->MenuOpen(); }, 2000));
    TksSkinMenu& menu = *f.Frame->SkinMenu();
    RECT lr;
    GetWindowRect(menu.Level(0)->Handle(), &lr);
    EXPECT_EQ(lr.left, c.x);
    EXPECT_EQ(lr.top, c.y);
    EXPECT_FALSE(PlatformMenuOpen());
    // The wheel is swallowed while the menu is open.
    zvtest::PressKey(VK_RETURN);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return !IsWindowVisible(f.Handle()); }, 2000));
    EXPECT_FALSE(menu.MenuOpen());
    EXPECT_FALSE(f.Frame->InMenuMode());
}

TEST(TksSkinFrame, ClickOnTheClientAreaClosesTheMenuWithoutRunningIt) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    bool previousFilterSeen = false;
    Application->OnMessage = [&](MSG&, bool&) { previousFilterSeen = true; };
    zvtest::Click(f.ScreenPoint(12, 12).x, f.ScreenPoint(12, 12).y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f.Frame->SkinMenu()->MenuOpen(); }, 2000));
    previousFilterSeen = false;
    zvtest::Click(f.ScreenPoint(200, 150).x, f.ScreenPoint(200, 150).y);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return !f.Frame->SkinMenu()->MenuOpen(); }, 2000));
    EXPECT_FALSE(f.Frame->InMenuMode());
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    // The filter that was there before the menu is back.
    zvtest::Pump(50);
    EXPECT_TRUE(previousFilterSeen);
    Application->OnMessage = nullptr;
}

// ---- skin messages and the default frame ---------------------------------------------------

namespace {

class TCountingPanel : public TksSkinPanel {
public:
    using TksSkinPanel::TksSkinPanel;
    void ClearSkinIndex() override {
        ++Cleared;
        TksSkinPanel::ClearSkinIndex();
    }
    void ApplySkinChange() override {
        ++Applied;
        TksSkinPanel::ApplySkinChange();
    }
    int Cleared = 0;
    int Applied = 0;
};

}  // namespace

TEST(TksSkinFrame, SkinMessagesReachTheSkinnedControlsDepthFirst) {
    TFrameForm f;
    f.Skin();
    auto* outer = new TCountingPanel(&f);
    outer->SetParent(&f);
    outer->SetSkinData(&ProgramSkin());
    auto* inner = new TCountingPanel(&f);
    inner->SetParent(outer);
    inner->SetSkinData(&ProgramSkin());
    auto* foreign = new TCountingPanel(&f);
    foreign->SetParent(&f);
    const auto data = reinterpret_cast<WPARAM>(&ProgramSkin());
    for (TCountingPanel* p : {outer, inner, foreign}) p->Cleared = p->Applied = 0;
    SendMessageA(f.Handle(), WM_SKINCHANGING, data, SkinMessageLParam);
    EXPECT_FALSE(f.Frame->Skinned());
    EXPECT_EQ(f.Frame->FrameObjectCount(), 0);
    EXPECT_EQ(outer->Cleared, 1);
    EXPECT_EQ(inner->Cleared, 1);
    EXPECT_EQ(foreign->Cleared, 0);
    SendMessageA(f.Handle(), WM_SKINCHANGED, data, SkinMessageLParam);
    EXPECT_TRUE(f.Frame->Skinned());
    EXPECT_EQ(f.Frame->FrameObjectCount(), 6);
    EXPECT_EQ(outer->Applied, 1);
    EXPECT_EQ(inner->Applied, 1);
    EXPECT_EQ(foreign->Applied, 0);
    // wParam 0 reaches every skinned control.
    SendMessageA(f.Handle(), WM_SKINCHANGED, 0, SkinMessageLParam);
    EXPECT_EQ(foreign->Applied, 1);
    EXPECT_EQ(f.Width(), 421);
}

TEST(TksSkinFrame, DefaultFrameWithoutSkin) {
    TFrameForm f;
    f.ShowActive();
    EXPECT_FALSE(f.Frame->Skinned());
    const TPixelBuffer px = CaptureWindow(f);
    SaveLook(px, "skinframe-default.bmp");
    EXPECT_EQ(PixelRGB(px.At(0, 100)), ColorToPixel(ColorToRGB(cl3DLight)));
    EXPECT_EQ(PixelRGB(px.At(420, 100)), ColorToPixel(ColorToRGB(cl3DDkShadow)));
    EXPECT_EQ(PixelRGB(px.At(1, 100)), ColorToPixel(ColorToRGB(clBtnHighlight)));
    EXPECT_EQ(PixelRGB(px.At(419, 100)), ColorToPixel(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(PixelRGB(px.At(2, 100)), ColorToPixel(ColorToRGB(clBtnFace)));
    auto hit = [&](int x, int y) {
        const POINT p = f.ScreenPoint(x, y);
        return SendMessageA(f.Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    };
    EXPECT_EQ(hit(150, 10), HTCAPTION);
    EXPECT_EQ(hit(150, 100), HTCLIENT);
    EXPECT_EQ(hit(1, 100), HTOBJECT_CODE);
    // The default close button closes the window.
    TksActiveSkinObject* close = f.Object("cmclose");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(hit(close->ObjectRect.Left + 3, close->ObjectRect.Top + 3), HTOBJECT_CODE);
    const POINT c = f.ScreenPoint(close->ObjectRect.Left + 8, close->ObjectRect.Top + 8);
    zvtest::Click(c.x, c.y);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return !IsWindowVisible(f.Handle()); }, 2000));
}

// ---- more of the caption and the menu ----------------------------------------------------

TEST(TksSkinFrame, ClientSizeSetBeforeTheFrameIsMeasuredAgainstTheFrame) {
    TForm f(nullptr);
    f.SetBorderStyle(TFormBorderStyle::bsDialog);
    f.SetClientSize(327, 143);
    auto* frame = new TksSkinFrame(&f);
    EXPECT_EQ(f.Width(), 333);
    EXPECT_EQ(f.Height(), 168);
    frame->SetSkinData(&ProgramSkin());
    EXPECT_EQ(f.ClientWidth(), 323);
    EXPECT_EQ(f.ClientHeight(), 139);
}

TEST(TksSkinFrame, CaptionTextFollowsTheFormAndIsCutToTheTextRectangle) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    ASSERT_TRUE(zvtest::PumpUntil([&] { return !f.Frame->MorphTimerActive(); }, 2000));
    const int w = kCaption.Width();
    auto textSpan = [&](int& minX, int& maxX, int& changed) {
        const TPixelBuffer px = CaptureWindow(f);
        minX = 9999;
        maxX = -1;
        changed = 0;
        for (int y = 0; y < kCaption.Height(); ++y)
            for (int x = 0; x < w; ++x) {
                const TPixel p = PixelRGB(px.At(kCaption.Left + x, kCaption.Top + y));
                if (p == ActiveCaptionPixel(x, y, w)) continue;
                ++changed;
                if (p != 0xFFFFFF) continue;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    };
    // An empty caption shows the look alone.
    f.SetCaption("");
    zvtest::Pump(100);
    EXPECT_EQ(f.Frame->FormCaption(), "");
    int minX, maxX, changed;
    textSpan(minX, maxX, changed);
    EXPECT_EQ(changed, 0);
    // A caption far wider than the text rectangle fills it and stops inside it.
    f.SetCaption(std::string(80, 'W'));
    zvtest::Pump(100);
    EXPECT_EQ(f.Frame->FormCaption(), std::string(80, 'W'));
    textSpan(minX, maxX, changed);
    EXPECT_GE(minX, 5);
    EXPECT_LE(maxX, 320);
    EXPECT_GT(maxX - minX, 280);
    // A short one is centred again.
    f.SetCaption("Zorvane");
    zvtest::Pump(100);
    textSpan(minX, maxX, changed);
    EXPECT_NEAR((minX + maxX) / 2.0, 162.0, 2.0);
    EXPECT_LT(maxX - minX, 80);
}

TEST(TksSkinFrame, PressingTheSystemMenuButtonAgainReopensTheMenu) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    const POINT s = f.ScreenPoint(12, 12);
    zvtest::Click(s.x, s.y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f.Frame->SkinMenu()->MenuOpen(); }, 2000));
    TksSkinPopupWindow* first = f.Frame->SkinMenu()->Level(0);
    // Later than a double click.
    zvtest::Pump(GetDoubleClickTime() + 100);
    int opened = 0;
    int closed = 0;
    f.Frame->OnSkinMenuOpen = [&](TObject*) { ++opened; };
    f.Frame->OnSkinMenuClose = [&](TObject*) { ++closed; };
    zvtest::Click(s.x, s.y);
    zvtest::Pump(200);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(opened, 1);
    ASSERT_TRUE(f.Frame->SkinMenu()->MenuOpen());
    EXPECT_TRUE(f.Frame->InMenuMode());
    EXPECT_EQ(f.Frame->SkinMenu()->LevelCount(), 1);
    (void)first;
    // The mouse wheel does nothing while it is open.
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    in.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
    SendInput(1, &in, sizeof in);
    zvtest::Pump(100);
    EXPECT_TRUE(f.Frame->SkinMenu()->MenuOpen());
    // The C key chooses "&Close".
    zvtest::PressKey('C');
    EXPECT_TRUE(zvtest::PumpUntil([&] { return !IsWindowVisible(f.Handle()); }, 2000));
    EXPECT_FALSE(f.Frame->InMenuMode());
}

TEST(TksSkinFrame, DoubleClickOnTheSystemMenuButtonClosesTheWindow) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    const POINT s = f.ScreenPoint(12, 12);
    zvtest::Click(s.x, s.y);
    zvtest::Click(s.x, s.y);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return !IsWindowVisible(f.Handle()); }, 2000));
    zvtest::Pump(100);
    EXPECT_FALSE(f.Frame->SkinMenu()->MenuOpen());
    EXPECT_FALSE(f.Frame->InMenuMode());
    // Nothing stays pressed once the window has lost the activation.
    EXPECT_EQ(f.Frame->PressedIndex(), -1);
}

TEST(TksSkinFrame, AltF4StillClosesTheWindow) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    zvtest::KeyDown(VK_MENU);
    zvtest::PressKey(VK_F4);
    zvtest::KeyUp(VK_MENU);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return !IsWindowVisible(f.Handle()); }, 2000));
}

// ---- skins that lack parts ----------------------------------------------------------------

namespace {

// The program's skin copied to a scratch folder with one description line
// replaced, packed and loaded.
struct TChangedSkin {
    zvtest::TTempDir dir;
    TksCompressedStoredSkin stored{nullptr};
    TksSkinData data{nullptr};

    TChangedSkin(const std::string& key, const std::string& value) {
        for (const char* name :
             {"main.bmp", "mask.bmp", "active.bmp", "pw.bmp", "menuitems.bmp", "hw.bmp", "controls.bmp"})
            CopyFileA(zvtest::SourcePath(std::string("resources/skin/") + name).c_str(), (dir / name).c_str(),
                      FALSE);
        TFileStream in(zvtest::SourcePath("resources/skin/skin.ini"), fmOpenRead);
        std::string bytes(static_cast<size_t>(in.Size()), '\0');
        in.ReadBuffer(bytes.data(), static_cast<int>(bytes.size()));
        TStringList ini;
        ini.SetText(bytes);
        for (int i = 0; i < ini.Count(); ++i)
            if (ini[i].rfind(key + "=", 0) == 0) ini.Put(i, key + "=" + value);
        const std::string text = ini.Text();
        TFileStream out(dir / "skin.ini", fmCreate);
        out.WriteBuffer(text.data(), static_cast<int>(text.size()));
    }
    void Load() {
        if (!stored.LoadFromSkinFile(dir / "skin.ini")) throw std::runtime_error("skin did not pack");
        data.SetCompressedStoredSkin(&stored);
    }
};

}  // namespace

TEST(TksSkinFrame, SkinWithoutMaskGivesARectangularWindow) {
    TChangedSkin skin("mask", "");
    skin.Load();
    ASSERT_FALSE(skin.data.Empty());
    ASSERT_TRUE(skin.data.Mask().Empty());
    TFrameForm f;
    f.Frame->SetSkinData(&skin.data);
    EXPECT_TRUE(f.Frame->Skinned());
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(f.Handle(), rgn), ERROR);
    DeleteObject(rgn);
    EXPECT_EQ(f.ClientWidth(), 411);
    EXPECT_EQ(f.ClientHeight(), 242);
    f.ShowActive();
    const TPixelBuffer px = CaptureWindow(f);
    const TPixelBuffer want = ExpectedFrame(421, 271);
    // The corner the mask would cut away is painted now.
    EXPECT_EQ(PixelRGB(px.At(0, 0)), PixelRGB(want.At(0, 0)));
    EXPECT_EQ(PixelRGB(px.At(420, 270)), PixelRGB(want.At(420, 270)));
    f.Frame->SetSkinData(nullptr);
}

TEST(TksSkinFrame, SkinWithoutClientRectKeepsTheDefaultNonClientSizes) {
    TChangedSkin skin("clientrect", "0,0,0,0");
    skin.Load();
    ASSERT_FALSE(skin.data.Empty());
    TFrameForm f;
    f.Frame->SetSkinData(&skin.data);
    EXPECT_TRUE(f.Frame->Skinned());
    EXPECT_EQ(f.Width(), 421);
    EXPECT_EQ(f.ClientWidth(), 415);
    EXPECT_EQ(f.ClientHeight(), 246);
    f.ShowActive();
    auto hit = [&](int x, int y) {
        const POINT p = f.ScreenPoint(x, y);
        return SendMessageA(f.Handle(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    };
    EXPECT_EQ(hit(200, 150), HTCLIENT);
    EXPECT_EQ(hit(1, 150), HTOBJECT_CODE);
    f.Frame->SetSkinData(nullptr);
    EXPECT_FALSE(f.Frame->Skinned());
}

TEST(TksSkinFrame, MovingOrDeactivatingTheWindowClosesTheMenu) {
    TFrameForm f;
    f.Skin();
    f.ShowActive();
    auto open = [&] {
        zvtest::Click(f.ScreenPoint(12, 12).x, f.ScreenPoint(12, 12).y);
        return zvtest::PumpUntil([&] { return f.Frame->SkinMenu()->MenuOpen(); }, 2000);
    };
    ASSERT_TRUE(open());
    SetWindowPos(f.Handle(), nullptr, 140, 110, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(f.Frame->SkinMenu()->MenuOpen());
    EXPECT_FALSE(f.Frame->InMenuMode());
    zvtest::Pump(GetDoubleClickTime() + 100);
    ASSERT_TRUE(open());
    TOtherForm other;
    other.Activate();
    EXPECT_FALSE(f.Frame->SkinMenu()->MenuOpen());
    EXPECT_FALSE(f.Frame->InMenuMode());
    EXPECT_FALSE(dynamic_cast<TksSkinButtonObject*>(f.Object("sysmenubutton"))->Down);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
}

TEST(TksSkinFrame, FreeingTheFormWithItsMenuOpenGivesTheFilterBack) {
    bool keySeen = false;
    Application->OnMessage = [&](MSG& m, bool&) { keySeen = keySeen || m.message == WM_KEYDOWN; };
    auto* f = new TFrameForm;
    f->Skin();
    f->ShowActive();
    zvtest::Click(f->ScreenPoint(12, 12).x, f->ScreenPoint(12, 12).y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f->Frame->SkinMenu()->MenuOpen(); }, 2000));
    // In menu mode key-downs stop at the frame.
    PostMessageA(Application->Handle(), WM_KEYDOWN, VK_SHIFT, 0);
    zvtest::Pump(50);
    EXPECT_FALSE(keySeen);
    delete f;
    PostMessageA(Application->Handle(), WM_KEYDOWN, VK_SHIFT, 0);
    zvtest::Pump(50);
    EXPECT_TRUE(keySeen);
    Application->OnMessage = nullptr;
}

TEST(TksSkinFrame, ObjectsWithoutActivePictureKeepTheSkinDataAsItWasRead) {
    TChangedSkin skin("activepictureindex", "9");
    skin.Load();
    const int closeData = skin.data.IndexOfObject("closebutton");
    ASSERT_GE(closeData, 0);
    TFrameForm f;
    f.Frame->SetSkinData(&skin.data);
    TksActiveSkinObject* close = f.Object("closebutton");
    EXPECT_EQ(close->ActivePicture, nullptr);
    f.Frame->ApplyFrameSkin();
    EXPECT_EQ(skin.data.SkinObjects(closeData)->ActiveSkinRect, Rect(1, 57, 15, 71));
    // Hovering and pressing a button without its pictures is harmless.
    f.ShowActive();
    const POINT c = f.ScreenPoint(406, 12);
    zvtest::MouseMoveTo(c.x, c.y);
    zvtest::Pump(200);
    zvtest::MouseButton(true);
    zvtest::Pump(100);
    zvtest::MouseMoveTo(f.ScreenPoint(200, 150).x, f.ScreenPoint(200, 150).y);
    zvtest::Pump(100);
    zvtest::MouseButton(false);
    zvtest::Pump(100);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    f.Frame->SetSkinData(nullptr);
}

TEST(TksSkinFrame, TranslucencyOnlyWhenAlphaBlendIsOn) {
    TFrameForm f;
    f.Frame->AlphaBlendValue = 0;  // the dialogs' value, with AlphaBlend off
    f.Skin();
    EXPECT_EQ(GetWindowLongPtrA(f.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    f.Frame->AlphaBlend = true;
    f.Frame->AlphaBlendValue = 128;
    f.Frame->ApplyFrameSkin();
    ASSERT_NE(GetWindowLongPtrA(f.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(f.Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 128);
    EXPECT_NE(flags & LWA_ALPHA, 0u);
    f.Frame->AlphaBlend = false;
    f.Frame->ApplyFrameSkin();
    EXPECT_EQ(GetWindowLongPtrA(f.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}
