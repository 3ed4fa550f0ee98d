#include "app/KvSkinMessageForm.h"

namespace zv {

TKvSkinMessageForm::TKvSkinMessageForm(TComponent* owner, int stockIcon, bool wordWrap, TksSkinData* skin)
    : TForm(owner), m_stockIcon(stockIcon) {
    // The window template; it is always given its caption before it shows.
    BeginLoading();
    SetCaption("Kelvarin");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetBorderIcons(0);
    SetClientSize(327, 143);
    SetColor(clBtnFace);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-11);
    SetPosition(TPosition::poScreenCenter);

    // The frame gets its skin data at run time, before the dialog shows.
    ksSkinFrame = new TksSkinFrame(this);
    ksSkinFrame->SetName("ksSkinFrame");
    ksSkinFrame->SetBorderIcons(biSystemMenu);
    ksSkinFrame->AlphaBlendValue = 0;

    // The controls paint from the skin the dialog was given.
    Panel = new TksSkinPanel(this);
    Panel->SetName("Panel");
    Panel->SetBounds(0, 0, 327, 143);
    Panel->SetAlign(TAlign::alClient);
    Panel->SetBorderStyle(TksSkinBorderStyle::bvRaised);
    Panel->SetCaptionMode(false);
    Panel->SetCaption("Panel");
    Panel->SetSkinData(skin);
    Panel->SetParent(this);

    Image = new TImage(this);
    Image->SetName("Image");
    Image->SetBounds(24, 24, 32, 32);
    Image->SetParent(Panel);

    MessageLabel = new TksSkinStdLabel(this);
    MessageLabel->SetName("MessageLabel");
    if (wordWrap) {
        MessageLabel->SetAutoSize(false);
        MessageLabel->SetWordWrap(true);
        MessageLabel->SetBounds(72, 32, 241, 41);
    } else {
        MessageLabel->SetWordWrap(false);
        MessageLabel->SetBounds(72, 32, 69, 13);
        MessageLabel->SetAutoSize(true);
    }
    MessageLabel->DefaultFont().SetName("MS Sans Serif");
    MessageLabel->DefaultFont().SetHeight(-11);
    MessageLabel->SetSkinData(skin);
    MessageLabel->SetParent(Panel);
    MessageLabel->SetCaption("MessageLabel");

    OKButton = new TksSkinButton(this);
    OKButton->SetName("OKButton");
    OKButton->SetBounds(126, 80, 75, 25);
    OKButton->SetCaption("OK");
    OKButton->SetTabStop(true);
    OKButton->SetSkinData(skin);
    OKButton->SetParent(Panel);
    OKButton->OnClick = [this](TObject* s) { OKButtonClick(s); };
    // Enter and Esc both end the dialog as its only button does.
    OKButton->SetDefault(true);
    OKButton->Cancel = true;

    OnCreate = [this](TObject* s) { FormCreate(s); };
    OnShow = [this](TObject* s) { FormShow(s); };
    EndLoading();
}

void TKvSkinMessageForm::FormCreate(TObject*) {
    m_captionText.clear();
    m_messageText.clear();
    // The stock icon's image of the control's size: at a higher resolution
    // the system's own size is larger and would be cut.
    Image->LoadStockIcon(m_stockIcon);
    Image->AccName = m_stockIcon == 32513 /* IDI_HAND */ ? "Error" : "Information";
}

void TKvSkinMessageForm::FormShow(TObject*) {
    SetCaption(m_captionText);
    MessageLabel->SetCaption(m_messageText);
}

void TKvSkinMessageForm::OKButtonClick(TObject*) {
    SetModalResult(mrOk);
}

}  // namespace zv
