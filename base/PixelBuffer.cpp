#include "base/PixelBuffer.h"

#include <algorithm>

#include "base/Exceptions.h"

namespace zv {

void TPixelBuffer::SetSize(int width, int height, TPixel fill) {
    if (width < 0 || height < 0) throw EInvalidOperation("Invalid bitmap size");
    // 32-bit pixels: refuse sizes whose byte count would not fit a 32-bit
    // platform bitmap rather than allocating something absurd.
    const std::uint64_t count = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (count > (1ull << 28)) throw EOutOfMemory("Out of memory");
    m_width = width;
    m_height = height;
    m_pixels.assign(static_cast<size_t>(count), fill);
}

void TPixelBuffer::Fill(TPixel value) {
    std::fill(m_pixels.begin(), m_pixels.end(), value);
}

void TPixelBuffer::FillRect(const TRect& r, TPixel value) {
    const TRect c = IntersectRect(r, {0, 0, m_width, m_height});
    for (int y = c.Top; y < c.Bottom; ++y) std::fill(Row(y) + c.Left, Row(y) + c.Right, value);
}

}  // namespace zv
