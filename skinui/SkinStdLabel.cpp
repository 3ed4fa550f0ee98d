// The skinned label: properties, the skin's font, text drawing and auto
// sizing.
#include "skinui/SkinStdLabel.h"

#include "skinui/SkinFont.h"

namespace zv {

// ---- TksSkinStdLabel --------------------------------------------------------------

TksSkinStdLabel::TksSkinStdLabel(TComponent* owner) : TGraphicControl(owner) {
    // The framework's default font.
    m_defaultFont.SetName("MS Sans Serif");
    m_defaultFont.SetHeight(-11);
    m_defaultFont.OnChange = [this] { Invalidate(); };
    SetBounds(0, 0, 65, 17);
}

void TksSkinStdLabel::SetSkinData(TksSkinData* value) {
    if (m_skinData) m_skinData->RemoveFreeNotification(this);
    m_skinData = value;
    if (value) {
        value->FreeNotification(this);
        ApplySkinChange();
    }
}

void TksSkinStdLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == m_skinData) m_skinData = nullptr;
}

void TksSkinStdLabel::SetAlignment(TAlignment a) {
    m_alignment = a;
    Invalidate();
}

void TksSkinStdLabel::SetLayout(TTextLayout l) {
    m_layout = l;
    Invalidate();
}

void TksSkinStdLabel::SetWordWrap(bool w) {
    m_wordWrap = w;
    AdjustBounds();
    Invalidate();
}

void TksSkinStdLabel::SetAutoSize(bool a) {
    m_autoSize = a;
    AdjustBounds();
}

void TksSkinStdLabel::TextChanged() {
    AdjustBounds();
    Invalidate();
}

void TksSkinStdLabel::ApplySkinChange() {
    AdjustBounds();
    Invalidate();
}

void TksSkinStdLabel::ScaleChanged() {
    // The text is as tall as the density makes it.
    ApplySkinChange();
}

void TksSkinStdLabel::AccDescribeSelf(TAccInfo& info) {
    info.Role = accRoleStaticText;
    info.State |= accStateReadOnly;
    info.Name = ShowAccelChar ? AccCaptionText(Caption()) : Caption();
}

UINT TksSkinStdLabel::TextFlags() const {
    UINT flags = DT_EXPANDTABS;
    if (m_wordWrap) flags |= DT_WORDBREAK;
    switch (m_alignment) {
        case TAlignment::taLeftJustify: flags |= DT_LEFT; break;
        case TAlignment::taRightJustify: flags |= DT_RIGHT; break;
        case TAlignment::taCenter: flags |= DT_CENTER; break;
    }
    if (!ShowAccelChar) flags |= DT_NOPREFIX;
    return flags;
}

void TksSkinStdLabel::DoDrawText(TRect& rect, UINT flags) {
    // The skin's font, when the skin has a std-label section.
    const TksDataSkinStdLabelControl* skin = nullptr;
    if (m_skinData && !m_skinData->Empty()) {
        const int index = m_skinData->IndexOfControl(m_skinDataName);
        if (index >= 0)
            skin = dynamic_cast<const TksDataSkinStdLabelControl*>(m_skinData->SkinControls(index));
    }
    std::string text = Caption();
    if ((flags & DT_CALCRECT) && (text.empty() || (ShowAccelChar && text == "&"))) text += " ";
    if (!ShowAccelChar) flags |= DT_NOPREFIX;

    // Without a std-label section UseSkinFont means the default font; with
    // one, the skin's face over the label's own font, in the skin's colour.
    TCanvas& c = Canvas();
    TFont font;
    AssignSkinFont(font, UseSkinFont ? skin : nullptr, (UseSkinFont && !skin) ? m_defaultFont : Font());
    if (skin) font.SetColor(skin->FontColor);
    font.SetCharset(m_defaultFont.Charset());
    c.Font().Assign(font);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    if (flags & DT_CALCRECT) {
        c.DrawText(text, rect, flags);
        return;
    }
    if (Enabled()) {
        c.DrawText(text, rect, flags);
    } else {
        TRect shifted = OffsetRect(rect, 1, 1);
        c.Font().SetColor(clBtnHighlight);
        c.DrawText(text, shifted, flags);
        c.Font().SetColor(clBtnShadow);
        c.DrawText(text, rect, flags);
    }
}

void TksSkinStdLabel::Paint() {
    TRect r = ClientRect();
    UINT flags = TextFlags();
    if (m_layout != TTextLayout::tlTop) {
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        const int dy =
            m_layout == TTextLayout::tlBottom ? r.Height() - calc.Height() : (r.Height() - calc.Height()) / 2;
        r.Top += dy;
    }
    DoDrawText(r, flags);
}

void TksSkinStdLabel::AdjustBounds() {
    if (!m_autoSize || IsLoading() || !Parent()) return;
    HDC screen = GetDC(nullptr);
    TCanvas& c = Canvas();
    c.SetHandle(screen);
    c.SetPixelsPerInch(CurrentPPI());
    TRect r{0, 0, m_wordWrap ? Width() : 0, 0};
    DoDrawText(r, TextFlags() | DT_CALCRECT);
    c.SetHandle(nullptr);
    ReleaseDC(nullptr, screen);
    SetBounds(Left(), Top(), r.Width(), r.Height());
}

}  // namespace zv
