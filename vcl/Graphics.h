// Drawing objects of the framework.
//
//   ColorToRGB      resolves system colours to 0x00BBGGRR
//   TFont           name, height, style, colour; creates its HFONT lazily,
//                   for the density of the canvas that draws with it
//   TBrush, TPen    solid brushes and pens
//   TCanvas         an HDC with a font, brush and pen and the pixels per
//                   inch it draws at; text drawing and measuring; simple
//                   shapes; block transfers
//   TBitmap         a 32-bit top-down DIB section with its own memory DC;
//                   its pixels are a TPixelView the paint core works on
//   TIcon           an icon handle (stock or loaded)
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/Object.h"
#include "base/PixelBuffer.h"
#include "base/Types.h"
#include "vcl/Win32Handles.h"

namespace zv {

TColor ColorToRGB(TColor color);
COLORREF ToColorRef(TColor color);

class TGraphicsObject : public TObject {
public:
    std::function<void()> OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange();
    }
};

class TFont : public TGraphicsObject {
public:
    TFont();
    [[nodiscard]] const std::string& Name() const { return m_name; }
    void SetName(const std::string& name);
    // Negative: character height in pixels without internal leading;
    // positive: cell height. Pixels of a 96 pixels-per-inch display: a
    // canvas of another density draws the font that much taller.
    [[nodiscard]] int Height() const { return m_height; }
    void SetHeight(int height);
    // Point size at 96 pixels per inch.
    [[nodiscard]] int Size() const;
    void SetSize(int points);
    [[nodiscard]] TFontStyles Style() const { return m_style; }
    void SetStyle(TFontStyles style);
    [[nodiscard]] TColor Color() const { return m_color; }
    void SetColor(TColor color);
    [[nodiscard]] int Charset() const { return m_charset; }
    void SetCharset(int charset);
    void Assign(const TFont& other);
    [[nodiscard]] bool SameAs(const TFont& other) const;
    // The font for a display of `pixelsPerInch` (its height scaled from 96).
    [[nodiscard]] HFONT Handle(int pixelsPerInch = 96);
    // The height in pixels of a display of `pixelsPerInch`.
    [[nodiscard]] int HeightAt(int pixelsPerInch) const;

private:
    void Modified();
    std::string m_name = "MS Sans Serif";
    int m_height = -11;
    TFontStyles m_style = 0;
    TColor m_color = clWindowText;
    int m_charset = DEFAULT_CHARSET;
    TFontHandle m_handle;
    int m_handlePPI = 96;
    TFontHandle m_stale;  // replaced handle, kept until its canvas let go of it
};

enum class TBrushStyle { bsSolid, bsClear };

class TBrush : public TGraphicsObject {
public:
    [[nodiscard]] TColor Color() const { return m_color; }
    void SetColor(TColor color);
    [[nodiscard]] TBrushStyle Style() const { return m_style; }
    void SetStyle(TBrushStyle style);
    [[nodiscard]] HBRUSH Handle();

private:
    TColor m_color = clWhite;
    TBrushStyle m_style = TBrushStyle::bsSolid;
    TBrushHandle m_handle;
    TBrushHandle m_stale;
};

class TPen : public TGraphicsObject {
public:
    [[nodiscard]] TColor Color() const { return m_color; }
    void SetColor(TColor color);
    [[nodiscard]] int Width() const { return m_width; }
    void SetWidth(int width);
    [[nodiscard]] HPEN Handle();

private:
    TColor m_color = clBlack;
    int m_width = 1;
    TPenHandle m_handle;
    TPenHandle m_stale;
};

class TCanvas : public TObject {
public:
    TCanvas();
    ~TCanvas() override;

    [[nodiscard]] HDC Handle() const { return m_dc; }
    // Attaches a DC the canvas does not own (nullptr detaches).
    void SetHandle(HDC dc);

    TFont& Font() { return m_font; }
    TBrush& Brush() { return m_brush; }
    TPen& Pen() { return m_pen; }
    // The density the canvas draws text at (96 unless set): its font is
    // made for it.
    [[nodiscard]] int PixelsPerInch() const { return m_pixelsPerInch; }
    void SetPixelsPerInch(int value);

    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void Rectangle(const TRect& r);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    // Texts are UTF-8 and drawn and measured with the wide functions, so
    // every character the font has shows, whatever the ANSI code page.
    void TextOut(int x, int y, const std::string& text);
    // Text clipped to r, drawn at (x, y).
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    // DrawText with the given DT_* flags; returns the height drawn.
    int DrawText(const std::string& text, TRect& r, UINT flags);
    [[nodiscard]] TSize TextExtent(const std::string& text);
    [[nodiscard]] int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    [[nodiscard]] int TextHeight(const std::string& text) { return TextExtent(text).cy; }
    [[nodiscard]] TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor c);
    void Draw(int x, int y, HICON icon);
    // The icon scaled to r (the image of the icon nearest r's size).
    void Draw(const TRect& r, HICON icon);

    // Selects the current font, brush and pen into the DC (done by every
    // drawing call; public for code that calls GDI directly).
    void RequireState();

private:
    void ReleaseSelections();
    HDC m_dc = nullptr;
    TFont m_font;
    TBrush m_brush;
    TPen m_pen;
    HGDIOBJ m_oldFont = nullptr;
    HGDIOBJ m_oldBrush = nullptr;
    HGDIOBJ m_oldPen = nullptr;
    int m_pixelsPerInch = 96;
};

// A 32-bit top-down DIB section. Width x Height pixels, each 0xAARRGGBB;
// Pixels() gives the paint core direct access.
class TBitmap : public TObject {
public:
    TBitmap() = default;
    TBitmap(int width, int height) { SetSize(width, height); }
    ~TBitmap() override;

    void SetSize(int width, int height);
    [[nodiscard]] int Width() const { return m_width; }
    [[nodiscard]] int Height() const { return m_height; }
    [[nodiscard]] bool Empty() const { return m_width <= 0 || m_height <= 0; }
    [[nodiscard]] TPixelView Pixels() const;
    [[nodiscard]] HBITMAP Handle() const { return m_bitmap.Get(); }
    // A canvas over the bitmap's own memory DC.
    TCanvas& Canvas();
    // Copies from / to pixel buffers (sizes must match; the overlap is copied).
    void Assign(const TPixelBuffer& src);
    [[nodiscard]] TPixelBuffer ToBuffer() const;
    // Copies the whole bitmap (or src) to dc at (x, y) in one block transfer.
    void DrawTo(HDC dc, int x, int y) const;
    void DrawTo(HDC dc, int x, int y, const TRect& src) const;

private:
    void FlushGdi() const;
    int m_width = 0;
    int m_height = 0;
    TPixel* m_bits = nullptr;
    TBitmapHandle m_bitmap;
    TMemoryDC m_dc;
    HGDIOBJ m_oldBitmap = nullptr;
    std::unique_ptr<TCanvas> m_canvas;
};

class TIcon : public TObject {
public:
    TIcon() = default;
    // A stock icon of the system (IDI_HAND 32513, IDI_ASTERISK 32516 ...);
    // stock icons are shared and never destroyed.
    void LoadStock(int id);
    // The image of that size out of the stock icon (the 32 x 32 one,
    // whatever the screen's resolution makes the system's own size); the
    // system's size when it has none.
    void LoadStock(int id, int width, int height);
    // The size of the icon's image (0 x 0 for none).
    [[nodiscard]] TSize Size() const;
    void LoadFromResource(HINSTANCE instance, int id);
    [[nodiscard]] HICON Handle() const { return m_shared ? m_shared : m_owned.Get(); }
    [[nodiscard]] bool Empty() const { return Handle() == nullptr; }

private:
    HICON m_shared = nullptr;
    TIconHandle m_owned;
};

}  // namespace zv
