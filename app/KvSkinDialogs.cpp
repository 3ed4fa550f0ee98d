#include "app/KvSkinDialogs.h"

#include <memory>
#include <type_traits>

#include "app/frmKvSkinError.h"
#include "app/frmKvSkinInfo.h"

namespace zv {

namespace {

TDialogPolicy& Policy() {
    static TDialogPolicy policy = TDialogPolicy::dpShowAll;
    return policy;
}

TDialogListener& Listener() {
    static TDialogListener listener;
    return listener;
}

template <typename TDialog>
int ShowDialog(const std::string& caption, const std::string& message, TksSkinData* skin) {
    constexpr bool error = std::is_same_v<TDialog, TKvSkinErrorForm>;
    const bool show =
        Policy() == TDialogPolicy::dpShowAll || (error && Policy() == TDialogPolicy::dpErrorsOnly);
    if (Listener()) Listener()(error, caption, message, show);
    if (!show) return 0;
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

void SetDialogPolicy(TDialogPolicy policy) {
    Policy() = policy;
}

TDialogPolicy DialogPolicy() {
    return Policy();
}

void SetDialogListener(TDialogListener listener) {
    Listener() = std::move(listener);
}

}  // namespace zv
