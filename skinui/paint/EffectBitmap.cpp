// TksEffectBmp: morphs, effects and translucency. Index:
//   channel helpers (rounding, ratio blends)
//   TRandomSource
//   pixel and row access, Draw
//   Morph and the wipes
//   ChangeBrightness, ChangeDarkness, GrayScale, AddNoise, SplitBlur, Invert
//   ApplyMorph, BlendTranslucent
#include "skinui/paint/EffectBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "base/SysUtils.h"
#include "skinui/paint/BlockTransfer.h"

namespace zv {

namespace {

double ClampUnit(double kf) {
    if (std::isnan(kf) || kf < 0.0) return 0.0;
    return kf > 1.0 ? 1.0 : kf;
}

// Nearest integer of a value already known to be small (a size times a kf
// of 0 .. 1).
int Nearest(double v) {
    return static_cast<int>(RoundHalfEven(v));
}

int ClampByte(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, 0, 255));
}

int RoundChannel(double v) {
    if (std::isnan(v)) return 0;
    return ClampByte(RoundHalfEven(std::clamp(v, -1.0, 256.0)));
}

// num / den rounded to nearest, halves to even, for num >= 0 and den > 0.
int DivNearestEven(int num, int den) {
    int q = num / den;
    const int twice = 2 * (num % den);
    if (twice > den || (twice == den && (q & 1) != 0)) ++q;
    return q;
}

// Weight w on s as the ratio k / n (0 <= k <= n): (k*s + (n-k)*o) / n per
// channel. Convex, so no clamping is needed.
TPixel BlendRatio(TPixel s, TPixel o, int k, int n) {
    const int m = n - k;
    return MakePixel(DivNearestEven(k * PixelR(s) + m * PixelR(o), n),
                     DivNearestEven(k * PixelG(s) + m * PixelG(o), n),
                     DivNearestEven(k * PixelB(s) + m * PixelB(o), n));
}

// The weight of a wipe's soft edge k pixels away from its start, growing by
// 1/n per pixel up to 1; n < 1 means a weight of 0 throughout.
TPixel BlendStep(TPixel s, TPixel o, int k, int n) {
    if (n < 1) return o;
    return BlendRatio(s, o, std::min(k, n), n);
}

TPixel BlendReal(TPixel s, TPixel o, double w) {
    return MakePixel(RoundChannel(w * PixelR(s) + (1.0 - w) * PixelR(o)),
                     RoundChannel(w * PixelG(s) + (1.0 - w) * PixelG(o)),
                     RoundChannel(w * PixelB(s) + (1.0 - w) * PixelB(o)));
}

}  // namespace

// ---------------------------------------------------------------- TRandomSource

TRandomSource::TRandomSource(std::uint64_t startValue) : m_state(startValue ^ 0x9E3779B97F4A7C15ull) {
    if (m_state == 0) m_state = 0x9E3779B97F4A7C15ull;
}

std::uint64_t TRandomSource::NextBits() {
    m_state ^= m_state >> 12;
    m_state ^= m_state << 25;
    m_state ^= m_state >> 27;
    return m_state * 0x2545F4914F6CDD1Dull;
}

int TRandomSource::Next(int range) {
    if (range < 1) return 0;
    const auto r = static_cast<std::uint64_t>(range);
    // Rejection keeps every value equally likely.
    const std::uint64_t limit = (1ull << 32) - ((1ull << 32) % r);
    for (;;) {
        const std::uint64_t x = NextBits() >> 32;
        if (x < limit) return static_cast<int>(x % r);
    }
}

// ---------------------------------------------------------------- access

TksEffectBmp::TksEffectBmp(int width, int height) : m_pixels(std::max(width, 0), std::max(height, 0)) {}

TksEffectBmp::TksEffectBmp(const TPixelView& source) {
    if (source.Empty()) return;
    m_pixels.SetSize(source.Width, source.Height);
    CopyBlock(m_pixels.View(), 0, 0, source, source.Bounds());
}

TPixel TksEffectBmp::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return 0;
    return m_pixels.At(x, y);
}

void TksEffectBmp::SetPixel(int x, int y, TPixel value) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    m_pixels.At(x, y) = value;
}

void TksEffectBmp::GetRow(int y, TPixel* row) const {
    if (y < 0 || y >= Height() || row == nullptr) return;
    std::memcpy(row, m_pixels.Row(y), static_cast<size_t>(Width()) * sizeof(TPixel));
}

void TksEffectBmp::SetRow(int y, const TPixel* row) {
    if (y < 0 || y >= Height() || row == nullptr) return;
    std::memcpy(m_pixels.Row(y), row, static_cast<size_t>(Width()) * sizeof(TPixel));
}

TPixel* TksEffectBmp::RowAddress(int y) {
    if (y < 0 || y >= Height()) return nullptr;
    return m_pixels.Row(y);
}

void TksEffectBmp::Draw(const TPixelView& target, int x, int y) const {
    CopyBlock(target, x, y, m_pixels.View(), {0, 0, Width(), Height()});
}

// ---------------------------------------------------------------- morphs

void TksEffectBmp::Morph(const TksEffectBmp& other, double kf) {
    if (!SameSize(other)) return;
    const double w = 1.0 - ClampUnit(kf);
    for (int y = 0; y < Height(); ++y) {
        TPixel* s = m_pixels.Row(y);
        const TPixel* o = other.m_pixels.Row(y);
        for (int x = 0; x < Width(); ++x) s[x] = BlendReal(s[x], o[x], w);
    }
}

void TksEffectBmp::MorphGradient(const TksEffectBmp& other, double kf) {
    if (Width() < Height()) {
        MorphVerticalGradient(other, kf);
    } else {
        MorphHorizontalGradient(other, kf);
    }
}

void TksEffectBmp::MorphHorizontalGradient(const TksEffectBmp& other, double kf) {
    if (!SameSize(other) || Width() < 1) return;
    const int w = Width();
    const int a = Nearest(w * ClampUnit(kf));
    const int half = (w - a) / 2;
    const int step = half > 0 ? half : 1;  // weight grows by 1/half, by 1 when half is 0
    const int centre = w / 2;
    const int g = std::max(centre - a / 2, 0);
    const int f = std::min(centre + a / 2, w - 1);
    for (int y = 0; y < Height(); ++y) {
        TPixel* s = m_pixels.Row(y);
        const TPixel* o = other.m_pixels.Row(y);
        for (int x = g; x <= f; ++x) s[x] = o[x];
        for (int x = g; x >= 0; --x) s[x] = BlendStep(s[x], o[x], g - x, step);
        for (int x = f; x < w; ++x) s[x] = BlendStep(s[x], o[x], x - f, step);
    }
}

void TksEffectBmp::MorphVerticalGradient(const TksEffectBmp& other, double kf) {
    if (!SameSize(other) || Height() < 1) return;
    const int h = Height();
    const int b = Nearest(h * ClampUnit(kf));
    // The weight grows by 1/q per row; q = 0 leaves the weight at 0, so the
    // whole buffer shows the other picture.
    const int q = (h - 1 - b) / 2;
    const int g = std::max(h / 2 - b / 2, 0);
    const int f = std::min(h / 2 + b / 2, h - 1);
    for (int y = g; y <= f; ++y) SetRow(y, other.m_pixels.Row(y));
    auto blendRow = [&](int y, int k) {
        TPixel* s = m_pixels.Row(y);
        const TPixel* o = other.m_pixels.Row(y);
        for (int x = 0; x < Width(); ++x) s[x] = BlendStep(s[x], o[x], k, q);
    };
    for (int y = g; y >= 0; --y) blendRow(y, g - y);
    for (int y = f; y < h; ++y) blendRow(y, y - f);
}

void TksEffectBmp::MorphLeftGradient(const TksEffectBmp& other, double kf) {
    if (!SameSize(other) || Width() < 1) return;
    const int w = Width();
    const int a = std::min(std::max(Nearest(w * ClampUnit(kf)), 1), w - 1);
    const int n = std::max(a, 1);
    for (int y = 0; y < Height(); ++y) {
        TPixel* s = m_pixels.Row(y);
        const TPixel* o = other.m_pixels.Row(y);
        for (int x = 0; x <= a; ++x) s[x] = BlendStep(s[x], o[x], x, n);
    }
}

void TksEffectBmp::MorphRightGradient(const TksEffectBmp& other, double kf) {
    if (!SameSize(other) || Width() < 1) return;
    const int w = Width();
    const int a = std::min(std::max(w - Nearest(w * ClampUnit(kf)), 0), w - 1);
    const int n = w - a > 0 ? w - a : 1;
    for (int y = 0; y < Height(); ++y) {
        TPixel* s = m_pixels.Row(y);
        const TPixel* o = other.m_pixels.Row(y);
        for (int x = w - 1; x >= a; --x) s[x] = BlendStep(s[x], o[x], w - 1 - x, n);
    }
}

void TksEffectBmp::MorphLeftSlide(const TksEffectBmp& other, double kf) {
    if (!SameSize(other) || Width() < 2) return;
    const int w = Width();
    const int b = std::min(std::max(Nearest(w * ClampUnit(kf)), 1), w - 1);
    for (int y = 0; y < Height(); ++y) {
        std::memcpy(m_pixels.Row(y), other.m_pixels.Row(y) + (w - b),
                    static_cast<size_t>(b) * sizeof(TPixel));
    }
}

void TksEffectBmp::MorphRightSlide(const TksEffectBmp& other, double kf) {
    if (!SameSize(other) || Width() < 2) return;
    const int w = Width();
    const int b = std::min(std::max(Nearest(w * ClampUnit(kf)), 1), w - 1);
    for (int y = 0; y < Height(); ++y) {
        std::memcpy(m_pixels.Row(y) + (w - b), other.m_pixels.Row(y),
                    static_cast<size_t>(b) * sizeof(TPixel));
    }
}

void TksEffectBmp::MorphPush(const TksEffectBmp& other, double kf) {
    if (!SameSize(other) || Width() < 1) return;
    const int w = Width();
    const int a = std::min(std::max(Nearest(w * ClampUnit(kf)), 0), w - 1);
    for (int y = 0; y < Height(); ++y) {
        TPixel* s = m_pixels.Row(y);
        const TPixel* o = other.m_pixels.Row(y);
        // Right to left, so every pixel read is still the original one.
        for (int x = w - 1; x >= a; --x) s[x] = x == a ? s[0] : s[x - a - 1];
        for (int x = 0; x <= a; ++x) s[x] = o[std::min(w - a - 1 + x, w - 1)];
    }
}

// ---------------------------------------------------------------- effects

void TksEffectBmp::ChangeBrightness(double kf) {
    const double k = ClampUnit(kf);
    auto ch = [k](int c) { return RoundChannel((1.0 - k) * c + 255.0 * k); };
    for (int y = 0; y < Height(); ++y) {
        TPixel* s = m_pixels.Row(y);
        for (int x = 0; x < Width(); ++x)
            s[x] = MakePixel(ch(PixelR(s[x])), ch(PixelG(s[x])), ch(PixelB(s[x])));
    }
}

void TksEffectBmp::ChangeDarkness(double kf) {
    const double k = ClampUnit(kf);
    auto ch = [k](int c) { return RoundChannel((1.0 - k) * c); };
    for (int y = 0; y < Height(); ++y) {
        TPixel* s = m_pixels.Row(y);
        for (int x = 0; x < Width(); ++x)
            s[x] = MakePixel(ch(PixelR(s[x])), ch(PixelG(s[x])), ch(PixelB(s[x])));
    }
}

void TksEffectBmp::GrayScale() {
    for (int y = 0; y < Height(); ++y) {
        TPixel* s = m_pixels.Row(y);
        for (int x = 0; x < Width(); ++x) {
            // 0.3 R + 0.59 G + 0.11 B on the exact ratio.
            const int v = DivNearestEven(30 * PixelR(s[x]) + 59 * PixelG(s[x]) + 11 * PixelB(s[x]), 100);
            s[x] = MakePixel(v, v, v);
        }
    }
}

void TksEffectBmp::AddNoise(int amount, TRandomSource& source) {
    if (amount < 1) return;
    for (int y = 0; y < Height(); ++y) {
        TPixel* s = m_pixels.Row(y);
        for (int x = 0; x < Width(); ++x) {
            const int r = source.Next(amount) - amount / 2;
            s[x] = MakePixel(ClampByte(PixelR(s[x]) + r), ClampByte(PixelG(s[x]) + r),
                             ClampByte(PixelB(s[x]) + r));
        }
    }
}

void TksEffectBmp::SplitBlur(int distance) {
    const int d = distance;
    const int w = Width(), h = Height();
    if (d < 1 || w < 1 || h < 1) return;
    // The lower (right) neighbour falls back to row h - i (column w - x);
    // when that lies outside too (row 0 of a buffer not taller than d) the
    // pixel's own row (column) stands in, as it does for the upper side.
    // Compared as d < h - i: i + d could overflow for a huge distance.
    auto lowerRow = [&](int i) {
        if (d < h - i) return i + d;
        return i > 0 ? h - i : i;
    };
    auto rightColumn = [&](int x) {
        if (d < w - x) return x + d;
        return x > 0 ? w - x : x;
    };
    std::vector<TPixel> row(static_cast<size_t>(w));
    for (int i = 0; i < h; ++i) {
        const TPixel* up = m_pixels.Row(d > i ? i : i - d);
        const TPixel* down = m_pixels.Row(lowerRow(i));
        for (int x = 0; x < w; ++x) {
            const int l = d > x ? x : x - d;
            const int r = rightColumn(x);
            const TPixel p1 = up[l], p2 = down[l], p3 = up[r], p4 = down[r];
            row[static_cast<size_t>(x)] = MakePixel((PixelR(p1) + PixelR(p2) + PixelR(p3) + PixelR(p4)) / 4,
                                                    (PixelG(p1) + PixelG(p2) + PixelG(p3) + PixelG(p4)) / 4,
                                                    (PixelB(p1) + PixelB(p2) + PixelB(p3) + PixelB(p4)) / 4);
        }
        SetRow(i, row.data());
    }
}

void TksEffectBmp::Invert() {
    for (int y = 0; y < Height(); ++y) {
        TPixel* s = m_pixels.Row(y);
        for (int x = 0; x < Width(); ++x) s[x] ^= 0x00FFFFFFu;
    }
}

// ---------------------------------------------------------------- free functions

void ApplyMorph(TksEffectBmp& picture, const TksEffectBmp& other, TMorphKind kind, double kf) {
    switch (kind) {
        case TMorphKind::mkGradient: picture.MorphGradient(other, kf); break;
        case TMorphKind::mkLeftGradient: picture.MorphLeftGradient(other, kf); break;
        case TMorphKind::mkRightGradient: picture.MorphRightGradient(other, kf); break;
        case TMorphKind::mkLeftSlide: picture.MorphLeftSlide(other, kf); break;
        case TMorphKind::mkRightSlide: picture.MorphRightSlide(other, kf); break;
        case TMorphKind::mkPush: picture.MorphPush(other, kf); break;
        case TMorphKind::mkDefault:
        default: picture.Morph(other, kf); break;
    }
}

void BlendTranslucent(TksEffectBmp& picture, const TksEffectBmp& background, int alphaBlendValue) {
    if (picture.Width() != background.Width() || picture.Height() != background.Height()) return;
    const int v = std::clamp(alphaBlendValue, 0, 255);
    const TPixelView bg = background.View();
    for (int y = 0; y < picture.Height(); ++y) {
        TPixel* s = picture.RowAddress(y);
        const TPixel* o = bg.Row(y);
        for (int x = 0; x < picture.Width(); ++x) s[x] = BlendRatio(s[x], o[x], v, 255);
    }
}

}  // namespace zv
