// The frame strips of the program's main window: a 421 x 271 window from a
// 162 x 140 main picture with the skin's [FORMINFO] values.
#include <gtest/gtest.h>

#include "PaintTestUtil.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/SkinPaint.h"

namespace zv {
namespace {

using test::Coded;
using test::CodedPicture;
using test::Where;

// lefttoppoint 34,26; righttoppoint 80,28; leftbottompoint 8,131;
// rightbottompoint 151,131; clientrect 5,24,157,135.
const TSkinGeometry kFormInfo{{5, 24, 157, 135}, {34, 26}, {80, 28}, {8, 131}, {151, 131}};
// maskrectarea 4,3,159,137 takes the client rectangle's place for the mask.
const TSkinGeometry kMaskInfo{{4, 3, 159, 137}, {34, 26}, {80, 28}, {8, 131}, {151, 131}};
constexpr int kW = 421, kH = 271;

template <typename Fn>
void ExpectStrip(const TPixelBuffer& strip, int w, int h, Fn source, const char* name) {
    ASSERT_EQ(strip.Width(), w) << name;
    ASSERT_EQ(strip.Height(), h) << name;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const TPoint s = source(x, y);
            ASSERT_EQ(strip.At(x, y), Coded(s.X, s.Y))
                << name << " at " << x << "," << y << " got " << Where(strip.At(x, y));
        }
    }
}

TEST(FrameStrips, MainWindowOfTheProgramsSkin) {
    const TPixelBuffer pic = CodedPicture(162, 140);
    const TSkinGeometry target = ResizeSkinGeometry(kFormInfo, kW - 162, kH - 140);
    ASSERT_EQ(target.ClientRect, (TRect{5, 24, 416, 266}));
    TFrameStrips s;
    ComposeFrameStrips(pic.View(), kFormInfo, target, kW, kH, {}, s);

    // Top: 421 x 24; the middle 34 .. 80 is tiled from x = 0, then the fixed
    // left 34 and right 82 columns are drawn over it.
    ExpectStrip(
        s.Top, 421, 24,
        [](int x, int y) {
            if (x < 34) return TPoint{x, y};
            if (x >= 339) return TPoint{x - 259, y};
            return TPoint{34 + x % 46, y};
        },
        "top");
    // Bottom: 421 x 5 from the last 5 rows; middle 8 .. 151 (143).
    ExpectStrip(
        s.Bottom, 421, 5,
        [](int x, int y) {
            if (x < 8) return TPoint{x, 135 + y};
            if (x >= 410) return TPoint{x - 259, 135 + y};
            return TPoint{8 + x % 143, 135 + y};
        },
        "bottom");
    // Left: 5 x 242, row 0 = picture row 24; middle rows 26 .. 131 (105)
    // tiled from row 0; fixed 2 rows on top and 4 at the bottom.
    ExpectStrip(
        s.Left, 5, 242,
        [](int x, int y) {
            if (y < 2) return TPoint{x, 24 + y};
            if (y >= 238) return TPoint{x, 131 + (y - 238)};
            return TPoint{x, 26 + y % 105};
        },
        "left");
    // Right: 5 x 242 from columns 157 .. 161; middle rows 28 .. 131 (103).
    ExpectStrip(
        s.Right, 5, 242,
        [](int x, int y) {
            if (y < 4) return TPoint{157 + x, 24 + y};
            if (y >= 238) return TPoint{157 + x, 131 + (y - 238)};
            return TPoint{157 + x, 28 + y % 103};
        },
        "right");
}

TEST(FrameStrips, StretchFlagsStretchTheMiddlesIntoTheTargetSpans) {
    const TPixelBuffer pic = CodedPicture(162, 140);
    const TSkinGeometry target = ResizeSkinGeometry(kFormInfo, kW - 162, kH - 140);
    TFrameStrips s;
    ComposeFrameStrips(pic.View(), kFormInfo, target, kW, kH, {true, true, true, true}, s);
    auto map = [](int i, int s0, int sw, int dw) { return s0 + (2 * i + 1) * sw / (2 * dw); };
    // Top middle 46 -> 305 columns (34 .. 339).
    for (int x = 34; x < 339; ++x) ASSERT_EQ(s.Top.At(x, 9), Coded(map(x - 34, 34, 46, 305), 9)) << x;
    // Left middle rows 26 .. 131 -> strip rows 2 .. 238 (236).
    for (int y = 2; y < 238; ++y) ASSERT_EQ(s.Left.At(3, y), Coded(3, map(y - 2, 26, 105, 236))) << y;
    // Right middle rows 28 .. 131 -> strip rows 4 .. 238 (234).
    for (int y = 4; y < 238; ++y) ASSERT_EQ(s.Right.At(0, y), Coded(157, map(y - 4, 28, 103, 234))) << y;
    EXPECT_EQ(s.Right.At(0, 3), Coded(157, 27));
}

TEST(FrameStrips, StripsWithoutAMiddleAreNotMade) {
    const TPixelBuffer pic = CodedPicture(162, 140);
    TSkinGeometry flat = kFormInfo;
    flat.RightTop.X = flat.LeftTop.X;      // no top middle
    flat.RightBottom.Y = flat.RightTop.Y;  // no right middle
    const TSkinGeometry target = ResizeSkinGeometry(flat, kW - 162, kH - 140);
    TFrameStrips s;
    ComposeFrameStrips(pic.View(), flat, target, kW, kH, {}, s);
    EXPECT_TRUE(s.Top.Empty());
    EXPECT_TRUE(s.Right.Empty());
    // Without a top strip the side strips reach the window's top.
    EXPECT_EQ(s.Left.Height(), kH - 5);
    EXPECT_EQ(s.Bottom.Height(), 5);
}

TEST(FrameStrips, ComposedIntoTheCallersPixelsAsIntoBuffers) {
    // The strips drawn straight into parts of one larger canvas (views with
    // the canvas's stride, as a window-sized bitmap would give) equal the
    // buffers, and nothing outside the views is touched.
    const TPixelBuffer pic = CodedPicture(162, 140);
    for (TStretchFlags stretch : {TStretchFlags{}, TStretchFlags{true, true, true, true}}) {
        const TSkinGeometry target = ResizeSkinGeometry(kFormInfo, kW - 162, kH - 140);
        TFrameStrips want;
        ComposeFrameStrips(pic.View(), kFormInfo, target, kW, kH, stretch, want);
        const TFrameStripSizes sizes = FrameStripSizes(kFormInfo, target, kW, kH);
        EXPECT_EQ(sizes.Top, (TSize{421, 24}));
        EXPECT_EQ(sizes.Bottom, (TSize{421, 5}));
        EXPECT_EQ(sizes.Left, (TSize{5, 242}));
        EXPECT_EQ(sizes.Right, (TSize{5, 242}));
        const TPixel paper = MakePixel(1, 2, 3);
        TPixelBuffer canvas(430, 560, paper);
        const TRect places[4] = {Bounds(2, 1, 421, 24), Bounds(3, 30, 421, 5), Bounds(1, 40, 5, 242),
                                 Bounds(10, 290, 5, 242)};
        const TPixelView v = canvas.View();
        ComposeFrameStrips(
            pic.View(), kFormInfo, target, stretch,
            {SubView(v, places[0]), SubView(v, places[1]), SubView(v, places[2]), SubView(v, places[3])});
        const TPixelBuffer* strips[4] = {&want.Top, &want.Bottom, &want.Left, &want.Right};
        int outside = 0;
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x) {
                int in = -1;
                for (int i = 0; i < 4; ++i)
                    if (places[i].Contains({x, y})) in = i;
                if (in == -1) {
                    outside += canvas.At(x, y) != paper;
                    continue;
                }
                const TPixel got = canvas.At(x, y);
                ASSERT_EQ(got, strips[in]->At(x - places[in].Left, y - places[in].Top))
                    << "strip " << in << " at " << x << "," << y << " got " << Where(got);
            }
        EXPECT_EQ(outside, 0);
    }
    // Strips that are not made come out 0 x 0; damaged values make none.
    TSkinGeometry flat = kFormInfo;
    flat.RightTop.X = flat.LeftTop.X;
    const TFrameStripSizes none = FrameStripSizes(flat, ResizeSkinGeometry(flat, kW - 162, kH - 140), kW, kH);
    EXPECT_EQ(none.Top, (TSize{0, 0}));
    EXPECT_EQ(none.Left, (TSize{5, 266}));
    TSkinGeometry damaged = kFormInfo;
    damaged.ClientRect.Right = 1 << 29;
    const TFrameStripSizes broken = FrameStripSizes(damaged, damaged, kW, kH);
    EXPECT_EQ(broken.Top, (TSize{0, 0}));
    EXPECT_EQ(broken.Right, (TSize{0, 0}));
}

TEST(TiledStrips, MaskStripsOfTheMainWindow) {
    const TPixelBuffer mask = CodedPicture(162, 140, 9);
    const TSkinGeometry target = ResizeSkinGeometry(kMaskInfo, kW - 162, kH - 140);
    ASSERT_EQ(target.ClientRect, (TRect{4, 3, 418, 268}));
    TFrameStrips s;
    ComposeTiledStrips(mask.View(), kMaskInfo, target, kW, s);
    auto expect = [](const TPixelBuffer& strip, int w, int h, auto source, const char* name) {
        ASSERT_EQ(strip.Width(), w) << name;
        ASSERT_EQ(strip.Height(), h) << name;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const TPoint p = source(x, y);
                ASSERT_EQ(strip.At(x, y), Coded(p.X, p.Y, 9)) << name << " " << x << "," << y;
            }
    };
    // Top 421 x 3: the middle's tiles start at LT'.x = 34 and end at RT'.x = 339.
    expect(
        s.Top, 421, 3,
        [](int x, int y) {
            if (x < 34) return TPoint{x, y};
            if (x >= 339) return TPoint{x - 259, y};
            return TPoint{34 + (x - 34) % 46, y};
        },
        "top");
    // Bottom 421 x 3 (rows 137 .. 139), middle from LB'.x = 8 to RB'.x = 410.
    expect(
        s.Bottom, 421, 3,
        [](int x, int y) {
            if (x < 8) return TPoint{x, 137 + y};
            if (x >= 410) return TPoint{x - 259, 137 + y};
            return TPoint{8 + (x - 8) % 143, 137 + y};
        },
        "bottom");
    // Left 4 x 265: 23 fixed rows (3 .. 25), tiles of rows 26 .. 130 from
    // row 0, 6 fixed rows (131 .. 136) at the bottom.
    expect(
        s.Left, 4, 265,
        [](int x, int y) {
            if (y < 23) return TPoint{x, 3 + y};
            if (y >= 259) return TPoint{x, 131 + (y - 259)};
            return TPoint{x, 26 + y % 105};
        },
        "left");
    expect(
        s.Right, 3, 265,
        [](int x, int y) {
            if (y < 25) return TPoint{159 + x, 3 + y};
            if (y >= 259) return TPoint{159 + x, 131 + (y - 259)};
            return TPoint{159 + x, 28 + y % 103};
        },
        "right");
}

}  // namespace
}  // namespace zv
