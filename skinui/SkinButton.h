// The skinned push button: normal, highlighted, pressed and disabled
// pictures, the fade between normal and highlighted; mouse, Space, Enter,
// dialog keys and accelerators all end in one click that also sets the
// parent form's modal result.
#pragma once

#include "base/PixelBuffer.h"
#include "skinui/SkinControlBase.h"
#include "skinui/paint/ControlLayout.h"

namespace zv {

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
    // A push button named by its caption, with its focus, default, pressed
    // and unavailable states; the default action "Press" is a click.
    void AccDescribeSelf(TAccInfo& info) override;
    void AccPerformDefaultAction(int item) override;
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
    // Caption and glyph frame in the caption area (skin pixels of `map`,
    // the bitmap's) with the canvas's font.
    void DrawCaptionAndGlyph(TBitmap& bitmap, const TDeviceMap& map, const TRect& area, int frame,
                             bool shifted);
    // The keyboard focus inside the face: a dotted frame in the caption's
    // colour, so that the focused button never looks merely hovered.
    void DrawFocusCue(TBitmap& bitmap, const TRect& area, TColor colour);

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
