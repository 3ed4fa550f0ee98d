#include "skinui/paint/Glyphs.h"

#include <gtest/gtest.h>

#include "PaintTestUtil.h"

namespace zv {
namespace {

using Rows = std::vector<std::string>;
constexpr TPixel kInk = MakePixel(10, 20, 30);
constexpr TPixel kPaper = MakePixel(255, 255, 255);

TEST(Glyphs, ArrowsPointTheFourWays) {
    const Rows want[4] = {
        {".........", ".....#...", "....##...", "...###...", "..####...", "...###...", "....##...",
         ".....#...", "........."},
        {".........", "...#.....", "...##....", "...###...", "...####..", "...###...", "...##....",
         "...#.....", "........."},
        {".........", ".........", "....#....", "...###...", "..#####..", ".#######.", ".........",
         ".........", "........."},
        {".........", ".........", ".........", ".#######.", "..#####..", "...###...", "....#....",
         ".........", "........."},
    };
    for (int dir = 1; dir <= 4; ++dir) {
        TPixelBuffer b(9, 9, kPaper);
        DrawArrow(b.View(), {0, 0, 9, 9}, kInk, dir);
        EXPECT_EQ(test::Art(b, kInk), want[dir - 1]) << dir;
    }
    TPixelBuffer b(9, 9, kPaper);
    DrawArrow(b.View(), {0, 0, 9, 9}, kInk, 5);
    EXPECT_EQ(b, TPixelBuffer(9, 9, kPaper));
}

TEST(Glyphs, FocusFrameIsDottedFromTheTopLeftCornerAndClipped) {
    TPixelBuffer b(9, 6, kPaper);
    DrawFocusFrame(b.View(), {1, 1, 8, 5}, kInk);
    EXPECT_EQ(test::Art(b, kInk),
              (Rows{".........", ".#.#.#.#.", ".........", ".#.....#.", "..#.#.#..", "........."}));
    // The even width leaves the bottom row's corners out; a rectangle
    // running off the target is cut, an empty one draws nothing.
    TPixelBuffer c(4, 3, kPaper);
    DrawFocusFrame(c.View(), {-1, 0, 3, 3}, kInk);
    EXPECT_EQ(test::Art(c, kInk), (Rows{".#..", "..#.", ".#.."}));
    DrawFocusFrame(c.View(), {2, 2, 2, 3}, kInk);
    DrawFocusFrame(c.View(), {0, 0, 3, 0}, kInk);
    EXPECT_EQ(test::Art(c, kInk), (Rows{".#..", "..#.", ".#.."}));
}

TEST(Glyphs, CheckMarkIsThreeLinesThick) {
    TPixelBuffer b(8, 8, kPaper);
    DrawCheckMark(b.View(), 0, 0, kInk);
    EXPECT_EQ(test::Art(b, kInk), (Rows{"........", "......#.", ".....##.", "#...###.", "##.###..",
                                        "#####...", ".###....", "..#....."}));
}

TEST(Glyphs, CaptionButtonGlyphs) {
    struct Case {
        TCaptionGlyph glyph;
        Rows art;
    };
    const Case cases[] = {
        {TCaptionGlyph::Cross,
         {"............", ".##.....##..", "..##...##...", "...##.##....", "....###.....", "....###.....",
          "...##.##....", "..##...##...", ".##.....##..", "............", "............"}},
        {TCaptionGlyph::Bar,
         {"............", "............", "............", ".########...", ".#......#...", ".########...",
          "............", "............", "............", "............", "............"}},
        {TCaptionGlyph::Underline,
         {"............", "............", "............", "............", "............", "............",
          "............", "............", ".########...", ".########...", "............"}},
        {TCaptionGlyph::Box,
         {"###########.", "###########.", "#.........#.", "#.........#.", "#.........#.", "#.........#.",
          "#.........#.", "#.........#.", "#.........#.", "###########.", "............"}},
        {TCaptionGlyph::TwoBoxes,
         {"..########..", "..########..", "..#......#..", "..#......#..", "#######..#..", "##########..",
          "#.....#.....", "#.....#.....", "#.....#.....", "#######.....", "............"}},
        {TCaptionGlyph::DownTriangle,
         {"............", "............", ".########...", "..######....", "...####.....", "....##......",
          "............", "............", "............", "............", "............"}},
        {TCaptionGlyph::UpTriangle,
         {"............", "............", "............", "....##......", "...####.....", "..######....",
          ".########...", "............", "............", "............", "............"}},
        {TCaptionGlyph::Square,
         {"............", "............", "..#####.....", "..#####.....", "..#####.....", "..#####.....",
          "..#####.....", "............", "............", "............", "............"}},
    };
    for (const Case& c : cases) {
        TPixelBuffer b(12, 11, kPaper);
        DrawCaptionGlyph(b.View(), c.glyph, 0, 0, kInk);
        EXPECT_EQ(test::Art(b, kInk), c.art) << static_cast<int>(c.glyph);
    }
}

TEST(Glyphs, DrawingIsClippedToTheTarget) {
    TPixelBuffer b(4, 4, kPaper);
    DrawCaptionGlyph(b.View(), TCaptionGlyph::Cross, -5, -5, kInk);
    DrawArrow(b.View(), {-4, -4, 5, 5}, kInk, 4);  // centre (0, 0)
    EXPECT_EQ(test::Art(b, kInk), (Rows{"###.", "###.", "#.##", "...#"}));
}

TEST(Glyphs, GlyphFrameUsesTheFramesBottomLeftPixelAsTransparent) {
    // Three 3 x 2 frames. Frame 2 (columns 3 .. 5) has the key colour A at
    // its bottom-left; frame 1's key colour B appears in frame 2 and is drawn.
    const TPixel a = MakePixel(1, 1, 1), bCol = MakePixel(2, 2, 2), c = MakePixel(3, 3, 3);
    TPixelBuffer glyph(9, 2, c);
    glyph.At(0, 1) = bCol;
    glyph.At(3, 1) = a;
    glyph.At(4, 0) = a;
    glyph.At(5, 0) = bCol;
    TPixelBuffer target(5, 3, kPaper);
    DrawGlyphFrame(target.View(), 1, 1, 2, 3, glyph.View());
    EXPECT_EQ(target.At(1, 1), c);
    EXPECT_EQ(target.At(2, 1), kPaper);  // key colour
    EXPECT_EQ(target.At(3, 1), bCol);
    EXPECT_EQ(target.At(1, 2), kPaper);
    EXPECT_EQ(target.At(2, 2), c);
    EXPECT_EQ(target.At(4, 1), kPaper);  // frame is 3 wide
    const TPixelBuffer before = target;
    DrawGlyphFrame(target.View(), 0, 0, 0, 3, glyph.View());
    DrawGlyphFrame(target.View(), 0, 0, 4, 3, glyph.View());
    DrawGlyphFrame(target.View(), 0, 0, 1, 0, glyph.View());
    DrawGlyphFrame(target.View(), 0, 0, 1, 10, glyph.View());  // frames narrower than a pixel
    DrawGlyphFrame(target.View(), 0, 0, 1, 1, TPixelView{});
    EXPECT_EQ(target, before);
}

}  // namespace
}  // namespace zv
