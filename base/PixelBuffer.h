// 32-bit pixel buffers, the common currency of the paint core, the bitmap
// decoder and the platform bitmaps.
//
// A pixel is a uint32_t 0xAARRGGBB, which is the byte order B, G, R, A in
// memory: the layout of a 32-bit top-down device-independent bitmap, so a
// platform DIB section can be wrapped without copying. Rows run top to bottom;
// Stride is in pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "base/Types.h"

namespace zv {

using TPixel = std::uint32_t;

constexpr TPixel MakePixel(int r, int g, int b) {
    return static_cast<TPixel>(((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF));
}
constexpr int PixelR(TPixel p) {
    return static_cast<int>((p >> 16) & 0xFF);
}
constexpr int PixelG(TPixel p) {
    return static_cast<int>((p >> 8) & 0xFF);
}
constexpr int PixelB(TPixel p) {
    return static_cast<int>(p & 0xFF);
}
// Colour comparisons ignore the unused top byte.
constexpr TPixel PixelRGB(TPixel p) {
    return p & 0x00FFFFFFu;
}
constexpr TPixel ColorToPixel(TColor c) {
    return MakePixel(GetRValue(c), GetGValue(c), GetBValue(c));
}
constexpr TColor PixelToColor(TPixel p) {
    return RGBColor(PixelR(p), PixelG(p), PixelB(p));
}

// A non-owning view of pixels.
struct TPixelView {
    TPixel* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    int Stride = 0;  // pixels per row

    [[nodiscard]] bool Empty() const { return Bits == nullptr || Width <= 0 || Height <= 0; }
    [[nodiscard]] TRect Bounds() const { return {0, 0, Width, Height}; }
    [[nodiscard]] TPixel* Row(int y) const { return Bits + static_cast<std::ptrdiff_t>(y) * Stride; }
    [[nodiscard]] TPixel& At(int x, int y) const { return Row(y)[x]; }
    [[nodiscard]] bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width && y < Height; }
};

// An owning buffer of Width x Height pixels (stride = width).
class TPixelBuffer {
public:
    TPixelBuffer() = default;
    TPixelBuffer(int width, int height, TPixel fill = 0) { SetSize(width, height, fill); }

    void SetSize(int width, int height, TPixel fill = 0);
    void Fill(TPixel value);
    void FillRect(const TRect& r, TPixel value);

    [[nodiscard]] int Width() const { return m_width; }
    [[nodiscard]] int Height() const { return m_height; }
    [[nodiscard]] bool Empty() const { return m_width <= 0 || m_height <= 0; }
    [[nodiscard]] TPixel& At(int x, int y) { return m_pixels[Index(x, y)]; }
    [[nodiscard]] TPixel At(int x, int y) const { return m_pixels[Index(x, y)]; }
    [[nodiscard]] TPixel* Row(int y) {
        return m_pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(m_width);
    }
    [[nodiscard]] const TPixel* Row(int y) const {
        return m_pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(m_width);
    }
    [[nodiscard]] TPixelView View() { return {m_pixels.data(), m_width, m_height, m_width}; }
    [[nodiscard]] TPixelView View() const {
        return {const_cast<TPixel*>(m_pixels.data()), m_width, m_height, m_width};
    }
    [[nodiscard]] const std::vector<TPixel>& Pixels() const { return m_pixels; }

    friend bool operator==(const TPixelBuffer&, const TPixelBuffer&) = default;

private:
    [[nodiscard]] size_t Index(int x, int y) const {
        return static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x);
    }
    int m_width = 0;
    int m_height = 0;
    std::vector<TPixel> m_pixels;
};

}  // namespace zv
