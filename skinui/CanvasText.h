// The text-measuring interface of the paint core (TTextCanvas) over a
// framework canvas.
#pragma once

#include <string>

#include "skinui/paint/TextLayout.h"
#include "vcl/Graphics.h"

namespace zv {

class TksCanvasText : public TTextCanvas {
public:
    explicit TksCanvasText(TCanvas& canvas) : m_canvas(canvas) {}
    TSize TextExtent(const std::string& text) override { return m_canvas.TextExtent(text); }
    void TextOutClipped(const TRect& clip, int x, int y, const std::string& text) override {
        m_canvas.Brush().SetStyle(TBrushStyle::bsClear);
        m_canvas.TextRect(clip, x, y, text);
    }

private:
    TCanvas& m_canvas;
};

}  // namespace zv
