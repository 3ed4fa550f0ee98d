// The push button drawn from the program's [button] section: the "Install"
// button's normal, fading, highlighted, pressed and disabled looks read back
// pixel by pixel, glyph frames, and the size and mask rules of UseSkinSize
// (the placement table is tested natively, tests/host/paint).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "skinui/SkinControls.h"
#include "skinui/paint/Glyphs.h"
#include "tests/win/skinui/SkinDrawingSupport.h"
#include "tests/win/support/AccTestSupport.h"

using namespace zv;
using namespace zvskintest;

namespace {

constexpr int kW = 97;

// [button]: skinrect 1,1,36,26 (normal), 37,1,72,26 (highlighted),
// 73,1,108,26 (pressed); LT.x 10, RT.x 24; clientrect 5,5,30,20; Arial 14.
const TRect kNormal = Rect(1, 1, 36, 26);
const TRect kActive = Rect(37, 1, 72, 26);
const TRect kDown = Rect(73, 1, 108, 26);

// The look the button should show: the three-part picture and "Install"
// placed by the glyph-left rule with no glyph (Spacing 1, Margin -1) in
// CL' = (5, 5, 30 + w - 35, 20), one pixel lower right when pressed.
TPixelBuffer ExpectedButton(const TRect& picture, COLORREF text, bool shifted,
                            const std::string& caption = "Install") {
    const TksBitmap& pic = *ProgramSkin().ActivePicture(4);
    TBitmap b(kW, 25);
    const TPixelView v = b.Pixels();
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < kW; ++x) v.Row(y)[x] = ExpectedHorizontal(pic, picture, 10, 24, kW, x, y);
    LOGFONTA lf{};
    lf.lfHeight = 14;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
    TFontHandle font(CreateFontIndirectA(&lf));
    HDC dc = b.Canvas().Handle();
    HGDIOBJ old = SelectObject(dc, font.Get());
    RECT calc{0, 0, 0, 0};
    DrawTextA(dc, caption.c_str(), -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    const int tw = calc.right, th = calc.bottom;
    const TRect area{5, 5, 30 + kW - 35, 20};
    const int cx = area.Left + area.Width() / 2, cy = area.Top + area.Height() / 2;
    int tx = cx + (tw + 1) / 2 - tw, ty = cy - th / 2;
    if (shifted) {
        ++tx;
        ++ty;
    }
    RECT r{tx, ty, tx + tw + 2, ty + th};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, text);
    DrawTextA(dc, caption.c_str(), -1, &r, DT_CENTER | DT_SINGLELINE);
    SelectObject(dc, old);
    return b.ToBuffer();
}

// Round half to even of n / d (d > 0, n >= 0).
int DivideHalfEven(long long n, long long d) {
    long long q = n / d, r = n % d;
    if (2 * r > d || (2 * r == d && (q & 1))) ++q;
    return static_cast<int>(q);
}

// The right-gradient wipe: a = W - Nearest(W kf); from x = W - 1 down to a
// the weight of the own pixel grows from 0 by 1 / (W - a).
TPixelBuffer RightGradient(const TPixelBuffer& own, const TPixelBuffer& other, double kf) {
    const int w = own.Width();
    const int a = std::clamp(w - static_cast<int>(std::nearbyint(w * kf)), 0, w - 1);
    const int n = w - a;
    TPixelBuffer out = own;
    for (int y = 0; y < own.Height(); ++y)
        for (int x = a; x < w; ++x) {
            const int k = w - 1 - x;  // weight k / n of the own pixel
            const TPixel s = own.At(x, y), o = other.At(x, y);
            auto ch = [&](int shift) {
                const long long sv = (s >> shift) & 0xFF, ov = (o >> shift) & 0xFF;
                return static_cast<TPixel>(DivideHalfEven(k * sv + (n - k) * ov, n)) << shift;
            };
            out.At(x, y) = ch(16) | ch(8) | ch(0);
        }
    return out;
}

// A focused button is drawn highlighted: the focus goes to another control,
// and the button's fade back to normal runs to its end.
void FocusElsewhere(TTestForm& form, TksSkinButton* button) {
    auto* other = new TksSkinButton(&form);
    other->SetBounds(400, 250, 20, 20);
    other->SetParent(&form);
    other->SetFocus();
    ASSERT_TRUE(zvtest::PumpUntil([&] { return button->MorphFactor() == 0.0; }, 3000));
    zvtest::Pump(60);
}

// A focusable windowed control that is not a button.
class TWinControlStub : public TCustomControl {
public:
    explicit TWinControlStub(TWinControl* parent) : TCustomControl(parent) {
        SetBounds(10, 10, 30, 30);
        SetTabStop(true);
        SetParent(parent);
    }
};

struct TInstallForm {
    TTestForm form;
    TksSkinButton* button;
    TInstallForm() {
        MouseAway();
        button = new TksSkinButton(&form);
        button->SetBounds(20, 20, kW, 25);
        button->SetCaption("Install");
        button->SetParent(&form);
        button->SetSkinData(&ProgramSkin());
        form.ShowActive();
        FocusElsewhere(form, button);
        MouseAway();
    }
    // A point of the test form (at 100, 100, 500 x 300) far from its controls.
    static void MouseAway() {
        zvtest::MouseMoveTo(550, 350);
        zvtest::Pump(50);
    }
    void MouseIn() {
        const TPoint in = button->ClientToScreen({50, 12});
        zvtest::MouseMoveTo(in.X, in.Y);
    }
};

}  // namespace

TEST(TksSkinButton, InstallButtonNormalLookIsTheThreePartPictureWithItsCaption) {
    TInstallForm f;
    EXPECT_EQ(f.button->SkinLayout(), TSkinLayout::Horizontal);
    EXPECT_TRUE(f.button->MorphActive());
    EXPECT_EQ(f.button->ActiveSkinRect(), kActive);
    EXPECT_EQ(f.button->DownSkinRect(), kDown);
    const TPixelBuffer want = ExpectedButton(kNormal, RGB(0, 0, 0), false);
    DumpWindow(f.form.Handle(), "install-normal");
    ExpectPixels(
        *f.button, [&](int x, int y) { return want.At(x, y); }, "normal");
}

TEST(TksSkinButton, HoverFadesWithTheRightGradientToTheHighlightedPictureAndBack) {
    TInstallForm f;
    const TPixelBuffer normal = ExpectedButton(kNormal, RGB(0, 0, 0), false);
    const TPixelBuffer highlighted = ExpectedButton(kActive, RGB(0, 0, 0), false);
    f.MouseIn();
    // Catch one step of the fade and draw it now: timers only run from the
    // message loop, so kf cannot move between the paint and the read-back.
    ASSERT_TRUE(zvtest::PumpUntil(
        [&] { return f.button->MorphFactor() > 0.1 && f.button->MorphFactor() < 0.9; }, 3000));
    const double kf = f.button->MorphFactor();
    f.button->Repaint();
    const TPixelBuffer mid = RightGradient(normal, highlighted, kf);
    ExpectPixels(
        *f.button, [&](int x, int y) { return mid.At(x, y); }, "fading");
    EXPECT_DOUBLE_EQ(f.button->MorphFactor(), kf);
    // kf grows in steps of 0.2 up to exactly 1.
    std::vector<double> seen{kf};
    ASSERT_TRUE(zvtest::PumpUntil(
        [&] {
            if (f.button->MorphFactor() != seen.back()) seen.push_back(f.button->MorphFactor());
            return f.button->MorphFactor() == 1.0;
        },
        3000));
    for (double v : seen) EXPECT_NEAR(v * 5, std::round(v * 5), 1e-9) << v;
    zvtest::Pump(100);
    DumpWindow(f.form.Handle(), "install-hover");
    ExpectPixels(
        *f.button, [&](int x, int y) { return highlighted.At(x, y); }, "highlighted");

    f.MouseAway();
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f.button->MorphFactor() == 0.0; }, 3000));
    zvtest::Pump(100);
    ExpectPixels(
        *f.button, [&](int x, int y) { return normal.At(x, y); }, "normal again");
}

TEST(TksSkinButton, PressedLookIsTheDownPictureWithTheCaptionMovedByOnePixel) {
    TInstallForm f;
    int clicks = 0;
    f.button->OnClick = [&](TObject*) { ++clicks; };
    f.MouseIn();
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f.button->MorphFactor() == 1.0; }, 3000));
    zvtest::MouseButton(true);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f.button->IsPressedLook(); }, 2000));
    zvtest::Pump(50);
    const TPixelBuffer want = ExpectedButton(kDown, RGB(0, 0, 0), true);
    DumpWindow(f.form.Handle(), "install-pressed");
    ExpectPixels(
        *f.button, [&](int x, int y) { return want.At(x, y); }, "pressed");
    zvtest::MouseButton(false);
    EXPECT_TRUE(zvtest::PumpUntil([&] { return clicks == 1; }, 2000));
}

TEST(TksSkinButton, DisabledInstallShowsTheNormalPictureWithAWhiteCaption) {
    TInstallForm f;
    f.button->SetEnabled(false);
    zvtest::Pump(50);
    const TPixelBuffer want = ExpectedButton(kNormal, RGB(255, 255, 255), false);
    ExpectPixels(
        *f.button, [&](int x, int y) { return want.At(x, y); }, "disabled");
}

TEST(TksSkinButton, WithoutSkinEffectsHoverShowsTheHighlightAtOnce) {
    TInstallForm f;
    ProgramSkin().SetEnableSkinEffects(false);
    EXPECT_FALSE(f.button->MorphActive());
    f.MouseIn();
    const bool highlighted = zvtest::PumpUntil([&] { return f.button->IsHighlightedLook(); }, 2000);
    zvtest::Pump(30);
    const double kf = f.button->MorphFactor();
    ProgramSkin().SetEnableSkinEffects(true);
    ASSERT_TRUE(highlighted);
    EXPECT_EQ(kf, 0.0);  // no fade ran
    const TPixelBuffer want = ExpectedButton(kActive, RGB(0, 0, 0), false);
    ExpectPixels(
        *f.button, [&](int x, int y) { return want.At(x, y); }, "highlighted");
}

TEST(TksSkinButton, UseSkinSizeOffKeepsAnySizeStretchesByTheClientRectAndDropsTheMask) {
    TTestForm form;
    auto* b = new TksSkinButton(&form);
    b->UseSkinSize = false;
    b->SetBounds(10, 10, 60, 40);
    b->SetParent(&form);
    b->SetSkinData(&ProgramSkin());
    form.ShowActive();
    FocusElsewhere(form, b);
    EXPECT_EQ(b->BoundsRect(), Rect(10, 10, 70, 50));
    // Corners keep their size: clientrect 5,5,30,20 of a 35 x 25 picture.
    const TksBitmap& pic = *ProgramSkin().ActivePicture(4);
    const auto px = zvtest::CaptureClient(b->Handle());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(px.At(x, y) & 0xFFFFFFu, SourcePixel(pic, kNormal, x, y));
            EXPECT_EQ(px.At(55 + x, 35 + y) & 0xFFFFFFu, SourcePixel(pic, kNormal, 30 + x, 20 + y));
        }

    TMaskSkin skin;
    auto* masked = new TksSkinButton(&form);
    masked->SetSkinDataName("maskbutton");
    masked->SetBounds(100, 10, 60, 30);
    masked->SetParent(&form);
    masked->SetSkinData(&skin.Data);
    zvtest::Pump(30);
    EXPECT_EQ(masked->Height(), 10);
    EXPECT_TRUE(InWindowRegion(*masked, {{30, 5}}, {{0, 0}, {59, 9}}));
    auto* free = new TksSkinButton(&form);
    free->UseSkinSize = false;
    free->SetSkinDataName("maskbutton");
    free->SetBounds(100, 40, 60, 30);
    free->SetParent(&form);
    free->SetSkinData(&skin.Data);
    zvtest::Pump(30);
    EXPECT_EQ(free->Height(), 30);
    EXPECT_EQ(free->SkinMask(), nullptr);
    EXPECT_FALSE(free->HasSkinRegion());
}

TEST(TksSkinButton, GlyphFramesFollowTheState) {
    TTestForm form;
    auto* b = new TksSkinButton(&form);
    b->SetBounds(20, 20, kW, 25);
    b->SetParent(&form);
    // Four 4 x 4 frames, each a solid colour, with a transparent magenta
    // bottom-left pixel.
    const TPixel colours[4] = {MakePixel(200, 0, 0), MakePixel(0, 200, 0), MakePixel(0, 0, 200),
                               MakePixel(200, 200, 0)};
    b->Glyph.SetSize(16, 4);
    for (int f = 0; f < 4; ++f)
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                b->Glyph.At(f * 4 + x, y) = (x == 0 && y == 3) ? 0xFF00FFu : colours[f];
    b->NumGlyphs = 4;
    b->SetSkinData(&ProgramSkin());
    TInstallForm::MouseAway();
    form.ShowActive();
    FocusElsewhere(form, b);
    // No caption: the glyph is centred around (5 + 87/2, 5 + 15/2) = (48, 12)
    // less half of the spacing: x = 48 - (4 + 0 + 1) / 2 = 46, y = 12 - 2.
    auto glyphAt = [&](int x, int y) { return zvtest::WindowPixel(b->Handle(), x, y); };
    EXPECT_EQ(glyphAt(47, 10), PixelToColor(colours[0]));
    const TksBitmap& pic = *ProgramSkin().ActivePicture(4);
    EXPECT_EQ(glyphAt(46, 13),
              PixelToColor(ExpectedHorizontal(pic, kNormal, 10, 24, kW, 46, 13)));  // transparent
    const TPoint in = b->ClientToScreen({80, 3});
    zvtest::MouseMoveTo(in.X, in.Y);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return b->MorphFactor() == 1.0; }, 3000));
    zvtest::Pump(60);
    EXPECT_EQ(glyphAt(47, 10), PixelToColor(colours[3]));  // highlighted: frame 4
    zvtest::MouseButton(true);
    ASSERT_TRUE(zvtest::PumpUntil([&] { return b->IsPressedLook(); }, 2000));
    zvtest::Pump(50);
    EXPECT_EQ(glyphAt(48, 11), PixelToColor(colours[2]));  // pressed: frame 3, one pixel on
    zvtest::MouseButton(false);
    zvtest::Pump(50);
    b->SetEnabled(false);
    zvtest::Pump(50);
    EXPECT_EQ(glyphAt(47, 10), PixelToColor(colours[1]));  // disabled: frame 2
}

TEST(TksSkinButton, FrameAnimationShowsEachFrameInPlaceOfTheHighlightAndBack) {
    TMaskSkin skin;
    TTestForm form;
    TInstallForm::MouseAway();
    auto* b = new TksSkinButton(&form);
    b->SetSkinDataName("animbutton");
    b->SetBounds(20, 20, 20, 10);
    b->SetParent(&form);
    b->SetSkinData(&skin.Data);
    form.ShowActive();
    FocusElsewhere(form, b);
    // Losing the focus ran the animation backward.
    ASSERT_TRUE(zvtest::PumpUntil([&] { return !b->Animating(); }, 3000));
    zvtest::Pump(30);
    EXPECT_FALSE(b->MorphActive());
    const TksBitmap& pic = skin.Picture();
    // The element is 20 x 10, so each look is its picture rectangle 1:1.
    auto expectLook = [&](const TRect& r, const char* what) {
        ExpectPixels(
            *b, [&](int x, int y) { return SourcePixel(pic, r, x, y); }, what);
    };
    expectLook(Rect(0, 0, 20, 10), "normal");
    const TPoint in = b->ClientToScreen({10, 5});
    zvtest::MouseMoveTo(in.X, in.Y);
    // Forward: frame n is (20 (n - 1), 10, 20 n, 20) in place of the highlight.
    ASSERT_TRUE(zvtest::PumpUntil([&] { return b->Animating() && b->AnimationFrame() == 2; }, 3000));
    b->Repaint();
    expectLook(Rect(20, 10, 40, 20), "frame 2 in");
    ASSERT_TRUE(zvtest::PumpUntil([&] { return !b->Animating(); }, 3000));
    EXPECT_EQ(b->AnimationFrame(), 0);
    zvtest::Pump(30);
    expectLook(Rect(0, 20, 20, 30), "highlighted");
    // Backward from the last frame, in place of the normal picture.
    TInstallForm::MouseAway();
    ASSERT_TRUE(zvtest::PumpUntil([&] { return b->Animating() && b->AnimationFrame() == 2; }, 3000));
    b->Repaint();
    expectLook(Rect(20, 10, 40, 20), "frame 2 out");
    ASSERT_TRUE(zvtest::PumpUntil([&] { return !b->Animating(); }, 3000));
    zvtest::Pump(30);
    expectLook(Rect(0, 0, 20, 10), "normal again");
}

TEST(TksSkinButton, SkinChangeDuringAFadeEndsItOnTheLookOfTheMomentsState) {
    TInstallForm f;
    f.MouseIn();
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f.button->MorphFactor() == 1.0; }, 3000));
    f.MouseAway();
    ASSERT_TRUE(zvtest::PumpUntil(
        [&] { return f.button->MorphFactor() > 0.1 && f.button->MorphFactor() < 0.9; }, 3000));
    f.button->ApplySkinChange();
    // The fade is stopped; the mouse is out and the button not focused, so
    // it shows the normal look instead of a frozen mix.
    EXPECT_EQ(f.button->MorphFactor(), 0.0);
    zvtest::Pump(100);
    EXPECT_EQ(f.button->MorphFactor(), 0.0);
    const TPixelBuffer normal = ExpectedButton(kNormal, RGB(0, 0, 0), false);
    ExpectPixels(
        *f.button, [&](int x, int y) { return normal.At(x, y); }, "normal");
}

TEST(TksSkinButton, DefaultButtonIsDrawnHighlightedWhileTheFocusIsOnAnotherKindOfControl) {
    TTestForm form;
    TInstallForm::MouseAway();
    auto* panel = new TksSkinPanel(&form);  // takes no focus itself
    panel->SetBounds(200, 20, 100, 100);
    panel->SetParent(&form);
    auto* other = new TWinControlStub(panel);
    auto* install = new TksSkinButton(&form);
    install->SetBounds(20, 20, kW, 25);
    install->SetCaption("Install");
    install->SetParent(&form);
    install->SetSkinData(&ProgramSkin());
    install->SetDefault(true);
    auto* ok = new TksSkinButton(&form);
    ok->SetBounds(20, 60, kW, 25);
    ok->SetParent(&form);
    form.ShowActive();
    other->SetFocus();
    zvtest::Pump(100);
    ASSERT_TRUE(other->Focused());
    EXPECT_TRUE(install->IsHighlightedLook());
    EXPECT_EQ(install->MorphFactor(), 1.0);
    const TPixelBuffer highlighted = ExpectedButton(kActive, RGB(0, 0, 0), false);
    ExpectPixels(
        *install, [&](int x, int y) { return highlighted.At(x, y); }, "default highlighted");
    // Another skinned button takes the focus: the default one fades back.
    ok->SetFocus();
    ASSERT_TRUE(zvtest::PumpUntil([&] { return install->MorphFactor() == 0.0; }, 3000));
    zvtest::Pump(60);
    const TPixelBuffer normal = ExpectedButton(kNormal, RGB(0, 0, 0), false);
    ExpectPixels(
        *install, [&](int x, int y) { return normal.At(x, y); }, "normal");
}

namespace {
// Keyboard cues shown for the life of the object.
struct TCuesShown {
    TCuesShown() { SetKeyboardCuesShown(true); }
    ~TCuesShown() { SetKeyboardCuesShown(false); }
};
}  // namespace

TEST(TksSkinButton, TheKeyboardFocusAddsADottedFrameThatHoverNeverShows) {
    TInstallForm f;
    TCuesShown cues;
    // Hovered, not focused: the highlighted picture alone.
    f.MouseIn();
    ASSERT_TRUE(zvtest::PumpUntil([&] { return f.button->MorphFactor() == 1.0; }, 3000));
    zvtest::Pump(60);
    const TPixelBuffer hovered = ExpectedButton(kActive, RGB(0, 0, 0), false);
    ExpectPixels(
        *f.button, [&](int x, int y) { return hovered.At(x, y); }, "hovered");
    // Focused (the mouse away): the same picture with the focus frame just
    // inside the caption area, dotted in the caption's colour.
    TInstallForm::MouseAway();
    f.button->SetFocus();
    ASSERT_TRUE(
        zvtest::PumpUntil([&] { return f.button->Focused() && f.button->MorphFactor() == 1.0; }, 3000));
    zvtest::Pump(60);
    TPixelBuffer focused = hovered;
    DrawFocusFrame(focused.View(), {5, 5, 30 + kW - 35, 20}, 0);
    DumpWindow(f.form.Handle(), "install-focused");
    ExpectPixels(
        *f.button, [&](int x, int y) { return focused.At(x, y); }, "focused");
    // Without keyboard use the platform hides focus cues, and so do we.
    SetKeyboardCuesShown(false);
    zvtest::Pump(60);
    ExpectPixels(
        *f.button, [&](int x, int y) { return hovered.At(x, y); }, "focused, cues hidden");
}

TEST(TksSkinButton, ReadersGetAPushButtonWithItsStatesAndPress) {
    TTestForm form;
    auto* other = new TWinControlStub(&form);
    auto* button = new TksSkinButton(&form);
    button->SetBounds(20, 60, kW, 25);
    button->SetCaption("&Install");
    button->SetParent(&form);
    button->SetDefault(true);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    form.ShowActive();
    other->SetFocus();
    zvtest::Pump(50);
    zvtest::TAccEvents events;
    zvtest::TAccRef object = zvtest::ClientObject(button->Handle());
    ASSERT_TRUE(object);
    zvtest::TAccProps p = zvtest::Props(object);
    EXPECT_EQ(p.Role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(p.Name, "Install");
    EXPECT_EQ(p.Shortcut, "Alt+I");
    EXPECT_EQ(p.DefaultAction, "Press");
    EXPECT_EQ(p.State & (STATE_SYSTEM_DEFAULT | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED),
              STATE_SYSTEM_DEFAULT | STATE_SYSTEM_FOCUSABLE);
    // The window object around it names it too.
    EXPECT_EQ(zvtest::Props(zvtest::WindowObject(button->Handle())).Name, "Install");

    EXPECT_EQ(object->accDoDefaultAction(zvtest::ChildId(CHILDID_SELF)), S_OK);
    EXPECT_EQ(clicks, 0) << "run from the queue, not inside the reader's call";
    EXPECT_TRUE(zvtest::PumpUntil([&] { return clicks == 1; }, 2000));

    button->SetFocus();
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_FOCUS, button->Handle(), OBJID_CLIENT, CHILDID_SELF));
    EXPECT_TRUE(zvtest::Props(object).State & STATE_SYSTEM_FOCUSED);
    button->SetEnabled(false);
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_STATECHANGE, button->Handle(), OBJID_CLIENT, CHILDID_SELF));
    p = zvtest::Props(object);
    EXPECT_TRUE(p.State & STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(p.DefaultAction, "");
    EXPECT_EQ(object->accDoDefaultAction(zvtest::ChildId(CHILDID_SELF)), DISP_E_MEMBERNOTFOUND);
    zvtest::Pump(100);
    EXPECT_EQ(clicks, 1);
}
