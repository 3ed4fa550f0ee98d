// The bitmap decoder: every depth, colour tables, bit fields, row order and
// padding, the stream position it leaves, and its two errors.
#include <gtest/gtest.h>

#include "SkinTestUtil.h"
#include "base/Exceptions.h"
#include "skin/BmpDecoder.h"

namespace zv {
namespace {

using test::BitmapOf;
using test::ExpectedPixels;
using test::MakeBmp;
using test::TBmpShape;

TBmpShape Shape(int w, int h, int bits) {
    TBmpShape s;
    s.width = w;
    s.height = h;
    s.bits = bits;
    return s;
}

void ExpectDecodes(const TBmpShape& s) {
    const std::vector<std::uint8_t> bytes = MakeBmp(s);
    TCustomMemoryStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    TksBitmap b;
    b.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(bytes.size()));
    ASSERT_EQ(b.Width(), s.width);
    ASSERT_EQ(b.Height(), s.height);
    EXPECT_EQ(b.BitCount(), s.bits);
    EXPECT_TRUE(b.Pixels() == ExpectedPixels(s)) << s.bits << " bits, " << s.width << " x " << s.height;
    EXPECT_EQ(b.FileBytes(), bytes);  // kept as stored
}

TEST(BmpDecoder, EveryDepthWithOddWidthsAndRowPadding) {
    // Widths chosen so that rows need 1 to 3 padding bytes at each depth.
    for (int bits : {1, 4, 8, 16, 24, 32})
        for (int w : {1, 3, 5, 7, 9, 33}) ExpectDecodes(Shape(w, 4, bits));
}

TEST(BmpDecoder, TopDownRowsGiveTheSamePicture) {
    for (int bits : {1, 8, 24, 32}) {
        TBmpShape s = Shape(7, 5, bits);
        s.topDown = true;
        ExpectDecodes(s);
        TBmpShape b = Shape(7, 5, bits);
        EXPECT_TRUE(BitmapOf(s).Pixels() == BitmapOf(b).Pixels());
    }
}

TEST(BmpDecoder, ShortColourTablesFromTheUsedColourCount) {
    TBmpShape s = Shape(6, 3, 8);
    s.paletteCount = 5;  // only 5 entries follow the header
    ExpectDecodes(s);
    TBmpShape s4 = Shape(6, 3, 4);
    s4.paletteCount = 2;
    ExpectDecodes(s4);
}

TEST(BmpDecoder, ColourTableInFrontOfTrueColourPixels) {
    TBmpShape s = Shape(4, 2, 24);
    s.paletteCount = 3;  // optimisation palette: read past, not used
    ExpectDecodes(s);
}

TEST(BmpDecoder, BitFieldsBehindTheHeaderAndInsideLongerHeaders) {
    TBmpShape s565 = Shape(9, 3, 16);
    s565.compression = 3;
    s565.masks[0] = 0xF800;
    s565.masks[1] = 0x07E0;
    s565.masks[2] = 0x001F;
    ExpectDecodes(s565);

    TBmpShape s32 = Shape(5, 3, 32);
    s32.compression = 3;
    s32.masks[0] = 0x000000FF;  // red in the low byte
    s32.masks[1] = 0x0000FF00;
    s32.masks[2] = 0x00FF0000;
    ExpectDecodes(s32);

    for (std::uint32_t header : {52u, 56u, 108u, 124u}) {
        TBmpShape v = s565;
        v.headerSize = header;
        ExpectDecodes(v);
    }
}

TEST(BmpDecoder, ZeroImageSizeMeansPaddedRowsTimesHeight) {
    TBmpShape s = Shape(3, 4, 24);
    s.zeroSizeImage = true;
    ExpectDecodes(s);
}

TEST(BmpDecoder, LargerImageSizeIsReadPastAndTheStreamEndsBehindIt) {
    TBmpShape s = Shape(3, 2, 8);
    s.sizeImage = 64;  // more than the 8 bytes the rows need
    ExpectDecodes(s);
}

TEST(BmpDecoder, LeavesTheStreamRightBehindTheFile) {
    std::vector<std::uint8_t> bytes = MakeBmp(Shape(5, 3, 1));
    const std::size_t fileSize = bytes.size();
    bytes.insert(bytes.end(), {'n', 'e', 'x', 't'});
    TCustomMemoryStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    TksBitmap b;
    b.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(fileSize));
}

TEST(BmpDecoder, ZeroSizedFileIsAnEmptyPicture) {
    TksBitmap b = BitmapOf(Shape(0, 5, 24));
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
}

TEST(BmpDecoder, IndexPastTheColourTableReadsBlack) {
    TBmpShape s = Shape(2, 1, 8);
    s.paletteCount = 1;
    std::vector<std::uint8_t> bytes = MakeBmp(s);
    const std::size_t pixels = 14 + 40 + 4;
    bytes[pixels + 1] = 200;  // index 200 of a one-colour table
    TksBitmap b;
    b.LoadFromFileBytes(bytes.data(), bytes.size());
    EXPECT_EQ(b.Pixels().At(1, 0), 0u);
    EXPECT_EQ(b.Pixels().At(0, 0), test::PatternPalette(1)[0]);
}

template <typename E>
void ExpectError(const std::vector<std::uint8_t>& bytes, const char* message) {
    TCustomMemoryStream stream(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    TksBitmap b;
    try {
        b.LoadFromStream(stream);
        ADD_FAILURE() << "no error for " << message;
    } catch (const E& e) {
        EXPECT_EQ(e.Message(), message);
    }
    EXPECT_TRUE(b.Empty());
}

TEST(BmpDecoder, InvalidFilesRaiseBitmapImageIsNotValid) {
    std::vector<std::uint8_t> bytes = MakeBmp(Shape(4, 4, 8));
    auto with = [&](std::size_t at, std::uint8_t v) {
        std::vector<std::uint8_t> b = bytes;
        b[at] = v;
        return b;
    };
    ExpectError<EInvalidGraphic>(with(0, 'X'), SInvalidBitmap);    // no "BM"
    ExpectError<EInvalidGraphic>(with(26, 2), SInvalidBitmap);     // two bit planes
    ExpectError<EInvalidGraphic>(with(28, 7), SInvalidBitmap);     // 7 bits per pixel
    ExpectError<EInvalidGraphic>(with(30, 1), SInvalidBitmap);     // run-length coded
    ExpectError<EInvalidGraphic>(with(30, 3), SInvalidBitmap);     // bit fields on an 8-bit picture
    ExpectError<EInvalidGraphic>(with(14, 12), SInvalidBitmap);    // core header
    ExpectError<EInvalidGraphic>(with(21, 0x80), SInvalidBitmap);  // negative width

    TBmpShape s = Shape(4, 4, 24);
    s.sizeImage = 8;  // fewer bytes than the rows need
    ExpectError<EInvalidGraphic>(MakeBmp(s), SInvalidBitmap);
}

TEST(BmpDecoder, FilesEndingEarlyRaiseStreamReadError) {
    const std::vector<std::uint8_t> bytes = MakeBmp(Shape(4, 4, 8));
    for (std::size_t cut :
         {std::size_t{0}, std::size_t{10}, std::size_t{20}, std::size_t{60}, bytes.size() - 1}) {
        std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        if (cut < 2) continue;  // no signature to test
        ExpectError<EReadError>(part, SReadError);
    }
    ExpectError<EReadError>({}, SReadError);
}

TEST(BmpDecoder, HugeCountsFailWithoutAllocatingForThem) {
    std::vector<std::uint8_t> bytes = MakeBmp(Shape(4, 4, 8));
    std::vector<std::uint8_t> huge = bytes;
    WriteU32LE(huge.data() + 46, 0x7FFFFFFF);  // used colours
    ExpectError<EReadError>(huge, SReadError);
    huge = bytes;
    WriteU32LE(huge.data() + 18, 0x7FFFFFFF);  // width: the rows are not there
    ExpectError<EInvalidGraphic>(huge, SInvalidBitmap);
    huge = bytes;
    WriteU32LE(huge.data() + 34, 0xFFFFFFF0);  // image size
    ExpectError<EReadError>(huge, SReadError);
}

TEST(BmpDecoder, FileWithAGapIsPackedBehindItsColourTable) {
    TBmpShape s = Shape(5, 3, 8);
    s.gap = 6;
    s.paletteCount = 4;
    const std::vector<std::uint8_t> gapped = MakeBmp(s);
    TksBitmap b;
    b.LoadFromFileBytes(gapped.data(), gapped.size());
    EXPECT_TRUE(b.Pixels() == ExpectedPixels(s));
    TBmpShape packed = s;
    packed.gap = 0;
    EXPECT_EQ(b.FileBytes(), MakeBmp(packed));

    // The packed copy reads back through the container reader.
    TCustomMemoryStream stream(b.FileBytes().data(), static_cast<std::int64_t>(b.FileBytes().size()));
    TksBitmap again;
    again.LoadFromStream(stream);
    EXPECT_TRUE(again.Pixels() == b.Pixels());
}

TEST(BmpDecoder, FileWhoseImageSizeFieldOverstatesItsPixelsIsRepaired) {
    TBmpShape s = Shape(5, 3, 24);
    std::vector<std::uint8_t> bytes = MakeBmp(s);
    WriteU32LE(bytes.data() + 34, 100000);
    TksBitmap b;
    b.LoadFromFileBytes(bytes.data(), bytes.size());
    EXPECT_TRUE(b.Pixels() == ExpectedPixels(s));
    EXPECT_EQ(ReadU32LE(b.FileBytes().data() + 34), 48u);
}

TEST(BmpDecoder, EncodedTrueColourFileDecodesToTheSamePixels) {
    TPixelBuffer p(7, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) p.At(x, y) = test::PatternColor(x, y);
    TksBitmap b;
    b.Assign(p);
    EXPECT_EQ(b.BitCount(), 0);
    const std::vector<std::uint8_t> bytes = b.ToFileBytes();
    TksBitmap back;
    back.LoadFromFileBytes(bytes.data(), bytes.size());
    EXPECT_EQ(back.BitCount(), 24);
    EXPECT_TRUE(back.Pixels() == p);
    EXPECT_EQ(back.FileBytes(), bytes);
}

}  // namespace
}  // namespace zv
