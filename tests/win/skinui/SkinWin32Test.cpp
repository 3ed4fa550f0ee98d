// The platform side of the skin regions and window helpers.
#include <gtest/gtest.h>

#include "skinui/SkinRegions.h"
#include "skinui/SkinWin32.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/Forms.h"

using namespace zv;

TEST(SkinRegions, MaskRegionHoldsExactlyTheBlackPixelsMoved) {
    // A 6 x 4 mask: black everywhere except a white 2 x 2 hole and the
    // top-left corner, as a window mask cuts its corners.
    TPixelBuffer mask(6, 4, MakePixel(0, 0, 0));
    mask.At(0, 0) = MakePixel(255, 255, 255);
    for (int y = 1; y < 3; ++y)
        for (int x = 2; x < 4; ++x) mask.At(x, y) = MakePixel(255, 255, 255);
    TRegionHandle rgn = CreateMaskRegion(mask.View(), 10, 20);
    ASSERT_TRUE(rgn);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool black = PixelRGB(mask.At(x, y)) == 0;
            EXPECT_EQ(PtInRegion(rgn.Get(), 10 + x, 20 + y) != FALSE, black) << x << "," << y;
        }
    EXPECT_FALSE(PtInRegion(rgn.Get(), 9, 21));
    EXPECT_FALSE(PtInRegion(rgn.Get(), 16, 21));
}

TEST(SkinRegions, ManyRunsGoIntoOneRegion) {
    // Every other pixel black on 300 rows of 100: 15 000 runs.
    TPixelBuffer mask(100, 300, MakePixel(255, 255, 255));
    for (int y = 0; y < 300; ++y)
        for (int x = y % 2; x < 100; x += 2) mask.At(x, y) = 0;
    TRegionHandle rgn = CreateMaskRegion(mask.View(), 0, 0);
    ASSERT_TRUE(rgn);
    EXPECT_TRUE(PtInRegion(rgn.Get(), 0, 0));
    EXPECT_FALSE(PtInRegion(rgn.Get(), 1, 0));
    EXPECT_TRUE(PtInRegion(rgn.Get(), 99, 299));
    EXPECT_FALSE(PtInRegion(rgn.Get(), 98, 299));
}

TEST(SkinWin32, WorkAreaAndAlpha) {
    const TRect work = GetMonitorWorkArea(nullptr, true);
    EXPECT_FALSE(work.IsEmpty());
    const TRect screen = GetMonitorWorkArea(nullptr, false);
    EXPECT_GE(screen.Width(), work.Width());
    TForm form(nullptr);
    form.SetBounds(10, 10, 100, 80);
    form.Show();
    // The caller makes the window layered; the helper sets its opacity.
    SetWindowLongA(form.Handle(), GWL_EXSTYLE, GetWindowLongA(form.Handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
    SetWindowAlpha(form.Handle(), 200);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(form.Handle(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 200);
    EXPECT_TRUE(flags & LWA_ALPHA);
}
