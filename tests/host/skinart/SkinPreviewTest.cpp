// "skintool preview" over the program's skin: the rendered frame, button,
// check list, scroll bar and popup show the skin's pictures where the
// composition rules put them; the PNG files decode back to the pixels; bad
// arguments are refused.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "base/Streams.h"
#include "skin/SkinData.h"
#include "tools/skintool/PngWriter.h"
#include "tools/skintool/SkinPreview.h"
#include "tools/skintool/SkinTool.h"

namespace zv {
namespace {

namespace fs = std::filesystem;

std::string SkinIni() {
    const char* root = std::getenv("ZV_SOURCE_DIR");
    return std::string(root ? root : ".") + "/resources/skin/skin.ini";
}

class SkinPreview : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        stored = new TksCompressedStoredSkin(nullptr);
        ASSERT_TRUE(stored->LoadFromSkinFile(SkinIni()));
        data = new TksSkinData(nullptr);
        data->LoadCompressedSkin(*stored);
    }
    static void TearDownTestSuite() {
        delete data;
        delete stored;
        data = nullptr;
        stored = nullptr;
    }
    static TPixel At(const TPreviewImage& img, int x, int y) { return PixelRGB(img.Pixels.At(x, y)); }
    static TPixel Pic(const TksBitmap& b, int x, int y) { return PixelRGB(b.Pixels().At(x, y)); }
    static bool Opaque(const TPreviewImage& img, int x, int y) {
        return img.Alpha.empty() || img.Alpha[static_cast<std::size_t>(y * img.Pixels.Width() + x)] == 255;
    }

    static TksCompressedStoredSkin* stored;
    static TksSkinData* data;
};

TksCompressedStoredSkin* SkinPreview::stored = nullptr;
TksSkinData* SkinPreview::data = nullptr;

TEST_F(SkinPreview, FrameShowsCornersBandsCaptionCloseButtonAndShape) {
    const TPreviewImage f = RenderFramePreview(*data, 421, 271, true, "");
    ASSERT_EQ(f.Pixels.Width(), 421);
    ASSERT_EQ(f.Pixels.Height(), 271);
    const TksBitmap& pic = data->Picture();
    const int dx = 421 - 162, dy = 271 - 140;
    // fixed corner pieces
    EXPECT_EQ(At(f, 10, 10), Pic(pic, 10, 10));                    // system-menu icon
    EXPECT_EQ(At(f, 2 + dx + 155, 100 + dy), Pic(pic, 157, 100));  // right border, bottom fixed part
    EXPECT_EQ(At(f, 420 - 3, 270 - 2), Pic(pic, 161 - 3, 139 - 2));
    EXPECT_EQ(At(f, 3, 270 - 2), Pic(pic, 3, 139 - 2));
    // the bottom band's middle is tiled from the strip's origin
    EXPECT_EQ(At(f, 200, 268), Pic(pic, 8 + (200 % 143), 137));
    // client background: the picture's client part tiled
    EXPECT_EQ(At(f, 5, 24), Pic(pic, 5, 24));
    EXPECT_EQ(At(f, 5 + 152 + 3, 24 + 111 + 4), Pic(pic, 5 + 3, 24 + 4));
    // active caption plate widened to (24, 3, 348, 21); its ends are fixed
    const TksBitmap& active = *data->ActivePicture(0);
    EXPECT_EQ(At(f, 24 + 2, 3 + 9), Pic(active, 4 + 2, 3 + 9));
    EXPECT_EQ(At(f, 347, 3 + 9), Pic(active, 68, 3 + 9));
    EXPECT_EQ(At(f, 200, 3 + 1), Pic(active, 30, 3 + 1));
    // the close button sits at (399, 5, 413, 19) in its normal look
    for (auto [x, y] : {std::pair{0, 0}, {7, 7}, {13, 13}, {3, 10}})
        EXPECT_EQ(At(f, 399 + x, 5 + y), Pic(active, 35 + x, 57 + y)) << x << "," << y;
    // the mask: corners cut, border and client kept
    EXPECT_FALSE(Opaque(f, 0, 0));
    EXPECT_FALSE(Opaque(f, 420, 270));
    EXPECT_TRUE(Opaque(f, 210, 0));
    EXPECT_TRUE(Opaque(f, 0, 135));
    EXPECT_TRUE(Opaque(f, 210, 135));

    // The inactive frame shows the main picture's own caption look.
    const TPreviewImage g = RenderFramePreview(*data, 421, 271, false, "");
    EXPECT_EQ(At(g, 24 + 2, 3 + 9), Pic(pic, 24 + 2, 3 + 9));
    EXPECT_NE(At(g, 200, 12), At(f, 200, 12));
}

TEST_F(SkinPreview, CaptionTextIsWhiteOverABlackShadowWhenActive) {
    const TPreviewImage f = RenderFramePreview(*data, 333, 168, true, "IIIIIIII");
    int white = 0, black = 0;
    for (int y = 3; y < 21; ++y)
        for (int x = 24; x < 89 + 333 - 162; ++x) {
            white += At(f, x, y) == MakePixel(255, 255, 255);
            black += At(f, x, y) == 0;
        }
    EXPECT_GT(white, 20);
    EXPECT_GT(black, 20);
    const TPreviewImage g = RenderFramePreview(*data, 333, 168, false, "IIIIIIII");
    int grey = 0;
    for (int y = 3; y < 21; ++y)
        for (int x = 24; x < 250; ++x) grey += At(g, x, y) == MakePixel(192, 192, 192);
    EXPECT_GT(grey, 20);
}

TEST_F(SkinPreview, InstallButtonHasFixedEndsAndATiledMiddle) {
    const TksBitmap& c = *data->ActivePicture(4);
    const std::pair<TPreviewButtonState, int> looks[] = {{TPreviewButtonState::Normal, 1},
                                                         {TPreviewButtonState::Active, 37},
                                                         {TPreviewButtonState::Pressed, 73}};
    for (const auto& [state, left] : looks) {
        const TPreviewImage b = RenderButtonPreview(*data, "button", 97, 25, state, "");
        ASSERT_EQ(b.Pixels.Width(), 97);
        ASSERT_EQ(b.Pixels.Height(), 25);
        for (int y : {0, 12, 24}) {
            EXPECT_EQ(At(b, 0, y), Pic(c, left, 1 + y));
            EXPECT_EQ(At(b, 9, y), Pic(c, left + 9, 1 + y));
            EXPECT_EQ(At(b, 96, y), Pic(c, left + 34, 1 + y));
            EXPECT_EQ(At(b, 86, y), Pic(c, left + 24, 1 + y));
            EXPECT_EQ(At(b, 10 + 14 * 5 + 3, y), Pic(c, left + 10 + 3, 1 + y));
        }
    }
    // The caption is black on the normal look and white when disabled.
    auto count = [&](TPreviewButtonState s, TPixel colour) {
        const TPreviewImage b = RenderButtonPreview(*data, "button", 97, 25, s, "Install");
        int n = 0;
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 97; ++x) n += At(b, x, y) == colour;
        return n;
    };
    EXPECT_GT(count(TPreviewButtonState::Normal, 0), 20);
    EXPECT_GT(count(TPreviewButtonState::Disabled, MakePixel(255, 255, 255)), 20);
}

TEST_F(SkinPreview, CheckListRowsShowItemLooksAndCheckPictures) {
    const TksBitmap& c = *data->ActivePicture(4);
    const std::vector<TPreviewListItem> items = {{"", true}, {"", false}, {"", true}};
    const TPreviewImage l = RenderCheckListPreview(*data, "checklistbox", 200, 80, items, 0, 2);
    ASSERT_EQ(l.Pixels.Width(), 200);
    // frame corner and the client rect at (2, 2)
    EXPECT_EQ(At(l, 0, 0), Pic(c, 67, 130));
    EXPECT_EQ(At(l, 199, 79), Pic(c, 125, 181));
    // row 0 focused, row 1 normal, row 2 highlighted: a pixel in each look's
    // fixed right end and in its tiled middle
    const int tops[] = {121, 75, 98};
    for (int row = 0; row < 3; ++row) {
        const int y = 2 + row * 21 + 10;
        EXPECT_EQ(At(l, 2 + 196 - 1, y), Pic(c, 343, tops[row] + 10)) << row;
        EXPECT_EQ(At(l, 2 + 25 + 2, y - 9), Pic(c, 290 + 25 + 2, tops[row] + 1)) << row;
    }
    // the checked picture at (1, 3) of row 0 (a pixel of its mark), the
    // unchecked one in row 1
    EXPECT_EQ(At(l, 2 + 1 + 5, 2 + 3 + 10), Pic(c, 14 + 5, 76 + 10));
    EXPECT_EQ(At(l, 2 + 1 + 5, 2 + 21 + 3 + 10), Pic(c, 0 + 5, 76 + 10));
    EXPECT_NE(At(l, 2 + 1 + 5, 2 + 3 + 10), At(l, 2 + 1 + 5, 2 + 21 + 3 + 10));
}

TEST_F(SkinPreview, ScrollBarKeepsItsEndsAndTilesTheTrack) {
    const TksBitmap& c = *data->ActivePicture(4);
    const TPreviewImage s = RenderScrollBarPreview(*data, "vscrollbar", 120, 100, false);
    ASSERT_EQ(s.Pixels.Width(), 17);
    ASSERT_EQ(s.Pixels.Height(), 120);
    EXPECT_EQ(At(s, 8, 8), Pic(c, 224 + 8, 25 + 8));        // decreasing arrow
    EXPECT_EQ(At(s, 8, 119 - 8), Pic(c, 224 + 8, 92 - 8));  // increasing arrow
    EXPECT_EQ(At(s, 3, 30), Pic(c, 224 + 3, 25 + 30));      // track
    // the thumb at the end of its travel: its last row touches the arrow
    EXPECT_EQ(At(s, 0, 120 - 17 - 1), Pic(c, 242, 21));
    const TPreviewImage p = RenderScrollBarPreview(*data, "vscrollbar", 120, 0, true);
    EXPECT_EQ(At(p, 8, 8), Pic(c, 242 + 8, 25 + 8));  // pressed arrow
    EXPECT_EQ(At(p, 0, 17 + 1), Pic(c, 221, 4 + 1));  // dragged thumb
}

TEST_F(SkinPreview, PopupMenuShowsWindowEntriesAndDivider) {
    const TksBitmap& pw = *data->ActivePicture(1);
    const TksBitmap& mi = *data->ActivePicture(2);
    const TPreviewImage m = RenderPopupPreview(*data,
                                               {{TPreviewEntryKind::Highlighted, "", "", false},
                                                {TPreviewEntryKind::Divider, "", "", false},
                                                {TPreviewEntryKind::Normal, "", "", false}},
                                               120);
    ASSERT_EQ(m.Pixels.Width(), 2 + 120 + 2);
    ASSERT_EQ(m.Pixels.Height(), 2 + 20 + 5 + 20 + 2);
    EXPECT_EQ(At(m, 0, 0), Pic(pw, 0, 0));
    EXPECT_EQ(At(m, 123, 48), Pic(pw, 87, 79));
    EXPECT_EQ(At(m, 2 + 0, 2 + 0), Pic(mi, 1, 1));          // highlighted look, left end
    EXPECT_EQ(At(m, 2 + 119, 2 + 19), Pic(mi, 67, 20));     // right end
    EXPECT_EQ(At(m, 2 + 36, 2 + 20 + 2), Pic(mi, 36, 43));  // divider line
}

// The main window at 200% is its 100% rendering replicated 2 x 2, shape
// included; at 150% it is 1.5 times the size (nearest pixel), its shape
// taken from the skin pixel each device pixel shows, and the flat colours
// away from any edge keep their exact colour (the filter only blends
// across a change of colour).
TEST_F(SkinPreview, ScaledPreviewReplicatesWholeFactorsAndKeepsTheShapeAtOthers) {
    const TPreviewImage one = RenderMainWindowPreview(*data, {{"C:\\Plugins", true}});
    const int w = one.Pixels.Width();
    const int h = one.Pixels.Height();
    ASSERT_FALSE(one.Alpha.empty());
    const TPreviewImage two = ScalePreview(one, 192);
    ASSERT_EQ(two.Pixels.Width(), 2 * w);
    ASSERT_EQ(two.Pixels.Height(), 2 * h);
    ASSERT_EQ(two.Alpha.size(), static_cast<std::size_t>(4 * w * h));
    int mismatches = 0;
    for (int y = 0; y < 2 * h; ++y)
        for (int x = 0; x < 2 * w; ++x) {
            if (two.Pixels.At(x, y) != one.Pixels.At(x / 2, y / 2)) ++mismatches;
            if (two.Alpha[static_cast<std::size_t>(y * 2 * w + x)] !=
                one.Alpha[static_cast<std::size_t>(y / 2 * w + x / 2)])
                ++mismatches;
        }
    EXPECT_EQ(mismatches, 0);

    const TPreviewImage half = ScalePreview(one, 144);
    const int hw = half.Pixels.Width();
    const int hh = half.Pixels.Height();
    EXPECT_EQ(hw, (3 * w + 1) / 2);
    EXPECT_EQ(hh, (3 * h + 1) / 2);
    // Where every skin pixel near the one a device pixel shows has one
    // colour (or one opacity), the device pixel has exactly that.
    int shapeMismatches = 0;
    int flatMismatches = 0;
    int flatPixels = 0;
    for (int y = 0; y < hh; ++y)
        for (int x = 0; x < hw; ++x) {
            const int x0 = std::max(x * 2 / 3 - 1, 0), x1 = std::min((x + 1) * 2 / 3 + 1, w - 1);
            const int y0 = std::max(y * 2 / 3 - 1, 0), y1 = std::min((y + 1) * 2 / 3 + 1, h - 1);
            const TPixel c = one.Pixels.At(x0, y0);
            const std::uint8_t a = one.Alpha[static_cast<std::size_t>(y0 * w + x0)];
            bool sameColour = true, sameAlpha = true;
            for (int sy = y0; sy <= y1; ++sy)
                for (int sx = x0; sx <= x1; ++sx) {
                    sameColour = sameColour && one.Pixels.At(sx, sy) == c;
                    sameAlpha = sameAlpha && one.Alpha[static_cast<std::size_t>(sy * w + sx)] == a;
                }
            if (sameAlpha && half.Alpha[static_cast<std::size_t>(y * hw + x)] != a) ++shapeMismatches;
            if (sameColour) {
                ++flatPixels;
                if (half.Pixels.At(x, y) != c) ++flatMismatches;
            }
        }
    EXPECT_GT(flatPixels, hw * hh / 4);
    EXPECT_EQ(shapeMismatches, 0);
    EXPECT_EQ(flatMismatches, 0);
    // Identity at 96 and below.
    EXPECT_EQ(ScalePreview(one, 96).Pixels.Width(), w);
    EXPECT_EQ(ScalePreview(one, 72).Pixels.Height(), h);
}

TEST(SkinPreviewPng, EncodesRowsThatDecodeBack) {
    TPixelBuffer b(3, 2, MakePixel(10, 20, 30));
    b.At(2, 1) = MakePixel(200, 100, 50);
    const std::vector<std::uint8_t> png = EncodePng(b, {255, 255, 255, 255, 255, 0});
    ASSERT_GT(png.size(), 8u + 25u + 12u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ(png[16 + 3], 3);  // width
    EXPECT_EQ(png[16 + 7], 2);  // height
    EXPECT_EQ(png[16 + 9], 6);  // RGBA
    // IHDR CRC
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), png.data() + 12, 17);
    EXPECT_EQ((png[29] << 24 | png[30] << 16 | png[31] << 8 | png[32]) & 0xFFFFFFFFu, crc & 0xFFFFFFFFu);
    // IDAT inflates to the filtered rows
    const std::size_t idat = 33;
    ASSERT_EQ(std::string(png.begin() + idat + 4, png.begin() + idat + 8), "IDAT");
    const std::size_t len =
        static_cast<std::size_t>(png[idat] << 24 | png[idat + 1] << 16 | png[idat + 2] << 8 | png[idat + 3]);
    std::vector<std::uint8_t> raw(2 * (1 + 3 * 4));
    uLongf rawLen = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawLen, png.data() + idat + 8, static_cast<uLong>(len)), Z_OK);
    ASSERT_EQ(rawLen, raw.size());
    const std::vector<std::uint8_t> expect = {0, 10, 20, 30, 255, 10, 20, 30, 255, 10,  20,  30, 255,
                                              0, 10, 20, 30, 255, 10, 20, 30, 255, 200, 100, 50, 0};
    EXPECT_EQ(raw, expect);
    EXPECT_THROW(EncodePng(b, {1, 2, 3}), EWriteError);
    EXPECT_THROW(EncodePng(TPixelBuffer(), {}), EWriteError);
}

TEST(SkinPreviewCommand, WritesTheSheetsAndRefusesBadArguments) {
    const fs::path out = fs::temp_directory_path() / ("zv-skinpreview-" + std::to_string(::getpid()));
    fs::remove_all(out);
    std::ostringstream o, e;
    ASSERT_EQ(RunSkinTool({"preview", SkinIni(), out.string(), "--frame", "200x100"}, o, e), 0) << e.str();
    for (const char* name : {"frame-200x100.png", "frame-200x100-inactive.png", "button-normal.png",
                             "button-active.png", "button-pressed.png", "checklist.png", "vscrollbar.png",
                             "popup-menu.png", "popup-sysmenu.png", "mainwindow.png", "sheet.png"})
        EXPECT_TRUE(fs::exists(out / name)) << name;
    EXPECT_EQ(RunSkinTool({"preview", SkinIni(), out.string(), "--frame", "0x100"}, o, e), 2);
    EXPECT_EQ(RunSkinTool({"preview", SkinIni(), out.string(), "--frame", "99999x10"}, o, e), 2);
    EXPECT_EQ(RunSkinTool({"preview", SkinIni()}, o, e), 2);
    // At a display scale every picture is drawn that much larger.
    std::ostringstream scaled;
    ASSERT_EQ(
        RunSkinTool({"preview", SkinIni(), out.string(), "--frame", "200x100", "--scale", "200"}, scaled, e),
        0)
        << e.str();
    EXPECT_NE(scaled.str().find("frame-200x100.png (400 x 200)"), std::string::npos) << scaled.str();
    EXPECT_NE(scaled.str().find("button-normal.png (194 x 50)"), std::string::npos) << scaled.str();
    for (const char* bad : {"99", "401", "two", ""})
        EXPECT_EQ(RunSkinTool({"preview", SkinIni(), out.string(), "--scale", bad}, o, e), 2) << bad;
    // A damaged stored skin is reported, not drawn.
    const fs::path bad = out / "bad.bin";
    {
        TFileStream f(bad.string(), fmCreate);
        f.WriteBuffer("\x78\xDA\x01\x02\x03", 5);
    }
    EXPECT_EQ(RunSkinTool({"preview", bad.string(), out.string()}, o, e), 1);
    fs::remove_all(out);
}

}  // namespace
}  // namespace zv
