// Windows bitmap files as the stored skin carries them.
//
//   TksBitmap        one skin picture: its pixels as a 32-bit buffer for the
//                    paint core, plus the bitmap file it came from so that it
//                    can be written back with its own colour depth
//   EncodeBmp24      a 24-bit bitmap file of a pixel buffer
//
// The container stores its bitmap files back to back without gaps, so the
// stream reader takes exactly the pieces a file is made of (file header,
// information header, bit-field masks, colour table, pixel rows) and leaves
// the stream right behind them. Files read from disk may have a gap before
// their pixels; LoadFromFile honours the pixel-data offset and keeps a packed
// copy that the stream reader can read back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/PixelBuffer.h"
#include "base/Streams.h"

namespace zv {

class TksBitmap {
public:
    TksBitmap() = default;

    [[nodiscard]] int Width() const { return m_pixels.Width(); }
    [[nodiscard]] int Height() const { return m_pixels.Height(); }
    // An empty picture has no pixels; the drawing code treats it as absent.
    [[nodiscard]] bool Empty() const { return m_pixels.Empty(); }
    [[nodiscard]] const TPixelBuffer& Pixels() const { return m_pixels; }
    [[nodiscard]] TPixelView View() const { return m_pixels.View(); }
    // Bits per pixel of the file the picture came from; 0 for a picture made
    // in memory or an empty one.
    [[nodiscard]] int BitCount() const { return m_bitCount; }
    // The packed bitmap file (no gap before the pixels); empty when the
    // picture was made in memory.
    [[nodiscard]] const std::vector<std::uint8_t>& FileBytes() const { return m_file; }

    void Clear();
    // Takes pixels made in memory; they are written out as a 24-bit file.
    void Assign(const TPixelBuffer& pixels);

    // Reads one bitmap file from the stream's position and leaves the stream
    // right behind it. Raises EInvalidGraphic "Bitmap image is not valid" for
    // a file this reader cannot take and EReadError "Stream read error" when
    // the stream ends inside it. On error the picture is left empty.
    void LoadFromStream(TStream& stream);
    // A whole bitmap file in memory, as on disk: the pixels are taken from
    // the file header's pixel-data offset when that lies behind the colour
    // table.
    void LoadFromFileBytes(const std::uint8_t* data, std::size_t size);
    void LoadFromFile(const std::string& fileName);

    // Writes the packed file (or a 24-bit file of in-memory pixels).
    void SaveToStream(TStream& stream) const;
    void SaveToFile(const std::string& fileName) const;
    // The bytes SaveToStream writes.
    [[nodiscard]] std::vector<std::uint8_t> ToFileBytes() const;

private:
    TPixelBuffer m_pixels;
    std::vector<std::uint8_t> m_file;
    int m_bitCount = 0;
};

std::vector<std::uint8_t> EncodeBmp24(const TPixelBuffer& pixels);

}  // namespace zv
