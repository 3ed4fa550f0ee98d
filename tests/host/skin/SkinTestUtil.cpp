#include "SkinTestUtil.h"

#include <bit>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "base/Streams.h"

namespace zv::test {

TPixel PatternColor(int x, int y) {
    return MakePixel((x * 37 + y * 11) & 255, (x * 5 + y * 71) & 255, (x * y * 13 + 7) & 255);
}

int PatternIndex(int x, int y, int count) {
    return (x * 3 + y * 5) % count;
}

std::vector<TPixel> PatternPalette(int count) {
    std::vector<TPixel> p;
    for (int i = 0; i < count; ++i) p.push_back(MakePixel((i * 7) & 255, 255 - (i & 255), (i * 3 + 1) & 255));
    return p;
}

namespace {

void Put16(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    v[at] = static_cast<std::uint8_t>(x);
    v[at + 1] = static_cast<std::uint8_t>(x >> 8);
}
void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(x >> (8 * i));
}

int PaletteCountOf(const TBmpShape& s) {
    if (s.paletteCount >= 0) return s.paletteCount;
    return s.bits <= 8 ? 1 << s.bits : 0;
}

void Masks(const TBmpShape& s, std::uint32_t m[3]) {
    if (s.compression == 3) {
        for (int i = 0; i < 3; ++i) m[i] = s.masks[i];
    } else if (s.bits == 16) {
        m[0] = 0x7C00;
        m[1] = 0x03E0;
        m[2] = 0x001F;
    } else {
        m[0] = 0xFF0000;
        m[1] = 0xFF00;
        m[2] = 0xFF;
    }
}

std::uint32_t Quantise(int c, std::uint32_t mask) {
    if (!mask) return 0;
    const int shift = std::countr_zero(mask);
    const std::uint32_t max = mask >> shift;
    return (static_cast<std::uint32_t>(c) * max / 255) << shift;
}

int Expand(std::uint32_t px, std::uint32_t mask) {
    if (!mask) return 0;
    const int shift = std::countr_zero(mask);
    const std::uint64_t max = mask >> shift;
    return static_cast<int>((((px & mask) >> shift) * 255 + max / 2) / max);
}

}  // namespace

std::vector<std::uint8_t> MakeBmp(const TBmpShape& s) {
    const int pal = PaletteCountOf(s);
    const std::size_t stride =
        ((static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.bits) + 31) / 32) * 4;
    const std::size_t pixelBytes = stride * static_cast<std::size_t>(s.height);
    const bool masksAfterHeader = s.compression == 3 && s.headerSize == 40;
    const std::size_t tableAt = 14 + s.headerSize + (masksAfterHeader ? 12 : 0);
    const std::size_t pixelsAt = tableAt + 4 * static_cast<std::size_t>(pal) + s.gap;
    const std::size_t dataBytes = s.sizeImage ? s.sizeImage : pixelBytes;
    std::vector<std::uint8_t> f(pixelsAt + std::max(dataBytes, pixelBytes), 0);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 2, static_cast<std::uint32_t>(f.size()));
    Put32(f, 10, static_cast<std::uint32_t>(pixelsAt));
    Put32(f, 14, s.headerSize);
    Put32(f, 18, static_cast<std::uint32_t>(s.width));
    Put32(f, 22, static_cast<std::uint32_t>(s.topDown ? -s.height : s.height));
    Put16(f, 26, s.planes);
    Put16(f, 28, static_cast<std::uint32_t>(s.bits));
    Put32(f, 30, s.compression);
    Put32(f, 34, s.zeroSizeImage ? 0 : static_cast<std::uint32_t>(dataBytes));
    Put32(f, 46, s.paletteCount >= 0 ? static_cast<std::uint32_t>(s.paletteCount) : 0);
    std::uint32_t m[3];
    Masks(s, m);
    if (s.compression == 3) {
        const std::size_t at = 14 + 40;  // behind a 40-byte header, or inside a longer one
        for (int i = 0; i < 3; ++i) Put32(f, at + 4 * static_cast<std::size_t>(i), m[i]);
    }
    const std::vector<TPixel> palette = PatternPalette(pal);
    for (int i = 0; i < pal; ++i) {
        const std::size_t at = tableAt + 4 * static_cast<std::size_t>(i);
        f[at] = static_cast<std::uint8_t>(PixelB(palette[static_cast<std::size_t>(i)]));
        f[at + 1] = static_cast<std::uint8_t>(PixelG(palette[static_cast<std::size_t>(i)]));
        f[at + 2] = static_cast<std::uint8_t>(PixelR(palette[static_cast<std::size_t>(i)]));
    }
    for (int y = 0; y < s.height; ++y) {
        const int fileRow = s.topDown ? y : s.height - 1 - y;
        const std::size_t row = pixelsAt + static_cast<std::size_t>(fileRow) * stride;
        for (int x = 0; x < s.width; ++x) {
            const TPixel c = PatternColor(x, y);
            const auto xs = static_cast<std::size_t>(x);
            switch (s.bits) {
                case 1:
                case 4:
                case 8: {
                    const auto idx = static_cast<std::uint32_t>(PatternIndex(x, y, pal > 0 ? pal : 1));
                    if (s.bits == 8)
                        f[row + xs] = static_cast<std::uint8_t>(idx);
                    else if (s.bits == 4)
                        f[row + xs / 2] |= static_cast<std::uint8_t>((idx & 15) << ((x & 1) ? 0 : 4));
                    else
                        f[row + xs / 8] |= static_cast<std::uint8_t>((idx & 1) << (7 - (x & 7)));
                    break;
                }
                case 16:
                case 32: {
                    const std::uint32_t v =
                        Quantise(PixelR(c), m[0]) | Quantise(PixelG(c), m[1]) | Quantise(PixelB(c), m[2]);
                    if (s.bits == 16)
                        Put16(f, row + 2 * xs, v);
                    else
                        Put32(f, row + 4 * xs, v | (s.compression == 3 ? 0u : 0xAB000000u));
                    break;
                }
                case 24:
                    f[row + 3 * xs] = static_cast<std::uint8_t>(PixelB(c));
                    f[row + 3 * xs + 1] = static_cast<std::uint8_t>(PixelG(c));
                    f[row + 3 * xs + 2] = static_cast<std::uint8_t>(PixelR(c));
                    break;
                default: break;
            }
        }
    }
    return f;
}

TPixelBuffer ExpectedPixels(const TBmpShape& s) {
    TPixelBuffer out(s.width, s.height);
    const int pal = PaletteCountOf(s);
    const std::vector<TPixel> palette = PatternPalette(pal);
    std::uint32_t m[3];
    Masks(s, m);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const TPixel c = PatternColor(x, y);
            if (s.bits <= 8) {
                out.At(x, y) = palette[static_cast<std::size_t>(PatternIndex(x, y, pal))];
            } else if (s.bits == 24) {
                out.At(x, y) = c;
            } else {
                const std::uint32_t v =
                    Quantise(PixelR(c), m[0]) | Quantise(PixelG(c), m[1]) | Quantise(PixelB(c), m[2]);
                out.At(x, y) = MakePixel(Expand(v, m[0]), Expand(v, m[1]), Expand(v, m[2]));
            }
        }
    return out;
}

std::vector<std::uint8_t> ContainerBytes(const TksSkinContainer& c) {
    TMemoryStream s;
    c.WriteToStream(s);
    return {s.Memory(), s.Memory() + s.Size()};
}

std::vector<std::uint8_t> CompressContainer(const TksSkinContainer& c) {
    const std::vector<std::uint8_t> raw = ContainerBytes(c);
    return ZCompress(raw.data(), raw.size(), 9);
}

void SetStored(TksCompressedStoredSkin& stored, const TksSkinContainer& c) {
    stored.SetCompressedData(CompressContainer(c));
}

TksBitmap BitmapOf(const TBmpShape& shape) {
    const std::vector<std::uint8_t> bytes = MakeBmp(shape);
    TksBitmap b;
    b.LoadFromFileBytes(bytes.data(), bytes.size());
    return b;
}

std::string DataDir() {
    const char* root = std::getenv("ZV_SOURCE_DIR");
    return std::string(root ? root : ".") + "/tests/data/skin";
}

TScratchDir::TScratchDir() {
    std::random_device rd;
    m_path =
        std::filesystem::temp_directory_path() / ("zv-skin-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(m_path);
}

TScratchDir::~TScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::string DumpSkin(const TksSkinData& data) {
    std::string s;
    s += const_cast<TksDataSkinFormInfo&>(data.FormInfo()).Dump();
    s += const_cast<TksDataSkinPopupWindow&>(data.PopupWindow()).Dump();
    s += const_cast<TksDataSkinHintWindow&>(data.HintWindow()).Dump();
    for (int i = 0; i < data.SkinAreaCount(); ++i) s += data.SkinAreas(i)->Dump();
    for (int i = 0; i < data.SkinObjectCount(); ++i) s += data.SkinObjects(i)->Dump();
    for (int i = 0; i < data.SkinControlCount(); ++i) s += data.SkinControls(i)->Dump();
    return s;
}

}  // namespace zv::test
