// What the error and the information dialog share: their template (panel,
// icon, message label, OK button), the caption and message set before
// showing, and the handlers. Each dialog class only chooses its icon and
// the label's sizing.
#pragma once

#include <string>

#include "app/Image.h"
#include "skinui/SkinControls.h"
#include "skinui/SkinFrame.h"
#include "vcl/Forms.h"

namespace zv {

class TKvSkinMessageForm : public TForm {
public:
    // Template members, in declaration order.
    TksSkinFrame* ksSkinFrame;
    TksSkinPanel* Panel;
    TImage* Image;
    TksSkinStdLabel* MessageLabel;
    TksSkinButton* OKButton;

    void SetTexts(const std::string& caption, const std::string& message) {
        m_captionText = caption;
        m_messageText = message;
    }
    [[nodiscard]] const std::string& CaptionText() const { return m_captionText; }
    [[nodiscard]] const std::string& MessageText() const { return m_messageText; }

    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void OKButtonClick(TObject* sender);

protected:
    // wordWrap: the error dialog's fixed 241 x 41 wrapping label; otherwise
    // one auto-sized line (the information dialog). The controls paint from
    // `skin` (the main window's; none for the plain looks).
    TKvSkinMessageForm(TComponent* owner, int stockIcon, bool wordWrap, TksSkinData* skin);

private:
    int m_stockIcon;
    std::string m_captionText;
    std::string m_messageText;
};

}  // namespace zv
