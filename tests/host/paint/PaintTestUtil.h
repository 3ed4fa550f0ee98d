// Helpers of the paint tests: pictures whose pixels name their own
// coordinates, and ASCII renderings of small drawings.
#pragma once

#include <string>
#include <vector>

#include "base/PixelBuffer.h"

namespace zv::test {

// Red = x, green = y, blue = tag: a pixel tells where in which picture it
// came from (pictures up to 256 x 256).
inline TPixel Coded(int x, int y, int tag = 7) {
    return MakePixel(x, y, tag);
}

inline TPixelBuffer CodedPicture(int w, int h, int tag = 7) {
    TPixelBuffer b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.At(x, y) = Coded(x, y, tag);
    return b;
}

inline std::string Where(TPixel p) {
    return "(" + std::to_string(PixelR(p)) + "," + std::to_string(PixelG(p)) + ")";
}

// One string per row: '#' where the pixel equals `ink`, '.' elsewhere.
inline std::vector<std::string> Art(const TPixelBuffer& b, TPixel ink) {
    std::vector<std::string> rows;
    for (int y = 0; y < b.Height(); ++y) {
        std::string row;
        for (int x = 0; x < b.Width(); ++x) row += b.At(x, y) == ink ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

}  // namespace zv::test
