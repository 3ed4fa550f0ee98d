// The skinned panel: a container drawn nine-part (or tiled) from the skin,
// with an optional caption band (check box, glyph, roll-up button), and its
// plain frames without skin data.
#pragma once

#include "base/PixelBuffer.h"
#include "skinui/SkinControlBase.h"

namespace zv {

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
    // (as it is in the Fixed and None layouts); skin pixels.
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
    void DrawGlyph(const TSkinSurface& target, int x, int y) const;
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

}  // namespace zv
