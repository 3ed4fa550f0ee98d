// Skinned controls of the program's windows (unit SkinControls).
//
//   TksCanvasText         text measuring of the paint core over a canvas
//   TksSkinControl        base: finds its skin data object by name and runs
//                         the paint pipeline (skin picture or fallback,
//                         optionally translucent over the parent) into an
//                         off-screen bitmap copied in one step
//   TksSkinCustomControl  base with the element geometry of the skin: layout,
//                         size rules, composition, window region from the
//                         mask, default font and size
//   TksSkinPanel          container drawn nine-part (or tiled) from the skin,
//                         with an optional caption band; fallback frames
//   TksSkinStdLabel       transparent text label with the skin's font
//   TksSkinButton         push button: normal, highlighted, pressed and
//                         disabled pictures, the fade between normal and
//                         highlighted; mouse, Space, Enter, dialog keys and
//                         accelerators all end in one click that also sets
//                         the parent form's modal result
#pragma once

#include <memory>
#include <string>

#include "base/PixelBuffer.h"
#include "skin/SkinData.h"
#include "skinui/paint/ControlLayout.h"
#include "skinui/paint/SkinPaint.h"
#include "skinui/paint/TextLayout.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"

namespace zv {

// The text-measuring interface of the paint core over a framework canvas.
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
    // The size rules of the element's layout: may change the requested size
    // and recomputes the target values for it. Nothing without skin data or
    // in the None layout.
    virtual void AdjustSizeToSkin(int& width, int& height);
    // The window region from the element's mask (removed without one).
    virtual void UpdateSkinRegion();
    void SetBounds(int left, int top, int width, int height) override;

    // The element as the skin data object gives it (skinrect in picture
    // coordinates, points and client rectangle relative to skinrect).
    [[nodiscard]] const TSkinElementGeometry& SkinElement() const { return m_element; }
    [[nodiscard]] TSkinLayout SkinLayout() const { return m_layout; }
    // LT', RT', LB', RB' and CL' for the size last applied.
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
    // The element composed for a w x h control with `rect` in place of
    // skinrect (same points and client rectangle): the buffer takes the size
    // the layout gives (skinrect's in Fixed, w x h in NinePart, w x SH in
    // Horizontal, SW x h in Vertical) and stays empty in None.
    void ComposeSkinElement(const TRect& rect, int w, int h, TPixelBuffer& out) const;
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
};

enum class TksSkinBorderStyle { bvFrame, bvRaised, bvLowered, bvNone };

class TksSkinPanel : public TksSkinCustomControl {
public:
    explicit TksSkinPanel(TComponent* owner);

    [[nodiscard]] TksSkinBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TksSkinBorderStyle value);
    [[nodiscard]] bool CaptionMode() const { return m_captionMode; }
    void SetCaptionMode(bool value);
    [[nodiscard]] int DefaultCaptionHeight() const { return m_defaultCaptionHeight; }
    void SetDefaultCaptionHeight(int value);
    [[nodiscard]] TAlignment DefaultAlignment() const { return m_defaultAlignment; }
    void SetDefaultAlignment(TAlignment value);
    int Spacing = 2;

    [[nodiscard]] bool CheckedMode() const { return m_checkedMode; }
    void SetCheckedMode(bool value);
    [[nodiscard]] bool Checked() const { return m_checked; }
    void SetChecked(bool value);
    bool AutoEnabledControls = true;
    [[nodiscard]] bool RollUpMode() const { return m_rollUpMode; }
    void SetRollUpMode(bool value);
    [[nodiscard]] bool RollUpState() const { return m_rollUpState; }
    void SetRollUpState(bool value);
    [[nodiscard]] int RealHeight() const { return m_realHeight; }
    // Caption glyph: NumGlyphs frames side by side (frame 2 is the disabled
    // look when there are two); the bottom-left pixel's colour is transparent.
    TPixelBuffer Glyph;
    int NumGlyphs = 1;

    TNotifyEvent OnChecked;
    TNotifyEvent OnChangeRollUpState;

    void AdjustClientRect(TRect& r) const override;
    void LookUpSkinData() override;
    void ApplySkinChange() override;
    // The caption band of the skin: captionrect moved with the panel's size
    // (as it is in the Fixed and None layouts).
    [[nodiscard]] TRect SkinCaptionRect() const;
    // The picture tiled over the whole panel instead of the element, -1 for
    // none (also when the index names no picture).
    [[nodiscard]] int BGPictureIndex() const { return m_skin.BGPictureIndex; }

protected:
    void PaintWindow(HDC dc) override;
    void DrawWithoutSkin(TBitmap& bitmap) override;
    void DrawFromSkin(TBitmap& bitmap) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void TextChanged() override;
    void Resize() override;

private:
    [[nodiscard]] bool HasSkinElement() const { return m_dataIndex != -1 && m_isSkinElement; }
    [[nodiscard]] TRect DefaultCaptionRect() const;
    void DrawSkinCaption(TBitmap& bitmap, const TRect& band);
    void DrawGlyph(const TPixelView& target, int x, int y) const;
    [[nodiscard]] int RolledUpHeight(int height) const;
    void RollUp();
    void RollDown();

    // The panel section, copied at each look-up (a background index that
    // names no picture made -1).
    TksDataSkinPanelControl m_skin;

    TksSkinBorderStyle m_borderStyle = TksSkinBorderStyle::bvFrame;
    bool m_captionMode = false;
    int m_defaultCaptionHeight = 22;
    TAlignment m_defaultAlignment = TAlignment::taLeftJustify;
    bool m_checkedMode = false;
    bool m_checked = false;
    bool m_rollUpMode = false;
    bool m_rollUpState = false;
    int m_realHeight = -1;
};

enum class TTextLayout { tlTop, tlCenter, tlBottom };

class TksSkinStdLabel : public TGraphicControl {
public:
    explicit TksSkinStdLabel(TComponent* owner);

    [[nodiscard]] TksSkinData* SkinData() const { return m_skinData; }
    void SetSkinData(TksSkinData* value);
    [[nodiscard]] const std::string& SkinDataName() const { return m_skinDataName; }
    void SetSkinDataName(const std::string& value) { m_skinDataName = value; }
    // Created with the framework's default font ("MS Sans Serif", height -11).
    TFont& DefaultFont() { return m_defaultFont; }
    bool UseSkinFont = true;

    [[nodiscard]] TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment a);
    [[nodiscard]] TTextLayout Layout() const { return m_layout; }
    void SetLayout(TTextLayout l);
    [[nodiscard]] bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool w);
    [[nodiscard]] bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool a);
    bool ShowAccelChar = true;

    void ApplySkinChange();

protected:
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;
    void TextChanged() override;
    // Draws the caption with the label's font rules into rect with the
    // platform's DrawText flags; with DT_CALCRECT it only measures.
    void DoDrawText(TRect& rect, UINT flags);

private:
    void AdjustBounds();
    [[nodiscard]] UINT TextFlags() const;

    TksSkinData* m_skinData = nullptr;
    std::string m_skinDataName = "stdlabel";
    TFont m_defaultFont;
    TAlignment m_alignment = TAlignment::taLeftJustify;
    TTextLayout m_layout = TTextLayout::tlTop;
    bool m_wordWrap = false;
    bool m_autoSize = true;
};

class TksSkinButton : public TksSkinCustomControl {
public:
    explicit TksSkinButton(TComponent* owner);

    bool UseSkinSize = true;
    int Margin = -1;
    int Spacing = 1;
    TksButtonLayout Layout = TksButtonLayout::blGlyphLeft;
    // Glyph strip of NumGlyphs frames (1 normal, 2 disabled, 3 pressed, 4
    // highlighted); the bottom-left pixel's colour is transparent.
    TPixelBuffer Glyph;
    int NumGlyphs = 1;

    [[nodiscard]] bool Down() const { return m_down; }
    void SetDown(bool value);
    [[nodiscard]] int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int value);
    bool AllowAllUp = false;
    [[nodiscard]] bool CanFocused() const { return m_canFocused; }
    void SetCanFocused(bool value);
    [[nodiscard]] bool Default() const { return m_default; }
    void SetDefault(bool value);
    bool Cancel = false;
    int ModalResult = mrNone;
    bool RepeatMode = false;
    int RepeatInterval = 100;

    // The look the button shows now (for tests and for the skinned drawing).
    [[nodiscard]] bool IsPressedLook() const;
    [[nodiscard]] bool IsHighlightedLook() const;
    [[nodiscard]] bool Active() const { return m_active; }
    [[nodiscard]] double MorphFactor() const { return m_kf; }
    // The skin's morphing switch with skin data that has EnableSkinEffects.
    [[nodiscard]] bool MorphActive() const;
    // The highlighted and pressed pictures as looked up (empty rectangles of
    // the skin already replaced).
    [[nodiscard]] const TRect& ActiveSkinRect() const { return m_activeRect; }
    [[nodiscard]] const TRect& DownSkinRect() const { return m_downRect; }
    [[nodiscard]] bool Animating() const { return m_animateTimer.Active(); }
    [[nodiscard]] int AnimationFrame() const { return m_animateFrame; }

    void LookUpSkinData() override;
    void ApplySkinChange() override;
    void AdjustSizeToSkin(int& width, int& height) override;

    // The one click: modal result to the parent form, then OnClick.
    virtual void ButtonClick();

    [[nodiscard]] bool WantsKey(WORD key) const override { return key == VK_RETURN && m_canFocused; }
    bool DialogChar(char ch) override;
    bool DialogKey(WORD key, TShiftState shift) override;
    void FocusChanged(TWinControl* focused) override;

protected:
    // Draws one look: picture rectangle r composed or stretched to the
    // bitmap, caption and glyph in the state's font colour and frame.
    virtual void DrawState(TBitmap& bitmap, const TRect& r, bool highlighted, bool pressed);
    void PaintWindow(HDC dc) override;
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& msg) override;
    void DrawWithoutSkin(TBitmap& bitmap) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override;

private:
    [[nodiscard]] bool FocusedForLook() const { return Focused() && m_canFocused; }
    void StartMorph();
    void MorphTick();
    void StartRepeat();
    void StopRepeat();
    void StartAnimation(bool forward);
    void StopAnimation();
    void AnimationTick();
    // Caption and glyph frame in the caption area with the canvas's font.
    void DrawCaptionAndGlyph(TBitmap& bitmap, const TRect& area, int frame, bool shifted);

    bool m_down = false;
    int m_groupIndex = 0;
    bool m_canFocused = true;
    bool m_default = false;
    bool m_mouseIn = false;
    bool m_mouseDown = false;
    bool m_active = false;
    bool m_releaseCheck = false;
    bool m_suppressClicks = false;
    double m_kf = 0.0;
    TTimerId m_morphTimer;
    TTimerId m_repeatTimer;
    TTimerId m_animateTimer;
    int m_animateFrame = 0;
    bool m_animateForward = true;
    // The button section, copied at each look-up, and the pictures in use:
    // the highlighted and pressed ones with the skin's empty rectangles
    // replaced, either of normal and highlighted replaced by the animation's
    // current frame while it runs.
    TksDataSkinButtonControl m_skin;
    TRect m_normalRect{};
    TRect m_activeRect{};
    TRect m_downRect{};
};

}  // namespace zv
