#include "skinui/paint/SkinPaint.h"

#include <gtest/gtest.h>

#include "PaintTestUtil.h"

namespace zv {
namespace {

using test::Coded;
using test::CodedPicture;
using test::Where;

constexpr TPixel kWhite = MakePixel(255, 255, 255);

TSkinElementGeometry Element(TRect skin, TRect cl, TPoint lt, TPoint rt, TPoint lb, TPoint rb) {
    return {skin, {cl, lt, rt, lb, rb}, false};
}

// The [button] element of the program's skin: three-part horizontal.
TSkinElementGeometry ButtonElement() {
    return Element({1, 1, 36, 26}, {10, 5, 24, 20}, {10, 0}, {24, 0}, {0, 0}, {0, 0});
}

TEST(SkinLayout, FirstMatchingRuleWins) {
    EXPECT_EQ(GetSkinLayout(Element({5, 5, 5, 20}, {}, {}, {3, 3}, {}, {4, 4})), TSkinLayout::None);
    EXPECT_EQ(GetSkinLayout(Element({0, 0, 9, 9}, {}, {}, {3, 0}, {0, 2}, {4, 4})), TSkinLayout::NinePart);
    EXPECT_EQ(GetSkinLayout(Element({0, 0, 9, 9}, {}, {}, {0, 1}, {0, 2}, {4, 0})), TSkinLayout::Horizontal);
    EXPECT_EQ(GetSkinLayout(Element({0, 0, 9, 9}, {}, {}, {}, {1, 0}, {0, 4})), TSkinLayout::Vertical);
    EXPECT_EQ(GetSkinLayout(Element({0, 0, 9, 9}, {1, 1, 8, 8}, {2, 2}, {}, {}, {})), TSkinLayout::Fixed);
}

TEST(SkinLayout, TargetSizeRulesAndRecomputedValues) {
    const TSkinElementGeometry nine =
        Element({0, 0, 30, 20}, {4, 5, 26, 15}, {6, 7}, {24, 7}, {6, 13}, {24, 13});
    const TSkinTarget t9 = CalcSkinTarget(nine, 50, 31);
    EXPECT_EQ(t9.Width, 50);
    EXPECT_EQ(t9.Height, 31);
    EXPECT_EQ(t9.Geometry.LeftTop, (TPoint{6, 7}));
    EXPECT_EQ(t9.Geometry.RightTop, (TPoint{44, 7}));
    EXPECT_EQ(t9.Geometry.LeftBottom, (TPoint{6, 24}));
    EXPECT_EQ(t9.Geometry.RightBottom, (TPoint{44, 24}));
    EXPECT_EQ(t9.Geometry.ClientRect, (TRect{4, 5, 46, 26}));

    const TSkinTarget th = CalcSkinTarget(ButtonElement(), 97, 40);
    EXPECT_EQ(th.Width, 97);
    EXPECT_EQ(th.Height, 25);  // forced to the skin height
    EXPECT_EQ(th.Geometry.RightTop, (TPoint{86, 0}));
    EXPECT_EQ(th.Geometry.ClientRect, (TRect{10, 5, 86, 20}));

    const TSkinElementGeometry vert =
        Element({0, 0, 12, 30}, {2, 8, 10, 22}, {0, 8}, {0, 0}, {0, 22}, {0, 0});
    const TSkinTarget tv = CalcSkinTarget(vert, 99, 50);
    EXPECT_EQ(tv.Width, 12);
    EXPECT_EQ(tv.Height, 50);
    EXPECT_EQ(tv.Geometry.LeftBottom, (TPoint{0, 42}));
    EXPECT_EQ(tv.Geometry.ClientRect, (TRect{2, 8, 10, 42}));

    const TSkinElementGeometry fixed = Element({3, 4, 13, 9}, {1, 1, 9, 4}, {}, {}, {}, {});
    const TSkinTarget tf = CalcSkinTarget(fixed, 99, 50);
    EXPECT_EQ(tf.Width, 10);
    EXPECT_EQ(tf.Height, 5);
    EXPECT_EQ(tf.Geometry, fixed.Geometry);
}

TEST(SkinCompose, TargetOfTheSkinSizeReproducesTheSkinRectInEveryLayout) {
    const TPixelBuffer pic = CodedPicture(60, 50);
    const TSkinElementGeometry elements[] = {
        Element({3, 4, 33, 24}, {4, 5, 26, 15}, {6, 7}, {24, 7}, {6, 13}, {24, 13}),  // nine-part
        Element({3, 4, 33, 24}, {4, 5, 26, 15}, {6, 0}, {24, 0}, {}, {}),             // horizontal
        Element({3, 4, 33, 24}, {4, 5, 26, 15}, {0, 7}, {}, {0, 13}, {}),             // vertical
        Element({3, 4, 33, 24}, {4, 5, 26, 15}, {}, {}, {}, {}),                      // fixed
    };
    for (const auto& e : elements) {
        TPixelBuffer out;
        DrawSkinElement(pic.View(), e, out, 30, 20);
        ASSERT_EQ(out.Width(), 30);
        ASSERT_EQ(out.Height(), 20);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(out.At(x, y), Coded(x + 3, y + 4))
                    << static_cast<int>(GetSkinLayout(e)) << " " << x << "," << y;
    }
}

TEST(SkinCompose, NinePartTopBandTilesFromTheTargetCorner) {
    // LT.x = 10, RT.x = 24 (tile 14); a target 20 pixels wider has a 34 long
    // span: tiles at 10, 24 and 38, the last one 6 wide.
    const TPixelBuffer pic = CodedPicture(40, 30);
    const TSkinElementGeometry e =
        Element({0, 0, 40, 30}, {5, 6, 35, 24}, {10, 8}, {24, 8}, {10, 20}, {24, 20});
    TPixelBuffer out;
    DrawSkinElement(pic.View(), e, out, 60, 30);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 60; ++x) {
            TPixel want;
            if (x < 10) {
                want = Coded(x, y);
            } else if (x < 44) {
                want = Coded(10 + (x - 10) % 14, y);
            } else {
                want = Coded(x - 20, y);  // the fixed top-right piece
            }
            ASSERT_EQ(out.At(x, y), want) << x << "," << y << " got " << Where(out.At(x, y));
        }
    }
    EXPECT_EQ(out.At(43, 0), Coded(15, 0));  // last tile column: 6th of the middle
}

TEST(SkinCompose, NinePartClientAreaIsTiledAsABlockAndCut) {
    const TPixelBuffer pic = CodedPicture(20, 20);
    // Client 4 x 3 at (5, 6); target client 10 x 7 (2 full columns + 2, 2 rows + 1).
    const TSkinElementGeometry e = Element({0, 0, 20, 20}, {5, 6, 9, 9}, {7, 7}, {8, 7}, {7, 8}, {8, 8});
    TPixelBuffer out;
    DrawSkinElement(pic.View(), e, out, 26, 24);
    for (int y = 6; y < 13; ++y)
        for (int x = 5; x < 15; ++x)
            ASSERT_EQ(out.At(x, y), Coded(5 + (x - 5) % 4, 6 + (y - 6) % 3)) << x << "," << y;
}

TEST(SkinCompose, NinePartStopsAfterSizingWithoutMiddles) {
    const TPixelBuffer pic = CodedPicture(20, 20);
    TPixelBuffer out;
    const TSkinGeometry g{{2, 2, 18, 18}, {5, 5}, {15, 5}, {5, 15}, {5, 15}};  // RB.x = LT.x
    ComposeNinePart(pic.View(), {0, 0, 20, 20}, g, out, 30, 25, ResizeSkinGeometry(g, 10, 5), true, {});
    EXPECT_EQ(out, TPixelBuffer(30, 25, kWhite));
    ComposeNinePart(TPixelView{}, {0, 0, 20, 20}, {{2, 2, 18, 18}, {5, 5}, {15, 5}, {5, 15}, {15, 15}}, out,
                    7, 8, {}, true, {});
    EXPECT_EQ(out, TPixelBuffer(7, 8, kWhite));
}

TEST(SkinCompose, HorizontalButtonTilesItsMiddleSixTimes) {
    const TPixelBuffer pic = CodedPicture(40, 30);
    TPixelBuffer out;
    DrawSkinElement(pic.View(), ButtonElement(), out, 97, 60);
    ASSERT_EQ(out.Width(), 97);
    ASSERT_EQ(out.Height(), 25);
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 97; ++x) {
            int sx;
            if (x < 10) {
                sx = 1 + x;  // fixed left 10
            } else if (x >= 86) {
                sx = 25 + (x - 86);  // fixed right 11
            } else {
                sx = 11 + (x - 10) % 14;  // middle 14, 76 pixels
            }
            ASSERT_EQ(out.At(x, y), Coded(sx, y + 1)) << x << "," << y;
        }
    }
    // The sixth tile starts at 80 and shows 6 columns.
    EXPECT_EQ(out.At(85, 0), Coded(16, 1));
}

TEST(SkinCompose, StretchEffectGivesOneStretchedMiddle) {
    const TPixelBuffer pic = CodedPicture(40, 30);
    TSkinElementGeometry e = ButtonElement();
    e.StretchEffect = true;
    TPixelBuffer out;
    DrawSkinElement(pic.View(), e, out, 38, 25);
    // Middle 14 source columns over 17 target columns 10 .. 26.
    for (int i = 0; i < 17; ++i) EXPECT_EQ(out.At(10 + i, 3), Coded(11 + (2 * i + 1) * 14 / 34, 4)) << i;
    EXPECT_EQ(out.At(27, 3), Coded(25, 4));
}

TEST(SkinCompose, NarrowThreePartTargetDrawsTheRightPieceOverTheLeft) {
    const TPixelBuffer pic = CodedPicture(40, 30);
    TPixelBuffer out;
    DrawSkinElement(pic.View(), ButtonElement(), out, 15, 25);
    for (int x = 0; x < 15; ++x) {
        const int sx = x >= 4 ? 25 + (x - 4) : 1 + x;  // right piece from 15 - 11 = 4
        EXPECT_EQ(out.At(x, 7), Coded(sx, 8)) << x;
    }
}

TEST(SkinCompose, VerticalTilesDownwardsAndAZeroMiddleDrawsNothing) {
    const TPixelBuffer pic = CodedPicture(20, 40);
    TPixelBuffer out;
    ComposeVertical(pic.View(), {2, 3, 8, 23}, 5, 4, out, 37, false);  // middle 11 rows over 28
    ASSERT_EQ(out.Width(), 6);
    ASSERT_EQ(out.Height(), 37);
    for (int y = 0; y < 37; ++y) {
        int sy;
        if (y < 5) {
            sy = 3 + y;
        } else if (y >= 33) {
            sy = 19 + (y - 33);
        } else {
            sy = 8 + (y - 5) % 11;
        }
        ASSERT_EQ(out.At(1, y), Coded(3, sy)) << y;
    }
    // The fixed parts fill the whole source: the middle is 0 high.
    ComposeVertical(pic.View(), {2, 3, 8, 12}, 5, 4, out, 20, false);
    for (int y = 5; y < 16; ++y) EXPECT_EQ(out.At(0, y), kWhite) << y;
    ComposeHorizontal(pic.View(), {2, 3, 12, 8}, 6, 4, out, 20, true);
    for (int x = 6; x < 16; ++x) EXPECT_EQ(out.At(x, 0), kWhite) << x;
}

TEST(SkinCompose, ByClientRectKeepsCornersAndStretchesEdgesAndCentre) {
    const TPixelBuffer pic = CodedPicture(40, 40);
    // Source 10 x 8 at (20, 30) with client (3, 2, 7, 6); target 16 x 11:
    // nR = 16 - 3 = 13, nB = 11 - 2 = 9.
    TPixelBuffer out(16, 11, kWhite);
    ComposeByClientRect(pic.View(), {20, 30, 30, 38}, {3, 2, 7, 6}, out.View());
    auto map = [](int i, int s0, int sw, int dw) { return s0 + (2 * i + 1) * sw / (2 * dw); };
    for (int y = 0; y < 11; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int sx = x < 3 ? x : (x < 13 ? map(x - 3, 3, 4, 10) : 7 + (x - 13));
            const int sy = y < 2 ? y : (y < 9 ? map(y - 2, 2, 4, 7) : 6 + (y - 9));
            ASSERT_EQ(out.At(x, y), Coded(20 + sx, 30 + sy)) << x << "," << y;
        }
    }
}

TEST(SkinCompose, DamagedSkinValuesDrawNothingInsteadOfOverflowing) {
    const TPixelBuffer pic = CodedPicture(20, 20);
    const int huge = 2147483000;
    const TSkinGeometry g{{2, 2, huge, 18}, {5, 5}, {huge, 5}, {5, 15}, {huge, 15}};
    const TSkinGeometry moved = ResizeSkinGeometry(g, 5000, 5000);  // saturates
    EXPECT_EQ(moved.RightTop.X, 1 << 30);
    TPixelBuffer out;
    ComposeNinePart(pic.View(), {0, 0, 20, 20}, g, out, 30, 25, moved, true, {true, false, true, false});
    EXPECT_EQ(out, TPixelBuffer(30, 25, kWhite));
    ComposeHorizontal(pic.View(), {0, 0, 20, 20}, huge, 3, out, 40, false);
    EXPECT_TRUE(out.Empty());
    TFrameStrips strips;
    ComposeFrameStrips(pic.View(), g, moved, 40, 40, {}, strips);
    EXPECT_TRUE(strips.Top.Empty());
    const TSkinElementGeometry e{{0, 0, 20, 20}, g, false};
    DrawSkinElement(pic.View(), e, out, 25, 25);
    EXPECT_EQ(out, TPixelBuffer(25, 25, kWhite));
}

}  // namespace
}  // namespace zv
