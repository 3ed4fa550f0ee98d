// The base classes of the skinned windowed controls.
//
//   TksSkinControl        finds its skin data object by name and runs the
//                         paint pipeline (skin picture or fallback,
//                         optionally translucent over the parent) into an
//                         off-screen bitmap copied in one step
//   TksSkinCustomControl  adds the element geometry of the skin: layout,
//                         size rules, composition, window region from the
//                         mask, default font and size
//
// A control lives in the device pixels of its form's display density; the
// skin's rules run in skin pixels. SkinMap() is the one map between the two
// for the control's size: the size rules, the composition, the region and
// the mouse all pass through it, and text is drawn at the density's font
// height on device pixels.
#pragma once

#include <string>

#include "base/PixelBuffer.h"
#include "skin/SkinData.h"
#include "skinui/paint/DeviceScale.h"
#include "skinui/paint/SkinPaint.h"
#include "skinui/paint/SkinSurface.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"

namespace zv {

// Skin cursors would be registered with the screen from this number on; the
// program's skin has none, so such a cursor shows the arrow.
constexpr TCursor SkinFirstCursor = 1;

class TksSkinControl : public TCustomControl {
public:
    explicit TksSkinControl(TComponent* owner);

    bool DrawDefault = true;
    std::string AreaName;
    bool UseSkinCursor = false;

    [[nodiscard]] TksSkinData* SkinData() const { return m_skinData; }
    virtual void SetSkinData(TksSkinData* value);
    [[nodiscard]] const std::string& SkinDataName() const { return m_skinDataName; }
    // Stored only; the next paint or skin change looks it up.
    virtual void SetSkinDataName(const std::string& value) { m_skinDataName = value; }
    [[nodiscard]] bool AlphaBlend() const { return m_alphaBlend; }
    virtual void SetAlphaBlend(bool value);
    [[nodiscard]] int AlphaBlendValue() const { return m_alphaBlendValue; }
    virtual void SetAlphaBlendValue(int value);

    // Position of the control's data object in the skin data, -1 for none.
    [[nodiscard]] int DataIndex() const { return m_dataIndex; }
    virtual void LookUpSkinData();
    virtual void ApplySkinChange();
    virtual void ClearSkinIndex() { m_dataIndex = -1; }

    // The factor from skin to device pixels (the form's density).
    [[nodiscard]] TDeviceScale Scale() const { return TDeviceScale(CurrentPPI()); }
    // The control's size in skin pixels, and how it lies on its device
    // pixels.
    [[nodiscard]] TSize SkinSize() const;
    [[nodiscard]] TDeviceMap SkinMap() const;
    // The skin's pictures scaled for the control's density (null at 96).
    [[nodiscard]] TScaledPictures* ScaledPictures() const;
    // A bitmap of the control's device size, its canvas at the density.
    void PrepareBitmap(TBitmap& bitmap, int width, int height) const;
    // The bitmap seen in skin pixels through `map` (device size: the map's).
    [[nodiscard]] TSkinSurface SurfaceOf(const TBitmap& bitmap, const TDeviceMap& map) const;
    // A new density: the skin's size rules apply again.
    void ScaleChanged() override;

protected:
    virtual void DrawWithoutSkin(TBitmap& bitmap) { (void)bitmap; }
    virtual void DrawFromSkin(TBitmap& bitmap) { (void)bitmap; }
    // The paint pipeline: a bitmap of the control's size, drawn from the skin
    // or by the fallback, copied to the screen in one step.
    void PaintWindow(HDC dc) override;
    // Puts a finished bitmap on the control at (0, 0): blended over the
    // captured background with AlphaBlend, else copied.
    void PutOnControl(HDC dc, const TBitmap& bitmap);
    // What the parent and the siblings below the control show under it, as
    // a bitmap of the control's size.
    void CaptureBackground(TBitmap& background);
    // Paints a graphic control, or one of our skinned controls with its
    // children, into dc at the control's place relative to dc's origin.
    static void PaintControlInto(HDC dc, TControl* control);
    void WndProc(TMessage& msg) override;
    void Notification(TComponent* component, TOperation operation) override;
    void MouseEnter() override;
    void MouseLeave() override;

    TksSkinData* m_skinData = nullptr;
    std::string m_skinDataName;
    int m_dataIndex = -1;
    bool m_alphaBlend = false;
    int m_alphaBlendValue = 200;
    bool m_inPaint = false;
};

class TksSkinCustomControl : public TksSkinControl {
public:
    explicit TksSkinCustomControl(TComponent* owner);

    // "Arial", no style, height 14.
    TFont& DefaultFont() { return m_defaultFont; }
    [[nodiscard]] bool UseSkinFont() const { return m_useSkinFont; }
    void SetUseSkinFont(bool value);
    [[nodiscard]] int DefaultWidth() const { return m_defaultWidth; }
    void SetDefaultWidth(int value);
    [[nodiscard]] int DefaultHeight() const { return m_defaultHeight; }
    void SetDefaultHeight(int value);

    void LookUpSkinData() override;
    void ApplySkinChange() override;
    // Also lets go of the element's picture and mask.
    void ClearSkinIndex() override;
    // The size rules of the element's layout for a requested device size:
    // a size the layout forces becomes the device length of the forced skin
    // length, a free one stays as requested; the target values are
    // recomputed for it. Nothing without skin data or in the None layout.
    virtual void AdjustSizeToSkin(int& width, int& height);
    // The window region from the element's mask (removed without one).
    virtual void UpdateSkinRegion();
    void SetBounds(int left, int top, int width, int height) override;

    // The element as the skin data object gives it (skinrect in picture
    // coordinates, points and client rectangle relative to skinrect).
    [[nodiscard]] const TSkinElementGeometry& SkinElement() const { return m_element; }
    [[nodiscard]] TSkinLayout SkinLayout() const { return m_layout; }
    // LT', RT', LB', RB' and CL' for the size last applied (skin pixels).
    [[nodiscard]] const TSkinGeometry& SkinTarget() const { return m_target; }
    // The element's picture and mask (owned by the skin data; null for none).
    [[nodiscard]] const TksBitmap* SkinPicture() const { return m_picture; }
    [[nodiscard]] const TksBitmap* SkinMask() const { return m_mask; }
    [[nodiscard]] int SkinCursorIndex() const { return m_cursorIndex; }
    // Whether the control's window carries a region from a mask.
    [[nodiscard]] bool HasSkinRegion() const { return m_hasRegion; }

protected:
    virtual void DefaultFontChanged() {}
    void DrawWithoutSkin(TBitmap& bitmap) override;
    void DrawFromSkin(TBitmap& bitmap) override;
    void CreateWnd() override;
    // The element composed with `rect` in place of skinrect (same points and
    // client rectangle) onto a surface whose skin size is the one the layout
    // gives (skinrect's in Fixed, w x h in NinePart, w x SH in Horizontal,
    // SW x h in Vertical); nothing in None.
    void ComposeSkinElement(const TRect& rect, const TSkinSurface& out) const;
    // The skin size the layout gives the control for its skin size.
    [[nodiscard]] TSize LayoutSize() const;
    // The picture as a view (empty without one).
    [[nodiscard]] TPixelView PictureView() const;
    // Copies `pixels` into `bitmap`, which takes its size.
    static void PutPixels(TBitmap& bitmap, const TPixelBuffer& pixels);

    TFont m_defaultFont;
    bool m_useSkinFont = true;
    int m_defaultWidth = 0;
    int m_defaultHeight = 0;

    TSkinElementGeometry m_element;
    TSkinLayout m_layout = TSkinLayout::Fixed;
    TSkinGeometry m_target;
    const TksBitmap* m_picture = nullptr;
    const TksBitmap* m_mask = nullptr;
    int m_cursorIndex = -1;
    bool m_hasRegion = false;
    // The data object is of the skin-control kind (has element geometry).
    bool m_isSkinElement = false;

    // Empty pictures count as none.
    static const TksBitmap* UsablePicture(const TksBitmap* p) { return (p && !p->Empty()) ? p : nullptr; }
};

}  // namespace zv
