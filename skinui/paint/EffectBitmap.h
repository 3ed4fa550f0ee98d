// TksEffectBmp: a pixel buffer with the morphs of a button's state change and
// the effects of an inactive frame, plus the blend of a translucent control.
//
//   TRandomSource          uniform integers for AddNoise, from a fixed start value
//   TksEffectBmp           pixels, rows, Draw, the morphs and the effects
//   TMorphKind, ApplyMorph the morph kinds of the skin's "morphkind" key
//   BlendTranslucent       a control drawn with AlphaBlendValue over its background
//
// Every channel result is rounded to the nearest integer with halves to the
// even neighbour and clamped to 0 .. 255. Where a weight is a ratio of
// integers (the gradient wipes, grey scale, translucency) the rounding is
// done on the exact ratio, so no floating-point residue can move a half.
// Two-buffer operations change nothing unless both buffers have the same
// size. Every kf is clamped to 0 .. 1 first (NaN counts as 0), which keeps
// the wipes' pixel ranges inside the buffer. The top byte of a pixel is not
// used; computed pixels leave it 0.
#pragma once

#include <cstdint>

#include "base/MorphKind.h"
#include "base/PixelBuffer.h"

namespace zv {

// A small uniform generator (xorshift64*). Tests start it from a fixed value
// to get the same sequence every run.
class TRandomSource {
public:
    explicit TRandomSource(std::uint64_t startValue);
    // A uniform integer 0 .. range - 1 (0 when range < 1).
    int Next(int range);

private:
    std::uint64_t NextBits();
    std::uint64_t m_state;
};

class TksEffectBmp {
public:
    // A blank buffer (black).
    TksEffectBmp(int width, int height);
    // A copy of the pixels of `source`.
    explicit TksEffectBmp(const TPixelView& source);

    [[nodiscard]] int Width() const { return m_pixels.Width(); }
    [[nodiscard]] int Height() const { return m_pixels.Height(); }
    [[nodiscard]] TPixelView View() { return m_pixels.View(); }
    [[nodiscard]] TPixelView View() const { return m_pixels.View(); }

    // Pixel access is bounds-checked: reads outside give 0, writes outside
    // are ignored.
    [[nodiscard]] TPixel Pixel(int x, int y) const;
    void SetPixel(int x, int y, TPixel value);
    // Whole rows: `row` holds Width pixels. Rows outside are ignored.
    void GetRow(int y, TPixel* row) const;
    void SetRow(int y, const TPixel* row);
    [[nodiscard]] TPixel* RowAddress(int y);

    // Sets the pixels onto `target` at (x, y), 1:1, clipped.
    void Draw(const TPixelView& target, int x, int y) const;

    // Morphs toward `other` as kf goes from 0 to 1.
    void Morph(const TksEffectBmp& other, double kf);
    void MorphGradient(const TksEffectBmp& other, double kf);  // vertical form when Width < Height
    void MorphHorizontalGradient(const TksEffectBmp& other, double kf);
    void MorphVerticalGradient(const TksEffectBmp& other, double kf);
    void MorphLeftGradient(const TksEffectBmp& other, double kf);
    void MorphRightGradient(const TksEffectBmp& other, double kf);
    void MorphLeftSlide(const TksEffectBmp& other, double kf);
    void MorphRightSlide(const TksEffectBmp& other, double kf);
    void MorphPush(const TksEffectBmp& other, double kf);

    // Effects of an inactive frame.
    void ChangeBrightness(double kf);
    void ChangeDarkness(double kf);
    void GrayScale();
    void AddNoise(int amount, TRandomSource& source);
    // Each channel becomes the sum of the four diagonal neighbours at
    // `distance` divided by 4 (rounded down), in place, rows top to bottom.
    // Nothing for a distance below 1.
    void SplitBlur(int distance);
    void Invert();

private:
    [[nodiscard]] bool SameSize(const TksEffectBmp& other) const {
        return other.Width() == Width() && other.Height() == Height();
    }
    TPixelBuffer m_pixels;
};

// The morph kind's operation.
void ApplyMorph(TksEffectBmp& picture, const TksEffectBmp& other, TMorphKind kind, double kf);

// `picture` drawn with opacity alphaBlendValue / 255 over `background`
// (255: the picture, 0: the background). Values outside 0 .. 255 are
// clamped.
void BlendTranslucent(TksEffectBmp& picture, const TksEffectBmp& background, int alphaBlendValue);

}  // namespace zv
