// PNG encoder for the previews (see PngWriter.h).
#include "tools/skintool/PngWriter.h"

#include <zlib.h>

#include "base/Exceptions.h"
#include "base/Streams.h"

namespace zv {

namespace {

void PutU32BE(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    PutU32BE(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    // The CRC covers the type and the data, not the length.
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, out.data() + start, static_cast<uInt>(out.size() - start));
    PutU32BE(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const TPixelBuffer& pixels, const std::vector<std::uint8_t>& alpha) {
    const int w = pixels.Width(), h = pixels.Height();
    const std::size_t count =
        static_cast<std::size_t>(w > 0 ? w : 0) * static_cast<std::size_t>(h > 0 ? h : 0);
    if (!alpha.empty() && alpha.size() != count)
        throw EWriteError("PNG alpha does not match the picture size");
    if (w <= 0 || h <= 0) throw EWriteError("PNG of an empty picture");

    // Rows with filter type 0 (none); zlib at level 9 does the rest.
    std::vector<std::uint8_t> raw;
    raw.reserve(count * 4 + static_cast<std::size_t>(h));
    std::size_t i = 0;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        const TPixel* row = pixels.Row(y);
        for (int x = 0; x < w; ++x, ++i) {
            raw.push_back(static_cast<std::uint8_t>(PixelR(row[x])));
            raw.push_back(static_cast<std::uint8_t>(PixelG(row[x])));
            raw.push_back(static_cast<std::uint8_t>(PixelB(row[x])));
            raw.push_back(alpha.empty() ? 255 : alpha[i]);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        throw EWriteError("compression error");
    packed.resize(packedSize);

    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutU32BE(header, static_cast<std::uint32_t>(w));
    PutU32BE(header, static_cast<std::uint32_t>(h));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, filter 0, no interlace
    PutChunk(out, "IHDR", header);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

void SavePng(const std::string& path, const TPixelBuffer& pixels, const std::vector<std::uint8_t>& alpha) {
    const std::vector<std::uint8_t> bytes = EncodePng(pixels, alpha);
    TFileStream f(path, fmCreate);
    f.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

}  // namespace zv
