// The frame layout of the skinned windows: the program's [FORMINFO] and
// frame objects on the main window and a dialog, the caption-button rows of
// other skins, the two zone-edge rules of the skin-rect mapping, the hit
// test, the default frame, and how a caption look is fitted.
#include <gtest/gtest.h>

#include "PaintTestUtil.h"
#include "skinui/paint/FrameLayout.h"

namespace zv {
namespace {

using test::Coded;
using test::CodedPicture;
using test::Where;

// The program's [FORMINFO] (main picture 162 x 140).
TksDataSkinFormInfo ProgramFormInfo() {
    TksDataSkinFormInfo fi;
    fi.LeftTopPoint = {34, 26};
    fi.RightTopPoint = {80, 28};
    fi.LeftBottomPoint = {8, 131};
    fi.RightBottomPoint = {151, 131};
    fi.ClientRect = {5, 24, 157, 135};
    fi.ButtonsRect = {92, 5, 154, 21};
    fi.ButtonsOffset = 1;
    fi.MaskRectArea = {4, 3, 159, 137};
    fi.HitTestLeftTopPoint = {9, 9};
    fi.HitTestRightTopPoint = {153, 8};
    fi.HitTestLeftBottomPoint = {6, 133};
    fi.HitTestRightBottomPoint = {154, 132};
    fi.BorderWidth = 3;
    return fi;
}
constexpr TSize kPicture{162, 140};

TFrameObjectEntry Caption(const TRect& skinRect) {
    TFrameObjectEntry o;
    o.Role = TFrameObjectRole::Caption;
    o.SkinRect = skinRect;
    return o;
}

TFrameObjectEntry Button(TStdCommand command, const TRect& skinRect, bool inPicture = true,
                         bool visible = true) {
    TFrameObjectEntry o;
    o.Role = TFrameObjectRole::CaptionButton;
    o.Command = command;
    o.SkinRect = skinRect;
    o.ButtonSize = {skinRect.Width(), skinRect.Height()};
    o.SkinRectInAPicture = inPicture;
    o.Visible = visible;
    o.Enabled = visible;
    return o;
}

// The program's six objects in the skin's order; `allIcons` makes the
// minimise, maximise and roll-up buttons visible as with every border icon.
std::vector<TFrameObjectEntry> ProgramObjects(bool allIcons) {
    return {Caption({24, 3, 89, 21}),
            Button(TStdCommand::cmClose, {35, 57, 49, 71}),
            Button(TStdCommand::cmMinimize, {35, 73, 49, 87}, true, allIcons),
            Button(TStdCommand::cmMaximize, {35, 89, 49, 103}, true, allIcons),
            Button(TStdCommand::cmRollUp, {35, 105, 49, 119}, true, allIcons),
            Button(TStdCommand::cmSysMenu, {6, 5, 20, 19}, false)};
}

TFrameLayout Laid(const TksDataSkinFormInfo& fi, int w, int h,
                  const std::vector<TFrameObjectEntry>& objects) {
    TFrameLayout l = CalcFrameLayout(fi, kPicture, w, h, 19);
    PlaceFrameObjects(l, fi, objects);
    return l;
}

TRect At(const TFrameLayout& l, size_t i) {
    return l.Objects.at(i).Rect;
}

TEST(FrameLayout, ProgramWindowsTargetsAndObjectPlaces) {
    const TksDataSkinFormInfo fi = ProgramFormInfo();
    // The main window: 421 x 271, dx = 259, dy = 131.
    TFrameLayout l = Laid(fi, 421, 271, ProgramObjects(false));
    EXPECT_TRUE(l.Skinned);
    EXPECT_EQ(l.ClientRect, Rect(5, 24, 416, 266));
    EXPECT_EQ(l.Target.RightBottom, Point(410, 262));
    EXPECT_EQ(l.ButtonsRect, Rect(351, 5, 413, 21));  // in the right half: follows the right edge
    EXPECT_EQ(l.CaptionRect, TRect{});
    EXPECT_EQ(l.MaskRect, Rect(4, 3, 418, 268));
    EXPECT_EQ(l.HitTestLeftTop, Point(9, 9));
    EXPECT_EQ(l.HitTestRightTop, Point(412, 8));
    EXPECT_EQ(l.HitTestLeftBottom, Point(6, 264));
    EXPECT_EQ(l.HitTestRightBottom, Point(413, 263));
    // The caption reaches from the top-left zone into the top-right one and
    // widens; the close button takes the row's right end; the hidden
    // buttons keep their skin rects, which lie in no zone; the system-menu
    // button, whose look is the frame picture's, stays in the top-left zone.
    EXPECT_EQ(At(l, 0), Rect(24, 3, 348, 21));
    EXPECT_EQ(At(l, 1), Rect(399, 5, 413, 19));
    EXPECT_EQ(At(l, 2), Rect(35, 73, 49, 87));
    EXPECT_EQ(At(l, 5), Rect(6, 5, 20, 19));
    EXPECT_TRUE(l.Objects[0].Caption);
    EXPECT_FALSE(l.Objects[2].Visible);

    // Every border icon: maximise, minimise and roll up line up left of the
    // close button, one pixel (buttonsoffset) apart.
    l = Laid(fi, 421, 271, ProgramObjects(true));
    EXPECT_EQ(At(l, 1), Rect(399, 5, 413, 19));
    EXPECT_EQ(At(l, 3), Rect(384, 5, 398, 19));
    EXPECT_EQ(At(l, 2), Rect(369, 5, 383, 19));
    EXPECT_EQ(At(l, 4), Rect(354, 5, 368, 19));

    // A dialog: 333 x 168.
    l = Laid(fi, 333, 168, ProgramObjects(false));
    EXPECT_EQ(l.ClientRect, Rect(5, 24, 328, 163));
    EXPECT_EQ(At(l, 1), Rect(311, 5, 325, 19));
    EXPECT_EQ(At(l, 0), Rect(24, 3, 260, 21));

    // A skin without a client rectangle keeps the default frame's client.
    TksDataSkinFormInfo bare = fi;
    bare.ClientRect = {};
    EXPECT_EQ(CalcFrameLayout(bare, kPicture, 421, 271, 19).ClientRect, Rect(3, 22, 418, 268));
}

TEST(FrameLayout, CaptionRowsMakeRoomForButtonsAndTheSystemMenu) {
    // No buttons rect: the buttons go into the caption row (20, 2, 140, 22),
    // 2 pixels apart; the system-menu button shows its look from a picture.
    TksDataSkinFormInfo fi = ProgramFormInfo();
    fi.ButtonsRect = {};
    fi.CaptionRect = {20, 2, 140, 22};
    fi.ButtonsOffset = 2;
    TFrameObjectEntry sysMenu = Button(TStdCommand::cmSysMenu, {0, 0, 16, 16});
    const std::vector<TFrameObjectEntry> objects = {
        Caption({30, 3, 120, 21}),
        Button(TStdCommand::cmDefault, {0, 0, 10, 12}),
        Button(TStdCommand::cmClose, {0, 0, 14, 14}),
        Button(TStdCommand::cmDefault, {50, 40, 60, 50}, true, false),  // hidden: not in the row
        sysMenu,
    };
    // 262 x 140: dx = 100, the caption row ends at 240.
    TFrameLayout l = Laid(fi, 262, 140, objects);
    EXPECT_EQ(l.CaptionRect, Rect(20, 2, 240, 22));
    EXPECT_EQ(At(l, 2), Rect(226, 2, 240, 16));  // close first, from the right end
    EXPECT_EQ(At(l, 1), Rect(214, 2, 224, 14));  // then the custom button
    EXPECT_EQ(At(l, 3), Rect(50, 40, 60, 50));   // mapped, in no zone
    // The system-menu button centred at the row's left end; the caption
    // between it and the buttons.
    EXPECT_EQ(At(l, 4), Rect(20, 4, 36, 20));
    EXPECT_EQ(At(l, 0), Rect(36, 3, 214, 21));

    // From the left ("buttonsinleft"): close, custom, then the system-menu
    // button in the same row; the caption starts one offset after them.
    fi.ButtonsInLeft = true;
    l = Laid(fi, 262, 140, objects);
    EXPECT_EQ(At(l, 2), Rect(20, 2, 34, 16));
    EXPECT_EQ(At(l, 1), Rect(36, 2, 46, 14));
    EXPECT_EQ(At(l, 4), Rect(48, 2, 64, 18));
    EXPECT_EQ(At(l, 0), Rect(68, 3, 220, 21));

    // With neither row every object keeps its mapped skin rect.
    fi.CaptionRect = {};
    l = Laid(fi, 262, 140, objects);
    EXPECT_EQ(At(l, 2), Rect(0, 0, 14, 14));
    EXPECT_EQ(At(l, 0), Rect(30, 3, 220, 21));
}

TEST(MapSkinRect, ZonesMoveRectanglesAndTheEdgeRuleDecidesSpans) {
    // A 100 x 80 picture: zones TL (0,0,20,15), TR (70,0,100,15),
    // BL (0,60,20,80), BR (70,60,100,80); the target is 50 wider, 30 taller.
    const TSkinGeometry g{{10, 10, 90, 70}, {20, 15}, {70, 15}, {20, 60}, {70, 60}};
    for (TZoneEdges edges : {TZoneEdges::Excluded, TZoneEdges::Included}) {
        auto map = [&](const TRect& r) { return MapSkinRect(r, g, 100, 80, 50, 30, edges); };
        EXPECT_EQ(map({2, 2, 10, 10}), Rect(2, 2, 10, 10));         // in TL: stays
        EXPECT_EQ(map({75, 2, 90, 10}), Rect(125, 2, 140, 10));     // in TR: right
        EXPECT_EQ(map({2, 65, 10, 75}), Rect(2, 95, 10, 105));      // in BL: down
        EXPECT_EQ(map({75, 65, 90, 75}), Rect(125, 95, 140, 105));  // in BR: both
        EXPECT_EQ(map({5, 5, 80, 70}), Rect(5, 5, 130, 100));       // TL to BR: grows
        EXPECT_EQ(map({5, 5, 80, 12}), Rect(5, 5, 130, 12));        // TL to TR: wider
        EXPECT_EQ(map({5, 65, 80, 75}), Rect(5, 95, 130, 105));     // BL to BR: wider, down
        EXPECT_EQ(map({5, 5, 15, 70}), Rect(5, 5, 15, 100));        // TL to BL: taller
        EXPECT_EQ(map({75, 5, 90, 70}), Rect(125, 5, 140, 100));    // TR to BR: right, taller
        EXPECT_EQ(map({30, 30, 40, 40}), Rect(30, 30, 40, 40));     // in no zone
        EXPECT_EQ(map({70, 0, 100, 15}), Rect(70, 0, 100, 15));     // fills TR: in no single zone
    }
    // A band to the picture's right edge ends on TR's outer edge: only the
    // controls' rule lets it stretch, and likewise a band to the bottom edge.
    EXPECT_EQ(MapSkinRect({5, 2, 100, 12}, g, 100, 80, 50, 30, TZoneEdges::Excluded), Rect(5, 2, 100, 12));
    EXPECT_EQ(MapSkinRect({5, 2, 100, 12}, g, 100, 80, 50, 30, TZoneEdges::Included), Rect(5, 2, 150, 12));
    EXPECT_EQ(MapSkinRect({2, 5, 10, 80}, g, 100, 80, 50, 30, TZoneEdges::Excluded), Rect(2, 5, 10, 80));
    EXPECT_EQ(MapSkinRect({2, 5, 10, 80}, g, 100, 80, 50, 30, TZoneEdges::Included), Rect(2, 5, 10, 110));
    // Damaged values saturate instead of overflowing.
    EXPECT_EQ(MapSkinRect({75, 2, 90, 10}, g, 100, 80, 2147483600, 0, TZoneEdges::Excluded).Right, 1 << 30);

    // The frame's layout maps with the excluded edges, by its size; without
    // skin it leaves rectangles alone.
    const TFrameLayout l = CalcFrameLayout(ProgramFormInfo(), kPicture, 421, 271, 19);
    EXPECT_EQ(l.MapSkinRect({152, 132, 160, 139}), Rect(411, 263, 419, 270));
    EXPECT_EQ(l.MapSkinRect({80, 0, 162, 28}), Rect(80, 0, 162, 28));
    EXPECT_EQ(TFrameLayout{}.MapSkinRect({90, 2, 100, 10}), Rect(90, 2, 100, 10));
}

TEST(FrameHitTest, AnswersFromTheLayoutAndTheFramesState) {
    const TFrameLayout l = Laid(ProgramFormInfo(), 421, 271, ProgramObjects(false));
    auto hit = [&](const TFrameHitState& s, int x, int y) { return HitTestFrame(l, s, {x, y}); };
    const TFrameHitState plain;
    EXPECT_EQ(hit(plain, 100, 100), htClient);
    EXPECT_EQ(hit(plain, 200, 10), htCaption);
    EXPECT_EQ(hit(plain, 405, 10), htObject);  // close button
    EXPECT_EQ(hit(plain, 2, 100), htObject);   // border
    EXPECT_EQ(hit(plain, 360, 10), htObject);  // where the hidden buttons would be
    EXPECT_EQ(FindFrameObject(l, {405, 10}), 1);
    EXPECT_EQ(FindFrameObject(l, {40, 80}), -1);  // the hidden minimise button's rect
    EXPECT_EQ(FindFrameObject(l, {10, 10}), 5);

    // While an object is hovered the frame outside the client and the
    // caption keeps the mouse; the caption and the client answer as ever.
    TFrameHitState hovered;
    hovered.ObjectHovered = true;
    EXPECT_EQ(hit(hovered, 2, 100), htObject);
    EXPECT_EQ(hit(hovered, 200, 10), htCaption);
    EXPECT_EQ(hit(hovered, 100, 100), htClient);
    // Rolled up or minimised: only the caption moves the window.
    TFrameHitState rolled;
    rolled.RolledUpOrMinimized = true;
    EXPECT_EQ(hit(rolled, 200, 10), htCaption);
    EXPECT_EQ(hit(rolled, 100, 100), htObject);

    // A sizeable window without a mask: 3-pixel probes outside the window
    // find the edges, named by the moved hit-test points.
    TFrameHitState sizing;
    sizing.SizingBorder = true;
    sizing.BorderWidth = 3;
    EXPECT_EQ(hit(sizing, 2, 2), htTopLeft);
    EXPECT_EQ(hit(sizing, 418, 2), htTopRight);
    EXPECT_EQ(hit(sizing, 2, 268), htBottomLeft);
    EXPECT_EQ(hit(sizing, 419, 269), htBottomRight);
    EXPECT_EQ(hit(sizing, 200, 1), htTop);
    EXPECT_EQ(hit(sizing, 200, 269), htBottom);
    EXPECT_EQ(hit(sizing, 1, 100), htLeft);
    EXPECT_EQ(hit(sizing, 419, 100), htRight);
    EXPECT_EQ(hit(sizing, 3, 100), htObject);  // every probe inside the window
    EXPECT_EQ(hit(sizing, 200, 12), htCaption);
    // With a mask the probes ask the window's shape outside the mask rect.
    TComposedMaskRegion mask;
    mask.ClientRect = l.MaskRect;
    sizing.Mask = &mask;
    EXPECT_EQ(hit(sizing, 3, 100), htLeft);
    EXPECT_EQ(hit(sizing, 4, 100), htObject);  // inside the mask rect: never an edge
}

TEST(FrameHitTest, DefaultFrameWithoutSkin) {
    const std::vector<TFrameObjectEntry> objects = {
        Button(TStdCommand::cmSysMenu, {}), Button(TStdCommand::cmClose, {}),
        Button(TStdCommand::cmMaximize, {}, true, false), Button(TStdCommand::cmMinimize, {})};
    // 333 x 168, caption 19 high, buttons 17 square: top = 3 + (19 - 17) / 2.
    const TFrameLayout l = CalcDefaultFrameLayout(333, 168, 19, 17, objects);
    EXPECT_FALSE(l.Skinned);
    EXPECT_EQ(l.ClientRect, Rect(3, 22, 330, 165));
    EXPECT_EQ(l.CaptionRect, Rect(3, 3, 330, 22));
    EXPECT_EQ(At(l, 1), Rect(312, 4, 329, 21));
    EXPECT_EQ(At(l, 2), TRect{});  // hidden: no place
    EXPECT_EQ(At(l, 3), Rect(294, 4, 311, 21));
    EXPECT_EQ(At(l, 0), Rect(4, 4, 21, 21));
    const TFrameHitState none;
    EXPECT_EQ(HitTestFrame(l, none, {320, 10}), htObject);
    EXPECT_EQ(HitTestFrame(l, none, {100, 10}), htCaption);
    EXPECT_EQ(HitTestFrame(l, none, {100, 100}), htClient);
    EXPECT_EQ(HitTestFrame(l, none, {1, 1}), htObject);
    // A tiny window keeps its client and caption rectangles from turning over.
    const TFrameLayout tiny = CalcDefaultFrameLayout(2, 10, 15, 13, {});
    EXPECT_EQ(tiny.ClientRect, Rect(3, 18, 3, 18));
    EXPECT_EQ(tiny.CaptionRect, Rect(3, 3, 3, 18));
}

TEST(CaptionLayout, KindsFixedEndsTextRectAndLook) {
    const TSkinGeometry program{{5, 24, 157, 135}, {34, 26}, {80, 28}, {8, 131}, {151, 131}};
    TCaptionLayout c = CalcCaptionLayout({24, 3, 89, 21}, {324, 18}, program);
    EXPECT_EQ(c.Kind, TCaptionLayoutKind::TopBand);
    EXPECT_EQ(c.Fixed1, 10);
    EXPECT_EQ(c.Fixed2, 9);
    EXPECT_FALSE(c.Stretched);
    c = CalcCaptionLayout({24, 3, 89, 21}, {65, 18}, program);
    EXPECT_EQ(c.Kind, TCaptionLayoutKind::Plain);
    EXPECT_TRUE(c.Stretched);

    // LT (20,15), RT (70,25), LB (20,60), RB (70,60).
    const TSkinGeometry g{{}, {20, 15}, {70, 25}, {20, 60}, {70, 60}};
    c = CalcCaptionLayout({10, 62, 90, 75}, {200, 13}, g);
    EXPECT_EQ(c.Kind, TCaptionLayoutKind::BottomBand);
    EXPECT_EQ(c.Fixed1, 10);
    EXPECT_EQ(c.Fixed2, 20);
    c = CalcCaptionLayout({80, 20, 95, 70}, {15, 100}, g);
    EXPECT_EQ(c.Kind, TCaptionLayoutKind::RightBand);
    EXPECT_EQ(c.Fixed1, 5);
    EXPECT_EQ(c.Fixed2, 10);
    c = CalcCaptionLayout({2, 10, 12, 70}, {10, 100}, g);
    EXPECT_EQ(c.Kind, TCaptionLayoutKind::LeftBand);
    EXPECT_EQ(c.Fixed1, 5);
    EXPECT_EQ(c.Fixed2, 10);
    EXPECT_FALSE(c.Stretched);
    // Corner points that make no frame stretch the look.
    const TSkinGeometry flat{{}, {20, 15}, {70, 25}, {20, 60}, {20, 60}};
    EXPECT_TRUE(CalcCaptionLayout({24, 3, 89, 21}, {324, 18}, flat).Stretched);

    TksDataSkinCaption caption;
    caption.SkinRect = {24, 3, 89, 21};
    caption.TextRect = {5, 3, 61, 15};
    EXPECT_EQ(CaptionTextRect(caption, 324), Rect(5, 3, 320, 15));
    caption.FrameRect = {0, 0, 40, 16};
    caption.FrameTextRect = {6, 2, 30, 14};
    EXPECT_EQ(CaptionTextRect(caption, 324), Rect(11, 5, 310, 15));

    // A top band 50 wide from a 30-wide source with fixed ends 4 and 6: the
    // 20-pixel middle tiled from x = 0, the ends drawn over it.
    const TPixelBuffer pic = CodedPicture(40, 10);
    TPixelBuffer look(50, 6);
    ComposeCaptionLook(look.View(), pic.View(), {5, 2, 35, 8}, {TCaptionLayoutKind::TopBand, 4, 6, false});
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 50; ++x) {
            const int sx = x < 4 ? 5 + x : x >= 44 ? 35 - (50 - x) : 9 + x % 20;
            ASSERT_EQ(look.At(x, y), Coded(sx, 2 + y)) << x << "," << y << " got " << Where(look.At(x, y));
        }
    // A left band along y: 2 fixed rows on top, 1 at the bottom.
    TPixelBuffer column(30, 9);
    ComposeCaptionLook(column.View(), pic.View(), {5, 2, 35, 8}, {TCaptionLayoutKind::LeftBand, 2, 1, false});
    for (int y = 0; y < 9; ++y) {
        const int sy = y < 2 ? 2 + y : y >= 8 ? 7 : 4 + y % 3;
        ASSERT_EQ(column.At(3, y), Coded(8, sy)) << y << " got " << Where(column.At(3, y));
    }
    // Stretched to the same size: a plain copy; an empty source draws nothing.
    TPixelBuffer same(30, 6, 0x123456);
    ComposeCaptionLook(same.View(), pic.View(), {5, 2, 35, 8}, {});
    EXPECT_EQ(same.At(29, 5), Coded(34, 7));
    ComposeCaptionLook(same.View(), pic.View(), {}, {});
    EXPECT_EQ(same.At(0, 0), Coded(5, 2));
}

}  // namespace
}  // namespace zv
