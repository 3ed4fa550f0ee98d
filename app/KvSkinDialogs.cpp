#include "app/KvSkinDialogs.h"

#include <memory>

#include "app/frmKvSkinError.h"
#include "app/frmKvSkinInfo.h"
#include "app/frmMain.h"

namespace zv {

namespace {

template <typename TDialog>
int ShowDialog(const std::string& caption, const std::string& message) {
    auto dialog = std::make_unique<TDialog>(nullptr);
    dialog->AfterConstruction();
    // The dialog's frame paints with the main window's skin.
    dialog->ksSkinFrame->SetSkinData(MainForm ? MainForm->ksSkinData : nullptr);
    dialog->SetTexts(caption, message);
    return dialog->ShowModal();
}

}  // namespace

int ShowSkinErrorDialog(std::string caption, std::string message) {
    return ShowDialog<TKvSkinErrorForm>(caption, message);
}

int ShowSkinInfoDialog(std::string caption, std::string message) {
    return ShowDialog<TKvSkinInfoForm>(caption, message);
}

}  // namespace zv
