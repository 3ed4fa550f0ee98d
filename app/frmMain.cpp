#include "app/frmMain.h"

namespace zv {

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(TComponent* owner) : TForm(owner) {
    // The window template.
    SetName("MainForm");
    BeginLoading();
    SetCaption("Zorvane Player Installation");
    SetBorderStyle(TFormBorderStyle::bsSingle);
    // The skinned frame will draw the caption bar and its buttons; until it
    // takes over, the system menu gives the window its close button.
    SetBorderIcons(biSystemMenu);
    SetClientSize(415, 246);
    SetColor(2960685);
    Font().SetName("MS Sans Serif");
    Font().SetHeight(-11);
    SetPosition(TPosition::poScreenCenter);
    EndLoading();
}

}  // namespace zv
