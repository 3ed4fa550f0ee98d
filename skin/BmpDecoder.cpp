// Bitmap file reading and writing for the skin pictures.
//
//   ParseInfoHeader   validation of the information header
//   DecodePixels      rows of 1, 4, 8, 16, 24 or 32 bits into 32-bit pixels
//   TksBitmap         stream and file loading, saving
//   EncodeBmp24       the writer for in-memory pictures
#include "skin/BmpDecoder.h"

#include <bit>
#include <cstring>
#include <memory>

#include "base/Exceptions.h"

namespace zv {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitFields = 3;

[[noreturn]] void InvalidBitmap() {
    throw EInvalidGraphic(SInvalidBitmap);
}

// Field offsets in the information header.
constexpr std::size_t kOffWidth = 4;
constexpr std::size_t kOffHeight = 8;
constexpr std::size_t kOffPlanes = 12;
constexpr std::size_t kOffBitCount = 14;
constexpr std::size_t kOffCompression = 16;
constexpr std::size_t kOffSizeImage = 20;
constexpr std::size_t kOffClrUsed = 32;
constexpr std::size_t kOffMasks = 40;  // V2 and later headers hold the masks

struct TBmpInfo {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;  // absolute
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t masks[3] = {0, 0, 0};
    bool masksInHeader = false;
    std::uint64_t maskBytes = 0;  // bit-field masks written behind a 40-byte header
    std::uint64_t paletteCount = 0;
    std::uint64_t stride = 0;
    std::uint64_t pixelBytes = 0;  // stride * height: what decoding needs
    std::uint64_t dataBytes = 0;   // what the file holds: image size, or pixelBytes when 0
};

bool KnownHeaderSize(std::uint32_t size) {
    // BITMAPINFOHEADER and its later extensions (V2, V3, V4, V5).
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

TBmpInfo ParseInfoHeader(const std::uint8_t* h, std::uint32_t headerSize) {
    TBmpInfo info;
    info.headerSize = headerSize;
    info.width = ReadI32LE(h + kOffWidth);
    const std::int32_t rawHeight = ReadI32LE(h + kOffHeight);
    const std::uint16_t planes = ReadU16LE(h + kOffPlanes);
    info.bitCount = ReadU16LE(h + kOffBitCount);
    info.compression = ReadU32LE(h + kOffCompression);
    const std::uint32_t sizeImage = ReadU32LE(h + kOffSizeImage);
    const std::uint32_t clrUsed = ReadU32LE(h + kOffClrUsed);

    if (planes != 1) InvalidBitmap();
    switch (info.bitCount) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32: break;
        default: InvalidBitmap();
    }
    if (info.width < 0 || rawHeight == INT32_MIN) InvalidBitmap();
    info.topDown = rawHeight < 0;
    info.height = rawHeight < 0 ? -rawHeight : rawHeight;
    // Run-length and embedded JPEG/PNG pictures are not skin pictures; taking
    // them as reaching to the end of the container would swallow the
    // description, so they are refused outright.
    if (info.compression == kBiBitFields) {
        if (info.bitCount != 16 && info.bitCount != 32) InvalidBitmap();
        if (headerSize >= kOffMasks + 12) {
            info.masksInHeader = true;
        } else {
            info.maskBytes = 12;
        }
    } else if (info.compression != kBiRgb) {
        InvalidBitmap();
    }
    if (info.masksInHeader) {
        for (int i = 0; i < 3; ++i)
            info.masks[i] = ReadU32LE(h + kOffMasks + 4 * static_cast<std::size_t>(i));
    }
    if (clrUsed != 0)
        info.paletteCount = clrUsed;
    else if (info.bitCount <= 8)
        info.paletteCount = std::uint64_t{1} << info.bitCount;
    info.stride =
        ((static_cast<std::uint64_t>(info.width) * static_cast<std::uint64_t>(info.bitCount) + 31) / 32) * 4;
    info.pixelBytes = info.stride * static_cast<std::uint64_t>(info.height);
    info.dataBytes = sizeImage != 0 ? sizeImage : info.pixelBytes;
    return info;
}

// How one bit-field channel is turned into 8 bits.
struct TChannel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit TChannel(std::uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        max = m >> shift;
    }
    [[nodiscard]] int Value(std::uint32_t px) const {
        if (max == 0) return 0;
        const std::uint64_t v = (px & mask) >> shift;
        return static_cast<int>((v * 255 + max / 2) / max);
    }
};

void DecodePixels(const TBmpInfo& info, const std::uint8_t* palette, const std::uint8_t* data,
                  TPixelBuffer& out) {
    const int w = info.width;
    const int h = info.height;
    if (w == 0 || h == 0) {
        out = TPixelBuffer();
        return;
    }
    out.SetSize(w, h);
    auto paletteColor = [&](std::uint32_t index) -> TPixel {
        // An index past the colour table reads as black rather than reading
        // beyond it.
        if (index >= info.paletteCount) return 0;
        const std::uint8_t* e = palette + 4 * static_cast<std::size_t>(index);
        return MakePixel(e[2], e[1], e[0]);
    };
    std::uint32_t masks[3] = {info.masks[0], info.masks[1], info.masks[2]};
    if (info.compression != kBiBitFields) {
        if (info.bitCount == 16) {
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000;
            masks[1] = 0x00FF00;
            masks[2] = 0x0000FF;
        }
    }
    const TChannel red(masks[0]), green(masks[1]), blue(masks[2]);

    for (int y = 0; y < h; ++y) {
        const int srcRow = info.topDown ? y : h - 1 - y;
        const std::uint8_t* row = data + static_cast<std::size_t>(srcRow) * info.stride;
        TPixel* dst = out.Row(y);
        switch (info.bitCount) {
            case 1:
                for (int x = 0; x < w; ++x) dst[x] = paletteColor((row[x >> 3] >> (7 - (x & 7))) & 1u);
                break;
            case 4:
                for (int x = 0; x < w; ++x) {
                    const std::uint8_t b = row[x >> 1];
                    dst[x] = paletteColor((x & 1) ? (b & 0x0Fu) : (b >> 4));
                }
                break;
            case 8:
                for (int x = 0; x < w; ++x) dst[x] = paletteColor(row[x]);
                break;
            case 16:
                for (int x = 0; x < w; ++x) {
                    const std::uint32_t px = ReadU16LE(row + 2 * static_cast<std::size_t>(x));
                    dst[x] = MakePixel(red.Value(px), green.Value(px), blue.Value(px));
                }
                break;
            case 24:
                for (int x = 0; x < w; ++x) {
                    const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x);
                    dst[x] = MakePixel(p[2], p[1], p[0]);
                }
                break;
            case 32:
                for (int x = 0; x < w; ++x) {
                    const std::uint32_t px = ReadU32LE(row + 4 * static_cast<std::size_t>(x));
                    dst[x] = MakePixel(red.Value(px), green.Value(px), blue.Value(px));
                }
                break;
            default: InvalidBitmap();
        }
    }
}

std::uint64_t Remaining(TStream& stream) {
    const std::int64_t left = stream.Size() - stream.Position();
    return left > 0 ? static_cast<std::uint64_t>(left) : 0;
}

// Appends count bytes read from the stream, after checking that the stream
// holds them, so that a lying length never makes us allocate.
void ReadAppend(TStream& stream, std::vector<std::uint8_t>& file, std::uint64_t count) {
    if (count == 0) return;
    if (count > Remaining(stream)) throw EReadError(SReadError);
    const std::size_t at = file.size();
    file.resize(at + static_cast<std::size_t>(count));
    stream.ReadBuffer(file.data() + at, static_cast<std::int64_t>(count));
}

}  // namespace

void TksBitmap::Clear() {
    m_pixels = TPixelBuffer();
    m_file.clear();
    m_bitCount = 0;
}

void TksBitmap::Assign(const TPixelBuffer& pixels) {
    Clear();
    if (!pixels.Empty()) m_pixels = pixels;
}

void TksBitmap::LoadFromStream(TStream& stream) {
    Clear();
    std::vector<std::uint8_t> file;
    ReadAppend(stream, file, kFileHeaderSize);
    if (file[0] != 'B' || file[1] != 'M') InvalidBitmap();
    ReadAppend(stream, file, 4);
    const std::uint32_t headerSize = ReadU32LE(file.data() + kFileHeaderSize);
    if (!KnownHeaderSize(headerSize)) InvalidBitmap();
    ReadAppend(stream, file, headerSize - 4);
    const TBmpInfo info = ParseInfoHeader(file.data() + kFileHeaderSize, headerSize);

    const std::size_t maskAt = file.size();
    ReadAppend(stream, file, info.maskBytes);
    const std::size_t paletteAt = file.size();
    if (info.paletteCount > Remaining(stream) / 4) throw EReadError(SReadError);
    ReadAppend(stream, file, info.paletteCount * 4);
    if (info.dataBytes < info.pixelBytes) InvalidBitmap();
    const std::size_t dataAt = file.size();
    ReadAppend(stream, file, info.dataBytes);

    TBmpInfo decoded = info;
    if (info.maskBytes != 0) {
        for (int i = 0; i < 3; ++i)
            decoded.masks[i] = ReadU32LE(file.data() + maskAt + 4 * static_cast<std::size_t>(i));
    }
    TPixelBuffer pixels;
    DecodePixels(decoded, file.data() + paletteAt, file.data() + dataAt, pixels);
    if (pixels.Empty()) return;  // a 0-pixel file is an empty picture
    m_pixels = std::move(pixels);
    m_file = std::move(file);
    m_bitCount = info.bitCount;
}

void TksBitmap::LoadFromFileBytes(const std::uint8_t* data, std::size_t size) {
    Clear();
    if (size < 2 || data[0] != 'B' || data[1] != 'M') InvalidBitmap();
    if (size < kFileHeaderSize + 4) throw EReadError(SReadError);
    const std::uint32_t headerSize = ReadU32LE(data + kFileHeaderSize);
    if (!KnownHeaderSize(headerSize)) InvalidBitmap();
    if (size < kFileHeaderSize + headerSize) throw EReadError(SReadError);
    const TBmpInfo info = ParseInfoHeader(data + kFileHeaderSize, headerSize);
    const std::uint64_t packedStart = kFileHeaderSize + headerSize + info.maskBytes + info.paletteCount * 4;
    if (packedStart > size) throw EReadError(SReadError);

    // Writers may leave a gap before the pixels or give an image size that
    // does not match what the file holds; the packed copy has neither.
    const std::uint64_t offBits = ReadU32LE(data + 10);
    std::uint64_t pixelStart = packedStart;
    if (offBits >= packedStart && offBits + info.pixelBytes <= size) pixelStart = offBits;
    std::uint64_t dataBytes = info.dataBytes;
    bool fixSizeImage = false;
    if (pixelStart + dataBytes > size || dataBytes < info.pixelBytes) {
        dataBytes = info.pixelBytes;
        fixSizeImage = true;
    }
    if (pixelStart + dataBytes > size) throw EReadError(SReadError);

    std::vector<std::uint8_t> packed(data, data + packedStart);
    packed.insert(packed.end(), data + pixelStart, data + pixelStart + dataBytes);
    WriteU32LE(packed.data() + 2, static_cast<std::uint32_t>(packed.size()));
    WriteU32LE(packed.data() + 10, static_cast<std::uint32_t>(packedStart));
    if (fixSizeImage)
        WriteU32LE(packed.data() + kFileHeaderSize + kOffSizeImage, static_cast<std::uint32_t>(dataBytes));

    TCustomMemoryStream stream(packed.data(), static_cast<std::int64_t>(packed.size()));
    LoadFromStream(stream);
}

void TksBitmap::LoadFromFile(const std::string& fileName) {
    TMemoryStream stream;
    stream.LoadFromFile(fileName);
    LoadFromFileBytes(stream.Memory(), static_cast<std::size_t>(stream.Size()));
}

std::vector<std::uint8_t> TksBitmap::ToFileBytes() const {
    if (!m_file.empty()) return m_file;
    return EncodeBmp24(m_pixels);
}

void TksBitmap::SaveToStream(TStream& stream) const {
    const std::vector<std::uint8_t> bytes = ToFileBytes();
    stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TksBitmap::SaveToFile(const std::string& fileName) const {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

std::vector<std::uint8_t> EncodeBmp24(const TPixelBuffer& pixels) {
    const int w = pixels.Width() > 0 && pixels.Height() > 0 ? pixels.Width() : 0;
    const int h = w > 0 ? pixels.Height() : 0;
    const std::size_t stride = ((static_cast<std::size_t>(w) * 24 + 31) / 32) * 4;
    const std::size_t headerBytes = kFileHeaderSize + 40;
    std::vector<std::uint8_t> out(headerBytes + stride * static_cast<std::size_t>(h), 0);
    std::uint8_t* p = out.data();
    p[0] = 'B';
    p[1] = 'M';
    WriteU32LE(p + 2, static_cast<std::uint32_t>(out.size()));
    WriteU32LE(p + 10, static_cast<std::uint32_t>(headerBytes));
    std::uint8_t* ih = p + kFileHeaderSize;
    WriteU32LE(ih, 40);
    WriteU32LE(ih + kOffWidth, static_cast<std::uint32_t>(w));
    WriteU32LE(ih + kOffHeight, static_cast<std::uint32_t>(h));
    WriteU16LE(ih + kOffPlanes, 1);
    WriteU16LE(ih + kOffBitCount, 24);
    WriteU32LE(ih + kOffSizeImage, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(h)));
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = p + headerBytes + static_cast<std::size_t>(h - 1 - y) * stride;
        const TPixel* src = pixels.Row(y);
        for (int x = 0; x < w; ++x) {
            std::uint8_t* d = row + 3 * static_cast<std::size_t>(x);
            d[0] = static_cast<std::uint8_t>(PixelB(src[x]));
            d[1] = static_cast<std::uint8_t>(PixelG(src[x]));
            d[2] = static_cast<std::uint8_t>(PixelR(src[x]));
        }
    }
    return out;
}

}  // namespace zv
