#include "vcl/Graphics.h"

#include <algorithm>
#include <cstring>

#include "base/Exceptions.h"
#include "vcl/WideText.h"

namespace zv {

TColor ColorToRGB(TColor color) {
    if (IsSystemColor(color)) {
        const DWORD c = GetSysColor(color & 0xFF);
        return static_cast<TColor>(c);
    }
    return color & 0x00FFFFFF;
}

COLORREF ToColorRef(TColor color) {
    return static_cast<COLORREF>(ColorToRGB(color));
}

// ---- TFont -------------------------------------------------------------------

TFont::TFont() = default;

// A replaced handle may still be selected into a canvas's DC, where it cannot
// be deleted; the canvas deselects it on Changed(), and the handle goes when
// the next one is made.
void TFont::Modified() {
    if (m_handle) m_stale = std::move(m_handle);
    Changed();
}

void TFont::SetName(const std::string& name) {
    if (name == m_name) return;
    m_name = name;
    Modified();
}

void TFont::SetHeight(int height) {
    if (height == m_height) return;
    m_height = height;
    Modified();
}

int TFont::Size() const {
    return -MulDiv(m_height, 72, 96);
}

void TFont::SetSize(int points) {
    SetHeight(-MulDiv(points, 96, 72));
}

void TFont::SetStyle(TFontStyles style) {
    if (style == m_style) return;
    m_style = style;
    Modified();
}

void TFont::SetColor(TColor color) {
    if (color == m_color) return;
    m_color = color;
    Changed();  // colour is not part of the font handle
}

void TFont::SetCharset(int charset) {
    if (charset == m_charset) return;
    m_charset = charset;
    Modified();
}

void TFont::Assign(const TFont& other) {
    if (SameAs(other)) return;
    m_name = other.m_name;
    m_height = other.m_height;
    m_style = other.m_style;
    m_color = other.m_color;
    m_charset = other.m_charset;
    Modified();
}

bool TFont::SameAs(const TFont& other) const {
    return m_name == other.m_name && m_height == other.m_height && m_style == other.m_style &&
           m_color == other.m_color && m_charset == other.m_charset;
}

int TFont::HeightAt(int pixelsPerInch) const {
    return pixelsPerInch == 96 ? m_height : MulDiv(m_height, pixelsPerInch, 96);
}

HFONT TFont::Handle(int pixelsPerInch) {
    if (m_handle && m_handlePPI != pixelsPerInch) m_stale = std::move(m_handle);
    if (!m_handle) {
        LOGFONTA lf{};
        lf.lfHeight = HeightAt(pixelsPerInch);
        lf.lfWeight = (m_style & fsBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (m_style & fsItalic) ? 1 : 0;
        lf.lfUnderline = (m_style & fsUnderline) ? 1 : 0;
        lf.lfStrikeOut = (m_style & fsStrikeOut) ? 1 : 0;
        lf.lfCharSet = static_cast<BYTE>(m_charset);
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        lstrcpynA(lf.lfFaceName, m_name.c_str(), LF_FACESIZE);
        m_handle.Reset(CreateFontIndirectA(&lf));
        m_handlePPI = pixelsPerInch;
    }
    return m_handle.Get();
}

// ---- TBrush / TPen -------------------------------------------------------------

void TBrush::SetColor(TColor color) {
    if (color == m_color && m_style == TBrushStyle::bsSolid) return;
    m_color = color;
    m_style = TBrushStyle::bsSolid;
    if (m_handle) m_stale = std::move(m_handle);
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == m_style) return;
    m_style = style;
    if (m_handle) m_stale = std::move(m_handle);
    Changed();
}

HBRUSH TBrush::Handle() {
    if (!m_handle) {
        m_stale.Reset();
        if (m_style == TBrushStyle::bsClear) {
            return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        }
        m_handle.Reset(CreateSolidBrush(ToColorRef(m_color)));
    }
    return m_handle.Get();
}

void TPen::SetColor(TColor color) {
    if (color == m_color) return;
    m_color = color;
    if (m_handle) m_stale = std::move(m_handle);
    Changed();
}

void TPen::SetWidth(int width) {
    if (width == m_width) return;
    m_width = width;
    if (m_handle) m_stale = std::move(m_handle);
    Changed();
}

HPEN TPen::Handle() {
    if (!m_handle) {
        m_stale.Reset();
        m_handle.Reset(CreatePen(PS_SOLID, m_width, ToColorRef(m_color)));
    }
    return m_handle.Get();
}

// ---- TCanvas -------------------------------------------------------------------

TCanvas::TCanvas() {
    // A changed font, brush or pen must be selected anew; release the old
    // selection first so the handle being replaced is not selected anywhere.
    m_font.OnChange = [this] { ReleaseSelections(); };
    m_brush.OnChange = [this] { ReleaseSelections(); };
    m_pen.OnChange = [this] { ReleaseSelections(); };
}

TCanvas::~TCanvas() {
    SetHandle(nullptr);
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == m_dc) return;
    ReleaseSelections();
    m_dc = dc;
}

void TCanvas::ReleaseSelections() {
    if (!m_dc) return;
    if (m_oldFont) SelectObject(m_dc, m_oldFont);
    if (m_oldBrush) SelectObject(m_dc, m_oldBrush);
    if (m_oldPen) SelectObject(m_dc, m_oldPen);
    m_oldFont = m_oldBrush = m_oldPen = nullptr;
}

void TCanvas::SetPixelsPerInch(int value) {
    if (value == m_pixelsPerInch) return;
    // The font selected now is the old density's.
    ReleaseSelections();
    m_pixelsPerInch = value;
}

void TCanvas::RequireState() {
    if (!m_dc) throw EInvalidOperation("Canvas does not allow drawing");
    HGDIOBJ f = SelectObject(m_dc, m_font.Handle(m_pixelsPerInch));
    if (!m_oldFont) m_oldFont = f;
    HGDIOBJ b = SelectObject(m_dc, m_brush.Handle());
    if (!m_oldBrush) m_oldBrush = b;
    HGDIOBJ p = SelectObject(m_dc, m_pen.Handle());
    if (!m_oldPen) m_oldPen = p;
    SetTextColor(m_dc, ToColorRef(m_font.Color()));
    if (m_brush.Style() == TBrushStyle::bsClear) {
        SetBkMode(m_dc, TRANSPARENT);
    } else {
        SetBkMode(m_dc, OPAQUE);
        SetBkColor(m_dc, ToColorRef(m_brush.Color()));
    }
}

void TCanvas::FillRect(const TRect& r) {
    RequireState();
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FillRect(m_dc, &rc, m_brush.Handle());
}

void TCanvas::FrameRect(const TRect& r) {
    RequireState();
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::FrameRect(m_dc, &rc, m_brush.Handle());
}

void TCanvas::Rectangle(const TRect& r) {
    RequireState();
    ::Rectangle(m_dc, r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvas::MoveTo(int x, int y) {
    RequireState();
    MoveToEx(m_dc, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
    RequireState();
    ::LineTo(m_dc, x, y);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    RequireState();
    const std::wstring w = ToWide(text);
    ::TextOutW(m_dc, x, y, w.c_str(), static_cast<int>(w.size()));
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
    RequireState();
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    UINT options = ETO_CLIPPED;
    if (m_brush.Style() != TBrushStyle::bsClear) options |= ETO_OPAQUE;
    const std::wstring w = ToWide(text);
    ExtTextOutW(m_dc, x, y, options, &rc, w.c_str(), static_cast<UINT>(w.size()), nullptr);
}

int TCanvas::DrawText(const std::string& text, TRect& r, UINT flags) {
    RequireState();
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    const std::wstring w = ToWide(text);
    const int h = ::DrawTextW(m_dc, w.c_str(), static_cast<int>(w.size()), &rc, flags);
    r = {rc.left, rc.top, rc.right, rc.bottom};
    return h;
}

TSize TCanvas::TextExtent(const std::string& text) {
    RequireState();
    SIZE sz{};
    const std::wstring w = ToWide(text);
    GetTextExtentPoint32W(m_dc, w.c_str(), static_cast<int>(w.size()), &sz);
    return {sz.cx, sz.cy};
}

TColor TCanvas::Pixel(int x, int y) const {
    return static_cast<TColor>(GetPixel(m_dc, x, y));
}

void TCanvas::SetPixel(int x, int y, TColor c) {
    ::SetPixel(m_dc, x, y, ToColorRef(c));
}

void TCanvas::Draw(int x, int y, HICON icon) {
    if (m_dc && icon) DrawIconEx(m_dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

void TCanvas::Draw(const TRect& r, HICON icon) {
    if (m_dc && icon && !r.IsEmpty())
        DrawIconEx(m_dc, r.Left, r.Top, icon, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}

// ---- TBitmap -------------------------------------------------------------------

TBitmap::~TBitmap() {
    m_canvas.reset();
    if (m_dc && m_oldBitmap) SelectObject(m_dc.Get(), m_oldBitmap);
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == m_width && height == m_height && (m_bitmap || width == 0 || height == 0)) return;
    if (m_canvas) m_canvas->SetHandle(nullptr);
    if (m_dc && m_oldBitmap) SelectObject(m_dc.Get(), m_oldBitmap);
    m_oldBitmap = nullptr;
    m_bitmap.Reset();
    m_bits = nullptr;
    m_width = width;
    m_height = height;
    if (width == 0 || height == 0) return;

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp || !bits) {
        m_width = m_height = 0;
        throw EOutOfMemory("Out of system resources");
    }
    m_bitmap.Reset(bmp);
    m_bits = static_cast<TPixel*>(bits);
    std::memset(m_bits, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(TPixel));
    if (!m_dc) m_dc.Reset(CreateCompatibleDC(nullptr));
    m_oldBitmap = SelectObject(m_dc.Get(), bmp);
    if (m_canvas) m_canvas->SetHandle(m_dc.Get());
}

void TBitmap::FlushGdi() const {
    GdiFlush();
}

TPixelView TBitmap::Pixels() const {
    // GDI may still be drawing into the section; the paint core reads and
    // writes the memory directly, so wait for it.
    FlushGdi();
    return {m_bits, m_width, m_height, m_width};
}

TCanvas& TBitmap::Canvas() {
    if (!m_canvas) {
        m_canvas = std::make_unique<TCanvas>();
        if (!m_dc) m_dc.Reset(CreateCompatibleDC(nullptr));
        m_canvas->SetHandle(m_dc.Get());
    }
    return *m_canvas;
}

void TBitmap::Assign(const TPixelBuffer& src) {
    SetSize(src.Width(), src.Height());
    const TPixelView v = Pixels();
    for (int y = 0; y < v.Height; ++y)
        std::memcpy(v.Row(y), src.Row(y), sizeof(TPixel) * static_cast<size_t>(v.Width));
}

TPixelBuffer TBitmap::ToBuffer() const {
    TPixelBuffer out(m_width, m_height);
    const TPixelView v = Pixels();
    for (int y = 0; y < v.Height; ++y)
        std::memcpy(out.Row(y), v.Row(y), sizeof(TPixel) * static_cast<size_t>(v.Width));
    return out;
}

void TBitmap::DrawTo(HDC dc, int x, int y) const {
    DrawTo(dc, x, y, {0, 0, m_width, m_height});
}

void TBitmap::DrawTo(HDC dc, int x, int y, const TRect& src) const {
    if (Empty() || !m_dc) return;
    FlushGdi();
    BitBlt(dc, x, y, src.Width(), src.Height(), m_dc.Get(), src.Left, src.Top, SRCCOPY);
}

// ---- TIcon -----------------------------------------------------------------------

void TIcon::LoadStock(int id) {
    m_owned.Reset();
    m_shared = LoadIconA(nullptr, MAKEINTRESOURCEA(id));
}

void TIcon::LoadStock(int id, int width, int height) {
    m_shared = nullptr;
    m_owned.Reset(static_cast<HICON>(
        LoadImageA(nullptr, MAKEINTRESOURCEA(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR)));
    if (!m_owned) LoadStock(id);
}

TSize TIcon::Size() const {
    ICONINFO info{};
    if (Handle() == nullptr || !GetIconInfo(Handle(), &info)) return {0, 0};
    BITMAP bm{};
    HBITMAP shape = info.hbmColor != nullptr ? info.hbmColor : info.hbmMask;
    GetObjectA(shape, sizeof bm, &bm);
    TSize size{bm.bmWidth, info.hbmColor != nullptr ? bm.bmHeight : bm.bmHeight / 2};
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    return size;
}

void TIcon::LoadFromResource(HINSTANCE instance, int id) {
    m_shared = nullptr;
    m_owned.Reset(
        static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR)));
}

}  // namespace zv
