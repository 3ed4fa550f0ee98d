// The skinned label: a transparent text label that draws with the font of
// the skin's "stdlabel" section.
#pragma once

#include <windows.h>

#include <string>

#include "skin/SkinData.h"
#include "vcl/Controls.h"

namespace zv {

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
    void ScaleChanged() override;
    // A static text with the label's text.
    void AccDescribeSelf(TAccInfo& info) override;

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

}  // namespace zv
