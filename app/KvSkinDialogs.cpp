#include "app/KvSkinDialogs.h"

#include <memory>

#include "app/frmKvSkinError.h"
#include "app/frmKvSkinInfo.h"

namespace zv {

namespace {

template <typename TDialog>
int ShowDialog(const std::string& caption, const std::string& message, TksSkinData* skin) {
    auto dialog = std::make_unique<TDialog>(nullptr, skin);
    dialog->AfterConstruction();
    // The frame gets the skin at run time, when the dialog is made.
    dialog->ksSkinFrame->SetSkinData(skin);
    dialog->SetTexts(caption, message);
    return dialog->ShowModal();
}

}  // namespace

int ShowSkinErrorDialog(std::string caption, std::string message, TksSkinData* skin) {
    return ShowDialog<TKvSkinErrorForm>(caption, message, skin);
}

int ShowSkinInfoDialog(std::string caption, std::string message, TksSkinData* skin) {
    return ShowDialog<TKvSkinInfoForm>(caption, message, skin);
}

}  // namespace zv
