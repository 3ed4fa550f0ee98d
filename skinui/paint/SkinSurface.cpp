// Scaled pictures and skin surfaces.
//
//   resampling        ResamplePiece (replication, area filter), windows of
//                     a piece too large to keep
//   TScaledPictures   whole pictures, pieces, transparent pieces, the limit
//                     on what is kept
//   TksScaledSkin     per scale, kept with the skin data
//   TSkinSurface      the block transfers in skin coordinates
#include "skinui/paint/SkinSurface.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "skinui/paint/BlockTransfer.h"

namespace zv {

namespace {

// Pieces larger than this are made for the visible part of each drawing
// only and not kept; what is kept is dropped when it grows past the limit.
constexpr std::int64_t kMaxPiecePixels = std::int64_t{4} << 20;
constexpr std::int64_t kMaxKeptPixels = std::int64_t{32} << 20;

struct TTap {
    int Index;
    int Weight;
};

// For each of `m` output pixels of an axis of `n` source pixels: the source
// pixels it covers and by how much (in 1/n of an output pixel, so the
// weights of an output pixel add up to n). Only outputs first .. first +
// count - 1 are made.
std::vector<std::vector<TTap>> AreaTaps(int n, int m, int first, int count) {
    std::vector<std::vector<TTap>> taps(static_cast<size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k) {
        const std::int64_t j = first + k;
        // Output j covers [j * n, (j + 1) * n); source i covers [i * m, (i + 1) * m).
        const std::int64_t lo = j * n;
        const std::int64_t hi = lo + n;
        for (std::int64_t i = lo / m; i * m < hi && i < n; ++i) {
            const std::int64_t a = std::max(lo, i * m);
            const std::int64_t b = std::min(hi, (i + 1) * m);
            if (b > a) taps[static_cast<size_t>(k)].push_back({static_cast<int>(i), static_cast<int>(b - a)});
        }
    }
    return taps;
}

// The window `win` of `src` of `picture` resampled to w x h. Source pixels
// outside the picture are read as the nearest one inside.
void ResampleWindow(const TPixelView& picture, const TRect& src, int w, int h, const TRect& win,
                    TPixelBuffer& out) {
    out.SetSize(std::max(win.Width(), 0), std::max(win.Height(), 0));
    if (out.Empty() || picture.Empty() || src.IsEmpty() || w < 1 || h < 1) return;
    const int sw = src.Width();
    const int sh = src.Height();
    auto at = [&](int x, int y) {
        const int px = std::clamp(src.Left + x, 0, picture.Width - 1);
        const int py = std::clamp(src.Top + y, 0, picture.Height - 1);
        return picture.At(px, py);
    };
    if (w % sw == 0 && h % sh == 0) {
        // Whole factors: every source pixel repeated exactly.
        const int kx = w / sw;
        const int ky = h / sh;
        for (int y = 0; y < out.Height(); ++y) {
            TPixel* row = out.Row(y);
            const int sy = (win.Top + y) / ky;
            for (int x = 0; x < out.Width(); ++x) row[x] = at((win.Left + x) / kx, sy);
        }
        return;
    }
    const auto tx = AreaTaps(sw, w, win.Left, out.Width());
    const auto ty = AreaTaps(sh, h, win.Top, out.Height());
    // The rows the window needs, filtered along x first.
    const int row0 = ty.front().empty() ? 0 : ty.front().front().Index;
    const int row1 = ty.back().empty() ? 0 : ty.back().back().Index;
    const int rows = std::max(row1 - row0 + 1, 0);
    std::vector<std::uint32_t> across(static_cast<size_t>(rows) * static_cast<size_t>(out.Width()) * 4);
    for (int r = 0; r < rows; ++r) {
        for (int x = 0; x < out.Width(); ++x) {
            std::uint32_t acc[4] = {0, 0, 0, 0};
            for (const TTap& t : tx[static_cast<size_t>(x)]) {
                const TPixel p = at(t.Index, row0 + r);
                for (int c = 0; c < 4; ++c)
                    acc[c] += ((p >> (8 * c)) & 0xFFu) * static_cast<std::uint32_t>(t.Weight);
            }
            std::uint32_t* dst = &across[(static_cast<size_t>(r) * static_cast<size_t>(out.Width()) + x) * 4];
            for (int c = 0; c < 4; ++c) dst[c] = acc[c];
        }
    }
    const std::uint64_t total = static_cast<std::uint64_t>(sw) * static_cast<std::uint64_t>(sh);
    for (int y = 0; y < out.Height(); ++y) {
        TPixel* row = out.Row(y);
        for (int x = 0; x < out.Width(); ++x) {
            std::uint64_t acc[4] = {0, 0, 0, 0};
            for (const TTap& t : ty[static_cast<size_t>(y)]) {
                const std::uint32_t* v =
                    &across[(static_cast<size_t>(t.Index - row0) * static_cast<size_t>(out.Width()) + x) * 4];
                for (int c = 0; c < 4; ++c)
                    acc[c] += static_cast<std::uint64_t>(v[c]) * static_cast<std::uint64_t>(t.Weight);
            }
            TPixel p = 0;
            for (int c = 0; c < 4; ++c)
                p |= static_cast<TPixel>(((acc[c] + total / 2) / total) & 0xFFu) << (8 * c);
            row[x] = p;
        }
    }
}

// `src` of `picture` with the key colour's pixels clear (coverage 0, colour
// 0) and the others covered (coverage 255 in the top byte).
TPixelBuffer Coverage(const TPixelView& picture, const TRect& src, TPixel key) {
    TPixelBuffer b(std::max(src.Width(), 0), std::max(src.Height(), 0));
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const int px = std::clamp(src.Left + x, 0, picture.Width - 1);
            const int py = std::clamp(src.Top + y, 0, picture.Height - 1);
            const TPixel p = PixelRGB(picture.At(px, py));
            b.At(x, y) = p == PixelRGB(key) ? 0u : (p | 0xFF000000u);
        }
    return b;
}

bool Keepable(int w, int h) {
    return w > 0 && h > 0 && static_cast<std::int64_t>(w) * h <= kMaxPiecePixels;
}

// The device rectangle `dst` of a piece drawn onto `device`: the window of
// the piece that lands inside, in piece coordinates.
TRect VisibleWindow(const TPixelView& device, const TRect& dst) {
    const TRect v = IntersectRect(dst, device.Bounds());
    if (v.IsEmpty()) return {};
    return OffsetRect(v, -dst.Left, -dst.Top);
}

}  // namespace

void ResamplePiece(const TPixelView& picture, const TRect& src, int w, int h, TPixelBuffer& out) {
    ResampleWindow(picture, src, w, h, {0, 0, std::max(w, 0), std::max(h, 0)}, out);
}

// ---- TScaledPictures ---------------------------------------------------------------

const TPixelBuffer* TScaledPictures::Whole(const TPixelView& picture) {
    if (!m_scale.Integral() || picture.Empty()) return nullptr;
    const int k = m_scale.Factor();
    if (!Keepable(picture.Width * k, picture.Height * k)) return nullptr;
    auto it = m_whole.find(KeyOf(picture));
    if (it == m_whole.end()) {
        TPixelBuffer scaled;
        ResamplePiece(picture, picture.Bounds(), picture.Width * k, picture.Height * k, scaled);
        it = m_whole.emplace(KeyOf(picture), std::move(scaled)).first;
    }
    return &it->second;
}

void TScaledPictures::ScaleWhole(const TPixelView& picture) {
    (void)Whole(picture);
}

TPixelView TScaledPictures::Piece(const TPixelView& picture, const TRect& src, int w, int h) {
    if (picture.Empty() || src.IsEmpty() || w < 1 || h < 1) return {};
    const int k = m_scale.Factor();
    if (m_scale.Integral() && w == src.Width() * k && h == src.Height() * k &&
        IntersectRect(src, picture.Bounds()) == src) {
        if (const TPixelBuffer* whole = Whole(picture))
            return SubView(whole->View(), {src.Left * k, src.Top * k, src.Right * k, src.Bottom * k});
    }
    if (!Keepable(w, h)) return {};
    const TPieceKey key{picture.Bits,
                        picture.Width,
                        picture.Height,
                        picture.Stride,
                        src.Left,
                        src.Top,
                        src.Right,
                        src.Bottom,
                        w,
                        h,
                        0};
    auto it = m_pieces.find(key);
    if (it == m_pieces.end()) {
        if (m_kept + static_cast<std::int64_t>(w) * h > kMaxKeptPixels) Clear();
        TPixelBuffer piece;
        ResamplePiece(picture, src, w, h, piece);
        m_kept += static_cast<std::int64_t>(w) * h;
        it = m_pieces.emplace(key, std::move(piece)).first;
    }
    return it->second.View();
}

TPixelView TScaledPictures::TransparentPiece(const TPixelView& picture, const TRect& src, TPixel key, int w,
                                             int h) {
    if (picture.Empty() || src.IsEmpty() || !Keepable(w, h)) return {};
    // The key colour marks the entry apart from the plain piece (whose top
    // byte is never 0xFF in the key).
    const TPieceKey id{picture.Bits,
                       picture.Width,
                       picture.Height,
                       picture.Stride,
                       src.Left,
                       src.Top,
                       src.Right,
                       src.Bottom,
                       w,
                       h,
                       PixelRGB(key) | 0xFF000000u};
    auto it = m_pieces.find(id);
    if (it == m_pieces.end()) {
        if (m_kept + static_cast<std::int64_t>(w) * h > kMaxKeptPixels) Clear();
        const TPixelBuffer coverage = Coverage(picture, src, key);
        TPixelBuffer piece;
        ResamplePiece(coverage.View(), coverage.View().Bounds(), w, h, piece);
        m_kept += static_cast<std::int64_t>(w) * h;
        it = m_pieces.emplace(id, std::move(piece)).first;
    }
    return it->second.View();
}

void TScaledPictures::Clear() {
    m_pieces.clear();
    m_whole.clear();
    m_kept = 0;
}

// ---- TksScaledSkin -------------------------------------------------------------------

TScaledPictures& TksScaledSkin::At(TDeviceScale scale) {
    auto& slot = m_scales[scale.PixelsPerInch()];
    if (!slot) slot = std::make_unique<TScaledPictures>(scale);
    return *slot;
}

void TksScaledSkin::ScaleAll(const TksSkinData& data, TDeviceScale scale) {
    TScaledPictures* pictures = ScaledPicturesOf(&data, scale);
    if (pictures == nullptr || !scale.Integral()) return;
    // The pictures the windows draw from; masks only shape regions, which
    // are made from the masks themselves.
    for (const TksBitmap* p : {&data.Picture(), &data.InActivePicture(), &data.RollUpPicture()})
        pictures->ScaleWhole(p->View());
    for (int i = 0; i < data.ActivePictureCount(); ++i) pictures->ScaleWhole(data.ActivePicture(i)->View());
}

TScaledPictures* ScaledPicturesOf(const TksSkinData* data, TDeviceScale scale) {
    if (data == nullptr || scale.Identity()) return nullptr;
    auto* skin = dynamic_cast<TksScaledSkin*>(data->Derived());
    if (skin == nullptr) {
        auto made = std::make_unique<TksScaledSkin>();
        skin = made.get();
        data->SetDerived(std::move(made));
    }
    return &skin->At(scale);
}

// ---- TSkinSurface --------------------------------------------------------------------

TSkinSurface::TSkinSurface(const TPixelView& pixels)
    : m_device(pixels), m_map(TDeviceMap::Identity(std::max(pixels.Width, 0), std::max(pixels.Height, 0))) {}

TSkinSurface::TSkinSurface(const TPixelView& device, const TDeviceMap& map, TScaledPictures* pictures)
    : m_device(device), m_map(map), m_pictures(pictures) {}

namespace {

// Draws `src` of `picture` (or of its transparent form) resampled to the
// device rectangle `dst`: a kept piece when it may be kept, otherwise the
// visible window made for this drawing.
void DrawPiece(const TPixelView& device, const TRect& dst, const TPixelView& picture, const TRect& src,
               TScaledPictures* pictures, const TPixel* key) {
    const TRect win = VisibleWindow(device, dst);
    if (win.IsEmpty() || picture.Empty() || src.IsEmpty()) return;
    const int w = dst.Width();
    const int h = dst.Height();
    TPixelView piece;
    TPixelBuffer own;
    if (pictures != nullptr && Keepable(w, h))
        piece =
            key ? pictures->TransparentPiece(picture, src, *key, w, h) : pictures->Piece(picture, src, w, h);
    TRect from = win;
    if (piece.Empty()) {
        if (key) {
            const TPixelBuffer coverage = Coverage(picture, src, *key);
            ResampleWindow(coverage.View(), coverage.View().Bounds(), w, h, win, own);
        } else {
            ResampleWindow(picture, src, w, h, win, own);
        }
        piece = own.View();
        from = piece.Bounds();
    }
    const int x = dst.Left + win.Left;
    const int y = dst.Top + win.Top;
    if (!key) {
        CopyBlock(device, x, y, piece, from);
        return;
    }
    // Coverage in the top byte, colour weighted by it.
    for (int r = 0; r < from.Height(); ++r) {
        const TPixel* s = piece.Row(from.Top + r) + from.Left;
        TPixel* d = device.Row(y + r) + x;
        for (int c = 0; c < from.Width(); ++c) {
            const TPixel p = s[c];
            const std::uint32_t a = p >> 24;
            if (a == 0) continue;
            if (a == 255) {
                d[c] = PixelRGB(p);
                continue;
            }
            const TPixel q = d[c];
            auto mix = [a](int src, int dstc) {
                return static_cast<int>(src + (dstc * (255 - static_cast<int>(a)) + 127) / 255);
            };
            d[c] = MakePixel(mix(PixelR(p), PixelR(q)), mix(PixelG(p), PixelG(q)), mix(PixelB(p), PixelB(q)));
        }
    }
}

}  // namespace

void TSkinSurface::Copy(int x, int y, const TPixelView& picture, const TRect& src) const {
    if (Identity()) {
        CopyBlock(m_device, x, y, picture, src);
        return;
    }
    // As the plain copy: what lies outside the picture is not drawn.
    const TRect c = IntersectRect(src, picture.Bounds());
    if (picture.Empty() || c.IsEmpty()) return;
    const int left = x + c.Left - src.Left;
    const int top = y + c.Top - src.Top;
    DrawPiece(m_device, ToDevice({left, top, left + c.Width(), top + c.Height()}), picture, c, m_pictures,
              nullptr);
}

void TSkinSurface::Stretch(const TRect& dst, const TPixelView& picture, const TRect& src) const {
    if (Identity()) {
        StretchBlock(m_device, dst, picture, src);
        return;
    }
    if (dst.IsEmpty() || src.IsEmpty()) return;
    if (dst.Width() == src.Width() && dst.Height() == src.Height()) {
        Copy(dst.Left, dst.Top, picture, src);
        return;
    }
    if (picture.Empty()) return;
    // Stretched in skin pixels first, the way it is drawn 1:1, then scaled:
    // at a whole factor the result is the 1:1 stretch replicated.
    if (!Keepable(dst.Width(), dst.Height())) return;
    TPixelBuffer skin(dst.Width(), dst.Height(), MakePixel(255, 255, 255));
    StretchBlock(skin.View(), skin.View().Bounds(), picture, src);
    DrawPiece(m_device, ToDevice(dst), skin.View(), skin.View().Bounds(), nullptr, nullptr);
}

void TSkinSurface::CopyPart(int x, int y, const TPixelView& picture, const TRect& src, int w, int h) const {
    if (w < 1 || h < 1 || src.IsEmpty()) return;
    if (Identity()) {
        CopyBlock(m_device, x, y, picture, {src.Left, src.Top, src.Left + w, src.Top + h});
        return;
    }
    // Drawn through a view cut to the shown part, so the piece keeps the
    // whole rectangle's scale.
    const TRect dWhole = ToDevice({x, y, x + src.Width(), y + src.Height()});
    const TRect dShown = ToDevice({x, y, x + w, y + h});
    const TPixelView clip = SubView(m_device, dShown);
    if (clip.Empty()) return;
    const TRect visible = IntersectRect(dShown, m_device.Bounds());
    DrawPiece(clip, OffsetRect(dWhole, -visible.Left, -visible.Top), picture, src, m_pictures, nullptr);
}

void TSkinSurface::Tile(const TPixelView& picture, const TRect& src, bool horizontal, int a, int b,
                        int cross) const {
    if (Identity()) {
        TileBand(m_device, picture, src, horizontal, a, b, cross);
        return;
    }
    const std::int64_t n = horizontal ? src.Width() : src.Height();
    if (n < 1 || src.IsEmpty() || picture.Empty()) return;
    const std::int64_t count = (static_cast<std::int64_t>(b) - a) / n;
    if (count < 0) return;
    const std::int64_t limit = horizontal ? Width() : Height();
    // Tiles wholly before the target's origin draw nothing; skip them.
    const std::int64_t first = a < 0 ? std::max<std::int64_t>(-static_cast<std::int64_t>(a) / n - 1, 0) : 0;
    for (std::int64_t k = first; k <= count; ++k) {
        const std::int64_t s = a + k * n;
        if (s >= limit) break;
        const std::int64_t cut = std::max<std::int64_t>(s + n - b, 0);
        if (n - cut < 1 || s + n <= 0) continue;
        // The last tile is the start of a whole one, as at 1:1.
        const int shown = static_cast<int>(n - cut);
        if (horizontal)
            CopyPart(static_cast<int>(s), cross, picture, src, shown, src.Height());
        else
            CopyPart(cross, static_cast<int>(s), picture, src, src.Width(), shown);
    }
}

void TSkinSurface::CopyTransparent(int x, int y, const TPixelView& picture, const TRect& src,
                                   TPixel key) const {
    const TRect c = IntersectRect(src, picture.Bounds());
    if (picture.Empty() || c.IsEmpty()) return;
    const int left = x + c.Left - src.Left;
    const int top = y + c.Top - src.Top;
    if (Identity()) {
        for (int sy = c.Top; sy < c.Bottom; ++sy)
            for (int sx = c.Left; sx < c.Right; ++sx) {
                const int tx = left + sx - c.Left;
                const int ty = top + sy - c.Top;
                if (!m_device.Contains(tx, ty)) continue;
                const TPixel p = picture.At(sx, sy);
                if (PixelRGB(p) != PixelRGB(key)) m_device.At(tx, ty) = p;
            }
        return;
    }
    DrawPiece(m_device, ToDevice({left, top, left + c.Width(), top + c.Height()}), picture, c, m_pictures,
              &key);
}

void TSkinSurface::Fill(const TRect& r, TPixel colour) const {
    const TRect d = IntersectRect(ToDevice(r), m_device.Bounds());
    if (m_device.Empty() || d.IsEmpty()) return;
    for (int y = d.Top; y < d.Bottom; ++y) std::fill_n(m_device.Row(y) + d.Left, d.Width(), colour);
}

void TSkinSurface::Put(int x, int y, const TPixelView& devicePixels) const {
    CopyBlock(m_device, m_map.X.ToDevice(x), m_map.Y.ToDevice(y), devicePixels, devicePixels.Bounds());
}

TSkinSurface TSkinSurface::Part(const TRect& r, const TPixelView& devicePart) const {
    return {devicePart, m_map.Part(r), m_pictures};
}

// ---- TSkinBuffer -----------------------------------------------------------------------

TSkinBuffer::TSkinBuffer(const TDeviceMap& map, TScaledPictures* pictures)
    : m_map(map), m_pictures(pictures) {
    m_pixels.SetSize(map.DeviceWidth(), map.DeviceHeight(), MakePixel(255, 255, 255));
}

}  // namespace zv
