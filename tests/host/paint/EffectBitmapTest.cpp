#include "skinui/paint/EffectBitmap.h"

#include <gtest/gtest.h>

#include <set>

#include "PaintTestUtil.h"

namespace zv {
namespace {

TPixel Grey(int v) {
    return MakePixel(v, v, v);
}

TksEffectBmp Filled(int w, int h, TPixel p) {
    TksEffectBmp b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.SetPixel(x, y, p);
    return b;
}

// Each column x holds grey x * 3 (so neighbours differ), as a source of
// distinguishable pixels for the wipes.
TksEffectBmp Columns(int w, int h, int base) {
    TksEffectBmp b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.SetPixel(x, y, MakePixel(base, x, y));
    return b;
}

TEST(EffectMorph, KfIsClampedAndHalvesRoundToEven) {
    const TksEffectBmp other = Filled(4, 3, MakePixel(255, 1, 3));
    const TksEffectBmp start = Filled(4, 3, MakePixel(0, 0, 0));
    TksEffectBmp b = start;
    b.Morph(other, 0.0);
    EXPECT_EQ(b.View().At(2, 1), MakePixel(0, 0, 0));
    b.Morph(other, -0.5);
    EXPECT_EQ(b.View().At(2, 1), MakePixel(0, 0, 0));
    b.Morph(other, 0.5);  // 127.5 -> 128, 0.5 -> 0, 1.5 -> 2
    EXPECT_EQ(b.View().At(2, 1), MakePixel(128, 0, 2));
    b = start;
    b.Morph(other, 1.5);
    EXPECT_EQ(b.View().At(3, 2), MakePixel(255, 1, 3));
    b = start;
    b.Morph(other, 1.0);
    EXPECT_EQ(b.View().At(0, 0), MakePixel(255, 1, 3));
}

TEST(EffectMorph, BuffersOfDifferentSizesAreLeftAlone) {
    const TksEffectBmp other = Filled(5, 3, Grey(200));
    TksEffectBmp b = Filled(4, 3, Grey(10));
    const std::vector<TPixel> before(b.View().Bits, b.View().Bits + 12);
    for (int kind = 0; kind <= 6; ++kind) ApplyMorph(b, other, static_cast<TMorphKind>(kind), 0.5);
    b.MorphVerticalGradient(other, 0.5);
    BlendTranslucent(b, other, 100);
    EXPECT_EQ(std::vector<TPixel>(b.View().Bits, b.View().Bits + 12), before);
}

TEST(EffectMorph, RightGradientWeightsAtTheNamedPixels) {
    // 100 wide, kf 0.2: a = 80, step 1/20. Own value 200, other 0, so a
    // pixel shows 200 * weight.
    const TksEffectBmp other = Filled(100, 2, Grey(0));
    TksEffectBmp b = Filled(100, 2, Grey(200));
    b.MorphRightGradient(other, 0.2);
    for (int x = 0; x < 100; ++x) {
        const int want = x < 80 ? 200 : (99 - x) * 10;
        ASSERT_EQ(b.Pixel(x, 1), Grey(want)) << x;
    }
    // Rounding on the exact ratio: 255 * 19/20 = 242.25, 255 * 1/20 = 12.75,
    // 255 * 2/20 = 25.5 -> 26 (even), 255 * 6/20 = 76.5 -> 76.
    TksEffectBmp c = Filled(100, 1, Grey(255));
    c.MorphRightGradient(Filled(100, 1, Grey(0)), 0.2);
    EXPECT_EQ(c.Pixel(80, 0), Grey(242));
    EXPECT_EQ(c.Pixel(98, 0), Grey(13));
    EXPECT_EQ(c.Pixel(97, 0), Grey(26));
    EXPECT_EQ(c.Pixel(93, 0), Grey(76));
}

TEST(EffectMorph, LeftGradientGrowsFromTheOtherPictureAtTheLeft) {
    // 10 wide, kf 0.5: a = 5; x = 0 .. 5 weight x / 5.
    const TksEffectBmp other = Filled(10, 1, Grey(0));
    TksEffectBmp b = Filled(10, 1, Grey(100));
    b.MorphLeftGradient(other, 0.5);
    const int want[] = {0, 20, 40, 60, 80, 100, 100, 100, 100, 100};
    for (int x = 0; x < 10; ++x) EXPECT_EQ(b.Pixel(x, 0), Grey(want[x])) << x;
    // kf 0 still opens one pixel (a at least 1).
    TksEffectBmp c = Filled(10, 1, Grey(100));
    c.MorphLeftGradient(other, 0.0);
    EXPECT_EQ(c.Pixel(0, 0), Grey(0));
    EXPECT_EQ(c.Pixel(1, 0), Grey(100));
}

TEST(EffectMorph, HorizontalGradientOpensFromTheCentre) {
    // 20 wide, kf 0.5: a = 10, half = 5, g = 5, f = 15.
    const TksEffectBmp other = Filled(20, 2, Grey(0));
    TksEffectBmp b = Filled(20, 2, Grey(100));
    b.MorphGradient(other, 0.5);
    for (int x = 0; x < 20; ++x) {
        int want = 0;
        if (x < 5) want = (5 - x) * 20;
        if (x > 15) want = (x - 15) * 20;
        EXPECT_EQ(b.Pixel(x, 1), Grey(want)) << x;
    }
    // Out of range kf stays inside the buffer: everything shows the other.
    TksEffectBmp c = Filled(20, 2, Grey(100));
    c.MorphGradient(other, 7.0);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(c.Pixel(x, 0), Grey(0)) << x;
}

TEST(EffectMorph, VerticalGradientForTallBuffers) {
    // 3 x 20, kf 0.5: b = 10, step 1 / ((19 - 10) / 2) = 1/4, rows 5 .. 15
    // show the other picture.
    const TksEffectBmp other = Filled(3, 20, Grey(0));
    TksEffectBmp b = Filled(3, 20, Grey(100));
    b.MorphGradient(other, 0.5);
    for (int y = 0; y < 20; ++y) {
        int want = 0;
        if (y < 5) want = std::min(5 - y, 4) * 25;
        if (y > 15) want = (y - 15) * 25;
        EXPECT_EQ(b.Pixel(2, y), Grey(want)) << y;
    }
    // 2 x 6, kf 0.7: b = 4, rows 1 .. 5 show the other picture and the step
    // quotient (5 - 4) / 2 is 0, which keeps row 0's weight at 0 as well.
    TksEffectBmp c = Filled(2, 6, Grey(100));
    c.MorphGradient(Filled(2, 6, Grey(0)), 0.7);
    for (int y = 0; y < 6; ++y) EXPECT_EQ(c.Pixel(1, y), Grey(0)) << y;
}

TEST(EffectMorph, SlidesAndPushMoveWholePixels) {
    const TksEffectBmp other = Columns(10, 2, 1);
    const TksEffectBmp own = Columns(10, 2, 2);
    TksEffectBmp left = own;
    left.MorphLeftSlide(other, 0.3);  // b = 3: 0..2 <- other 7..9
    TksEffectBmp right = own;
    right.MorphRightSlide(other, 0.3);  // 7..9 <- other 0..2
    TksEffectBmp push = own;
    push.MorphPush(other, 0.3);  // a = 3
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(left.Pixel(x, 1), x < 3 ? other.Pixel(x + 7, 1) : own.Pixel(x, 1)) << x;
        EXPECT_EQ(right.Pixel(x, 1), x >= 7 ? other.Pixel(x - 7, 1) : own.Pixel(x, 1)) << x;
        EXPECT_EQ(push.Pixel(x, 1), x <= 3 ? other.Pixel(x + 6, 1) : own.Pixel(x - 4, 1)) << x;
    }
    // kf 1 keeps one own pixel for the slides.
    TksEffectBmp full = own;
    full.MorphLeftSlide(other, 1.0);
    EXPECT_EQ(full.Pixel(8, 0), other.Pixel(9, 0));
    EXPECT_EQ(full.Pixel(9, 0), own.Pixel(9, 0));
}

TEST(EffectPixels, BrightnessDarknessGreyAndInvert) {
    TksEffectBmp b(3, 1);
    b.SetPixel(0, 0, Grey(0));
    b.SetPixel(1, 0, Grey(255));
    b.SetPixel(2, 0, MakePixel(10, 20, 30));
    TksEffectBmp bright = b;
    bright.ChangeBrightness(0.5);
    EXPECT_EQ(bright.Pixel(0, 0), Grey(128));  // 127.5 -> 128
    EXPECT_EQ(bright.Pixel(1, 0), Grey(255));
    EXPECT_EQ(bright.Pixel(2, 0), MakePixel(132, 138, 142));  // 132.5 -> 132, 137.5 -> 138
    TksEffectBmp dark = b;
    dark.ChangeDarkness(0.3);
    EXPECT_EQ(dark.Pixel(2, 0), MakePixel(7, 14, 21));
    EXPECT_EQ(dark.Pixel(0, 0), Grey(0));
    dark.ChangeDarkness(2.0);  // clamped to 1: black
    EXPECT_EQ(dark.Pixel(1, 0), Grey(0));

    TksEffectBmp g(6, 1);
    const TPixel in[] = {
        Grey(0), Grey(255), Grey(77), MakePixel(5, 0, 0), MakePixel(15, 0, 0), MakePixel(0, 255, 0)};
    for (int x = 0; x < 6; ++x) g.SetPixel(x, 0, in[x]);
    g.GrayScale();
    // Equal channels stay; 1.5 -> 2, 4.5 -> 4, 150.45 -> 150.
    const TPixel want[] = {Grey(0), Grey(255), Grey(77), Grey(2), Grey(4), Grey(150)};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(g.Pixel(x, 0), want[x]) << x;

    TksEffectBmp inv = b;
    inv.Invert();
    EXPECT_EQ(inv.Pixel(2, 0), MakePixel(245, 235, 225));
    inv.Invert();
    for (int x = 0; x < 3; ++x) EXPECT_EQ(inv.Pixel(x, 0), b.Pixel(x, 0));
}

TEST(EffectPixels, NoiseIsUniformRepeatableAndClamped) {
    TksEffectBmp a = Filled(100, 50, Grey(128));
    TksEffectBmp b = a;
    TRandomSource s1(42), s2(42);
    a.AddNoise(50, s1);
    b.AddNoise(50, s2);
    std::set<int> offsets;
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 100; ++x) {
            const TPixel p = a.Pixel(x, y);
            ASSERT_EQ(p, b.Pixel(x, y));
            // One number per pixel, added to all three channels.
            ASSERT_EQ(PixelR(p), PixelG(p));
            ASSERT_EQ(PixelR(p), PixelB(p));
            offsets.insert(PixelR(p) - 128);
        }
    }
    EXPECT_EQ(offsets.size(), 50u);
    EXPECT_EQ(*offsets.begin(), -25);
    EXPECT_EQ(*offsets.rbegin(), 24);

    TksEffectBmp edge = Filled(40, 40, MakePixel(0, 255, 3));
    TRandomSource s3(7);
    edge.AddNoise(50, s3);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const TPixel p = edge.Pixel(x, y);
            ASSERT_LE(PixelR(p), 24);
            ASSERT_GE(PixelG(p), 230);
        }
    TksEffectBmp none = Filled(3, 3, Grey(9));
    none.AddNoise(0, s3);
    EXPECT_EQ(none.Pixel(1, 1), Grey(9));
}

TEST(EffectPixels, SplitBlurReadsRowsAlreadyChanged) {
    TksEffectBmp b(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) b.SetPixel(x, y, Grey(12 * y + 4 * x));
    b.SplitBlur(1);
    const int want[3][3] = {{8, 10, 10}, {17, 18, 19}, {17, 18, 18}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(b.Pixel(x, y), Grey(want[y][x])) << x << "," << y;
    TksEffectBmp same = b;
    same.SplitBlur(0);
    EXPECT_EQ(same.Pixel(1, 1), b.Pixel(1, 1));
}

TEST(EffectPixels, SplitBlurOnBuffersTooSmallForTheFallback) {
    // One row: the lower neighbour row 1 does not exist, the row itself is used.
    TksEffectBmp row(3, 1);
    for (int x = 0; x < 3; ++x) row.SetPixel(x, 0, Grey(4 * x));
    row.SplitBlur(1);
    EXPECT_EQ(row.Pixel(0, 0), Grey(2));
    EXPECT_EQ(row.Pixel(1, 0), Grey(4));
    EXPECT_EQ(row.Pixel(2, 0), Grey(4));
    TksEffectBmp dot = Filled(1, 1, Grey(99));
    dot.SplitBlur(5);
    EXPECT_EQ(dot.Pixel(0, 0), Grey(99));
    TksEffectBmp column = Filled(1, 4, Grey(40));
    column.SplitBlur(3);
    EXPECT_EQ(column.Pixel(0, 3), Grey(40));
    TksEffectBmp far = Filled(3, 3, Grey(60));
    far.SplitBlur(2147483647);  // every neighbour falls back inside the buffer
    EXPECT_EQ(far.Pixel(2, 2), Grey(60));
}

TEST(EffectPixels, TranslucentControlOverItsBackground) {
    const TksEffectBmp bg = Filled(2, 2, Grey(0));
    TksEffectBmp a = Filled(2, 2, MakePixel(255, 100, 3));
    BlendTranslucent(a, bg, 255);
    EXPECT_EQ(a.Pixel(0, 0), MakePixel(255, 100, 3));
    BlendTranslucent(a, bg, 200);  // 200, 78.43 -> 78, 2.35 -> 2
    EXPECT_EQ(a.Pixel(1, 1), MakePixel(200, 78, 2));
    BlendTranslucent(a, bg, 0);
    EXPECT_EQ(a.Pixel(1, 0), Grey(0));
}

TEST(EffectBuffer, CopyDrawAndBoundsCheckedAccess) {
    const TPixelBuffer pic = test::CodedPicture(5, 4);
    TksEffectBmp b(pic.View());
    EXPECT_EQ(b.Width(), 5);
    EXPECT_EQ(b.Pixel(4, 3), test::Coded(4, 3));
    EXPECT_EQ(b.Pixel(5, 0), 0u);
    b.SetPixel(-1, 0, 1);
    EXPECT_EQ(b.RowAddress(4), nullptr);
    TPixelBuffer target(4, 4, Grey(1));
    b.Draw(target.View(), 2, -1);
    EXPECT_EQ(target.At(2, 0), test::Coded(0, 1));
    EXPECT_EQ(target.At(3, 2), test::Coded(1, 3));
    EXPECT_EQ(target.At(1, 0), Grey(1));
    EXPECT_EQ(target.At(2, 3), Grey(1));
}

TEST(EffectRandom, SameStartValueSameSequenceWithinRange) {
    TRandomSource a(123), b(123), c(124);
    int differ = 0;
    for (int i = 0; i < 1000; ++i) {
        const int v = a.Next(7);
        ASSERT_EQ(v, b.Next(7));
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 7);
        differ += v != c.Next(7);
    }
    EXPECT_GT(differ, 500);
    EXPECT_EQ(a.Next(0), 0);
}

}  // namespace
}  // namespace zv
