// The skinned controls on a form laid out for another display density: the
// form takes its monitor's pixels per inch when it first shows (here from a
// test source in place of the system's), scales every bound and tells its
// controls. At 192 every pixel a control draws from its skin is the 96
// drawing replicated 2 x 2; at 144 sizes are 1.5 times (to the nearest
// pixel), window regions come from the mask at that factor, and text is
// drawn at the taller font height and still fits its control.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "skinui/SkinControls.h"
#include "tests/win/skinui/SkinDrawingSupport.h"
#include "tests/win/support/MonitorAt.h"
#include "vcl/PixelsPerInch.h"

using namespace zv;
using namespace zvskintest;

namespace {

using zvtest::ReplicationMismatches;
using zvtest::TMonitorAt;

// A form with the program's nine-part panel holding an aligned child, a
// masked nine-part panel of the hand-made skin, and the skinned button
// without a caption: nothing but skin pixels.
struct TScaledForm {
    TTestForm form;
    TksSkinPanel* panel;
    TksSkinPanel* child;
    TksSkinPanel* masked;
    TksSkinButton* button;
    // What each control showed right after the form came up active (the
    // button looks focused then, whichever form is in front later).
    TPixelBuffer panelPixels, childPixels, maskedPixels, buttonPixels;

    TScaledForm(int ppi, TksSkinData& maskSkin) {
        panel = new TksSkinPanel(&form);
        panel->SetSkinDataName("panel");
        panel->SetBounds(10, 10, 150, 58);
        panel->SetParent(&form);
        panel->SetSkinData(&ProgramSkin());
        child = new TksSkinPanel(panel);
        child->SetAlign(TAlign::alClient);
        child->SetParent(panel);
        masked = new TksSkinPanel(&form);
        masked->SetSkinDataName("ninemask");
        masked->SetBounds(10, 80, 40, 20);
        masked->SetParent(&form);
        masked->SetSkinData(&maskSkin);
        button = new TksSkinButton(&form);
        button->SetBounds(10, 110, 97, 25);
        button->SetParent(&form);
        button->SetSkinData(&ProgramSkin());
        zvtest::MouseMoveTo(5, 5);  // off every form: no hover look
        {
            const TMonitorAt monitor(ppi);
            form.ShowActive();
        }
        // The focused button fades to its highlighted look: captured once
        // the fade is over.
        zvtest::PumpUntil(
            [&] {
                const double k = button->MorphFactor();
                return k == 0.0 || k == 1.0;
            },
            2000);
        zvtest::Pump(50);
        panelPixels = zvtest::CaptureClient(panel->Handle());
        childPixels = zvtest::CaptureClient(child->Handle());
        maskedPixels = zvtest::CaptureClient(masked->Handle());
        buttonPixels = zvtest::CaptureClient(button->Handle());
    }
};

}  // namespace

TEST(SkinScale, At192EveryControlIsItsDrawingAt96Replicated2x2) {
    TMaskSkin maskSkin;
    TScaledForm one(96, maskSkin.Data);
    TScaledForm two(192, maskSkin.Data);
    EXPECT_EQ(one.form.PixelsPerInch(), 96);
    ASSERT_EQ(two.form.PixelsPerInch(), 192);
    // Bounds doubled, the aligned child in the doubled client part.
    EXPECT_EQ(two.panel->BoundsRect(), Rect(20, 20, 320, 136));
    EXPECT_EQ(one.child->BoundsRect(), Rect(2, 2, 148, 56));
    EXPECT_EQ(two.child->BoundsRect(), Rect(4, 4, 296, 112));
    EXPECT_EQ(two.button->BoundsRect(), Rect(20, 220, 214, 270));
    EXPECT_EQ(ReplicationMismatches(one.panelPixels, two.panelPixels, 2), 0) << "panel";
    EXPECT_EQ(ReplicationMismatches(one.childPixels, two.childPixels, 2), 0) << "child";
    EXPECT_EQ(ReplicationMismatches(one.maskedPixels, two.maskedPixels, 2), 0) << "masked panel";
    EXPECT_EQ(ReplicationMismatches(one.buttonPixels, two.buttonPixels, 2), 0) << "button";
    // The mask's three cut pixels at each end became 2 x 2 blocks of the
    // region: (0..1, 0..1), (2..3, 0..1) and (0..1, 2..3) out, (2..3, 2..3)
    // in; the same at the bottom-right corner of the 80 x 40 window.
    EXPECT_TRUE(InWindowRegion(*two.masked, {{2, 2}, {3, 3}, {77, 37}, {40, 20}},
                               {{0, 0}, {1, 1}, {3, 0}, {0, 3}, {79, 39}, {76, 39}, {79, 36}}));
    EXPECT_TRUE(InWindowRegion(*one.masked, {{1, 1}, {38, 18}}, {{0, 0}, {1, 0}, {39, 19}}));
}

TEST(SkinScale, At144SizesAreOneAndAHalfAndTheRegionFollowsTheMask) {
    TMaskSkin maskSkin;
    TScaledForm form(144, maskSkin.Data);
    ASSERT_EQ(form.form.PixelsPerInch(), 144);
    EXPECT_EQ(form.panel->BoundsRect(), Rect(15, 15, 240, 102));
    EXPECT_EQ(form.button->BoundsRect(), Rect(15, 165, 161, 203));
    EXPECT_EQ(form.masked->BoundsRect(), Rect(15, 120, 75, 150));
    // The child fills the panel's client part: 2 skin pixels are 3 device
    // pixels on each side.
    EXPECT_EQ(form.child->BoundsRect(), Rect(3, 3, 222, 84));
    // Cut corners 1.5 times as large: the corner pixel and its neighbours
    // out, the first pixel past them in.
    EXPECT_TRUE(InWindowRegion(*form.masked, {{3, 3}, {1, 1}, {30, 15}, {56, 26}},
                               {{0, 0}, {2, 0}, {0, 2}, {59, 29}, {57, 29}, {59, 27}}));
    // No seams: wherever the 96 drawing is one colour around the skin pixel
    // a device pixel shows, the device pixel has exactly that colour (the
    // filter blends only across a change of colour in the skin).
    TScaledForm plain(96, maskSkin.Data);
    // (The button's picture is a gradient: it has no flat areas to check.)
    const TPixelBuffer& a = plain.panelPixels;
    const TPixelBuffer& b = form.panelPixels;
    ASSERT_EQ(b.Width(), 225);
    int flat = 0, bad = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const int x0 = std::max(x * a.Width() / b.Width() - 1, 0);
            const int x1 = std::min((x + 1) * a.Width() / b.Width() + 1, a.Width() - 1);
            const int y0 = std::max(y * a.Height() / b.Height() - 1, 0);
            const int y1 = std::min((y + 1) * a.Height() / b.Height() + 1, a.Height() - 1);
            const TPixel c = a.At(x0, y0) & 0xFFFFFFu;
            bool same = true;
            for (int sy = y0; sy <= y1 && same; ++sy)
                for (int sx = x0; sx <= x1 && same; ++sx) same = (a.At(sx, sy) & 0xFFFFFFu) == c;
            if (!same) continue;
            ++flat;
            if ((b.At(x, y) & 0xFFFFFFu) != c) ++bad;
        }
    EXPECT_GT(flat, b.Width() * b.Height() / 4);
    EXPECT_EQ(bad, 0);
    EXPECT_EQ(form.buttonPixels.Width(), 146);
    EXPECT_EQ(form.buttonPixels.Height(), 38);
}

TEST(SkinScale, LabelTextIsDrawnTallerAndStillFits) {
    auto make = [](TTestForm& form) {
        auto* label = new TksSkinStdLabel(&form);
        label->SetAutoSize(true);
        label->SetCaption("Select the plug-in directories");
        label->SetBounds(10, 10, 10, 10);
        label->SetParent(&form);
        label->SetSkinData(&ProgramSkin());
        return label;
    };
    TTestForm one;
    TTestForm two;
    auto* small = make(one);
    auto* big = make(two);
    {
        const TMonitorAt monitor(96);
        one.ShowActive();
    }
    {
        const TMonitorAt monitor(192);
        two.ShowActive();
    }
    // The text's own size doubles within a pixel or two (the platform's
    // font at twice the height, not the small one stretched).
    // (Widths follow the font's own hinting at each size: within 5%.)
    EXPECT_NEAR(big->Height(), 2 * small->Height(), 3);
    EXPECT_NEAR(big->Width(), 2 * small->Width(), small->Width() / 10 + 2);
    // The text fills its rows: ink in the bottom half of the label too.
    const TPixelBuffer px = zvtest::CaptureClient(two.Handle());
    int inkTop = 0, inkBottom = 0;
    const TRect r = big->BoundsRect();
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if ((px.At(x, y) & 0xFFFFFFu) != 0xFFFFFFu) (y < r.Top + r.Height() / 2 ? inkTop : inkBottom)++;
    EXPECT_GT(inkTop, 0);
    EXPECT_GT(inkBottom, 0);
    // Nothing of the text outside the label.
    for (int x = r.Left; x < r.Right; ++x) EXPECT_EQ(px.At(x, r.Bottom + 1) & 0xFFFFFFu, 0xFFFFFFu) << x;
}
