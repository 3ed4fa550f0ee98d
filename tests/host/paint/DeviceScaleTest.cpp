// Skin pixels on device pixels: the scale's lengths, the axis maps, and
// every composition drawn at 2x, 3x and 1.5x against its 1:1 drawing.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "PaintTestUtil.h"
#include "skin/SkinData.h"
#include "skinui/paint/FrameLayout.h"
#include "skinui/paint/Glyphs.h"
#include "skinui/paint/MaskRegion.h"
#include "skinui/paint/SkinPaint.h"
#include "skinui/paint/SkinSurface.h"

namespace zv {
namespace {

using test::CodedPicture;
using test::Where;

// A picture whose neighbouring pixels all differ (so a pixel taken from the
// wrong place shows), with a few pixels of the key colour.
TPixelBuffer BusyPicture(int w, int h) {
    TPixelBuffer b = CodedPicture(w, h, 9);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x * 7 + y * 3) % 11 == 0) b.At(x, y) = MakePixel(255, 0, 255);
    return b;
}

// Every pixel of `device` is the pixel of `skin` it covers, k x k times.
::testing::AssertionResult Replicated(const TPixelBuffer& skin, const TPixelBuffer& device, int k) {
    if (device.Width() != skin.Width() * k || device.Height() != skin.Height() * k)
        return ::testing::AssertionFailure() << "device " << device.Width() << "x" << device.Height()
                                             << " for skin " << skin.Width() << "x" << skin.Height();
    for (int y = 0; y < device.Height(); ++y)
        for (int x = 0; x < device.Width(); ++x)
            if (device.At(x, y) != skin.At(x / k, y / k))
                return ::testing::AssertionFailure()
                       << "device " << x << "," << y << " is " << Where(device.At(x, y)) << ", skin pixel "
                       << x / k << "," << y / k << " is " << Where(skin.At(x / k, y / k));
    return ::testing::AssertionSuccess();
}

// The same drawing once 1:1 and once at `ppi`, both starting white.
struct TBoth {
    TPixelBuffer Skin;
    TSkinBuffer Device;
};
TBoth DrawBoth(int w, int h, int ppi, TScaledPictures* pictures,
               const std::function<void(const TSkinSurface&)>& draw) {
    TBoth b{TPixelBuffer(w, h, MakePixel(255, 255, 255)),
            TSkinBuffer(TDeviceMap::ForSkinSize(w, h, TDeviceScale(ppi)), pictures)};
    draw(TSkinSurface(b.Skin.View()));
    draw(b.Device.Surface());
    return b;
}

TEST(DeviceScale, LengthsPositionsAndPartsOfATarget) {
    EXPECT_EQ(TDeviceScale(96).Map(421), 421);
    EXPECT_EQ(TDeviceScale(192).Map(421), 842);
    EXPECT_EQ(TDeviceScale(144).Map(421), 632);  // 631.5, the half away from zero
    EXPECT_EQ(TDeviceScale(144).Map(-3), -5);
    EXPECT_EQ(TDeviceScale(120).Map(14), 18);  // 17.5
    EXPECT_EQ(TDeviceScale(144).Unmap(632), 421);
    EXPECT_EQ(TDeviceScale(192).Unmap(843), 422);  // 421.5
    // A display below the skin's density draws the skin 1:1.
    EXPECT_TRUE(TDeviceScale(72).Identity());
    EXPECT_EQ(TDeviceScale(72).Map(10), 10);
    EXPECT_TRUE(TDeviceScale(288).Integral());
    EXPECT_FALSE(TDeviceScale(144).Integral());

    // A window of 421 skin pixels on 632 device pixels: positions grow
    // evenly, every skin pixel gets at least one device pixel, and the
    // device pixels of any two parts split anywhere add up to the whole.
    const TDeviceMap window = TDeviceMap::ForDeviceSize(632, 407, TDeviceScale(144));
    EXPECT_EQ(window.Width, 421);
    EXPECT_EQ(window.Height, 271);
    EXPECT_EQ(window.DeviceWidth(), 632);
    for (int split = 0; split <= 421; ++split) {
        const TDeviceMap left = window.Part({0, 0, split, 10});
        const TDeviceMap right = window.Part({split, 0, 421, 10});
        ASSERT_EQ(left.DeviceWidth() + right.DeviceWidth(), 632) << split;
        ASSERT_EQ(right.X.ToDevice(0), 0);
        ASSERT_GE(window.X.DeviceLength(split, 1), split < 421 ? 1 : 0) << split;
    }
    // Every device pixel lies on the skin pixel whose device range holds it,
    // for the whole and for a part with an origin of its own.
    for (const TDeviceMap& m : {window, window.Part({37, 11, 200, 100})})
        for (int d = 0; d < m.DeviceWidth(); ++d) {
            const int s = m.X.ToSkin(d);
            ASSERT_LE(m.X.ToDevice(s), d) << d;
            ASSERT_GT(m.X.ToDevice(s + 1), d) << d;
        }
    // At a whole factor every position is multiplied; at 96 nothing moves.
    const TDeviceMap twice = TDeviceMap::ForSkinSize(421, 271, TDeviceScale(192));
    EXPECT_EQ(twice.ToDevice(TRect{5, 24, 416, 266}), (TRect{10, 48, 832, 532}));
    EXPECT_EQ(twice.ToSkin({831, 531}), (TPoint{415, 265}));
    EXPECT_TRUE(TDeviceMap::ForDeviceSize(421, 271, TDeviceScale(96)).IsIdentity());
}

TEST(ResamplePiece, RepeatsPixelsAtWholeFactorsAndWeighsAreasOtherwise) {
    TPixelBuffer pic(2, 1);
    pic.At(0, 0) = MakePixel(0, 0, 0);
    pic.At(1, 0) = MakePixel(255, 200, 100);
    TPixelBuffer out;
    ResamplePiece(pic.View(), {0, 0, 2, 1}, 4, 2, out);
    EXPECT_TRUE(Replicated(pic, out, 2));
    // Three pixels over two: the middle one covers half of each.
    ResamplePiece(pic.View(), {0, 0, 2, 1}, 3, 1, out);
    EXPECT_EQ(out.At(0, 0), MakePixel(0, 0, 0));
    EXPECT_EQ(out.At(1, 0), MakePixel(128, 100, 50));
    EXPECT_EQ(out.At(2, 0), MakePixel(255, 200, 100));
    // A piece is resampled from its own pixels only: a uniform piece stays
    // uniform next to a picture of other colours.
    TPixelBuffer wide = CodedPicture(9, 5);
    for (int y = 1; y < 4; ++y)
        for (int x = 3; x < 6; ++x) wide.At(x, y) = MakePixel(10, 20, 30);
    ResamplePiece(wide.View(), {3, 1, 6, 4}, 5, 5, out);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) ASSERT_EQ(out.At(x, y), MakePixel(10, 20, 30)) << x << "," << y;
}

TEST(SkinSurface, EveryCompositionAtAWholeFactorIsItsOneToOneDrawingReplicated) {
    const TPixelBuffer pic = BusyPicture(162, 140);
    const TPixelView p = pic.View();
    const TRect element{20, 30, 79, 82};  // a panel-like nine-part element
    const TSkinGeometry g{{2, 2, 57, 50}, {5, 4}, {53, 6}, {6, 45}, {53, 46}};
    const TSkinGeometry formInfo{{5, 24, 157, 135}, {34, 26}, {80, 28}, {8, 131}, {151, 131}};
    for (int ppi : {192, 288}) {
        const int k = ppi / 96;
        TScaledPictures pictures{TDeviceScale(ppi)};
        struct TCase {
            const char* Name;
            int W, H;
            std::function<void(const TSkinSurface&)> Draw;
        };
        const TCase cases[] = {
            {"nine-part, client tiled", 415, 58,
             [&](const TSkinSurface& s) {
                 ComposeNinePart(p, element, g, s, ResizeSkinGeometry(g, 415 - 59, 58 - 52), true, {});
             }},
            {"nine-part, bands stretched, narrower than the element", 40, 33,
             [&](const TSkinSurface& s) {
                 ComposeNinePart(p, element, g, s, ResizeSkinGeometry(g, 40 - 59, 33 - 52), false,
                                 {true, true, true, true});
             }},
            {"three-part tiled and stretched", 97, 50,
             [&](const TSkinSurface& s) {
                 ComposeHorizontal(p, {1, 1, 36, 26}, 10, 11, s.Part({0, 0, 97, 25}), false);
                 ComposeHorizontal(p, {1, 1, 36, 26}, 10, 11, s.Part({0, 25, 97, 50}), true);
             }},
            {"vertical and by client rect", 40, 137,
             [&](const TSkinSurface& s) {
                 ComposeVertical(p, {110, 20, 127, 88}, 18, 20, s.Part({0, 0, 17, 137}), false);
                 ComposeByClientRect(p, {40, 40, 75, 65}, {5, 5, 30, 20}, s.Part({17, 0, 40, 137}));
             }},
            {"element, caption look, glyphs and transparent pieces", 120, 40,
             [&](const TSkinSurface& s) {
                 DrawSkinElement(p, {{100, 100, 130, 120}, {}, false}, s);
                 ComposeCaptionLook(s.Part({30, 2, 100, 20}), p, {24, 3, 89, 21},
                                    CalcCaptionLayout({24, 3, 89, 21}, {70, 18}, formInfo));
                 s.CopyTransparent(3, 22, p, {0, 76, 15, 91}, MakePixel(255, 0, 255));
                 DrawGlyphFrame(s, 20, 22, 2, 3, SubView(p, {40, 60, 70, 75}));
                 DrawArrow(s, {40, 22, 50, 32}, MakePixel(1, 2, 3), 3);
                 DrawCheckMark(s, 52, 22, MakePixel(4, 5, 6));
                 DrawCaptionGlyph(s, TCaptionGlyph::Cross, 62, 24, MakePixel(7, 8, 9));
                 DrawRectOutline(s, {75, 22, 90, 35}, MakePixel(0, 0, 128));
                 DrawLine(s, 92, 23, 110, 33, MakePixel(200, 0, 0));
                 s.Stretch({100, 22, 117, 38}, p, {0, 0, 7, 5});
             }},
        };
        for (const TCase& c : cases) {
            const TBoth b = DrawBoth(c.W, c.H, ppi, &pictures, c.Draw);
            EXPECT_TRUE(Replicated(b.Skin, b.Device.Pixels(), k)) << c.Name << " at " << ppi;
        }
        // The window frame's strips, each a part of the window's surface.
        const int w = 421, h = 271;
        const TSkinGeometry target = ResizeSkinGeometry(formInfo, w - 162, h - 140);
        const TFrameStripSizes sizes = FrameStripSizes(formInfo, target, w, h);
        TFrameStrips one;
        ComposeFrameStrips(p, formInfo, target, w, h, {}, one);
        const TDeviceMap window = TDeviceMap::ForSkinSize(w, h, TDeviceScale(ppi));
        const TRect places[4] = {{0, 0, sizes.Top.cx, sizes.Top.cy},
                                 {0, h - sizes.Bottom.cy, w, h},
                                 {0, sizes.Top.cy, sizes.Left.cx, sizes.Top.cy + sizes.Left.cy},
                                 {w - sizes.Right.cx, sizes.Top.cy, w, sizes.Top.cy + sizes.Right.cy}};
        TSkinBuffer strips[4];
        for (int i = 0; i < 4; ++i) strips[i] = TSkinBuffer(window.Part(places[i]), &pictures);
        ComposeFrameStrips(
            p, formInfo, target, {},
            {strips[0].Surface(), strips[1].Surface(), strips[2].Surface(), strips[3].Surface()});
        EXPECT_TRUE(Replicated(one.Top, strips[0].Pixels(), k)) << "top";
        EXPECT_TRUE(Replicated(one.Bottom, strips[1].Pixels(), k)) << "bottom";
        EXPECT_TRUE(Replicated(one.Left, strips[2].Pixels(), k)) << "left";
        EXPECT_TRUE(Replicated(one.Right, strips[3].Pixels(), k)) << "right";
        // A whole factor scales each picture once and cuts every piece from it.
        EXPECT_EQ(pictures.WholeCount(), 1u);
    }
}

// A picture of nine uniform pieces (the element's corners, bands and
// client), each in a colour of its own.
TPixelBuffer NinePieces(const TRect& sr, const TSkinGeometry& g, TPixel& bandColour) {
    TPixelBuffer b(sr.Right + 3, sr.Bottom + 3, MakePixel(250, 250, 250));
    const int xs[4] = {0, g.LeftTop.X, g.RightTop.X, sr.Width()};
    const int ys[4] = {0, g.LeftTop.Y, g.LeftBottom.Y, sr.Height()};
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            for (int y = ys[j]; y < ys[j + 1]; ++y)
                for (int x = xs[i]; x < xs[i + 1]; ++x)
                    b.At(sr.Left + x, sr.Top + y) = MakePixel(40 * i + 20, 40 * j + 20, 100 + 30 * i + 7 * j);
    bandColour = MakePixel(60, 20, 130);
    return b;
}

TEST(SkinSurface, AtOneAndAHalfSizesGrowByHalfAndPiecesJoinWithoutSeams) {
    // Odd corner sizes and tile lengths, so that piece edges fall between
    // device pixels.
    const TRect sr{3, 5, 40, 36};
    const TSkinGeometry g{{7, 5, 29, 26}, {7, 5}, {29, 5}, {7, 26}, {29, 26}};
    TPixel band;
    const TPixelBuffer pic = NinePieces(sr, g, band);
    TScaledPictures pictures{TDeviceScale(144)};
    for (const TSize size : {TSize{37, 31}, TSize{101, 57}, TSize{120, 121}}) {
        const TSkinGeometry target = ResizeSkinGeometry(g, size.cx - sr.Width(), size.cy - sr.Height());
        const TBoth b = DrawBoth(size.cx, size.cy, 144, &pictures, [&](const TSkinSurface& s) {
            ComposeNinePart(pic.View(), sr, g, s, target, true, {});
        });
        const TPixelBuffer& d = b.Device.Pixels();
        // Within a pixel of one and a half times the skin size.
        EXPECT_LE(std::abs(d.Width() * 2 - size.cx * 3), 1);
        EXPECT_LE(std::abs(d.Height() * 2 - size.cy * 3), 1);
        // Every device pixel has exactly the colour of the piece its skin
        // pixel shows: no colour of a neighbouring piece bled into a tile,
        // a corner or a band at any join.
        const TDeviceMap& m = b.Device.Map();
        for (int y = 0; y < d.Height(); ++y)
            for (int x = 0; x < d.Width(); ++x) {
                const TPoint s = m.ToSkin({x, y});
                ASSERT_EQ(d.At(x, y), b.Skin.At(s.X, s.Y))
                    << x << "," << y << " (skin " << s.X << "," << s.Y << ")";
            }
    }
    // Pieces are scaled once: drawing again adds none.
    const size_t made = pictures.PieceCount();
    EXPECT_GT(made, 0u);
    const TSkinGeometry again = ResizeSkinGeometry(g, 101 - sr.Width(), 57 - sr.Height());
    DrawBoth(101, 57, 144, &pictures,
             [&](const TSkinSurface& s) { ComposeNinePart(pic.View(), sr, g, s, again, true, {}); });
    EXPECT_EQ(pictures.PieceCount(), made);
}

TEST(SkinSurface, TransparentPiecesKeepTheirEdgesSoftAndTheirKeyColourOut) {
    // A 6 x 6 check: a 2-pixel key-coloured border around a dark square.
    const TPixel key = MakePixel(255, 0, 255);
    TPixelBuffer pic(6, 6, key);
    for (int y = 2; y < 4; ++y)
        for (int x = 2; x < 4; ++x) pic.At(x, y) = MakePixel(0, 40, 0);
    for (int ppi : {144, 192}) {
        TScaledPictures pictures{TDeviceScale(ppi)};
        const TBoth b = DrawBoth(6, 6, ppi, &pictures, [&](const TSkinSurface& s) {
            s.CopyTransparent(0, 0, pic.View(), pic.View().Bounds(), key);
        });
        const TPixelBuffer& d = b.Device.Pixels();
        for (int y = 0; y < d.Height(); ++y)
            for (int x = 0; x < d.Width(); ++x) {
                const TPixel p = d.At(x, y);
                // Only the target's white, the square's colour, or a mix of
                // the two: never any of the key colour.
                ASSERT_EQ(PixelR(p), PixelB(p)) << x << "," << y << " " << ppi;
                ASSERT_GE(PixelG(p), 40);
            }
        const TPoint inside = b.Device.Map().ToDevice(TPoint{3, 3});
        EXPECT_EQ(d.At(inside.X - 1, inside.Y - 1), MakePixel(0, 40, 0));
        EXPECT_EQ(d.At(0, 0), MakePixel(255, 255, 255));
    }
}

TEST(MaskRegion, ARegionOnTheDeviceCoversTheDevicePixelsOfItsSkinPixels) {
    TPixelBuffer mask(20, 10, MakePixel(0, 0, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            if (x + y < 3 || (19 - x) + (9 - y) < 2) mask.At(x, y) = MakePixel(255, 255, 255);
    const TSkinGeometry g{{3, 3, 17, 7}, {4, 3}, {16, 3}, {4, 7}, {16, 7}};
    const TSkinGeometry dest = ResizeSkinGeometry(g, 31, 17);
    const auto skin = ComposeMaskRegion(mask.View(), g, dest, 51);
    ASSERT_TRUE(skin);
    for (int ppi : {144, 192}) {
        const TDeviceMap map = TDeviceMap::ForSkinSize(51, 27, TDeviceScale(ppi));
        const TComposedMaskRegion device = RegionToDevice(*skin, map);
        auto inside = [&device](int x, int y) {
            if (device.ClientRect.Contains({x, y})) return true;
            for (const auto* part : {&device.Top, &device.Bottom, &device.Left, &device.Right})
                if (*part)
                    for (const TRect& r : (*part)->Runs)
                        if (r.Contains({x, y})) return true;
            return false;
        };
        for (int y = 0; y < map.DeviceHeight(); ++y)
            for (int x = 0; x < map.DeviceWidth(); ++x) {
                const TPoint s = map.ToSkin({x, y});
                ASSERT_EQ(inside(x, y), skin->Contains(s.X, s.Y)) << x << "," << y << " at " << ppi;
            }
    }
}

TEST(ScaledPictures, KeptWithTheSkinDataAndDroppedWithItsPictures) {
    TksSkinData data(nullptr);
    EXPECT_EQ(ScaledPicturesOf(&data, TDeviceScale(96)), nullptr);
    TScaledPictures* twice = ScaledPicturesOf(&data, TDeviceScale(192));
    ASSERT_NE(twice, nullptr);
    EXPECT_EQ(ScaledPicturesOf(&data, TDeviceScale(192)), twice);
    EXPECT_NE(ScaledPicturesOf(&data, TDeviceScale(144)), twice);
    EXPECT_NE(data.Derived(), nullptr);
    data.ClearSkin();
    EXPECT_EQ(data.Derived(), nullptr);
}

}  // namespace
}  // namespace zv
