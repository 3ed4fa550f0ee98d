#include "skinui/paint/TextLayout.h"

#include "base/Utf16.h"

namespace zv {

namespace {
const std::string kEllipsis = "...";
}

void FitTextToWidth(TTextCanvas& canvas, std::string& text, int width) {
    if (canvas.TextExtent(text).cx <= width) return;
    while (!text.empty()) {
        // Whole characters only: half of one would draw as a stray sign.
        text.resize(Utf8Back(text));
        if (canvas.TextExtent(text + kEllipsis).cx <= width) break;
    }
    text += kEllipsis;
}

void DrawSingleLineText(TTextCanvas& canvas, const std::string& text, const TRect& r) {
    const int th = canvas.TextExtent(text).cy;
    canvas.TextOutClipped(r, r.Left, r.Top + (r.Height() - th) / 2, text);
}

void DrawTextInRect(TTextCanvas& canvas, const std::string& text, const TRect& r) {
    const int th = canvas.TextExtent(text).cy;
    canvas.TextOutClipped(r, r.Left + 2, r.Top + r.Height() / 2 - th / 2, text);
}

}  // namespace zv
