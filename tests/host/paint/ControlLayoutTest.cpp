// The geometry of the skinned controls and popup menu levels: element
// rectangles moved with a size change, a button's glyph and caption, the
// scroll bar's parts and range rules, and where a menu level opens.
#include <gtest/gtest.h>

#include "skinui/paint/ControlLayout.h"

namespace zv {
namespace {

TEST(MapSkinRectToTarget, NinePartRectanglesFollowTheAreasTheirCornersLieIn) {
    TSkinElementGeometry e;  // the program's [panel]: SW 59, SH 52
    e.SkinRect = Rect(141, 4, 200, 56);
    e.Geometry = {Rect(2, 2, 57, 50), {5, 4}, {53, 6}, {6, 45}, {53, 46}};
    auto map = [&](const TRect& r) { return MapSkinRectToTarget(r, e, TSkinLayout::NinePart, 159, 72); };
    EXPECT_EQ(map(Rect(1, 1, 3, 3)), Rect(1, 1, 3, 3));        // top-left area
    EXPECT_EQ(map(Rect(54, 1, 57, 5)), Rect(154, 1, 157, 5));  // top-right: right by 100
    EXPECT_EQ(map(Rect(1, 46, 4, 50)), Rect(1, 66, 4, 70));    // bottom-left: down by 20
    EXPECT_EQ(map(Rect(54, 47, 58, 51)), Rect(154, 67, 158, 71));
    EXPECT_EQ(map(Rect(1, 1, 55, 50)), Rect(1, 1, 155, 70));     // top-left to bottom-right: grows
    EXPECT_EQ(map(Rect(2, 1, 56, 5)), Rect(2, 1, 156, 5));       // along the top: wider
    EXPECT_EQ(map(Rect(2, 46, 56, 50)), Rect(2, 66, 156, 70));   // along the bottom: wider and down
    EXPECT_EQ(map(Rect(1, 2, 4, 48)), Rect(1, 2, 4, 68));        // down the left: taller
    EXPECT_EQ(map(Rect(54, 2, 58, 48)), Rect(154, 2, 158, 68));  // down the right: right and taller
    EXPECT_EQ(map(Rect(20, 20, 30, 30)), Rect(20, 20, 30, 30));  // in the middle: kept
    // The far edge of an area belongs to it only in the second rule: a
    // rectangle filling the whole top-right area is kept as it is.
    EXPECT_EQ(map(Rect(53, 0, 59, 6)), Rect(53, 0, 59, 6));

    TSkinElementGeometry h;  // the program's [button]: LT.x 10, RT.x 24, SW 35
    h.SkinRect = Rect(1, 1, 36, 26);
    h.Geometry = {Rect(5, 5, 30, 20), {10, 12}, {24, 13}, {0, 0}, {0, 0}};
    EXPECT_EQ(MapSkinRectToTarget(Rect(2, 3, 30, 20), h, TSkinLayout::Horizontal, 97, 25),
              Rect(2, 3, 92, 20));
    EXPECT_EQ(MapSkinRectToTarget(Rect(25, 3, 30, 8), h, TSkinLayout::Horizontal, 97, 25),
              Rect(87, 3, 92, 8));
    EXPECT_EQ(MapSkinRectToTarget(Rect(12, 3, 20, 8), h, TSkinLayout::Horizontal, 97, 25),
              Rect(12, 3, 20, 8));

    TSkinElementGeometry v;  // the program's [vgauge]: LT.y 4, LB.y 56, SH 60
    v.SkinRect = Rect(110, 220, 126, 280);
    v.Geometry = {TRect{}, {0, 4}, {0, 0}, {0, 56}, {0, 0}};
    EXPECT_EQ(MapSkinRectToTarget(Rect(0, 2, 10, 58), v, TSkinLayout::Vertical, 16, 100), Rect(0, 2, 10, 98));
    EXPECT_EQ(MapSkinRectToTarget(Rect(0, 57, 10, 59), v, TSkinLayout::Vertical, 16, 100),
              Rect(0, 97, 10, 99));
    EXPECT_EQ(MapSkinRectToTarget(Rect(0, 10, 5, 20), v, TSkinLayout::Vertical, 16, 100), Rect(0, 10, 5, 20));
    EXPECT_EQ(MapSkinRectToTarget(Rect(0, 10, 5, 20), v, TSkinLayout::Fixed, 16, 100), Rect(0, 10, 5, 20));
}

TEST(CalcButtonLayout, GlyphAndCaptionFollowTheLayoutTable) {
    const TRect a{10, 20, 110, 60};  // cx 60, cy 40
    const TSize g{16, 12}, t{30, 14};
    auto at = [&](TksButtonLayout l, int margin) { return CalcButtonLayout(a, l, margin, 4, g, t); };
    // Centred: the pair (16 + 30 + 4 = 50 wide) around cx.
    TksButtonPlacement p = at(TksButtonLayout::blGlyphLeft, -1);
    EXPECT_EQ(p.Glyph, Point(35, 34));
    EXPECT_EQ(p.Text, Point(55, 33));
    p = at(TksButtonLayout::blGlyphRight, -1);
    EXPECT_EQ(p.Text, Point(35, 33));
    EXPECT_EQ(p.Glyph, Point(69, 34));
    p = at(TksButtonLayout::blGlyphTop, -1);  // 14 + 12 + 4 = 30 high around cy
    EXPECT_EQ(p.Glyph, Point(52, 25));
    EXPECT_EQ(p.Text, Point(45, 41));
    p = at(TksButtonLayout::blGlyphBottom, -1);
    EXPECT_EQ(p.Text, Point(45, 25));
    EXPECT_EQ(p.Glyph, Point(52, 43));
    // With a margin, from the named edge.
    p = at(TksButtonLayout::blGlyphLeft, 3);
    EXPECT_EQ(p.Glyph, Point(13, 34));
    EXPECT_EQ(p.Text, Point(33, 33));
    p = at(TksButtonLayout::blGlyphRight, 3);
    EXPECT_EQ(p.Glyph, Point(91, 34));
    EXPECT_EQ(p.Text, Point(57, 33));
    p = at(TksButtonLayout::blGlyphTop, 3);
    EXPECT_EQ(p.Glyph, Point(52, 23));
    EXPECT_EQ(p.Text, Point(45, 39));
    p = at(TksButtonLayout::blGlyphBottom, 3);
    EXPECT_EQ(p.Glyph, Point(52, 45));
    EXPECT_EQ(p.Text, Point(45, 27));
    // The spacing counts without a glyph too.
    p = CalcButtonLayout(a, TksButtonLayout::blGlyphLeft, -1, 4, {0, 0}, t);
    EXPECT_EQ(p.Text, Point(60 + 17 - 30, 33));
}

TEST(ScrollPositionFromOffset, MapsTheTravelOntoTheRange) {
    // With a page: 0 .. 20, page 7 gives positions 0 .. 14.
    EXPECT_EQ(ScrollPositionFromOffset(0, 10, 50, 0, 20, 7), 0);
    EXPECT_EQ(ScrollPositionFromOffset(40, 10, 50, 0, 20, 7), 14);
    EXPECT_EQ(ScrollPositionFromOffset(400, 10, 50, 0, 20, 7), 14);
    EXPECT_EQ(ScrollPositionFromOffset(-9, 10, 50, 0, 20, 7), 0);
    EXPECT_EQ(ScrollPositionFromOffset(20, 10, 50, 0, 20, 7), 7);
    // 14 * 10 / 40 = 3.5 rounds to the even 4; 14 * 30 / 40 = 10.5 to 10.
    EXPECT_EQ(ScrollPositionFromOffset(10, 10, 50, 0, 20, 7), 4);
    EXPECT_EQ(ScrollPositionFromOffset(30, 10, 50, 0, 20, 7), 10);
    // Without a page the whole range; a start above 0 is kept.
    EXPECT_EQ(ScrollPositionFromOffset(25, 0, 50, 100, 200, 0), 150);
    // No travel: min.
    EXPECT_EQ(ScrollPositionFromOffset(5, 30, 30, 3, 9, 0), 3);
    EXPECT_EQ(ScrollPositionFromOffset(5, 30, 20, 3, 9, 0), 3);
}

TksScrollBarMetrics Plain(bool vertical, int w, int h, int min, int max, int pos, int page) {
    TksScrollBarMetrics m;
    m.Vertical = vertical;
    m.Width = w;
    m.Height = h;
    m.Min = min;
    m.Max = max;
    m.Position = pos;
    m.PageSize = page;
    return m;
}

TEST(CalcScrollBarGeometry, WithoutSkinVertical) {
    // 19 x 150: track 17 .. 133 (116 long).
    auto g = CalcScrollBarGeometry(Plain(true, 19, 150, 0, 100, 0, 0));
    EXPECT_EQ(g.DecButton, Rect(1, 1, 18, 17));
    EXPECT_EQ(g.IncButton, Rect(1, 133, 18, 149));
    EXPECT_EQ(g.Track, Rect(1, 17, 18, 133));
    EXPECT_EQ(g.Thumb, Rect(1, 17, 18, 33));
    EXPECT_EQ(g.Offset1, 25);
    EXPECT_EQ(g.Offset2, 125);
    g = CalcScrollBarGeometry(Plain(true, 19, 150, 0, 100, 100, 0));
    EXPECT_EQ(g.Thumb, Rect(1, 117, 18, 133));
    // r = 0.25 of 100 travel.
    g = CalcScrollBarGeometry(Plain(true, 19, 150, 0, 100, 25, 0));
    EXPECT_EQ(g.ThumbOffset, 25);
    // 1/8 of 100 = 12.5 rounds to the even 12.
    g = CalcScrollBarGeometry(Plain(true, 19, 150, 0, 8, 1, 0));
    EXPECT_EQ(g.ThumbOffset, 12);
    // With a page: L = 116 * 10 / 21 = 55.2 -> 55, half 27, travel 62.
    g = CalcScrollBarGeometry(Plain(true, 19, 150, 0, 20, 11, 10));
    EXPECT_EQ(g.Offset1, 17 + 27);
    EXPECT_EQ(g.Offset2, 133 - 27);
    EXPECT_EQ(g.ThumbOffset, 62);
    EXPECT_EQ(g.Thumb, Rect(1, 17 + 62, 18, 17 + 62 + 54));  // odd length loses a pixel
    // A tiny page still gives a 16-pixel thumb.
    g = CalcScrollBarGeometry(Plain(true, 19, 150, 0, 1000, 0, 1));
    EXPECT_EQ(g.Thumb.Height(), 16);
    // A page larger than the range fills the track, no more.
    g = CalcScrollBarGeometry(Plain(true, 19, 150, 0, 5, 0, 10));
    EXPECT_EQ(g.Thumb, g.Track);
}

TEST(CalcScrollBarGeometry, WithoutSkinHorizontalAndBothMarker) {
    auto m = Plain(false, 200, 19, 0, 100, 50, 0);
    auto g = CalcScrollBarGeometry(m);
    EXPECT_EQ(g.DecButton, Rect(1, 1, 17, 18));
    EXPECT_EQ(g.IncButton, Rect(183, 1, 199, 18));
    EXPECT_EQ(g.Track, Rect(17, 1, 183, 18));
    EXPECT_EQ(g.Thumb, Rect(17 + 75, 1, 17 + 75 + 16, 18));  // 0.5 of 150
    m.BothMarkerWidth = 20;
    g = CalcScrollBarGeometry(m);
    EXPECT_EQ(g.IncButton, Rect(163, 1, 179, 18));
    EXPECT_EQ(g.Track, Rect(17, 1, 163, 18));
}

TEST(PlaceMenuLevel, FollowsAnchorWorkAreaAndLevelKind) {
    TksMenuPlacement p;
    p.WorkArea = Rect(0, 0, 800, 600);
    p.Width = 100;
    p.Height = 80;
    p.ItemsTop = 2;
    p.Anchor = Rect(10, 20, 40, 36);
    EXPECT_EQ(PlaceMenuLevel(p), Point(10, 36));
    // Upper half, no room below: bottom of the work area, beside the anchor.
    p.Height = 590;
    p.Anchor = Rect(10, 20, 40, 36);
    EXPECT_EQ(PlaceMenuLevel(p), Point(41, 10));
    // Lower half, no room above either: top of the work area, beside it.
    p.Anchor = Rect(750, 400, 790, 416);
    EXPECT_EQ(PlaceMenuLevel(p), Point(649, 0));
    // Asked to open upwards.
    p.Height = 80;
    p.PopupUp = true;
    EXPECT_EQ(PlaceMenuLevel(p), Point(700, 320));
    // A submenu: first entry level with the parent entry, right of it.
    p.PopupUp = false;
    p.Submenu = true;
    p.Anchor = Rect(100, 100, 200, 120);
    EXPECT_EQ(PlaceMenuLevel(p), Point(201, 98));
    p.Anchor = Rect(700, 550, 790, 570);  // no room right or below
    EXPECT_EQ(PlaceMenuLevel(p), Point(599, 570 - 80 + 2));
    // Scrolling by the work area height: from its top.
    p.Submenu = false;
    p.Scrolling = true;
    p.Anchor = Rect(100, 300, 100, 300);
    EXPECT_EQ(PlaceMenuLevel(p), Point(101, 0));
}

}  // namespace
}  // namespace zv
