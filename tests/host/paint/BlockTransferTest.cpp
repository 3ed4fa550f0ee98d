#include "skinui/paint/BlockTransfer.h"

#include <gtest/gtest.h>

#include "PaintTestUtil.h"

namespace zv {
namespace {

using test::Coded;
using test::CodedPicture;

constexpr TPixel kUntouched = MakePixel(1, 2, 3);

TEST(BlockTransfer, CopyIsClippedToBothBuffersWithoutShifting) {
    const TPixelBuffer src = CodedPicture(8, 6);
    TPixelBuffer dst(5, 5, kUntouched);
    // Source rect reaches past the source's right edge and the target
    // position lies left of and above the target.
    CopyBlock(dst.View(), -2, -1, src.View(), {4, 2, 10, 8});
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            const int sx = x + 2 + 4, sy = y + 1 + 2;
            const TPixel want = (sx < 8 && sy < 6) ? Coded(sx, sy) : kUntouched;
            EXPECT_EQ(dst.At(x, y), want) << x << "," << y;
        }
    }
    // A source rect starting left of the picture shifts nothing either.
    TPixelBuffer d2(4, 1, kUntouched);
    CopyBlock(d2.View(), 0, 0, src.View(), {-2, 0, 2, 1});
    EXPECT_EQ(d2.At(0, 0), kUntouched);
    EXPECT_EQ(d2.At(1, 0), kUntouched);
    EXPECT_EQ(d2.At(2, 0), Coded(0, 0));
    EXPECT_EQ(d2.At(3, 0), Coded(1, 0));
}

TEST(BlockTransfer, StretchSamplesTheSourcePixelUnderEachTargetCentre) {
    const TPixelBuffer src = CodedPicture(6, 3);
    // Enlarging 3 -> 7 columns: floor((2i + 1) * 3 / 14).
    TPixelBuffer wide(7, 1);
    StretchBlock(wide.View(), {0, 0, 7, 1}, src.View(), {0, 0, 3, 1});
    const int wideCols[] = {0, 0, 1, 1, 1, 2, 2};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(wide.At(i, 0), Coded(wideCols[i], 0)) << i;
    // Shrinking 6 -> 3 keeps the second pixel of each pair; 3 -> 1 row the middle.
    TPixelBuffer narrow(3, 1);
    StretchBlock(narrow.View(), {0, 0, 3, 1}, src.View(), {0, 0, 6, 3});
    EXPECT_EQ(narrow.At(0, 0), Coded(1, 1));
    EXPECT_EQ(narrow.At(1, 0), Coded(3, 1));
    EXPECT_EQ(narrow.At(2, 0), Coded(5, 1));
    // Same size is a plain copy.
    TPixelBuffer same(6, 3);
    StretchBlock(same.View(), {0, 0, 6, 3}, src.View(), {0, 0, 6, 3});
    EXPECT_EQ(same, src);
}

TEST(BlockTransfer, ClippedStretchKeepsTheMappingOfTheFullRectangles) {
    const TPixelBuffer src = CodedPicture(4, 1);
    TPixelBuffer dst(6, 1, kUntouched);
    // 4 -> 8 columns starting at -2: target columns 0.. show i = 2.. of the
    // full mapping, i.e. source 1,1,2,2,3,3.
    StretchBlock(dst.View(), {-2, 0, 6, 1}, src.View(), {0, 0, 4, 1});
    const int cols[] = {1, 1, 2, 2, 3, 3};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(dst.At(x, 0), Coded(cols[x], 0)) << x;
    // Source pixels outside the picture leave their target pixels alone.
    TPixelBuffer d2(4, 1, kUntouched);
    StretchBlock(d2.View(), {0, 0, 4, 1}, src.View(), {2, 0, 4, 1} /*2 -> 4*/);
    EXPECT_EQ(d2.At(0, 0), Coded(2, 0));
    EXPECT_EQ(d2.At(3, 0), Coded(3, 0));
    TPixelBuffer d3(4, 1, kUntouched);
    StretchBlock(d3.View(), {0, 0, 4, 1}, src.View(), {3, 0, 5, 1});
    EXPECT_EQ(d3.At(1, 0), Coded(3, 0));
    EXPECT_EQ(d3.At(2, 0), kUntouched);
    EXPECT_EQ(d3.At(3, 0), kUntouched);
}

TEST(BlockTransfer, EmptyOrInvertedRectanglesTransferNothing) {
    const TPixelBuffer src = CodedPicture(4, 4);
    TPixelBuffer dst(4, 4, kUntouched);
    const TPixelBuffer before = dst;
    StretchBlock(dst.View(), {3, 0, 1, 4}, src.View(), {0, 0, 2, 4});  // mirrored target
    StretchBlock(dst.View(), {0, 0, 2, 4}, src.View(), {2, 0, 0, 4});  // mirrored source
    StretchBlock(dst.View(), {0, 0, 0, 4}, src.View(), {0, 0, 2, 4});
    CopyBlock(dst.View(), 0, 0, src.View(), {1, 1, 1, 3});
    CopyBlock(dst.View(), 0, 0, TPixelView{}, {0, 0, 2, 2});
    EXPECT_EQ(dst, before);
}

TEST(BlockTransfer, TilesRepeatTheSegmentAndCutOnlyTheLastOne) {
    const TPixelBuffer src = CodedPicture(40, 2);
    // Segment of 14 columns (10..24) over a span of 34 starting at 3: tiles
    // at 3, 17 and 31, the last one 6 wide with the first 6 columns.
    TPixelBuffer dst(45, 2, kUntouched);
    TileBand(dst.View(), src.View(), {10, 0, 24, 2}, true, 3, 37, 0);
    for (int x = 0; x < 45; ++x) {
        const TPixel want = (x >= 3 && x < 37) ? Coded(10 + (x - 3) % 14, 1) : kUntouched;
        EXPECT_EQ(dst.At(x, 1), want) << x;
    }
    // An exact multiple draws whole tiles only; spans of -13 .. 0 and of
    // -14 or less draw nothing.
    TPixelBuffer exact(40, 2, kUntouched);
    TileBand(exact.View(), src.View(), {10, 0, 24, 2}, true, 0, 28, 0);
    EXPECT_EQ(exact.At(27, 0), Coded(23, 0));
    EXPECT_EQ(exact.At(28, 0), kUntouched);
    TPixelBuffer none(40, 2, kUntouched);
    const TPixelBuffer before = none;
    TileBand(none.View(), src.View(), {10, 0, 24, 2}, true, 20, 7, 0);
    TileBand(none.View(), src.View(), {10, 0, 24, 2}, true, 20, 6, 0);
    TileBand(none.View(), src.View(), {10, 0, 24, 2}, true, 20, 20, 0);
    TileBand(none.View(), src.View(), {10, 0, 10, 2}, true, 0, 20, 0);  // zero-length segment
    EXPECT_EQ(none, before);
}

TEST(BlockTransfer, VerticalTilesPlaceTheCrossAxisAtItsOffset) {
    const TPixelBuffer src = CodedPicture(3, 20);
    TPixelBuffer dst(6, 12, kUntouched);
    TileBand(dst.View(), src.View(), {0, 5, 2, 10}, false, 1, 12, 3);  // 5 rows over 11
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = y >= 1 && x >= 3 && x < 5;
            const TPixel want = inside ? Coded(x - 3, 5 + (y - 1) % 5) : kUntouched;
            EXPECT_EQ(dst.At(x, y), want) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace zv
