// Helpers of the skin tests: bitmap files made byte by byte, containers,
// scratch directories, the test skins in tests/data/skin.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/PixelBuffer.h"
#include "skin/SkinData.h"

namespace zv::test {

// The colour the pattern gives pixel (x, y); palette pictures use
// PatternIndex into PatternPalette.
TPixel PatternColor(int x, int y);
int PatternIndex(int x, int y, int bits);
std::vector<TPixel> PatternPalette(int count);

struct TBmpShape {
    int width = 5;
    int height = 3;
    int bits = 24;
    bool topDown = false;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 40;
    std::uint32_t masks[3] = {0, 0, 0};  // for compression 3
    int paletteCount = -1;        // -1: 2^bits for bits <= 8, else none; written into biClrUsed when >= 0
    std::uint32_t sizeImage = 0;  // 0: computed
    bool zeroSizeImage = false;   // write 0 into biSizeImage
    std::uint32_t gap = 0;        // bytes between colour table and pixels (pixel offset honours it)
    std::uint16_t planes = 1;
};

// A complete bitmap file whose pixels follow the pattern.
std::vector<std::uint8_t> MakeBmp(const TBmpShape& shape);
// The pixels a decoder must give for the shape's file.
TPixelBuffer ExpectedPixels(const TBmpShape& shape);

// A stored skin holding the container.
std::vector<std::uint8_t> CompressContainer(const TksSkinContainer& c);
void SetStored(TksCompressedStoredSkin& stored, const TksSkinContainer& c);
// Raw container bytes (uncompressed).
std::vector<std::uint8_t> ContainerBytes(const TksSkinContainer& c);

// Loads a bitmap from shape bytes.
TksBitmap BitmapOf(const TBmpShape& shape);

std::string DataDir();  // tests/data/skin

// A scratch directory removed at destruction.
class TScratchDir {
public:
    TScratchDir();
    ~TScratchDir();
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;
    [[nodiscard]] const std::filesystem::path& Path() const { return m_path; }
    [[nodiscard]] std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

void WriteFile(const std::string& path, const std::string& bytes);
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFile(const std::string& path);

// Every data object, area and frame record of a skin as text, for
// comparing two loads.
std::string DumpSkin(const TksSkinData& data);

}  // namespace zv::test
