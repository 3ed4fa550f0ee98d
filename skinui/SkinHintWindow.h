// The skinned hint window (unit SkinHintWindow): one line of text in a small
// popup that never takes the activation nor the mouse, drawn from the skin's
// [HINTWINDOW] data.
//
// With that data (a usable "windowpictureindex" picture) the window is the
// picture composed as a nine-part element whose corner points and client
// rectangle move with the size, the client tiled, and the text in the
// section's font and colour. Without it, the plain look of the system's
// tooltips: the info background, a one-pixel frame and the text in the info
// text colour.
//
// Size for a text of extent (tw, th): with the picture (pw x ph, client
// rectangle CL) tw + 4 + pw - CL.width wide and th + ph - CL.height high, the
// text 2 pixels in from the target client rectangle's left and centred in
// its height (integer halves); plain: tw + 8 by th + 4, the text at (4, 2).
//
// These are skin pixels. At another density the text is measured on the
// device at the density's font height, its extent taken up to whole skin
// pixels, and the window is the device size of the skin size so found:
// the pictures are composed in skin pixels and scaled as one.
#pragma once

#include <string>

#include "skin/SkinData.h"
#include "skinui/paint/DeviceScale.h"
#include "skinui/paint/SkinPaint.h"
#include "vcl/Controls.h"

namespace zv {

class TksSkinHintWindow : public TPopupWindow {
public:
    explicit TksSkinHintWindow(TComponent* owner);
    ~TksSkinHintWindow() override;

    // The skin to draw from; null (or a skin without a hint picture) draws
    // the plain look. The skin data must outlive its use here.
    void SetSkinData(const TksSkinData* skinData);
    [[nodiscard]] bool Skinned() const { return m_data != nullptr; }

    // The display density the hint is drawn for (96 until set): the one of
    // the window that shows it.
    void SetPixelsPerInch(int ppi) { m_scale = TDeviceScale(ppi); }
    [[nodiscard]] TDeviceScale Scale() const { return m_scale; }

    // Sizes the window for `text` and shows it without activating, its
    // top-left at the screen point (x, y) moved as little as needed to lie
    // inside the work area of the monitor of the window `nearWindow`.
    void ActivateHint(HWND nearWindow, int x, int y, const std::string& text);
    void ReleaseHint();
    [[nodiscard]] bool Showing() const { return m_showing; }
    [[nodiscard]] const std::string& Text() const { return m_text; }

    // The size the window takes for `text` (device pixels; SkinHintSize:
    // the skin size it shows), and its text's top-left corner at that size.
    [[nodiscard]] TSize CalcHintSize(const std::string& text);
    [[nodiscard]] TSize SkinHintSize(const std::string& text);
    [[nodiscard]] TPoint TextOrigin(const std::string& text);
    // Draws the window at size w x h with `text` into `bitmap`.
    void PaintHint(TBitmap& bitmap, int w, int h, const std::string& text);

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& msg) override;
    void PaintWindow(HDC dc) override;

private:
    void SetFontOf(TCanvas& canvas);
    [[nodiscard]] TSkinGeometry TargetGeometry(int w, int h) const;
    [[nodiscard]] TSize MeasureText(const std::string& text);
    // The text's extent in whole skin pixels.
    [[nodiscard]] TSize SkinTextSize(const std::string& text);

    const TksDataSkinHintWindow* m_data = nullptr;
    const TksBitmap* m_picture = nullptr;
    const TksBitmap* m_mask = nullptr;
    std::string m_text;
    bool m_showing = false;
    TDeviceScale m_scale;
};

}  // namespace zv
