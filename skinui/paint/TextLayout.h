// Text placement over a measuring canvas: where a line of text goes and how
// it is cut to a width. The Windows canvas implements TTextCanvas (text
// extent of the selected font, clipped text output); tests use a fake with
// fixed character widths.
//
//   TTextCanvas         the interface the platform canvas implements
//   FitTextToWidth      cuts a text and appends "..." until it fits
//   ShortenPath         a path too wide for a line, "..." in its middle
//   DrawSingleLineText  one line, left-aligned, centred vertically, clipped
//   DrawTextInRect      one line 2 pixels in from the left, centred, clipped
#pragma once

#include <string>

#include "base/Types.h"

namespace zv {

class TTextCanvas {
public:
    virtual ~TTextCanvas() = default;
    // Width and height of `text` in the canvas's current font, as a single
    // line (UTF-8 text; no line breaks are interpreted).
    virtual TSize TextExtent(const std::string& text) = 0;
    // Draws `text` with its top-left corner at (x, y), showing only what
    // lies inside `clip`, in the canvas's current font and colour, with a
    // transparent background.
    virtual void TextOutClipped(const TRect& clip, int x, int y, const std::string& text) = 0;
};

// Leaves `text` as it is when its width is at most `width`; otherwise
// removes characters (whole UTF-8 sequences) from its end until the rest
// followed by "..." fits, and appends "..." (just "..." when nothing fits).
void FitTextToWidth(TTextCanvas& canvas, std::string& text, int width);

// A directory or file path as a line `width` pixels wide shows it: the path
// itself when it fits; otherwise its root (the drive "C:\", a UNC share
// "\\server\share\" or a leading "\") stays, and whole folders from the
// middle give way to "...", so that as many of the last folders as possible
// stay and then as many of the first ones as still fit:
// "C:\Program Files\...\Mozilla Firefox\plugins". When not even the root,
// "..." and the last folder fit, that line is cut at its end as
// FitTextToWidth does; a text without separators is cut that way at once.
[[nodiscard]] std::string ShortenPath(TTextCanvas& canvas, const std::string& path, int width);

// Left-aligned at r.left, top at r.top + (height of r - text height) / 2.
void DrawSingleLineText(TTextCanvas& canvas, const std::string& text, const TRect& r);

// At x = r.left + 2, y = r.top + half of r's height - half of the text
// height (integer halves).
void DrawTextInRect(TTextCanvas& canvas, const std::string& text, const TRect& r);

}  // namespace zv
