// A small bitmap font of our own for the previews: the skin tool runs
// without the platform's fonts, so captions are drawn with it as a stand-in
// for the skin's "Arial" (the real windows draw with the platform font).
//
// Cap height 7 pixels, descenders 2 more; proportional widths, one pixel
// between letters. Characters it lacks draw as a hollow box.
#pragma once

#include <string>

#include "base/PixelBuffer.h"
#include "base/Types.h"

namespace zv {

constexpr int kPixelFontHeight = 9;

// Width in pixels of `text` ("&" marks the next letter as the accelerator
// and takes no room when `accel` is set). Bold adds one pixel per letter.
int PixelTextWidth(const std::string& text, bool bold, bool accel = false);

// Draws `text` with its top-left corner at (x, y), clipped to `clip` and
// the target. With `accel`, "&" underlines the letter after it ("&&" is a
// plain "&").
void DrawPixelText(const TPixelView& target, const TRect& clip, int x, int y, const std::string& text,
                   TPixel colour, bool bold, bool accel = false);

}  // namespace zv
