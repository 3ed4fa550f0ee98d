#include "skinui/paint/MaskRegion.h"

#include <gtest/gtest.h>

#include "PaintTestUtil.h"

namespace zv {
namespace {

constexpr TPixel kWhite = MakePixel(255, 255, 255);
constexpr TPixel kBlack = MakePixel(0, 0, 0);

TEST(MaskToRegion, BlockGivesOneRunPerRow) {
    TPixelBuffer mask(10, 10, kWhite);
    mask.FillRect({0, 0, 3, 2}, kBlack);
    const auto r = MaskToRegion(mask.View(), 0, 0);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Runs, (std::vector<TRect>{{0, 0, 3, 1}, {0, 1, 3, 2}}));
    EXPECT_EQ(r->Bounds, (TRect{0, 0, 10, 10}));
    const auto moved = MaskToRegion(mask.View(), 5, -7);
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->Runs, (std::vector<TRect>{{5, -7, 8, -6}, {5, -6, 8, -5}}));
    EXPECT_EQ(moved->Bounds, (TRect{5, -7, 15, 3}));
}

TEST(MaskToRegion, OnlyPureBlackCountsAndRunsAreMaximal) {
    TPixelBuffer mask(8, 1, kWhite);
    mask.At(0, 0) = 0xFF000000u;  // the unused top byte does not matter
    mask.At(1, 0) = kBlack;
    mask.At(2, 0) = MakePixel(0, 0, 1);
    mask.At(5, 0) = kBlack;
    mask.At(6, 0) = kBlack;
    mask.At(7, 0) = kBlack;
    const auto r = MaskToRegion(mask.View(), 0, 0);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Runs, (std::vector<TRect>{{0, 0, 2, 1}, {5, 0, 8, 1}}));
}

TEST(MaskToRegion, EmptyMaskGivesNoRegionAndWhiteMaskAnEmptyOne) {
    EXPECT_FALSE(MaskToRegion(TPixelView{}, 0, 0));
    TPixelBuffer white(4, 4, kWhite);
    const auto r = MaskToRegion(white.View(), 1, 1);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->Runs.empty());
    EXPECT_FALSE(r->Contains(1, 1));
}

TEST(MaskToRegion, HoldsEveryRunBeyondTenThousand) {
    // Every other pixel black: 150 runs per row, 15 000 in all.
    TPixelBuffer mask(300, 100, kWhite);
    for (int y = 0; y < 100; ++y)
        for (int x = y % 2; x < 300; x += 2) mask.At(x, y) = kBlack;
    const auto r = MaskToRegion(mask.View(), 0, 0);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->Runs.size(), 15000u);
    EXPECT_EQ(r->Runs.back(), (TRect{299, 99, 300, 100}));
    EXPECT_TRUE(r->Contains(299, 99));
    EXPECT_FALSE(r->Contains(298, 99));
}

TEST(CoalesceRuns, IdenticalNeighbouringRowsBecomeOneBand) {
    TPixelBuffer mask(10, 10, kWhite);
    mask.FillRect({0, 0, 3, 2}, kBlack);  // rows 0-1: one run
    mask.FillRect({5, 0, 7, 3}, kBlack);  // rows 0-2: a second run, row 2 differs
    mask.FillRect({1, 5, 2, 6}, kBlack);  // row 5 alone
    mask.FillRect({1, 7, 2, 9}, kBlack);  // rows 7-8: same runs as row 5 but not adjacent
    const auto r = MaskToRegion(mask.View(), 2, 1);
    ASSERT_TRUE(r);
    EXPECT_EQ(CoalesceRuns(*r),
              (std::vector<TRect>{{2, 1, 5, 3}, {7, 1, 9, 3}, {7, 3, 9, 4}, {3, 6, 4, 7}, {3, 8, 4, 10}}));
}

TEST(CoalesceRuns, CoversExactlyTheRunsOfAnIrregularMask) {
    TPixelBuffer mask(37, 29, kWhite);
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 37; ++x)
            if (((x / 3) * 7 + (y / 4) * 5 + x % 5) % 4 == 0) mask.At(x, y) = kBlack;
    const auto r = MaskToRegion(mask.View(), 0, 0);
    ASSERT_TRUE(r);
    const std::vector<TRect> bands = CoalesceRuns(*r);
    EXPECT_LT(bands.size(), r->Runs.size());
    for (int y = 0; y < 29; ++y) {
        for (int x = 0; x < 37; ++x) {
            int hits = 0;
            for (const TRect& b : bands) hits += b.Contains({x, y});
            ASSERT_EQ(hits, mask.At(x, y) == kBlack ? 1 : 0) << x << "," << y;
        }
    }
}

// A 30 x 20 mask, client (maskrectarea) 3,3,27,17, corners (8,5), (22,5),
// (8,15), (22,15); black everywhere but a transparent 2 x 2 top-left corner
// and one transparent pixel in the top middle at (10, 1).
TPixelBuffer FrameMask() {
    TPixelBuffer m(30, 20, kBlack);
    m.FillRect({0, 0, 2, 2}, kWhite);
    m.At(10, 1) = kWhite;
    return m;
}
const TSkinGeometry kMask{{3, 3, 27, 17}, {8, 5}, {22, 5}, {8, 15}, {22, 15}};

TEST(ComposeMaskRegion, BorderKeepsOnlyBlackPixelsAndTheClientAlwaysIn) {
    const TPixelBuffer mask = FrameMask();
    // A 58 x 20 target (28 wider): the top middle (8 .. 22) is tiled from 8
    // to 50, so its transparent pixel comes back every 14 columns.
    const TSkinGeometry target = ResizeSkinGeometry(kMask, 28, 0);
    const auto r = ComposeMaskRegion(mask.View(), kMask, target, 58);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->ClientRect, (TRect{3, 3, 55, 17}));
    EXPECT_FALSE(r->Contains(0, 0));
    EXPECT_FALSE(r->Contains(1, 1));
    EXPECT_TRUE(r->Contains(2, 1));
    EXPECT_FALSE(r->Contains(10, 1));  // first tile
    EXPECT_FALSE(r->Contains(24, 1));  // second tile
    EXPECT_FALSE(r->Contains(38, 1));  // third tile
    EXPECT_TRUE(r->Contains(37, 1));
    EXPECT_TRUE(r->Contains(52, 1));  // fixed right piece
    EXPECT_TRUE(r->Contains(57, 19));
    EXPECT_FALSE(r->Contains(58, 19));
    for (int y = 3; y < 17; ++y)
        for (int x = 3; x < 55; ++x) ASSERT_TRUE(r->Contains(x, y));
}

TEST(ComposeMaskRegion, ClientRectComesInEvenWhereTheMaskIsWhite) {
    const TPixelBuffer white(30, 20, kWhite);
    const auto r = ComposeMaskRegion(white.View(), kMask, ResizeSkinGeometry(kMask, 5, 5), 35);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->Contains(3, 3));
    EXPECT_TRUE(r->Contains(31, 21));
    EXPECT_FALSE(r->Contains(2, 3));
    EXPECT_FALSE(r->Contains(32, 21));
}

TEST(ComposeMaskRegion, NoRegionBelowTheFixedPartsAndStripsWithoutClient) {
    const TPixelBuffer mask = FrameMask();
    EXPECT_FALSE(ComposeMaskRegion(mask.View(), kMask, ResizeSkinGeometry(kMask, -15, 0), 15));
    EXPECT_FALSE(ComposeMaskRegion(mask.View(), kMask, ResizeSkinGeometry(kMask, 0, -11), 30));
    // An empty target client rectangle still keeps the strips.
    TSkinGeometry flat = ResizeSkinGeometry(kMask, 0, 0);
    flat.ClientRect.Bottom = flat.ClientRect.Top;
    flat.LeftBottom.Y = flat.LeftTop.Y;
    const auto r = ComposeMaskRegion(mask.View(), kMask, flat, 30);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->ClientRect.IsEmpty());
    EXPECT_TRUE(r->Top);
    EXPECT_TRUE(r->Bottom);
    EXPECT_FALSE(r->Left);  // height 0: no strip
    EXPECT_TRUE(r->Contains(5, 0));
    EXPECT_TRUE(r->Contains(5, 3));  // bottom strip placed at CL'.bottom = 3
}

}  // namespace
}  // namespace zv
