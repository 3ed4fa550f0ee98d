// Drawing skin pictures in skin pixels onto device pixels.
//
//   ResamplePiece         a rectangle of a picture resampled to a device size:
//                         pixel replication for whole factors, an area
//                         (box) filter otherwise, never reaching outside the
//                         rectangle
//   TScaledPictures       the scaled pictures of one scale, made once and
//                         kept: whole pictures for whole factors, the pieces
//                         the drawing asks for otherwise
//   TksScaledSkin         the scaled pictures of a skin, one set per scale,
//                         kept with the skin data and dropped with its
//                         pictures
//   TSkinSurface          device pixels seen in skin pixels: the block
//                         transfers of BlockTransfer.h (copy, stretch, tile,
//                         transparent copy, fill) with skin coordinates
//   TSkinBuffer           device pixels of a skin-sized area, owned
//
// Every rectangle the drawing cuts out of a picture is scaled on its own,
// so a tiled or stretched middle never takes colour from the piece beside
// it in the picture: tiles join without seams at any factor. At the skin's
// own density a surface is the plain block transfer on its pixels, pixel for
// pixel. At a whole factor k every skin pixel becomes k x k device pixels of
// the same colour, so a drawing at 2x is its 1x drawing replicated 2 x 2.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <tuple>

#include "base/PixelBuffer.h"
#include "base/Types.h"
#include "skin/SkinData.h"
#include "skinui/paint/BlockTransfer.h"
#include "skinui/paint/DeviceScale.h"

namespace zv {

// `src` of `picture` resampled to w x h pixels into `out`. A device pixel
// shows the colours of the source pixels it covers, weighted by how much of
// it each covers (all four bytes of a pixel alike); when w and h are whole
// multiples of the source size every source pixel is repeated exactly. The
// parts of `src` outside the picture count as the nearest pixel inside.
void ResamplePiece(const TPixelView& picture, const TRect& src, int w, int h, TPixelBuffer& out);

class TScaledPictures {
public:
    explicit TScaledPictures(TDeviceScale scale) : m_scale(scale) {}

    [[nodiscard]] TDeviceScale Scale() const { return m_scale; }

    // `src` of `picture` as w x h device pixels. For a whole factor and a
    // size of Factor() times the rectangle's, a view into the whole picture
    // scaled once; otherwise a piece resampled once per rectangle and size.
    // The view lives as long as this object (or until Clear).
    TPixelView Piece(const TPixelView& picture, const TRect& src, int w, int h);
    // The same for a piece drawn with `key` as its transparent colour: the
    // top byte of each pixel is its coverage (255 where the source pixel is
    // not the key colour, 0 where it is, in between at filtered edges) and
    // the colour is weighted by it.
    TPixelView TransparentPiece(const TPixelView& picture, const TRect& src, TPixel key, int w, int h);
    // Makes the whole scaled copy of a picture now (whole factors only).
    void ScaleWhole(const TPixelView& picture);
    void Clear();
    // Pixels held, for tests of the caching.
    [[nodiscard]] size_t PieceCount() const { return m_pieces.size(); }
    [[nodiscard]] size_t WholeCount() const { return m_whole.size(); }

private:
    using TPictureKey = std::tuple<const TPixel*, int, int, int>;
    using TPieceKey = std::tuple<const TPixel*, int, int, int, int, int, int, int, int, int, TPixel>;
    static TPictureKey KeyOf(const TPixelView& picture) {
        return {picture.Bits, picture.Width, picture.Height, picture.Stride};
    }
    const TPixelBuffer* Whole(const TPixelView& picture);

    TDeviceScale m_scale;
    std::map<TPictureKey, TPixelBuffer> m_whole;
    std::map<TPieceKey, TPixelBuffer> m_pieces;
    std::int64_t m_kept = 0;
};

// The scaled pictures of one skin, kept with its skin data.
class TksScaledSkin : public TksSkinDerived {
public:
    // The pictures at `scale` (made empty on first use).
    TScaledPictures& At(TDeviceScale scale);
    // Scales every picture of `data` for a whole factor now: the skin's
    // share of the start at that density.
    static void ScaleAll(const TksSkinData& data, TDeviceScale scale);

private:
    std::map<int, std::unique_ptr<TScaledPictures>> m_scales;
};

// The scaled pictures of `data` at `scale`; null at the skin's own density
// and without skin data.
TScaledPictures* ScaledPicturesOf(const TksSkinData* data, TDeviceScale scale);

class TSkinSurface {
public:
    TSkinSurface() = default;
    // Skin pixels are the view's pixels.
    explicit TSkinSurface(const TPixelView& pixels);
    // `device` shows the skin area of `map`; pictures are scaled through
    // `pictures` (null: scaled for each drawing and not kept).
    TSkinSurface(const TPixelView& device, const TDeviceMap& map, TScaledPictures* pictures);

    [[nodiscard]] int Width() const { return m_map.Width; }
    [[nodiscard]] int Height() const { return m_map.Height; }
    [[nodiscard]] TRect Bounds() const { return {0, 0, Width(), Height()}; }
    [[nodiscard]] const TPixelView& Device() const { return m_device; }
    [[nodiscard]] const TDeviceMap& Map() const { return m_map; }
    [[nodiscard]] bool Identity() const { return m_map.IsIdentity(); }
    [[nodiscard]] TScaledPictures* Pictures() const { return m_pictures; }
    // The device rectangle of a skin rectangle.
    [[nodiscard]] TRect ToDevice(const TRect& r) const { return m_map.ToDevice(r); }

    // Copies `src` of `picture` with its top-left corner at (x, y).
    void Copy(int x, int y, const TPixelView& picture, const TRect& src) const;
    // The top-left w x h skin pixels of `src` copied to (x, y), scaled as a
    // part of the whole of `src` (the cut tile of a tiling).
    void CopyPart(int x, int y, const TPixelView& picture, const TRect& src, int w, int h) const;
    // Copies `src` of `picture` to `dst`, stretched (without interpolation,
    // as BlockTransfer's StretchBlock) when the sizes differ.
    void Stretch(const TRect& dst, const TPixelView& picture, const TRect& src) const;
    // TileBand's tiling: the segment `src` along x (or y) over a .. b, the
    // other axis at `cross`; the last tile cut at b.
    void Tile(const TPixelView& picture, const TRect& src, bool horizontal, int a, int b, int cross) const;
    // Copies `src` of `picture` to (x, y), leaving out pixels of colour
    // `key` (RGB).
    void CopyTransparent(int x, int y, const TPixelView& picture, const TRect& src, TPixel key) const;
    // Fills a rectangle (clipped) with a colour.
    void Fill(const TRect& r, TPixel colour) const;
    // Copies device pixels (another buffer's, drawn for the same scale)
    // onto this surface at skin position (x, y), 1:1.
    void Put(int x, int y, const TPixelView& devicePixels) const;
    // A part of this surface: its skin rectangle `r` becomes (0, 0) and the
    // device pixels are those of `devicePart`, which holds exactly the
    // device pixels of r.
    [[nodiscard]] TSkinSurface Part(const TRect& r, const TPixelView& devicePart) const;
    // A part of this surface within its own pixels (r inside the surface).
    [[nodiscard]] TSkinSurface Part(const TRect& r) const { return Part(r, SubView(m_device, ToDevice(r))); }

private:
    TPixelView m_device;
    TDeviceMap m_map;
    TScaledPictures* m_pictures = nullptr;
};

// Device pixels of a skin area, starting white (as every target the
// composition sizes).
class TSkinBuffer {
public:
    TSkinBuffer() = default;
    explicit TSkinBuffer(const TDeviceMap& map, TScaledPictures* pictures = nullptr);

    [[nodiscard]] TSkinSurface Surface() { return {m_pixels.View(), m_map, m_pictures}; }
    [[nodiscard]] const TPixelBuffer& Pixels() const { return m_pixels; }
    [[nodiscard]] TPixelBuffer& Pixels() { return m_pixels; }
    [[nodiscard]] const TDeviceMap& Map() const { return m_map; }
    [[nodiscard]] bool Empty() const { return m_pixels.Empty(); }

private:
    TDeviceMap m_map;
    TScaledPictures* m_pictures = nullptr;
    TPixelBuffer m_pixels;
};

}  // namespace zv
