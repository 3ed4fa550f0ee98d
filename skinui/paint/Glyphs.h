// Small drawn elements shared by the frame, its caption objects, the popup
// menu and the controls, drawn straight into a pixel buffer.
//
//   DrawLine          a one-pixel pen line, start included, end excluded
//   DrawRectOutline   a one-pixel outline of a rectangle (right/bottom exclusive)
//   DrawGlyphFrame    one frame of a multi-frame glyph, with transparency
//   DrawArrow         a small filled triangle centred in a rectangle
//   DrawCheckMark     a three-pixel-thick check mark
//   DrawCaptionGlyph  the eight glyphs of the default caption buttons
//   DrawFocusFrame    the dotted rectangle that marks the keyboard focus
//
// All drawing is clipped to the target. Lines are exact for the directions
// the glyphs use (horizontal, vertical and 45 degrees); other slopes follow a
// plain Bresenham walk. Each is also drawn on a surface, in skin pixels: a
// skin pixel of a line covers its block of device pixels, so a glyph grows
// with the display and stays sharp.
#pragma once

#include "base/PixelBuffer.h"
#include "base/Types.h"
#include "skinui/paint/SkinSurface.h"

namespace zv {

void DrawLine(const TPixelView& target, int x0, int y0, int x1, int y1, TPixel colour);
void DrawRectOutline(const TPixelView& target, const TRect& r, TPixel colour);
void FillRectClipped(const TPixelView& target, const TRect& r, TPixel colour);

// Frame `frame` (from 1) of `count` frames laid side by side in `glyph`,
// drawn at (x, y). Pixels of the frame's bottom-left colour stay
// transparent. Nothing is drawn for an empty glyph, a count below 1 or a
// frame number outside 1 .. count.
void DrawGlyphFrame(const TPixelView& target, int x, int y, int frame, int count, const TPixelView& glyph);

// Directions: 1 left, 2 right, 3 up, 4 down; other values draw nothing.
void DrawArrow(const TPixelView& target, const TRect& r, TPixel colour, int direction);

void DrawCheckMark(const TPixelView& target, int x, int y, TPixel colour);

enum class TCaptionGlyph { Cross, Bar, Underline, Box, TwoBoxes, DownTriangle, UpTriangle, Square };

void DrawCaptionGlyph(const TPixelView& target, TCaptionGlyph glyph, int x, int y, TPixel colour);

void DrawLine(const TSkinSurface& target, int x0, int y0, int x1, int y1, TPixel colour);
void FillRectClipped(const TSkinSurface& target, const TRect& r, TPixel colour);
void DrawRectOutline(const TSkinSurface& target, const TRect& r, TPixel colour);
void DrawGlyphFrame(const TSkinSurface& target, int x, int y, int frame, int count, const TPixelView& glyph);
void DrawArrow(const TSkinSurface& target, const TRect& r, TPixel colour, int direction);
void DrawCheckMark(const TSkinSurface& target, int x, int y, TPixel colour);
void DrawCaptionGlyph(const TSkinSurface& target, TCaptionGlyph glyph, int x, int y, TPixel colour);

// Every other pixel of the one-pixel outline of r, starting with its
// top-left corner (a pixel is set when its distance along x plus y from
// that corner is even), as the platform's focus rectangle is dotted.
void DrawFocusFrame(const TPixelView& target, const TRect& r, TPixel colour);

}  // namespace zv
